#include "filesizelimit.h"
#include "modbusitemcsvexporter.h"
#include "tableitem.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList Titles{"Time", QString::fromUtf8("Volume, m³/h"), "Ratio", "Note"};

// Date-times, floats, doubles and texts, one with a quote inside.
QList<QVariantList> rows()
{
    return {{QDateTime(QDate(2015, 3, 5), QTime(14, 0)), 1234.5f, 2.0, "a\"b"},
            {QDateTime(QDate(2015, 3, 5), QTime(15, 0)), 0.25f, -1.5, QString::fromUtf8("Расход")}};
}

QVariantMap field(const QString &name, const QVariant &index = QVariant())
{
    QVariantMap map{{"name", name}};
    if (index.isValid())
        map.insert("index", index);
    return map;
}

} // namespace

// The rows of an item's table model as separated values: encodings, the byte-order mark,
// number and date forms, quoting, the row-number and custom columns, and failures.
class tst_ModbusItemCSVExporter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void golden_data();
    void golden();
    void failures_data();
    void failures();
    void sliced_data();
    void sliced();
    void slicedKeepsTimersRunning();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path() const { return m_dir->filePath("rows.csv"); }
};

void tst_ModbusItemCSVExporter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_ModbusItemCSVExporter::golden_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("useBom");
    QTest::addColumn<bool>("indexColumn");
    QTest::addColumn<QVariantList>("customFields");
    QTest::addColumn<bool>("noRows");
    QTest::addColumn<QString>("golden");

    QTest::newRow("UTF-8 with byte-order mark")
        << "UTF-8" << true << true << QVariantList() << false << "utf8_bom.csv";
    QTest::newRow("utf-8 in lower case")
        << "utf-8" << true << true << QVariantList() << false << "utf8_bom.csv";
    QTest::newRow("Windows-1251, no byte-order mark even when asked")
        << "Windows-1251" << true << true << QVariantList() << false << "windows1251.csv";
    // The mark in the file's own byte order; the superscripts go as for any encoding but UTF-8.
    QTest::newRow("UTF-16LE with byte-order mark")
        << "UTF-16LE" << true << true << QVariantList() << false << "utf16le_bom.csv";
    QTest::newRow("UTF-16BE with byte-order mark")
        << "UTF-16BE" << true << true << QVariantList() << false << "utf16be_bom.csv";
    QTest::newRow("UTF-16 with a mark in the host's byte order")
        << "UTF-16" << true << true << QVariantList() << false
        << (QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "utf16le_bom.csv" : "utf16be_bom.csv");
    QTest::newRow("UTF-16LE without a mark when not asked")
        << "UTF-16LE" << false << true << QVariantList() << false << "utf16le.csv";
    QTest::newRow("custom columns first, inserted and appended")
        << "UTF-8" << false << true
        << QVariantList{field("Site", 0), QStringLiteral("not a field"), field("Empty"),
                        field("Flags", 2)}
        << false << "custom_fields.csv";
    QTest::newRow("header only") << "UTF-8" << false << false << QVariantList() << true
                                 << "header_only.csv";
}

void tst_ModbusItemCSVExporter::golden()
{
    QFETCH(QString, encoding);
    QFETCH(bool, useBom);
    QFETCH(bool, indexColumn);
    QFETCH(QVariantList, customFields);
    QFETCH(bool, noRows);
    QFETCH(QString, golden);

    TableItem item(Titles, noRows ? QList<QVariantList>() : rows());
    ModbusItemCSVExporter exporter;
    exporter.setItem(&item);
    exporter.setFileName(path());
    exporter.setEncoding(encoding);
    exporter.setUseBom(useBom);
    exporter.setIndexColumn(indexColumn);
    exporter.setCustomFields(customFields);
    // Field 0 and 3 answer; field 2 leaves its cells empty.
    connect(&exporter, &ModbusItemCSVExporter::customField, this, [](CustomFieldEvent *event) {
        if (event->index() == 0)
            event->setValue(QString("S%1").arg(event->rowIndex()));
        else if (event->index() == 3)
            event->setValue(QString("F%1").arg(event->rowIndex()));
    });
    QFile::copy(QFINDTESTDATA("data/header_only.csv"), path()); // replaced
    QSignalSpy started(&exporter, &ModbusItemExporter::started);
    QSignalSpy completed(&exporter, &ModbusItemExporter::completed);
    QSignalSpy running(&exporter, &ModbusItemExporter::runningChanged);

    QVERIFY(exporter.start());
    QCOMPARE(started.size(), 1);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(running.size(), 2);
    QVERIFY(!exporter.running());
    const QString goldenPath = QFINDTESTDATA("data/" + golden);
    QVERIFY(!goldenPath.isEmpty());
    QCOMPARE(readAll(path()), readAll(goldenPath));
}

void tst_ModbusItemCSVExporter::failures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message"); // "%s": the file name

    QTest::newRow("no item") << "no item"
                             << "item doesn't set";
    QTest::newRow("a folder of the file's name") << "folder"
                                                 << "can't remove file %s";
    QTest::newRow("no such folder") << "no folder"
                                    << "can't open file %s";
    QTest::newRow("file size limit") << "limit"
                                     << "can't write file %s";
}

// Each failure is reported, start() answers false and nothing says it completed.
void tst_ModbusItemCSVExporter::failures()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);

    QString file = path();
    const QByteArray old = "old contents\n";
    {
        QFile existing(file);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(old);
    }
    TableItem item(Titles, 2000, [](int row, int column) -> QVariant {
        return column == 0 ? QVariant(QDateTime(QDate(2015, 3, 5), QTime(0, 0)).addSecs(row))
                           : QVariant(row * 0.5);
    });
    ModbusItemCSVExporter exporter;
    exporter.setItem(&item);
    if (situation == "no item") {
        exporter.setItem(nullptr);
    } else if (situation == "folder") {
        file = m_dir->filePath("folder.csv");
        QVERIFY(QDir(m_dir->path()).mkdir("folder.csv"));
    } else if (situation == "no folder") {
        file = m_dir->filePath("missing/rows.csv");
    }
    exporter.setFileName(file);
    QSignalSpy error(&exporter, &ErrObject::error);
    QSignalSpy completed(&exporter, &ModbusItemExporter::completed);

    bool result = true;
    if (situation == "limit") {
        FileSizeLimit limit(4096);
        result = exporter.start();
    } else {
        result = exporter.start();
    }
    QVERIFY(!result);
    QCOMPARE(completed.size(), 0);
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QString(message).replace("%s", file));
    if (situation == "no item")
        QCOMPARE(readAll(file), old);
    if (situation == "folder")
        QVERIFY(QFileInfo(file).isDir());
    // A partial file never takes the name: the old one is still there.
    if (situation == "limit")
        QCOMPARE(readAll(file), old);
}

namespace {

// Enough rows for many slices of 1 ms.
TableItem *bigTable(int rows)
{
    return new TableItem(Titles, rows, [](int row, int column) -> QVariant {
        if (column == 0)
            return QDateTime(QDate(2015, 3, 5), QTime(0, 0), Qt::UTC).addSecs(row);
        if (column == 3)
            return QString::fromUtf8("Расход %1").arg(row);
        return row * 0.5;
    });
}

} // namespace

void tst_ModbusItemCSVExporter::sliced_data()
{
    QTest::addColumn<QString>("interruption");
    QTest::addColumn<QString>("message"); // empty: the export completes

    QTest::newRow("runs to the end") << "none"
                                     << "";
    QTest::newRow("stop between slices") << "stop"
                                         << "";
    QTest::newRow("stop from a custom cell") << "stop in cell"
                                             << "";
    QTest::newRow("file size limit") << "limit"
                                     << "can't write file %s";
    QTest::newRow("item destroyed") << "drop item"
                                    << "item doesn't set";
}

// Rows written from the event loop: the same bytes as in one call when whole; a stop or a failure
// leaves no file of the name and no completion, and the exporter can start again.
void tst_ModbusItemCSVExporter::sliced()
{
    QFETCH(QString, interruption);
    QFETCH(QString, message);

    const int rows = 20000;
    QPointer<TableItem> item(bigTable(rows));
    const QString reference = m_dir->filePath("reference.csv");
    {
        ModbusItemCSVExporter whole;
        whole.setItem(item);
        whole.setFileName(reference);
        whole.setCustomFields({field("Site", 1)});
        connect(&whole, &ModbusItemCSVExporter::customField, this, [](CustomFieldEvent *event) {
            event->setValue(QString::number(event->rowIndex()));
        });
        QVERIFY(whole.start());
    }

    ModbusItemCSVExporter exporter;
    exporter.setItem(item);
    exporter.setFileName(path());
    exporter.setCustomFields({field("Site", 1)});
    exporter.setSliceDuration(1);
    {
        QFile old(path());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\n");
    }
    connect(&exporter, &ModbusItemCSVExporter::customField, this, [&](CustomFieldEvent *event) {
        if (interruption == "stop in cell" && event->rowIndex() == rows / 2)
            exporter.stop();
        event->setValue(QString::number(event->rowIndex()));
    });
    connect(&exporter, &ModbusItemCSVExporter::progressChanged, this, [&](int written) {
        if (written == rows || written == 0)
            return;
        if (interruption == "stop")
            exporter.stop();
        else if (interruption == "drop item" && item)
            delete item;
    });
    QSignalSpy completed(&exporter, &ModbusItemExporter::completed);
    QSignalSpy error(&exporter, &ErrObject::error);
    QSignalSpy progress(&exporter, &ModbusItemCSVExporter::progressChanged);

    std::unique_ptr<FileSizeLimit> limit;
    if (interruption == "limit")
        limit = std::make_unique<FileSizeLimit>(64 * 1024);
    QVERIFY(exporter.start());
    QVERIFY(exporter.running());
    QCOMPARE(readAll(path()), QByteArray("old contents\n")); // until the new one is whole
    QTRY_VERIFY_WITH_TIMEOUT(!exporter.running(), 60000);
    limit.reset();

    if (message.isEmpty() && interruption == "none") {
        QCOMPARE(completed.size(), 1);
        QCOMPARE(error.size(), 0);
        QVERIFY(progress.size() > 1); // more than one slice
        QCOMPARE(exporter.progress(), rows);
        QCOMPARE(readAll(path()), readAll(reference));
    } else {
        QCOMPARE(completed.size(), 0);
        QCOMPARE(error.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(error.at(0).at(0).toString(), QString(message).replace("%s", path()));
        QCOMPARE(readAll(path()), QByteArray("old contents\n"));
        QVERIFY(exporter.progress() < rows);
        // Nothing else is left in the folder either: the temporary file went with the export.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"reference.csv", "rows.csv"}));
    }
    delete item;
}

// The thread's own processor time, in ms: a loaded machine that takes the processor away
// between two ticks does not count as the export holding the event loop.
static qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// A long export written in slices leaves the event loop free: a 5 ms timer keeps firing.
void tst_ModbusItemCSVExporter::slicedKeepsTimersRunning()
{
    const int rows = 100000;
    std::unique_ptr<TableItem> item(bigTable(rows));
    ModbusItemCSVExporter exporter;
    exporter.setItem(item.get());
    exporter.setFileName(path());
    exporter.setCustomFields({field("Group", 1), field("Subgroup", 2), field("Site", 3)});
    exporter.setSliceDuration(20);
    connect(&exporter, &ModbusItemCSVExporter::customField, this,
            [](CustomFieldEvent *event) { event->setValue(QStringLiteral("Group 1")); });
    qint64 lastTick = threadCpuMs();
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, this, [&] {
        const qint64 now = threadCpuMs();
        longest = qMax(longest, now - lastTick);
        lastTick = now;
    });
    QSignalSpy completed(&exporter, &ModbusItemExporter::completed);
    ticker.start();
    lastTick = threadCpuMs();
    QVERIFY(exporter.start());
    QTRY_VERIFY_WITH_TIMEOUT(!exporter.running(), 120000);
    // One tick more: an export that never let go shows its whole length here.
    QTest::qWait(20);
    ticker.stop();
    QCOMPARE(completed.size(), 1);
    QVERIFY2(longest <= 100,
             qPrintable(QString("longest stall %1 ms of processor time").arg(longest)));
}

QTEST_MAIN(tst_ModbusItemCSVExporter)
#include "tst_modbusitemcsvexporter.moc"
