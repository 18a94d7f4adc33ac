#include "fakeclock.h"
#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbusloopbackclient.h"
#include "modbustaskaddressed.h"
#include "modbustaskserver.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QtTest>

#include <memory>

using TaskPtr = std::unique_ptr<ModbusTask>;
using Blocks = QList<QPair<quint32, int>>;
Q_DECLARE_METATYPE(Blocks)

namespace {

const QDateTime T0(QDate(2024, 3, 1), QTime(10, 0, 0));

// The item joins the client as a register item does: it is the client's, and its abort request
// reaches the client.
void attach(ModbusItemBase &item, ModbusClient &client)
{
    item.setClient(&client);
    client.registerItem(&item);
    QObject::connect(&item, &ModbusItemBase::abortExecutingInternal, &client,
                     &ModbusClient::abortExecuting);
}

// Registers 0, 1, 2, ... written as bytes, as fillCounting leaves them on the instrument.
ModbusBytes counting(int first, int count)
{
    ModbusBytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.appendReg(quint16(first + i));
    return bytes;
}

ModbusBytes pattern(int registers)
{
    ModbusBytes bytes;
    for (int i = 0; i < registers; ++i)
        bytes.appendReg(quint16(0xA000 + i));
    return bytes;
}

} // namespace

// The executor against the simulated instrument: when it runs tasks, how it retries them, and
// how it cuts them into requests, as the instrument's request log shows.
class tst_ModbusClientExecutor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void queuedTaskRunsWhileDisconnectedIntervalTaskDoesNot();
    void timerFollowsTheNearestDueTask();
    void retries_data();
    void retries();
    void registerReadBlocks_data();
    void registerReadBlocks();
    void shortBlockFailsTheRead();
    void registerWriteBlocks_data();
    void registerWriteBlocks();
    void writeSendsEveryDataItem();
    void refusedWrites_data();
    void refusedWrites();
    void taskWithoutDataItems();
    void abortRaisedWhileTheTaskIsTaken_data();
    void abortRaisedWhileTheTaskIsTaken();
    void abortDuringTheFirstBlock();
    void abortOfAnotherItemDoesNotStopTheTask();
    void fileBlocks_data();
    void fileBlocks();
    void fileWriteBlocks();
    void report();
    void coilsAndDiscreteInputsAreNotImplemented_data();
    void coilsAndDiscreteInputsAreNotImplemented();
    void multiItemTaskComesBackPerItem();

private:
    Blocks requestBlocks() const;
    DorrikBus::ModbusTaskState runSync(ModbusTask &task);

    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
};

void tst_ModbusClientExecutor::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
    QVERIFY(m_client->connected());
}

void tst_ModbusClientExecutor::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

Blocks tst_ModbusClientExecutor::requestBlocks() const
{
    Blocks blocks;
    const QList<InstrumentRequest> log = m_instrument->requests();
    for (const InstrumentRequest &request : log)
        blocks.append({request.address, request.count});
    return blocks;
}

DorrikBus::ModbusTaskState tst_ModbusClientExecutor::runSync(ModbusTask &task)
{
    m_client->executeTaskSyncSilent(&task);
    return task.state();
}

void tst_ModbusClientExecutor::queuedTaskRunsWhileDisconnectedIntervalTaskDoesNot()
{
    m_instrument->disconnectLink();
    QTRY_VERIFY(!m_client->connected());
    TestItem queued(400001);
    TestItem polled(400002);
    attach(queued, *m_client);
    attach(polled, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);

    m_client->startExecutingIntervalTask(polled.createModbusTask(DorrikBus::ReadTask, 60000));
    m_client->executeTask(queued.createModbusTask(DorrikBus::ReadTask, 0));

    // The queued one is tried (and fails on the link that is down); the interval one waits.
    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(executed.at(0).at(0).value<ModbusItemBase *>(), &queued);
    QCOMPARE(m_client->errorTasksCount(), quint64(1));
    QTRY_COMPARE(m_client->executor()->timerInterval(), ModbusClientExecutor::IdleInterval);
    QTest::qWait(100);
    QCOMPARE(executed.size(), 1);
    QCOMPARE(m_instrument->requestCount(), 0);

    // Back on line, the interval task runs.
    m_instrument->connectLink();
    QTRY_COMPARE(executed.size(), 2);
    QCOMPARE(executed.at(1).at(0).value<ModbusItemBase *>(), &polled);
    QCOMPARE(polled.readCount(), quint64(1));
}

void tst_ModbusClientExecutor::timerFollowsTheNearestDueTask()
{
    FakeClock clock(T0);
    m_client->taskServer()->setTimeProvider(clock);
    ModbusClientExecutor *executor = m_client->executor();
    // Nothing to do at all.
    m_client->wakeUpExecutor();
    QTRY_COMPARE(executor->timerInterval(), ModbusClientExecutor::IdleInterval);

    TestItem item(400001);
    attach(item, *m_client);
    m_client->startExecutingIntervalTask(item.createModbusTask(DorrikBus::ReadTask, 2500));
    // Never read: due at once; once handed out, due again 2500 ms after on the fake clock.
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    QTRY_COMPARE(executor->timerInterval(), 2500);

    clock.advance(1000);
    m_client->wakeUpExecutor();
    QTRY_COMPARE(executor->timerInterval(), 1500);

    m_client->setIntervalReadingEnabled(false);
    QTRY_COMPARE(executor->timerInterval(), ModbusClientExecutor::IdleInterval);
    clock.advance(5000);
    m_client->wakeUpExecutor();
    QTest::qWait(50);
    QCOMPARE(m_instrument->requestCount(), 1);

    // Overdue once interval reading is back: it runs, and the next one is 2500 ms away again.
    m_client->setIntervalReadingEnabled(true);
    QTRY_COMPARE(m_instrument->requestCount(), 2);
    QTRY_COMPARE(executor->timerInterval(), 2500);

    m_instrument->disconnectLink();
    QTRY_COMPARE(executor->timerInterval(), ModbusClientExecutor::IdleInterval);
    m_client->taskServer()->clear();
}

void tst_ModbusClientExecutor::retries_data()
{
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("exceptions");
    QTest::addColumn<int>("requests");
    QTest::addColumn<DorrikBus::ModbusTaskState>("state");

    QTest::newRow("3 retries, always an exception") << 3 << -1 << 3 << DorrikBus::ErrorState;
    QTest::newRow("3 retries, good at the second try") << 3 << 1 << 2 << DorrikBus::GoodState;
    QTest::newRow("1 retry, one exception") << 1 << 1 << 1 << DorrikBus::ErrorState;
    QTest::newRow("3 retries, good at once") << 3 << 0 << 1 << DorrikBus::GoodState;
}

void tst_ModbusClientExecutor::retries()
{
    QFETCH(int, retries);
    QFETCH(int, exceptions);
    QFETCH(int, requests);
    QFETCH(DorrikBus::ModbusTaskState, state);

    m_client->setRetries(retries);
    m_instrument->setException(400010, DorrikBus::SlaveDeviceBusy, exceptions);
    TestItem item(400010);
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QCOMPARE(runSync(*task), state);
    QCOMPARE(m_instrument->requestCount(), requests);
    if (state == DorrikBus::ErrorState)
        QVERIFY2(task->errorString().contains(QLatin1String("received exception packet")),
                 qPrintable(task->errorString()));
    else
        QVERIFY(task->errorString().isEmpty());
}

void tst_ModbusClientExecutor::registerReadBlocks_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("registers");
    QTest::addColumn<int>("function");
    QTest::addColumn<Blocks>("blocks");

    QTest::newRow("1 register") << 400001u << 1 << 3 << Blocks{{400001, 1}};
    QTest::newRow("122 registers, 1 request") << 400001u << 122 << 3 << Blocks{{400001, 122}};
    QTest::newRow("123 registers, 122 + 1")
        << 400001u << 123 << 3 << Blocks{{400001, 122}, {400123, 1}};
    QTest::newRow("300 input registers")
        << 300101u << 300 << 4 << Blocks{{300101, 122}, {300223, 122}, {300345, 56}};
    Blocks thousand;
    for (int i = 0; i < 8; ++i)
        thousand.append({400001 + 122 * quint32(i), 122});
    thousand.append({400977, 24});
    QTest::newRow("1000 registers, 9 requests") << 400001u << 1000 << 3 << thousand;
}

void tst_ModbusClientExecutor::registerReadBlocks()
{
    QFETCH(quint32, address);
    QFETCH(int, registers);
    QFETCH(int, function);
    QFETCH(Blocks, blocks);

    m_instrument->fillCounting(address, registers);
    TestItem item(address, registers);
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QSignalSpy partial(m_client.get(), &ModbusClient::taskPartialExecuted);
    QCOMPARE(runSync(*task), DorrikBus::GoodState);

    QCOMPARE(requestBlocks(), blocks);
    for (const InstrumentRequest &request : m_instrument->requests())
        QCOMPARE(int(request.function), function);
    QCOMPARE(task->firstBytes().toModbusBytes(), counting(0, registers));
    QCOMPARE(task->firstBytes().size(), registers);
    // Progress between blocks, none after the last.
    QTRY_COMPARE(partial.size(), blocks.size() - 1);
}

void tst_ModbusClientExecutor::shortBlockFailsTheRead()
{
    // The request API refuses an answer of another register count than asked for, so a short
    // block fails the read: the blocks before it are dropped, nothing is stored.
    m_instrument->fillCounting(400001, 300);
    m_instrument->setShortAnswers(100, 1);
    TestItem item(400001, 300);
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QCOMPARE(runSync(*task), DorrikBus::ErrorState);
    QCOMPARE(requestBlocks(), (Blocks{{400001, 122}}));
    QVERIFY2(task->errorString().contains(QLatin1String("(100) doesn't equal requested")),
             qPrintable(task->errorString()));
    QVERIFY(task->firstBytes().isEmpty());
}

void tst_ModbusClientExecutor::registerWriteBlocks_data()
{
    QTest::addColumn<int>("registers");
    QTest::addColumn<int>("function");
    QTest::addColumn<Blocks>("blocks");

    QTest::newRow("1 register, function 6") << 1 << 6 << Blocks{{400051, 1}};
    QTest::newRow("2 registers, function 16") << 2 << 16 << Blocks{{400051, 2}};
    QTest::newRow("122 registers") << 122 << 16 << Blocks{{400051, 122}};
    QTest::newRow("300 registers, 122 + 122 + 56")
        << 300 << 16 << Blocks{{400051, 122}, {400173, 122}, {400295, 56}};
}

void tst_ModbusClientExecutor::registerWriteBlocks()
{
    QFETCH(int, registers);
    QFETCH(int, function);
    QFETCH(Blocks, blocks);

    TestItem item(400051, registers);
    const ModbusBytes data = pattern(registers);
    TaskPtr task(new ModbusTaskAddressed(item, 400051, data.splitBySize(2)));
    QCOMPARE(runSync(*task), DorrikBus::GoodState);

    QCOMPARE(requestBlocks(), blocks);
    for (const InstrumentRequest &request : m_instrument->requests())
        QCOMPARE(int(request.function), function);
    QCOMPARE(m_instrument->registers(400051, registers), data);
}

void tst_ModbusClientExecutor::writeSendsEveryDataItem()
{
    TestItem first(400001);
    TestItem second(400002, 2);
    TaskPtr task(
        new ModbusTaskAddressed(first, 400001, ModbusBytes::fromHex("1111").splitBySize(2)));
    TaskPtr other(
        new ModbusTaskAddressed(second, 400002, ModbusBytes::fromHex("22223333").splitBySize(2)));
    task->append(*other);
    QCOMPARE(runSync(*task), DorrikBus::GoodState);
    QCOMPARE(requestBlocks(), (Blocks{{400001, 3}}));
    QCOMPARE(m_instrument->requests().at(0).function, DorrikBus::WriteMultipleRegisters);
    QCOMPARE(m_instrument->registers(400001, 3).toHex(), QByteArray("111122223333"));
}

void tst_ModbusClientExecutor::refusedWrites_data()
{
    QTest::addColumn<ModbusBytesArray>("elements");
    QTest::addColumn<QString>("error");

    QTest::newRow("nothing to write") << ModbusBytesArray() << QStringLiteral("nothing to write");
    // The lone last byte would be dropped while the write passes for good.
    QTest::newRow("three bytes")
        << ModbusBytesArray(QList<ModbusBytes>{ModbusBytes::fromHex("112233")})
        << QStringLiteral("can't write 3 bytes: not a whole number of registers");
    QTest::newRow("two items, three bytes")
        << ModbusBytesArray(
               QList<ModbusBytes>{ModbusBytes::fromHex("1122"), ModbusBytes::fromHex("33")})
        << QStringLiteral("can't write 3 bytes: not a whole number of registers");
}

void tst_ModbusClientExecutor::refusedWrites()
{
    QFETCH(ModbusBytesArray, elements);
    QFETCH(QString, error);

    TestItem item(400001, 2);
    TaskPtr task(new ModbusTaskAddressed(item, 400001, elements));
    QCOMPARE(runSync(*task), DorrikBus::ErrorState);
    QCOMPARE(task->errorString(), error);
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ModbusClientExecutor::taskWithoutDataItems()
{
    // A task kind that gives up its data items: nothing to run it for.
    class EmptyTask : public ModbusTaskAddressed
    {
    public:
        explicit EmptyTask(ModbusItemBase &item) : ModbusTaskAddressed(item, 400001, 0)
        {
            mutableDataList().clear();
        }
    };
    TestItem item(400001);
    EmptyTask task(item);
    QCOMPARE(runSync(task), DorrikBus::ErrorState);
    QCOMPARE(task.errorString(), QStringLiteral("task has no data items"));
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ModbusClientExecutor::abortRaisedWhileTheTaskIsTaken_data()
{
    QTest::addColumn<bool>("all");
    QTest::newRow("abort of the item") << false;
    QTest::newRow("abort of all") << true;
}

// The abort comes after the executor has taken the task from the queue and before it starts
// it: the task is no longer in the queue to be dropped, so the running task has to stop.
void tst_ModbusClientExecutor::abortRaisedWhileTheTaskIsTaken()
{
    QFETCH(bool, all);

    TestItem item(400001, 300);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSemaphore taken;
    QSemaphore resume;
    m_client->executor()->setTaskTakenHook([&](ModbusTask *) {
        taken.release();
        resume.acquire();
    });
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QVERIFY(taken.tryAcquire(1, 10000));
    if (all)
        m_client->abortExecutingAll();
    else
        item.abortExecuting();
    resume.release();

    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(item.errorString(), QStringLiteral("aborted"));
    QVERIFY(!item.wasRead());
    // Three blocks of 122, 122 and 56 registers; it stops after the first.
    QCOMPARE(m_instrument->requestCount(), 1);

    // An abort raised before a task does not touch it.
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QVERIFY(taken.tryAcquire(1, 10000));
    resume.release();
    QTRY_COMPARE(executed.size(), 2);
    QVERIFY(item.wasRead());
    QCOMPARE(m_instrument->requestCount(), 4);
}

void tst_ModbusClientExecutor::abortDuringTheFirstBlock()
{
    TestItem item(400001, 300);
    attach(item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSignalSpy errors(&item, &ErrObject::error);
    m_instrument->setDelay(300);
    m_client->executeTask(new ModbusTaskAddressed(item, 400001, pattern(300).splitBySize(2)));
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    item.abortExecuting();

    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("aborted"));
    QCOMPARE(m_instrument->requestCount(), 1);
    // The block sent before the abort stays written.
    QCOMPARE(m_instrument->registers(400001, 122), pattern(122));
    QCOMPARE(m_client->executedTasksCount(), quint64(1));
    QCOMPARE(m_client->errorTasksCount(), quint64(0));
    QCOMPARE(m_client->goodTasksCount(), quint64(0));
}

void tst_ModbusClientExecutor::abortOfAnotherItemDoesNotStopTheTask()
{
    TestItem item(400001, 300);
    TestItem other(400500);
    attach(item, *m_client);
    attach(other, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    m_instrument->setDelay(100);
    m_client->executeTask(item.createModbusTask(DorrikBus::ReadTask, 0));
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    other.abortExecuting();

    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(m_instrument->requestCount(), 3);
    QVERIFY(item.wasRead());
}

void tst_ModbusClientExecutor::fileBlocks_data()
{
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<int>("registers");
    QTest::addColumn<Blocks>("blocks");

    QTest::newRow("block size 0 means 122") << 0 << 130 << Blocks{{10, 122}, {132, 8}};
    QTest::newRow("block size 200 means 122") << 200 << 130 << Blocks{{10, 122}, {132, 8}};
    QTest::newRow("block size 16") << 16 << 40 << Blocks{{10, 16}, {26, 16}, {42, 8}};
    QTest::newRow("one block") << 16 << 16 << Blocks{{10, 16}};
}

void tst_ModbusClientExecutor::fileBlocks()
{
    QFETCH(int, blockSize);
    QFETCH(int, registers);
    QFETCH(Blocks, blocks);

    m_instrument->setFile(2, counting(0, 200));
    TestFileItem item(2, 10, registers, blockSize);
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QCOMPARE(runSync(*task), DorrikBus::GoodState);
    QCOMPARE(requestBlocks(), blocks);
    for (const InstrumentRequest &request : m_instrument->requests()) {
        QCOMPARE(request.function, DorrikBus::ReadFile);
        QCOMPARE(int(request.file), 2);
    }
    QCOMPARE(task->firstBytes().toModbusBytes(), counting(10, registers));
}

void tst_ModbusClientExecutor::fileWriteBlocks()
{
    m_instrument->setFile(4, ModbusBytes::fromSize(2 * 200, 0));
    TestFileItem item(4, 5, 150, 0);
    TaskPtr task(item.createModbusTask(DorrikBus::WriteTask, 0));
    task->setBytes(pattern(150).splitBySize(2));
    QCOMPARE(runSync(*task), DorrikBus::GoodState);
    QCOMPARE(requestBlocks(), (Blocks{{5, 122}, {127, 28}}));
    QCOMPARE(m_instrument->requests().at(0).function, DorrikBus::WriteFile);
    QCOMPARE(ModbusBytes::fromOther(m_instrument->file(4), 10, 300), pattern(150));
}

void tst_ModbusClientExecutor::report()
{
    m_instrument->setReportText(QStringLiteral("TVN-5"));
    TestReportItem item;
    TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QCOMPARE(runSync(*task), DorrikBus::GoodState);
    QCOMPARE(task->firstBytes().size(), 1);
    QCOMPARE(DorrikBus::getDevNameFromReportBytes(task->firstBytes().first()),
             QStringLiteral("TVN-5"));
    QCOMPARE(m_instrument->requests().at(0).function, DorrikBus::ReportSlaveId);
}

void tst_ModbusClientExecutor::coilsAndDiscreteInputsAreNotImplemented_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<DorrikBus::ModbusTaskType>("type");
    QTest::newRow("coil read") << 5u << DorrikBus::ReadTask;
    QTest::newRow("coil write") << 5u << DorrikBus::WriteTask;
    QTest::newRow("discrete input read") << 100005u << DorrikBus::ReadTask;
}

void tst_ModbusClientExecutor::coilsAndDiscreteInputsAreNotImplemented()
{
    QFETCH(quint32, address);
    QFETCH(DorrikBus::ModbusTaskType, type);
    m_client->setRetries(2);
    TestItem item(address, 1, 1);
    TaskPtr task(item.createModbusTask(type, 0));
    QCOMPARE(runSync(*task), DorrikBus::ErrorState);
    QCOMPARE(task->errorString(), QStringLiteral("Not implemented"));
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ModbusClientExecutor::multiItemTaskComesBackPerItem()
{
    m_instrument->fillCounting(400001, 3);
    // The split copies step the address by two per data item, so the items stand that far apart.
    TestItem a(400001);
    TestItem b(400003);
    TestItem c(400005);
    for (TestItem *item : {&a, &b, &c})
        attach(*item, *m_client);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    ModbusTask *task = a.createModbusTask(DorrikBus::ReadTask, 0);
    for (TestItem *item : {&b, &c})
        task->append(*item);
    m_client->executeTask(task);

    QTRY_COMPARE(executed.size(), 3);
    QCOMPARE(requestBlocks(), (Blocks{{400001, 3}}));
    QCOMPARE(executed.at(0).at(0).value<ModbusItemBase *>(), &a);
    QCOMPARE(executed.at(1).at(0).value<ModbusItemBase *>(), &b);
    QCOMPARE(executed.at(2).at(0).value<ModbusItemBase *>(), &c);
    QCOMPARE(a.getModbusBytes().toModbusBytes(), counting(0, 1));
    QCOMPARE(b.getModbusBytes().toModbusBytes(), counting(1, 1));
    QCOMPARE(c.getModbusBytes().toModbusBytes(), counting(2, 1));
    QCOMPARE(m_client->goodTasksCount(), quint64(3));
}

QTEST_GUILESS_MAIN(tst_ModbusClientExecutor)
#include "tst_modbusclientexecutor.moc"
