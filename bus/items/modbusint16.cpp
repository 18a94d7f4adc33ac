#include "modbusint16.h"

ModbusInt16::ModbusInt16(QObject *parent) : ModbusItemIntBase(2, parent) {}

ModbusInt16::ModbusInt16(quint32 address, QObject *parent) : ModbusItemIntBase(2, address, parent)
{}

void ModbusInt16::setValue(qint16 value)
{
    assignValue(value, true);
}

void ModbusInt16::assignValue(qint16 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromInt16(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusInt16::formatValue() const
{
    return QString::number(int(m_value), base());
}

void ModbusInt16::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toShort(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusInt16::updateValueFromBytes()
{
    assignValue(bytes().toInt16(0), false);
}

QVariant ModbusInt16::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(short(bytes.toInt16(0)));
}

bool ModbusInt16::writeValue(qint16 value)
{
    return write(ModbusBytes::fromInt16(value));
}
