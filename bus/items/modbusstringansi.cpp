#include "modbusstringansi.h"

ModbusStringAnsi::ModbusStringAnsi(QObject *parent) : ModbusItemIntBase(2, parent) {}

ModbusStringAnsi::ModbusStringAnsi(quint32 address, QObject *parent) : ModbusStringAnsi(parent)
{
    setAddress(address);
}

void ModbusStringAnsi::setValue(const QString &value)
{
    if (value == m_value)
        return;
    m_value = value;
    setBytes(ModbusBytes::fromStringAnsi(value, m_oneCharPerRegister), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

void ModbusStringAnsi::updateValueFromBytes()
{
    // The text follows the bytes without being encoded back, so that a read keeps the bytes it
    // brought (a high byte that is not zero, say) instead of the text's encoding of them.
    const QString text = bytes().toStringAnsi(0, -1, m_oneCharPerRegister);
    if (text == m_value)
        return;
    m_value = text;
    emit valueChanged();
    emit formatValueChanged();
}

QVariant ModbusStringAnsi::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toStringAnsi(0, -1, m_oneCharPerRegister);
}

bool ModbusStringAnsi::writeValue(const QString &value)
{
    return write(ModbusBytes::fromStringAnsi(value, m_oneCharPerRegister));
}

void ModbusStringAnsi::setOneCharPerRegister(bool on)
{
    if (on == m_oneCharPerRegister)
        return;
    m_oneCharPerRegister = on;
    emit oneCharPerRegisterChanged();
    setBytes(ModbusBytes::fromStringAnsi(m_value, on), ValueChange);
    updateRequestItemBytesCount();
}

void ModbusStringAnsi::setLength(int length)
{
    if (length == m_length || length < 1)
        return;
    m_length = length;
    updateRequestItemBytesCount();
    emit lengthChanged();
    needValueRead();
}

void ModbusStringAnsi::updateRequestItemBytesCount()
{
    setRequestItemBytesCount(m_oneCharPerRegister ? 2 * m_length : m_length);
}
