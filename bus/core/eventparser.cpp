#include "eventparser.h"

#include "keypadevent.h"
#include "modbusbytes.h"
#include "systemevent.h"

namespace {

// Event byte strings: 01 <key code> for a key, a single 02 or 03 for a system event.
enum : quint8 { KeyEventByte = 0x01, ShutdownKeyByte = 0x02, BatteryLowByte = 0x03 };

IEvent *parseEventBytes(const ModbusBytes &bytes)
{
    if (bytes.isEmpty())
        throw EventParser::tr("event bytes array is too short");
    const quint8 first = quint8(bytes.at(0));
    switch (first) {
    case KeyEventByte:
        if (bytes.size() != 2)
            throw EventParser::tr("error bytes length: %1").arg(bytes.size());
        return new KeypadEvent(quint8(bytes.at(1)));
    case ShutdownKeyByte:
    case BatteryLowByte:
        if (bytes.size() != 1)
            throw EventParser::tr("error bytes length: %1").arg(bytes.size());
        return new SystemEvent(first);
    default:
        throw EventParser::tr("unknown event type: %1").arg(first);
    }
}

} // namespace

EventParser::EventParser(QObject *parent) : ErrObject(parent) {}

IEvent *EventParser::parse(const ModbusBytes &bytes)
{
    try {
        return parseEventBytes(bytes);
    } catch (const QString &reason) {
        setErrorString(tr("Event parser error: %1 (bytes: %2)")
                           .arg(reason, QString::fromLatin1(bytes.toHex())));
    }
    return nullptr;
}

QString EventParser::toString(bool oneLine) const
{
    QString text = tr("Event parser\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
