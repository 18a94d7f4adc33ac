#include "modbusserialclient.h"
#include "modbusserialserver.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QMetaProperty>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

using TransportAction = std::function<void(ModbusSerialTransport &)>;
Q_DECLARE_METATYPE(TransportAction)

namespace {

const QByteArray kRequest = QByteArray::fromHex("010300000001840a"); // read 1 register at 0
const QByteArray kAnswer = QByteArray::fromHex("010302000a3843");    // its answer, 0x000a
const QByteArray kWrite = QByteArray::fromHex("01060001000ad80d");   // write 10 to register 1

struct Chunk
{
    int delayMs; // pause before the chunk
    QByteArray bytes;
};
using Chunks = QList<Chunk>;

// "0:0103 5:02000a" -> 0103 at once, then 02000a 5 ms later.
Chunks parseChunks(const QString &script)
{
    Chunks result;
    for (const QString &item : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        result.append({parts[0].toInt(), QByteArray::fromHex(parts[1].toLatin1())});
    }
    return result;
}

void writeChunks(const PtyPair &pty, const Chunks &chunks, bool runEventLoop)
{
    for (const Chunk &chunk : chunks) {
        if (runEventLoop)
            QTest::qWait(chunk.delayMs);
        else
            QThread::msleep(static_cast<unsigned long>(chunk.delayMs));
        pty.write(chunk.bytes);
    }
}

// A client opened on the Qt end of the pty.
struct ClientOnPty
{
    PtyPair pty;
    ModbusSerialClient client;

    bool open()
    {
        if (!pty.isValid())
            return false;
        client.setPort(pty.portName());
        return client.connectTransport(false);
    }
};

} // namespace

class tst_ModbusSerialTransport : public QObject
{
    Q_OBJECT

private slots:
    void calcDelays_data();
    void calcDelays();
    void valuesSetByHandStick();
    void setters_data();
    void setters();
    void targets();
    void toStringText_data();
    void toStringText();

    void clientExchange_data();
    void clientExchange();
    void clientEndsOnALineThatNeverFallsSilent();
    void sendDelayPausesBetweenExchanges();
    void openFailure();
    void refusedLineOptions();
    void serverCollectsRequests_data();
    void serverCollectsRequests();
    void clientAgainstServer();
    void destructionJoinsThePortThread();
};

void tst_ModbusSerialTransport::calcDelays_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("byteTimeout");
    QTest::addColumn<int>("rtsDelay");
    QTest::newRow("1200") << 1200 << 240 << 10;
    QTest::newRow("2400") << 2400 << 124 << 6;
    QTest::newRow("4800") << 4800 << 64 << 4;
    QTest::newRow("9600") << 9600 << 36 << 3;
    QTest::newRow("19200, the default") << 19200 << 20 << 2;
    QTest::newRow("38400") << 38400 << 12 << 2;
    QTest::newRow("55999, last rate with the slow-line factor") << 55999 << 12 << 2;
    QTest::newRow("56000") << 56000 << 3 << 2;
    QTest::newRow("57600") << 57600 << 3 << 2;
    QTest::newRow("115200") << 115200 << 2 << 2;
}

void tst_ModbusSerialTransport::calcDelays()
{
    QFETCH(int, baud);
    QFETCH(int, byteTimeout);
    QFETCH(int, rtsDelay);
    ModbusSerialClient client;
    client.setBaudRate(baud);
    QCOMPARE(client.baudRate(), baud);
    QCOMPARE(client.byteTimeout(), byteTimeout);
    QCOMPARE(client.rtsDelay(), rtsDelay);
}

void tst_ModbusSerialTransport::valuesSetByHandStick()
{
    ModbusSerialClient client;
    client.setBaudRate(9600);
    QCOMPARE(client.byteTimeout(), 36);
    QCOMPARE(client.rtsDelay(), 3);

    client.setByteTimeout(50);
    client.setBaudRate(4800);
    QCOMPARE(client.byteTimeout(), 50);
    QCOMPARE(client.rtsDelay(), 4);

    // Setting the value it already has still marks it as chosen.
    client.setRtsDelay(4);
    client.setBaudRate(1200);
    QCOMPARE(client.byteTimeout(), 50);
    QCOMPARE(client.rtsDelay(), 4);
}

void tst_ModbusSerialTransport::setters_data()
{
    QTest::addColumn<TransportAction>("action");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expectedValue");
    QTest::addColumn<int>("expectedSignals");
    QTest::addColumn<QString>("expectedError");

    const QString noError;
    QTest::newRow("baud rate 0 is ignored")
        << TransportAction([](auto &t) { t.setBaudRate(0); }) << QByteArray("baudRate")
        << QVariant(19200) << 0 << noError;
    QTest::newRow("a negative baud rate is ignored")
        << TransportAction([](auto &t) { t.setBaudRate(-9600); }) << QByteArray("baudRate")
        << QVariant(19200) << 0 << noError;
    QTest::newRow("byte time-out 0 becomes 1")
        << TransportAction([](auto &t) { t.setByteTimeout(0); }) << QByteArray("byteTimeout")
        << QVariant(1) << 1 << noError;
    QTest::newRow("RTS delay -5 becomes 1")
        << TransportAction([](auto &t) { t.setRtsDelay(-5); }) << QByteArray("rtsDelay")
        << QVariant(1) << 1 << noError;
    QTest::newRow("send delay has no lower bound")
        << TransportAction([](auto &t) { t.setSendDelay(-3); }) << QByteArray("sendDelay")
        << QVariant(-3) << 1 << noError;
    QTest::newRow("an equal value emits nothing")
        << TransportAction([](auto &t) { t.setReadTimeout(500); }) << QByteArray("readTimeout")
        << QVariant(500) << 0 << noError;
    QTest::newRow("a changed value emits once")
        << TransportAction([](auto &t) { t.setReadTimeout(800); }) << QByteArray("readTimeout")
        << QVariant(800) << 1 << noError;
    QTest::newRow("RTS control is off by default and can be switched on")
        << TransportAction([](auto &t) { t.setControlRts(true); }) << QByteArray("controlRts")
        << QVariant(true) << 1 << noError;

    const QString foreignThread = QStringLiteral("this method can be run only in owned thread");
    auto fromWorker = [](TransportAction action) {
        return TransportAction([action](auto &t) { std::thread([&] { action(t); }).join(); });
    };
    QTest::newRow("baud rate from a foreign thread is refused")
        << fromWorker([](auto &t) { t.setBaudRate(9600); }) << QByteArray("baudRate")
        << QVariant(19200) << 0 << foreignThread;
    QTest::newRow("port from a foreign thread is refused")
        << fromWorker([](auto &t) { t.setPort(QStringLiteral("ttyX")); }) << QByteArray("port")
        << QVariant(QString()) << 0 << foreignThread;
    QTest::newRow("byte time-out from a foreign thread is taken")
        << fromWorker([](auto &t) { t.setByteTimeout(70); }) << QByteArray("byteTimeout")
        << QVariant(70) << 1 << noError;
}

void tst_ModbusSerialTransport::setters()
{
    QFETCH(TransportAction, action);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expectedValue);
    QFETCH(int, expectedSignals);
    QFETCH(QString, expectedError);

    ModbusSerialClient client;
    if (property == "port") {
        client.setPort(QString());
        QCOMPARE(client.port(), QString());
    }
    const QMetaProperty meta =
        client.metaObject()->property(client.metaObject()->indexOfProperty(property));
    QVERIFY(meta.isValid());
    QSignalSpy changed(&client, meta.notifySignal());
    QSignalSpy errors(&client, &ErrObject::error);

    action(client);
    QCoreApplication::processEvents(); // errors from other threads arrive queued

    QCOMPARE(meta.read(&client), expectedValue);
    QCOMPARE(changed.count(), expectedSignals);
    QCOMPARE(client.errorString(), expectedError);
    QCOMPARE(errors.count(), expectedError.isEmpty() ? 0 : 1);
}

void tst_ModbusSerialTransport::targets()
{
    ModbusSerialClient client;
    const ModbusTarget other;
    QCOMPARE(client.targetsCount(), 1);
    QVERIFY(client.hasTarget(client.clientTarget()));
    QCOMPARE(client.defaultTarget(), client.clientTarget());
    // Targets are told apart by identity, not by their (equal) contents.
    QVERIFY(!client.hasTarget(&other));

    QCOMPARE(client.bytesAvailable(&other), qint64(0));
    QCOMPARE(client.errorString(), QStringLiteral("unknown target, bytes available will be 0"));
}

void tst_ModbusSerialTransport::toStringText_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<bool>("oneLine");
    QTest::addColumn<QString>("expected");

    const QString client = QStringLiteral("transport: Modbus Serial Client (modbus client)\n"
                                          "status: disconnected\n"
                                          "port: ttyX\n"
                                          "rate: 9600\n"
                                          "parity: None\n"
                                          "data bits: 8\n"
                                          "stop bits: 1\n"
                                          "flow control: None\n"
                                          "data error policy: Ignore\n"
                                          "DTR: 0\n"
                                          "RTS: 0\n"
                                          "target: \n"
                                          "timeouts:  (read: 500; write: 500)\n");
    QTest::newRow("client") << false << false << client;
    QTest::newRow("client, one line")
        << false << true << QString(client).replace(QLatin1Char('\n'), QLatin1String("; "));
    QTest::newRow("server") << true << false
                            << QString(client).replace(QLatin1String("Client (modbus client)"),
                                                       QLatin1String("Server (modbus server)"));
}

void tst_ModbusSerialTransport::toStringText()
{
    QFETCH(bool, server);
    QFETCH(bool, oneLine);
    QFETCH(QString, expected);
    std::unique_ptr<ModbusSerialTransport> transport;
    if (server)
        transport = std::make_unique<ModbusSerialServer>(QStringLiteral("ttyX"));
    else
        transport = std::make_unique<ModbusSerialClient>();
    transport->setPort(QStringLiteral("ttyX"));
    transport->setBaudRate(9600);
    QCOMPARE(transport->toString(oneLine), expected);
}

void tst_ModbusSerialTransport::clientExchange_data()
{
    QTest::addColumn<QByteArray>("staleInput");
    QTest::addColumn<QString>("answerChunks");
    QTest::addColumn<int>("readTimeout");
    QTest::addColumn<int>("byteTimeout");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<QByteArray>("expectedAnswer");
    QTest::addColumn<QString>("expectedError");

    const QByteArray none;
    QTest::newRow("answer in one piece")
        << none << QStringLiteral("0:010302000a3843") << 1000 << 50 << true << kAnswer << QString();
    QTest::newRow("answer in chunks is joined")
        << none << QStringLiteral("0:01 5:0302 5:000a 5:3843") << 1000 << 100 << true << kAnswer
        << QString();
    QTest::newRow("the answer ends after the byte time-out")
        << none << QStringLiteral("0:010302000a3843 300:ffff") << 1000 << 50 << true << kAnswer
        << QString();
    QTest::newRow("stale input is cleared before the request")
        << QByteArray::fromHex("deadbeef") << QStringLiteral("0:010302000a3843") << 1000 << 50
        << true << kAnswer << QString();
    QTest::newRow("no answer gives read timeout") << none << QString() << 150 << 20 << false
                                                  << QByteArray() << QStringLiteral("read timeout");
    QTest::newRow("an all-zero answer counts as a time-out")
        << none << QStringLiteral("0:00000000") << 1000 << 50 << false
        << QByteArray::fromHex("00000000") << QStringLiteral("read timeout");
}

void tst_ModbusSerialTransport::clientExchange()
{
    QFETCH(QByteArray, staleInput);
    QFETCH(QString, answerChunks);
    QFETCH(int, readTimeout);
    QFETCH(int, byteTimeout);
    QFETCH(bool, expectedResult);
    QFETCH(QByteArray, expectedAnswer);
    QFETCH(QString, expectedError);

    ClientOnPty fixture;
    QVERIFY2(fixture.open(), qPrintable(fixture.client.errorString() + fixture.pty.errorString()));
    ModbusSerialClient &client = fixture.client;
    const PtyPair &pty = fixture.pty;
    client.setReadTimeout(readTimeout);
    client.setByteTimeout(byteTimeout);
    if (!staleInput.isEmpty()) {
        pty.write(staleInput);
        QTest::qWait(50); // let the port read it in, as it would between exchanges
    }

    QByteArray received;
    std::thread peer([&] {
        received = pty.read(kRequest.size(), 2000);
        writeChunks(pty, parseChunks(answerChunks), false);
    });
    QSignalSpy answers(&client, &Transport::bytesReceived);
    QSignalSpy errors(&client, &ErrObject::error);
    ModbusBytes answer;
    QString error;
    const bool result =
        client.sendBytes(ModbusBytes(kRequest), client.clientTarget(), &answer, &error);
    peer.join();

    QCOMPARE(received.toHex(' '), kRequest.toHex(' '));
    QCOMPARE(result, expectedResult);
    QCOMPARE(answer.toHex(' '), expectedAnswer.toHex(' '));
    QCOMPARE(error, expectedError);
    QCOMPARE(answers.count(), expectedResult ? 1 : 0);
    // With an error out-parameter the text goes to the caller only.
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 0);
}

void tst_ModbusSerialTransport::clientEndsOnALineThatNeverFallsSilent()
{
    ClientOnPty fixture;
    QVERIFY2(fixture.open(), qPrintable(fixture.client.errorString() + fixture.pty.errorString()));
    ModbusSerialClient &client = fixture.client;
    client.setReadTimeout(100);
    // Far longer than the peer's gaps, even when a loaded machine delays its thread.
    client.setByteTimeout(200);

    // One byte every 5 ms, for as long as the test runs (a second master, a stuck transmitter).
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        fixture.pty.read(kRequest.size(), 2000);
        for (int i = 0; i < 4000 && !stop; ++i) {
            fixture.pty.write(QByteArray(1, '\x55'));
            QThread::msleep(5);
        }
    });
    QElapsedTimer clock;
    clock.start();
    ModbusBytes answer;
    QString error;
    const bool result =
        client.sendBytes(ModbusBytes(kRequest), client.clientTarget(), &answer, &error);
    const qint64 took = clock.elapsed();
    stop = true;
    peer.join();

    QVERIFY(!result);
    QCOMPARE(error, QStringLiteral("read timeout"));
    // Read time-out, a 256-byte frame at 19200 baud (147 ms) and a byte time-out make 447 ms;
    // the rest is room for a loaded machine. The line itself would go on for 20 s.
    QVERIFY2(took < 3000, qPrintable(QString::number(took)));
}

void tst_ModbusSerialTransport::sendDelayPausesBetweenExchanges()
{
    ClientOnPty fixture;
    QVERIFY2(fixture.open(), qPrintable(fixture.client.errorString() + fixture.pty.errorString()));
    ModbusSerialClient &client = fixture.client;
    // Long enough to tell a pause from an exchange, which takes a byte time-out here.
    client.setSendDelay(400);
    client.setByteTimeout(20);
    std::thread peer([&] {
        for (int i = 0; i < 2; ++i) {
            fixture.pty.read(kRequest.size(), 3000);
            fixture.pty.write(kAnswer);
        }
    });
    auto timedExchange = [&] {
        QElapsedTimer clock;
        clock.start();
        ModbusBytes answer;
        QString error;
        client.sendBytes(ModbusBytes(kRequest), client.clientTarget(), &answer, &error);
        return clock.elapsed();
    };
    // The first exchange since construction does not wait, though the transport is new.
    const qint64 first = timedExchange();
    const qint64 second = timedExchange();
    peer.join();
    QVERIFY2(first < 300, qPrintable(QString::number(first)));
    QVERIFY2(second >= 400, qPrintable(QString::number(second)));
}

void tst_ModbusSerialTransport::openFailure()
{
    ModbusSerialClient client;
    client.setPort(QStringLiteral("/dev/no-such-serial-port"));
    QVERIFY(!client.connectTransport(false));
    QVERIFY(!client.connected());
    QCOMPARE(client.errorString(),
             QStringLiteral("error opening serial port /dev/no-such-serial-port: "
                            "No such file or directory"));

    ModbusBytes answer;
    QString error;
    QVERIFY(!client.sendBytes(ModbusBytes(kRequest), client.clientTarget(), &answer, &error));
    QCOMPARE(error, QStringLiteral("can't send bytes via disconnected transport"));
}

void tst_ModbusSerialTransport::refusedLineOptions()
{
    ClientOnPty fixture;
    ModbusSerialClient &client = fixture.client;
    // A pty takes neither parity nor 7 data bits.
    client.setParity(ModbusSerialTransport::EvenParity);
    client.setDataBits(ModbusSerialTransport::Data7);
    QVERIFY(!fixture.open());
    QVERIFY(!client.connected());
    QCOMPARE(client.errorString(), QStringLiteral("can't set 'dataBits' property to: 7\n"
                                                  "can't set 'parity' property to: 2\n"));

    // The port was closed again, so it opens once the settings fit.
    client.setParity(ModbusSerialTransport::NoParity);
    client.setDataBits(ModbusSerialTransport::Data8);
    QVERIFY2(client.connectTransport(false), qPrintable(client.errorString()));

    // Refused while open: reported, and the link stays open.
    client.setParity(ModbusSerialTransport::EvenParity);
    QCOMPARE(client.errorString(), QStringLiteral("can't set 'parity' property to: 2\n"));
    QVERIFY(client.connected());
    client.setRts(true);
    QCOMPARE(client.errorString(), QStringLiteral("can't set 'rts' property to: 1"));
    QVERIFY(client.rts());
}

void tst_ModbusSerialTransport::serverCollectsRequests_data()
{
    QTest::addColumn<QString>("chunks");
    QTest::addColumn<int>("byteTimeout");
    QTest::addColumn<QList<QByteArray>>("expectedRequests");

    const QList<QByteArray> none;
    QTest::newRow("a request in one piece")
        << QStringLiteral("0:010300000001840a") << 150 << QList<QByteArray>{kRequest};
    QTest::newRow("chunks within the byte time-out are joined")
        << QStringLiteral("0:010300 10:000001 10:840a") << 150 << QList<QByteArray>{kRequest};
    QTest::newRow("a chunk after the byte time-out drops what came before")
        << QStringLiteral("0:0103000000 400:01840a") << 150 << none;
    QTest::newRow("a stray byte just before a request spoils it")
        << QStringLiteral("0:55 10:010300000001840a") << 150 << none;
    QTest::newRow("a request after a silence longer than the byte time-out is answered")
        << QStringLiteral("0:55 400:010300000001840a") << 150 << QList<QByteArray>{kRequest};
    // 300 bytes of noise exceed the largest frame, so the buffer is dropped and the request
    // that follows within the byte time-out starts afresh. The gap is wide enough that the
    // server reads the two apart, and the byte time-out wider still.
    QTest::newRow("noise beyond the largest frame is dropped")
        << QStringLiteral("0:") + QString(QLatin1Char('f')).repeated(600) +
               QStringLiteral(" 300:010300000001840a")
        << 2000 << QList<QByteArray>{kRequest};
    QTest::newRow("two requests in one write are both answered, in order")
        << QStringLiteral("0:010300000001840a01060001000ad80d") << 150
        << QList<QByteArray>{kRequest, kWrite};
    QTest::newRow("a request and the first half of the next, then the rest")
        << QStringLiteral("0:010300000001840a01060001 10:000ad80d") << 150
        << QList<QByteArray>{kRequest, kWrite};
}

void tst_ModbusSerialTransport::serverCollectsRequests()
{
    QFETCH(QString, chunks);
    QFETCH(int, byteTimeout);
    QFETCH(QList<QByteArray>, expectedRequests);

    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    ModbusSerialServer server(pty.portName());
    server.setByteTimeout(byteTimeout);
    QVERIFY2(server.connectTransport(false), qPrintable(server.errorString()));

    QList<QByteArray> requests;
    connect(
        &server, &Transport::requestBytesReceived, this,
        [&](const ModbusBytes &request, const Target *target, ModbusBytes *answer) {
            QCOMPARE(target, server.clientTarget());
            requests.append(request);
            *answer = ModbusBytes(kAnswer);
        },
        Qt::DirectConnection);

    writeChunks(pty, parseChunks(chunks), true);
    if (expectedRequests.isEmpty()) {
        QTest::qWait(400); // longer than the byte time-out: nothing is pending any more
        QVERIFY(requests.isEmpty());
        QCOMPARE(pty.readUntilQuiet(0).toHex(' '), QByteArray());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), expectedRequests.size(), 2000);
        for (qsizetype i = 0; i < requests.size(); ++i)
            QCOMPARE(requests.at(i).toHex(' '), expectedRequests.at(i).toHex(' '));
        const qsizetype answered = kAnswer.size() * expectedRequests.size();
        QCOMPARE(pty.read(int(answered), 1000).toHex(' '),
                 kAnswer.repeated(expectedRequests.size()).toHex(' '));
    }
}

void tst_ModbusSerialTransport::clientAgainstServer()
{
    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    ModbusSerialServer server(link.portA());
    // A server answer has no read phase: with one, the server would sit out this time-out
    // after each answer and swallow the next request.
    server.setReadTimeout(3000);
    QVERIFY2(server.connectTransport(false), qPrintable(server.errorString()));
    connect(
        &server, &Transport::requestBytesReceived, this,
        [](const ModbusBytes &request, const Target *, ModbusBytes *answer) {
            if (request == kRequest)
                *answer = ModbusBytes(kAnswer);
            else if (request == kWrite)
                *answer = request; // a write is answered by its echo
        },
        Qt::DirectConnection);

    ModbusSerialClient client;
    client.setPort(link.portB());
    client.setReadTimeout(1000);
    QVERIFY2(client.connectTransport(false), qPrintable(client.errorString()));

    // The client exchanges on a worker thread, as the polling client's executor does; this
    // thread runs the server.
    QList<ModbusBytes> answers;
    QStringList errors;
    std::atomic<bool> done{false};
    QElapsedTimer clock;
    clock.start();
    std::thread worker([&] {
        for (const QByteArray &request : {kRequest, kWrite, kRequest}) {
            ModbusBytes answer;
            QString error;
            client.sendBytes(ModbusBytes(request), client.clientTarget(), &answer, &error);
            answers.append(answer);
            errors.append(error);
        }
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    worker.join();

    QCOMPARE(answers,
             (QList<ModbusBytes>{ModbusBytes(kAnswer), ModbusBytes(kWrite), ModbusBytes(kAnswer)}));
    QCOMPARE(errors, (QStringList{QString(), QString(), QString()}));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

void tst_ModbusSerialTransport::destructionJoinsThePortThread()
{
    auto *client = new ModbusSerialClient;
    QPointer<QThread> thread = client->findChild<QThread *>(QStringLiteral("Serial port thread"));
    QVERIFY(thread);
    QVERIFY(thread->isRunning());
    QCOMPARE(thread->priority(), QThread::HighPriority);
    std::atomic<bool> finished{false};
    connect(
        thread, &QThread::finished, thread, [&] { finished = true; }, Qt::DirectConnection);

    delete client;
    QVERIFY(finished); // set before the destructor's wait returned
    QVERIFY(!thread);
}

QTEST_GUILESS_MAIN(tst_ModbusSerialTransport)
#include "tst_modbusserialtransport.moc"
