// The archive export dialog against the simulated instrument: the sites it exports, the records
// it counts first, the CSV file it writes (the site columns of each row, the encoding), and what
// a cancelled dialog, a read error and a stop leave: no file, no success.
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusitembase.h"
#include "modbusitemcsvexporter.h"
#include "requestlog.h"

#include <QDateTime>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using namespace RequestLog;

constexpr int Interval = 360;

QString scriptDate(quint32 label)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(label, Qt::UTC);
    return QString("new Date(%1, %2, %3, %4, %5, %6)")
        .arg(t.date().year())
        .arg(t.date().month() - 1)
        .arg(t.date().day())
        .arg(t.time().hour())
        .arg(t.time().minute())
        .arg(t.time().second());
}

// Sites in slots 0, 1 and 2 whose paths sort as slot 2, slot 0, slot 1 by group.
void putSites(TavrinInstrument &instrument)
{
    instrument.setSiteRecord(0, "North", "Pumps", "Inlet");
    instrument.setSiteRecord(1, "South", "", "Outlet");
    instrument.setSiteRecord(2, "East", "Boilers", "Boiler 2");
}

struct Export
{
    QTemporaryDir dir;
    MenuTestContext *context = nullptr;
    std::unique_ptr<MenuDriver> menu;

    QString file() const { return dir.filePath("records.csv"); }
    QQuickItem *dialog() const { return menu->item(QStringLiteral("archExportDialog")); }
    QString status() const
    {
        return menu->item(QStringLiteral("exportStatusText"))->property("text").toString();
    }
    QObject *child(const char *name) const { return dialog()->property(name).value<QObject *>(); }

    // A generation 3 instrument with the three sites, `records` records each, the menu on the
    // archive page with the export dialog open and its range over every record.
    bool open(int records, const QString &storedSites, bool windows = false)
    {
        MenuContext::overrideIsWindows(windows ? 1 : 0);
        menu = std::make_unique<MenuDriver>();
        auto owned = std::make_unique<MenuTestContext>();
        context = owned.get();
        context->saveFileAnswer = file();
        menu->setContext(std::move(owned));
        TavrinInstrument &instrument = menu->instrument();
        instrument.setGeneration(3);
        putSites(instrument);
        instrument.setArchiveHistory(records * Interval);
        const bool started = menu->start();
        MenuContext::overrideIsWindows(-1);
        if (!started) {
            qWarning().noquote() << menu->error();
            return false;
        }
        if (!MenuDriver::waitFor(
                [&] {
                    return menu
                        ->evaluate("deviceModbus.mainReadGroup.wasRead && "
                                   "sitesManager.model.sitesCount === 3")
                        .toBool();
                },
                10000))
            return false;
        const QList<quint32> labels =
            instrument.archives().labels(TavrinInstrument::archiveIndex(0, 3), DorrikBus::TimeArch);
        menu->evaluate("menuSettings.archExportSites = " + storedSites +
                       "; menuProps.exportArchFrom.value = " + scriptDate(labels.first()) +
                       "; menuProps.exportArchTo.value = " + scriptDate(labels.last()));
        menu->keyClick(Qt::Key_Period);
        QQuickItem *button = menu->item(QStringLiteral("archExportButton"));
        if (!MenuDriver::waitFor([&] { return button && button->isVisible(); }, 10000))
            return false;
        // By keys: right to the Export button, Return.
        menu->item(QStringLiteral("archLabelsList"))->forceActiveFocus();
        for (int i = 0; i < 6 && !button->hasActiveFocus(); ++i)
            menu->keyClick(Qt::Key_Right);
        if (!button->hasActiveFocus())
            return false;
        menu->keyClick(Qt::Key_Return);
        return MenuDriver::waitFor([&] { return dialog() && dialog()->isVisible(); }, 10000);
    }

    QVariantList sitesToExport() const { return dialog()->property("sitesToExport").toList(); }

    void start() { QMetaObject::invokeMethod(dialog(), "start"); }
};

QList<int> numbers(const QVariantList &list)
{
    QList<int> result;
    for (const QVariant &v : list)
        result << v.toInt();
    return result;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_ArchExport : public QObject
{
    Q_OBJECT

private slots:
    void sitesToExport_data();
    void sitesToExport();
    void threeSites();
    void encoding_data();
    void encoding();
    void cancelledSaveDialog();
    void readError();
    void stop_data();
    void stop();
};

void tst_ArchExport::sitesToExport_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<int>>("sites");
    QTest::addColumn<QString>("counted");

    QTest::newRow("nothing stored: the current site") << "[]" << QList<int>{0} << "records: 5";
    QTest::newRow("[3, 3, 1]: each once, by path")
        << "[2, 2, 0]" << QList<int>{2, 0} << "records: 10";
    QTest::newRow("all three, by path") << "[0, 1, 2]" << QList<int>{2, 0, 1} << "records: 15";
    QTest::newRow("only deleted sites") << "[7, 9]" << QList<int>{} << "records: 0";
}

// The stored list is taken once per existing site in path order, and the records of those sites
// are counted; deleted sites are neither read nor counted.
void tst_ArchExport::sitesToExport()
{
    QFETCH(QString, stored);
    QFETCH(QList<int>, sites);
    QFETCH(QString, counted);

    Export e;
    QVERIFY(e.open(5, stored));
    QCOMPARE(numbers(e.sitesToExport()), sites);
    QVERIFY2(MenuDriver::waitFor([&] { return e.status() == counted; }, 3000),
             qPrintable(e.status()));
    if (sites.isEmpty()) {
        MenuDriver::settle(300);
        QCOMPARE(countOf(described(e.menu->requests()), "A66 0x010[79] .*"), 0);
    }
}

// Three sites of 20 records: the header, one row per record with its site's path, UTF-8 with a
// byte-order mark, and the success that lets the file be opened.
void tst_ArchExport::threeSites()
{
    Export e;
    QVERIFY(e.open(20, "[0, 1, 2]"));
    QVERIFY(MenuDriver::waitFor([&] { return e.status() == "records: > 30"; }, 3000));
    QQuickItem *start = e.dialog()->property("startButton").value<QQuickItem *>();
    start->forceActiveFocus();
    e.menu->keyClick(Qt::Key_Return);
    QVERIFY2(MenuDriver::waitFor([&] { return e.status() == "Successfully completed"; }, 15000),
             qPrintable(e.status()));
    QVERIFY(e.context->calls().contains(
        "save dialog: Export archival records |  | CSV files (*.csv);;All files (*.*)"));
    const QByteArray bytes = readAll(e.file());
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 61);
    QVERIFY2(lines.first().startsWith("\"#\";\"Group\";\"Subgroup\";\"Site\";\"Time\""),
             qPrintable(lines.first()));
    // Path order: slot 2 (East), slot 0 (North), slot 1 (South), 20 rows each.
    QVERIFY2(lines.at(1).startsWith("\"1\";\"East\";\"Boilers\";\"Boiler 2\";"),
             qPrintable(lines.at(1)));
    QVERIFY(lines.at(21).startsWith("\"21\";\"North\";\"Pumps\";\"Inlet\";"));
    QVERIFY(lines.at(60).startsWith("\"60\";\"South\";\"\";\"Outlet\";"));

    QQuickItem *open = e.dialog()->property("openButton").value<QQuickItem *>();
    QVERIFY(open->isEnabled());
    e.menu->click(open);
    QVERIFY(e.context->calls().contains("openUrl: " + e.file()));
}

void tst_ArchExport::encoding_data()
{
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("bom");

    QTest::newRow("Windows, English: UTF-8 with BOM") << true << "UTF-8" << true;
    QTest::newRow("elsewhere, English: UTF-8 with BOM") << false << "UTF-8" << true;
}

// The file's encoding follows the platform and the language.
void tst_ArchExport::encoding()
{
    QFETCH(bool, windows);
    QFETCH(QString, encoding);
    QFETCH(bool, bom);

    Export e;
    QVERIFY(e.open(3, "[0]", windows));
    QCOMPARE(e.menu->evaluate("menuContext.isWindows").toBool(), windows);
    QObject *exporter = e.child("exporter");
    QCOMPARE(exporter->property("encoding").toString(), encoding);
    QCOMPARE(exporter->property("useBom").toBool(), bom);
}

// An empty answer of the save dialog changes nothing: no read, the count stays.
void tst_ArchExport::cancelledSaveDialog()
{
    Export e;
    QVERIFY(e.open(3, "[0]"));
    QVERIFY(MenuDriver::waitFor([&] { return e.status() == "records: 3"; }, 3000));
    e.context->saveFileAnswer.clear();
    e.menu->instrument().clearRequests();
    e.start();
    MenuDriver::settle(500);
    QCOMPARE(countOf(described(e.menu->requests()), "A6[67] .*"), 0);
    QCOMPARE(e.status(), QString("records: 3"));
    QVERIFY(!QFile::exists(e.file()));
}

// A record the instrument cuts short: the error is shown and logged, no file is written.
void tst_ArchExport::readError()
{
    Export e;
    QVERIFY(e.open(5, "[0]"));
    QVERIFY(MenuDriver::waitFor([&] { return e.status() == "records: 5"; }, 3000));
    e.menu->instrument().setDropAnswers(-1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Error while arch reading: .*"));
    e.start();
    QVERIFY2(
        MenuDriver::waitFor([&] { return e.status() == "Error while reading records"; }, 10000),
        qPrintable(e.status()));
    MenuDriver::settle(300);
    QVERIFY(!QFile::exists(e.file()));
    QVERIFY(!e.dialog()->property("openButton").value<QQuickItem *>()->isEnabled());
}

void tst_ArchExport::stop_data()
{
    QTest::addColumn<bool>("whileWriting");
    QTest::newRow("while reading") << false;
    QTest::newRow("while writing") << true;
}

// Stop ends the export: no file of the name, no success, Open unavailable.
void tst_ArchExport::stop()
{
    QFETCH(bool, whileWriting);

    Export e;
    QVERIFY(e.open(200, "[0, 1, 2]"));
    QObject *reader = e.child("reader");
    QObject *exporter = e.child("exporter");
    bool stopped = false;
    if (whileWriting) {
        // Stop pressed between two slices of rows, the first already written.
        exporter->setProperty("sliceDuration", 1);
        connect(qobject_cast<ModbusItemCSVExporter *>(exporter),
                &ModbusItemCSVExporter::progressChanged, this, [&](int rows) {
                    if (rows > 0 && !stopped) {
                        stopped = true;
                        e.start(); // the start button reads "Stop" now
                    }
                });
    }
    e.start();
    if (!whileWriting) {
        QVERIFY(
            MenuDriver::waitFor([&] { return reader->property("progress").toInt() > 20; }, 10000));
        e.start(); // the start button reads "Stop" now
    } else {
        QVERIFY(MenuDriver::waitFor([&] { return stopped; }, 20000));
    }
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return !reader->property("running").toBool() && !exporter->property("running").toBool();
        },
        3000));
    MenuDriver::settle(500);
    QVERIFY(!QFile::exists(e.file()));
    QVERIFY(e.status() != "Successfully completed");
    QVERIFY(!e.dialog()->property("openButton").value<QQuickItem *>()->isEnabled());
    QCOMPARE(QDir(e.dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(tst_ArchExport)
#include "tst_archexport.moc"
