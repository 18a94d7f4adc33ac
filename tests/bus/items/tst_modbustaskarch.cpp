#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbusloopbackclient.h"
#include "modbustaskarchpresence65.h"
#include "modbustaskarchrecord67.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QtTest>

#include <memory>

using Labels = QList<quint32>;
using Requests = QList<QPair<quint32, int>>;
Q_DECLARE_METATYPE(Labels)
Q_DECLARE_METATYPE(Requests)

namespace {

constexpr int RecordSize = 32;
constexpr quint32 Hour = 3600;
// 2024-03-01 10:00 as a label.
constexpr quint32 T0 = 1709287200;

Labels range(quint32 first, quint32 last, quint32 step = 1)
{
    Labels labels;
    for (quint32 label = first; label <= last; label += step)
        labels.append(label);
    return labels;
}

// A record that tells its label: the label, then filler.
ModbusBytes record(quint32 label)
{
    ModbusBytes bytes = ModbusBytes::fromUInt32(label);
    bytes.append(ModbusBytes::fromSize(RecordSize - 4, 0x5A));
    return bytes;
}

Labels recordLabels(const ModbusBytesArray &records)
{
    Labels labels;
    for (const ModbusBytes &bytes : records)
        labels.append(bytes.toUInt32(0));
    return labels;
}

Labels listedLabels(const ModbusTask &task)
{
    return task.firstBytes().toModbusBytes().toArchLabels(0, -1);
}

} // namespace

// Archive tasks: label stepping and copies; and the executor's archive work against the
// simulated instrument, as its request log and the task's answer show.
class tst_ModbusTaskArch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void getNextLabel_data();
    void getNextLabel();
    void copiedPresenceAsksAgain();
    void splitKeepsTheArchive();

    void recordBlocks_data();
    void recordBlocks();
    void function67StopsWhenItsLabelsRunOut();
    void archiveEndKeepsWhatWasGathered();
    void shortBlockIsKept_data();
    void shortBlockIsKept();
    void nothingGatheredFails();
    void abortBetweenRecordBlocks();

    void presence66_data();
    void presence66();
    void presence66Failure();
    void presence65_data();
    void presence65();

private:
    Requests requests() const;

    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
    std::unique_ptr<TestItem> m_item;
};

void tst_ModbusTaskArch::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    ArchiveStore &archives = m_instrument->archives();
    // 1: index archive, labels 0..299. 2: index archive of even labels 0..398.
    // 3: hourly time archive from T0, 8 records with a gap after the third.
    archives.addArchive(1, DorrikBus::IndexArch);
    for (quint32 label : range(0, 299))
        archives.addRecord(1, label, record(label));
    archives.addArchive(2, DorrikBus::IndexArch);
    for (quint32 label : range(0, 398, 2))
        archives.addRecord(2, label, record(label));
    archives.addArchive(3, DorrikBus::TimeArch);
    for (quint32 hour : {0, 1, 2, 5, 6, 7, 8, 9})
        archives.addRecord(3, T0 + hour * Hour, record(T0 + hour * Hour));
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
    QVERIFY(m_client->connected());
    QCOMPARE(m_client->maxArchRecords(), 4);
    // A task hands its data item at most the item's count of elements.
    m_item = std::make_unique<TestItem>(400001, 200, RecordSize);
}

void tst_ModbusTaskArch::cleanup()
{
    m_item.reset();
    m_client.reset();
    m_instrument.reset();
}

Requests tst_ModbusTaskArch::requests() const
{
    Requests log;
    for (const InstrumentRequest &request : m_instrument->requests())
        log.append({request.address, request.count});
    return log;
}

void tst_ModbusTaskArch::getNextLabel_data()
{
    QTest::addColumn<int>("func");
    QTest::addColumn<DorrikBus::ArchType>("type");
    QTest::addColumn<quint32>("label");
    QTest::addColumn<quint32>("step");
    QTest::addColumn<quint32>("next");
    QTest::addColumn<bool>("ok");

    QTest::newRow("67 time, 200 + 2 in the list")
        << 67 << DorrikBus::TimeArch << 200u << 2u << 400u << true;
    QTest::newRow("67 time, step past the list")
        << 67 << DorrikBus::TimeArch << 300u << 2u << 300u << false;
    QTest::newRow("67 time, label not in the list")
        << 67 << DorrikBus::TimeArch << 250u << 1u << 250u << false;
    QTest::newRow("67 index, 10 + 4") << 67 << DorrikBus::IndexArch << 10u << 4u << 14u << true;
    QTest::newRow("65 index, 10 + 4") << 65 << DorrikBus::IndexArch << 10u << 4u << 14u << true;
    QTest::newRow("65 index, past the last label")
        << 65 << DorrikBus::IndexArch << 0xFFFFFFFEu << 4u << 2u << false;
    QTest::newRow("65 time, 4 hours on")
        << 65 << DorrikBus::TimeArch << T0 << 4u << T0 + 4 * Hour << true;
}

void tst_ModbusTaskArch::getNextLabel()
{
    QFETCH(int, func);
    QFETCH(DorrikBus::ArchType, type);
    QFETCH(quint32, label);
    QFETCH(quint32, step);
    QFETCH(quint32, next);
    QFETCH(bool, ok);

    std::unique_ptr<ModbusTaskArchRecord65> task;
    if (func == 67)
        task = std::make_unique<ModbusTaskArchRecord67>(*m_item, label, Labels{100, 200, 300, 400},
                                                        0, 1, type, RecordSize, DorrikBus::Hour);
    else
        task = std::make_unique<ModbusTaskArchRecord65>(*m_item, label, 0, 1, DorrikBus::Func65,
                                                        type, RecordSize, DorrikBus::Hour);
    bool found = !ok;
    QCOMPARE(task->getNextLabel(label, &found, step), next);
    QCOMPARE(found, ok);
    // A null flag is allowed.
    QCOMPARE(task->getNextLabel(label, nullptr, step), next);
}

void tst_ModbusTaskArch::copiedPresenceAsksAgain()
{
    ModbusTaskArchPresence task(*m_item, DorrikBus::Backward, 1000, 1, DorrikBus::Func67,
                                DorrikBus::IndexArch, 50);
    task.prevLabel = 49;
    task.nextLabel = 51;
    task.prevLabelExists = true;
    task.nextLabelExists = true;
    task.maxRequestLabels = 10;

    const std::unique_ptr<ModbusTask> copy(task.clone());
    const auto *presence = dynamic_cast<ModbusTaskArchPresence *>(copy.get());
    QVERIFY(presence);
    QVERIFY(!presence->prevLabelExists);
    QVERIFY(!presence->nextLabelExists);
    QCOMPARE(presence->prevLabel, 49u);
    QCOMPARE(presence->nextLabel, 51u);
    QCOMPARE(presence->label(), 50u);
    QCOMPARE(presence->maxRequestLabels, 10);
    QCOMPARE(presence->direction(), DorrikBus::Backward);

    ModbusTaskArchPresence65 computed(*m_item, DorrikBus::Forward, 0, 1, DorrikBus::TimeArch, T0,
                                      DorrikBus::Day);
    computed.prevLabelExists = true;
    const std::unique_ptr<ModbusTask> copy65(computed.clone());
    const auto *presence65 = dynamic_cast<ModbusTaskArchPresence65 *>(copy65.get());
    QVERIFY(presence65);
    QVERIFY(!presence65->prevLabelExists);
    QCOMPARE(presence65->archInterval(), DorrikBus::Day);
}

void tst_ModbusTaskArch::splitKeepsTheArchive()
{
    ModbusTaskArchRecord65 task(*m_item, 77, 0, 5, DorrikBus::Func65, DorrikBus::TimeArch, 48,
                                DorrikBus::Day);
    const QList<ModbusTask *> parts = task.split();
    QCOMPARE(parts.size(), 1);
    const std::unique_ptr<ModbusTask> part(parts.first());
    const auto *record = dynamic_cast<ModbusTaskArchRecord65 *>(part.get());
    QVERIFY(record);
    QCOMPARE(record->archIndex(), quint16(5));
    QCOMPARE(record->func(), DorrikBus::Func65);
    QCOMPARE(record->archType(), DorrikBus::TimeArch);
    QCOMPARE(record->direction(), DorrikBus::Forward);
    QCOMPARE(record->label(), 77u);
    QCOMPARE(record->recordSize(), 48);
    QCOMPARE(record->archInterval(), DorrikBus::Day);
}

void tst_ModbusTaskArch::recordBlocks_data()
{
    QTest::addColumn<int>("maxArchRecords");
    QTest::addColumn<int>("count");
    QTest::addColumn<Requests>("requests");

    QTest::newRow("10 at 4: 4, 4, 2, label advancing")
        << 4 << 10 << Requests{{3, 4}, {7, 4}, {11, 2}};
    QTest::newRow("4 at 4: one request") << 4 << 4 << Requests{{3, 4}};
    QTest::newRow("3 at 1: one record each") << 1 << 3 << Requests{{3, 1}, {4, 1}, {5, 1}};
}

void tst_ModbusTaskArch::recordBlocks()
{
    QFETCH(int, maxArchRecords);
    QFETCH(int, count);
    QFETCH(Requests, requests);

    m_client->setMaxArchRecords(maxArchRecords);
    ModbusTaskArchRecord65 task(*m_item, 3, 0, 1, DorrikBus::Func65, DorrikBus::IndexArch,
                                RecordSize, DorrikBus::Hour);
    task.setCount(count);
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(this->requests(), requests);
    QCOMPARE(recordLabels(task.firstBytes()), range(3, 3 + quint32(count) - 1));
}

void tst_ModbusTaskArch::function67StopsWhenItsLabelsRunOut()
{
    // Five listed labels of the time archive, ten records asked for: after two blocks the list
    // has no label four places on, and the last one must not be read again.
    const Labels listed{T0, T0 + Hour, T0 + 2 * Hour, T0 + 5 * Hour, T0 + 6 * Hour};
    ModbusTaskArchRecord67 task(*m_item, T0, listed, 0, 3, DorrikBus::TimeArch, RecordSize,
                                DorrikBus::Hour);
    task.setCount(10);
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(requests(), (Requests{{T0, 4}, {T0 + 6 * Hour, 4}}));
    const Labels got = recordLabels(task.firstBytes());
    QCOMPARE(got, (Labels{T0, T0 + Hour, T0 + 2 * Hour, T0 + 5 * Hour, T0 + 6 * Hour, T0 + 7 * Hour,
                          T0 + 8 * Hour, T0 + 9 * Hour}));
}

void tst_ModbusTaskArch::archiveEndKeepsWhatWasGathered()
{
    // Labels 290..299 exist: the third block (298, 4) is refused by the instrument.
    ModbusTaskArchRecord65 task(*m_item, 290, 0, 1, DorrikBus::Func65, DorrikBus::IndexArch,
                                RecordSize, DorrikBus::Hour);
    task.setCount(12);
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(requests(), (Requests{{290, 4}, {294, 4}, {298, 4}}));
    QCOMPARE(recordLabels(task.firstBytes()), range(290, 297));
}

void tst_ModbusTaskArch::shortBlockIsKept_data()
{
    QTest::addColumn<int>("recordSize");
    QTest::addColumn<Requests>("requests");
    QTest::addColumn<Labels>("labels");
    // The answer to four holds two records.
    QTest::newRow("size known") << RecordSize << Requests{{10, 4}} << Labels{10, 11};
    // One record first, to learn the size by which the short answer is cut.
    QTest::newRow("size not known yet")
        << 0 << Requests{{10, 1}, {11, 4}} << Labels{10, 11, 12};
}

void tst_ModbusTaskArch::shortBlockIsKept()
{
    QFETCH(int, recordSize);
    QFETCH(Requests, requests);
    QFETCH(Labels, labels);

    m_instrument->setShortArchAnswers(2, 1);
    ModbusTaskArchRecord65 task(*m_item, 10, 0, 1, DorrikBus::Func65, DorrikBus::IndexArch,
                                recordSize, DorrikBus::Hour);
    task.setCount(10);
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(this->requests(), requests);
    QCOMPARE(recordLabels(task.firstBytes()), labels);
    QCOMPARE(task.firstBytes().at(1), record(11));
}

void tst_ModbusTaskArch::nothingGatheredFails()
{
    ModbusTaskArchRecord65 task(*m_item, 10, 0, 9, DorrikBus::Func65, DorrikBus::IndexArch,
                                RecordSize, DorrikBus::Hour);
    task.setCount(10);
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::ErrorState);
    QVERIFY(!task.errorString().isEmpty());
    QVERIFY(task.firstBytes().isEmpty());
}

void tst_ModbusTaskArch::abortBetweenRecordBlocks()
{
    m_item->setClient(m_client.get());
    QObject::connect(m_item.get(), &ModbusItemBase::abortExecutingInternal, m_client.get(),
                     &ModbusClient::abortExecuting);
    QSignalSpy executed(m_client.get(), &ModbusClient::executed);
    QSignalSpy errors(m_item.get(), &ErrObject::error);
    m_instrument->setDelay(300);
    auto *task = new ModbusTaskArchRecord65(*m_item, 0, 0, 1, DorrikBus::Func65,
                                            DorrikBus::IndexArch, RecordSize, DorrikBus::Hour);
    task->setCount(12);
    m_client->executeTask(task);
    QTRY_COMPARE(m_instrument->requestCount(), 1);
    m_item->abortExecuting();

    QTRY_COMPARE(executed.size(), 1);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("aborted"));
    QCOMPARE(m_instrument->requestCount(), 1);
    m_instrument->setDelay(0);
}

void tst_ModbusTaskArch::presence66_data()
{
    QTest::addColumn<quint16>("arch");
    QTest::addColumn<DorrikBus::ArchDirection>("direction");
    QTest::addColumn<quint32>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("end");
    // prev, next, first, last
    QTest::addColumn<QList<bool>>("reads");
    QTest::addColumn<Requests>("requests");
    QTest::addColumn<Labels>("labels");
    // prev exists, prev, next exists, next, first, last
    QTest::addColumn<QList<quint32>>("answers");

    const QList<bool> none{false, false, false, false};
    const Labels noAnswers{0, 0, 0, 0, 0, 0xFFFFFFFF};
    QTest::newRow("forward 100 in blocks of 62")
        << quint16(1) << DorrikBus::Forward << 10u << 100 << 0u << none
        << Requests{{10, 62}, {71, 39}} << range(10, 109) << noAnswers;
    QTest::newRow("backward 100 in blocks of 62")
        << quint16(1) << DorrikBus::Backward << 200u << 100 << 0u << none
        << Requests{{200, 62}, {139, 39}} << range(101, 200) << noAnswers;
    QTest::newRow("forward, end label trims the block")
        << quint16(1) << DorrikBus::Forward << 10u << 100 << 50u << none << Requests{{10, 41}}
        << range(10, 50) << noAnswers;
    QTest::newRow("backward, block clamped to start + 1 - end")
        << quint16(1) << DorrikBus::Backward << 200u << 100 << 180u << none << Requests{{200, 21}}
        << range(180, 200) << noAnswers;
    QTest::newRow("forward, end label in the second block")
        << quint16(1) << DorrikBus::Forward << 10u << 100 << 90u << none
        << Requests{{10, 62}, {71, 20}} << range(10, 90) << noAnswers;
    QTest::newRow("gaps, the archive ends in the first block")
        << quint16(2) << DorrikBus::Forward << 300u << 100 << 0u << none << Requests{{300, 62}}
        << range(300, 398, 2) << noAnswers;
    QTest::newRow("forward, next: one extra label")
        << quint16(2) << DorrikBus::Forward << 11u << 3 << 0u
        << QList<bool>{false, true, false, false} << Requests{{11, 4}} << Labels{12, 14, 16}
        << Labels{0, 0, 1, 14, 0, 0xFFFFFFFF};
    QTest::newRow("forward, previous asked of the instrument")
        << quint16(2) << DorrikBus::Forward << 11u << 3 << 0u
        << QList<bool>{true, false, false, false} << Requests{{11, 3}, {10, 1}}
        << Labels{12, 14, 16} << Labels{1, 10, 0, 0, 0, 0xFFFFFFFF};
    QTest::newRow("backward, previous: one extra label")
        << quint16(2) << DorrikBus::Backward << 21u << 3 << 0u
        << QList<bool>{true, false, false, false} << Requests{{21, 4}} << Labels{16, 18, 20}
        << Labels{1, 18, 0, 0, 0, 0xFFFFFFFF};
    QTest::newRow("backward, next asked of the instrument")
        << quint16(2) << DorrikBus::Backward << 21u << 3 << 0u
        << QList<bool>{false, true, false, false} << Requests{{21, 3}, {22, 1}}
        << Labels{16, 18, 20} << Labels{0, 0, 1, 22, 0, 0xFFFFFFFF};
    QTest::newRow("count 1 asks for one more")
        << quint16(2) << DorrikBus::Forward << 20u << 1 << 0u << none << Requests{{20, 2}}
        << Labels{20} << noAnswers;
    QTest::newRow("first and last")
        << quint16(2) << DorrikBus::Forward << 20u << 2 << 0u
        << QList<bool>{false, false, true, true}
        // The last label is searched backward from the request API's end of the label range.
        << Requests{{20, 2}, {0, 1}, {3155759999u, 1}} << Labels{20, 22}
        << Labels{0, 0, 0, 0, 0, 398};
    QTest::newRow("no next at the archive's end")
        << quint16(2) << DorrikBus::Forward << 398u << 1 << 0u
        << QList<bool>{false, true, false, false} << Requests{{398, 2}} << Labels{398} << noAnswers;
}

void tst_ModbusTaskArch::presence66()
{
    QFETCH(quint16, arch);
    QFETCH(DorrikBus::ArchDirection, direction);
    QFETCH(quint32, start);
    QFETCH(int, count);
    QFETCH(quint32, end);
    QFETCH(QList<bool>, reads);
    QFETCH(Requests, requests);
    QFETCH(Labels, labels);
    QFETCH(QList<quint32>, answers);

    ModbusTaskArchPresence task(*m_item, direction, 0, arch, DorrikBus::Func67,
                                DorrikBus::IndexArch, start);
    task.setCount(count);
    task.endLabel = end;
    task.setReads(reads.at(0), reads.at(1), reads.at(2), reads.at(3));
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(this->requests(), requests);
    QCOMPARE(listedLabels(task), labels);
    QCOMPARE(task.prevLabelExists, answers.at(0) != 0);
    if (task.prevLabelExists)
        QCOMPARE(task.prevLabel, answers.at(1));
    QCOMPARE(task.nextLabelExists, answers.at(2) != 0);
    if (task.nextLabelExists)
        QCOMPARE(task.nextLabel, answers.at(3));
    QCOMPARE(task.firstLabel, answers.at(4));
    QCOMPARE(task.lastLabel, answers.at(5));
}

void tst_ModbusTaskArch::presence66Failure()
{
    ModbusTaskArchPresence task(*m_item, DorrikBus::Forward, 0, 9, DorrikBus::Func67,
                                DorrikBus::IndexArch, 0);
    m_client->executeTaskSyncSilent(&task);
    QCOMPARE(task.state(), DorrikBus::ErrorState);
    QVERIFY(!task.errorString().isEmpty());
}

void tst_ModbusTaskArch::presence65_data()
{
    QTest::addColumn<DorrikBus::ArchType>("type");
    QTest::addColumn<DorrikBus::ArchDirection>("direction");
    QTest::addColumn<quint32>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("end");
    QTest::addColumn<Labels>("labels");
    // prev exists, prev, next exists, next
    QTest::addColumn<QList<quint32>>("answers");

    QTest::newRow("time, start with no previous label")
        << DorrikBus::TimeArch << DorrikBus::Forward << 172800u << 2 << 0u
        << range(172800, 172800 + 2 * Hour, Hour) << QList<quint32>{0, 0, 1, 172800 + 3 * Hour};
    QTest::newRow("time forward") << DorrikBus::TimeArch << DorrikBus::Forward << T0 << 3 << 0u
                                  << range(T0, T0 + 3 * Hour, Hour)
                                  << QList<quint32>{1, T0 - Hour, 1, T0 + 4 * Hour};
    QTest::newRow("time forward, end label")
        << DorrikBus::TimeArch << DorrikBus::Forward << T0 << 10 << T0 + Hour
        << range(T0, T0 + Hour, Hour) << QList<quint32>{1, T0 - Hour, 1, T0 + 2 * Hour};
    QTest::newRow("time backward: end up to start")
        << DorrikBus::TimeArch << DorrikBus::Backward << T0 << 3 << 0u
        << range(T0 - 3 * Hour, T0, Hour) << QList<quint32>{1, T0 - 4 * Hour, 1, T0 + Hour};
    QTest::newRow("time backward, end label")
        << DorrikBus::TimeArch << DorrikBus::Backward << T0 << 10 << T0 - Hour
        << range(T0 - Hour, T0, Hour) << QList<quint32>{1, T0 - 2 * Hour, 1, T0 + Hour};
    QTest::newRow("index forward")
        << DorrikBus::IndexArch << DorrikBus::Forward << 200000u << 2 << 0u << range(200000, 200002)
        << QList<quint32>{1, 199999, 1, 200003};
}

void tst_ModbusTaskArch::presence65()
{
    QFETCH(DorrikBus::ArchType, type);
    QFETCH(DorrikBus::ArchDirection, direction);
    QFETCH(quint32, start);
    QFETCH(int, count);
    QFETCH(quint32, end);
    QFETCH(Labels, labels);
    QFETCH(QList<quint32>, answers);

    ModbusTaskArchPresence65 task(*m_item, direction, 0, 3, type, start, DorrikBus::Hour);
    task.setCount(count);
    task.endLabel = end;
    m_client->executeTaskSyncSilent(&task);

    QCOMPARE(task.state(), DorrikBus::GoodState);
    QCOMPARE(m_instrument->requestCount(), 0);
    QCOMPARE(listedLabels(task), labels);
    QCOMPARE(task.firstLabel, 172800u);
    QCOMPARE(task.lastLabel, 0xFFFFFFFFu);
    QCOMPARE(task.prevLabelExists, answers.at(0) != 0);
    if (task.prevLabelExists)
        QCOMPARE(task.prevLabel, answers.at(1));
    QCOMPARE(task.nextLabelExists, answers.at(2) != 0);
    if (task.nextLabelExists)
        QCOMPARE(task.nextLabel, answers.at(3));
}

QTEST_MAIN(tst_ModbusTaskArch)
#include "tst_modbustaskarch.moc"
