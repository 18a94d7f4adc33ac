#include "localtcp.h"
#include "modbuser.h"
#include "modbuspacketreg.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "modbustranslator.h"
#include "qtcpsocketinvokable.h"

#include <QElapsedTimer>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <memory>
#include <thread>

namespace {

ModbusBytes hex(const QByteArray &text)
{
    return ModbusBytes::fromHex(text);
}

QByteArray spaced(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

// A Modbuser slave on a ModbusTcpServer that listens on a port the system chose. It serves a
// map of holding registers; function 4 reaches it in the holding range as well.
struct SlaveBench
{
    SlaveBench()
    {
        server = new ModbusTcpServer(0);
        slave.translator().addTransport(*server, true, true);
        QObject::connect(
            &slave, &Modbuser::onReadRegisters, &slave,
            [this](quint32 address, quint16 count, ModbusBytes &bytes,
                   ModbusTranslateOptions &options, bool &handled) {
                if (onRequest)
                    onRequest();
                ++handlerCalls;
                if (exceptions.contains(address)) {
                    options.setAnswerExceptionCode(exceptions.value(address));
                    handled = true;
                    return;
                }
                // Left unhandled: no answer goes back.
                if (unanswered.contains(address))
                    return;
                for (quint32 a = address; a < address + count; ++a)
                    bytes.appendReg(registers.value(a));
                handled = true;
            },
            Qt::DirectConnection);
        QObject::connect(
            &slave, &Modbuser::onWriteRegisters, &slave,
            [this](quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &,
                   bool &handled) {
                ++handlerCalls;
                for (int i = 0; i < bytes.regsCount(); ++i)
                    registers[address + quint32(i)] = bytes.getReg(i);
                handled = true;
            },
            Qt::DirectConnection);
        QObject::connect(server, &Transport::bytesReceived, server,
                         [this](const ModbusBytes &bytes, const Target *) { requests << bytes; });
        server->connectTransport(false);
    }

    quint16 port() const { return server->serverPort(); }

    // Connects `peer` to the server; everything that comes back is added to `received`.
    void connectPeer(QTcpSocket &peer, QByteArray &received) const
    {
        peer.connectToHost(QHostAddress::LocalHost, port());
        QObject::connect(&peer, &QIODevice::readyRead, &peer,
                         [&peer, &received] { received += peer.readAll(); });
    }

    ModbusBytes registerBytes(quint32 address, int count) const
    {
        ModbusBytes bytes;
        for (int i = 0; i < count; ++i)
            bytes.appendReg(registers.value(address + quint32(i)));
        return bytes;
    }

    Modbuser slave;
    ModbusTcpServer *server; // owned by the slave's registry
    QMap<quint32, quint16> registers;
    QList<ModbusBytes> requests;
    std::function<void()> onRequest;
    int handlerCalls = 0;
    QMap<quint32, DorrikBus::ExceptionCode> exceptions;
    QSet<quint32> unanswered;
};

// A Modbuser master on a ModbusTcpClient. The client is declared first, so it outlives the
// master that uses it.
struct MasterBench
{
    explicit MasterBench(quint16 port) : client(QHostAddress::LocalHost, port)
    {
        master.setClientTransport(&client);
    }

    ModbusTcpClient client;
    Modbuser master;
};

// A Modbus TCP server played by hand: it accepts connections and answers each request with a
// scripted list of segments, one every `gapMs`.
class ScriptedPeer : public QObject
{
public:
    ScriptedPeer()
    {
        listener.listen(QHostAddress::LocalHost, 0);
        connect(&listener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = listener.nextPendingConnection()) {
                sockets << socket;
                connect(socket, &QIODevice::readyRead, this, [this, socket] {
                    requests << socket->readAll();
                    for (int i = 0; i < segments.size(); ++i) {
                        const QByteArray segment = segments.at(i);
                        QTimer::singleShot(i * gapMs, socket, [socket, segment] {
                            socket->write(segment);
                            socket->flush();
                        });
                    }
                });
            }
        });
    }

    quint16 port() const { return listener.serverPort(); }

    QTcpServer listener;
    QList<QTcpSocket *> sockets;
    QList<QByteArray> segments;
    int gapMs = 0;
    QList<QByteArray> requests;
};

// A read of one holding register at `offset` from unit `unit`, with transaction identifier `tid`.
QByteArray readRequest(quint16 tid, quint16 offset, quint8 unit = 1)
{
    ModbusBytes frame;
    frame.appendUInt16(tid).appendUInt16(0).appendUInt16(6).append(unit).append(quint8(3));
    frame.appendUInt16(offset).appendUInt16(1);
    return frame;
}

QByteArray readReply(quint16 tid, quint16 value, quint8 unit = 1)
{
    ModbusBytes frame;
    frame.appendUInt16(tid).appendUInt16(0).appendUInt16(5).append(unit).append(quint8(3));
    frame.append(quint8(2)).appendUInt16(value);
    return frame;
}

// A Modbus TCP server played by hand that answers reads of one holding register with 0x1100 +
// the register's offset, one request after the other in the order they came, and misbehaves
// as its mode says. It records the transaction identifier of every request.
class MisbehavingPeer : public QObject
{
public:
    enum Mode {
        Normal,
        LateFirstAnswer,
        WrongTransaction,
        WrongFunction,
        WrongUnit,
        StrayAnswerFirst,
        ZeroLengthFirstAnswer
    };

    explicit MisbehavingPeer(Mode mode, int lateMs = 0) : m_mode(mode), m_lateMs(lateMs)
    {
        listener.listen(QHostAddress::LocalHost, 0);
        connect(&listener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = listener.nextPendingConnection()) {
                ++connections;
                if (m_mode == StrayAnswerFirst)
                    socket->write(reply(0x7777, 0xdead));
                connect(socket, &QIODevice::readyRead, this, [this, socket] { onRequest(socket); });
            }
        });
    }

    quint16 port() const { return listener.serverPort(); }

    QTcpServer listener;
    QList<int> transactions;
    int connections = 0;

private:
    static QByteArray reply(quint16 tid, quint16 value, quint8 unit = 1, quint8 function = 3)
    {
        ModbusBytes frame;
        frame.appendUInt16(tid).appendUInt16(0).appendUInt16(5).append(unit).append(function);
        frame.append(quint8(2)).appendUInt16(value);
        return frame;
    }

    void onRequest(QTcpSocket *socket)
    {
        m_pending += socket->readAll();
        while (m_pending.size() >= 12) {
            // Read straight from the buffer: through a copy gcc 12 at -O2 takes the empty array
            // for a possible source and warns of a read past its end.
            const uchar *frame = reinterpret_cast<const uchar *>(m_pending.constData());
            const quint16 tid = qFromBigEndian<quint16>(frame);
            const quint16 value = quint16(0x1100 + qFromBigEndian<quint16>(frame + 8));
            m_pending.remove(0, 12);
            const bool first = transactions.isEmpty();
            transactions << tid;
            QByteArray answer;
            switch (m_mode) {
            case WrongTransaction:
                answer = reply(quint16(tid + 0x100), value);
                break;
            case WrongFunction:
                answer = reply(tid, value, 1, 4);
                break;
            case WrongUnit:
                answer = reply(tid, value, 2);
                break;
            case ZeroLengthFirstAnswer:
                answer = first ? QByteArray::fromHex("000100000000") : reply(tid, value);
                break;
            default:
                answer = reply(tid, value);
                break;
            }
            m_queue << answer;
            if (first && m_mode == LateFirstAnswer) {
                m_holding = true;
                QTimer::singleShot(m_lateMs, socket, [this, socket] {
                    m_holding = false;
                    flush(socket);
                });
            }
            flush(socket);
        }
    }

    // Answers go out in the order of their requests: a held first answer holds the rest.
    void flush(QTcpSocket *socket)
    {
        if (m_holding)
            return;
        for (const QByteArray &answer : std::as_const(m_queue))
            socket->write(answer);
        m_queue.clear();
        socket->flush();
    }

    Mode m_mode;
    int m_lateMs;
    bool m_holding = false;
    QByteArray m_pending;
    QList<QByteArray> m_queue;
};

using MasterCall = std::function<bool(Modbuser &)>;

} // namespace

Q_DECLARE_METATYPE(MasterCall)
Q_DECLARE_METATYPE(MisbehavingPeer::Mode)

class tst_ModbusTcp : public QObject
{
    Q_OBJECT

private slots:
    void newLinksDescribeThemselves();
    void setAddressStrIgnoresText_data();
    void setAddressStrIgnoresText();
    void socketCallsFromAnotherThread();
    void connectToClosedPortRetriesQuietly();
    void translatorRoadOnTheWire();
    void typedReadsAndWrites_data();
    void typedReadsAndWrites();
    void clientReadsOneWholeFrame_data();
    void clientReadsOneWholeFrame();
    void clientDropsStaleBytes();
    void serverCutsFramesByLength_data();
    void serverCutsFramesByLength();
    void answersInOrderWhileAHandlerWaits();
    void clientWakesWhenThePeerCloses();
    void twoPeersGetTwoTargets();
    void refusedPeerAddsNothing();
    void clientReconnectsAfterServerCloses();
    void peerLeavesDuringAnswer_data();
    void peerLeavesDuringAnswer();
    void clientMatchesAnswersToRequests_data();
    void clientMatchesAnswersToRequests();
    void serverClosesOnInvalidLength_data();
    void serverClosesOnInvalidLength();
    void workerReadsEachCallsError();
    void serverTargetsAddedAndRemoved();
};

void tst_ModbusTcp::newLinksDescribeThemselves()
{
    ModbusTcpClient client;
    QCOMPARE(client.targetsCount(), 1);
    QCOMPARE(client.addressStr(), QString("127.0.0.1"));
    QCOMPARE(client.port(), 502);
    QCOMPARE(client.clientTarget(), client.target());
    QCOMPARE(client.toString(true),
             QString("transport: Modbus TCP client (modbus client); status: disconnected; "
                     "target: address: 127.0.0.1; port: 502; transaction ID: 0; ; "
                     "timeouts:  (connect: 1000; disconnect: 1000; read answer: 1000; "
                     "write: 1000); "));

    ModbusTcpServer server;
    QCOMPARE(server.targetsCount(), 0);
    QCOMPARE(server.defaultTarget(), nullptr);
    QCOMPARE(server.toString(false),
             QString("transport: Modbus TCP server (modbus server)\nstatus: disconnected\n"
                     "address: 0.0.0.0; port: 502\n"
                     "timeouts:  (disconnect: 1000; read answer: 1000; write: 1000)\n"
                     "targets [0]:\n"));
}

void tst_ModbusTcp::setAddressStrIgnoresText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("notified");

    QTest::newRow("not an address") << "plc.local"
                                    << "127.0.0.1" << 0;
    QTest::newRow("the same address") << "127.0.0.1"
                                      << "127.0.0.1" << 0;
    QTest::newRow("a new address") << "10.0.0.5"
                                   << "10.0.0.5" << 1;
}

void tst_ModbusTcp::setAddressStrIgnoresText()
{
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(int, notified);

    ModbusTcpClient client;
    QSignalSpy changed(&client, &ModbusTcpClient::addressChanged);
    client.setAddressStr(text);
    QCOMPARE(client.addressStr(), address);
    QCOMPARE(changed.count(), notified);
}

void tst_ModbusTcp::socketCallsFromAnotherThread()
{
    QTcpServer echo;
    QVERIFY(echo.listen(QHostAddress::LocalHost, 0));
    connect(&echo, &QTcpServer::newConnection, this, [&echo] {
        QTcpSocket *peer = echo.nextPendingConnection();
        connect(peer, &QIODevice::readyRead, peer, [peer] { peer->write(peer->readAll()); });
    });
    QThread socketThread;
    socketThread.start();
    auto *socket = new QTcpSocketInvokable;
    socket->moveToThread(&socketThread);

    const bool connected = offThread([&] {
        socket->connectToHost(QHostAddress::LocalHost, echo.serverPort(), QIODevice::ReadWrite);
        return socket->waitForConnected(1000);
    });
    QVERIFY(connected);
    QCOMPARE(socket->peerPort(), echo.serverPort());
    QCOMPARE(socket->peerAddress(), QHostAddress(QHostAddress::LocalHost));
    QVERIFY(socket->localPort() != 0);
    QCOMPARE(socket->localAddress(), QHostAddress(QHostAddress::LocalHost));

    const ModbusBytes frame = hex("000000000006010300000001");
    QVERIFY(offThread([&] { return socket->writeAndWait(frame, 1000, 1000); }));
    QTRY_COMPARE(socket->bytesAvailable(), qint64(frame.size()));
    QCOMPARE(socket->readAll(), frame);

    QTest::ignoreMessage(QtWarningMsg, "this function is not supported in QTcpSocketInvokable");
    QCOMPARE(socket->write(frame), qint64(-1));

    // With its thread stopped nothing can be delivered: the calls give up instead of waiting.
    socketThread.quit();
    socketThread.wait();
    QVERIFY(!socket->waitForReadyRead(10));
    QCOMPARE(socket->bytesAvailable(), qint64(0));
    QVERIFY(socket->readAll().isEmpty());
    // Freed in its own thread, as it finishes.
    socketThread.start();
    socket->deleteLater();
    socketThread.quit();
    socketThread.wait();
}

void tst_ModbusTcp::connectToClosedPortRetriesQuietly()
{
    const quint16 port = freePort();
    ModbusTcpClient client(QHostAddress::LocalHost, port);
    QSignalSpy errors(&client, &ErrObject::error);
    QSignalSpy connectedChanged(&client, &Transport::connectedChanged);

    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!client.connectTransport(true));
    QVERIFY(elapsed.elapsed() < 1000);
    QCOMPARE(client.errorString(), QString("can't connect to: 127.0.0.1, Connection refused"));
    QCOMPARE(errors.count(), 1);

    // Several attempts fail unreported; the one after the port opens succeeds within a period.
    QTest::qWait(700);
    QCOMPARE(errors.count(), 1);
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost, port));
    elapsed.restart();
    QTRY_VERIFY_WITH_TIMEOUT(client.connected(), 1000);
    // Within a few periods of 200 ms, with room for a loaded machine.
    QVERIFY2(elapsed.elapsed() < 700, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(connectedChanged.count(), 1);
}

void tst_ModbusTcp::translatorRoadOnTheWire()
{
    SlaveBench bench;
    bench.registers[400001] = 0x000a;
    bench.registers[400002] = 0x0102;
    ModbusTcpClient client(QHostAddress::LocalHost, bench.port());
    ModbusTranslator master;
    master.addTransport(client, true, false);
    QVERIFY(client.connectTransport(false));
    QByteArray wireAnswer;
    connect(&client, &Transport::bytesReceived, this,
            [&](const ModbusBytes &bytes, const Target *) { wireAnswer = bytes; });
    QSignalSpy sent(&client, &Transport::bytesSent);

    ModbusPacketReg request;
    request.setAddress(1);
    request.setFunctionCode(DorrikBus::ReadHoldingRegisters);
    request.setRequestAddress(0);
    request.setRequestRegistersCount(2);
    std::unique_ptr<ModbusPacket> answer(
        offThread([&] { return master.sendAndReceive(request, client.target()); }));

    QVERIFY2(answer, qPrintable(master.errorString()));
    QCOMPARE(spaced(static_cast<ModbusPacketReg &>(*answer).regBytes()), QByteArray("00 0a 01 02"));
    QCOMPARE(bench.requests.size(), 1);
    QCOMPARE(spaced(bench.requests.at(0)), QByteArray("00 01 00 00 00 06 01 03 00 00 00 02"));
    QCOMPARE(spaced(wireAnswer), QByteArray("00 01 00 00 00 07 01 03 04 00 0a 01 02"));
    // bytesSent reaches the client's own thread, whichever thread sent.
    QTRY_COMPARE(sent.count(), 1);
    QCOMPARE(spaced(sent.at(0).at(0).value<ModbusBytes>()), spaced(bench.requests.at(0)));
}

void tst_ModbusTcp::typedReadsAndWrites_data()
{
    QTest::addColumn<MasterCall>("write");
    QTest::addColumn<int>("writeFunction");
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<MasterCall>("readBack");
    QTest::addColumn<int>("readFunction");

    const quint32 at = 400011;
    QTest::newRow("uint16") << MasterCall([at](Modbuser &m) { return m.writeUInt16(at, 0xbeef); })
                            << 6 << QByteArray("be ef") << MasterCall([at](Modbuser &m) {
                                   quint16 v = 0;
                                   return m.readUInt16(at, v) && v == 0xbeef;
                               })
                            << 3;
    QTest::newRow("int16") << MasterCall([at](Modbuser &m) { return m.writeInt16(at, -2); }) << 6
                           << QByteArray("ff fe") << MasterCall([at](Modbuser &m) {
                                  qint16 v = 0;
                                  return m.readInt16(at, v) && v == -2;
                              })
                           << 3;
    QTest::newRow("uint8") << MasterCall([at](Modbuser &m) { return m.writeUInt8(at, 0x7f); }) << 6
                           << QByteArray("00 7f") << MasterCall([at](Modbuser &m) {
                                  quint16 v = 0;
                                  return m.readRegister(at, v) && v == 0x7f;
                              })
                           << 3;
    QTest::newRow("int8") << MasterCall([at](Modbuser &m) { return m.writeInt8(at, -1); }) << 6
                          << QByteArray("00 ff") << MasterCall([at](Modbuser &m) {
                                 ModbusBytes v;
                                 return m.readRegister(at, v) && v == hex("00ff");
                             })
                          << 3;
    QTest::newRow("uint32") << MasterCall([at](Modbuser &m) { return m.writeUInt(at, 0x12345678); })
                            << 16 << QByteArray("12 34 56 78") << MasterCall([at](Modbuser &m) {
                                   quint32 v = 0;
                                   return m.readUInt32(at, v) && v == 0x12345678;
                               })
                            << 3;
    QTest::newRow("int32") << MasterCall([at](Modbuser &m) { return m.writeInt(at, -2); }) << 16
                           << QByteArray("ff ff ff fe") << MasterCall([at](Modbuser &m) {
                                  qint32 v = 0;
                                  return m.readInt32(at, v) && v == -2;
                              })
                           << 3;
    QTest::newRow("float") << MasterCall([at](Modbuser &m) { return m.writeFloat(at, 1.5f); }) << 16
                           << QByteArray("3f c0 00 00") << MasterCall([at](Modbuser &m) {
                                  float v = 0;
                                  return m.readFloat(at, v) && v == 1.5f;
                              })
                           << 3;
    QTest::newRow("uint64") << MasterCall([at](Modbuser &m) {
        return m.writeUInt64(at, Q_UINT64_C(0x0102030405060708));
    }) << 16 << QByteArray("01 02 03 04 05 06 07 08")
                            << MasterCall([at](Modbuser &m) {
                                   quint64 v = 0;
                                   return m.readUInt64(at, v) &&
                                          v == Q_UINT64_C(0x0102030405060708);
                               })
                            << 3;
    QTest::newRow("int64") << MasterCall([at](Modbuser &m) { return m.writeInt64(at, -1); }) << 16
                           << QByteArray("ff ff ff ff ff ff ff ff")
                           << MasterCall([at](Modbuser &m) {
                                  qint64 v = 0;
                                  return m.readInt64(at, v) && v == -1;
                              })
                           << 3;
    QTest::newRow("double") << MasterCall([at](Modbuser &m) { return m.writeDouble(at, 1.0); })
                            << 16 << QByteArray("3f f0 00 00 00 00 00 00")
                            << MasterCall([at](Modbuser &m) {
                                   double v = 0;
                                   return m.readDouble(at, v) && v == 1.0;
                               })
                            << 3;
    QTest::newRow("double struct")
        << MasterCall([at](Modbuser &m) { return m.writeDoubleStruct(at, 12.5); }) << 16
        << spaced(ModbusBytes::fromDoubleStruct(12.5)) << MasterCall([at](Modbuser &m) {
               double v = 0;
               return m.readDoubleStruct(at, v) && v == 12.5;
           })
        << 3;
    QTest::newRow("ansi string, a character per register") << MasterCall([at](Modbuser &m) {
        return m.writeStringAnsi(at, "AB", true);
    }) << 16 << QByteArray("00 41 00 42") << MasterCall([at](Modbuser &m) {
        QString v;
        return m.readString(at, 2, v) && v == "AB";
    }) << 3;
    QTest::newRow("utf8 string") << MasterCall([at](Modbuser &m) {
        return m.writeStringUtf8(at, QString::fromUtf8("Ок"));
    }) << 16 << spaced(ModbusBytes::fromStringUtf8(QString::fromUtf8("Ок")))
                                 << MasterCall([at](Modbuser &m) {
                                        ModbusBytes v;
                                        return m.readRegisters(at, 2, v) &&
                                               v == ModbusBytes::fromStringUtf8(
                                                        QString::fromUtf8("Ок"));
                                    })
                                 << 3;
    QTest::newRow("registers as a list")
        << MasterCall([at](Modbuser &m) { return m.writeRegisters(at, hex("000100020003")); }) << 16
        << QByteArray("00 01 00 02 00 03") << MasterCall([at](Modbuser &m) {
               ModbusBytesArray v;
               return m.readRegisters(at, 3, v) && v.size() == 3 && v.at(2) == hex("0003");
           })
        << 3;
    QTest::newRow("holding register by offset") << MasterCall([at](Modbuser &m) {
        return m.writeRegister(at, 0x0a0b);
    }) << 6 << QByteArray("0a 0b") << MasterCall([](Modbuser &m) {
        quint16 v = 0;
        return m.readHoldingRegister(10, v) && v == 0x0a0b;
    }) << 3;
    QTest::newRow("input register by offset") << MasterCall([at](Modbuser &m) {
        return m.writeRegister(at, 0x0c0d);
    }) << 6 << QByteArray("0c 0d") << MasterCall([](Modbuser &m) {
        quint16 v = 0;
        return m.readInputRegister(10, v) && v == 0x0c0d;
    }) << 4;
}

void tst_ModbusTcp::typedReadsAndWrites()
{
    QFETCH(MasterCall, write);
    QFETCH(int, writeFunction);
    QFETCH(QByteArray, registers);
    QFETCH(MasterCall, readBack);
    QFETCH(int, readFunction);

    SlaveBench bench;
    MasterBench master(bench.port());
    QVERIFY(master.client.connectTransport(false));

    QVERIFY2(offThread([&] { return write(master.master); }),
             qPrintable(master.master.errorString()));
    const int count = int(registers.count(' ') + 1) / 2;
    QCOMPARE(spaced(bench.registerBytes(400011, count)), registers);
    QVERIFY2(offThread([&] { return readBack(master.master); }),
             qPrintable(master.master.errorString()));

    QCOMPARE(bench.requests.size(), 2);
    QCOMPARE(int(bench.requests.at(0).toUInt8(7)), writeFunction);
    QCOMPARE(int(bench.requests.at(1).toUInt8(7)), readFunction);
    QCOMPARE(bench.slave.errorCount(), quint64(0));
}

void tst_ModbusTcp::clientReadsOneWholeFrame_data()
{
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<bool>("wantAnswer");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("error");

    // The client gives its first request transaction identifier 1.
    const QByteArray reply = "00 01 00 00 00 05 01 03 02 00 2a";
    QTest::newRow("one segment") << QList<QByteArray>{reply} << true << true << reply << QString();
    QTest::newRow("split inside the header")
        << QList<QByteArray>{"00 01 00 00", "00 05 01 03 02 00 2a"} << true << true << reply
        << QString();
    QTest::newRow("split inside the PDU")
        << QList<QByteArray>{"00 01 00 00 00 05 01 03", "02", "00 2a"} << true << true << reply
        << QString();
    QTest::newRow("a second frame behind the answer is left")
        << QList<QByteArray>{reply + " 00 01 00 00 00 05 01 03 02 00 2b"} << true << true << reply
        << QString();
    QTest::newRow("incomplete answer, returned as it came after the time-out")
        << QList<QByteArray>{"00 01 00 00 00 05 01 03"} << true << true
        << QByteArray("00 01 00 00 00 05 01 03") << QString();
    QTest::newRow("no answer") << QList<QByteArray>{} << true << false << QByteArray()
                               << "error sending/receiving bytes: Network operation timed out";
    QTest::newRow("no answer, none wanted")
        << QList<QByteArray>{} << false << false << QByteArray()
        << "error sending/receiving bytes: Network operation timed out";
    QTest::newRow("answer, none wanted")
        << QList<QByteArray>{reply} << false << true << QByteArray() << QString();
}

void tst_ModbusTcp::clientReadsOneWholeFrame()
{
    QFETCH(QList<QByteArray>, segments);
    QFETCH(bool, wantAnswer);
    QFETCH(bool, sent);
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);

    ScriptedPeer peer;
    for (const QByteArray &segment : std::as_const(segments))
        peer.segments << QByteArray::fromHex(segment);
    peer.gapMs = 60;
    ModbusTcpClient client(QHostAddress::LocalHost, peer.port());
    client.setReadAnswerTimeout(400);
    QVERIFY(client.connectTransport(false));

    ModbusBytes reply;
    QString sendError;
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(offThread([&] {
                 return client.sendBytes(hex("000000000006010300000001"), nullptr,
                                         wantAnswer ? &reply : nullptr, &sendError);
             }),
             sent);
    QCOMPARE(spaced(reply), answer);
    QCOMPARE(sendError, error);
    QCOMPARE(client.errorCount(), quint64(0));
    QCOMPARE(peer.requests, QList<QByteArray>{QByteArray::fromHex("000100000006010300000001")});
    // A whole frame is returned as soon as it is complete, not at the time-out.
    if (answer.endsWith("2a"))
        QVERIFY(elapsed.elapsed() < 400);
}

void tst_ModbusTcp::clientDropsStaleBytes()
{
    ScriptedPeer peer;
    peer.segments << hex("0001000000050103020001");
    ModbusTcpClient client(QHostAddress::LocalHost, peer.port());
    QVERIFY(client.connectTransport(false));
    QTRY_COMPARE(peer.sockets.size(), 1);

    // Unsolicited bytes between two exchanges, e.g. a late answer to an earlier request.
    peer.sockets.at(0)->write(hex("00000000000501030200ff"));
    QTRY_COMPARE(client.bytesAvailable(client.target()), qint64(11));

    ModbusBytes reply;
    QVERIFY(offThread([&] {
        return client.sendBytes(hex("000000000006010300000001"), client.target(), &reply, nullptr);
    }));
    QCOMPARE(spaced(reply), QByteArray("00 01 00 00 00 05 01 03 02 00 01"));
    QCOMPARE(client.bytesAvailable(client.target()), qint64(0));
}

void tst_ModbusTcp::serverCutsFramesByLength_data()
{
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("one request, answered with its transaction identifier")
        << QList<QByteArray>{readRequest(7, 0)} << readReply(7, 0x2a);
    QTest::newRow("a request split over two segments")
        << QList<QByteArray>{readRequest(7, 0).left(5), readRequest(7, 0).mid(5)}
        << readReply(7, 0x2a);
    QTest::newRow("two requests in one segment")
        << QList<QByteArray>{readRequest(7, 0) + readRequest(8, 1)}
        << readReply(7, 0x2a) + readReply(8, 0x2b);
    QTest::newRow("a request and the start of the next")
        << QList<QByteArray>{readRequest(7, 0) + readRequest(8, 1).left(3),
                             readRequest(8, 1).mid(3)}
        << readReply(7, 0x2a) + readReply(8, 0x2b);
    QTest::newRow("unit identifier 0xff")
        << QList<QByteArray>{readRequest(9, 0, 0xff)} << readReply(9, 0x2a, 0xff);
    QTest::newRow("a frame with another protocol is not answered")
        << QList<QByteArray>{QByteArray::fromHex("000100050006010300000001") + readRequest(7, 0)}
        << readReply(7, 0x2a);
}

void tst_ModbusTcp::serverCutsFramesByLength()
{
    QFETCH(QList<QByteArray>, segments);
    QFETCH(QByteArray, replies);

    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    bench.registers[400002] = 0x2b;
    QTcpSocket peer;
    QByteArray received;
    bench.connectPeer(peer, received);
    QTRY_COMPARE(bench.server->targetsCount(), 1);

    for (const QByteArray &segment : std::as_const(segments)) {
        peer.write(segment);
        peer.flush();
        // Each segment reaches the server in a read of its own.
        QTest::qWait(50);
    }
    QTRY_COMPARE(spaced(received), spaced(replies));
    QTest::qWait(50);
    QCOMPARE(spaced(received), spaced(replies));
}

void tst_ModbusTcp::answersInOrderWhileAHandlerWaits()
{
    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    bench.registers[400002] = 0x2b;
    QTcpSocket peer;
    QByteArray received;
    bench.connectPeer(peer, received);
    QTRY_COMPARE(bench.server->targetsCount(), 1);
    // The second request arrives while the first one's handler runs the event loop.
    bool first = true;
    bench.onRequest = [&] {
        if (!first)
            return;
        first = false;
        peer.write(readRequest(8, 1));
        peer.flush();
        QTest::qWait(100);
    };

    peer.write(readRequest(7, 0));
    peer.flush();
    QTRY_COMPARE(spaced(received), spaced(readReply(7, 0x2a) + readReply(8, 0x2b)));
    QCOMPARE(bench.handlerCalls, 2);
}

void tst_ModbusTcp::clientWakesWhenThePeerCloses()
{
    QTcpServer closer;
    QVERIFY(closer.listen(QHostAddress::LocalHost, 0));
    connect(&closer, &QTcpServer::newConnection, this, [&closer] {
        QTcpSocket *socket = closer.nextPendingConnection();
        connect(socket, &QIODevice::readyRead, socket, [socket] {
            socket->readAll();
            socket->disconnectFromHost();
        });
    });
    ModbusTcpClient client(QHostAddress::LocalHost, closer.serverPort());
    client.setAutoReconnect(false);
    client.setReadAnswerTimeout(3000);
    QVERIFY(client.connectTransport(false));

    ModbusBytes reply;
    QString error;
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!offThread([&] {
        return client.sendBytes(hex("000000000006010300000001"), nullptr, &reply, &error);
    }));
    // The loss ends the wait; the read time-out does not have to pass.
    QVERIFY(elapsed.elapsed() < 2000);
    QCOMPARE(error,
             QString("error sending/receiving bytes: The remote host closed the connection"));
    QVERIFY(reply.isEmpty());
}

void tst_ModbusTcp::twoPeersGetTwoTargets()
{
    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    bench.registers[400002] = 0x2b;
    QSignalSpy added(bench.server, &Transport::targetAdded);
    QSignalSpy removed(bench.server, &Transport::targetRemoved);
    QTcpSocket first, second;
    first.connectToHost(QHostAddress::LocalHost, bench.port());
    second.connectToHost(QHostAddress::LocalHost, bench.port());
    QTRY_COMPARE(bench.server->targetsCount(), 2);
    QCOMPARE(added.count(), 2);
    QList<const ModbusTcpTarget *> targets;
    for (const QList<QVariant> &args : std::as_const(added))
        targets << static_cast<const ModbusTcpTarget *>(args.at(0).value<const Target *>());
    if (targets.at(0)->port() != first.localPort())
        targets.swapItemsAt(0, 1);
    const QString description = bench.server->toString(false);
    for (int i = 0; i < 2; ++i) {
        QTcpSocket &peer = i == 0 ? first : second;
        QVERIFY(bench.server->hasTarget(targets.at(i)));
        QCOMPARE(targets.at(i)->addressStr(), QString("127.0.0.1"));
        QCOMPARE(targets.at(i)->port(), int(peer.localPort()));
        QVERIFY2(
            description.contains(QString(": address: 127.0.0.1; port: %1; transaction ID: 0; \n")
                                     .arg(peer.localPort())),
            qPrintable(description));
    }
    QVERIFY(description.contains("targets [2]:\n  target 0: "));

    QByteArray firstReceived, secondReceived;
    connect(&first, &QIODevice::readyRead, this, [&] { firstReceived += first.readAll(); });
    connect(&second, &QIODevice::readyRead, this, [&] { secondReceived += second.readAll(); });
    first.write(readRequest(1, 0));
    second.write(readRequest(2, 1));
    QTRY_COMPARE(spaced(firstReceived), spaced(readReply(1, 0x2a)));
    QTRY_COMPARE(spaced(secondReceived), spaced(readReply(2, 0x2b)));

    first.disconnectFromHost();
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).value<const Target *>(), targets.at(0));
    QCOMPARE(bench.server->targetsCount(), 1);
    QVERIFY(bench.server->connected());
    QCOMPARE(bench.server->errorCount(), quint64(0));
}

void tst_ModbusTcp::refusedPeerAddsNothing()
{
    SlaveBench bench;
    QSignalSpy added(bench.server, &Transport::targetAdded);
    QString offered;
    connect(
        bench.server, &ModbusTcpServer::newClientConnection, this,
        [&](ModbusTcpTarget *target, bool &accept) {
            offered = target->addressStr();
            accept = false;
        },
        Qt::DirectConnection);
    QTcpSocket peer;
    QSignalSpy closed(&peer, &QAbstractSocket::disconnected);
    peer.connectToHost(QHostAddress::LocalHost, bench.port());

    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(offered, QString("127.0.0.1"));
    QCOMPARE(added.count(), 0);
    QCOMPARE(bench.server->targetsCount(), 0);
    QCOMPARE(bench.server->errorCount(), quint64(0));
}

void tst_ModbusTcp::clientReconnectsAfterServerCloses()
{
    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    // The same port after the server listens again.
    bench.server->setPort(bench.port());
    MasterBench master(bench.port());
    QVERIFY(master.client.connectTransport(false));
    QTRY_COMPARE(bench.server->targetsCount(), 1);
    QSignalSpy errors(&master.client, &ErrObject::error);

    QVERIFY(bench.server->disconnectTransport());
    QTRY_VERIFY(!master.client.connected());
    QCOMPARE(errors.count(), 1);
    QCOMPARE(master.client.errorString(),
             QString("socket has been disconnected: The remote host closed the connection"));

    QVERIFY(bench.server->connectTransport(false));
    QTRY_VERIFY_WITH_TIMEOUT(master.client.connected(), 2000);
    quint16 value = 0;
    QVERIFY(offThread([&] { return master.master.readUInt16(400001, value); }));
    QCOMPARE(value, quint16(0x2a));
    QCOMPARE(errors.count(), 1);
}

void tst_ModbusTcp::peerLeavesDuringAnswer_data()
{
    QTest::addColumn<int>("waitInHandlerMs");

    QTest::newRow("the server's thread waits while the answer is made") << 100;
    QTest::newRow("the answer is written to a closed peer") << 0;
}

void tst_ModbusTcp::peerLeavesDuringAnswer()
{
    QFETCH(int, waitInHandlerMs);

    SlaveBench bench;
    QSignalSpy removed(bench.server, &Transport::targetRemoved);
    auto *peer = new QTcpSocket;
    peer->connectToHost(QHostAddress::LocalHost, bench.port());
    QTRY_COMPARE(bench.server->targetsCount(), 1);
    bench.onRequest = [&] {
        peer->abort();
        if (waitInHandlerMs > 0)
            QTest::qWait(waitInHandlerMs);
    };
    peer->write(readRequest(3, 0));
    peer->flush();

    QTRY_COMPARE(removed.count(), 1);
    QTRY_COMPARE(bench.requests.size(), 1);
    QCOMPARE(bench.server->targetsCount(), 0);
    QVERIFY(bench.server->connected());
    QCOMPARE(bench.server->errorCount(), quint64(0));
    delete peer;
    // The released target and socket are freed here, after the answer is over.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_ModbusTcp::clientMatchesAnswersToRequests_data()
{
    QTest::addColumn<MisbehavingPeer::Mode>("mode");
    QTest::addColumn<QList<bool>>("results");
    QTest::addColumn<QList<int>>("values"); // 0xffff: left unchanged
    QTest::addColumn<QStringList>("errors");

    const QString timeout = QStringLiteral(
        "error sending/receiving bytes: Network operation timed out  (Transporter; )");
    const QString function =
        QStringLiteral("answer's function code 4 doesn't match the request's 3");
    const QString unit = QStringLiteral("answer came from unit 2, the request was sent to unit 1");
    const QString length = QStringLiteral("error sending/receiving bytes: answer with an invalid "
                                          "MBAP length, connection reset  (Transporter; )");

    QTest::newRow("well-behaved") << MisbehavingPeer::Normal << QList<bool>{true, true}
                                  << QList<int>{0x1100, 0x1101} << QStringList{"", ""};
    QTest::newRow("late first answer: the second read gets its own")
        << MisbehavingPeer::LateFirstAnswer << QList<bool>{false, true}
        << QList<int>{0xffff, 0x1101} << QStringList{timeout, ""};
    QTest::newRow("wrong transaction id: dropped until the time-out")
        << MisbehavingPeer::WrongTransaction << QList<bool>{false, false}
        << QList<int>{0xffff, 0xffff} << QStringList{timeout, timeout};
    QTest::newRow("wrong function code")
        << MisbehavingPeer::WrongFunction << QList<bool>{false, false} << QList<int>{0xffff, 0xffff}
        << QStringList{function, function};
    QTest::newRow("wrong unit") << MisbehavingPeer::WrongUnit << QList<bool>{false, false}
                                << QList<int>{0xffff, 0xffff} << QStringList{unit, unit};
    QTest::newRow("stray answer before the request")
        << MisbehavingPeer::StrayAnswerFirst << QList<bool>{true, true}
        << QList<int>{0x1100, 0x1101} << QStringList{"", ""};
    QTest::newRow("MBAP length 0: failed, then reconnected")
        << MisbehavingPeer::ZeroLengthFirstAnswer << QList<bool>{false, true}
        << QList<int>{0xffff, 0x1101} << QStringList{length, ""};
}

void tst_ModbusTcp::clientMatchesAnswersToRequests()
{
    QFETCH(MisbehavingPeer::Mode, mode);
    QFETCH(QList<bool>, results);
    QFETCH(QList<int>, values);
    QFETCH(QStringList, errors);

    // Shortened from the usual second: the late answer comes half the time-out after it.
    MisbehavingPeer peer(mode, 600);
    MasterBench bench(peer.port());
    bench.client.setReadAnswerTimeout(400);
    QVERIFY(bench.client.connectTransport(false));
    QTRY_COMPARE(peer.connections, 1);

    QList<bool> gotResults;
    QList<int> gotValues;
    QStringList gotErrors;
    for (quint16 offset = 0; offset < 2; ++offset) {
        if (offset == 1 && mode == MisbehavingPeer::ZeroLengthFirstAnswer) {
            QTRY_COMPARE(peer.connections, 2);
            QTRY_VERIFY(bench.client.connected());
        }
        quint16 value = 0xffff;
        QString error;
        gotResults << offThread([&] {
            const bool ok = bench.master.readHoldingRegister(offset, value);
            // Read at once on the calling thread, as the polling client does.
            error = ok ? QString() : bench.master.errorString();
            return ok;
        });
        gotValues << value;
        gotErrors << error;
    }
    QCOMPARE(gotResults, results);
    QCOMPARE(gotValues, values);
    QCOMPARE(gotErrors, errors);
    QCOMPARE(peer.transactions, QList<int>({1, 2}));
}

void tst_ModbusTcp::serverClosesOnInvalidLength_data()
{
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<bool>("closed");

    QTest::newRow("length 0") << QByteArray("00 05 00 00 00 00") << true;
    QTest::newRow("length 1") << QByteArray("00 05 00 00 00 01 01") << true;
    QTest::newRow("length 255") << QByteArray("00 05 00 00 00 ff 01 03 00 00 00 01") << true;
    QTest::newRow("garbage") << QByteArray(QByteArray(300, '\xff').toHex()) << true;
    QTest::newRow("protocol id 1: dropped, connection kept")
        << QByteArray("00 05 00 01 00 06 01 03 00 00 00 01") << false;
}

void tst_ModbusTcp::serverClosesOnInvalidLength()
{
    QFETCH(QByteArray, bad);
    QFETCH(bool, closed);

    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    QTcpSocket peer;
    QTcpSocket bystander;
    QByteArray received;
    bench.connectPeer(peer, received);
    bystander.connectToHost(QHostAddress::LocalHost, bench.port());
    QTRY_COMPARE(bench.server->targetsCount(), 2);

    peer.write(QByteArray::fromHex(bad));
    peer.flush();
    QTest::qWait(50);
    peer.write(readRequest(7, 0));
    peer.flush();
    if (closed) {
        QTRY_COMPARE(peer.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(received, QByteArray());
        QTRY_COMPARE(bench.server->targetsCount(), 1);
    } else {
        QTRY_COMPARE(spaced(received), spaced(readReply(7, 0x2a)));
        QCOMPARE(bench.server->targetsCount(), 2);
    }
    QVERIFY(bench.server->connected());

    // Other connections, old and new, are served as before.
    QTcpSocket newcomer;
    newcomer.connectToHost(QHostAddress::LocalHost, bench.port());
    QTRY_COMPARE(newcomer.state(), QAbstractSocket::ConnectedState);
    for (QTcpSocket *other : {&bystander, &newcomer}) {
        QByteArray answer;
        connect(other, &QIODevice::readyRead, this, [&] { answer += other->readAll(); });
        other->write(readRequest(8, 0));
        QTRY_COMPARE(spaced(answer), spaced(readReply(8, 0x2a)));
        disconnect(other, nullptr, this, nullptr);
    }
}

void tst_ModbusTcp::workerReadsEachCallsError()
{
    SlaveBench bench;
    bench.exceptions[400001] = DorrikBus::IllegalDataAddress;
    bench.unanswered << 400002;
    MasterBench master(bench.port());
    master.client.setReadAnswerTimeout(300);
    QVERIFY(master.client.connectTransport(false));

    QStringList texts;
    QList<bool> results = offThread([&] {
        QList<bool> ok;
        quint16 value = 0;
        ok << master.master.readHoldingRegister(0, value);
        texts << master.master.errorString();
        ok << master.master.readHoldingRegister(1, value);
        texts << master.master.errorString();
        return ok;
    });
    QCOMPARE(results, QList<bool>({false, false}));
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts.at(0).startsWith("received exception packet: "), qPrintable(texts.at(0)));
    QVERIFY2(texts.at(0).contains("exception code: " +
                                  DorrikBus::exceptionCodeStr(DorrikBus::IllegalDataAddress)),
             qPrintable(texts.at(0)));
    QCOMPARE(
        texts.at(1),
        QString("error sending/receiving bytes: Network operation timed out  (Transporter; )"));
    // The owner's thread still gets both, in order, by the error signal.
    QTRY_COMPARE(master.master.errorString(), texts.at(1));
}

void tst_ModbusTcp::serverTargetsAddedAndRemoved()
{
    SlaveBench bench;
    bench.registers[400001] = 0x2a;
    ModbusTcpServer &server = *bench.server;
    QList<const Target *> added;
    QList<const Target *> removed;
    connect(&server, &Transport::targetAdded, this, [&](const Target *t) { added << t; });
    connect(&server, &Transport::targetRemoved, this, [&](const Target *t) { removed << t; });
    QTcpSocket peer;
    QByteArray received;
    bench.connectPeer(peer, received);
    QTRY_COMPARE(server.targetsCount(), 1);

    // A target of the server's own for the connected peer's address and port.
    auto *own = new ModbusTcpTarget(QHostAddress(QHostAddress::LocalHost), peer.localPort());
    QVERIFY(server.addTarget(own));
    QCOMPARE(server.targetsCount(), 2);
    QVERIFY(server.hasTarget(own));
    QCOMPARE(added.count(), 2);
    QVERIFY(server.toString(true).contains("targets [2]:; "));
    QVERIFY(!server.addTarget(own));
    QCOMPARE(server.errorString(), QString("also have this target"));
    QCOMPARE(server.targetsCount(), 2);

    // Sent to the own target, the bytes reach the peer with that address and port.
    QVERIFY(server.sendBytes(hex("0102"), own));
    QTRY_COMPARE(spaced(received), QByteArray("01 02"));
    received.clear();

    ModbusTcpTarget stranger(QHostAddress(QHostAddress::LocalHost), 1);
    QVERIFY(!server.removeTarget(&stranger));
    QCOMPARE(server.errorString(), QString("don't have this target"));
    QVERIFY(server.removeTarget(own));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(server.targetsCount(), 1);
    QVERIFY(!server.hasTarget(own));
    // The peer itself is still served.
    peer.write(readRequest(3, 0));
    QTRY_COMPARE(spaced(received), spaced(readReply(3, 0x2a)));

    // A peer's own target takes its connection along.
    auto *peerTarget =
        const_cast<ModbusTcpTarget *>(dynamic_cast<const ModbusTcpTarget *>(added.at(0)));
    QVERIFY(peerTarget);
    QVERIFY(server.removeTarget(peerTarget));
    QCOMPARE(server.targetsCount(), 0);
    QCOMPARE(removed.count(), 2);
    QTRY_COMPARE(peer.state(), QAbstractSocket::UnconnectedState);
}

QTEST_MAIN(tst_ModbusTcp)
#include "tst_modbustcp.moc"
