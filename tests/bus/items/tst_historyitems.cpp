#include "historyblocks.h"
#include "internalitemmodel.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbustask.h"
#include "simulatedinstrument.h"
#include "tavrinflowratehistoryitem.h"
#include "tavrinheathistoryitem.h"
#include "tavrinpressurehistoryitem.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

using Blocks = QList<ModbusBytes>;
using Floats = QList<float>;
Q_DECLARE_METATYPE(Blocks)
Q_DECLARE_METATYPE(Floats)

namespace {

enum FlowRateRole : int {
    TimeRole = 32,
    FlowVelocityRole,
    FlowRateRole,
    VPlusRole,
    VMinusRole,
    VSummaryRole,
};

const QDateTime Now(QDate(2026, 3, 1), QTime(12, 0, 0));

// Hands one block to the item as a finished read would.
void merge(ModbusItemBase &item, const ModbusBytes &block)
{
    std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
    task->setBytes(ModbusBytesArray(QList<ModbusBytes>{block}));
    item.applyResultTask(*task);
}

// A block of flow-rate records whose velocities count up from `first`.
ModbusBytes countingBlock(int first, int count)
{
    QList<ModbusBytes> records;
    for (int i = 0; i < count; ++i)
        records.append(flowRateRecord(float(first + i), 0, 0, 0));
    return historyBlock(0, quint16(count), records);
}

Floats velocities(const ModbusItemBase &item)
{
    Floats result;
    for (int row = 0; row < item.arraySize(); ++row)
        result.append(item.data(row, FlowVelocityRole).toFloat());
    return result;
}

Floats range(int first, int count)
{
    Floats result;
    for (int i = 0; i < count; ++i)
        result.append(float(first + i));
    return result;
}

} // namespace

// The history items: how read blocks merge into the kept records, their stamps, the roles the
// model reads, and the re-read chain of the "more" word against the simulated instrument.
class tst_HistoryItems : public QObject
{
    Q_OBJECT

private slots:
    void firstBlockReplacesTheZeroElement();
    void merges_data();
    void merges();
    void valueWithoutEncodingKeepsItsBytes();
    void heatAndPressureRecords();
    void itemSizeIsRefused();
    void ratioChangeResetsTheModel();
    void maxHistorySizeSignal();
    void currentTimeTakesEffectAtTheNextMerge();
    void stampsAcrossTheSpringForwardHour();
    void moreWordReadsAgain();
};

void tst_HistoryItems::firstBlockReplacesTheZeroElement()
{
    TavrinFlowRateHistoryItem item;
    QCOMPARE(item.address(), 300533u);
    QCOMPARE(item.arraySize(), 1);
    QCOMPARE(item.data(0, TimeRole).toDateTime().date(), QDate(1970, 1, 1));
    QCOMPARE(item.data(0, VPlusRole).toDouble(), 0.0);

    item.setCurrentTime(Now);
    QSignalSpy wasRead(&item, &ModbusItemBase::bytesWasRead);
    merge(item, historyBlock(0, 3,
                             {flowRateRecord(1.5f, 2.0f, 1, 0), flowRateRecord(2.5f, 3.0f, 2, 0),
                              flowRateRecord(3.5f, 4.0f, 10.25, 2.5)}));
    QCOMPARE(wasRead.count(), 1);
    QCOMPARE(item.arraySize(), 3);
    QCOMPARE(velocities(item), (Floats{1.5f, 2.5f, 3.5f}));
    for (int row = 0; row < 3; ++row)
        QCOMPARE(item.data(row, TimeRole).toDateTime(), Now.addSecs(row - 2));
    QCOMPARE(item.data(2, FlowRateRole).toDouble(), 4.0);
    QCOMPARE(item.data(2, VPlusRole).toDouble(), 10.25);
    QCOMPARE(item.data(2, VMinusRole).toDouble(), 2.5);
    QCOMPARE(item.data(2, VSummaryRole).toDouble(), 7.75);
    QCOMPARE(item.topBytesArray().at(2).size(), 36);
    // No trend is kept whatever maxTrendSize says.
    QCOMPARE(item.trendSize(), 0);
}

void tst_HistoryItems::merges_data()
{
    QTest::addColumn<int>("maxHistorySize");
    QTest::addColumn<Blocks>("blocks");
    QTest::addColumn<Floats>("expected");

    Blocks thirtyOne;
    for (int i = 0; i < 31; ++i)
        thirtyOne.append(countingBlock(10 * i, 10));
    QTest::newRow("31 blocks of 10 keep the newest 300") << 300 << thirtyOne << range(10, 300);

    QTest::newRow("count 0 on a fresh item empties the zero element")
        << 300 << Blocks{historyBlock(0, 0, {})} << Floats{};
    QTest::newRow("count 0 after records keeps them")
        << 300 << Blocks{countingBlock(1, 2), historyBlock(0, 0, {})} << Floats{1, 2};
    QTest::newRow("block too short for the words")
        << 300 << Blocks{ModbusBytes(QByteArray(1, 0))} << Floats{};
    QTest::newRow("same block twice is appended twice")
        << 300 << Blocks{countingBlock(1, 2), countingBlock(1, 2)} << Floats{1, 2, 1, 2};
    QTest::newRow("limit slides the oldest out")
        << 3 << Blocks{countingBlock(1, 2), countingBlock(3, 2)} << Floats{2, 3, 4};
    QTest::newRow("limit 0 empties") << 0 << Blocks{countingBlock(1, 2)} << Floats{};
    QTest::newRow("negative limit empties") << -5 << Blocks{countingBlock(1, 2)} << Floats{};

    // The device's count is clamped to the records the block has room for.
    ModbusBytes full = countingBlock(1, 10);
    full[3] = 50;
    QTest::newRow("count 50 in 244 bytes") << 300 << Blocks{full} << range(1, 10);
    QList<ModbusBytes> records;
    for (int i = 0; i < 10; ++i)
        records.append(flowRateRecord(float(i + 1), 0, 0, 0));
    QTest::newRow("count 10 in 100 bytes")
        << 300 << Blocks{historyBlock(0, 10, records, 100)} << range(1, 4);
    QTest::newRow("count 65535") << 300 << Blocks{historyBlock(0, 0xffff, records)} << range(1, 10);
}

void tst_HistoryItems::merges()
{
    QFETCH(int, maxHistorySize);
    QFETCH(Blocks, blocks);
    QFETCH(Floats, expected);

    TavrinFlowRateHistoryItem item;
    item.setMaxHistorySize(maxHistorySize);
    item.setCurrentTime(Now);
    QSignalSpy wasRead(&item, &ModbusItemBase::bytesWasRead);
    for (const ModbusBytes &block : std::as_const(blocks))
        merge(item, block);

    QCOMPARE(wasRead.count(), blocks.size());
    QCOMPARE(velocities(item), expected);
    // Newest first, one second apart, every merge.
    for (int row = 0; row < item.arraySize(); ++row)
        QCOMPARE(item.data(row, TimeRole).toDateTime(), Now.addSecs(row - item.arraySize() + 1));
}

void tst_HistoryItems::valueWithoutEncodingKeepsItsBytes()
{
    const ModbusBytes denormal = rawDoubleStruct(5, -0.25f);
    const ModbusBytes notANumber = rawDoubleStruct(1, std::nanf(""));
    const ModbusBytes tooLarge = rawDoubleStruct(0x7fffffff, 3.0e9f);
    const ModbusBytes head = ModbusBytes::fromFloat(1) + ModbusBytes::fromFloat(2);

    TavrinFlowRateHistoryItem item;
    merge(item, historyBlock(0, 2, {head + denormal + notANumber, head + tooLarge + denormal}));

    const ModbusBytesArray &records = item.topBytesArray();
    QCOMPARE(records.size(), 2);
    // 5 + (-0.25) is normalised to 4 + 0.75.
    QCOMPARE(ModbusBytes::fromOther(records[0], 8, 8), ModbusBytes::fromDoubleStruct(4.75));
    QCOMPARE(ModbusBytes::fromOther(records[0], 16, 8), notANumber);
    QCOMPARE(ModbusBytes::fromOther(records[1], 8, 8), tooLarge);
    QCOMPARE(ModbusBytes::fromOther(records[1], 16, 8), ModbusBytes::fromDoubleStruct(4.75));
}

void tst_HistoryItems::heatAndPressureRecords()
{
    TavrinHeatHistoryItem heat;
    QCOMPARE(heat.address(), 301195u);
    heat.setCurrentTime(Now);
    merge(heat, historyBlock(0, 2, {heatRecord(1, 2, 3.5, 4.25), heatRecord(5, 6, -7.5, 8)}));
    QCOMPARE(heat.arraySize(), 2);
    QCOMPARE(heat.topBytesArray().at(1).size(), 28);
    QCOMPARE(heat.data(1, 32).toDateTime(), Now);
    QCOMPARE(heat.data(0, 32).toDateTime(), Now.addSecs(-1));
    QCOMPARE(heat.data(1, 33), QVariant(5.0f));
    QCOMPARE(heat.data(1, 34), QVariant(6.0f));
    QCOMPARE(heat.data(1, 35).toDouble(), -7.5);
    QCOMPARE(heat.data(1, 36).toDouble(), 8.0);

    TavrinPressureHistoryItem pressure;
    QCOMPARE(pressure.address(), 301317u);
    pressure.setCurrentTime(Now);
    const ModbusBytes noise = ModbusBytes::fromHex("0123456789abcdef0123456789abcdef");
    merge(pressure, historyBlock(0, 2, {pressureRecord(1, 2), pressureRecord(1, 2, noise)}));
    QCOMPARE(pressure.arraySize(), 2);
    QCOMPARE(pressure.topBytesArray().at(0).size(), 12);
    // The unused bytes change nothing but the stamp that the position gives.
    QCOMPARE(ModbusBytes::fromOther(pressure.topBytesArray().at(0), 0, 8),
             ModbusBytes::fromOther(pressure.topBytesArray().at(1), 0, 8));
    QCOMPARE(pressure.data(1, 32).toDateTime(), Now);
    QCOMPARE(pressure.data(1, 33), QVariant(1.0f));
    QCOMPARE(pressure.data(1, 34), QVariant(2.0f));

    QCOMPARE(pressure.roles().size(), 3);
    QCOMPARE(pressure.roles().at(2).name, QByteArray("pressureCurrent"));
    QCOMPARE(heat.roles().size(), 5);
    QCOMPARE(heat.roles().at(4).title, QStringLiteral("W+"));
    TavrinFlowRateHistoryItem flowRate;
    QCOMPARE(flowRate.roles().size(), 6);
    QCOMPARE(flowRate.roles().at(5).title, QStringLiteral("\u03a3V"));
}

void tst_HistoryItems::itemSizeIsRefused()
{
    TavrinHeatHistoryItem item;
    QSignalSpy sizeChanged(&item, &ModbusCustomBytes::itemSizeChanged);
    for (int size : {244, 100, 0}) {
        QTest::ignoreMessage(QtWarningMsg, "cannot change itemSize of this item");
        item.setItemSize(size);
    }
    QCOMPARE(item.itemSize(), 244);
    QCOMPARE(sizeChanged.count(), 0);
}

void tst_HistoryItems::ratioChangeResetsTheModel()
{
    TavrinFlowRateHistoryItem item;
    merge(item, historyBlock(0, 2, {flowRateRecord(1, 2.5f, 3, 1), flowRateRecord(1, 4, 3, 1)}));
    const ModbusBytesArray before = item.topBytesArray();
    QSignalSpy reset(item.model(), &QAbstractItemModel::modelReset);
    QSignalSpy ratioChanged(&item, &TavrinFlowRateHistoryItem::flowRateRatioChanged);

    item.setFlowRateRatio(2.0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(ratioChanged.count(), 1);
    QCOMPARE(item.data(0, FlowRateRole).toDouble(), 5.0);
    QCOMPARE(item.data(1, FlowRateRole).toDouble(), 8.0);
    QCOMPARE(item.data(1, VSummaryRole).toDouble(), 2.0);
    QCOMPARE(item.topBytesArray(), before);

    item.setFlowRateRatio(2.0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(ratioChanged.count(), 1);
}

void tst_HistoryItems::maxHistorySizeSignal()
{
    TavrinPressureHistoryItem item;
    QSignalSpy changed(&item, &TavrinPressureHistoryItem::maxHistorySizeChanged);
    item.setMaxHistorySize(300);
    QCOMPARE(changed.count(), 0);
    item.setMaxHistorySize(0);
    item.setMaxHistorySize(0);
    QCOMPARE(changed.count(), 2);
}

void tst_HistoryItems::currentTimeTakesEffectAtTheNextMerge()
{
    TavrinFlowRateHistoryItem item;
    item.setCurrentTime(Now);
    merge(item, countingBlock(1, 2));
    item.setCurrentTime(Now.addSecs(100));
    QCOMPARE(item.data(1, TimeRole).toDateTime(), Now);
    merge(item, countingBlock(3, 1));
    QCOMPARE(item.data(0, TimeRole).toDateTime(), Now.addSecs(98));
    QCOMPARE(item.data(2, TimeRole).toDateTime(), Now.addSecs(100));
}

void tst_HistoryItems::stampsAcrossTheSpringForwardHour()
{
    // Two seconds after the clocks went from 02:00 to 03:00 in Europe/Berlin: the records are a
    // second apart on the instrument's clock, with no hour between 03:00:00 and the one before.
    TavrinFlowRateHistoryItem item;
    const QDateTime now(QDate(2026, 3, 29), QTime(3, 0, 2));
    item.setCurrentTime(now);
    merge(item, countingBlock(1, 5));

    const quint32 last = DorrikBus::archLabelToSeconds(now);
    QCOMPARE(last, 1774753202u);
    QList<quint32> stamps;
    for (const ModbusBytes &record : item.topBytesArray())
        stamps.append(record.toUInt32(32));
    QCOMPARE(stamps, (QList<quint32>{last - 4, last - 3, last - 2, last - 1, last}));
    QCOMPARE(item.data(4, TimeRole).toDateTime(), now);
}

void tst_HistoryItems::moreWordReadsAgain()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());

    TavrinFlowRateHistoryItem item;
    item.setClient(&client);
    HistoryBlockQueue queue(instrument, item, 300533);
    queue.enqueue(historyBlock(1, 2, {flowRateRecord(1, 0, 0, 0), flowRateRecord(2, 0, 0, 0)}));
    queue.enqueue(historyBlock(1, 0, {}));
    queue.enqueue(historyBlock(0, 1, {flowRateRecord(3, 0, 0, 0)}));
    // Read after the chain ends, if the item wrongly kept going.
    queue.enqueue(historyBlock(0, 1, {flowRateRecord(99, 0, 0, 0)}));

    QSignalSpy wasRead(&item, &ModbusItemBase::bytesWasRead);
    QVERIFY(item.read());
    QTRY_COMPARE_WITH_TIMEOUT(wasRead.count(), 3, 5000);
    QCOMPARE(velocities(item), (Floats{1, 2, 3}));
    // Nothing more comes.
    QTest::qWait(100);
    QCOMPARE(wasRead.count(), 3);
    QCOMPARE(queue.pending(), 0);

    const QList<InstrumentRequest> requests = instrument.requests();
    QCOMPARE(requests.size(), 3);
    for (const InstrumentRequest &request : requests) {
        QCOMPARE(request.function, DorrikBus::ReadInputRegisters);
        QCOMPARE(request.address, 300533u);
        QCOMPARE(request.count, 122);
    }
}

QTEST_MAIN(tst_HistoryItems)
#include "tst_historyitems.moc"
