#ifndef TRENDMODELBASE_H
#define TRENDMODELBASE_H

#include "dorrikbus_global.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>

// One row of a trend model.
struct TrendRow
{
    QDateTime time;
    double value = 0.0;
};

// Values over time for charts and lists: (time, value) rows in ascending time order, an optional
// bound on their number, and a factor applied to the values shown. GUI thread only.
class DORRIKBUS_EXPORT TrendModelBase : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int maxCount READ maxCount WRITE setMaxCount NOTIFY maxCountChanged)
    Q_PROPERTY(
        QDateTime currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(qreal ratio READ ratio WRITE setRatio NOTIFY ratioChanged)

public:
    enum Roles { ValueRole = 0, TimeRole = 33 };

    explicit TrendModelBase(QObject *parent = nullptr);
    ~TrendModelBase() override;

    int count() const { return m_rows.size(); }
    int maxCount() const { return m_maxCount; }
    // Negative: no bound. Removes the oldest rows beyond the new bound.
    void setMaxCount(int value);
    QDateTime currentTime() const { return m_currentTime; }
    qreal ratio() const { return m_ratio; }

    // Raw values, without the ratio.
    bool getRow(int row, QDateTime &time, double &value) const;
    double getValue(int row) const;
    // The epoch when empty.
    QDateTime getMinXValue() const;
    QDateTime getMaxXValue() const;
    // 0.0 when empty.
    double getMinYValue() const;
    double getMaxYValue() const;
    // After every row whose time is not later than `time`.
    int getInsertingIndex(const QDateTime &time, bool &exists) const;
    // The time of a row added without one: `currentTime` once it was set, else now.
    QDateTime getActualCurrentTime() const;
    // Removes the oldest rows down to `max`; the number removed. Negative: nothing.
    int checkMaxModelCount(int max);
    void clear();

    QHash<int, QByteArray> roleNames() const override;

public slots:
    void addValue(qreal value);
    // A date-time, a date or an ISO 8601 text; anything else is refused with a warning.
    void addValue(const QVariant &label, qreal value);
    void addValue(const QDateTime &time, qreal value);
    void setCurrentTime(const QDateTime &time);
    void setRatio(qreal value);

signals:
    void typeChanged();
    void countChanged();
    void maxCountChanged();
    void currentTimeChanged(const QDateTime &time);
    void ratioChanged(qreal value);

public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

private:
    QList<TrendRow> m_rows;
    int m_maxCount = -1;
    QDateTime m_currentTime;
    bool m_currentTimeSet = false;
    double m_ratio = 1.0;
};

#endif
