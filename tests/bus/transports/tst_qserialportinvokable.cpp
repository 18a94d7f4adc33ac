#include "ptypair.h"
#include "qserialportinvokable.h"
#include "serialportthread.h"

#include <QPointer>
#include <QSerialPort>
#include <QtTest>

#include <thread>

namespace {

// A port on a virtual clock: answer bytes arrive at scripted times, and every step of the
// exchange (RTS, write, drain, sleep, wait, read) is logged, so the exchange's timing rules
// can be checked without a line.
class ScriptedPort : public QSerialPortInvokable
{
public:
    struct Arrival
    {
        int at;
        QByteArray bytes;
    };

    bool isOpenFlag = true;
    int now = 0;
    int drainTime = 1;
    QList<Arrival> arrivals;
    QByteArray buffer;
    QStringList log;

    qint64 write(const QByteArray &data) override
    {
        log << QStringLiteral("write %1").arg(QString::fromLatin1(data.toHex(' ')));
        return data.size();
    }
    bool waitForBytesWritten(int) override
    {
        now += drainTime;
        log << QStringLiteral("drained");
        return true;
    }
    bool waitForReadyRead(int msecs) override
    {
        log << QStringLiteral("wait %1").arg(msecs);
        if (arrivals.isEmpty() || arrivals.first().at > now + msecs) {
            now += msecs;
            return false;
        }
        now = std::max(now, arrivals.first().at);
        deliverDue();
        return true;
    }
    QByteArray readAll() override
    {
        log << QStringLiteral("read");
        return std::exchange(buffer, QByteArray());
    }
    qint64 bytesAvailable() override
    {
        deliverDue();
        return buffer.size();
    }
    bool setRts(bool on) override
    {
        log << QStringLiteral("rts %1").arg(on ? 1 : 0);
        return true;
    }

protected:
    bool portIsOpen() const override { return isOpenFlag; }
    void sleepMs(int msecs) override
    {
        log << QStringLiteral("sleep %1").arg(msecs);
        now += msecs;
    }
    qint64 clockMs() const override { return now; }

private:
    void deliverDue()
    {
        while (!arrivals.isEmpty() && arrivals.first().at <= now)
            buffer += arrivals.takeFirst().bytes;
    }
};

// "3:0a0b 8:0c" -> bytes 0a 0b at 3 ms, 0c at 8 ms.
QList<ScriptedPort::Arrival> parseArrivals(const QString &script)
{
    QList<ScriptedPort::Arrival> result;
    for (const QString &item : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        result.append({parts[0].toInt(), QByteArray::fromHex(parts[1].toLatin1())});
    }
    return result;
}

SerialPortOptions defaultOptions()
{
    SerialPortOptions options;
    options.baudRate = 19200;
    return options;
}

} // namespace

class tst_QSerialPortInvokable : public QObject
{
    Q_OBJECT

private slots:
    void exchangeTiming_data();
    void exchangeTiming();
    void endlessLine_data();
    void endlessLine();
    void writeFrameHasNoReadPhase();
    void closedPortGivesNeutralValues();
    void serialPortWaitsForTheWrapper();
    void exchangeOverPty_data();
    void exchangeOverPty();
    void setOptions_data();
    void setOptions();
};

void tst_QSerialPortInvokable::exchangeTiming_data()
{
    QTest::addColumn<bool>("controlRts");
    QTest::addColumn<int>("rtsDelay");
    QTest::addColumn<int>("readTimeout");
    QTest::addColumn<int>("byteTimeout");
    QTest::addColumn<QString>("arrivals");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QByteArray>("expectedAnswer");
    QTest::addColumn<int>("expectedEnd");

    // The write takes 1 ms of the virtual clock in every row; the request is unit 1, fc 3.
    QTest::newRow("no answer: empty after the read time-out")
        << false << 2 << 500 << 20 << QString() << QStringList{"write 01 03", "drained", "wait 500"}
        << QByteArray() << 501;
    QTest::newRow("bytes 5 ms apart end one byte time-out after the last")
        << false << 2 << 500 << 20 << QStringLiteral("10:0a 15:0b 20:0c")
        << QStringList{"write 01 03", "drained", "wait 500", "read",   "wait 20",
                       "read",        "wait 20", "read",     "wait 20"}
        << QByteArray::fromHex("0a0b0c") << 40;
    QTest::newRow("a gap longer than the byte time-out cuts the answer")
        << false << 2 << 500 << 20 << QStringLiteral("10:0a 31:0b")
        << QStringList{"write 01 03", "drained", "wait 500", "read", "wait 20"}
        << QByteArray::fromHex("0a") << 30;
    QTest::newRow("controlRts raises RTS for the write and drops it after the delay")
        << true << 3 << 500 << 20 << QStringLiteral("10:0a")
        << QStringList{"rts 1", "write 01 03", "drained", "sleep 3",
                       "rts 0", "wait 500",    "read",    "wait 20"}
        << QByteArray::fromHex("0a") << 30;
    QTest::newRow("an answer buffered while draining needs no first wait")
        << false << 2 << 500 << 20 << QStringLiteral("0:0a")
        << QStringList{"write 01 03", "drained", "read", "wait 20"} << QByteArray::fromHex("0a")
        << 21;
    QTest::newRow("a whole answer in two pieces ends with its last byte")
        << false << 2 << 500 << 20 << QStringLiteral("10:010302 15:000a3843")
        << QStringList{"write 01 03", "drained", "wait 500", "read", "wait 20", "read"}
        << QByteArray::fromHex("010302000a3843") << 15;
    QTest::newRow("an exception answer ends with its fifth byte")
        << false << 2 << 500 << 20 << QStringLiteral("10:018302c0f1")
        << QStringList{"write 01 03", "drained", "wait 500", "read"}
        << QByteArray::fromHex("018302c0f1") << 10;
    QTest::newRow("stray bytes behind a whole answer are not returned")
        << false << 2 << 500 << 20 << QStringLiteral("10:010302000a3843aabbcc")
        << QStringList{"write 01 03", "drained", "wait 500", "read"}
        << QByteArray::fromHex("010302000a3843") << 10;
    QTest::newRow("an answer with a bad CRC still ends with the silence")
        << false << 2 << 500 << 20 << QStringLiteral("10:010302000a4338")
        << QStringList{"write 01 03", "drained", "wait 500", "read", "wait 20"}
        << QByteArray::fromHex("010302000a4338") << 30;
}

void tst_QSerialPortInvokable::exchangeTiming()
{
    QFETCH(bool, controlRts);
    QFETCH(int, rtsDelay);
    QFETCH(int, readTimeout);
    QFETCH(int, byteTimeout);
    QFETCH(QString, arrivals);
    QFETCH(QStringList, expectedLog);
    QFETCH(QByteArray, expectedAnswer);
    QFETCH(int, expectedEnd);

    ScriptedPort port;
    port.arrivals = parseArrivals(arrivals);
    const QByteArray answer = port.writeAndRead(QByteArray::fromHex("0103"), readTimeout,
                                                byteTimeout, controlRts, rtsDelay);
    QCOMPARE(port.log, expectedLog);
    QCOMPARE(answer, expectedAnswer);
    QCOMPARE(port.now, expectedEnd);
}

void tst_QSerialPortInvokable::endlessLine_data()
{
    QTest::addColumn<int>("firstAt");
    QTest::addColumn<int>("step"); // ms between bytes; 0: all at once
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expectedSize");
    QTest::addColumn<int>("expectedEnd");

    // Read time-out 50, byte time-out 20; the scripted port's line is at QSerialPort's default
    // 9600 baud, where a 256-byte frame takes 294 ms: the deadline is 1 + 50 + 294 + 20 = 365.
    QTest::newRow("a byte every 5 ms for ever: no answer at the deadline")
        << 10 << 5 << 1000 << 0 << 365;
    QTest::newRow("bytes every 5 ms up to 5 ms before the deadline: still no answer")
        << 10 << 5 << 71 << 0 << 365;
    QTest::newRow("a byte every ms: the largest frame, then the end")
        << 10 << 1 << 1000 << 256 << 265;
    QTest::newRow("300 bytes at once: the largest frame at once") << 10 << 0 << 300 << 256 << 10;
    QTest::newRow("255 bytes at once end with the silence") << 10 << 0 << 255 << 255 << 30;
}

void tst_QSerialPortInvokable::endlessLine()
{
    QFETCH(int, firstAt);
    QFETCH(int, step);
    QFETCH(int, count);
    QFETCH(int, expectedSize);
    QFETCH(int, expectedEnd);

    ScriptedPort port;
    if (step == 0) {
        port.arrivals.append({firstAt, QByteArray(count, '\x5a')});
    } else {
        for (int i = 0; i < count; ++i)
            port.arrivals.append({firstAt + i * step, QByteArray(1, '\x5a')});
    }
    const QByteArray answer = port.writeAndRead(QByteArray::fromHex("0103"), 50, 20, false, 0);
    QCOMPARE(answer, QByteArray(expectedSize, '\x5a'));
    QCOMPARE(port.now, expectedEnd);
}

void tst_QSerialPortInvokable::writeFrameHasNoReadPhase()
{
    ScriptedPort port;
    port.arrivals = parseArrivals(QStringLiteral("5:0a"));
    QVERIFY(port.writeFrame(QByteArray::fromHex("0103"), true, 2));
    QCOMPARE(port.log, (QStringList{"rts 1", "write 01 03", "drained", "sleep 2", "rts 0"}));

    port.log.clear();
    port.isOpenFlag = false;
    QVERIFY(!port.writeFrame(QByteArray::fromHex("0103"), true, 2));
    QVERIFY(port.writeAndRead(QByteArray::fromHex("0103"), 500, 20, true, 2).isEmpty());
    QVERIFY2(port.log.isEmpty(), qPrintable(port.log.join(QLatin1String(", "))));
}

void tst_QSerialPortInvokable::closedPortGivesNeutralValues()
{
    SerialPortThread thread(QStringLiteral("/dev/no-such-serial-port"));
    thread.start();
    QSerialPortInvokable *port = thread.serialPort();

    QCOMPARE(port->write("abc"), qint64(0));
    QVERIFY(!port->waitForBytesWritten(10));
    QVERIFY(!port->waitForReadyRead(10));
    QVERIFY(port->readAll().isEmpty());
    QCOMPARE(port->bytesAvailable(), qint64(0));
    QVERIFY(port->writeAndRead("abc", 10, 10, false, 0).isEmpty());
    port->clearInput();
    port->close();

    QVERIFY(!port->open(QIODevice::ReadWrite));
    QCOMPARE(port->errString(), QStringLiteral("No such file or directory"));
}

void tst_QSerialPortInvokable::serialPortWaitsForTheWrapper()
{
    auto *thread = new SerialPortThread(QString());
    thread->start(QThread::HighPriority);
    // Asked at once, before run() can have got far: the call blocks until the wrapper exists.
    QPointer<QSerialPortInvokable> port = thread->serialPort();
    QVERIFY(port);
    QCOMPARE(port->thread(), thread);
    QVERIFY(port->needInvoke());

    delete thread; // deletes the wrapper in its thread, then joins
    QVERIFY(!port);
}

void tst_QSerialPortInvokable::exchangeOverPty_data()
{
    QTest::addColumn<bool>("fromWorkerThread");
    QTest::newRow("called from the test thread") << false;
    QTest::newRow("called from a worker thread") << true;
}

void tst_QSerialPortInvokable::exchangeOverPty()
{
    QFETCH(bool, fromWorkerThread);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    SerialPortThread thread(pty.portName());
    thread.start();
    QSerialPortInvokable *port = thread.serialPort();
    QVERIFY2(port->open(QIODevice::ReadWrite), qPrintable(port->errString()));
    QVERIFY(port->setOptions(defaultOptions()));

    const QByteArray request = QByteArray::fromHex("010300000001840a");
    QByteArray received;
    std::thread peer([&] {
        received = pty.read(request.size(), 2000);
        pty.write(QByteArray::fromHex("0103"));
        QThread::msleep(5);
        pty.write(QByteArray::fromHex("02000a3843"));
    });

    QByteArray answer;
    auto exchange = [&] { answer = port->writeAndRead(request, 1000, 50, false, 0); };
    if (fromWorkerThread)
        std::thread(exchange).join();
    else
        exchange();
    peer.join();

    QCOMPARE(received.toHex(' '), request.toHex(' '));
    QCOMPARE(answer.toHex(' '), QByteArray("01 03 02 00 0a 38 43"));
}

void tst_QSerialPortInvokable::setOptions_data()
{
    QTest::addColumn<SerialPortOptions>("options");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<QString>("expectedText");

    SerialPortOptions options = defaultOptions();
    QTest::newRow("defaults") << options << true << QString();

    options = defaultOptions();
    options.dataBits = 7;
    options.parity = 2;
    QTest::newRow("7 data bits and even parity, refused by a pty")
        << options << false
        << QStringLiteral("can't set 'dataBits' property to: 7\n"
                          "can't set 'parity' property to: 2\n");

    options = defaultOptions();
    options.baudRate = 0;
    options.stopBits = -1;
    options.flowControl = 7;
    options.dataErrorPolicy = -1;
    QTest::newRow("values no enum holds")
        << options << false
        << QStringLiteral("can't set 'baudRate' property to: 0\n"
                          "can't set 'stopBits' property to: -1\n"
                          "can't set 'flowControl' property to: 7\n"
                          "can't set 'dataErrorPolicy' property to: -1\n");

    options = defaultOptions();
    options.dtr = true;
    QTest::newRow("raising DTR on a pty")
        << options << false << QStringLiteral("can't set 'dtr' property to: 1\n");
}

void tst_QSerialPortInvokable::setOptions()
{
    QFETCH(SerialPortOptions, options);
    QFETCH(bool, expectedResult);
    QFETCH(QString, expectedText);

    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    SerialPortThread thread(pty.portName());
    thread.start();
    QSerialPortInvokable *port = thread.serialPort();
    QVERIFY2(port->open(QIODevice::ReadWrite), qPrintable(port->errString()));

    QString text = QStringLiteral("untouched");
    QCOMPARE(port->setOptions(options, &text), expectedResult);
    QCOMPARE(text, expectedText);

    // What was accepted reads back; the rate is never read back.
    const SerialPortOptions back = port->getOptions();
    QCOMPARE(back.baudRate, 0);
    if (expectedResult) {
        QCOMPARE(back.dataBits, options.dataBits);
        QCOMPARE(back.parity, options.parity);
        QCOMPARE(back.stopBits, options.stopBits);
        QCOMPARE(back.dataErrorPolicy, options.dataErrorPolicy);
    }
}

QTEST_GUILESS_MAIN(tst_QSerialPortInvokable)
#include "tst_qserialportinvokable.moc"
