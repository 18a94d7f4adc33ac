#include "timeprovider.h"

TimeProvider::TimeProvider(QObject *parent) : QObject(parent) {}

QDateTime TimeProvider::currentDateTime() const
{
    return QDateTime::currentDateTime();
}
