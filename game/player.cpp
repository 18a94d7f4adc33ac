#include "player.h"

#include <QTime>

Player::Player(QObject *parent)
    : QObject(parent), m_selfShots(this), m_selfShips(this), m_opponentShips(this),
      m_opponentShots(this), m_selfDamagedParts(this), m_opponentDamagedParts(this),
      m_arrangementShips(this)
{}

void Player::setRandomGenerator(const QRandomGenerator &generator)
{
    m_random = generator;
    m_fixedRandom = true;
}

bool Player::canPlaceShip(int x, int y, int size, bool vertical) const
{
    if (m_state != Game::ArrangementState)
        return false;
    return shipFits(ShipInfo(size, vertical, x, y));
}

void Player::onNewGameData(const GameData &data)
{
    m_fieldWidth = data.fieldWidth;
    m_fieldHeight = data.fieldHeight;
    m_fleet = data.shipSizes;
}

void Player::onNewPlayerData(const PlayerData &data)
{
    m_arrangementShips.setShipSizes(data.shipSizes);
    if (m_canShoot != data.canShoot) {
        m_canShoot = data.canShoot;
        emit canShootChanged(m_canShoot);
    }
    m_selfShots.setCells(data.selfShots);
    m_selfShips.setShips(data.selfShips);
    m_opponentShots.setCells(data.opponentShots);
    m_opponentShips.setShips(data.opponentShips);
    m_selfDamagedParts.setCells(data.selfDamagedParts);
    m_opponentDamagedParts.setCells(data.opponentDamagedParts);

    const QModelIndex first = m_arrangementShips.index(0);
    const int size = first.isValid() ? first.data(ShipSizesModel::SizeRole).toInt() : 0;
    if (m_arrangementShipSize != size) {
        m_arrangementShipSize = size;
        emit arrangementShipSizeChanged(size);
    }
    if (m_state != data.state) {
        m_state = data.state;
        emit stateChanges(m_state);
    }
    if (m_winner != data.winner) {
        m_winner = data.winner;
        emit winnerChanged(m_winner);
    }
    onDataUpdated();
}

bool Player::autoArrangeShips()
{
    if (m_arrangementShipSize == 0)
        return true;
    QList<ShipSizeList::Pair> left = m_arrangementShips.shipSizes().pairs();
    prepareRandom();
    const int cellCount = m_fieldWidth * m_fieldHeight;
    while (!left.isEmpty()) {
        const int size = left.first().first;
        if (left.first().second < 2)
            left.removeFirst();
        else
            --left.first().second;
        if (cellCount <= 0)
            continue;

        const int start = int(nextRandom() % quint32(cellCount));
        const bool drawn = (nextRandom() & 1) == 0;
        // The drawn orientation first; only when it fits nowhere the other one, so that a ship
        // is left out only when the field has no room for it at all.
        for (const bool vertical : {drawn, !drawn}) {
            if (placeFrom(start, size, vertical))
                break;
        }
    }
    return true;
}

bool Player::placeFrom(int start, int size, bool vertical)
{
    const int cellCount = m_fieldWidth * m_fieldHeight;
    int m = start;
    do {
        const ShipInfo ship(size, vertical, m % m_fieldWidth, m / m_fieldWidth);
        if (shipFits(ship)) {
            // The core answers at once, so the own ships already hold this one for the next.
            emit placeShip(ship.x, ship.y, size, vertical);
            return true;
        }
        m = m == 0 ? cellCount - 1 : m - 1;
    } while (m != start);
    return false;
}

void Player::onDataUpdated() {}

void Player::prepareRandom()
{
    if (!m_fixedRandom)
        m_random.seed(quint32(QTime::currentTime().msec()));
}

bool Player::shipFits(const ShipInfo &ship) const
{
    if (!ship.fitsField(m_fieldWidth, m_fieldHeight))
        return false;
    for (const ShipInfo &own : m_selfShips.ships()) {
        if (ship.touches(own))
            return false;
    }
    return true;
}
