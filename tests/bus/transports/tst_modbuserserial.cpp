#include "archivestore.h"
#include "modbuser.h"
#include "modbusserialclient.h"
#include "modbusserialserver.h"
#include "ptypair.h"
#include "registermap.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
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

// End to end over a pseudo-terminal pair: a master Modbuser on a serial client against a slave
// Modbuser on a serial server, which answers from a register map and an archive store.
//
// The server takes requests on this thread's event loop, so the master runs on a thread of its
// own, as the polling client's executor does; run() hands it one job and keeps this thread
// answering until the job is done.
class SerialBench
{
public:
    SerialBench()
    {
        if (!link.isValid()) {
            error = link.errorString();
            return;
        }
        server = new ModbusSerialServer(link.portA());
        slave.translator().addTransport(*server, true, true);
        client.setPort(link.portB());
        client.setReadTimeout(1000);
        master.setClientTransport(&client);
        if (!server->connectTransport(false)) {
            error = server->errorString();
            return;
        }
        if (!client.connectTransport(false)) {
            error = client.errorString();
            return;
        }
        // The texts of the last packets exchanged, as the error messages quote them; written
        // on the master's thread, read here once its job is done.
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

        map.addRegisters(400001, 200);
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

        master.moveToThread(&masterThread);
        masterThread.start();
        ready = true;
    }

    ~SerialBench()
    {
        if (masterThread.isRunning()) {
            QThread *home = QThread::currentThread();
            QMetaObject::invokeMethod(
                &master, [this, home] { master.moveToThread(home); }, Qt::BlockingQueuedConnection);
            masterThread.quit();
            masterThread.wait();
        }
    }

    // Runs job on the master's thread; false when it did not end within the time limit.
    bool run(const std::function<void(Modbuser &)> &job, int timeoutMs = 10000)
    {
        std::atomic<bool> done{false};
        QMetaObject::invokeMethod(
            &master,
            [&] {
                job(master);
                done = true;
            },
            Qt::QueuedConnection);
        QDeadlineTimer deadline(timeoutMs);
        while (!done && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done) {
            // The job refers to this frame: let it finish before the frame goes.
            while (!done)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            return false;
        }
        return true;
    }

    QString expand(QString text) const
    {
        return text.replace(QLatin1String("{req}"), requestText)
            .replace(QLatin1String("{req1}"), requestLine)
            .replace(QLatin1String("{ans}"), answerText)
            .replace(QLatin1String("{ans1}"), answerLine);
    }

    PtyLink link;
    ModbusSerialClient client;
    ModbusSerialServer *server = nullptr; // owned by the slave's registry
    Modbuser slave;
    Modbuser master;
    QThread masterThread;
    RegisterMap map;
    ArchiveStore archives;
    bool ready = false;
    QString error;
    QString requestText, requestLine, answerText, answerLine;
};

// One typed write and the read of the same type, the value read given as text.
struct TypedCase
{
    const char *name;
    std::function<bool(Modbuser &, quint32)> write;
    std::function<bool(Modbuser &, quint32, QString &)> read;
    QString expected;
    QByteArray registers;
};

template <typename T, typename R> std::function<bool(Modbuser &, quint32, QString &)> reader(R read)
{
    return [read](Modbuser &m, quint32 at, QString &text) {
        T value{};
        const bool ok = (m.*read)(at, value, nullptr);
        text = QVariant::fromValue(value).toString();
        return ok;
    };
}

} // namespace

class tst_ModbuserSerial : public QObject
{
    Q_OBJECT

private slots:
    void typedWritesAndReadsRoundTrip();
    void reportDeviceNameAndFiles();
    void archiveRecordsAndLabels();
    void errorTexts();
};

void tst_ModbuserSerial::typedWritesAndReadsRoundTrip()
{
    SerialBench bench;
    QVERIFY2(bench.ready, qPrintable(bench.error));

    const QList<TypedCase> cases{
        {"uint16", [](Modbuser &m, quint32 a) { return m.writeUInt16(a, 0xBEEF); },
         reader<quint16>(&Modbuser::readUInt16), "48879", "beef"},
        {"int16", [](Modbuser &m, quint32 a) { return m.writeInt16(a, -2); },
         reader<qint16>(&Modbuser::readInt16), "-2", "fffe"},
        {"uint8", [](Modbuser &m, quint32 a) { return m.writeUInt8(a, 200); },
         reader<quint16>(&Modbuser::readUInt16), "200", "00c8"},
        {"int8", [](Modbuser &m, quint32 a) { return m.writeInt8(a, -1); },
         reader<quint16>(&Modbuser::readUInt16), "255", "00ff"},
        {"uint32", [](Modbuser &m, quint32 a) { return m.writeUInt(a, 0x12345678u); },
         reader<quint32>(&Modbuser::readUInt32), "305419896", "12345678"},
        {"int32", [](Modbuser &m, quint32 a) { return m.writeInt(a, -2); },
         reader<qint32>(&Modbuser::readInt32), "-2", "fffffffe"},
        {"uint64",
         [](Modbuser &m, quint32 a) { return m.writeUInt64(a, Q_UINT64_C(0x0102030405060708)); },
         reader<quint64>(&Modbuser::readUInt64), "72623859790382856", "0102030405060708"},
        {"int64", [](Modbuser &m, quint32 a) { return m.writeInt64(a, -3); },
         reader<qint64>(&Modbuser::readInt64), "-3", "fffffffffffffffd"},
        {"float", [](Modbuser &m, quint32 a) { return m.writeFloat(a, 1.5f); },
         reader<float>(&Modbuser::readFloat), "1.5", "3fc00000"},
        {"double", [](Modbuser &m, quint32 a) { return m.writeDouble(a, 2.5); },
         reader<double>(&Modbuser::readDouble), "2.5", "4004000000000000"},
        {"double struct", [](Modbuser &m, quint32 a) { return m.writeDoubleStruct(a, 2.75); },
         reader<double>(&Modbuser::readDoubleStruct), "2.75", "000000023f400000"},
        {"string, one character per register",
         [](Modbuser &m, quint32 a) { return m.writeStringAnsi(a, "Hi", true); },
         [](Modbuser &m, quint32 a, QString &text) { return m.readString(a, 2, text); }, "Hi",
         "00480069"},
        {"string utf8",
         [](Modbuser &m, quint32 a) { return m.writeStringUtf8(a, QStringLiteral("Ab")); },
         [](Modbuser &m, quint32 a, QString &text) {
             ModbusBytes bytes;
             const bool ok = m.readRegisters(a, 1, bytes);
             text = QString::fromUtf8(bytes);
             return ok;
         },
         "Ab", "4162"},
    };

    quint32 at = 400101;
    for (const TypedCase &c : cases) {
        bool written = false, read = false;
        QString text, error;
        QVERIFY(bench.run([&](Modbuser &m) {
            written = c.write(m, at);
            read = written && c.read(m, at, text);
            error = m.errorString();
        }));
        QVERIFY2(written && read, qPrintable(QLatin1String(c.name) + ": " + error));
        QCOMPARE(bench.map.registers(at, int(c.registers.size() / 4)).toHex(), c.registers);
        QCOMPARE(text, c.expected);
        at += 4;
    }
}

void tst_ModbuserSerial::reportDeviceNameAndFiles()
{
    SerialBench bench;
    QVERIFY2(bench.ready, qPrintable(bench.error));
    bench.master.setDeviceAddress(5);

    ModbusBytes report, fileBytes;
    QString name, error;
    bool ok = false;
    QVERIFY(bench.run([&](Modbuser &m) {
        ok = m.getReport(report) && m.getDevName(name) && m.writeFile(3, 1, hex("aaaabbbb")) &&
             m.readFile(3, 0, 4, fileBytes);
        error = m.errorString();
    }));
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(report.toHex(' '), QByteArray("54 56 4e 2d 35 00"));
    QCOMPARE(name, QStringLiteral("TVN-5"));
    QCOMPARE(fileBytes.toHex(), QByteArray("0001aaaabbbb0004"));
    QCOMPARE(bench.map.file(3).toHex(), QByteArray("0001aaaabbbb00040005000600070008"));
}

void tst_ModbuserSerial::archiveRecordsAndLabels()
{
    SerialBench bench;
    QVERIFY2(bench.ready, qPrintable(bench.error));

    QList<ModbusBytes> byIndex, byIndexBackward, byTime;
    ModbusBytes one;
    ModbusBytesArray presence;
    quint32 firstIndex = 0, lastIndex = 0, emptyLabel = 77;
    QDateTime firstTime, lastTime;
    bool foundFirst = false, foundLast = false, foundEmpty = true;
    QString error;
    bool ok = false;
    QVERIFY(bench.run([&](Modbuser &m) {
        ok = m.readIndexArchRecords(1, 2, 3, byIndex) &&
             m.readIndexArchRecords(1, 4, DorrikBus::Backward, 2, byIndexBackward) &&
             m.readTimeArchRecords(2, wallClock("2024-03-31T02:00:00"), 2, byTime) &&
             m.readTimeArchRecord(2, wallClock("2024-03-31T01:30:00"), DorrikBus::Backward, one) &&
             m.readArchPresence(1, 3, DorrikBus::IndexArch, presence, DorrikBus::Forward, 5) &&
             m.getFirstIndexLabel(1, firstIndex) && m.getLastIndexLabel(1, lastIndex) &&
             m.getFirstTimeLabel(2, firstTime, &foundFirst) &&
             m.getLastTimeLabel(2, lastTime, &foundLast) &&
             m.getFirstIndexLabel(3, emptyLabel, &foundEmpty);
        error = m.errorString();
    }));
    QVERIFY2(ok, qPrintable(error));
    auto idx = [](quint32 i) { return ModbusBytes::fromUInt32(0xA0000000u + i); };
    QCOMPARE(byIndex, (QList<ModbusBytes>{idx(2), idx(3), idx(4)}));
    QCOMPARE(byIndexBackward, (QList<ModbusBytes>{idx(4), idx(3)}));
    QCOMPARE(byTime, (QList<ModbusBytes>{hex("0202"), hex("0303")}));
    QCOMPARE(one, hex("0101"));
    QCOMPARE(presence, ModbusBytesArray({hex("00000003"), hex("00000004"), hex("00000005")}));
    QCOMPARE(firstIndex, 1u);
    QCOMPARE(lastIndex, 5u);
    QVERIFY(foundFirst && foundLast);
    QCOMPARE(DorrikBus::archLabelToSeconds(firstTime), label("2024-03-31T01:00:00"));
    QCOMPARE(DorrikBus::archLabelToSeconds(lastTime), label("2024-03-31T03:00:00"));
    // An empty archive: the search succeeds and finds nothing.
    QVERIFY(!foundEmpty);
    QCOMPARE(emptyLabel, 77u);
}

void tst_ModbuserSerial::errorTexts()
{
    SerialBench bench;
    QVERIFY2(bench.ready, qPrintable(bench.error));
    // Connected after the register map: a slave that answers one register short.
    QObject::connect(
        &bench.slave, &Modbuser::onReadRegisters,
        [](quint32 address, quint16, ModbusBytes &bytes, ModbusTranslateOptions &, bool &) {
            if (address == 400051)
                bytes.chop(2);
        });

    struct Case
    {
        const char *name;
        std::function<bool(Modbuser &)> operation;
        QString expected;
    };
    const QList<Case> cases{
        {"register count short by one",
         [](Modbuser &m) {
             ModbusBytes bytes;
             return m.readRegisters(400051, 2, bytes);
         },
         "received registers count (1) doesn't equal requested registers count (2). \n "
         "Requested packet: \n {req} \n AnswerPacket: \n {ans}"},
        {"exception to a read: one line, with the request",
         [](Modbuser &m) {
             quint16 value = 0;
             return m.readRegister(409999, value);
         },
         "received exception packet: {ans1}; problem request packet: {req1}"},
        {"exception to a write: multi-line", [](Modbuser &m) { return m.writeUInt(409999, 1); },
         "received exception packet: {ans}"},
        {"exception to a presence read: one line",
         [](Modbuser &m) {
             ModbusBytes labels;
             return m.readArchPresence(9, 0, DorrikBus::IndexArch, labels, DorrikBus::Forward, 1);
         },
         "received exception packet: {ans1}"},
        {"records of an empty archive",
         [](Modbuser &m) {
             ModbusBytes record;
             return m.readIndexArchRecord(3, 0, record);
         },
         "received exception packet: {ans}"},
    };
    for (const Case &c : cases) {
        bool ok = true;
        QString error;
        QVERIFY(bench.run([&](Modbuser &m) {
            ok = c.operation(m);
            error = m.errorString();
        }));
        QVERIFY2(!ok, c.name);
        QCOMPARE(error, bench.expand(c.expected));
    }
}

QTEST_GUILESS_MAIN(tst_ModbuserSerial)
#include "tst_modbuserserial.moc"
