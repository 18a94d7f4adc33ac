#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbuspacketreg.h"
#include "modbustranslator.h"

#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

QByteArray spaced(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

// A read of one holding register at 0 from device 1, as an RTU frame.
const char *const readFrame = "01 03 00 00 00 01 84 0a";

enum class ServerState { None, Disconnected, Connected, ConnectsAfterInit };

enum class Answerer { Nobody, RequestListener, ReadListener };

} // namespace

Q_DECLARE_METATYPE(ServerState)
Q_DECLARE_METATYPE(Answerer)

class tst_ModbusLoopback : public QObject
{
    Q_OBJECT

private slots:
    void connectNeedsABoundServer_data();
    void connectNeedsABoundServer();
    void exchange_data();
    void exchange();
    void serverDisconnectUnbindsClient();
    void serverRefusesToSend();
    void destroyingTheServerFirst_data();
    void destroyingTheServerFirst();
    void sendFromAnotherThread_data();
    void sendFromAnotherThread();
};

void tst_ModbusLoopback::connectNeedsABoundServer_data()
{
    QTest::addColumn<ServerState>("serverState");
    QTest::addColumn<bool>("connects");
    QTest::addColumn<QString>("error");

    QTest::newRow("no server") << ServerState::None << false
                               << "server loopback transport doesn't assigned";
    QTest::newRow("server disconnected")
        << ServerState::Disconnected << false << "server loopback transport disconnected";
    QTest::newRow("server connected") << ServerState::Connected << true << QString();
    QTest::newRow("server connects after initialisation")
        << ServerState::ConnectsAfterInit << true << QString();
}

void tst_ModbusLoopback::connectNeedsABoundServer()
{
    QFETCH(ServerState, serverState);
    QFETCH(bool, connects);
    QFETCH(QString, error);

    ModbusLoopbackServer server;
    ModbusLoopbackClient client;
    if (serverState != ServerState::None)
        client.setServer(&server);
    if (serverState == ServerState::Connected)
        QVERIFY(server.connectTransport(false));
    if (serverState == ServerState::ConnectsAfterInit) {
        server.classBegin();
        server.setConnected(true);
        QVERIFY(server.connectAfterInit());
    }

    QCOMPARE(client.connectTransport(false), connects);
    QCOMPARE(client.connected(), connects);
    QCOMPARE(client.errorString(), error);
}

void tst_ModbusLoopback::exchange_data()
{
    QTest::addColumn<Answerer>("answerer");
    QTest::addColumn<QString>("readReply");
    QTest::addColumn<bool>("wantAnswer");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("error");

    QTest::newRow("answered by a request listener")
        << Answerer::RequestListener << QString() << true << true
        << QByteArray("01 03 02 00 2a 39 9b") << QString();
    QTest::newRow("read fallback, hex pairs with spaces")
        << Answerer::ReadListener << "01 03 02 00 01" << true << true
        << QByteArray("01 03 02 00 01") << QString();
    QTest::newRow("read fallback, hex without spaces")
        << Answerer::ReadListener << "0103020001" << true << true << QByteArray("01 03 02 00 01")
        << QString();
    QTest::newRow("read fallback, upper case over two lines")
        << Answerer::ReadListener << " 01 03\n02 0A 01 " << true << true
        << QByteArray("01 03 02 0a 01") << QString();
    QTest::newRow("read listener leaves the text empty")
        << Answerer::ReadListener << QString() << true << false << QByteArray()
        << "zero length answer received";
    QTest::newRow("nobody answers") << Answerer::Nobody << QString() << true << false
                                    << QByteArray() << "zero length answer received";
    QTest::newRow("no answer wanted")
        << Answerer::Nobody << QString() << false << true << QByteArray() << QString();
}

void tst_ModbusLoopback::exchange()
{
    QFETCH(Answerer, answerer);
    QFETCH(QString, readReply);
    QFETCH(bool, wantAnswer);
    QFETCH(bool, sent);
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);

    ModbusLoopbackServer server;
    ModbusLoopbackClient client(server);
    QVERIFY(server.connectTransport(false));
    QVERIFY(client.connectTransport(false));

    QStringList serverLog;
    QString readRequest;
    connect(&server, &Transport::bytesReceived, this,
            [&](const ModbusBytes &bytes, const Target *target) {
                QCOMPARE(target, server.target());
                serverLog << "bytes " + spaced(bytes);
            });
    connect(
        &server, &Transport::requestBytesReceived, this,
        [&](const ModbusBytes &, const Target *, ModbusBytes *reply) {
            serverLog << "request";
            if (answerer == Answerer::RequestListener)
                *reply = hex("010302002a399b");
        },
        Qt::DirectConnection);
    if (answerer == Answerer::ReadListener)
        connect(
            &server, &Transport::read, this,
            [&](const QString &request, const Target *, QString &reply) {
                readRequest = request;
                reply = readReply;
            },
            Qt::DirectConnection);
    QSignalSpy clientReceived(&client, &Transport::bytesReceived);

    ModbusBytes reply;
    QString sendError;
    QCOMPARE(client.sendBytes(hex(readFrame), client.target(), wantAnswer ? &reply : nullptr,
                              &sendError),
             sent);

    QCOMPARE(serverLog, QStringList({"bytes " + QByteArray(readFrame), "request"}));
    QCOMPARE(spaced(reply), answer);
    QCOMPARE(sendError, error);
    QCOMPARE(client.errorCount(), quint64(0));
    QCOMPARE(clientReceived.count(), answer.isEmpty() ? 0 : 1);
    if (!answer.isEmpty()) {
        QCOMPARE(spaced(clientReceived.at(0).at(0).value<ModbusBytes>()), answer);
        QCOMPARE(clientReceived.at(0).at(1).value<const Target *>(), client.target());
    }
    if (answerer == Answerer::ReadListener)
        QCOMPARE(readRequest, QString("010300000001840a"));
}

void tst_ModbusLoopback::serverDisconnectUnbindsClient()
{
    ModbusLoopbackServer server;
    ModbusLoopbackClient client;
    client.setServer(&server);
    QVERIFY(server.connectTransport(false));
    QVERIFY(client.connectTransport(false));
    QSignalSpy serverChanged(&client, &ModbusLoopbackClient::serverChanged);

    QVERIFY(server.disconnectTransport());
    QCOMPARE(serverChanged.count(), 1);
    QCOMPARE(client.server(), nullptr);
    QVERIFY(!client.connected());

    // Connecting the server again does not bind it again.
    QVERIFY(server.connectTransport(false));
    QCOMPARE(client.server(), nullptr);
    QVERIFY(!client.connectTransport(false));
    QCOMPARE(client.errorString(), QString("server loopback transport doesn't assigned"));
}

void tst_ModbusLoopback::serverRefusesToSend()
{
    ModbusLoopbackServer server;
    QVERIFY(server.connectTransport(false));
    QSignalSpy received(&server, &Transport::bytesReceived);
    const QString text(
        "you can't send bytes through ModbusLoopbackServer, only answer for requests");

    QString error;
    QVERIFY(!server.sendBytes(hex(readFrame), server.target(), nullptr, &error));
    QCOMPARE(error, text);
    QCOMPARE(server.errorCount(), quint64(0));

    QVERIFY(!server.sendBytes(hex(readFrame), server.target(), nullptr, nullptr));
    QCOMPARE(server.errorString(), text);
    QCOMPARE(received.count(), 0);
}

void tst_ModbusLoopback::destroyingTheServerFirst_data()
{
    QTest::addColumn<bool>("clientConnected");
    QTest::addColumn<bool>("inATranslator");

    QTest::newRow("connected client") << true << false;
    QTest::newRow("bound, never connected client") << false << false;
    QTest::newRow("connected client in a translator") << true << true;
}

void tst_ModbusLoopback::destroyingTheServerFirst()
{
    QFETCH(bool, clientConnected);
    QFETCH(bool, inATranslator);

    ModbusTranslator master;
    ModbusTranslator slave;
    auto *server = new ModbusLoopbackServer;
    ModbusLoopbackClient client(*server);
    if (inATranslator) {
        slave.addTransport(*server, true, false);
        master.addTransport(client, true, false);
    }
    QVERIFY(server->connectTransport(false));
    if (clientConnected)
        QVERIFY(client.connectTransport(false));
    QSignalSpy serverChanged(&client, &ModbusLoopbackClient::serverChanged);

    delete server;
    QCOMPARE(serverChanged.count(), 1);
    QCOMPARE(client.server(), nullptr);
    QVERIFY(!client.connected());

    QString error;
    QVERIFY(!client.sendBytes(hex(readFrame), client.target(), nullptr, &error));
    QCOMPARE(error, QString("can't send bytes via disconnected transport"));
    QVERIFY(!client.connectTransport(false));
    QCOMPARE(client.errorString(), QString("server loopback transport doesn't assigned"));
    if (inATranslator) {
        ModbusPacketReg request;
        request.setFunctionCode(DorrikBus::ReadHoldingRegisters);
        request.setRequestRegistersCount(1);
        std::unique_ptr<ModbusPacket> answer(master.sendAndReceive(request));
        QVERIFY(!answer);
    }
}

void tst_ModbusLoopback::sendFromAnotherThread_data()
{
    QTest::addColumn<bool>("throughTranslator");

    QTest::newRow("straight to the link") << false;
    QTest::newRow("through a translator") << true;
}

void tst_ModbusLoopback::sendFromAnotherThread()
{
    QFETCH(bool, throughTranslator);

    // The polling client's road: requests come from a worker thread while the pair and the
    // slave live in this one.
    ModbusTranslator master;
    ModbusTranslator slave;
    ModbusLoopbackServer server;
    ModbusLoopbackClient client(server);
    slave.addTransport(server, true, false);
    master.addTransport(client, true, false);
    QVERIFY(server.connectTransport(false));
    QVERIFY(client.connectTransport(false));
    QThread *answeredIn = nullptr;
    connect(
        &slave, &ModbusTranslator::packetRequestReceived, this,
        [&](ModbusPacket &request, ModbusTranslateOptions &, ModbusPacket **answer) {
            answeredIn = QThread::currentThread();
            auto *reply = new ModbusPacketReg;
            reply->setFunctionCode(request.functionCode());
            reply->setState(DorrikBus::Response);
            reply->setRegBytes(hex("002a"));
            *answer = reply;
        },
        Qt::DirectConnection);

    ModbusBytes answerBytes;
    std::unique_ptr<ModbusPacket> answerPacket;
    bool sent = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        if (throughTranslator) {
            ModbusPacketReg request;
            request.setFunctionCode(DorrikBus::ReadHoldingRegisters);
            request.setRequestRegistersCount(1);
            answerPacket.reset(master.sendAndReceive(request));
            sent = answerPacket != nullptr;
        } else {
            sent = client.sendBytes(hex(readFrame), client.target(), &answerBytes, nullptr);
        }
    }));
    worker->start();
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 5000);

    QVERIFY(sent);
    QCOMPARE(answeredIn, QThread::currentThread());
    if (throughTranslator)
        QCOMPARE(spaced(static_cast<ModbusPacketReg &>(*answerPacket).regBytes()),
                 QByteArray("00 2a"));
    else
        QCOMPARE(spaced(answerBytes), QByteArray("01 03 02 00 2a 39 9b"));
}

QTEST_GUILESS_MAIN(tst_ModbusLoopback)
#include "tst_modbusloopback.moc"
