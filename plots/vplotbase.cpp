#include "vplotbase.h"

#include <QTime>

#include <cmath>
#include <limits>

VPlotBase::VPlotBase(QQuickItem *parent)
    : QQuickPaintedItem(parent), m_zeroTime(QDateTime::currentDateTime())
{}

void VPlotBase::setZeroTime(const QDateTime &zeroTime)
{
    if (m_zeroTime == zeroTime)
        return;
    m_zeroTime = zeroTime;
    emit zeroTimeChanged();
}

void VPlotBase::setSecondWeight(qreal secondWeight)
{
    if (m_secondWeight == secondWeight)
        return;
    m_secondWeight = secondWeight;
    emit secondWeightChanged();
}

qreal VPlotBase::timeToAxe(const QDateTime &dateTime) const
{
    // Whole seconds only: the integer division truncates toward zero.
    return qreal(m_zeroTime.msecsTo(dateTime) / 1000) * m_secondWeight;
}

QDateTime VPlotBase::axeToTime(qreal x) const
{
    const double msecs = x / m_secondWeight * 1000;
    // A value that no date-time can stand for (a zero second weight, an endless range) gives
    // none rather than an undefined conversion.
    if (!std::isfinite(msecs) || std::abs(msecs) >= double(std::numeric_limits<qint64>::max() / 2))
        return {};
    return m_zeroTime.addMSecs(qint64(msecs));
}

qreal VPlotBase::valueToAxe(const QVariant &value) const
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return timeToAxe(value.toDateTime());
    case QMetaType::QDate:
        return timeToAxe(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QTime:
        return timeToAxe(m_zeroTime.addMSecs(QTime(0, 0).msecsTo(value.toTime())));
    default:
        return value.toDouble();
    }
}
