#include "modbusiptarget.h"
#include "modbustarget.h"
#include "modbustcptarget.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>

using TargetFactory = std::function<std::unique_ptr<Target>()>;
Q_DECLARE_METATYPE(TargetFactory)

class tst_Targets : public QObject
{
    Q_OBJECT
private slots:
    void logText_data();
    void logText();
    void settersEmitOnlyOnChange();
    void notAnAddressStoresNullAddress();
    void equality();
    void copiesHaveNoParent();
    void tcpTargetIsFoundByRuntimeCast();
    void tcpTargetFromConnectedSocket();
};

void tst_Targets::logText_data()
{
    QTest::addColumn<TargetFactory>("make");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("oneLine");

    QObject *noParent = nullptr;
    QTest::newRow("modbus target")
        << TargetFactory([=] { return std::make_unique<ModbusTarget>(noParent); }) << QString()
        << QString();
    QTest::newRow("ip target, parent constructor")
        << TargetFactory([=] { return std::make_unique<ModbusIpTarget>(noParent); })
        << "address: 127.0.0.1; port: 502\n"
        << "address: 127.0.0.1; port: 502; ";
    QTest::newRow("ip target, ipv6 host and port") << TargetFactory([] {
        return std::make_unique<ModbusIpTarget>(QHostAddress("fe80::1"), 1502);
    }) << "address: fe80::1; port: 1502\n"
                                                   << "address: fe80::1; port: 1502; ";
    QTest::newRow("tcp target, parent constructor")
        << TargetFactory([=] { return std::make_unique<ModbusTcpTarget>(noParent); })
        << "address: 127.0.0.1; port: 502; transaction ID: 0\n"
        << "address: 127.0.0.1; port: 502; transaction ID: 0; ";
    QTest::newRow("tcp target, port only")
        << TargetFactory([] { return std::make_unique<ModbusTcpTarget>(5020); })
        << "address: 127.0.0.1; port: 5020; transaction ID: 0\n"
        << "address: 127.0.0.1; port: 5020; transaction ID: 0; ";
}

void tst_Targets::logText()
{
    QFETCH(TargetFactory, make);
    QFETCH(QString, text);
    QFETCH(QString, oneLine);
    const std::unique_ptr<Target> target = make();
    QCOMPARE(target->toString(false), text);
    QCOMPARE(target->toString(true), oneLine);
}

void tst_Targets::settersEmitOnlyOnChange()
{
    ModbusIpTarget target;
    QSignalSpy addressSpy(&target, &ModbusIpTarget::addressChanged);
    QSignalSpy portSpy(&target, &ModbusIpTarget::portChanged);

    target.setPort(502);
    target.setAddress(QHostAddress(QStringLiteral("127.0.0.1")));
    target.setAddressStr(QStringLiteral("127.0.0.1"));
    QCOMPARE(addressSpy.count(), 0);
    QCOMPARE(portSpy.count(), 0);

    QVERIFY(target.setProperty("port", 1502));
    QVERIFY(target.setProperty("address", QStringLiteral("10.1.2.3")));
    QCOMPARE(portSpy.count(), 1);
    QCOMPARE(addressSpy.count(), 1);
    QCOMPARE(target.port(), 1502);
    QCOMPARE(target.address(), QHostAddress(QStringLiteral("10.1.2.3")));
    QCOMPARE(target.property("address").toString(), QStringLiteral("10.1.2.3"));
}

void tst_Targets::notAnAddressStoresNullAddress()
{
    ModbusTcpTarget target;
    QSignalSpy addressSpy(&target, &ModbusIpTarget::addressChanged);
    target.setAddressStr(QStringLiteral("instrument.local"));
    QCOMPARE(addressSpy.count(), 1);
    QVERIFY(target.address().isNull());
    QVERIFY(target.addressStr().isEmpty());
    QCOMPARE(target.toString(), QStringLiteral("address: ; port: 502; transaction ID: 0\n"));
}

void tst_Targets::equality()
{
    ModbusTarget first;
    ModbusTarget second;
    QVERIFY(first == second);
    const Target &firstAsTarget = first;
    const Target &secondAsTarget = second;
    QVERIFY(firstAsTarget != secondAsTarget);
    QVERIFY(firstAsTarget == first);

    QObject parent;
    ModbusIpTarget withParent(&parent);
    ModbusIpTarget withoutParent(QHostAddress::LocalHost, 502);
    QVERIFY(withParent == withoutParent);
    withoutParent.setPort(503);
    QVERIFY(withParent != withoutParent);
    withoutParent.setPort(502);
    withoutParent.setAddressStr(QStringLiteral("127.0.0.2"));
    QVERIFY(withParent != withoutParent);

    QVERIFY(ModbusTcpTarget(1502) == ModbusTcpTarget(QHostAddress::LocalHost, 1502));
    QVERIFY(ModbusTcpTarget(1502) != ModbusTcpTarget(1503));
}

void tst_Targets::copiesHaveNoParent()
{
    QObject parent;
    auto *original = new ModbusTcpTarget(&parent);
    original->setObjectName(QStringLiteral("peer"));
    original->setAddressStr(QStringLiteral("192.168.0.7"));
    original->setPort(1502);

    const ModbusTcpTarget copy(*original);
    QCOMPARE(copy.parent(), nullptr);
    QVERIFY(copy.objectName().isEmpty());
    QVERIFY(copy == *original);
    QCOMPARE(copy.toString(), original->toString());

    const ModbusIpTarget ipCopy(*original);
    QCOMPARE(ipCopy.parent(), nullptr);
    QCOMPARE(ipCopy.addressStr(), QStringLiteral("192.168.0.7"));
    QCOMPARE(ipCopy.port(), 1502);
}

void tst_Targets::tcpTargetIsFoundByRuntimeCast()
{
    ModbusTcpTarget tcp;
    ModbusIpTarget ip;
    const Target *asTarget = &tcp;
    // The meta-object cannot tell the two apart; the run-time type can.
    QCOMPARE(tcp.metaObject()->className(), "ModbusIpTarget");
    QVERIFY(qobject_cast<const ModbusIpTarget *>(asTarget));
    QVERIFY(dynamic_cast<const ModbusTcpTarget *>(asTarget));
    asTarget = &ip;
    QVERIFY(!dynamic_cast<const ModbusTcpTarget *>(asTarget));
}

void tst_Targets::tcpTargetFromConnectedSocket()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    QVERIFY(client.waitForConnected(5000));
    QVERIFY(server.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> accepted(server.nextPendingConnection());
    QVERIFY(accepted);

    QObject parent;
    const std::unique_ptr<ModbusTcpTarget> target(new ModbusTcpTarget(*accepted, &parent));
    QCOMPARE(target->parent(), nullptr);
    QVERIFY(parent.children().isEmpty());
    QCOMPARE(target->address(), QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(target->port(), int(client.localPort()));
    QCOMPARE(target->transactionID(), quint16(0));
}

QTEST_GUILESS_MAIN(tst_Targets)
#include "tst_targets.moc"
