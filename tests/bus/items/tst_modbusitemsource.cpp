#include "internalitemmodel.h"
#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbustask.h"
#include "testitem.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

using ChangeTypes = QList<ModbusItemBase::BytesChangeType>;

namespace {

// An item whose typed value is whatever the test gives it, whatever its bytes.
class VariantItem : public TestItem
{
public:
    explicit VariantItem(const QVariant &value) : TestItem(400001, 1, 2), m_value(value) {}
    QVariant getTypedValue(const ModbusBytes &) const override { return m_value; }

private:
    QVariant m_value;
};

ModbusBytesArray elements(std::initializer_list<const char *> hex)
{
    ModbusBytesArray array;
    for (const char *h : hex)
        array.append(ModbusBytes::fromHex(h));
    return array;
}

// The change types of every bytesChanged of an item.
class ChangeLog : public QObject
{
public:
    explicit ChangeLog(ModbusItemBase &item)
    {
        connect(&item, &ModbusItemBase::bytesChanged, this,
                [this](ModbusItemBase::BytesChangeType type) { types << type; });
    }
    ChangeTypes types;
};

void append(ModbusItemBase &owner, ModbusItemBase *child)
{
    QQmlListProperty<ModbusItemBase> list = owner.items();
    list.append(&list, child);
}

// The client moves its executor's running timer into the executor thread by a queued call; a
// client destroyed before that call ran leaks the timer list. Waiting for the thread avoids it.
void settle(ModbusClient &client)
{
    QMetaObject::invokeMethod(
        client.executor(), [] {}, Qt::BlockingQueuedConnection);
}

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2024, 3, 1), QTime(hour, minute));
}

} // namespace

// How a register item keeps its bytes: children on their source, element lists, the trend, the
// binary text and the table model.
class tst_ModbusItemSource : public QObject
{
    Q_OBJECT

private slots:
    void childItems_data();
    void childItems();
    void childListKeepsItemsAlive();
    void changesBetweenSourceAndChildren();
    void childShowsAnotherElement();
    void liveWrite_data();
    void liveWrite();
    void trendWithMaximumSize_data();
    void trendWithMaximumSize();
    void currentTrendSample();
    void readResultsGoIntoTheTrend();
    void binaryText_data();
    void binaryText();
    void binaryBaseLength();
    void arrayIndex();
    void modelValuesAndRoles();
};

void tst_ModbusItemSource::childItems_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QList<int>>("assigned"); // -1: none
    QTest::addColumn<bool>("ownerReadOnly");
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QList<bool>>("readOnly");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("one after the other")
        << QList<int>{2, 4, 2} << QList<int>{-1, -1, -1} << false << QList<int>{0, 2, 6}
        << QList<bool>{false, false, false} << QStringList{"0102", "03040506", "0708"};
    QTest::newRow("read-only owner")
        << QList<int>{2, 4, 2} << QList<int>{-1, -1, -1} << true << QList<int>{0, 2, 6}
        << QList<bool>{true, true, true} << QStringList{"0102", "03040506", "0708"};
    QTest::newRow("an index given restarts the run")
        << QList<int>{2, 2, 2} << QList<int>{-1, 5, -1} << true << QList<int>{0, 5, 7}
        << QList<bool>{true, false, true} << QStringList{"0102", "0607", "0800"};
    QTest::newRow("index 0 given")
        << QList<int>{2, 2} << QList<int>{0, -1} << true << QList<int>{0, 2}
        << QList<bool>{false, true} << QStringList{"0102", "0304"};
}

void tst_ModbusItemSource::childItems()
{
    QFETCH(QList<int>, sizes);
    QFETCH(QList<int>, assigned);
    QFETCH(bool, ownerReadOnly);
    QFETCH(QList<int>, indexes);
    QFETCH(QList<bool>, readOnly);
    QFETCH(QStringList, values);

    TestItem owner(400001, 1, 8);
    owner.setReadOnly(ownerReadOnly);
    owner.setBytes(ModbusBytes::fromHex("0102030405060708"), ModbusItemBase::ExternalChange);
    QSignalSpy itemsChanged(&owner, &ModbusItemBase::itemsChanged);
    for (int i = 0; i < sizes.size(); ++i) {
        auto *child = new TestItem(0, 1, sizes.at(i));
        if (assigned.at(i) >= 0)
            child->setSourceByteIndex(assigned.at(i));
        append(owner, child);
    }
    QCOMPARE(itemsChanged.size(), sizes.size());
    QQmlListProperty<ModbusItemBase> list = owner.items();
    QCOMPARE(list.count(&list), sizes.size());
    QCOMPARE(list.at(&list, sizes.size()), nullptr);
    for (int i = 0; i < sizes.size(); ++i) {
        ModbusItemBase *child = list.at(&list, i);
        QCOMPARE(child->parent(), &owner);
        QCOMPARE(child->source(), &owner);
        QCOMPARE(child->sourceByteIndex(), indexes.at(i));
        QCOMPARE(child->readOnly(), readOnly.at(i));
        QCOMPARE(child->formatValue(), values.at(i));
    }
}

void tst_ModbusItemSource::childListKeepsItemsAlive()
{
    TestItem owner;
    QPointer<TestItem> first = new TestItem, second = new TestItem, third = new TestItem;
    append(owner, first);
    append(owner, second);
    QQmlListProperty<ModbusItemBase> list = owner.items();

    // As QML does for removeLast() and for replacing one entry.
    list.removeLast(&list);
    QCOMPARE(list.count(&list), 1);
    QVERIFY(second);
    list.replace(&list, 0, third);
    QCOMPARE(list.at(&list, 0), third.data());
    QVERIFY(first);
    QCOMPARE(third->source(), &owner);

    // A child deleted elsewhere leaves the list.
    append(owner, second);
    delete third.data();
    QCOMPARE(list.count(&list), 1);
    QCOMPARE(list.at(&list, 0), second.data());

    // Clearing deletes the children that were not put back, once control is back in the event
    // loop: a whole-list assignment from QML clears and appends the same children again.
    QSignalSpy itemsChanged(&owner, &ModbusItemBase::itemsChanged);
    list.clear(&list);
    QCOMPARE(list.count(&list), 0);
    QCOMPARE(itemsChanged.size(), 1);
    append(owner, first);
    QVERIFY(second);
    QTRY_VERIFY(!second);
    QVERIFY(first);
    QCOMPARE(list.count(&list), 1);
}

void tst_ModbusItemSource::changesBetweenSourceAndChildren()
{
    TestItem owner(400001, 1, 4);
    auto *high = new TestItem(0, 1, 2);
    auto *low = new TestItem(0, 1, 2);
    append(owner, high);
    append(owner, low);
    TestItem onTrend(0, 1, 2);
    onTrend.setSource(&owner);
    onTrend.setSourceTrendIndex(0);
    ChangeLog ownerLog(owner), highLog(*high), lowLog(*low), trendLog(onTrend);
    const int ownerUpdates = owner.updateCount();
    const int lowUpdates = low->updateCount();

    owner.setBytes(ModbusBytes::fromHex("aabbccdd"), ModbusItemBase::ExternalChange);
    QCOMPARE(highLog.types, ChangeTypes{ModbusItemBase::SourceChange});
    QCOMPARE(lowLog.types, ChangeTypes{ModbusItemBase::SourceChange});
    QCOMPARE(high->formatValue(), QStringLiteral("aabb"));
    QCOMPARE(low->formatValue(), QStringLiteral("ccdd"));
    QCOMPARE(low->updateCount(), lowUpdates + 1);
    // A child on a trend sample follows reads only, not every change.
    QVERIFY(trendLog.types.isEmpty());

    // A child's own value goes into its source, which takes it as its own change.
    highLog.types.clear();
    lowLog.types.clear();
    ownerLog.types.clear();
    low->setFormatValue(QStringLiteral("1234"));
    QCOMPARE(owner.formatValue(), QStringLiteral("aabb1234"));
    QCOMPARE(ownerLog.types, ChangeTypes{ModbusItemBase::DependentChange});
    QCOMPARE(owner.updateCount(), ownerUpdates + 2);
    QCOMPARE(lowLog.types, ChangeTypes{ModbusItemBase::ValueChange});
    QVERIFY(highLog.types.isEmpty());

    // A read-only child keeps its value to itself.
    high->setReadOnly(true);
    high->setFormatValue(QStringLiteral("5555"));
    QCOMPARE(owner.formatValue(), QStringLiteral("aabb1234"));
}

void tst_ModbusItemSource::childShowsAnotherElement()
{
    TestItem owner(400001, 3, 2);
    owner.setTopBytesArray(elements({"0001", "0002", "0003"}), ModbusItemBase::ExternalChange);
    TestItem child;
    child.setSource(&owner);
    child.setSourceArrayIndex(2);
    QCOMPARE(child.formatValue(), QStringLiteral("0003"));
    child.setSourceArrayIndex(-1);
    QCOMPARE(child.sourceArrayIndex(), 2);

    // Only the element the child shows changes, not the owner's current one.
    owner.setTopBytesArray(elements({"0001", "0002", "0ccc"}), ModbusItemBase::ReadChange);
    QCOMPARE(child.formatValue(), QStringLiteral("0ccc"));
    child.setSourceArrayIndex(7);
    QCOMPARE(child.arraySize(), 0);
}

void tst_ModbusItemSource::liveWrite_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("writes");
    QTest::newRow("bytes set from outside") << "external" << 1;
    QTest::newRow("own value") << "value" << 1;
    QTest::newRow("read result") << "read" << 0;
    QTest::newRow("read-only item") << "read-only" << 0;
    QTest::newRow("bytes from the source") << "from source" << 0;
    QTest::newRow("a child's value pushed into the source") << "from child" << 1;
    QTest::newRow("unchanged bytes") << "same" << 0;
}

void tst_ModbusItemSource::liveWrite()
{
    QFETCH(QString, change);
    QFETCH(int, writes);
    // Paused: every write stays queued, to be counted.
    ModbusClient client;
    settle(client);
    client.setPaused(true);
    TestItem owner(400001, 1, 4);
    owner.setClient(&client);
    TestItem item;
    item.setClient(&client);
    item.setLiveWrite(true);
    auto *child = new TestItem(0, 1, 2);
    append(owner, child);
    child->setLiveWrite(true);

    if (change == QLatin1String("external")) {
        item.setBytes(ModbusBytes::fromHex("0101"), ModbusItemBase::ExternalChange);
    } else if (change == QLatin1String("value")) {
        item.setFormatValue(QStringLiteral("0202"));
    } else if (change == QLatin1String("read")) {
        std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
        task->setBytes(elements({"0303"}));
        task->setState(DorrikBus::GoodState);
        QVERIFY(item.taskCompleted(task.get()));
        QCOMPARE(item.formatValue(), QStringLiteral("0303"));
    } else if (change == QLatin1String("read-only")) {
        item.setReadOnly(true);
        item.setBytes(ModbusBytes::fromHex("0404"), ModbusItemBase::ExternalChange);
    } else if (change == QLatin1String("from source")) {
        owner.setBytes(ModbusBytes::fromHex("05050505"), ModbusItemBase::ExternalChange);
        QCOMPARE(child->formatValue(), QStringLiteral("0505"));
    } else if (change == QLatin1String("from child")) {
        owner.setLiveWrite(true);
        child->setLiveWrite(false);
        child->setFormatValue(QStringLiteral("0606"));
    } else {
        item.setBytes(ModbusBytes::fromHex("0000"), ModbusItemBase::ExternalChange);
    }
    QCOMPARE(client.queuedTasksCount(), quint64(writes));
}

void tst_ModbusItemSource::trendWithMaximumSize_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QList<QDateTime>>("times");
    QTest::addColumn<int>("removedRow"); // -1: none
    QTest::addColumn<int>("insertedRow");
    QTest::addColumn<int>("newRow");

    QTest::newRow("newer drops the oldest")
        << at(10, 3) << QList<QDateTime>{at(10, 1), at(10, 2), at(10, 3)} << 0 << 2 << 2;
    QTest::newRow("older drops the newest")
        << at(9, 59) << QList<QDateTime>{at(9, 59), at(10, 0), at(10, 1)} << 2 << 0 << 0;
    QTest::newRow("same time replaces")
        << at(10, 1) << QList<QDateTime>{at(10, 0), at(10, 1), at(10, 2)} << -1 << -1 << 1;
}

void tst_ModbusItemSource::trendWithMaximumSize()
{
    QFETCH(QDateTime, time);
    QFETCH(QList<QDateTime>, times);
    QFETCH(int, removedRow);
    QFETCH(int, insertedRow);
    QFETCH(int, newRow);

    TestItem item;
    item.setModelType(ModbusItemBase::TrendModel);
    QAbstractItemModelTester tester(item.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    item.setMaxTrendSize(3);
    item.insertBytesToTrend(at(10, 2), elements({"0002"}));
    item.insertBytesToTrend(at(10, 0), elements({"0000"}));
    item.insertBytesToTrend(at(10, 1), elements({"0001"}));
    QCOMPARE(item.trendSize(), 3);
    QCOMPARE(item.model()->rowCount(), 3);
    QCOMPARE(item.trendValue(0), QVariant(0));

    QSignalSpy sizeChanged(&item, &ModbusItemBase::trendSizeChanged);
    QSignalSpy removed(item.model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(item.model(), &QAbstractItemModel::rowsInserted);
    item.insertBytesToTrend(time, elements({"0fff"}));

    QCOMPARE(item.trendSize(), 3);
    QCOMPARE(sizeChanged.size(), 0);
    QList<QDateTime> stored;
    for (int i = 0; i < item.trendSize(); ++i)
        stored << item.trendItem(i)->time;
    QCOMPARE(stored, times);
    QCOMPARE(removed.size(), removedRow < 0 ? 0 : 1);
    if (removedRow >= 0)
        QCOMPARE(removed.at(0).at(1).toInt(), removedRow);
    QCOMPARE(inserted.size(), insertedRow < 0 ? 0 : 1);
    if (insertedRow >= 0)
        QCOMPARE(inserted.at(0).at(1).toInt(), insertedRow);
    QCOMPARE(item.trendValue(newRow), QVariant(0x0fff));
    QCOMPARE(item.getModelValue(newRow, QStringLiteral("label")), QVariant(time));
    QCOMPARE(item.getModelValue(newRow, QStringLiteral("value")), QVariant(0x0fff));
}

void tst_ModbusItemSource::currentTrendSample()
{
    TestItem item;
    QAbstractItemModelTester tester(item.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    item.setMaxTrendSize(3);
    item.insertBytesToTrend(at(10, 0), elements({"0000"}));
    item.insertBytesToTrend(at(10, 1), elements({"0001", "0101"}));
    item.insertBytesToTrend(at(10, 2), elements({"0002"}));
    ChangeLog log(item);
    QSignalSpy indexChanged(&item, &ModbusItemBase::trendIndexChanged);

    item.setTrendIndex(3);
    item.setTrendIndex(-2);
    QCOMPARE(item.trendIndex(), -1);
    item.setTrendIndex(1);
    QCOMPARE(item.bytesHex(), QStringLiteral("0001"));
    QCOMPARE(item.arraySize(), 2);
    QCOMPARE(item.model()->rowCount(), 2);
    QCOMPARE(log.types, ChangeTypes{ModbusItemBase::TrendChange});

    // A full trend drops the oldest: the current index now holds the next sample.
    item.insertBytesToTrend(at(10, 3), elements({"0003"}));
    QCOMPARE(item.bytesHex(), QStringLiteral("0002"));
    QCOMPARE(item.arraySize(), 1);
    QCOMPARE(log.types.size(), 2);
    QCOMPARE(log.types.last(), ModbusItemBase::TrendChange);

    // Shortening keeps the newest samples and moves the index onto what is left.
    item.setTrendIndex(2);
    QSignalSpy sizeChanged(&item, &ModbusItemBase::trendSizeChanged);
    indexChanged.clear();
    item.setMaxTrendSize(1);
    QCOMPARE(item.trendSize(), 1);
    QCOMPARE(item.trendIndex(), 0);
    QCOMPARE(item.bytesHex(), QStringLiteral("0003"));
    QCOMPARE(sizeChanged.size(), 1);
    QCOMPARE(indexChanged.size(), 1);

    item.clearTrend();
    QCOMPARE(item.trendSize(), 0);
    QCOMPARE(item.trendIndex(), -1);
    QCOMPARE(item.bytesHex(), QStringLiteral("0000"));
}

void tst_ModbusItemSource::readResultsGoIntoTheTrend()
{
    ModbusClient client;
    settle(client);
    TestItem item;
    item.setClient(&client);
    item.setMaxTrendSize(5);
    TestItem follower;
    follower.setSource(&item);
    follower.setMaxTrendSize(5);
    QSignalSpy wasRead(&follower, &ModbusItemBase::bytesWasRead);

    std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setBytes(elements({"0a0b"}));
    task->setState(DorrikBus::GoodState);
    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(item.taskCompleted(task.get()));
    QCOMPARE(item.trendSize(), 1);
    QCOMPARE(item.trendValue(0), QVariant(0x0a0b));
    QVERIFY(item.trendItem(0)->time >= before);
    // A dependent item keeps its own trend of what its source read, at the read's time.
    QCOMPARE(wasRead.size(), 1);
    QCOMPARE(follower.trendSize(), 1);
    QCOMPARE(follower.trendItem(0)->time, wasRead.at(0).at(0).toDateTime());
    QCOMPARE(follower.trendValue(0), QVariant(0x0a0b));
}

void tst_ModbusItemSource::binaryText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");

    QTest::newRow("5, length 4") << QVariant(5) << "0005" << 4 << "0101";
    QTest::newRow("5, length 2") << QVariant(5) << "0005" << 2 << "101";
    QTest::newRow("0, length 0") << QVariant(0) << "0000" << 0 << "";
    QTest::newRow("5, no length") << QVariant(5) << "0005" << -1 << "101";
    QTest::newRow("4, length 3") << QVariant(4) << "0004" << 3 << "100";
    QTest::newRow("negative int") << QVariant(-5) << "fffb" << -1 << "-101";
    QTest::newRow("largest 64-bit unsigned")
        << QVariant(std::numeric_limits<quint64>::max()) << "ff" << -1 << QString(64, '1');
    QTest::newRow("unsigned 16-bit")
        << QVariant::fromValue(quint16(0x8001)) << "8001" << -1 << "1000000000000001";
    QTest::newRow("double") << QVariant(1234.5) << "0000" << -1 << "1.2e+03";
    QTest::newRow("text: bits of the bytes")
        << QVariant(QStringLiteral("5")) << "0005" << -1 << "0101";
    QTest::newRow("text, length 2: every leading zero goes")
        << QVariant(QStringLiteral("5")) << "0005" << 2 << "101";
    QTest::newRow("date-time, length 8") << QVariant(at(10, 0)) << "0003" << 8 << "00000011";
}

void tst_ModbusItemSource::binaryText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, bytes);
    QFETCH(int, length);
    QFETCH(QString, text);
    VariantItem item(value);
    item.setBytes(ModbusBytes::fromHex(bytes.toLatin1()), ModbusItemBase::ExternalChange);
    QCOMPARE(item.getBinaryValue(length), text);
}

void tst_ModbusItemSource::binaryBaseLength()
{
    VariantItem item(5);
    QSignalSpy lengthChanged(&item, &ModbusItemBase::binaryBaseLengthChanged);
    QSignalSpy binaryChanged(&item, &ModbusItemBase::binaryValueChanged);
    QCOMPARE(item.binaryValue(), QStringLiteral("101"));
    item.setBinaryBaseLength(6);
    item.setBinaryBaseLength(6);
    QCOMPARE(item.binaryValue(), QStringLiteral("000101"));
    QCOMPARE(item.property("binaryValue").toString(), QStringLiteral("000101"));
    QCOMPARE(lengthChanged.size(), 1);
    QCOMPARE(binaryChanged.size(), 1);
    // Every change of the bytes but the item's own value tells the binary text anew.
    item.setBytes(ModbusBytes::fromHex("0001"), ModbusItemBase::ExternalChange);
    item.setBytes(ModbusBytes::fromHex("0002"), ModbusItemBase::ValueChange);
    QCOMPARE(binaryChanged.size(), 2);
}

void tst_ModbusItemSource::arrayIndex()
{
    TestItem item(400001, 3, 2);
    item.setTopBytesArray(elements({"0001", "0002", "0002"}), ModbusItemBase::ExternalChange);
    ChangeLog log(item);
    QSignalSpy indexChanged(&item, &ModbusItemBase::arrayIndexChanged);

    item.setArrayIndex(1);
    QCOMPARE(item.bytesHex(), QStringLiteral("0002"));
    QCOMPARE(log.types, ChangeTypes{ModbusItemBase::ArrayIndexChange});
    // Equal bytes: the value is the same, the index still moves.
    item.setArrayIndex(2);
    QCOMPARE(log.types.size(), 1);
    QCOMPARE(indexChanged.size(), 2);
    item.setArrayIndex(5);
    QCOMPARE(item.bytesHex(), QString());
    QCOMPARE(log.types.size(), 2);
    // Bytes set with no current element go nowhere.
    item.setBytes(ModbusBytes::fromHex("ffff"), ModbusItemBase::ExternalChange);
    QCOMPARE(item.arraySize(), 3);
    QCOMPARE(log.types.size(), 2);
}

void tst_ModbusItemSource::modelValuesAndRoles()
{
    TestItem item(400001, 3, 2);
    QAbstractItemModelTester tester(item.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy sizeChanged(&item, &ModbusItemBase::arraySizeChanged);
    item.setTopBytesArray(elements({"0001", "0002"}), ModbusItemBase::ExternalChange);
    item.setTopBytesArray(elements({"0001", "0002", "0003", "0004"}),
                          ModbusItemBase::ExternalChange);
    QCOMPARE(sizeChanged.size(), 2);
    QCOMPARE(item.model()->rowCount(), 4);

    QCOMPARE(item.getRoleNames(), QStringLiteral("value label "));
    QCOMPARE(item.getModelHeader(QStringLiteral("value")), QStringLiteral("Value"));
    QCOMPARE(item.getModelHeader(QStringLiteral("label")), QStringLiteral("Label"));
    QCOMPARE(item.getModelHeader(QStringLiteral("Value")), QString());
    QCOMPARE(item.getModelValue(2, QStringLiteral("value")), QVariant(3));
    QCOMPARE(item.getModelValue(2, 1), QVariant(3));
    QCOMPARE(item.getModelValue(2, 0), QVariant());
    QCOMPARE(item.getModelValue(2, 2), QVariant());
    QCOMPARE(item.getModelValue(4, 1), QVariant());
    QCOMPARE(item.getModelValue(1, QStringLiteral("nothing")), QVariant());

    // Switching to the trend shows other rows: the model says so.
    QSignalSpy reset(item.model(), &QAbstractItemModel::modelReset);
    item.setModelType(ModbusItemBase::TrendModel);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(item.model()->rowCount(), 0);
    item.clearArray();
    QCOMPARE(item.arraySize(), 0);
}

QTEST_MAIN(tst_ModbusItemSource)
#include "tst_modbusitemsource.moc"
