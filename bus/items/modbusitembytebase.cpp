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
    setBytesArray(task.firstBytes().shrinkedToByte(), ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
}

quint8 ModbusItemByteBase::byteOfBytes(const ModbusBytes &bytes) const
{
    return m_alignToWord ? bytes.alignedToWord(false).toUInt8(0, true) : bytes.toUInt8(0, false);
}
