// The archive export dialog against the simulated instrument: the sites it exports, the records
// it counts first, the CSV file it writes (the site columns of each row, its encoding by platform
// and by the language the user chose), and what a cancelled dialog, a read error and a stop
// leave: no file, no success.
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusitembase.h"
#include "modbusitemcsvexporter.h"
#include "requestlog.h"

#include <QDateTime>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

using namespace RequestLog;

// The program's folder of the build: tavrin with its translations beside it.
const QString ProgramDir = QStringLiteral(DORRIK_PROGRAM_DIR);

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

    // Called on the instrument after the three sites are put, before the menu starts.
    std::function<void(TavrinInstrument &)> beforeStart;
    int restartsAsked = 0;

    // The program's context; in the program's folder (with its translations) for `translated`.
    // A restart it asks for is counted and left to the test.
    std::unique_ptr<MenuContext> makeContext(bool translated)
    {
        auto owned = translated ? std::make_unique<MenuTestContext>(ProgramDir, QStringList{})
                                : std::make_unique<MenuTestContext>();
        context = owned.get();
        context->saveFileAnswer = file();
        QObject::connect(context, &MenuContext::beforeRestartMenu, context,
                         [this](CancelMessageEvent *event) {
                             ++restartsAsked;
                             event->setCancel(true);
                         });
        return owned;
    }

    // As the user does it: the system settings' language row, "Русский" in its list, and the
    // program started again.
    bool chooseRussian()
    {
        QObject *navigation = menu->object(QStringLiteral("navigationManager"));
        QObject *frame = navigation->property("deviceFrames")
                             .value<QObject *>()
                             ->findChild<QObject *>(QStringLiteral("systemSettingsFrame"));
        if (!frame)
            return false;
        QMetaObject::invokeMethod(navigation, "gotoFrame",
                                  Q_ARG(QVariant, QVariant::fromValue(frame)),
                                  Q_ARG(QVariant, true));
        QQuickItem *row = nullptr;
        if (!MenuDriver::waitFor(
                [&] {
                    return (row = menu->itemByText(QStringLiteral("Menu language"))) != nullptr;
                },
                5000))
            return false;
        menu->click(row);
        QQuickItem *entry = nullptr;
        if (!MenuDriver::waitFor(
                [&] { return (entry = menu->itemByText(QStringLiteral("Русский"))) != nullptr; },
                3000))
            return false;
        menu->click(entry);
        if (!MenuDriver::waitFor([&] { return restartsAsked == 1; }, 3000))
            return false;
        if (!menu->restart([this] { return makeContext(true); })) {
            qWarning().noquote() << menu->error();
            return false;
        }
        return menu->evaluate("menuContext.languageNameToSuffix(menuContext.getLanguageName())")
                   .toString() == QLatin1String("ru");
    }

    // A generation 3 instrument with the three sites, `records` records each, the menu on the
    // archive page with the export dialog open and its range over every record. With `russian`
    // the menu starts in English and the user chooses Russian first.
    bool open(int records, const QString &storedSites, bool windows = false, bool russian = false)
    {
        MenuContext::overrideIsWindows(windows ? 1 : 0);
        menu = std::make_unique<MenuDriver>();
        if (russian)
            QSettings().setValue(QStringLiteral("languageIndex"), 0);
        menu->setContext(makeContext(russian));
        TavrinInstrument &instrument = menu->instrument();
        instrument.setGeneration(3);
        putSites(instrument);
        if (beforeStart)
            beforeStart(instrument);
        instrument.setArchiveHistory(records * Interval);
        bool started = menu->start();
        if (started && russian)
            started = chooseRussian();
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

// Windows-1251 as the file holds it: ASCII, the Cyrillic letters and Ё/ё; anything else is
// taken as a fault.
QString fromWindows1251(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        const uchar b = uchar(c);
        if (b < 0x80)
            text += QChar(b);
        else if (b >= 0xC0)
            text += QChar(0x0410 + (b - 0xC0));
        else if (b == 0xA8)
            text += QChar(0x0401);
        else if (b == 0xB8)
            text += QChar(0x0451);
        else
            text += QChar(QChar::ReplacementCharacter);
    }
    return text;
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
    void nothingToExport_data();
    void nothingToExport();
    void choiceAcrossRestart();
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
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<QString>("header");

    const QString english = "\"#\";\"Group\";\"Subgroup\";\"Site\";";
    const QString russian = "\"#\";\"Группа\";\"Подгруппа\";\"Объект\";";
    QTest::newRow("Windows, English: UTF-8 with BOM")
        << true << false << "UTF-8" << true << english;
    QTest::newRow("elsewhere, English: UTF-8 with BOM")
        << false << false << "UTF-8" << true << english;
    QTest::newRow("Windows, Russian: Windows-1251 without BOM")
        << true << true << "Windows-1251" << false << russian;
    QTest::newRow("elsewhere, Russian: UTF-8 with BOM")
        << false << true << "UTF-8" << true << russian;
}

// The file's encoding follows the platform and the language the user chose: a Cyrillic site
// path and the translated column titles come out whole in it, with a byte-order mark or without.
void tst_ArchExport::encoding()
{
    QFETCH(bool, windows);
    QFETCH(bool, russian);
    QFETCH(QString, encoding);
    QFETCH(bool, bom);
    QFETCH(QString, header);

    Export e;
    e.beforeStart = [](TavrinInstrument &instrument) {
        instrument.setSiteRecord(0, "Север", "Насосы", "Котельная");
    };
    QVERIFY(e.open(3, "[0]", windows, russian));
    QCOMPARE(e.menu->evaluate("menuContext.isWindows").toBool(), windows);
    e.start();
    const QString done = QCoreApplication::translate("ArchiveExport", "Successfully completed");
    QVERIFY2(MenuDriver::waitFor([&] { return e.status() == done; }, 15000),
             qPrintable(e.status()));

    QByteArray bytes = readAll(e.file());
    QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), bom);
    if (bom)
        bytes.remove(0, 3);
    QString text;
    if (encoding == QLatin1String("UTF-8")) {
        QStringDecoder decoder(QStringConverter::Utf8);
        text = decoder.decode(bytes);
        QVERIFY(!decoder.hasError());
    } else {
        text = fromWindows1251(bytes);
    }
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.first().startsWith(header), qPrintable(lines.first()));
    QVERIFY2(lines.at(1).startsWith("\"1\";\"Север\";\"Насосы\";\"Котельная\";"),
             qPrintable(lines.at(1)));
}

// An empty answer of the save dialog changes nothing: no read, the count stays.
void tst_ArchExport::cancelledSaveDialog()
{
    Export e;
    QVERIFY(e.open(3, "[0]"));
    QVERIFY(MenuDriver::waitFor([&] { return e.status() == "records: 3"; }, 3000));
    e.context->saveFileAnswer.clear();
    // The page itself reads the current site's labels meanwhile: the reader is what must not run.
    QSignalSpy readerStarted(e.child("reader"), SIGNAL(started()));
    e.start();
    MenuDriver::settle(500);
    QCOMPARE(readerStarted.size(), 0);
    QCOMPARE(e.status(), QString("records: 3"));
    QVERIFY(!QFile::exists(e.file()));
}

// A record the instrument cuts short: the error is shown and logged, no file is written.
void tst_ArchExport::readError()
{
    Export e;
    QVERIFY(e.open(5, "[0]"));
    QVERIFY(MenuDriver::waitFor([&] { return e.status() == "records: 5"; }, 3000));
    {
        QFile old(e.file());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\n");
    }
    e.menu->instrument().setDropAnswers(-1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Error while arch reading: .*"));
    e.start();
    QVERIFY2(
        MenuDriver::waitFor([&] { return e.status() == "Error while reading records"; }, 10000),
        qPrintable(e.status()));
    MenuDriver::settle(300);
    QCOMPARE(readAll(e.file()), QByteArray("old contents\n"));
    QVERIFY(!e.dialog()->property("openButton").value<QQuickItem *>()->isEnabled());
    e.menu->instrument().setDropAnswers(0);
}

void tst_ArchExport::stop_data()
{
    QTest::addColumn<bool>("whileWriting");
    QTest::newRow("while reading") << false;
    QTest::newRow("while writing") << true;
}

// Stop ends the export over a file of the same name: that file stays as it was, no success,
// Open unavailable.
void tst_ArchExport::stop()
{
    QFETCH(bool, whileWriting);

    Export e;
    QVERIFY(e.open(200, "[0, 1, 2]"));
    QObject *reader = e.child("reader");
    QObject *exporter = e.child("exporter");
    {
        QFile old(e.file());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\n");
    }
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
    QCOMPARE(readAll(e.file()), QByteArray("old contents\n"));
    QVERIFY(e.status() != "Successfully completed");
    QVERIFY(!e.dialog()->property("openButton").value<QQuickItem *>()->isEnabled());
    QCOMPARE(QDir(e.dir.path()).entryList(QDir::Files), QStringList{"records.csv"});
}

void tst_ArchExport::nothingToExport_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("currentSite");
    QTest::newRow("only deleted sites stored") << "[7, 9]" << 0;
    QTest::newRow("nothing stored, the current site without a record") << "[]" << 5;
}

// No site to export: Export is disabled, and asked all the same it reads nothing, opens no save
// dialog and writes no file.
void tst_ArchExport::nothingToExport()
{
    QFETCH(QString, stored);
    QFETCH(int, currentSite);

    Export e;
    e.beforeStart = [currentSite](TavrinInstrument &instrument) {
        instrument.setCurrentSite(currentSite);
    };
    QVERIFY(e.open(3, stored));
    QVERIFY(e.sitesToExport().isEmpty());
    QVERIFY(!e.dialog()->property("startButton").value<QQuickItem *>()->isEnabled());
    e.menu->instrument().clearRequests();
    QSignalSpy readerStarted(e.child("reader"), SIGNAL(started()));
    e.start();
    QVERIFY2(MenuDriver::waitFor([&] { return e.status() == "No sites to export"; }, 3000),
             qPrintable(e.status()));
    MenuDriver::settle(500);
    QCOMPARE(readerStarted.size(), 0);
    // No archive of a deleted site is asked for (the page reads the current site's itself).
    QCOMPARE(countOf(described(e.menu->requests()), "A6\\d 0x010[79] .*"), 0);
    QVERIFY(!e.context->calls().join("\n").contains("save dialog"));
    QVERIFY(!QFile::exists(e.file()));
}

// The site button's choice is stored as a plain list and is the dialog's again after a restart,
// though another site is current by then.
void tst_ArchExport::choiceAcrossRestart()
{
    Export e;
    e.beforeStart = [](TavrinInstrument &instrument) { instrument.setCurrentSite(2); };
    QVERIFY(e.open(3, "[]"));
    e.menu->click(e.menu->item(QStringLiteral("exportCurrentSiteButton")));
    QCOMPARE(numbers(e.sitesToExport()), QList<int>{2});
    MenuDriver::settle(300);
    // In the store's file as a type every start can read (no list type of the menu's own), and
    // read back from a copy of it, which no cache of this process holds.
    QSettings store;
    store.sync();
    QFile file(store.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("\narchExportSites=") && !text.contains("QList"), text.constData());
    const QString copy = e.dir.filePath("copy.conf");
    QVERIFY(QFile::copy(store.fileName(), copy));
    QCOMPARE(numbers(QSettings(copy, QSettings::IniFormat).value("archExportSites").toList()),
             QList<int>{2});
    QFile::remove(copy);

    e.menu->instrument().setCurrentSite(1);
    QVERIFY(e.menu->restart([&] { return e.makeContext(false); }));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return e.menu
                ->evaluate("deviceModbus.mainReadGroup.wasRead && deviceModbus.siteIndex === 1 && "
                           "sitesManager.model.sitesCount === 3")
                .toBool();
        },
        10000));
    e.menu->evaluate("screenManager.showPopup('sources/ArchExportDialog.qml', {})");
    QVERIFY(MenuDriver::waitFor([&] { return e.dialog() && e.dialog()->isVisible(); }, 10000));
    QCOMPARE(numbers(e.sitesToExport()), QList<int>{2});
    QSettings().remove(QStringLiteral("archExportSites"));
}

QTEST_MAIN(tst_ArchExport)
#include "tst_archexport.moc"
