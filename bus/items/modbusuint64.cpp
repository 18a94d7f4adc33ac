#include "modbusuint64.h"

ModbusUInt64::ModbusUInt64(QObject *parent) : ModbusItemIntBase(8, parent) {}

ModbusUInt64::ModbusUInt64(quint32 address, QObject *parent) : ModbusItemIntBase(8, address, parent)
{}

void ModbusUInt64::setValue(const quint64 &value)
{
    assignValue(value, true);
}

void ModbusUInt64::assignValue(quint64 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromUInt64(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusUInt64::formatValue() const
{
    return QString::number(qulonglong(m_value), base());
}

void ModbusUInt64::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toULongLong(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusUInt64::updateValueFromBytes()
{
    assignValue(bytes().toUInt64(0), false);
}

QVariant ModbusUInt64::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(qulonglong(bytes.toUInt64(0)));
}

bool ModbusUInt64::writeValue(const quint64 &value)
{
    return write(ModbusBytes::fromUInt64(value));
}
