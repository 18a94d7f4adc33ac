#include "internalitemmodel.h"
#include "modbusarchreader.h"
#include "modbusarchrecord.h"
#include "modbusarchrecordtavrin.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"
#include "tavrinrecords.h"

#include <QtTest>

#include <memory>

using Labels = QList<quint32>;
using Counts = QList<int>;

namespace {

constexpr quint32 Hour = 3600;
// 2024-03-01 10:00 as a label.
constexpr quint32 T0 = 1709287200;
// The size of the instrument's first-generation records.
constexpr int RecordSize = 58;

ModbusBytes record(quint32 label, int size = RecordSize)
{
    ModbusBytes bytes = ModbusBytes::fromUInt32(label);
    bytes.append(ModbusBytes::fromSize(size - 4, char(label & 0x7F)));
    return bytes;
}

Labels range(quint32 first, quint32 last, quint32 step = 1)
{
    Labels labels;
    for (quint32 label = first; label <= last; label += step)
        labels.append(label);
    return labels;
}

Labels without(Labels labels, const Labels &missing)
{
    for (quint32 label : missing)
        labels.removeAll(label);
    return labels;
}

} // namespace

// The archive reader against the simulated instrument: which records a reading delivers to its
// target, which requests it sends for them, and how it ends (completed, stopped, failed, target
// gone).
class tst_ModbusArchReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsTheRange_data();
    void readsTheRange();
    void recordRequests_data();
    void recordRequests();
    void archiveList_data();
    void archiveList();
    void stopHandsOverWhatWasRead();
    void errorEndsTheReading_data();
    void errorEndsTheReading();
    void targetDestroyedDuringReading_data();
    void targetDestroyedDuringReading();
    void startWithoutTargetIsRefused();
    void startOnRunningReaderStartsOver();
    void decoderTargetShowsTheRecords();
    void answersThatHoldFewerRecords_data();
    void answersThatHoldFewerRecords();
    void liveResultsAppendRows_data();
    void liveResultsAppendRows();

private:
    void addArchive(quint16 index, DorrikBus::ArchType type, const Labels &labels);
    void prepare(DorrikBus::ArchType type, DorrikBus::ArchFunc func);
    // Starts and waits until the reading ends.
    bool run();
    Labels rows() const;
    Labels recordRequestLabels(Counts *counts = nullptr) const;
    // Where each labels batch starts.
    Labels presenceRequestLabels() const;

    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
    std::unique_ptr<ModbusArchRecord> m_target;
    std::unique_ptr<ModbusArchReader> m_reader;
    QStringList m_events;
};

void tst_ModbusArchReader::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
    QVERIFY(m_client->connected());
    m_target = std::make_unique<ModbusArchRecord>();
    m_reader = std::make_unique<ModbusArchReader>();
    m_reader->setRecord(m_target.get());
    m_events.clear();
    ModbusArchReader *reader = m_reader.get();
    connect(reader, &ModbusArchReader::started, reader, [this] { m_events << "started"; });
    connect(reader, &ModbusArchReader::runningChanged, reader,
            [this](bool on) { m_events << (on ? "running" : "stopped"); });
    connect(reader, &ModbusArchReader::completed, reader, [this] { m_events << "completed"; });
    connect(reader, &ErrObject::error, reader, [this](const QString &) { m_events << "error"; });
}

void tst_ModbusArchReader::cleanup()
{
    m_reader.reset();
    m_target.reset();
    m_client.reset();
    m_instrument.reset();
}

void tst_ModbusArchReader::addArchive(quint16 index, DorrikBus::ArchType type, const Labels &labels)
{
    m_instrument->archives().addArchive(index, type);
    for (quint32 label : labels)
        m_instrument->archives().addRecord(index, label, record(label));
}

void tst_ModbusArchReader::prepare(DorrikBus::ArchType type, DorrikBus::ArchFunc func)
{
    m_target->setArchIndex(1);
    m_target->setArchType(type);
    m_target->setArchInterval(DorrikBus::Hour);
    m_target->setFunc(func);
    m_target->setClient(m_client.get());
}

bool tst_ModbusArchReader::run()
{
    QSignalSpy ended(m_reader.get(), &ModbusArchReader::runningChanged);
    m_reader->start();
    if (!m_reader->running())
        return false;
    return ended.wait(10000) && !m_reader->running();
}

Labels tst_ModbusArchReader::rows() const
{
    Labels labels;
    for (const ModbusBytes &bytes : m_target->bytesArray())
        labels.append(bytes.toUInt32(0));
    return labels;
}

Labels tst_ModbusArchReader::recordRequestLabels(Counts *counts) const
{
    Labels labels;
    for (const InstrumentRequest &request : m_instrument->requests()) {
        // Records are read with function 65 whatever the target's function.
        if (request.function == DorrikBus::ReadArchRecord67)
            labels.append(0xFFFFFFFF);
        if (request.function != DorrikBus::ReadArchRecord65)
            continue;
        labels.append(request.address);
        if (counts)
            counts->append(request.count);
    }
    return labels;
}

Labels tst_ModbusArchReader::presenceRequestLabels() const
{
    // A batch of 62 labels and the neighbour after them takes the client two requests; the
    // first, asking for all 62, shows where the batch starts.
    Labels labels;
    for (const InstrumentRequest &request : m_instrument->requests()) {
        if (request.function == DorrikBus::ReadArchRecordsPresence && request.count == 62)
            labels.append(request.address);
    }
    return labels;
}

void tst_ModbusArchReader::readsTheRange_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("func");
    QTest::addColumn<Labels>("present");
    QTest::addColumn<QVariant>("from");
    QTest::addColumn<QVariant>("to");
    QTest::addColumn<int>("perRequest");
    QTest::addColumn<bool>("optimize");
    QTest::addColumn<int>("maxRecords");
    QTest::addColumn<Labels>("expected");
    QTest::addColumn<int>("total");

    const int index = DorrikBus::IndexArch;
    const int time = DorrikBus::TimeArch;
    const int f65 = DorrikBus::Func65;
    const int f67 = DorrikBus::Func67;
    const Labels thirty = range(1, 30);
    QTest::newRow("index 10..15, function 65")
        << index << f65 << thirty << QVariant(10) << QVariant(15) << 1 << false << 0
        << range(10, 15) << 6;
    QTest::newRow("index 10..15, function 67: total unknown")
        << index << f67 << thirty << QVariant(10) << QVariant(15) << 1 << false << 0
        << range(10, 15) << -1;
    QTest::newRow("gaps, function 67")
        << index << f67 << without(thirty, {12, 13}) << QVariant(10) << QVariant(15) << 1 << false
        << 0 << Labels{10, 11, 14, 15} << -1;
    QTest::newRow("a short batch is the last one")
        << index << f67 << range(1, 10) << QVariant(5) << QVariant(50) << 1 << false << 0
        << range(5, 10) << -1;
    QTest::newRow("several batches, one record per request")
        << index << f67 << range(1, 200) << QVariant(1) << QVariant(150) << 1 << false << 0
        << range(1, 150) << -1;
    // Three records per request must not step over the next batch's start or past `to`.
    QTest::newRow("several batches, three per request")
        << index << f67 << range(1, 200) << QVariant(1) << QVariant(150) << 3 << false << 0
        << range(1, 150) << -1;
    QTest::newRow("several batches, three per request, gaps")
        << index << f67 << without(range(1, 300), {40, 41, 100, 170}) << QVariant(3)
        << QVariant(250) << 3 << false << 0 << without(range(3, 250), {40, 41, 100, 170}) << -1;
    // More than the client's four records per request: the client splits each request.
    QTest::newRow("several batches, seven per request")
        << index << f67 << range(1, 300) << QVariant(3) << QVariant(250) << 7 << false << 0
        << range(3, 250) << -1;
    QTest::newRow("several batches, optimized")
        << index << f67 << range(1, 200) << QVariant(1) << QVariant(150) << 1 << true << 0
        << range(1, 150) << -1;
    QTest::newRow("function 65 beyond one batch, time archive")
        << time << f65 << range(T0, T0 + 99 * Hour, Hour)
        << QVariant(DorrikBus::archLabelToTime(T0)) << QVariant(T0 + 99 * Hour) << 1 << true << 0
        << range(T0, T0 + 99 * Hour, Hour) << 100;
    QTest::newRow("maxRecords 4 with three per request")
        << index << f65 << thirty << QVariant(10) << QVariant(15) << 3 << false << 4
        << range(10, 13) << 6;
    QTest::newRow("to beyond the archive's end")
        << index << f67 << thirty << QVariant(25) << QVariant(100) << 1 << false << 0
        << range(25, 30) << -1;
    QTest::newRow("invalid to: nothing")
        << time << f65 << range(T0, T0 + 9 * Hour, Hour) << QVariant(T0) << QVariant() << 1 << false
        << 0 << Labels() << 0;
}

void tst_ModbusArchReader::readsTheRange()
{
    QFETCH(int, type);
    QFETCH(int, func);
    QFETCH(Labels, present);
    QFETCH(QVariant, from);
    QFETCH(QVariant, to);
    QFETCH(int, perRequest);
    QFETCH(bool, optimize);
    QFETCH(int, maxRecords);
    QFETCH(Labels, expected);
    QFETCH(int, total);

    addArchive(1, DorrikBus::ArchType(type), present);
    prepare(DorrikBus::ArchType(type), DorrikBus::ArchFunc(func));
    m_reader->setFrom(from);
    m_reader->setTo(to);
    m_reader->setRecordsPerRequest(perRequest);
    m_reader->setRecordsPerRequestOptimization(optimize);
    m_reader->setMaxRecords(maxRecords);

    QVERIFY(run());
    QCOMPARE(rows(), expected);
    QCOMPARE(m_reader->total(), total);
    QCOMPARE(m_reader->progress(), int(expected.size()));
    // Completion is told after the reading has stopped and handed its records over.
    QCOMPARE(m_events, QStringList({"started", "running", "stopped", "completed"}));
    QVERIFY(!recordRequestLabels().contains(0xFFFFFFFF));
    QCOMPARE(m_reader->getArchIndexOf(0), expected.isEmpty() ? -1 : 1);
    QCOMPARE(m_reader->getArchIndexOf(int(expected.size()) - 1), expected.isEmpty() ? -1 : 1);
}

void tst_ModbusArchReader::recordRequests_data()
{
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("perRequest");
    QTest::addColumn<bool>("optimize");
    QTest::addColumn<int>("recordSize");
    QTest::addColumn<Labels>("labels");
    QTest::addColumn<Counts>("counts");
    QTest::addColumn<Labels>("batches");

    QTest::newRow("one per request")
        << 10 << 1 << false << RecordSize << range(1, 10) << Counts(10, 1) << Labels{1};
    // 251 / 58 - 1 = 3 once the first answer has shown the size.
    QTest::newRow("optimized, 58-byte records")
        << 10 << 1 << true << RecordSize << Labels{1, 2, 5, 8} << Counts{1, 3, 3, 3} << Labels{1};
    QTest::newRow("optimized, 82-byte records")
        << 7 << 1 << true << 82 << Labels{1, 2, 4, 6} << Counts{1, 2, 2, 2} << Labels{1};
    QTest::newRow("optimized, records too big for two")
        << 3 << 1 << true << 128 << Labels{1, 2, 3} << Counts{1, 1, 1} << Labels{1};
    // The 62nd label of a full batch is not read: it opens the next batch, which lists it again.
    QTest::newRow("62-label batch boundary")
        << 100 << 1 << false << RecordSize << range(1, 100) << Counts(100, 1) << Labels{1, 62};
    // The first request asks for one record: the answer shows the size that cuts the others.
    QTest::newRow("3 per request across the boundary")
        << 70 << 3 << false << RecordSize
        << Labels{1,  2,  4,  7,  10, 13, 16, 19, 22, 25, 28, 31, 34,
                  37, 40, 43, 46, 49, 52, 55, 58, 61, 62, 65, 68}
        << Counts{1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 3, 3, 3}
        << Labels{1, 62};
}

void tst_ModbusArchReader::recordRequests()
{
    QFETCH(int, to);
    QFETCH(int, perRequest);
    QFETCH(bool, optimize);
    QFETCH(int, recordSize);
    QFETCH(Labels, labels);
    QFETCH(Counts, counts);
    QFETCH(Labels, batches);

    m_instrument->archives().addArchive(1, DorrikBus::IndexArch);
    for (quint32 label = 1; label <= 200; ++label)
        m_instrument->archives().addRecord(1, label, record(label, recordSize));
    prepare(DorrikBus::IndexArch, DorrikBus::Func67);
    m_reader->setFrom(1);
    m_reader->setTo(to);
    m_reader->setRecordsPerRequest(perRequest);
    m_reader->setRecordsPerRequestOptimization(optimize);

    QVERIFY(run());
    Counts sent;
    QCOMPARE(recordRequestLabels(&sent), labels);
    QCOMPARE(sent, counts);
    QCOMPARE(presenceRequestLabels(), batches);
    QCOMPARE(rows(), range(1, quint32(to)));
}

void tst_ModbusArchReader::archiveList_data()
{
    QTest::addColumn<QVariantList>("indexes");
    QTest::addColumn<QList<int>>("archiveOfRow");
    QTest::addColumn<int>("total");

    const QList<int> one(6, 1);
    const QList<int> two(6, 2);
    QTest::newRow("1, 2") << QVariantList{1, 2} << one + two << 12;
    QTest::newRow("2 only") << QVariantList{2} << two << 6;
    QTest::newRow("numbers as text") << QVariantList{"2", "1"} << two + one << 12;
    // An entry that is no number ends the reading where it is met.
    QTest::newRow("a bad entry in the middle") << QVariantList{1, "x", 2} << one << 18;
    // Met at the start, archive 0 is read.
    QTest::newRow("a bad entry first") << QVariantList{"x", 1} << QList<int>(6, 0) << 12;
    QTest::newRow("empty: the target's archive") << QVariantList() << one << 6;
}

void tst_ModbusArchReader::archiveList()
{
    QFETCH(QVariantList, indexes);
    QFETCH(QList<int>, archiveOfRow);
    QFETCH(int, total);

    for (quint16 index : {0, 1, 2}) {
        m_instrument->archives().addArchive(index, DorrikBus::IndexArch);
        for (quint32 label = 1; label <= 30; ++label)
            m_instrument->archives().addRecord(index, label, record(label + 100 * index));
    }
    prepare(DorrikBus::IndexArch, DorrikBus::Func65);
    m_reader->setFrom(10);
    m_reader->setTo(15);
    m_reader->setArchIndexes(indexes);

    QVERIFY(run());
    QCOMPARE(m_reader->total(), total);
    QCOMPARE(m_events.last(), QStringLiteral("completed"));
    QList<int> archives;
    QList<int> fromRows;
    const Labels labels = rows();
    for (int row = 0; row < labels.size(); ++row) {
        archives.append(int(labels.at(row) / 100));
        fromRows.append(m_reader->getArchIndexOf(row));
    }
    QCOMPARE(archives, archiveOfRow);
    QCOMPARE(fromRows, archiveOfRow);
    QCOMPARE(m_reader->getArchIndexOf(-1), -1);
    QCOMPARE(m_reader->getArchIndexOf(int(labels.size())), -1);
}

void tst_ModbusArchReader::stopHandsOverWhatWasRead()
{
    addArchive(1, DorrikBus::IndexArch, range(1, 30));
    prepare(DorrikBus::IndexArch, DorrikBus::Func67);
    m_reader->setFrom(1);
    m_reader->setTo(30);
    m_reader->setLiveResult(false);
    connect(m_reader.get(), &ModbusArchReader::progressChanged, this, [this](int progress) {
        if (progress == 3)
            m_reader->stop();
    });

    QVERIFY(run());
    // Not live: the target got nothing until the stop handed the three records over.
    QCOMPARE(rows(), range(1, 3));
    QCOMPARE(m_events, QStringList({"started", "running", "stopped"}));
    const int sent = m_instrument->requestCount();
    QTest::qWait(100);
    QCOMPARE(m_instrument->requestCount(), sent);
    QCOMPARE(m_reader->progress(), 3);
}

void tst_ModbusArchReader::errorEndsTheReading_data()
{
    QTest::addColumn<int>("archive");
    QTest::addColumn<int>("sizeOfTwelve");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Labels>("expected");
    QTest::addColumn<QStringList>("events");

    // The labels item's error is told first, the record item's after the reading stopped.
    QTest::newRow("labels request fails")
        << 9 << RecordSize << QStringLiteral("exception code: illegal data address") << Labels()
        << QStringList({"started", "running", "error", "stopped"});
    // The size learned cuts the answer: one of another length is refused as it arrives.
    QTest::newRow("a longer record")
        << 1 << 70
        << QStringLiteral("arch answer of 70 bytes is not a whole number of 58-byte records")
        << Labels{10, 11} << QStringList({"started", "running", "stopped", "error"});
    QTest::newRow("a record shorter than the size learned")
        << 1 << 40
        << QStringLiteral("arch answer of 40 bytes is not a whole number of 58-byte records")
        << Labels{10, 11} << QStringList({"started", "running", "stopped", "error"});
}

void tst_ModbusArchReader::errorEndsTheReading()
{
    QFETCH(int, archive);
    QFETCH(int, sizeOfTwelve);
    QFETCH(QString, text);
    QFETCH(Labels, expected);
    QFETCH(QStringList, events);

    addArchive(1, DorrikBus::IndexArch, without(range(1, 30), {12}));
    m_instrument->archives().addRecord(1, 12, record(12, sizeOfTwelve));
    prepare(DorrikBus::IndexArch, DorrikBus::Func67);
    m_target->setArchIndex(quint16(archive));
    m_reader->setFrom(10);
    m_reader->setTo(15);

    QVERIFY(run());
    QVERIFY2(m_reader->errorString().contains(text), qPrintable(m_reader->errorString()));
    QCOMPARE(rows(), expected);
    QCOMPARE(m_events, events);
}

void tst_ModbusArchReader::targetDestroyedDuringReading_data()
{
    QTest::addColumn<bool>("inProgressHandler");

    QTest::newRow("while a request is in flight") << false;
    QTest::newRow("by a progress handler") << true;
}

void tst_ModbusArchReader::targetDestroyedDuringReading()
{
    QFETCH(bool, inProgressHandler);

    addArchive(1, DorrikBus::IndexArch, range(1, 30));
    prepare(DorrikBus::IndexArch, DorrikBus::Func67);
    m_reader->setFrom(1);
    m_reader->setTo(30);
    if (inProgressHandler) {
        connect(m_reader.get(), &ModbusArchReader::progressChanged, this, [this](int progress) {
            if (progress == 2)
                m_target.reset();
        });
    } else {
        m_instrument->setDelay(20);
        connect(m_reader.get(), &ModbusArchReader::progressChanged, this, [this](int progress) {
            if (progress == 2)
                QTimer::singleShot(5, this, [this] { m_target.reset(); });
        });
    }

    QVERIFY(run());
    QVERIFY(!m_target);
    QCOMPARE(m_events, QStringList({"started", "running", "stopped"}));
    QVERIFY(m_reader->errorString().isEmpty());
    QVERIFY(m_reader->progress() >= 2 && m_reader->progress() < 30);
}

void tst_ModbusArchReader::startWithoutTargetIsRefused()
{
    ModbusArchReader reader;
    QSignalSpy running(&reader, &ModbusArchReader::runningChanged);
    QSignalSpy error(&reader, &ErrObject::error);
    reader.start();
    QVERIFY(!reader.running());
    QCOMPARE(running.size(), 0);
    QCOMPARE(error.size(), 1);
    QCOMPARE(reader.errorString(), QStringLiteral("you should assign 'record' - property"));

    // A target without a client: the labels item's error ends the reading at once.
    ModbusArchRecord target;
    reader.setRecord(&target);
    reader.start();
    QVERIFY(!reader.running());
    QCOMPARE(reader.errorString(), QStringLiteral("you should assign 'client' - property"));
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.last().first().toBool(), false);
}

void tst_ModbusArchReader::startOnRunningReaderStartsOver()
{
    addArchive(1, DorrikBus::IndexArch, range(1, 30));
    prepare(DorrikBus::IndexArch, DorrikBus::Func65);
    m_reader->setFrom(10);
    m_reader->setTo(15);
    m_instrument->setDelay(50);
    QSignalSpy ended(m_reader.get(), &ModbusArchReader::completed);
    m_reader->start();
    QTRY_COMPARE(m_reader->progress(), 1);
    const int sent = m_instrument->requestCount();

    m_reader->start();
    QVERIFY(m_reader->running());
    QCOMPARE(m_reader->progress(), 0);
    QCOMPARE(m_reader->total(), 6);
    QCOMPARE(m_instrument->requestCount(), sent);
    // The request in flight comes back to a cleared batch, which ends the reading.
    QVERIFY(ended.wait(5000));
    QCOMPARE(m_reader->progress(), 1);
    QCOMPARE(m_events.count("started"), 1);
}

void tst_ModbusArchReader::decoderTargetShowsTheRecords()
{
    // The instrument's second generation with a heat channel: 22 columns.
    m_instrument->addTavrinArchive(1, DorrikBus::IndexArch, 2, range(1, 30), 7);
    ModbusArchRecordTavrin decoder;
    decoder.setTvnGeneration(2);
    decoder.setArchIndex(1);
    decoder.setArchType(DorrikBus::IndexArch);
    decoder.setFunc(DorrikBus::Func67);
    decoder.setClient(m_client.get());
    m_reader->setRecord(&decoder);
    m_reader->setFrom(10);
    m_reader->setTo(15);
    m_reader->setRecordsPerRequestOptimization(true);

    QVERIFY(run());
    QAbstractItemModel *model = decoder.model();
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(model->columnCount(), 22);
    for (int row = 0; row < 6; ++row) {
        const TavrinRecord expected = TavrinRecord::sample(quint32(10 + row), 7);
        const QModelIndex index = model->index(row, 0);
        QCOMPARE(model->data(index, ModbusArchRecordTavrin::VPlusRole).toDouble(), expected.vPlus);
        QCOMPARE(model->data(index, ModbusArchRecordTavrin::WorkTimeRole).toUInt(),
                 expected.workTime);
        QCOMPARE(m_reader->getArchIndexOf(row), 1);
    }
    // The current record is the first one read.
    QCOMPARE(decoder.workTime(), TavrinRecord::sample(10, 7).workTime);
    m_reader.reset();
}

void tst_ModbusArchReader::answersThatHoldFewerRecords_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<int>("perAnswer");
    QTest::newRow("generation 2, two per answer") << 2 << 2;
    QTest::newRow("generation 3, one per answer") << 3 << 1;
}

// Three records per request from an instrument whose frame holds fewer: every record of the
// range, whole and in order.
void tst_ModbusArchReader::answersThatHoldFewerRecords()
{
    QFETCH(int, generation);
    QFETCH(int, perAnswer);

    m_instrument->addTavrinArchive(1, DorrikBus::IndexArch, generation, range(1, 30), 7);
    m_instrument->setShortArchAnswers(perAnswer);
    ModbusArchRecordTavrin decoder;
    decoder.setTvnGeneration(generation);
    decoder.setArchIndex(1);
    decoder.setArchType(DorrikBus::IndexArch);
    decoder.setFunc(DorrikBus::Func67);
    decoder.setClient(m_client.get());
    m_reader->setRecord(&decoder);
    m_reader->setFrom(10);
    m_reader->setTo(20);
    m_reader->setRecordsPerRequest(3);

    QVERIFY(run());
    QCOMPARE(m_events, QStringList({"started", "running", "stopped", "completed"}));
    const ModbusBytesArray rows = decoder.bytesArray();
    QCOMPARE(rows.size(), 11);
    for (int row = 0; row < 11; ++row)
        QCOMPARE(rows.at(row),
                 encodeTavrinRecord(TavrinRecord::sample(quint32(10 + row), 7), generation));
    m_reader.reset();
}

void tst_ModbusArchReader::liveResultsAppendRows_data()
{
    QTest::addColumn<Labels>("before");
    QTest::addColumn<int>("perRequest");
    QTest::addColumn<int>("maxRecords");
    QTest::addColumn<Labels>("expected");

    QTest::newRow("empty target") << Labels() << 1 << 0 << range(5, 20);
    QTest::newRow("three per request") << Labels() << 3 << 0 << range(5, 20);
    // The earlier reading's rows must not stay in front of the new ones.
    QTest::newRow("target holding an earlier reading") << range(25, 28) << 1 << 0 << range(5, 20);
    QTest::newRow("limit within an answer") << Labels() << 3 << 7 << range(5, 11);
}

// With live results every answer used to hand the whole list over again, a model reset each
// time, so that views re-read every row at every answer: a long reading went quadratic. After
// the first answer the rows read are announced as inserted at the end.
void tst_ModbusArchReader::liveResultsAppendRows()
{
    QFETCH(Labels, before);
    QFETCH(int, perRequest);
    QFETCH(int, maxRecords);
    QFETCH(Labels, expected);

    addArchive(1, DorrikBus::IndexArch, range(1, 30));
    prepare(DorrikBus::IndexArch, DorrikBus::Func67);
    ModbusBytesArray earlier;
    for (quint32 label : before)
        earlier.append(record(label));
    m_target->setBytesArray(earlier, ModbusItemBase::ExternalChange);
    m_reader->setFrom(5);
    m_reader->setTo(20);
    m_reader->setRecordsPerRequest(perRequest);
    m_reader->setMaxRecords(maxRecords);
    m_reader->setLiveResult(true);

    QAbstractItemModel *model = m_target->model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    int rowsAtReset = 0;
    connect(model, &QAbstractItemModel::modelReset, this,
            [&] { rowsAtReset = model->rowCount(); });
    int inserted = 0;
    bool atTheEnd = true;
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [&](const QModelIndex &, int first, int last) {
                atTheEnd = atTheEnd && first == model->rowCount();
                inserted += last - first + 1;
            });
    // Rows seen by a view as they are announced: one whole list at every step.
    Labels seen;
    const auto look = [&] {
        seen.clear();
        for (int row = 0; row < model->rowCount(); ++row)
            seen.append(m_target->bytesArray().at(row).toUInt32(0));
    };
    connect(model, &QAbstractItemModel::modelReset, this, look);
    connect(model, &QAbstractItemModel::rowsInserted, this, look);

    QVERIFY(run());
    QCOMPARE(rows(), expected);
    QCOMPARE(seen, expected);
    // The first answer replaces whatever the target held; the rest only add.
    QCOMPARE(resets.size(), 1);
    QVERIFY(atTheEnd);
    QVERIFY(inserted > 0);
    QCOMPARE(rowsAtReset + inserted, int(expected.size()));
}

QTEST_MAIN(tst_ModbusArchReader)
#include "tst_modbusarchreader.moc"
