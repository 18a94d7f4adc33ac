// Keys in the whole menu against the simulated instrument: after any kind of popup closes (by
// Ok, Escape or Home) the keys act on the menu again, in a column menu and on the main frame;
// the instrument's panel keys (through its keypad, on the instrument's 640x480) drive menus,
// pages, editors and dialogs as the desktop keyboard does; one Menu press goes one step home.
#include "menucontext.h"
#include "menudriver.h"
#include "panelkeys.h"

#include <QQmlListReference>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

namespace {

// How each kind of popup is opened, from the root context where Starter's ids are reached.
struct PopupKind
{
    const char *name;
    const char *open;
};

const PopupKind popupKinds[] = {
    {"list editor",
     "editorsManager.callEditor(null, 'list', null, {model: ['One', 'Two', 'Three'], "
     "initValue: 1})"},
    {"bool editor", "editorsManager.callEditor(null, 'bool', null, {value: true})"},
    {"date-time editor", "editorsManager.callEditor(null, 'datetime', null, {})"},
    {"text editor", "editorsManager.callEditor(null, 'text', null, {initialText: '12'})"},
    {"message box", "screenManager.showMessageBoxDialog('Saved')"},
    {"question", "screenManager.showConfirmDialog('Delete the site?', function (answer) {})"},
    {"confirm dialog",
     "screenManager.showConfirmDialog('Sure?', function (answer) {}, {defaultAnswer: true})"},
    // A minimized message box, so that the list has an entry.
    {"popups list", "(function () {"
                    "  screenManager.showPopup('dialogs/MessageBoxDialog.qml', {caption: 'Kept', "
                    "                          allowMinimize: true});"
                    "  screenManager.minimizeTopPopup();"
                    "  return screenManager.showPopupsList() })()"},
};

} // namespace

class tst_MenuKeys : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase();
    void cleanup();
    void keysActOnTheMenuAfterPopup_data();
    void keysActOnTheMenuAfterPopup();
    void panelKeysInColumnMenu();
    void panelPageKeys_data();
    void panelPageKeys();
    void panelKeysInListEditor();
    void panelKeysInQuestion_data();
    void panelKeysInQuestion();
    void panelDigitsReachTextField();
    void oneMenuPressOneStep_data();
    void oneMenuPressOneStep();
    void heldMenuKey_data();
    void heldMenuKey();
    void menuKeyKeepsBlockingPopup();
    void homeButtonFromSidePage_data();
    void homeButtonFromSidePage();

private:
    enum Run { Desktop, Panel };
    // One menu per run for all cases: a start costs seconds.
    MenuDriver &menu(Run run);
    // A key through the desktop keyboard or the instrument's panel.
    void key(Run run, Qt::Key key);
    QString currentFrame(MenuDriver &menu) const;
    bool waitForFrame(MenuDriver &menu, const QString &frame) const;
    QObject *activePopup(MenuDriver &menu) const;
    bool waitForFocusedPopup(MenuDriver &menu) const;
    bool waitForNoPopup(MenuDriver &menu) const;
    QList<QQuickItem *> rows(MenuDriver &menu, const QString &frame) const;
    int focusedRow(MenuDriver &menu, const QString &frame) const;
    bool backToMain(Run run);
    // From the main frame into the measurement parameters, the first row focused.
    bool enterMeasurement(Run run);
    bool focusButton(Run run, const QString &button);

    std::unique_ptr<MenuDriver> m_menus[2];
};

MenuDriver &tst_MenuKeys::menu(Run run)
{
    std::unique_ptr<MenuDriver> &menu = m_menus[run];
    if (!menu) {
        // The instrument's setting for the context only: the power manager keeps the build's
        // own and runs no power command.
        MenuContext::overrideEmbedded(run == Panel ? 1 : 0);
        menu = std::make_unique<MenuDriver>(run == Panel ? QSize(640, 480) : QSize(800, 600));
        const bool started = menu->start();
        MenuContext::overrideEmbedded(-1);
        if (!started)
            qWarning("%s", qPrintable(menu->error()));
        MenuDriver *driver = menu.get();
        if (!MenuDriver::waitFor([&] { return currentFrame(*driver) == "mainFrame"; }, 5000))
            qWarning("the menu did not show its main frame");
    }
    // Items have the active focus only in the focused window; the panel's keys go there.
    menu->window()->requestActivate();
    if (!QTest::qWaitForWindowActive(menu->window()))
        qWarning("the menu's window did not become active");
    return *menu;
}

void tst_MenuKeys::key(Run run, Qt::Key key)
{
    MenuDriver &menu = this->menu(run);
    if (run == Panel)
        QVERIFY2(PanelKeys::press(menu, key), "no such key on the panel");
    else
        menu.keyClick(key);
}

void tst_MenuKeys::cleanupTestCase()
{
    for (auto &menu : m_menus)
        menu.reset();
}

void tst_MenuKeys::cleanup()
{
    for (auto &menu : m_menus) {
        if (menu)
            menu->evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    }
}

QString tst_MenuKeys::currentFrame(MenuDriver &menu) const
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *frame = navigation ? navigation->property("currentFrame").value<QObject *>() : nullptr;
    return frame ? frame->objectName() : QString();
}

bool tst_MenuKeys::waitForFrame(MenuDriver &menu, const QString &frame) const
{
    return MenuDriver::waitFor([&] { return currentFrame(menu) == frame; }, 2000);
}

QObject *tst_MenuKeys::activePopup(MenuDriver &menu) const
{
    QObject *screens = menu.object(QStringLiteral("screenManager"));
    return screens ? screens->property("activePopup").value<QObject *>() : nullptr;
}

bool tst_MenuKeys::waitForFocusedPopup(MenuDriver &menu) const
{
    return MenuDriver::waitFor(
        [&] {
            auto *popup = qobject_cast<QQuickItem *>(activePopup(menu));
            return popup && popup->hasActiveFocus();
        },
        3000);
}

bool tst_MenuKeys::waitForNoPopup(MenuDriver &menu) const
{
    return MenuDriver::waitFor([&] { return !activePopup(menu); }, 3000);
}

QList<QQuickItem *> tst_MenuKeys::rows(MenuDriver &menu, const QString &frame) const
{
    QList<QQuickItem *> items;
    QQmlListReference list(menu.object(frame), "rows");
    for (qsizetype i = 0; i < list.count(); ++i) {
        if (auto *item = qobject_cast<QQuickItem *>(list.at(i)))
            items.append(item);
    }
    return items;
}

int tst_MenuKeys::focusedRow(MenuDriver &menu, const QString &frame) const
{
    const QList<QQuickItem *> items = rows(menu, frame);
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->hasActiveFocus())
            return i;
    }
    return -1;
}

bool tst_MenuKeys::backToMain(Run run)
{
    MenuDriver &menu = this->menu(run);
    menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piMain)"));
    for (int i = 0; i < 6 && currentFrame(menu) != QLatin1String("mainFrame"); ++i)
        key(run, Qt::Key_Escape);
    return waitForFrame(menu, QStringLiteral("mainFrame"));
}

bool tst_MenuKeys::focusButton(Run run, const QString &button)
{
    // The main frame's buttons: measurement, data logger, periphery in the first row.
    MenuDriver &menu = this->menu(run);
    const QStringList order{"measurementButton", "dataLoggerButton", "peripheryButton"};
    for (int step = 0; step < 6; ++step) {
        QQuickItem *target = menu.item(button);
        if (target && target->hasActiveFocus())
            return true;
        int at = -1;
        for (int i = 0; i < order.size(); ++i) {
            QQuickItem *item = menu.item(order[i]);
            if (item && item->hasActiveFocus())
                at = i;
        }
        if (at < 0)
            key(run, Qt::Key_Up);
        else
            key(run, at < order.indexOf(button) ? Qt::Key_Right : Qt::Key_Left);
    }
    return false;
}

bool tst_MenuKeys::enterMeasurement(Run run)
{
    MenuDriver &menu = this->menu(run);
    if (!backToMain(run) || !focusButton(run, QStringLiteral("measurementButton")))
        return false;
    key(run, Qt::Key_Return);
    if (!waitForFrame(menu, QStringLiteral("measurementParametersFrame")))
        return false;
    // The first row: Up until it stays (the panel has no page keys of a keyboard).
    for (int i = 0; i < 12 && focusedRow(menu, "measurementParametersFrame") != 0; ++i)
        key(run, Qt::Key_Up);
    return focusedRow(menu, "measurementParametersFrame") == 0;
}

void tst_MenuKeys::keysActOnTheMenuAfterPopup_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<bool>("onMainFrame");
    QTest::addColumn<QString>("open");
    QTest::addColumn<int>("closeKey");
    QTest::addColumn<bool>("popupsList");

    const QList<QPair<const char *, Qt::Key>> closes{
        {"Ok", Qt::Key_Return}, {"Escape", Qt::Key_Escape}, {"Home", Qt::Key_Home}};
    for (const Run run : {Desktop, Panel}) {
        for (const bool onMainFrame : {false, true}) {
            for (const PopupKind &kind : popupKinds) {
                for (const auto &close : closes) {
                    // On the desktop Home in a text field moves its cursor: the editor stays.
                    // The panel's Menu key goes home from there too.
                    const QLatin1String name(kind.name);
                    if (run == Desktop && close.second == Qt::Key_Home &&
                        (name == QLatin1String("text editor") ||
                         name == QLatin1String("date-time editor")))
                        continue;
                    QTest::addRow("%s, %s, %s, by %s", run == Panel ? "panel" : "keyboard",
                                  onMainFrame ? "main frame" : "column menu", kind.name,
                                  close.first)
                        << int(run) << onMainFrame << QString::fromLatin1(kind.open)
                        << int(close.second)
                        << (QLatin1String(kind.name) == QLatin1String("popups list"));
                }
            }
        }
    }
}

void tst_MenuKeys::keysActOnTheMenuAfterPopup()
{
    QFETCH(int, run);
    QFETCH(bool, onMainFrame);
    QFETCH(QString, open);
    QFETCH(int, closeKey);
    QFETCH(bool, popupsList);
    const Run r = Run(run);
    MenuDriver &menu = this->menu(r);

    if (onMainFrame) {
        QVERIFY(backToMain(r));
        QVERIFY(focusButton(r, QStringLiteral("measurementButton")));
    } else {
        QVERIFY(enterMeasurement(r));
    }

    menu.evaluate(open);
    QVERIFY(waitForFocusedPopup(menu));
    key(r, Qt::Key(closeKey));
    if (popupsList && closeKey == Qt::Key_Return) {
        // Ok on the list expands its entry; that one's own Ok closes it.
        QVERIFY(MenuDriver::waitFor(
            [&] {
                QObject *popup = activePopup(menu);
                return popup && popup->property("caption").toString() == "Kept";
            },
            3000));
        QVERIFY(waitForFocusedPopup(menu));
        key(r, Qt::Key_Return);
    }
    QVERIFY(waitForNoPopup(menu));
    QCOMPARE(currentFrame(menu), onMainFrame ? QStringLiteral("mainFrame")
                                             : QStringLiteral("measurementParametersFrame"));

    if (onMainFrame) {
        // The arrows move between the main frame's buttons; Return opens, Escape comes back.
        QTRY_VERIFY_WITH_TIMEOUT(menu.item(QStringLiteral("measurementButton"))->hasActiveFocus(),
                                 2000);
        key(r, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(menu.item(QStringLiteral("dataLoggerButton"))->hasActiveFocus(),
                                 2000);
        key(r, Qt::Key_Return);
        QVERIFY2(waitForFrame(menu, QStringLiteral("dataLoggerFrame")),
                 qPrintable(currentFrame(menu)));
        key(r, Qt::Key_Escape);
        QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, "measurementParametersFrame"), 0, 2000);
        key(r, Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, "measurementParametersFrame"), 1, 2000);
        key(r, Qt::Key_Return);
        QVERIFY2(waitForFrame(menu, QStringLiteral("pipeParametersFrame")),
                 qPrintable(currentFrame(menu)));
        key(r, Qt::Key_Escape);
        QVERIFY(waitForFrame(menu, QStringLiteral("measurementParametersFrame")));
        key(r, Qt::Key_Escape);
        QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    }
}

void tst_MenuKeys::panelKeysInColumnMenu()
{
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(enterMeasurement(Panel));
    const QString frame = QStringLiteral("measurementParametersFrame");
    PanelKeys::press(menu, Qt::Key_Down);
    PanelKeys::press(menu, Qt::Key_Down);
    QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, frame), 2, 2000);
    PanelKeys::press(menu, Qt::Key_Up);
    QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, frame), 1, 2000);
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY2(waitForFrame(menu, QStringLiteral("pipeParametersFrame")),
             qPrintable(currentFrame(menu)));
    // Escape, Backspace and Left each go one frame back.
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, frame));
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForFrame(menu, QStringLiteral("pipeParametersFrame")));
    PanelKeys::press(menu, Qt::Key_Backspace);
    QVERIFY(waitForFrame(menu, frame));
    // A digit clicks the row it counts to: the second, the pipe parameters again.
    PanelKeys::press(menu, Qt::Key_2);
    QVERIFY2(waitForFrame(menu, QStringLiteral("pipeParametersFrame")),
             qPrintable(currentFrame(menu)));
    PanelKeys::press(menu, Qt::Key_Left);
    QVERIFY(waitForFrame(menu, frame));
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
}

void tst_MenuKeys::panelPageKeys_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("page");
    QTest::newRow("0: left page") << PanelKeys::codeOf(Qt::Key_0) << 0;
    QTest::newRow("point: right page") << PanelKeys::codeOf(Qt::Key_Period) << 2;
    QTest::newRow("Log: right page") << PanelKeys::logKey << 2;
}

void tst_MenuKeys::panelPageKeys()
{
    QFETCH(int, code);
    QFETCH(int, page);
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(backToMain(Panel));
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QVERIFY(PanelKeys::pressCode(menu, code));
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), page, 2000);
    // Plus-minus goes back to the main page, and the keys act on the main frame there.
    PanelKeys::press(menu, Qt::Key_plusminus);
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), 1, 2000);
    QVERIFY(focusButton(Panel, QStringLiteral("dataLoggerButton")));
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForFrame(menu, QStringLiteral("dataLoggerFrame")));
    // Escape on a side page goes to the main page, not back a frame.
    QVERIFY(PanelKeys::pressCode(menu, code));
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), page, 2000);
    PanelKeys::press(menu, Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), 1, 2000);
    QCOMPARE(currentFrame(menu), QStringLiteral("dataLoggerFrame"));
}

void tst_MenuKeys::panelKeysInListEditor()
{
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(enterMeasurement(Panel));
    const auto openList = [&](const QString &model) {
        return menu
            .evaluate(QStringLiteral("editorsManager.callEditor(null, 'list', null, {model: %1,"
                                     " initValue: 0, customSetFunciton: true})")
                          .arg(model))
            .value<QObject *>();
    };
    QObject *editor = openList(QStringLiteral("['One', 'Two', 'Three']"));
    QVERIFY(editor);
    QSignalSpy chosen(editor, SIGNAL(setFunction(QVariant)));
    QVERIFY(waitForFocusedPopup(menu));
    QObject *box = menu.object(QStringLiteral("listEditorBox"));
    QVERIFY(box);
    QCOMPARE(box->property("currentIndex").toInt(), 0);
    PanelKeys::press(menu, Qt::Key_Down);
    PanelKeys::press(menu, Qt::Key_Down);
    QTRY_COMPARE_WITH_TIMEOUT(box->property("currentIndex").toInt(), 2, 2000);
    PanelKeys::press(menu, Qt::Key_Up);
    QTRY_COMPARE_WITH_TIMEOUT(box->property("currentIndex").toInt(), 1, 2000);
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForNoPopup(menu));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 1);

    // Escape leaves it without a choice; the row below is the menu's again.
    editor = openList(QStringLiteral("['One', 'Two']"));
    QVERIFY(editor);
    QSignalSpy notChosen(editor, SIGNAL(setFunction(QVariant)));
    QVERIFY(waitForFocusedPopup(menu));
    PanelKeys::press(menu, Qt::Key_Down);
    PanelKeys::press(menu, Qt::Key_Escape);
    QVERIFY(waitForNoPopup(menu));
    QCOMPARE(notChosen.size(), 0);
    PanelKeys::press(menu, Qt::Key_Down);
    QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, "measurementParametersFrame"), 1, 2000);
}

void tst_MenuKeys::panelKeysInQuestion_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("answer");
    QTest::newRow("Return on No, the default") << QList<int>{Qt::Key_Return} << "false";
    QTest::newRow("Left to Yes, Return") << QList<int>{Qt::Key_Left, Qt::Key_Return} << "true";
    QTest::newRow("Left, Right back to No, Return")
        << QList<int>{Qt::Key_Left, Qt::Key_Right, Qt::Key_Return} << "false";
    QTest::newRow("Left to Yes, Escape") << QList<int>{Qt::Key_Left, Qt::Key_Escape} << "false";
}

void tst_MenuKeys::panelKeysInQuestion()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, answer);
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(backToMain(Panel));
    QObject *dialog =
        menu.evaluate(QStringLiteral("screenManager.showConfirmDialog('Delete the site?')"))
            .value<QObject *>();
    QVERIFY(dialog);
    QSignalSpy answers(dialog, SIGNAL(choosed(bool)));
    QVERIFY(waitForFocusedPopup(menu));
    for (int k : std::as_const(keys))
        PanelKeys::press(menu, Qt::Key(k));
    QVERIFY(waitForNoPopup(menu));
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.at(0).at(0).toBool() ? QStringLiteral("true") : QStringLiteral("false"),
             answer);
    QCOMPARE(currentFrame(menu), QStringLiteral("mainFrame"));
}

void tst_MenuKeys::panelDigitsReachTextField()
{
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(backToMain(Panel));
    QObject *editor =
        menu.evaluate(QStringLiteral("editorsManager.callEditor(null, 'text', null,"
                                     " {initialText: '12', customSetFunciton: true})"))
            .value<QObject *>();
    QVERIFY(editor);
    QSignalSpy typed(editor, SIGNAL(setFunction(QVariant)));
    QVERIFY(waitForFocusedPopup(menu));
    QObject *field = menu.object(QStringLiteral("textEditorField"));
    QVERIFY(field);
    // The start text is selected: the first digit replaces it.
    for (Qt::Key k : {Qt::Key_4, Qt::Key_0, Qt::Key_Period, Qt::Key_5})
        PanelKeys::press(menu, k);
    QTRY_COMPARE_WITH_TIMEOUT(field->property("text").toString(), QStringLiteral("40.5"), 2000);
    PanelKeys::press(menu, Qt::Key_Backspace);
    QTRY_COMPARE_WITH_TIMEOUT(field->property("text").toString(), QStringLiteral("40."), 2000);
    PanelKeys::press(menu, Qt::Key_Return);
    QVERIFY(waitForNoPopup(menu));
    QCOMPARE(typed.size(), 1);
    QCOMPARE(typed.at(0).at(0).toString(), QStringLiteral("40."));
}

void tst_MenuKeys::oneMenuPressOneStep_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<bool>("sidePage");
    for (const Run run : {Desktop, Panel}) {
        const char *how = run == Panel ? "Menu key" : "Home key";
        QTest::addRow("%s, sub-frame on a side page", how) << int(run) << true;
        QTest::addRow("%s, sub-frame under a popup", how) << int(run) << false;
    }
}

void tst_MenuKeys::oneMenuPressOneStep()
{
    QFETCH(int, run);
    QFETCH(bool, sidePage);
    const Run r = Run(run);
    MenuDriver &menu = this->menu(r);
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QVERIFY(enterMeasurement(r));
    if (sidePage) {
        key(r, Qt::Key_Period);
        QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), 2, 2000);
    } else {
        menu.evaluate(QStringLiteral("screenManager.showMessageBoxDialog('Saved')"));
        QVERIFY(waitForFocusedPopup(menu));
    }

    // First the main page (or the popup gone), the frame and its row kept.
    key(r, Qt::Key_Home);
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(), 1, 2000);
    QVERIFY(waitForNoPopup(menu));
    MenuDriver::settle(100);
    QCOMPARE(currentFrame(menu), QStringLiteral("measurementParametersFrame"));
    QCOMPARE(focusedRow(menu, "measurementParametersFrame"), 0);
    // The next press: on the desktop a column menu takes Home to its first row; the panel's
    // Menu key goes on to the main frame.
    key(r, Qt::Key_Down);
    key(r, Qt::Key_Home);
    if (r == Panel) {
        QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, "measurementParametersFrame"), 0, 2000);
        QCOMPARE(currentFrame(menu), QStringLiteral("measurementParametersFrame"));
    }
}

void tst_MenuKeys::heldMenuKey_data()
{
    QTest::addColumn<int>("duration"); // the style's hold that opens the popups list, ms
    QTest::addColumn<int>("hold");
    QTest::addColumn<bool>("list");
    // The short press gets a long duration: a stalled machine must not make it a held one.
    QTest::newRow("short press: home") << 5000 << 0 << false;
    QTest::newRow("held: the popups list") << 150 << 300 << true;
}

void tst_MenuKeys::heldMenuKey()
{
    QFETCH(int, duration);
    QFETCH(int, hold);
    QFETCH(bool, list);
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(enterMeasurement(Panel));
    const QString product =
        menu.evaluate(QStringLiteral("styleManager.style.homeButtonPressDuration")).toString();
    const auto restore = qScopeGuard([&] {
        menu.evaluate(QStringLiteral("styleManager.style.homeButtonPressDuration = ") + product);
    });
    menu.evaluate(QStringLiteral("styleManager.style.homeButtonPressDuration = %1").arg(duration));
    menu.evaluate(QStringLiteral(
        "screenManager.showPopup('dialogs/MessageBoxDialog.qml', {caption: 'Kept',"
        "                        allowMinimize: true}); screenManager.minimizeTopPopup()"));
    QVERIFY(waitForNoPopup(menu));

    const int menuKey = PanelKeys::codeOf(Qt::Key_Home);
    QVERIFY(PanelKeys::sendCode(menu, menuKey, true));
    MenuDriver::settle(hold);
    QVERIFY(PanelKeys::sendCode(menu, menuKey, false));
    MenuDriver::settle(50);
    if (list) {
        QVERIFY(waitForFocusedPopup(menu));
        QCOMPARE(activePopup(menu)->property("tag").toString(),
                 QStringLiteral("popups/PopupsList.qml"));
        QCOMPARE(currentFrame(menu), QStringLiteral("measurementParametersFrame"));
    } else {
        QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
        QVERIFY(!activePopup(menu));
    }
}

void tst_MenuKeys::menuKeyKeepsBlockingPopup()
{
    // A full-screen message blocks closing: neither the Menu key nor Escape takes it away.
    MenuDriver &menu = this->menu(Panel);
    QVERIFY(enterMeasurement(Panel));
    menu.evaluate(QStringLiteral("screenManager.showFullscreenMessage('Restarting')"));
    QVERIFY(waitForFocusedPopup(menu));
    PanelKeys::press(menu, Qt::Key_Home);
    PanelKeys::press(menu, Qt::Key_Escape);
    MenuDriver::settle(100);
    QVERIFY(activePopup(menu));
    QCOMPARE(currentFrame(menu), QStringLiteral("measurementParametersFrame"));
}

void tst_MenuKeys::homeButtonFromSidePage_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<QString>("page");
    QTest::newRow("archive page, desktop") << int(Desktop) << "piRight";
    QTest::newRow("measurement page, desktop") << int(Desktop) << "piLeft";
    QTest::newRow("archive page, panel") << int(Panel) << "piRight";
}

// The home button, touched on a side page while the menu page shows a frame of rows: the menu
// page with that frame, where the keys act shown (its row's focus); touched again, the main
// frame, whose keys move over its buttons.
void tst_MenuKeys::homeButtonFromSidePage()
{
    QFETCH(int, run);
    QFETCH(QString, page);
    MenuDriver &menu = this->menu(Run(run));
    QVERIFY(enterMeasurement(Run(run)));
    menu.evaluate("navigationManager.gotoPage(navigationManager." + page + ")");
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(),
                              menu.evaluate("navigationManager." + page).toInt(), 3000);
    QQuickItem *home = menu.item(QStringLiteral("homeButton"));
    menu.click(home);
    QTRY_COMPARE_WITH_TIMEOUT(navigation->property("currentPageIndex").toInt(),
                              menu.evaluate("navigationManager.piMain").toInt(), 3000);
    QCOMPARE(currentFrame(menu), QStringLiteral("measurementParametersFrame"));
    QTRY_COMPARE_WITH_TIMEOUT(focusedRow(menu, "measurementParametersFrame"), 0, 3000);
    QVERIFY(navigation->property("keyboardNavigation").toBool());
    key(Run(run), Qt::Key_Down);
    QCOMPARE(focusedRow(menu, "measurementParametersFrame"), 1);

    menu.click(home);
    QVERIFY(waitForFrame(menu, QStringLiteral("mainFrame")));
    QQuickItem *first = menu.item(QStringLiteral("measurementButton"));
    QTRY_VERIFY_WITH_TIMEOUT(first->hasActiveFocus(), 3000);
    key(Run(run), Qt::Key_Right);
    QQuickItem *next = menu.item(QStringLiteral("dataLoggerButton"));
    QTRY_VERIFY_WITH_TIMEOUT(next->hasActiveFocus(), 3000);
    // The key's release marks it as key navigation.
    QTRY_VERIFY_WITH_TIMEOUT(navigation->property("keyboardNavigation").toBool(), 3000);
}

QTEST_MAIN(tst_MenuKeys)

#include "tst_menukeys.moc"
