#include "modbusint32.h"

ModbusInt32::ModbusInt32(QObject *parent) : ModbusItemIntBase(4, parent) {}

ModbusInt32::ModbusInt32(quint32 address, QObject *parent) : ModbusItemIntBase(4, address, parent)
{}

void ModbusInt32::setValue(qint32 value)
{
    assignValue(value, true);
}

void ModbusInt32::assignValue(qint32 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromInt32(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusInt32::formatValue() const
{
    return QString::number(int(m_value), base());
}

void ModbusInt32::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toInt(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusInt32::updateValueFromBytes()
{
    assignValue(bytes().toInt32(0), false);
}

QVariant ModbusInt32::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(int(bytes.toInt32(0)));
}

bool ModbusInt32::writeValue(qint32 value)
{
    return write(ModbusBytes::fromInt32(value));
}
