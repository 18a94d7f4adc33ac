#ifndef GAMECORE_H
#define GAMECORE_H

#include "game.h"
#include "playerdata.h"
#include "shipsizelist.h"

#include <QObject>
#include <QPointer>

class Player;

// The only judge of the game: keeps the whole state, answers the players' requests and hands
// each player a fresh snapshot after every change.
class GameCore : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("player.h")
    Q_PROPERTY(Game::GameState state READ state NOTIFY stateChanged)
    Q_PROPERTY(int fieldWidth READ fieldWidth CONSTANT)
    Q_PROPERTY(int fieldHeight READ fieldHeight CONSTANT)
    Q_PROPERTY(QObject *player1 READ player1 WRITE setPlayer1 NOTIFY player1Changed)
    Q_PROPERTY(QObject *player2 READ player2 WRITE setPlayer2 NOTIFY playerChanged)
    Q_PROPERTY(int shootingPlayer READ shootingPlayer NOTIFY shootingPlayerChanged)
    Q_PROPERTY(bool playersReady READ playersReady NOTIFY playersReadyChanged)
    Q_PROPERTY(int winnerPlayer READ winnerPlayer NOTIFY winnerPlayerChanged)
public:
    explicit GameCore(QObject *parent = nullptr);

    Game::GameState state() const { return m_state; }
    int fieldWidth() const { return m_fieldWidth; }
    int fieldHeight() const { return m_fieldHeight; }
    QObject *player1() const;
    QObject *player2() const;
    int shootingPlayer() const { return m_shootingPlayer; }
    bool playersReady() const { return m_playersReady; }
    int winnerPlayer() const { return m_winnerPlayer; }
    const ShipSizeList &fleet() const { return m_fleet; }

public slots:
    bool fight();
    void startNewGame();
    void setPlayer(int index, Player *player);
    void setPlayer1(QObject *player);
    void setPlayer2(QObject *player);
    bool onPlayerPlaceShip(int x, int y, int size, bool vertical);
    void onPlayerConnectedChanged();
    void syncPlayers();
    bool onPlayerShoot(int x, int y);

signals:
    void stateChanged();
    void player1Changed(QObject *player);
    void playerChanged(QObject *player);
    void shootingPlayerChanged(int index);
    void playersReadyChanged(bool ready);
    void winnerPlayerChanged(int index);

protected:
    // The requests of player `index` (0 or 1), as judged for the sender of the signal.
    bool placeShipFor(int index, int x, int y, int size, bool vertical);
    bool shootFor(int index, int x, int y);

private:
    int senderIndex() const;
    PlayerData playerData(int index) const;
    bool inField(const QPoint &cell) const;
    void setState(Game::GameState state);
    void setShootingPlayer(int index);
    void setWinnerPlayer(int index);
    void updatePlayersReady();

    Game::GameState m_state = Game::BeforeGameState;
    const int m_fieldWidth = 10;
    const int m_fieldHeight = 10;
    int m_shootingPlayer = -1;
    bool m_playersReady = false;
    int m_winnerPlayer = -1;
    ShipSizeList m_fleet;

    // A player may be destroyed before the core (QML decides the order).
    QPointer<Player> m_players[2];
    ShipList m_ships[2];
    ShipList m_visibleShips[2];
    ShipSizeList m_shipSizes[2];
    CellList m_shots[2];
    CellList m_damagedParts[2];
    Game::PlayerState m_playerState[2] = {Game::OfflineState, Game::OfflineState};
};

#endif // GAMECORE_H
