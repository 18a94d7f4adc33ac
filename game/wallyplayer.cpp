#include "wallyplayer.h"

#include <algorithm>

namespace {

const QPoint NoTarget(-1, -1);

} // namespace

WallyPlayer::WallyPlayer(QObject *parent) : Player(parent), m_shotTimer(this)
{
    m_shotTimer.setSingleShot(true);
    connect(&m_shotTimer, &QTimer::timeout, this, &WallyPlayer::makeShoot);
}

void WallyPlayer::setDelay(int delay)
{
    if (m_delay == delay)
        return;
    m_delay = delay;
    emit delayChanged(delay);
}

void WallyPlayer::onDataUpdated()
{
    if (state() == Game::ArrangementState) {
        // Each placement brings a snapshot back while the arrangement still runs.
        if (m_arranging)
            return;
        m_arranging = true;
        autoArrangeShips();
        m_arranging = false;
    } else if (state() == Game::FightingState && canShoot() && !m_shotPending) {
        m_shotPending = true;
        m_shotTimer.start(m_delay);
    }
}

bool WallyPlayer::makeShoot()
{
    prepareRandom();
    m_shotPending = false;

    const CellList damaged = opponentDamagedPartsModel()->cells();
    const ShipList sunk = opponentShipsModel()->ships();
    const CellList shots = selfShotsModel()->cells();

    bool allShot = true;
    for (int y = 0; y < fieldHeight() && allShot; ++y) {
        for (int x = 0; x < fieldWidth() && allShot; ++x)
            allShot = shots.contains(QPoint(x, y));
    }
    if (sunk.size() >= fleet().shipCount() || allShot)
        return false;

    ShipSizeList afloat = fleet();
    for (const ShipInfo &ship : sunk)
        afloat.remove(ship.size);
    int minSize = 0;
    for (const ShipSizeList::Pair &pair : afloat.pairs())
        minSize = minSize == 0 ? pair.first : std::min(minSize, pair.first);

    const QPoint target = damaged.isEmpty()
                              ? huntTarget(shots, minSize)
                              : targetAround(damaged.first(), damaged, shots, minSize);
    if (target.x() < 0 || target.y() < 0)
        return false;
    emit shoot(target.x(), target.y());
    return true;
}

QPoint WallyPlayer::huntTarget(const CellList &shots, int minSize)
{
    const int total = fieldWidth() * fieldHeight();
    const int start = int(nextRandom() % quint32(total));
    const bool backward = (nextRandom() & 1) != 0;
    int e = start;
    do {
        const QPoint cell(e % fieldWidth(), e / fieldWidth());
        if (fits(minSize, cell, true, shots) || fits(minSize, cell, false, shots))
            return cell;
        if (backward)
            e = e == 0 ? total - 1 : e - 1;
        else
            e = e == total - 1 ? 0 : e + 1;
    } while (e != start);
    return NoTarget;
}

QPoint WallyPlayer::targetAround(const QPoint &hit, const CellList &damaged, const CellList &shots,
                                 int minSize)
{
    const QPoint neighbours[] = {hit + QPoint(-1, 0), hit + QPoint(1, 0), hit + QPoint(0, -1),
                                 hit + QPoint(0, 1)};
    const QPoint *known = std::find_if(std::begin(neighbours), std::end(neighbours),
                                       [&](const QPoint &cell) { return damaged.contains(cell); });

    if (known == std::end(neighbours)) {
        // A lone hit: try the orientation a ship of the smallest afloat size could lie in.
        bool vertical = (nextRandom() & 1) == 0;
        CellList others = shots;
        others.removeAll(hit);
        if (!fits(std::max(minSize, 2), hit, vertical, others))
            vertical = !vertical;
        const QPoint step = vertical ? QPoint(0, 1) : QPoint(1, 0);
        for (const QPoint &cell : {hit + step, hit - step}) {
            if (inField(cell) && !others.contains(cell))
                return cell;
        }
        return NoTarget;
    }

    // Hits in a row: continue the line at its far end first, then at the near one.
    const QPoint step = known->x() == hit.x() ? QPoint(0, 1) : QPoint(1, 0);
    CellList missed = shots;
    for (const QPoint &part : damaged)
        missed.removeAll(part);
    for (const QPoint &direction : {step, -step}) {
        QPoint cell = hit;
        while (inField(cell) && damaged.contains(cell))
            cell += direction;
        if (inField(cell) && !damaged.contains(cell) && !missed.contains(cell))
            return cell;
    }
    return NoTarget;
}

bool WallyPlayer::fits(int size, const QPoint &cell, bool vertical, const CellList &taken) const
{
    if (taken.contains(cell))
        return false;
    if (size <= 1)
        return true;
    const QPoint step = vertical ? QPoint(0, 1) : QPoint(1, 0);
    int free = 0;
    for (const QPoint &direction : {step, -step}) {
        QPoint next = cell + direction;
        for (int i = 0; i < size - 1 && inField(next) && !taken.contains(next); ++i) {
            ++free;
            next += direction;
        }
    }
    return free + 1 >= size;
}

bool WallyPlayer::inField(const QPoint &cell) const
{
    return cell.x() >= 0 && cell.y() >= 0 && cell.x() < fieldWidth() && cell.y() < fieldHeight();
}
