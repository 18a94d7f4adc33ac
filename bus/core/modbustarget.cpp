#include "modbustarget.h"

ModbusTarget::ModbusTarget(QObject *parent) : Target(parent) {}

ModbusTarget::ModbusTarget(const ModbusTarget &other) : Target(other) {}

QString ModbusTarget::toString(bool oneLine) const
{
    QString text;
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
