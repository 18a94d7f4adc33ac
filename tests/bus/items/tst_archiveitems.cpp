#include "modbusarchlabel.h"
#include "modbusarchrecord.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbustaskarchpresence.h"
#include "modbustaskarchrecord65.h"
#include "simulatedinstrument.h"

#include <QtTest>

#include <memory>

using Labels = QList<quint32>;
using Requests = QList<QPair<int, quint32>>;
Q_DECLARE_METATYPE(Labels)

namespace {

constexpr quint32 Hour = 3600;
// 2024-03-01 10:00 as a label.
constexpr quint32 T0 = 1709287200;

ModbusBytes record(quint32 label, int size = 32)
{
    ModbusBytes bytes = ModbusBytes::fromUInt32(label);
    bytes.append(ModbusBytes::fromSize(size - 4, 0x11));
    return bytes;
}

} // namespace

// The archive items: their bases (value text, labels, archive settings), the labels item and
// the record item, against the simulated instrument's hourly time archive 1 (records at 10:00,
// 11:00, 12:00, then 15:00 to 19:00 of one day).
class tst_ArchiveItems : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void valueTextBothWays();
    void sameArchiveSettingsEmitNothing();
    void archiveChangeReadsAgainIntervalAndFormatDoNot();
    void labelForms_data();
    void labelForms();
    void writeIsRefused();
    void resultOfAnotherArchiveIsRefused();

    void labelsItemAppliesOnlyWhatWasAsked();
    void labelsItemNeighboursAfterCompletion();
    void changedMaxRequestLabelsInvalidatesTheResult();
    void labelsItemFormatValueIsReadOnly();

    void record65ReadsItsLabelsInOneTask_data();
    void record65ReadsItsLabelsInOneTask();
    void normalizeLabel();
    void record67InTwoStages_data();
    void record67InTwoStages();
    void recordSizeLearnedThenEnforced();
    void zeroRecordDoesNotExist();
    void answerForAnotherLabel_data();
    void answerForAnotherLabel();
    void nextAndPreviousWithLiveReading();

private:
    Requests requests() const;
    void prepare(ModbusItemArchBase &item, DorrikBus::ArchFunc func);

    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
};

void tst_ArchiveItems::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_instrument->archives().addArchive(1, DorrikBus::TimeArch);
    for (quint32 hour : {0, 1, 2, 5, 6, 7, 8, 9})
        m_instrument->archives().addRecord(1, T0 + hour * Hour, record(T0 + hour * Hour));
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
    QVERIFY(m_client->connected());
}

void tst_ArchiveItems::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

Requests tst_ArchiveItems::requests() const
{
    Requests log;
    for (const InstrumentRequest &request : m_instrument->requests())
        log.append({int(request.function), request.address});
    return log;
}

void tst_ArchiveItems::prepare(ModbusItemArchBase &item, DorrikBus::ArchFunc func)
{
    item.setArchIndex(1);
    item.setArchType(DorrikBus::TimeArch);
    item.setFunc(func);
    item.setClient(m_client.get());
}

void tst_ArchiveItems::valueTextBothWays()
{
    ModbusArchRecord item;
    item.setBytes(ModbusBytes::fromHex("0aff"), ModbusItemBase::ExternalChange);
    QCOMPARE(item.value(), QStringLiteral("0aff"));
    QCOMPARE(item.formatValue(), QStringLiteral("0aff"));

    QSignalSpy changed(&item, &ModbusItemArchBase::valueChanged);
    item.setValue(QStringLiteral("0A FF 12"));
    QCOMPARE(item.bytes(), ModbusBytes::fromHex("0aff12"));
    QCOMPARE(changed.size(), 1);
}

void tst_ArchiveItems::sameArchiveSettingsEmitNothing()
{
    ModbusArchRecord item;
    item.setLabel(T0);
    QSignalSpy index(&item, &ModbusItemArchBase::archIndexChanged);
    QSignalSpy func(&item, &ModbusItemArchBase::funcChanged);
    QSignalSpy type(&item, &ModbusItemArchBase::archTypeChanged);
    QSignalSpy label(&item, &ModbusItemArchLabeledBase::labelChanged);
    item.setArchIndex(0);
    item.setFunc(DorrikBus::Func65);
    item.setArchType(DorrikBus::TimeArch);
    item.setLabel(T0);
    QCOMPARE(index.size() + func.size() + type.size() + label.size(), 0);
}

void tst_ArchiveItems::archiveChangeReadsAgainIntervalAndFormatDoNot()
{
    ModbusArchLabel item;
    prepare(item, DorrikBus::Func67);
    item.setLabel(T0);
    item.setLiveRead(true);
    m_instrument->clearRequests();

    item.setArchInterval(DorrikBus::Day);
    item.setTimeFormat(QStringLiteral("yyyy-MM-dd hh:mm"));
    QTest::qWait(50);
    QCOMPARE(m_instrument->requestCount(), 0);

    item.setArchIndex(2);
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    QCOMPARE(m_instrument->requests().at(0).archIndex, quint16(2));
}

void tst_ArchiveItems::labelForms_data()
{
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<quint32>("label");

    QTest::newRow("text in the time format")
        << QVariant(QStringLiteral("01.02.2020 10:00:00")) << 1580551200u;
    QTest::newRow("date-time") << QVariant(QDateTime(QDate(2020, 2, 1), QTime(10, 0)))
                               << 1580551200u;
    QTest::newRow("number") << QVariant(1234u) << 1234u;
    QTest::newRow("neither") << QVariant(QStringLiteral("soon")) << 0u;
}

void tst_ArchiveItems::labelForms()
{
    QFETCH(QVariant, written);
    QFETCH(quint32, label);

    ModbusArchRecord item;
    item.setVariantLabel(written);
    QCOMPARE(item.label(), label);
    // Time archive: the wall clock reading, whatever the zone.
    const QDateTime time = item.variantLabel().toDateTime();
    QCOMPARE(item.variantLabel().typeId(), QMetaType::QDateTime);
    QCOMPARE(DorrikBus::archLabelToSeconds(time), label);
    QCOMPARE(item.timeLabel(), time);
    QCOMPARE(item.getVariantLabel(1580551200u, true),
             QVariant(QStringLiteral("01.02.2020 10:00:00")));

    item.setArchType(DorrikBus::IndexArch);
    QCOMPARE(item.variantLabel(), QVariant(label));
}

void tst_ArchiveItems::writeIsRefused()
{
    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    m_instrument->clearRequests();
    QSignalSpy errors(&item, &ErrObject::error);
    QVERIFY(!item.write());
    QVERIFY(!item.writeSync(ModbusBytes::fromHex("0102")));
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("can't write: object is readonly"));
    QTest::qWait(50);
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ArchiveItems::resultOfAnotherArchiveIsRefused()
{
    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    ModbusTaskArchRecord65 own(item, T0, 0);
    QVERIFY(item.checkValidResultTask(&own));
    ModbusTaskArchRecord65 other(item, T0, 0, 2, DorrikBus::Func65, DorrikBus::TimeArch, 0,
                                 DorrikBus::Hour);
    QVERIFY(!item.checkValidResultTask(&other));
    ModbusTaskArchRecord65 function(item, T0, 0, 1, DorrikBus::Func67, DorrikBus::TimeArch, 0,
                                    DorrikBus::Hour);
    QVERIFY(!item.checkValidResultTask(&function));
}

void tst_ArchiveItems::labelsItemAppliesOnlyWhatWasAsked()
{
    ModbusArchLabel item;
    prepare(item, DorrikBus::Func67);
    item.setLabel(T0);
    item.setNextLabel(T0 + Hour);
    item.setUseNext(true);
    const quint32 prevBefore = item.prevLabelInt();

    ModbusTaskArchPresence task(item, DorrikBus::Forward, 0);
    QVERIFY(task.readNext());
    QVERIFY(!task.readPrev());
    task.prevLabel = 5;
    task.prevLabelExists = false;
    task.nextLabel = 7;
    task.nextLabelExists = false;
    task.firstLabel = 1;
    task.setBytes(ModbusBytesArray(ModbusBytes::fromUInt32(T0), 0, -1));
    item.applyResultTask(task);

    QCOMPARE(item.prevLabelInt(), prevBefore);
    QVERIFY(item.prevLabelExists());
    QVERIFY(!item.nextLabelExists());
    QCOMPARE(item.nextLabelInt(), T0 + Hour);
    QCOMPARE(item.firstLabelInt(), 0u);
    QCOMPARE(item.valueInt(), T0);
}

void tst_ArchiveItems::labelsItemNeighboursAfterCompletion()
{
    ModbusArchLabel item;
    item.classBegin();
    prepare(item, DorrikBus::Func67);
    item.setLabel(T0 + 5 * Hour);
    item.setUsePrev(true);
    item.setUseNext(true);
    item.setCount(2);
    item.componentComplete();
    QVERIFY(!item.prevLabelExists());
    QVERIFY(!item.nextLabelExists());

    ModbusArchLabel computed;
    computed.classBegin();
    computed.componentComplete();
    QVERIFY(computed.prevLabelExists());
    QVERIFY(computed.nextLabelExists());

    // Read: both neighbours of 15:00 come from the instrument, 12:00 over the gap and 16:00.
    QVERIFY(item.readSync());
    QVERIFY(item.prevLabelExists());
    QCOMPARE(item.prevLabelInt(), T0 + 2 * Hour);
    QVERIFY(item.nextLabelExists());
    QCOMPARE(item.nextLabelInt(), T0 + 6 * Hour);
    QCOMPARE(item.bytesArray().toModbusBytes().toArchLabels(0, -1),
             (Labels{T0 + 5 * Hour, T0 + 6 * Hour}));
}

void tst_ArchiveItems::changedMaxRequestLabelsInvalidatesTheResult()
{
    ModbusArchLabel item;
    prepare(item, DorrikBus::Func67);
    ModbusTaskArchPresence task(item, DorrikBus::Forward, 0);
    QVERIFY(item.checkValidResultTask(&task));
    QSignalSpy changed(&item, &ModbusArchLabel::maxRequestLabelsChanged);
    item.setMaxRequestLabels(10);
    QCOMPARE(changed.size(), 1);
    QVERIFY(!item.checkValidResultTask(&task));
}

void tst_ArchiveItems::labelsItemFormatValueIsReadOnly()
{
    ModbusArchLabel item;
    item.setArchType(DorrikBus::IndexArch);
    item.setBytes(ModbusBytes::fromUInt32(42), ModbusItemBase::ExternalChange);
    QCOMPARE(item.formatValue(), QStringLiteral("42"));
    QTest::ignoreMessage(QtWarningMsg, "\"'setFormatValue': can't change readonly property\"");
    item.setFormatValue(QStringLiteral("7"));
    QCOMPARE(item.valueInt(), 42u);
}

void tst_ArchiveItems::record65ReadsItsLabelsInOneTask_data()
{
    QTest::addColumn<int>("recordSize");
    QTest::addColumn<QList<int>>("counts");
    // An answer does not say where a record ends: one record first shows the size.
    QTest::newRow("size not known: one record, then the rest") << 0 << QList<int>{1, 2};
    QTest::newRow("size known: one request") << 32 << QList<int>{3};
}

void tst_ArchiveItems::record65ReadsItsLabelsInOneTask()
{
    QFETCH(int, recordSize);
    QFETCH(QList<int>, counts);

    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    item.setLabel(T0);
    item.setCount(3);
    item.setRecordSize(recordSize);
    m_instrument->clearRequests();
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);

    QVERIFY(item.readSync());
    QCOMPARE(item.labels(), (Labels{T0, T0 + Hour, T0 + 2 * Hour}));
    QCOMPARE(executed.size(), 1);
    QList<int> sent;
    for (const InstrumentRequest &request : m_instrument->requests())
        sent.append(request.count);
    QCOMPARE(sent, counts);
    QCOMPARE(m_instrument->requests().first().address, T0);
    QCOMPARE(item.arraySize(), 3);
    QCOMPARE(item.recordSize(), 32);
    QCOMPARE(item.bytesArray().at(2), record(T0 + 2 * Hour));
    QVERIFY(item.exists());
}

void tst_ArchiveItems::normalizeLabel()
{
    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    item.setLabel(T0 + 37 * 60);
    item.setCount(2);
    item.reinitLabels();
    QCOMPARE(item.labels(), (Labels{T0 + 37 * 60, T0 + Hour + 37 * 60}));
    item.setNormalizeLabel(true);
    item.reinitLabels();
    QCOMPARE(item.labels(), (Labels{T0, T0 + Hour}));
}

void tst_ArchiveItems::record67InTwoStages_data()
{
    QTest::addColumn<bool>("sync");
    QTest::newRow("synchronous") << true;
    QTest::newRow("queued") << false;
}

void tst_ArchiveItems::record67InTwoStages()
{
    QFETCH(bool, sync);

    ModbusArchRecord item;
    prepare(item, DorrikBus::Func67);
    item.setLabel(T0 + Hour);
    item.setCount(3);
    m_instrument->clearRequests();
    QSignalSpy read(&item, &ModbusItemBase::bytesWasRead);

    QVERIFY(sync ? item.readSync() : item.read());
    QTRY_COMPARE(read.size(), 1);
    // Presence of three labels from 11:00 (over the gap), then those three records: the first
    // alone, as its size is not known yet.
    QCOMPARE(requests(), (Requests{{DorrikBus::ReadArchRecordsPresence, T0 + Hour},
                                   {DorrikBus::ReadArchRecord67, T0 + Hour},
                                   {DorrikBus::ReadArchRecord67, T0 + 2 * Hour}}));
    QCOMPARE(item.labels(), (Labels{T0 + Hour, T0 + 2 * Hour, T0 + 5 * Hour}));
    QCOMPARE(item.arraySize(), 3);
    QCOMPARE(item.bytesArray().at(2), record(T0 + 5 * Hour));
}

void tst_ArchiveItems::recordSizeLearnedThenEnforced()
{
    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    item.setLabel(T0);

    ModbusTaskArchRecord65 first(item, T0, 0);
    first.setBytes(ModbusBytesArray(record(T0, 64), 0, -1));
    QVERIFY(item.checkValidResultTask(&first));
    item.applyResultTask(first);
    QCOMPARE(item.recordSize(), 64);

    item.setCheckRecordSize(true);
    QSignalSpy errors(&item, &ErrObject::error);
    // Made with the learned size, answered with shorter records.
    ModbusTaskArchRecord65 second(item, T0, 0);
    second.setBytes(ModbusBytesArray(record(T0, 60), 0, -1));
    QVERIFY(!item.checkValidResultTask(&second));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).at(0).toString(),
             QStringLiteral("Arch record size check failed: received length: 60, need 64"));

    // A task made for another record size is refused without a word.
    ModbusTaskArchRecord65 stale(item, T0, 0, 1, DorrikBus::Func65, DorrikBus::TimeArch, 32,
                                 DorrikBus::Hour);
    QVERIFY(!item.checkValidResultTask(&stale));
    QCOMPARE(errors.size(), 1);
}

void tst_ArchiveItems::zeroRecordDoesNotExist()
{
    ModbusArchRecord item;
    item.setBytes(record(T0), ModbusItemBase::ExternalChange);
    QVERIFY(item.exists());
    item.setBytes(ModbusBytes::fromSize(32, 0), ModbusItemBase::ExternalChange);
    QVERIFY(!item.exists());
    QCOMPARE(item.data(ModbusBytes::fromSize(4, 0), ModbusArchRecord::ExistsRole), QVariant(false));
    QCOMPARE(item.data(record(T0), ModbusArchRecord::ExistsRole), QVariant(true));
}

void tst_ArchiveItems::answerForAnotherLabel_data()
{
    QTest::addColumn<bool>("useNearLabel");
    QTest::addColumn<bool>("taken");
    QTest::newRow("near label taken") << true << true;
    QTest::newRow("exact label only") << false << false;
}

void tst_ArchiveItems::answerForAnotherLabel()
{
    QFETCH(bool, useNearLabel);
    QFETCH(bool, taken);

    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    item.setLabel(T0 + 3 * Hour);
    item.setUseNearLabel(useNearLabel);
    QSignalSpy read(&item, &ModbusItemBase::bytesWasRead);
    ModbusTaskArchRecord65 task(item, T0 + 5 * Hour, 0);
    task.setBytes(ModbusBytesArray(record(T0 + 5 * Hour), 0, -1));
    item.applyResultTask(task);

    QCOMPARE(read.size(), 1);
    QCOMPARE(item.exists(), taken);
    QCOMPARE(item.bytes() == record(T0 + 5 * Hour), taken);
}

void tst_ArchiveItems::nextAndPreviousWithLiveReading()
{
    ModbusArchRecord item;
    prepare(item, DorrikBus::Func65);
    item.setLabel(T0 + 37 * 60);
    item.setLiveRead(true);
    m_instrument->clearRequests();

    // The move itself starts the read: readNext answers false.
    QVERIFY(!item.readNext());
    QCOMPARE(item.label(), T0 + Hour);
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    QCOMPARE(m_instrument->requests().at(0).address, T0 + Hour);

    QVERIFY(!item.readPrev());
    QCOMPARE(item.label(), T0);
    QTRY_COMPARE(m_instrument->requestCount(), 2);

    item.setLiveRead(false);
    QVERIFY(item.readNextSync());
    QCOMPARE(item.label(), T0 + Hour);
    QCOMPARE(item.bytes(), record(T0 + Hour));

    // Function 67 before any presence answer reads where it stands.
    item.setFunc(DorrikBus::Func67);
    m_instrument->clearRequests();
    QVERIFY(item.readNextSync());
    QCOMPARE(item.label(), T0 + Hour);
    QCOMPARE(requests().first(), qMakePair(int(DorrikBus::ReadArchRecordsPresence), T0 + Hour));
}

QTEST_MAIN(tst_ArchiveItems)
#include "tst_archiveitems.moc"
