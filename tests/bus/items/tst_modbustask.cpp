#include "modbustask.h"
#include "modbustaskaddressed.h"
#include "modbustaskfile.h"
#include "modbustasklist.h"
#include "modbustasklistaddressed.h"
#include "modbustaskreport.h"
#include "testitem.h"

#include <QtTest>

#include <memory>

using TaskPtr = std::unique_ptr<ModbusTask>;

namespace {

ModbusBytesArray elements(std::initializer_list<const char *> hexes)
{
    ModbusBytesArray result;
    for (const char *hex : hexes)
        result.append(ModbusBytes::fromHex(hex));
    return result;
}

QStringList hexes(const ModbusBytesArray &array)
{
    QStringList result;
    for (const ModbusBytes &bytes : array)
        result.append(QString::fromLatin1(bytes.toHex()));
    return result;
}

QList<ModbusTask *> rawList(const std::vector<TaskPtr> &tasks)
{
    QList<ModbusTask *> list;
    for (const TaskPtr &task : tasks)
        list.append(task.get());
    return list;
}

} // namespace

class TstModbusTask : public QObject
{
    Q_OBJECT

private slots:
    void typeAndInterval_data();
    void typeAndInterval();
    void writeTaskCarriesGivenBytes();
    void nextProcessTime();
    void copiesKeepStateAndCount();
    void copiesDoNotShareWrites();
    void requestBytesCount();
    void contiguousAnswer_data();
    void contiguousAnswer();
    void elementAnswer_data();
    void elementAnswer();
    void answerCutByTaskCount();
    void splitDeliversEachItemItsShare();
    void splitAddresses_data();
    void splitAddresses();
    void splitFileOffsetWraps();
    void reportRefusesSplit();
    void reset();
    void abort();
    void destroyedItemReadsAsNull();
    void taskListOperations();
    void takeByAddressType();
    void sortOrder_data();
    void sortOrder();
};

void TstModbusTask::typeAndInterval_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("expectedInterval");
    QTest::newRow("read keeps its interval") << int(DorrikBus::ReadTask) << 5000 << 5000;
    QTest::newRow("one-shot read") << int(DorrikBus::ReadTask) << 0 << 0;
    QTest::newRow("write is forced to 0") << int(DorrikBus::WriteTask) << 5000 << 0;
}

void TstModbusTask::typeAndInterval()
{
    QFETCH(int, type);
    QFETCH(int, interval);
    QFETCH(int, expectedInterval);
    TestItem item(400010);
    const ModbusTaskAddressed task(item, 400010, DorrikBus::ModbusTaskType(type), interval);
    QCOMPARE(task.interval(), expectedInterval);
    QCOMPARE(task.type(), DorrikBus::ModbusTaskType(type));
    QCOMPARE(task.state(), DorrikBus::NoneState);
    QCOMPARE(task.address(), 400010u);
    QCOMPARE(task.dataList().size(), 1);
    // A read starts without an answer; a write takes the item's current bytes.
    QCOMPARE(task.firstBytes().isEmpty(), type == DorrikBus::ReadTask);
}

void TstModbusTask::writeTaskCarriesGivenBytes()
{
    TestItem item(400001, 2);
    item.setFormatValue("1111 2222");
    item.setDeviceAddress(7);
    const ModbusTaskAddressed task(item, 400001, elements({"abcd", "ef01"}));
    QCOMPARE(task.type(), DorrikBus::WriteTask);
    QCOMPARE(task.interval(), 0);
    QCOMPARE(hexes(task.firstBytes()), QStringList({"abcd", "ef01"}));
    QCOMPARE(task.deviceAddress(), quint8(7));
    QCOMPARE(task.count(), 2);
    QCOMPARE(task.firstItem(), &item);
}

void TstModbusTask::nextProcessTime()
{
    TestItem item;
    const QDateTime read(QDate(2024, 3, 1), QTime(10, 0, 0));
    item.setLastReadTime(read);
    const ModbusTaskAddressed task(item, 400001, 2500);
    QCOMPARE(task.lastProcessTime(), read);
    QCOMPARE(task.nextProcessTime(), read.addMSecs(2500));

    item.setLastReadTime(QDateTime());
    const ModbusTaskAddressed neverRead(item, 400001, 2500);
    QVERIFY(!neverRead.nextProcessTime().isValid());

    // A write's time is the item's last write time.
    const QDateTime written(QDate(2024, 3, 2), QTime(8, 0, 0));
    item.setLastWriteTime(written);
    const ModbusTaskAddressed write(item, 400001, DorrikBus::WriteTask, 0);
    QCOMPARE(write.lastProcessTime(), written);
}

void TstModbusTask::copiesKeepStateAndCount()
{
    TestItem first(400001, 2);
    TestItem second(400003, 1);
    ModbusTaskAddressed task(first, 400001, 1000);
    task.append(second);
    task.setState(DorrikBus::ErrorState);
    task.setErrorString("timeout");
    task.setForce(true);
    task.setCount(5);
    task.setLastProcessTime(QDateTime(QDate(2024, 1, 1), QTime(0, 0)));

    const TaskPtr copy(task.clone());
    ModbusTaskAddressed split(task, 1);
    for (const ModbusTask *t :
         {static_cast<const ModbusTask *>(copy.get()), static_cast<const ModbusTask *>(&split)}) {
        QVERIFY(t->errorString().isEmpty());
        QCOMPARE(t->state(), DorrikBus::ErrorState);
        QCOMPARE(t->count(), 5);
        QVERIFY(t->force());
        QCOMPARE(t->interval(), 1000);
        QCOMPARE(t->lastProcessTime(), task.lastProcessTime());
    }
    QVERIFY(dynamic_cast<ModbusTaskAddressed *>(copy.get()));
    QCOMPARE(copy->dataList(), task.dataList());
    QCOMPARE(split.dataList().size(), 1);
    QCOMPARE(split.firstItem(), &second);
}

void TstModbusTask::copiesDoNotShareWrites()
{
    // The server keeps an interval task while the executor fills a copy of it.
    TestItem item(400001, 2);
    const ModbusTaskAddressed kept(item, 400001, 1000);
    const TaskPtr copy(kept.clone());
    copy->setBytes(ModbusBytes::fromHex("01020304"), -1);
    QCOMPARE(hexes(copy->firstBytes()), QStringList({"0102", "0304"}));
    QVERIFY(kept.firstBytes().isEmpty());
}

void TstModbusTask::requestBytesCount()
{
    TestItem words(400001, 3, 2);
    TestItem dword(400004, 1, 4);
    ModbusTaskAddressed task(words, 400001, 0);
    task.append(dword);
    QCOMPARE(task.requestBytesCount(), 10);
}

void TstModbusTask::contiguousAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("exact, 10 bytes")
        << QByteArray("0001000200030a0b0c0d") << QStringList({"0001", "0002", "0003"})
        << QStringList({"0a0b0c0d"});
    QTest::newRow("short, 7 bytes: last element of 1 byte")
        << QByteArray("0001000200030a") << QStringList({"0001", "0002", "0003"})
        << QStringList({"0a"});
    QTest::newRow("short, 6 bytes: second item empty")
        << QByteArray("000100020003") << QStringList({"0001", "0002", "0003"}) << QStringList();
    QTest::newRow("short, 3 bytes: first item cut")
        << QByteArray("000100") << QStringList({"0001", "00"}) << QStringList();
    QTest::newRow("long, tail ignored")
        << QByteArray("0001000200030a0b0c0dffff") << QStringList({"0001", "0002", "0003"})
        << QStringList({"0a0b0c0d"});
    QTest::newRow("empty") << QByteArray() << QStringList() << QStringList();
}

void TstModbusTask::contiguousAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    TestItem words(400001, 3, 2);
    TestItem dword(400004, 1, 4);
    ModbusTaskAddressed task(words, 400001, 0);
    task.append(dword);
    task.setBytes(ModbusBytes::fromHex(answer), -1);
    QCOMPARE(hexes(task.dataList().at(0).bytes()), first);
    QCOMPARE(hexes(task.dataList().at(1).bytes()), second);
    // Joined back, the items give what was stored.
    QCOMPARE(task.dataList().getBytes().toHex(), ModbusBytes::fromHex(answer).left(10).toHex());
}

void TstModbusTask::elementAnswer_data()
{
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("firstCount");
    QTest::addColumn<int>("secondCount");
    QTest::newRow("3 elements over 2 + 2") << 3 << 2 << 1;
    QTest::newRow("4 elements over 2 + 2") << 4 << 2 << 2;
    QTest::newRow("5 elements over 2 + 2, extra ignored") << 5 << 2 << 2;
    QTest::newRow("1 element over 2 + 2") << 1 << 1 << 0;
    QTest::newRow("none") << 0 << 0 << 0;
}

void TstModbusTask::elementAnswer()
{
    QFETCH(int, given);
    QFETCH(int, firstCount);
    QFETCH(int, secondCount);
    TestItem a(400001, 2);
    TestItem b(400003, 2);
    ModbusTaskAddressed task(a, 400001, 0);
    task.append(b);
    ModbusBytesArray array;
    for (int i = 0; i < given; ++i)
        array.append(ModbusBytes::fromUInt16(quint16(i)));
    task.setBytes(array);
    QCOMPARE(task.dataList().at(0).bytes().size(), firstCount);
    QCOMPARE(task.dataList().at(1).bytes().size(), secondCount);
    if (secondCount > 0)
        QCOMPARE(task.dataList().at(1).bytes().first().toUInt16(0), quint16(2));
}

void TstModbusTask::answerCutByTaskCount()
{
    // Any n but -1 cuts the answer into count() equal pieces before handing them out.
    TestItem a(400001, 2);
    TestItem b(400003, 2);
    ModbusTaskAddressed task(a, 400001, 0);
    task.append(b);
    task.setCount(4);
    task.setBytes(ModbusBytes::fromHex("0001000200030004"), 0);
    QCOMPARE(hexes(task.dataList().at(0).bytes()), QStringList({"0001", "0002"}));
    QCOMPARE(hexes(task.dataList().at(1).bytes()), QStringList({"0003", "0004"}));
}

void TstModbusTask::splitDeliversEachItemItsShare()
{
    // One request for three items comes back as one result per item, each with its own bytes.
    TestItem a(400001, 1);
    TestItem b(400002, 2);
    TestItem c(400004, 1, 4);
    ModbusTaskAddressed task(a, 400001, 0);
    task.append(b);
    task.append(c);
    task.setState(DorrikBus::GoodState);
    task.setBytes(ModbusBytes::fromHex("aaaabbbbccccdddddddd"), -1);

    const QList<ModbusTask *> raw = task.split();
    std::vector<TaskPtr> parts(raw.begin(), raw.end());
    QCOMPARE(parts.size(), size_t(3));
    const QList<ModbusItemBase *> items = {&a, &b, &c};
    const QList<QStringList> shares = {{"aaaa"}, {"bbbb", "cccc"}, {"dddddddd"}};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(parts[size_t(i)]->firstItem(), items.at(i));
        QCOMPARE(hexes(parts[size_t(i)]->firstBytes()), shares.at(i));
        QCOMPARE(parts[size_t(i)]->state(), DorrikBus::GoodState);
        QVERIFY(dynamic_cast<ModbusTaskAddressed *>(parts[size_t(i)].get()));
    }
    QCOMPARE(task.dataList().size(), 3);
}

void TstModbusTask::splitAddresses_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("holding register, part 0") << 400010u << 0 << 400010u;
    QTest::newRow("holding register, part 2") << 400010u << 2 << 400014u;
    QTest::newRow("input register, part 1") << 300001u << 1 << 300003u;
    QTest::newRow("coil, part 2") << 20u << 2 << 22u;
    QTest::newRow("discrete input, part 1") << 100005u << 1 << 100006u;
}

void TstModbusTask::splitAddresses()
{
    QFETCH(quint32, address);
    QFETCH(int, index);
    QFETCH(quint32, expected);
    TestItem a(address), b(address + 1), c(address + 2);
    ModbusTaskAddressed task(a, address, 0);
    task.append(b);
    task.append(c);
    ModbusTaskAddressed part(task, index);
    QCOMPARE(part.address(), expected);
    QCOMPARE(part.firstItem(), task.dataList().at(index).item().data());
}

void TstModbusTask::splitFileOffsetWraps()
{
    TestFileItem first(3, 65535, 1, 16);
    TestFileItem second(3, 1, 1, 16);
    ModbusTaskFile task(first, DorrikBus::ReadTask, 0, 3, 65535, 2, 16);
    task.append(second);
    const QList<ModbusTask *> raw = task.split();
    std::vector<TaskPtr> parts(raw.begin(), raw.end());
    QCOMPARE(parts.size(), size_t(2));
    auto *part0 = dynamic_cast<ModbusTaskFile *>(parts[0].get());
    auto *part1 = dynamic_cast<ModbusTaskFile *>(parts[1].get());
    QVERIFY(part0 && part1);
    QCOMPARE(part0->offset(), quint16(65535));
    QCOMPARE(part1->offset(), quint16(1));
    QCOMPARE(part1->file(), quint8(3));
    QCOMPARE(part1->length(), 2);
    QCOMPARE(part1->modbusBlockSize(), 16);
    QCOMPARE(part1->firstItem(), &second);
}

void TstModbusTask::reportRefusesSplit()
{
    TestReportItem item;
    const TaskPtr task(item.createModbusTask(DorrikBus::ReadTask, 0));
    QVERIFY(dynamic_cast<ModbusTaskReport *>(task.get()));
    QTest::ignoreMessage(QtWarningMsg, "\"splitting of ModbusReport task is not allowed\"");
    QVERIFY(task->split().isEmpty());
    QTest::ignoreMessage(QtWarningMsg, "\"splitting of ModbusReport task is not allowed\"");
    QVERIFY(task->split().isEmpty());
}

void TstModbusTask::reset()
{
    TestItem item(400001, 2);
    item.setFormatValue("1234 5678");
    for (const auto type : {DorrikBus::ReadTask, DorrikBus::WriteTask}) {
        ModbusTaskAddressed task(item, 400001, type, 0);
        task.setBytes(ModbusBytes::fromHex("0a0b0c0d"), -1);
        task.setState(DorrikBus::ErrorState);
        task.setErrorString("timeout");
        task.setLastProcessTime(QDateTime::currentDateTime());
        task.reset();
        QCOMPARE(task.state(), DorrikBus::NoneState);
        QVERIFY(task.errorString().isEmpty());
        QCOMPARE(task.lastProcessTime(), QDateTime::fromMSecsSinceEpoch(0));
        QCOMPARE(task.dataList().size(), 1);
        QCOMPARE(task.dataList().first().count(), 2);
        QCOMPARE(task.dataList().first().bytesCount(), 2);
        // A read forgets its old answer; a write keeps what it has to write.
        if (type == DorrikBus::ReadTask)
            QVERIFY(task.firstBytes().isEmpty());
        else
            QCOMPARE(hexes(task.firstBytes()), QStringList({"0a0b", "0c0d"}));
    }
}

void TstModbusTask::abort()
{
    TestItem item;
    ModbusTaskAddressed task(item, 400001, 0);
    QVERIFY(!task.executed());
    task.abort();
    QCOMPARE(task.state(), DorrikBus::AbortedState);
    QCOMPARE(task.errorString(), QStringLiteral("aborted"));
    QVERIFY(task.executed());
}

void TstModbusTask::destroyedItemReadsAsNull()
{
    TestItem kept(400001);
    auto gone = std::make_unique<TestItem>(400002);
    ModbusTaskAddressed task(*gone, 400002, 0);
    task.append(kept);
    QCOMPARE(task.dataList().indexOfItem(nullptr), -1);
    gone.reset();
    QCOMPARE(task.firstItem(), nullptr);
    QCOMPARE(task.dataList().indexOfItem(nullptr), 0);
    QCOMPARE(task.dataList().indexOfItem(&kept), 1);
    QCOMPARE(task.dataList().getItems().first().data(), nullptr);
    // The split copies still work, carrying a null item for the first part.
    const QList<ModbusTask *> raw = task.split();
    std::vector<TaskPtr> parts(raw.begin(), raw.end());
    QCOMPARE(parts[0]->firstItem(), nullptr);
    QCOMPARE(parts[1]->firstItem(), &kept);
}

void TstModbusTask::taskListOperations()
{
    TestItem a(400001), b(400002), c(400003);
    ModbusTaskList list;
    list.append(new ModbusTaskAddressed(a, 400001, 1000));
    list.append(new ModbusTaskAddressed(b, 400002, 500));
    auto *both = new ModbusTaskAddressed(a, 400001, 1000);
    both->append(c);
    list.append(both);
    list.append(new ModbusTaskAddressed(c, 400003, 0));

    QCOMPARE(list.intervals(), QList<int>({1000, 500, 0}));
    const ModbusTaskList thousand = ModbusTaskList::fromOtherByInterval(list, 1000);
    QCOMPARE(thousand, ModbusTaskList({list.at(0), list.at(2)}));
    QCOMPARE(list.indexOfItem(&c), 2);
    QVERIFY(!list.contains(static_cast<ModbusItemBase *>(nullptr)));

    ModbusTaskList copies = list.clone();
    QCOMPARE(copies.size(), 4);
    QVERIFY(copies.at(2) != list.at(2));
    QCOMPARE(copies.at(2)->dataList(), list.at(2)->dataList());
    copies.clearWithDelete();
    QVERIFY(copies.isEmpty());

    // Every task holding a, in whatever position, goes; ASan checks they were deleted.
    QCOMPARE(list.removeWithDelete(&a), 2);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.first()->firstItem(), &b);
    list.clearWithDelete();
}

void TstModbusTask::takeByAddressType()
{
    TestItem coil(5), input(300001), holding(400001), discrete(100001);
    TestReportItem reportItem;
    std::vector<TaskPtr> owned;
    owned.emplace_back(new ModbusTaskAddressed(coil, 5, 0));
    owned.emplace_back(new ModbusTaskAddressed(holding, 400001, 0));
    owned.emplace_back(new ModbusTaskReport(reportItem, 0));
    owned.emplace_back(new ModbusTaskAddressed(input, 300001, 0));
    owned.emplace_back(new ModbusTaskAddressed(discrete, 100001, 0));

    ModbusTaskList list(rawList(owned));
    list.insert(1, nullptr);
    const ModbusTaskListAddressed registers =
        ModbusTaskListAddressed::takeRegistersFromTaskList(list);
    QCOMPARE(registers.size(), 2);
    QCOMPARE(registers.at(0), owned[1].get());
    QCOMPARE(registers.at(1), owned[3].get());
    QCOMPARE(list, ModbusTaskList({owned[0].get(), nullptr, owned[2].get(), owned[4].get()}));

    const ModbusTaskListAddressed coils = ModbusTaskListAddressed::takeCoilsFromTaskList(list);
    QCOMPARE(coils.size(), 1);
    QCOMPARE(coils.first(), owned[0].get());
    const ModbusTaskListAddressed inputs =
        ModbusTaskListAddressed::takeDiscreteInputsFromTaskList(list);
    QCOMPARE(inputs.size(), 1);
    QCOMPARE(inputs.first(), owned[4].get());
    QCOMPARE(list, ModbusTaskList({nullptr, owned[2].get()}));

    ModbusTaskList all(rawList(owned));
    QCOMPARE(ModbusTaskListAddressed::fromTaskList(all).size(), 4);
    QCOMPARE(all.size(), 5);
    QCOMPARE(ModbusTaskListAddressed::takeFromTaskList(all).size(), 4);
    QCOMPARE(all, ModbusTaskList({owned[2].get()}));
}

void TstModbusTask::sortOrder_data()
{
    // Each row builds two tasks a and b, equal up to the rule named, by which b goes first.
    QTest::addColumn<QString>("differ");
    QTest::newRow("lower address first") << "address";
    QTest::newRow("write before read at the same address") << "type";
    QTest::newRow("smaller request first") << "size";
    QTest::newRow("shorter interval first") << "interval";
    QTest::newRow("never executed first") << "executed";
    QTest::newRow("most recently processed first") << "time";
}

void TstModbusTask::sortOrder()
{
    QFETCH(QString, differ);
    TestItem one(400010, 2), two(400010, 2), small(400010, 1), early(400008, 2);
    const QDateTime t0(QDate(2024, 3, 1), QTime(10, 0));
    one.setLastReadTime(t0);
    two.setLastReadTime(t0);
    small.setLastReadTime(t0);
    early.setLastReadTime(t0);

    std::unique_ptr<ModbusTaskAddressed> a(new ModbusTaskAddressed(one, 400010, 1000));
    std::unique_ptr<ModbusTaskAddressed> b;
    if (differ == "address") {
        b.reset(new ModbusTaskAddressed(early, 400008, 1000));
    } else if (differ == "type") {
        b.reset(new ModbusTaskAddressed(two, 400010, DorrikBus::WriteTask, 0));
        b->setLastProcessTime(t0);
        a.reset(new ModbusTaskAddressed(one, 400010, 0));
    } else if (differ == "size") {
        b.reset(new ModbusTaskAddressed(small, 400010, 1000));
    } else if (differ == "interval") {
        b.reset(new ModbusTaskAddressed(two, 400010, 500));
    } else if (differ == "executed") {
        b.reset(new ModbusTaskAddressed(two, 400010, 1000));
        a->setState(DorrikBus::GoodState);
    } else if (differ == "time") {
        b.reset(new ModbusTaskAddressed(two, 400010, 1000));
        a->setState(DorrikBus::GoodState);
        b->setState(DorrikBus::ErrorState);
        b->setLastProcessTime(t0.addSecs(5));
    }
    ModbusTaskListAddressed list;
    list << a.get() << b.get();
    list.sort();
    QCOMPARE(list.first(), b.get());
    // The order does not depend on where the tasks started.
    ModbusTaskListAddressed reversed;
    reversed << b.get() << a.get();
    reversed.sort();
    QCOMPARE(reversed, list);
}

QTEST_GUILESS_MAIN(TstModbusTask)
#include "tst_modbustask.moc"
