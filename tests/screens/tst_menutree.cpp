// The instrument's menu tree against the simulated instrument: every frame reached by the keys a
// user has (arrows, Return, Escape), with its caption, on the desktop and on the instrument, where
// also by the panel's own keys alone (through its keypad, at its 640x480); the
// rows that depend on the instrument (heat channel, discrete output mode, failures, battery) and
// the registers each frame polls while it shows.
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"
#include "panelkeys.h"
#include "requestlog.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlListReference>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QtTest>

#include <QScopeGuard>

#include <memory>

namespace {

using namespace RequestLog;

const quint32 failuresRegister = 300751;
const quint32 discreteOutputMode = 403101;

const QStringList mainButtons{"measurementButton",  "dataLoggerButton",    "peripheryButton",
                              "applicationsButton", "documentationButton", "systemSettingsButton"};

// The instrument of these tests: generation 2 with the heat channel and one failure flag.
void prepareInstrument(TavrinInstrument &instrument, bool heat)
{
    instrument.setGeneration(heat ? 2 : 1);
    instrument.setHeatChannel(heat);
    instrument.setRegisters(failuresRegister, ModbusBytes::fromUInt16(heat ? 0x0001 : 0));
    // The schedule in interval mode: its entries are rows below the mode row.
    instrument.setRegisters(403561, ModbusBytes::fromUInt16(1));
}

} // namespace

// Takes the URLs the desktop would open, in place of the desktop's own viewer.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class tst_MenuTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void walk_data();
    void walk();
    void discreteOutputParameters_data();
    void discreteOutputParameters();
    void everyFrameWalked();
    void everyFrameWalkedByPanelKeys();
    void framesPollOnlyWhileShown_data();
    void framesPollOnlyWhileShown();
    void withoutHeat();
    void mainFrameButtons_data();
    void mainFrameButtons();
    void guardedEdits_data();
    void guardedEdits();
    void editorAfterYes();
    void zeroOffsetInfo();
    void failures();
    void chargeLevel_data();
    void chargeLevel();
    void batteryTime_data();
    void batteryTime();
    void softwareIdentificator();
    void factoryResetNeedsConnection();
    void calculationError_data();
    void calculationError();
    void documentOpens();
    void shippedGuideOpens_data();
    void shippedGuideOpens();
    void documentOpenFails_data();
    void documentOpenFails();

private:
    enum Run { Desktop, Embedded, NoHeat };
    // One menu per run for all cases: a start costs seconds.
    MenuDriver &menu(Run run);
    QString currentFrame(MenuDriver &menu) const;
    QString currentCaption(MenuDriver &menu) const;
    bool waitForFrame(MenuDriver &menu, const QString &frame) const;
    bool backToMain(MenuDriver &menu) const;
    bool focusMainButton(MenuDriver &menu, const QString &button) const;
    // From the main frame: the button, then the n-th clickable row of each frame (counted from
    // the first by Down), checking each frame reached; Escape back to the main frame.
    bool enter(MenuDriver &menu, const QString &button, const QList<int> &downs,
               const QStringList &frames, QString *failure = nullptr);
    QList<QQuickItem *> rows(MenuDriver &menu, const QString &frame) const;
    QObject *activePopup(MenuDriver &menu) const;
    QObject *activeEditor(MenuDriver &menu) const;
    // A key by the desktop keyboard, or by the instrument's panel while m_panel.
    void press(MenuDriver &menu, Qt::Key key) const;
    // The first clickable row of the current frame.
    void toFirstRow(MenuDriver &menu) const;

    std::unique_ptr<MenuDriver> m_menus[3];
    QSet<QString> m_walked;
    QSet<QString> m_walkedByPanel;
    bool m_panel = false;
};

MenuDriver &tst_MenuTree::menu(Run run)
{
    std::unique_ptr<MenuDriver> &menu = m_menus[run];
    if (menu) {
        // Items have the active focus only in the focused window.
        menu->window()->requestActivate();
        if (!QTest::qWaitForWindowActive(menu->window()))
            qWarning("the menu's window did not become active");
        return *menu;
    }
    MenuContext::overrideEmbedded(run == Embedded ? 1 : 0);
    MenuContext::overrideZunfel(run == NoHeat ? 1 : 0);
    menu = std::make_unique<MenuDriver>(run == Embedded ? QSize(640, 480) : QSize(800, 600));
    prepareInstrument(menu->instrument(), run != NoHeat);
    const bool started = menu->start();
    MenuContext::overrideEmbedded(-1);
    MenuContext::overrideZunfel(-1);
    if (!started)
        qWarning("%s", qPrintable(menu->error()));
    const bool heat = run != NoHeat;
    MenuDriver *driver = menu.get();
    if (!MenuDriver::waitFor(
            [&] {
                return driver->root()->property("tvnGeneration").toInt() == (heat ? 2 : 1) &&
                       driver->root()->property("isHeatSupported").toBool() == heat;
            },
            5000))
        qWarning("the instrument's generation was not detected");
    return *menu;
}

void tst_MenuTree::init()
{
    m_panel = false;
}

void tst_MenuTree::press(MenuDriver &menu, Qt::Key key) const
{
    if (!m_panel)
        menu.keyClick(key);
    else if (!PanelKeys::press(menu, key))
        qWarning("key %x is not on the panel", unsigned(key));
}

void tst_MenuTree::toFirstRow(MenuDriver &menu) const
{
    if (!m_panel) {
        menu.keyClick(Qt::Key_PageUp);
        return;
    }
    // The panel has no page keys: Up until the focus stays.
    for (int i = 0; i < 20; ++i) {
        QObject *focus = menu.window()->activeFocusItem();
        press(menu, Qt::Key_Up);
        if (menu.window()->activeFocusItem() == focus)
            return;
    }
}

void tst_MenuTree::cleanupTestCase()
{
    for (auto &menu : m_menus)
        menu.reset();
}

QString tst_MenuTree::currentFrame(MenuDriver &menu) const
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *frame = navigation ? navigation->property("currentFrame").value<QObject *>() : nullptr;
    return frame ? frame->objectName() : QString();
}

QString tst_MenuTree::currentCaption(MenuDriver &menu) const
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *frame = navigation ? navigation->property("currentFrame").value<QObject *>() : nullptr;
    return frame ? frame->property("caption").toString() : QString();
}

bool tst_MenuTree::waitForFrame(MenuDriver &menu, const QString &frame) const
{
    return MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 2000);
}

bool tst_MenuTree::backToMain(MenuDriver &menu) const
{
    QObject *editors = menu.object(QStringLiteral("editorsManager"));
    QMetaObject::invokeMethod(editors, "closeEditor");
    QMetaObject::invokeMethod(menu.object(QStringLiteral("screenManager")), "closeAllPopups");
    for (int i = 0; i < 8 && currentFrame(menu) != QLatin1String("mainFrame"); ++i)
        press(menu, Qt::Key_Escape);
    return waitForFrame(menu, QStringLiteral("mainFrame"));
}

bool tst_MenuTree::focusMainButton(MenuDriver &menu, const QString &button) const
{
    const int target = mainButtons.indexOf(button);
    for (int step = 0; step < 8; ++step) {
        int at = -1;
        for (int i = 0; i < mainButtons.size(); ++i) {
            QQuickItem *item = menu.item(mainButtons[i]);
            if (item && item->hasActiveFocus())
                at = i;
        }
        if (at < 0) {
            QQuickItem *connection = menu.item(QStringLiteral("connectionButton"));
            if (connection && connection->hasActiveFocus())
                press(menu, Qt::Key_Down);
            else
                press(menu, Qt::Key_Up); // from the exit button
            continue;
        }
        if (at == target)
            return true;
        if (at % 3 < target % 3)
            press(menu, Qt::Key_Right);
        else if (at % 3 > target % 3)
            press(menu, Qt::Key_Left);
        else
            press(menu, at / 3 < target / 3 ? Qt::Key_Down : Qt::Key_Up);
    }
    return false;
}

bool tst_MenuTree::enter(MenuDriver &menu, const QString &button, const QList<int> &downs,
                         const QStringList &frames, QString *failure)
{
    const auto fail = [&](const QString &text) {
        if (failure)
            *failure = text;
        return false;
    };
    if (!backToMain(menu))
        return fail(QStringLiteral("not back at the main frame but at ") + currentFrame(menu));
    if (!focusMainButton(menu, button))
        return fail(QStringLiteral("arrows do not reach ") + button);
    press(menu, Qt::Key_Return);
    for (int level = 0; level < frames.size(); ++level) {
        if (!waitForFrame(menu, frames[level]))
            return fail(
                QStringLiteral("expected %1, shown %2").arg(frames[level], currentFrame(menu)));
        (m_panel ? m_walkedByPanel : m_walked).insert(frames[level]);
        if (level < downs.size()) {
            toFirstRow(menu);
            // A negative count: the modify button above a list first (Up, Return), then back
            // down to the list's first row.
            if (downs[level] < 0) {
                press(menu, Qt::Key_Up);
                press(menu, Qt::Key_Return);
                press(menu, Qt::Key_Down);
            }
            for (int i = 0; i < downs[level]; ++i)
                press(menu, Qt::Key_Down);
            press(menu, Qt::Key_Return);
        }
    }
    return true;
}

QList<QQuickItem *> tst_MenuTree::rows(MenuDriver &menu, const QString &frame) const
{
    QList<QQuickItem *> items;
    QObject *frameObject = menu.object(frame);
    QQmlListReference list(frameObject, "rows");
    for (qsizetype i = 0; i < list.count(); ++i) {
        if (auto *item = qobject_cast<QQuickItem *>(list.at(i)))
            items.append(item);
    }
    return items;
}

QObject *tst_MenuTree::activePopup(MenuDriver &menu) const
{
    QObject *screens = menu.object(QStringLiteral("screenManager"));
    return screens ? screens->property("activePopup").value<QObject *>() : nullptr;
}

QObject *tst_MenuTree::activeEditor(MenuDriver &menu) const
{
    QObject *editors = menu.object(QStringLiteral("editorsManager"));
    return editors ? editors->property("activeEditor").value<QObject *>() : nullptr;
}

void tst_MenuTree::walk_data()
{
    QTest::addColumn<int>("run"); // 0 desktop, 1 instrument, 2 instrument by its panel keys
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("downs");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QStringList>("captions");

    const QStringList measurement{"measurementParametersFrame"};
    const QStringList measurementCaption{"Measurement parameters"};
    for (const int run : {0, 1, 2}) {
        const bool embedded = run > 0;
        const auto row = [&](const char *name) {
            static const char *const prefixes[] = {"desktop: ", "embedded: ", "panel keys: "};
            return &QTest::newRow(
                qPrintable(QString::fromLatin1(prefixes[run]) + QLatin1String(name)));
        };
        *row("measurement") << run << "measurementButton" << QList<int>{} << measurement
                            << measurementCaption;
        *row("site selection") << run << "measurementButton" << QList<int>{0}
                               << measurement + QStringList{"sitesFrame"}
                               << measurementCaption + QStringList{"Site selection"};
        *row("site editing") << run << "measurementButton" << QList<int>{0, -1}
                             << measurement + QStringList{"sitesFrame", "editSiteFrame"}
                             << measurementCaption + QStringList{"Sites editing", "Site editing"};
        const QList<QPair<const char *, const char *>> subFrames{
            {"pipeParametersFrame", "Pipe parameters"},
            {"fluidParametersFrame", "Fluid parameters"},
            {"measuringSystemParametersFrame", "Measuring system parameters"},
            {"resultsProcessingFrame", "Results processing"},
            {"additionalParametersFrame", "Additional parameters"},
            {"heatCalcParametersFrame", "Heat calculation parameters"}};
        for (int i = 0; i < subFrames.size(); ++i)
            *row(subFrames[i].first) << run << "measurementButton" << QList<int>{i + 1}
                                     << measurement + QStringList{subFrames[i].first}
                                     << measurementCaption + QStringList{subFrames[i].second};
        const QList<QPair<const char *, const char *>> calibrations{
            {"calibratingZeroFlowOffsetFrame", "Calibrating zero flow offset"},
            {"settingZeroFlowPointFrame", "Setting a zero flow point"},
            {"additionalDelayAdjustmentFrame", "Additional delay adjustment"}};
        for (int i = 0; i < calibrations.size(); ++i)
            *row(calibrations[i].first)
                << run << "measurementButton" << QList<int>{5, i}
                << measurement + QStringList{"additionalParametersFrame", calibrations[i].first}
                << measurementCaption +
                       QStringList{"Additional parameters", calibrations[i].second};
        const QStringList heat = measurement + QStringList{"heatCalcParametersFrame"};
        const QStringList heatCaption =
            measurementCaption + QStringList{"Heat calculation parameters"};
        *row("pressure") << run << "measurementButton" << QList<int>{6, 2}
                         << heat + QStringList{"pressureParamsFrame"}
                         << heatCaption + QStringList{"Pressure sensor"};
        *row("RTD1") << run << "measurementButton" << QList<int>{6, 3}
                     << heat + QStringList{"temperatureParamsFrame"}
                     << heatCaption + QStringList{"RTD1 (supply pipe)"};
        *row("RTD2") << run << "measurementButton" << QList<int>{6, 4}
                     << heat + QStringList{"temperatureParamsFrame"}
                     << heatCaption + QStringList{"RTD2 (return pipe)"};

        *row("data logger") << run << "dataLoggerButton" << QList<int>{}
                            << QStringList{"dataLoggerFrame"} << QStringList{"Data logger setup"};
        *row("RS-485") << run << "peripheryButton" << QList<int>{0}
                       << QStringList{"peripherySettingsFrame", "rs485SettingsFrame"}
                       << QStringList{"Periphery settings", "RS-485 settings"};
        *row("discrete output") << run << "peripheryButton" << QList<int>{1}
                                << QStringList{"peripherySettingsFrame", "discreteOutputSettings"}
                                << QStringList{"Periphery settings", "Discrete output settings"};
        *row("interval entry") << run << "applicationsButton" << QList<int>{0, 1}
                               << QStringList{"applicationsFrame", "scheduleSettingsFrame",
                                              "intervalScheduleSettings"}
                               << QStringList{"Applications", "Schedule", "Interval 1"};
        if (!embedded)
            *row("configuration") << run << "applicationsButton" << QList<int>{1}
                                  << QStringList{"applicationsFrame", "exportImportFrame"}
                                  << QStringList{"Applications", "Saving/loading configuration"};
        *row("documentation") << run << "documentationButton" << QList<int>{}
                              << QStringList{"documentationFrame"} << QStringList{"Documentation"};

        // The display-off row comes first on the instrument only.
        const int first = embedded ? 1 : 0;
        const QStringList system{"systemSettingsFrame"};
        const QStringList systemCaption{"System settings"};
        *row("units") << run << "systemSettingsButton" << QList<int>{first + 2}
                      << system + QStringList{"dimensionsFrame"}
                      << systemCaption + QStringList{"Units"};
        *row("modules") << run << "systemSettingsButton" << QList<int>{first + 3, 0}
                        << system + QStringList{"deviceStatusFrame", "deviceModulesFrame"}
                        << systemCaption + QStringList{"Device status", "Modules"};
        *row("failures") << run << "systemSettingsButton" << QList<int>{first + 3, 1}
                         << system + QStringList{"deviceStatusFrame", "failuresFrame"}
                         << systemCaption + QStringList{"Device status", "Failures"};
        if (embedded)
            *row("power saving") << run << "systemSettingsButton" << QList<int>{first + 4}
                                 << system + QStringList{"powerSavingOptionsFrame"}
                                 << systemCaption + QStringList{"Power saving options"};
    }
}

void tst_MenuTree::walk()
{
    QFETCH(int, run);
    QFETCH(QString, button);
    QFETCH(QList<int>, downs);
    QFETCH(QStringList, frames);
    QFETCH(QStringList, captions);

    MenuDriver &menu = this->menu(run > 0 ? Embedded : Desktop);
    m_panel = run == 2;
    QString failure;
    QVERIFY2(enter(menu, button, downs, frames, &failure), qPrintable(failure));
    QCOMPARE(currentCaption(menu), captions.last());

    // Back by Escape, one frame at a time, each caption as it was on the way in.
    for (int level = frames.size() - 2; level >= 0; --level) {
        press(menu, Qt::Key_Escape);
        QVERIFY2(waitForFrame(menu, frames[level]), qPrintable(currentFrame(menu)));
        QCOMPARE(currentCaption(menu), captions[level]);
    }
    press(menu, Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    (m_panel ? m_walkedByPanel : m_walked).insert(QStringLiteral("mainFrame"));
}

void tst_MenuTree::everyFrameWalked()
{
    // Every frame of the tree, as the tree holds them, was reached in one of the runs.
    MenuDriver &menu = this->menu(Desktop);
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    auto *tree =
        qobject_cast<QQuickItem *>(navigation->property("deviceFrames").value<QObject *>());
    QVERIFY(tree);
    QStringList frames;
    for (QQuickItem *child : tree->childItems()) {
        if (child->property("prevFrame").isValid())
            frames.append(child->objectName());
    }
    QCOMPARE(frames.size(), 33);
    for (const QString &frame : std::as_const(frames))
        QVERIFY2(m_walked.contains(frame), qPrintable(frame));
}

void tst_MenuTree::everyFrameWalkedByPanelKeys()
{
    // The panel's keys alone reached every frame the instrument offers and came back to the
    // main frame; only the configuration transfer is the desktop's.
    MenuDriver &menu = this->menu(Embedded);
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    auto *tree =
        qobject_cast<QQuickItem *>(navigation->property("deviceFrames").value<QObject *>());
    QVERIFY(tree);
    int frames = 0;
    for (QQuickItem *child : tree->childItems()) {
        if (!child->property("prevFrame").isValid())
            continue;
        ++frames;
        if (child->objectName() != QLatin1String("exportImportFrame"))
            QVERIFY2(m_walkedByPanel.contains(child->objectName()),
                     qPrintable(child->objectName()));
    }
    QCOMPARE(frames, 33);
    QCOMPARE(m_walkedByPanel.size(), 32);
}

void tst_MenuTree::discreteOutputParameters_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("panel");
    for (const bool panel : {false, true}) {
        const auto row = [&](const char *name) {
            return &QTest::newRow(
                qPrintable(QLatin1String(panel ? "panel keys: " : "") + QLatin1String(name)));
        };
        *row("off: no parameters") << 0 << QString() << QString() << panel;
        *row("logic") << 1 << "logicalOutSettingsFrame"
                      << "Logical out settings" << panel;
        *row("pulse") << 2 << "pulseOutSettingsFrame"
                      << "Pulse out settings" << panel;
        *row("frequency") << 3 << "frequencyOutSettingsFrame"
                          << "Frequency out settings" << panel;
    }
}

void tst_MenuTree::discreteOutputParameters()
{
    QFETCH(int, mode);
    QFETCH(QString, frame);
    QFETCH(QString, caption);
    QFETCH(bool, panel);

    MenuDriver &menu = this->menu(panel ? Embedded : Desktop);
    m_panel = panel;
    menu.instrument().setRegisters(discreteOutputMode, ModbusBytes::fromUInt16(quint16(mode)));
    QString failure;
    QVERIFY2(enter(menu, QStringLiteral("peripheryButton"), {1},
                   {"peripherySettingsFrame", "discreteOutputSettings"}, &failure),
             qPrintable(failure));
    // The mode row reads the mode while the frame shows; the row follows it.
    QQuickItem *parameters = menu.item(QStringLiteral("discreteOutputParametersRow"));
    QVERIFY(parameters);
    const auto target = [&] {
        if (parameters->property("hidden").toBool())
            return QString();
        QObject *leadsTo = parameters->property("frame").value<QObject *>();
        return leadsTo ? leadsTo->objectName() : QStringLiteral("nothing");
    };
    QTRY_COMPARE_WITH_TIMEOUT(target(), frame, 3000);
    toFirstRow(menu);
    press(menu, Qt::Key_Down);
    press(menu, Qt::Key_Return);
    if (mode == 0) {
        // Down found no row past the mode: Return edits the mode instead.
        QVERIFY(MenuDriver::waitFor(
            [&] {
                QObject *editors = menu.object(QStringLiteral("editorsManager"));
                return editors->property("activeEditor").value<QObject *>() != nullptr;
            },
            2000));
        QCOMPARE(currentFrame(menu), QStringLiteral("discreteOutputSettings"));
        return;
    }
    QVERIFY2(waitForFrame(menu, frame), qPrintable(currentFrame(menu)));
    QCOMPARE(currentCaption(menu), caption);
    (m_panel ? m_walkedByPanel : m_walked).insert(frame);
    press(menu, Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, QStringLiteral("discreteOutputSettings")));
}

void tst_MenuTree::framesPollOnlyWhileShown_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("downs");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<int>("outputMode"); // the discrete output's mode to set first; -1: none
    QTest::addColumn<QString>("item");   // deviceModbus's item of the register
    QTest::addColumn<quint32>("address");

    // One register per frame that no other frame, panel or page polls.
    const QStringList measurement{"measurementParametersFrame"};
    const auto measurementRow = [&](const char *name, int down, const char *frame, const char *item,
                                    quint32 address) {
        QTest::newRow(name) << "measurementButton" << QList<int>{down}
                            << measurement + QStringList{frame} << -1 << item << address;
    };
    measurementRow("pipe: mounting method", 1, "pipeParametersFrame", "transducerMountingMethod",
                   400163);
    measurementRow("fluid: temperature", 2, "fluidParametersFrame", "fluidTemperature", 400225);
    measurementRow("measuring system: sensors' frequency type", 3, "measuringSystemParametersFrame",
                   "sensorsFreqType", 400140);
    measurementRow("results processing: median averaging", 4, "resultsProcessingFrame",
                   "medianAveraging", 400136);
    measurementRow("additional parameters: dt0 of the info row", 5, "additionalParametersFrame",
                   "zeroFlowOffsetdt0", 400202);
    measurementRow("heat calculation: dT", 6, "heatCalcParametersFrame", "deltaT", 401030);

    const QStringList heat = measurement + QStringList{"heatCalcParametersFrame"};
    QTest::newRow("pressure: sensor control")
        << "measurementButton" << QList<int>{6, 2} << heat + QStringList{"pressureParamsFrame"}
        << -1 << "pressureSensorControl" << quint32(401040);
    // One frame for both channels: each entry polls its own channel only.
    QTest::newRow("RTD1: its sensor control")
        << "measurementButton" << QList<int>{6, 3} << heat + QStringList{"temperatureParamsFrame"}
        << -1 << "temperature1SensorControl" << quint32(401051);
    QTest::newRow("RTD2: its sensor control")
        << "measurementButton" << QList<int>{6, 4} << heat + QStringList{"temperatureParamsFrame"}
        << -1 << "temperature2SensorControl" << quint32(401065);

    QTest::newRow("data logger: logging interval")
        << "dataLoggerButton" << QList<int>{} << QStringList{"dataLoggerFrame"} << -1
        << "loggingInterval" << quint32(403001);

    const QStringList periphery{"peripherySettingsFrame"};
    QTest::newRow("RS-485: byte timeout")
        << "peripheryButton" << QList<int>{0} << periphery + QStringList{"rs485SettingsFrame"} << -1
        << "byteTimeout" << quint32(400003);
    QTest::newRow("discrete output: mode")
        << "peripheryButton" << QList<int>{1} << periphery + QStringList{"discreteOutputSettings"}
        << -1 << "discreteOutputMode" << quint32(403101);
    const QStringList output = periphery + QStringList{"discreteOutputSettings"};
    QTest::newRow("logical out: list index")
        << "peripheryButton" << QList<int>{1, 1} << output + QStringList{"logicalOutSettingsFrame"}
        << 1 << "discreteOutputLogicalListIndex" << quint32(403116);
    QTest::newRow("pulse out: list index")
        << "peripheryButton" << QList<int>{1, 1} << output + QStringList{"pulseOutSettingsFrame"}
        << 2 << "discreteOutputPulseListIndex" << quint32(403115);
    QTest::newRow("frequency out: list index")
        << "peripheryButton" << QList<int>{1, 1}
        << output + QStringList{"frequencyOutSettingsFrame"} << 3 << "discreteOutputFreqListIndex"
        << quint32(403114);

    const QStringList system{"systemSettingsFrame"};
    QTest::newRow("system settings: factory reset command")
        << "systemSettingsButton" << QList<int>{} << system << -1 << "initialize"
        << quint32(400008);
    QTest::newRow("device status: sleep state")
        << "systemSettingsButton" << QList<int>{3} << system + QStringList{"deviceStatusFrame"}
        << -1 << "sleepState" << quint32(400013);
}

void tst_MenuTree::framesPollOnlyWhileShown()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, downs);
    QFETCH(QStringList, frames);
    QFETCH(int, outputMode);
    QFETCH(QString, item);
    QFETCH(quint32, address);

    MenuDriver &menu = this->menu(Desktop);
    QString failure;
    if (outputMode >= 0) {
        // The "Parameters" row leads by the mode the menu has read: let it read the new one.
        menu.instrument().setRegisters(discreteOutputMode,
                                       ModbusBytes::fromUInt16(quint16(outputMode)));
        QVERIFY2(enter(menu, QStringLiteral("peripheryButton"), {1},
                       {"peripherySettingsFrame", "discreteOutputSettings"}, &failure),
                 qPrintable(failure));
        QTRY_VERIFY_WITH_TIMEOUT(
            menu.evaluate(
                    QStringLiteral("deviceProps.discreteOutputMode.value === %1").arg(outputMode))
                .toBool(),
            3000);
    }

    // A short interval keeps the waits short; a frame that goes on polling still shows.
    const QString interval = QStringLiteral("deviceModbus.%1.interval").arg(item);
    const int productInterval = menu.evaluate(interval).toInt();
    QVERIFY2(productInterval > 0, qPrintable(item));
    const int testInterval = 250;
    menu.evaluate(QStringLiteral("%1 = %2").arg(interval).arg(testInterval));
    const auto restore = qScopeGuard(
        [&] { menu.evaluate(QStringLiteral("%1 = %2").arg(interval).arg(productInterval)); });

    QVERIFY2(enter(menu, button, downs, frames, &failure), qPrintable(failure));
    // Polled, not read once: two reads while the frame shows.
    menu.instrument().clearRequests();
    QTRY_VERIFY_WITH_TIMEOUT(readsOf(menu.requests(), address) >= 2, 3000);

    menu.keyClick(Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, frames.size() > 1 ? frames[frames.size() - 2]
                                                 : QStringLiteral("mainFrame")));
    // A read already under way may still be answered.
    MenuDriver::settle(300);
    menu.instrument().clearRequests();
    MenuDriver::settle(testInterval + 300);
    QCOMPARE(readsOf(menu.requests(), address), 0);
}

void tst_MenuTree::withoutHeat()
{
    const auto shownRows = [&](MenuDriver &menu, const QString &frame, bool framesOnly) {
        int n = 0;
        for (QQuickItem *row : rows(menu, frame)) {
            if (!row->property("hidden").toBool() &&
                (!framesOnly || row->property("frame").value<QObject *>()))
                ++n;
        }
        return n;
    };
    MenuDriver &noHeat = menu(NoHeat);
    QCOMPARE(shownRows(noHeat, QStringLiteral("measurementParametersFrame"), true), 6);
    QCOMPARE(shownRows(noHeat, QStringLiteral("dimensionsFrame"), false), 2);
    // The failures row goes while no flag is set.
    QVERIFY(noHeat.item(QStringLiteral("failuresRow"))->property("hidden").toBool());

    MenuDriver &heat = menu(Desktop);
    QCOMPARE(shownRows(heat, QStringLiteral("measurementParametersFrame"), true), 7);
    QCOMPARE(shownRows(heat, QStringLiteral("dimensionsFrame"), false), 6);
}

void tst_MenuTree::mainFrameButtons_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("connection");
    QTest::addColumn<bool>("exit");
    QTest::newRow("desktop 800x600") << false << QSize(800, 600) << true << false;
    QTest::newRow("desktop 1024x768") << false << QSize(1024, 768) << true << true;
    QTest::newRow("instrument") << true << QSize(640, 480) << false << false;
}

void tst_MenuTree::mainFrameButtons()
{
    QFETCH(bool, embedded);
    QFETCH(QSize, size);
    QFETCH(bool, connection);
    QFETCH(bool, exit);

    MenuDriver &menu = this->menu(embedded ? Embedded : Desktop);
    QVERIFY(backToMain(menu));
    menu.context()->setShowExitButton(true);
    menu.window()->resize(size);
    QQuickItem *connectionButton = menu.item(QStringLiteral("connectionButton"));
    QQuickItem *exitButton = menu.item(QStringLiteral("exitButton"));
    QTRY_COMPARE_WITH_TIMEOUT(exitButton->isVisible(), exit, 2000);
    QCOMPARE(connectionButton->isVisible(), connection);
    if (connection) {
        QCOMPARE(menu.item(QStringLiteral("connectionButtonText"))->property("text").toString(),
                 QStringLiteral("Connection: USB"));
        // Up from the first row of the grid reaches it, Down comes back.
        QVERIFY(focusMainButton(menu, QStringLiteral("peripheryButton")));
        menu.keyClick(Qt::Key_Up);
        QVERIFY(connectionButton->hasActiveFocus());
        menu.keyClick(Qt::Key_Down);
        QVERIFY(menu.item(QStringLiteral("measurementButton"))->hasActiveFocus());
    }
    QVERIFY(focusMainButton(menu, QStringLiteral("applicationsButton")));
    menu.keyClick(Qt::Key_Down);
    QCOMPARE(exitButton->hasActiveFocus(), exit);
    if (exit) {
        // 70 x 70 at the bottom centre, 24 pixels up.
        const QQuickItem *frame = exitButton->parentItem();
        QCOMPARE(exitButton->size(), QSizeF(70, 70));
        QCOMPARE(frame->height() - exitButton->y() - exitButton->height(), 24.0);
        QCOMPARE(exitButton->x() + 35, frame->width() / 2);
        menu.keyClick(Qt::Key_Up);
    }
    menu.context()->setShowExitButton(false);
    menu.window()->resize(embedded ? QSize(640, 480) : QSize(800, 600));
    QTRY_COMPARE_WITH_TIMEOUT(menu.root()->height(), qreal(embedded ? 480 : 600), 2000);
}

void tst_MenuTree::guardedEdits_data()
{
    QTest::addColumn<int>("heatSupply");
    QTest::addColumn<int>("fluid");
    QTest::addColumn<QList<int>>("downs");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("question"); // empty: the editor opens at once
    QTest::addColumn<bool>("defaultAnswer");
    QTest::addColumn<QString>("frameAfterDefault");

    const QStringList fluidFrames{"measurementParametersFrame", "fluidParametersFrame"};
    const QStringList heatFrames{"measurementParametersFrame", "heatCalcParametersFrame"};
    QTest::newRow("fluid type, heat calculation on")
        << 1 << 0 << QList<int>{2} << fluidFrames
        << "Heat calculation will be disabled for fluids other than water.\n\nContinue editing?"
        << false << "fluidParametersFrame";
    QTest::newRow("fluid type, heat calculation off")
        << 0 << 0 << QList<int>{2} << fluidFrames << QString() << false << QString();
    QTest::newRow("heat supply, other fluid")
        << 1 << 1 << QList<int>{6} << heatFrames
        << "Heat calculation is not avaliable for fluids other than water.\n\nGo to fluid type "
           "menu?"
        << true << "fluidParametersFrame";
    QTest::newRow("heat supply, water")
        << 1 << 0 << QList<int>{6} << heatFrames << QString() << false << QString();
}

void tst_MenuTree::guardedEdits()
{
    QFETCH(int, heatSupply);
    QFETCH(int, fluid);
    QFETCH(QList<int>, downs);
    QFETCH(QStringList, frames);
    QFETCH(QString, question);
    QFETCH(bool, defaultAnswer);
    QFETCH(QString, frameAfterDefault);

    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(quint16(heatSupply)));
    menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(quint16(fluid)));
    QString failure;
    QVERIFY2(enter(menu, QStringLiteral("measurementButton"), downs, frames, &failure),
             qPrintable(failure));
    // Each frame reads the other choice while it shows.
    QTRY_VERIFY_WITH_TIMEOUT(
        menu.evaluate(QStringLiteral("deviceProps.heatSupplySystem.value === %1 "
                                     "&& deviceProps.fluidType.value === %2")
                          .arg(heatSupply)
                          .arg(fluid))
            .toBool(),
        3000);
    menu.keyClick(Qt::Key_PageUp);
    menu.keyClick(Qt::Key_Return);
    if (question.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(activeEditor(menu) != nullptr, 2000);
        QVERIFY(!activePopup(menu) || activePopup(menu) == activeEditor(menu));
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) != nullptr, 2000);
    QObject *dialog = activePopup(menu);
    QCOMPARE(dialog->property("caption").toString(), question);
    QCOMPARE(dialog->property("defaultAnswer").toBool(), defaultAnswer);
    // Return takes the focused answer, the default.
    menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) == nullptr, 2000);
    MenuDriver::settle(300);
    QCOMPARE(activeEditor(menu), nullptr);
    QCOMPARE(currentFrame(menu), frameAfterDefault);
    if (defaultAnswer)
        QCOMPARE(currentCaption(menu), QStringLiteral("Fluid parameters"));
}

void tst_MenuTree::editorAfterYes()
{
    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(1));
    menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
    QVERIFY(enter(menu, QStringLiteral("measurementButton"), {2},
                  {"measurementParametersFrame", "fluidParametersFrame"}));
    QTRY_VERIFY_WITH_TIMEOUT(
        menu.evaluate(QStringLiteral("deviceProps.heatSupplySystem.value === 1")).toBool(), 3000);
    menu.keyClick(Qt::Key_PageUp);
    menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) != nullptr, 2000);
    QQuickItem *yes = menu.item(QStringLiteral("confirmYesButton"));
    QVERIFY(yes);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(menu.window(), Qt::Key_Left);
    QTest::keyClick(menu.window(), Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return activeEditor(menu) != nullptr; }, 2000));
    QVERIFY2(clock.elapsed() >= 95, qPrintable(QString::number(clock.elapsed())));
    QObject *editor = activeEditor(menu);
    QCOMPARE(editor->property("prop").value<QObject *>(),
             menu.evaluate(QStringLiteral("deviceProps.fluidType")).value<QObject *>());
    QMetaObject::invokeMethod(menu.object(QStringLiteral("editorsManager")), "closeEditor");
}

void tst_MenuTree::zeroOffsetInfo()
{
    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(400202, ModbusBytes::fromFloat(0.5f));
    menu.instrument().setRegisters(400204, ModbusBytes::fromFloat(1.25f));
    QVERIFY(enter(menu, QStringLiteral("measurementButton"), {5},
                  {"measurementParametersFrame", "additionalParametersFrame"}));
    QQuickItem *row = menu.item(QStringLiteral("zeroOffsetInfoRow"));
    QVERIFY(row);
    QTRY_COMPARE_WITH_TIMEOUT(row->property("caption").toString(),
                              QStringLiteral("dt0: 0.500000 µs    Padd: 1.250 µs"), 3000);
    QCOMPARE(row->property("value").toString(), QString());
    QVERIFY(!row->property("clickable").toBool());
}

void tst_MenuTree::failures()
{
    MenuDriver &menu = this->menu(Desktop);
    QVERIFY(enter(menu, QStringLiteral("systemSettingsButton"), {3, 1},
                  {"systemSettingsFrame", "deviceStatusFrame", "failuresFrame"}));
    QQuickItem *row = menu.item(QStringLiteral("failuresRow"));
    QCOMPARE(row->property("value").toString(), QStringLiteral("b0000000000000001"));

    const QList<QQuickItem *> flags = rows(menu, QStringLiteral("failuresFrame"));
    QCOMPARE(flags.size(), 16);
    for (int i = 0; i < flags.size(); ++i) {
        auto *value = flags[i]->property("valueItem").value<QQuickItem *>();
        QVERIFY(value);
        QTRY_COMPARE_WITH_TIMEOUT(value->property("color").value<QColor>(),
                                  QColor(i == 0 ? "#D00000" : "black"), 2000);
    }
}

void tst_MenuTree::chargeLevel_data()
{
    QTest::addColumn<int>("powerStatus");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("unit");
    QTest::newRow("unknown") << 0 << "..." << QString();
    QTest::newRow("on battery") << 1 << "15"
                                << "%";
    QTest::newRow("charging") << 2 << "15"
                              << "%";
    QTest::newRow("no battery") << 3 << "..." << QString();
    QTest::newRow("full") << 4 << "15"
                          << "%";
}

void tst_MenuTree::chargeLevel()
{
    QFETCH(int, powerStatus);
    QFETCH(QString, shown);
    QFETCH(QString, unit);

    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(300746, ModbusBytes::fromUInt16(quint16(powerStatus)));
    menu.instrument().setRegisters(300747, ModbusBytes::fromUInt16(15));
    QVERIFY(enter(menu, QStringLiteral("systemSettingsButton"), {3},
                  {"systemSettingsFrame", "deviceStatusFrame"}));
    QQuickItem *row = menu.item(QStringLiteral("chargeLevelRow"));
    QTRY_COMPARE_WITH_TIMEOUT(row->property("value").toString(), shown, 3000);
    QCOMPARE(row->property("dimension").toString(), unit);
}

void tst_MenuTree::batteryTime_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("90 min") << 90 << "1 h 30 min\n4 h 17 min";
    QTest::newRow("40 min") << 40 << "40 min\n1 h 54 min";
    QTest::newRow("none") << 0 << "-";
    QTest::newRow("negative") << -5 << "-";
}

void tst_MenuTree::batteryTime()
{
    QFETCH(int, minutes);
    QFETCH(QString, shown);

    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(300748, ModbusBytes::fromUInt16(quint16(qint16(minutes))));
    QVERIFY(enter(menu, QStringLiteral("systemSettingsButton"), {3},
                  {"systemSettingsFrame", "deviceStatusFrame"}));
    QQuickItem *row = menu.item(QStringLiteral("batteryTimeRow"));
    QTRY_COMPARE_WITH_TIMEOUT(row->property("value").toString(), shown, 3000);
}

void tst_MenuTree::softwareIdentificator()
{
    QCOMPARE(menu(Desktop).item(QStringLiteral("softwareIdRow"))->property("value").toString(),
             QStringLiteral("Dorrik Tavrin"));
    // The run without the heat channel is the export-brand build.
    QCOMPARE(menu(NoHeat).item(QStringLiteral("softwareIdRow"))->property("value").toString(),
             QStringLiteral("Zunfel Qvx"));
}

void tst_MenuTree::factoryResetNeedsConnection()
{
    MenuDriver &menu = this->menu(Desktop);
    QQuickItem *row = menu.item(QStringLiteral("initializeRow"));
    QVERIFY(row);
    QVERIFY(row->property("clickable").toBool());
    menu.instrument().disconnectLink();
    QTRY_VERIFY_WITH_TIMEOUT(!row->property("clickable").toBool(), 2000);
    QVERIFY(row->property("skip").toBool());
    // A click on it now does nothing.
    QVERIFY(enter(menu, QStringLiteral("systemSettingsButton"), {}, {"systemSettingsFrame"}));
    menu.click(row);
    MenuDriver::settle(200);
    QCOMPARE(activePopup(menu), nullptr);
    menu.instrument().connectLink();
    QTRY_VERIFY_WITH_TIMEOUT(row->property("clickable").toBool(), 3000);
}

void tst_MenuTree::calculationError_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<quint32>("command");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message"); // empty: none may show

    QTest::newRow("Ki, write started")
        << 2 << "pulseOutSettingsFrame" << quint32(403254) << true << "KI calculation error";
    QTest::newRow("Ki, a failed read only")
        << 2 << "pulseOutSettingsFrame" << quint32(403254) << false << QString();
    QTest::newRow("KP, write started")
        << 3 << "frequencyOutSettingsFrame" << quint32(403253) << true << "KP calculation error";
    QTest::newRow("KP, a failed read only")
        << 3 << "frequencyOutSettingsFrame" << quint32(403253) << false << QString();
}

void tst_MenuTree::calculationError()
{
    QFETCH(int, mode);
    QFETCH(QString, frame);
    QFETCH(quint32, command);
    QFETCH(bool, written);
    QFETCH(QString, message);

    MenuDriver &menu = this->menu(Desktop);
    menu.instrument().setRegisters(discreteOutputMode, ModbusBytes::fromUInt16(quint16(mode)));
    QVERIFY(enter(menu, QStringLiteral("peripheryButton"), {1},
                  {"peripherySettingsFrame", "discreteOutputSettings"}));
    QQuickItem *parameters = menu.item(QStringLiteral("discreteOutputParametersRow"));
    QTRY_VERIFY_WITH_TIMEOUT(parameters->property("frame").value<QObject *>() == menu.object(frame),
                             3000);
    menu.keyClick(Qt::Key_PageUp);
    menu.keyClick(Qt::Key_Down);
    menu.keyClick(Qt::Key_Return);
    QVERIFY(waitForFrame(menu, frame));

    menu.instrument().clearRequests();
    menu.instrument().setException(command, DorrikBus::IllegalDataValue);
    if (written) {
        QQuickItem *row = menu.item(mode == 2 ? QStringLiteral("calculateKiRow")
                                              : QStringLiteral("calculateKpRow"));
        QVERIFY(row);
        menu.click(row);
        // Answered by keys: a click could land where the button is not yet while the popup
        // slides in.
        QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) != nullptr, 2000);
        QQuickItem *yes = menu.item(QStringLiteral("confirmYesButton"));
        QQuickItem *no = menu.item(QStringLiteral("confirmNoButton"));
        QVERIFY(yes && no);
        QTRY_VERIFY_WITH_TIMEOUT(yes->hasActiveFocus() || no->hasActiveFocus(), 2000);
        QTest::keyClick(menu.window(), Qt::Key_Left);
        QTest::keyClick(menu.window(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(RequestLog::countOf(RequestLog::described(menu.requests()),
                                                     QStringLiteral("W %1 .*").arg(command)) == 1,
                                 3000);
        QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) &&
                                     activePopup(menu)->property("caption").toString() == message,
                                 3000);
    } else {
        // The row's own reading of the command register fails, again and again.
        QVERIFY(MenuDriver::waitFor([&] { return readsOf(menu.requests(), command) >= 2; }, 3000));
        MenuDriver::settle(200);
        QCOMPARE(activePopup(menu), nullptr);
    }
    menu.instrument().clearExceptions();
    QMetaObject::invokeMethod(menu.object(QStringLiteral("screenManager")), "closeAllPopups");
}

void tst_MenuTree::documentOpens()
{
    MenuDriver &menu = this->menu(Desktop);
    const QString dir = menu.context()->property("docsDir").toString();
    QVERIFY(QDir().mkpath(dir));
    const QString manual = dir + QStringLiteral("Operation manual.pdf");
    const QString notes = dir + QStringLiteral("notes.txt");
    QStringList made;
    for (const QString &path : {manual, notes}) {
        if (QFileInfo::exists(path))
            continue;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        made.append(path);
    }
    const auto cleanup = qScopeGuard([&] {
        for (const QString &path : std::as_const(made))
            QFile::remove(path);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    });
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");

    QVERIFY(enter(menu, QStringLiteral("documentationButton"), {}, {"documentationFrame"}));
    QObject *list = menu.object(QStringLiteral("documentsList"));
    QMetaObject::invokeMethod(list, "fill");
    // Documents only, by their names without extension and with their form.
    QTRY_VERIFY_WITH_TIMEOUT(menu.itemByText(QStringLiteral("Operation manual (PDF)")) != nullptr,
                             2000);
    QCOMPARE(menu.itemByText(QStringLiteral("notes")), nullptr);
    QCOMPARE(menu.itemByText(QStringLiteral("notes.txt")), nullptr);

    // The list starts at its first entry; walk to the manual and open it.
    for (int i = 0; i < 8 && list->property("selected").toString() != manual; ++i)
        menu.keyClick(Qt::Key_Down);
    QCOMPARE(list->property("selected").toString(), manual);
    menu.keyClick(Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(catcher.urls.size(), 1, 2000);
    QCOMPARE(catcher.urls.first(), QUrl::fromLocalFile(manual));
}

void tst_MenuTree::shippedGuideOpens_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("viewer");
    QTest::newRow("instrument, html")
        << true << QStringLiteral(".html") << QStringLiteral("webViewer");
    QTest::newRow("instrument, pdf")
        << true << QStringLiteral(".pdf") << QStringLiteral("pdfViewer");
    QTest::newRow("desktop, html") << false << QStringLiteral(".html") << QString();
    QTest::newRow("desktop, pdf") << false << QStringLiteral(".pdf") << QString();
}

// The guide the build ships beside the program is listed twice, as HTML and as PDF, each row
// naming its form; the instrument opens it in its own viewer, the desktop in the desktop's.
void tst_MenuTree::shippedGuideOpens()
{
    QFETCH(bool, embedded);
    QFETCH(QString, extension);
    QFETCH(QString, viewer);
    MenuDriver &menu = this->menu(embedded ? Embedded : Desktop);
    const QString guide = menu.context()->property("docsDir").toString() +
                          QStringLiteral("Short User Guide") + extension;
    QVERIFY2(QFileInfo::exists(guide), qPrintable(guide));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const auto cleanup = qScopeGuard([&] {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QMetaObject::invokeMethod(menu.object(QStringLiteral("screenManager")), "closeAllPopups");
    });

    QVERIFY(enter(menu, QStringLiteral("documentationButton"), {}, {"documentationFrame"}));
    QObject *list = menu.object(QStringLiteral("documentsList"));
    QMetaObject::invokeMethod(list, "fill");
    QObject *listView = list->property("listView").value<QObject *>();
    QStringList paths;
    QTRY_VERIFY_WITH_TIMEOUT(listView->property("count").toInt() >= 2, 2000);
    for (int i = 0; i < listView->property("count").toInt(); ++i) {
        QQuickItem *row = nullptr;
        QMetaObject::invokeMethod(listView, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, row),
                                  Q_ARG(int, i));
        if (row && row->property("baseNameTr").toString() == QLatin1String("Short User Guide"))
            paths.append(row->property("path").toString());
    }
    paths.sort();
    QCOMPARE(paths, QStringList({menu.context()->property("docsDir").toString() +
                                     QStringLiteral("Short User Guide.html"),
                                 menu.context()->property("docsDir").toString() +
                                     QStringLiteral("Short User Guide.pdf")}));
    // The two rows tell the forms apart.
    QVERIFY(menu.itemByText(QStringLiteral("Short User Guide (HTML)")));
    QVERIFY(menu.itemByText(QStringLiteral("Short User Guide (PDF)")));
    QCOMPARE(menu.itemByText(QStringLiteral("Short User Guide")), nullptr);

    for (int i = 0; i < 8 && list->property("selected").toString() != guide; ++i)
        menu.keyClick(Qt::Key_Down);
    QCOMPARE(list->property("selected").toString(), guide);
    menu.keyClick(Qt::Key_Return);
    if (embedded) {
        QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) != nullptr, 2000);
        QObject *shown = activePopup(menu)->property("viewer").value<QObject *>();
        QVERIFY(shown);
        QCOMPARE(shown->objectName(), viewer);
        QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu)->property("caption").toString().startsWith(
                                     QLatin1String("Tavrin menu: short user guide")),
                                 3000);
        QVERIFY(menu.context()->property("discardDragDistance").toBool());
        QVERIFY(catcher.urls.isEmpty());
        menu.keyClick(Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(activePopup(menu), nullptr, 2000);
        QVERIFY(!menu.context()->property("discardDragDistance").toBool());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(catcher.urls.size(), 1, 2000);
        QCOMPARE(catcher.urls.first(), QUrl::fromLocalFile(guide));
        QCOMPARE(activePopup(menu), nullptr);
    }
}

void tst_MenuTree::documentOpenFails_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("html") << QStringLiteral(".html");
    QTest::newRow("pdf") << QStringLiteral(".pdf");
}

// A desktop without a program for the file type: the open is not silent, and after the message
// the keys act on the list again.
void tst_MenuTree::documentOpenFails()
{
    QFETCH(QString, extension);
    MenuDriver menu;
    auto context = std::make_unique<MenuTestContext>();
    context->openUrlAnswer = false;
    MenuTestContext *desktop = context.get();
    menu.setContext(std::move(context));
    prepareInstrument(menu.instrument(), true);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    const QString guide = desktop->docsDir() + QStringLiteral("Short User Guide") + extension;
    QVERIFY2(QFileInfo::exists(guide), qPrintable(guide));

    QVERIFY(enter(menu, QStringLiteral("documentationButton"), {}, {"documentationFrame"}));
    QObject *list = menu.object(QStringLiteral("documentsList"));
    QMetaObject::invokeMethod(list, "fill");
    QTRY_VERIFY_WITH_TIMEOUT(!list->property("selected").toString().isEmpty(), 2000);
    for (int i = 0; i < 8 && list->property("selected").toString() != guide; ++i)
        menu.keyClick(Qt::Key_Down);
    QCOMPARE(list->property("selected").toString(), guide);
    menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(desktop->calls().contains(QStringLiteral("openUrl: ") + guide), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(activePopup(menu) != nullptr, 2000);
    QCOMPARE(activePopup(menu)->property("caption").toString(),
             QStringLiteral("Cannot open Short User Guide") + extension);

    QQuickItem *ok = menu.item(QStringLiteral("messageBoxOkButton"));
    QVERIFY(ok);
    QTRY_VERIFY_WITH_TIMEOUT(ok->hasActiveFocus(), 2000);
    menu.keyClick(Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(activePopup(menu), nullptr, 2000);
    const QString before = list->property("selected").toString();
    menu.keyClick(extension == QLatin1String(".pdf") ? Qt::Key_Up : Qt::Key_Down);
    QTRY_VERIFY_WITH_TIMEOUT(list->property("selected").toString() != before, 2000);
}

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
