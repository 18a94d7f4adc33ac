#include "game.h"

Game::Game(QObject *parent) : QObject(parent) {}
