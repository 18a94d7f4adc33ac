#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbusloopbackclient.h"
#include "modbustaskaddressed.h"
#include "modbustaskserver.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

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
    void forcedQueuedTaskRunsAgainUntilGood();
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

void tst_ModbusClient::forcedQueuedTaskRunsAgainUntilGood()
{
    m_instrument->setException(400001, DorrikBus::SlaveDeviceBusy, 2);
    TestItem item(400001);
    item.setForce(true);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSignalSpy errors(&item, &ErrObject::error);
    ModbusTask *task = item.createModbusTask(DorrikBus::ReadTask, 0);
    task->setForce(true);
    m_client->executeTask(task);

    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(m_instrument->requestCount(), 3);
    QCOMPARE(errors.size(), 0);
    QVERIFY(item.wasRead());
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
    QTRY_COMPARE_WITH_TIMEOUT(m_client->queuedTasksCount(), quint64(0), 10000);

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
