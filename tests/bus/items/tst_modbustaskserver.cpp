#include "fakeclock.h"
#include "modbustaskaddressed.h"
#include "modbustaskserver.h"
#include "testitem.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using TaskPtr = std::unique_ptr<ModbusTask>;

namespace {

const QDateTime T0(QDate(2024, 3, 1), QTime(10, 0, 0));

// A server on a fake clock, with items whose tasks it schedules.
struct Fixture
{
    FakeClock clock{T0};
    ModbusTaskServer server;
    std::vector<std::unique_ptr<TestItem>> items;

    Fixture() { server.setTimeProvider(clock); }

    // An item last read at lastRead, and its interval task added to the server.
    TestItem *addInterval(int interval, const QDateTime &lastRead = T0)
    {
        items.emplace_back(new TestItem(400001 + quint32(items.size())));
        TestItem *item = items.back().get();
        item->setLastReadTime(lastRead);
        server.addIntervalTask(item->createModbusTask(DorrikBus::ReadTask, interval));
        return item;
    }

    TestItem *addQueued()
    {
        items.emplace_back(new TestItem(400001 + quint32(items.size())));
        TestItem *item = items.back().get();
        server.addQueuedTask(item->createModbusTask(DorrikBus::ReadTask, 0));
        return item;
    }

    // Runs the posted schedule rebuild.
    static void rebuild() { QCoreApplication::sendPostedEvents(nullptr, 1000); }

    ModbusItemBase *nextIntervalItem()
    {
        TaskPtr task(server.getIntervalTask());
        return task ? task->firstItem() : nullptr;
    }
};

TaskPtr taskInState(TestItem &item, DorrikBus::ModbusTaskState state)
{
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setState(state);
    return task;
}

} // namespace

class TstModbusTaskServer : public QObject
{
    Q_OBJECT

private slots:
    void scheduleGroupsByInterval();
    void roundRobin();
    void nothingDueKeepsCursor();
    void neverReadIsDueAtOnce();
    void handOutCarriesPreviousTime();
    void nearestTaskTime();
    void tenAdditionsOneRebuild();
    void rebuildAfterRemovals();
    void disabledServerDeletesTasks();
    void pauseHoldsQueue();
    void switchesWakeTheExecutor();
    void intervalReadingOff();
    void countersByState_data();
    void countersByState();
    void getResults_data();
    void getResults();
    void abortAndRemoveByItem();
    void clearDeletesEverything();
    void executorThreadRoundTrip();
};

void TstModbusTaskServer::scheduleGroupsByInterval()
{
    Fixture f;
    ModbusItemBase *a = f.addInterval(1000);
    ModbusItemBase *b = f.addInterval(500);
    ModbusItemBase *c = f.addInterval(1000);
    f.addInterval(0);
    QCOMPARE(f.server.intervalTasksCount(), 4);
    f.rebuild();
    // All are due (last read at T0 on a clock standing at T0 + 1 s): both 1000 ms tasks in list
    // order, then the 500 ms one; the task with interval 0 is not scheduled.
    f.clock.advance(1000);
    QCOMPARE(f.nextIntervalItem(), a);
    QCOMPARE(f.nextIntervalItem(), c);
    QCOMPARE(f.nextIntervalItem(), b);
    QCOMPARE(f.nextIntervalItem(), nullptr);
}

void TstModbusTaskServer::roundRobin()
{
    Fixture f;
    ModbusItemBase *a = f.addInterval(1000);
    ModbusItemBase *b = f.addInterval(1000);
    ModbusItemBase *c = f.addInterval(1000);
    f.rebuild();
    f.clock.advance(1000);
    QCOMPARE(f.nextIntervalItem(), a);
    QCOMPARE(f.nextIntervalItem(), b);
    QCOMPARE(f.nextIntervalItem(), c);
    // Due again one interval after it was handed out, not before.
    QCOMPARE(f.nextIntervalItem(), nullptr);
    f.clock.advance(999);
    QCOMPARE(f.nextIntervalItem(), nullptr);
    f.clock.advance(1);
    QCOMPARE(f.nextIntervalItem(), a);
    QCOMPARE(f.nextIntervalItem(), b);
}

void TstModbusTaskServer::nothingDueKeepsCursor()
{
    Fixture f;
    f.addInterval(1000, T0.addMSecs(-1000));
    ModbusItemBase *b = f.addInterval(1000);
    ModbusItemBase *c = f.addInterval(1000);
    f.rebuild();
    QVERIFY(f.nextIntervalItem() != nullptr);
    QCOMPARE(f.nextIntervalItem(), nullptr);
    f.clock.advance(1000);
    // The search starts where it stopped: b, not a (which is due too), goes first.
    QCOMPARE(f.nextIntervalItem(), b);
    QCOMPARE(f.nextIntervalItem(), c);
}

void TstModbusTaskServer::neverReadIsDueAtOnce()
{
    Fixture f;
    ModbusItemBase *item = f.addInterval(60000, QDateTime());
    f.rebuild();
    QCOMPARE(f.nextIntervalItem(), item);
    QCOMPARE(f.nextIntervalItem(), nullptr);
}

void TstModbusTaskServer::handOutCarriesPreviousTime()
{
    Fixture f;
    f.addInterval(1000, T0.addSecs(-5));
    f.rebuild();
    const TaskPtr copy(f.server.getIntervalTask());
    QVERIFY(copy);
    QCOMPARE(copy->lastProcessTime(), T0.addSecs(-5));
    QCOMPARE(copy->interval(), 1000);
    // The scheduled task was stamped with the server's clock: next due at T0 + 1 s.
    QDateTime nearest;
    QVERIFY(f.server.getNearestTaskTime(nearest));
    QCOMPARE(nearest, T0.addMSecs(1000));
}

void TstModbusTaskServer::nearestTaskTime()
{
    Fixture f;
    QDateTime time;
    QVERIFY(!f.server.getNearestTaskTime(time));

    f.addInterval(5000);
    f.addInterval(3000);
    f.addInterval(4000);
    f.rebuild();
    QVERIFY(f.server.getNearestTaskTime(time));
    QCOMPARE(time, T0.addSecs(3));

    f.addInterval(1000, QDateTime());
    f.rebuild();
    QVERIFY(f.server.getNearestTaskTime(time));
    QVERIFY2(!time.isValid(), "a task never read is the nearest: due at once");

    f.server.setPaused(true);
    QVERIFY(!f.server.getNearestTaskTime(time));
    f.server.setPaused(false);
    f.server.setEnabled(false);
    QVERIFY(!f.server.getNearestTaskTime(time));
}

void TstModbusTaskServer::tenAdditionsOneRebuild()
{
    Fixture f;
    QSignalSpy rebuilt(&f.server, &ModbusTaskServer::tasksChanged);
    QSignalSpy added(&f.server, &ModbusTaskServer::intervalTasksCountChanged);
    for (int i = 0; i < 10; ++i)
        f.addInterval(1000 + i);
    QCOMPARE(added.size(), 10);
    QCOMPARE(rebuilt.size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(rebuilt.size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(rebuilt.size(), 1);
    f.clock.advance(2000);
    int handedOut = 0;
    while (f.nextIntervalItem())
        ++handedOut;
    QCOMPARE(handedOut, 10);
}

void TstModbusTaskServer::rebuildAfterRemovals()
{
    Fixture f;
    TestItem *a = f.addInterval(1000);
    TestItem *b = f.addInterval(1000);
    f.rebuild();
    QSignalSpy rebuilt(&f.server, &ModbusTaskServer::tasksChanged);

    TestItem stranger;
    f.server.removeIntervalTasks(&stranger);
    f.rebuild();
    QCOMPARE(rebuilt.size(), 0);

    f.server.removeIntervalTasks(a);
    f.rebuild();
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(f.server.intervalTasksCount(), 1);
    f.clock.advance(1000);
    QCOMPARE(f.nextIntervalItem(), b);
    QCOMPARE(f.nextIntervalItem(), nullptr);
}

void TstModbusTaskServer::disabledServerDeletesTasks()
{
    Fixture f;
    QSignalSpy enabled(&f.server, &ModbusTaskServer::enabledChanged);
    f.server.setEnabled(false);
    f.server.setEnabled(false);
    QCOMPARE(enabled.size(), 1);
    TestItem item;
    // Each task is deleted at once: ASan's leak check fails the test otherwise.
    f.server.addIntervalTask(item.createModbusTask(DorrikBus::ReadTask, 1000));
    f.server.addQueuedTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    f.server.addResult(taskInState(item, DorrikBus::GoodState).release());
    QCOMPARE(f.server.intervalTasksCount(), 0);
    QCOMPARE(f.server.queuedTasksCount(), 0);
    QCOMPARE(f.server.resultTasksCount(), 0);
    QCOMPARE(f.server.executedTasksCount(), quint64(0));
    QCOMPARE(f.server.goodTasksCount(), quint64(0));
    QCOMPARE(f.server.getQueuedTask(), nullptr);
}

void TstModbusTaskServer::pauseHoldsQueue()
{
    Fixture f;
    ModbusItemBase *first = f.addQueued();
    ModbusItemBase *second = f.addQueued();
    f.server.setPaused(true);
    QCOMPARE(f.server.getQueuedTask(), nullptr);
    QCOMPARE(f.server.queuedTasksCount(), 2);
    f.server.setPaused(false);
    QSignalSpy count(&f.server, &ModbusTaskServer::queuedTasksCountChanged);
    TaskPtr task(f.server.getQueuedTask());
    QCOMPARE(task->firstItem(), first);
    task.reset(f.server.getQueuedTask());
    QCOMPARE(task->firstItem(), second);
    QCOMPARE(f.server.getQueuedTask(), nullptr);
    QCOMPARE(count.size(), 2);
    QCOMPARE(f.server.queuedTasksCount(), 0);
}

void TstModbusTaskServer::switchesWakeTheExecutor()
{
    // tasksChanged wakes the executor: on work added and on every switch that may free work.
    Fixture f;
    QSignalSpy wake(&f.server, &ModbusTaskServer::tasksChanged);
    f.addQueued();
    QCOMPARE(wake.size(), 1);
    // Pausing frees nothing; resuming does, and must not wait for the executor's idle timer.
    f.server.setPaused(true);
    QCOMPARE(wake.size(), 1);
    f.server.setPaused(false);
    QCOMPARE(wake.size(), 2);
    f.server.setEnabled(false);
    QCOMPARE(wake.size(), 2);
    f.server.setEnabled(true);
    QCOMPARE(wake.size(), 3);
    QSignalSpy reading(&f.server, &ModbusTaskServer::intervalReadingEnabledChanged);
    f.server.setIntervalReadingEnabled(false);
    f.server.setIntervalReadingEnabled(false);
    f.server.setIntervalReadingEnabled(true);
    QCOMPARE(wake.size(), 5);
    QCOMPARE(reading.size(), 2);
    QCOMPARE(reading.at(0).at(0).toBool(), false);
}

void TstModbusTaskServer::intervalReadingOff()
{
    Fixture f;
    ModbusItemBase *item = f.addInterval(1000);
    f.addQueued();
    f.rebuild();
    f.clock.advance(1000);
    f.server.setIntervalReadingEnabled(false);
    QCOMPARE(f.nextIntervalItem(), nullptr);
    // Queued work still goes; the nearest time is left for the executor to ignore.
    TaskPtr queued(f.server.getQueuedTask());
    QVERIFY(queued);
    QDateTime time;
    QVERIFY(f.server.getNearestTaskTime(time));
    f.server.setIntervalReadingEnabled(true);
    QCOMPARE(f.nextIntervalItem(), item);
}

void TstModbusTaskServer::countersByState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<quint64>("good");
    QTest::addColumn<quint64>("error");
    QTest::newRow("good") << int(DorrikBus::GoodState) << quint64(1) << quint64(0);
    QTest::newRow("error") << int(DorrikBus::ErrorState) << quint64(0) << quint64(1);
    QTest::newRow("aborted: executed only")
        << int(DorrikBus::AbortedState) << quint64(0) << quint64(0);
    QTest::newRow("none: executed only") << int(DorrikBus::NoneState) << quint64(0) << quint64(0);
}

void TstModbusTaskServer::countersByState()
{
    QFETCH(int, state);
    QFETCH(quint64, good);
    QFETCH(quint64, error);
    Fixture f;
    TestItem item;
    QSignalSpy executedSpy(&f.server, &ModbusTaskServer::executedTasksCountChanged);
    QSignalSpy goodSpy(&f.server, &ModbusTaskServer::goodTasksCountChanged);
    QSignalSpy errorSpy(&f.server, &ModbusTaskServer::errorTasksCountChanged);
    QSignalSpy resultSpy(&f.server, &ModbusTaskServer::resultTasksCountChanged);
    for (int i = 0; i < 2; ++i)
        f.server.addResult(taskInState(item, DorrikBus::ModbusTaskState(state)).release());
    QCOMPARE(f.server.executedTasksCount(), quint64(2));
    QCOMPARE(f.server.goodTasksCount(), 2 * good);
    QCOMPARE(f.server.errorTasksCount(), 2 * error);
    QCOMPARE(executedSpy.size(), 2);
    QCOMPARE(quint64(goodSpy.size()), 2 * good);
    QCOMPARE(quint64(errorSpy.size()), 2 * error);
    QCOMPARE(resultSpy.size(), 2);
    QCOMPARE(f.server.resultTasksCount(), 2);
}

void TstModbusTaskServer::getResults_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("moved");
    QTest::addColumn<bool>("more");
    QTest::newRow("all") << -1 << 3 << false;
    QTest::newRow("5 asked: one moved") << 5 << 1 << true;
    QTest::newRow("1 asked") << 1 << 1 << true;
}

void TstModbusTaskServer::getResults()
{
    QFETCH(int, count);
    QFETCH(int, moved);
    QFETCH(bool, more);
    Fixture f;
    TestItem a, b, c;
    for (TestItem *item : {&a, &b, &c})
        f.server.addResult(taskInState(*item, DorrikBus::GoodState).release());
    TestItem earlier;
    ModbusTaskList list;
    list.append(taskInState(earlier, DorrikBus::GoodState).release());
    bool remain = !more;
    f.server.getResults(list, count, &remain);
    QCOMPARE(remain, more);
    QCOMPARE(list.size(), 1 + moved);
    QCOMPARE(list.at(0)->firstItem(), &earlier);
    QCOMPARE(list.at(1)->firstItem(), &a);
    if (moved == 3)
        QCOMPARE(list.at(2)->firstItem(), &b);
    QCOMPARE(f.server.resultTasksCount(), 3 - moved);
    list.clearWithDelete();
    f.server.getResults(list);
    QCOMPARE(list.size(), 3 - moved);
    list.clearWithDelete();
    f.server.getResults(list, -1, nullptr);
    QVERIFY(list.isEmpty());
}

void TstModbusTaskServer::abortAndRemoveByItem()
{
    Fixture f;
    TestItem item, other;
    item.setLastReadTime(T0);
    auto fill = [&] {
        f.server.addIntervalTask(item.createModbusTask(DorrikBus::ReadTask, 1000));
        f.server.addQueuedTask(item.createModbusTask(DorrikBus::ReadTask, 0));
        f.server.addQueuedTask(other.createModbusTask(DorrikBus::ReadTask, 0));
        f.server.addQueuedTask(item.createModbusTask(DorrikBus::WriteTask, 0));
        f.server.addResult(taskInState(item, DorrikBus::GoodState).release());
    };
    fill();
    f.rebuild();

    // Aborting drops the item's queued tasks only; its interval task keeps being served.
    f.server.abortTasks(&item);
    QCOMPARE(f.server.queuedTasksCount(), 1);
    QCOMPARE(f.server.intervalTasksCount(), 1);
    QCOMPARE(f.server.resultTasksCount(), 1);
    TaskPtr left(f.server.getQueuedTask());
    QCOMPARE(left->firstItem(), &other);
    f.clock.advance(1000);
    QCOMPARE(f.nextIntervalItem(), &item);

    f.server.removeTasks(&item);
    QCOMPARE(f.server.queuedTasksCount(), 0);
    QCOMPARE(f.server.intervalTasksCount(), 0);
    QCOMPARE(f.server.resultTasksCount(), 0);
    f.rebuild();
    f.clock.advance(5000);
    QCOMPARE(f.nextIntervalItem(), nullptr);

    fill();
    f.rebuild();
    f.server.abortAllTasks();
    QCOMPARE(f.server.queuedTasksCount(), 0);
    QCOMPARE(f.server.intervalTasksCount(), 1);
    f.rebuild();
    f.clock.advance(5000);
    QCOMPARE(f.nextIntervalItem(), &item);
}

void TstModbusTaskServer::clearDeletesEverything()
{
    // Tasks left in the lists and the schedule are deleted with the server, or by clear().
    {
        Fixture f;
        f.addInterval(1000);
        f.addQueued();
        TestItem item;
        f.server.addResult(taskInState(item, DorrikBus::ErrorState).release());
        f.rebuild();
    }
    Fixture f;
    f.addInterval(1000);
    f.addQueued();
    f.rebuild();
    QSignalSpy rebuilt(&f.server, &ModbusTaskServer::tasksChanged);
    f.server.clear();
    QCOMPARE(f.server.queuedTasksCount(), 0);
    QCOMPARE(f.server.intervalTasksCount(), 0);
    f.rebuild();
    QCOMPARE(rebuilt.size(), 1);
    f.clock.advance(5000);
    QCOMPARE(f.nextIntervalItem(), nullptr);
}

void TstModbusTaskServer::executorThreadRoundTrip()
{
    // The executor's side from another thread while the GUI side adds, pauses and takes results:
    // every task comes back exactly once and none leaks.
    Fixture f;
    TestItem item;
    const int total = 2000;
    std::atomic<bool> stop{false};
    std::thread executor([&] {
        while (!stop) {
            if (ModbusTask *task = f.server.getQueuedTask()) {
                task->setState(task->interval() % 2 ? DorrikBus::ErrorState : DorrikBus::GoodState);
                f.server.addResult(task);
            } else {
                std::this_thread::yield();
            }
        }
    });
    ModbusTaskList results;
    for (int i = 0; i < total; ++i) {
        auto *task = new ModbusTaskAddressed(item, item.address(), i % 2);
        f.server.addQueuedTask(task);
        if (i % 100 == 0)
            f.server.setPaused(!f.server.paused());
        if (i % 7 == 0)
            f.server.getResults(results, 1);
    }
    f.server.setPaused(false);
    QTRY_COMPARE_WITH_TIMEOUT(f.server.executedTasksCount(), quint64(total), 10000);
    stop = true;
    executor.join();
    f.server.getResults(results);
    QCOMPARE(results.size(), total);
    QCOMPARE(f.server.goodTasksCount(), quint64(total / 2));
    QCOMPARE(f.server.errorTasksCount(), quint64(total / 2));
    results.clearWithDelete();
}

QTEST_GUILESS_MAIN(TstModbusTaskServer)
#include "tst_modbustaskserver.moc"
