#include "shipsizelist.h"

void ShipSizeList::add(int size)
{
    for (Pair &pair : m_pairs) {
        if (pair.first == size) {
            ++pair.second;
            return;
        }
    }
    m_pairs.append(Pair(size, 1));
}

bool ShipSizeList::remove(int size)
{
    for (int i = 0; i < m_pairs.size(); ++i) {
        if (m_pairs[i].first != size)
            continue;
        if (m_pairs[i].second <= 1)
            m_pairs.removeAt(i);
        else
            --m_pairs[i].second;
        return true;
    }
    return false;
}

bool ShipSizeList::contains(int size) const
{
    for (const Pair &pair : m_pairs) {
        if (pair.first == size)
            return true;
    }
    return false;
}

int ShipSizeList::shipCount() const
{
    int count = 0;
    for (const Pair &pair : m_pairs)
        count += pair.second;
    return count;
}
