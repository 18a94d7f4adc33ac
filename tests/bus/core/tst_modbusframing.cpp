#include "modbusbytes.h"
#include "modbuscrc.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"
#include "modbusparseinfo.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustarget.h"
#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "modbustcptarget.h"

#include <QSharedPointer>
#include <QtTest>

#include <fcntl.h>
#include <modbus/modbus.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

enum Framing { Rtu, Tcp };

using PacketPtr = QSharedPointer<ModbusPacket>;
// Makes libmodbus write one request into its socket; the answer it then waits for never comes.
using LibmodbusRequest = void (*)(modbus_t *);

ModbusBytes hex(const char *text)
{
    return ModbusBytes(QByteArray::fromHex(text));
}

ModbusBytes withCrc(const ModbusBytes &bytes)
{
    ModbusBytes frame(bytes);
    frame.appendUInt16(qChecksumModbus(bytes.constData(), uint(bytes.size())));
    return frame;
}

QString hexText(const ModbusBytes &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

PacketPtr regPacket(DorrikBus::FunctionCode code, DorrikBus::PacketState state, quint8 address,
                    quint16 start, quint16 count, const char *regs = "")
{
    auto packet = PacketPtr(new ModbusPacketReg);
    auto *reg = static_cast<ModbusPacketReg *>(packet.data());
    reg->setFunctionCode(code);
    reg->setState(state);
    reg->setAddress(address);
    reg->setRequestAddress(start);
    reg->setRequestRegistersCount(count);
    reg->setRegBytes(hex(regs));
    return packet;
}

PacketPtr writtenPacket(quint8 address, quint16 start, quint16 written)
{
    auto packet =
        regPacket(DorrikBus::WriteMultipleRegisters, DorrikBus::Response, address, start, 0);
    static_cast<ModbusPacketReg *>(packet.data())->setRegistersWritten(written);
    return packet;
}

PacketPtr reportPacket(DorrikBus::PacketState state, quint8 address, const ModbusBytes &bytes)
{
    auto packet = PacketPtr(new ModbusPacketReport);
    packet->setState(state);
    packet->setAddress(address);
    static_cast<ModbusPacketReport *>(packet.data())->setBytes(bytes);
    return packet;
}

PacketPtr exceptionPacket(DorrikBus::FunctionCode code, DorrikBus::ExceptionCode exception)
{
    auto packet = regPacket(code, DorrikBus::Response, 1, 0, 0);
    packet->setExceptionCode(exception);
    return packet;
}

// Holding and input registers of the libmodbus slave: register i holds 0x0A00 + i.
constexpr int kSlaveRegisters = 125;

ModbusBytes slaveRegisters(int start, int count)
{
    ModbusBytes bytes;
    for (int i = start; i < start + count; ++i)
        bytes.appendUInt16(quint16(0x0A00 + i));
    return bytes;
}

// A libmodbus context on one end of a socket pair: what it writes is read back from the other
// end, so its frames serve as reference vectors without a device or a network.
class LibmodbusPeer
{
public:
    explicit LibmodbusPeer(Framing framing)
    {
        m_ctx = framing == Rtu ? modbus_new_rtu("/dev/null", 19200, 'N', 8, 1)
                               : modbus_new_tcp("127.0.0.1", 502);
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, m_fds) != 0)
            m_fds[0] = m_fds[1] = -1;
        fcntl(m_fds[1], F_SETFL, O_NONBLOCK);
        modbus_set_socket(m_ctx, m_fds[0]);
        modbus_set_slave(m_ctx, 1);
        modbus_set_response_timeout(m_ctx, 0, 1000);
    }
    ~LibmodbusPeer()
    {
        modbus_free(m_ctx);
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
    LibmodbusPeer(const LibmodbusPeer &) = delete;
    LibmodbusPeer &operator=(const LibmodbusPeer &) = delete;

    bool isValid() const { return m_ctx && m_fds[0] >= 0; }
    modbus_t *context() const { return m_ctx; }

    ModbusBytes takeWritten()
    {
        ModbusBytes bytes;
        char buffer[512];
        ssize_t n;
        while ((n = ::read(m_fds[1], buffer, sizeof buffer)) > 0)
            bytes.append(buffer, int(n));
        return bytes;
    }

    ModbusBytes request(LibmodbusRequest call)
    {
        call(m_ctx);
        return takeWritten();
    }

    ModbusBytes reply(const ModbusBytes &request)
    {
        modbus_mapping_t *mapping = modbus_mapping_new(0, 0, kSlaveRegisters, kSlaveRegisters);
        for (int i = 0; i < kSlaveRegisters; ++i)
            mapping->tab_registers[i] = mapping->tab_input_registers[i] = quint16(0x0A00 + i);
        modbus_reply(m_ctx, reinterpret_cast<const uint8_t *>(request.constData()), request.size(),
                     mapping);
        modbus_mapping_free(mapping);
        return takeWritten();
    }

private:
    modbus_t *m_ctx = nullptr;
    int m_fds[2] = {-1, -1};
};

// The frame as libmodbus writes it; for a TCP frame with our transaction identifier, which
// stays 0 while libmodbus counts from 1.
ModbusBytes libmodbusFrame(Framing framing, LibmodbusRequest call, bool answer)
{
    LibmodbusPeer master(framing);
    LibmodbusPeer slave(framing);
    if (!master.isValid() || !slave.isValid())
        return {};
    ModbusBytes frame = master.request(call);
    if (answer)
        frame = slave.reply(frame);
    if (framing == Tcp && frame.size() >= 2) {
        frame[0] = 0;
        frame[1] = 0;
    }
    return frame;
}

std::unique_ptr<ModbusParser> makeParser(Framing framing)
{
    if (framing == Rtu)
        return std::make_unique<ModbusRTUParser>();
    return std::make_unique<ModbusTCPParser>();
}

std::unique_ptr<ModbusDeparser> makeDeparser(Framing framing)
{
    if (framing == Rtu)
        return std::make_unique<ModbusRTUDeparser>();
    return std::make_unique<ModbusTCPDeparser>();
}

QString parseErrorFormat(Framing framing)
{
    return framing == Rtu ? QStringLiteral("ModbusRTUParser parse error: %1; bytes: %2")
                          : QStringLiteral("ModbusTCPParser parse error: %1; bytes: %2");
}

const char *framingName(Framing framing)
{
    return framing == Rtu ? "rtu" : "tcp";
}

// A packet that is not a Modbus packet, which the deparsers must refuse.
class ForeignPacket : public IPacket
{
public:
    QString toString(bool) const override { return QString(); }
};

} // namespace

Q_DECLARE_METATYPE(PacketPtr)
Q_DECLARE_METATYPE(LibmodbusRequest)

class tst_ModbusFraming : public QObject
{
    Q_OBJECT
private slots:
    void writeMatchesLibmodbus_data();
    void writeMatchesLibmodbus();
    void publishedRtuFrames_data();
    void publishedRtuFrames();
    void canParse_data();
    void canParse();
    void parse_data();
    void parse();
    void exceptionAnswerWithTrailingBytes_data();
    void exceptionAnswerWithTrailingBytes();
    void wholeAnswerSize_data();
    void wholeAnswerSize();
    void roundTrip_data();
    void roundTrip();
    void deparseRefusals_data();
    void deparseRefusals();
    void canDeparse();
    void parseIgnoresTransactionAndTarget();
    void names();
};

void tst_ModbusFraming::writeMatchesLibmodbus_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<LibmodbusRequest>("libmodbus");
    QTest::addColumn<bool>("answer");

    const ModbusBytes report(QByteArray::fromHex("b4ff") +
                             QByteArray("LMB" LIBMODBUS_VERSION_STRING));
    for (Framing framing : {Rtu, Tcp}) {
        const auto row = [framing](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", framingName(framing), name) << int(framing);
        };
        row("fc3 request") << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0,
                                        1)
                           << LibmodbusRequest([](modbus_t *ctx) {
                                  uint16_t dest[1];
                                  modbus_read_registers(ctx, 0, 1, dest);
                              })
                           << false;
        row("fc3 request, 125 registers from 0x6b")
            << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0x6b, 125)
            << LibmodbusRequest([](modbus_t *ctx) {
                   uint16_t dest[125];
                   modbus_read_registers(ctx, 0x6b, 125, dest);
               })
            << false;
        row("fc4 request") << regPacket(DorrikBus::ReadInputRegisters, DorrikBus::Request, 1, 8, 1)
                           << LibmodbusRequest([](modbus_t *ctx) {
                                  uint16_t dest[1];
                                  modbus_read_input_registers(ctx, 8, 1, dest);
                              })
                           << false;
        row("fc6 request")
            << regPacket(DorrikBus::WriteSingleRegister, DorrikBus::Request, 1, 1, 0, "0003")
            << LibmodbusRequest([](modbus_t *ctx) { modbus_write_register(ctx, 1, 3); }) << false;
        row("fc16 request") << regPacket(DorrikBus::WriteMultipleRegisters, DorrikBus::Request, 1,
                                         1, 2, "000a0102")
                            << LibmodbusRequest([](modbus_t *ctx) {
                                   const uint16_t values[] = {0x000a, 0x0102};
                                   modbus_write_registers(ctx, 1, 2, values);
                               })
                            << false;
        row("fc17 request") << reportPacket(DorrikBus::Request, 1, ModbusBytes())
                            << LibmodbusRequest([](modbus_t *ctx) {
                                   uint8_t dest[64];
                                   modbus_report_slave_id(ctx, sizeof dest, dest);
                               })
                            << false;
        row("fc3 answer, 2 registers")
            << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Response, 1, 0, 0, "0a000a01")
            << LibmodbusRequest([](modbus_t *ctx) {
                   uint16_t dest[2];
                   modbus_read_registers(ctx, 0, 2, dest);
               })
            << true;
        {
            auto answer = regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Response, 1, 0, 0);
            static_cast<ModbusPacketReg *>(answer.data())->setRegBytes(slaveRegisters(3, 122));
            row("fc3 answer, 122 registers") << answer << LibmodbusRequest([](modbus_t *ctx) {
                uint16_t dest[122];
                modbus_read_registers(ctx, 3, 122, dest);
            }) << true;
        }
        row("fc4 answer") << regPacket(DorrikBus::ReadInputRegisters, DorrikBus::Response, 1, 0, 0,
                                       "0a08")
                          << LibmodbusRequest([](modbus_t *ctx) {
                                 uint16_t dest[1];
                                 modbus_read_input_registers(ctx, 8, 1, dest);
                             })
                          << true;
        row("fc6 answer")
            << regPacket(DorrikBus::WriteSingleRegister, DorrikBus::Response, 1, 1, 0, "0003")
            << LibmodbusRequest([](modbus_t *ctx) { modbus_write_register(ctx, 1, 3); }) << true;
        row("fc16 answer") << writtenPacket(1, 1, 2) << LibmodbusRequest([](modbus_t *ctx) {
            const uint16_t values[] = {0x000a, 0x0102};
            modbus_write_registers(ctx, 1, 2, values);
        }) << true;
        row("fc17 answer") << reportPacket(DorrikBus::Response, 1, report)
                           << LibmodbusRequest([](modbus_t *ctx) {
                                  uint8_t dest[64];
                                  modbus_report_slave_id(ctx, sizeof dest, dest);
                              })
                           << true;
        row("fc3 exception answer, illegal address")
            << exceptionPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::IllegalDataAddress)
            << LibmodbusRequest([](modbus_t *ctx) {
                   uint16_t dest[2];
                   modbus_read_registers(ctx, kSlaveRegisters, 2, dest);
               })
            << true;
    }
}

// Our frames equal libmodbus's byte for byte, and our parser reads libmodbus's frames back.
void tst_ModbusFraming::writeMatchesLibmodbus()
{
    QFETCH(int, framing);
    QFETCH(PacketPtr, packet);
    QFETCH(LibmodbusRequest, libmodbus);
    QFETCH(bool, answer);

    const ModbusBytes reference = libmodbusFrame(Framing(framing), libmodbus, answer);
    QVERIFY(!reference.isEmpty());

    auto deparser = makeDeparser(Framing(framing));
    ModbusTcpTarget target;
    ModbusBytes frame;
    QVERIFY2(deparser->deparse(*packet, frame, &target), qPrintable(deparser->errorString()));
    QCOMPARE(hexText(frame), hexText(reference));

    auto parser = makeParser(Framing(framing));
    QVERIFY(parser->canParse(reference, packet->state()));
    std::unique_ptr<IPacket> parsed(
        parser->parse(reference, ModbusParseInfo(packet->state()), &target));
    QVERIFY2(parsed, qPrintable(parser->errorString()));
    const auto *modbusParsed = dynamic_cast<const ModbusPacket *>(parsed.get());
    QVERIFY(modbusParsed);
    QCOMPARE(modbusParsed->functionCode(), packet->functionCode());
    QCOMPARE(modbusParsed->exceptionCode(), packet->exceptionCode());
    QCOMPARE(modbusParsed->address(), packet->address());
    QCOMPARE(modbusParsed->state(), packet->state());
}

void tst_ModbusFraming::publishedRtuFrames_data()
{
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<ModbusBytes>("frame");

    QTest::newRow("fc3 request, unit 1")
        << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0, 1)
        << hex("01 03 00 00 00 01 84 0a");
    QTest::newRow("fc3 request, unit 17")
        << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 0x11, 0x6b, 3)
        << hex("11 03 00 6b 00 03 76 87");
    QTest::newRow("fc3 answer, unit 17")
        << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Response, 0x11, 0, 0,
                     "ae41 5652 4340")
        << hex("11 03 06 ae 41 56 52 43 40 49 ad");
    QTest::newRow("fc4 request, unit 17")
        << regPacket(DorrikBus::ReadInputRegisters, DorrikBus::Request, 0x11, 8, 1)
        << hex("11 04 00 08 00 01 b2 98");
    QTest::newRow("fc4 answer, unit 17")
        << regPacket(DorrikBus::ReadInputRegisters, DorrikBus::Response, 0x11, 0, 0, "000a")
        << hex("11 04 02 00 0a f8 f4");
    QTest::newRow("fc6 request, unit 17")
        << regPacket(DorrikBus::WriteSingleRegister, DorrikBus::Request, 0x11, 1, 1, "0003")
        << hex("11 06 00 01 00 03 9a 9b");
    QTest::newRow("fc16 request, unit 17")
        << regPacket(DorrikBus::WriteMultipleRegisters, DorrikBus::Request, 0x11, 1, 2, "000a 0102")
        << hex("11 10 00 01 00 02 04 00 0a 01 02 c6 f0");
    QTest::newRow("fc16 answer, unit 17")
        << writtenPacket(0x11, 1, 2) << hex("11 10 00 01 00 02 12 98");
}

// The examples of the Modbus serial-line literature, written and read back.
void tst_ModbusFraming::publishedRtuFrames()
{
    QFETCH(PacketPtr, packet);
    QFETCH(ModbusBytes, frame);

    ModbusRTUDeparser deparser;
    ModbusBytes written;
    QVERIFY2(deparser.deparse(*packet, written, nullptr), qPrintable(deparser.errorString()));
    QCOMPARE(hexText(written), hexText(frame));

    ModbusRTUParser parser;
    std::unique_ptr<IPacket> parsed(parser.parse(frame, ModbusParseInfo(packet->state()), nullptr));
    QVERIFY2(parsed, qPrintable(parser.errorString()));
    const auto *reg = dynamic_cast<const ModbusPacketReg *>(parsed.get());
    QVERIFY(reg);
    QCOMPARE(reg->address(), packet->address());
    QCOMPARE(hexText(reg->regBytes()),
             hexText(static_cast<const ModbusPacketReg &>(*packet).regBytes()));
}

void tst_ModbusFraming::canParse_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<int>("state");
    QTest::addColumn<ModbusBytes>("frame");
    QTest::addColumn<bool>("expected");

    const int request = DorrikBus::Request;
    const int response = DorrikBus::Response;
    QTest::newRow("rtu answer short of its byte count")
        << int(Rtu) << response << hex("01 03 02 00 0a") << false;
    QTest::newRow("rtu answer whole, crc not looked at")
        << int(Rtu) << response << hex("01 03 02 00 0a ff ff") << true;
    // A write the protocol refuses ends where the check value fits, not at its byte count.
    QTest::newRow("rtu write of no registers with data, check value fits")
        << int(Rtu) << request << withCrc(hex("01 10 00 00 00 00 00 12 34")) << true;
    QTest::newRow("rtu write of no registers with data, check value not yet")
        << int(Rtu) << request << hex("01 10 00 00 00 00 00 12 34") << false;
    QTest::newRow("rtu 3 bytes") << int(Rtu) << response << hex("01 83 02") << false;
    QTest::newRow("rtu exception answer in request state")
        << int(Rtu) << request << hex("01 83 02 00 00") << true;
    QTest::newRow("rtu unsupported function")
        << int(Rtu) << request << withCrc(hex("01 05 00 00 ff 00")) << false;
    QTest::newRow("rtu pdu of 254 bytes")
        << int(Rtu) << response
        << ModbusBytes(QByteArray::fromHex("01 03 fc") + QByteArray(252 + 2, '\0')) << false;
    QTest::newRow("tcp protocol byte 3 is 1")
        << int(Tcp) << request << hex("00 01 00 01 00 06 01 03 00 00 00 01") << false;
    QTest::newRow("tcp protocol byte 2 is 1")
        << int(Tcp) << request << hex("00 01 01 00 00 06 01 03 00 00 00 01") << false;
    QTest::newRow("tcp length field wrong, not looked at")
        << int(Tcp) << request << hex("00 01 00 00 00 09 01 03 00 00 00 01") << true;
    QTest::newRow("tcp request one byte short")
        << int(Tcp) << request << hex("00 01 00 00 00 06 01 03 00 00 00") << false;
    QTest::newRow("tcp 7 bytes") << int(Tcp) << request << hex("00 00 00 00 00 01 01") << false;
    QTest::newRow("tcp exception answer")
        << int(Tcp) << response << hex("00 00 00 00 00 03 01 83 02") << true;
}

void tst_ModbusFraming::canParse()
{
    QFETCH(int, framing);
    QFETCH(int, state);
    QFETCH(ModbusBytes, frame);
    QFETCH(bool, expected);

    QCOMPARE(makeParser(Framing(framing))->canParse(frame, DorrikBus::PacketState(state)),
             expected);
}

void tst_ModbusFraming::parse_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<int>("state");
    QTest::addColumn<ModbusBytes>("frame");
    // Empty for a frame that parses; "%1" stands for the frame as hexadecimal text.
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("exception");
    QTest::addColumn<ModbusBytes>("regs");

    const int request = DorrikBus::Request;
    const int response = DorrikBus::Response;
    const ModbusBytes rtuAnswer = withCrc(hex("01 03 02 00 0a"));
    ModbusBytes crcSwapped = rtuAnswer;
    std::swap(crcSwapped[5], crcSwapped[6]);

    QTest::newRow("rtu fc3 answer")
        << int(Rtu) << response << rtuAnswer << QString() << 1 << 0 << hex("000a");
    QTest::newRow("rtu unit 247") << int(Rtu) << response << withCrc(hex("f7 03 02 00 0a"))
                                  << QString() << 247 << 0 << hex("000a");
    QTest::newRow("rtu crc swapped")
        << int(Rtu) << response << crcSwapped << "crc checksum error in bytes: %1" << 0 << 0
        << ModbusBytes();
    QTest::newRow("rtu exception answer")
        << int(Rtu) << response << withCrc(hex("01 83 02")) << QString() << 1 << 2 << ModbusBytes();
    QTest::newRow("rtu unknown function judged before crc")
        << int(Rtu) << response << hex("01 63 02 00 0a 00 00") << "unknown Function Code" << 0 << 0
        << ModbusBytes();
    QTest::newRow("rtu pdu refused after crc")
        << int(Rtu) << request << withCrc(hex("01 41 00 01 00 00 00 00 07"))
        << "read arch records count can't be zero" << 0 << 0 << ModbusBytes();
    QTest::newRow("rtu 3 bytes") << int(Rtu) << response << hex("01 83 02")
                                 << "bytes array is too short" << 0 << 0 << ModbusBytes();
    QTest::newRow("rtu empty") << int(Rtu) << response << ModbusBytes()
                               << "bytes array is too short" << 0 << 0 << ModbusBytes();
    QTest::newRow("rtu 257 bytes") << int(Rtu) << response << ModbusBytes(QByteArray(257, '\x01'))
                                   << "bytes array is too long" << 0 << 0 << ModbusBytes();

    QTest::newRow("tcp fc3 answer")
        << int(Tcp) << response << hex("00 07 00 00 00 05 01 03 02 00 0a") << QString() << 1 << 0
        << hex("000a");
    QTest::newRow("tcp unit 255") << int(Tcp) << response << hex("ff ff 00 00 00 05 ff 03 02 00 0a")
                                  << QString() << 255 << 0 << hex("000a");
    QTest::newRow("tcp length one too many")
        << int(Tcp) << response << hex("00 07 00 00 00 06 01 03 02 00 0a")
        << "bad TCP/IP ADU package length" << 0 << 0 << ModbusBytes();
    QTest::newRow("tcp zero length")
        << int(Tcp) << response << hex("00 07 00 00 00 00 01 03 02 00 0a") << "zero Length" << 0
        << 0 << ModbusBytes();
    QTest::newRow("tcp protocol id 1")
        << int(Tcp) << response << hex("00 07 00 01 00 05 01 03 02 00 0a") << "invalid Protocol ID"
        << 0 << 0 << ModbusBytes();
    QTest::newRow("tcp pdu judged before header")
        << int(Tcp) << response << hex("00 07 00 01 00 00 01 03 03 00 0a 00")
        << "Bad Modbus PDU(bytes count)" << 0 << 0 << ModbusBytes();
    QTest::newRow("tcp 7 bytes") << int(Tcp) << response << hex("00 00 00 00 00 01 01")
                                 << "bytes array is too short" << 0 << 0 << ModbusBytes();
    QTest::newRow("tcp 261 bytes") << int(Tcp) << response << ModbusBytes(QByteArray(261, '\0'))
                                   << "bytes array is too long" << 0 << 0 << ModbusBytes();
}

void tst_ModbusFraming::parse()
{
    QFETCH(int, framing);
    QFETCH(int, state);
    QFETCH(ModbusBytes, frame);
    QFETCH(QString, error);
    QFETCH(int, address);
    QFETCH(int, exception);
    QFETCH(ModbusBytes, regs);

    auto parser = makeParser(Framing(framing));
    const ModbusParseInfo info{DorrikBus::PacketState(state)};
    std::unique_ptr<IPacket> parsed(parser->parse(frame, info, nullptr));
    if (!error.isEmpty()) {
        QVERIFY(!parsed);
        const QString thrown =
            error.contains(QLatin1String("%1")) ? error.arg(hexText(frame)) : error;
        QCOMPARE(parser->errorString(),
                 parseErrorFormat(Framing(framing)).arg(thrown, hexText(frame)));
        QCOMPARE(parser->errorCount(), quint64(1));
        return;
    }
    QVERIFY2(parsed, qPrintable(parser->errorString()));
    QCOMPARE(parser->errorCount(), quint64(0));
    const auto *reg = dynamic_cast<const ModbusPacketReg *>(parsed.get());
    QVERIFY(reg);
    QCOMPARE(int(reg->address()), address);
    QCOMPARE(int(reg->exceptionCode()), exception);
    QCOMPARE(int(reg->state()), state);
    QCOMPARE(hexText(reg->regBytes()), hexText(regs));
}

void tst_ModbusFraming::exceptionAnswerWithTrailingBytes_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<ModbusBytes>("frame");
    QTest::newRow("rtu") << int(Rtu) << withCrc(hex("01 83 02 ff ff"));
    QTest::newRow("tcp") << int(Tcp) << hex("00 00 00 00 00 05 01 83 02 ff ff");
}

// An exception answer is two bytes of PDU; one with more is not a whole frame for canParse and
// should not be a packet for parse either.
void tst_ModbusFraming::exceptionAnswerWithTrailingBytes()
{
    QFETCH(int, framing);
    QFETCH(ModbusBytes, frame);

    auto parser = makeParser(Framing(framing));
    QVERIFY(!parser->canParse(frame, DorrikBus::Response));
    std::unique_ptr<IPacket> parsed(
        parser->parse(frame, ModbusParseInfo(DorrikBus::Response), nullptr));
    QVERIFY(!parsed);
}

void tst_ModbusFraming::wholeAnswerSize_data()
{
    QTest::addColumn<ModbusBytes>("request");
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<int>("size");

    const ModbusBytes read3 = withCrc(hex("01 03 0000 0001"));
    const ModbusBytes fc3 = withCrc(hex("01 03 02 000a"));
    QTest::newRow("fc3 answer, 1 register") << read3 << fc3 << 7;
    QTest::newRow("fc3 answer without its last byte") << read3 << ModbusBytes(fc3.left(6)) << 0;
    QTest::newRow("fc3 answer with three stray bytes behind it")
        << read3 << ModbusBytes(fc3 + hex("aa bb cc")) << 7;
    ModbusBytes regs122 = hex("01 04 f4");
    regs122.append(slaveRegisters(0, 122));
    QTest::newRow("fc4 answer, 122 registers")
        << withCrc(hex("01 04 0000 007a")) << withCrc(regs122) << 249;
    QTest::newRow("fc6 echo") << withCrc(hex("01 06 0001 0003")) << withCrc(hex("01 06 0001 0003"))
                              << 8;
    QTest::newRow("fc16 answer") << withCrc(hex("01 10 0001 0001 02 0003"))
                                 << withCrc(hex("01 10 0001 0001")) << 8;
    QTest::newRow("fc17 report") << withCrc(hex("01 11")) << withCrc(hex("01 11 03 aabbcc")) << 8;
    QTest::newRow("fc65 archive records")
        << hex("01 41 00 00 00 00 00 00") << withCrc(hex("01 41 04 01020304")) << 9;
    QTest::newRow("fc68 file bytes") << hex("01 44 00 00 00") << withCrc(hex("01 44 02 6162")) << 7;
    // Writing a file is answered with a fixed five-byte PDU, not a byte count.
    QTest::newRow("fc69 answer") << hex("01 45 0001 01 6162") << withCrc(hex("01 45 0001 01 02"))
                                 << 8;
    QTest::newRow("exception answer") << read3 << withCrc(hex("01 83 02")) << 5;
    QTest::newRow("crc swapped") << read3 << hex("01 03 02 000a 4338") << 0;
    QTest::newRow("answer from another unit") << read3 << withCrc(hex("02 03 02 000a")) << 0;
    QTest::newRow("answer with another function code")
        << read3 << withCrc(hex("01 04 02 000a")) << 0;
    QTest::newRow("exception of another function code") << read3 << withCrc(hex("01 84 02")) << 0;
    QTest::newRow("broadcast is not answered")
        << withCrc(hex("00 03 0000 0001")) << withCrc(hex("00 03 02 000a")) << 0;
    ModbusBytes tooLong = hex("01 03 ff");
    tooLong.append(QByteArray(255, '\0'));
    QTest::newRow("byte count beyond the largest frame") << read3 << withCrc(tooLong) << 0;
}

// Where a master may stop reading without waiting for the line to fall silent.
void tst_ModbusFraming::wholeAnswerSize()
{
    QFETCH(ModbusBytes, request);
    QFETCH(ModbusBytes, bytes);
    QFETCH(int, size);
    QCOMPARE(ModbusRTUParser::wholeAnswerSize(request, bytes), size);
}

void tst_ModbusFraming::roundTrip_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<PacketPtr>("packet");

    for (Framing framing : {Rtu, Tcp}) {
        for (int address : {0, 1, 247, 255}) {
            QTest::addRow("%s fc3 request, unit %d", framingName(framing), address)
                << int(framing)
                << regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, quint8(address),
                             0xfffe, 122);
            auto answer = regPacket(DorrikBus::ReadInputRegisters, DorrikBus::Response,
                                    quint8(address), 0, 0);
            static_cast<ModbusPacketReg *>(answer.data())->setRegBytes(slaveRegisters(0, 125));
            QTest::addRow("%s fc4 answer of 125 registers, unit %d", framingName(framing), address)
                << int(framing) << answer;
            QTest::addRow("%s fc16 request, unit %d", framingName(framing), address)
                << int(framing)
                << regPacket(DorrikBus::WriteMultipleRegisters, DorrikBus::Request, quint8(address),
                             1, 2, "ffff 0000");
        }
    }
}

// What one side writes the other reads back as an equal packet, the largest frames included.
void tst_ModbusFraming::roundTrip()
{
    QFETCH(int, framing);
    QFETCH(PacketPtr, packet);

    ModbusTcpTarget target;
    ModbusBytes frame;
    auto deparser = makeDeparser(Framing(framing));
    QVERIFY2(deparser->deparse(*packet, frame, &target), qPrintable(deparser->errorString()));
    auto parser = makeParser(Framing(framing));
    QVERIFY(parser->canParse(frame, packet->state()));
    std::unique_ptr<IPacket> parsed(
        parser->parse(frame, ModbusParseInfo(packet->state()), &target));
    QVERIFY2(parsed, qPrintable(parser->errorString()));
    const auto *reg = dynamic_cast<const ModbusPacketReg *>(parsed.get());
    QVERIFY(reg);
    QVERIFY2(*reg == static_cast<const ModbusPacketReg &>(*packet), qPrintable(reg->toString()));
}

void tst_ModbusFraming::deparseRefusals_data()
{
    QTest::addColumn<int>("framing");
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<bool>("tcpTarget");
    QTest::addColumn<QString>("error");

    const QString rtu = QStringLiteral("ModbusRTUDeParser deparse error: ");
    const QString tcp = QStringLiteral("ModbusTCPDeparser parse error: ");
    const auto readRequest =
        regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0, 1);
    // 126 registers make a PDU of 254 bytes, one more than any frame may carry.
    auto tooLarge = regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Response, 1, 0, 0);
    static_cast<ModbusPacketReg *>(tooLarge.data())->setRegBytes(slaveRegisters(0, 126));
    const auto zeroCount = regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0, 0);

    QTest::newRow("tcp without target")
        << int(Tcp) << readRequest << false << tcp + "ERROR: invalid target class";
    QTest::newRow("rtu pdu refused") << int(Rtu) << zeroCount << false
                                     << rtu + "request registers count must be greater than zero";
    QTest::newRow("tcp pdu refused") << int(Tcp) << zeroCount << true
                                     << tcp + "request registers count must be greater than zero";
    QTest::newRow("rtu frame too large")
        << int(Rtu) << tooLarge << false << rtu + "deparsed packet is too large";
    QTest::newRow("tcp frame too large")
        << int(Tcp) << tooLarge << true << tcp + "deparsed packet is too large";
}

// A refused packet leaves the text in the error string and nothing in out to be sent.
void tst_ModbusFraming::deparseRefusals()
{
    QFETCH(int, framing);
    QFETCH(PacketPtr, packet);
    QFETCH(bool, tcpTarget);
    QFETCH(QString, error);

    auto deparser = makeDeparser(Framing(framing));
    ModbusTcpTarget target;
    ModbusBytes out = hex("de ad");
    QVERIFY(!deparser->deparse(*packet, out, tcpTarget ? &target : nullptr));
    QCOMPARE(deparser->errorString(), error);
    QCOMPARE(deparser->errorCount(), quint64(1));
    QVERIFY(out.isEmpty());
}

void tst_ModbusFraming::canDeparse()
{
    const auto readRequest =
        regPacket(DorrikBus::ReadHoldingRegisters, DorrikBus::Request, 1, 0, 1);
    const auto coils = regPacket(DorrikBus::WriteSingleCoil, DorrikBus::Request, 1, 0, 1);
    const ForeignPacket foreign;
    ModbusTcpTarget tcpTarget;
    ModbusTarget plainTarget;
    for (Framing framing : {Rtu, Tcp}) {
        auto deparser = makeDeparser(framing);
        QVERIFY(deparser->canDeparse(*readRequest));
        QVERIFY(!deparser->canDeparse(*coils));
        QVERIFY(!deparser->canDeparse(foreign));
        ModbusBytes out;
        QVERIFY(!deparser->deparse(foreign, out, &tcpTarget));
        QCOMPARE(deparser->errorString().section(QLatin1String(": "), 1),
                 QStringLiteral("ERROR: invalid packet class"));
    }
    // Only a TCP target carries the transaction identifier that the header needs.
    ModbusTCPDeparser tcp;
    ModbusBytes out;
    QVERIFY(!tcp.deparse(*readRequest, out, &plainTarget));
    QCOMPARE(tcp.errorString(),
             QStringLiteral("ModbusTCPDeparser parse error: ERROR: invalid target class"));
    QVERIFY(tcp.deparse(*readRequest, out, &tcpTarget));
    QCOMPARE(hexText(out), hexText(hex("00 00 00 00 00 06 01 03 00 00 00 01")));
}

void tst_ModbusFraming::parseIgnoresTransactionAndTarget()
{
    // Answers are not paired with requests by transaction identifier, and any target is taken.
    ModbusTCPParser parser;
    ModbusTcpTarget tcpTarget;
    ModbusTarget plainTarget;
    const ModbusParseInfo info(DorrikBus::Response);
    const QList<const Target *> targets{&tcpTarget, &plainTarget, nullptr};
    for (const Target *target : targets) {
        std::unique_ptr<IPacket> parsed(
            parser.parse(hex("12 34 00 00 00 05 01 03 02 00 0a"), info, target));
        QVERIFY2(parsed, qPrintable(parser.errorString()));
    }
    QCOMPARE(parser.errorCount(), quint64(0));
}

void tst_ModbusFraming::names()
{
    const auto check = [](const QDorrikObject &codec, const QString &name) {
        QCOMPARE(codec.toString(false), name + "\n");
        QCOMPARE(codec.toString(true), name + "; ");
    };
    check(ModbusRTUParser(), QStringLiteral("Modbus RTU parser: "));
    check(ModbusTCPParser(), QStringLiteral("Modbus TCP parser: "));
    check(ModbusRTUDeparser(), QStringLiteral("Modbus RTU deparser"));
    check(ModbusTCPDeparser(), QStringLiteral("Modbus TCP deparser"));
}

QTEST_GUILESS_MAIN(tst_ModbusFraming)
#include "tst_modbusframing.moc"
