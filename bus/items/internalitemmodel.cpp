#include "internalitemmodel.h"

#include "modbusitembase.h"

InternalItemModel::InternalItemModel(const ModbusItemBase &item, QObject *parent)
    : QAbstractTableModel(parent), m_item(item)
{}

int InternalItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_item.modelRowsCount();
}

int InternalItemModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_roleNames.size());
}

QVariant InternalItemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    // Only the value roles follow the column: a size hint, alignment, check state or colour
    // request answered with the column's value would be misread by views (and fails Qt's model
    // tester), so those are passed on as they are, and items do not answer them.
    const bool valueRole = role == Qt::DisplayRole || role == Qt::EditRole;
    if (valueRole && index.column() < m_columnRoles.size())
        return m_item.data(index.row(), m_columnRoles.at(index.column()));
    return m_item.data(index.row(), role);
}

QVariant InternalItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= m_headers.size())
        return QVariant();
    return m_headers.at(section);
}

int InternalItemModel::getColumnByRole(int role) const
{
    return int(m_columnRoles.indexOf(role));
}

void InternalItemModel::setRoles(const RoleItems &roles)
{
    QHash<int, QByteArray> names;
    m_headers.clear();
    m_headers.reserve(roles.size());
    m_columnRoles.clear();
    for (const RoleItem &item : roles) {
        names.insert(item.role, item.name);
        m_headers.append(item.title);
        m_columnRoles.append(item.role);
    }
    m_roleNames = names;
}

void InternalItemModel::doItemsAboutToBeInserted(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
}

void InternalItemModel::doItemsInserted()
{
    endInsertRows();
}

void InternalItemModel::doItemsAboutToBeRemoved(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
}

void InternalItemModel::doItemsRemoved()
{
    endRemoveRows();
}

void InternalItemModel::doItemsAboutToBeMoved(int first, int last, int destination)
{
    beginMoveRows(QModelIndex(), first, last, QModelIndex(), destination);
}

void InternalItemModel::doItemsMoved()
{
    endMoveRows();
}

void InternalItemModel::doAboutToBeReset()
{
    beginResetModel();
}

void InternalItemModel::doReset()
{
    endResetModel();
}

void InternalItemModel::doItemsChanged(int first, int last)
{
    const QModelIndex topLeft = index(first, 0);
    const QModelIndex bottomRight = index(last, columnCount() - 1);
    // Rows or columns that do not exist make no valid range; views must not be
    // told of one.
    if (topLeft.isValid() && bottomRight.isValid())
        emit dataChanged(topLeft, bottomRight);
}
