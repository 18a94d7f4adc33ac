#include "modbusdeparser.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"

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

// The PDU step without a frame around it.
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

PacketPtr regs(int functionCode, DorrikBus::PacketState state, const char *regBytes,
               int address = 0, int count = 0, int written = 0)
{
    return make<ModbusPacketReg>(functionCode, state, [&](ModbusPacketReg &p) {
        p.setRegBytes(hex(regBytes));
        p.setRequestAddress(quint16(address));
        p.setRequestRegistersCount(quint16(count));
        p.setRegistersWritten(quint16(written));
    });
}

PacketPtr file(int functionCode, DorrikBus::PacketState state, const char *bytes, int offset,
               int fileNumber, int count = 0, int written = 0)
{
    return make<ModbusPacketFile>(functionCode, state, [&](ModbusPacketFile &p) {
        p.bytes = hex(bytes);
        p.requestOffset = quint16(offset);
        p.requestFile = uchar(fileNumber);
        p.requestRegistersCount = uchar(count);
        p.registersWritten = uchar(written);
    });
}

PacketPtr arch(int functionCode, DorrikBus::PacketState state, DorrikBus::ArchType type, int index,
               int count, uint label, DorrikBus::ArchDirection direction = DorrikBus::Forward)
{
    auto packet = std::make_shared<ModbusPacketArch>(type, direction);
    packet->setFunctionCode(DorrikBus::FunctionCode(functionCode));
    packet->setState(state);
    packet->setArchIndex(quint16(index));
    packet->setRequestRecordsCount(quint16(count));
    packet->setRequestLabel(label);
    return packet;
}

PacketPtr withException(PacketPtr packet, int exceptionCode)
{
    packet->setExceptionCode(DorrikBus::ExceptionCode(exceptionCode));
    return packet;
}

} // namespace

class tst_ModbusDeparser : public QObject
{
    Q_OBJECT
private slots:
    void deparse_data();
    void deparse();
    void canDeparse();
};

void tst_ModbusDeparser::deparse_data()
{
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<ModbusBytes>("pdu"); // the bytes written, also those left by a refusal
    QTest::addColumn<QString>("error");

    // Registers.
    QTest::newRow("fc3 request") << regs(3, Request, "", 0, 10) << hex("030000000a") << QString();
    QTest::newRow("fc4 request, count 0") << regs(4, Request, "", 0, 0) << hex("04")
                                          << "request registers count must be greater than zero";
    QTest::newRow("fc3 answer") << regs(3, Response, "000a0102") << hex("0304000a0102")
                                << QString();
    QTest::newRow("fc4 answer, odd byte left out")
        << regs(4, Response, "000a01") << hex("0402000a") << QString();
    QTest::newRow("fc3 answer, no registers")
        << regs(3, Response, "") << hex("03") << "request registers have not registers";
    QTest::newRow("fc6 request") << regs(6, Request, "002a", 5) << hex("060005002a") << QString();
    QTest::newRow("fc6 answer echoes the value")
        << regs(6, Response, "002a", 5) << hex("060005002a") << QString();
    QTest::newRow("fc6, two registers")
        << regs(6, Request, "002a002b", 5) << hex("06") << "packet must have one register to write";
    QTest::newRow("fc6, no register")
        << regs(6, Response, "", 5) << hex("06") << "packet must have one register to write";
    QTest::newRow("fc16 request counts its registers, not the request count")
        << regs(16, Request, "000a0102", 1, 7) << hex("100001000204000a0102") << QString();
    {
        const QByteArray data(244, '\x5a');
        auto packet = regs(16, Request, "", 0x20);
        static_cast<ModbusPacketReg &>(*packet).setRegBytes(ModbusBytes(data));
        ModbusBytes expected = hex("100020007af4");
        expected.append(data);
        QTest::newRow("fc16 request, 122 registers") << packet << expected << QString();
        auto tooMany = regs(16, Request, "", 0x20);
        static_cast<ModbusPacketReg &>(*tooMany).setRegBytes(ModbusBytes(data + "zz"));
        QTest::newRow("fc16 request, 123 registers")
            << tooMany << hex("10") << "too much registers to write";
    }
    QTest::newRow("fc16 request, no registers")
        << regs(16, Request, "", 1, 2) << hex("10") << "packet must have any registers to write";
    QTest::newRow("fc16 answer") << regs(16, Response, "", 0x20, 0, 2) << hex("1000200002")
                                 << QString();
    QTest::newRow("fc16 answer, nothing written")
        << regs(16, Response, "", 0x20) << hex("10") << "you must set 'registersWritten'";

    // Report.
    QTest::newRow("fc17 request") << make<ModbusPacketReport>(17, Request) << hex("11")
                                  << QString();
    QTest::newRow("fc17 answer") << make<ModbusPacketReport>(
                                        17, Response,
                                        [](ModbusPacketReport &p) { p.setBytes(hex("414200")); })
                                 << hex("1103414200") << QString();
    QTest::newRow("fc17 answer, no bytes") << make<ModbusPacketReport>(17, Response) << hex("11")
                                           << "packet must contain report bytes";

    // Archive records.
    QTest::newRow("fc65 index request")
        << arch(65, Request, DorrikBus::IndexArch, 1, 5, 7) << hex("4100010005000007") << QString();
    QTest::newRow("fc65 index request, label over 16 bits")
        << arch(65, Request, DorrikBus::IndexArch, 1, 5, 0x10000) << hex("410001000500")
        << "for deparsing 65 function record index must be in less than 2 bytes length";
    QTest::newRow("fc65 time request, 1995")
        << arch(65, Request, DorrikBus::TimeArch, 1, 5, 794139630u) // 1995-03-02 10:20:30
        << hex("4100010005011e140a02035f") << QString();
    QTest::newRow("fc65 time request, 2024")
        << arch(65, Request, DorrikBus::TimeArch, 1, 5, 1718455530u) // 2024-06-15 12:45:30
        << hex("4100010005011e2d0c0f0618") << QString();
    QTest::newRow("fc65 request, no records") << arch(65, Request, DorrikBus::IndexArch, 1, 0, 7)
                                              << hex("41") << "packet must contains records";
    QTest::newRow("fc67 request") << arch(67, Request, DorrikBus::TimeArch, 2, 4, 3600,
                                          DorrikBus::Backward)
                                  << hex("43000200040100000e1001") << QString();
    QTest::newRow("fc67 request, no records") << arch(67, Request, DorrikBus::TimeArch, 2, 0, 3600)
                                              << hex("43") << "packet must contains records";
    {
        auto answer = arch(67, Response, DorrikBus::TimeArch, 0, 1, 0);
        static_cast<ModbusPacketArch &>(*answer).appendRecords(hex("0102"));
        static_cast<ModbusPacketArch &>(*answer).appendRecords(hex("030405"));
        QTest::newRow("fc67 answer") << answer << hex("43050102030405") << QString();
        QTest::newRow("fc65 answer, no records")
            << arch(65, Response, DorrikBus::IndexArch, 0, 1, 0) << hex("4100") << QString();
    }

    // Archive presence.
    QTest::newRow("fc66 request") << make<ModbusPacketArchPresence>(
                                         66, Request,
                                         [](ModbusPacketArchPresence &p) {
                                             p.setArchType(DorrikBus::TimeArch);
                                             p.setDirection(DorrikBus::Backward);
                                             p.setArchIndex(2);
                                             p.setRequestLabelsCount(3);
                                             p.setRequestLabel(16u);
                                         })
                                  << hex("4200020003010000001001") << QString();
    QTest::newRow("fc66 request, no labels")
        << make<ModbusPacketArchPresence>(
               66, Request, [](ModbusPacketArchPresence &p) { p.setRequestLabelsCount(0); })
        << hex("42") << "requestLabelsCount must be non zero";
    QTest::newRow("fc66 answer") << make<ModbusPacketArchPresence>(
                                        66, Response,
                                        [](ModbusPacketArchPresence &p) {
                                            p.appendLabel(1);
                                            p.appendLabel(2);
                                            p.appendLabels(hex("ff")); // no whole label
                                        })
                                 << hex("42080000000100000002") << QString();

    // Files.
    QTest::newRow("fc68 request") << file(68, Request, "", 16, 2, 3) << hex("4400100203")
                                  << QString();
    QTest::newRow("fc68 request, count 0")
        << file(68, Request, "", 16, 2, 0) << hex("44")
        << "file request registers count count must be greater than zero";
    QTest::newRow("fc68 answer") << file(68, Response, "abcdef01", 0, 0) << hex("4404abcdef01")
                                 << QString();
    QTest::newRow("fc68 answer, no data")
        << file(68, Response, "", 0, 0) << hex("44") << "read file answer has not registers";
    QTest::newRow("fc68 answer, odd data")
        << file(68, Response, "abcdef", 0, 0) << hex("44") << "file data must hold whole registers";
    QTest::newRow("fc69 request") << file(69, Request, "abcdef01", 16, 2)
                                  << hex("450010020 2abcdef01") << QString();
    QTest::newRow("fc69 request, no data")
        << file(69, Request, "", 16, 2) << hex("45")
        << "file request registers count count must be greater than zero";
    QTest::newRow("fc69 request, odd data")
        << file(69, Request, "abcdef", 16, 2) << hex("45") << "file data must hold whole registers";
    {
        auto tooMany = file(69, Request, "", 16, 2);
        static_cast<ModbusPacketFile &>(*tooMany).bytes = ModbusBytes(QByteArray(246, '\x01'));
        QTest::newRow("fc69 request, 123 registers")
            << tooMany << hex("45") << "too much registers to write to file";
    }
    QTest::newRow("fc69 answer") << file(69, Response, "", 16, 2, 0, 1) << hex("4500100201")
                                 << QString();
    QTest::newRow("fc69 answer, nothing written")
        << file(69, Response, "", 16, 2) << hex("45") << "regsWritten didn't set";

    // Exception answers and codes.
    QTest::newRow("exception answer")
        << withException(regs(3, Response, "0001"), 2) << hex("8302") << QString();
    QTest::newRow("exception answer of fc66")
        << withException(make<ModbusPacketArchPresence>(66, Response), 11) << hex("c20b")
        << QString();
    QTest::newRow("exception request") << withException(regs(3, Request, ""), 2) << ModbusBytes()
                                       << "exception packet must have 'Responsde' state";
    QTest::newRow("exception code 7")
        << withException(regs(3, Response, ""), 7) << ModbusBytes() << "unknown exception code";
    QTest::newRow("exception of fc5")
        << withException(regs(5, Response, ""), 1) << ModbusBytes() << "unknown function code";
    QTest::newRow("fc5") << regs(5, Request, "0001") << hex("05") << "unknown function code";
    QTest::newRow("no function code")
        << regs(0, Request, "0001") << hex("00") << "unknown function code";
}

void tst_ModbusDeparser::deparse()
{
    QFETCH(PacketPtr, packet);
    QFETCH(ModbusBytes, pdu);
    QFETCH(QString, error);

    PduDeparser deparser;
    ModbusBytes out = hex("eeee"); // replaced, never appended to
    QCOMPARE(deparser.deparse(*packet, out, nullptr), error.isEmpty());
    QCOMPARE(deparser.thrown, error);
    QCOMPARE(out.toHex(), pdu.toHex());
}

void tst_ModbusDeparser::canDeparse()
{
    PduDeparser deparser;
    QVERIFY(deparser.canDeparse(*regs(16, Request, "0001")));
    QVERIFY(deparser.canDeparse(*make<ModbusPacketReport>(17, Response)));
    QVERIFY(!deparser.canDeparse(*regs(5, Request, "0001")));
    QVERIFY(!deparser.canDeparse(ModbusPacketReg())); // no function code yet
    QVERIFY(!deparser.canDeparse(ModbusPacketFile()));

    // A packet of another family is never a Modbus packet.
    struct OtherPacket : IPacket
    {
        QString toString(bool) const override { return {}; }
    };
    QVERIFY(!deparser.canDeparse(OtherPacket()));
}

QTEST_GUILESS_MAIN(tst_ModbusDeparser)
#include "tst_modbusdeparser.moc"
