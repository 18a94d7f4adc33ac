#include "menucontext.h"
#include "menudriver.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "modbusserialclient.h"
#include "ptypair.h"
#include "simulatedinstrument.h"

#include <QFile>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// An instrument on its own pseudo-terminal, as tavrin-sim runs one: stopping it closes the
// terminal the menu has open.
struct SerialInstrument
{
    explicit SerialInstrument(float flowRate)
    {
        instrument.setUnit(1);
        instrument.setRegisters(300720, ModbusBytes::fromFloat(flowRate));
        if (link.isValid())
            serving = instrument.serveSerial(link.portA(), &error);
    }
    PtyLink link;
    SimulatedInstrument instrument;
    bool serving = false;
    QString error;
};

} // namespace

// The whole menu on a serial port whose instrument goes away and comes back under the same
// name (a symbolic link re-pointed, as a udev name or an adapter plugged in again).
class tst_PortLoss : public QObject
{
    Q_OBJECT

private slots:
    void instrumentBackBehindTheSameName();
};

void tst_PortLoss::instrumentBackBehindTheSameName()
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("ttyTAVRIN"));
    auto first = std::make_unique<SerialInstrument>(12.5f);
    QVERIFY2(first->serving, qPrintable(first->error + first->link.errorString()));
    QVERIFY(QFile::link(first->link.portB(), name));

    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    MenuContext *context = menu.context();
    auto *client = qobject_cast<ModbusClient *>(menu.object(QStringLiteral("modbusClient")));
    QVERIFY(client);
    client->setTransport(nullptr);
    context->setDeviceSerialPort(name);
    context->setConnectionType(MenuContext::RS485);
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.evaluate(QStringLiteral("deviceModbus.flowRate.value")) == 12.5; },
        5000));
    QQuickItem *noConnection = menu.item(QStringLiteral("connectionErrorText"));
    QVERIFY(noConnection);
    auto *link = qobject_cast<ModbusSerialClient *>(client->transport());
    QVERIFY(link);

    // Stopped: the link notices the loss and waits for the port to come back.
    first.reset();
    QVERIFY(QFile::remove(name));
    QVERIFY(MenuDriver::waitFor([&] { return !link->connected(); }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return noConnection->isVisible(); }, 10000));
    QCOMPARE(noConnection->property("text").toString(),
             QStringLiteral("No connection with the device"));

    // Started again behind the same name: the values come back by themselves.
    SerialInstrument second(7.25f);
    QVERIFY2(second.serving, qPrintable(second.error + second.link.errorString()));
    QVERIFY(QFile::link(second.link.portB(), name));
    QElapsedTimer back;
    back.start();
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.evaluate(QStringLiteral("deviceModbus.flowRate.value")) == 7.25; },
        5000));
    qInfo("values back %lld ms after the instrument", static_cast<long long>(back.elapsed()));
    QCOMPARE(client->transport(), link);
    QVERIFY(link->connected());
    QVERIFY(evalTrue(menu, QStringLiteral("deviceModbus.connected")));
    QCOMPARE(context->deviceSerialPort(), name);
    QVERIFY(!second.instrument.requests().isEmpty());
}

QTEST_MAIN(tst_PortLoss)
#include "tst_portloss.moc"
