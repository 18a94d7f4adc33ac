#ifndef GAMEDATA_H
#define GAMEDATA_H

#include "shipsizelist.h"

#include <QObject>

// What every player learns of the game itself: the fleet and the field.
class GameData
{
    Q_GADGET
    Q_PROPERTY(int fieldWidth MEMBER fieldWidth)
    Q_PROPERTY(int fieldHeight MEMBER fieldHeight)
public:
    ShipSizeList shipSizes;
    int fieldWidth = 0;
    int fieldHeight = 0;
};

#endif // GAMEDATA_H
