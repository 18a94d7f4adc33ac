// The archive page against the simulated instrument's archives: which archive it reads, where it
// opens, moving through the list by keys, the end mark, live records, the memory card, the fields
// of a record and the erase of the site's archive.
#include "menudriver.h"
#include "modbusbytes.h"
#include "requestlog.h"

#include <QDateTime>
#include <QJSEngine>
#include <QQuickItem>
#include <QSettings>
#include <QtTest>

#include <map>

namespace {

using namespace RequestLog;

constexpr int Interval = 360; // the instrument's default logging interval, 6 min

QString labelText(quint32 label)
{
    return QDateTime::fromSecsSinceEpoch(label, Qt::UTC).toString("dd.MM.yyyy  hh:mm:ss");
}

QQuickItem *listView(MenuDriver &menu)
{
    return menu.item(QStringLiteral("archLabelsList"));
}

int currentRow(MenuDriver &menu)
{
    return listView(menu)->property("currentIndex").toInt();
}

int rowCount(MenuDriver &menu)
{
    return listView(menu)->property("count").toInt();
}

int rowsShown(MenuDriver &menu)
{
    return menu.item(QStringLiteral("archivePage"))->property("rowsCount").toInt();
}

// The text of the current row, as the user reads it.
QString currentText(MenuDriver &menu)
{
    auto *current = listView(menu)->property("currentItem").value<QQuickItem *>();
    if (!current)
        return QString();
    for (QQuickItem *child : current->childItems()) {
        if (child->property("text").isValid())
            return child->property("text").toString();
    }
    return QString();
}

bool recordShown(MenuDriver &menu)
{
    return menu.item(QStringLiteral("archivePage"))->property("recordShown").toBool();
}

// Started, the live block read, on the archive page with its list read.
bool openPage(MenuDriver &menu)
{
    if (!menu.start()) {
        qWarning().noquote() << menu.error();
        return false;
    }
    if (!MenuDriver::waitFor(
            [&] { return evalTrue(menu, QStringLiteral("deviceModbus.mainReadGroup.wasRead")); },
            10000))
        return false;
    menu.keyClick(Qt::Key_Period);
    const bool opened = MenuDriver::waitFor(
        [&] { return listView(menu) && listView(menu)->isVisible() && rowCount(menu) > 0; }, 10000);
    if (!opened)
        qWarning().noquote()
            << "archive log:"
            << described(menu.requests()).filter(QRegularExpression("^A")).join(", ");
    return opened;
}

// Waits until the page shows `label` as its current row with its record read.
bool waitForCurrent(MenuDriver &menu, quint32 label)
{
    const bool shown = MenuDriver::waitFor(
        [&] { return currentText(menu) == labelText(label) && recordShown(menu); }, 5000);
    if (!shown)
        qWarning().noquote() << "current" << currentText(menu) << "row" << currentRow(menu)
                             << "expected" << labelText(label);
    return shown;
}

void setUpInstrument(TavrinInstrument &instrument, int generation, bool heat, int site)
{
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);
    instrument.setCurrentSite(site);
}

} // namespace

class tst_ArchPage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void cleanupTestCase();
    void opensOnTheNewestRecord_data();
    void opensOnTheNewestRecord();
    void moving_data();
    void moving();
    void shortArchive_data();
    void shortArchive();
    void newRecordShows();
    void memoryCard();
    void noReadWhileExporting();
    void fields_data();
    void fields();
    void heatSupportGoes();
    void erase();
    void eraseAsked_data();
    void eraseAsked();
    void storedTotalWithoutHeat();

private:
    MenuDriver &sharedMenu(const QSize &size);
    std::map<int, std::unique_ptr<MenuDriver>> m_menus; // by width
};

// A menu kept for the rows of one function goes with it: menus left running load the machine.
void tst_ArchPage::cleanup()
{
    const QString function = QString::fromLatin1(QTest::currentTestFunction());
    if (function != "moving")
        m_menus.erase(800), m_menus.erase(640);
    if (function != "fields")
        m_menus.erase(-1);
}

void tst_ArchPage::cleanupTestCase()
{
    m_menus.clear();
}

// A generation 3 instrument with its site 3 current and a day of records, kept for the tests that
// only move through it.
MenuDriver &tst_ArchPage::sharedMenu(const QSize &size)
{
    auto &menu = m_menus[size.width()];
    if (!menu) {
        menu = std::make_unique<MenuDriver>(size);
        setUpInstrument(menu->instrument(), 3, false, 3);
        if (!openPage(*menu))
            qWarning("the archive page did not open");
    }
    return *menu;
}

void tst_ArchPage::opensOnTheNewestRecord_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("generation");
    QTest::addColumn<QString>("archive");

    QTest::newRow("generation 3, site 5, 800x600") << QSize(800, 600) << 3 << "0x0105";
    QTest::newRow("generation 2, site 5, 800x600") << QSize(800, 600) << 2 << "0x0005";
    QTest::newRow("generation 3, site 5, 640x480") << QSize(640, 480) << 3 << "0x0105";
}

// The archive of the current site, searched back from the instrument's time; the list ends at the
// newest record, which is current and read.
void tst_ArchPage::opensOnTheNewestRecord()
{
    QFETCH(QSize, size);
    QFETCH(int, generation);
    QFETCH(QString, archive);

    MenuDriver menu(size);
    setUpInstrument(menu.instrument(), generation, false, 5);
    QVERIFY(openPage(menu));
    const QList<quint32> labels = menu.instrument().archives().labels(
        TavrinInstrument::archiveIndex(5, generation), DorrikBus::TimeArch);
    QVERIFY(labels.size() > 20);
    QVERIFY(waitForCurrent(menu, labels.last()));
    QCOMPARE(currentRow(menu), rowCount(menu) - 1);
    QCOMPARE(rowCount(menu), rowsShown(menu));

    const QStringList log = described(menu.requests());
    QVERIFY2(inOrder(log, {"A66 " + archive + " \\S+ \\d+ back", "A66 " + archive + " \\S+ \\d+",
                           "A67 " + archive + " \\S+ 1"}),
             qPrintable(log.join(", ")));
    // From the view's start on, only the current site's archive, only by function 67 and its
    // presence search.
    const int start = log.indexOf(QRegularExpression("A66 " + archive + " \\S+ \\d+ back"));
    for (const QString &line : log.mid(start)) {
        if (line.startsWith('A'))
            QVERIFY2(line.startsWith("A66 " + archive) || line.startsWith("A67 " + archive),
                     qPrintable(line));
    }
}

void tst_ArchPage::moving_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("keys");     // U, D: Up and Down; F, L: first and last; r: rows times
    QTest::addColumn<QString>("expected"); // the current label's position, N records, r rows
    QTest::addColumn<int>("free");         // rows left empty at the end

    for (const QSize &size : {QSize(800, 600), QSize(640, 480)}) {
        const QByteArray at = size.width() == 800 ? " (800x600)" : " (640x480)";
        QTest::newRow("up within the list" + at) << size << "U"
                                                 << "N-2" << 0;
        QTest::newRow("up across the top edge" + at) << size << "U*r"
                                                     << "N-1-r" << 0;
        // The list scrolls once past the end: the end mark takes the free row.
        QTest::newRow("down at the archive's end: end mark" + at) << size << "D"
                                                                  << "N-1" << 1;
        QTest::newRow("down again at the end stays" + at) << size << "D D"
                                                          << "N-1" << 1;
        QTest::newRow("first" + at) << size << "F"
                                    << "0" << 0;
        QTest::newRow("up at the archive's start stays" + at) << size << "F U"
                                                              << "0" << 0;
        QTest::newRow("down across the bottom edge" + at) << size << "F D*r"
                                                          << "r" << 0;
        QTest::newRow("last after first" + at) << size << "F L"
                                               << "N-1" << 0;
    }
}

// Up and Down by hardware keys through the list and beyond its edges, and the jumps.
void tst_ArchPage::moving()
{
    QFETCH(QSize, size);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(int, free);

    MenuDriver &menu = sharedMenu(size);
    QVERIFY(listView(menu));
    const QList<quint32> labels = menu.instrument().archives().labels(
        TavrinInstrument::archiveIndex(3, 3), DorrikBus::TimeArch);
    const int rows = rowsShown(menu);
    QObject *page = menu.item(QStringLiteral("archivePage"));
    QMetaObject::invokeMethod(page, "last");
    QVERIFY(MenuDriver::waitFor([&] { return page->property("pendingJump").toString().isEmpty(); },
                                3000));
    QVERIFY(waitForCurrent(menu, labels.last()));
    listView(menu)->forceActiveFocus();

    for (const QString &key : keys.split(' ')) {
        const int times = key.endsWith("*r") ? rows : 1;
        for (int i = 0; i < times; ++i) {
            const QString before = currentText(menu);
            if (key.startsWith('U') || key.startsWith('D')) {
                menu.keyClick(key.startsWith('U') ? Qt::Key_Up : Qt::Key_Down);
            } else {
                QMetaObject::invokeMethod(page, key == "F" ? "first" : "last");
                MenuDriver::waitFor(
                    [&] { return page->property("pendingJump").toString().isEmpty(); }, 3000);
            }
            // Each step lands before the next: the list re-reads when it scrolls.
            MenuDriver::waitFor([&] { return currentText(menu) != before && recordShown(menu); },
                                1000);
        }
    }
    QJSEngine js;
    const int position = js.evaluate(QString(expected)
                                         .replace("N", QString::number(labels.size()))
                                         .replace("r", QString::number(rows)))
                             .toInt();
    QVERIFY(waitForCurrent(menu, labels.at(position)));
    QCOMPARE(rowCount(menu), rows - free);
    QCOMPARE(menu.item(QStringLiteral("archEndMark"))->isVisible(), free == 1);
}

void tst_ArchPage::shortArchive_data()
{
    QTest::addColumn<int>("free"); // rows of the list left without a record
    QTest::addColumn<bool>("endMark");

    QTest::newRow("one row free: end mark") << 1 << true;
    QTest::newRow("two rows free: no mark") << 2 << false;
}

// With fewer records than rows the end mark shows only when exactly one row stays free, and Down
// at the last row does nothing.
void tst_ArchPage::shortArchive()
{
    QFETCH(int, free);
    QFETCH(bool, endMark);

    MenuDriver probe;
    // The rows the page shows at this size, from a first look.
    setUpInstrument(probe.instrument(), 3, false, 0);
    QVERIFY(openPage(probe));
    const int rows = rowsShown(probe);

    MenuDriver menu;
    setUpInstrument(menu.instrument(), 3, false, 0);
    // Records at the interval's boundaries after the start of the history, up to now.
    menu.instrument().setArchiveHistory((rows - free) * Interval);
    QVERIFY(openPage(menu));
    const QList<quint32> labels = menu.instrument().archives().labels(
        TavrinInstrument::archiveIndex(0, 3), DorrikBus::TimeArch);
    QCOMPARE(labels.size(), rows - free);
    QVERIFY(waitForCurrent(menu, labels.last()));
    QCOMPARE(rowCount(menu), rows - free);
    QCOMPARE(menu.item(QStringLiteral("archEndMark"))->isVisible(), endMark);

    listView(menu)->forceActiveFocus();
    menu.keyClick(Qt::Key_Down);
    MenuDriver::settle(300);
    QCOMPARE(currentRow(menu), rows - free - 1);
    QVERIFY(waitForCurrent(menu, labels.last()));
}

// While the list is not full a record that the instrument adds shows within about a second.
void tst_ArchPage::newRecordShows()
{
    MenuDriver menu;
    TavrinInstrument &instrument = menu.instrument();
    setUpInstrument(instrument, 3, false, 0);
    instrument.setLoggingIntervalIndex(0); // a record every second
    instrument.setArchiveHistory(3);
    instrument.setMeasuring(true);
    QVERIFY(openPage(menu));
    const int before = rowCount(menu);
    QVERIFY(before < rowsShown(menu));
    QVERIFY(MenuDriver::waitFor([&] { return rowCount(menu) >= before + 2; }, 4000));
}

// Without a card the page says so and the erase is disabled; a card state change reads again.
void tst_ArchPage::memoryCard()
{
    MenuDriver menu;
    setUpInstrument(menu.instrument(), 3, false, 0);
    QVERIFY(openPage(menu));
    QQuickItem *erase = menu.item(QStringLiteral("archEraseButton"));
    QVERIFY(MenuDriver::waitFor([&] { return erase->isEnabled(); }, 3000));

    menu.instrument().clearRequests();
    menu.instrument().setCardStatus(0);
    QVERIFY(
        MenuDriver::waitFor([&] { return menu.itemByText("No memory card") != nullptr; }, 5000));
    QVERIFY(!erase->isEnabled());

    menu.instrument().setCardStatus(2);
    QVERIFY(
        MenuDriver::waitFor([&] { return menu.itemByText("No memory card") == nullptr; }, 5000));
    // The readable card again: the end searched back again, then the list.
    QVERIFY(MenuDriver::waitFor(
        [&] { return inOrder(described(menu.requests()), {"A66 0x0100 \\S+ \\d+ back"}); }, 3000));
    QVERIFY(MenuDriver::waitFor([&] { return erase->isEnabled(); }, 3000));
}

// While a configuration export runs, moving reads no record.
void tst_ArchPage::noReadWhileExporting()
{
    MenuDriver menu;
    setUpInstrument(menu.instrument(), 3, false, 0);
    QVERIFY(openPage(menu));
    QVERIFY(menu.evaluate("exportManager.active = true; exportManager.active").toBool());
    // The opening's own reads may still be on their way: they end, and none follow.
    QVERIFY(clearWhenQuiet(menu, [](const QList<InstrumentRequest> &requests) {
        return countOf(described(requests), "A6.*") > 0;
    }));
    listView(menu)->forceActiveFocus();
    menu.keyClick(Qt::Key_Up);
    MenuDriver::settle(500);
    QCOMPARE(countOf(described(menu.requests()), "A67 .*"), 0);
    QVERIFY(!recordShown(menu));
    menu.evaluate("exportManager.active = false");
    menu.keyClick(Qt::Key_Down);
    QVERIFY(MenuDriver::waitFor([&] { return recordShown(menu); }, 3000));
}

void tst_ArchPage::fields_data()
{
    QTest::addColumn<bool>("heatTab");
    QTest::addColumn<bool>("total");
    QTest::addColumn<QStringList>("captions"); // the fields' captions before their unit
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("flow rate, interval") << false << false << QStringList{"Archiving time:",
                                                                          "Work time, s",
                                                                          "Time without meas., s",
                                                                          "V+",
                                                                          "V-",
                                                                          "ES",
                                                                          "Qmin",
                                                                          "Qmax"}
                                         << QStringList{};
    QTest::newRow("flow rate, total")
        << false << true
        << QStringList{"Archiving time:", "Work time, s", "Time without meas., s", "V+", "V-"}
        << QStringList{"ES", "Qmin", "Qmax"};
    QTest::newRow("heat, interval") << true << false
                                    << QStringList{"Archiving time:",
                                                   "Work time, s",
                                                   "Time without meas., s",
                                                   "M+",
                                                   "W+",
                                                   "ES",
                                                   "Gmin",
                                                   "Gmax",
                                                   "t1avg",
                                                   "t2avg",
                                                   "Pavg"}
                                    << QStringList{"V+"};
    QTest::newRow("heat, total") << true << true << QStringList{"Archiving time:", "M+", "W+"}
                                 << QStringList{"ES", "Gmin", "t1avg"};
}

// The fields of each tab, interval or total by the box; the heat tab only with heat.
void tst_ArchPage::fields()
{
    QFETCH(bool, heatTab);
    QFETCH(bool, total);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, absent);

    auto &menu = m_menus[-1];
    if (!menu) {
        menu = std::make_unique<MenuDriver>();
        setUpInstrument(menu->instrument(), 3, true, 0);
        QVERIFY(openPage(*menu));
    }
    QQuickItem *tabs = menu->item(QStringLiteral("archTabs"));
    QVERIFY(MenuDriver::waitFor([&] { return tabs->isVisible(); }, 3000));
    QQuickItem *box = menu->item(QStringLiteral("archAccumulatedBox"));
    QVERIFY(box->isVisible());
    if (box->property("checked").toBool() != total) {
        box->forceActiveFocus();
        menu->keyClick(Qt::Key_Space);
    }
    QCOMPARE(menu->evaluate("menuSettings.archRecordShowAccumulated").toBool(), total);
    tabs->setProperty("currentIndex", heatTab ? 1 : 0);
    QVERIFY(MenuDriver::waitFor([&] { return recordShown(*menu); }, 3000));

    QObject *page = menu->item(QStringLiteral("archivePage"));
    const QVariantList fields = page->property("recordFields").toList();
    QStringList shown;
    QString es;
    for (const QVariant &field : fields) {
        const QVariantMap map = field.toMap();
        const QString caption = map.value("caption").toString();
        shown << caption.section(", ", 0, 0) + (caption.endsWith(", s") ? ", s" : "");
        if (caption == "ES")
            es = map.value("value").toString();
    }
    for (const QString &caption : captions)
        QVERIFY2(shown.contains(caption), qPrintable(caption + " not in " + shown.join("|")));
    for (const QString &caption : absent)
        QVERIFY2(!shown.contains(caption), qPrintable(caption + " in " + shown.join("|")));
    if (!total)
        QVERIFY2(es == "no" || QRegularExpression("^b[01]+$").match(es).hasMatch(), qPrintable(es));
}

// When heat support goes away the box unchecks and the stored choice becomes false.
void tst_ArchPage::heatSupportGoes()
{
    MenuDriver menu;
    setUpInstrument(menu.instrument(), 3, true, 0);
    QVERIFY(openPage(menu));
    QQuickItem *box = menu.item(QStringLiteral("archAccumulatedBox"));
    QVERIFY(MenuDriver::waitFor([&] { return box->isVisible(); }, 3000));
    box->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(box->property("checked").toBool());
    QVERIFY(menu.evaluate("menuSettings.archRecordShowAccumulated").toBool());

    menu.evaluate("deviceModbus.tvnGeneration = 1");
    QVERIFY(MenuDriver::waitFor([&] { return !box->isVisible(); }, 3000));
    QVERIFY(!menu.evaluate("menuSettings.archRecordShowAccumulated").toBool());
    QVERIFY(!box->property("checked").toBool());
}

// The erase asks first; Yes empties the current site's archive by its site index at 400023.
void tst_ArchPage::erase()
{
    MenuDriver menu;
    setUpInstrument(menu.instrument(), 3, false, 2);
    QVERIFY(openPage(menu));
    QQuickItem *erase = menu.item(QStringLiteral("archEraseButton"));
    QVERIFY(MenuDriver::waitFor([&] { return erase->isEnabled(); }, 3000));
    const QString question =
        "Do you want to erase current site archives?\n\nGlobal counters will be reset.";

    // The right key walks to the erase button; Return presses it.
    listView(menu)->forceActiveFocus();
    for (int i = 0; i < 6 && !erase->hasActiveFocus(); ++i)
        menu.keyClick(Qt::Key_Right);
    QVERIFY(erase->hasActiveFocus());
    menu.instrument().clearRequests();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) != nullptr; }, 3000));
    menu.keyClick(Qt::Key_Escape);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) == nullptr; }, 3000));
    QCOMPARE(countOf(described(menu.requests()), "W 400023 .*"), 0);

    erase->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) != nullptr; }, 3000));
    MenuDriver::settle(300);
    menu.keyClick(Qt::Key_Left); // Yes
    menu.keyClick(Qt::Key_Return);
    // Site 2 did not exist: its record is written first, then its archive erased.
    QVERIFY2(
        MenuDriver::waitFor(
            [&] {
                return inOrder(described(menu.requests()), {"FW 0x80 .*", "W 400023 aa550002"});
            },
            3000),
        qPrintable(described(menu.requests()).join(", ")));
    QCOMPARE(menu.instrument().archives().recordCount(TavrinInstrument::archiveIndex(2, 3)), 0);
}

void tst_ArchPage::eraseAsked_data()
{
    QTest::addColumn<bool>("siteChanges");
    QTest::newRow("the list is read again") << false;
    QTest::newRow("the current site changes under the question") << true;
}

// The question names the site; Yes erases that site's archive, whichever site is current by
// then, and the list is read again.
void tst_ArchPage::eraseAsked()
{
    QFETCH(bool, siteChanges);
    MenuDriver menu;
    TavrinInstrument &instrument = menu.instrument();
    setUpInstrument(instrument, 3, false, 0);
    instrument.setSiteRecord(0, "", "", "Alpha");
    instrument.setSiteRecord(1, "", "", "Beta");
    QVERIFY(openPage(menu));
    QQuickItem *erase = menu.item(QStringLiteral("archEraseButton"));
    QVERIFY(MenuDriver::waitFor([&] { return erase->isEnabled(); }, 3000));
    const QString question = "Do you want to erase current site archives?\n\nGlobal counters "
                             "will be reset.\n\nSite: \"Alpha\"";
    erase->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) != nullptr; }, 3000));
    if (siteChanges) {
        instrument.setCurrentSite(1);
        QVERIFY(MenuDriver::waitFor(
            [&] { return menu.evaluate("deviceModbus.siteIndex === 1").toBool(); }, 10000));
    }
    instrument.clearRequests();
    menu.keyClick(Qt::Key_Left); // Yes
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor(
        [&] { return inOrder(described(menu.requests()), {"W 400023 aa550000"}); }, 5000));
    MenuDriver::settle(300);
    QCOMPARE(countOf(described(menu.requests()), "W 400023 .*|FW .*"), 1);
    QCOMPARE(instrument.archives().recordCount(TavrinInstrument::archiveIndex(0, 3)), 0);
    QVERIFY(instrument.archives().recordCount(TavrinInstrument::archiveIndex(1, 3)) > 0);
    // The list shows what the archive holds now: nothing of site 0, all of site 1.
    if (siteChanges) {
        QVERIFY(MenuDriver::waitFor([&] { return rowCount(menu) > 0; }, 5000));
    } else {
        QVERIFY(MenuDriver::waitFor([&] { return rowCount(menu) == 0; }, 5000));
        QVERIFY(!recordShown(menu));
    }
}

// "Cumul. total" stored as checked, on an instrument without heat: the box is hidden and the
// record shows its interval fields.
void tst_ArchPage::storedTotalWithoutHeat()
{
    MenuDriver menu; // its own home and store from here on
    QSettings().setValue(QStringLiteral("archRecordShowAccumulated"), true);
    setUpInstrument(menu.instrument(), 1, false, 0);
    QVERIFY(openPage(menu));
    QVERIFY(menu.evaluate("menuSettings.archRecordShowAccumulated").toBool());
    QVERIFY(MenuDriver::waitFor([&] { return recordShown(menu); }, 5000));
    QVERIFY(!menu.item(QStringLiteral("archAccumulatedBox"))->isVisible());
    QStringList shown;
    for (const QVariant &field :
         menu.item(QStringLiteral("archivePage"))->property("recordFields").toList())
        shown << field.toMap().value("caption").toString().section(", ", 0, 0);
    for (const char *caption : {"ES", "Qmin", "Qmax"})
        QVERIFY2(shown.contains(QLatin1String(caption)), qPrintable(shown.join("|")));
}

QTEST_MAIN(tst_ArchPage)
#include "tst_archpage.moc"
