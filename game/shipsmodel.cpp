#include "shipsmodel.h"

ShipsModel::ShipsModel(QObject *parent) : QAbstractListModel(parent) {}

int ShipsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ships.size());
}

QVariant ShipsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_ships.size())
        return QVariant();
    const ShipInfo &ship = m_ships.at(index.row());
    switch (role) {
    case SizeRole:
        return ship.size;
    case CellXRole:
        return ship.x;
    case CellYRole:
        return ship.y;
    case OrientationRole:
        return ship.orientation;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ShipsModel::roleNames() const
{
    return {{SizeRole, "size"},
            {CellXRole, "cellX"},
            {CellYRole, "cellY"},
            {OrientationRole, "orientation"}};
}

void ShipsModel::setShips(const ShipList &ships)
{
    for (int row = int(m_ships.size()) - 1; row >= 0; --row) {
        if (!ships.contains(m_ships.at(row)))
            removeRow(row);
    }
    for (const ShipInfo &ship : ships) {
        if (!m_ships.contains(ship))
            appendShip(ship);
    }
}

void ShipsModel::appendShip(const ShipInfo &ship)
{
    const int row = int(m_ships.size());
    beginInsertRows(QModelIndex(), row, row);
    m_ships.append(ship);
    endInsertRows();
}

void ShipsModel::removeRow(int row)
{
    if (row < 0 || row >= m_ships.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_ships.removeAt(row);
    endRemoveRows();
}

void ShipsModel::removeShip(const ShipInfo &ship)
{
    removeRow(int(m_ships.indexOf(ship)));
}

void ShipsModel::setShip(int row, const ShipInfo &ship)
{
    if (row < 0 || row >= m_ships.size())
        return;
    m_ships[row] = ship;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

void ShipsModel::clear()
{
    beginResetModel();
    m_ships.clear();
    endResetModel();
}
