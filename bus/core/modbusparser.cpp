#include "modbusparser.h"

#include "modbusbytes.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"
#include "modbusparseinfo.h"

#include <QCoreApplication>

namespace {

constexpr unsigned char ExceptionFlag = 0x80;

QString badByteCount()
{
    return QStringLiteral("Bad Modbus PDU(bytes count)");
}

// The packet class must match the PDU's function code; a mismatch means the caller paired a
// packet with the wrong PDU.
template <class T> T &packetAs(ModbusPacket &packet)
{
    auto *concrete = dynamic_cast<T *>(&packet);
    if (!concrete)
        throw QStringLiteral("unsupported Function Code");
    return *concrete;
}

// Byte count at offset 1 followed by exactly that many bytes; minCount bounds the count from
// below.
bool countedSize(const ModbusBytes &pdu, int minCount)
{
    if (pdu.size() < 2)
        return false;
    const int count = pdu.toUInt8(1);
    return count >= minCount && pdu.size() == count + 2;
}

// The protocol's check of a write-multiple request: 1 to 123 registers, two bytes each.
bool writeCountsWithinRule(const ModbusBytes &pdu)
{
    const int count = pdu.toUInt16(3);
    return count >= 1 && count <= 123 && pdu.toUInt8(5) == 2 * count;
}

void parseRegisters(const ModbusBytes &pdu, const ModbusParseInfo &info, ModbusPacketReg &packet,
                    int code)
{
    switch (code) {
    case 3:
    case 4:
        if (info.state == DorrikBus::Request) {
            // A count out of range is kept: the slave answers it with an exception.
            packet.setRequestAddress(pdu.toUInt16(1));
            packet.setRequestRegistersCount(pdu.toUInt16(3));
        } else {
            const int count = pdu.toUInt8(1);
            if (count % 2 != 0)
                throw badByteCount();
            packet.appendRegBytes(ModbusBytes::fromOther(pdu, 2, count));
        }
        break;
    case 6:
        packet.setRequestRegistersCount(1);
        packet.setRequestAddress(pdu.toUInt16(1));
        // The echoed value of an answer is not kept.
        if (info.state == DorrikBus::Request)
            packet.appendRegValue(pdu.toUInt16(3));
        break;
    case 16: {
        const int count = pdu.toUInt16(3);
        if (info.state == DorrikBus::Request) {
            // A count out of range, or one that disagrees with the byte count, is kept as it
            // came: the slave answers it with an exception.
            packet.setRequestAddress(pdu.toUInt16(1));
            packet.setRequestRegistersCount(quint16(count));
            const int byteCount = pdu.toUInt8(5);
            ModbusBytes data = ModbusBytes::fromOther(pdu, 6, byteCount);
            // Kept as long as the byte count says, even where the frame stops short of it, so
            // that the slave's check sees the byte count the request announced.
            if (data.size() < byteCount)
                data.append(QByteArray(byteCount - data.size(), '\0'));
            packet.appendRegBytes(data);
        } else {
            if (count == 0)
                throw QStringLiteral("writing registers count can't be zero");
            // The answer's address is not kept.
            packet.setRegistersWritten(quint16(count));
        }
        break;
    }
    }
}

// The six bytes of a time label in a 65 request: second, minute, hour, day, month, year.
QDateTime timeLabelFromBytes(const ModbusBytes &pdu, int offset)
{
    const int second = pdu.toUInt8(offset);
    const int minute = pdu.toUInt8(offset + 1);
    const int hour = pdu.toUInt8(offset + 2);
    const int day = pdu.toUInt8(offset + 3);
    const int month = pdu.toUInt8(offset + 4);
    const int yearByte = pdu.toUInt8(offset + 5);
    const int year = (yearByte >= 70 && yearByte <= 99) ? 1900 + yearByte : 2000 + yearByte;
    // Built as UTC: the label is the instrument's zone-less wall clock, and a local date-time
    // would shift readings that fall into a daylight-saving gap.
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

void cutRecords(const ModbusBytes &pdu, const ModbusParseInfo &info, ModbusPacketArch &packet)
{
    const int count = pdu.toUInt8(1);
    const int records = info.recordsCount == 0 ? 1 : info.recordsCount;
    if (count % records != 0)
        throw QStringLiteral("invalid arch record data length or response records count doesn't "
                             "match requested");
    const int length = count / records;
    for (int i = 0; i < records; ++i)
        packet.appendRecords(ModbusBytes::fromOther(pdu, 2 + i * length, length));
}

void parseArchive(const ModbusBytes &pdu, const ModbusParseInfo &info, ModbusPacketArch &packet,
                  int code)
{
    if (info.state != DorrikBus::Request) {
        packet.setArchType(info.archType);
        cutRecords(pdu, info, packet);
        return;
    }
    packet.setArchIndex(pdu.toUInt16(1));
    packet.setRequestRecordsCount(pdu.toUInt16(3));
    if (code == 65) {
        // The size rule has already refused a type byte other than 0 and 1.
        packet.setArchType(DorrikBus::ArchType(pdu.toUInt8(5)));
        if (packet.archType() == DorrikBus::IndexArch)
            packet.setRequestLabel(uint(pdu.toUInt16(6)));
        else
            packet.setRequestLabel(timeLabelFromBytes(pdu, 6));
        if (packet.requestRecordsCount() == 0)
            throw QStringLiteral("read arch records count can't be zero");
        return;
    }
    const int type = pdu.toUInt8(5);
    if (type > 1)
        throw QStringLiteral("unknown arch type");
    packet.setArchType(DorrikBus::ArchType(type));
    packet.setRequestLabel(uint(pdu.toUInt32(6)));
    if (packet.requestRecordsCount() == 0)
        throw QStringLiteral("read arch request records count can't be zero");
    const int direction = pdu.toUInt8(10);
    if (direction > 1)
        throw QStringLiteral("unknown arch direction");
    packet.setDirection(DorrikBus::ArchDirection(direction));
}

void parsePresence(const ModbusBytes &pdu, const ModbusParseInfo &info,
                   ModbusPacketArchPresence &packet)
{
    if (info.state != DorrikBus::Request) {
        packet.setArchType(info.archType);
        const int count = pdu.toUInt8(1);
        // A count that is no whole number of labels would make up a label from the pieces.
        if (count % 4 != 0)
            throw badByteCount();
        for (int offset = 2; offset < count + 2; offset += 4)
            packet.appendLabel(pdu.toUInt32(offset));
        return;
    }
    packet.setArchIndex(pdu.toUInt16(1));
    packet.setRequestLabelsCount(pdu.toUInt16(3));
    const int type = pdu.toUInt8(5);
    if (type > 1)
        throw QStringLiteral("unknown arch type");
    packet.setArchType(DorrikBus::ArchType(type));
    // Stored as read for both types: the date-time form of a time label gives the same number.
    packet.setRequestLabel(uint(pdu.toUInt32(6)));
    if (packet.requestLabelsCount() == 0)
        throw QStringLiteral("read arch labels count can't be zero");
    const int direction = pdu.toUInt8(10);
    if (direction > 1)
        throw QStringLiteral("unknown arch direction");
    packet.setDirection(DorrikBus::ArchDirection(direction));
}

void parseFile(const ModbusBytes &pdu, const ModbusParseInfo &info, ModbusPacketFile &packet,
               int code)
{
    if (code == 68 && info.state != DorrikBus::Request) {
        const int count = pdu.toUInt8(1);
        if (count % 2 != 0)
            throw badByteCount();
        packet.bytes = ModbusBytes::fromOther(pdu, 2, count);
        return;
    }
    packet.requestOffset = pdu.toUInt16(1);
    packet.requestFile = pdu.toUInt8(3);
    if (code == 68) {
        packet.requestRegistersCount = pdu.toUInt8(4);
        if (packet.requestRegistersCount == 0)
            throw QStringLiteral("reading file registers count can't be zero");
    } else if (info.state == DorrikBus::Request) {
        packet.requestRegistersCount = pdu.toUInt8(4);
        packet.bytes = ModbusBytes::fromOther(pdu, 5, 2 * packet.requestRegistersCount);
    } else {
        packet.registersWritten = pdu.toUInt8(4);
    }
}

} // namespace

ModbusParser::ModbusParser(QObject *parent) : VParser(parent) {}

ModbusParser::~ModbusParser() = default;

bool ModbusParser::isValidFunctionCodeNum(unsigned char code) const
{
    switch (code & ~ExceptionFlag) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 11:
    case 12:
    case 15:
    case 16:
    case 17:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 43:
    case 65:
    case 66:
    case 67:
    case 68:
    case 69:
        return true;
    default:
        return false;
    }
}

bool ModbusParser::isFunctionSupported(DorrikBus::FunctionCode code) const
{
    switch (int(code)) {
    case 3:
    case 4:
    case 6:
    case 16:
    case 17:
    case 65:
    case 66:
    case 67:
    case 68:
    case 69:
        return true;
    default:
        return false;
    }
}

bool ModbusParser::isValidExceptionCodeNum(unsigned char code) const
{
    return code <= 11 && ((0xD7F >> code) & 1) != 0;
}

bool ModbusParser::isValidArchTypeNum(unsigned char value) const
{
    return value <= 1;
}

bool ModbusParser::isValidArchDirectionNum(unsigned char value) const
{
    return value <= 1;
}

bool ModbusParser::canParse(const ModbusBytes &pdu, DorrikBus::PacketState state) const
{
    if (pdu.isEmpty() || pdu.size() > MaxPduSize)
        return false;
    const unsigned char code = pdu.toUInt8(0);
    if (!isValidFunctionCodeNum(code) ||
        !isFunctionSupported(DorrikBus::FunctionCode(code & ~ExceptionFlag)))
        return false;
    try {
        return checkDataSize(pdu, state);
    } catch (const QString &) {
        return false;
    }
}

bool ModbusParser::checkDataSize(const ModbusBytes &pdu, DorrikBus::PacketState state) const
{
    const int size = int(pdu.size());
    const unsigned char first = pdu.toUInt8(0);
    if (first & ExceptionFlag)
        return size == 2;
    const int code = first;
    if (!isFunctionSupported(DorrikBus::FunctionCode(code)))
        throw QCoreApplication::translate("VParser", "unsupported funcion code");
    const bool request = state == DorrikBus::Request;
    switch (code) {
    case 3:
    case 4:
        return request ? size == 5 : countedSize(pdu, 0);
    case 6:
        return size == 5;
    case 16:
        // A request without data is a whole frame too, answered with an exception.
        return request ? (size >= 6 && (size == pdu.toUInt8(5) + 6 || !writeCountsWithinRule(pdu)))
                       : size == 5;
    case 17:
        return request ? size == 1 : countedSize(pdu, 1);
    case 65:
        if (!request)
            return countedSize(pdu, 1);
        if (size < 6)
            return false;
        switch (pdu.toUInt8(5)) {
        case 0:
            return size == 8;
        case 1:
            return size == 12;
        default:
            return false;
        }
    case 66:
        return request ? size == 11 : countedSize(pdu, 0);
    case 67:
        return request ? size == 11 : countedSize(pdu, 1);
    case 68:
        return request ? size == 5 : countedSize(pdu, 0);
    case 69:
        return request ? (size >= 5 && size == 5 + 2 * pdu.toUInt8(4)) : size == 5;
    default:
        throw QCoreApplication::translate("VParser", "unsupported funcion code");
    }
}

bool ModbusParser::isWholeByFrameOnly(const ModbusBytes &pdu, DorrikBus::PacketState state)
{
    return state == DorrikBus::Request && pdu.size() >= 6 && pdu.toUInt8(0) == 16 &&
           !writeCountsWithinRule(pdu);
}

ModbusPacket *ModbusParser::createPacket(const ModbusBytes &pdu, const ModbusParseInfo &info) const
{
    unsigned char code = pdu.toUInt8(0);
    if (pdu.isEmpty() || !isValidFunctionCodeNum(code))
        throw QStringLiteral("unknown Function Code");
    unsigned char exception = 0;
    if (code & ExceptionFlag) {
        code &= ~ExceptionFlag;
        if (!isFunctionSupported(DorrikBus::FunctionCode(code)))
            throw QStringLiteral("unsupported Function Code");
        exception = pdu.toUInt8(1);
        // A slave never answers with exception code 0; taking it would turn a failure into
        // a success.
        if (exception == 0 || !isValidExceptionCodeNum(exception))
            throw QStringLiteral("unknown Exception Code");
    } else if (!isFunctionSupported(DorrikBus::FunctionCode(code))) {
        throw QStringLiteral("unsupported Function Code");
    }

    ModbusPacket *packet = nullptr;
    switch (code) {
    case 17:
        packet = new ModbusPacketReport;
        break;
    case 65:
    case 67:
        packet = new ModbusPacketArch(info.archType);
        break;
    case 66:
        packet = new ModbusPacketArchPresence(info.archType);
        break;
    case 68:
    case 69:
        packet = new ModbusPacketFile;
        break;
    default:
        packet = new ModbusPacketReg;
        break;
    }
    packet->setFunctionCode(DorrikBus::FunctionCode(code));
    packet->setExceptionCode(DorrikBus::ExceptionCode(exception));
    packet->setState(info.state);
    return packet;
}

void ModbusParser::parseModbusPDU(const ModbusBytes &pdu, const ModbusParseInfo &info,
                                  ModbusPacket &packet) const
{
    if (pdu.size() > MaxPduSize)
        throw QStringLiteral("bytes array is too long");
    packet.setState(info.state);
    if (packet.hasException()) {
        // An exception answer carries nothing more, and trailing bytes make it malformed.
        if (pdu.size() != 2)
            throw QStringLiteral("invalid bytes array size");
        return;
    }
    if (pdu.isEmpty() || !checkDataSize(pdu, info.state))
        throw QStringLiteral("invalid bytes array size");
    const int code = pdu.toUInt8(0);
    // An exception answer reaches here only with a packet that was not made from this PDU.
    if (code & ExceptionFlag)
        throw QStringLiteral("unknown Exception Code");
    switch (code) {
    case 3:
    case 4:
    case 6:
    case 16:
        parseRegisters(pdu, info, packetAs<ModbusPacketReg>(packet), code);
        break;
    case 17: {
        // A request carries nothing beyond the function code.
        ModbusPacketReport &report = packetAs<ModbusPacketReport>(packet);
        if (info.state != DorrikBus::Request)
            report.setBytes(ModbusBytes::fromOther(pdu, 2, pdu.toUInt8(1)));
        break;
    }
    case 65:
    case 67:
        parseArchive(pdu, info, packetAs<ModbusPacketArch>(packet), code);
        break;
    case 66:
        parsePresence(pdu, info, packetAs<ModbusPacketArchPresence>(packet));
        break;
    case 68:
    case 69:
        parseFile(pdu, info, packetAs<ModbusPacketFile>(packet), code);
        break;
    default:
        throw QStringLiteral("unsupported Function Code");
    }
}

QString ModbusParser::toString(bool oneLine) const
{
    QString text = QStringLiteral("Modbus parser: ") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
