#include "modbusrtudeparser.h"

#include "modbusbytes.h"
#include "modbuscrc.h"
#include "modbuspacket.h"

namespace {
constexpr int kMinFrameSize = 4;
constexpr int kMaxFrameSize = 256;
} // namespace

ModbusRTUDeparser::ModbusRTUDeparser(QObject *parent) : ModbusDeparser(parent) {}

QString ModbusRTUDeparser::toString(bool oneLine) const
{
    QString text = tr("Modbus RTU deparser") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

bool ModbusRTUDeparser::canDeparse(const IPacket &packet) const
{
    return ModbusDeparser::canDeparse(packet) && dynamic_cast<const ModbusPacket *>(&packet);
}

bool ModbusRTUDeparser::deparse(const IPacket &packet, ModbusBytes &out, const Target *target)
{
    Q_UNUSED(target);
    try {
        const auto *modbusPacket = dynamic_cast<const ModbusPacket *>(&packet);
        if (!modbusPacket)
            throw tr("ERROR: invalid packet class");
        ModbusBytes pdu;
        deparseModbusPDU(*modbusPacket, pdu);
        ModbusBytes frame;
        deparseRTU(frame, *modbusPacket, pdu);
        if (frame.size() < kMinFrameSize)
            throw tr("deparsed packet is too short, i don't know why...");
        if (frame.size() > kMaxFrameSize)
            throw tr("deparsed packet is too large");
        out = frame;
    } catch (const QString &text) {
        // A caller that ignores the result must not find a malformed frame to send.
        out.clear();
        setErrorString(tr("ModbusRTUDeParser deparse error: ") + text);
        return false;
    }
    return true;
}

void ModbusRTUDeparser::deparseRTU(ModbusBytes &out, const ModbusPacket &packet,
                                   const ModbusBytes &pdu) const
{
    out.clear();
    out.reserve(pdu.size() + 3);
    out.append(static_cast<unsigned char>(packet.address()));
    out.append(pdu);
    // The checksum's value written big-endian puts its bytes in wire order.
    out.appendUInt16(qChecksumModbus(out.constData(), static_cast<unsigned int>(out.size())));
}
