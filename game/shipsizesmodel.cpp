#include "shipsizesmodel.h"

#include <QDebug>

ShipSizesModel::ShipSizesModel(QObject *parent) : QAbstractListModel(parent) {}

int ShipSizesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_pairs.size());
}

QVariant ShipSizesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_pairs.size())
        return QVariant();
    const ShipSizeList::Pair &pair = m_pairs.at(index.row());
    switch (role) {
    case SizeRole:
        return pair.first;
    case ShipsCountRole:
        return pair.second;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ShipSizesModel::roleNames() const
{
    return {{SizeRole, "size"}, {ShipsCountRole, "shipsCount"}};
}

void ShipSizesModel::setShipSizes(const ShipSizeList &sizes)
{
    for (int row = int(m_pairs.size()) - 1; row >= 0; --row) {
        if (!sizes.contains(m_pairs.at(row).first))
            removeRow(row);
    }
    // Rows end in the list's order: a new game during arrangement brings back the largest
    // ships, and they must come first again, as the first row is the next ship to place.
    const QList<ShipSizeList::Pair> pairs = sizes.pairs();
    for (int target = 0; target < pairs.size(); ++target) {
        const ShipSizeList::Pair &pair = pairs.at(target);
        const int row = rowOf(pair.first);
        if (row < 0) {
            insertPair(qMin(target, int(m_pairs.size())), pair);
            continue;
        }
        if (row > target) {
            beginMoveRows(QModelIndex(), row, row, QModelIndex(), target);
            m_pairs.move(row, target);
            endMoveRows();
        }
        setCount(qMin(row, target), pair.second);
    }
}

void ShipSizesModel::increaseShipSize(int size)
{
    const int row = rowOf(size);
    if (row < 0)
        appendPair(ShipSizeList::Pair(size, 1));
    else
        setCount(row, m_pairs.at(row).second + 1);
}

void ShipSizesModel::decreaseShipSize(int size)
{
    const int row = rowOf(size);
    if (row < 0) {
        qDebug() << "decreaseShipSize: shipSize didn't found";
        return;
    }
    if (m_pairs.at(row).second < 2)
        removeRow(row);
    else
        setCount(row, m_pairs.at(row).second - 1);
}

void ShipSizesModel::removeRow(int row)
{
    if (row < 0 || row >= m_pairs.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_pairs.removeAt(row);
    endRemoveRows();
}

void ShipSizesModel::clear()
{
    beginResetModel();
    m_pairs.clear();
    endResetModel();
}

int ShipSizesModel::rowOf(int size) const
{
    for (int row = 0; row < m_pairs.size(); ++row) {
        if (m_pairs.at(row).first == size)
            return row;
    }
    return -1;
}

void ShipSizesModel::setCount(int row, int count)
{
    if (m_pairs.at(row).second == count)
        return;
    m_pairs[row].second = count;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {ShipsCountRole});
}

void ShipSizesModel::appendPair(const ShipSizeList::Pair &pair)
{
    insertPair(int(m_pairs.size()), pair);
}

void ShipSizesModel::insertPair(int row, const ShipSizeList::Pair &pair)
{
    beginInsertRows(QModelIndex(), row, row);
    m_pairs.insert(row, pair);
    endInsertRows();
}
