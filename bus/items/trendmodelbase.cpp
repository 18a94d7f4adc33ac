#include "trendmodelbase.h"

#include <QDebug>

TrendModelBase::TrendModelBase(QObject *parent)
    : QAbstractTableModel(parent), m_currentTime(QDateTime::currentDateTime())
{}

TrendModelBase::~TrendModelBase() = default;

QHash<int, QByteArray> TrendModelBase::roleNames() const
{
    return {{TimeRole, "time"}, {ValueRole, "value"}};
}

int TrendModelBase::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int TrendModelBase::columnCount(const QModelIndex &) const
{
    return 2;
}

QVariant TrendModelBase::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const TrendRow &row = m_rows.at(index.row());
    switch (role) {
    case ValueRole:
        return row.value * m_ratio;
    case TimeRole:
        return row.time;
    default:
        return QVariant();
    }
}

bool TrendModelBase::getRow(int row, QDateTime &time, double &value) const
{
    if (row < 0 || row >= count())
        return false;
    time = m_rows.at(row).time;
    value = m_rows.at(row).value;
    return true;
}

double TrendModelBase::getValue(int row) const
{
    return row >= 0 && row < count() ? m_rows.at(row).value : 0.0;
}

QDateTime TrendModelBase::getMinXValue() const
{
    return m_rows.isEmpty() ? QDateTime::fromMSecsSinceEpoch(0) : m_rows.first().time;
}

QDateTime TrendModelBase::getMaxXValue() const
{
    return m_rows.isEmpty() ? QDateTime::fromMSecsSinceEpoch(0) : m_rows.last().time;
}

// A NaN after the first row never wins: every comparison with it is false.
double TrendModelBase::getMinYValue() const
{
    if (m_rows.isEmpty())
        return 0.0;
    double result = m_rows.first().value;
    for (const TrendRow &row : m_rows) {
        if (row.value < result)
            result = row.value;
    }
    return result;
}

double TrendModelBase::getMaxYValue() const
{
    if (m_rows.isEmpty())
        return 0.0;
    double result = m_rows.first().value;
    for (const TrendRow &row : m_rows) {
        if (row.value > result)
            result = row.value;
    }
    return result;
}

int TrendModelBase::getInsertingIndex(const QDateTime &time, bool &exists) const
{
    exists = false;
    // New rows mostly arrive in order: search from the end.
    int index = count();
    while (index > 0 && time < m_rows.at(index - 1).time)
        --index;
    return index;
}

QDateTime TrendModelBase::getActualCurrentTime() const
{
    return m_currentTimeSet ? m_currentTime : QDateTime::currentDateTime();
}

int TrendModelBase::checkMaxModelCount(int max)
{
    if (max < 0 || count() <= max)
        return 0;
    const int removed = count() - max;
    removeRows(0, removed);
    return removed;
}

void TrendModelBase::setMaxCount(int value)
{
    if (m_maxCount == value)
        return;
    m_maxCount = value;
    checkMaxModelCount(value);
    emit maxCountChanged();
}

void TrendModelBase::setCurrentTime(const QDateTime &time)
{
    m_currentTimeSet = true;
    if (m_currentTime == time)
        return;
    m_currentTime = time;
    emit currentTimeChanged(time);
}

void TrendModelBase::setRatio(qreal value)
{
    // `==` is false for a NaN: setting one always resets.
    if (m_ratio == value)
        return;
    beginResetModel();
    m_ratio = value;
    endResetModel();
    emit ratioChanged(value);
}

bool TrendModelBase::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count <= 0 || row < 0 || row >= this->count())
        return false;
    const int last = qMin(row + count, this->count()) - 1;
    beginRemoveRows(QModelIndex(), row, last);
    m_rows.remove(row, last - row + 1);
    endRemoveRows();
    // `count` changed: its bindings must hear of it, whoever removed the rows.
    emit countChanged();
    return true;
}

void TrendModelBase::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
    emit countChanged();
}

void TrendModelBase::addValue(const QDateTime &time, qreal value)
{
    bool exists = false;
    int index = getInsertingIndex(time, exists);
    const int removed = checkMaxModelCount(m_maxCount - 1);
    if (removed > 0)
        index = qMax(0, index - removed);
    beginInsertRows(QModelIndex(), index, index);
    m_rows.insert(index, TrendRow{time, value});
    endInsertRows();
    emit countChanged();
}

void TrendModelBase::addValue(qreal value)
{
    addValue(getActualCurrentTime(), value);
}

void TrendModelBase::addValue(const QVariant &label, qreal value)
{
    QDateTime time;
    switch (label.typeId()) {
    case QMetaType::QDateTime:
        time = label.toDateTime();
        break;
    case QMetaType::QDate:
        time = label.toDate().startOfDay();
        break;
    case QMetaType::QString:
        // A text that is no date-time would give a row without a time: refused as well.
        time = QDateTime::fromString(label.toString(), Qt::ISODateWithMs);
        break;
    default:
        break;
    }
    if (!time.isValid()) {
        qWarning().noquote() << tr("can't convert label '%1' to datetime").arg(label.toString());
        return;
    }
    addValue(time, value);
}
