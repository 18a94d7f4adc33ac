#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbusfloat.h"
#include "modbusitemaddressedbase.h"
#include "modbusloopbackclient.h"
#include "modbustaskaddressed.h"
#include "modbusuint16.h"
#include "modbusuint8.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QtTest>

#include <memory>
#include <vector>

namespace {

// The addressed base with nothing of its own: its value is its bytes.
class BytesItem : public ModbusItemAddressedBase
{
public:
    explicit BytesItem(int elementSize, quint32 address = 400001)
        : ModbusItemAddressedBase(elementSize, address)
    {}

    QString formatValue() const override { return QString::fromLatin1(bytes().toHex()); }
    void setFormatValue(const QString &) override {}
    void updateValueFromBytes() override {}
    QVariant getTypedValue(const ModbusBytes &bytes) const override
    {
        return QVariant(QByteArray(bytes));
    }
};

// Keeps the tasks its items hand over instead of running them.
class RecordingClient : public ModbusClient
{
public:
    // The executor's timers move to its thread by a posted call; a client gone before that call
    // ran would leak it.
    RecordingClient()
    {
        QMetaObject::invokeMethod(
            executor(), [] {}, Qt::BlockingQueuedConnection);
    }
    void executeTask(ModbusTask *task) override { tasks.emplace_back(task); }
    std::vector<std::unique_ptr<ModbusTask>> tasks;
};

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

ModbusBytesArray elements(const QList<const char *> &hexes)
{
    ModbusBytesArray result;
    for (const char *h : hexes)
        result.append(hex(h));
    return result;
}

enum class ResultCase { Matching, OtherAddress, OtherSize, WriteOtherAddress, OtherKind, NoTask };

} // namespace

Q_DECLARE_METATYPE(ResultCase)

// What an address decides for an item: read-only, bytes on the wire, tasks, and which results
// belong to it.
class tst_ModbusItemAddressedBase : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyByAddress_data();
    void readOnlyByAddress();
    void readOnlyFollowsTheAddress();
    void wireSize_data();
    void wireSize();
    void outgoingAlignment_data();
    void outgoingAlignment();
    void createdTasks();
    void resultCheck_data();
    void resultCheck();
    void byteItemKeepsTheLowOrderByte_data();
    void byteItemKeepsTheLowOrderByte();
    void textSettings();
    void liveItemReadsAtItsNewAddress();
};

void tst_ModbusItemAddressedBase::readOnlyByAddress_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("first coil") << quint32(1) << false;
    QTest::newRow("last coil") << quint32(100000) << false;
    QTest::newRow("first discrete input") << quint32(100001) << true;
    QTest::newRow("last discrete input") << quint32(300000) << true;
    QTest::newRow("first input register") << quint32(300001) << true;
    QTest::newRow("last input register") << quint32(400000) << true;
    QTest::newRow("first holding register") << quint32(400001) << false;
    QTest::newRow("holding register") << quint32(465535) << false;
}

void tst_ModbusItemAddressedBase::readOnlyByAddress()
{
    QFETCH(quint32, address);
    QFETCH(bool, readOnly);

    BytesItem constructed(2, address);
    QCOMPARE(constructed.readOnly(), readOnly);

    BytesItem moved(2);
    QVERIFY(!moved.readOnly());
    QSignalSpy readOnlyChanged(&moved, &ModbusItemBase::readOnlyChanged);
    moved.setAddress(address);
    QCOMPARE(moved.readOnly(), readOnly);
    QCOMPARE(readOnlyChanged.size(), readOnly ? 1 : 0);

    // A read-only item sends nothing and says why.
    RecordingClient client;
    moved.setClient(&client);
    QSignalSpy error(&moved, &ErrObject::error);
    QCOMPARE(moved.write(), !readOnly);
    QCOMPARE(client.tasks.size(), size_t(readOnly ? 0 : 1));
    QCOMPARE(error.size(), readOnly ? 1 : 0);
    if (readOnly)
        QCOMPARE(moved.errorString(), QStringLiteral("can't write: object is readonly"));
    moved.setClient(nullptr);
}

void tst_ModbusItemAddressedBase::readOnlyFollowsTheAddress()
{
    BytesItem item(2);
    QSignalSpy addressChanged(&item, &ModbusItemAddressedBase::addressChanged);
    QSignalSpy readOnlyChanged(&item, &ModbusItemBase::readOnlyChanged);

    item.setAddress(300001);
    QVERIFY(item.readOnly());
    item.setAddress(400001);
    QVERIFY(!item.readOnly());
    QCOMPARE(addressChanged.size(), 2);
    QCOMPARE(readOnlyChanged.size(), 2);

    item.setAddress(400001);
    QCOMPARE(addressChanged.size(), 2);
    QCOMPARE(readOnlyChanged.size(), 2);
}

void tst_ModbusItemAddressedBase::wireSize_data()
{
    QTest::addColumn<int>("elementSize");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("wireElement");

    QTest::newRow("1 byte in a holding register") << 1 << quint32(400001) << 1 << 2;
    QTest::newRow("2 bytes in a holding register") << 2 << quint32(400001) << 1 << 2;
    QTest::newRow("3 bytes in input registers") << 3 << quint32(300001) << 1 << 4;
    QTest::newRow("3 bytes, 2 elements") << 3 << quint32(400001) << 2 << 4;
    QTest::newRow("1 byte at a coil") << 1 << quint32(1) << 1 << 1;
    QTest::newRow("3 bytes at discrete inputs") << 3 << quint32(100001) << 1 << 3;
}

void tst_ModbusItemAddressedBase::wireSize()
{
    QFETCH(int, elementSize);
    QFETCH(quint32, address);
    QFETCH(int, count);
    QFETCH(int, wireElement);

    BytesItem item(elementSize, address);
    item.setCount(count);
    QCOMPARE(item.requestItemModbusBytesCount(), wireElement);
    QCOMPARE(item.requestModbusBytesCount(), wireElement * count);
    std::unique_ptr<ModbusTask> read(item.createModbusTask(DorrikBus::ReadTask, 0));
    QCOMPARE(read->requestBytesCount(), wireElement * count);
}

void tst_ModbusItemAddressedBase::outgoingAlignment_data()
{
    QTest::addColumn<int>("elementSize");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<ModbusBytesArray>("stored");
    QTest::addColumn<ModbusBytesArray>("sent");

    QTest::newRow("odd element at a register gets a zero byte in front")
        << 1 << quint32(400001) << elements({"2a"}) << elements({"002a"});
    QTest::newRow("each element of an input register array")
        << 1 << quint32(300001) << elements({"2a", "2b"}) << elements({"002a", "002b"});
    QTest::newRow("three bytes become two registers")
        << 3 << quint32(400001) << elements({"123456"}) << elements({"00123456"});
    QTest::newRow("even element unchanged")
        << 2 << quint32(400001) << elements({"1234"}) << elements({"1234"});
    QTest::newRow("coil byte unchanged") << 1 << quint32(1) << elements({"2a"}) << elements({"2a"});
    QTest::newRow("discrete input bytes unchanged")
        << 3 << quint32(100001) << elements({"123456"}) << elements({"123456"});
}

void tst_ModbusItemAddressedBase::outgoingAlignment()
{
    QFETCH(int, elementSize);
    QFETCH(quint32, address);
    QFETCH(ModbusBytesArray, stored);
    QFETCH(ModbusBytesArray, sent);

    BytesItem item(elementSize, address);
    item.setCount(int(stored.size()));
    item.setTopBytesArray(stored, ModbusItemBase::ExternalChange);
    QCOMPARE(item.getModbusBytes(), sent);
    QCOMPARE(item.getModbusBytes(stored), sent);
    QCOMPARE(item.topBytesArray(), stored);

    // A write task made without elements carries the item's own, as sent.
    std::unique_ptr<ModbusTask> write(item.createModbusTask(DorrikBus::WriteTask, 0));
    QCOMPARE(write->firstBytes(), sent);
}

void tst_ModbusItemAddressedBase::createdTasks()
{
    BytesItem item(4, 400010);
    item.setCount(3);
    item.setDeviceAddress(7);

    std::unique_ptr<ModbusTask> read(item.createModbusTask(DorrikBus::ReadTask, 500));
    auto *addressed = dynamic_cast<ModbusTaskAddressed *>(read.get());
    QVERIFY(addressed);
    QCOMPARE(addressed->address(), quint32(400010));
    QCOMPARE(addressed->type(), DorrikBus::ReadTask);
    QCOMPARE(addressed->interval(), 500);
    QCOMPARE(addressed->count(), 3);
    QCOMPARE(addressed->deviceAddress(), quint8(7));
    QVERIFY(addressed->contains(&item));

    std::unique_ptr<ModbusTask> write(item.createModbusTask(DorrikBus::WriteTask, 500));
    QCOMPARE(write->type(), DorrikBus::WriteTask);
    QCOMPARE(write->interval(), 0);
    QCOMPARE(dynamic_cast<ModbusTaskAddressed *>(write.get())->address(), quint32(400010));
}

void tst_ModbusItemAddressedBase::resultCheck_data()
{
    QTest::addColumn<ResultCase>("result");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("read for this address and size") << ResultCase::Matching << true;
    QTest::newRow("read for the old address") << ResultCase::OtherAddress << false;
    QTest::newRow("read for the old size") << ResultCase::OtherSize << false;
    QTest::newRow("write for the old address") << ResultCase::WriteOtherAddress << true;
    QTest::newRow("task of another kind") << ResultCase::OtherKind << false;
    QTest::newRow("no task") << ResultCase::NoTask << false;
}

// A result made before the address or the size changed is not the item's any more.
void tst_ModbusItemAddressedBase::resultCheck()
{
    QFETCH(ResultCase, result);
    QFETCH(bool, accepted);

    RecordingClient client;
    BytesItem item(2, 400010);
    item.setClient(&client);
    TestReportItem reportItem;

    std::unique_ptr<ModbusTask> task;
    switch (result) {
    case ResultCase::Matching:
        task.reset(item.createModbusTask(DorrikBus::ReadTask, 0));
        break;
    case ResultCase::OtherAddress:
        task.reset(item.createModbusTask(DorrikBus::ReadTask, 0));
        item.setAddress(400020);
        break;
    case ResultCase::OtherSize:
        task.reset(item.createModbusTask(DorrikBus::ReadTask, 0));
        item.setRequestItemBytesCount(4);
        break;
    case ResultCase::WriteOtherAddress:
        task.reset(item.createModbusTask(DorrikBus::WriteTask, 0));
        item.setAddress(400020);
        break;
    case ResultCase::OtherKind:
        task.reset(reportItem.createModbusTask(DorrikBus::ReadTask, 0));
        break;
    case ResultCase::NoTask:
        QCOMPARE(item.checkValidResultTask(nullptr), false);
        item.setClient(nullptr);
        return;
    }
    QCOMPARE(item.checkValidResultTask(task.get()), accepted);

    const ModbusBytes before = item.bytes();
    QSignalSpy afterRead(&item, &ModbusItemBase::afterRead);
    QSignalSpy afterWrite(&item, &ModbusItemBase::afterWrite);
    task->setState(DorrikBus::GoodState);
    if (task->type() == DorrikBus::ReadTask) {
        ModbusBytesArray answer;
        answer.append(ModbusBytes::fromSize(item.requestItemModbusBytesCount(), 0x5a));
        task->setBytes(answer);
    }
    QCOMPARE(item.taskCompleted(task.get()), accepted);
    const bool applied = accepted && task->type() == DorrikBus::ReadTask;
    QCOMPARE(item.bytes() != before, applied);
    QCOMPARE(afterRead.size(), applied ? 1 : 0);
    QCOMPARE(afterWrite.size(), accepted && !applied ? 1 : 0);
    item.setClient(nullptr);
}

void tst_ModbusItemAddressedBase::byteItemKeepsTheLowOrderByte_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<ModbusBytesArray>("answer");
    QTest::addColumn<ModbusBytesArray>("stored");

    QTest::newRow("register") << quint32(400001) << elements({"1234"}) << elements({"34"});
    QTest::newRow("register array")
        << quint32(300001) << elements({"1234", "56f8"}) << elements({"34", "f8"});
    QTest::newRow("coil") << quint32(1) << elements({"2a"}) << elements({"2a"});
}

void tst_ModbusItemAddressedBase::byteItemKeepsTheLowOrderByte()
{
    QFETCH(quint32, address);
    QFETCH(ModbusBytesArray, answer);
    QFETCH(ModbusBytesArray, stored);

    RecordingClient client;
    ModbusUInt8 item(address);
    QVERIFY(item.alignToWord());
    QVERIFY(ModbusUInt8().alignToWord());
    item.setCount(int(answer.size()));
    item.setMaxTrendSize(3);
    item.setClient(&client);
    QSignalSpy bytesWasRead(&item, &ModbusItemBase::bytesWasRead);

    std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setState(DorrikBus::GoodState);
    task->setBytes(answer);
    QVERIFY(item.taskCompleted(task.get()));
    QCOMPARE(item.topBytesArray(), stored);
    QCOMPARE(item.value(), quint8(stored.first().at(0)));
    QCOMPARE(bytesWasRead.size(), 1);
    QCOMPARE(item.trendSize(), 0);
    item.setClient(nullptr);
}

// Radix, format and precision signal their own change once; the shown text waits for the value.
void tst_ModbusItemAddressedBase::textSettings()
{
    ModbusUInt16 integer;
    QCOMPARE(integer.base(), 10);
    integer.setValue(255);
    QSignalSpy baseChanged(&integer, &ModbusItemIntBase::baseChanged);
    QSignalSpy integerText(&integer, &ModbusItemBase::formatValueChanged);
    integer.setBase(16);
    integer.setBase(16);
    QCOMPARE(baseChanged.size(), 1);
    QCOMPARE(integerText.size(), 0);
    QCOMPARE(integer.formatValue(), QStringLiteral("ff"));

    ModbusFloat floating;
    QCOMPARE(floating.format(), 'f');
    QCOMPARE(floating.precision(), 3);
    QSignalSpy formatChanged(&floating, &ModbusItemFloatingBase::formatChanged);
    QSignalSpy precisionChanged(&floating, &ModbusItemFloatingBase::precisionChanged);
    QSignalSpy floatingText(&floating, &ModbusItemBase::formatValueChanged);
    floating.setFormat('e');
    floating.setFormat('e');
    floating.setPrecision(1);
    floating.setPrecision(1);
    QCOMPARE(formatChanged.size(), 1);
    QCOMPARE(precisionChanged.size(), 1);
    QCOMPARE(floatingText.size(), 0);

    ModbusUInt8 byte(400001);
    QSignalSpy alignChanged(&byte, &ModbusItemByteBase::alignToWordChanged);
    byte.setAlignToWord(false);
    byte.setAlignToWord(false);
    QCOMPARE(alignChanged.size(), 1);
    QCOMPARE(alignChanged.at(0).at(0).toBool(), false);
}

// A live item reads again when its address changes, and only then.
void tst_ModbusItemAddressedBase::liveItemReadsAtItsNewAddress()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    instrument.setRegisters(400030, hex("0102"));

    ModbusUInt16 item(400001);
    item.setClient(&client);
    QTRY_VERIFY(item.connected());
    QVERIFY(item.readSync());
    item.setLiveRead(true);
    instrument.clearRequests();

    item.setAddress(400030);
    QVERIFY(!item.actualValue());
    QTRY_COMPARE(item.value(), quint16(0x0102));
    QCOMPARE(instrument.requestCount(), 1);
    QCOMPARE(instrument.requests().at(0).address, quint32(400030));

    item.setAddress(400030);
    QTest::qWait(50);
    QCOMPARE(instrument.requestCount(), 1);
}

QTEST_GUILESS_MAIN(tst_ModbusItemAddressedBase)
#include "tst_modbusitemaddressedbase.moc"
