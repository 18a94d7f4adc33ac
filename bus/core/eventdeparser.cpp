#include "eventdeparser.h"

#include "keypadevent.h"
#include "modbusbytes.h"

EventDeparser::EventDeparser(QObject *parent) : ErrObject(parent) {}

bool EventDeparser::deparse(const IEvent &event, ModbusBytes &bytes)
{
    try {
        const auto *keypadEvent = dynamic_cast<const KeypadEvent *>(&event);
        // System events are only ever read, never written.
        if (event.type() != GlobalEvents::KeyboardEvent || !keypadEvent)
            throw tr("unsupported event type");
        bytes.append(static_cast<unsigned char>(0x01));
        bytes.append(static_cast<unsigned char>(keypadEvent->keyCode()));
        return true;
    } catch (const QString &reason) {
        setErrorString(tr("Modbus event deparser deparse error: %1; bytes: %2")
                           .arg(reason, QString::fromLatin1(bytes.toHex())));
    }
    return false;
}

QString EventDeparser::toString(bool oneLine) const
{
    QString text = tr("Event deparser\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
