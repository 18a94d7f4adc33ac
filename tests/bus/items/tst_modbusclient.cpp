#include "modbusarchrecord.h"
#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbuser.h"
#include "modbusfile.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbustaskaddressed.h"
#include "modbustaskserver.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"
#include "modbustranslator.h"
#include "registermap.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using TaskPtr = std::unique_ptr<ModbusTask>;
using GroupSet = QHash<QString, bool>;

namespace {

// The item joins the client as a register item does.
void attach(ModbusItemBase &item, ModbusClient &client)
{
    item.setClient(&client);
    client.registerItem(&item);
    QObject::connect(&item, &ModbusItemBase::abortExecutingInternal, &client,
                     &ModbusClient::abortExecuting);
}

// Fails the whole test program when a call does not return in time: a frozen call would
// otherwise hold it until the ctest time-out.
class Watchdog
{
public:
    Watchdog(int ms, const char *what)
        : m_thread([this, ms, what] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return m_disarmed; }))
                  qFatal("%s did not return within %d ms", what, ms);
          })
    {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_disarmed = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_disarmed = false;
    std::thread m_thread;
};

// A link whose master end lives in the test's own thread, as a program's link does in the GUI
// thread. Loopback: both ends and the slave here. TFTP: the server on a thread of its own that
// waits `delay` ms before each answer.
class LinkInThisThread
{
public:
    LinkInThisThread(bool tftp, int delay)
    {
        registers.addRegisters(400001, 10);
        registers.setRegisters(400001, ModbusBytes::fromHex("cafe0001"));
        if (!tftp) {
            m_slave = new Modbuser;
            auto *server = new ModbusLoopbackServer;
            m_slave->translator().addTransport(*server, true, true);
            registers.serve(*m_slave);
            auto *loopback = new ModbusLoopbackClient(*server);
            server->connectTransport(false);
            loopback->connectTransport(false);
            m_link.reset(loopback);
            return;
        }
        m_slaveThread.start();
        m_slave = new Modbuser;
        auto *server = new ModbusTFtpServer;
        server->setAddress(QHostAddress::LocalHost);
        server->setPort(0);
        m_slave->translator().addTransport(*server, true, true);
        QObject::connect(
            m_slave, &Modbuser::onReadRegisters, m_slave,
            [delay](quint32, quint16, ModbusBytes &, ModbusTranslateOptions &, bool &) {
                QThread::msleep(delay);
            },
            Qt::DirectConnection);
        registers.serve(*m_slave);
        m_slave->moveToThread(&m_slaveThread);
        quint16 port = 0;
        QMetaObject::invokeMethod(
            server,
            [&] {
                if (server->connectTransport(false))
                    port = server->serverPort();
            },
            Qt::BlockingQueuedConnection);
        auto *client = new ModbusTFtpClient(ModbusIpTarget(QHostAddress::LocalHost, port));
        client->connectTransport(false);
        m_link.reset(client);
    }
    ~LinkInThisThread()
    {
        m_link.reset();
        if (!m_slaveThread.isRunning()) {
            delete m_slave;
            return;
        }
        Modbuser *slave = m_slave;
        QMetaObject::invokeMethod(
            slave, [slave] { delete slave; }, Qt::BlockingQueuedConnection);
        m_slaveThread.quit();
        m_slaveThread.wait();
    }

    ModbusTransport *link() const { return m_link.get(); }

    RegisterMap registers;

private:
    QThread m_slaveThread;
    Modbuser *m_slave = nullptr;
    std::unique_ptr<ModbusTransport> m_link;
};

} // namespace

// The client as its items and the program see it, against the simulated instrument.
class tst_ModbusClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusedSettings();
    void connectedFollowsTheTransport();
    void groupReadsOnlyWhileConnected();
    void synchronousTask();
    void synchronousTaskOnStoppedClient_data();
    void synchronousTaskOnStoppedClient();
    void forcedSynchronousTaskIsBoundedByRetries();
    void forcedQueuedTaskIsBoundedByRetries_data();
    void forcedQueuedTaskIsBoundedByRetries();
    void forcedQueuedTaskWaitsForTheLink();
    void forcedItemsTakeTheirResults_data();
    void forcedItemsTakeTheirResults();
    void synchronousCallsOverALinkOfThisThread_data();
    void synchronousCallsOverALinkOfThisThread();
    void resumeRunsTheQueueAtOnce();
    void oneResultPerEventLoopPass_data();
    void oneResultPerEventLoopPass();
    void intervalResultWhileIntervalReadingIsOff();
    void resultOfADestroyedItemIsDropped();
    void executingFlag();
    void abortExecutingAllDropsTheQueue();
    void itemsList();
    void destroyingTheClientDetachesItems();
    void destroyingTheClientDuringALongExchange();
    void stress();

private:
    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
};

void tst_ModbusClient::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
}

void tst_ModbusClient::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

void tst_ModbusClient::refusedSettings()
{
    QSignalSpy address(m_client.get(), &ModbusClient::deviceAddressChanged);
    QSignalSpy retries(m_client.get(), &ModbusClient::retriesChanged);
    m_client->setDeviceAddress(256);
    m_client->setDeviceAddress(-1);
    m_client->setRetries(0);
    QCOMPARE(m_client->deviceAddress(), 1);
    QCOMPARE(m_client->retries(), 1);
    QCOMPARE(address.size(), 0);
    QCOMPARE(retries.size(), 0);
    m_client->setDeviceAddress(255);
    m_client->setRetries(3);
    QCOMPARE(m_client->deviceAddress(), 255);
    QCOMPARE(address.size(), 1);
    QCOMPARE(retries.size(), 1);
    QTRY_COMPARE(m_client->executor()->retries(), 3);
    QCOMPARE(m_client->toString(true), QStringLiteral("ModbusClient; "));
}

void tst_ModbusClient::connectedFollowsTheTransport()
{
    QSignalSpy changed(m_client.get(), &ModbusClient::connectedChanged);
    QVERIFY(m_client->connected());
    m_instrument->disconnectLink();
    QTRY_VERIFY(!m_client->connected());
    m_instrument->connectLink();
    QTRY_VERIFY(m_client->connected());
    m_client->setTransport(nullptr);
    QVERIFY(!m_client->connected());
    QCOMPARE(changed.size(), 3);
    QCOMPARE(m_client->transport(), nullptr);
}

void tst_ModbusClient::groupReadsOnlyWhileConnected()
{
    QSignalSpy all(m_client.get(), &ModbusClient::readingAll);
    QSignalSpy groups(m_client.get(), &ModbusClient::readingGroups);
    m_client->readAll(QStringList{QStringLiteral("a"), QStringLiteral("b")});
    m_client->readGroups(QString());
    QCOMPARE(all.size(), 1);
    const GroupSet expected{{QStringLiteral("a"), true}, {QStringLiteral("b"), true}};
    QCOMPARE(all.at(0).at(0).value<GroupSet>(), expected);
    QCOMPARE(groups.size(), 1);
    QVERIFY(groups.at(0).at(0).value<GroupSet>().isEmpty());

    m_instrument->disconnectLink();
    QTRY_VERIFY(!m_client->connected());
    m_client->readAll();
    m_client->readGroups(QStringLiteral("a"));
    QCOMPARE(all.size(), 1);
    QCOMPARE(groups.size(), 1);
}

void tst_ModbusClient::synchronousTask()
{
    m_instrument->setRegisters(400007, ModbusBytes::fromHex("beef"));
    TestItem item(400007);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QVERIFY(m_client->executeTaskSync(item.createModbusTask(DorrikBus::ReadTask, 0)));
    QCOMPARE(executed.size(), 1);
    QCOMPARE(item.formatValue(), QStringLiteral("beef"));
    QCOMPARE(item.readCount(), quint64(1));
}

void tst_ModbusClient::synchronousTaskOnStoppedClient_data()
{
    QTest::addColumn<bool>("paused");
    QTest::newRow("paused") << true;
    QTest::newRow("disabled") << false;
}

void tst_ModbusClient::synchronousTaskOnStoppedClient()
{
    QFETCH(bool, paused);
    if (paused)
        m_client->setPaused(true);
    else
        m_client->setEnabled(false);
    TestItem item(400001);
    attach(item, *m_client);
    QSignalSpy errors(&item, &ErrObject::error);

    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    m_client->executeTaskSyncSilent(task.get());
    QCOMPARE(task->state(), DorrikBus::ErrorState);
    QCOMPARE(task->errorString(), QStringLiteral("modbus client is disabled or paused"));

    QVERIFY(!m_client->executeTaskSync(item.createModbusTask(DorrikBus::ReadTask, 0)));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("modbus client is disabled or paused"));
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ModbusClient::forcedSynchronousTaskIsBoundedByRetries()
{
    m_client->setRetries(2);
    m_instrument->setException(400001, DorrikBus::SlaveDeviceFailure);
    TestItem item(400001);
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setForce(true);
    m_client->executeTaskSyncSilent(task.get());
    QCOMPARE(task->state(), DorrikBus::ErrorState);
    // Two passes of two attempts each, then it gives up.
    QCOMPARE(m_instrument->requestCount(), 4);

    m_instrument->setException(400001, DorrikBus::SlaveDeviceFailure, 3);
    m_instrument->clearRequests();
    task->reset();
    m_client->executeTaskSyncSilent(task.get());
    QCOMPARE(task->state(), DorrikBus::GoodState);
    QCOMPARE(m_instrument->requestCount(), 4);
}

void tst_ModbusClient::forcedQueuedTaskIsBoundedByRetries_data()
{
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("exceptions");
    QTest::addColumn<int>("requests");
    QTest::addColumn<bool>("taken");

    // Each run makes `retries` attempts; a failed forced run is repeated, up to `retries` runs.
    QTest::newRow("good at the second run") << 2 << 3 << 4 << true;
    QTest::newRow("always failing: two runs, then the item hears of it") << 2 << -1 << 4 << false;
    QTest::newRow("one retry: one run") << 1 << 1 << 1 << false;
}

void tst_ModbusClient::forcedQueuedTaskIsBoundedByRetries()
{
    QFETCH(int, retries);
    QFETCH(int, exceptions);
    QFETCH(int, requests);
    QFETCH(bool, taken);

    m_client->setRetries(retries);
    QTRY_COMPARE(m_client->executor()->retries(), retries);
    m_instrument->setException(400001, DorrikBus::SlaveDeviceBusy, exceptions);
    TestItem item(400001);
    item.setForce(true);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSignalSpy errors(&item, &ErrObject::error);
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));

    QTRY_COMPARE(executed.size(), 1);
    QTest::qWait(50);
    QCOMPARE(m_instrument->requestCount(), requests);
    QCOMPARE(item.wasRead(), taken);
    QCOMPARE(errors.size(), taken ? 0 : 1);
    QCOMPARE(m_client->queuedTasksCount(), quint64(0));
}

void tst_ModbusClient::forcedQueuedTaskWaitsForTheLink()
{
    m_client->setRetries(2);
    m_instrument->disconnectLink();
    QTRY_VERIFY(!m_client->connected());
    TestItem item(400001);
    item.setForce(true);
    attach(item, *m_client);
    std::atomic<int> runs{0};
    QObject counter;
    connect(
        m_client->executor(), &ModbusClientExecutor::executingItemsChanged, &counter,
        [&runs](const QList<ItemPointer> &items) {
            if (!items.isEmpty())
                ++runs;
        },
        Qt::DirectConnection);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QVERIFY(item.read());

    QTest::qWait(500);
    QVERIFY2(runs >= 1 && runs <= 3, qPrintable(QString::number(runs)));
    QCOMPARE(executed.size(), 0);

    m_instrument->connectLink();
    QTRY_VERIFY(item.wasRead());
    QCOMPARE(executed.size(), 1);
    QCOMPARE(m_instrument->requestCount(), 1);
}

void tst_ModbusClient::forcedItemsTakeTheirResults_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<bool>("force");
    QTest::addColumn<bool>("flipped");

    QTest::newRow("file") << false << false << false;
    QTest::newRow("file, forced") << false << true << false;
    QTest::newRow("archive record") << true << false << false;
    QTest::newRow("archive record, forced") << true << true << false;
    // A good answer made for the other force mark is refused: the read tells so.
    QTest::newRow("file, force changed during the read") << false << true << true;
    QTest::newRow("archive record, force changed during the read") << true << false << true;
}

void tst_ModbusClient::forcedItemsTakeTheirResults()
{
    QFETCH(bool, archive);
    QFETCH(bool, force);
    QFETCH(bool, flipped);

    const ModbusBytes answer = ModbusBytes::fromHex("0000000701020304");
    std::unique_ptr<ModbusItemBase> item;
    if (archive) {
        m_instrument->archives().addArchive(1, DorrikBus::IndexArch);
        m_instrument->archives().addRecord(1, 7, answer);
        auto *record = new ModbusArchRecord;
        record->setArchIndex(1);
        record->setArchType(DorrikBus::IndexArch);
        record->setFunc(DorrikBus::Func65);
        record->setLabel(7u);
        item.reset(record);
    } else {
        m_instrument->setFile(3, answer);
        auto *file = new ModbusFile;
        file->setFile(3);
        file->setLength(int(answer.size()));
        item.reset(file);
    }
    item->setClient(m_client.get());
    item->setForce(force);
    if (flipped) {
        // Fires in the wait of the synchronous read, while the instrument holds its answer.
        m_instrument->setDelay(200);
        QTimer::singleShot(0, item.get(), [&item, force] { item->setForce(!force); });
    }

    QCOMPARE(item->readSync(), !flipped);
    QCOMPARE(item->wasRead(), !flipped);
    QCOMPARE(item->bytes() == answer, !flipped);
}

void tst_ModbusClient::synchronousCallsOverALinkOfThisThread_data()
{
    QTest::addColumn<bool>("tftp");
    QTest::addColumn<QString>("call");

    for (bool tftp : {false, true}) {
        const char *link = tftp ? "TFTP" : "loopback";
        for (const char *call : {"readSync", "writeSync", "setTransport"})
            QTest::addRow("%s, %s", link, call) << tftp << QString::fromLatin1(call);
    }
}

// The link's side of each exchange runs in this thread by a queued call: a synchronous call
// from here must let it run while it waits.
void tst_ModbusClient::synchronousCallsOverALinkOfThisThread()
{
    QFETCH(bool, tftp);
    QFETCH(QString, call);

    LinkInThisThread link(tftp, 100);
    ModbusClient client;
    {
        Watchdog watchdog(20000, "setTransport with no exchange under way");
        client.setTransport(link.link());
    }
    QVERIFY(client.connected());
    TestItem item(400001, 2);
    attach(item, client);

    if (call == QLatin1String("readSync")) {
        Watchdog watchdog(20000, "readSync");
        QVERIFY2(item.readSync(), qPrintable(item.errorString()));
        QCOMPARE(item.formatValue(), QStringLiteral("cafe0001"));
    } else if (call == QLatin1String("writeSync")) {
        Watchdog watchdog(20000, "writeSync");
        QVERIFY2(item.writeSync(ModbusBytes::fromHex("12345678")), qPrintable(item.errorString()));
        QCOMPARE(link.registers.registers(400001, 2), ModbusBytes::fromHex("12345678"));
    } else {
        // The executor is in the exchange of a queued read, waiting for this thread.
        std::atomic<bool> started{false};
        QObject watcher;
        connect(
            client.executor(), &ModbusClientExecutor::executingItemsChanged, &watcher,
            [&started](const QList<ItemPointer> &items) {
                if (!items.isEmpty())
                    started = true;
            },
            Qt::DirectConnection);
        QVERIFY(item.read());
        QElapsedTimer waited;
        waited.start();
        while (!started && waited.elapsed() < 10000)
            QThread::msleep(1);
        QVERIFY(started);
        QThread::msleep(20);
        {
            Watchdog watchdog(20000, "setTransport during an exchange");
            client.setTransport(nullptr);
        }
        QVERIFY(!client.connected());
        QTRY_VERIFY(item.wasRead());
        QCOMPARE(item.formatValue(), QStringLiteral("cafe0001"));
    }
}

void tst_ModbusClient::resumeRunsTheQueueAtOnce()
{
    TestItem item(400001);
    attach(item, *m_client);
    m_client->setPaused(true);
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    // Nothing to hand out: the executor goes to sleep for its idle time.
    QTRY_COMPARE(m_client->executor()->timerInterval(), ModbusClientExecutor::IdleInterval);
    QCOMPARE(m_instrument->requestCount(), 0);

    m_client->setPaused(false);
    QTRY_VERIFY_WITH_TIMEOUT(item.wasRead(), ModbusClientExecutor::IdleInterval / 2);
}

void tst_ModbusClient::oneResultPerEventLoopPass_data()
{
    QTest::addColumn<bool>("single");
    QTest::newRow("one per pass") << true;
    QTest::newRow("all at once") << false;
}

void tst_ModbusClient::oneResultPerEventLoopPass()
{
    QFETCH(bool, single);
    m_client->setSingleResultProcessing(single);
    TestItem a(400001);
    TestItem b(400002);
    TestItem c(400003);
    for (TestItem *item : {&a, &b, &c})
        attach(*item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    for (TestItem *item : {&a, &b, &c})
        m_client->executeTask(item->createModbusTask(DorrikBus::ReadTask, 0));
    // All three results wait in the task server before the GUI thread looks.
    QElapsedTimer waited;
    waited.start();
    while (m_client->taskServer()->resultTasksCount() < 3 && waited.elapsed() < 5000)
        QThread::msleep(1);
    QCOMPARE(m_client->taskServer()->resultTasksCount(), 3);
    // One notice of them, as when they are taken together.
    QCoreApplication::removePostedEvents(m_client.get(), QEvent::MetaCall);
    emit m_client->taskServer()->resultTasksCountChanged();

    if (!single) {
        QCOMPARE(executed.size(), 3);
        return;
    }
    for (int pass = 1; pass <= 3; ++pass) {
        QCOMPARE(executed.size(), pass);
        QCoreApplication::sendPostedEvents(m_client.get(), 1000);
    }
    QCOMPARE(executed.size(), 3);
    QCOMPARE(executed.at(2).at(0).value<ModbusItemBase *>(), &c);
}

void tst_ModbusClient::intervalResultWhileIntervalReadingIsOff()
{
    m_client->setIntervalReadingEnabled(false);
    m_instrument->setException(400001, DorrikBus::IllegalDataAddress);
    TestItem item(400001);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSignalSpy errors(&item, &ErrObject::error);
    // A task with an interval that went the queued way: its result comes while interval
    // reading is off.
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 5000));
    QTRY_COMPARE(errors.size(), 1);
    QTest::qWait(20);
    QCOMPARE(executed.size(), 0);
}

void tst_ModbusClient::resultOfADestroyedItemIsDropped()
{
    auto item = std::make_unique<TestItem>(400001);
    attach(*item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    m_instrument->setDelay(100);
    m_client->executeTask(item->createModbusTask(DorrikBus::ReadTask, 0));
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    item.reset();
    QTRY_COMPARE(m_client->executedTasksCount(), quint64(1));
    QTest::qWait(20);
    QCOMPARE(executed.size(), 0);
}

void tst_ModbusClient::executingFlag()
{
    TestItem item(400001, 200);
    attach(item, *m_client);
    QSignalSpy executing(&item, &ModbusItemBase::executingChanged);
    m_instrument->setDelay(100);
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QTRY_VERIFY(item.executing());
    QTRY_VERIFY(!item.executing());
    QCOMPARE(executing.size(), 2);
    QVERIFY(item.wasRead());
}

void tst_ModbusClient::abortExecutingAllDropsTheQueue()
{
    TestItem item(400001, 300);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    m_instrument->setDelay(100);
    for (int i = 0; i < 3; ++i)
        m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    m_client->abortExecutingAll();
    QCOMPARE(m_client->queuedTasksCount(), quint64(0));

    // The running one stops after its first block.
    QTRY_COMPARE(executed.size(), 1);
    QTest::qWait(150);
    QCOMPARE(executed.size(), 1);
    QCOMPARE(m_instrument->requestCount(), 1);
    QCOMPARE(item.errorString(), QStringLiteral("aborted"));
}

void tst_ModbusClient::itemsList()
{
    QQmlListProperty<ModbusItemBase> items = m_client->items();
    QSignalSpy changed(m_client.get(), &ModbusClient::itemsChanged);
    QPointer<TestItem> first = new TestItem(400001);
    QPointer<TestItem> second = new TestItem(400002);
    items.append(&items, first);
    items.append(&items, second);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(items.count(&items), 2);
    QCOMPARE(items.at(&items, 1), second.data());
    QCOMPARE(items.at(&items, 2), nullptr);
    QCOMPARE(items.at(&items, -1), nullptr);
    QCOMPARE(first->parent(), m_client.get());
    QCOMPARE(first->client(), m_client.get());

    // Replacing or removing the last keeps the others alive.
    QPointer<TestItem> third = new TestItem(400003);
    items.replace(&items, 1, third);
    QVERIFY(second);
    QCOMPARE(items.at(&items, 1), third.data());
    items.removeLast(&items);
    QCOMPARE(items.count(&items), 1);
    QVERIFY(third);
    delete second;
    delete third;

    // Clearing deletes what was not put back, once control is back in the event loop.
    items.clear(&items);
    QCOMPARE(items.count(&items), 0);
    QTRY_VERIFY(!first);
}

void tst_ModbusClient::destroyingTheClientDetachesItems()
{
    TestItem outside(400001);
    attach(outside, *m_client);
    QQmlListProperty<ModbusItemBase> items = m_client->items();
    auto *inside = new TestItem(400002);
    QSignalSpy insideClient(inside, &ModbusItemBase::clientChanged);
    items.append(&items, inside);
    m_client.reset();
    QCOMPARE(outside.client(), nullptr);
    // The child let go of the client before it was deleted with it.
    QCOMPARE(insideClient.size(), 2);
}

void tst_ModbusClient::destroyingTheClientDuringALongExchange()
{
    TestItem item(400001);
    attach(item, *m_client);
    m_instrument->setDelay(20000);
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    QPointer<QThread> thread = m_client->executor()->thread();
    QPointer<ModbusClientExecutor> executor = m_client->executor();

    QElapsedTimer elapsed;
    elapsed.start();
    m_client.reset();
    QVERIFY2(elapsed.elapsed() < 5500, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY(elapsed.elapsed() >= ModbusClient::StopTimeout);
    QCOMPARE(item.client(), nullptr);

    // Once the instrument answers, the left thread ends and cleans up after itself.
    m_instrument->setDelay(0);
    QTRY_VERIFY(!thread);
    QVERIFY(!executor);
}

void tst_ModbusClient::stress()
{
    QRandomGenerator random(20240301);
    std::vector<std::unique_ptr<TestItem>> items;
    for (int i = 0; i < 40; ++i) {
        items.emplace_back(new TestItem(400001 + quint32(i) * 3, 1 + int(random.bounded(3))));
        attach(*items.back(), *m_client);
        m_client->startExecutingIntervalTask(
            items.back()->createModbusTask(DorrikBus::ReadTask, 5 + int(random.bounded(50))));
    }
    auto *long_ = new TestItem(400200, 400);
    items.emplace_back(long_);
    attach(*long_, *m_client);

    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1500) {
        TestItem &item = *items.at(random.bounded(int(items.size())));
        switch (random.bounded(9)) {
        case 0:
            m_client->setPaused(!m_client->paused());
            break;
        case 1:
            m_client->abortExecutingAll();
            break;
        case 2:
            m_client->setRetries(1 + int(random.bounded(3)));
            break;
        case 3:
            item.abortExecuting();
            break;
        case 4:
            m_client->setIntervalReadingEnabled(!m_client->intervalReadingEnabled());
            break;
        case 5:
            m_instrument->setException(item.address(), DorrikBus::SlaveDeviceBusy, 1);
            break;
        default:
            m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
            break;
        }
        QTest::qWait(int(random.bounded(3)));
    }
    m_client->setPaused(false);
    m_client->setIntervalReadingEnabled(true);
    // Resumed, the client runs its queue at once, not after its idle time.
    QTRY_COMPARE_WITH_TIMEOUT(m_client->queuedTasksCount(), quint64(0), 5000);

    QVERIFY(m_client->goodTasksCount() > 0);
    QVERIFY(m_client->executedTasksCount() >=
            m_client->goodTasksCount() + m_client->errorTasksCount());
    QVERIFY(m_instrument->requestCount() > 100);
    // Destroyed with interval reading still running.
    m_client.reset();
    for (const auto &item : items)
        QCOMPARE(item->client(), nullptr);
}

QTEST_GUILESS_MAIN(tst_ModbusClient)
#include "tst_modbusclient.moc"
