// The archival charts dialog against the simulated instrument: the count of a range, the read and
// its stop, the buttons of each tab and the switch between total and interval, and that a closed
// dialog asks the instrument nothing more.
#include "menucontext.h"
#include "menudriver.h"
#include "powermanager.h"
#include "requestlog.h"

#include <QDateTime>
#include <QDir>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

namespace {

using namespace RequestLog;

// A label as the script date of its wall clock.
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

QQuickItem *dialogOf(MenuDriver &menu)
{
    return menu.item(QStringLiteral("archChartsDialog"));
}

QString startText(MenuDriver &menu)
{
    QQuickItem *dialog = dialogOf(menu);
    if (!dialog)
        return QString();
    return dialog->property("startButton").value<QQuickItem *>()->property("caption").toString();
}

bool openPage(MenuDriver &menu)
{
    if (!menu.start()) {
        qWarning().noquote() << menu.error();
        return false;
    }
    if (!MenuDriver::waitFor(
            [&] { return menu.evaluate("deviceModbus.mainReadGroup.wasRead").toBool(); }, 10000))
        return false;
    menu.keyClick(Qt::Key_Period);
    QQuickItem *list = menu.item(QStringLiteral("archLabelsList"));
    return MenuDriver::waitFor(
        [&] {
            return list && list->isVisible() && list->property("count").toInt() > 0 &&
                   menu.item("archivePage")->property("recordShown").toBool();
        },
        10000);
}

// The charts by keys: right to the Charts button, Return.
bool openCharts(MenuDriver &menu)
{
    QQuickItem *charts = menu.item(QStringLiteral("archChartsButton"));
    menu.item(QStringLiteral("archLabelsList"))->forceActiveFocus();
    for (int i = 0; i < 6 && !charts->hasActiveFocus(); ++i)
        menu.keyClick(Qt::Key_Right);
    if (!charts->hasActiveFocus())
        return false;
    menu.keyClick(Qt::Key_Return);
    return MenuDriver::waitFor([&] { return dialogOf(menu) && dialogOf(menu)->isVisible(); }, 3000);
}

QList<quint32> siteLabels(MenuDriver &menu, int slot, int generation)
{
    return menu.instrument().archives().labels(TavrinInstrument::archiveIndex(slot, generation),
                                               DorrikBus::TimeArch);
}

void setRange(MenuDriver &menu, quint32 from, quint32 to)
{
    menu.evaluate("menuProps.archChartsFrom.value = " + scriptDate(from) +
                  "; menuProps.archChartsTo.value = " + scriptDate(to));
}

// The menus started while it lives are the instrument's own; the build's setting comes back after.
struct EmbeddedOverride
{
    EmbeddedOverride()
    {
        MenuContext::overrideEmbedded(1);
        PowerManager::overrideEmbedded(1);
    }
    ~EmbeddedOverride()
    {
        MenuContext::overrideEmbedded(-1);
        PowerManager::overrideEmbedded(-1);
    }
};

QStringList curveCaptions(MenuDriver &menu)
{
    QStringList captions;
    const QVariantList model = dialogOf(menu)->property("buttonsModel").toList();
    for (const QVariant &entry : model)
        captions << entry.toMap().value("caption").toString();
    return captions;
}

} // namespace

class tst_ArchCharts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void count_data();
    void count();
    void readAndDraw();
    void switchableButton();
    void closingStopsEverything_data();
    void closingStopsEverything();
    void buttonsPerTab_data();
    void buttonsPerTab();
    void noSleepWhileReading_data();
    void noSleepWhileReading();
    void firstRange();
    void countFollowsTheSite();
    void timeLabels_data();
    void timeLabels();

private:
    std::unique_ptr<MenuDriver> m_menu;
    QList<quint32> m_labels;
};

void tst_ArchCharts::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    m_menu->instrument().setGeneration(3);
    QVERIFY(openPage(*m_menu));
    m_labels = siteLabels(*m_menu, 0, 3);
    QVERIFY(m_labels.size() > 100);
    QVERIFY(openCharts(*m_menu));
}

// The menu shared by the first functions goes after them: the later ones make their own, and a
// second menu running beside them only loads the machine.
void tst_ArchCharts::cleanup()
{
    if (QByteArray(QTest::currentTestFunction()) == "switchableButton")
        m_menu.reset();
}

void tst_ArchCharts::cleanupTestCase()
{
    m_menu.reset();
}

void tst_ArchCharts::count_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("shown");

    QTest::newRow("5 records") << 5 << "5";
    QTest::newRow("30 records") << 30 << "30";
    QTest::newRow("31 records") << 31 << "> 30";
    QTest::newRow("100 records") << 100 << "> 30";
}

// The start button counts the range: "..." while counting, then the number, or "> 30".
void tst_ArchCharts::count()
{
    QFETCH(int, records);
    QFETCH(QString, shown);

    setRange(*m_menu, m_labels.at(0), m_labels.at(records - 1));
    QCOMPARE(startText(*m_menu), QString("Plot \n... records"));
    QVERIFY2(MenuDriver::waitFor(
                 [&] { return startText(*m_menu) == "Plot \n" + shown + " records"; }, 3000),
             qPrintable(startText(*m_menu)));
}

// Start reads the range, shows the progress and Stop; the chart holds every record read.
void tst_ArchCharts::readAndDraw()
{
    MenuDriver &menu = *m_menu;
    setRange(menu, m_labels.at(10), m_labels.at(69));
    QQuickItem *dialog = dialogOf(menu);
    auto *start = dialog->property("startButton").value<QQuickItem *>();
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu).contains("> 30"); }, 3000));
    start->forceActiveFocus();
    menu.instrument().clearRequests();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu) == "Stop"; }, 2000));
    QVERIFY(dialog->property("caption").toString().startsWith("Archival charts\n"));
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu).startsWith("Plot"); }, 10000));
    auto *curve = dialog->property("curve").value<QObject *>();
    QCOMPARE(curve->property("count").toInt(), 60);
    QCOMPARE(dialog->property("caption").toString(), QString("Archival charts (V+)"));
    // Ten labels a request, the current site's archive only.
    const QStringList log = described(menu.requests());
    QVERIFY(countOf(log, "A66 0x0100 \\S+ 1[01]") > 0);
    QCOMPARE(countOf(log, "A6[67] 0x0(?!100).*"), 0);
}

// A checked switchable button switches between total and interval; another button takes the
// curve.
void tst_ArchCharts::switchableButton()
{
    MenuDriver &menu = *m_menu;
    QQuickItem *dialog = dialogOf(menu);
    auto *curve = dialog->property("curve").value<QObject *>();
    QQuickItem *vPlus = menu.item("curveButton_V+");
    QQuickItem *qMin = menu.item("curveButton_Qmin");
    QVERIFY(vPlus && qMin);
    auto modeText = [&] {
        for (QQuickItem *child : vPlus->childItems()) {
            if (child->objectName() == "curveModeText")
                return child->isVisible() ? child->property("text").toString() : QString();
        }
        return QString();
    };
    QVERIFY(vPlus->property("checked").toBool());
    QCOMPARE(curve->property("yRole").toString(), QString("vPlus"));
    QCOMPARE(modeText(), QString("Total"));

    vPlus->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QCOMPARE(curve->property("yRole").toString(), QString("dVPlus"));
    QCOMPARE(modeText(), QString("For interval"));
    QVERIFY(vPlus->property("checked").toBool());

    qMin->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QCOMPARE(curve->property("yRole").toString(), QString("dMinVolumeFlowRate"));
    QVERIFY(!vPlus->property("checked").toBool());
    QCOMPARE(modeText(), QString());
    QCOMPARE(dialog->property("caption").toString(), QString("Archival charts (Qmin)"));

    vPlus->forceActiveFocus();
    menu.keyClick(Qt::Key_Return);
    QCOMPARE(curve->property("yRole").toString(), QString("dVPlus"));
}

void tst_ArchCharts::closingStopsEverything_data()
{
    QTest::addColumn<bool>("whileReading");
    QTest::newRow("while counting") << false;
    QTest::newRow("while reading") << true;
}

// Closing the dialog aborts the counter and the reader: no request follows.
void tst_ArchCharts::closingStopsEverything()
{
    QFETCH(bool, whileReading);

    MenuDriver menu;
    menu.instrument().setGeneration(3);
    QVERIFY(openPage(menu));
    const QList<quint32> labels = siteLabels(menu, 0, 3);
    setRange(menu, labels.first(), labels.last());
    QVERIFY(openCharts(menu));
    if (whileReading) {
        QVERIFY(MenuDriver::waitFor([&] { return startText(menu).contains("> 30"); }, 3000));
        QMetaObject::invokeMethod(dialogOf(menu), "start");
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return dialogOf(menu)
                           ->property("readerItem")
                           .value<QObject *>()
                           ->property("progress")
                           .toInt() > 20;
            },
            5000));
    }
    menu.keyClick(Qt::Key_Escape);
    QVERIFY(MenuDriver::waitFor([&] { return dialogOf(menu) == nullptr; }, 3000));
    MenuDriver::settle(200);
    menu.instrument().clearRequests();
    MenuDriver::settle(1500);
    QCOMPARE(countOf(described(menu.requests()), "A6[67] .*"), 0);
}

void tst_ArchCharts::buttonsPerTab_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<bool>("heatTab");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("flow rate") << 3 << false << QStringList{"V+", "V-", "Qmin", "Qmax"};
    QTest::newRow("heat, generation 3")
        << 3 << true << QStringList{"M+", "W+", "Gmin", "Gmax", "P"};
    QTest::newRow("heat, generation 2, no pressure")
        << 2 << true << QStringList{"M+", "W+", "Gmin", "Gmax"};
}

// The buttons of each tab; pressure only from generation 3.
void tst_ArchCharts::buttonsPerTab()
{
    QFETCH(int, generation);
    QFETCH(bool, heatTab);
    QFETCH(QStringList, captions);

    MenuDriver menu(QSize(640, 480));
    menu.instrument().setGeneration(generation);
    menu.instrument().setHeatChannel(true);
    QVERIFY(openPage(menu));
    QQuickItem *tabs = menu.item(QStringLiteral("archTabs"));
    QVERIFY(MenuDriver::waitFor([&] { return tabs->isVisible(); }, 3000));
    tabs->setProperty("currentIndex", heatTab ? 1 : 0);
    QVERIFY(openCharts(menu));
    QCOMPARE(curveCaptions(menu), captions);
}

void tst_ArchCharts::noSleepWhileReading_data()
{
    QTest::addColumn<bool>("reading");
    QTest::newRow("reading: no sleep while the read lasts") << true;
    QTest::newRow("idle: the sleep comes") << false;
}

// On the instrument a read longer than the display-off interval keeps the device awake; without
// a read the same wait ends in the sleep. No key is pressed during the wait: a key would restart
// the inactivity timer by itself.
void tst_ArchCharts::noSleepWhileReading()
{
    QFETCH(bool, reading);

    MenuDriver menu(QSize(640, 480));
    menu.instrument().setGeneration(3);
    // The state file the test platform's sleep writes.
    QDir().mkpath(menu.homePath() + QStringLiteral("/power/sys/power"));
    {
        EmbeddedOverride embedded;
        QVERIFY(openPage(menu));
    }
    QVERIFY(menu.evaluate("menuContext.embedded").toBool());
    const QList<quint32> labels = siteLabels(menu, 0, 3);
    setRange(menu, labels.first(), labels.last());
    QVERIFY(openCharts(menu));
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu).contains("> 30"); }, 3000));

    auto *power = qobject_cast<PowerManager *>(menu.object(QStringLiteral("powerManager")));
    QVERIFY(power && power->embedded());
    menu.evaluate(QStringLiteral("powerManager.sleepEnabled = true; "
                                 "powerManager.sleepInterval = %1")
                      .arg(PowerManager::MinSleepInterval));
    QVERIFY(power->sleepEnabled());
    QCOMPARE(power->sleepInterval(), int(PowerManager::MinSleepInterval));
    QSignalSpy beforeSleep(power, &PowerManager::beforeSleep);
    QSignalSpy sleeping(power, &PowerManager::sleepingChanged);

    // Slow enough for the whole range to outlast the wait by far.
    menu.instrument().setDelay(500);
    const int wait = PowerManager::MinSleepInterval * 3 / 2;
    if (reading) {
        QMetaObject::invokeMethod(dialogOf(menu), "start");
        QVERIFY(MenuDriver::waitFor([&] { return startText(menu) == "Stop"; }, 3000));
        MenuDriver::waitFor([&] { return !beforeSleep.isEmpty(); }, wait);
        QVERIFY2(startText(menu) == "Stop", "the read ended before the wait did");
        QCOMPARE(beforeSleep.count(), 0);
        QCOMPARE(sleeping.count(), 0);
    } else {
        QVERIFY(MenuDriver::waitFor([&] { return !beforeSleep.isEmpty(); }, wait));
        QCOMPARE(sleeping.count(), 2);
    }
    QVERIFY(!power->sleeping());
    menu.instrument().setDelay(0);
}

// On first use (no range stored) the dialog opens on the last day up to the newest record, and
// counts it.
void tst_ArchCharts::firstRange()
{
    MenuDriver menu;
    menu.instrument().setGeneration(3);
    QVERIFY(openPage(menu));
    QVERIFY(openCharts(menu));
    const quint32 newest = siteLabels(menu, 0, 3).last();
    const auto shown = [&](const char *name) {
        return menu
            .evaluate(QStringLiteral("Qt.formatDateTime(menuSettings.%1, "
                                     "'yyyy-MM-dd hh:mm:ss')")
                          .arg(QLatin1String(name)))
            .toString();
    };
    const auto text = [](quint32 label) {
        return QDateTime::fromSecsSinceEpoch(label, Qt::UTC).toString("yyyy-MM-dd hh:mm:ss");
    };
    QTRY_COMPARE_WITH_TIMEOUT(shown("archChartsTo"), text(newest), 5000);
    QCOMPARE(shown("archChartsFrom"), text(newest - 24 * 3600));
    QVERIFY2(MenuDriver::waitFor([&] { return startText(menu) == "Plot \n> 30 records"; }, 5000),
             qPrintable(startText(menu)));
}

// Another site becomes current while the dialog is open: its archive is counted.
void tst_ArchCharts::countFollowsTheSite()
{
    MenuDriver menu;
    menu.instrument().setGeneration(3);
    QVERIFY(openPage(menu));
    QVERIFY(openCharts(menu));
    const QList<quint32> labels = siteLabels(menu, 0, 3);
    setRange(menu, labels.at(0), labels.at(4));
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu) == "Plot \n5 records"; }, 5000));
    menu.instrument().clearRequests();
    menu.instrument().setCurrentSite(1);
    QVERIFY2(MenuDriver::waitFor(
                 [&] { return inOrder(described(menu.requests()), {"A66 0x0101 .*"}); }, 10000),
             qPrintable(described(menu.requests()).filter(QRegularExpression("^A")).join(", ") +
                        " site " + menu.evaluate("deviceProps.currentSite.value").toString()));
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu) == "Plot \n5 records"; }, 5000));
}

void tst_ArchCharts::timeLabels_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<QString>("format");
    QTest::newRow("six hours: times") << 6 << "^\\d\\d:\\d\\d:\\d\\d$";
    QTest::newRow("three days: dates and times") << 72 << "^\\d\\d\\.\\d\\d \\d\\d:\\d\\d$";
}

// The time axis of a chart over several days says the day of each time.
void tst_ArchCharts::timeLabels()
{
    QFETCH(int, hours);
    QFETCH(QString, format);
    MenuDriver menu;
    menu.instrument().setGeneration(3);
    menu.instrument().setArchiveHistory(3 * 24 * 3600);
    QVERIFY(openPage(menu));
    QVERIFY(openCharts(menu));
    const QList<quint32> labels = siteLabels(menu, 0, 3);
    setRange(menu, labels.last() - quint32(hours) * 3600, labels.last());
    QQuickItem *dialog = dialogOf(menu);
    QVERIFY(MenuDriver::waitFor([&] { return startText(menu).contains("> 30"); }, 5000));
    QMetaObject::invokeMethod(dialog, "start");
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return dialog->property("chartShown").toBool() && !dialog->property("reading").toBool();
        },
        30000));
    const QRegularExpression pattern(format);
    for (const char *name : {"chartsFirstTime", "chartsLastTime"}) {
        const QString text = menu.item(QLatin1String(name))->property("text").toString();
        QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
    }
}

QTEST_MAIN(tst_ArchCharts)
#include "tst_archcharts.moc"
