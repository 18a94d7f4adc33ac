#include "fakelink.h"
#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"
#include "registermap.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

// The registry used by a worker thread while the owner's thread changes it, removes its links
// or destroys it: no deadlock, no use of a link or registry that is gone, and a text for every
// exchange that fails.

namespace {

const ModbusBytes kReadRequest = ModbusBytes::fromHex("010300000001840a");
const ModbusBytes kReadAnswer = ModbusBytes::fromHex("010302002a399b"); // one register, 42

// Aborts the program when its scope is not left in time, so that a deadlock fails the test
// with a message of its own instead of by the ctest time-out.
class Watchdog
{
public:
    Watchdog(int ms, const char *what)
        : m_thread([this, ms, what] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_ended.wait_for(lock, std::chrono::milliseconds(ms),
                                    [this] { return m_done; })) {
                  std::fprintf(stderr, "watchdog: %s did not end within %d ms: deadlock\n", what,
                               ms);
                  std::abort();
              }
          })
    {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_thread; // last: it uses the members above
};

// A thread with an event loop; objects made by make() live there and are deleted there.
class ObjectThread
{
public:
    ObjectThread()
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
    }
    ~ObjectThread()
    {
        m_thread.quit();
        m_thread.wait();
    }
    template <typename F> void run(F f)
    {
        QMetaObject::invokeMethod(&m_context, f, Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    QObject m_context;
};

// A slave answering holding registers 400001..400010 on a TFTP server in a thread of its own
// (the client waits for the answer in its own thread, which must not be the server's).
class TFtpSlave
{
public:
    TFtpSlave()
    {
        m_thread.run([this] {
            m_slave = new Modbuser;
            m_server = new ModbusTFtpServer;
            m_server->setAddress(QHostAddress::LocalHost);
            m_server->setPort(0);
            m_slave->translator().addTransport(*m_server, true, false);
            m_server->connectTransport(false);
            m_port = m_server->serverPort();
            m_map = new RegisterMap;
            m_map->addRegisters(400001, 10, 42);
            m_map->serve(*m_slave);
        });
    }
    ~TFtpSlave()
    {
        m_thread.run([this] {
            delete m_slave;
            delete m_server;
            delete m_map;
        });
    }
    quint16 port() const { return m_port; }

private:
    ObjectThread m_thread;
    Modbuser *m_slave = nullptr;
    ModbusTFtpServer *m_server = nullptr;
    RegisterMap *m_map = nullptr;
    quint16 m_port = 0;
};

// Two client links of one kind, both able to reach the slave, for the owner's thread to switch
// between. The loopback pair and its slave live in the test's thread; so do the TFTP clients.
struct SwitchedLinks
{
    explicit SwitchedLinks(const QString &kind)
    {
        if (kind == QLatin1String("loopback")) {
            server = std::make_unique<ModbusLoopbackServer>();
            slave.translator().addTransport(*server, true, false);
            server->connectTransport(false);
            map.addRegisters(400001, 10, 42);
            map.serve(slave);
            for (auto &link : links)
                link = std::make_unique<ModbusLoopbackClient>(*server);
        } else {
            tftp = std::make_unique<TFtpSlave>();
            for (auto &link : links)
                link = std::make_unique<ModbusTFtpClient>(
                    ModbusIpTarget(QHostAddress::LocalHost, tftp->port()));
        }
        for (auto &link : links)
            link->connectTransport(false);
    }

    std::unique_ptr<TFtpSlave> tftp;
    std::unique_ptr<ModbusLoopbackServer> server;
    Modbuser slave;
    RegisterMap map;
    std::unique_ptr<ModbusTransport> links[2];
};

// Keeps, outside the link, what reached it after its destruction began.
struct LinkWatch
{
    std::atomic<bool> destroying{false};
    std::atomic<int> lateCalls{0};
};

// A fake link that follows the rule of every link: its destructor leaves the registries first.
class WatchedLink : public FakeLink
{
public:
    explicit WatchedLink(LinkWatch &watch) : m_watch(&watch) {}
    ~WatchedLink() override
    {
        leaveRegistries();
        m_watch->destroying = true;
    }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                   QString *error) override
    {
        LinkWatch *const watch = m_watch; // the link may be gone when the exchange returns
        if (watch->destroying)
            ++watch->lateCalls;
        const bool ok = FakeLink::sendBytes(bytes, target, answer, error);
        if (watch->destroying)
            ++watch->lateCalls;
        return ok;
    }

private:
    LinkWatch *const m_watch;
};

// Waits, at most 10 s, until `closed` holds.
template <typename Closed> bool waitUntil(Closed closed)
{
    QElapsedTimer clock;
    clock.start();
    while (!closed()) {
        if (clock.elapsed() > 10000)
            return false;
        QThread::msleep(1);
    }
    return true;
}

void useRtuCodecs(FakeLink &link)
{
    link.setCodecFactories([](QObject *parent) { return new ModbusRTUParser(parent); },
                           [](QObject *parent) { return new ModbusRTUDeparser(parent); });
}

} // namespace

class tst_TransporterThreads : public QObject
{
    Q_OBJECT

private slots:
    void readsWhileTheOwnerSwitchesLinks_data();
    void readsWhileTheOwnerSwitchesLinks();
    void linkDeletedDuringAnExchange();
    void registryDestroyedDuringAnExchange_data();
    void registryDestroyedDuringAnExchange();
};

void tst_TransporterThreads::readsWhileTheOwnerSwitchesLinks_data()
{
    QTest::addColumn<QString>("kind");
    // Both run their exchanges in the owner's thread, which is the one that changes the list.
    QTest::newRow("loopback pair") << QStringLiteral("loopback");
    QTest::newRow("TFTP pair") << QStringLiteral("tftp");
}

void tst_TransporterThreads::readsWhileTheOwnerSwitchesLinks()
{
    QFETCH(QString, kind);
    Watchdog watchdog(60000, "reads while the links are switched");

    SwitchedLinks bench(kind);
    Modbuser master;
    master.setClientTransport(bench.links[0].get());
    QStringList errors;
    connect(&master, &ErrObject::error, this, [&](const QString &text) { errors << text; });

    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> failures{0};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        while (!stop) {
            quint16 value = 0;
            if (!master.readRegister(400001, value))
                ++failures;
            else if (value != 42)
                ++failures; // a wrong value would have no text: counted, and caught below
            ++reads;
        }
        finished = true;
    });

    qint64 longestQuery = 0;
    qint64 longestSwitch = 0;
    QElapsedTimer running;
    running.start();
    for (int i = 0; running.elapsed() < 2000; ++i) {
        QElapsedTimer clock;
        clock.start();
        const bool listed =
            master.clientTransport() != nullptr && !master.transporter().transports().isEmpty();
        longestQuery = qMax(longestQuery, clock.elapsed());
        QVERIFY(listed);
        clock.restart();
        master.setClientTransport(bench.links[(i + 1) % 2].get());
        longestSwitch = qMax(longestSwitch, clock.elapsed());
        // An event loop of its own, not qWait, which serves queued calls only between sleeps.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    stop = true;
    // The worker's last exchange may wait for this thread: keep serving it until the end.
    QTRY_VERIFY_WITH_TIMEOUT(finished.load(), 10000);
    worker.join();

    // A read under way when its link is switched away fails; the others succeed.
    qInfo("%d reads, %d failed; the owner's longest wait: %lld ms for a query, %lld ms for a "
          "switch",
          reads.load(), failures.load(), longestQuery, longestSwitch);
    QVERIFY(reads.load() > failures.load());
    // Errors of the worker's reads reach the master's thread queued.
    QTRY_VERIFY_WITH_TIMEOUT(errors.size() >= failures.load(), 5000);
    for (const QString &text : std::as_const(errors))
        QVERIFY(!text.isEmpty());
    // Looking links up and switching them never waits for an exchange of the other thread.
    QVERIFY2(longestQuery < 100, qPrintable(QString::number(longestQuery)));
    QVERIFY2(longestSwitch < 100, qPrintable(QString::number(longestSwitch)));
}

void tst_TransporterThreads::linkDeletedDuringAnExchange()
{
    Watchdog watchdog(30000, "deleting a link in use");
    ModbusTransporter registry;
    LinkWatch watch;
    auto *link = new WatchedLink(watch);
    link->setAcceptAnyTarget(true);
    QVERIFY(link->connectTransport(false));
    // The first exchange holds on until the link's destruction has begun.
    std::atomic<bool> first{true};
    link->setAnswerer([&](const ModbusBytes &, ModbusBytes *answer, QString *) {
        if (first.exchange(false))
            waitUntil([link] { return !link->use(); });
        *answer = kReadAnswer;
        return true;
    });
    registry.addTransport(*link);
    QStringList errors;
    connect(&registry, &ErrObject::error, this, [&](const QString &text) { errors << text; });

    std::atomic<bool> stop{false};
    std::mutex resultsMutex;
    QList<bool> results;
    std::thread worker([&] {
        while (!stop) {
            ModbusBytes answer;
            const bool ok = registry.sendBytes(kReadRequest, nullptr, &answer);
            std::lock_guard<std::mutex> lock(resultsMutex);
            results << ok;
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(!link->sentBytes().isEmpty(), 5000);
    delete link; // waits for the exchange under way
    QVERIFY(watch.destroying);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            std::lock_guard<std::mutex> lock(resultsMutex);
            return results.size() >= 3;
        }(),
        5000);
    stop = true;
    worker.join();

    QCOMPARE(watch.lateCalls.load(), 0);
    QCOMPARE(results.first(), true);
    QCOMPARE(results.mid(1), QList<bool>(results.size() - 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(!errors.isEmpty(), 5000);
    QCOMPARE(errors.last(), QStringLiteral("transport not found"));
    QVERIFY(registry.transports().isEmpty());
}

void tst_TransporterThreads::registryDestroyedDuringAnExchange_data()
{
    QTest::addColumn<bool>("loopback");
    QTest::newRow("link exchanging in the caller's thread") << false;
    QTest::newRow("link exchanging in the owner's thread (loopback)") << true;
}

void tst_TransporterThreads::registryDestroyedDuringAnExchange()
{
    QFETCH(bool, loopback);
    Watchdog watchdog(30000, "destroying a registry in use");

    Modbuser master;
    QStringList errors;
    connect(&master, &ErrObject::error, this, [&](const QString &text) { errors << text; });
    const std::shared_ptr<UseGate> gate = master.transporter().useGate();

    FakeLink direct;
    ModbusLoopbackServer server;
    Modbuser slave;
    RegisterMap map;
    ModbusLoopbackClient client(server);
    if (loopback) {
        slave.translator().addTransport(server, true, false);
        QVERIFY(server.connectTransport(false));
        map.addRegisters(400001, 1, 42);
        map.serve(slave);
        QVERIFY(client.connectTransport(false));
        master.setClientTransport(&client);
        // The exchange runs here while the worker waits for it: destroy the registry in it.
        connect(
            &server, &Transport::requestBytesReceived, this,
            [&] {
                if (!gate->isClosed())
                    delete &master.transporter();
            },
            Qt::DirectConnection);
    } else {
        useRtuCodecs(direct);
        QVERIFY(direct.connectTransport(false));
        // Held until the registry's destruction has begun.
        direct.setAnswerer([&](const ModbusBytes &, ModbusBytes *answer, QString *) {
            waitUntil([&] { return gate->isClosed(); });
            *answer = kReadAnswer;
            return true;
        });
        master.setClientTransport(&direct);
    }

    std::atomic<int> done{0};
    bool results[2] = {true, true};
    std::thread worker([&] {
        for (bool &result : results) {
            quint16 value = 0;
            result = master.readRegister(400001, value);
            ++done;
        }
    });
    if (!loopback) {
        QTRY_VERIFY_WITH_TIMEOUT(!direct.sentBytes().isEmpty(), 5000);
        delete &master.transporter(); // waits for the exchange under way
    }
    QTRY_COMPARE_WITH_TIMEOUT(done.load(), 2, 10000);
    worker.join();

    QVERIFY(gate->isClosed());
    QCOMPARE(results[0], false);
    QCOMPARE(results[1], false);
    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 2, 5000);
    QCOMPARE(errors, QStringList(2, QStringLiteral("can't find transporter")));
}

QTEST_GUILESS_MAIN(tst_TransporterThreads)
#include "tst_transporterthreads.moc"
