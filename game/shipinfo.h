#ifndef SHIPINFO_H
#define SHIPINFO_H

#include "game.h"

#include <QList>
#include <QPoint>
#include <QRect>

using CellList = QList<QPoint>;

// One ship: its first cell, size, orientation and state. x = -1 marks a ship not yet placed.
class ShipInfo
{
    Q_GADGET
    Q_PROPERTY(int size MEMBER size)
    Q_PROPERTY(int orientation MEMBER orientation)
    Q_PROPERTY(int x MEMBER x)
    Q_PROPERTY(int y MEMBER y)
    Q_PROPERTY(Game::ShipState state MEMBER state)
public:
    enum Orientation { Horizontal = 1, Vertical = 2 };

    ShipInfo() = default;
    ShipInfo(int size, bool vertical, int x = -1, int y = -1);

    bool isVertical() const { return orientation == Vertical; }
    bool isPlaced() const { return x >= 0 && y >= 0; }
    CellList cells() const;
    QRect rect() const;
    QRect rectWithMargin() const;
    bool contains(const QPoint &cell) const;
    bool touches(const ShipInfo &other) const;
    // Placed and wholly inside a field of the given size.
    bool fitsField(int width, int height) const;
    Game::ShipState stateFromShots(const CellList &shots) const;

    bool operator==(const ShipInfo &other) const;
    bool operator!=(const ShipInfo &other) const { return !(*this == other); }

    int size = 0;
    int orientation = Horizontal;
    int x = -1;
    int y = -1;
    Game::ShipState state = Game::NewShip;
};

using ShipList = QList<ShipInfo>;

#endif // SHIPINFO_H
