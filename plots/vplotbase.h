#ifndef VPLOTBASE_H
#define VPLOTBASE_H

#include <QDateTime>
#include <QQuickPaintedItem>

// A painted item with a time base: axis value 0 stands for zeroTime, and one second is
// secondWeight axis units.
class VPlotBase : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QDateTime zeroTime READ zeroTime WRITE setZeroTime NOTIFY zeroTimeChanged)
    Q_PROPERTY(
        qreal secondWeight READ secondWeight WRITE setSecondWeight NOTIFY secondWeightChanged)

public:
    explicit VPlotBase(QQuickItem *parent = nullptr);

    QDateTime zeroTime() const { return m_zeroTime; }
    void setZeroTime(const QDateTime &zeroTime);
    qreal secondWeight() const { return m_secondWeight; }
    void setSecondWeight(qreal secondWeight);

    Q_INVOKABLE qreal timeToAxe(const QDateTime &dateTime) const;
    Q_INVOKABLE QDateTime axeToTime(qreal x) const;

    // An item model's value as an axis value: date-times, dates and times of day through the
    // time base, anything else as a number.
    qreal valueToAxe(const QVariant &value) const;

signals:
    void zeroTimeChanged();
    void secondWeightChanged();

private:
    QDateTime m_zeroTime;
    qreal m_secondWeight = 1.0;
};

#endif
