// The calibration wizards against the simulated instrument: the command and stage registers they
// write step by step and the state the screen is in after each step, what they poll while shown,
// the current site's record made before a start, and each wizard walked by the instrument's own
// panel keys.
#include "menucontext.h"
#include "menudriver.h"
#include "modbusbytes.h"
#include "panelkeys.h"
#include "requestlog.h"
#include "siterecords.h"

#include <QColor>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

using namespace RequestLog;

constexpr int Wait = 1500;     // the zero offset and delay wizards' wait, shortened
constexpr int StartWait = 300; // the on-flow wizard's wait for the instrument to take its start
constexpr int Tick = 100;      // the instrument's countdown step of an on-flow stage

QString frameScript(const QString &frame)
{
    return QStringLiteral("navigationManager.deviceFrames.") + frame;
}

QString currentFrame(const MenuDriver &menu)
{
    return menu
        .evaluate(QStringLiteral("navigationManager.currentFrame ? "
                                 "navigationManager.currentFrame.objectName : ''"))
        .toString();
}

// The on-flow wizard at its start, whatever an earlier case left running.
void resetOnFlow(MenuDriver &menu)
{
    menu.instrument().setOnFlowCalibrationTaken(true);
    menu.evaluate(frameScript(QStringLiteral("settingZeroFlowPointFrame")) +
                  QStringLiteral(".stop()"));
    MenuDriver::settle(300);
}

bool showFrame(MenuDriver &menu, const QString &frame)
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *target = menu.object(frame);
    if (!navigation || !target)
        return false;
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(target)),
                              Q_ARG(QVariant, true));
    return MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 3000);
}

QString stateOf(const MenuDriver &menu, const QString &frame)
{
    return menu.evaluate(frameScript(frame) + QStringLiteral(".state")).toString();
}

// The log cleared once a read of `address` already on its way has come in.
bool clearedAfterReadsOf(MenuDriver &menu, quint32 address)
{
    return clearWhenQuiet(menu, [address](const QList<InstrumentRequest> &requests) {
        return readsOf(requests, address) > 0;
    });
}

bool writesNothingTo(MenuDriver &menu, quint32 address, int ms = 300)
{
    MenuDriver::settle(ms);
    return countOf(described(menu.requests()), QStringLiteral("W %1 .*").arg(address)) == 0;
}

void shortenWaits(MenuDriver &menu)
{
    menu.instrument().setCalibrationTick(Tick);
    for (const char *frame : {"calibratingZeroFlowOffsetFrame", "additionalDelayAdjustmentFrame"})
        menu.evaluate(frameScript(QLatin1String(frame)) +
                      QStringLiteral(".waitDuration = %1").arg(Wait));
    menu.evaluate(frameScript(QStringLiteral("settingZeroFlowPointFrame")) +
                  QStringLiteral(".startWait = %1").arg(StartWait));
}

QString captionOf(const QQuickItem *button)
{
    return button ? button->property("caption").toString() : QString();
}

const QString StartRefused =
    QStringLiteral("The device did not take the start of the calibration.");
const QString StopRefused = QStringLiteral(
    "The device did not take the stop of the calibration. It is sent again until the device "
    "takes it.");
const QString SetRefused = QStringLiteral("The device did not take the result of the calibration.");
const QString StepRefused = QStringLiteral("The device did not take the step of the calibration.");

// The instrument answers everything again, and no message is left open.
void clearFaults(MenuDriver &menu)
{
    menu.instrument().clearExceptions();
    menu.instrument().setDropAnswers(0);
    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    MenuDriver::settle(300);
}

// A message box that shows `text`, closed by its button; false when none came.
bool closeMessage(MenuDriver &menu, const QString &text, int timeoutMs = 5000)
{
    if (!MenuDriver::waitFor([&] { return menu.itemByText(text) != nullptr; }, timeoutMs)) {
        qWarning().noquote() << "no message" << text;
        return false;
    }
    QQuickItem *ok = menu.item(QStringLiteral("messageBoxOkButton"));
    if (!ok)
        return false;
    menu.click(ok);
    return MenuDriver::waitFor([&] { return menu.itemByText(text) == nullptr; }, 3000);
}

int writesOf(MenuDriver &menu, quint32 address, int value)
{
    return countOf(described(menu.requests()),
                   QStringLiteral("W %1 %2").arg(address).arg(value, 4, 10, QLatin1Char('0')));
}

// The text the item shows, by objectName.
QString textOf(const MenuDriver &menu, const QString &name)
{
    QQuickItem *item = menu.item(name);
    return item ? item->property("text").toString() : QString();
}

} // namespace

class tst_Calibration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void waitWizardSteps_data();
    void waitWizardSteps();
    void waitWizardFaults_data();
    void waitWizardFaults();
    void commandPolledOnlyWhileShown_data();
    void commandPolledOnlyWhileShown();
    void onFlowWizard();
    void onFlowStartRefused();
    void onFlowStopDuringStartWait();
    void onFlowFaults_data();
    void onFlowFaults();
    void startMakesEmptyCurrentSite_data();
    void startMakesEmptyCurrentSite();
    void byPanelKeys_data();
    void byPanelKeys();

private:
    std::unique_ptr<MenuDriver> m_menu;
};

void tst_Calibration::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    m_menu->instrument().setSites({{0, QStringLiteral("Site 1")}});
    QVERIFY(startMenu(*m_menu));
    shortenWaits(*m_menu);
}

void tst_Calibration::cleanupTestCase()
{
    m_menu.reset();
}

// Steps as "action value state": the value written to the command register by the action ("-"
// for none) and the wizard's state after it.
void tst_Calibration::waitWizardSteps_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("prefix"); // of the buttons' objectNames
    QTest::addColumn<quint32>("command");
    QTest::addColumn<QStringList>("lockedRows"); // not clickable while waiting
    QTest::addColumn<QStringList>("steps");

    const QList<std::tuple<const char *, const char *, const char *, quint32, QStringList>> wizards{
        {"zero offset",
         "calibratingZeroFlowOffsetFrame",
         "zeroOffset",
         403252,
         {"zeroOffsetDt0Row"}},
        {"additional delay",
         "additionalDelayAdjustmentFrame",
         "delay",
         403251,
         {"delayFluidSoundSpeedRow", "delayAdditionalDelayRow"}}};
    const QList<QPair<const char *, QStringList>> runs{
        {"start, wait ends, set", {"start 1 waiting", "waitEnds 0 finished", "set 2 default"}},
        {"stop during the wait", {"start 1 waiting", "stop 0 finished"}},
        {"start again after the wait",
         {"start 1 waiting", "waitEnds 0 finished", "start 1 waiting", "stop 0 finished"}},
        {"hidden during the wait", {"start 1 waiting", "hide - default", "show - default"}},
        // The run goes on in the instrument meanwhile: "Stop" ends it.
        {"hidden and shown during the wait, then stop",
         {"start 1 waiting", "hide - default", "show - default", "stop 0 default"}}};
    for (const auto &[wizard, frame, prefix, command, locked] : wizards) {
        for (const auto &run : runs)
            QTest::addRow("%s: %s", wizard, run.first)
                << frame << prefix << command << locked << run.second;
    }
}

void tst_Calibration::waitWizardSteps()
{
    QFETCH(QString, frame);
    QFETCH(QString, prefix);
    QFETCH(quint32, command);
    QFETCH(QStringList, lockedRows);
    QFETCH(QStringList, steps);
    MenuDriver &menu = *m_menu;
    QVERIFY(showFrame(menu, QStringLiteral("additionalParametersFrame")));
    QVERIFY(showFrame(menu, frame));
    QCOMPARE(stateOf(menu, frame), QStringLiteral("default"));
    QQuickItem *start = menu.item(prefix + QStringLiteral("StartButton"));
    QQuickItem *set = menu.item(prefix + QStringLiteral("SetButton"));
    QVERIFY(start && set);
    QVERIFY(!set->isEnabled());

    for (const QString &step : std::as_const(steps)) {
        const QStringList parts = step.split(u' ');
        const QString &action = parts[0];
        const QString &value = parts[1];
        const QString &state = parts[2];
        menu.instrument().clearRequests();
        if (action == QLatin1String("start")) {
            QCOMPARE(captionOf(start), QStringLiteral("Start"));
            menu.click(start);
        } else if (action == QLatin1String("stop")) {
            QTRY_COMPARE_WITH_TIMEOUT(captionOf(start), QStringLiteral("Stop"), 3000);
            menu.click(start);
        } else if (action == QLatin1String("set")) {
            menu.click(set);
        } else if (action == QLatin1String("hide")) {
            menu.keyClick(Qt::Key_Escape);
            QVERIFY(MenuDriver::waitFor(
                [&] { return currentFrame(menu) == QLatin1String("additionalParametersFrame"); },
                3000));
        } else if (action == QLatin1String("show")) {
            QVERIFY(showFrame(menu, frame));
        }
        // "waitEnds": the bar fills by itself.
        const int timeout = action == QLatin1String("waitEnds") ? Wait + 3000 : 3000;
        if (value == QLatin1String("-")) {
            QVERIFY2(writesNothingTo(menu, command), qPrintable(step));
        } else {
            QVERIFY2(
                waitForLog(menu, {QStringLiteral("W %1 000%2").arg(command).arg(value)}, timeout),
                qPrintable(step));
        }
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), state, timeout);
        QCOMPARE(set->isEnabled(), state == QLatin1String("finished"));
        for (const QString &row : std::as_const(lockedRows))
            QVERIFY2(menu.item(row)->property("clickable").toBool() != (state == "waiting"),
                     qPrintable(row + QStringLiteral(" in ") + state));
        if (action == QLatin1String("hide")) {
            // The run goes on in the instrument: measuring cannot be started meanwhile.
            QVERIFY(MenuDriver::waitFor(
                [&] { return evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")); },
                3000));
            QVERIFY(evalTrue(menu, QStringLiteral("deviceProps.measuring")));
        }
        if (value == QLatin1String("0") && state == QLatin1String("default")) {
            QVERIFY(MenuDriver::waitFor(
                [&] { return !evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")); },
                3000));
        }
        if (action == QLatin1String("set"))
            QVERIFY(start->hasActiveFocus());
        if (action == QLatin1String("show") && state == QLatin1String("default"))
            QTRY_COMPARE_WITH_TIMEOUT(captionOf(start), QStringLiteral("Stop"), 3000);
    }
    // Whatever the run left in the instrument.
    menu.evaluate(QStringLiteral("deviceModbus.setZeroFlowOffsetdt0.value = 0; "
                                 "deviceModbus.setZeroFlowOffsetdt0.write(); "
                                 "deviceModbus.adjustAdditionalDelay.value = 0; "
                                 "deviceModbus.adjustAdditionalDelay.write()"));
    MenuDriver::settle(200);
}

void tst_Calibration::waitWizardFaults_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<quint32>("command");
    QTest::addColumn<quint32>("setting"); // the site setting that "Set" changes
    QTest::addColumn<QString>("step");    // start, waitEnd, stop or set
    QTest::addColumn<bool>("silent");     // no answer at all, else the write refused
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("state"); // while the instrument does not take the step
    QTest::addColumn<QString>("back");  // once it answers again

    const QList<std::tuple<const char *, const char *, const char *, quint32, quint32>> wizards{
        {"zero offset", "calibratingZeroFlowOffsetFrame", "zeroOffset", 403252, 400202},
        {"additional delay", "additionalDelayAdjustmentFrame", "delay", 403251, 400204}};
    for (const auto &[wizard, frame, prefix, command, setting] : wizards) {
        const auto row = [&](const char *name, const char *step, bool silent,
                             const QString &message, const char *state, const char *back) {
            QTest::addRow("%s: %s", wizard, name) << frame << prefix << command << setting << step
                                                  << silent << message << state << back;
        };
        // No run, nothing to set: the wait's end stops nothing and offers no "Set".
        row("start refused", "start", false, StartRefused, "default", "default");
        // The instrument would go on calibrating: the stop is sent until it is taken.
        row("silent at the wait's end, then back", "waitEnd", true, StopRefused, "stopping",
            "finished");
        row("stop refused, then taken", "stop", false, StopRefused, "stopping", "finished");
        row("set refused", "set", false, SetRefused, "finished", "default");
    }
}

void tst_Calibration::waitWizardFaults()
{
    QFETCH(QString, frame);
    QFETCH(QString, prefix);
    QFETCH(quint32, command);
    QFETCH(quint32, setting);
    QFETCH(QString, step);
    QFETCH(bool, silent);
    QFETCH(QString, message);
    QFETCH(QString, state);
    QFETCH(QString, back);
    MenuDriver &menu = *m_menu;
    TavrinInstrument &instrument = menu.instrument();
    const auto fault = [&] {
        if (silent)
            instrument.setDropAnswers(-1);
        else
            instrument.setWriteException(command, DorrikBus::SlaveDeviceBusy);
    };
    // Not what a calibration measures: a change shows.
    const ModbusBytes settingBefore = ModbusBytes::fromFloat(9.5f);
    instrument.setRegisters(setting, settingBefore);
    QVERIFY(showFrame(menu, QStringLiteral("additionalParametersFrame")));
    QVERIFY(showFrame(menu, frame));
    QQuickItem *start = menu.item(prefix + QStringLiteral("StartButton"));
    QQuickItem *set = menu.item(prefix + QStringLiteral("SetButton"));
    // A wait long enough to go silent before its end, on a loaded machine too.
    menu.evaluate(frameScript(frame) + QStringLiteral(".waitDuration = %1").arg(3 * Wait));
    menu.evaluate(frameScript(frame) + QStringLiteral(".stopRetryInterval = 300"));
    instrument.clearRequests();

    if (step == QLatin1String("start"))
        fault();
    menu.click(start);
    QVERIFY(waitForLog(menu, {QStringLiteral("W %1 0001").arg(command)}));
    if (step == QLatin1String("waitEnd")) {
        QTRY_VERIFY_WITH_TIMEOUT(evalTrue(menu, frameScript(frame) + QStringLiteral(".ran")), 3000);
        fault();
    } else if (step == QLatin1String("stop")) {
        QTRY_VERIFY_WITH_TIMEOUT(evalTrue(menu, frameScript(frame) + QStringLiteral(".ran")), 3000);
        fault();
        menu.click(start);
    } else if (step == QLatin1String("set")) {
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("finished"),
                                  3 * Wait + 3000);
        fault();
        menu.click(set);
        QVERIFY(waitForLog(menu, {QStringLiteral("W %1 0002").arg(command)}));
    }

    // What the operator sees while the instrument does not take the step.
    QVERIFY(
        MenuDriver::waitFor([&] { return menu.itemByText(message) != nullptr; }, 3 * Wait + 10000));
    QCOMPARE(stateOf(menu, frame), state);
    QCOMPARE(set->isEnabled(), state == QLatin1String("finished"));
    if (state == QLatin1String("stopping")) {
        QCOMPARE(captionOf(start), QStringLiteral("Stop"));
        // Sent again and again while it is not taken.
        QTRY_VERIFY_WITH_TIMEOUT(writesOf(menu, command, 0) >= 3, 10000);
        QCOMPARE(stateOf(menu, frame), QStringLiteral("stopping"));
    }
    QVERIFY(closeMessage(menu, message));

    instrument.clearExceptions();
    instrument.setDropAnswers(0);
    if (step == QLatin1String("set"))
        menu.click(set);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), back, 10000);
    QCOMPARE(set->isEnabled(), back == QLatin1String("finished"));
    if (step == QLatin1String("start")) {
        // The wait is over and nothing else is written: there is no run to stop or set.
        MenuDriver::settle(3 * Wait + 500);
        QCOMPARE(writesOf(menu, command, 0), 0);
        QCOMPARE(stateOf(menu, frame), QStringLiteral("default"));
    }
    // The instrument has stopped; only a "Set" it took changed the site.
    QTRY_COMPARE_WITH_TIMEOUT(instrument.registers(command, 1).toUInt16(0), quint16(0), 3000);
    QVERIFY(MenuDriver::waitFor(
        [&] { return !evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")); }, 5000));
    QCOMPARE(writesOf(menu, command, 2), step == QLatin1String("set") ? 2 : 0);
    if (step == QLatin1String("set"))
        QVERIFY(instrument.registers(setting, 2) != settingBefore);
    else
        QCOMPARE(instrument.registers(setting, 2), settingBefore);
    // No second message about the same step.
    QVERIFY(!menu.itemByText(message));

    clearFaults(menu);
    menu.evaluate(frameScript(frame) + QStringLiteral(".waitDuration = %1").arg(Wait));
}

void tst_Calibration::commandPolledOnlyWhileShown_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<quint32>("command");
    QTest::newRow("zero offset") << "calibratingZeroFlowOffsetFrame" << quint32(403252);
    QTest::newRow("additional delay") << "additionalDelayAdjustmentFrame" << quint32(403251);
    QTest::newRow("zero point on flow") << "settingZeroFlowPointFrame" << quint32(403257);
}

void tst_Calibration::commandPolledOnlyWhileShown()
{
    QFETCH(QString, frame);
    QFETCH(quint32, command);
    MenuDriver &menu = *m_menu;
    QVERIFY(showFrame(menu, QStringLiteral("additionalParametersFrame")));
    QVERIFY(clearedAfterReadsOf(menu, command));
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), command), 0);

    QVERIFY(showFrame(menu, frame));
    QTRY_VERIFY_WITH_TIMEOUT(readsOf(menu.requests(), command) >= 2, 4000);

    menu.keyClick(Qt::Key_Escape);
    QVERIFY(MenuDriver::waitFor(
        [&] { return currentFrame(menu) == QLatin1String("additionalParametersFrame"); }, 3000));
    QVERIFY(clearedAfterReadsOf(menu, command));
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), command), 0);
}

void tst_Calibration::onFlowWizard()
{
    MenuDriver &menu = *m_menu;
    resetOnFlow(menu);
    TavrinInstrument &instrument = menu.instrument();
    const QString frame = QStringLiteral("settingZeroFlowPointFrame");
    instrument.setSoundSpeed(1.48);
    QVERIFY(showFrame(menu, frame));
    QQuickItem *start = menu.item(QStringLiteral("onFlowStartButton"));
    QQuickItem *next = menu.item(QStringLiteral("onFlowNextButton"));
    QQuickItem *bar = menu.item(QStringLiteral("onFlowProgress"));
    QVERIFY(start && next && bar);
    QCOMPARE(stateOf(menu, frame), QStringLiteral("stage1"));
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")),
             QStringLiteral("Place the sensor 2 upstream, the sensor 1 downstream and press "
                            "\"Start\""));
    QVERIFY(!next->isEnabled());
    QVERIFY(!bar->isVisible());

    // Start: stage 0, the command, its read-back; once the instrument has taken it, stage 1.
    instrument.clearRequests();
    menu.click(start);
    QVERIFY(waitForLog(menu, {"W 403258 0000", "W 403257 0001", "R 403257 1"}));
    QCOMPARE(countOf(described(menu.requests()), "W 403258 0001"), 0);
    QCOMPARE(captionOf(start), QStringLiteral("Stop"));
    QVERIFY(waitForLog(menu, {"W 403257 0001", "W 403258 0001", "R 403257 1"}, StartWait + 3000));
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage1_2"), 3000);
    // The text follows the button: no "Next" to press while the instrument counts down.
    const QString waitText = QStringLiteral("Measuring, please wait...");
    const QString nextText = QStringLiteral("To continue, press \"Next\"");
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")), waitText);
    QVERIFY(bar->isVisible());
    QVERIFY(evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")));

    // The countdown: the bar at 15 minus the time left, Next once it is 0, with the focus.
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const double value = bar->property("value").toDouble();
            return value > 0 && value < 15;
        },
        3000));
    QVERIFY(!next->isEnabled());
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")), waitText);
    QTRY_VERIFY_WITH_TIMEOUT(next->isEnabled(), 15 * Tick + 3000);
    QCOMPARE(bar->property("value").toDouble(), 15.0);
    QVERIFY(next->hasActiveFocus());
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")), nextText);

    // Next: C1 read, the stage 2 text with it, the sound speed checked against it.
    instrument.setSoundSpeed(1.491);
    instrument.clearRequests();
    menu.click(next);
    QVERIFY(waitForLog(menu, {"R 306125 2"}));
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage2"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(
        textOf(menu, QStringLiteral("onFlowStageText")),
        QStringLiteral("Now place the sensor 1 upstream, the sensor 2 downstream (note that "
                       "the speed of sound should be equal to 1.480 ±0.01km/s) and press "
                       "\"Next\""),
        3000);
    QQuickItem *speed = menu.item(QStringLiteral("onFlowSoundSpeedValue"));
    QVERIFY(speed);
    // 0.011 away: red, Next disabled, the focus back on Start.
    QTRY_COMPARE_WITH_TIMEOUT(speed->property("color").value<QColor>(), QColor("#D00000"), 3000);
    MenuDriver::settle(1200);
    QVERIFY(!next->isEnabled());
    QVERIFY(start->hasActiveFocus());
    // 0.009 away: green, Next enabled.
    instrument.setSoundSpeed(1.489);
    QTRY_COMPARE_WITH_TIMEOUT(speed->property("color").value<QColor>(), QColor("#008000"), 3000);
    QVERIFY(next->isEnabled());
    QVERIFY(next->hasActiveFocus());

    // Stage 2's countdown, then stage 3.
    instrument.clearRequests();
    menu.click(next);
    QVERIFY(waitForLog(menu, {"W 403258 0002"}));
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage2_3"), 3000);
    QCOMPARE(speed->property("color").value<QColor>(), QColor("black"));
    QVERIFY(bar->isVisible());
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")), waitText);
    QTRY_VERIFY_WITH_TIMEOUT(next->isEnabled(), 15 * Tick + 3000);
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")), nextText);
    instrument.clearRequests();
    menu.click(next);
    QVERIFY(waitForLog(menu, {"W 403258 0003"}));
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage3"), 3000);
    QCOMPARE(textOf(menu, QStringLiteral("onFlowStageText")),
             QStringLiteral("Press \"Save\" to save calculated dt0 and return to menu."));
    QCOMPARE(captionOf(next), QStringLiteral("Save"));
    QVERIFY(next->isEnabled());
    QVERIFY(!bar->isVisible());

    // Save: stage 4, the command's end, back to the previous frame; the instrument keeps dt0.
    instrument.clearRequests();
    menu.click(next);
    QVERIFY(waitForLog(menu, {"W 403258 0004", "W 403257 0000"}));
    QVERIFY(MenuDriver::waitFor(
        [&] { return currentFrame(menu) == QLatin1String("additionalParametersFrame"); }, 3000));
    QCOMPARE(stateOf(menu, frame), QStringLiteral("stage1"));
    QCOMPARE(instrument.registers(400202, 2), instrument.registers(306131, 2));
    QVERIFY(MenuDriver::waitFor(
        [&] { return !evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")); }, 3000));
    instrument.setSoundSpeed(0);
}

// The instrument does not take the command: no stage 1, the wizard stays at its start.
void tst_Calibration::onFlowStartRefused()
{
    MenuDriver &menu = *m_menu;
    resetOnFlow(menu);
    const QString frame = QStringLiteral("settingZeroFlowPointFrame");
    menu.instrument().setOnFlowCalibrationTaken(false);
    QVERIFY(showFrame(menu, frame));
    menu.instrument().clearRequests();
    menu.click(menu.item(QStringLiteral("onFlowStartButton")));
    QVERIFY(waitForLog(menu, {"W 403258 0000", "W 403257 0001", "R 403257 1"}));
    MenuDriver::settle(StartWait + 600);
    QCOMPARE(countOf(described(menu.requests()), "W 403258 0001"), 0);
    QCOMPARE(stateOf(menu, frame), QStringLiteral("stage1"));
    QCOMPARE(captionOf(menu.item(QStringLiteral("onFlowStartButton"))), QStringLiteral("Start"));
    menu.instrument().setOnFlowCalibrationTaken(true);
}

// Stop before the instrument's answer is looked at: the wait is cancelled, no stage 1 follows.
void tst_Calibration::onFlowStopDuringStartWait()
{
    MenuDriver &menu = *m_menu;
    resetOnFlow(menu);
    const QString frame = QStringLiteral("settingZeroFlowPointFrame");
    menu.evaluate(frameScript(frame) + QStringLiteral(".startWait = 1000"));
    QVERIFY(showFrame(menu, frame));
    QQuickItem *start = menu.item(QStringLiteral("onFlowStartButton"));
    menu.instrument().clearRequests();
    menu.click(start);
    QVERIFY(waitForLog(menu, {"W 403257 0001"}));
    menu.instrument().clearRequests();
    menu.click(start);
    QVERIFY(waitForLog(menu, {"W 403258 0000", "W 403257 0000"}));
    MenuDriver::settle(1500);
    QCOMPARE(countOf(described(menu.requests()), "W 403258 0001"), 0);
    QCOMPARE(stateOf(menu, frame), QStringLiteral("stage1"));
    QCOMPARE(captionOf(start), QStringLiteral("Start"));
    menu.evaluate(frameScript(frame) + QStringLiteral(".startWait = %1").arg(StartWait));
}

void tst_Calibration::onFlowFaults_data()
{
    QTest::addColumn<QString>("stage");    // the wizard's state when the fault comes
    QTest::addColumn<quint32>("refusing"); // the register whose writes are refused
    QTest::addColumn<QString>("write");    // the refused write
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("state"); // the wizard's state meanwhile
    QTest::addColumn<QString>("back");  // its state once the step is taken
    QTest::newRow("start refused")
        << "stage1" << quint32(403257) << "W 403257 0001" << StartRefused << "stage1"
        << "stage1";
    QTest::newRow("stage 2 refused")
        << "stage2" << quint32(403258) << "W 403258 0002" << StepRefused << "stage2"
        << "stage2_3";
    // The calibration goes on: not ended, nothing saved, the wizard stays.
    QTest::newRow("save refused") << "stage3" << quint32(403258) << "W 403258 0004" << SetRefused
                                  << "stage3"
                                  << "stage1";
    // Saved, but the instrument calibrates on: the end is sent until it is taken.
    QTest::newRow("end refused after the save")
        << "stage3" << quint32(403257) << "W 403257 0000" << StopRefused << "stage1"
        << "stage1";
}

// Each step only once the instrument took its write; a refused one leaves the wizard where the
// instrument is and says so.
void tst_Calibration::onFlowFaults()
{
    QFETCH(QString, stage);
    QFETCH(quint32, refusing);
    QFETCH(QString, write);
    QFETCH(QString, message);
    QFETCH(QString, state);
    QFETCH(QString, back);
    MenuDriver &menu = *m_menu;
    resetOnFlow(menu);
    TavrinInstrument &instrument = menu.instrument();
    const QString frame = QStringLiteral("settingZeroFlowPointFrame");
    const ModbusBytes offsetBefore = ModbusBytes::fromFloat(9.5f);
    instrument.setRegisters(400202, offsetBefore);
    instrument.setSoundSpeed(1.48);
    menu.evaluate(frameScript(frame) + QStringLiteral(".stopRetryInterval = 300"));
    QVERIFY(showFrame(menu, QStringLiteral("additionalParametersFrame")));
    QVERIFY(showFrame(menu, frame));
    QQuickItem *start = menu.item(QStringLiteral("onFlowStartButton"));
    QQuickItem *next = menu.item(QStringLiteral("onFlowNextButton"));
    const auto nextWhenEnabled = [&] {
        QVERIFY(MenuDriver::waitFor([&] { return next->isEnabled(); }, 15 * Tick + 5000));
        menu.click(next);
    };
    if (stage != QLatin1String("stage1")) {
        menu.click(start);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage1_2"),
                                  StartWait + 3000);
        nextWhenEnabled();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage2"), 3000);
    }
    if (stage == QLatin1String("stage3")) {
        nextWhenEnabled();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage2_3"), 3000);
        nextWhenEnabled();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("stage3"), 3000);
    }

    instrument.setWriteException(refusing, DorrikBus::SlaveDeviceBusy);
    instrument.clearRequests();
    if (stage == QLatin1String("stage1"))
        menu.click(start);
    else
        nextWhenEnabled();
    QVERIFY(waitForLog(menu, {write}));
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(message) != nullptr; }, 5000));
    QCOMPARE(stateOf(menu, frame), state);
    if (write == QLatin1String("W 403258 0004")) {
        QCOMPARE(currentFrame(menu), frame);
        QCOMPARE(countOf(described(menu.requests()), "W 403257 0000"), 0);
    }
    if (message == StopRefused) {
        QTRY_VERIFY_WITH_TIMEOUT(countOf(described(menu.requests()), write) >= 3, 10000);
        QVERIFY(evalTrue(menu, frameScript(frame) + QStringLiteral(".calibrating")));
    }
    if (stage == QLatin1String("stage1")) {
        MenuDriver::settle(StartWait + 500);
        QCOMPARE(countOf(described(menu.requests()), "W 403258 0001"), 0);
        QCOMPARE(stateOf(menu, frame), QStringLiteral("stage1"));
        QCOMPARE(captionOf(start), QStringLiteral("Start"));
    }
    QVERIFY(closeMessage(menu, message));

    // Taken now: the step repeated by the operator, or the end by the wizard itself.
    instrument.clearExceptions();
    instrument.clearRequests();
    if (message != StopRefused && stage != QLatin1String("stage1"))
        nextWhenEnabled();
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), back, 5000);
    if (stage == QLatin1String("stage3")) {
        QVERIFY(MenuDriver::waitFor(
            [&] { return currentFrame(menu) == QLatin1String("additionalParametersFrame"); },
            5000));
        QVERIFY(waitForLog(menu, {"W 403257 0000"}));
        QVERIFY(MenuDriver::waitFor(
            [&] { return !evalTrue(menu, QStringLiteral("deviceProps.calibrationStarted")); },
            5000));
        QCOMPARE(instrument.registers(400202, 2), instrument.registers(306131, 2));
        // Taken once, sent no more.
        const int ends = countOf(described(menu.requests()), "W 403257 0000");
        MenuDriver::settle(1000);
        QCOMPARE(countOf(described(menu.requests()), "W 403257 0000"), ends);
    } else {
        QCOMPARE(instrument.registers(400202, 2), offsetBefore);
    }
    QVERIFY(!menu.itemByText(message));
    clearFaults(menu);
    instrument.setSoundSpeed(0);
}

void tst_Calibration::startMakesEmptyCurrentSite_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command"); // the first write of the start
    QTest::addColumn<bool>("recordRead");
    const QList<std::tuple<const char *, const char *, const char *, const char *>> starts{
        {"zero offset", "calibratingZeroFlowOffsetFrame", "zeroOffsetStartButton", "W 403252 0001"},
        {"additional delay", "additionalDelayAdjustmentFrame", "delayStartButton", "W 403251 0001"},
        {"zero point on flow", "settingZeroFlowPointFrame", "onFlowStartButton", "W 403258 0000"},
        {"scheduler", "scheduleSettingsFrame", "scheduleStartButton", "W 403560 0001"}};
    for (const auto &[name, frame, button, command] : starts) {
        QTest::addRow("%s, empty record read", name) << frame << button << command << true;
        QTest::addRow("%s, record not read", name) << frame << button << command << false;
    }
}

// Only a record read well and found empty is written; one not read may hold a site.
void tst_Calibration::startMakesEmptyCurrentSite()
{
    QFETCH(QString, frame);
    QFETCH(QString, button);
    QFETCH(QString, command);
    QFETCH(bool, recordRead);
    MenuDriver menu;
    TavrinInstrument &instrument = menu.instrument();
    instrument.setSites({{1, QStringLiteral("North")}});
    if (!recordRead)
        instrument.setFileException(SiteRecords::File, DorrikBus::IllegalDataAddress);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    if (recordRead) {
        QVERIFY(MenuDriver::waitFor(
            [&] { return evalTrue(menu, QStringLiteral("sitesManager.readSiteIndex === 0")); },
            5000));
    } else {
        QVERIFY(MenuDriver::waitFor(
            [&] { return countOf(described(menu.requests()), QStringLiteral("FR 0x80 0 61")) > 0; },
            5000));
        MenuDriver::settle(300);
    }
    QVERIFY(!evalTrue(menu, QStringLiteral("deviceModbus.currentSiteItem.exists")));
    QVERIFY(showFrame(menu, frame));
    instrument.clearExceptions();
    instrument.clearRequests();
    menu.click(menu.item(button));
    if (frame == QLatin1String("scheduleSettingsFrame")) {
        QVERIFY(MenuDriver::waitFor(
            [&] { return menu.item(QStringLiteral("confirmYesButton")) != nullptr; }, 3000));
        MenuDriver::settle(300);
        menu.click(menu.item(QStringLiteral("confirmYesButton")));
    }
    QVERIFY(waitForLog(menu, {command}));
    if (recordRead) {
        QVERIFY(waitForLog(menu, {QStringLiteral("FW 0x80 0 61"), command}));
        QCOMPARE(ModbusBytes(instrument.file(SiteRecords::File).left(SiteRecords::RecordSize)),
                 encodeSiteRecord(QString(), QString(), QStringLiteral("Site 1")));
    } else {
        MenuDriver::settle(500);
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW .*")), 0);
    }
}

void tst_Calibration::byPanelKeys_data()
{
    QTest::addColumn<int>("row"); // in "Additional parameters"
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<quint32>("command");
    QTest::newRow("zero offset") << 1 << "calibratingZeroFlowOffsetFrame"
                                 << "zeroOffset" << quint32(403252);
    QTest::newRow("zero point on flow") << 2 << "settingZeroFlowPointFrame"
                                        << "onFlow" << quint32(403257);
    QTest::newRow("additional delay") << 3 << "additionalDelayAdjustmentFrame"
                                      << "delay" << quint32(403251);
}

// On the instrument (640x480, its panel's keys only), from the main frame to the wizard's end.
void tst_Calibration::byPanelKeys()
{
    QFETCH(int, row);
    QFETCH(QString, frame);
    QFETCH(QString, prefix);
    QFETCH(quint32, command);
    MenuContext::overrideEmbedded(1);
    MenuDriver menu(QSize(640, 480));
    menu.instrument().setSites({{0, QStringLiteral("Site 1")}});
    const bool started = startMenu(menu);
    MenuContext::overrideEmbedded(-1);
    QVERIFY(started);
    shortenWaits(menu);
    menu.instrument().setSoundSpeed(1.48);
    const auto press = [&](Qt::Key key) { QVERIFY(PanelKeys::press(menu, key)); };
    const auto focused = [&](const QString &name) {
        return MenuDriver::waitFor(
            [&] {
                QQuickItem *item = menu.item(name);
                return item && item->hasActiveFocus();
            },
            3000);
    };

    // Measurement parameters, then its sixth row, then the wizard's.
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "mainFrame"; }, 3000));
    QVERIFY(focused(QStringLiteral("measurementButton")));
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "measurementParametersFrame"; },
                                3000));
    press(Qt::Key_6);
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "additionalParametersFrame"; },
                                3000));
    // The first row only shows dt0 and the delay: the focus starts on the second.
    for (int i = 1; i < row; ++i)
        press(Qt::Key_Down);
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 3000));
    menu.instrument().clearRequests();

    if (prefix == QLatin1String("onFlow")) {
        QVERIFY(focused(QStringLiteral("onFlowStartButton")));
        press(Qt::Key_Return);
        QVERIFY(waitForLog(menu, {"W 403257 0001"}));
        // Each stage's Next takes the focus once it may be pressed.
        for (const char *stage : {"stage2", "stage2_3", "stage3"}) {
            QVERIFY(focused(QStringLiteral("onFlowNextButton")));
            press(Qt::Key_Return);
            QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QString::fromLatin1(stage), 3000);
        }
        QVERIFY(focused(QStringLiteral("onFlowNextButton")));
        press(Qt::Key_Return);
        QVERIFY(waitForLog(menu, {"W 403258 0004", "W 403257 0000"}));
    } else {
        // Down to the buttons' row: its first button, Start, takes the focus.
        const QString start = prefix + QStringLiteral("StartButton");
        for (int i = 0; i < 8 && !menu.item(start)->hasActiveFocus(); ++i)
            press(Qt::Key_Down);
        QVERIFY(focused(start));
        press(Qt::Key_Return);
        QVERIFY(waitForLog(menu, {QStringLiteral("W %1 0001").arg(command)}));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("finished"), Wait + 3000);
        press(Qt::Key_Right);
        QVERIFY(focused(prefix + QStringLiteral("SetButton")));
        // Left and entered again: "Set" can no longer be pressed, the focus is on Start.
        press(Qt::Key_Escape);
        QVERIFY(MenuDriver::waitFor(
            [&] { return currentFrame(menu) == "additionalParametersFrame"; }, 3000));
        press(Qt::Key_Return);
        QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 3000));
        QCOMPARE(stateOf(menu, frame), QStringLiteral("default"));
        QVERIFY(focused(start));
        menu.instrument().clearRequests();
        press(Qt::Key_Return);
        QVERIFY(waitForLog(menu, {QStringLiteral("W %1 0001").arg(command)}));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("finished"), Wait + 3000);
        press(Qt::Key_Right);
        QVERIFY(focused(prefix + QStringLiteral("SetButton")));
        press(Qt::Key_Return);
        QVERIFY(waitForLog(menu, {QStringLiteral("W %1 0001").arg(command),
                                  QStringLiteral("W %1 0000").arg(command),
                                  QStringLiteral("W %1 0002").arg(command)}));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(menu, frame), QStringLiteral("default"), 3000);
        QVERIFY(focused(start));
        // Left at the first button leaves the wizard.
        press(Qt::Key_Left);
    }
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "additionalParametersFrame"; },
                                3000));
}

QTEST_MAIN(tst_Calibration)
#include "tst_calibration.moc"
