#include "modbustaskreport.h"

#include <QDebug>
#include <QObject>

ModbusTaskReport::ModbusTaskReport(ModbusItemBase &item, int interval)
    : ModbusTask(item, DorrikBus::ReadTask, interval)
{}

ModbusTask *ModbusTaskReport::clone() const
{
    return new ModbusTaskReport(*this);
}

QList<ModbusTask *> ModbusTaskReport::split()
{
    qWarning() << QObject::tr("splitting of ModbusReport task is not allowed");
    return {};
}
