#ifndef PLAYER_H
#define PLAYER_H

#include "game.h"
#include "gamedata.h"
#include "playerdata.h"
#include "shipsizesmodel.h"
#include "shipsmodel.h"
#include "shotsmodel.h"

#include <QObject>
#include <QRandomGenerator>

class GameCore;

// One side of the game as the screen sees it: each snapshot from the core becomes list models,
// and the player's requests go back to the core as signals.
class Player : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("gamecore.h")
    Q_PROPERTY(bool canShoot READ canShoot NOTIFY canShootChanged)
    Q_PROPERTY(QObject *selfShotsModel READ selfShotsModel CONSTANT)
    Q_PROPERTY(QObject *selfShipsModel READ selfShipsModel CONSTANT)
    Q_PROPERTY(QObject *opponentShipsModel READ opponentShipsModel CONSTANT)
    Q_PROPERTY(QObject *opponentShotsModel READ opponentShotsModel CONSTANT)
    Q_PROPERTY(QObject *selfDamagedPartsModel READ selfDamagedPartsModel CONSTANT)
    Q_PROPERTY(QObject *opponentDamagedPartsModel READ opponentDamagedPartsModel CONSTANT)
    Q_PROPERTY(QObject *arrangementShipsModel READ arrangementShipsModel CONSTANT)
    Q_PROPERTY(int arrangementShipSize READ arrangementShipSize NOTIFY arrangementShipSizeChanged)
    Q_PROPERTY(Game::PlayerState state READ state NOTIFY stateChanges)
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)
    Q_PROPERTY(bool winner READ winner NOTIFY winnerChanged)
public:
    explicit Player(QObject *parent = nullptr);

    bool canShoot() const { return m_canShoot; }
    ShotsModel *selfShotsModel() { return &m_selfShots; }
    ShipsModel *selfShipsModel() { return &m_selfShips; }
    ShipsModel *opponentShipsModel() { return &m_opponentShips; }
    ShotsModel *opponentShotsModel() { return &m_opponentShots; }
    ShotsModel *selfDamagedPartsModel() { return &m_selfDamagedParts; }
    ShotsModel *opponentDamagedPartsModel() { return &m_opponentDamagedParts; }
    ShipSizesModel *arrangementShipsModel() { return &m_arrangementShips; }
    int arrangementShipSize() const { return m_arrangementShipSize; }
    Game::PlayerState state() const { return m_state; }
    bool connected() const { return m_connected; }
    bool winner() const { return m_winner; }

    int fieldWidth() const { return m_fieldWidth; }
    int fieldHeight() const { return m_fieldHeight; }
    const ShipSizeList &fleet() const { return m_fleet; }

    // A fixed generator makes arrangement and shots repeatable; without one each arrangement
    // and each shot seeds a generator from the clock.
    void setRandomGenerator(const QRandomGenerator &generator);

    Q_INVOKABLE bool canPlaceShip(int x, int y, int size, bool vertical) const;

public slots:
    void onNewGameData(const GameData &data);
    void onNewPlayerData(const PlayerData &data);
    bool autoArrangeShips();

signals:
    void canShootChanged(bool canShoot);
    void arrangementShipSizeChanged(int size);
    void stateChanges(Game::PlayerState state);
    void connectedChanged(bool connected);
    void winnerChanged(bool winner);
    void gameCoreChanged(GameCore *core);
    void selfShotsModelChanged(QObject *model);
    void selfShipsModelChanged(QObject *model);
    void arrangementShipsModelChanged(QObject *model);

    void placeShip(int x, int y, int size, bool vertical);
    void shoot(int x, int y);

protected:
    // Runs after every snapshot, once the models hold it.
    virtual void onDataUpdated();
    // Reseeds from the clock unless a generator was given; call once per decision.
    void prepareRandom();
    quint32 nextRandom() { return m_random.generate(); }

private:
    bool shipFits(const ShipInfo &ship) const;
    // Scans the field backwards from the cell start for a place of the ship in one orientation
    // and places it there; false when there is none.
    bool placeFrom(int start, int size, bool vertical);

    ShotsModel m_selfShots;
    ShipsModel m_selfShips;
    ShipsModel m_opponentShips;
    ShotsModel m_opponentShots;
    ShotsModel m_selfDamagedParts;
    ShotsModel m_opponentDamagedParts;
    ShipSizesModel m_arrangementShips;

    bool m_canShoot = false;
    int m_arrangementShipSize = 0;
    Game::PlayerState m_state = Game::OfflineState;
    bool m_connected = true;
    bool m_winner = false;

    int m_fieldWidth = 0;
    int m_fieldHeight = 0;
    ShipSizeList m_fleet;

    QRandomGenerator m_random;
    bool m_fixedRandom = false;
};

#endif // PLAYER_H
