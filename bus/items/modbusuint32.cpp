#include "modbusuint32.h"

ModbusUInt32::ModbusUInt32(QObject *parent) : ModbusItemIntBase(4, parent) {}

ModbusUInt32::ModbusUInt32(quint32 address, QObject *parent) : ModbusItemIntBase(4, address, parent)
{}

void ModbusUInt32::setValue(quint32 value)
{
    assignValue(value, true);
}

void ModbusUInt32::assignValue(quint32 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromUInt32(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusUInt32::formatValue() const
{
    return QString::number(uint(m_value), base());
}

void ModbusUInt32::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toUInt(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusUInt32::updateValueFromBytes()
{
    assignValue(bytes().toUInt32(0), false);
}

QVariant ModbusUInt32::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(uint(bytes.toUInt32(0)));
}

bool ModbusUInt32::writeValue(quint32 value)
{
    return write(ModbusBytes::fromUInt32(value));
}
