#include "shipinfo.h"

ShipInfo::ShipInfo(int size, bool vertical, int x, int y)
    : size(size), orientation(vertical ? Vertical : Horizontal), x(x), y(y)
{}

CellList ShipInfo::cells() const
{
    CellList result;
    result.reserve(size);
    for (int i = 0; i < size; ++i)
        result.append(isVertical() ? QPoint(x, y + i) : QPoint(x + i, y));
    return result;
}

QRect ShipInfo::rect() const
{
    switch (orientation) {
    case Horizontal:
        return QRect(x, y, size, 1);
    case Vertical:
        return QRect(x, y, 1, size);
    default:
        return QRect(x, y, 1, 1);
    }
}

QRect ShipInfo::rectWithMargin() const
{
    return rect().adjusted(-1, -1, 1, 1);
}

bool ShipInfo::contains(const QPoint &cell) const
{
    return isPlaced() && rect().contains(cell);
}

bool ShipInfo::touches(const ShipInfo &other) const
{
    return isPlaced() && rectWithMargin().intersects(other.rect());
}

bool ShipInfo::fitsField(int width, int height) const
{
    const QRect r = rect();
    return size > 0 && isPlaced() && r.right() < width && r.bottom() < height;
}

Game::ShipState ShipInfo::stateFromShots(const CellList &shots) const
{
    int hits = 0;
    for (const QPoint &shot : shots) {
        if (contains(shot) && ++hits >= size)
            break;
    }
    if (hits >= size)
        return Game::DestroyedShip;
    return hits > 0 ? Game::DamagedShip : Game::NewShip;
}

bool ShipInfo::operator==(const ShipInfo &other) const
{
    return x == other.x && y == other.y && size == other.size && orientation == other.orientation &&
           state == other.state;
}
