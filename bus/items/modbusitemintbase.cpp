#include "modbusitemintbase.h"

ModbusItemIntBase::ModbusItemIntBase(int bytesPerElement, QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, parent)
{}

ModbusItemIntBase::ModbusItemIntBase(int bytesPerElement, quint32 address, QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, address, parent)
{}

void ModbusItemIntBase::setBase(int base)
{
    if (m_base == base)
        return;
    m_base = base;
    emit baseChanged();
}
