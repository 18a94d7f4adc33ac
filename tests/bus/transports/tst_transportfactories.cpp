#include "eventer.h"
#include "modbusc55client.h"
#include "modbusdeparser.h"
#include "modbuser.h"
#include "modbuslibusbclient.h"
#include "modbusparser.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"

#include <QPointer>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

enum class Factory { TcpClient, TcpServer, TFtpClient, TFtpServer, LibusbClient, C55Client };

ModbusTransport *make(Modbuser &modbuser, Factory factory, const QHostAddress &address, int port)
{
    switch (factory) {
    case Factory::TcpClient:
        return modbuser.addModbusTcpClient(address, port);
    case Factory::TcpServer:
        return modbuser.addModbusTcpServer(address, port);
    case Factory::TFtpClient:
        return modbuser.addModbusTFtpClient(address, port);
    case Factory::TFtpServer:
        return modbuser.addModbusTFtpServer(address, port);
    case Factory::LibusbClient:
        return modbuser.addModbusLibusbClient();
    case Factory::C55Client:
        return modbuser.addModbusC55Client();
    }
    return nullptr;
}

// The peer a link of the factory talks to or listens on, as "address:port"; empty for links
// that have none.
QString endpoint(ModbusTransport *link)
{
    auto text = [](const QHostAddress &address, int port) {
        return address.toString() + ":" + QString::number(port);
    };
    if (auto *tcp = qobject_cast<ModbusTcpClient *>(link))
        return text(tcp->address(), tcp->port());
    if (auto *tcp = qobject_cast<ModbusTcpServer *>(link))
        return text(tcp->address(), tcp->port());
    if (auto *tftp = qobject_cast<ModbusTFtpClient *>(link))
        return text(tftp->address(), tftp->port());
    if (auto *tftp = qobject_cast<ModbusTFtpServer *>(link))
        return text(tftp->address(), tftp->port());
    return QString();
}

// A slave on a thread of its own, answering register reads with 0x0100 + the register offset,
// over a server link made by its own factory: the master's exchange blocks the test's thread.
class SlaveOnThread
{
public:
    SlaveOnThread(Factory factory) : m_slave(new Modbuser)
    {
        m_thread.start();
        m_link = make(*m_slave, factory, QHostAddress::LocalHost, 0);
        QObject::connect(
            m_slave, &Modbuser::onReadRegisters, m_slave,
            [](quint32 address, quint16 count, ModbusBytes &bytes, ModbusTranslateOptions &,
               bool &handled) {
                for (quint16 i = 0; i < count; ++i)
                    bytes.appendUInt16(quint16(0x100 + address - 400001 + i));
                handled = true;
            },
            Qt::DirectConnection);
        m_slave->moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            m_link,
            [this] {
                if (!m_link->connectTransport(false))
                    return;
                if (auto *tcp = qobject_cast<ModbusTcpServer *>(m_link))
                    m_port = tcp->serverPort();
                if (auto *tftp = qobject_cast<ModbusTFtpServer *>(m_link))
                    m_port = tftp->serverPort();
            },
            Qt::BlockingQueuedConnection);
    }

    ~SlaveOnThread()
    {
        QMetaObject::invokeMethod(
            m_slave, [this] { delete m_slave; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    quint16 port() const { return m_port; }

private:
    QThread m_thread;
    Modbuser *m_slave;
    ModbusTransport *m_link = nullptr;
    quint16 m_port = 0;
};

} // namespace

Q_DECLARE_METATYPE(Factory)

class tst_TransportFactories : public QObject
{
    Q_OBJECT

private slots:
    void modbuserFactory_data();
    void modbuserFactory();
    void readThroughNetworkLinks_data();
    void readThroughNetworkLinks();
    void eventerFactory_data();
    void eventerFactory();
    void eventerLinkLeavesAnOutsideRegistry();
};

void tst_TransportFactories::modbuserFactory_data()
{
    QTest::addColumn<Factory>("factory");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<bool>("canConnect");

    QTest::newRow("TCP client") << Factory::TcpClient << "ModbusTcpClient"
                                << "127.0.0.1:1502" << false;
    QTest::newRow("TCP server") << Factory::TcpServer << "ModbusTcpServer"
                                << "127.0.0.1:1502" << true;
    QTest::newRow("TFTP client") << Factory::TFtpClient << "ModbusTFtpClient"
                                 << "127.0.0.1:1502" << false;
    QTest::newRow("TFTP server") << Factory::TFtpServer << "ModbusTFtpServer"
                                 << "127.0.0.1:1502" << true;
    QTest::newRow("USB client") << Factory::LibusbClient << "ModbusLibusbClient" << QString()
                                << false;
    QTest::newRow("C55 client") << Factory::C55Client << "ModbusC55Client" << QString() << false;
}

void tst_TransportFactories::modbuserFactory()
{
    QFETCH(Factory, factory);
    QFETCH(QString, className);
    QFETCH(QString, endpoint);
    QFETCH(bool, canConnect);

    auto modbuser = std::make_unique<Modbuser>();
    ModbusTransporter &registry = modbuser->transporter();
    const int parsers = modbuser->translator().findChildren<ModbusParser *>().size();
    const int deparsers = modbuser->translator().findChildren<ModbusDeparser *>().size();

    ModbusTransport *link = make(*modbuser, factory, QHostAddress::LocalHost, 1502);
    QVERIFY(link);
    QCOMPARE(QString(link->metaObject()->className()), className);
    QCOMPARE(::endpoint(link), endpoint);
    QCOMPARE(link->parent(), &registry);
    QCOMPARE(registry.transports(), QList<EventedTransport *>{link});
    // Its own codecs were bound to the translator with it.
    QCOMPARE(modbuser->translator().findChildren<ModbusParser *>().size(), parsers + 1);
    QCOMPARE(modbuser->translator().findChildren<ModbusDeparser *>().size(), deparsers + 1);

    // A listening server is closed by the registry before it goes.
    int closed = 0;
    connect(link, &Transport::transportDisconnected, this, [&closed] { ++closed; });
    if (canConnect) {
        if (auto *tcp = qobject_cast<ModbusTcpServer *>(link))
            tcp->setPort(0);
        if (auto *tftp = qobject_cast<ModbusTFtpServer *>(link))
            tftp->setPort(0);
        QVERIFY(link->connectTransport(false));
    }
    QPointer<ModbusTransport> watch(link);
    modbuser.reset();
    QVERIFY(watch.isNull());
    QCOMPARE(closed, canConnect ? 1 : 0);
}

void tst_TransportFactories::readThroughNetworkLinks_data()
{
    QTest::addColumn<Factory>("serverFactory");
    QTest::addColumn<Factory>("clientFactory");

    QTest::newRow("TCP") << Factory::TcpServer << Factory::TcpClient;
    QTest::newRow("TFTP") << Factory::TFtpServer << Factory::TFtpClient;
}

void tst_TransportFactories::readThroughNetworkLinks()
{
    QFETCH(Factory, serverFactory);
    QFETCH(Factory, clientFactory);

    SlaveOnThread slave(serverFactory);
    QVERIFY(slave.port() != 0);

    Modbuser master;
    ModbusTransport *client = make(master, clientFactory, QHostAddress::LocalHost, slave.port());
    QVERIFY(client->connectTransport(false));
    ModbusBytes bytes;
    QVERIFY2(master.readRegisters(400021, 2, bytes), qPrintable(master.errorString()));
    QCOMPARE(bytes.toHex(' '), QByteArray("01 14 01 15"));
}

void tst_TransportFactories::eventerFactory_data()
{
    QTest::addColumn<bool>("usb");

    QTest::newRow("USB client") << true;
    QTest::newRow("C55 client") << false;
}

void tst_TransportFactories::eventerFactory()
{
    QFETCH(bool, usb);

    auto eventer = std::make_unique<Eventer>();
    EventedTransport *link =
        usb ? static_cast<EventedTransport *>(eventer->addLibusbClient()) : eventer->addC55Client();
    QVERIFY(link);
    QCOMPARE(QString(link->metaObject()->className()),
             QString(usb ? "ModbusLibusbClient" : "ModbusC55Client"));
    QCOMPARE(link->parent(), eventer.get());
    QCOMPARE(eventer->transporter()->transports(), QList<EventedTransport *>{link});
    QCOMPARE(eventer->transport(), link);

    // The registry only lists it: dropping it there leaves the link alive.
    QPointer<EventedTransport> watch(link);
    eventer->transporter()->removeTransport(*link);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!watch.isNull());
    QVERIFY(eventer->transporter()->transports().isEmpty());

    eventer.reset();
    QVERIFY(watch.isNull());
}

void tst_TransportFactories::eventerLinkLeavesAnOutsideRegistry()
{
    Transporter registry;
    QPointer<ModbusC55Client> link;
    {
        Eventer eventer(nullptr, registry);
        link = eventer.addC55Client();
        QCOMPARE(registry.transports(), QList<EventedTransport *>{link.data()});
    }
    QVERIFY(link.isNull());
    QVERIFY(registry.transports().isEmpty());
}

QTEST_GUILESS_MAIN(tst_TransportFactories)
#include "tst_transportfactories.moc"
