#include "modbusuint16.h"

ModbusUInt16::ModbusUInt16(QObject *parent) : ModbusItemIntBase(2, parent) {}

ModbusUInt16::ModbusUInt16(quint32 address, QObject *parent) : ModbusItemIntBase(2, address, parent)
{}

void ModbusUInt16::setValue(quint16 value)
{
    assignValue(value, true);
}

void ModbusUInt16::assignValue(quint16 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromUInt16(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusUInt16::formatValue() const
{
    return QString::number(int(m_value), base());
}

void ModbusUInt16::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toUShort(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusUInt16::updateValueFromBytes()
{
    assignValue(bytes().toUInt16(0), false);
}

QVariant ModbusUInt16::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(ushort(bytes.toUInt16(0)));
}

bool ModbusUInt16::writeValue(quint16 value)
{
    return write(ModbusBytes::fromUInt16(value));
}
