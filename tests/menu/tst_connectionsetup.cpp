#include "fakeusbbackend.h"
#include "mainmenustate.h"
#include "menucontext.h"
#include "menutesthome.h"
#include "modbusclient.h"
#include "modbuslibusbclient.h"
#include "modbusserialclient.h"
#include "ptypair.h"
#include "qmlapplicationviewer.h"
#include "serialportenumerator.h"
#include "serialportsmodel.h"
#include "simulatedinstrument.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QUrl document(const char *name)
{
    return QUrl::fromLocalFile(QStringLiteral(DORRIK_MENU_TEST_QML "/") + QLatin1String(name));
}

class ListedPorts : public SerialPortEnumerator
{
public:
    QStringList names;
    QList<Port> ports() const override
    {
        QList<Port> list;
        for (const QString &name : names) {
            Port port;
            port.name = name;
            port.systemLocation = name;
            port.isNull = false;
            list << port;
        }
        return list;
    }
};

// The context with the transports it builds recorded; its USB links run on a scripted bus that
// holds the instrument `usbInstrument` (none when empty).
class TestContext : public MenuContext
{
public:
    using MenuContext::MenuContext;

    QList<QPointer<ModbusTransport>> created;
    QByteArray usbInstrument;
    QByteArrayList moreUsbInstruments;

protected:
    ModbusSerialClient *createSerialTransport(ModbusClient *client) override
    {
        ModbusSerialClient *transport = MenuContext::createSerialTransport(client);
        created << transport;
        return transport;
    }
    ModbusLibusbClient *createUsbTransport(ModbusClient *client) override
    {
        auto backend = std::make_unique<FakeUsbBackend>();
        if (!usbInstrument.isEmpty())
            backend->addInstrument(usbInstrument);
        for (const QByteArray &serialNumber : moreUsbInstruments)
            backend->addInstrument(serialNumber);
        auto *transport = new ModbusLibusbClient(std::move(backend), client);
        created << transport;
        return transport;
    }
};

} // namespace

// How the context builds, installs, reflects and replaces the UI client's transport.
class tst_ConnectionSetup : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        qputenv("QML_IMPORT_PATH", DORRIK_QML_IMPORT_DIR);
        useMenuTestHome();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void usbToRs485WithoutPorts();
    void storedPort_data();
    void storedPort();
    void baudRateIndexBounded_data();
    void baudRateIndexBounded();
    void unchangedTypeAndNewPort();
    void deviceAddressFollows();
    void usbSerialNumberOfTheOpenedDevice();
    void readTimeout_data();
    void readTimeout();
    void replacedTransportsDeletedAfterTheDelay();
    void spiKeepsTheTransport();
    void withoutClient();
    void liveValueOverSerial();
    void badValues_data();
    void badValues();
    void switchingAgainstASilentPortStaysResponsive();
    void staleLinkChangesNoSetting();
    void chosenUsbDeviceOpened();
    void samePortAgainReconnects();

private:
    void start(const QMap<QString, QVariant> &stored, const QStringList &arguments = {},
               const char *doc = "ClientDocument.qml")
    {
        QSettings store;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            store.setValue(it.key(), it.value());
        store.sync();
        m_context = std::make_unique<TestContext>(menuTestHome()->filePath(QStringLiteral("bin")),
                                                  QStringList{"tavrin"} + arguments);
        m_context->usbInstrument = m_usbInstrument;
        m_context->moreUsbInstruments = m_moreUsbInstruments;
        m_context->setState(new MainMenuState(document(doc)));
    }
    ModbusClient *client() const { return m_context->findClient(); }
    static QString stored(const char *key) { return QSettings().value(key).toString(); }

    ListedPorts m_ports;
    PtyPair m_ptyA;
    PtyPair m_ptyB;
    QByteArray m_usbInstrument;
    QByteArrayList m_moreUsbInstruments;
    std::unique_ptr<TestContext> m_context;
};

void tst_ConnectionSetup::initTestCase()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QVERIFY2(m_ptyA.isValid() && m_ptyB.isValid(), qPrintable(m_ptyA.errorString()));
}

void tst_ConnectionSetup::init()
{
    m_ports.names.clear();
    m_usbInstrument.clear();
    m_moreUsbInstruments.clear();
    SerialPortsModel::setEnumerator(&m_ports);
}

void tst_ConnectionSetup::cleanup()
{
    m_context.reset();
    SerialPortsModel::setEnumerator(nullptr);
    QSettings().clear();
}

void tst_ConnectionSetup::usbToRs485WithoutPorts()
{
    QTemporaryDir folder;
    const QString later = folder.filePath("ttyGONE7");
    start({{"deviceSerialPort", later}});
    QCOMPARE(m_context->created.size(), 1);
    QVERIFY(qobject_cast<ModbusLibusbClient *>(client()->transport()));

    m_context->setConnectionType(MenuContext::RS485);
    QCOMPARE(m_context->created.size(), 2);
    auto *serial = qobject_cast<ModbusSerialClient *>(client()->transport());
    QVERIFY(serial);
    QCOMPARE(serial->port(), later);
    QCOMPARE(m_context->deviceSerialPort(), later);
    QCOMPARE(stored("connectionType"), QStringLiteral("0"));
    QVERIFY(!serial->connected());
    // The link keeps trying to open on its own, reporting the failure once, and opens the port
    // as soon as it is there.
    const quint64 errors = serial->errorCount();
    QTest::qWait(700);
    QCOMPARE(serial->errorCount(), errors);
    QVERIFY(QFile::link(m_ptyA.portName(), later));
    QTRY_VERIFY_WITH_TIMEOUT(serial->connected(), 5000);
    QCOMPARE(m_context->created.size(), 2);
}

void tst_ConnectionSetup::storedPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("opened");
    // The list shows the first pseudo-terminal and a port that is not there.
    QTest::newRow("unlisted port that exists is kept") << m_ptyB.portName() << m_ptyB.portName();
    QTest::newRow("absent port gives way to the first listed")
        << QStringLiteral("/dev/ttyGONE9") << m_ptyA.portName();
}

void tst_ConnectionSetup::storedPort()
{
    QFETCH(QString, stored);
    QFETCH(QString, opened);
    m_ports.names = QStringList{m_ptyA.portName(), QStringLiteral("ttyLISTED1")};
    start({{"connectionType", 0}, {"deviceSerialPort", stored}});

    auto *serial = qobject_cast<ModbusSerialClient *>(client()->transport());
    QVERIFY(serial);
    QCOMPARE(serial->port(), opened);
    QTRY_VERIFY_WITH_TIMEOUT(serial->connected(), 5000);
    QCOMPARE(m_context->deviceSerialPort(), opened);
    QCOMPARE(this->stored("deviceSerialPort"), opened);
    QCOMPARE(m_context->serialPorts(), m_ports.names);
}

void tst_ConnectionSetup::baudRateIndexBounded_data()
{
    QTest::addColumn<int>("storedIndex");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("baudRate");
    QTest::newRow("beyond the list") << 9 << 7 << 115200;
    QTest::newRow("below 0") << -1 << 0 << 1200;
    QTest::newRow("in the list") << 3 << 3 << 9600;
}

void tst_ConnectionSetup::baudRateIndexBounded()
{
    QFETCH(int, storedIndex);
    QFETCH(int, index);
    QFETCH(int, baudRate);
    start({{"connectionType", 0},
           {"deviceSerialPort", m_ptyA.portName()},
           {"deviceBaudRateIndex", storedIndex}});
    auto *serial = qobject_cast<ModbusSerialClient *>(client()->transport());
    QVERIFY(serial);
    QCOMPARE(m_context->deviceBaudRateIndex(), index);
    QCOMPARE(stored("deviceBaudRateIndex"), QString::number(index));
    QCOMPARE(serial->baudRate(), baudRate);
    QCOMPARE(serial->readTimeout(), 500);
    QCOMPARE(serial->rtsDelay(), 2);
    QCOMPARE(serial->controlRts(), true);
    QCOMPARE(serial->byteTimeout(), 60);
}

void tst_ConnectionSetup::unchangedTypeAndNewPort()
{
    start({});
    QCOMPARE(m_context->created.size(), 1);
    m_context->setConnectionType(MenuContext::USB);
    QCOMPARE(m_context->created.size(), 1);

    // A new port rebuilds the link even on USB.
    m_context->setDeviceSerialPort(QStringLiteral("ttyOTHER"));
    QCOMPARE(m_context->created.size(), 2);
    QVERIFY(qobject_cast<ModbusLibusbClient *>(client()->transport()));
    QCOMPARE(client()->transport(), m_context->created.last().data());
}

void tst_ConnectionSetup::deviceAddressFollows()
{
    start({{"deviceAddress", 12}});
    QCOMPARE(client()->deviceAddress(), 12);
    m_context->setDeviceAddress(3);
    QCOMPARE(client()->deviceAddress(), 3);
    QCOMPARE(m_context->created.size(), 1);
}

void tst_ConnectionSetup::usbSerialNumberOfTheOpenedDevice()
{
    m_usbInstrument = "SN-4711";
    start({});
    auto *usb = qobject_cast<ModbusLibusbClient *>(client()->transport());
    QVERIFY(usb);
    QCOMPARE(usb->strictSerialNumber(), false);
    QCOMPARE(usb->vid(), quint16(0x9812));
    QCOMPARE(usb->pid(), quint16(0x4001));
    QTRY_COMPARE_WITH_TIMEOUT(m_context->usbSerialNumber(), QStringLiteral("SN-4711"), 5000);
    QCOMPARE(m_context->created.size(), 1);
    QCOMPARE(stored("usbSerialNumber"), QString());
}

void tst_ConnectionSetup::readTimeout_data()
{
    QTest::addColumn<int>("connectionType");
    QTest::addColumn<int>("transportTimeout");
    QTest::newRow("usb: stored only") << int(MenuContext::USB) << 3000;
    QTest::newRow("rs485: given to the link") << int(MenuContext::RS485) << 900;
}

void tst_ConnectionSetup::readTimeout()
{
    QFETCH(int, connectionType);
    QFETCH(int, transportTimeout);
    start({{"connectionType", connectionType}, {"deviceSerialPort", m_ptyA.portName()}});
    ModbusTransport *transport = client()->transport();
    m_context->setReadTimeout(900);
    QCOMPARE(stored("readTimeout"), QStringLiteral("900"));
    QCOMPARE(transport->property("readTimeout").toInt(), transportTimeout);
    QCOMPARE(m_context->created.size(), 1);
}

void tst_ConnectionSetup::replacedTransportsDeletedAfterTheDelay()
{
    constexpr int Delay = 300;
    m_usbInstrument = "SN-1";
    start({});
    m_context->setTransportDeleteDelay(Delay);
    QPointer<ModbusTransport> first = client()->transport();
    QTRY_VERIFY_WITH_TIMEOUT(first->connected(), 5000);

    QElapsedTimer clock;
    clock.start();
    qint64 firstGone = -1;
    qint64 secondGone = -1;
    connect(first, &QObject::destroyed, this, [&] { firstGone = clock.elapsed(); });
    m_context->setDeviceSerialPort(QStringLiteral("ttyA"));
    QVERIFY(!first->connected());
    QPointer<ModbusTransport> second = client()->transport();
    QVERIFY(second != first);
    connect(second, &QObject::destroyed, this, [&] { secondGone = clock.elapsed(); });

    QTest::qWait(100);
    const qint64 secondReplaced = clock.elapsed();
    m_context->setDeviceSerialPort(QStringLiteral("ttyB"));
    QVERIFY(first);

    QTRY_VERIFY_WITH_TIMEOUT(first.isNull() && second.isNull(), 5000);
    QVERIFY2(firstGone >= Delay, qPrintable(QString::number(firstGone)));
    QVERIFY2(secondGone >= secondReplaced + Delay, qPrintable(QString::number(secondGone)));
    QVERIFY(client()->transport());
}

void tst_ConnectionSetup::spiKeepsTheTransport()
{
    m_usbInstrument = "SN-1";
    start({});
    ModbusTransport *transport = client()->transport();
    QTRY_VERIFY_WITH_TIMEOUT(transport->connected(), 5000);
    m_context->setConnectionType(MenuContext::SPI);
    QCOMPARE(client()->transport(), transport);
    QVERIFY(transport->connected());
    QCOMPARE(m_context->created.size(), 1);
}

void tst_ConnectionSetup::withoutClient()
{
    QTest::ignoreMessage(QtCriticalMsg, "'modbusClient' not found");
    start({}, {}, "NoClientDocument.qml");
    QVERIFY(m_context->viewer());
    QTest::ignoreMessage(QtCriticalMsg, "'modbusClient' not found");
    m_context->setConnectionType(MenuContext::RS485);
    QCOMPARE(m_context->connectionType(), MenuContext::RS485);
    QCOMPARE(stored("connectionType"), QStringLiteral("0"));
    QVERIFY(m_context->created.isEmpty());
}

void tst_ConnectionSetup::liveValueOverSerial()
{
    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    SimulatedInstrument instrument;
    instrument.setUnit(1);
    instrument.setRegisters(300720, ModbusBytes::fromFloat(12.5f));
    QString error;
    QVERIFY2(instrument.serveSerial(link.portA(), &error), qPrintable(error));

    start({}, {"-set", "connectionType=RS485", "-set", "deviceSerialPort=" + link.portB()});
    QObject *flowRate = m_context->viewer()->rootObject()->property("flowRate").value<QObject *>();
    QVERIFY(flowRate);
    QTRY_COMPARE_WITH_TIMEOUT(flowRate->property("value").toFloat(), 12.5f, 5000);

    const QList<InstrumentRequest> requests = instrument.requests();
    QVERIFY(!requests.isEmpty());
    QCOMPARE(requests.first().unit, quint8(1));
    QCOMPARE(requests.first().function, DorrikBus::ReadInputRegisters);
    QCOMPARE(requests.first().address, quint32(300720));
    QCOMPARE(requests.first().count, 2);
    m_context.reset();
}

void tst_ConnectionSetup::badValues_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("property"); // of the context
    QTest::addColumn<QString>("held");
    QTest::addColumn<QByteArray>("link"); // "client.x" or "link.x"; "link.class" its class
    QTest::addColumn<QString>("linkValue");
    QTest::addColumn<QString>("storeKey");
    QTest::addColumn<QString>("storeKeeps");
    QTest::addColumn<QString>("logLine"); // empty: none

    const QVariantMap serial{{"connectionType", 0}, {"deviceBaudRateIndex", 4}};
    auto with = [&](const QString &key, const QVariant &value) {
        QVariantMap map = serial;
        map.insert(key, value);
        return map;
    };
    const QStringList none;
    QTest::newRow("stored negative read timeout")
        << with("readTimeout", -1) << none << QByteArray("readTimeout") << "500"
        << QByteArray("link.readTimeout") << "500"
        << "readTimeout"
        << "500"
        << "stored readTimeout: \"-1\" refused, 500 used";
    QTest::newRow("stored zero byte timeout")
        << with("byteTimeout", 0) << none << QByteArray("byteTimeout") << "60"
        << QByteArray("link.byteTimeout") << "60"
        << "byteTimeout"
        << "60"
        << "stored byteTimeout: \"0\" refused, 60 used";
    QTest::newRow("stored read timeout beyond the editor")
        << with("readTimeout", 600000) << none << QByteArray("readTimeout") << "500"
        << QByteArray("link.readTimeout") << "500"
        << "readTimeout"
        << "500"
        << "stored readTimeout: \"600000\" refused, 500 used";
    QTest::newRow("stored non-numeric address")
        << with("deviceAddress", "abc") << none << QByteArray("deviceAddress") << "1"
        << QByteArray("client.deviceAddress") << "1"
        << "deviceAddress"
        << "1"
        << "stored deviceAddress: \"abc\" refused, 1 used";
    QTest::newRow("stored address out of range")
        << with("deviceAddress", 999) << none << QByteArray("deviceAddress") << "1"
        << QByteArray("client.deviceAddress") << "1"
        << "deviceAddress"
        << "1"
        << "stored deviceAddress: \"999\" refused, 1 used";
    QTest::newRow("stored non-numeric type")
        << QVariantMap{{"connectionType", "abc"}} << none << QByteArray("connectionType") << "2"
        << QByteArray("link.class") << "ModbusLibusbClient"
        << "connectionType"
        << "2"
        << "stored connectionType: \"abc\" refused, 2 used";
    QTest::newRow("stored unknown type")
        << QVariantMap{{"connectionType", 7}} << none << QByteArray("connectionType") << "2"
        << QByteArray("link.class") << "ModbusLibusbClient"
        << "connectionType"
        << "2"
        << "stored connectionType: \"7\" refused, 2 used";
    QTest::newRow("stored RTS control not a bool")
        << with("controlRts", "maybe") << none << QByteArray("controlRts") << "true"
        << QByteArray("link.controlRts") << "true"
        << "controlRts"
        << "true"
        << "stored controlRts: \"maybe\" refused, true used";
    QTest::newRow("stored baud index not a number")
        << with("deviceBaudRateIndex", "fast") << none << QByteArray("deviceBaudRateIndex") << "0"
        << QByteArray("link.baudRate") << "1200"
        << "deviceBaudRateIndex"
        << "0"
        << "stored deviceBaudRateIndex: \"fast\" refused, 0 used";

    const QVariantMap fine = with("readTimeout", 700);
    QTest::newRow("-set negative read timeout")
        << fine << QStringList{"-set", "readTimeout=-5"} << QByteArray("readTimeout") << "700"
        << QByteArray("link.readTimeout") << "700"
        << "readTimeout"
        << "700"
        << "readTimeout: \"-5\" refused, 700 used";
    QTest::newRow("-set zero byte timeout")
        << fine << QStringList{"-set", "byteTimeout=0"} << QByteArray("byteTimeout") << "60"
        << QByteArray("link.byteTimeout") << "60"
        << "byteTimeout"
        << "60"
        << "byteTimeout: \"0\" refused, 60 used";
    QTest::newRow("-set address out of range")
        << fine << QStringList{"-set", "deviceAddress=999"} << QByteArray("deviceAddress") << "1"
        << QByteArray("client.deviceAddress") << "1"
        << "deviceAddress"
        << "1"
        << "deviceAddress: \"999\" refused, 1 used";
    QTest::newRow("-set non-numeric address")
        << fine << QStringList{"-set", "deviceAddress=abc"} << QByteArray("deviceAddress") << "1"
        << QByteArray("client.deviceAddress") << "1"
        << "deviceAddress"
        << "1"
        << "deviceAddress: \"abc\" refused, 1 used";
    QTest::newRow("-set good address, not stored")
        << fine << QStringList{"-set", "deviceAddress=7"} << QByteArray("deviceAddress") << "7"
        << QByteArray("client.deviceAddress") << "7"
        << "deviceAddress"
        << "1"
        << "";
    QTest::newRow("-set SPI") << QVariantMap{} << QStringList{"-set", "connectionType=SPI"}
                              << QByteArray("connectionType") << "2" << QByteArray("link.class")
                              << "ModbusLibusbClient"
                              << "connectionType"
                              << "2"
                              << "connectionType: \"SPI\" refused, USB used";
    QTest::newRow("-set unknown type")
        << QVariantMap{} << QStringList{"-set", "connectionType=7"} << QByteArray("connectionType")
        << "2" << QByteArray("link.class") << "ModbusLibusbClient"
        << "connectionType"
        << "2"
        << "connectionType: \"7\" refused, USB used";
    QTest::newRow("-set baud index beyond the list")
        << fine << QStringList{"-set", "deviceBaudRateIndex=99"}
        << QByteArray("deviceBaudRateIndex") << "4" << QByteArray("link.baudRate") << "19200"
        << "deviceBaudRateIndex"
        << "4"
        << "deviceBaudRateIndex: \"99\" refused, 4 used";
    QTest::newRow("-set controlRts=off")
        << fine << QStringList{"-set", "controlRts=off"} << QByteArray("controlRts") << "false"
        << QByteArray("link.controlRts") << "false"
        << "controlRts"
        << "true"
        << "";
    QTest::newRow("-set fullscreen=no") << fine << QStringList{"-set", "fullscreen=no"}
                                        << QByteArray("fullscreen") << "false" << QByteArray() << ""
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("-set fullscreen=0") << fine << QStringList{"-set", "fullscreen=0"}
                                       << QByteArray("fullscreen") << "false" << QByteArray() << ""
                                       << ""
                                       << ""
                                       << "";
    QTest::newRow("-set fullscreen=YES") << fine << QStringList{"-set", "fullscreen=YES"}
                                         << QByteArray("fullscreen") << "true" << QByteArray() << ""
                                         << ""
                                         << ""
                                         << "";
    QTest::newRow("-set fullscreen=maybe")
        << fine << QStringList{"-set", "fullscreen=maybe"} << QByteArray("fullscreen") << "false"
        << QByteArray() << ""
        << ""
        << ""
        << "fullscreen: \"maybe\" refused, false used";
}

void tst_ConnectionSetup::badValues()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, property);
    QFETCH(QString, held);
    QFETCH(QByteArray, link);
    QFETCH(QString, linkValue);
    QFETCH(QString, storeKey);
    QFETCH(QString, storeKeeps);
    QFETCH(QString, logLine);

    if (!logLine.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logLine));
    stored.insert("deviceSerialPort", m_ptyA.portName());
    start(stored, arguments);
    const QVariant value = m_context->property(property);
    const bool isEnum = value.metaType().flags().testFlag(QMetaType::IsEnumeration);
    QCOMPARE(isEnum ? QString::number(value.toInt()) : value.toString(), held);
    if (link == "link.class") {
        QCOMPARE(QString::fromLatin1(client()->transport()->metaObject()->className()), linkValue);
    } else if (link.startsWith("link.")) {
        QCOMPARE(client()->transport()->property(link.mid(5)).toString(), linkValue);
    } else if (link.startsWith("client.")) {
        QCOMPARE(client()->property(link.mid(7)).toString(), linkValue);
    }
    if (!storeKey.isEmpty())
        QCOMPARE(this->stored(qPrintable(storeKey)), storeKeeps);
}

void tst_ConnectionSetup::switchingAgainstASilentPortStaysResponsive()
{
    // Nothing answers on the other side of the pseudo-terminal. A read time-out of -1 would
    // wait for ever there; it is refused, and the stored 200 holds.
    QTest::ignoreMessage(QtWarningMsg, "readTimeout: \"-1\" refused, 200 used");
    start({{"connectionType", 0},
           {"deviceSerialPort", m_ptyA.portName()},
           {"deviceBaudRateIndex", 4},
           {"readTimeout", 200}},
          {"-set", "readTimeout=-1"});
    QCOMPARE(client()->transport()->property("readTimeout").toInt(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(client()->transport()->connected(), 5000);
    QTest::qWait(300); // the client's polls are under way

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, this, [&] {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start();
    for (int i = 0; i < 3; ++i) {
        m_context->setConnectionType(MenuContext::USB);
        QTest::qWait(150);
        m_context->setConnectionType(MenuContext::RS485);
        QTest::qWait(350);
    }
    ticker.stop();
    QVERIFY(qobject_cast<ModbusSerialClient *>(client()->transport()));
    qInfo("longest pause of the 5 ms timer: %lld ms", static_cast<long long>(longest));
    QVERIFY2(longest < 500, qPrintable(QStringLiteral("stalled %1 ms").arg(longest)));
}

void tst_ConnectionSetup::staleLinkChangesNoSetting()
{
    // The first port does not exist yet: its link keeps trying to open it.
    QTemporaryDir folder;
    const QString later = folder.filePath("later");
    start({{"connectionType", 0}, {"deviceSerialPort", later}, {"deviceBaudRateIndex", 4}});
    QPointer<ModbusTransport> stale = client()->transport();
    QVERIFY(!stale->connected());

    m_context->setDeviceSerialPort(m_ptyB.portName());
    QVERIFY(client()->transport() != stale.data());
    QTRY_VERIFY_WITH_TIMEOUT(client()->transport()->connected(), 5000);

    // Now the stale link's port appears, well within its remaining life.
    QVERIFY(QFile::link(m_ptyA.portName(), later));
    QTest::qWait(1000);
    QVERIFY(stale);
    QVERIFY(!stale->connected());
    QCOMPARE(m_context->deviceSerialPort(), m_ptyB.portName());
    QCOMPARE(stored("deviceSerialPort"), m_ptyB.portName());
}

void tst_ConnectionSetup::chosenUsbDeviceOpened()
{
    m_moreUsbInstruments = {"SN-1", "SN-2"};
    start({{"usbSerialNumber", "SN-2"}});
    QCOMPARE(m_context->usbDevice(), QStringLiteral("SN-2"));
    QTRY_VERIFY_WITH_TIMEOUT(client()->transport()->connected(), 5000);
    QCOMPARE(m_context->usbSerialNumber(), QStringLiteral("SN-2"));
    QCOMPARE(client()->transport()->property("serialNumber").toString(), QStringLiteral("SN-2"));

    // Another choice reaches the link at once and is remembered.
    m_context->setUsbDevice(QStringLiteral("SN-1"));
    QCOMPARE(m_context->created.size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(client()->transport()->connected(), 5000);
    QCOMPARE(m_context->usbSerialNumber(), QStringLiteral("SN-1"));
    QCOMPARE(stored("usbSerialNumber"), QStringLiteral("SN-1"));
}

void tst_ConnectionSetup::samePortAgainReconnects()
{
    QTemporaryDir folder;
    const QString later = folder.filePath("later");
    start({{"connectionType", 0}, {"deviceSerialPort", later}});
    QVERIFY(!client()->transport()->connected());
    QCOMPARE(m_context->created.size(), 1);
    QVERIFY(QFile::link(m_ptyA.portName(), later));
    // The user chooses the same port again: a new link opens it at once.
    m_context->setDeviceSerialPort(later);
    QCOMPARE(m_context->created.size(), 2);
    QVERIFY(client()->transport()->connected());
    // An open link is left alone.
    m_context->setDeviceSerialPort(later);
    QCOMPARE(m_context->created.size(), 2);
}

QTEST_MAIN(tst_ConnectionSetup)
#include "tst_connectionsetup.moc"
