#include "seabattletypes.h"

#include "game.h"
#include "gamecore.h"
#include "player.h"
#include "wallyplayer.h"

#include <QtQml>

void registerSeaBattleTypes()
{
    const char *uri = "SeaBattle";
    qmlRegisterUncreatableType<Game>(uri, 1, 0, "Game", "you must not create 'Game' object");
    qmlRegisterType<GameCore>(uri, 1, 0, "GameCore");
    qmlRegisterType<Player>(uri, 1, 0, "Player");
    qmlRegisterType<WallyPlayer>(uri, 1, 0, "WallyPlayer");
}
