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
        m_context->setState(new MainMenuState(document(doc)));
    }
    ModbusClient *client() const { return m_context->findClient(); }
    static QString stored(const char *key) { return QSettings().value(key).toString(); }

    ListedPorts m_ports;
    PtyPair m_ptyA;
    PtyPair m_ptyB;
    QByteArray m_usbInstrument;
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
    start({{"deviceSerialPort", "ttyGONE7"}});
    QCOMPARE(m_context->created.size(), 1);
    QVERIFY(qobject_cast<ModbusLibusbClient *>(client()->transport()));

    m_context->setConnectionType(MenuContext::RS485);
    QCOMPARE(m_context->created.size(), 2);
    auto *serial = qobject_cast<ModbusSerialClient *>(client()->transport());
    QVERIFY(serial);
    QCOMPARE(serial->port(), QStringLiteral("ttyGONE7"));
    QCOMPARE(m_context->deviceSerialPort(), QStringLiteral("ttyGONE7"));
    QCOMPARE(stored("connectionType"), QStringLiteral("0"));
    QVERIFY(!serial->connected());
    // The link keeps trying to open on its own.
    const quint64 errors = serial->errorCount();
    QTRY_VERIFY_WITH_TIMEOUT(serial->errorCount() >= errors + 2, 5000);
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

QTEST_MAIN(tst_ConnectionSetup)
#include "tst_connectionsetup.moc"
