#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbuspacketreport.h"

#include <QtTest>

#include <functional>
#include <memory>

using PacketPtr = std::shared_ptr<ModbusPacket>;
Q_DECLARE_METATYPE(PacketPtr)

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

} // namespace

class tst_ModbusPacket : public QObject
{
    Q_OBJECT
private slots:
    void newPacket_data();
    void newPacket();
    void copyFunctionCode_data();
    void copyFunctionCode();
    void wholeUnitsOnly();
    void setLabelsCount_data();
    void setLabelsCount();
    void appendedValuesAreBigEndian();
    void equalityByClass();
    void text_data();
    void text();
    void requestLabelOutOfRange_data();
    void requestLabelOutOfRange();
};

void tst_ModbusPacket::newPacket_data()
{
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("functionCode");

    QTest::newRow("registers") << PacketPtr(new ModbusPacketReg) << 0 << 0;
    QTest::newRow("archive") << PacketPtr(new ModbusPacketArch) << 1 << 0;
    QTest::newRow("report") << PacketPtr(new ModbusPacketReport) << 2 << 17;
    QTest::newRow("presence") << PacketPtr(new ModbusPacketArchPresence) << 3 << 66;
    QTest::newRow("file") << PacketPtr(new ModbusPacketFile) << 4 << 0;
}

void tst_ModbusPacket::newPacket()
{
    QFETCH(PacketPtr, packet);
    QFETCH(int, kind);
    QFETCH(int, functionCode);

    QCOMPARE(int(packet->kind()), kind);
    QCOMPARE(int(packet->functionCode()), functionCode);
    QCOMPARE(packet->exceptionCode(), DorrikBus::NoException);
    QCOMPARE(packet->state(), DorrikBus::Request);
    QCOMPARE(packet->address(), 1);
    QVERIFY(!packet->hasException());

    if (auto *reg = dynamic_cast<ModbusPacketReg *>(packet.get())) {
        QVERIFY(reg->regBytes().isEmpty());
        QCOMPARE(reg->requestAddress(), 0);
        QCOMPARE(reg->registersWritten(), 0);
        QCOMPARE(reg->requestRegistersCount(), 0);
    } else if (auto *arch = dynamic_cast<ModbusPacketArch *>(packet.get())) {
        QCOMPARE(arch->requestRecordsCount(), 1);
        QCOMPARE(arch->archType(), DorrikBus::IndexArch);
        QCOMPARE(arch->direction(), DorrikBus::Forward);
    } else if (auto *presence = dynamic_cast<ModbusPacketArchPresence *>(packet.get())) {
        QCOMPARE(presence->requestLabelsCount(), 1);
    } else if (auto *file = dynamic_cast<ModbusPacketFile *>(packet.get())) {
        QCOMPARE(file->requestFile, 0);
        QCOMPARE(file->requestOffset, 0);
        QCOMPARE(file->requestRegistersCount, 0);
        QCOMPARE(file->registersWritten, 0);
        QVERIFY(file->bytes.isEmpty());
    }
}

void tst_ModbusPacket::copyFunctionCode_data()
{
    QTest::addColumn<std::function<int()>>("copyOfPacketWithCode3");
    QTest::addColumn<int>("expected");

    QTest::newRow("report resets 17") << std::function<int()>([] {
        ModbusPacketReport p;
        p.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        return int(ModbusPacketReport(p).functionCode());
    }) << 17;
    QTest::newRow("presence resets 66") << std::function<int()>([] {
        ModbusPacketArchPresence p;
        p.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        return int(ModbusPacketArchPresence(p).functionCode());
    }) << 66;
    QTest::newRow("registers keep") << std::function<int()>([] {
        ModbusPacketReg p;
        p.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        return int(ModbusPacketReg(p).functionCode());
    }) << 3;
    QTest::newRow("archive keeps") << std::function<int()>([] {
        ModbusPacketArch p;
        p.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        return int(ModbusPacketArch(p).functionCode());
    }) << 3;
    QTest::newRow("file keeps") << std::function<int()>([] {
        ModbusPacketFile p;
        p.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        return int(ModbusPacketFile(p).functionCode());
    }) << 3;
}

void tst_ModbusPacket::copyFunctionCode()
{
    QFETCH(std::function<int()>, copyOfPacketWithCode3);
    QFETCH(int, expected);
    QCOMPARE(copyOfPacketWithCode3(), expected);
}

void tst_ModbusPacket::wholeUnitsOnly()
{
    ModbusPacketReg reg;
    reg.setRegBytes(hex("000a01"));
    QCOMPARE(reg.registersCount(), 1);

    ModbusPacketArchPresence presence;
    presence.setLabels(hex("00000001000002"));
    QCOMPARE(presence.labelsCount(), 1);

    ModbusPacketArch arch;
    QCOMPARE(arch.fieldsTotalSize(), 0);
    arch.appendRecords(hex("0102"));
    arch.appendRecords(hex("030405"));
    QCOMPARE(arch.fieldsTotalSize(), 5);
}

void tst_ModbusPacket::setLabelsCount_data()
{
    QTest::addColumn<ModbusBytes>("labels");
    QTest::addColumn<int>("count");
    QTest::addColumn<ModbusBytes>("expected");

    QTest::newRow("grow empty") << ModbusBytes() << 3 << ModbusBytes(QByteArray(12, '\0'));
    QTest::newRow("shrink to 0 keeps surplus") << hex("00000001000000020304") << 0 << hex("0000");
    QTest::newRow("same count keeps surplus")
        << hex("00000001000000020304") << 2 << hex("00000001000000020304");
    QTest::newRow("grow after surplus") << hex("0000000105") << 2 << hex("000000010500000000");
    QTest::newRow("shrink by one") << hex("0000000100000002") << 1 << hex("00000001");
}

void tst_ModbusPacket::setLabelsCount()
{
    QFETCH(ModbusBytes, labels);
    QFETCH(int, count);
    QFETCH(ModbusBytes, expected);

    ModbusPacketArchPresence packet;
    packet.setLabels(labels);
    packet.setLabelsCount(quint16(count));
    QCOMPARE(packet.labels(), expected);
    QCOMPARE(packet.labelsCount(), count);
}

void tst_ModbusPacket::appendedValuesAreBigEndian()
{
    ModbusPacketReg reg;
    reg.appendRegValue(0x1234);
    reg.appendRegBytes(hex("abcd"));
    QCOMPARE(reg.regBytes(), hex("1234abcd"));

    ModbusPacketArchPresence presence;
    presence.appendLabel(1);
    presence.appendLabels(hex("0a0b0c0d"));
    QCOMPARE(presence.labels(), hex("000000010a0b0c0d"));
}

void tst_ModbusPacket::equalityByClass()
{
    ModbusPacketReg a;
    ModbusPacketReg b;
    a.setRegBytes(hex("0001"));
    b.setRegBytes(hex("0002"));
    QVERIFY(static_cast<const ModbusPacket &>(a) == static_cast<const ModbusPacket &>(b));
    QVERIFY(a != b);

    b.setRegBytes(hex("0001"));
    QVERIFY(a == b);
    b.setAddress(2);
    QVERIFY(a != b);

    ModbusPacketArch x;
    ModbusPacketArch y;
    x.appendRecords(hex("0102"));
    y.appendRecords(hex("01"));
    y.appendRecords(hex("02"));
    QVERIFY(x != y); // same bytes, other records
}

void tst_ModbusPacket::text_data()
{
    QTest::addColumn<PacketPtr>("packet");
    QTest::addColumn<QString>("oneLine");

    const QString regBase = QStringLiteral("function code: %1; exception code: no exceptions; "
                                           "state: %2; kind: registers packet; address: %3; ");
    {
        auto p = std::make_shared<ModbusPacketReg>();
        p->setFunctionCode(DorrikBus::ReadHoldingRegisters);
        p->setRequestAddress(9);
        p->setRequestRegistersCount(2);
        p->setRegBytes(hex("000a01"));
        QTest::newRow("holding registers, odd byte not listed")
            << PacketPtr(p)
            << regBase.arg("read holding registers", "request", "1") +
                   "request address: 9 (400010) ; request registers count: 2; "
                   "registers written: 0; registers [1]:;   register 0: 000a; ";
    }
    {
        auto p = std::make_shared<ModbusPacketReg>();
        p->setFunctionCode(DorrikBus::ReadInputRegisters);
        p->setState(DorrikBus::Response);
        p->setAddress(7);
        p->setRequestAddress(9);
        p->setRegistersWritten(3);
        QTest::newRow("input registers address")
            << PacketPtr(p)
            << regBase.arg("read input registers", "response", "7") +
                   "request address: 9 (300010) ; request registers count: 0; "
                   "registers written: 3; registers [0]:; ";
    }
    {
        auto p = std::make_shared<ModbusPacketReport>();
        p->setBytes(hex("4142004344"));
        p->setExceptionCode(DorrikBus::IllegalDataAddress);
        QTest::newRow("report")
            << PacketPtr(p)
            << "function code: report salve ID; exception code: illegal data address; "
               "state: request; kind: report slave packet; address: 1; "
               "reportBytes: 4142004344; reportString: AB; ";
    }
    {
        auto p = std::make_shared<ModbusPacketArch>(DorrikBus::TimeArch, DorrikBus::Backward);
        p->setFunctionCode(DorrikBus::ReadArchRecord67);
        p->setArchIndex(2);
        p->setRequestLabel(1704067200u);
        p->appendRecords(hex("0102"));
        p->appendRecords(hex("ff"));
        const QString time =
            QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::LocalTime).toString(Qt::TextDate);
        QTest::newRow("archive")
            << PacketPtr(p)
            << "function code: read arch record (67); exception code: no exceptions; "
               "state: request; kind: archive packet; address: 1; arch type: time archive; "
               "arch index: 2; requestLabel: 1704067200 (0x65920080, " +
                   time +
                   "); direction: backward; records [2]: ;   record 0:; 0102;   record 1:; ff; ";
    }
    {
        auto p = std::make_shared<ModbusPacketArchPresence>(DorrikBus::TimeArch);
        p->setRequestLabel(1704067200u);
        p->setLabels(hex("0000003c000001"));
        QTest::newRow("presence, partial label not listed")
            << PacketPtr(p)
            << "function code: read arch records presence; exception code: no exceptions; "
               "state: request; kind: ?; address: 1; arch type: time archive; arch index: 0; "
               "direction: forward; request label: 1704067200 (0x65920080, 2024.01.01 00:00:00); "
               "labels [1]: ;   label 0: 60 (0x3c, 1970.01.01 00:01:00); ";
    }
    {
        auto p = std::make_shared<ModbusPacketFile>();
        p->setFunctionCode(DorrikBus::WriteFile);
        p->requestFile = 18;
        p->requestOffset = 256;
        p->requestRegistersCount = 1;
        p->bytes = hex("abcd");
        QTest::newRow("file")
            << PacketPtr(p)
            << "function code: ?; exception code: no exceptions; state: request; kind: ?; "
               "address: 1; requested file: 18 (0x12) ; requested offset: 256 (0x100) ; "
               "request registers count: 1; registers written: 0; bytes [2]:;   abcd";
    }
    QTest::newRow("file, no bytes")
        << PacketPtr(new ModbusPacketFile)
        << "function code: unknown function code; exception code: no exceptions; state: request; "
           "kind: ?; address: 1; requested file: 0 (0x0) ; requested offset: 0 (0x0) ; "
           "request registers count: 0; registers written: 0; bytes [0]:;   ";
}

void tst_ModbusPacket::text()
{
    QFETCH(PacketPtr, packet);
    QFETCH(QString, oneLine);

    QCOMPARE(packet->toString(true), oneLine);
    QString multiLine = oneLine;
    QCOMPARE(packet->toString(false), multiLine.replace("; ", "\n"));
}

void tst_ModbusPacket::requestLabelOutOfRange_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("invalid") << QDateTime();
    QTest::newRow("before 1970") << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC);
    QTest::newRow("after 2106") << QDateTime(QDate(2200, 1, 1), QTime(0, 0), Qt::UTC);
}

void tst_ModbusPacket::requestLabelOutOfRange()
{
    QFETCH(QDateTime, time);
    ModbusPacketArch arch;
    arch.setRequestLabel(time);
    QCOMPARE(arch.requestLabel(), 4294967295u);
    ModbusPacketArchPresence presence;
    presence.setRequestLabel(time);
    QCOMPARE(presence.requestLabel(), 4294967295u);
}

QTEST_GUILESS_MAIN(tst_ModbusPacket)
#include "tst_modbuspacket.moc"
