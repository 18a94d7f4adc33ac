#include "modbuser.h"
#include "modbusiptarget.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"

#include <QMutex>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray spaced(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

// A read of one holding register at 0 from device 1, as an RTU frame.
const char *const readFrame = "01 03 00 00 00 01 84 0a";
// Its read request: opcode 1, "=", the frame as lower-case hex text, the mode "octet".
const char *const readRequest = "00 01 3d"
                                " 30 31 30 33 30 30 30 30 30 30 30 31 38 34 30 61"
                                " 00 6f 63 74 65 74 00";
// The answer of device 1: one register holding 42.
const char *const answerFrame = "01 03 02 00 2a 39 9b";

// A bare UDP peer on a thread of its own, so that it answers while a link in the test's thread
// blocks in its wait. It records every datagram and answers each read request (opcode 1) with
// the scripted datagram; an empty script answers nothing.
class ScriptedPeer
{
public:
    explicit ScriptedPeer(const QByteArray &reply) : m_reply(reply)
    {
        m_thread.start();
        m_socket = new QUdpSocket;
        m_socket->moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            m_socket,
            [this] {
                m_socket->bind(QHostAddress::LocalHost, 0);
                m_port = m_socket->localPort();
                QObject::connect(m_socket, &QUdpSocket::readyRead, m_socket,
                                 [this] { onReadyRead(); });
            },
            Qt::BlockingQueuedConnection);
    }

    ~ScriptedPeer()
    {
        QMetaObject::invokeMethod(
            m_socket, [this] { delete m_socket; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    quint16 port() const { return m_port; }

    QList<QByteArray> received() const
    {
        QMutexLocker locker(&m_mutex);
        return m_received;
    }

private:
    void onReadyRead()
    {
        while (m_socket->hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket->receiveDatagram();
            {
                QMutexLocker locker(&m_mutex);
                m_received << datagram.data();
            }
            if (datagram.data().startsWith(hex("0001")) && !m_reply.isEmpty())
                m_socket->writeDatagram(m_reply, datagram.senderAddress(), datagram.senderPort());
        }
    }

    const QByteArray m_reply;
    QThread m_thread;
    QUdpSocket *m_socket = nullptr; // lives in m_thread
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QList<QByteArray> m_received; // guarded by m_mutex
};

// A server link bound to 127.0.0.1 on a port of the system's choice.
bool bindLocal(ModbusTFtpServer &server)
{
    server.setAddress(QHostAddress::LocalHost);
    server.setPort(0);
    return server.connectTransport(false);
}

} // namespace

class tst_ModbusTFtp : public QObject
{
    Q_OBJECT

private slots:
    void clientExchange_data();
    void clientExchange();
    void serverHandlesDatagram_data();
    void serverHandlesDatagram();
    void serverSendsOnlyToTheRequestsSender_data();
    void serverSendsOnlyToTheRequestsSender();
    void serverWaitsForIncomingRequest();
    void serverAnswersEveryQueuedRequest();
    void linkLifecycle();
    void descriptions();
    void modbuserReadsRegisters_data();
    void modbuserReadsRegisters();
};

void tst_ModbusTFtp::clientExchange_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("acknowledged");

    QTest::newRow("DATA carries the answer frame")
        << hex("00 03 00 01 01 03 02 00 2a 39 9b") << true << QByteArray(answerFrame) << QString()
        << true;
    QTest::newRow("DATA with another block number")
        << hex("00 03 00 07 01 03 02 00 2a 39 9b") << true << QByteArray(answerFrame) << QString()
        << true;
    QTest::newRow("ERROR code 1") << hex("00 05 00 01 6e 6f 00") << true << QByteArray()
                                  << "error from TFtp server received: file not found" << true;
    QTest::newRow("ERROR code 9") << hex("00 05 00 09 00") << true << QByteArray()
                                  << "error from TFtp server received: unknown error code" << true;
    QTest::newRow("write request, opcode 2") << hex("00 02 3d 30 31 00") << true << QByteArray()
                                             << "unsupported tftp packet type: 2" << true;
    QTest::newRow("four bytes are too small")
        << hex("00 04 00 01") << true << QByteArray("00 04 00 01")
        << "tftp packet if too small: 00040001" << true;
    QTest::newRow("no answer") << QByteArray() << false << QByteArray()
                               << "read answer timeout: " << false;
}

void tst_ModbusTFtp::clientExchange()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, sent);
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);
    QFETCH(bool, acknowledged);

    ScriptedPeer peer(reply);
    ModbusTFtpClient client(ModbusIpTarget(QHostAddress::LocalHost, peer.port()));
    QVERIFY(client.connectTransport(false));
    QSignalSpy sentSpy(&client, &Transport::bytesSent);
    QSignalSpy receivedSpy(&client, &Transport::bytesReceived);

    ModbusBytes got;
    QString sendError;
    QCOMPARE(client.sendBytes(hex(readFrame), &got, &sendError), sent);

    QCOMPARE(spaced(got), answer);
    // The exchange's own failures go to the caller, what the datagram said to the link's error.
    const QString reported = sent ? client.errorString() : sendError;
    QVERIFY2(reported.startsWith(error), qPrintable(reported));
    QCOMPARE(reported.isEmpty(), error.isEmpty());
    QCOMPARE(sentSpy.count(), 1);
    QCOMPARE(spaced(sentSpy.at(0).at(0).value<ModbusBytes>()), QByteArray(readFrame));
    QCOMPARE(sentSpy.at(0).at(1).value<const Target *>(), client.clientTarget());
    const bool data = reply.startsWith(hex("0003"));
    QCOMPARE(receivedSpy.count(), data ? 1 : 0);

    const QList<QByteArray> expected = acknowledged
                                           ? QList<QByteArray>{hex(readRequest), hex("00 04 00 01")}
                                           : QList<QByteArray>{hex(readRequest)};
    QTRY_COMPARE_WITH_TIMEOUT(peer.received().size(), expected.size(), 2000);
    if (!acknowledged)
        QTest::qWait(100); // an ACK sent before the time-out was reported would be here by now
    QCOMPARE(peer.received(), expected);
    QCOMPARE(peer.received().first().size(), 26);
}

void tst_ModbusTFtp::serverHandlesDatagram_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("error");

    QTest::newRow("read request") << hex(readRequest) << QByteArray(readFrame) << QString();
    QTest::newRow("read request in upper-case hex")
        << hex("00 01 3d 30 31 30 33 30 30 30 30 30 30 30 31 38 34 30 41"
               " 00 6f 63 74 65 74 00")
        << QByteArray(readFrame) << QString();
    QTest::newRow("third byte is not '='")
        << hex("00 01 3e 30 31 30 33 30 30 30 30 30 30 30 31 38 34 30 61"
               " 00 6f 63 74 65 74 00")
        << QByteArray() << "invalid modbus tftp data request";
    QTest::newRow("mode netascii instead of octet")
        << hex("00 01 3d 30 31 30 33 30 30 30 30 30 30 30 31 38 34 30 61"
               " 00 6e 65 74 61 73 63 69 69 00")
        << QByteArray() << "invalid modbus tftp data request";
    QTest::newRow("opcode only") << hex("00 01") << QByteArray()
                                 << "invalid modbus tftp data request";
    QTest::newRow("ERROR code 1") << hex("00 05 00 01 00") << QByteArray()
                                  << "error from TFtp server received: file not found";
    QTest::newRow("ERROR code 9") << hex("00 05 00 09 00") << QByteArray()
                                  << "error from TFtp server received: unknown error code";
    QTest::newRow("write request, opcode 2") << hex("00 02 3d 30 31 00 6f 63 74 65 74 00")
                                             << QByteArray() << "unsupporter tftp packet type: 2";
    QTest::newRow("ACK is ignored") << hex("00 04 00 01") << QByteArray() << QString();
}

void tst_ModbusTFtp::serverHandlesDatagram()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QByteArray, request);
    QFETCH(QString, error);

    ModbusTFtpServer server;
    QVERIFY(bindLocal(server));
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::LocalHost, 0));

    QList<QByteArray> requests;
    QStringList peers;
    int countDuring = -1;
    connect(
        &server, &Transport::bytesReceived, this,
        [&](const ModbusBytes &bytes, const Target *) { requests << "bytes " + spaced(bytes); });
    connect(
        &server, &Transport::requestBytesReceived, this,
        [&](const ModbusBytes &bytes, const Target *target, ModbusBytes *answer) {
            requests << "request " + spaced(bytes);
            const auto *sender = qobject_cast<const ModbusIpTarget *>(target);
            QVERIFY(sender);
            QVERIFY(server.hasTarget(target));
            countDuring = server.targetsCount();
            peers << sender->addressStr() + ":" + QString::number(sender->port());
            *answer = hex(answerFrame);
        },
        Qt::DirectConnection);
    QSignalSpy sentSpy(&server, &Transport::bytesSent);

    // The case's datagram, then a good request: once the second is answered, the first is
    // known to have been handled.
    const QHostAddress local(QHostAddress::LocalHost);
    QCOMPARE(peer.writeDatagram(datagram, local, server.serverPort()), qint64(datagram.size()));
    QCOMPARE(peer.writeDatagram(hex(readRequest), local, server.serverPort()), qint64(26));

    QList<QByteArray> replies;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (peer.hasPendingDatagrams())
                replies << peer.receiveDatagram().data();
            return replies.size() == (request.isEmpty() ? 1 : 2);
        }(),
        2000);

    const QByteArray good(readFrame);
    QList<QByteArray> expectedRequests;
    if (!request.isEmpty())
        expectedRequests << "bytes " + request << "request " + request;
    expectedRequests << "bytes " + good << "request " + good;
    QCOMPARE(requests, expectedRequests);
    const QString self = "127.0.0.1:" + QString::number(peer.localPort());
    QCOMPARE(peers, QStringList(request.isEmpty() ? 1 : 2, self));
    QCOMPARE(replies, QList<QByteArray>(replies.size(), hex("00 03 00 01") + hex(answerFrame)));
    QCOMPARE(sentSpy.count(), replies.size());
    QCOMPARE(spaced(sentSpy.last().at(0).value<ModbusBytes>()), QByteArray(answerFrame));
    QCOMPARE(countDuring, 1);
    QCOMPARE(server.targetsCount(), 0);
    QCOMPARE(server.errorString(), error);
    QCOMPARE(server.errorCount(), quint64(error.isEmpty() ? 0 : 1));
}

void tst_ModbusTFtp::serverSendsOnlyToTheRequestsSender_data()
{
    QTest::addColumn<bool>("bound");
    QTest::addColumn<bool>("foreignTarget");
    QTest::addColumn<QString>("error");

    QTest::newRow("closed") << false << false << "can't send bytes via disconnected transport";
    QTest::newRow("no request, no target")
        << true << false << "can't send bytes - no tftp request is being answered";
    QTest::newRow("no request, a target of our own")
        << true << true << "can't send bytes - no tftp request is being answered";
}

void tst_ModbusTFtp::serverSendsOnlyToTheRequestsSender()
{
    QFETCH(bool, bound);
    QFETCH(bool, foreignTarget);
    QFETCH(QString, error);

    ModbusTFtpServer server;
    if (bound)
        QVERIFY(bindLocal(server));
    ModbusIpTarget somewhere(QHostAddress::LocalHost, 9);
    QSignalSpy sentSpy(&server, &Transport::bytesSent);

    QString sendError;
    QVERIFY(!server.sendBytes(hex(answerFrame), foreignTarget ? &somewhere : nullptr, nullptr,
                              &sendError));
    QCOMPARE(sendError, error);
    QCOMPARE(sentSpy.count(), 0);
    QCOMPARE(server.errorCount(), quint64(0));
}

void tst_ModbusTFtp::serverWaitsForIncomingRequest()
{
    ModbusTFtpServer server;
    ModbusBytes bytes;
    QVERIFY(!server.waitForIncomingConnection(bytes));
    QCOMPARE(server.errorString(),
             QString("can't wait incoming connection in disconnected transport"));

    QVERIFY(bindLocal(server));
    QUdpSocket peer;
    peer.writeDatagram(hex(readRequest), QHostAddress::LocalHost, server.serverPort());
    QVERIFY(server.waitForIncomingConnection(bytes));
    QCOMPARE(spaced(bytes), QByteArray(readFrame));
}

void tst_ModbusTFtp::serverAnswersEveryQueuedRequest()
{
    ModbusTFtpServer server;
    QVERIFY(bindLocal(server));
    int requests = 0;
    connect(
        &server, &Transport::requestBytesReceived, this,
        [&](const ModbusBytes &, const Target *, ModbusBytes *answer) {
            ++requests;
            *answer = hex(answerFrame);
        },
        Qt::DirectConnection);

    // Over loopback both datagrams are in the server's queue once the writes return.
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
    for (int i = 0; i < 2; ++i)
        peer.writeDatagram(hex(readRequest), QHostAddress::LocalHost, server.serverPort());
    ModbusBytes bytes;
    QVERIFY(server.waitForIncomingConnection(bytes));
    QCOMPARE(spaced(bytes), QByteArray(readFrame));

    // Collected without running the event loop: the one notification must have served both.
    QList<QByteArray> replies;
    while (replies.size() < 2 && peer.waitForReadyRead(1000)) {
        while (peer.hasPendingDatagrams())
            replies << peer.receiveDatagram().data();
    }
    QCOMPARE(requests, 2);
    QCOMPARE(replies, QList<QByteArray>(2, hex("00 03 00 01") + hex(answerFrame)));
}

void tst_ModbusTFtp::linkLifecycle()
{
    ModbusTFtpServer server;
    server.setAddress(QHostAddress("192.0.2.1")); // a documentation address, never ours
    server.setPort(0);
    QVERIFY(!server.connectTransport(false));
    QVERIFY2(server.errorString().startsWith("error binding udp socket 0: "),
             qPrintable(server.errorString()));

    QVERIFY(bindLocal(server));
    const quint16 port = server.serverPort();
    QVERIFY(port != 0);
    QVERIFY(server.disconnectTransport());
    QCOMPARE(server.serverPort(), quint16(0));
    // The port is free again: the next connect binds it anew.
    server.setPort(port);
    QVERIFY(server.connectTransport(false));
    QCOMPARE(server.serverPort(), port);

    ModbusTFtpClient client(ModbusIpTarget(QHostAddress::LocalHost, port));
    QVERIFY(client.connectTransport(false));
    QSignalSpy connectedSpy(&client, &Transport::connectedChanged);
    QVERIFY(client.disconnectTransport());
    QCOMPARE(connectedSpy.count(), 1);
    // An ordered disconnection is not taken for a lost link.
    QTest::qWait(client.autoReconnectInterval() * 2);
    QVERIFY(!client.connected());
    QString error;
    QVERIFY(!client.sendBytes(hex(readFrame), nullptr, &error));
    QCOMPARE(error, QString("can't send bytes via disconnected transport"));
    QVERIFY(client.connectTransport(false));
}

void tst_ModbusTFtp::descriptions()
{
    ModbusTFtpServer server;
    QCOMPARE(server.toString(true), QString("transport: Modbus TFtp server (modbus server); "
                                            "status: disconnected; address: 0.0.0.0; port: 69; "
                                            "timeouts:  (disconnect: 1000; read answer: 1000; "
                                            "write: 1000); "));
    QVERIFY(bindLocal(server));
    ModbusTFtpClient client(ModbusIpTarget(QHostAddress::LocalHost, server.serverPort()));
    QVERIFY(client.connectTransport(false));
    QCOMPARE(client.toString(true),
             QString("transport: Modbus TFtp client (modbus client); status: connected; "
                     "target: address: 127.0.0.1; port: %1; ; timeouts:  (connect: 1000; "
                     "disconnect: 1000; read answer: 1000; write: 1000); ")
                 .arg(server.serverPort()));
    QVERIFY(!client.toString(true).contains('\n'));
    QCOMPARE(client.toString(false).count('\n'), 4);
}

void tst_ModbusTFtp::modbuserReadsRegisters_data()
{
    QTest::addColumn<bool>("fromWorkerThread");

    QTest::newRow("from the client's thread") << false;
    QTest::newRow("from another thread") << true;
}

void tst_ModbusTFtp::modbuserReadsRegisters()
{
    QFETCH(bool, fromWorkerThread);

    // The slave side runs on a thread of its own: the master's exchange blocks this one.
    QThread slaveThread;
    slaveThread.start();
    auto *slave = new Modbuser;
    auto *server = new ModbusTFtpServer;
    server->setAddress(QHostAddress::LocalHost);
    server->setPort(0);
    slave->translator().addTransport(*server, true, true);
    connect(
        slave, &Modbuser::onReadRegisters, slave,
        [](quint32 address, quint16 count, ModbusBytes &bytes, ModbusTranslateOptions &,
           bool &handled) {
            for (quint16 i = 0; i < count; ++i)
                bytes.appendUInt16(quint16(address - 400001 + 0x100 + i));
            handled = true;
        },
        Qt::DirectConnection);
    slave->moveToThread(&slaveThread);
    quint16 port = 0;
    QMetaObject::invokeMethod(
        server,
        [&] {
            if (server->connectTransport(false))
                port = server->serverPort();
        },
        Qt::BlockingQueuedConnection);
    QVERIFY(port != 0);

    Modbuser master;
    auto *client = new ModbusTFtpClient(ModbusIpTarget(QHostAddress::LocalHost, port));
    master.translator().addTransport(*client, true, true);
    QVERIFY(client->connectTransport(false));

    bool read = false;
    ModbusBytes bytes;
    if (fromWorkerThread) {
        // The client's thread keeps its event loop running, so the exchange can be run there.
        std::atomic<bool> done{false};
        std::thread caller([&] {
            read = master.readRegisters(400011, 3, bytes);
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        caller.join();
    } else {
        read = master.readRegisters(400011, 3, bytes);
    }

    QVERIFY2(read, qPrintable(master.errorString()));
    QCOMPARE(spaced(bytes), QByteArray("01 0a 01 0b 01 0c"));

    QMetaObject::invokeMethod(
        slave, [slave] { delete slave; }, Qt::BlockingQueuedConnection);
    slaveThread.quit();
    slaveThread.wait();
}

QTEST_GUILESS_MAIN(tst_ModbusTFtp)
#include "tst_modbustftp.moc"
