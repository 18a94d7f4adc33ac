#include "modbusbit.h"

ModbusBit::ModbusBit(QObject *parent)
    : ModbusItemByteBase(parent), m_trueString(tr("true")), m_falseString(tr("false"))
{}

ModbusBit::ModbusBit(quint32 address, QObject *parent) : ModbusBit(parent)
{
    setAddress(address);
}

void ModbusBit::setValue(bool value)
{
    assignValue(value, true);
}

void ModbusBit::setTrueString(const QString &text)
{
    if (text == m_trueString)
        return;
    m_trueString = text;
    emit trueStringChanged();
}

void ModbusBit::setFalseString(const QString &text)
{
    if (text == m_falseString)
        return;
    m_falseString = text;
    emit falseStringChanged();
}

void ModbusBit::setSourceBitIndex(int index)
{
    if (index == m_sourceBitIndex)
        return;
    m_sourceBitIndex = index;
    receiveBytesFromSource();
    emit sourceBitIndexChanged();
}

void ModbusBit::setReverseSourceWords(bool on)
{
    if (on == m_reverseSourceWords)
        return;
    m_reverseSourceWords = on;
    receiveBytesFromSource();
    emit reverseSourceWordsChanged(on);
}

QString ModbusBit::formatValue() const
{
    return m_value ? m_trueString : m_falseString;
}

void ModbusBit::setFormatValue(const QString &text)
{
    // The false text is tried first, so when both texts are equal that text means false.
    if (text.compare(m_falseString, Qt::CaseInsensitive) == 0)
        setValue(false);
    else if (text.compare(m_trueString, Qt::CaseInsensitive) == 0)
        setValue(true);
}

int ModbusBit::sourceBitNumber() const
{
    int byte = sourceByteIndex();
    // The high and low bytes of a big-endian register change places.
    if (m_reverseSourceWords)
        byte = byte % 2 ? byte - 1 : byte + 1;
    return m_sourceBitIndex + 8 * byte;
}

ModbusBytes ModbusBit::getBytesFromSourceBytes(const ModbusBytes &source) const
{
    return ModbusBytes::fromBit(source.getBit(sourceBitNumber(), false), false);
}

void ModbusBit::modifySourceBytes()
{
    ModbusItemBase *item = source();
    if (!item)
        return;
    // Only this bit of the source changes, so bit items on one source never undo each other.
    ModbusBytes bytes = item->bytes();
    bytes.setBit(sourceBitNumber(), m_value);
    item->setBytes(bytes, DependentChange);
}

void ModbusBit::updateValueFromBytes()
{
    // The value follows the bytes without being encoded back: a register read alone keeps its
    // low-order byte as read, not 0x01 for any odd one.
    assignValue(bytes().toBit(0, 0, false), false);
}

QVariant ModbusBit::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toBit(0, 0, false);
}

bool ModbusBit::writeValue(bool value)
{
    return write(ModbusBytes::fromBit(value, false));
}

void ModbusBit::assignValue(bool value, bool encode)
{
    if (value == m_value)
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromBit(value, false), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}
