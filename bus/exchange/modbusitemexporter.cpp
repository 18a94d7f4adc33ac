#include "modbusitemexporter.h"

#include "modbusitembase.h"

ModbusItemExporter::ModbusItemExporter(QObject *parent) : ErrObject(parent) {}

bool ModbusItemExporter::start()
{
    setRunning(true);
    const bool result = startInternal();
    setRunning(false);
    if (result)
        emit completed();
    return result;
}

void ModbusItemExporter::setItem(ModbusItemBase *item)
{
    if (m_item == item)
        return;
    m_item = item;
    emit itemChanged(item);
}

void ModbusItemExporter::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    emit runningChanged(m_running);
}
