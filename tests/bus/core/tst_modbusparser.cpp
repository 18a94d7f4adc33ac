#include "modbusbytesarray.h"
#include "modbusdeparser.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"
#include "modbusparseinfo.h"
#include "modbusparser.h"

#include <QtTest>

#include <memory>

using PacketPtr = std::shared_ptr<ModbusPacket>;
Q_DECLARE_METATYPE(PacketPtr)

namespace {

constexpr auto Request = DorrikBus::Request;
constexpr auto Response = DorrikBus::Response;

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

// The PDU steps without a frame around them: what a framing parser does between its own checks.
class PduParser : public ModbusParser
{
public:
    IPacket *parse(const ModbusBytes &pdu, const IParseInfo &info, const Target *) override
    {
        const auto &modbusInfo = static_cast<const ModbusParseInfo &>(info);
        std::unique_ptr<ModbusPacket> packet;
        try {
            packet.reset(createPacket(pdu, modbusInfo));
            parseModbusPDU(pdu, modbusInfo, *packet);
        } catch (const QString &text) {
            thrown = text;
            return nullptr;
        }
        return packet.release();
    }
    QString thrown;
};

class PduDeparser : public ModbusDeparser
{
public:
    QString toString(bool) const override { return {}; }
    bool deparse(const IPacket &packet, ModbusBytes &out, const Target *) override
    {
        try {
            deparseModbusPDU(static_cast<const ModbusPacket &>(packet), out);
        } catch (const QString &text) {
            thrown = text;
            return false;
        }
        return true;
    }
    QString thrown;
};

bool sameFile(const ModbusPacketFile &a, const ModbusPacketFile &b)
{
    return static_cast<const ModbusPacket &>(a) == static_cast<const ModbusPacket &>(b) &&
           a.requestFile == b.requestFile && a.requestOffset == b.requestOffset &&
           a.requestRegistersCount == b.requestRegistersCount && a.bytes == b.bytes &&
           a.registersWritten == b.registersWritten;
}

// Equal as the concrete class that both packets are.
bool samePacket(const ModbusPacket &a, const ModbusPacket &b)
{
    if (a.kind() != b.kind())
        return false;
    switch (a.kind()) {
    case DorrikBus::RegistersPacket:
        return dynamic_cast<const ModbusPacketReg &>(a) == dynamic_cast<const ModbusPacketReg &>(b);
    case DorrikBus::ArchPacket:
        return dynamic_cast<const ModbusPacketArch &>(a) ==
               dynamic_cast<const ModbusPacketArch &>(b);
    case DorrikBus::ReportPacket:
        return dynamic_cast<const ModbusPacketReport &>(a) ==
               dynamic_cast<const ModbusPacketReport &>(b);
    case DorrikBus::ArchPresencePacket:
        return dynamic_cast<const ModbusPacketArchPresence &>(a) ==
               dynamic_cast<const ModbusPacketArchPresence &>(b);
    case DorrikBus::FilePacket:
        return sameFile(dynamic_cast<const ModbusPacketFile &>(a),
                        dynamic_cast<const ModbusPacketFile &>(b));
    }
    return false;
}

template <class T, class Fill>
PacketPtr make(int functionCode, DorrikBus::PacketState state, Fill fill)
{
    auto packet = std::make_shared<T>();
    packet->setFunctionCode(DorrikBus::FunctionCode(functionCode));
    packet->setState(state);
    fill(*packet);
    return packet;
}

template <class T> PacketPtr make(int functionCode, DorrikBus::PacketState state)
{
    return make<T>(functionCode, state, [](T &) {});
}

PacketPtr exceptionAnswer(PacketPtr packet, int exceptionCode)
{
    packet->setExceptionCode(DorrikBus::ExceptionCode(exceptionCode));
    return packet;
}

} // namespace

class tst_ModbusParser : public QObject
{
    Q_OBJECT
private slots:
    void codeTables();
    void canParse_data();
    void canParse();
    void parse_data();
    void parse();
    void timeLabelIgnoresLocalZone();
    void roundTrip_data();
    void roundTrip();
    void texts();
};

void tst_ModbusParser::codeTables()
{
    PduParser parser;
    QList<int> valid;
    QList<int> validExceptions;
    for (int code = 0; code < 256; ++code) {
        if (parser.isValidFunctionCodeNum(uchar(code)) && code < 0x80)
            valid << code;
        QCOMPARE(parser.isValidFunctionCodeNum(uchar(code)),
                 parser.isValidFunctionCodeNum(uchar(code & 0x7F)));
        if (parser.isValidExceptionCodeNum(uchar(code)))
            validExceptions << code;
    }
    QCOMPARE(valid, (QList<int>{1,  2,  3,  4,  5,  6,  7,  8,  11, 12, 15, 16,
                                17, 20, 21, 22, 23, 24, 43, 65, 66, 67, 68, 69}));
    QCOMPARE(validExceptions, (QList<int>{0, 1, 2, 3, 4, 5, 6, 8, 10, 11}));
    QList<int> supported;
    for (int code = 0; code < 256; ++code) {
        if (parser.isFunctionSupported(DorrikBus::FunctionCode(code)))
            supported << code;
    }
    QCOMPARE(supported, (QList<int>{3, 4, 6, 16, 17, 65, 66, 67, 68, 69}));
    QVERIFY(parser.isValidArchTypeNum(1) && !parser.isValidArchTypeNum(2));
    QVERIFY(parser.isValidArchDirectionNum(1) && !parser.isValidArchDirectionNum(2));
}

void tst_ModbusParser::canParse_data()
{
    QTest::addColumn<ModbusBytes>("pdu");
    QTest::addColumn<DorrikBus::PacketState>("state");
    QTest::addColumn<bool>("expected");

    QTest::newRow("fc3 request, one byte short") << hex("03000000") << Request << false;
    QTest::newRow("fc3 request") << hex("0300000001") << Request << true;
    QTest::newRow("fc3 request seen as answer") << hex("0300000001") << Response << false;
    QTest::newRow("fc3 answer") << hex("030400010002") << Response << true;
    QTest::newRow("fc3 answer, count disagrees") << hex("030500010002") << Response << false;
    QTest::newRow("fc3 answer, no registers") << hex("0300") << Response << true;
    QTest::newRow("exception answer") << hex("8302") << Response << true;
    QTest::newRow("exception answer in request state") << hex("8302") << Request << true;
    QTest::newRow("exception answer, extra byte") << hex("830200") << Response << false;
    QTest::newRow("fc5 not supported") << hex("050000ff00") << Request << false;
    QTest::newRow("fc16 request, data short") << hex("1000000002040001") << Request << false;
    QTest::newRow("fc16 request") << hex("100000000204000a0102") << Request << true;
    QTest::newRow("fc16 request without data") << hex("100000000000") << Request << true;
    // A quantity or byte count the protocol refuses: the frame, not the byte count, says where
    // the request ends.
    QTest::newRow("fc16 request, no registers, data after the byte count")
        << hex("1000000000001234") << Request << true;
    QTest::newRow("fc16 request, byte count 0 for 2 registers")
        << hex("10000000020012345678") << Request << true;
    QTest::newRow("fc17 request") << hex("11") << Request << true;
    QTest::newRow("fc17 answer, empty report") << hex("1100") << Response << false;
    QTest::newRow("fc65 index request") << hex("4100010005000007") << Request << true;
    QTest::newRow("fc65 time request") << hex("41000100050119") << Request << false;
    QTest::newRow("fc65 unknown type") << hex("4100010005020007") << Request << false;
    QTest::newRow("fc66 answer, no labels") << hex("4200") << Response << true;
    QTest::newRow("fc67 answer, no records") << hex("4300") << Response << false;
    QTest::newRow("fc69 request, no data") << hex("4500100200") << Request << true;
    QTest::newRow("fc69 request, data short") << hex("4500100201ab") << Request << false;
    QTest::newRow("empty") << ModbusBytes() << Request << false;

    ModbusBytes longest = hex("03fb");
    longest.append(QByteArray(251, '\x01'));
    QTest::newRow("253 bytes") << longest << Response << true;
    ModbusBytes tooLong = hex("03fc");
    tooLong.append(QByteArray(252, '\x01'));
    QTest::newRow("254 bytes") << tooLong << Response << false;
}

void tst_ModbusParser::canParse()
{
    QFETCH(ModbusBytes, pdu);
    QFETCH(DorrikBus::PacketState, state);
    QFETCH(bool, expected);
    PduParser parser;
    QCOMPARE(parser.canParse(pdu, state), expected);
}

void tst_ModbusParser::parse_data()
{
    QTest::addColumn<ModbusBytes>("pdu");
    QTest::addColumn<ModbusParseInfo>("info");
    QTest::addColumn<PacketPtr>("expected"); // null when the PDU is refused
    QTest::addColumn<QString>("error");

    const ModbusParseInfo request(Request);
    const ModbusParseInfo response(Response);
    const QString invalidSize = QStringLiteral("invalid bytes array size");
    const QString badCount = QStringLiteral("Bad Modbus PDU(bytes count)");

    // Registers.
    QTest::newRow("fc3 request") << hex("03006b0003") << request
                                 << make<ModbusPacketReg>(3, Request,
                                                          [](ModbusPacketReg &p) {
                                                              p.setRequestAddress(0x6b);
                                                              p.setRequestRegistersCount(3);
                                                          })
                                 << QString();
    // Out-of-range counts are kept for the slave to answer with an exception.
    QTest::newRow("fc4 request, count 0 kept")
        << hex("0400000000") << request << make<ModbusPacketReg>(4, Request) << QString();
    QTest::newRow("fc4 request, 2000 registers")
        << hex("04000007d0") << request
        << make<ModbusPacketReg>(4, Request,
                                 [](ModbusPacketReg &p) { p.setRequestRegistersCount(2000); })
        << QString();
    QTest::newRow("fc3 answer") << hex("0304000a0102") << response
                                << make<ModbusPacketReg>(
                                       3, Response,
                                       [](ModbusPacketReg &p) { p.setRegBytes(hex("000a0102")); })
                                << QString();
    QTest::newRow("fc4 answer, no registers")
        << hex("0400") << response << make<ModbusPacketReg>(4, Response) << QString();
    QTest::newRow("fc3 answer, odd count")
        << hex("0303000102") << response << PacketPtr() << badCount;
    QTest::newRow("fc3 answer, count disagrees with size")
        << hex("03050001") << response << PacketPtr() << invalidSize;
    QTest::newRow("fc6 request") << hex("060005002a") << request
                                 << make<ModbusPacketReg>(6, Request,
                                                          [](ModbusPacketReg &p) {
                                                              p.setRequestAddress(5);
                                                              p.setRequestRegistersCount(1);
                                                              p.setRegBytes(hex("002a"));
                                                          })
                                 << QString();
    QTest::newRow("fc6 answer, echoed value not kept")
        << hex("060005002a") << response
        << make<ModbusPacketReg>(6, Response,
                                 [](ModbusPacketReg &p) {
                                     p.setRequestAddress(5);
                                     p.setRequestRegistersCount(1);
                                 })
        << QString();
    QTest::newRow("fc16 request") << hex("100000000204000a0102") << request
                                  << make<ModbusPacketReg>(16, Request,
                                                           [](ModbusPacketReg &p) {
                                                               p.setRequestRegistersCount(2);
                                                               p.setRegBytes(hex("000a0102"));
                                                           })
                                  << QString();
    QTest::newRow("fc16 request, counts disagree, kept")
        << hex("100000000304000a0102") << request
        << make<ModbusPacketReg>(16, Request,
                                 [](ModbusPacketReg &p) {
                                     p.setRequestRegistersCount(3);
                                     p.setRegBytes(hex("000a0102"));
                                 })
        << QString();
    QTest::newRow("fc16 request, count 0, kept")
        << hex("100000000002000a") << request
        << make<ModbusPacketReg>(16, Request,
                                 [](ModbusPacketReg &p) { p.setRegBytes(hex("000a")); })
        << QString();
    QTest::newRow("fc16 request, byte count beyond the data, kept at its size")
        << hex("1000000001041234") << request
        << make<ModbusPacketReg>(16, Request,
                                 [](ModbusPacketReg &p) {
                                     p.setRequestRegistersCount(1);
                                     p.setRegBytes(hex("12340000"));
                                 })
        << QString();
    QTest::newRow("fc16 request without data, kept")
        << hex("100000000000") << request << make<ModbusPacketReg>(16, Request) << QString();
    QTest::newRow("fc16 answer, address not kept")
        << hex("1000200002") << response
        << make<ModbusPacketReg>(16, Response, [](ModbusPacketReg &p) { p.setRegistersWritten(2); })
        << QString();
    QTest::newRow("fc16 answer, count 0")
        << hex("1000200000") << response << PacketPtr() << "writing registers count can't be zero";

    // Report.
    QTest::newRow("fc17 request") << hex("11") << request << make<ModbusPacketReport>(17, Request)
                                  << QString();
    QTest::newRow("fc17 answer") << hex("1103414200") << response
                                 << make<ModbusPacketReport>(
                                        17, Response,
                                        [](ModbusPacketReport &p) { p.setBytes(hex("414200")); })
                                 << QString();
    QTest::newRow("fc17 answer, empty") << hex("1100") << response << PacketPtr() << invalidSize;

    // Archive records.
    QTest::newRow("fc65 index request") << hex("4100010005000007") << request
                                        << make<ModbusPacketArch>(65, Request,
                                                                  [](ModbusPacketArch &p) {
                                                                      p.setArchIndex(1);
                                                                      p.setRequestRecordsCount(5);
                                                                      p.setRequestLabel(7u);
                                                                  })
                                        << QString();
    QTest::newRow("fc65 time request")
        << hex("4100010005011e2d0c0f0618") << request
        << make<ModbusPacketArch>(65, Request,
                                  [](ModbusPacketArch &p) {
                                      p.setArchType(DorrikBus::TimeArch);
                                      p.setArchIndex(1);
                                      p.setRequestRecordsCount(5);
                                      // 2024-06-15 12:45:30
                                      p.setRequestLabel(1718455530u);
                                  })
        << QString();
    QTest::newRow("fc65 time request, year byte 5f")
        << hex("4100010005011e140a02035f") << request
        << make<ModbusPacketArch>(65, Request,
                                  [](ModbusPacketArch &p) {
                                      p.setArchType(DorrikBus::TimeArch);
                                      p.setArchIndex(1);
                                      p.setRequestRecordsCount(5);
                                      // 1995-03-02 10:20:30
                                      p.setRequestLabel(794139630u);
                                  })
        << QString();
    QTest::newRow("fc65 request, count 0") << hex("4100010000000007") << request << PacketPtr()
                                           << "read arch records count can't be zero";
    QTest::newRow("fc65 request, unknown type")
        << hex("4100010005020007") << request << PacketPtr() << invalidSize;
    QTest::newRow("fc67 request") << hex("43000200040100000e1001") << request
                                  << make<ModbusPacketArch>(67, Request,
                                                            [](ModbusPacketArch &p) {
                                                                p.setArchType(DorrikBus::TimeArch);
                                                                p.setDirection(DorrikBus::Backward);
                                                                p.setArchIndex(2);
                                                                p.setRequestRecordsCount(4);
                                                                p.setRequestLabel(3600u);
                                                            })
                                  << QString();
    QTest::newRow("fc67 request, unknown type")
        << hex("43000200040200000e1001") << request << PacketPtr() << "unknown arch type";
    QTest::newRow("fc67 request, count 0")
        << hex("43000200000100000e1001") << request << PacketPtr()
        << "read arch request records count can't be zero";
    QTest::newRow("fc67 request, unknown direction")
        << hex("43000200040100000e1002") << request << PacketPtr() << "unknown arch direction";

    const ModbusBytes twentyBytes = hex("0102030405060708090a0b0c0d0e0f1011121314");
    const ModbusBytes answer67 = hex("4314") + twentyBytes;
    QTest::newRow("fc67 answer, 4 records")
        << answer67 << ModbusParseInfo(Response, 4, DorrikBus::TimeArch)
        << make<ModbusPacketArch>(67, Response,
                                  [&](ModbusPacketArch &p) {
                                      p.setArchType(DorrikBus::TimeArch);
                                      p.setRecords(twentyBytes.splitBySize(5, -1));
                                  })
        << QString();
    QTest::newRow("fc67 answer, 3 records asked")
        << answer67 << ModbusParseInfo(Response, 3, DorrikBus::IndexArch) << PacketPtr()
        << "invalid arch record data length or response "
           "records count doesn't match requested";
    QTest::newRow("fc65 answer, 0 records asked")
        << ModbusBytes(hex("4114") + twentyBytes)
        << ModbusParseInfo(Response, 0, DorrikBus::IndexArch)
        << make<ModbusPacketArch>(65, Response,
                                  [&](ModbusPacketArch &p) { p.appendRecords(twentyBytes); })
        << QString();

    // Archive presence.
    QTest::newRow("fc66 request") << hex("4200020003010000001001") << request
                                  << make<ModbusPacketArchPresence>(
                                         66, Request,
                                         [](ModbusPacketArchPresence &p) {
                                             p.setArchType(DorrikBus::TimeArch);
                                             p.setDirection(DorrikBus::Backward);
                                             p.setArchIndex(2);
                                             p.setRequestLabelsCount(3);
                                             p.setRequestLabel(16u);
                                         })
                                  << QString();
    QTest::newRow("fc66 request, unknown type")
        << hex("4200020003020000001001") << request << PacketPtr() << "unknown arch type";
    QTest::newRow("fc66 request, count 0") << hex("4200020000010000001001") << request
                                           << PacketPtr() << "read arch labels count can't be zero";
    QTest::newRow("fc66 request, unknown direction")
        << hex("4200020003010000001002") << request << PacketPtr() << "unknown arch direction";
    QTest::newRow("fc66 answer") << hex("42080000000100000002")
                                 << ModbusParseInfo(Response, DorrikBus::TimeArch)
                                 << make<ModbusPacketArchPresence>(
                                        66, Response,
                                        [](ModbusPacketArchPresence &p) {
                                            p.setArchType(DorrikBus::TimeArch);
                                            p.setLabels(hex("0000000100000002"));
                                        })
                                 << QString();
    QTest::newRow("fc66 answer, no labels")
        << hex("4200") << response << make<ModbusPacketArchPresence>(66, Response) << QString();
    QTest::newRow("fc66 answer, partial label")
        << hex("420600000001abcd") << response << PacketPtr() << badCount;

    // Files.
    QTest::newRow("fc68 request") << hex("4400100203") << request
                                  << make<ModbusPacketFile>(68, Request,
                                                            [](ModbusPacketFile &p) {
                                                                p.requestOffset = 16;
                                                                p.requestFile = 2;
                                                                p.requestRegistersCount = 3;
                                                            })
                                  << QString();
    QTest::newRow("fc68 request, count 0") << hex("4400100200") << request << PacketPtr()
                                           << "reading file registers count can't be zero";
    QTest::newRow("fc68 answer") << hex("4404abcdef01") << response
                                 << make<ModbusPacketFile>(
                                        68, Response,
                                        [](ModbusPacketFile &p) { p.bytes = hex("abcdef01"); })
                                 << QString();
    QTest::newRow("fc68 answer, odd count")
        << hex("4403abcdef") << response << PacketPtr() << badCount;
    QTest::newRow("fc69 request") << hex("4500100201abcd") << request
                                  << make<ModbusPacketFile>(69, Request,
                                                            [](ModbusPacketFile &p) {
                                                                p.requestOffset = 16;
                                                                p.requestFile = 2;
                                                                p.requestRegistersCount = 1;
                                                                p.bytes = hex("abcd");
                                                            })
                                  << QString();
    QTest::newRow("fc69 request, no data") << hex("4500100200") << request
                                           << make<ModbusPacketFile>(69, Request,
                                                                     [](ModbusPacketFile &p) {
                                                                         p.requestOffset = 16;
                                                                         p.requestFile = 2;
                                                                     })
                                           << QString();
    QTest::newRow("fc69 answer") << hex("4500100201") << response
                                 << make<ModbusPacketFile>(69, Response,
                                                           [](ModbusPacketFile &p) {
                                                               p.requestOffset = 16;
                                                               p.requestFile = 2;
                                                               p.registersWritten = 1;
                                                           })
                                 << QString();

    // Exception answers and codes.
    QTest::newRow("exception fc3")
        << hex("8302") << response << exceptionAnswer(make<ModbusPacketReg>(3, Response), 2)
        << QString();
    QTest::newRow("exception in request state")
        << hex("8302") << request << exceptionAnswer(make<ModbusPacketReg>(3, Request), 2)
        << QString();
    QTest::newRow("exception fc67 takes archive type")
        << hex("c30b") << ModbusParseInfo(Response, DorrikBus::TimeArch)
        << exceptionAnswer(
               make<ModbusPacketArch>(
                   67, Response, [](ModbusPacketArch &p) { p.setArchType(DorrikBus::TimeArch); }),
               11)
        << QString();
    QTest::newRow("exception answer, trailing bytes")
        << hex("8302ffff") << response << PacketPtr() << "invalid bytes array size";
    QTest::newRow("exception code 0")
        << hex("8300") << response << PacketPtr() << "unknown Exception Code";
    QTest::newRow("exception code 7")
        << hex("8307") << response << PacketPtr() << "unknown Exception Code";
    QTest::newRow("exception code missing")
        << hex("83") << response << PacketPtr() << "unknown Exception Code";
    QTest::newRow("exception of fc5")
        << hex("8502") << response << PacketPtr() << "unsupported Function Code";
    QTest::newRow("fc5") << hex("050000ff00") << request << PacketPtr()
                         << "unsupported Function Code";
    QTest::newRow("code 0x19") << hex("9900") << response << PacketPtr() << "unknown Function Code";
    QTest::newRow("empty") << ModbusBytes() << response << PacketPtr() << "unknown Function Code";

    ModbusBytes tooLong = hex("03fc");
    tooLong.append(QByteArray(252, '\x01'));
    QTest::newRow("254 bytes") << tooLong << response << PacketPtr() << "bytes array is too long";
}

void tst_ModbusParser::parse()
{
    QFETCH(ModbusBytes, pdu);
    QFETCH(ModbusParseInfo, info);
    QFETCH(PacketPtr, expected);
    QFETCH(QString, error);

    PduParser parser;
    IPacket *parsed = nullptr;
    const bool ok = parser.parse2(pdu, info, nullptr, &parsed);
    std::unique_ptr<IPacket> owner(parsed);
    QCOMPARE(parser.thrown, error);
    QCOMPARE(ok, bool(expected));
    if (!expected)
        return;
    const auto *packet = dynamic_cast<const ModbusPacket *>(parsed);
    QVERIFY(packet);
    if (!samePacket(*packet, *expected))
        QFAIL(qPrintable("parsed " + packet->toString(true) + "\nexpected " +
                         expected->toString(true)));
}

void tst_ModbusParser::timeLabelIgnoresLocalZone()
{
    // 2024-03-31 02:30:00 does not exist in zones that move their clocks that night; the label
    // is the instrument's wall clock all the same.
    PduParser parser;
    std::unique_ptr<IPacket> parsed(
        parser.parse(hex("41000100010100 1e021f0318"), ModbusParseInfo(Request), nullptr));
    QVERIFY2(parsed, qPrintable(parser.thrown));
    QCOMPARE(static_cast<ModbusPacketArch *>(parsed.get())->requestLabel(), 1711852200u);
}

void tst_ModbusParser::roundTrip_data()
{
    QTest::addColumn<int>("functionCode");
    QTest::addColumn<DorrikBus::PacketState>("state");
    for (int code : {3, 4, 6, 16, 17, 65, 66, 67, 68, 69}) {
        for (auto state : {Request, Response}) {
            QTest::addRow("fc%d %s", code, state == Request ? "request" : "answer")
                << code << state;
        }
        QTest::addRow("fc%d exception", code) << -code << Response;
    }
}

// Random packets holding only what the reader keeps: written, read back and compared whole.
void tst_ModbusParser::roundTrip()
{
    QFETCH(int, functionCode);
    QFETCH(DorrikBus::PacketState, state);

    QRandomGenerator rng(0x5eed0000u + uint(functionCode + 100) * 2 + uint(state));
    const bool exception = functionCode < 0;
    const int code = qAbs(functionCode);
    const bool request = state == Request;
    auto u16 = [&] { return quint16(rng.bounded(0x10000)); };
    auto bytes = [&](int count) {
        ModbusBytes b;
        for (int i = 0; i < count; ++i)
            b.append(uchar(rng.bounded(256)));
        return b;
    };

    PduDeparser deparser;
    PduParser parser;
    for (int round = 0; round < 300; ++round) {
        ModbusParseInfo info(state, DorrikBus::ArchType(rng.bounded(2)));
        PacketPtr written;
        PacketPtr expected; // the reader's view where it differs from what was written
        switch (code) {
        case 3:
        case 4:
        case 6:
        case 16: {
            auto p = make<ModbusPacketReg>(code, state);
            auto &reg = static_cast<ModbusPacketReg &>(*p);
            const int count = code == 6 ? 1 : 1 + int(rng.bounded(code == 16 ? 122 : 125));
            if (request || code == 6)
                reg.setRequestAddress(u16());
            if (code == 3 || code == 4) {
                if (request)
                    reg.setRequestRegistersCount(quint16(count));
                else
                    reg.setRegBytes(bytes(2 * count));
            } else if (request) {
                reg.setRequestRegistersCount(quint16(count));
                reg.setRegBytes(bytes(2 * count));
            } else if (code == 6) {
                reg.setRequestRegistersCount(1);
                reg.setRegBytes(bytes(2));
                auto e = std::make_shared<ModbusPacketReg>(reg);
                e->setRegBytes({}); // the echoed value is not kept
                expected = e;
            } else {
                reg.setRequestAddress(u16());
                reg.setRegistersWritten(quint16(1 + rng.bounded(0xFFFF)));
                auto e = std::make_shared<ModbusPacketReg>(reg);
                e->setRequestAddress(0); // the answer's address is not kept
                expected = e;
            }
            written = p;
            break;
        }
        case 17:
            written = make<ModbusPacketReport>(17, state, [&](ModbusPacketReport &p) {
                if (!request)
                    p.setBytes(bytes(1 + int(rng.bounded(251))));
            });
            break;
        case 65:
        case 67: {
            auto p = std::make_shared<ModbusPacketArch>(info.archType);
            p->setFunctionCode(DorrikBus::FunctionCode(code));
            p->setState(state);
            if (request) {
                p->setArchIndex(u16());
                p->setRequestRecordsCount(quint16(1 + rng.bounded(0xFFFF)));
                if (code == 67) {
                    p->setRequestLabel(rng.generate());
                    p->setDirection(DorrikBus::ArchDirection(rng.bounded(2)));
                } else if (info.archType == DorrikBus::IndexArch) {
                    p->setRequestLabel(uint(u16()));
                } else {
                    // Time labels of the instrument's range, 1970 to 2069.
                    p->setRequestLabel(rng.bounded(3155760000u));
                }
            } else {
                const int records = 1 + int(rng.bounded(10));
                const int length = 1 + int(rng.bounded(250 / records));
                for (int i = 0; i < records; ++i)
                    p->appendRecords(bytes(length));
                info.recordsCount = quint16(records);
            }
            written = p;
            break;
        }
        case 66:
            written = make<ModbusPacketArchPresence>(66, state, [&](ModbusPacketArchPresence &p) {
                p.setArchType(info.archType);
                if (request) {
                    p.setArchIndex(u16());
                    p.setRequestLabelsCount(quint16(1 + rng.bounded(0xFFFF)));
                    p.setRequestLabel(rng.generate());
                    p.setDirection(DorrikBus::ArchDirection(rng.bounded(2)));
                } else {
                    p.setLabels(bytes(4 * int(rng.bounded(63))));
                }
            });
            break;
        case 68:
        case 69:
            written = make<ModbusPacketFile>(code, state, [&](ModbusPacketFile &p) {
                if (!request && code == 68) {
                    p.bytes = bytes(2 * (1 + int(rng.bounded(125))));
                    return;
                }
                p.requestOffset = u16();
                p.requestFile = uchar(rng.bounded(256));
                if (code == 68) {
                    p.requestRegistersCount = uchar(1 + rng.bounded(255));
                } else if (request) {
                    p.requestRegistersCount = uchar(1 + rng.bounded(122));
                    p.bytes = bytes(2 * p.requestRegistersCount);
                } else {
                    p.registersWritten = uchar(1 + rng.bounded(255));
                }
            });
            break;
        }
        if (exception) {
            // Only the common fields travel in an exception answer.
            static const int codes[] = {1, 2, 3, 4, 5, 6, 8, 10, 11};
            const int exceptionCode = codes[rng.bounded(9)];
            PduParser kindMaker;
            written.reset(kindMaker.createPacket(ModbusBytes(char(code)), info));
            written->setExceptionCode(DorrikBus::ExceptionCode(exceptionCode));
            expected.reset();
        }
        if (!expected)
            expected = written;

        ModbusBytes pdu;
        QVERIFY2(deparser.deparse(*written, pdu, nullptr),
                 qPrintable(deparser.thrown + " for " + written->toString(true)));
        QVERIFY(parser.canParse(pdu, state));
        IPacket *parsed = nullptr;
        QVERIFY2(parser.parse2(pdu, info, nullptr, &parsed),
                 qPrintable(parser.thrown + " for " + QString::fromLatin1(pdu.toHex())));
        std::unique_ptr<IPacket> owner(parsed);
        const auto &packet = dynamic_cast<const ModbusPacket &>(*parsed);
        if (!samePacket(packet, *expected))
            QFAIL(qPrintable("read " + packet.toString(true) + "\nexpected " +
                             expected->toString(true) + "\npdu " +
                             QString::fromLatin1(pdu.toHex())));
    }
}

void tst_ModbusParser::texts()
{
    PduParser parser;
    QCOMPARE(parser.toString(false), QStringLiteral("Modbus parser: \n"));
    QCOMPARE(parser.toString(true), QStringLiteral("Modbus parser: ; "));
    QCOMPARE(ModbusParseInfo(Response, 4, DorrikBus::TimeArch).toString(true),
             QStringLiteral("state: response; records count: 4; archType: time archive; "));
    QVERIFY(ModbusParseInfo(Response, DorrikBus::TimeArch) ==
            ModbusParseInfo(Response, 1, DorrikBus::TimeArch));
    QVERIFY(ModbusParseInfo() != ModbusParseInfo(Response));
}

QTEST_GUILESS_MAIN(tst_ModbusParser)
#include "tst_modbusparser.moc"
