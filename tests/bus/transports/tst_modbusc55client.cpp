#include "modbusc55client.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"

#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <future>
#include <memory>

namespace {

const char *const notOnThisPlatform = "the c55-transport is available only on linux platform";

// Whether a thread other than the caller's could take the link mutex right now.
bool mutexFreeForOthers(ModbusC55Client &client)
{
    return std::async(std::launch::async,
                      [&client] {
                          if (!client.mutex()->tryLock())
                              return false;
                          client.mutex()->unlock();
                          return true;
                      })
        .get();
}

enum class Operation { Send, SendWithAnswer, ReadEvents, BytesOfOwnTarget, BytesOfOtherTarget };

} // namespace

Q_DECLARE_METATYPE(Operation)

class tst_ModbusC55Client : public QObject
{
    Q_OBJECT

private slots:
    void newObject();
    void neverConnects();
    void operationsOnTheClosedLink_data();
    void operationsOnTheClosedLink();
    void lockHoldsOffExchanges();
    void unlockWithoutLock();
    void description();
};

void tst_ModbusC55Client::newObject()
{
    ModbusC55Client client;
    QCOMPARE(client.readTimeout(), 3000);
    QCOMPARE(client.writeTimeout(), 3000);
    QCOMPARE(client.targetsCount(), 1);
    QCOMPARE(client.clientTarget(), client.target());
    QVERIFY(client.hasTarget(client.target()));
    QCOMPARE(client.busType(), DorrikBus::ClientBus);
    QVERIFY(client.eventable());

    std::unique_ptr<ModbusParser> parser(client.createParser(nullptr));
    std::unique_ptr<ModbusDeparser> deparser(client.createDeparser(nullptr));
    QVERIFY(dynamic_cast<ModbusRTUParser *>(parser.get()));
    QVERIFY(dynamic_cast<ModbusRTUDeparser *>(deparser.get()));
}

void tst_ModbusC55Client::neverConnects()
{
    ModbusC55Client client;
    client.setAutoReconnectInterval(10);
    QSignalSpy connectedSpy(&client, &Transport::connectedChanged);

    QVERIFY(!client.connectTransport(false));
    QCOMPARE(client.errorString(), QString(notOnThisPlatform));
    QCOMPARE(client.errorCount(), quint64(1));

    // Retried in the background, each attempt failing the same way without a new report.
    QVERIFY(!client.connectTransport(true));
    QTest::qWait(100);
    QVERIFY(!client.connected());
    QCOMPARE(connectedSpy.count(), 0);
    QCOMPARE(client.errorCount(), quint64(2));
    QVERIFY(client.disconnectTransport());
}

void tst_ModbusC55Client::operationsOnTheClosedLink_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("callerError");
    QTest::addColumn<QString>("ownError");

    QTest::newRow("send") << Operation::Send << "can't send bytes via disconnected transport"
                          << QString();
    QTest::newRow("send and wait for the answer")
        << Operation::SendWithAnswer << "can't send bytes via disconnected transport" << QString();
    QTest::newRow("read events") << Operation::ReadEvents
                                 << "can't receive events via disconnected transport" << QString();
    QTest::newRow("bytes available, own target")
        << Operation::BytesOfOwnTarget << QString() << QString();
    QTest::newRow("bytes available, another target") << Operation::BytesOfOtherTarget << QString()
                                                     << "unknown target, bytes available will be 0";
}

void tst_ModbusC55Client::operationsOnTheClosedLink()
{
    QFETCH(Operation, operation);
    QFETCH(QString, callerError);
    QFETCH(QString, ownError);

    ModbusC55Client client;
    ModbusTarget other;
    QString error;
    ModbusBytes bytes = ModbusBytes::fromHex("010300000001840a");
    const ModbusBytes before = bytes;
    switch (operation) {
    case Operation::Send:
        QVERIFY(!client.sendBytes(bytes, client.target(), nullptr, &error));
        break;
    case Operation::SendWithAnswer: {
        ModbusBytes answer = ModbusBytes::fromHex("ff");
        QVERIFY(!client.sendBytes(bytes, client.target(), &answer, &error));
        QCOMPARE(answer, ModbusBytes::fromHex("ff"));
        break;
    }
    case Operation::ReadEvents:
        QVERIFY(!client.readEventBytes(bytes, &error));
        break;
    case Operation::BytesOfOwnTarget:
        QCOMPARE(client.bytesAvailable(client.target()), qint64(0));
        break;
    case Operation::BytesOfOtherTarget:
        QCOMPARE(client.bytesAvailable(&other), qint64(0));
        break;
    }

    QCOMPARE(error, callerError);
    QCOMPARE(client.errorString(), ownError);
    QCOMPARE(bytes, before);
    QVERIFY(!client.connected());
}

void tst_ModbusC55Client::lockHoldsOffExchanges()
{
    ModbusC55Client client;
    client.lockTransport();
    QVERIFY(!mutexFreeForOthers(client));

    std::atomic<bool> returned{false};
    QString error;
    auto sender = std::async(std::launch::async, [&] {
        const bool sent =
            client.sendBytes(ModbusBytes::fromHex("0103"), client.target(), nullptr, &error);
        returned = true;
        return sent;
    });
    QTest::qWait(100);
    QVERIFY(!returned.load());
    // Another thread cannot end this thread's lock.
    std::async(std::launch::async, [&client] { client.unlockTransport(); }).get();
    QVERIFY(!returned.load());

    client.unlockTransport();
    QVERIFY(!sender.get());
    QCOMPARE(error, QString("can't send bytes via disconnected transport"));
    QVERIFY(mutexFreeForOthers(client));
    QVERIFY(!client.connected());
    QCOMPARE(client.errorCount(), quint64(0));
}

void tst_ModbusC55Client::unlockWithoutLock()
{
    ModbusC55Client client;
    client.unlockTransport();
    QVERIFY(mutexFreeForOthers(client));

    client.lockTransport();
    client.lockTransport();
    client.unlockTransport();
    QVERIFY(!mutexFreeForOthers(client));
    client.unlockTransport();
    client.unlockTransport();
    QVERIFY(mutexFreeForOthers(client));
}

void tst_ModbusC55Client::description()
{
    ModbusC55Client client;
    client.setReadTimeout(250);
    QCOMPARE(client.toString(true), QString("transport: Modbus C55 transport (modbus client); "
                                            "status: disconnected; target: ; "
                                            "timeouts:  (read: 250; write: 3000); "));
    QCOMPARE(client.toString(false), QString("transport: Modbus C55 transport (modbus client)\n"
                                             "status: disconnected\ntarget: \n"
                                             "timeouts:  (read: 250; write: 3000)\n"));
}

QTEST_GUILESS_MAIN(tst_ModbusC55Client)
#include "tst_modbusc55client.moc"
