#include "modbustcpparser.h"

#include "modbusbytes.h"
#include "modbuspacket.h"
#include "modbusparseinfo.h"
#include "modbustcptarget.h"

#include <memory>

namespace {
constexpr int kHeaderSize = 7;
constexpr int kMinFrameSize = 8;
constexpr int kMaxFrameSize = 260;
} // namespace

ModbusTCPParser::ModbusTCPParser(QObject *parent) : ModbusParser(parent) {}

bool ModbusTCPParser::canParse(const ModbusBytes &bytes, DorrikBus::PacketState state) const
{
    if (bytes.size() < kMinFrameSize || bytes.toUInt8(2) != 0 || bytes.toUInt8(3) != 0)
        return false;
    // The length field is not trusted here: the PDU's own size rule decides. The PDU is only
    // looked at, so it is viewed in place rather than copied.
    const ModbusBytes pdu(
        QByteArray::fromRawData(bytes.constData() + kHeaderSize, bytes.size() - kHeaderSize));
    return ModbusParser::canParse(pdu, state);
}

IPacket *ModbusTCPParser::parse(const ModbusBytes &bytes, const IParseInfo &info,
                                const Target *target)
{
    // ModbusTcpTarget has no meta-object of its own, so only RTTI can tell it apart.
    const auto *tcpTarget = dynamic_cast<const ModbusTcpTarget *>(target);
    std::unique_ptr<ModbusPacket> packet;
    try {
        // Callers always pass a ModbusParseInfo; refuse anything else instead of throwing.
        const auto *modbusInfo = dynamic_cast<const ModbusParseInfo *>(&info);
        if (!modbusInfo)
            throw tr("invalid parse info class");
        if (bytes.size() < kMinFrameSize)
            throw tr("bytes array is too short");
        if (bytes.size() > kMaxFrameSize)
            throw tr("bytes array is too long");
        const ModbusBytes pdu(bytes.mid(kHeaderSize));
        // The PDU is judged before the header.
        packet.reset(createPacket(pdu, *modbusInfo));
        parseModbusPDU(pdu, *modbusInfo, *packet);
        parseMBAP(bytes, tcpTarget, *packet);
    } catch (const QString &text) {
        setErrorString(tr("ModbusTCPParser parse error: %1; bytes: %2")
                           .arg(text, QString::fromLatin1(bytes.toHex())));
        return nullptr;
    }
    return packet.release();
}

QString ModbusTCPParser::toString(bool oneLine) const
{
    QString text = tr("Modbus TCP parser: ") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusTCPParser::parseMBAP(const ModbusBytes &bytes, const ModbusTcpTarget *tcpTarget,
                                ModbusPacket &packet) const
{
    Q_UNUSED(tcpTarget);
    if (bytes.size() < kMinFrameSize)
        throw tr("bytes array is too short");
    if (bytes.toUInt16(2) != 0)
        throw tr("invalid Protocol ID");
    const int length = bytes.toUInt16(4);
    if (length == 0)
        throw tr("zero Length");
    if (length != bytes.size() - 6)
        throw tr("bad TCP/IP ADU package length");
    packet.setAddress(bytes.toUInt8(6));
}
