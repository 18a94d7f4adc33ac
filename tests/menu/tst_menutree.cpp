// The instrument's menu tree against the simulated instrument: every frame reached by the keys a
// user has (arrows, Return, Escape), with its caption, on the desktop and on the instrument; the
// rows that depend on the instrument (heat channel, discrete output mode, failures, battery) and
// the registers each frame polls while it shows.
#include "menucontext.h"
#include "menudriver.h"
#include "modbusbytes.h"

#include <QQmlListReference>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {

const quint32 firmwareVersion = 300044;
const quint32 heatChannel = 300009;
const quint32 failuresRegister = 300751;
const quint32 discreteOutputMode = 403101;

const QStringList mainButtons{"measurementButton",  "dataLoggerButton",    "peripheryButton",
                              "applicationsButton", "documentationButton", "systemSettingsButton"};

bool isRead(const InstrumentRequest &request)
{
    return request.function == DorrikBus::ReadHoldingRegisters ||
           request.function == DorrikBus::ReadInputRegisters;
}

int readsOf(const QList<InstrumentRequest> &requests, quint32 address)
{
    int n = 0;
    for (const InstrumentRequest &request : requests) {
        if (isRead(request) && request.address <= address &&
            address < request.address + quint32(request.count))
            ++n;
    }
    return n;
}

// The instrument of these tests: generation 2 with the heat channel and one failure flag.
void prepareInstrument(SimulatedInstrument &instrument, bool heat)
{
    instrument.setRegisters(firmwareVersion, ModbusBytes::fromUInt32(heat ? 922400760 : 922400720));
    instrument.setRegisters(heatChannel, ModbusBytes::fromUInt16(heat ? 1 : 0));
    instrument.setRegisters(failuresRegister, ModbusBytes::fromUInt16(heat ? 0x0001 : 0));
}

} // namespace

class tst_MenuTree : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase();
    void walk_data();
    void walk();
    void discreteOutputParameters_data();
    void discreteOutputParameters();
    void everyFrameWalked();
    void framesPollOnlyWhileShown_data();
    void framesPollOnlyWhileShown();
    void withoutHeat();

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

    std::unique_ptr<MenuDriver> m_menus[3];
    QSet<QString> m_walked;
};

MenuDriver &tst_MenuTree::menu(Run run)
{
    std::unique_ptr<MenuDriver> &menu = m_menus[run];
    if (menu) {
        // Items have the active focus only in the focused window.
        menu->window()->requestActivate();
        QTest::qWaitForWindowActive(menu->window());
        return *menu;
    }
    MenuContext::overrideEmbedded(run == Embedded ? 1 : 0);
    menu = std::make_unique<MenuDriver>(run == Embedded ? QSize(640, 480) : QSize(800, 600));
    prepareInstrument(menu->instrument(), run != NoHeat);
    const bool started = menu->start();
    MenuContext::overrideEmbedded(-1);
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
        menu.keyClick(Qt::Key_Escape);
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
                menu.keyClick(Qt::Key_Down);
            else
                menu.keyClick(Qt::Key_Up); // from the exit button
            continue;
        }
        if (at == target)
            return true;
        if (at % 3 < target % 3)
            menu.keyClick(Qt::Key_Right);
        else if (at % 3 > target % 3)
            menu.keyClick(Qt::Key_Left);
        else
            menu.keyClick(at / 3 < target / 3 ? Qt::Key_Down : Qt::Key_Up);
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
    menu.keyClick(Qt::Key_Return);
    for (int level = 0; level < frames.size(); ++level) {
        if (!waitForFrame(menu, frames[level]))
            return fail(
                QStringLiteral("expected %1, shown %2").arg(frames[level], currentFrame(menu)));
        m_walked.insert(frames[level]);
        if (level < downs.size()) {
            menu.keyClick(Qt::Key_PageUp);
            for (int i = 0; i < downs[level]; ++i)
                menu.keyClick(Qt::Key_Down);
            menu.keyClick(Qt::Key_Return);
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

void tst_MenuTree::walk_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("downs");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QStringList>("captions");

    const QStringList measurement{"measurementParametersFrame"};
    const QStringList measurementCaption{"Measurement parameters"};
    for (const bool embedded : {false, true}) {
        const auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(
                QString::fromLatin1(embedded ? "embedded: " : "desktop: ") + QLatin1String(name)));
        };
        *row("measurement") << embedded << "measurementButton" << QList<int>{} << measurement
                            << measurementCaption;
        *row("site selection") << embedded << "measurementButton" << QList<int>{0}
                               << measurement + QStringList{"sitesFrame"}
                               << measurementCaption + QStringList{"Site selection"};
        *row("site editing") << embedded << "measurementButton" << QList<int>{0, 0}
                             << measurement + QStringList{"sitesFrame", "editSiteFrame"}
                             << measurementCaption + QStringList{"Site selection", "Site editing"};
        const QList<QPair<const char *, const char *>> subFrames{
            {"pipeParametersFrame", "Pipe parameters"},
            {"fluidParametersFrame", "Fluid parameters"},
            {"measuringSystemParametersFrame", "Measuring system parameters"},
            {"resultsProcessingFrame", "Results processing"},
            {"additionalParametersFrame", "Additional parameters"},
            {"heatCalcParametersFrame", "Heat calculation parameters"}};
        for (int i = 0; i < subFrames.size(); ++i)
            *row(subFrames[i].first) << embedded << "measurementButton" << QList<int>{i + 1}
                                     << measurement + QStringList{subFrames[i].first}
                                     << measurementCaption + QStringList{subFrames[i].second};
        const QList<QPair<const char *, const char *>> calibrations{
            {"calibratingZeroFlowOffsetFrame", "Calibrating zero flow offset"},
            {"settingZeroFlowPointFrame", "Setting a zero flow point"},
            {"additionalDelayAdjustmentFrame", "Additional delay adjustment"}};
        for (int i = 0; i < calibrations.size(); ++i)
            *row(calibrations[i].first)
                << embedded << "measurementButton" << QList<int>{5, i}
                << measurement + QStringList{"additionalParametersFrame", calibrations[i].first}
                << measurementCaption +
                       QStringList{"Additional parameters", calibrations[i].second};
        const QStringList heat = measurement + QStringList{"heatCalcParametersFrame"};
        const QStringList heatCaption =
            measurementCaption + QStringList{"Heat calculation parameters"};
        *row("pressure") << embedded << "measurementButton" << QList<int>{6, 2}
                         << heat + QStringList{"pressureParamsFrame"}
                         << heatCaption + QStringList{"Pressure sensor"};
        *row("RTD1") << embedded << "measurementButton" << QList<int>{6, 3}
                     << heat + QStringList{"temperatureParamsFrame"}
                     << heatCaption + QStringList{"RTD1 (supply pipe)"};
        *row("RTD2") << embedded << "measurementButton" << QList<int>{6, 4}
                     << heat + QStringList{"temperatureParamsFrame"}
                     << heatCaption + QStringList{"RTD2 (return pipe)"};

        *row("data logger") << embedded << "dataLoggerButton" << QList<int>{}
                            << QStringList{"dataLoggerFrame"} << QStringList{"Data logger setup"};
        *row("RS-485") << embedded << "peripheryButton" << QList<int>{0}
                       << QStringList{"peripherySettingsFrame", "rs485SettingsFrame"}
                       << QStringList{"Periphery settings", "RS-485 settings"};
        *row("discrete output") << embedded << "peripheryButton" << QList<int>{1}
                                << QStringList{"peripherySettingsFrame", "discreteOutputSettings"}
                                << QStringList{"Periphery settings", "Discrete output settings"};
        *row("interval entry") << embedded << "applicationsButton" << QList<int>{0, 0}
                               << QStringList{"applicationsFrame", "scheduleSettingsFrame",
                                              "intervalScheduleSettings"}
                               << QStringList{"Applications", "Schedule", "Interval 1"};
        if (!embedded)
            *row("configuration") << embedded << "applicationsButton" << QList<int>{1}
                                  << QStringList{"applicationsFrame", "exportImportFrame"}
                                  << QStringList{"Applications", "Saving/loading configuration"};
        *row("documentation") << embedded << "documentationButton" << QList<int>{}
                              << QStringList{"documentationFrame"} << QStringList{"Documentation"};

        // The display-off row comes first on the instrument only.
        const int first = embedded ? 1 : 0;
        const QStringList system{"systemSettingsFrame"};
        const QStringList systemCaption{"System settings"};
        *row("units") << embedded << "systemSettingsButton" << QList<int>{first + 2}
                      << system + QStringList{"dimensionsFrame"}
                      << systemCaption + QStringList{"Units"};
        *row("modules") << embedded << "systemSettingsButton" << QList<int>{first + 3, 0}
                        << system + QStringList{"deviceStatusFrame", "deviceModulesFrame"}
                        << systemCaption + QStringList{"Device status", "Modules"};
        *row("failures") << embedded << "systemSettingsButton" << QList<int>{first + 3, 1}
                         << system + QStringList{"deviceStatusFrame", "failuresFrame"}
                         << systemCaption + QStringList{"Device status", "Failures"};
        if (embedded)
            *row("power saving") << embedded << "systemSettingsButton" << QList<int>{first + 4}
                                 << system + QStringList{"powerSavingOptionsFrame"}
                                 << systemCaption + QStringList{"Power saving options"};
    }
}

void tst_MenuTree::walk()
{
    QFETCH(bool, embedded);
    QFETCH(QString, button);
    QFETCH(QList<int>, downs);
    QFETCH(QStringList, frames);
    QFETCH(QStringList, captions);

    MenuDriver &menu = this->menu(embedded ? Embedded : Desktop);
    QString failure;
    QVERIFY2(enter(menu, button, downs, frames, &failure), qPrintable(failure));
    QCOMPARE(currentCaption(menu), captions.last());

    // Back by Escape, one frame at a time, each caption as it was on the way in.
    for (int level = frames.size() - 2; level >= 0; --level) {
        menu.keyClick(Qt::Key_Escape);
        QVERIFY2(waitForFrame(menu, frames[level]), qPrintable(currentFrame(menu)));
        QCOMPARE(currentCaption(menu), captions[level]);
    }
    menu.keyClick(Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    m_walked.insert(QStringLiteral("mainFrame"));
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

void tst_MenuTree::discreteOutputParameters_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");
    QTest::newRow("off: no parameters") << 0 << QString() << QString();
    QTest::newRow("logic") << 1 << "logicalOutSettingsFrame"
                           << "Logical out settings";
    QTest::newRow("pulse") << 2 << "pulseOutSettingsFrame"
                           << "Pulse out settings";
    QTest::newRow("frequency") << 3 << "frequencyOutSettingsFrame"
                               << "Frequency out settings";
}

void tst_MenuTree::discreteOutputParameters()
{
    QFETCH(int, mode);
    QFETCH(QString, frame);
    QFETCH(QString, caption);

    MenuDriver &menu = this->menu(Desktop);
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
    menu.keyClick(Qt::Key_PageUp);
    menu.keyClick(Qt::Key_Down);
    menu.keyClick(Qt::Key_Return);
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
    m_walked.insert(frame);
    menu.keyClick(Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, QStringLiteral("discreteOutputSettings")));
}

void tst_MenuTree::framesPollOnlyWhileShown_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("downs");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<quint32>("address");

    QTest::newRow("fluid: heat supply system read beside the fluid type")
        << "measurementButton" << QList<int>{2}
        << QStringList{"measurementParametersFrame", "fluidParametersFrame"} << quint32(401025);
    QTest::newRow("additional parameters: dt0 of the info row")
        << "measurementButton" << QList<int>{5}
        << QStringList{"measurementParametersFrame", "additionalParametersFrame"}
        << quint32(400202);
    QTest::newRow("RTD2: its sensor control")
        << "measurementButton" << QList<int>{6, 4}
        << QStringList{"measurementParametersFrame", "heatCalcParametersFrame",
                       "temperatureParamsFrame"}
        << quint32(401065);
    QTest::newRow("device status: sleep state")
        << "systemSettingsButton" << QList<int>{3}
        << QStringList{"systemSettingsFrame", "deviceStatusFrame"} << quint32(400013);
}

void tst_MenuTree::framesPollOnlyWhileShown()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, downs);
    QFETCH(QStringList, frames);
    QFETCH(quint32, address);

    MenuDriver &menu = this->menu(Desktop);
    QVERIFY(backToMain(menu));
    menu.instrument().clearRequests();
    MenuDriver::settle(1300);
    QCOMPARE(readsOf(menu.requests(), address), 0);

    QString failure;
    QVERIFY2(enter(menu, button, downs, frames, &failure), qPrintable(failure));
    menu.instrument().clearRequests();
    QVERIFY(MenuDriver::waitFor([&] { return readsOf(menu.requests(), address) >= 2; }, 3000));

    menu.keyClick(Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, frames[frames.size() - 2]));
    MenuDriver::settle(200);
    menu.instrument().clearRequests();
    MenuDriver::settle(1300);
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

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
