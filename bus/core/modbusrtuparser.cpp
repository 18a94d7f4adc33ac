#include "modbusrtuparser.h"

#include "modbusbytes.h"
#include "modbuscrc.h"
#include "modbuspacket.h"
#include "modbusparseinfo.h"

#include <memory>

namespace {
// Address byte in front, two CRC bytes behind the PDU.
constexpr int kMinFrameSize = 4;
constexpr int kMaxFrameSize = 256;
// The shortest answer: an exception (address, function code, exception code, CRC).
constexpr int kExceptionFrameSize = 5;
// Address, function code, register (or file) and value (or count), CRC.
constexpr int kEchoFrameSize = 8;
constexpr unsigned char kExceptionFlag = 0x80;

// The answer's size by its function code: functions that return data say how much in the byte
// after the code; those that write echo a fixed-size frame.
int answerSizeFor(unsigned char code, const QByteArray &bytes)
{
    switch (code) {
    case 3:
    case 4:
    case 17:
    case 65:
    case 66:
    case 67:
    case 68:
        return quint8(bytes.at(2)) + 5;
    case 6:
    case 16:
    case 69:
        return kEchoFrameSize;
    default:
        return 0;
    }
}
} // namespace

ModbusRTUParser::ModbusRTUParser(QObject *parent) : ModbusParser(parent) {}

bool ModbusRTUParser::canParse(const ModbusBytes &bytes, DorrikBus::PacketState state) const
{
    if (bytes.size() < kMinFrameSize)
        return false;
    // Neither the address nor the CRC is looked at: the frame is whole once its PDU is.
    const ModbusBytes pdu(bytes.mid(1, bytes.size() - 3));
    if (!ModbusParser::canParse(pdu, state))
        return false;
    // A request whose byte count cannot be trusted ends where the check value fits.
    return !isWholeByFrameOnly(pdu, state) ||
           bytes.toUInt16(bytes.size() - 2) ==
               qChecksumModbus(bytes.constData(), static_cast<unsigned int>(bytes.size() - 2));
}

IPacket *ModbusRTUParser::parse(const ModbusBytes &bytes, const IParseInfo &info,
                                const Target *target)
{
    Q_UNUSED(target);
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
        const ModbusBytes pdu(bytes.mid(1, bytes.size() - 3));
        // Function and exception codes are judged before the CRC.
        packet.reset(createPacket(pdu, *modbusInfo));
        parseRTU(bytes, *packet);
        parseModbusPDU(pdu, *modbusInfo, *packet);
    } catch (const QString &text) {
        setErrorString(tr("ModbusRTUParser parse error: %1; bytes: %2")
                           .arg(text, QString::fromLatin1(bytes.toHex())));
        return nullptr;
    }
    return packet.release();
}

QString ModbusRTUParser::toString(bool oneLine) const
{
    QString text = tr("Modbus RTU parser: ") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusRTUParser::parseRTU(const ModbusBytes &bytes, ModbusPacket &packet) const
{
    const int size = bytes.size();
    if (size < kMinFrameSize)
        throw tr("bytes array is too short");
    packet.setAddress(bytes.toUInt8(0));
    // The checksum's value written big-endian puts its bytes in wire order.
    const quint16 received = bytes.toUInt16(size - 2);
    if (received != qChecksumModbus(bytes.constData(), static_cast<unsigned int>(size - 2)))
        throw tr("crc checksum error in bytes: %1").arg(QString::fromLatin1(bytes.toHex()));
}

int ModbusRTUParser::wholeAnswerSize(const QByteArray &request, const QByteArray &bytes)
{
    if (request.size() < 2 || bytes.size() < kExceptionFrameSize)
        return 0;
    const auto unit = quint8(request.at(0));
    const auto code = quint8(request.at(1));
    if (unit == 0 || quint8(bytes.at(0)) != unit)
        return 0;
    const auto answerCode = quint8(bytes.at(1));
    int size = 0;
    if (answerCode == (code | kExceptionFlag))
        size = kExceptionFrameSize;
    else if (answerCode == code)
        size = answerSizeFor(code, bytes);
    if (size < kExceptionFrameSize || size > kMaxFrameSize || bytes.size() < size)
        return 0;
    const quint16 received = quint16(quint8(bytes.at(size - 2)) << 8 | quint8(bytes.at(size - 1)));
    if (received != qChecksumModbus(bytes.constData(), static_cast<unsigned int>(size - 2)))
        return 0;
    return size;
}
