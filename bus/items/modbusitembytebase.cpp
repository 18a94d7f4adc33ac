#include "modbusitembytebase.h"

#include "modbustask.h"

ModbusItemByteBase::ModbusItemByteBase(QObject *parent) : ModbusItemIntBase(1, parent) {}

ModbusItemByteBase::ModbusItemByteBase(quint32 address, QObject *parent)
    : ModbusItemIntBase(1, address, parent)
{}

void ModbusItemByteBase::setAlignToWord(bool align)
{
    if (m_alignToWord == align)
        return;
    m_alignToWord = align;
    emit alignToWordChanged(align);
}

void ModbusItemByteBase::applyResultTask(const ModbusTask &task)
{
    setTopBytesArray(task.firstBytes().shrinkedToByte(), ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
}
