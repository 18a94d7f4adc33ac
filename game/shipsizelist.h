#ifndef SHIPSIZELIST_H
#define SHIPSIZELIST_H

#include <QList>
#include <QPair>

// (size, count) pairs in the order in which each size was first added.
class ShipSizeList
{
public:
    using Pair = QPair<int, int>;

    ShipSizeList() = default;
    explicit ShipSizeList(const QList<Pair> &pairs) : m_pairs(pairs) {}

    void add(int size);
    // Takes one ship of the size off; false when there is none.
    bool remove(int size);
    bool contains(int size) const;
    bool isEmpty() const { return m_pairs.isEmpty(); }
    int shipCount() const;
    const QList<Pair> &pairs() const { return m_pairs; }

    bool operator==(const ShipSizeList &other) const { return m_pairs == other.m_pairs; }

private:
    QList<Pair> m_pairs;
};

#endif // SHIPSIZELIST_H
