#include "stringpairmodel.h"

StringPairModel::StringPairModel(QObject *parent) : QAbstractListModel(parent) {}

int StringPairModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_pairs.size());
}

QVariant StringPairModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_pairs.size())
        return QVariant();
    switch (role) {
    case KeyRole:
        return m_pairs.at(index.row()).first;
    case ValueRole:
        return m_pairs.at(index.row()).second;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> StringPairModel::roleNames() const
{
    return {{KeyRole, "key"}, {ValueRole, "value"}};
}

void StringPairModel::append(const QString &key, const QString &value)
{
    const int row = int(m_pairs.size());
    beginInsertRows(QModelIndex(), row, row);
    m_pairs.append(qMakePair(key, value));
    endInsertRows();
}

void StringPairModel::clear()
{
    beginResetModel();
    m_pairs.clear();
    endResetModel();
}

int StringPairModel::indexOf(const QString &key) const
{
    for (int row = 0; row < m_pairs.size(); ++row) {
        if (m_pairs.at(row).first == key)
            return row;
    }
    return -1;
}
