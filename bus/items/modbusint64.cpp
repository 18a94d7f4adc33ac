#include "modbusint64.h"

ModbusInt64::ModbusInt64(QObject *parent) : ModbusItemIntBase(8, parent) {}

ModbusInt64::ModbusInt64(quint32 address, QObject *parent) : ModbusItemIntBase(8, address, parent)
{}

void ModbusInt64::setValue(const qint64 &value)
{
    assignValue(value, true);
}

void ModbusInt64::assignValue(qint64 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromInt64(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

void ModbusInt64::setValueQml(const QVariant &value)
{
    setValue(value.toLongLong());
}

QString ModbusInt64::formatValue() const
{
    return QString::number(qlonglong(m_value), base());
}

void ModbusInt64::setFormatValue(const QString &text)
{
    bool ok = false;
    const auto parsed = text.toLongLong(&ok, base());
    if (ok)
        setValue(parsed);
}

void ModbusInt64::updateValueFromBytes()
{
    assignValue(bytes().toInt64(0), false);
}

QVariant ModbusInt64::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(qlonglong(bytes.toInt64(0)));
}

bool ModbusInt64::writeValue(const qint64 &value)
{
    return write(ModbusBytes::fromInt64(value));
}
