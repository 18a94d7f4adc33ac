// The measurement page, its dialogs and the status strip against the simulated instrument: what
// the tiles and indicators show for the instrument's registers, where their clicks lead, and
// which registers are polled while a dialog shows.
#include "filesizelimit.h"
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"
#include "panelkeys.h"
#include "requestlog.h"

#include <QColor>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStyleHints>
#include <QtTest>

#include <algorithm>

namespace {

using namespace RequestLog;

constexpr quint32 FlowRate = 300720;
constexpr quint32 EsSecondary = 300724;
constexpr quint32 Failures = 300751;
constexpr quint32 CardStatus = 300754;
constexpr quint32 PowerStatus = 300746;
constexpr quint32 ChargeLevel = 300747;
constexpr quint32 UsbState = 300764;
constexpr quint32 FlowHistory = 300533;
constexpr quint32 AdcForward = 302001;
constexpr quint32 AdcBackward = 304049;
constexpr quint32 AdcParams = 301988;
constexpr quint32 HeatSupplySystem = 401025;

// One register, as another client or the instrument itself leaves it.
void setRegister(MenuDriver &menu, quint32 address, quint16 value)
{
    menu.instrument().setRegisters(address, ModbusBytes::fromUInt16(value));
}

QString currentFrame(MenuDriver &menu)
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *frame = navigation ? navigation->property("currentFrame").value<QObject *>() : nullptr;
    return frame ? frame->objectName() : QString();
}

int currentPage(MenuDriver &menu)
{
    return menu.evaluate(QStringLiteral("navigationManager.currentPageIndex")).toInt();
}

QObject *activePopup(MenuDriver &menu)
{
    return menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
}

bool waitForPopup(MenuDriver &menu, const char *file)
{
    return MenuDriver::waitFor(
        [&] {
            QObject *popup = activePopup(menu);
            return popup && popup->metaObject()->className() &&
                   QString::fromLatin1(popup->metaObject()->className()).startsWith(file) &&
                   popup->property("topActive").toBool();
        },
        3000);
}

bool waitForNoPopup(MenuDriver &menu)
{
    return MenuDriver::waitFor([&] { return activePopup(menu) == nullptr; }, 3000);
}

// By the visual tree: what a repeater makes is not a QObject child of where it shows.
QQuickItem *child(QObject *parent, const QString &name)
{
    auto *item = qobject_cast<QQuickItem *>(parent);
    if (!item)
        return nullptr;
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *c : children) {
        if (c->objectName() == name)
            return c;
    }
    for (QQuickItem *c : children) {
        if (QQuickItem *found = child(c, name))
            return found;
    }
    return nullptr;
}

// The tile's value as its property formats it: the register at the property's precision.
QString flowText(MenuDriver &menu)
{
    const float flow = menu.instrument().registers(FlowRate, 2).toFloat(0);
    return QString::number(double(flow), 'f', 3);
}

bool showLeftPage(MenuDriver &menu)
{
    menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piLeft)"));
    QQuickItem *view = menu.item(QStringLiteral("pagesView"));
    return view && MenuDriver::waitFor(
                       [&] {
                           return qAbs(view->property("contentX").toReal() -
                                       view->property("originX").toReal()) < 0.5 &&
                                  !view->property("moving").toBool();
                       },
                       3000);
}

// The capture command register of the menu's connection type.
quint32 adcCommand(MenuDriver &menu)
{
    return 400124 + menu.evaluate(QStringLiteral("menuContext.connectionType")).toUInt();
}

int readsSince(MenuDriver &menu, int from, quint32 address)
{
    return readsOf(menu.requests().mid(from), address);
}

} // namespace

class tst_MeasurePage : public QObject
{
    Q_OBJECT

private slots:
    void tilesFollowTheLiveBlock_data();
    void tilesFollowTheLiveBlock();
    void flaggedStatusTile();
    void tabsByGenerationAndHeat_data();
    void tabsByGenerationAndHeat();
    void stripElements_data();
    void stripElements();
    void clockInVerboseModeOpensTheLog();
    void calibrationClickOpensItsWizard();
    void startAsksAndWrites();
    void bigDialogPollsItsHistoryWhileShown();
    void bigDialogFromStatusTile();
    void signalsDialogCaptures();
    void signalsDialogMeasuringOff();
    void signalsDialogCloseAbortsArrays();
    void signalFileGrowsPerCapture();
    void signalFileFailure_data();
    void signalFileFailure();
    void additionalRowsByTab_data();
    void additionalRowsByTab();
    void touchTest();
    void pageByPanelKeys();
};

void tst_MeasurePage::tilesFollowTheLiveBlock_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("800x600") << QSize(800, 600);
    QTest::newRow("640x480") << QSize(640, 480);
}

void tst_MeasurePage::tilesFollowTheLiveBlock()
{
    QFETCH(QSize, size);
    MenuDriver menu(size);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QQuickItem *tile = menu.item(QStringLiteral("flowTile0"));
    QVERIFY(tile);
    QQuickItem *value = child(tile, QStringLiteral("tileValue"));
    QString first;
    QVERIFY(MenuDriver::waitFor(
        [&] {
            first = flowText(menu);
            return value->property("text").toString() == first;
        },
        5000));
    QCOMPARE(child(tile, QStringLiteral("tileDimension"))->property("text").toString(),
             QStringLiteral("m³/h"));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const QString now = flowText(menu);
            return now != first && value->property("text").toString() == now;
        },
        5000));
    // Every tile lies inside the window.
    for (int i = 0; i < 6; ++i) {
        QQuickItem *t = menu.item(QStringLiteral("flowTile%1").arg(i));
        const QRectF r = t->mapRectToScene(QRectF(0, 0, t->width(), t->height()));
        QVERIFY2(r.right() <= size.width() && r.bottom() <= size.height() - 60,
                 qPrintable(QStringLiteral("tile %1").arg(i)));
    }
    // In another unit the tile shows the converted value and that unit.
    menu.evaluate(QStringLiteral("menuSettings.flowRateDimensionIndex = 2"));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return child(tile, QStringLiteral("tileDimension"))->property("text").toString() ==
                   QStringLiteral("l/min");
        },
        3000));
}

void tst_MeasurePage::flaggedStatusTile()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QQuickItem *tile = menu.item(QStringLiteral("flowTile2"));
    QQuickItem *value = child(tile, QStringLiteral("tileValue"));
    QQuickItem *unit = child(tile, QStringLiteral("tileDimension"));
    const qreal mm = menu.evaluate(QStringLiteral("starter.mm")).toReal();
    QVERIFY(MenuDriver::waitFor([&] { return value->property("text").toString() == "no"; }, 5000));
    QVERIFY(qAbs(unit->width() - 2 * mm) < 0.01);

    setRegister(menu, EsSecondary, 0x0002);
    QVERIFY2(
        MenuDriver::waitFor([&] { return value->property("text").toString() == "b000010"; }, 5000),
        qPrintable(value->property("text").toString()));
    QCOMPARE(value->property("color").value<QColor>(), QColor("#D00000"));
    QVERIFY(qAbs(unit->width() - 16 * mm) < 0.01);
    // The strip's mark of emergency situations shows with it.
    QVERIFY(menu.item(QStringLiteral("esIndicator"))->isVisible());
}

void tst_MeasurePage::tabsByGenerationAndHeat_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<bool>("heatChannel");
    QTest::addColumn<int>("heatSupply");
    QTest::addColumn<bool>("tabs");
    QTest::newRow("generation 1") << 1 << true << 1 << false;
    QTest::newRow("generation 2, heat on") << 2 << true << 1 << true;
    QTest::newRow("generation 2, heat calculation off") << 2 << true << 0 << false;
    QTest::newRow("generation 2, no heat channel") << 2 << false << 1 << false;
}

void tst_MeasurePage::tabsByGenerationAndHeat()
{
    QFETCH(int, generation);
    QFETCH(bool, heatChannel);
    QFETCH(int, heatSupply);
    QFETCH(bool, tabs);
    MenuDriver menu;
    menu.instrument().setGeneration(generation);
    menu.instrument().setHeatChannel(heatChannel);
    setRegister(menu, HeatSupplySystem, quint16(heatSupply));
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return menu
                .evaluate(QStringLiteral("deviceModbus.realFirmwareVer.generationDetermined"))
                .toBool();
        },
        5000));
    QQuickItem *tabControl = menu.item(QStringLiteral("measureTabs"));
    QVERIFY(tabControl);
    if (tabs) {
        QVERIFY(MenuDriver::waitFor([&] { return tabControl->isVisible(); }, 5000));
    } else {
        MenuDriver::settle(1500);
        QVERIFY(!tabControl->isVisible());
    }
    QQuickItem *heatGrid = menu.item(QStringLiteral("heatGrid"));
    QQuickItem *flowGrid = menu.item(QStringLiteral("flowGrid"));
    QVERIFY(MenuDriver::waitFor([&] { return flowGrid->parentItem()->isVisible(); }, 2000));
    if (!tabs)
        return;
    tabControl->setProperty("currentIndex", 1);
    QVERIFY(MenuDriver::waitFor([&] { return heatGrid->parentItem()->opacity() == 1; }, 2000));
    QQuickItem *mass = child(menu.item(QStringLiteral("heatTile0")), QStringLiteral("tileValue"));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const float rate = menu.instrument().registers(300771, 2).toFloat(0);
            return mass->property("text").toString() == QString::number(double(rate), 'f', 3);
        },
        5000));
    // Heat turned off from elsewhere: back to the flow rate grid.
    setRegister(menu, HeatSupplySystem, 0);
    menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
    QVERIFY(MenuDriver::waitFor([&] { return !tabControl->isVisible(); }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return flowGrid->parentItem()->opacity() == 1; }, 2000));
}

void tst_MeasurePage::stripElements_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<quint16>("value");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("page");
    QTest::newRow("failure") << Failures << quint16(0x0004) << "failureIndicator"
                             << "failuresFrame" << 1;
    QTest::newRow("usb") << UsbState << quint16(1) << "usbIndicator"
                         << "deviceStatusFrame" << 1;
    QTest::newRow("clock") << 0u << quint16(0) << "clocksIndicator"
                           << "systemSettingsFrame" << 1;
    QTest::newRow("schedule") << 300753u << quint16(1) << "scheduleIndicator"
                              << "scheduleSettingsFrame" << 1;
    QTest::newRow("status word") << EsSecondary << quint16(1) << "esIndicator"
                                 << "mainFrame" << 0;
    QTest::newRow("measuring") << 300752u << quint16(0x0100) << "measureIndicator"
                               << "mainFrame" << 0;
    QTest::newRow("card error") << CardStatus << quint16(3) << "cardIndicator"
                                << "dataLoggerFrame" << 1;
    QTest::newRow("power") << PowerStatus << quint16(1) << "powerIndicator"
                           << "deviceStatusFrame" << 1;
    QTest::newRow("site") << 0u << quint16(0) << "objectIndicator"
                          << "sitesFrame" << 1;
}

void tst_MeasurePage::stripElements()
{
    QFETCH(quint32, address);
    QFETCH(quint16, value);
    QFETCH(QString, element);
    QFETCH(QString, frame);
    QFETCH(int, page);
    MenuDriver menu;
    if (address == 300752u)
        menu.instrument().setMeasuring(true);
    else if (address != 0)
        setRegister(menu, address, value);
    if (address == PowerStatus)
        setRegister(menu, ChargeLevel, 15);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "mainFrame"; }, 5000));
    QQuickItem *item = menu.item(element);
    QVERIFY(item);
    QVERIFY(MenuDriver::waitFor(
        [&] { return item->isVisible() && item->isEnabled() && item->opacity() == 1; }, 5000));
    if (element == "powerIndicator") {
        // 15 % on battery: in danger.
        QVERIFY(MenuDriver::waitFor([&] { return item->property("danger").toBool(); }, 3000));
        QVERIFY(item->property("showBattery").toBool());
        QVERIFY(!item->property("showAdapter").toBool());
    }
    if (element == "cardIndicator")
        QVERIFY(item->property("error").toBool());
    if (element == "clocksIndicator") {
        const QString text = item->property("text").toString();
        QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  \\d\\d\\.\\d\\d\\.\\d{4}$")
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
    }
    if (element == "usbIndicator")
        QVERIFY(item->property("doubleWidth").toBool());
    // The site's name takes clicks once the table has told it.
    if (element == "objectIndicator")
        QVERIFY(MenuDriver::waitFor([&] { return !item->property("text").toString().isEmpty(); },
                                    5000));
    if (element == "failureIndicator")
        QVERIFY(!menu.item(QStringLiteral("usbIndicator"))->isVisible());
    // Clicked from another page and frame: the click decides both.
    menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piRight)"));
    QVERIFY(MenuDriver::waitFor([&] { return currentPage(menu) == 2; }, 2000));
    menu.click(item);
    QVERIFY(MenuDriver::waitFor([&] { return currentPage(menu) == page; }, 3000));
    QVERIFY2(MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 3000),
             qPrintable(currentFrame(menu)));
}

void tst_MeasurePage::clockInVerboseModeOpensTheLog()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    menu.context()->setVerbose(true);
    QQuickItem *clock = menu.item(QStringLiteral("clocksIndicator"));
    QVERIFY(MenuDriver::waitFor([&] { return clock->isVisible() && clock->opacity() == 1; }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "mainFrame"; }, 5000));
    menu.click(clock);
    QVERIFY(waitForPopup(menu, "LogDialog"));
    QCOMPARE(currentFrame(menu), QStringLiteral("mainFrame"));
}

// While a calibration runs the measuring mark pulses and leads to that calibration's wizard;
// the Start button is disabled meanwhile.
void tst_MeasurePage::calibrationClickOpensItsWizard()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "mainFrame"; }, 5000));
    // Another client starts the zero offset calibration.
    setRegister(menu, 300769, 1);
    QQuickItem *mark = menu.item(QStringLiteral("measureIndicator"));
    QVERIFY(MenuDriver::waitFor([&] { return mark->property("pulsing").toBool(); }, 5000));
    QQuickItem *start = menu.item(QStringLiteral("startButton"));
    QVERIFY(!start->isEnabled());
    QVERIFY(MenuDriver::waitFor([&] { return mark->opacity() == 1; }, 2000));
    menu.click(mark);
    QVERIFY(MenuDriver::waitFor(
        [&] { return currentFrame(menu) == "calibratingZeroFlowOffsetFrame"; }, 3000));
    QCOMPARE(currentPage(menu), 1);
    setRegister(menu, 300769, 0);
    QVERIFY(MenuDriver::waitFor([&] { return start->isEnabled(); }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return !mark->property("pulsing").toBool(); }, 3000));
}

void tst_MeasurePage::startAsksAndWrites()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QQuickItem *start = menu.item(QStringLiteral("startButton"));
    QVERIFY(MenuDriver::waitFor([&] { return start->property("caption") == "Start"; }, 5000));
    const int before = int(menu.requests().size());
    menu.click(start);
    QVERIFY(
        MenuDriver::waitFor([&] { return menu.itemByText("Start measure?") != nullptr; }, 3000));
    // Nothing is written before the answer.
    QVERIFY(!described(menu.requests().mid(before)).contains("W 400127 0001"));
    QQuickItem *yes = menu.item(QStringLiteral("confirmYesButton"));
    QVERIFY(yes);
    menu.click(yes);
    QVERIFY(MenuDriver::waitFor(
        [&] { return described(menu.requests().mid(before)).contains("W 400127 0001"); }, 3000));
    QVERIFY(MenuDriver::waitFor([&] { return start->property("caption") == "Stop"; }, 5000));
    QVERIFY(start->property("checked").toBool());
}

void tst_MeasurePage::bigDialogPollsItsHistoryWhileShown()
{
    MenuDriver menu;
    menu.instrument().setMeasuring(true);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QQuickItem *tile = menu.item(QStringLiteral("flowTile0"));
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), FlowHistory), 0);
    menu.click(tile);
    QVERIFY(waitForPopup(menu, "BigMeasureDialog"));
    QObject *dialog = activePopup(menu);
    QCOMPARE(dialog->property("caption").toString(), QStringLiteral("Flow rate, m³/h"));
    QVERIFY(dialog->property("showTrend").toBool());
    QVERIFY(MenuDriver::waitFor([&] { return readsOf(menu.requests(), FlowHistory) >= 2; }, 5000));
    QQuickItem *plot = child(dialog, QStringLiteral("bigTrend"));
    QVERIFY(MenuDriver::waitFor([&] { return plot->property("hasData").toBool(); }, 5000));

    // Maximised: more points, the two scaling buttons, Peak checked first.
    menu.click(plot);
    QVERIFY(MenuDriver::waitFor([&] { return dialog->property("maximized").toBool(); }, 2000));
    QQuickItem *average = child(dialog, QStringLiteral("averagePercentsButton"));
    QQuickItem *peak = child(dialog, QStringLiteral("peakButton"));
    QVERIFY(average->isVisible() && peak->isVisible());
    QCOMPARE(average->property("caption").toString(), QStringLiteral("±20%"));
    QCOMPARE(peak->property("caption").toString(), QStringLiteral("Peak"));
    QVERIFY(peak->property("checked").toBool());
    QCOMPARE(plot->property("viewCount").toInt(), 300);
    const int peakScale = plot->property("scaleV").toInt();
    menu.click(average);
    QVERIFY(average->property("checked").toBool() && !peak->property("checked").toBool());
    QCOMPARE(plot->property("scaleVPercents").toReal(), 20.0);
    QVERIFY(plot->property("scaleV").toInt() != peakScale);

    // Restored, the small trend is peak to peak again; maximised anew, it starts there too.
    menu.click(plot);
    QVERIFY(MenuDriver::waitFor([&] { return !dialog->property("maximized").toBool(); }, 2000));
    QCOMPARE(plot->property("scaleV").toInt(), peakScale);
    QCOMPARE(plot->property("scaleVPercents").toReal(), 100.0);
    menu.click(plot);
    QVERIFY(MenuDriver::waitFor([&] { return dialog->property("maximized").toBool(); }, 2000));
    QVERIFY(peak->property("checked").toBool() && !average->property("checked").toBool());
    QCOMPARE(plot->property("scaleV").toInt(), peakScale);

    // Covered by another popup it polls nothing, and again once that one goes.
    menu.evaluate(QStringLiteral("screenManager.showPopup('dialogs/MessageBoxDialog.qml', "
                                 "{caption: 'Covering'}, true)"));
    QVERIFY(MenuDriver::waitFor([&] { return !dialog->property("topActive").toBool(); }, 3000));
    MenuDriver::settle(300);
    int from = int(menu.requests().size());
    MenuDriver::settle(2500);
    QCOMPARE(readsSince(menu, from, FlowHistory), 0);
    menu.evaluate(QStringLiteral("screenManager.closeTopPopup()"));
    QVERIFY(MenuDriver::waitFor([&] { return dialog->property("topActive").toBool(); }, 3000));
    from = int(menu.requests().size());
    QVERIFY(MenuDriver::waitFor([&] { return readsSince(menu, from, FlowHistory) > 0; }, 5000));

    // Minimised it polls nothing; closed neither.
    QMetaObject::invokeMethod(dialog, "minimize");
    MenuDriver::settle(300);
    from = int(menu.requests().size());
    MenuDriver::settle(2500);
    QCOMPARE(readsSince(menu, from, FlowHistory), 0);
    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    QVERIFY(waitForNoPopup(menu));
    from = int(menu.requests().size());
    MenuDriver::settle(2500);
    QCOMPARE(readsSince(menu, from, FlowHistory), 0);
}

void tst_MeasurePage::bigDialogFromStatusTile()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    setRegister(menu, EsSecondary, 0x0001);
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.evaluate("deviceProps.esSecondary.hasFlags").toBool(); }, 5000));
    menu.click(menu.item(QStringLiteral("flowTile2")));
    QVERIFY(waitForPopup(menu, "BigMeasureDialog"));
    QObject *dialog = activePopup(menu);
    QVERIFY(!dialog->property("showTrend").toBool());
    QVERIFY(!child(dialog, QStringLiteral("bigTrend"))->isVisible());
    // The grid shows the status word by its bits, the others formatted.
    QVERIFY2(
        MenuDriver::waitFor(
            [&] { return child(dialog, "otherValue2")->property("text").toString() == "b000001"; },
            2000),
        qPrintable(child(dialog, "otherValue2")->property("text").toString()));
    QCOMPARE(child(dialog, "otherValue0")->property("text").toString(),
             menu.evaluate("deviceProps.flowRate.formatValue").toString());
    // Close has the focus: Return closes.
    menu.window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(menu.window()));
    QVERIFY(MenuDriver::waitFor([&] { return child(dialog, "bigCloseButton")->hasActiveFocus(); },
                                3000));
    menu.keyClick(Qt::Key_Return);
    QVERIFY(waitForNoPopup(menu));
}

void tst_MeasurePage::signalsDialogCaptures()
{
    MenuDriver menu;
    menu.instrument().setMeasuring(true);
    menu.instrument().setCaptureTime(200);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), adcCommand(menu)), 0);
    const int from = int(menu.requests().size());
    menu.click(menu.item(QStringLiteral("signalsButton")));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    QObject *dialog = activePopup(menu);
    QQuickItem *forward = child(dialog, QStringLiteral("forwardPlot"));
    QQuickItem *backward = child(dialog, QStringLiteral("backwardPlot"));
    QVERIFY(
        MenuDriver::waitFor([&] { return forward->isVisible() && backward->isVisible(); }, 8000));
    // Each capture: command done, both arrays and the offsets read, the command written again.
    const QString command = QString::number(adcCommand(menu));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return inOrder(described(menu.requests().mid(from)),
                           {"W " + command + " 0001", "R " + command + " 1", "R 302001 .*",
                            "R 304049 .*", "R 301988 8", "W " + command + " 0001", "R 302001 .*"});
        },
        8000));
    QCOMPARE(forward->property("curve").value<QObject *>()->property("count").toInt(), 2048);
    QVERIFY(!menu.itemByText("Measurements turned off"));

    // Window view and back, by click.
    QVERIFY(!forward->property("windowScaled").toBool());
    menu.click(forward);
    QVERIFY(forward->property("windowScaled").toBool());
    QObject *chart = child(forward, QStringLiteral("signalChart"));
    const qreal offset = forward->property("windowOffset").toReal();
    QCOMPARE(chart->property("xMin").toReal(), offset);
    QCOMPARE(chart->property("xMax").toReal(), offset + 500);
    // Past the double-click time: a second click of its own.
    MenuDriver::settle(qApp->styleHints()->mouseDoubleClickInterval() + 100);
    menu.click(forward);
    QCOMPARE(chart->property("xMax").toReal(), 2048.0);

    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    QVERIFY(waitForNoPopup(menu));
    MenuDriver::settle(300);
    const int after = int(menu.requests().size());
    MenuDriver::settle(2500);
    QCOMPARE(readsSince(menu, after, adcCommand(menu)), 0);
    QCOMPARE(readsSince(menu, after, AdcForward), 0);
}

void tst_MeasurePage::signalsDialogMeasuringOff()
{
    MenuDriver menu;
    menu.instrument().setMeasuring(true);
    menu.instrument().setCaptureTime(200);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    menu.evaluate(QStringLiteral("screenManager.showPopup('sources/SignalsDialog.qml')"));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    QObject *dialog = activePopup(menu);
    QQuickItem *forward = child(dialog, QStringLiteral("forwardPlot"));
    QVERIFY(MenuDriver::waitFor([&] { return forward->isVisible(); }, 8000));
    menu.instrument().setMeasuring(false);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText("Measurements turned off"); }, 5000));
    QVERIFY(!forward->isVisible());
    QVERIFY(!child(dialog, QStringLiteral("backwardPlot"))->isVisible());
}

// With a slow instrument an array read is still running when the dialog closes: it is dropped,
// and nothing is read after it.
void tst_MeasurePage::signalsDialogCloseAbortsArrays()
{
    MenuDriver menu;
    menu.instrument().setMeasuring(true);
    menu.instrument().setCaptureTime(100);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(MenuDriver::waitFor([&] { return readsOf(menu.requests(), 300701) > 0; }, 5000));
    menu.instrument().setDelay(60);
    menu.evaluate(QStringLiteral("screenManager.showPopup('sources/SignalsDialog.qml')"));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    QVERIFY(MenuDriver::waitFor([&] { return readsOf(menu.requests(), AdcForward) > 0; }, 10000));
    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    QVERIFY(waitForNoPopup(menu));
    // What was on the wire may still be answered.
    MenuDriver::settle(200);
    const int after = int(menu.requests().size());
    MenuDriver::settle(2000);
    QCOMPARE(readsSince(menu, after, AdcForward), 0);
    QCOMPARE(readsSince(menu, after, AdcBackward), 0);
    QCOMPARE(readsSince(menu, after, AdcParams), 0);
    menu.instrument().setDelay(0);
}

// In verbose mode each capture adds one line to the chosen file: the clock, dt and p, the four
// offsets, then both arrays' samples.
void tst_MeasurePage::signalFileGrowsPerCapture()
{
    MenuDriver menu;
    auto owned = std::make_unique<MenuTestContext>();
    MenuTestContext *context = owned.get();
    menu.setContext(std::move(owned));
    menu.instrument().setMeasuring(true);
    menu.instrument().setCaptureTime(150);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    context->setVerbose(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signal.txt"));
    context->saveFileAnswer = path;
    menu.evaluate(QStringLiteral("screenManager.showPopup('sources/SignalsDialog.qml')"));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    QObject *dialog = activePopup(menu);
    QQuickItem *save = child(dialog, QStringLiteral("saveSignalButton"));
    QVERIFY(save && save->isVisible());
    menu.click(save);
    QVERIFY(save->property("checked").toBool());
    QVERIFY2(context->calls().size() == 1 &&
                 context->calls().first().startsWith("save dialog: Saving signal data | ") &&
                 context->calls().first().endsWith(" | Text files (*.txt);;All files (*.*)"),
             qPrintable(context->calls().join('\n')));
    const auto lines = [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        return QString::fromUtf8(file.readAll()).split('\n');
    };
    QVERIFY(MenuDriver::waitFor([&] { return lines().size() >= 3; }, 10000));
    // Right after a line, the capture just started is held back, so the instrument keeps the
    // one the line was written from; then closed while the file is chosen.
    const int shown = int(lines().size());
    QVERIFY(MenuDriver::waitFor([&] { return lines().size() > shown; }, 5000));
    menu.instrument().setCaptureTime(600000);
    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    QVERIFY(waitForNoPopup(menu));
    MenuDriver::settle(500);
    const QStringList written = lines();
    MenuDriver::settle(1500);
    QCOMPARE(lines().size(), written.size());
    QCOMPARE(written.last(), QString());

    const QString line = written.at(written.size() - 2);
    QVERIFY(line.endsWith(' '));
    const QStringList fields = line.split('\t');
    QCOMPARE(fields.size(), 8);
    QVERIFY(!fields[0].isEmpty());
    const ModbusBytes offsets = menu.instrument().registers(AdcParams, 8);
    QCOMPARE(fields[3].toUInt(), offsets.toUInt32(0));
    QCOMPARE(fields[4].toUInt(), offsets.toUInt32(8));
    QCOMPARE(fields[5].toUInt(), offsets.toUInt32(4));
    QCOMPARE(fields[6].toUInt(), offsets.toUInt32(12));
    const QStringList samples = fields[7].split(' ');
    // 2048 forward and 2048 backward samples, each followed by a blank.
    QCOMPARE(samples.size(), 2 * 2048 + 1);
    QCOMPARE(samples.last(), QString());
    const ModbusBytes forward = menu.instrument().registers(AdcForward, 2048);
    const ModbusBytes backward = menu.instrument().registers(AdcBackward, 2048);
    for (int i = 0; i < 2048; ++i) {
        QCOMPARE(samples[i].toInt(), int(qint16(forward.toUInt16(2 * i))));
        QCOMPARE(samples[2048 + i].toInt(), int(qint16(backward.toUInt16(2 * i))));
    }
}

void tst_MeasurePage::signalFileFailure_data()
{
    QTest::addColumn<bool>("fullDisk"); // else the file's folder is missing
    QTest::newRow("missing folder") << false;
    QTest::newRow("full disk") << true;
}

// A file that cannot be written is said once, and saving stops: the button no longer shows it on.
void tst_MeasurePage::signalFileFailure()
{
    QFETCH(bool, fullDisk);
    MenuDriver menu;
    auto owned = std::make_unique<MenuTestContext>();
    MenuTestContext *context = owned.get();
    menu.setContext(std::move(owned));
    menu.instrument().setMeasuring(true);
    menu.instrument().setCaptureTime(150);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    context->setVerbose(true);
    QTemporaryDir dir;
    const QString path = fullDisk ? dir.filePath(QStringLiteral("signal.txt"))
                                  : dir.filePath(QStringLiteral("gone/signal.txt"));
    context->saveFileAnswer = path;
    menu.evaluate(QStringLiteral("screenManager.showPopup('sources/SignalsDialog.qml')"));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    QObject *dialog = activePopup(menu);
    QQuickItem *save = child(dialog, QStringLiteral("saveSignalButton"));
    // The documents compiled first: the engine's cache of compiled files is no disk to fill.
    menu.evaluate(QStringLiteral("Qt.createComponent('qrc:/share/menu/qml/dialogs/"
                                 "MessageBoxDialog.qml')"));
    // Less than one line of samples.
    std::unique_ptr<FileSizeLimit> limit;
    if (fullDisk)
        limit = std::make_unique<FileSizeLimit>(4096);
    menu.click(save);
    QVERIFY(save->property("checked").toBool());

    const QString message = QStringLiteral("Cannot write the signal data to ") + path;
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(message) != nullptr; }, 10000));
    QVERIFY(!save->property("checked").toBool());
    QCOMPARE(dialog->property("signalFile").toString(), QString());
    menu.click(menu.item(QStringLiteral("messageBoxOkButton")));
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    // Captures go on, and no further message comes of them.
    const int from = int(menu.requests().size());
    QVERIFY(MenuDriver::waitFor([&] { return readsSince(menu, from, AdcParams) >= 2; }, 10000));
    QVERIFY(!menu.itemByText(message));
    QCOMPARE(activePopup(menu), dialog);
    limit.reset();
    if (fullDisk)
        QVERIFY(QFileInfo(path).size() <= 4096);
    else
        QVERIFY(!QFileInfo::exists(path));
}

// Each tab's rows: a group's header above its own rows in one column, and every caption whole,
// in two columns where they fit and in one where they would not.
void tst_MeasurePage::additionalRowsByTab_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tab");
    for (const QSize size : {QSize(800, 600), QSize(640, 480)}) {
        const QByteArray name =
            QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
        QTest::addRow("%s, flow rate", name.constData()) << size << 0;
        QTest::addRow("%s, heat", name.constData()) << size << 1;
    }
}

void tst_MeasurePage::additionalRowsByTab()
{
    QFETCH(QSize, size);
    QFETCH(int, tab);
    MenuDriver menu(size);
    menu.instrument().setGeneration(2);
    menu.instrument().setHeatChannel(true);
    setRegister(menu, HeatSupplySystem, 1);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QVERIFY(showLeftPage(menu));
    QVERIFY(MenuDriver::waitFor([&] { return menu.item("measureTabs")->isVisible(); }, 5000));
    menu.item(QStringLiteral("measureTabs"))->setProperty("currentIndex", tab);
    menu.click(menu.item(QStringLiteral("additionalButton")));
    QQuickItem *dialog = menu.item(QStringLiteral("additionalMeasureDialog"));
    QVERIFY(MenuDriver::waitFor([&] { return dialog->isVisible(); }, 2000));
    QQuickItem *rows = menu.item(tab == 0 ? QStringLiteral("additionalFlowRows")
                                          : QStringLiteral("additionalHeatRows"));
    QVERIFY(rows);
    // The tab scroller's slide over.
    MenuDriver::settle(1000);

    // Headers and rows by their place on the screen.
    struct Entry
    {
        QString text;
        QPointF at;
        bool header = false;
    };
    QList<Entry> entries;
    const std::function<void(QQuickItem *)> collect = [&](QQuickItem *item) {
        for (QQuickItem *c : item->childItems()) {
            if (!c->isVisible())
                continue;
            if (c->objectName() == QLatin1String("additionalHeader")) {
                entries.append({c->childItems().first()->property("text").toString(),
                                c->mapToScene(QPointF(0, 0)), true});
            } else if (c->objectName() == QLatin1String("additionalRow")) {
                auto *caption = c->property("captionItem").value<QQuickItem *>();
                QVERIFY2(!caption->property("truncated").toBool(),
                         qPrintable(caption->property("text").toString()));
                QVERIFY2(caption->implicitWidth() <= caption->width() + 0.5,
                         qPrintable(caption->property("text").toString()));
                const QRectF r = c->mapRectToScene(QRectF(0, 0, c->width(), c->height()));
                QVERIFY2(r.right() <= size.width() && r.bottom() <= size.height(),
                         qPrintable(caption->property("text").toString()));
                entries.append({caption->property("text").toString(), r.topLeft(), false});
            }
            collect(c);
        }
    };
    collect(rows);
    const auto captionOf = [&](const char *prop) {
        return menu.evaluate(QStringLiteral("deviceProps.%1.caption").arg(QLatin1String(prop)))
            .toString();
    };
    if (tab == 0) {
        QCOMPARE(entries.size(), 10);
        return;
    }
    const QList<QPair<QString, QStringList>> groups{
        {QStringLiteral("Pressure channel"), {captionOf("pressureStatus"), captionOf("pressure")}},
        {QStringLiteral("Temperature channel # 1"),
         {captionOf("temperatureStatus1"), captionOf("temperature1")}},
        {QStringLiteral("Temperature channel # 2"),
         {captionOf("temperatureStatus2"), captionOf("temperature2")}}};
    QCOMPARE(entries.size(), 9);
    // Column by column, top down: what follows each header up to the next one or the column's end.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return qAbs(a.at.x() - b.at.x()) > 0.5 ? a.at.x() < b.at.x() : a.at.y() < b.at.y();
    });
    QList<QPair<QString, QStringList>> shown;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).header) {
            shown.append({entries.at(i).text, {}});
            continue;
        }
        const bool sameColumn =
            i > 0 && qAbs(entries.at(i).at.x() - entries.at(i - 1).at.x()) < 0.5;
        QVERIFY2(!shown.isEmpty() && sameColumn, qPrintable(entries.at(i).text));
        shown.last().second.append(entries.at(i).text);
    }
    QCOMPARE(shown, groups);
}

void tst_MeasurePage::touchTest()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QObject *popup =
        menu.evaluate(QStringLiteral("screenManager.showPopup('sources/TouchscreenTestPopup.qml', "
                                     "{idleInterval: 1500})"))
            .value<QObject *>();
    QVERIFY(popup);
    QVERIFY(waitForPopup(menu, "TouchscreenTestPopup"));
    QVERIFY(!menu.item(QStringLiteral("topPanel"))->isVisible());
    QQuickItem *vertical = child(popup, QStringLiteral("touchVerticalLine"));
    QQuickItem *horizontal = child(popup, QStringLiteral("touchHorizontalLine"));
    QVERIFY(!vertical->isVisible());
    const QPoint at(300, 200);
    QTest::mousePress(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(MenuDriver::waitFor([&] { return vertical->isVisible(); }, 1000));
    QCOMPARE(vertical->mapToScene(QPointF(vertical->width() / 2, 0)).x(), 300.0);
    QCOMPARE(horizontal->mapToScene(QPointF(0, horizontal->height() / 2)).y(), 200.0);
    QCOMPARE(vertical->property("color").value<QColor>(), QColor(Qt::red));
    QCOMPARE(vertical->width(), 4.0);
    QTest::mouseRelease(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(MenuDriver::waitFor([&] { return !vertical->isVisible(); }, 1000));
    QElapsedTimer idle;
    idle.start();
    QVERIFY(waitForNoPopup(menu));
    QVERIFY(idle.elapsed() >= 1000);
    QVERIFY(MenuDriver::waitFor([&] { return menu.item("topPanel")->isVisible(); }, 2000));
}

// The instrument's panel alone: to the page, across the tiles, a dialog open and closed, the
// buttons, the additional dialog in place and back.
void tst_MeasurePage::pageByPanelKeys()
{
    MenuContext::overrideEmbedded(1);
    MenuDriver menu(QSize(640, 480));
    const bool started = menu.start();
    MenuContext::overrideEmbedded(-1);
    QVERIFY2(started, qPrintable(menu.error()));
    menu.window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(menu.window()));
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "mainFrame"; }, 5000));
    QVERIFY(PanelKeys::press(menu, Qt::Key_0));
    QVERIFY(MenuDriver::waitFor([&] { return currentPage(menu) == 0; }, 3000));
    QQuickItem *vPlus = menu.item(QStringLiteral("flowTile3"));
    QVERIFY(MenuDriver::waitFor([&] { return vPlus->hasActiveFocus(); }, 3000));
    PanelKeys::press(menu, Qt::Key_Left);
    QVERIFY(menu.item(QStringLiteral("flowTile0"))->hasActiveFocus());
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForPopup(menu, "BigMeasureDialog"));
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(waitForNoPopup(menu));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.item(QStringLiteral("flowTile0"))->hasActiveFocus(); }, 3000));
    for (int i = 0; i < 3; ++i)
        PanelKeys::press(menu, Qt::Key_Down);
    QVERIFY(menu.item(QStringLiteral("startButton"))->hasActiveFocus());
    PanelKeys::press(menu, Qt::Key_Right);
    QQuickItem *additional = menu.item(QStringLiteral("additionalButton"));
    QVERIFY(additional->hasActiveFocus());
    PanelKeys::press(menu, Qt::Key_Return);
    QQuickItem *dialog = menu.item(QStringLiteral("additionalMeasureDialog"));
    QVERIFY(
        MenuDriver::waitFor([&] { return dialog->isVisible() && dialog->hasActiveFocus(); }, 2000));
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(MenuDriver::waitFor([&] { return !dialog->isVisible(); }, 2000));
    QVERIFY(MenuDriver::waitFor([&] { return additional->hasActiveFocus(); }, 2000));
    QCOMPARE(currentPage(menu), 0);
    PanelKeys::press(menu, Qt::Key_Right);
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForPopup(menu, "SignalsDialog"));
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(waitForNoPopup(menu));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.item(QStringLiteral("signalsButton"))->hasActiveFocus(); }, 3000));
    PanelKeys::press(menu, Qt::Key_Up);
    QVERIFY(vPlus->hasActiveFocus());
}

QTEST_MAIN(tst_MeasurePage)
#include "tst_measurepage.moc"
