#include "vpointsmodel.h"

#include <cmath>

namespace {

// Offsets are recomputed on every range change; differences below this are rounding, not a move,
// and would only make QML redraw the marker in the same place.
constexpr qreal Tolerance = 1e-12;

bool withinTolerance(qreal a, qreal b)
{
    return std::abs(a - b) <= Tolerance;
}

} // namespace

VPointsModel::VPointsModel(QObject *parent) : QAbstractListModel(parent) {}

int VPointsModel::rowCount(const QModelIndex &) const
{
    return int(m_rows.size());
}

QVariant VPointsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case XValueRole:
        return row.xValue;
    case YValueRole:
        return row.yValue;
    case XOffsetRole:
        return row.xOffset;
    case YOffsetRole:
        return row.yOffset;
    case IndexRole:
        return row.index;
    case IsVisibleRole:
        return row.isVisible;
    default:
        return {};
    }
}

QHash<int, QByteArray> VPointsModel::roleNames() const
{
    return {{XValueRole, "xValue"},   {YValueRole, "yValue"}, {XOffsetRole, "xOffset"},
            {YOffsetRole, "yOffset"}, {IndexRole, "index"},   {IsVisibleRole, "isVisible"}};
}

void VPointsModel::appendRow(const Row &row)
{
    const int at = int(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(row);
    endInsertRows();
}

void VPointsModel::setRow(int i, const Row &row)
{
    if (i < 0 || i >= m_rows.size())
        return;
    const Row &old = m_rows.at(i);
    if (withinTolerance(old.xValue, row.xValue) && withinTolerance(old.yValue, row.yValue) &&
        withinTolerance(old.xOffset, row.xOffset) && withinTolerance(old.yOffset, row.yOffset) &&
        old.index == row.index && old.isVisible == row.isVisible)
        return;
    m_rows[i] = row;
    const QModelIndex changed = index(i);
    emit dataChanged(changed, changed);
}

void VPointsModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}
