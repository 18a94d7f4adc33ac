#include "modbusdouble.h"

ModbusDouble::ModbusDouble(QObject *parent) : ModbusItemFloatingBase(8, parent) {}

ModbusDouble::ModbusDouble(quint32 address, QObject *parent)
    : ModbusItemFloatingBase(8, address, parent)
{}

ModbusDouble::ModbusDouble(int bytesPerElement, quint32 address, QObject *parent)
    : ModbusItemFloatingBase(bytesPerElement, address, parent)
{}

void ModbusDouble::setValue(const double &value)
{
    const ModbusBytes encoded = ModbusBytes::fromDouble(value);
    assignValue(value, &encoded);
}

void ModbusDouble::assignValue(double value, const ModbusBytes *encoded)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encoded)
        setBytes(*encoded, ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusDouble::formatValue() const
{
    return QString::number(m_value, format(), precision());
}

void ModbusDouble::setFormatValue(const QString &text)
{
    bool ok = false;
    const double parsed = text.toDouble(&ok);
    if (ok)
        setValue(parsed);
}

void ModbusDouble::updateValueFromBytes()
{
    assignValue(bytes().toDouble(0), nullptr);
}

QVariant ModbusDouble::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant(bytes.toDouble(0));
}

bool ModbusDouble::writeValue(const double &value)
{
    return write(ModbusBytes::fromDouble(value));
}
