#include "fakeusbbackend.h"
#include "modbuslibusbclient.h"
#include "usbbulkdevice.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

// The USB link against a scripted bus: which device and endpoints it takes, what goes over the
// wire in one exchange, which failures close the link and bring it back, and the event reads.
// Last, the real libusb backend on a machine without the instrument.
class tst_ModbusLibusbClient : public QObject
{
    Q_OBJECT

private slots:
    void opensTheRightDevice_data();
    void opensTheRightDevice();
    void connectFailures_data();
    void connectFailures();
    void reconnectsWhenTheInstrumentAppears();
    void endpointChoice_data();
    void endpointChoice();
    void endpointsOfAnInterface_data();
    void endpointsOfAnInterface();
    void exchange();
    void exchangeFailures_data();
    void exchangeFailures();
    void eventReads_data();
    void eventReads();
    void disconnect_data();
    void disconnect();
    void targetsPropertiesAndTexts();
    void deviceList();
    void realBackendWithoutDevice();
};

namespace {

const QString NotFound =
    QStringLiteral("error opening usb device: open libusb device failed: device not found");

// A link on a fresh scripted bus. Event polls stay off unless a test turns them on: they would
// interleave with the exchange's calls.
struct UsbLink
{
    FakeUsbBackend *usb = nullptr;
    std::unique_ptr<ModbusLibusbClient> client;

    UsbLink()
    {
        auto backend = std::make_unique<FakeUsbBackend>();
        usb = backend.get();
        client = std::make_unique<ModbusLibusbClient>(std::move(backend));
        client->setEventsCheckInterval(3600 * 1000);
        client->setAutoReconnectInterval(10);
    }
};

// "A1" an instrument with that serial number; "|noserial" one without a serial-number string;
// "|otherid", "|noconfig", "|closed": another product id, no configuration, refuses to open.
FakeUsbBackend::Device deviceFrom(const QByteArray &entry)
{
    const qsizetype bar = entry.lastIndexOf('|');
    const QByteArray flag = bar < 0 ? QByteArray() : entry.mid(bar + 1);
    FakeUsbBackend::Device device;
    device.serialNumber = bar < 0 ? entry : entry.left(bar);
    if (flag == "noserial")
        device.serialNumber = QByteArray();
    else if (flag == "otherid")
        device.productId = 0x4002;
    else if (flag == "noconfig")
        device.configurationsCount = 0;
    else if (flag == "closed")
        device.opens = false;
    return device;
}

QList<FakeUsbBackend::InterfaceInfo> interfaceFrom(int number, const QByteArray &hex)
{
    FakeUsbBackend::InterfaceInfo info;
    info.number = number;
    for (char c : QByteArray::fromHex(hex))
        info.endpoints.append(quint8(c));
    return {info};
}

QString hexOf(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

void tst_ModbusLibusbClient::opensTheRightDevice_data()
{
    QTest::addColumn<QList<QByteArray>>("devices");
    QTest::addColumn<QString>("serialNumber");
    QTest::addColumn<bool>("strict");
    QTest::addColumn<int>("opened"); // index of the device taken, -1 none
    QTest::addColumn<QString>("serialAfter");

    using L = QList<QByteArray>;
    QTest::newRow("empty number takes the first instrument and fills its number in")
        << L{"A1", "B2"} << "" << true << 0 << "A1";
    QTest::newRow("strict number picks its device") << L{"A1", "B2"} << "B2" << true << 1 << "B2";
    QTest::newRow("strict number nobody has") << L{"A1"} << "ZZ" << true << -1 << "ZZ";
    QTest::newRow("relaxed number nobody has takes any instrument")
        << L{"A1"} << "ZZ" << false << 0 << "A1";
    QTest::newRow("relaxed number still prefers its device")
        << L{"A1", "B2"} << "B2" << false << 1 << "B2";
    QTest::newRow("relaxed number on an empty bus") << L{} << "ZZ" << false << -1 << "ZZ";
    QTest::newRow("other product id skipped") << L{"A1|otherid", "B2"} << "" << true << 1 << "B2";
    QTest::newRow("device without configurations skipped")
        << L{"A1|noconfig", "B2"} << "" << true << 1 << "B2";
    QTest::newRow("device that does not open skipped")
        << L{"A1|closed", "B2"} << "" << true << 1 << "B2";
    QTest::newRow("serial number trimmed and cut at a zero byte")
        << L{QByteArray(" S9 \0xx", 7)} << "S9" << true << 0 << "S9";
    QTest::newRow("device without serial string, empty number")
        << L{"|noserial"} << "" << true << 0 << "";
    QTest::newRow("device without serial string, strict number")
        << L{"|noserial"} << "A1" << true << -1 << "A1";
}

void tst_ModbusLibusbClient::opensTheRightDevice()
{
    QFETCH(QList<QByteArray>, devices);
    QFETCH(QString, serialNumber);
    QFETCH(bool, strict);
    QFETCH(int, opened);
    QFETCH(QString, serialAfter);

    UsbLink link;
    for (const QByteArray &entry : std::as_const(devices))
        link.usb->addDevice(deviceFrom(entry));
    link.client->setSerialNumber(serialNumber);
    link.client->setStrictSerialNumber(strict);
    link.client->setAutoReconnect(false);
    QSignalSpy serialSpy(link.client.get(), &ModbusLibusbClient::serialNumberChanged);

    QCOMPARE(link.client->connectTransport(false), opened >= 0);
    QCOMPARE(link.client->connected(), opened >= 0);
    // Every device tried and not taken was closed again.
    QCOMPARE(link.usb->openDevices(), opened >= 0 ? QList<int>{opened} : QList<int>{});
    QCOMPARE(link.client->serialNumber(), serialAfter);
    QCOMPARE(serialSpy.count(), serialAfter != serialNumber ? 1 : 0);
    if (opened < 0)
        QCOMPARE(link.client->errorString(), NotFound);
    else
        QVERIFY(link.usb->calls().contains("config 1"));
}

void tst_ModbusLibusbClient::connectFailures_data()
{
    QTest::addColumn<bool>("noDevice");
    QTest::addColumn<bool>("scanFails");
    QTest::addColumn<int>("configResult");
    QTest::addColumn<int>("interfaceNumber");
    QTest::addColumn<QByteArray>("endpoints");
    QTest::addColumn<QString>("error");

    const QString prefix = QStringLiteral("error opening usb device: ");
    QTest::newRow("no device") << true << false << 0 << 0 << QByteArray("810182") << NotFound;
    QTest::newRow("bus cannot be read")
        << false << true << 0 << 0 << QByteArray("810182") << NotFound;
    QTest::newRow("configuration refused")
        << false << false << -5 << 0 << QByteArray("810182")
        << prefix + "setConfiguration failed, error: -5 (fake error -5)";
    QTest::newRow("one IN endpoint")
        << false << false << 0 << 0 << QByteArray("8101")
        << prefix + "interface 0 has 1 IN and 1 OUT endpoints, 2 IN and 1 OUT are needed";
    QTest::newRow("no OUT endpoint")
        << false << false << 0 << 0 << QByteArray("8182")
        << prefix + "interface 0 has 2 IN and 0 OUT endpoints, 2 IN and 1 OUT are needed";
    QTest::newRow("no endpoints")
        << false << false << 0 << 0 << QByteArray()
        << prefix + "interface 0 has 0 IN and 0 OUT endpoints, 2 IN and 1 OUT are needed";
    QTest::newRow("no interface 0")
        << false << false << 0 << 1 << QByteArray("810182")
        << prefix + "usb_find_interface failed: interface doesn't exist";
}

void tst_ModbusLibusbClient::connectFailures()
{
    QFETCH(bool, noDevice);
    QFETCH(bool, scanFails);
    QFETCH(int, configResult);
    QFETCH(int, interfaceNumber);
    QFETCH(QByteArray, endpoints);
    QFETCH(QString, error);

    UsbLink link;
    if (!noDevice) {
        FakeUsbBackend::Device device = deviceFrom("A1");
        device.setConfigurationResult = configResult;
        device.interfaces = interfaceFrom(interfaceNumber, endpoints);
        link.usb->addDevice(device);
    }
    link.usb->setScanFails(scanFails);
    QSignalSpy serialSpy(link.client.get(), &ModbusLibusbClient::serialNumberChanged);

    QVERIFY(!link.client->connectTransport(true));
    QCOMPARE(link.client->errorString(), error);
    QCOMPARE(link.usb->openHandles(), 0);
    // A device that could not serve leaves no serial number behind.
    QCOMPARE(serialSpy.count(), 0);

    // Attempts go on by themselves; the error is reported once, not at every attempt.
    QTRY_VERIFY_WITH_TIMEOUT(link.usb->scans() >= 4, 2000);
    QVERIFY(!link.client->connected());
    QCOMPARE(link.client->errorCount(), quint64(1));
    QCOMPARE(link.usb->openHandles(), 0);
}

void tst_ModbusLibusbClient::reconnectsWhenTheInstrumentAppears()
{
    UsbLink link;
    QVERIFY(!link.client->connectTransport(true));
    QTRY_VERIFY_WITH_TIMEOUT(link.usb->scans() >= 2, 2000);

    link.usb->addInstrument("A7");
    QTRY_VERIFY_WITH_TIMEOUT(link.client->connected(), 2000);
    QCOMPARE(link.client->serialNumber(), QStringLiteral("A7"));
}

void tst_ModbusLibusbClient::endpointChoice_data()
{
    QTest::addColumn<QByteArray>("endpoints"); // interface 0, descriptor order
    QTest::addColumn<int>("readEndpoint");
    QTest::addColumn<int>("writeEndpoint");
    QTest::addColumn<int>("eventEndpoint");

    QTest::newRow("instrument layout") << QByteArray("810182") << 0x81 << 0x01 << 0x82;
    QTest::newRow("OUT first, INs in descriptor order")
        << QByteArray("028381") << 0x83 << 0x02 << 0x81;
    QTest::newRow("two OUTs, three INs") << QByteArray("0181028283") << 0x81 << 0x01 << 0x82;
}

void tst_ModbusLibusbClient::endpointChoice()
{
    QFETCH(QByteArray, endpoints);
    QFETCH(int, readEndpoint);
    QFETCH(int, writeEndpoint);
    QFETCH(int, eventEndpoint);

    UsbLink link;
    FakeUsbBackend::Device device = deviceFrom("A1");
    device.interfaces = interfaceFrom(0, endpoints);
    link.usb->addDevice(device);
    QVERIFY(link.client->connectTransport(false));

    link.usb->queueRead(readEndpoint, QByteArray::fromHex("aabb"));
    link.usb->queueRead(readEndpoint, QByteArray::fromHex("0103"));
    ModbusBytes answer;
    QVERIFY(link.client->sendBytes(ModbusBytes(QByteArray::fromHex("0a0b")), link.client->target(),
                                   &answer, nullptr));
    QCOMPARE(answer.toHex(), QByteArray("0103"));
    const QStringList calls = link.usb->calls();
    QVERIFY2(calls.contains(QStringLiteral("write %1 0a0b 3000").arg(hexOf(writeEndpoint))),
             qPrintable(calls.join(" | ")));

    link.usb->queueRead(eventEndpoint, QByteArray::fromHex("0203"));
    ModbusBytes events;
    QVERIFY(link.client->readEventBytes(events, nullptr));
    QCOMPARE(events.toHex(), QByteArray("0203"));
    QCOMPARE(link.usb->calls().last(), QStringLiteral("read %1 512 1").arg(hexOf(eventEndpoint)));
}

void tst_ModbusLibusbClient::endpointsOfAnInterface_data()
{
    QTest::addColumn<int>("claimed"); // -1: none
    QTest::addColumn<int>("asked");
    QTest::addColumn<QList<int>>("in");
    QTest::addColumn<QList<int>>("out");

    QTest::newRow("interface 1 claimed") << 1 << 1 << QList<int>{0x83} << QList<int>{0x02};
    QTest::newRow("nothing claimed") << -1 << 1 << QList<int>{0x83} << QList<int>{0x02};
    QTest::newRow("interface 0 claimed, interface 1 asked")
        << 0 << 1 << QList<int>{0x83} << QList<int>{0x02};
    QTest::newRow("interface 1 claimed, interface 0 asked")
        << 1 << 0 << QList<int>{0x81, 0x82} << QList<int>{0x01};
}

void tst_ModbusLibusbClient::endpointsOfAnInterface()
{
    QFETCH(int, claimed);
    QFETCH(int, asked);
    QFETCH(QList<int>, in);
    QFETCH(QList<int>, out);

    auto backend = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend::Device device = deviceFrom("A1");
    // Interface 1 has two alternate settings with endpoints of their own.
    device.interfaces << FakeUsbBackend::InterfaceInfo{1, 0, {0x83, 0x02}}
                      << FakeUsbBackend::InterfaceInfo{1, 1, {0x84, 0x03}};
    backend->addDevice(device);
    UsbBulkDevice usb(std::move(backend));
    QVERIFY(usb.open(0x9812, 0x4001, 1, QString()));
    if (claimed >= 0)
        QVERIFY(usb.selectInterface(claimed));

    QCOMPARE(usb.inEndpoints(asked), in);
    QCOMPARE(usb.outEndpoints(asked), out);
    QCOMPARE(usb.errorString(), QString());
}

void tst_ModbusLibusbClient::exchange()
{
    UsbLink link;
    link.usb->addInstrument("A1");
    QVERIFY(link.client->connectTransport(false));
    link.client->setReadTimeout(250);
    link.client->setWriteTimeout(120);
    QSignalSpy receivedSpy(link.client.get(), &Transport::bytesReceived);

    // A stale answer waits from before; the answer then comes in two transfers.
    link.usb->queueRead(0x81, QByteArray::fromHex("ee"));
    link.usb->queueRead(0x81, QByteArray::fromHex("010302"));
    link.usb->queueRead(0x81, QByteArray::fromHex("00ff"));
    link.usb->clearCalls();
    ModbusBytes answer = ModbusBytes(QByteArray::fromHex("99"));
    QVERIFY(link.client->sendBytes(ModbusBytes(QByteArray::fromHex("010300000001")),
                                   link.client->target(), &answer, nullptr));

    // Drain, then write, then one read: the answer is the first transfer alone.
    QCOMPARE(link.usb->calls(), (QStringList{"claim 0", "read 81 512 1",
                                             "write 01 010300000001 120", "read 81 512 250"}));
    QCOMPARE(answer.toHex(), QByteArray("010302"));
    QCOMPARE(receivedSpy.count(), 1);
    QCOMPARE(receivedSpy.at(0).at(0).value<ModbusBytes>().toHex(), QByteArray("010302"));
    QCOMPARE(receivedSpy.at(0).at(1).value<const Target *>(), link.client->target());

    // Without an answer wanted nothing is read after the write; the interface is claimed anew.
    link.usb->clearCalls();
    QVERIFY(link.client->sendBytes(ModbusBytes(QByteArray::fromHex("0106")), link.client->target(),
                                   nullptr, nullptr));
    QCOMPARE(link.usb->calls(),
             (QStringList{"release 0", "claim 0", "read 81 512 1", "write 01 0106 120"}));
    QCOMPARE(link.client->errorCount(), quint64(0));
}

void tst_ModbusLibusbClient::exchangeFailures_data()
{
    QTest::addColumn<int>("claimResult");
    QTest::addColumn<int>("writeResult"); // 0: every byte written
    QTest::addColumn<bool>("fromWorker");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("dropsLink");

    const QString attach =
        QStringLiteral("error attach interface: selectInterface failed, usb_claim_interface "
                       "error: -3");
    QTest::newRow("claim refused") << -3 << 0 << false << attach << true;
    QTest::newRow("claim refused, exchange in a worker") << -3 << 0 << true << attach << true;
    QTest::newRow("write failed") << 0 << -1 << false << "error write data" << true;
    QTest::newRow("write failed, exchange in a worker")
        << 0 << -1 << true << "error write data" << true;
    QTest::newRow("short write") << 0 << 2 << false << "error write data" << true;
    QTest::newRow("no answer in time") << 0 << 0 << false << "received 0 bytes answer" << false;
    QTest::newRow("no answer in time, exchange in a worker")
        << 0 << 0 << true << "received 0 bytes answer" << false;
}

void tst_ModbusLibusbClient::exchangeFailures()
{
    QFETCH(int, claimResult);
    QFETCH(int, writeResult);
    QFETCH(bool, fromWorker);
    QFETCH(QString, error);
    QFETCH(bool, dropsLink);

    UsbLink link;
    link.usb->addInstrument("A1");
    QVERIFY(link.client->connectTransport(false));
    link.client->setReadTimeout(20);
    if (claimResult)
        link.usb->scriptClaims({claimResult});
    if (writeResult)
        link.usb->scriptWrites({writeResult});
    QSignalSpy connectedSpy(link.client.get(), &Transport::connectedChanged);

    bool sent = true;
    QString text;
    ModbusBytes answer;
    auto exchange = [&] {
        sent = link.client->sendBytes(ModbusBytes(QByteArray::fromHex("010300000001")),
                                      link.client->target(), &answer, &text);
    };
    if (fromWorker) {
        std::unique_ptr<QThread> worker(QThread::create(exchange));
        worker->start();
        QVERIFY(worker->wait(5000));
    } else {
        exchange();
    }
    QVERIFY(!sent);
    QCOMPARE(text, error);
    QVERIFY(answer.isEmpty());
    // The caller got the text; the link's own error is left alone.
    QCOMPARE(link.client->errorString(), QString());

    if (dropsLink) {
        // Closed in the owner's thread, then opened again by the automatic reconnection.
        QTRY_COMPARE_WITH_TIMEOUT(connectedSpy.count(), 2, 2000);
        QVERIFY(link.client->connected());
        QCOMPARE(link.usb->scans(), 2);
    } else {
        QTest::qWait(50);
        QCOMPARE(connectedSpy.count(), 0);
        QVERIFY(link.client->connected());
        QCOMPARE(link.usb->scans(), 1);
    }
    QCOMPARE(link.usb->openHandles(), 1);
}

void tst_ModbusLibusbClient::eventReads_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("claimResult");
    QTest::addColumn<QByteArray>("waiting"); // hex on the event endpoint
    QTest::addColumn<bool>("read");
    QTest::addColumn<QByteArray>("bytesAfter"); // the buffer held aa before
    QTest::addColumn<QString>("error");

    QTest::newRow("disconnected") << false << 0 << QByteArray() << false << QByteArray("aa")
                                  << "can't receive events via disconnected transport";
    QTest::newRow("claim refused")
        << true << -3 << QByteArray("0203") << false << QByteArray("aa")
        << "error while events reading: attach interface: selectInterface failed, "
           "usb_claim_interface error: -3";
    QTest::newRow("nothing waiting")
        << true << 0 << QByteArray() << false << QByteArray("aa") << QString();
    QTest::newRow("event bytes appended")
        << true << 0 << QByteArray("03012a") << true << QByteArray("aa03012a") << QString();
}

void tst_ModbusLibusbClient::eventReads()
{
    QFETCH(bool, open);
    QFETCH(int, claimResult);
    QFETCH(QByteArray, waiting);
    QFETCH(bool, read);
    QFETCH(QByteArray, bytesAfter);
    QFETCH(QString, error);

    UsbLink link;
    link.usb->addInstrument("A1");
    if (open)
        QVERIFY(link.client->connectTransport(false));
    if (claimResult)
        link.usb->scriptClaims({claimResult});
    if (!waiting.isEmpty())
        link.usb->queueRead(0x82, QByteArray::fromHex(waiting));

    ModbusBytes bytes(QByteArray::fromHex("aa"));
    QCOMPARE(link.client->readEventBytes(bytes, nullptr), read);
    QCOMPARE(bytes.toHex(), bytesAfter);
    QCOMPARE(link.client->errorString(), error);
    // Event reads only report: the link stays as it was.
    QTest::qWait(30);
    QCOMPARE(link.client->connected(), open);
    QCOMPARE(link.usb->scans(), open ? 1 : 0);
}

void tst_ModbusLibusbClient::disconnect_data()
{
    QTest::addColumn<int>("releaseResult");
    QTest::addColumn<QString>("error");

    QTest::newRow("interface released") << 0 << QString();
    QTest::newRow("release refused is reported")
        << -9 << "releaseInterface failed, usb_release_interface error: -9";
}

void tst_ModbusLibusbClient::disconnect()
{
    QFETCH(int, releaseResult);
    QFETCH(QString, error);

    UsbLink link;
    link.usb->addInstrument("A1");
    QVERIFY(link.client->connectTransport(false));
    QVERIFY(link.client->sendBytes(ModbusBytes(QByteArray::fromHex("0106")), link.client->target(),
                                   nullptr, nullptr));
    link.usb->scriptReleases({releaseResult});
    link.usb->clearCalls();

    QVERIFY(link.client->disconnectTransport());
    QVERIFY(!link.client->connected());
    QCOMPARE(link.usb->calls(), (QStringList{"release 0", "close 0"}));
    QCOMPARE(link.usb->openHandles(), 0);
    QCOMPARE(link.client->errorString(), error);
}

void tst_ModbusLibusbClient::targetsPropertiesAndTexts()
{
    UsbLink link;
    ModbusLibusbClient &client = *link.client;
    QCOMPARE(client.vid(), quint16(0x9812));
    QCOMPARE(client.pid(), quint16(0x4001));
    QVERIFY(client.strictSerialNumber());
    QCOMPARE(client.busType(), DorrikBus::ClientBus);
    QVERIFY(client.eventable());

    QSignalSpy vidSpy(&client, &ModbusLibusbClient::vidChanged);
    client.setVid(0x9812);
    QCOMPARE(vidSpy.count(), 0);
    client.setVid(0x1234);
    QCOMPARE(vidSpy.count(), 1);
    QCOMPARE(vidSpy.at(0).at(0).value<quint16>(), quint16(0x1234));

    ModbusTarget other;
    QCOMPARE(client.targetsCount(), 1);
    QVERIFY(client.hasTarget(client.target()));
    QVERIFY(!client.hasTarget(&other));
    QCOMPARE(client.clientTarget(), client.target());
    QCOMPARE(client.bytesAvailable(client.target()), qint64(0));
    QCOMPARE(client.errorCount(), quint64(0));
    QCOMPARE(client.bytesAvailable(&other), qint64(0));
    QCOMPARE(client.errorString(), QStringLiteral("unknown target, bytes available will be 0"));

    const QString bus = DorrikBus::busTypeStr(DorrikBus::ClientBus);
    QCOMPARE(client.toString(false), QStringLiteral("transport: Modbus Libusb client (%1)\n"
                                                    "status: disconnected\n"
                                                    "target: \n"
                                                    "timeouts:  (read answer: 3000; write: 3000)\n")
                                         .arg(bus));
    link.usb->addInstrument("A1");
    client.setVid(0x9812);
    QVERIFY(client.connectTransport(false));
    client.setReadTimeout(250);
    client.setWriteTimeout(120);
    QCOMPARE(client.toString(true), QStringLiteral("transport: Modbus Libusb client (%1); "
                                                   "status: connected; target: ; "
                                                   "timeouts:  (read answer: 250; write: 120); ")
                                        .arg(bus));
}

void tst_ModbusLibusbClient::deviceList()
{
    FakeUsbBackend usb;
    usb.addInstrument("A1");
    FakeUsbBackend::Device other;
    other.vendorId = 0x0a;
    other.productId = 0x1d6b;
    usb.addDevice(other);
    QCOMPARE(UsbBulkDevice::deviceList(usb),
             (QStringList{"VID = 0x9812 PID = 0x4001", "VID = 0xa PID = 0x1d6b"}));
}

namespace {

// Counts the open attempts that the real link makes.
class CountingLibusbClient : public ModbusLibusbClient
{
public:
    std::atomic<int> attempts{0};

protected:
    bool connectTransportInternal() override
    {
        ++attempts;
        return ModbusLibusbClient::connectTransportInternal();
    }
};

} // namespace

void tst_ModbusLibusbClient::realBackendWithoutDevice()
{
    // This machine has no instrument attached (and usually no USB bus at all).
    auto client = std::make_unique<CountingLibusbClient>();
    client->setAutoReconnectInterval(10);
    QVERIFY(!client->connectTransport(true));
    QCOMPARE(client->errorString(), NotFound);
    QTRY_VERIFY_WITH_TIMEOUT(client->attempts >= 3, 2000);
    QVERIFY(!client->connected());
    QCOMPARE(client->errorCount(), quint64(1));
    // Destroyed with a reconnect pending: the sanitizers watch for what it leaves.
    client.reset();
}

QTEST_GUILESS_MAIN(tst_ModbusLibusbClient)
#include "tst_modbuslibusbclient.moc"
