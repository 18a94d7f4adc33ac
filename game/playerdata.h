#ifndef PLAYERDATA_H
#define PLAYERDATA_H

#include "shipinfo.h"
#include "shipsizelist.h"

#include <QObject>

// One player's snapshot of the game, everything seen from that player's side.
class PlayerData
{
    Q_GADGET
    Q_PROPERTY(bool canShoot MEMBER canShoot)
    Q_PROPERTY(CellList selfShots MEMBER selfShots)
    Q_PROPERTY(ShipList selfShips MEMBER selfShips)
    Q_PROPERTY(CellList opponentShots MEMBER opponentShots)
    Q_PROPERTY(ShipList opponentShips MEMBER opponentShips)
    Q_PROPERTY(CellList selfDamagedParts MEMBER selfDamagedParts)
    Q_PROPERTY(CellList opponentDamagedParts MEMBER opponentDamagedParts)
    Q_PROPERTY(Game::PlayerState state MEMBER state)
    Q_PROPERTY(bool winner MEMBER winner)
public:
    ShipSizeList shipSizes;
    bool canShoot = false;
    CellList selfShots;
    ShipList selfShips;
    CellList opponentShots;
    ShipList opponentShips;
    CellList selfDamagedParts;
    CellList opponentDamagedParts;
    Game::PlayerState state = Game::OfflineState;
    bool winner = false;
};

#endif // PLAYERDATA_H
