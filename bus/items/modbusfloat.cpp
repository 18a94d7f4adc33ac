#include "modbusfloat.h"

ModbusFloat::ModbusFloat(QObject *parent) : ModbusItemFloatingBase(4, parent) {}

ModbusFloat::ModbusFloat(quint32 address, QObject *parent)
    : ModbusItemFloatingBase(4, address, parent)
{}

void ModbusFloat::setValue(float value)
{
    assignValue(value, true);
}

void ModbusFloat::assignValue(float value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromFloat(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusFloat::formatValue() const
{
    return QString::number(double(m_value), format(), precision());
}

void ModbusFloat::setFormatValue(const QString &text)
{
    bool ok = false;
    const float parsed = text.toFloat(&ok);
    if (ok)
        setValue(parsed);
}

void ModbusFloat::updateValueFromBytes()
{
    assignValue(bytes().toFloat(0), false);
}

QVariant ModbusFloat::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant(bytes.toFloat(0));
}

bool ModbusFloat::writeValue(float value)
{
    return write(ModbusBytes::fromFloat(value));
}
