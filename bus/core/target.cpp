#include "target.h"

Target::Target(QObject *parent) : QObject(parent) {}

Target::Target(const Target &other) : QObject(nullptr), QDorrikObject(other) {}
