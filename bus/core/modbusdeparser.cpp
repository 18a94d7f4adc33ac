#include "modbusdeparser.h"

#include "modbusbytes.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"

#include <QCoreApplication>

namespace {

constexpr unsigned char ExceptionFlag = 0x80;

QString trDeparser(const char *text)
{
    return QCoreApplication::translate("Deparser", text);
}

template <class T> const T &packetAs(const ModbusPacket &packet)
{
    const auto *concrete = dynamic_cast<const T *>(&packet);
    if (!concrete)
        throw trDeparser("invalid packet class for its function code");
    return *concrete;
}

void appendByte(ModbusBytes &out, unsigned int value)
{
    out.append(static_cast<unsigned char>(value & 0xFF));
}

// Whole registers of a buffer, high byte first; an odd trailing byte is left out.
void appendRegisters(ModbusBytes &out, const ModbusBytes &bytes, int count)
{
    out.QByteArray::append(bytes.constData(), 2 * count);
}

void writeRegisters(const ModbusPacketReg &packet, bool request, ModbusBytes &out)
{
    switch (packet.functionCode()) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
        if (request) {
            if (packet.requestRegistersCount() == 0)
                throw trDeparser("request registers count must be greater than zero");
            out.appendUInt16(packet.requestAddress());
            out.appendUInt16(packet.requestRegistersCount());
        } else {
            if (packet.registersCount() == 0)
                throw trDeparser("request registers have not registers");
            appendByte(out, 2u * uint(packet.registersCount()));
            appendRegisters(out, packet.regBytes(), packet.registersCount());
        }
        break;
    case DorrikBus::WriteSingleRegister:
        if (packet.regBytes().size() != 2)
            throw trDeparser("packet must have one register to write");
        out.appendUInt16(packet.requestAddress());
        appendRegisters(out, packet.regBytes(), 1);
        break;
    case DorrikBus::WriteMultipleRegisters:
        if (request) {
            const int count = packet.registersCount();
            if (count == 0)
                throw trDeparser("packet must have any registers to write");
            if (count > ModbusDeparser::MaxWriteRegisters)
                throw trDeparser("too much registers to write");
            out.appendUInt16(packet.requestAddress());
            out.appendUInt16(quint16(count));
            appendByte(out, 2u * uint(count));
            appendRegisters(out, packet.regBytes(), count);
        } else {
            if (packet.registersWritten() == 0)
                throw trDeparser("you must set 'registersWritten'");
            out.appendUInt16(packet.requestAddress());
            out.appendUInt16(packet.registersWritten());
        }
        break;
    default:
        throw trDeparser("unknown function code");
    }
}

void writeReport(const ModbusPacketReport &packet, bool request, ModbusBytes &out)
{
    if (request)
        return;
    if (packet.bytes().isEmpty())
        throw trDeparser("packet must contain report bytes");
    appendByte(out, uint(packet.bytes().size()));
    out.append(packet.bytes());
}

void writeTimeLabel(unsigned int label, ModbusBytes &out)
{
    // Broken down as UTC: the label is the instrument's zone-less wall clock.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(qint64(label), Qt::UTC);
    const int year = time.date().year();
    appendByte(out, uint(time.time().second()));
    appendByte(out, uint(time.time().minute()));
    appendByte(out, uint(time.time().hour()));
    appendByte(out, uint(time.date().day()));
    appendByte(out, uint(time.date().month()));
    appendByte(out, uint((year >= 1970 && year <= 1999) ? year - 1900 : year - 2000));
}

void writeArchive(const ModbusPacketArch &packet, bool request, ModbusBytes &out)
{
    if (!request) {
        appendByte(out, uint(packet.fieldsTotalSize()));
        for (const ModbusBytes &record : packet.records())
            out.append(record);
        return;
    }
    if (packet.requestRecordsCount() == 0)
        throw trDeparser("packet must contains records");
    out.appendUInt16(packet.archIndex());
    out.appendUInt16(packet.requestRecordsCount());
    appendByte(out, uint(packet.archType()));
    if (packet.functionCode() == DorrikBus::ReadArchRecord65) {
        if (packet.archType() == DorrikBus::IndexArch) {
            if (packet.requestLabel() > 0xFFFF)
                throw QCoreApplication::translate(
                    "QObject",
                    "for deparsing 65 function record index must be in less than 2 bytes length");
            out.appendUInt16(quint16(packet.requestLabel()));
        } else {
            writeTimeLabel(packet.requestLabel(), out);
        }
        return;
    }
    out.appendUInt32(packet.requestLabel());
    appendByte(out, uint(packet.direction()));
}

void writePresence(const ModbusPacketArchPresence &packet, bool request, ModbusBytes &out)
{
    if (!request) {
        const int count = packet.labelsCount();
        appendByte(out, 4u * uint(count));
        for (int i = 0; i < count; ++i)
            out.appendUInt32(packet.labels().toUInt32(4 * i));
        return;
    }
    if (packet.requestLabelsCount() == 0)
        throw trDeparser("requestLabelsCount must be non zero");
    out.appendUInt16(packet.archIndex());
    out.appendUInt16(packet.requestLabelsCount());
    appendByte(out, uint(packet.archType()));
    out.appendUInt32(packet.requestLabel());
    appendByte(out, uint(packet.direction()));
}

void writeFile(const ModbusPacketFile &packet, bool request, ModbusBytes &out)
{
    const bool read = packet.functionCode() == DorrikBus::ReadFile;
    if (read && request) {
        if (packet.requestRegistersCount == 0)
            throw trDeparser("file request registers count count must be greater than zero");
        out.appendUInt16(packet.requestOffset);
        appendByte(out, packet.requestFile);
        appendByte(out, packet.requestRegistersCount);
    } else if (read) {
        if (packet.bytes.isEmpty())
            throw trDeparser("read file answer has not registers");
        // File data travels in whole registers; the reader refuses an odd byte count.
        if (packet.bytes.size() % 2 != 0)
            throw trDeparser("file data must hold whole registers");
        appendByte(out, uint(packet.bytes.size()));
        out.append(packet.bytes);
    } else if (request) {
        if (packet.bytes.isEmpty())
            throw trDeparser("file request registers count count must be greater than zero");
        if (packet.bytes.size() % 2 != 0)
            throw trDeparser("file data must hold whole registers");
        const int count = packet.bytes.regsCount();
        if (count > ModbusDeparser::MaxWriteRegisters)
            throw trDeparser("too much registers to write to file");
        out.appendUInt16(packet.requestOffset);
        appendByte(out, packet.requestFile);
        appendByte(out, uint(count));
        out.append(packet.bytes);
    } else {
        if (packet.registersWritten == 0)
            throw trDeparser("regsWritten didn't set");
        out.appendUInt16(packet.requestOffset);
        appendByte(out, packet.requestFile);
        appendByte(out, packet.registersWritten);
    }
}

} // namespace

ModbusDeparser::ModbusDeparser(QObject *parent) : Deparser(parent) {}

ModbusDeparser::~ModbusDeparser() = default;

bool ModbusDeparser::canDeparse(const IPacket &packet) const
{
    const auto *modbusPacket = dynamic_cast<const ModbusPacket *>(&packet);
    return modbusPacket && isFunctionSupported(modbusPacket->functionCode());
}

bool ModbusDeparser::isFunctionSupported(DorrikBus::FunctionCode code) const
{
    switch (code) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters:
    case DorrikBus::ReportSlaveId:
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecordsPresence:
    case DorrikBus::ReadArchRecord67:
    case DorrikBus::ReadFile:
    case DorrikBus::WriteFile:
        return true;
    default:
        return false;
    }
}

void ModbusDeparser::deparseModbusPDU(const ModbusPacket &packet, ModbusBytes &out) const
{
    out.clear();
    const DorrikBus::FunctionCode code = packet.functionCode();
    const DorrikBus::PacketState state = packet.state();

    if (packet.hasException()) {
        if (state != DorrikBus::Response)
            throw trDeparser("exception packet must have 'Responsde' state");
        // Only what the reader takes back: a supported function and a known exception code.
        if (!isFunctionSupported(code))
            throw trDeparser("unknown function code");
        const int exception = packet.exceptionCode();
        if (exception > 11 || ((0xD7F >> exception) & 1) == 0)
            throw trDeparser("unknown exception code");
        appendByte(out, uint(code) | ExceptionFlag);
        appendByte(out, uint(exception));
        return;
    }

    appendByte(out, uint(code));
    if (!isFunctionSupported(code))
        throw trDeparser("unknown function code");
    const bool request = state == DorrikBus::Request;

    switch (code) {
    case DorrikBus::ReportSlaveId:
        writeReport(packetAs<ModbusPacketReport>(packet), request, out);
        break;
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecord67:
        writeArchive(packetAs<ModbusPacketArch>(packet), request, out);
        break;
    case DorrikBus::ReadArchRecordsPresence:
        writePresence(packetAs<ModbusPacketArchPresence>(packet), request, out);
        break;
    case DorrikBus::ReadFile:
    case DorrikBus::WriteFile:
        writeFile(packetAs<ModbusPacketFile>(packet), request, out);
        break;
    default:
        writeRegisters(packetAs<ModbusPacketReg>(packet), request, out);
        break;
    }
}
