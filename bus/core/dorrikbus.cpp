#include "dorrikbus.h"

DorrikBus::DorrikBus(QObject *parent) : QObject(parent) {}

QDateTime DorrikBus::archLabelToTime(unsigned int label)
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(qint64(label), Qt::UTC);
    return QDateTime(utc.date(), utc.time(), Qt::LocalTime);
}

unsigned int DorrikBus::archLabelToSeconds(QDateTime t)
{
    if (!t.isValid())
        return 0xFFFFFFFFu;
    const QDateTime utc(t.date(), t.time(), Qt::UTC);
    const qint64 secs = utc.toSecsSinceEpoch();
    if (secs < 0 || secs > qint64(0xFFFFFFFEu))
        return 0xFFFFFFFFu;
    return unsigned(secs);
}
