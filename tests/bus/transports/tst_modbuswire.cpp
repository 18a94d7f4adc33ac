#include "modbuscrc.h"
#include "modbuser.h"
#include "modbusserialclient.h"
#include "modbusserialserver.h"
#include "modbustcpserver.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>
#include <thread>

// What a master and a slave check on the wire, whatever the link: answers that belong to
// another request or another unit, and requests beyond the protocol's limits.

namespace {

enum class Link { Tcp, Rtu };

QByteArray withCrc(QByteArray frame)
{
    ModbusBytes bytes(frame);
    bytes.appendUInt16(qChecksumModbus(frame.constData(), unsigned(frame.size())));
    return bytes;
}

QByteArray rtuFrame(quint8 unit, const QByteArray &pdu)
{
    return withCrc(QByteArray(1, char(unit)) + pdu);
}

// Polls the peer's end of the pty while this thread's event loop keeps the link working, until
// the line has been quiet for quietMs after some bytes, or maxMs have passed.
QByteArray collect(const PtyPair &pty, int quietMs, int maxMs)
{
    QByteArray got;
    QElapsedTimer total;
    QElapsedTimer quiet;
    total.start();
    quiet.start();
    while (total.elapsed() < maxMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const QByteArray chunk = pty.read(512, 5);
        if (!chunk.isEmpty()) {
            got += chunk;
            quiet.restart();
        } else if (!got.isEmpty() && quiet.elapsed() > quietMs) {
            break;
        }
    }
    return got;
}

// A slave Modbuser on a TCP server or on a serial server over a pty, whose handlers count their
// calls and answer reads with zeros. exchange() sends one request PDU to a unit the way the
// link frames it and returns the PDU of the answer, empty when none came.
struct SlaveOnLink
{
    explicit SlaveOnLink(Link link) : link(link)
    {
        QObject::connect(
            &slave, &Modbuser::onReadRegisters, &slave,
            [this](quint32, quint16 count, ModbusBytes &bytes, ModbusTranslateOptions &,
                   bool &handled) {
                ++calls;
                bytes = ModbusBytes(QByteArray(2 * count, '\0'));
                handled = true;
            },
            Qt::DirectConnection);
        QObject::connect(
            &slave, &Modbuser::onWriteRegisters, &slave,
            [this](quint32, const ModbusBytes &, ModbusTranslateOptions &, bool &handled) {
                ++calls;
                handled = true;
            },
            Qt::DirectConnection);
        ModbusTransport *server = nullptr;
        if (link == Link::Tcp) {
            tcp = new ModbusTcpServer(0);
            server = tcp;
        } else {
            server = new ModbusSerialServer(pty.portName());
        }
        slave.translator().addTransport(*server, true, true);
        ready = server->connectTransport(false);
        if (ready && tcp) {
            peer.connectToHost(QHostAddress::LocalHost, tcp->serverPort());
            ready = peer.waitForConnected(1000);
        }
    }

    QByteArray exchange(quint8 unit, const QByteArray &pdu)
    {
        if (link == Link::Rtu) {
            pty.write(rtuFrame(unit, pdu));
            const QByteArray answer = collect(pty, 50, 400);
            return answer.size() < 4 ? answer : answer.mid(1, answer.size() - 3);
        }
        ModbusBytes frame;
        frame.appendUInt16(9).appendUInt16(0).appendUInt16(quint16(pdu.size() + 1)).append(unit);
        frame.append(pdu);
        peer.write(frame);
        QByteArray answer;
        QElapsedTimer elapsed;
        elapsed.start();
        // Long enough for any answer on loopback; an unanswered request waits it out.
        while (elapsed.elapsed() < 300 && answer.size() < 7 + 2) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            answer += peer.readAll();
        }
        QTest::qWait(20);
        answer += peer.readAll();
        return answer.size() < 7 ? answer : answer.mid(7);
    }

    Link link;
    PtyPair pty;
    Modbuser slave;
    ModbusTcpServer *tcp = nullptr; // owned by the slave's registry
    QTcpSocket peer;
    bool ready = false;
    int calls = 0;
};

// A master Modbuser on a serial client over a pty; the test plays the slave on a thread of its
// own with one scripted answer per request.
struct MasterOnPty
{
    MasterOnPty()
    {
        client.setPort(pty.portName());
        client.setReadTimeout(300);
        client.setByteTimeout(20);
        master.setClientTransport(&client);
        ready = pty.isValid() && client.connectTransport(false);
    }

    PtyPair pty;
    ModbusSerialClient client;
    Modbuser master;
    bool ready = false;
};

QByteArray pduHex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

Q_DECLARE_METATYPE(Link)

class tst_ModbusWire : public QObject
{
    Q_OBJECT

private slots:
    void rtuMasterChecksAnswers_data();
    void rtuMasterChecksAnswers();
    void rtuAnswerEndsWithItsFrame();
    void rtuStrayBytesDoNotPrefixTheNextAnswer();
    void slaveKeepsProtocolLimits_data();
    void slaveKeepsProtocolLimits();
};

void tst_ModbusWire::rtuMasterChecksAnswers_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QByteArray>("answer"); // a whole frame, CRC included
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("value"); // 0xffff: left unchanged
    QTest::addColumn<QString>("error");

    QTest::newRow("its own answer")
        << 1 << rtuFrame(1, pduHex("0302002a")) << true << 0x2a << QString();
    QTest::newRow("wrong function code")
        << 1 << rtuFrame(1, pduHex("0402002a")) << false << 0xffff
        << "answer's function code 4 doesn't match the request's 3";
    QTest::newRow("exception of another function")
        << 1 << rtuFrame(1, pduHex("8402")) << false << 0xffff
        << "answer's function code 4 doesn't match the request's 3";
    QTest::newRow("wrong unit") << 1 << rtuFrame(2, pduHex("0302002a")) << false << 0xffff
                                << "answer came from unit 2, the request was sent to unit 1";
    QTest::newRow("exception of its own function")
        << 1 << rtuFrame(1, pduHex("8302")) << false << 0xffff << "received exception packet: ";
    QTest::newRow("broadcast takes what answers")
        << 0 << rtuFrame(1, pduHex("0302002a")) << true << 0x2a << QString();
    // Neither ends before the line falls silent, and neither delivers a value.
    QTest::newRow("crc garbled") << 1 << QByteArray::fromHex("010302002a3843") << false << 0xffff
                                 << "ModbusRTUParser parse error: crc checksum error in bytes: ";
    QTest::newRow("one byte short") << 1 << rtuFrame(1, pduHex("0302002a")).left(6) << false
                                    << 0xffff << "can't find needed parser for bytes: ";
}

void tst_ModbusWire::rtuMasterChecksAnswers()
{
    QFETCH(int, unit);
    QFETCH(QByteArray, answer);
    QFETCH(bool, result);
    QFETCH(int, value);
    QFETCH(QString, error);

    MasterOnPty bench;
    QVERIFY2(bench.ready, qPrintable(bench.client.errorString() + bench.pty.errorString()));
    bench.master.setDeviceAddress(quint8(unit));
    QByteArray request;
    std::thread slave([&] {
        request = bench.pty.read(8, 2000);
        bench.pty.write(answer);
    });
    quint16 got = 0xffff;
    const bool ok = bench.master.readHoldingRegister(0, got);
    slave.join();

    QCOMPARE(request.toHex(' '), rtuFrame(quint8(unit), pduHex("0300000001")).toHex(' '));
    QCOMPARE(ok, result);
    QCOMPARE(int(got), value);
    if (error.endsWith(QLatin1String(": ")))
        QVERIFY2(bench.master.errorString().startsWith(error),
                 qPrintable(bench.master.errorString()));
    else if (!result)
        QCOMPARE(bench.master.errorString(), error);
}

// A whole answer with a valid CRC ends the read at once: none of the reads may wait for the
// byte time-out's silence, though a loaded machine may hold up a few of them.
void tst_ModbusWire::rtuAnswerEndsWithItsFrame()
{
    MasterOnPty bench;
    QVERIFY2(bench.ready, qPrintable(bench.client.errorString() + bench.pty.errorString()));
    QCOMPARE(bench.client.baudRate(), 19200);
    const int byteTimeout = bench.client.byteTimeout();
    constexpr int kReads = 200;
    std::thread slave([&] {
        for (int i = 0; i < kReads; ++i) {
            if (bench.pty.read(8, 2000).size() != 8)
                return;
            bench.pty.write(rtuFrame(1, pduHex("0302") + ModbusBytes::fromUInt16(quint16(i))));
        }
    });
    int failures = 0;
    int wrongValues = 0;
    int withinTimeout = 0;
    QElapsedTimer elapsed;
    for (int i = 0; i < kReads; ++i) {
        quint16 value = 0xffff;
        elapsed.start();
        const bool ok = bench.master.readHoldingRegister(0, value);
        if (elapsed.elapsed() < byteTimeout)
            ++withinTimeout;
        failures += ok ? 0 : 1;
        wrongValues += value == i ? 0 : 1;
    }
    slave.join();

    QCOMPARE(failures, 0);
    QCOMPARE(wrongValues, 0);
    QVERIFY2(withinTimeout >= kReads * 3 / 4,
             qPrintable(QStringLiteral("%1 of %2 reads took less than the byte time-out, %3 ms")
                            .arg(withinTimeout)
                            .arg(kReads)
                            .arg(byteTimeout)));
}

// Bytes behind a whole answer are no part of it, and must not prefix the next one.
void tst_ModbusWire::rtuStrayBytesDoNotPrefixTheNextAnswer()
{
    MasterOnPty bench;
    QVERIFY2(bench.ready, qPrintable(bench.client.errorString() + bench.pty.errorString()));
    std::thread slave([&] {
        if (bench.pty.read(8, 2000).size() != 8)
            return;
        bench.pty.write(rtuFrame(1, pduHex("0302002a")) + QByteArray::fromHex("aabbcc"));
        if (bench.pty.read(8, 2000).size() != 8)
            return;
        bench.pty.write(rtuFrame(1, pduHex("0302002b")));
    });
    quint16 first = 0xffff;
    quint16 second = 0xffff;
    const bool firstOk = bench.master.readHoldingRegister(0, first);
    const QString firstError = bench.master.errorString();
    const bool secondOk = bench.master.readHoldingRegister(0, second);
    const QString secondError = bench.master.errorString();
    slave.join();

    QVERIFY2(firstOk, qPrintable(firstError));
    QCOMPARE(first, quint16(0x2a));
    QVERIFY2(secondOk, qPrintable(secondError));
    QCOMPARE(second, quint16(0x2b));
}

void tst_ModbusWire::slaveKeepsProtocolLimits_data()
{
    QTest::addColumn<Link>("link");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QByteArray>("request"); // PDU
    QTest::addColumn<QByteArray>("answer");  // PDU; empty: nothing comes back
    QTest::addColumn<bool>("handled");

    const QByteArray regs123 = QByteArray(246, '\x01');
    const QByteArray zeros125 = QByteArray(250, '\0');
    for (Link link : {Link::Tcp, Link::Rtu}) {
        const char *name = link == Link::Tcp ? "tcp" : "rtu";
        for (const char code : {'\x03', '\x04'}) {
            const QByteArray fc(1, code);
            const QByteArray exception(1, char(code | 0x80));
            QTest::addRow("%s fc%d quantity 0", name, int(code))
                << link << 1 << fc + pduHex("00000000") << exception + pduHex("03") << false;
            QTest::addRow("%s fc%d quantity 1", name, int(code))
                << link << 1 << fc + pduHex("00000001") << fc + pduHex("020000") << true;
            QTest::addRow("%s fc%d quantity 125", name, int(code))
                << link << 1 << fc + pduHex("0000007d") << fc + pduHex("fa") + zeros125 << true;
            QTest::addRow("%s fc%d quantity 126", name, int(code))
                << link << 1 << fc + pduHex("0000007e") << exception + pduHex("03") << false;
        }
        QTest::addRow("%s write quantity 123", name)
            << link << 1 << pduHex("100000007bf6") + regs123 << pduHex("100000007b") << true;
        QTest::addRow("%s write quantity 124", name)
            << link << 1 << pduHex("100000007cf6") + regs123 << pduHex("9003") << false;
        QTest::addRow("%s write quantity 0", name)
            << link << 1 << pduHex("100000000000") << pduHex("9003") << false;
        QTest::addRow("%s write byte count not twice the quantity", name)
            << link << 1 << pduHex("1000000002020001") << pduHex("9003") << false;
    }
    // Every slave on a serial line hears a broadcast; on TCP unit 0 addresses the server itself.
    QTest::newRow("rtu broadcast read, carried out, not answered")
        << Link::Rtu << 0 << pduHex("0300000001") << QByteArray() << true;
    QTest::newRow("rtu broadcast write single, carried out, not answered")
        << Link::Rtu << 0 << pduHex("060000002a") << QByteArray() << true;
    QTest::newRow("rtu broadcast write multiple, carried out, not answered")
        << Link::Rtu << 0 << pduHex("100000000102002a") << QByteArray() << true;
    QTest::newRow("rtu broadcast beyond the limits, not answered")
        << Link::Rtu << 0 << pduHex("0300000000") << QByteArray() << false;
    QTest::newRow("tcp unit 0 answered")
        << Link::Tcp << 0 << pduHex("060000002a") << pduHex("060000002a") << true;
    QTest::newRow("rtu another unit the handler accepts")
        << Link::Rtu << 7 << pduHex("060000002a") << pduHex("060000002a") << true;
}

void tst_ModbusWire::slaveKeepsProtocolLimits()
{
    QFETCH(Link, link);
    QFETCH(int, unit);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(bool, handled);

    SlaveOnLink bench(link);
    QVERIFY2(bench.ready, qPrintable(bench.slave.errorString() + bench.pty.errorString()));
    QCOMPARE(bench.exchange(quint8(unit), request).toHex(' '), answer.toHex(' '));
    QCOMPARE(bench.calls, handled ? 1 : 0);
}

QTEST_MAIN(tst_ModbusWire)
#include "tst_modbuswire.moc"
