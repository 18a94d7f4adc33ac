#include "modbustcpdeparser.h"

#include "modbusbytes.h"
#include "modbuspacket.h"
#include "modbustcptarget.h"

namespace {
constexpr int kMinFrameSize = 8;
constexpr int kMaxFrameSize = 260;
} // namespace

ModbusTCPDeparser::ModbusTCPDeparser(QObject *parent) : ModbusDeparser(parent) {}

QString ModbusTCPDeparser::toString(bool oneLine) const
{
    QString text = tr("Modbus TCP deparser") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

bool ModbusTCPDeparser::canDeparse(const IPacket &packet) const
{
    return ModbusDeparser::canDeparse(packet) && dynamic_cast<const ModbusPacket *>(&packet);
}

bool ModbusTCPDeparser::deparse(const IPacket &packet, ModbusBytes &out, const Target *target)
{
    try {
        const auto *modbusPacket = dynamic_cast<const ModbusPacket *>(&packet);
        if (!modbusPacket)
            throw tr("ERROR: invalid packet class");
        // ModbusTcpTarget has no meta-object of its own, so only RTTI can tell it apart.
        const auto *tcpTarget = dynamic_cast<const ModbusTcpTarget *>(target);
        if (!tcpTarget)
            throw tr("ERROR: invalid target class");
        ModbusBytes pdu;
        deparseModbusPDU(*modbusPacket, pdu);
        ModbusBytes frame;
        deparseMBAP(frame, *tcpTarget, pdu, *modbusPacket);
        frame.append(pdu);
        if (frame.size() < kMinFrameSize)
            throw tr("deparsed packet is too short, i don't know why...");
        if (frame.size() > kMaxFrameSize)
            throw tr("deparsed packet is too large");
        out = frame;
    } catch (const QString &text) {
        // A caller that ignores the result must not find a malformed frame to send.
        out.clear();
        setErrorString(tr("ModbusTCPDeparser parse error: ") + text);
        return false;
    }
    return true;
}

void ModbusTCPDeparser::deparseMBAP(ModbusBytes &header, const ModbusTcpTarget &tcpTarget,
                                    const ModbusBytes &pdu, const ModbusPacket &packet) const
{
    header.clear();
    header.reserve(7 + pdu.size());
    header.appendUInt16(tcpTarget.transactionID());
    header.appendUInt16(0); // protocol identifier: Modbus
    // Length counts the unit identifier and the PDU.
    header.appendUInt16(static_cast<unsigned short>(pdu.size() + 1));
    header.append(static_cast<unsigned char>(packet.address()));
}
