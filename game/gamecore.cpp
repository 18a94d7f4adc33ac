#include "gamecore.h"

#include "gamedata.h"
#include "player.h"

GameCore::GameCore(QObject *parent) : QObject(parent)
{
    for (int size : {4, 3, 3, 2, 2, 2, 1, 1, 1, 1})
        m_fleet.add(size);
    startNewGame();
}

QObject *GameCore::player1() const
{
    return m_players[0].data();
}

QObject *GameCore::player2() const
{
    return m_players[1].data();
}

bool GameCore::fight()
{
    if (m_state != Game::BeforeGameState || !m_playersReady)
        return false;
    setState(Game::GamingState);
    m_playerState[0] = m_playerState[1] = Game::FightingState;
    setShootingPlayer(0);
    syncPlayers();
    return true;
}

void GameCore::startNewGame()
{
    setShootingPlayer(-1);
    syncPlayers();
    setWinnerPlayer(-1);
    for (int i = 0; i < 2; ++i) {
        m_shipSizes[i] = m_fleet;
        m_ships[i].clear();
        m_shots[i].clear();
        m_visibleShips[i].clear();
        m_damagedParts[i].clear();
        m_playerState[i] = Game::ArrangementState;
    }
    setState(Game::BeforeGameState);
    updatePlayersReady();
    syncPlayers();
}

void GameCore::setPlayer(int index, Player *player)
{
    // Only two seats exist.
    if (index != 0 && index != 1)
        return;
    if (m_players[index] != player) {
        if (m_players[index])
            disconnect(m_players[index], nullptr, this, nullptr);
        m_players[index] = player;
        if (player) {
            connect(player, &Player::placeShip, this, &GameCore::onPlayerPlaceShip);
            connect(player, &Player::connectedChanged, this, &GameCore::onPlayerConnectedChanged);
            connect(player, &Player::shoot, this, &GameCore::onPlayerShoot);
        }
        if (index == 0)
            emit player1Changed(player);
        else
            emit playerChanged(player);
    }
    syncPlayers();
}

void GameCore::setPlayer1(QObject *player)
{
    setPlayer(0, qobject_cast<Player *>(player));
}

void GameCore::setPlayer2(QObject *player)
{
    setPlayer(1, qobject_cast<Player *>(player));
}

bool GameCore::onPlayerPlaceShip(int x, int y, int size, bool vertical)
{
    const int index = senderIndex();
    return index >= 0 && placeShipFor(index, x, y, size, vertical);
}

void GameCore::onPlayerConnectedChanged()
{
    updatePlayersReady();
}

bool GameCore::onPlayerShoot(int x, int y)
{
    const int index = senderIndex();
    return index >= 0 && shootFor(index, x, y);
}

bool GameCore::placeShipFor(int index, int x, int y, int size, bool vertical)
{
    if (m_state != Game::BeforeGameState || !m_shipSizes[index].contains(size))
        return false;
    const ShipInfo ship(size, vertical, x, y);
    if (!ship.fitsField(m_fieldWidth, m_fieldHeight))
        return false;
    for (const ShipInfo &other : m_ships[index]) {
        if (ship.touches(other))
            return false;
    }
    m_shipSizes[index].remove(size);
    m_ships[index].append(ship);
    if (m_shipSizes[index].isEmpty())
        m_playerState[index] = Game::ReadyForFightState;
    syncPlayers();
    return true;
}

bool GameCore::shootFor(int n, int x, int y)
{
    if (m_state != Game::GamingState || n != m_shootingPlayer)
        return false;
    const QPoint cell(x, y);
    if (!inField(cell) || m_shots[n].contains(cell))
        return false;
    const int d = 1 - n;
    m_shots[n].append(cell);

    bool hit = false;
    for (ShipInfo &ship : m_ships[d]) {
        if (!ship.contains(cell))
            continue;
        hit = true;
        ship.state = ship.stateFromShots(m_shots[n]);
        if (ship.state == Game::DestroyedShip) {
            // The water around a sunk ship cannot hold another one: it counts as shot.
            const QRect around = ship.rectWithMargin();
            for (int cy = around.top(); cy <= around.bottom(); ++cy) {
                for (int cx = around.left(); cx <= around.right(); ++cx) {
                    const QPoint water(cx, cy);
                    if (inField(water) && !m_shots[n].contains(water))
                        m_shots[n].append(water);
                }
            }
            for (const QPoint &part : ship.cells())
                m_damagedParts[d].removeAll(part);
        } else if (ship.state == Game::DamagedShip && !m_damagedParts[d].contains(cell)) {
            m_damagedParts[d].append(cell);
        }
        break;
    }

    m_visibleShips[d].clear();
    for (const ShipInfo &ship : m_ships[d]) {
        if (ship.state == Game::DestroyedShip)
            m_visibleShips[d].append(ship);
    }

    int winner = -1;
    if (m_visibleShips[0].size() == m_ships[0].size())
        winner = 1;
    else if (m_visibleShips[1].size() == m_ships[1].size())
        winner = 0;
    if (winner >= 0) {
        setWinnerPlayer(winner);
        setState(Game::AfterGameState);
        for (int i = 0; i < 2; ++i) {
            m_playerState[i] = Game::GameOverState;
            m_visibleShips[i] = m_ships[i];
        }
    }

    if (m_state != Game::GamingState)
        setShootingPlayer(-1);
    else if (!hit)
        setShootingPlayer(d);
    syncPlayers();
    return true;
}

void GameCore::syncPlayers()
{
    GameData game;
    game.shipSizes = m_fleet;
    game.fieldWidth = m_fieldWidth;
    game.fieldHeight = m_fieldHeight;
    for (int i = 0; i < 2; ++i) {
        // Built just before it is handed over: a player's reaction may already have changed the
        // game through a nested request.
        Player *player = m_players[i];
        if (!player)
            continue;
        player->onNewGameData(game);
        player->onNewPlayerData(playerData(i));
    }
    updatePlayersReady();
}

int GameCore::senderIndex() const
{
    QObject *from = sender();
    if (!from)
        return -1;
    if (from == m_players[0])
        return 0;
    if (from == m_players[1])
        return 1;
    return -1;
}

PlayerData GameCore::playerData(int i) const
{
    const int o = 1 - i;
    PlayerData data;
    data.shipSizes = m_shipSizes[i];
    data.canShoot = m_shootingPlayer == i;
    data.selfShots = m_shots[i];
    data.selfShips = m_ships[i];
    data.opponentShots = m_shots[o];
    data.opponentShips = m_visibleShips[o];
    data.selfDamagedParts = m_damagedParts[i];
    data.opponentDamagedParts = m_damagedParts[o];
    data.state = m_playerState[i];
    data.winner = m_winnerPlayer == i;
    return data;
}

bool GameCore::inField(const QPoint &cell) const
{
    return cell.x() >= 0 && cell.y() >= 0 && cell.x() < m_fieldWidth && cell.y() < m_fieldHeight;
}

void GameCore::setState(Game::GameState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void GameCore::setShootingPlayer(int index)
{
    if (m_shootingPlayer == index)
        return;
    m_shootingPlayer = index;
    emit shootingPlayerChanged(index);
}

void GameCore::setWinnerPlayer(int index)
{
    if (m_winnerPlayer == index)
        return;
    m_winnerPlayer = index;
    emit winnerPlayerChanged(index);
}

void GameCore::updatePlayersReady()
{
    const bool ready = m_players[0] && m_players[1] && m_players[0]->connected() &&
                       m_players[1]->connected() && m_playerState[0] == Game::ReadyForFightState &&
                       m_playerState[1] == Game::ReadyForFightState;
    if (m_playersReady == ready)
        return;
    m_playersReady = ready;
    emit playersReadyChanged(ready);
}
