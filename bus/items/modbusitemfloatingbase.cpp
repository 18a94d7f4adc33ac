#include "modbusitemfloatingbase.h"

ModbusItemFloatingBase::ModbusItemFloatingBase(int bytesPerElement, QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, parent)
{}

ModbusItemFloatingBase::ModbusItemFloatingBase(int bytesPerElement, quint32 address,
                                               QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, address, parent)
{}

void ModbusItemFloatingBase::setFormat(char format)
{
    if (m_format == format)
        return;
    m_format = format;
    emit formatChanged();
}

void ModbusItemFloatingBase::setPrecision(int precision)
{
    if (m_precision == precision)
        return;
    m_precision = precision;
    emit precisionChanged();
}
