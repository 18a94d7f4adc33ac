#include "modbuser.h"

#include "modbusc55client.h"
#include "modbuslibusbclient.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"
#include "modbusparseinfo.h"
#include "modbusserialtransport.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"

#include <QMetaType>

namespace {

// Wall-clock 2069-12-31 23:59:59, the end of the label range: the backward search for the
// last label starts there.
constexpr quint32 kLastLabel = 3155759999u;

// The typed reads: `count` registers decoded into `value`, which is written only on success.
template <typename Value, typename Decode>
bool readDecoded(Modbuser &bus, quint32 address, quint16 count, Value &value,
                 const ModbusTarget *target, Decode decode)
{
    ModbusBytes bytes;
    if (!bus.readRegisters(address, count, bytes, target))
        return false;
    value = decode(bytes);
    return true;
}

} // namespace

Modbuser::Modbuser(QObject *parent) : ErrObject(parent)
{
    m_translator.setParent(this);
    qRegisterMetaType<ModbusBytes>("ModbusBytes");
    connect(&m_translator, &ModbusTranslator::packetRequestReceived, this,
            &Modbuser::onPacketRequestReceived);
    connect(&m_translator, &ErrObject::error, this, &Modbuser::setErrorString);
    // Direct: a caller on another thread reads its failed call's text at once.
    connect(
        &m_translator, &ErrObject::threadError, this,
        [this](const QString &text) { setThreadErrorString(text); }, Qt::DirectConnection);
}

Modbuser::~Modbuser()
{
    // The translator's links report errors while they are torn down; nobody is left to read them.
    disconnect(&m_translator, nullptr, this, nullptr);
}

QString Modbuser::toString(bool oneLine) const
{
    QString text = QStringLiteral("Modbuser\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

ModbusTransporter &Modbuser::transporter() const
{
    ModbusTransporter *registry = m_translator.transporter();
    // The translator makes its registry at construction; only a caller that deletes it by hand
    // can take it away.
    Q_ASSERT(registry);
    return *registry;
}

void Modbuser::setTransporter(ModbusTransporter &registry)
{
    m_translator.setTransporter(registry);
}

ModbusTransport *Modbuser::clientTransport() const
{
    ModbusTransporter *registry = m_translator.transporter();
    return registry ? registry->clientTransport() : nullptr;
}

void Modbuser::setClientTransport(ModbusTransport *transport)
{
    ModbusTransporter *registry = m_translator.transporter();
    if (!registry)
        return;
    registry->setClientTransport(transport);
    // A server link is refused by the registry; codecs for it would only sit unused.
    if (!transport || registry->clientTransport() != transport)
        return;
    if (ModbusParser *parser = transport->createParser(&m_translator))
        m_translator.addParser(*parser, *transport);
    if (ModbusDeparser *deparser = transport->createDeparser(&m_translator))
        m_translator.addDeparser(*deparser, *transport);
}

ModbusTransport *Modbuser::getTransport(ModbusTarget *target) const
{
    ModbusTransporter *registry = m_translator.transporter();
    return registry ? qobject_cast<ModbusTransport *>(registry->getTransportByTarget(target))
                    : nullptr;
}

bool Modbuser::connectTransports()
{
    ModbusTransporter *registry = m_translator.transporter();
    return registry && registry->connectTransports();
}

bool Modbuser::disconnectTransports()
{
    ModbusTransporter *registry = m_translator.transporter();
    return registry && registry->disconnectTransports();
}

ModbusTcpClient *Modbuser::addModbusTcpClient(const QHostAddress &address, int port)
{
    auto *link = new ModbusTcpClient(ModbusTcpTarget(address, port), &transporter());
    m_translator.addTransport(*link, true, true);
    return link;
}

ModbusTcpServer *Modbuser::addModbusTcpServer(const QHostAddress &address, int port)
{
    auto *link = new ModbusTcpServer(&transporter());
    link->setAddress(address);
    link->setPort(port);
    m_translator.addTransport(*link, true, true);
    return link;
}

ModbusTFtpClient *Modbuser::addModbusTFtpClient(const QHostAddress &address, int port)
{
    auto *link = new ModbusTFtpClient(ModbusIpTarget(address, port), &transporter());
    m_translator.addTransport(*link, true, true);
    return link;
}

ModbusTFtpServer *Modbuser::addModbusTFtpServer(const QHostAddress &address, int port)
{
    auto *link = new ModbusTFtpServer(&transporter());
    link->setAddress(address);
    link->setPort(port);
    m_translator.addTransport(*link, true, true);
    return link;
}

ModbusLibusbClient *Modbuser::addModbusLibusbClient()
{
    auto *link = new ModbusLibusbClient;
    m_translator.addTransport(*link, true, true);
    return link;
}

ModbusC55Client *Modbuser::addModbusC55Client()
{
    auto *link = new ModbusC55Client;
    m_translator.addTransport(*link, true, true);
    return link;
}

// ---------------------------------------------------------------------------------------------
// Master side

bool Modbuser::requestOffset(quint32 address, Access access, quint16 &offset)
{
    const DorrikBus::ModbusAddressType type = DorrikBus::getAddressType(address);
    if (type == DorrikBus::Coils || type == DorrikBus::DiscreteInputs) {
        setErrorString(tr("can't access address %1: coils and discrete inputs are not supported")
                           .arg(address));
        return false;
    }
    if (type == DorrikBus::InputRegisters && access == Access::Write) {
        setErrorString(tr("can't write address %1: input registers are read-only").arg(address));
        return false;
    }
    const quint32 first = type == DorrikBus::InputRegisters ? 300001u : 400001u;
    if (address - first > 0xFFFFu) {
        setErrorString(
            tr("can't access address %1: register offset doesn't fit in 16 bits").arg(address));
        return false;
    }
    offset = quint16(DorrikBus::logToAbs(address) & 0xFFFFu);
    return true;
}

template <typename P>
std::unique_ptr<P> Modbuser::exchange(ModbusPacket &request, const ModbusTarget *target)
{
    std::unique_ptr<ModbusPacket> answer(m_translator.sendAndReceive(request, target));
    if (auto *typed = dynamic_cast<P *>(answer.get())) {
        answer.release();
        return std::unique_ptr<P>(typed);
    }
    return nullptr;
}

template <typename P>
std::unique_ptr<P> Modbuser::exchange(ModbusPacket &request, ModbusParseInfo &info,
                                      const ModbusTarget *target)
{
    std::unique_ptr<ModbusPacket> answer(m_translator.sendAndReceive(request, info, target));
    if (auto *typed = dynamic_cast<P *>(answer.get())) {
        answer.release();
        return std::unique_ptr<P>(typed);
    }
    return nullptr;
}

void Modbuser::reportException(const ModbusPacket &answer, bool oneLine)
{
    setErrorString(tr("received exception packet: ") + answer.toString(oneLine));
}

bool Modbuser::readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                             const ModbusTarget *target)
{
    quint16 offset = 0;
    if (!requestOffset(address, Access::Read, offset))
        return false;
    ModbusPacketReg request;
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(DorrikBus::getReadRegFunctionCode(address));
    request.setRequestAddress(offset);
    request.setRequestRegistersCount(count);
    const std::unique_ptr<ModbusPacketReg> answer = exchange<ModbusPacketReg>(request, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        setErrorString(tr("received exception packet: %1; problem request packet: %2")
                           .arg(answer->toString(true), request.toString(true)));
        return false;
    }
    const int received = answer->regBytes().regsCount();
    if (received != count) {
        setErrorString(tr("received registers count (%1) doesn't equal requested registers "
                          "count (%2). \n Requested packet: \n %3 \n AnswerPacket: \n %4")
                           .arg(QString::number(received), QString::number(count),
                                request.toString(false), answer->toString(false)));
        return false;
    }
    bytes = answer->regBytes();
    return true;
}

bool Modbuser::readRegisters(quint32 address, quint16 count, ModbusBytesArray &registers,
                             const ModbusTarget *target)
{
    ModbusBytes bytes;
    const bool ok = readRegisters(address, count, bytes, target);
    registers = ok ? bytes.splitBySize(2) : ModbusBytesArray();
    return ok;
}

bool Modbuser::readRegister(quint32 address, ModbusBytesArray &registers,
                            const ModbusTarget *target)
{
    return readRegisters(address, 1, registers, target);
}

bool Modbuser::readRegister(quint32 address, quint16 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 1, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toReg(0); });
}

bool Modbuser::readRegister(quint32 address, ModbusBytes &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 1, value, target, [](const ModbusBytes &bytes) {
        return ModbusBytes::fromUInt16(bytes.toReg(0));
    });
}

bool Modbuser::readUInt16(quint32 address, quint16 &value, const ModbusTarget *target)
{
    return readRegister(address, value, target);
}

bool Modbuser::readInt16(quint32 address, qint16 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 1, value, target,
                       [](const ModbusBytes &bytes) { return qint16(bytes.toReg(0)); });
}

bool Modbuser::readUInt32(quint32 address, quint32 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 2, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toUInt32(0); });
}

bool Modbuser::readInt32(quint32 address, qint32 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 2, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toInt32(0); });
}

bool Modbuser::readFloat(quint32 address, float &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 2, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toFloat(0); });
}

bool Modbuser::readUInt64(quint32 address, quint64 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 4, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toUInt64(0); });
}

bool Modbuser::readInt64(quint32 address, qint64 &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 4, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toInt64(0); });
}

bool Modbuser::readDouble(quint32 address, double &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 4, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toDouble(0); });
}

bool Modbuser::readDoubleStruct(quint32 address, double &value, const ModbusTarget *target)
{
    return readDecoded(*this, address, 4, value, target,
                       [](const ModbusBytes &bytes) { return bytes.toDoubleStruct(0); });
}

bool Modbuser::readString(quint32 address, quint16 count, QString &text, const ModbusTarget *target)
{
    return readDecoded(*this, address, count, text, target,
                       [](const ModbusBytes &bytes) { return bytes.toStringAnsi(0, -1, true); });
}

bool Modbuser::readHoldingRegister(quint16 absolute, quint16 &value, const ModbusTarget *target)
{
    return readRegister(DorrikBus::absToLog(absolute, DorrikBus::HoldingRegister), value, target);
}

bool Modbuser::readInputRegister(quint16 absolute, quint16 &value, const ModbusTarget *target)
{
    return readRegister(DorrikBus::absToLog(absolute, DorrikBus::InputRegister), value, target);
}

bool Modbuser::writeRegisters(quint32 address, const ModbusBytes &data, const ModbusTarget *target)
{
    // The frame carries whole registers only: an odd byte would be dropped on the way while
    // the write reports success.
    if (data.size() % 2 != 0) {
        setErrorString(tr("can't write %1 bytes: registers take two bytes each").arg(data.size()));
        return false;
    }
    quint16 offset = 0;
    if (!requestOffset(address, Access::Write, offset))
        return false;
    ModbusPacketReg request;
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(DorrikBus::WriteMultipleRegisters);
    request.setRequestAddress(offset);
    request.setRegBytes(data);
    const std::unique_ptr<ModbusPacketReg> answer = exchange<ModbusPacketReg>(request, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        reportException(*answer, false);
        return false;
    }
    return true;
}

bool Modbuser::writeRegister(quint32 address, quint16 value, const ModbusTarget *target)
{
    quint16 offset = 0;
    if (!requestOffset(address, Access::Write, offset))
        return false;
    ModbusPacketReg request;
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(m_singleWrite ? DorrikBus::WriteSingleRegister
                                          : DorrikBus::WriteMultipleRegisters);
    request.setRequestAddress(offset);
    request.appendRegValue(value);
    const std::unique_ptr<ModbusPacketReg> answer = exchange<ModbusPacketReg>(request, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        reportException(*answer, false);
        return false;
    }
    return true;
}

bool Modbuser::writeUInt16(quint32 address, quint16 value, const ModbusTarget *target)
{
    return writeRegister(address, value, target);
}

bool Modbuser::writeInt16(quint32 address, qint16 value, const ModbusTarget *target)
{
    return writeRegister(address, quint16(value), target);
}

bool Modbuser::writeUInt8(quint32 address, quint8 value, const ModbusTarget *target)
{
    return writeRegister(address, quint16(value), target);
}

bool Modbuser::writeInt8(quint32 address, qint8 value, const ModbusTarget *target)
{
    // The byte's own pattern in the low half: minus one is 0x00FF, not a sign-extended 0xFFFF.
    return writeRegister(address, quint16(quint8(value)), target);
}

bool Modbuser::writeUInt(quint32 address, quint32 value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromUInt32(value), target);
}

bool Modbuser::writeInt(quint32 address, qint32 value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromInt32(value), target);
}

bool Modbuser::writeUInt64(quint32 address, const quint64 &value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromUInt64(value), target);
}

bool Modbuser::writeInt64(quint32 address, const qint64 &value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromInt64(value), target);
}

bool Modbuser::writeFloat(quint32 address, float value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromFloat(value), target);
}

bool Modbuser::writeDouble(quint32 address, double value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromDouble(value), target);
}

bool Modbuser::writeDoubleStruct(quint32 address, double value, const ModbusTarget *target)
{
    return writeRegisters(address, ModbusBytes::fromDoubleStruct(value), target);
}

bool Modbuser::writeStringUtf8(quint32 address, const QString &text, const ModbusTarget *target)
{
    return writeRegisters(address, paddedToRegisters(ModbusBytes::fromStringUtf8(text)), target);
}

bool Modbuser::writeStringAnsi(quint32 address, const QString &text, bool oneCharPerRegister,
                               const ModbusTarget *target)
{
    return writeRegisters(
        address, paddedToRegisters(ModbusBytes::fromStringAnsi(text, oneCharPerRegister)), target);
}

ModbusBytes Modbuser::paddedToRegisters(ModbusBytes text)
{
    // The zero that fills the last register also ends the text on the instrument.
    if (text.size() % 2 != 0)
        text.append(char(0));
    return text;
}

bool Modbuser::writeStringAnsi(quint32 address, const char *text, bool oneCharPerRegister,
                               const ModbusTarget *target)
{
    return writeStringAnsi(address, QString::fromLatin1(text), oneCharPerRegister, target);
}

bool Modbuser::getReport(ModbusBytes &report, const ModbusTarget *target)
{
    ModbusPacketReport request;
    request.setAddress(m_deviceAddress);
    const std::unique_ptr<ModbusPacketReport> answer =
        exchange<ModbusPacketReport>(request, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        reportException(*answer, false);
        return false;
    }
    report = answer->bytes();
    return true;
}

bool Modbuser::getDevName(QString &name, const ModbusTarget *target)
{
    ModbusBytes report;
    if (!getReport(report, target))
        return false;
    name = DorrikBus::getDevNameFromReportBytes(report);
    return true;
}

bool Modbuser::readFile(quint8 file, quint16 offset, quint8 count, ModbusBytes &bytes,
                        const ModbusTarget *target)
{
    ModbusPacketFile request;
    // The file requests go to the device address too: unit 1 would be another device on a bus.
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(DorrikBus::ReadFile);
    request.requestFile = file;
    request.requestOffset = offset;
    request.requestRegistersCount = count;
    const std::unique_ptr<ModbusPacketFile> answer = exchange<ModbusPacketFile>(request, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        setErrorString(tr("received exception packet: %1; problem request packet: %2")
                           .arg(answer->toString(true), request.toString(true)));
        return false;
    }
    const int received = answer->bytes.regsCount();
    if (received != count) {
        setErrorString(tr("received file registers count (%1) doesn't equal requested registers "
                          "count (%2). \n Requested packet: \n %3 \n AnswerPacket: \n %4")
                           .arg(QString::number(received), QString::number(count),
                                request.toString(false), answer->toString(false)));
        return false;
    }
    bytes = answer->bytes;
    return true;
}

bool Modbuser::writeFile(quint8 file, quint16 offset, const ModbusBytes &data,
                         const ModbusTarget *target)
{
    ModbusPacketFile request;
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(DorrikBus::WriteFile);
    request.requestFile = file;
    request.requestOffset = offset;
    request.bytes = data;
    const std::unique_ptr<ModbusPacketFile> answer = exchange<ModbusPacketFile>(request, target);
    if (!answer)
        return false;
    if (answer->hasException() || int(answer->registersWritten) != data.regsCount()) {
        reportException(*answer, false);
        return false;
    }
    return true;
}

bool Modbuser::readArchPresence(quint16 arch, quint32 label, DorrikBus::ArchType type,
                                ModbusBytes &labels, DorrikBus::ArchDirection direction,
                                quint16 count, const ModbusTarget *target)
{
    ModbusPacketArchPresence request(type, count);
    request.setAddress(m_deviceAddress);
    request.setArchIndex(arch);
    request.setRequestLabel(label);
    request.setDirection(direction);
    ModbusParseInfo info(DorrikBus::Response, type);
    const std::unique_ptr<ModbusPacketArchPresence> answer =
        exchange<ModbusPacketArchPresence>(request, info, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        reportException(*answer, true);
        return false;
    }
    labels.append(answer->labels());
    return true;
}

bool Modbuser::readArchPresence(quint16 arch, quint32 label, DorrikBus::ArchType type,
                                ModbusBytesArray &labels, DorrikBus::ArchDirection direction,
                                quint16 count, const ModbusTarget *target)
{
    ModbusBytes bytes;
    if (!readArchPresence(arch, label, type, bytes, direction, count, target))
        return false;
    labels = bytes.splitBySize(4);
    return true;
}

bool Modbuser::readIndexArchLabels(quint16 arch, quint32 start, quint16 count,
                                   QList<quint32> &labels, bool forward, const ModbusTarget *target)
{
    ModbusBytes bytes;
    const bool ok =
        readArchPresence(arch, start, DorrikBus::IndexArch, bytes,
                         forward ? DorrikBus::Forward : DorrikBus::Backward, count, target);
    labels = bytes.toArchLabels(0, -1);
    return ok;
}

bool Modbuser::readTimeArchLabels(quint16 arch, const QDateTime &start, quint16 count,
                                  QList<QDateTime> &labels, bool forward,
                                  const ModbusTarget *target)
{
    ModbusBytes bytes;
    const bool ok =
        readArchPresence(arch, DorrikBus::archLabelToSeconds(start), DorrikBus::TimeArch, bytes,
                         forward ? DorrikBus::Forward : DorrikBus::Backward, count, target);
    labels = bytes.toArchTimeLabels(0, -1);
    return ok;
}

bool Modbuser::getNearestLabel(quint16 arch, DorrikBus::ArchType type, quint32 start,
                               quint32 &label, DorrikBus::ArchDirection direction, bool *found,
                               const ModbusTarget *target)
{
    ModbusBytes bytes;
    const bool ok = readArchPresence(arch, start, type, bytes, direction, 1, target);
    const bool any = ok && bytes.archLabelsCount() > 0;
    if (found)
        *found = any;
    if (any)
        label = bytes.toUInt32(0);
    return ok;
}

bool Modbuser::getFirstLabel(quint16 arch, DorrikBus::ArchType type, quint32 &label, bool *found,
                             const ModbusTarget *target)
{
    return getNearestLabel(arch, type, 0, label, DorrikBus::Forward, found, target);
}

bool Modbuser::getLastLabel(quint16 arch, DorrikBus::ArchType type, quint32 &label, bool *found,
                            const ModbusTarget *target)
{
    return getNearestLabel(arch, type, kLastLabel, label, DorrikBus::Backward, found, target);
}

bool Modbuser::getFirstIndexLabel(quint16 arch, quint32 &label, bool *found,
                                  const ModbusTarget *target)
{
    return getFirstLabel(arch, DorrikBus::IndexArch, label, found, target);
}

bool Modbuser::getLastIndexLabel(quint16 arch, quint32 &label, bool *found,
                                 const ModbusTarget *target)
{
    return getLastLabel(arch, DorrikBus::IndexArch, label, found, target);
}

bool Modbuser::getFirstTimeLabel(quint16 arch, QDateTime &label, bool *found,
                                 const ModbusTarget *target)
{
    quint32 seconds = 0;
    const bool ok = getFirstLabel(arch, DorrikBus::TimeArch, seconds, found, target);
    if (ok && found && *found)
        label = DorrikBus::archLabelToTime(seconds);
    return ok;
}

bool Modbuser::getLastTimeLabel(quint16 arch, QDateTime &label, bool *found,
                                const ModbusTarget *target)
{
    quint32 seconds = 0;
    const bool ok = getLastLabel(arch, DorrikBus::TimeArch, seconds, found, target);
    if (ok && found && *found)
        label = DorrikBus::archLabelToTime(seconds);
    return ok;
}

bool Modbuser::readArchRecordsPacket(quint16 arch, quint32 label, DorrikBus::FunctionCode function,
                                     DorrikBus::ArchDirection direction, quint16 count,
                                     DorrikBus::ArchType type, QList<ModbusBytes> &records,
                                     const ModbusTarget *target, int pieces)
{
    ModbusPacketArch request(type, direction);
    request.setAddress(m_deviceAddress);
    request.setFunctionCode(function);
    request.setArchIndex(arch);
    request.setRequestRecordsCount(count);
    request.setRequestLabel(label);
    // The answer does not say where one record ends: the parser cuts it into equal pieces, as
    // many as asked for unless the caller cuts it itself.
    ModbusParseInfo info(DorrikBus::Response, pieces < 0 ? count : quint16(pieces), type);
    const std::unique_ptr<ModbusPacketArch> answer =
        exchange<ModbusPacketArch>(request, info, target);
    if (!answer)
        return false;
    if (answer->hasException()) {
        reportException(*answer, false);
        return false;
    }
    if (answer->records().isEmpty()) {
        setErrorString(tr("received empty arch packet: ") + answer->toString(false));
        return false;
    }
    records = answer->records();
    return true;
}

bool Modbuser::readArchRecords65(quint16 arch, quint32 label, quint16 count,
                                 QList<ModbusBytes> &records, DorrikBus::ArchType type,
                                 const ModbusTarget *target)
{
    return readArchRecordsPacket(arch, label, DorrikBus::ReadArchRecord65, DorrikBus::Forward,
                                 count, type, records, target);
}

bool Modbuser::readArchRecords67(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                 quint16 count, QList<ModbusBytes> &records,
                                 DorrikBus::ArchType type, const ModbusTarget *target)
{
    return readArchRecordsPacket(arch, label, DorrikBus::ReadArchRecord67, direction, count, type,
                                 records, target);
}

bool Modbuser::readArchRecord65(quint16 arch, quint32 label, ModbusBytes &record,
                                DorrikBus::ArchType type, const ModbusTarget *target)
{
    QList<ModbusBytes> records;
    if (!readArchRecords65(arch, label, 1, records, type, target))
        return false;
    record = records.first();
    return true;
}

bool Modbuser::readArchRecord67(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                ModbusBytes &record, DorrikBus::ArchType type,
                                const ModbusTarget *target)
{
    QList<ModbusBytes> records;
    if (!readArchRecords67(arch, label, direction, 1, records, type, target))
        return false;
    record = records.first();
    return true;
}

int Modbuser::readArchRecords(quint16 arch, quint32 label, DorrikBus::ArchFunc func,
                              DorrikBus::ArchType type, ModbusBytes &records,
                              DorrikBus::ArchDirection direction, quint16 count,
                              const ModbusTarget *target, int recordSize)
{
    ModbusBytesArray cut;
    const int n =
        readArchRecords(arch, label, func, type, cut, direction, count, target, recordSize);
    if (n > 0)
        records = cut.toModbusBytes();
    return n;
}

int Modbuser::readArchRecords(quint16 arch, quint32 label, DorrikBus::ArchFunc func,
                              DorrikBus::ArchType type, ModbusBytesArray &records,
                              DorrikBus::ArchDirection direction, quint16 count,
                              const ModbusTarget *target, int recordSize)
{
    const DorrikBus::FunctionCode function =
        func == DorrikBus::Func65 ? DorrikBus::ReadArchRecord65 : DorrikBus::ReadArchRecord67;
    QList<ModbusBytes> list;
    // With a known size the answer is taken whole: cut by the count asked for, an answer of
    // fewer records would turn into pieces of records.
    if (!readArchRecordsPacket(arch, label, function, direction, count, type, list, target,
                               recordSize > 0 ? 1 : -1))
        return 0;
    const ModbusBytes joined = ModbusBytes::fromList(list);
    if (joined.isEmpty()) {
        setErrorString(tr("received empty arch packet"));
        return 0;
    }
    if (recordSize <= 0) {
        records = ModbusBytesArray(list);
        return int(list.size());
    }
    if (joined.size() % recordSize != 0) {
        setErrorString(tr("arch answer of %1 bytes is not a whole number of %2-byte records")
                           .arg(joined.size())
                           .arg(recordSize));
        return 0;
    }
    const int received = int(joined.size() / recordSize);
    if (received > count) {
        setErrorString(
            tr("arch answer holds %1 records, %2 were asked for").arg(received).arg(count));
        return 0;
    }
    records = joined.splitBySize(recordSize, -1);
    return received;
}

bool Modbuser::readIndexArchRecords(quint16 arch, quint32 label, quint16 count,
                                    QList<ModbusBytes> &records, const ModbusTarget *target)
{
    return readArchRecords65(arch, label, count, records, DorrikBus::IndexArch, target);
}

bool Modbuser::readTimeArchRecords(quint16 arch, const QDateTime &label, quint16 count,
                                   QList<ModbusBytes> &records, const ModbusTarget *target)
{
    return readArchRecords65(arch, DorrikBus::archLabelToSeconds(label), count, records,
                             DorrikBus::TimeArch, target);
}

bool Modbuser::readIndexArchRecords(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                    quint16 count, QList<ModbusBytes> &records,
                                    const ModbusTarget *target)
{
    return readArchRecords67(arch, label, direction, count, records, DorrikBus::IndexArch, target);
}

bool Modbuser::readTimeArchRecords(quint16 arch, const QDateTime &label,
                                   DorrikBus::ArchDirection direction, quint16 count,
                                   QList<ModbusBytes> &records, const ModbusTarget *target)
{
    return readArchRecords67(arch, DorrikBus::archLabelToSeconds(label), direction, count, records,
                             DorrikBus::TimeArch, target);
}

bool Modbuser::readIndexArchRecord(quint16 arch, quint32 label, ModbusBytes &record,
                                   const ModbusTarget *target)
{
    return readArchRecord65(arch, label, record, DorrikBus::IndexArch, target);
}

bool Modbuser::readTimeArchRecord(quint16 arch, const QDateTime &label, ModbusBytes &record,
                                  const ModbusTarget *target)
{
    return readArchRecord65(arch, DorrikBus::archLabelToSeconds(label), record, DorrikBus::TimeArch,
                            target);
}

bool Modbuser::readIndexArchRecord(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                   ModbusBytes &record, const ModbusTarget *target)
{
    return readArchRecord67(arch, label, direction, record, DorrikBus::IndexArch, target);
}

bool Modbuser::readTimeArchRecord(quint16 arch, const QDateTime &label,
                                  DorrikBus::ArchDirection direction, ModbusBytes &record,
                                  const ModbusTarget *target)
{
    return readArchRecord67(arch, DorrikBus::archLabelToSeconds(label), direction, record,
                            DorrikBus::TimeArch, target);
}

// ---------------------------------------------------------------------------------------------
// Slave side

void Modbuser::onPacketRequestReceived(ModbusPacket &request, ModbusTranslateOptions &options,
                                       ModbusPacket **answer)
{
    if (request.state() != DorrikBus::Request || !answer)
        return;
    if (*answer) {
        setErrorString(tr("somebody else has been answered for this modbus request"));
        return;
    }
    bool handled = false;
    ModbusPacket *reply = nullptr;
    switch (request.functionCode()) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters:
        reply = answerRegisters(request, options, handled);
        break;
    case DorrikBus::ReportSlaveId:
        reply = answerReport(options, handled);
        break;
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecord67:
        reply = answerArchRecords(request, options, handled);
        break;
    case DorrikBus::ReadArchRecordsPresence:
        reply = answerArchPresence(request, options, handled);
        break;
    default:
        // Not a function of this slave: no handler, no answer, no message.
        return;
    }
    if (!reply) {
        setErrorString(tr("Packet wasn't handled: ") + request.toString(true));
        return;
    }
    reply->setState(DorrikBus::Response);
    reply->setExceptionCode(options.answerExceptionCode());
    // Masters drop answers from another unit than the one they asked.
    reply->setAddress(options.requestAddress());
    // Every slave on a serial line hears a broadcast: it is carried out, and an answer would
    // collide with the other slaves' on the shared line.
    if (request.address() == 0 &&
        qobject_cast<const ModbusSerialTransport *>(options.fromTransport())) {
        delete reply;
        return;
    }
    *answer = reply;
}

bool Modbuser::withinProtocolLimits(const ModbusPacketReg &request)
{
    const int count = request.requestRegistersCount();
    switch (request.functionCode()) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
        // 125 registers fill the largest answer.
        return count >= 1 && count <= 125;
    case DorrikBus::WriteMultipleRegisters:
        return count >= 1 && count <= 123 && request.regBytes().size() == 2 * count;
    default:
        return true;
    }
}

ModbusPacket *Modbuser::answerRegisters(ModbusPacket &request, ModbusTranslateOptions &options,
                                        bool &handled)
{
    const auto &regRequest = static_cast<const ModbusPacketReg &>(request);
    // Function 4 as well reaches the handler in the holding range.
    const quint32 address =
        DorrikBus::absToLog(regRequest.requestAddress(), DorrikBus::HoldingRegister);
    auto reply = std::make_unique<ModbusPacketReg>();
    reply->setFunctionCode(request.functionCode());
    // Answered here, as the protocol wants, so that no handler sees a count it cannot serve.
    if (!withinProtocolLimits(regRequest)) {
        options.setAnswerExceptionCode(DorrikBus::IllegalDataValue);
        handled = true;
        return reply.release();
    }
    switch (request.functionCode()) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters: {
        ModbusBytes bytes;
        // Handlers mostly fill the answer register by register: room for all of them at once.
        bytes.reserve(2 * regRequest.requestRegistersCount());
        emit onReadRegisters(address, regRequest.requestRegistersCount(), bytes, options, handled);
        reply->setRegBytes(bytes);
        break;
    }
    case DorrikBus::WriteSingleRegister:
        emit onWriteRegisters(address, regRequest.regBytes(), options, handled);
        reply->setRequestAddress(regRequest.requestAddress());
        reply->appendRegValue(regRequest.regBytes().toReg(0));
        break;
    default:
        emit onWriteRegisters(address, regRequest.regBytes(), options, handled);
        reply->setRequestAddress(regRequest.requestAddress());
        reply->setRegistersWritten(quint16(regRequest.registersCount()));
        break;
    }
    return handled ? reply.release() : nullptr;
}

ModbusPacket *Modbuser::answerReport(ModbusTranslateOptions &options, bool &handled)
{
    QString name;
    emit onGetDevName(name, options, handled);
    if (!handled)
        return nullptr;
    auto *reply = new ModbusPacketReport;
    reply->setDevName(name);
    return reply;
}

ModbusPacket *Modbuser::answerArchRecords(ModbusPacket &request, ModbusTranslateOptions &options,
                                          bool &handled)
{
    const auto &archRequest = static_cast<const ModbusPacketArch &>(request);
    const DorrikBus::ArchType type = archRequest.archType();
    if (type != DorrikBus::IndexArch && type != DorrikBus::TimeArch)
        return nullptr;
    // The request's direction is passed on: a backward read handed over as forward would be
    // answered with the wrong records. A 65 request carries none and stays forward.
    const DorrikBus::ArchDirection direction = archRequest.direction();
    QList<ModbusBytes> records = archRequest.records();
    emit onReadArchRecords(archRequest.archIndex(), archRequest.requestLabel(), direction,
                           archRequest.requestRecordsCount(), records, options, handled, type);
    if (!handled) {
        if (type == DorrikBus::IndexArch)
            emit onReadIndexArchRecords(archRequest.archIndex(), archRequest.requestLabel(),
                                        direction, archRequest.requestRecordsCount(), records,
                                        options, handled);
        else
            emit onReadTimeArchRecords(archRequest.archIndex(), archRequest.requestTimeLabel(),
                                       direction, archRequest.requestRecordsCount(), records,
                                       options, handled);
    }
    if (!handled)
        return nullptr;
    auto *reply = new ModbusPacketArch(archRequest);
    reply->setRecords(records);
    return reply;
}

ModbusPacket *Modbuser::answerArchPresence(ModbusPacket &request, ModbusTranslateOptions &options,
                                           bool &handled)
{
    const auto &presenceRequest = static_cast<const ModbusPacketArchPresence &>(request);
    const DorrikBus::ArchType type = presenceRequest.archType();
    if (type != DorrikBus::IndexArch && type != DorrikBus::TimeArch)
        return nullptr;
    ModbusBytes labelBytes;
    QList<quint32> labels;
    emit onReadArchPresence(presenceRequest.archIndex(), presenceRequest.requestLabel(),
                            presenceRequest.direction(), presenceRequest.requestLabelsCount(),
                            labels, options, handled, type);
    if (!handled && type == DorrikBus::IndexArch) {
        emit onReadIndexArchPresence(presenceRequest.archIndex(), presenceRequest.requestLabel(),
                                     presenceRequest.direction(),
                                     presenceRequest.requestLabelsCount(), labels, options,
                                     handled);
    }
    if (handled) {
        for (quint32 label : std::as_const(labels))
            labelBytes.appendUInt32(label);
    } else if (type == DorrikBus::TimeArch) {
        QList<QDateTime> times;
        emit onReadTimeArchPresence(presenceRequest.archIndex(), presenceRequest.requestTimeLabel(),
                                    presenceRequest.direction(),
                                    presenceRequest.requestLabelsCount(), times, options, handled);
        for (const QDateTime &time : std::as_const(times))
            labelBytes.appendUInt32(DorrikBus::archLabelToSeconds(time));
    }
    if (!handled)
        return nullptr;
    auto *reply = new ModbusPacketArchPresence(presenceRequest);
    reply->setLabels(labelBytes);
    return reply;
}
