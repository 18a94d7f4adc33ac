#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbustaskaddressed.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QtTest>

#include <memory>

using GroupSet = QHash<QString, bool>;

namespace {

// A register item whose address decides whether it may be written, as the addressed items do.
class RegisterItem : public TestItem
{
public:
    explicit RegisterItem(quint32 address = 400001, int count = 1, int elementSize = 2)
        : TestItem(address, count, elementSize)
    {
        setReadOnly(DorrikBus::isReadOnly(address));
    }
};

// The names of the item's signals in the order they came.
class SignalLog
{
public:
    explicit SignalLog(ModbusItemBase &item)
    {
        add(item, &ModbusItemBase::lastReadTimeChanged, "lastReadTimeChanged");
        add(item, &ModbusItemBase::wasReadChanged, "wasReadChanged");
        add(item, &ModbusItemBase::readCountChanged, "readCountChanged");
        add(item, &ModbusItemBase::afterRead, "afterRead");
        add(item, &ModbusItemBase::afterWrite, "afterWrite");
        add(item, &ModbusItemBase::actualValueChanged, "actualValueChanged");
        add(item, &ModbusItemBase::bytesWasRead, "bytesWasRead");
        QObject::connect(&item, &ModbusItemBase::bytesChanged, &m_context,
                         [this](ModbusItemBase::BytesChangeType type) {
                             names << QStringLiteral("bytesChanged(%1)").arg(int(type));
                         });
    }

    QStringList names;

private:
    template <typename Signal> void add(ModbusItemBase &item, Signal signal, const char *name)
    {
        QObject::connect(&item, signal, &m_context,
                         [this, name] { names << QString::fromLatin1(name); });
    }

    QObject m_context;
};

} // namespace

// Reading and writing of a register item through a client, against the simulated instrument.
class tst_ModbusItemBase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void requestsBeforeCompletion();
    void withoutClient_data();
    void withoutClient();
    void reentryGuards_data();
    void reentryGuards();
    void cancelledRequest_data();
    void cancelledRequest();
    void cancelRequestStopsOnlyTheAnnouncedRequest();
    void abortDropsTheItemsQueuedTasks();
    void readingCounter_data();
    void readingCounter();
    void readAfterWrite_data();
    void readAfterWrite();
    void failedTaskLeavesTheItemUnchanged_data();
    void failedTaskLeavesTheItemUnchanged();
    void signalsOfAGoodRead();
    void writeOutcome_data();
    void writeOutcome();
    void resultsThatDoNotFit_data();
    void resultsThatDoNotFit();
    void readOnlyByAddress_data();
    void readOnlyByAddress();
    void deviceAddress_data();
    void deviceAddress();
    void readOnConnectionChange_data();
    void readOnConnectionChange();
    void groupReads_data();
    void groupReads();
    void countAndCollect_data();
    void countAndCollect();
    void beginAndEndReading();
    void beginReadingFollowsTheSourceChain();
    void dependentItemReadsThroughItsSource();

private:
    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
};

void tst_ModbusItemBase::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
}

void tst_ModbusItemBase::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

void tst_ModbusItemBase::requestsBeforeCompletion()
{
    m_instrument->setRegisters(400001, ModbusBytes::fromHex("1234"));
    RegisterItem item;
    item.classBegin();
    item.setClient(m_client.get());
    QSignalSpy beforeRead(&item, &ModbusItemBase::beforeRead);
    QSignalSpy beforeWrite(&item, &ModbusItemBase::beforeWrite);
    QSignalSpy errors(&item, &ErrObject::error);

    QVERIFY(!item.read());
    QVERIFY(!item.read());
    QVERIFY(!item.write());
    QVERIFY(!item.writeSync(ModbusBytes::fromHex("ffff")));
    QCOMPARE(m_client->queuedTasksCount(), quint64(0));
    QCOMPARE(beforeRead.size(), 0);

    item.componentComplete();
    QCOMPARE(beforeRead.size(), 1);
    QTRY_COMPARE(item.readCount(), quint64(1));
    QCOMPARE(item.formatValue(), QStringLiteral("1234"));
    // Only the one read went out: the writes were dropped, not remembered.
    QTRY_COMPARE(m_client->executedTasksCount(), quint64(1));
    QCOMPARE(m_client->queuedTasksCount(), quint64(0));
    QCOMPARE(m_instrument->requestCount(), 1);
    QCOMPARE(m_instrument->requests().at(0).function, DorrikBus::ReadHoldingRegisters);
    QCOMPARE(beforeWrite.size(), 0);
    QCOMPARE(errors.size(), 0);
}

void tst_ModbusItemBase::withoutClient_data()
{
    QTest::addColumn<QString>("request");
    QTest::newRow("read") << "read";
    QTest::newRow("readSync") << "readSync";
    QTest::newRow("write") << "write";
    QTest::newRow("writeSync") << "writeSync";
    QTest::newRow("write bytes") << "write bytes";
}

void tst_ModbusItemBase::withoutClient()
{
    QFETCH(QString, request);
    RegisterItem item;
    QSignalSpy errors(&item, &ErrObject::error);
    const auto run = [&] {
        if (request == QLatin1String("read"))
            return item.read();
        if (request == QLatin1String("readSync"))
            return item.readSync();
        if (request == QLatin1String("write"))
            return item.write();
        if (request == QLatin1String("writeSync"))
            return item.writeSync();
        return item.write(ModbusBytes::fromHex("0102"));
    };
    QVERIFY(!run());
    QVERIFY(!run());
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.at(1).at(0).toString(),
             QStringLiteral("you should assign 'client' - property"));
    QCOMPARE(item.errorString(), QStringLiteral("you should assign 'client' - property"));
    QCOMPARE(item.errorCount(), quint64(2));
}

void tst_ModbusItemBase::reentryGuards_data()
{
    QTest::addColumn<bool>("fromRead");
    QTest::addColumn<bool>("asksRead");
    QTest::addColumn<bool>("innerResult");
    QTest::newRow("read from beforeRead") << true << true << false;
    QTest::newRow("write from beforeWrite") << false << false << false;
    QTest::newRow("write from beforeRead") << true << false << true;
    QTest::newRow("read from beforeWrite") << false << true << true;
}

void tst_ModbusItemBase::reentryGuards()
{
    QFETCH(bool, fromRead);
    QFETCH(bool, asksRead);
    QFETCH(bool, innerResult);
    m_client->setPaused(true);
    RegisterItem item;
    item.setClient(m_client.get());

    int inner = 0;
    bool result = !innerResult;
    const auto handler = [&](bool &) {
        if (++inner == 1)
            result = asksRead ? item.read() : item.write();
    };
    if (fromRead)
        connect(&item, &ModbusItemBase::beforeRead, this, handler);
    else
        connect(&item, &ModbusItemBase::beforeWrite, this, handler);

    QVERIFY(fromRead ? item.read() : item.write());
    QCOMPARE(result, innerResult);
    QCOMPARE(m_client->queuedTasksCount(), quint64(innerResult ? 2 : 1));
    // The guard is down again afterwards.
    QVERIFY(fromRead ? item.read() : item.write());
}

void tst_ModbusItemBase::cancelledRequest_data()
{
    QTest::addColumn<bool>("reading");
    QTest::addColumn<bool>("sync");
    // A QML handler cannot set the argument: it calls cancelRequest() instead.
    QTest::addColumn<bool>("byCall");
    QTest::newRow("read") << true << false << false;
    QTest::newRow("readSync") << true << true << false;
    QTest::newRow("write") << false << false << false;
    QTest::newRow("writeSync") << false << true << false;
    QTest::newRow("read, cancelRequest()") << true << false << true;
    QTest::newRow("readSync, cancelRequest()") << true << true << true;
    QTest::newRow("write, cancelRequest()") << false << false << true;
    QTest::newRow("writeSync, cancelRequest()") << false << true << true;
}

void tst_ModbusItemBase::cancelledRequest()
{
    QFETCH(bool, reading);
    QFETCH(bool, sync);
    QFETCH(bool, byCall);
    RegisterItem item;
    item.setClient(m_client.get());
    const auto cancel = [&](bool &cancelled) {
        if (byCall)
            item.cancelRequest();
        else
            cancelled = true;
    };
    connect(&item, &ModbusItemBase::beforeRead, this, cancel);
    connect(&item, &ModbusItemBase::beforeWrite, this, cancel);
    QSignalSpy errors(&item, &ErrObject::error);

    bool result = true;
    if (reading)
        result = sync ? item.readSync() : item.read();
    else
        result = sync ? item.writeSync() : item.write();
    QVERIFY(!result);
    QCOMPARE(m_client->queuedTasksCount(), quint64(0));
    QCOMPARE(m_client->executedTasksCount(), quint64(0));
    QCOMPARE(m_instrument->requestCount(), 0);
    QCOMPARE(errors.size(), 0);

    // Outside a handler the call stops nothing, neither now nor the next request.
    disconnect(&item, nullptr, this, nullptr);
    item.cancelRequest();
    m_client->setPaused(true);
    QVERIFY(reading ? item.read() : item.write());
    QCOMPARE(m_client->queuedTasksCount(), quint64(1));
}

// A request started inside a handler announces itself: cancelling it leaves the outer one.
void tst_ModbusItemBase::cancelRequestStopsOnlyTheAnnouncedRequest()
{
    m_client->setPaused(true);
    RegisterItem item;
    item.setClient(m_client.get());
    bool inner = false;
    connect(&item, &ModbusItemBase::beforeWrite, this, [&](bool &) { QVERIFY(!item.read()); });
    connect(&item, &ModbusItemBase::beforeRead, this, [&](bool &) {
        inner = true;
        item.cancelRequest();
    });
    QVERIFY(item.write());
    QVERIFY(inner);
    QCOMPARE(m_client->queuedTasksCount(), quint64(1));
}

void tst_ModbusItemBase::abortDropsTheItemsQueuedTasks()
{
    m_client->setPaused(true);
    RegisterItem first(400001), second(400010);
    first.setClient(m_client.get());
    second.setClient(m_client.get());
    QVERIFY(first.read());
    QVERIFY(first.write());
    QVERIFY(second.read());
    QCOMPARE(m_client->queuedTasksCount(), quint64(3));
    first.abortExecuting();
    QCOMPARE(m_client->queuedTasksCount(), quint64(1));
    // Resuming does not wake the executor by itself.
    m_client->setPaused(false);
    m_client->wakeUpExecutor();
    QTRY_COMPARE(second.readCount(), quint64(1));
    QCOMPARE(first.readCount(), quint64(0));
    QCOMPARE(first.writeCount(), quint64(0));
}

void tst_ModbusItemBase::readingCounter_data()
{
    QTest::addColumn<int>("counter");
    QTest::newRow("3 reads") << 3;
    QTest::newRow("no limit") << 0;
}

void tst_ModbusItemBase::readingCounter()
{
    QFETCH(int, counter);
    RegisterItem item;
    item.setClient(m_client.get());
    item.setInterval(20);
    item.setReadingCounter(counter);
    QSignalSpy counterChanged(&item, &ModbusItemBase::readingCounterChanged);
    QSignalSpy readingChanged(&item, &ModbusItemBase::intervalReadingChanged);
    item.setIntervalReading(true);
    QCOMPARE(m_client->intervalTasksCount(), quint64(1));

    if (counter > 0) {
        QTRY_VERIFY(!item.intervalReading());
        QCOMPARE(item.readingCounter(), 0);
        QCOMPARE(counterChanged.size(), counter);
        // One more result may have been under way when the task stopped.
        QVERIFY(item.readCount() >= quint64(counter));
        QCOMPARE(readingChanged.size(), 2);
        QCOMPARE(m_client->intervalTasksCount(), quint64(0));
    } else {
        QTRY_VERIFY(item.readCount() >= 5);
        QVERIFY(item.intervalReading());
        QCOMPARE(counterChanged.size(), 0);
        QCOMPARE(m_client->intervalTasksCount(), quint64(1));
    }
}

void tst_ModbusItemBase::readAfterWrite_data()
{
    QTest::addColumn<bool>("readAfterWrite");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void tst_ModbusItemBase::readAfterWrite()
{
    QFETCH(bool, readAfterWrite);
    RegisterItem item(400005, 2);
    item.setClient(m_client.get());
    item.setReadAfterWrite(readAfterWrite);
    item.setFormatValue(QStringLiteral("12345678"));
    SignalLog log(item);
    bool queuedAtAfterWrite = false;
    connect(&item, &ModbusItemBase::afterWrite, this,
            [&] { queuedAtAfterWrite = m_client->queuedTasksCount() > 0; });

    QVERIFY(item.write());
    QTRY_COMPARE(item.writeCount(), quint64(1));
    QCOMPARE(m_instrument->registers(400005, 2), ModbusBytes::fromHex("12345678"));
    // The read is queued after afterWrite's handlers have run.
    QVERIFY(!queuedAtAfterWrite);
    if (readAfterWrite) {
        QTRY_COMPARE(item.readCount(), quint64(1));
        QCOMPARE(log.names.indexOf(QStringLiteral("afterWrite")), 0);
        QVERIFY(log.names.indexOf(QStringLiteral("afterRead")) > 0);
        QCOMPARE(m_instrument->requests().last().function, DorrikBus::ReadHoldingRegisters);
        QCOMPARE(m_instrument->requestCount(), 2);
    } else {
        QCOMPARE(m_client->queuedTasksCount(), quint64(0));
        QCOMPARE(log.names, QStringList{QStringLiteral("afterWrite")});
        QCOMPARE(m_instrument->requestCount(), 1);
    }
    QVERIFY(item.wasWrite());
}

void tst_ModbusItemBase::failedTaskLeavesTheItemUnchanged_data()
{
    QTest::addColumn<bool>("sync");
    QTest::addColumn<QString>("text");
    QTest::newRow("exception answer, queued") << false << "received exception packet";
    QTest::newRow("paused client, synchronous") << true << "modbus client is disabled or paused";
}

void tst_ModbusItemBase::failedTaskLeavesTheItemUnchanged()
{
    QFETCH(bool, sync);
    QFETCH(QString, text);
    m_instrument->setRegisters(400001, ModbusBytes::fromHex("9999"));
    m_instrument->setException(400001, DorrikBus::IllegalDataAddress);
    if (sync)
        m_client->setPaused(true);
    RegisterItem item;
    item.setClient(m_client.get());
    item.setFormatValue(QStringLiteral("abcd"));
    QSignalSpy errors(&item, &ErrObject::error);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    QSignalSpy afterRead(&item, &ModbusItemBase::afterRead);

    if (sync) {
        QVERIFY(!item.readSync());
        QCOMPARE(errors.size(), 1);
    } else {
        QVERIFY(item.read());
        QTRY_COMPARE(errors.size(), 1);
    }
    QVERIFY2(errors.at(0).at(0).toString().contains(text), qPrintable(item.errorString()));
    QCOMPARE(item.formatValue(), QStringLiteral("abcd"));
    QVERIFY(!item.wasRead());
    QCOMPARE(item.readCount(), quint64(0));
    QVERIFY(!item.actualValue());
    QCOMPARE(item.lastReadTime(), QDateTime::fromMSecsSinceEpoch(0));
    QCOMPARE(bytesChanged.size(), 0);
    QCOMPARE(afterRead.size(), 0);
}

void tst_ModbusItemBase::writeOutcome_data()
{
    QTest::addColumn<bool>("write"); // else a read
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("afterWrite");
    QTest::addColumn<int>("writeFailed");
    QTest::newRow("write taken") << true << "answers" << 1 << 0;
    QTest::newRow("write refused") << true << "refuses" << 0 << 1;
    QTest::newRow("write unanswered") << true << "silent" << 0 << 1;
    // A polled register's failed read is no answer to its writer.
    QTest::newRow("read refused") << false << "refuses" << 0 << 0;
    QTest::newRow("read unanswered") << false << "silent" << 0 << 0;
}

// A writer learns whether the device took its write, apart from the item's failed reads.
void tst_ModbusItemBase::writeOutcome()
{
    QFETCH(bool, write);
    QFETCH(QString, device);
    QFETCH(int, afterWrite);
    QFETCH(int, writeFailed);
    if (device == QLatin1String("refuses"))
        m_instrument->setException(400001, DorrikBus::SlaveDeviceBusy);
    else if (device == QLatin1String("silent"))
        m_instrument->setDropAnswers(-1);
    RegisterItem item;
    item.setClient(m_client.get());
    QSignalSpy errors(&item, &ErrObject::error);
    QSignalSpy written(&item, &ModbusItemBase::afterWrite);
    QSignalSpy failed(&item, &ModbusItemBase::writeFailed);
    item.setFormatValue(QStringLiteral("1234"));
    QVERIFY(write ? item.write() : item.read());
    QTRY_COMPARE(written.size() + errors.size(), 1);
    QCOMPARE(written.size(), afterWrite);
    QCOMPARE(failed.size(), writeFailed);
    if (writeFailed)
        QCOMPARE(failed.at(0).at(0).toString(), errors.at(0).at(0).toString());
}

void tst_ModbusItemBase::signalsOfAGoodRead()
{
    m_instrument->setRegisters(400001, ModbusBytes::fromHex("1234"));
    RegisterItem item;
    item.setClient(m_client.get());
    SignalLog log(item);
    QVERIFY(item.readSync());
    // The value is in place when afterRead runs, and it counts as the instrument's only after.
    const QStringList expected{
        QStringLiteral("bytesChanged(4)"),     QStringLiteral("bytesWasRead"),
        QStringLiteral("lastReadTimeChanged"), QStringLiteral("wasReadChanged"),
        QStringLiteral("readCountChanged"),    QStringLiteral("afterRead"),
        QStringLiteral("actualValueChanged")};
    QCOMPARE(log.names, expected);
    QCOMPARE(item.formatValue(), QStringLiteral("1234"));
    QVERIFY(item.actualValue());
    QVERIFY(item.lastReadTime() > QDateTime::fromMSecsSinceEpoch(0));

    // The next request makes the value no longer the instrument's until it is answered.
    m_client->setPaused(true);
    QVERIFY(item.read());
    QVERIFY(!item.actualValue());
}

void tst_ModbusItemBase::resultsThatDoNotFit_data()
{
    QTest::addColumn<bool>("forced");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("checkCount");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("fits") << false << 2 << true << true;
    QTest::newRow("force mark differs") << true << 2 << true << false;
    QTest::newRow("count differs") << false << 3 << true << false;
    QTest::newRow("count differs, not checked") << false << 3 << false << true;
}

void tst_ModbusItemBase::resultsThatDoNotFit()
{
    QFETCH(bool, forced);
    QFETCH(int, count);
    QFETCH(bool, checkCount);
    QFETCH(bool, accepted);
    RegisterItem item(400001, 2);
    item.setClient(m_client.get());
    item.setCheckReadTaskCount(checkCount);
    std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setForce(forced);
    task->setCount(count);
    task->setBytes(ModbusBytesArray(
        QList<ModbusBytes>{ModbusBytes::fromHex("0102"), ModbusBytes::fromHex("0304")}));
    task->setState(DorrikBus::GoodState);
    QSignalSpy errors(&item, &ErrObject::error);
    QCOMPARE(item.taskCompleted(task.get()), accepted);
    QCOMPARE(item.formatValue(),
             accepted ? QStringLiteral("01020304") : QStringLiteral("00000000"));
    QCOMPARE(item.readCount(), quint64(accepted ? 1 : 0));
    QCOMPARE(errors.size(), 0);
}

void tst_ModbusItemBase::readOnlyByAddress_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("holding register") << quint32(400003) << false;
    QTest::newRow("input register") << quint32(300003) << true;
}

void tst_ModbusItemBase::readOnlyByAddress()
{
    QFETCH(quint32, address);
    QFETCH(bool, readOnly);
    m_instrument->setRegisters(address, ModbusBytes::fromHex("0a0b"));
    RegisterItem item(address);
    item.setClient(m_client.get());
    QCOMPARE(item.readOnly(), readOnly);
    QSignalSpy errors(&item, &ErrObject::error);
    QSignalSpy beforeWrite(&item, &ModbusItemBase::beforeWrite);

    item.setFormatValue(QStringLiteral("5555"));
    QCOMPARE(item.writeSync(), !readOnly);
    QCOMPARE(m_instrument->registers(address, 1), ModbusBytes::fromHex(readOnly ? "0a0b" : "5555"));
    QCOMPARE(errors.size(), readOnly ? 1 : 0);
    if (readOnly) {
        QCOMPARE(item.errorString(), QStringLiteral("can't write: object is readonly"));
        QCOMPARE(beforeWrite.size(), 0);
        QCOMPARE(m_instrument->requestCount(), 0);
    }
    // Reading is the same for both.
    QVERIFY(item.readSync());
    QCOMPARE(item.formatValue(), QString::fromLatin1(readOnly ? "0a0b" : "5555"));
}

void tst_ModbusItemBase::deviceAddress_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("followsClient");
    QTest::newRow("300") << 300 << 1 << true;
    QTest::newRow("-1") << -1 << 1 << true;
    QTest::newRow("5") << 5 << 5 << false;
    QTest::newRow("255") << 255 << 255 << false;
}

void tst_ModbusItemBase::deviceAddress()
{
    QFETCH(int, address);
    QFETCH(int, expected);
    QFETCH(bool, followsClient);
    RegisterItem item;
    item.setClient(m_client.get());
    QSignalSpy changed(&item, &ModbusItemBase::deviceAddressChanged);
    item.setDeviceAddress(address);
    QCOMPARE(item.deviceAddress(), expected);
    QCOMPARE(item.useClientDeviceAddress(), followsClient);
    QCOMPARE(changed.size(), expected == 1 ? 0 : 1);

    m_client->setDeviceAddress(7);
    QCOMPARE(item.deviceAddress(), followsClient ? 7 : expected);
    item.readSync();
    QCOMPARE(m_instrument->requests().last().unit, quint8(followsClient ? 7 : expected));

    // Following the client again takes its address at once.
    item.setUseClientDeviceAddress(true);
    QCOMPARE(item.deviceAddress(), 7);
}

void tst_ModbusItemBase::readOnConnectionChange_data()
{
    QTest::addColumn<bool>("readOnConnect");
    QTest::addColumn<bool>("liveRead");
    QTest::addColumn<int>("reads");
    QTest::newRow("readOnConnect") << true << false << 2;
    QTest::newRow("liveRead") << false << true << 2;
    QTest::newRow("neither") << false << false << 0;
}

void tst_ModbusItemBase::readOnConnectionChange()
{
    QFETCH(bool, readOnConnect);
    QFETCH(bool, liveRead);
    QFETCH(int, reads);
    RegisterItem item;
    item.setClient(m_client.get());
    QVERIFY(item.connected());
    item.setReadOnConnect(readOnConnect);
    item.setLiveRead(liveRead);
    QSignalSpy beforeRead(&item, &ModbusItemBase::beforeRead);
    QSignalSpy connectedChanged(&item, &ModbusItemBase::connectedChanged);

    m_instrument->disconnectLink();
    QTRY_VERIFY(!item.connected());
    QCOMPARE(beforeRead.size(), reads / 2);
    m_instrument->connectLink();
    QTRY_VERIFY(item.connected());
    QCOMPARE(beforeRead.size(), reads);
    QCOMPARE(connectedChanged.size(), 2);
    if (reads > 0)
        QTRY_VERIFY(item.readCount() >= 1);
}

void tst_ModbusItemBase::groupReads_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<GroupSet>("groups");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("readers");
    const QString a = QStringLiteral("a"), b = QStringLiteral("b"), none;
    QTest::newRow("all, empty table") << true << GroupSet() << true << QStringList{a, b, none};
    QTest::newRow("all except a, value false")
        << true << GroupSet{{a, false}} << true << QStringList{b, none};
    QTest::newRow("all except the empty group")
        << true << GroupSet{{none, true}} << true << QStringList{a, b};
    QTest::newRow("groups, empty table") << false << GroupSet() << true << QStringList{none};
    QTest::newRow("group b") << false << GroupSet{{b, true}} << true << QStringList{b};
    QTest::newRow("group a, value false")
        << false << GroupSet{{a, false}} << true << QStringList{a};
    QTest::newRow("all, not connected") << true << GroupSet() << false << QStringList();
    QTest::newRow("groups, not connected") << false << GroupSet() << false << QStringList();
}

void tst_ModbusItemBase::groupReads()
{
    QFETCH(bool, all);
    QFETCH(GroupSet, groups);
    QFETCH(bool, connected);
    QFETCH(QStringList, readers);
    m_client->setPaused(true);
    const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QString()};
    std::vector<std::unique_ptr<RegisterItem>> items;
    QStringList read;
    for (const QString &group : names) {
        items.push_back(std::make_unique<RegisterItem>(400001 + quint32(items.size())));
        items.back()->setGroup(group);
        items.back()->setClient(m_client.get());
        connect(items.back().get(), &ModbusItemBase::beforeRead, this,
                [&read, group](bool &) { read << group; });
    }
    if (!connected) {
        m_instrument->disconnectLink();
        QTRY_VERIFY(!items.front()->connected());
    }
    // Emitted as the client does, to give values other than its own true.
    if (all)
        emit m_client->readingAll(groups);
    else
        emit m_client->readingGroups(groups);
    QCOMPARE(read, readers);
}

void tst_ModbusItemBase::countAndCollect_data()
{
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QList<quint32>>("addresses");
    QTest::newRow("no groups: the items without one") << QStringList() << QList<quint32>{400003};
    QTest::newRow("a") << QStringList{QStringLiteral("a")} << QList<quint32>{400001};
    QTest::newRow("a and b") << QStringList{QStringLiteral("b"), QStringLiteral("a")}
                             << QList<quint32>{400001, 400002};
    QTest::newRow("case matters") << QStringList{QStringLiteral("A")} << QList<quint32>();
    QTest::newRow("empty name") << QStringList{QString()} << QList<quint32>{400003};
}

void tst_ModbusItemBase::countAndCollect()
{
    QFETCH(QStringList, groups);
    QFETCH(QList<quint32>, addresses);
    RegisterItem a(400001), b(400002), none(400003);
    a.setGroup(QStringLiteral("a"));
    b.setGroup(QStringLiteral("b"));
    for (RegisterItem *item : {&a, &b, &none})
        item->setClient(m_client.get());
    QCOMPARE(m_client->countItems(groups), int(addresses.size()));
    QList<quint32> collected;
    const QList<ModbusItemBase *> items = m_client->getItems(groups);
    for (ModbusItemBase *item : items)
        collected << static_cast<TestItem *>(item)->address();
    QCOMPARE(collected, addresses);
}

void tst_ModbusItemBase::beginAndEndReading()
{
    RegisterItem item;
    item.setClient(m_client.get());
    QSignalSpy readingChanged(&item, &ModbusItemBase::intervalReadingChanged);
    QSignalSpy counterChanged(&item, &ModbusItemBase::intervalReadingCounterChanged);

    item.beginReading();
    item.beginReading();
    QCOMPARE(item.intervalReadingCounter(), quint32(2));
    QVERIFY(item.intervalReading());
    QCOMPARE(m_client->intervalTasksCount(), quint64(1));
    item.endReading();
    QVERIFY(item.intervalReading());
    QCOMPARE(m_client->intervalTasksCount(), quint64(1));
    item.endReading();
    QVERIFY(!item.intervalReading());
    QCOMPARE(m_client->intervalTasksCount(), quint64(0));
    item.endReading();
    QCOMPARE(item.intervalReadingCounter(), quint32(0));
    QCOMPARE(counterChanged.size(), 4);
    QCOMPARE(readingChanged.size(), 2);

    // The property's own switch and the counter hold interval reading together.
    item.setIntervalReading(true);
    item.beginReading();
    item.setIntervalReading(false);
    QVERIFY(item.intervalReading());
    QCOMPARE(m_client->intervalTasksCount(), quint64(1));
    item.endReading();
    QCOMPARE(m_client->intervalTasksCount(), quint64(0));
}

void tst_ModbusItemBase::beginReadingFollowsTheSourceChain()
{
    RegisterItem root;
    root.setClient(m_client.get());
    RegisterItem middle, leaf;
    middle.setSource(&root);
    leaf.setSource(&middle);
    leaf.setClient(m_client.get());

    leaf.beginReading();
    for (ModbusItemBase *item :
         {static_cast<ModbusItemBase *>(&root), static_cast<ModbusItemBase *>(&middle),
          static_cast<ModbusItemBase *>(&leaf)})
        QCOMPARE(item->intervalReadingCounter(), quint32(1));
    // Only the root reads the instrument.
    QCOMPARE(m_client->intervalTasksCount(), quint64(1));
    root.setInterval(20);
    QTRY_VERIFY(root.readCount() >= 2);
    QCOMPARE(leaf.readCount(), quint64(0));
    leaf.endReading();
    QCOMPARE(root.intervalReadingCounter(), quint32(0));
    QCOMPARE(m_client->intervalTasksCount(), quint64(0));
}

void tst_ModbusItemBase::dependentItemReadsThroughItsSource()
{
    m_instrument->setRegisters(400001, ModbusBytes::fromHex("11223344"));
    RegisterItem parent(400001, 1, 4);
    parent.setClient(m_client.get());
    RegisterItem child(400099);
    child.setSource(&parent);
    child.setSourceByteIndex(2);
    QSignalSpy childRead(&child, &ModbusItemBase::afterRead);

    // A read of the child is the parent's: the child has no client of its own.
    QVERIFY(child.read());
    QTRY_COMPARE(parent.readCount(), quint64(1));
    QCOMPARE(child.formatValue(), QStringLiteral("3344"));
    QCOMPARE(childRead.size(), 1);
    QCOMPARE(m_instrument->requests().at(0).address, quint32(400001));

    // Its own results are refused, even with a client.
    child.setClient(m_client.get());
    std::unique_ptr<ModbusTask> task(child.createModbusTask(DorrikBus::ReadTask, 0));
    task->setBytes(ModbusBytesArray(QList<ModbusBytes>{ModbusBytes::fromHex("ffff")}));
    task->setState(DorrikBus::GoodState);
    QVERIFY(!child.taskCompleted(task.get()));
    QCOMPARE(child.formatValue(), QStringLiteral("3344"));

    // Writing the child writes the parent's whole value.
    child.setFormatValue(QStringLiteral("beef"));
    QCOMPARE(parent.formatValue(), QStringLiteral("1122beef"));
    QVERIFY(child.writeSync());
    QCOMPARE(m_instrument->registers(400001, 2), ModbusBytes::fromHex("1122beef"));
    QCOMPARE(parent.writeCount(), quint64(1));
}

QTEST_MAIN(tst_ModbusItemBase)
#include "tst_modbusitembase.moc"
