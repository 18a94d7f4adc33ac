#include "shotsmodel.h"

ShotsModel::ShotsModel(QObject *parent) : QAbstractListModel(parent) {}

int ShotsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cells.size());
}

QVariant ShotsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_cells.size())
        return QVariant();
    const QPoint &cell = m_cells.at(index.row());
    switch (role) {
    case CellXRole:
        return cell.x();
    case CellYRole:
        return cell.y();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ShotsModel::roleNames() const
{
    return {{CellXRole, "cellX"}, {CellYRole, "cellY"}};
}

void ShotsModel::setCells(const CellList &cells)
{
    for (int row = int(m_cells.size()) - 1; row >= 0; --row) {
        if (!cells.contains(m_cells.at(row))) {
            beginRemoveRows(QModelIndex(), row, row);
            m_cells.removeAt(row);
            endRemoveRows();
        }
    }
    for (const QPoint &cell : cells)
        appendCell(cell);
}

void ShotsModel::appendCell(const QPoint &cell)
{
    if (m_cells.contains(cell))
        return;
    const int row = int(m_cells.size());
    beginInsertRows(QModelIndex(), row, row);
    m_cells.append(cell);
    endInsertRows();
}

void ShotsModel::removeCell(const QPoint &cell)
{
    const int row = int(m_cells.indexOf(cell));
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_cells.removeAt(row);
    endRemoveRows();
}

void ShotsModel::clear()
{
    beginResetModel();
    m_cells.clear();
    endResetModel();
}
