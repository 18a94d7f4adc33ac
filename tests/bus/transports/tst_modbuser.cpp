#include "archivestore.h"
#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"
#include "modbusrtuparser.h"
#include "registermap.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

// A frame without its CRC, spaced, after checking that the CRC is right.
QByteArray withoutCrc(const ModbusBytes &frame)
{
    if (!frame.checkCrc16())
        return QByteArray("bad crc: ") + frame.toHex(' ');
    return frame.left(frame.size() - 2).toHex(' ');
}

QDateTime wallClock(const char *text)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t;
}

quint32 label(const char *text)
{
    return DorrikBus::archLabelToSeconds(wallClock(text));
}

// Gives every archive answer without its records, as a faulty device or link would.
class RecordDroppingParser : public ModbusRTUParser
{
public:
    using ModbusRTUParser::ModbusRTUParser;
    IPacket *parse(const ModbusBytes &bytes, const IParseInfo &info, const Target *target) override
    {
        IPacket *packet = ModbusRTUParser::parse(bytes, info, target);
        if (auto *arch = dynamic_cast<ModbusPacketArch *>(packet))
            arch->setRecords({});
        return packet;
    }
};

// A master Modbuser on a loopback client against a slave Modbuser on its server, the slave
// answering from a register map and an archive store. Every frame is recorded both ways.
struct LoopbackBench
{
    explicit LoopbackBench(ModbusParser *firstParser = nullptr)
    {
        server = new ModbusLoopbackServer;
        client = std::make_unique<ModbusLoopbackClient>(*server);
        slave.translator().addTransport(*server, true, true);
        // Bound first, it is the one the translator picks for the client's answers.
        if (firstParser) {
            firstParser->setParent(&master.translator());
            master.translator().addParser(*firstParser, *client);
        }
        master.setClientTransport(client.get());
        server->connectTransport(false);
        client->connectTransport(false);
        QObject::connect(server, &Transport::bytesReceived,
                         [this](const ModbusBytes &bytes, const Target *) { requests << bytes; });
        QObject::connect(client.get(), &Transport::bytesReceived,
                         [this](const ModbusBytes &bytes, const Target *) { answers << bytes; });
        // The texts of the last packets exchanged, as the error messages quote them.
        QObject::connect(&master.translator(), &ModbusTranslator::packetSent,
                         [this](const ModbusPacket &packet, const ModbusTarget *) {
                             requestText = packet.toString(false);
                             requestLine = packet.toString(true);
                         });
        QObject::connect(&master.translator(), &ModbusTranslator::packetReceived,
                         [this](const ModbusPacket &packet, const ModbusTarget *) {
                             answerText = packet.toString(false);
                             answerLine = packet.toString(true);
                         });

        map.addRegisters(400001, 300);
        map.addRegisters(465536, 1);
        map.setDeviceName(QStringLiteral("TVN-5"));
        map.setFile(3, hex("00010002000300040005000600070008"));
        map.serve(slave);

        archives.addArchive(1, DorrikBus::IndexArch);
        for (quint32 i = 1; i <= 5; ++i)
            archives.addRecord(1, i, ModbusBytes::fromUInt32(0xA0000000u + i));
        archives.addArchive(2, DorrikBus::TimeArch);
        archives.addRecord(2, label("2024-03-31T01:00:00"), hex("0101"));
        archives.addRecord(2, label("2024-03-31T02:00:00"), hex("0202"));
        archives.addRecord(2, label("2024-03-31T03:00:00"), hex("0303"));
        archives.addArchive(3, DorrikBus::IndexArch);
        archives.serve(slave);
    }

    // Replaces the placeholders of an expected message by the texts of the last exchange.
    QString expand(QString text) const
    {
        return text.replace(QLatin1String("{req}"), requestText)
            .replace(QLatin1String("{req1}"), requestLine)
            .replace(QLatin1String("{ans}"), answerText)
            .replace(QLatin1String("{ans1}"), answerLine);
    }

    std::unique_ptr<ModbusLoopbackClient> client;
    ModbusLoopbackServer *server = nullptr; // owned by the slave's registry
    Modbuser slave;
    Modbuser master;
    RegisterMap map;
    ArchiveStore archives;
    QList<ModbusBytes> requests;
    QList<ModbusBytes> answers;
    QString requestText, requestLine, answerText, answerLine;
};

// The slave side alone: requests handed straight to the dispatch slot.
struct SlaveBench
{
    ModbusTranslateOptions options(quint8 unit = 1)
    {
        return ModbusTranslateOptions(QDateTime::currentDateTime(), nullptr, unit, link);
    }

    ModbusLoopbackServer link;
    Modbuser slave;
};

ModbusPacketReg registerRequest(DorrikBus::FunctionCode function, quint16 address, quint16 count,
                                const ModbusBytes &bytes = ModbusBytes())
{
    ModbusPacketReg request;
    request.setFunctionCode(function);
    request.setRequestAddress(address);
    request.setRequestRegistersCount(count);
    request.setRegBytes(bytes);
    return request;
}

} // namespace

class tst_Modbuser : public QObject
{
    Q_OBJECT

private slots:
    void typedWritesAndReadsRoundTrip_data();
    void typedWritesAndReadsRoundTrip();
    void requestFrames_data();
    void requestFrames();
    void deviceAddressOnEveryRequestAndAnswer_data();
    void deviceAddressOnEveryRequestAndAnswer();
    void reportAndDeviceName();
    void fileRecordsRoundTrip();
    void archiveRecords_data();
    void archiveRecords();
    void countFormOfArchiveRecords();
    void presenceAndLabels();
    void labelsOfAnEmptyArchive();
    void errorTexts_data();
    void errorTexts();
    void refusedAddressesSendNothing_data();
    void refusedAddressesSendNothing();
    void linkErrorsReachTheErrorString();
    void oddLengthWrites_data();
    void oddLengthWrites();

    void slaveRegisterRequests_data();
    void slaveRegisterRequests();
    void slaveAnswerTakesExceptionAndUnitFromOptions();
    void slaveRequestsWithoutAnswer_data();
    void slaveRequestsWithoutAnswer();
    void slaveKeepsAnEarlierAnswer();
    void slaveArchiveSignals_data();
    void slaveArchiveSignals();
};

enum class Typed {
    UInt16,
    Int16,
    UInt8,
    Int8,
    UInt32,
    Int32,
    UInt64,
    Int64,
    Float,
    Double,
    DoubleStruct,
    AnsiPerRegister,
    AnsiPacked,
    AnsiCString,
    Utf8
};
Q_DECLARE_METATYPE(Typed)

void tst_Modbuser::typedWritesAndReadsRoundTrip_data()
{
    QTest::addColumn<Typed>("kind");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<int>("function");

    QTest::newRow("uint16") << Typed::UInt16 << QVariant(0xBEEF) << QByteArray("beef") << 6;
    QTest::newRow("int16 -2") << Typed::Int16 << QVariant(-2) << QByteArray("fffe") << 6;
    QTest::newRow("uint8 200 in the low half")
        << Typed::UInt8 << QVariant(200) << QByteArray("00c8") << 6;
    QTest::newRow("int8 -1 is 0x00ff, not sign-extended")
        << Typed::Int8 << QVariant(-1) << QByteArray("00ff") << 6;
    QTest::newRow("uint32, high register first")
        << Typed::UInt32 << QVariant(0x12345678u) << QByteArray("12345678") << 16;
    QTest::newRow("int32 -2") << Typed::Int32 << QVariant(-2) << QByteArray("fffffffe") << 16;
    QTest::newRow("uint64") << Typed::UInt64 << QVariant(Q_UINT64_C(0x0102030405060708))
                            << QByteArray("0102030405060708") << 16;
    QTest::newRow("int64 -3") << Typed::Int64 << QVariant(qint64(-3))
                              << QByteArray("fffffffffffffffd") << 16;
    QTest::newRow("float 1.5") << Typed::Float << QVariant(1.5) << QByteArray("3fc00000") << 16;
    QTest::newRow("double 2.5") << Typed::Double << QVariant(2.5) << QByteArray("4004000000000000")
                                << 16;
    QTest::newRow("double struct 2.75: int32 then float fraction")
        << Typed::DoubleStruct << QVariant(2.75) << QByteArray("000000023f400000") << 16;
    QTest::newRow("ansi, one character per register")
        << Typed::AnsiPerRegister << QVariant(QStringLiteral("AB")) << QByteArray("00410042") << 16;
    QTest::newRow("ansi packed") << Typed::AnsiPacked << QVariant(QStringLiteral("ABCD"))
                                 << QByteArray("41424344") << 16;
    QTest::newRow("ansi from a C string, one character per register")
        << Typed::AnsiCString << QVariant(QStringLiteral("Hi")) << QByteArray("00480069") << 16;
    QTest::newRow("utf8") << Typed::Utf8 << QVariant(QStringLiteral("Ab")) << QByteArray("4162")
                          << 16;
}

void tst_Modbuser::typedWritesAndReadsRoundTrip()
{
    QFETCH(Typed, kind);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, registers);
    QFETCH(int, function);

    LoopbackBench bench;
    Modbuser &m = bench.master;
    const quint32 at = 400101;
    const int count = int(registers.size() / 4);
    const QByteArray text = value.toString().toLatin1();

    bool written = false;
    switch (kind) {
    case Typed::UInt16:
        written = m.writeUInt16(at, quint16(value.toUInt()));
        break;
    case Typed::Int16:
        written = m.writeInt16(at, qint16(value.toInt()));
        break;
    case Typed::UInt8:
        written = m.writeUInt8(at, quint8(value.toUInt()));
        break;
    case Typed::Int8:
        written = m.writeInt8(at, qint8(value.toInt()));
        break;
    case Typed::UInt32:
        written = m.writeUInt(at, value.toUInt());
        break;
    case Typed::Int32:
        written = m.writeInt(at, value.toInt());
        break;
    case Typed::UInt64:
        written = m.writeUInt64(at, value.toULongLong());
        break;
    case Typed::Int64:
        written = m.writeInt64(at, value.toLongLong());
        break;
    case Typed::Float:
        written = m.writeFloat(at, value.toFloat());
        break;
    case Typed::Double:
        written = m.writeDouble(at, value.toDouble());
        break;
    case Typed::DoubleStruct:
        written = m.writeDoubleStruct(at, value.toDouble());
        break;
    case Typed::AnsiPerRegister:
        written = m.writeStringAnsi(at, value.toString(), true);
        break;
    case Typed::AnsiPacked:
        written = m.writeStringAnsi(at, value.toString(), false);
        break;
    case Typed::AnsiCString:
        written = m.writeStringAnsi(at, text.constData(), true);
        break;
    case Typed::Utf8:
        written = m.writeStringUtf8(at, value.toString());
        break;
    }
    QVERIFY2(written, qPrintable(m.errorString()));
    QCOMPARE(bench.map.registers(at, count).toHex(), registers);
    QCOMPARE(int(bench.requests.last().at(1)), function);

    // Read back through the typed read of the same kind, where there is one.
    QVariant back;
    bool read = true;
    switch (kind) {
    case Typed::UInt16:
    case Typed::UInt8: {
        quint16 v = 0;
        read = m.readUInt16(at, v);
        back = uint(v);
        break;
    }
    case Typed::Int16: {
        qint16 v = 0;
        read = m.readInt16(at, v);
        back = int(v);
        break;
    }
    case Typed::Int8: {
        // The register holds the byte only: as a 16-bit value it is 255.
        qint16 v = 0;
        read = m.readInt16(at, v);
        QCOMPARE(v, qint16(0x00FF));
        back = value;
        break;
    }
    case Typed::UInt32: {
        quint32 v = 0;
        read = m.readUInt32(at, v);
        back = v;
        break;
    }
    case Typed::Int32: {
        qint32 v = 0;
        read = m.readInt32(at, v);
        back = v;
        break;
    }
    case Typed::UInt64: {
        quint64 v = 0;
        read = m.readUInt64(at, v);
        back = v;
        break;
    }
    case Typed::Int64: {
        qint64 v = 0;
        read = m.readInt64(at, v);
        back = v;
        break;
    }
    case Typed::Float: {
        float v = 0;
        read = m.readFloat(at, v);
        back = double(v);
        break;
    }
    case Typed::Double: {
        double v = 0;
        read = m.readDouble(at, v);
        back = v;
        break;
    }
    case Typed::DoubleStruct: {
        double v = 0;
        read = m.readDoubleStruct(at, v);
        back = v;
        break;
    }
    case Typed::AnsiPerRegister:
    case Typed::AnsiCString: {
        QString v;
        read = m.readString(at, quint16(count), v);
        back = v;
        break;
    }
    case Typed::AnsiPacked:
    case Typed::Utf8: {
        ModbusBytes v;
        read = m.readRegisters(at, quint16(count), v);
        back = QString::fromUtf8(v);
        break;
    }
    }
    QVERIFY2(read, qPrintable(m.errorString()));
    QCOMPARE(back.toString(), value.toString());
}

void tst_Modbuser::requestFrames_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("holding register 0 is 400001, function 3")
        << "readHoldingRegister" << QByteArray("01 03 00 00 00 01") << QByteArray("01 03 02 00 2a");
    QTest::newRow("input register 0 is 300001, function 4")
        << "readInputRegister" << QByteArray("01 04 00 00 00 01") << QByteArray("01 04 02 00 2a");
    QTest::newRow("register 400011, 2 registers, as a list")
        << "readRegistersArray" << QByteArray("01 03 00 0a 00 02")
        << QByteArray("01 03 04 00 0b 00 0c");
    QTest::newRow("single write uses function 6")
        << "writeRegister" << QByteArray("01 06 00 07 12 34") << QByteArray("01 06 00 07 12 34");
    QTest::newRow("highest holding offset 465536")
        << "readTopRegister" << QByteArray("01 03 ff ff 00 01") << QByteArray("01 03 02 00 00");
    QTest::newRow("presence, last label asks backward from 2069-12-31 23:59:59")
        << "getLastIndexLabel" << QByteArray("01 42 00 01 00 01 00 bc 19 13 7f 01")
        << QByteArray("01 42 04 00 00 00 05");
    QTest::newRow("presence, first label asks forward from 0")
        << "getFirstIndexLabel" << QByteArray("01 42 00 01 00 01 00 00 00 00 00 00")
        << QByteArray("01 42 04 00 00 00 01");
    QTest::newRow("file read: offset, file, count")
        << "readFile" << QByteArray("01 44 00 02 03 02") << QByteArray("01 44 04 00 03 00 04");
}

void tst_Modbuser::requestFrames()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);

    LoopbackBench bench;
    bench.map.setRegisters(400001, hex("002a"));
    bench.map.setRegisters(400011, hex("000b000c"));
    Modbuser &m = bench.master;
    quint16 value = 0;
    quint32 found = 0;
    ModbusBytes bytes;
    ModbusBytesArray list;
    bool ok = false;
    if (operation == "readHoldingRegister") {
        ok = m.readHoldingRegister(0, value);
        QCOMPARE(value, quint16(42));
    } else if (operation == "readInputRegister") {
        // The slave side hands function 4 to the handlers in the holding range.
        ok = m.readInputRegister(0, value);
        QCOMPARE(value, quint16(42));
    } else if (operation == "readRegistersArray") {
        ok = m.readRegisters(400011, 2, list);
        QCOMPARE(list, ModbusBytesArray({hex("000b"), hex("000c")}));
    } else if (operation == "writeRegister") {
        ok = m.writeRegister(400008, 0x1234);
    } else if (operation == "readTopRegister") {
        ok = m.readRegister(465536, bytes);
        QCOMPARE(bytes.toHex(), QByteArray("0000"));
    } else if (operation == "getLastIndexLabel") {
        ok = m.getLastIndexLabel(1, found);
        QCOMPARE(found, 5u);
    } else if (operation == "getFirstIndexLabel") {
        ok = m.getFirstIndexLabel(1, found);
        QCOMPARE(found, 1u);
    } else if (operation == "readFile") {
        ok = m.readFile(3, 2, 2, bytes);
        QCOMPARE(bytes.toHex(), QByteArray("00030004"));
    }
    QVERIFY2(ok, qPrintable(m.errorString()));
    QCOMPARE(bench.requests.size(), 1);
    QCOMPARE(withoutCrc(bench.requests.first()), request);
    QCOMPARE(withoutCrc(bench.answers.first()), answer);
}

void tst_Modbuser::deviceAddressOnEveryRequestAndAnswer_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("register read") << "read";
    QTest::newRow("register write") << "write";
    QTest::newRow("report") << "report";
    QTest::newRow("file read") << "readFile";
    QTest::newRow("file write") << "writeFile";
    QTest::newRow("presence") << "presence";
    QTest::newRow("archive records") << "records";
}

void tst_Modbuser::deviceAddressOnEveryRequestAndAnswer()
{
    QFETCH(QString, operation);

    LoopbackBench bench;
    Modbuser &m = bench.master;
    m.setDeviceAddress(5);
    QCOMPARE(m.deviceAddress(), quint8(5));
    ModbusBytes bytes;
    QList<ModbusBytes> records;
    bool ok = false;
    if (operation == "read")
        ok = m.readRegisters(400001, 1, bytes);
    else if (operation == "write")
        ok = m.writeRegister(400001, 7);
    else if (operation == "report")
        ok = m.getReport(bytes);
    else if (operation == "readFile")
        ok = m.readFile(3, 0, 1, bytes);
    else if (operation == "writeFile")
        ok = m.writeFile(3, 0, hex("0009"));
    else if (operation == "presence")
        ok = m.readArchPresence(1, 0, DorrikBus::IndexArch, bytes, DorrikBus::Forward, 2);
    else if (operation == "records")
        ok = m.readIndexArchRecords(1, 1, 2, records);
    QVERIFY2(ok, qPrintable(m.errorString()));
    QCOMPARE(bench.requests.size(), 1);
    QCOMPARE(int(bench.requests.first().at(0)), 5);
    // Masters drop answers of another unit: the slave answers as the unit asked.
    QCOMPARE(int(bench.answers.first().at(0)), 5);
}

void tst_Modbuser::reportAndDeviceName()
{
    LoopbackBench bench;
    ModbusBytes report;
    QVERIFY(bench.master.getReport(report));
    QCOMPARE(report.toHex(' '), QByteArray("54 56 4e 2d 35 00"));
    QCOMPARE(withoutCrc(bench.requests.last()), QByteArray("01 11"));

    QString name = QStringLiteral("untouched");
    QVERIFY(bench.master.getDevName(name));
    QCOMPARE(name, QStringLiteral("TVN-5"));
}

void tst_Modbuser::fileRecordsRoundTrip()
{
    LoopbackBench bench;
    Modbuser &m = bench.master;
    QVERIFY2(m.writeFile(3, 1, hex("aaaabbbb")), qPrintable(m.errorString()));
    QCOMPARE(withoutCrc(bench.requests.last()), QByteArray("01 45 00 01 03 02 aa aa bb bb"));
    QCOMPARE(bench.map.file(3).toHex(), QByteArray("0001aaaabbbb00040005000600070008"));

    ModbusBytes bytes;
    QVERIFY2(m.readFile(3, 0, 4, bytes), qPrintable(m.errorString()));
    QCOMPARE(bytes.toHex(), QByteArray("0001aaaabbbb0004"));
}

void tst_Modbuser::archiveRecords_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<ModbusBytes>>("expected");

    auto idx = [](quint32 i) { return ModbusBytes::fromUInt32(0xA0000000u + i); };
    QTest::newRow("65 index, 3 from label 2")
        << "indexRecords65" << QList<ModbusBytes>{idx(2), idx(3), idx(4)};
    QTest::newRow("67 index, 3 backward from label 4")
        << "indexRecords67" << QList<ModbusBytes>{idx(4), idx(3), idx(2)};
    QTest::newRow("65 index, one record") << "indexRecord65" << QList<ModbusBytes>{idx(3)};
    QTest::newRow("67 index, one record backward") << "indexRecord67" << QList<ModbusBytes>{idx(5)};
    QTest::newRow("65 time, 2 from 02:00")
        << "timeRecords65" << QList<ModbusBytes>{hex("0202"), hex("0303")};
    QTest::newRow("67 time, 2 backward from 02:30")
        << "timeRecords67" << QList<ModbusBytes>{hex("0202"), hex("0101")};
    QTest::newRow("65 time, one record") << "timeRecord65" << QList<ModbusBytes>{hex("0101")};
    QTest::newRow("67 time, one record forward from 01:30")
        << "timeRecord67" << QList<ModbusBytes>{hex("0202")};
    QTest::newRow("array form, 67 index, 2 from label 1")
        << "arrayForm" << QList<ModbusBytes>{idx(1), idx(2)};
}

void tst_Modbuser::archiveRecords()
{
    QFETCH(QString, operation);
    QFETCH(QList<ModbusBytes>, expected);

    LoopbackBench bench;
    Modbuser &m = bench.master;
    QList<ModbusBytes> records;
    ModbusBytes record;
    bool ok = false;
    if (operation == "indexRecords65") {
        ok = m.readIndexArchRecords(1, 2, 3, records);
    } else if (operation == "indexRecords67") {
        ok = m.readIndexArchRecords(1, 4, DorrikBus::Backward, 3, records);
    } else if (operation == "indexRecord65") {
        ok = m.readIndexArchRecord(1, 3, record);
        records << record;
    } else if (operation == "indexRecord67") {
        ok = m.readIndexArchRecord(1, 9, DorrikBus::Backward, record);
        records << record;
    } else if (operation == "timeRecords65") {
        ok = m.readTimeArchRecords(2, wallClock("2024-03-31T02:00:00"), 2, records);
    } else if (operation == "timeRecords67") {
        ok = m.readTimeArchRecords(2, wallClock("2024-03-31T02:30:00"), DorrikBus::Backward, 2,
                                   records);
    } else if (operation == "timeRecord65") {
        ok = m.readTimeArchRecord(2, wallClock("2024-03-31T01:00:00"), record);
        records << record;
    } else if (operation == "timeRecord67") {
        ok = m.readTimeArchRecord(2, wallClock("2024-03-31T01:30:00"), DorrikBus::Forward, record);
        records << record;
    } else if (operation == "arrayForm") {
        ModbusBytesArray array;
        ok = m.readArchRecords(1, 1, DorrikBus::Func67, DorrikBus::IndexArch, array,
                               DorrikBus::Forward, 2) == 2;
        records = array;
    }
    QVERIFY2(ok, qPrintable(m.errorString()));
    QCOMPARE(records, expected);
}

void tst_Modbuser::countFormOfArchiveRecords()
{
    LoopbackBench bench;
    Modbuser &m = bench.master;
    ModbusBytes joined;
    QCOMPARE(m.readArchRecords(1, 2, DorrikBus::Func65, DorrikBus::IndexArch, joined,
                               DorrikBus::Forward, 2),
             2);
    QCOMPARE(joined.toHex(), QByteArray("a0000002a0000003"));
    QCOMPARE(int(bench.requests.last().at(1)), 65);

    // A count of 0 cannot be asked for: 0 and nothing assigned.
    ModbusBytesArray array(QList<ModbusBytes>{hex("ee")});
    QCOMPARE(m.readArchRecords(1, 2, DorrikBus::Func67, DorrikBus::IndexArch, array,
                               DorrikBus::Forward, 0),
             0);
    QCOMPARE(array, ModbusBytesArray(QList<ModbusBytes>{hex("ee")}));
}

void tst_Modbuser::presenceAndLabels()
{
    LoopbackBench bench;
    Modbuser &m = bench.master;

    // Two reads into one buffer: the second answer's labels follow the first's.
    ModbusBytes bytes;
    QVERIFY(m.readArchPresence(1, 2, DorrikBus::IndexArch, bytes, DorrikBus::Forward, 2));
    QVERIFY(m.readArchPresence(1, 2, DorrikBus::IndexArch, bytes, DorrikBus::Backward, 2));
    QCOMPARE(bytes.toArchLabels(), (QList<quint32>{2, 3, 2, 1}));

    ModbusBytesArray array(QList<ModbusBytes>{hex("ee")});
    QVERIFY(m.readArchPresence(1, 4, DorrikBus::IndexArch, array, DorrikBus::Forward, 9));
    QCOMPARE(array, ModbusBytesArray({hex("00000004"), hex("00000005")}));

    QList<quint32> labels;
    QVERIFY(m.readIndexArchLabels(1, 3, 2, labels, false));
    QCOMPARE(labels, (QList<quint32>{3, 2}));

    QList<QDateTime> times;
    QVERIFY(m.readTimeArchLabels(2, wallClock("2024-03-31T01:30:00"), 5, times, true));
    QCOMPARE(times, (QList<QDateTime>{DorrikBus::archLabelToTime(label("2024-03-31T02:00:00")),
                                      DorrikBus::archLabelToTime(label("2024-03-31T03:00:00"))}));

    quint32 nearest = 0;
    bool found = false;
    QVERIFY(m.getNearestLabel(2, DorrikBus::TimeArch, label("2024-03-31T02:59:59"), nearest,
                              DorrikBus::Backward, &found));
    QVERIFY(found);
    QCOMPARE(nearest, label("2024-03-31T02:00:00"));

    quint32 first = 0, last = 0;
    QVERIFY(m.getFirstLabel(1, DorrikBus::IndexArch, first, &found));
    QVERIFY(m.getLastLabel(1, DorrikBus::IndexArch, last, nullptr));
    QCOMPARE(first, 1u);
    QCOMPARE(last, 5u);

    QDateTime firstTime, lastTime;
    QVERIFY(m.getFirstTimeLabel(2, firstTime, &found));
    QVERIFY(m.getLastTimeLabel(2, lastTime, &found));
    QCOMPARE(DorrikBus::archLabelToSeconds(firstTime), label("2024-03-31T01:00:00"));
    QCOMPARE(DorrikBus::archLabelToSeconds(lastTime), label("2024-03-31T03:00:00"));
    // Without a flag the date-time is left as it was.
    QDateTime untouched = wallClock("2000-01-01T00:00:00");
    QVERIFY(m.getLastTimeLabel(2, untouched));
    QCOMPARE(untouched, wallClock("2000-01-01T00:00:00"));
}

void tst_Modbuser::labelsOfAnEmptyArchive()
{
    LoopbackBench bench;
    Modbuser &m = bench.master;
    quint32 labelValue = 77;
    bool found = true;
    QVERIFY(m.getFirstLabel(3, DorrikBus::IndexArch, labelValue, &found));
    QVERIFY(!found);
    QCOMPARE(labelValue, 77u);
    QCOMPARE(withoutCrc(bench.answers.last()), QByteArray("01 42 00"));

    QVERIFY(m.getLastIndexLabel(3, labelValue, &found));
    QVERIFY(!found);
    QList<quint32> labels{1, 2};
    QVERIFY(m.readIndexArchLabels(3, 0, 5, labels, true));
    QVERIFY(labels.isEmpty());

    // A failed read assigns an empty list and clears the flag.
    labels = {1};
    QVERIFY(!m.readIndexArchLabels(9, 0, 5, labels, true));
    QVERIFY(labels.isEmpty());
    found = true;
    QVERIFY(!m.getNearestLabel(9, DorrikBus::IndexArch, 0, labelValue, DorrikBus::Forward, &found));
    QVERIFY(!found);
    QCOMPARE(labelValue, 77u);
}

void tst_Modbuser::errorTexts_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("expected");

    QTest::newRow("register count short by one")
        << "shortRead"
        << "received registers count (1) doesn't equal requested registers count (2). \n "
           "Requested packet: \n {req} \n AnswerPacket: \n {ans}";
    QTest::newRow("exception to a register read: one line, with the request")
        << "readUnmapped"
        << "received exception packet: {ans1}; problem request packet: {req1}";
    QTest::newRow("exception to a typed read")
        << "readFloatUnmapped"
        << "received exception packet: {ans1}; problem request packet: {req1}";
    QTest::newRow("exception to a single write: multi-line") << "writeUnmapped"
                                                             << "received exception packet: {ans}";
    QTest::newRow("exception to a multiple write") << "writeRegistersUnmapped"
                                                   << "received exception packet: {ans}";
    QTest::newRow("exception to a report") << "reportFailure"
                                           << "received exception packet: {ans}";
    QTest::newRow("exception to a file read: one line, with the request")
        << "readUnknownFile"
        << "received exception packet: {ans1}; problem request packet: {req1}";
    QTest::newRow("file register count short by one")
        << "shortFileRead"
        << "received file registers count (2) doesn't equal requested registers count (3). \n "
           "Requested packet: \n {req} \n AnswerPacket: \n {ans}";
    QTest::newRow("exception to a file write") << "writeUnknownFile"
                                               << "received exception packet: {ans}";
    QTest::newRow("file write answered with another count") << "shortFileWrite"
                                                            << "received exception packet: {ans}";
    QTest::newRow("exception to a presence read: one line") << "presenceUnknownArchive"
                                                            << "received exception packet: {ans1}";
    QTest::newRow("exception to an archive record read: multi-line")
        << "recordsUnknownArchive"
        << "received exception packet: {ans}";
    QTest::newRow("archive answer without records") << "recordsDropped"
                                                    << "received empty arch packet: {ans}";
}

void tst_Modbuser::errorTexts()
{
    QFETCH(QString, operation);
    QFETCH(QString, expected);

    LoopbackBench bench(operation == "recordsDropped" ? new RecordDroppingParser : nullptr);
    Modbuser &m = bench.master;
    Modbuser &s = bench.slave;
    // Connected after the register map, so these see and change what it answered.
    QObject::connect(&s, &Modbuser::onReadRegisters,
                     [](quint32, quint16, ModbusBytes &bytes, ModbusTranslateOptions &, bool &) {
                         bytes.chop(2);
                     });
    QObject::connect(&s, &Modbuser::onGetDevName,
                     [](QString &, ModbusTranslateOptions &options, bool &handled) {
                         options.setAnswerExceptionCode(DorrikBus::SlaveDeviceFailure);
                         handled = true;
                     });
    QObject::connect(&s.translator(), &ModbusTranslator::packetRequestReceived,
                     [&operation](ModbusPacket &, ModbusTranslateOptions &, ModbusPacket **answer) {
                         auto *file = answer ? dynamic_cast<ModbusPacketFile *>(*answer) : nullptr;
                         if (file && operation == "shortFileRead")
                             file->bytes.chop(2);
                         if (file && operation == "shortFileWrite")
                             --file->registersWritten;
                     });

    const ModbusBytes sentinel = hex("5a5a");
    ModbusBytes out = sentinel;
    QList<ModbusBytes> records{sentinel};
    float value = 9.5f;
    bool ok = true;
    if (operation == "shortRead")
        ok = m.readRegisters(400011, 2, out);
    else if (operation == "readUnmapped")
        ok = m.readRegisters(409999, 1, out);
    else if (operation == "readFloatUnmapped")
        ok = m.readFloat(409999, value);
    else if (operation == "writeUnmapped")
        ok = m.writeRegister(409999, 1);
    else if (operation == "writeRegistersUnmapped")
        ok = m.writeRegisters(409999, hex("00010002"));
    else if (operation == "reportFailure")
        ok = m.getReport(out);
    else if (operation == "readUnknownFile")
        ok = m.readFile(9, 0, 1, out);
    else if (operation == "shortFileRead")
        ok = m.readFile(3, 0, 3, out);
    else if (operation == "writeUnknownFile")
        ok = m.writeFile(9, 0, hex("0001"));
    else if (operation == "shortFileWrite")
        ok = m.writeFile(3, 0, hex("00010002"));
    else if (operation == "presenceUnknownArchive")
        ok = m.readArchPresence(9, 0, DorrikBus::IndexArch, out, DorrikBus::Forward, 1);
    else if (operation == "recordsUnknownArchive" || operation == "recordsDropped")
        ok = m.readIndexArchRecords(operation == "recordsDropped" ? 1 : 9, 1, 1, records);

    QVERIFY(!ok);
    QCOMPARE(m.errorString(), bench.expand(expected));
    QVERIFY(!bench.answerText.isEmpty());
    // Nothing of a failed answer reaches the caller.
    QCOMPARE(out, sentinel);
    QCOMPARE(records, QList<ModbusBytes>{sentinel});
    QCOMPARE(value, 9.5f);
}

void tst_Modbuser::refusedAddressesSendNothing_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QString>("expected");

    const QString coils =
        QStringLiteral("can't access address %1: coils and discrete inputs are not supported");
    const QString range =
        QStringLiteral("can't access address %1: register offset doesn't fit in 16 bits");
    QTest::newRow("read coil 1") << false << 1u << coils.arg(1);
    QTest::newRow("read coil 100000") << false << 100000u << coils.arg(100000);
    QTest::newRow("read discrete input 100001") << false << 100001u << coils.arg(100001);
    QTest::newRow("write discrete input 300000") << true << 300000u << coils.arg(300000);
    QTest::newRow("write coil 0") << true << 0u << coils.arg(0);
    QTest::newRow("write input register 300001")
        << true << 300001u
        << QStringLiteral("can't write address 300001: input registers are read-only");
    QTest::newRow("read input offset 65536 (365537)") << false << 365537u << range.arg(365537);
    QTest::newRow("read 400000, an input offset of 99999") << false << 400000u << range.arg(400000);
    QTest::newRow("write holding offset 65536 (465537)") << true << 465537u << range.arg(465537);
}

void tst_Modbuser::refusedAddressesSendNothing()
{
    QFETCH(bool, write);
    QFETCH(quint32, address);
    QFETCH(QString, expected);

    LoopbackBench bench;
    Modbuser &m = bench.master;
    quint16 value = 0x5a5a;
    QList<bool> results;
    if (write) {
        results << m.writeRegister(address, 1) << m.writeRegisters(address, hex("0001"))
                << m.writeFloat(address, 1.0f);
    } else {
        ModbusBytes bytes;
        // The list forms are emptied on failure.
        ModbusBytesArray list(QList<ModbusBytes>{hex("5a5a")});
        results << m.readRegister(address, value) << m.readRegisters(address, 2, bytes)
                << m.readRegister(address, list);
        QVERIFY(list.isEmpty());
    }
    for (bool ok : std::as_const(results))
        QVERIFY(!ok);
    QCOMPARE(m.errorString(), expected);
    QCOMPARE(value, quint16(0x5a5a));
    QVERIFY(bench.requests.isEmpty());
}

enum class OddWrite { Registers, Utf8, AnsiPacked, AnsiPerRegister };
Q_DECLARE_METATYPE(OddWrite)

void tst_Modbuser::oddLengthWrites_data()
{
    QTest::addColumn<OddWrite>("call");
    QTest::addColumn<QByteArray>("data"); // hexadecimal for Registers, text for the others
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("received"); // what the slave's handler got, hexadecimal
    QTest::addColumn<QString>("error");

    const QString odd = QStringLiteral("can't write %1 bytes: registers take two bytes each");
    const QString empty =
        QStringLiteral("ModbusRTUDeParser deparse error: packet must have any registers to write  "
                       "(Modbus RTU deparser; )");
    QTest::newRow("0 bytes") << OddWrite::Registers << QByteArray() << false << QByteArray()
                             << empty;
    QTest::newRow("1 byte") << OddWrite::Registers << QByteArray("01") << false << QByteArray()
                            << odd.arg(1);
    QTest::newRow("2 bytes") << OddWrite::Registers << QByteArray("0102") << true
                             << QByteArray("0102") << QString();
    QTest::newRow("3 bytes") << OddWrite::Registers << QByteArray("010203") << false << QByteArray()
                             << odd.arg(3);
    QTest::newRow("4 bytes") << OddWrite::Registers << QByteArray("01020304") << true
                             << QByteArray("01020304") << QString();
    QTest::newRow("5 bytes") << OddWrite::Registers << QByteArray("0102030405") << false
                             << QByteArray() << odd.arg(5);

    const struct
    {
        OddWrite call;
        const char *name;
    } strings[] = {{OddWrite::Utf8, "utf8"}, {OddWrite::AnsiPacked, "ansi packed"}};
    for (const auto &kind : strings) {
        QTest::addRow("%s \"\"", kind.name)
            << kind.call << QByteArray() << false << QByteArray() << empty;
        QTest::addRow("%s \"a\", padded", kind.name)
            << kind.call << QByteArray("a") << true << QByteArray("6100") << QString();
        QTest::addRow("%s \"ab\"", kind.name)
            << kind.call << QByteArray("ab") << true << QByteArray("6162") << QString();
        QTest::addRow("%s \"abc\", padded", kind.name)
            << kind.call << QByteArray("abc") << true << QByteArray("61626300") << QString();
    }
    QTest::newRow("ansi per register \"abc\"") << OddWrite::AnsiPerRegister << QByteArray("abc")
                                               << true << QByteArray("006100620063") << QString();
    QTest::newRow("utf8 two-byte character padded")
        << OddWrite::Utf8 << QByteArray("a\xc3\xa9") << true << QByteArray("61c3a900") << QString();
}

void tst_Modbuser::oddLengthWrites()
{
    QFETCH(OddWrite, call);
    QFETCH(QByteArray, data);
    QFETCH(bool, written);
    QFETCH(QByteArray, received);
    QFETCH(QString, error);

    LoopbackBench bench;
    QList<QByteArray> handled;
    connect(
        &bench.slave, &Modbuser::onWriteRegisters, this,
        [&](quint32, const ModbusBytes &bytes, ModbusTranslateOptions &, bool &) {
            handled << bytes.toHex();
        },
        Qt::DirectConnection);
    Modbuser &m = bench.master;
    const QString text = QString::fromUtf8(data);
    bool result = false;
    switch (call) {
    case OddWrite::Registers:
        result = m.writeRegisters(400001, hex(data.constData()));
        break;
    case OddWrite::Utf8:
        result = m.writeStringUtf8(400001, text);
        break;
    case OddWrite::AnsiPacked:
        result = m.writeStringAnsi(400001, text, false);
        break;
    case OddWrite::AnsiPerRegister:
        result = m.writeStringAnsi(400001, text, true);
        break;
    }

    QCOMPARE(result, written);
    QCOMPARE(handled, received.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{received});
    // A refused write sends nothing at all.
    QCOMPARE(bench.requests.size(), written ? 1 : 0);
    if (!written)
        QTRY_COMPARE(m.errorString(), error);
}

void tst_Modbuser::linkErrorsReachTheErrorString()
{
    // No client link: the translator's own text is the request's error.
    Modbuser lone;
    quint16 value = 3;
    QVERIFY(!lone.readRegister(400001, value));
    QCOMPARE(lone.errorString(),
             QStringLiteral("sendAndReceivePacket: can't find default client transport"));
    QCOMPARE(value, quint16(3));

    // A request that no slave handler takes is not answered.
    LoopbackBench bench;
    bench.map.setDeviceName(QString());
    QString name = QStringLiteral("untouched");
    QVERIFY(!bench.master.getDevName(name));
    QCOMPARE(name, QStringLiteral("untouched"));
    QVERIFY(bench.master.errorString().startsWith(QLatin1String("zero length answer received")));
    ModbusPacketReport request;
    QCOMPARE(bench.slave.errorString(),
             QStringLiteral("Packet wasn't handled: ") + request.toString(true));
}

void tst_Modbuser::slaveRegisterRequests_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("requestAddress");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("requestBytes");
    QTest::addColumn<quint32>("seenAddress");
    QTest::addColumn<QByteArray>("answerBytes");
    QTest::addColumn<int>("answerAddress");
    QTest::addColumn<int>("registersWritten");

    QTest::newRow("fc3 address 10, 2 registers reach the handler as 400011")
        << 3 << 10 << 2 << QByteArray() << 400011u << QByteArray("01020304") << 0 << 0;
    QTest::newRow("fc4 address 10 reaches the handler as 400011 too")
        << 4 << 10 << 1 << QByteArray() << 400011u << QByteArray("0102") << 0 << 0;
    QTest::newRow("fc6 address 7, 0x1234: echoed")
        << 6 << 7 << 1 << QByteArray("1234") << 400008u << QByteArray("1234") << 7 << 0;
    QTest::newRow("fc16 3 registers: 3 written")
        << 16 << 20 << 3 << QByteArray("000100020003") << 400021u << QByteArray() << 20 << 3;
}

void tst_Modbuser::slaveRegisterRequests()
{
    QFETCH(int, function);
    QFETCH(int, requestAddress);
    QFETCH(int, count);
    QFETCH(QByteArray, requestBytes);
    QFETCH(quint32, seenAddress);
    QFETCH(QByteArray, answerBytes);
    QFETCH(int, answerAddress);
    QFETCH(int, registersWritten);

    SlaveBench bench;
    quint32 seen = 0;
    int seenCount = -1;
    ModbusBytes seenBytes;
    QObject::connect(&bench.slave, &Modbuser::onReadRegisters,
                     [&](quint32 address, quint16 n, ModbusBytes &bytes, ModbusTranslateOptions &,
                         bool &handled) {
                         seen = address;
                         seenCount = n;
                         bytes = ModbusBytes::fromHex(answerBytes);
                         handled = true;
                     });
    QObject::connect(
        &bench.slave, &Modbuser::onWriteRegisters,
        [&](quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &, bool &handled) {
            seen = address;
            seenBytes = bytes;
            handled = true;
        });

    ModbusPacketReg request =
        registerRequest(DorrikBus::FunctionCode(function), quint16(requestAddress), quint16(count),
                        ModbusBytes::fromHex(requestBytes));
    ModbusTranslateOptions options = bench.options();
    ModbusPacket *answer = nullptr;
    bench.slave.onPacketRequestReceived(request, options, &answer);
    std::unique_ptr<ModbusPacket> owner(answer);

    QCOMPARE(seen, seenAddress);
    if (function == 3 || function == 4)
        QCOMPARE(seenCount, count);
    else
        QCOMPARE(seenBytes.toHex(), requestBytes);
    auto *reply = dynamic_cast<ModbusPacketReg *>(answer);
    QVERIFY(reply);
    QCOMPARE(int(reply->functionCode()), function);
    QCOMPARE(reply->state(), DorrikBus::Response);
    QVERIFY(!reply->hasException());
    QCOMPARE(reply->regBytes().toHex(), answerBytes);
    QCOMPARE(int(reply->requestAddress()), answerAddress);
    QCOMPARE(int(reply->registersWritten()), registersWritten);
    QCOMPARE(bench.slave.errorCount(), quint64(0));
}

void tst_Modbuser::slaveAnswerTakesExceptionAndUnitFromOptions()
{
    SlaveBench bench;
    QObject::connect(
        &bench.slave, &Modbuser::onReadRegisters,
        [](quint32, quint16, ModbusBytes &, ModbusTranslateOptions &options, bool &handled) {
            options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
            handled = true;
        });
    ModbusPacketReg request = registerRequest(DorrikBus::ReadHoldingRegisters, 0, 1);
    ModbusTranslateOptions options = bench.options(7);
    ModbusPacket *answer = nullptr;
    bench.slave.onPacketRequestReceived(request, options, &answer);
    std::unique_ptr<ModbusPacket> owner(answer);
    QVERIFY(answer);
    QCOMPARE(answer->exceptionCode(), DorrikBus::IllegalDataAddress);
    QCOMPARE(int(answer->address()), 7);
}

void tst_Modbuser::slaveRequestsWithoutAnswer_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<bool>("responseState");
    QTest::addColumn<bool>("answerPlace");
    QTest::addColumn<bool>("message");

    QTest::newRow("fc3 with no handler: message, no answer") << 3 << false << true << true;
    QTest::newRow("fc17 with no handler: message, no answer") << 17 << false << true << true;
    QTest::newRow("fc68 is not dispatched") << 68 << false << true << false;
    QTest::newRow("fc69 is not dispatched") << 69 << false << true << false;
    QTest::newRow("fc5 is not dispatched") << 5 << false << true << false;
    QTest::newRow("a response-state packet is ignored") << 3 << true << true << false;
    QTest::newRow("no answer place: dropped") << 3 << false << false << false;
}

void tst_Modbuser::slaveRequestsWithoutAnswer()
{
    QFETCH(int, function);
    QFETCH(bool, responseState);
    QFETCH(bool, answerPlace);
    QFETCH(bool, message);

    SlaveBench bench;
    int signalled = 0;
    if (!message) {
        // A handler that would answer anything: it must not even be asked.
        QObject::connect(&bench.slave, &Modbuser::onReadRegisters,
                         [&signalled](quint32, quint16, ModbusBytes &, ModbusTranslateOptions &,
                                      bool &handled) { handled = ++signalled > 0; });
        QObject::connect(&bench.slave, &Modbuser::onWriteRegisters,
                         [&signalled](quint32, const ModbusBytes &, ModbusTranslateOptions &,
                                      bool &handled) { handled = ++signalled > 0; });
    }
    std::unique_ptr<ModbusPacket> request;
    if (function == 17)
        request = std::make_unique<ModbusPacketReport>();
    else if (function >= 68)
        request = std::make_unique<ModbusPacketFile>();
    else
        request = std::make_unique<ModbusPacketReg>(
            registerRequest(DorrikBus::FunctionCode(function), 1, 1, hex("0001")));
    request->setFunctionCode(DorrikBus::FunctionCode(function));
    if (responseState)
        request->setState(DorrikBus::Response);
    ModbusTranslateOptions options = bench.options();
    ModbusPacket *answer = nullptr;
    bench.slave.onPacketRequestReceived(*request, options, answerPlace ? &answer : nullptr);

    QVERIFY(!answer);
    QCOMPARE(signalled, 0);
    if (message) {
        QCOMPARE(bench.slave.errorString(),
                 QStringLiteral("Packet wasn't handled: ") + request->toString(true));
        QCOMPARE(bench.slave.errorCount(), quint64(1));
    } else {
        QCOMPARE(bench.slave.errorCount(), quint64(0));
    }
}

void tst_Modbuser::slaveKeepsAnEarlierAnswer()
{
    SlaveBench bench;
    int signalled = 0;
    QObject::connect(&bench.slave, &Modbuser::onReadRegisters,
                     [&signalled](quint32, quint16, ModbusBytes &, ModbusTranslateOptions &,
                                  bool &) { ++signalled; });
    ModbusPacketReg request = registerRequest(DorrikBus::ReadHoldingRegisters, 0, 1);
    ModbusTranslateOptions options = bench.options();
    auto earlier = std::make_unique<ModbusPacketReg>();
    ModbusPacket *answer = earlier.get();
    bench.slave.onPacketRequestReceived(request, options, &answer);
    QCOMPARE(answer, earlier.get());
    QCOMPARE(signalled, 0);
    QCOMPARE(bench.slave.errorString(),
             QStringLiteral("somebody else has been answered for this modbus request"));
}

void tst_Modbuser::slaveArchiveSignals_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("answeredBy");
    QTest::addColumn<QStringList>("expectedSignals");
    QTest::addColumn<QByteArray>("expectedAnswer");

    const QStringList genericIndexRecords{"records index 1 from 5, forward, 2"};
    QTest::newRow("65 index, answered by the generic signal")
        << 65 << 0 << 0 << "generic" << genericIndexRecords << QByteArray("aa|bb");
    QTest::newRow("65 index, then the index signal")
        << 65 << 0 << 0 << "typed"
        << QStringList{genericIndexRecords.first(), "index records 1 from 5, forward, 2"}
        << QByteArray("aa|bb");
    QTest::newRow("67 backward reaches the handlers as backward")
        << 67 << 0 << 1 << "typed"
        << QStringList{"records index 1 from 5, backward, 2", "index records 1 from 5, backward, 2"}
        << QByteArray("aa|bb");
    QTest::newRow("67 time, then the time signal with a date-time")
        << 67 << 1 << 0 << "typed"
        << QStringList{"records time 1 from 5, forward, 2",
                       "time records 1 from 1970-01-01T00:00:05Z, forward, 2"}
        << QByteArray("aa|bb");
    QTest::newRow("66 index, generic")
        << 66 << 0 << 1 << "generic" << QStringList{"presence index 1 from 5, backward, 2"}
        << QByteArray("0000000500000004");
    QTest::newRow("66 index, then the index signal")
        << 66 << 0 << 0 << "typed"
        << QStringList{"presence index 1 from 5, forward, 2", "index presence 1 from 5, forward, 2"}
        << QByteArray("0000000500000004");
    QTest::newRow("66 time, date-times turned into labels")
        << 66 << 1 << 0 << "typed"
        << QStringList{"presence time 1 from 5, forward, 2",
                       "time presence 1 from 1970-01-01T00:00:05Z, forward, 2"}
        << QByteArray("0000000500000004");
    QTest::newRow("66 with no handler")
        << 66 << 0 << 0 << "none"
        << QStringList{"presence index 1 from 5, forward, 2", "index presence 1 from 5, forward, 2"}
        << QByteArray();
}

void tst_Modbuser::slaveArchiveSignals()
{
    QFETCH(int, function);
    QFETCH(int, type);
    QFETCH(int, direction);
    QFETCH(QString, answeredBy);
    QFETCH(QStringList, expectedSignals);
    QFETCH(QByteArray, expectedAnswer);

    SlaveBench bench;
    Modbuser &s = bench.slave;
    QStringList log;
    const bool generic = answeredBy == "generic";
    const bool typed = answeredBy == "typed";
    const QString dir[] = {QStringLiteral("forward"), QStringLiteral("backward")};
    const QString kind[] = {QStringLiteral("index"), QStringLiteral("time")};
    auto line = [&](const char *what, quint16 arch, const QString &from, DorrikBus::ArchDirection d,
                    quint16 count) {
        log << QStringLiteral("%1 %2 from %3, %4, %5")
                   .arg(QLatin1String(what))
                   .arg(arch)
                   .arg(from, dir[d])
                   .arg(count);
    };
    const QList<ModbusBytes> records{hex("aa"), hex("bb")};
    const QList<quint32> labels{5, 4};
    const QDateTime at5 = DorrikBus::archLabelToTime(5);
    const QDateTime at4 = DorrikBus::archLabelToTime(4);
    auto isoLabel = [](const QDateTime &t) {
        QDateTime utc = t;
        utc.setTimeSpec(Qt::UTC);
        return utc.toString(Qt::ISODate);
    };
    QObject::connect(&s, &Modbuser::onReadArchRecords,
                     [&](quint16 arch, quint32 from, DorrikBus::ArchDirection d, quint16 count,
                         QList<ModbusBytes> &out, ModbusTranslateOptions &, bool &handled,
                         DorrikBus::ArchType t) {
                         line(qPrintable(QLatin1String("records ") + kind[t]), arch,
                              QString::number(from), d, count);
                         if (generic) {
                             out = records;
                             handled = true;
                         }
                     });
    QObject::connect(&s, &Modbuser::onReadIndexArchRecords,
                     [&](quint16 arch, quint32 from, DorrikBus::ArchDirection d, quint16 count,
                         QList<ModbusBytes> &out, ModbusTranslateOptions &, bool &handled) {
                         line("index records", arch, QString::number(from), d, count);
                         out = records;
                         handled = typed;
                     });
    QObject::connect(&s, &Modbuser::onReadTimeArchRecords,
                     [&](quint16 arch, const QDateTime &from, DorrikBus::ArchDirection d,
                         quint16 count, QList<ModbusBytes> &out, ModbusTranslateOptions &,
                         bool &handled) {
                         line("time records", arch, isoLabel(from), d, count);
                         out = records;
                         handled = typed;
                     });
    QObject::connect(&s, &Modbuser::onReadArchPresence,
                     [&](quint16 arch, quint32 from, DorrikBus::ArchDirection d, quint16 count,
                         QList<quint32> &out, ModbusTranslateOptions &, bool &handled,
                         DorrikBus::ArchType t) {
                         line(qPrintable(QLatin1String("presence ") + kind[t]), arch,
                              QString::number(from), d, count);
                         if (generic) {
                             out = labels;
                             handled = true;
                         }
                     });
    QObject::connect(&s, &Modbuser::onReadIndexArchPresence,
                     [&](quint16 arch, quint32 from, DorrikBus::ArchDirection d, quint16 count,
                         QList<quint32> &out, ModbusTranslateOptions &, bool &handled) {
                         line("index presence", arch, QString::number(from), d, count);
                         out = labels;
                         handled = typed;
                     });
    QObject::connect(&s, &Modbuser::onReadTimeArchPresence,
                     [&](quint16 arch, const QDateTime &from, DorrikBus::ArchDirection d,
                         quint16 count, QList<QDateTime> &out, ModbusTranslateOptions &,
                         bool &handled) {
                         line("time presence", arch, isoLabel(from), d, count);
                         out = {at5, at4};
                         handled = typed;
                     });

    std::unique_ptr<ModbusPacket> request;
    if (function == 66) {
        auto presence = std::make_unique<ModbusPacketArchPresence>(DorrikBus::ArchType(type), 2);
        presence->setArchIndex(1);
        presence->setRequestLabel(5u);
        presence->setDirection(DorrikBus::ArchDirection(direction));
        request = std::move(presence);
    } else {
        auto arch = std::make_unique<ModbusPacketArch>(DorrikBus::ArchType(type),
                                                       DorrikBus::ArchDirection(direction));
        arch->setFunctionCode(DorrikBus::FunctionCode(function));
        arch->setArchIndex(1);
        arch->setRequestLabel(5u);
        arch->setRequestRecordsCount(2);
        request = std::move(arch);
    }
    ModbusTranslateOptions options = bench.options();
    ModbusPacket *answer = nullptr;
    s.onPacketRequestReceived(*request, options, &answer);
    std::unique_ptr<ModbusPacket> owner(answer);

    QCOMPARE(log, expectedSignals);
    if (expectedAnswer.isEmpty()) {
        QVERIFY(!answer);
        QCOMPARE(s.errorString(),
                 QStringLiteral("Packet wasn't handled: ") + request->toString(true));
        return;
    }
    QVERIFY(answer);
    QCOMPARE(answer->state(), DorrikBus::Response);
    QCOMPARE(int(answer->functionCode()), function);
    if (function == 66) {
        auto *presence = dynamic_cast<ModbusPacketArchPresence *>(answer);
        QVERIFY(presence);
        QCOMPARE(presence->labels().toHex(), expectedAnswer);
        QCOMPARE(presence->archIndex(), quint16(1));
    } else {
        auto *arch = dynamic_cast<ModbusPacketArch *>(answer);
        QVERIFY(arch);
        QStringList parts;
        for (const ModbusBytes &r : arch->records())
            parts << QString::fromLatin1(r.toHex());
        QCOMPARE(parts.join(QLatin1Char('|')).toLatin1(), expectedAnswer);
        QCOMPARE(arch->requestRecordsCount(), quint16(2));
    }
}

QTEST_GUILESS_MAIN(tst_Modbuser)
#include "tst_modbuser.moc"
