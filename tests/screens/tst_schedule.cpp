// The schedule frame against the simulated instrument: the completed job's report and its reset,
// the scheduler's start and stop questions and what they write, the rows of each mode, the
// interval entries leading to their own entry, and the entries' times as the instrument's wall
// clock in any time zone (run under TZ=UTC and TZ=Europe/Berlin).
#include "menudriver.h"
#include "modbusbytes.h"
#include "requestlog.h"

#include <QFont>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

using namespace RequestLog;

constexpr quint32 ScheduleState = 300753;
constexpr quint32 ScheduleMode = 403561;
constexpr quint32 FirstEntry = 403571;
constexpr int EntryRegisters = 6;

QString currentFrame(const MenuDriver &menu)
{
    return menu
        .evaluate(QStringLiteral("navigationManager.currentFrame ? "
                                 "navigationManager.currentFrame.objectName : ''"))
        .toString();
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

// Entered afresh from the applications, as a user comes to it.
bool showSchedule(MenuDriver &menu)
{
    QMetaObject::invokeMethod(menu.object(QStringLiteral("screenManager")), "closeAllPopups");
    return showFrame(menu, QStringLiteral("applicationsFrame")) &&
           showFrame(menu, QStringLiteral("scheduleSettingsFrame"));
}

// Another client's change of a register, once the menu has read it.
bool putAndRead(MenuDriver &menu, quint32 address, quint16 value, const QString &item)
{
    menu.instrument().setRegisters(address, ModbusBytes::fromUInt16(value));
    return MenuDriver::waitFor(
        [&] { return menu.evaluate(item + QStringLiteral(".value")).toInt() == value; }, 3000);
}

QQuickItem *popupOf(QQuickItem *item, const char *property)
{
    for (QQuickItem *i = item; i; i = i->parentItem()) {
        if (i->property(property).isValid())
            return i;
    }
    return nullptr;
}

// The entry rows of the interval mode, in order.
QList<QQuickItem *> entryRows(MenuDriver &menu)
{
    QList<QQuickItem *> entries;
    QObject *frame = menu.object(QStringLiteral("scheduleSettingsFrame"));
    QQmlListReference rows(frame, "rows");
    for (qsizetype i = 0; i < rows.count(); ++i) {
        if (rows.at(i)->property("intervalIndex").isValid())
            entries.append(qobject_cast<QQuickItem *>(rows.at(i)));
    }
    return entries;
}

QString textOf(QQuickItem *row, const char *alias)
{
    auto *item = row->property(alias).value<QQuickItem *>();
    return item ? item->property("text").toString() : QString();
}

} // namespace

class tst_Schedule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void completedJobReported();
    void startStopQuestions_data();
    void startStopQuestions();
    void rowsOfTheMode_data();
    void rowsOfTheMode();
    void entriesPolledOnlyWhileShown();
    void entryRowLeadsToItsEntry_data();
    void entryRowLeadsToItsEntry();
    void entryColumns_data();
    void entryColumns();

private:
    std::unique_ptr<MenuDriver> m_menu;
};

void tst_Schedule::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    QVERIFY2(m_menu->start(), qPrintable(m_menu->error()));
    QVERIFY(MenuDriver::waitFor(
        [&] { return evalTrue(*m_menu, QStringLiteral("deviceModbus.mainReadGroup.wasRead")); },
        5000));
}

void tst_Schedule::cleanupTestCase()
{
    m_menu.reset();
}

void tst_Schedule::completedJobReported()
{
    MenuDriver &menu = *m_menu;
    QVERIFY(putAndRead(menu, ScheduleState, 2, QStringLiteral("deviceProps.scheduleState")));
    menu.instrument().clearRequests();
    QVERIFY(showSchedule(menu));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.itemByText(QStringLiteral("Scheduled job completed")) != nullptr; },
        3000));
    // A finished job can be started again.
    QCOMPARE(menu.item(QStringLiteral("scheduleStartButton"))->property("caption").toString(),
             QStringLiteral("Start"));
    QCOMPARE(countOf(described(menu.requests()), QStringLiteral("W 403691 .*")), 0);

    QQuickItem *ok = menu.item(QStringLiteral("messageBoxOkButton"));
    QVERIFY(ok);
    QVERIFY(MenuDriver::waitFor([&] { return ok->hasActiveFocus(); }, 3000));
    menu.keyClick(Qt::Key_Return);
    QVERIFY(waitForLog(menu, {QStringLiteral("W 403691 0001")}));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.itemByText(QStringLiteral("Scheduled job completed")) == nullptr; },
        3000));
    // The instrument turns "Done" into "Off"; the report does not come again.
    QVERIFY(MenuDriver::waitFor(
        [&] { return evalTrue(menu, QStringLiteral("deviceProps.scheduleState.value === 0")); },
        3000));
    MenuDriver::settle(300);
    QVERIFY(menu.itemByText(QStringLiteral("Scheduled job completed")) == nullptr);
    QCOMPARE(countOf(described(menu.requests()), QStringLiteral("W 403691 .*")), 1);
}

void tst_Schedule::startStopQuestions_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("defaultAnswer");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("written"); // empty: nothing
    QTest::addColumn<QString>("caption"); // of the button afterwards

    QTest::newRow("off, yes: started")
        << 0 << "Run the scheduler?" << false << true << "W 403560 0001"
        << "Stop";
    QTest::newRow("off, no") << 0 << "Run the scheduler?" << false << false << QString() << "Start";
    QTest::newRow("done, yes: started")
        << 2 << "Run the scheduler?" << false << true << "W 403560 0001"
        << "Stop";
    QTest::newRow("active, yes: stopped")
        << 1 << "Stop the scheduler?" << true << true << "W 403560 0000"
        << "Start";
    QTest::newRow("active, no") << 1 << "Stop the scheduler?" << true << false << QString()
                                << "Stop";
}

void tst_Schedule::startStopQuestions()
{
    QFETCH(int, state);
    QFETCH(QString, question);
    QFETCH(bool, defaultAnswer);
    QFETCH(bool, yes);
    QFETCH(QString, written);
    QFETCH(QString, caption);
    MenuDriver &menu = *m_menu;
    // Set the way another client leaves it, while the frame is not shown.
    QVERIFY(showFrame(menu, QStringLiteral("applicationsFrame")));
    menu.instrument().setRegisters(403560, ModbusBytes::fromUInt16(state == 1 ? 1 : 0));
    QVERIFY(putAndRead(menu, ScheduleState, quint16(state),
                       QStringLiteral("deviceProps.scheduleState")));
    QVERIFY(showFrame(menu, QStringLiteral("scheduleSettingsFrame")));
    if (state == 2) {
        // The report of the finished job comes first.
        QQuickItem *ok = nullptr;
        QVERIFY(MenuDriver::waitFor(
            [&] {
                ok = menu.item(QStringLiteral("messageBoxOkButton"));
                return ok && ok->hasActiveFocus();
            },
            3000));
        menu.keyClick(Qt::Key_Return);
        QVERIFY(MenuDriver::waitFor(
            [&] { return menu.itemByText(QStringLiteral("Scheduled job completed")) == nullptr; },
            3000));
    }
    QQuickItem *button = menu.item(QStringLiteral("scheduleStartButton"));
    QCOMPARE(button->property("caption").toString(),
             state == 1 ? QStringLiteral("Stop") : QStringLiteral("Start"));
    menu.instrument().clearRequests();
    menu.click(button);

    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) != nullptr; }, 3000));
    QQuickItem *dialog = popupOf(menu.itemByText(question), "defaultAnswer");
    QVERIFY(dialog);
    QCOMPARE(dialog->property("defaultAnswer").toBool(), defaultAnswer);
    auto *yesButton = dialog->property("yesButton").value<QQuickItem *>();
    auto *noButton = dialog->property("noButton").value<QQuickItem *>();
    QVERIFY(MenuDriver::waitFor(
        [&] { return yesButton->hasActiveFocus() || noButton->hasActiveFocus(); }, 3000));
    // The default answer has the focus: Return alone gives it.
    QCOMPARE(yesButton->hasActiveFocus(), defaultAnswer);
    if (yes != defaultAnswer)
        menu.keyClick(yes ? Qt::Key_Left : Qt::Key_Right);
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(question) == nullptr; }, 3000));

    if (written.isEmpty()) {
        MenuDriver::settle(400);
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("W 403560 .*")), 0);
    } else {
        // The state is read again after the command.
        QVERIFY(waitForLog(menu, {written, QStringLiteral("R 3007.. \\d+")}));
    }
    QTRY_COMPARE_WITH_TIMEOUT(button->property("caption").toString(), caption, 3000);
    // Keys act on the frame again.
    QQuickItem *frame = menu.item(QStringLiteral("scheduleSettingsFrame"));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            QQuickItem *focus = menu.window()->activeFocusItem();
            return focus && frame->isAncestorOf(focus);
        },
        3000));
    menu.instrument().setRegisters(403560, ModbusBytes::fromUInt16(0));
    QVERIFY(putAndRead(menu, ScheduleState, 0, QStringLiteral("deviceProps.scheduleState")));
}

void tst_Schedule::rowsOfTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("periodic") << 0;
    QTest::newRow("interval") << 1;
}

void tst_Schedule::rowsOfTheMode()
{
    QFETCH(int, mode);
    MenuDriver &menu = *m_menu;
    QVERIFY(showSchedule(menu));
    QVERIFY(
        putAndRead(menu, ScheduleMode, quint16(mode), QStringLiteral("deviceProps.scheduleMode")));
    QObject *frame = menu.object(QStringLiteral("scheduleSettingsFrame"));
    QQmlListReference rows(frame, "rows");
    QStringList periodic;
    int entries = 0;
    for (qsizetype i = 1; i < rows.count(); ++i) {
        QObject *row = rows.at(i);
        if (row->property("hidden").toBool())
            continue;
        if (row->property("intervalIndex").isValid())
            ++entries;
        else if (row->objectName() != QLatin1String("scheduleHeaderGap"))
            periodic << row->property("caption").toString();
    }
    const QQuickItem *gap = menu.item(QStringLiteral("scheduleHeaderGap"));
    if (mode == 0) {
        QCOMPARE(periodic,
                 (QStringList{"Start time", "Period", "Duration", "End time", "Logging interval"}));
        QCOMPARE(entries, 0);
        QCOMPARE(gap->height(), 0.0);
    } else {
        QCOMPARE(periodic, QStringList());
        QCOMPARE(entries, 20);
        QCOMPARE(gap->height(), 40.0);
        const QList<QQuickItem *> list = entryRows(menu);
        for (int i = 0; i < list.size(); ++i)
            QCOMPARE(list[i]->property("intervalIndex").toInt(), i);
        // The column headers, above the first entry only.
        for (const char *header : {"#", "Start time", "End time", "Logging interval", "Enabled"})
            QVERIFY2(menu.itemByText(QLatin1String(header)) != nullptr, header);
        QVERIFY(list[0]->property("showHeaders").toBool());
        QVERIFY(!list[1]->property("showHeaders").toBool());
    }
    // The mode's own row edits it with the wider editor.
    QCOMPARE(menu.item(QStringLiteral("scheduleModeItem"))
                 ->property("editorProperties")
                 .toMap()
                 .value(QStringLiteral("widthCoeff"))
                 .toDouble(),
             1.6);
}

// The twenty blocks are read for the interval rows only, and only while they are shown.
void tst_Schedule::entriesPolledOnlyWhileShown()
{
    MenuDriver &menu = *m_menu;
    QVERIFY(showSchedule(menu));
    QVERIFY(putAndRead(menu, ScheduleMode, 0, QStringLiteral("deviceProps.scheduleMode")));
    MenuDriver::settle(300);
    menu.instrument().clearRequests();
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), FirstEntry), 0);

    QVERIFY(putAndRead(menu, ScheduleMode, 1, QStringLiteral("deviceProps.scheduleMode")));
    QTRY_VERIFY_WITH_TIMEOUT(readsOf(menu.requests(), FirstEntry) >= 2, 4000);
    QTRY_VERIFY_WITH_TIMEOUT(readsOf(menu.requests(), FirstEntry + 19 * EntryRegisters) >= 2, 4000);

    QVERIFY(showFrame(menu, QStringLiteral("applicationsFrame")));
    MenuDriver::settle(300);
    menu.instrument().clearRequests();
    MenuDriver::settle(1500);
    QCOMPARE(readsOf(menu.requests(), FirstEntry), 0);
}

void tst_Schedule::entryRowLeadsToItsEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 0;
    QTest::newRow("eighth") << 7;
    QTest::newRow("last") << 19;
}

// By keys: the mode row, Down to the entry, Return; the entry frame polls that entry's block.
void tst_Schedule::entryRowLeadsToItsEntry()
{
    QFETCH(int, index);
    MenuDriver &menu = *m_menu;
    QVERIFY(showSchedule(menu));
    QVERIFY(putAndRead(menu, ScheduleMode, 1, QStringLiteral("deviceProps.scheduleMode")));
    menu.keyClick(Qt::Key_PageUp);
    for (int i = 0; i <= index; ++i)
        menu.keyClick(Qt::Key_Down);
    QVERIFY(entryRows(menu)[index]->hasActiveFocus());
    menu.instrument().clearRequests();
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return currentFrame(menu) == "intervalScheduleSettings"; },
                                3000));
    QCOMPARE(menu.evaluate(QStringLiteral("navigationManager.currentFrame.caption")).toString(),
             QStringLiteral("Interval %1").arg(index + 1));
    const QString block =
        QStringLiteral("R %1 %2").arg(FirstEntry + EntryRegisters * index).arg(EntryRegisters);
    QVERIFY(waitForLog(menu, {block}));
    menu.keyClick(Qt::Key_Escape);
    QVERIFY(
        MenuDriver::waitFor([&] { return currentFrame(menu) == "scheduleSettingsFrame"; }, 3000));
}

void tst_Schedule::entryColumns_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("endText");
    QTest::addColumn<QString>("intervalText");
    QTest::addColumn<QString>("enabledText");

    // Wall clock as the instrument keeps it; 29.03.2026 02:30 does not exist in Berlin.
    const auto label = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("enabled, 1 min")
        << 0 << label(2026, 12, 1, 8, 5, 9) << label(2026, 12, 24, 17, 30, 0) << 1 << 6
        << "01.12.2026\n08:05:09"
        << "24.12.2026\n17:30:00"
        << "1 min"
        << "yes";
    QTest::newRow("disabled, 1 s, across the spring change")
        << 19 << label(2026, 3, 29, 2, 30, 0) << label(2026, 3, 29, 3, 0, 0) << 0 << 0
        << "29.03.2026\n02:30:00"
        << "29.03.2026\n03:00:00"
        << "1 s"
        << "no";
}

void tst_Schedule::entryColumns()
{
    QFETCH(int, index);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(int, state);
    QFETCH(int, interval);
    QFETCH(QString, startText);
    QFETCH(QString, endText);
    QFETCH(QString, intervalText);
    QFETCH(QString, enabledText);
    MenuDriver &menu = *m_menu;
    const quint32 first = FirstEntry + quint32(EntryRegisters * index);
    menu.instrument().setRegisters(
        first, ModbusBytes::fromUInt16(quint16(state)) + ModbusBytes::fromDateTime(start) +
                   ModbusBytes::fromDateTime(end) + ModbusBytes::fromUInt16(quint16(interval)));
    QVERIFY(showSchedule(menu));
    QVERIFY(putAndRead(menu, ScheduleMode, 1, QStringLiteral("deviceProps.scheduleMode")));
    QQuickItem *row = entryRows(menu)[index];
    QCOMPARE(textOf(row, "numberText"), QString::number(index + 1));
    QTRY_COMPARE_WITH_TIMEOUT(textOf(row, "startText"), startText, 3000);
    QCOMPARE(textOf(row, "endText"), endText);
    QCOMPARE(textOf(row, "loggingText"), intervalText);
    QCOMPARE(textOf(row, "enabledText"), enabledText);
    auto *enabled = row->property("enabledText").value<QQuickItem *>();
    QCOMPARE(enabled->property("font").value<QFont>().bold(), state == 1);
}

QTEST_MAIN(tst_Schedule)
#include "tst_schedule.moc"
