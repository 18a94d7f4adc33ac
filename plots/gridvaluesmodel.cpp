#include "gridvaluesmodel.h"

GridValuesModel::GridValuesModel(QObject *parent) : QAbstractListModel(parent) {}

int GridValuesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant GridValuesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case IndexRole:
        return row.index;
    case ValueRole:
        return row.value;
    case OffsetRole:
        return row.offset;
    case TimeRole:
        return row.time;
    default:
        return {};
    }
}

QHash<int, QByteArray> GridValuesModel::roleNames() const
{
    return {{IndexRole, "index"},
            {ValueRole, "value"},
            {OffsetRole, "offset"},
            {TimeRole, "timeValue"}};
}

void GridValuesModel::setCount(int count)
{
    const int current = int(m_rows.size());
    if (count < 0 || count == current)
        return;
    if (count < current) {
        beginRemoveRows(QModelIndex(), count, current - 1);
        m_rows.resize(count);
        endRemoveRows();
    } else {
        beginInsertRows(QModelIndex(), current, count - 1);
        m_rows.resize(count);
        endInsertRows();
    }
}

void GridValuesModel::setRow(int i, const Row &row)
{
    if (i < 0 || i >= m_rows.size() || m_rows.at(i) == row)
        return;
    m_rows[i] = row;
    const QModelIndex changed = index(i);
    emit dataChanged(changed, changed);
}
