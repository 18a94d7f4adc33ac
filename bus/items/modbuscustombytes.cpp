#include "modbuscustombytes.h"

ModbusCustomBytes::ModbusCustomBytes(QObject *parent) : ModbusItemAddressedBase(1, parent) {}

ModbusCustomBytes::ModbusCustomBytes(int bytesPerElement, QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, parent)
{}

void ModbusCustomBytes::setValue(const QString &value)
{
    if (value == m_value)
        return;
    m_value = value;
    setBytes(ModbusBytes::fromHex(value.toLatin1()), ValueChange);
    emit valueChanged(value);
    // formatValue is this text too, so a binding to it must hear of the change.
    emit formatValueChanged();
}

void ModbusCustomBytes::updateValueFromBytes()
{
    // The bytes are what the device holds: the text follows them and is not encoded back, so
    // that a read never rewrites (or, with liveWrite, writes) what it has just read.
    const QString text = QString::fromLatin1(bytes().toHex());
    if (text == m_value)
        return;
    m_value = text;
    emit valueChanged(text);
    emit formatValueChanged();
}

QVariant ModbusCustomBytes::getTypedValue(const ModbusBytes &bytes) const
{
    return QString::fromLatin1(bytes.toHex());
}

void ModbusCustomBytes::setItemSize(int size)
{
    if (size < 0 || size == requestItemBytesCount())
        return;
    setRequestItemBytesCount(size);
    emit itemSizeChanged(size);
    needValueRead();
}
