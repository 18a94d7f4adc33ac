#include "modbusitemexporter.h"

#include "modbusitembase.h"

ModbusItemExporter::ModbusItemExporter(QObject *parent) : ErrObject(parent) {}

bool ModbusItemExporter::start()
{
    // One export at a time: a second start would write the same file from two places.
    if (m_running)
        return false;
    m_deferred = false;
    setRunning(true);
    const bool result = startInternal();
    if (result && m_deferred)
        return true;
    m_deferred = false;
    setRunning(false);
    if (result)
        emit completed();
    return result;
}

void ModbusItemExporter::stop()
{
    if (m_running && m_deferred)
        stopInternal();
}

void ModbusItemExporter::finish(bool success)
{
    if (!m_deferred)
        return;
    m_deferred = false;
    setRunning(false);
    if (success)
        emit completed();
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
