#include "modbusdatetime.h"

namespace {

bool sameReading(const QDateTime &a, const QDateTime &b)
{
    // Not QDateTime's ==, which compares instants: a reading in a DST gap, kept at the offset of
    // the day before, is the same instant as the reading an hour later, yet another label.
    return a.date() == b.date() && a.time() == b.time();
}

// The reading of a parsed local date-time as a valid one. Qt makes a reading in a DST gap invalid
// though its date and time survive; the instrument's clock may well show it, so it is kept at the
// offset local time had the day before, as the archive labels keep it.
QDateTime validReading(const QDateTime &parsed)
{
    if (parsed.isValid() || !parsed.date().isValid() || !parsed.time().isValid())
        return parsed;
    const QDateTime dayBefore(parsed.date().addDays(-1), parsed.time(), Qt::LocalTime);
    const int offset = dayBefore.isValid() ? dayBefore.offsetFromUtc() : 0;
    return QDateTime(parsed.date(), parsed.time(), Qt::OffsetFromUTC, offset);
}

} // namespace

ModbusDateTime::ModbusDateTime(QObject *parent)
    : ModbusItemAddressedBase(4, parent),
      // The reading that the item's zero bytes stand for.
      m_value(DorrikBus::archLabelToTime(0))
{}

ModbusDateTime::ModbusDateTime(quint32 address, QObject *parent) : ModbusDateTime(parent)
{
    setAddress(address);
}

void ModbusDateTime::setValue(const QDateTime &value)
{
    assignValue(value, true);
}

void ModbusDateTime::setFormat(const QString &format)
{
    if (format == m_format)
        return;
    m_format = format;
    emit formatChanged();
}

QString ModbusDateTime::formatValue() const
{
    return m_value.toString(m_format);
}

void ModbusDateTime::setFormatValue(const QString &text)
{
    setValue(validReading(QDateTime::fromString(text, m_format)));
}

void ModbusDateTime::updateValueFromBytes()
{
    // The value follows the bytes without being encoded back: bytes too short for a label give
    // the epoch, and a read must not replace them with the epoch's four bytes.
    assignValue(bytes().toDateTime(0), false);
}

QVariant ModbusDateTime::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toDateTime(0);
}

bool ModbusDateTime::writeValue(const QDateTime &value)
{
    return write(ModbusBytes::fromDateTime(value));
}

void ModbusDateTime::assignValue(const QDateTime &value, bool encode)
{
    if (sameReading(value, m_value))
        return;
    m_value = value;
    if (encode)
        setBytes(ModbusBytes::fromDateTime(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}
