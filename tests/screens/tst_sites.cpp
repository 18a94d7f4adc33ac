// The sites screens against the simulated instrument: choosing, adding, copying, editing,
// deleting and renaming sites and groups, as the operator does it and as it reaches the
// instrument's sites table and command registers.
#include "menucontext.h"
#include "menudriver.h"
#include "messagecapture.h"
#include "modbusbytes.h"
#include "panelkeys.h"
#include "requestlog.h"
#include "siterecords.h"

#include <QMutex>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

using namespace RequestLog;

struct Site
{
    int slot;
    QString group, subGroup, name;
    bool operator==(const Site &other) const
    {
        return slot == other.slot && group == other.group && subGroup == other.subGroup &&
               name == other.name;
    }
};

// Two groups, a subgroup and five sites of 20 slots; the current site is slot 0 (N1).
const QList<Site> fixture{
    {0, "Boiler", "North", "N1"}, {1, "Boiler", "North", "N2"}, {2, "Pumps", "", "P1"},
    {3, "", "", "Site 1"},        {4, "Boiler", "", "B1"},
};

void putSites(TavrinInstrument &instrument, const QList<Site> &sites)
{
    ModbusBytes table = ModbusBytes::fromRegsCount(SiteRecords::TableSize / 2);
    for (const Site &site : sites)
        table.setBytes(encodeSiteRecord(site.group, site.subGroup, site.name),
                       site.slot * SiteRecords::RecordSize);
    instrument.setFile(SiteRecords::File, table);
}

QString recordWrite(int slot)
{
    return QStringLiteral("FW 0x80 %1 61").arg(slot * SiteRecords::RecordSize / 2);
}

QString registerWrite(quint32 address, quint32 value, int digits)
{
    return QStringLiteral("W %1 %2").arg(address).arg(value, digits, 16, QLatin1Char('0'));
}

ModbusBytes recordOf(TavrinInstrument &instrument, int slot)
{
    return ModbusBytes(instrument.file(SiteRecords::File)
                           .mid(slot * SiteRecords::RecordSize, SiteRecords::RecordSize));
}

// The three names of a slot in the instrument's table (the zeros after each cut off).
QStringList namesOf(TavrinInstrument &instrument, int slot)
{
    const QByteArray record = instrument.file(SiteRecords::File)
                                  .mid(slot * SiteRecords::RecordSize, SiteRecords::RecordSize);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QByteArray name = record.mid(i * SiteRecords::NameSize, SiteRecords::NameSize);
        const int end = name.indexOf('\0');
        names << QString::fromUtf8(end < 0 ? name : name.left(end));
    }
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Site)

class tst_Sites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void chooseSite_data();
    void chooseSite();
    void addSite_data();
    void addSite();
    void addNewSite_data();
    void addNewSite();
    void copyAndEdit_data();
    void copyAndEdit();
    void boldRows_data();
    void boldRows();
    void rowKeys_data();
    void rowKeys();
    void editorRows_data();
    void editorRows();
    void deleteRows_data();
    void deleteRows();
    void deleteRefused_data();
    void deleteRefused();
    void renameGroup_data();
    void renameGroup();
    void addAvailability_data();
    void addAvailability();
    void otherClientChangesTable();
    void okAfterTheTableFilled();
    void refusedRecordWriteErasesNothing();
    void deleteNotTaken_data();
    void deleteNotTaken();
    void tableChangedUnderTheQuestion_data();
    void tableChangedUnderTheQuestion();
    void slowAnswerGoesToItsSlot_data();
    void slowAnswerGoesToItsSlot();
    void fullNameCopied();
    void wholeFlowByPanelKeys();

private:
    MenuDriver &menu() { return *m_menu; }
    bool eval(const QString &script) { return m_menu->evaluate(script).toBool(); }
    QString currentFrame();
    bool waitForFrame(const QString &frame);
    bool waitForLog(const QStringList &patterns, int timeoutMs = 5000);
    bool waitForTable();
    bool enterSites(bool modifying);
    int rowOf(const QString &caption);
    int waitForRow(const QString &caption);
    bool clickRow(const QString &caption);
    bool clickInRow(const QString &caption, const char *button);
    bool answer(const QString &caption, bool yes);
    QObject *activePopup();
    bool keysHaveATarget();
    QStringList log() { return described(m_menu->requests()); }

    std::unique_ptr<MenuDriver> m_menu;
    QObject *m_frame = nullptr;
};

void tst_Sites::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    putSites(m_menu->instrument(), fixture);
    QVERIFY2(m_menu->start(), qPrintable(m_menu->error()));
    m_frame = m_menu->object(QStringLiteral("sitesFrame"));
    QVERIFY(m_frame);
}

void tst_Sites::init()
{
    // No record write of the last case still on its way: its answer would come into the table
    // put below.
    QVERIFY(MenuDriver::waitFor([&] { return eval("sitesManager.writers.length === 0"); }, 5000));
    TavrinInstrument &instrument = menu().instrument();
    // Nor the revision that follows it: the one put below must be news to the menu.
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return menu().evaluate("deviceModbus.currentRevision").toDouble() ==
                   double(instrument.sitesRevision());
        },
        5000));
    instrument.clearExceptions();
    instrument.setDelay(0);
    instrument.setMeasuring(false);
    instrument.setRegisters(300753, ModbusBytes::fromUInt16(0));
    instrument.setCurrentSite(0);
    putSites(instrument, fixture);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(waitForTable());
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval("!deviceProps.measuring && deviceModbus.siteIndex === 0 && "
                        "sitesManager.readSiteIndex === 0 && "
                        "deviceModbus.scheduleState.value === 0");
        },
        5000));
    menu().window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(menu().window()));
    instrument.clearRequests();
}

void tst_Sites::cleanup()
{
    menu().evaluate(QStringLiteral("screenManager.closeAllPopups()"));
    menu().evaluate(QStringLiteral("navigationManager.gotoFrame(navigationManager.mainFrame, "
                                   "false)"));
    waitForFrame(QStringLiteral("mainFrame"));
    menu().evaluate(QStringLiteral("sitesManager.model.groupPath = []"));
    QCOMPARE(menu().unmappedRequests(), QStringList());
}

void tst_Sites::cleanupTestCase()
{
    m_menu.reset();
}

QString tst_Sites::currentFrame()
{
    QObject *navigation = menu().object(QStringLiteral("navigationManager"));
    auto *frame = navigation ? navigation->property("currentFrame").value<QObject *>() : nullptr;
    return frame ? frame->objectName() : QString();
}

bool tst_Sites::waitForFrame(const QString &frame)
{
    return MenuDriver::waitFor([&] { return currentFrame() == frame; }, 3000);
}

bool tst_Sites::waitForLog(const QStringList &patterns, int timeoutMs)
{
    return ::waitForLog(*m_menu, patterns, timeoutMs);
}

// The menu's table is the instrument's again (the names of every slot compared).
bool tst_Sites::waitForTable()
{
    return MenuDriver::waitFor(
        [&] {
            for (int slot = 0; slot < SiteRecords::Count; ++slot) {
                const QStringList path =
                    menu()
                        .evaluate(QStringLiteral("sitesManager.model.getSitePath(%1)").arg(slot))
                        .toStringList();
                if (path != namesOf(menu().instrument(), slot))
                    return false;
            }
            return !eval("deviceModbus.siteMap.executing");
        },
        8000);
}

// The sites frame as the measurement frame's "Site" row opens it, then modifying mode by its
// button when asked.
bool tst_Sites::enterSites(bool modifying)
{
    menu().evaluate(QStringLiteral(
        "navigationManager.gotoFrame(navigationManager.deviceFrames.frameWithSite, true)"));
    if (!waitForFrame(QStringLiteral("sitesFrame")))
        return false;
    if (!MenuDriver::waitFor([&] { return !m_frame->property("updating").toBool(); }, 5000))
        return false;
    if (modifying) {
        menu().click(m_frame->property("modifyButton").value<QQuickItem *>());
        if (!MenuDriver::waitFor([&] { return m_frame->property("modifying").toBool(); }, 2000))
            return false;
    }
    return menu().itemByText(modifying ? QStringLiteral("Sites editing")
                                       : QStringLiteral("Site selection")) != nullptr;
}

int tst_Sites::rowOf(const QString &caption)
{
    return menu()
        .evaluate(
            QStringLiteral(
                "(function () { var list = navigationManager.deviceFrames.frameWithSite.siteList;"
                " for (var i = 0; i < list.count; ++i) {"
                " var item = list.itemAtIndex(i);"
                " if (item && item.rowInfo.name === '%1') return i; }"
                " return -1 })()")
                .arg(caption))
        .toInt();
}

// The row of `caption` once the list shows it (an entered group's rows come with the list's
// next layout); -1, saying the rows, when it does not.
int tst_Sites::waitForRow(const QString &caption)
{
    int row = -1;
    if (!MenuDriver::waitFor([&] { return (row = rowOf(caption)) >= 0; }, 3000))
        qWarning() << "rows"
                   << menu().evaluate("navigationManager.deviceFrames.frameWithSite.siteList.count")
                   << menu().evaluate("sitesManager.model.groupPath");
    return row;
}

bool tst_Sites::clickRow(const QString &caption)
{
    const int row = waitForRow(caption);
    if (row < 0)
        return false;
    auto *text =
        menu()
            .evaluate(QStringLiteral(
                          "navigationManager.deviceFrames.frameWithSite.siteList.itemAtIndex(%1)"
                          ".captionItem")
                          .arg(row))
            .value<QQuickItem *>();
    if (!text)
        return false;
    menu().click(text);
    return true;
}

bool tst_Sites::clickInRow(const QString &caption, const char *button)
{
    const int row = waitForRow(caption);
    if (row < 0)
        return false;
    auto *target =
        menu()
            .evaluate(QStringLiteral("navigationManager.deviceFrames.frameWithSite.siteList"
                                     ".itemAtIndex(%1).%2")
                          .arg(row)
                          .arg(QLatin1String(button)))
            .value<QQuickItem *>();
    if (!target || !target->isVisible())
        return false;
    menu().click(target);
    return true;
}

QObject *tst_Sites::activePopup()
{
    QObject *screens = menu().object(QStringLiteral("screenManager"));
    return screens ? screens->property("activePopup").value<QObject *>() : nullptr;
}

// Whether the keys reach something in the sites frame: the list or a tool button that can act.
bool tst_Sites::keysHaveATarget()
{
    QQuickItem *focused = menu().window()->activeFocusItem();
    if (!focused || !focused->isEnabled() || !focused->isVisible())
        return false;
    for (const char *name :
         {"siteList", "upButton", "groupNameButton", "addButton", "modifyButton"}) {
        auto *item = m_frame->property(name).value<QQuickItem *>();
        if (item && (item == focused || item->isAncestorOf(focused)))
            return true;
    }
    qWarning() << "focus on" << focused;
    return false;
}

// Waits for the question `caption` and answers it by keys.
bool tst_Sites::answer(const QString &caption, bool yes)
{
    if (!MenuDriver::waitFor([&] { return menu().itemByText(caption) != nullptr; }, 10000)) {
        qWarning().noquote() << "no question" << caption;
        return false;
    }
    if (!MenuDriver::waitFor(
            [&] {
                auto *popup = qobject_cast<QQuickItem *>(activePopup());
                return popup && popup->hasActiveFocus();
            },
            10000))
        return false;
    // No by default: Left reaches Yes.
    if (yes)
        menu().keyClick(Qt::Key_Left);
    menu().keyClick(Qt::Key_Return);
    return MenuDriver::waitFor([&] { return menu().itemByText(caption) == nullptr; }, 10000);
}

void tst_Sites::chooseSite_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("written");
    QTest::newRow("site at the top") << QStringList{"Site 1"} << QString() << "W 400128 0003";
    QTest::newRow("site in a subgroup")
        << QStringList{"Boiler", "North", "N2"} << QString() << "W 400128 0001";
    QTest::newRow("site in a group") << QStringList{"Boiler", "B1"} << QString() << "W 400128 0004";
    QTest::newRow("index past the slots")
        << QStringList() << "sitesManager.chooseSite(20)" << QString();
    QTest::newRow("negative index") << QStringList() << "sitesManager.chooseSite(-1)" << QString();
}

void tst_Sites::chooseSite()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, script);
    QFETCH(QString, written);
    QVERIFY(enterSites(false));
    MessageCapture messages;
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    if (!script.isEmpty())
        menu().evaluate(script);
    if (written.isEmpty()) {
        QVERIFY(messages.contains(QStringLiteral("trying to choose wrong siteIndex")));
        MenuDriver::settle(300);
        QCOMPARE(countOf(log(), QStringLiteral("W 400128 .*")), 0);
        QCOMPARE(currentFrame(), QStringLiteral("sitesFrame"));
    } else {
        QVERIFY(waitForLog({written}));
        QCOMPARE(countOf(log(), QStringLiteral("W 400128 .*")), 1);
        QVERIFY(waitForFrame(QStringLiteral("measurementParametersFrame")));
    }
}

void tst_Sites::addSite_data()
{
    QTest::addColumn<int>("currentSite");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("slot");
    QTest::newRow("at the top") << 0 << QStringList() << QStringList{"", "", "Site 2"} << 5;
    QTest::newRow("inside a group")
        << 0 << QStringList{"Boiler"} << QStringList{"Boiler", "", "Site 2"} << 5;
    QTest::newRow("inside a subgroup")
        << 0 << QStringList{"Boiler", "North"} << QStringList{"Boiler", "North", "Site 2"} << 5;
    QTest::newRow("current site read empty")
        << 7 << QStringList{"Pumps"} << QStringList{"Pumps", "", "Site 2"} << 7;
}

void tst_Sites::addSite()
{
    QFETCH(int, currentSite);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, path);
    QFETCH(int, slot);
    TavrinInstrument &instrument = menu().instrument();
    if (currentSite != 0) {
        instrument.setCurrentSite(currentSite);
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return eval(QStringLiteral("sitesManager.readSiteIndex === %1").arg(currentSite));
            },
            5000));
    }
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    instrument.clearRequests();
    menu().click(m_frame->property("addButton").value<QQuickItem *>());
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QVERIFY(menu().itemByText(QStringLiteral("Site creating")));
    QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.sitePath").toStringList(), path);
    QVERIFY(menu().itemByText(path[2]));
    MenuDriver::settle(300);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W .*")), 0);

    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    menu().click(edit->property("okRow").value<QQuickItem *>());
    QVERIFY(waitForLog({recordWrite(slot), registerWrite(400023, 0xAA550000u + slot, 8)}));
    QVERIFY(waitForFrame(QStringLiteral("sitesFrame")));
    QCOMPARE(countOf(log(), QStringLiteral("FW .*")), 1);
    QCOMPARE(countOf(log(), QStringLiteral("W 400023 .*")), 1);
    QCOMPARE(recordOf(instrument, slot), encodeSiteRecord(path[0], path[1], path[2]));
    QTRY_COMPARE_WITH_TIMEOUT(
        menu().evaluate(QStringLiteral("sitesManager.model.getSiteName(%1)").arg(slot)).toString(),
        path[2], 3000);
    // Back from the editor in modifying mode, in the new site's group.
    QVERIFY(m_frame->property("modifying").toBool());
    QCOMPARE(menu().evaluate("sitesManager.model.groupPath").toStringList(),
             QStringList(path.mid(0, 2)).filter(QRegularExpression(".+")));
}

// The manager's own adding: the lowest free slot, the group path filled up to two names.
void tst_Sites::addNewSite_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("slot"); // -1: nothing added
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<bool>("written");
    QTest::newRow("in a group") << "addNewSite(['Boiler'], 'X')" << false << 5
                                << QStringList{"Boiler", "", "X"} << true;
    QTest::newRow("in a subgroup") << "addNewSite(['Boiler', 'North'], 'X')" << false << 5
                                   << QStringList{"Boiler", "North", "X"} << true;
    QTest::newRow("at the top") << "addNewSite([], 'X')" << false << 5 << QStringList{"", "", "X"}
                                << true;
    QTest::newRow("not written") << "addNewSite([], 'X', true)" << false << 5
                                 << QStringList{"", "", "X"} << false;
    QTest::newRow("no name") << "addNewSite(['Boiler'], '')" << false << -1 << QStringList()
                             << false;
    QTest::newRow("full table") << "addNewSite([], 'X')" << true << -1 << QStringList() << false;
}

void tst_Sites::addNewSite()
{
    QFETCH(QString, call);
    QFETCH(bool, full);
    QFETCH(int, slot);
    QFETCH(QStringList, path);
    QFETCH(bool, written);
    TavrinInstrument &instrument = menu().instrument();
    if (full) {
        QList<Site> table = fixture;
        for (int i = 5; i < SiteRecords::Count; ++i)
            table.append({i, "", "", QStringLiteral("S%1").arg(i)});
        putSites(instrument, table);
        instrument.setSitesRevision(instrument.sitesRevision() + 1);
        QVERIFY(waitForTable());
        instrument.clearRequests();
    }
    QCOMPARE(menu().evaluate("sitesManager." + call).toInt(), slot);
    if (slot >= 0)
        QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.sitePath").toStringList(), path);
    if (written) {
        QVERIFY(waitForLog({recordWrite(slot)}));
        QTRY_COMPARE_WITH_TIMEOUT(namesOf(instrument, slot), path, 3000);
    } else {
        MenuDriver::settle(400);
        QCOMPARE(countOf(log(), QStringLiteral("FW .*")), 0);
    }
    // An added site's archive is left alone: only the editor's new sites are emptied.
    QCOMPARE(countOf(log(), QStringLiteral("W 400023 .*")), 0);
}

// From modifying mode at the top. "copy": the copy button of "Site 1" (slot 3); "edit": a click
// on "Site 1"; "add": the add button. The name is then changed as its editor does (locally).
void tst_Sites::copyAndEdit_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<int>("copyEntry"); // entry of the copy list chosen, -1 none
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QStringList>("notWritten");
    QTest::addColumn<QList<Site>>("extra"); // sites beside the fixture
    QTest::newRow("copy site 3 into slot 5")
        << "copy" << QString() << false << -1 << QStringList{recordWrite(5), "W 403255 00030005"}
        << QStringList() << QList<Site>();
    QTest::newRow("edit an existing site: its record only")
        << "edit"
        << "Yard" << false << -1 << QStringList{recordWrite(3)}
        << QStringList{"W 400023 .*", "W 403255 .*", "W 403260 .*"} << QList<Site>();
    QTest::newRow("edit, copy from another site")
        << "edit" << QString() << false << 1 << QStringList{recordWrite(3), "W 403255 00000003"}
        << QStringList{"W 400023 .*"} << QList<Site>();
    QTest::newRow("Escape from a new site")
        << "add"
        << "Yard" << true << 2 << QStringList() << QStringList{"FW .*", "W .*"} << QList<Site>();
    QTest::newRow("Escape from a copy") << "copy" << QString() << true << -1 << QStringList()
                                        << QStringList{"FW .*", "W .*"} << QList<Site>();
    // Entries: none, N1 0, N2 1, P1 2, Site 1 3, B1 4, P1 6: the second "P1" is slot 6.
    QTest::newRow("copy from a name another site has too")
        << "add" << QString() << false << 6
        << QStringList{recordWrite(5), "W 400023 aa550005", "W 403255 00060005"} << QStringList()
        << QList<Site>{{6, "", "", "P1"}};
}

void tst_Sites::copyAndEdit()
{
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, escape);
    QFETCH(int, copyEntry);
    QFETCH(QStringList, written);
    QFETCH(QStringList, notWritten);
    QFETCH(QList<Site>, extra);
    TavrinInstrument &instrument = menu().instrument();
    if (!extra.isEmpty()) {
        putSites(instrument, fixture + extra);
        instrument.setSitesRevision(instrument.sitesRevision() + 1);
        QVERIFY(waitForTable());
        instrument.clearRequests();
    }
    QVERIFY(enterSites(true));
    // The record's own read, once its answer is in: it would bring back the old name over an
    // edit made before it.
    QSignalSpy recordRead(menu().evaluate("deviceModbus.editingSiteItem").value<QObject *>(),
                          SIGNAL(afterRead()));
    if (how == QLatin1String("copy"))
        QVERIFY(clickInRow(QStringLiteral("Site 1"), "copyButton"));
    else if (how == QLatin1String("edit"))
        QVERIFY(clickRow(QStringLiteral("Site 1")));
    else
        menu().click(m_frame->property("addButton").value<QQuickItem *>());
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    if (how == QLatin1String("copy")) {
        QVERIFY(menu().itemByText(QStringLiteral("Copy from: Site 1")));
        QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.sitePath").toStringList(),
                 (QStringList{"", "", "Site 2"}));
    }
    if (how == QLatin1String("edit")) {
        QVERIFY(menu().itemByText(QStringLiteral("Site editing")));
        QTRY_VERIFY_WITH_TIMEOUT(recordRead.count() > 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(
            menu().evaluate("deviceModbus.editingSiteItem.siteName").toString(),
            QStringLiteral("Site 1"), 3000);
    }
    if (!name.isEmpty()) {
        menu().evaluate(
            QStringLiteral("deviceProps.editingSiteName.setValue('%1', true)").arg(name));
        QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.siteName").toString(), name);
    }
    if (copyEntry >= 0) {
        menu().click(edit->property("copyRow").value<QQuickItem *>());
        QVERIFY(MenuDriver::waitFor([&] { return activePopup() != nullptr; }, 3000));
        QMetaObject::invokeMethod(activePopup(), "chooseIndex", Q_ARG(QVariant, copyEntry));
        QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    }
    MenuDriver::settle(200);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W .*")), 0);
    instrument.clearRequests();
    if (escape)
        menu().keyClick(Qt::Key_Escape);
    else
        menu().click(edit->property("okRow").value<QQuickItem *>());
    QVERIFY(waitForFrame(QStringLiteral("sitesFrame")));
    if (!written.isEmpty())
        QVERIFY(waitForLog(written));
    MenuDriver::settle(500);
    for (const QString &pattern : std::as_const(notWritten))
        QVERIFY2(countOf(log(), pattern) == 0, qPrintable(log().join(", ")));
    if (!name.isEmpty() && !escape)
        QCOMPARE(recordOf(instrument, 3), encodeSiteRecord("", "", name));
    QCOMPARE(menu().evaluate("sitesManager.cloningSiteIndex").toInt(), -1);
}

// The current site (N1, slot 0) and the groups on its path are bold.
void tst_Sites::boldRows_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("bold");
    QTest::addColumn<QStringList>("plain");
    QTest::newRow("top") << QStringList() << QStringList{"Boiler"}
                         << QStringList{"Pumps", "Site 1"};
    QTest::newRow("group") << QStringList{"Boiler"} << QStringList{"North"} << QStringList{"B1"};
    QTest::newRow("subgroup") << QStringList{"Boiler", "North"} << QStringList{"N1"}
                              << QStringList{"N2"};
}

void tst_Sites::boldRows()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, bold);
    QFETCH(QStringList, plain);
    QVERIFY(enterSites(false));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    const auto isBold = [&](const QString &caption) {
        return menu()
            .evaluate(QStringLiteral("navigationManager.deviceFrames.frameWithSite.siteList"
                                     ".itemAtIndex(%1).captionItem.font.bold")
                          .arg(rowOf(caption)))
            .toBool();
    };
    for (const QString &caption : std::as_const(bold))
        QVERIFY2(isBold(caption), qPrintable(caption));
    for (const QString &caption : std::as_const(plain))
        QVERIFY2(!isBold(caption), qPrintable(caption));
}

// Keys on a row of the list: Left and Right over the caption, copy and delete columns, and what
// Return, Right, Left, Backspace and Delete do there.
void tst_Sites::rowKeys_data()
{
    QTest::addColumn<bool>("modifying");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("expect"); // copy, question, path, write, column
    QTest::addColumn<QString>("value");
    const QString deleteSite = "Are you sure want to delete site \"Site 1\" ?";
    QTest::newRow("Right, Return: copy")
        << true << QStringList() << "Site 1" << QList<int>{Qt::Key_Right, Qt::Key_Return} << "copy"
        << "Copy from: Site 1";
    QTest::newRow("Right twice, Return: delete")
        << true << QStringList() << "Site 1"
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Return} << "question" << deleteSite;
    QTest::newRow("Right past the last column stays")
        << true << QStringList() << "Site 1"
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right} << "column"
        << "2";
    QTest::newRow("a group has no copy column")
        << true << QStringList() << "Boiler" << QList<int>{Qt::Key_Right} << "column"
        << "2";
    QTest::newRow("Right, Left: back on the caption")
        << true << QStringList() << "Site 1" << QList<int>{Qt::Key_Right, Qt::Key_Left} << "column"
        << "0";
    QTest::newRow("Delete key") << true << QStringList() << "Site 1" << QList<int>{Qt::Key_Delete}
                                << "question" << deleteSite;
    QTest::newRow("Delete key while selecting: nothing")
        << false << QStringList() << "Site 1" << QList<int>{Qt::Key_Delete} << "column"
        << "0";
    QTest::newRow("Right while selecting chooses")
        << false << QStringList() << "Site 1" << QList<int>{Qt::Key_Right} << "write"
        << "W 400128 0003";
    QTest::newRow("Return on a group enters it")
        << false << QStringList() << "Boiler" << QList<int>{Qt::Key_Return} << "path"
        << "Boiler";
    QTest::newRow("Left on the caption goes up")
        << true << QStringList{"Boiler", "North"} << "N1" << QList<int>{Qt::Key_Left} << "path"
        << "Boiler";
    QTest::newRow("Backspace goes up")
        << false << QStringList{"Boiler"} << "B1" << QList<int>{Qt::Key_Backspace} << "path"
        << "";
    // The up button disables itself at the top level: the first row takes the focus.
    QTest::newRow("Up above the first row, Up on the up button goes up")
        << false << QStringList{"Boiler"} << "North" << QList<int>{Qt::Key_Up, Qt::Key_Up} << "top"
        << "";
    QTest::newRow("Return on the up button goes up")
        << false << QStringList{"Boiler"} << "North" << QList<int>{Qt::Key_Up, Qt::Key_Return}
        << "top"
        << "";
    QTest::newRow("modifying, Up on the up button: the group-name button goes too")
        << true << QStringList{"Boiler"} << "North" << QList<int>{Qt::Key_Up, Qt::Key_Up} << "top"
        << "";
}

void tst_Sites::rowKeys()
{
    QFETCH(bool, modifying);
    QFETCH(QStringList, clicks);
    QFETCH(QString, row);
    QFETCH(QList<int>, keys);
    QFETCH(QString, expect);
    QFETCH(QString, value);
    QVERIFY(enterSites(modifying));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    const int index = waitForRow(row);
    QVERIFY(index >= 0);
    menu().evaluate(
        QStringLiteral("navigationManager.deviceFrames.frameWithSite.siteList.currentIndex = %1")
            .arg(index));
    auto *list = m_frame->property("siteList").value<QQuickItem *>();
    // While the table is read again the frame is covered and takes no keys.
    QTRY_VERIFY_WITH_TIMEOUT(!m_frame->property("updating").toBool(), 8000);
    list->forceActiveFocus();
    QVERIFY(list->hasActiveFocus());
    for (int key : std::as_const(keys))
        menu().keyClick(Qt::Key(key));
    if (expect == QLatin1String("copy")) {
        QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
        QVERIFY(menu().itemByText(value));
    } else if (expect == QLatin1String("question")) {
        QVERIFY(answer(value, false));
    } else if (expect == QLatin1String("path")) {
        QTRY_COMPARE_WITH_TIMEOUT(
            menu().evaluate("sitesManager.model.groupPath").toStringList().join("/"), value, 2000);
    } else if (expect == QLatin1String("top")) {
        // Up a level, the first row has the focus and the next key moves the cursor.
        QTRY_COMPARE_WITH_TIMEOUT(
            menu().evaluate("sitesManager.model.groupPath").toStringList().join("/"), value, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(list->hasActiveFocus(), 2000);
        QCOMPARE(list->property("currentIndex").toInt(), 0);
        menu().keyClick(Qt::Key_Down);
        QCOMPARE(list->property("currentIndex").toInt(), 1);
    } else if (expect == QLatin1String("write")) {
        QVERIFY(waitForLog({value}));
    } else {
        MenuDriver::settle(100);
        QCOMPARE(m_frame->property("column").toInt(), value.toInt());
        QVERIFY(!activePopup());
    }
    if (currentFrame() == QLatin1String("sitesFrame") && !activePopup())
        QVERIFY(keysHaveATarget());
    // Modifying mode left: the cursor is on the caption again.
    if (currentFrame() == QLatin1String("sitesFrame") && modifying) {
        m_frame->setProperty("modifying", false);
        QCOMPARE(m_frame->property("column").toInt(), 0);
    }
    MenuDriver::settle(200);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W 4032.*|W 400023 .*")), 0);
}

// The editor's group and subgroup rows, from the add button: a list of "Create" (or "Modify"),
// the names and "Clear", or the text editor at once when there are no names. Nothing is
// written; Escape leaves without a write.
void tst_Sites::editorRows_data()
{
    QTest::addColumn<QStringList>("clicks"); // in the sites list before the add button
    QTest::addColumn<QString>("presetGroup");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("entries"); // empty: the text editor opens
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<bool>("subGroupShown");
    const QStringList groups{"Create", "Boiler", "Pumps", "Clear"};
    QTest::newRow("a group from the list")
        << QStringList() << QString() << "groupRow" << groups << 2 << QString()
        << QStringList{"Pumps", "", "Site 2"} << true;
    QTest::newRow("Create: the text editor")
        << QStringList() << QString() << "groupRow" << groups << 0 << "Yard"
        << QStringList{"Yard", "", "Site 2"} << true;
    QTest::newRow("Clear the group") << QStringList{"Boiler"} << QString() << "groupRow"
                                     << QStringList{"Modify", "Boiler", "Pumps", "Clear"} << 3
                                     << QString() << QStringList{"", "", "Site 2"} << false;
    QTest::newRow("a subgroup of the chosen group")
        << QStringList() << "Boiler"
        << "subGroupRow" << QStringList{"Create", "North", "Clear"} << 1 << QString()
        << QStringList{"Boiler", "North", "Site 2"} << true;
    QTest::newRow("a group without subgroups: the text editor at once")
        << QStringList() << "Pumps"
        << "subGroupRow" << QStringList() << -1 << "East" << QStringList{"Pumps", "East", "Site 2"}
        << true;
    QTest::newRow("the name") << QStringList() << QString() << "nameRow" << QStringList() << -1
                              << "Well" << QStringList{"", "", "Well"} << false;
}

void tst_Sites::editorRows()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, presetGroup);
    QFETCH(QString, row);
    QFETCH(QStringList, entries);
    QFETCH(int, choice);
    QFETCH(QString, typed);
    QFETCH(QStringList, path);
    QFETCH(bool, subGroupShown);
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    menu().click(m_frame->property("addButton").value<QQuickItem *>());
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    if (!presetGroup.isEmpty())
        menu().evaluate(
            QStringLiteral("deviceProps.editingSiteGroup.setValue('%1', true)").arg(presetGroup));
    MenuDriver::settle(100);
    menu().click(edit->property(row.toLatin1()).value<QQuickItem *>());
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() != nullptr; }, 3000));
    if (!entries.isEmpty()) {
        QCOMPARE(activePopup()->property("model").toStringList(), entries);
        QMetaObject::invokeMethod(activePopup(), "chooseIndex", Q_ARG(QVariant, choice));
        MenuDriver::settle(200);
    }
    if (!typed.isEmpty()) {
        QVERIFY(MenuDriver::waitFor(
            [&] { return menu().object(QStringLiteral("textEditorField")) != nullptr; }, 3000));
        menu().object(QStringLiteral("textEditorField"))->setProperty("text", typed);
        menu().keyClick(Qt::Key_Return);
    }
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.sitePath").toStringList(), path);
    QCOMPARE(edit->property("subGroupRow").value<QQuickItem *>()->isVisible(), subGroupShown);
    menu().keyClick(Qt::Key_Escape);
    QVERIFY(waitForFrame(QStringLiteral("sitesFrame")));
    MenuDriver::settle(300);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W .*")), 0);
}

// From modifying mode: the delete button of a row, then Yes.
void tst_Sites::deleteRows_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QList<int>>("emptied");
    QTest::addColumn<bool>("wholeTable");
    QTest::newRow("a site") << QStringList() << "Site 1"
                            << "Are you sure want to delete site \"Site 1\" ?"
                            << QStringList{recordWrite(3), "W 403260 8003", "W 400023 aa550003"}
                            << QList<int>{3} << false;
    QTest::newRow("a site in a subgroup")
        << QStringList{"Boiler", "North"} << "N2"
        << "Are you sure want to delete site \"N2\" ?"
        << QStringList{recordWrite(1), "W 403260 8001", "W 400023 aa550001"} << QList<int>{1}
        << false;
    QTest::newRow("a group of three sites")
        << QStringList() << "Boiler"
        << "Are you sure want to delete group \"Boiler\"?\n\n(sites will be deleted: 3)"
        << QStringList{"FW 0x80 .*",        "W 403260 8000", "W 400023 aa550000", "W 403260 8001",
                       "W 400023 aa550001", "W 403260 8004", "W 400023 aa550004"}
        << QList<int>{0, 1, 4} << true;
    QTest::newRow("a group of one site")
        << QStringList() << "Pumps"
        << "Are you sure want to delete group \"Pumps\"?\n\n(sites will be deleted: 1)"
        << QStringList{recordWrite(2), "W 403260 8002", "W 400023 aa550002"} << QList<int>{2}
        << false;
}

void tst_Sites::deleteRows()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, row);
    QFETCH(QString, question);
    QFETCH(QStringList, written);
    QFETCH(QList<int>, emptied);
    QFETCH(bool, wholeTable);
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    const QStringList groupPath = menu().evaluate("sitesManager.model.groupPath").toStringList();
    QVERIFY(clickInRow(row, "deleteButton"));
    QVERIFY(answer(question, true));
    QTRY_VERIFY_WITH_TIMEOUT(m_frame->property("siteList").value<QQuickItem *>()->hasActiveFocus(),
                             2000);
    QVERIFY(waitForLog(written));
    QVERIFY(waitForTable());
    for (int slot : std::as_const(emptied))
        QCOMPARE(namesOf(instrument, slot), (QStringList{"", "", ""}));
    for (const Site &site : fixture) {
        if (!emptied.contains(site.slot))
            QCOMPARE(namesOf(instrument, site.slot),
                     (QStringList{site.group, site.subGroup, site.name}));
    }
    // One record, or the table as a whole: every record but the emptied ones is written too.
    QCOMPARE(countOf(log(), QStringLiteral("FW 0x80 .*")) > emptied.size(), wholeTable);
    QCOMPARE(countOf(log(), QStringLiteral("W 403260 .*")), emptied.size());
    QCOMPARE(countOf(log(), QStringLiteral("W 400023 .*")), emptied.size());
    // The list stays in its group while that group has sites left.
    if (rowOf(QStringLiteral("N1")) >= 0)
        QCOMPARE(menu().evaluate("sitesManager.model.groupPath").toStringList(), groupPath);
}

void tst_Sites::deleteRefused_data()
{
    QTest::addColumn<bool>("measuring");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("message");
    const QString measuring = "To delete site \"N1\" you should stop measuring before";
    const QString scheduled = "To delete site \"N1\" you should stop scheduler before";
    QTest::newRow("current site, measuring")
        << true << QStringList{"Boiler", "North"} << "N1" << measuring;
    QTest::newRow("its group, measuring") << true << QStringList() << "Boiler" << measuring;
    QTest::newRow("its subgroup, schedule running")
        << false << QStringList{"Boiler"} << "North" << scheduled;
    QTest::newRow("current site, schedule running")
        << false << QStringList{"Boiler", "North"} << "N1" << scheduled;
}

void tst_Sites::deleteRefused()
{
    QFETCH(bool, measuring);
    QFETCH(QStringList, clicks);
    QFETCH(QString, row);
    QFETCH(QString, message);
    TavrinInstrument &instrument = menu().instrument();
    if (measuring)
        instrument.setMeasuring(true);
    else
        instrument.setRegisters(300753, ModbusBytes::fromUInt16(1));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(measuring ? "deviceProps.measuring"
                                  : "deviceModbus.scheduleState.value === 1");
        },
        5000));
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    instrument.clearRequests();
    QVERIFY(clickInRow(row, "deleteButton"));
    QVERIFY(MenuDriver::waitFor([&] { return menu().itemByText(message) != nullptr; }, 3000));
    menu().keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    // The keys act on the list again.
    QTRY_VERIFY_WITH_TIMEOUT(m_frame->property("siteList").value<QQuickItem *>()->hasActiveFocus(),
                             2000);
    MenuDriver::settle(500);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W 4032.*|W 400023 .*")), 0);
}

void tst_Sites::renameGroup_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QList<Site>>("after");
    QTest::addColumn<QStringList>("groupPath");
    QTest::newRow("a group") << QStringList{"Boiler"} << "Plant" << QString()
                             << QList<Site>{{0, "Plant", "North", "N1"},
                                            {1, "Plant", "North", "N2"},
                                            {2, "Pumps", "", "P1"},
                                            {3, "", "", "Site 1"},
                                            {4, "Plant", "", "B1"}}
                             << QStringList{"Plant"};
    QTest::newRow("a subgroup") << QStringList{"Boiler", "North"} << "South" << QString()
                                << QList<Site>{{0, "Boiler", "South", "N1"},
                                               {1, "Boiler", "South", "N2"},
                                               {2, "Pumps", "", "P1"},
                                               {3, "", "", "Site 1"},
                                               {4, "Boiler", "", "B1"}}
                                << QStringList{"Boiler", "South"};
    QTest::newRow("to an empty name: the names go")
        << QStringList{"Boiler"} << QString()
        << "Are you sure want to delete group \"Boiler\"?\n\n(3 sites will be deleted)"
        << QList<Site>{{2, "Pumps", "", "P1"}, {3, "", "", "Site 1"}} << QStringList();
    QTest::newRow("unchanged: nothing")
        << QStringList{"Pumps"} << "Pumps" << QString() << fixture << QStringList{"Pumps"};
}

void tst_Sites::renameGroup()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, newName);
    QFETCH(QString, question);
    QFETCH(QList<Site>, after);
    QFETCH(QStringList, groupPath);
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    instrument.clearRequests();
    auto *button = m_frame->property("groupNameButton").value<QQuickItem *>();
    QVERIFY(button && button->isVisible());
    QCOMPARE(button->property("caption").toString(), clicks.last());
    menu().click(button);
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() != nullptr; }, 3000));
    QObject *field = menu().object(QStringLiteral("textEditorField"));
    QVERIFY(field);
    QCOMPARE(field->property("text").toString(), clicks.last());
    field->setProperty("text", newName);
    menu().keyClick(Qt::Key_Return);
    if (!question.isEmpty())
        QVERIFY(answer(question, true));
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    MenuDriver::settle(300);
    QVERIFY(waitForTable());
    QList<Site> expected = after;
    for (int slot = 0; slot < SiteRecords::Count; ++slot) {
        auto it = std::find_if(expected.cbegin(), expected.cend(),
                               [slot](const Site &s) { return s.slot == slot; });
        const QStringList names = it == expected.cend()
                                      ? QStringList{"", "", ""}
                                      : QStringList{it->group, it->subGroup, it->name};
        QCOMPARE(namesOf(instrument, slot), names);
    }
    // Names only: no settings cleared, no archive erased.
    QCOMPARE(countOf(log(), QStringLiteral("W 403260 .*|W 400023 .*")), 0);
    if (after == fixture)
        QCOMPARE(countOf(log(), QStringLiteral("FW .*")), 0);
    QCOMPARE(menu().evaluate("sitesManager.model.groupPath").toStringList(), groupPath);
}

void tst_Sites::addAvailability_data()
{
    QTest::addColumn<int>("sites");
    QTest::addColumn<bool>("modifying");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty table, selecting") << 0 << false << true << true;
    QTest::newRow("some sites, selecting") << 5 << false << false << true;
    QTest::newRow("some sites, modifying") << 5 << true << true << true;
    QTest::newRow("full table, modifying") << 20 << true << true << false;
}

void tst_Sites::addAvailability()
{
    QFETCH(int, sites);
    QFETCH(bool, modifying);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    TavrinInstrument &instrument = menu().instrument();
    QList<Site> table = fixture.mid(0, qMin(sites, int(fixture.size())));
    for (int slot = 5; slot < sites; ++slot)
        table.append({slot, "", "", QStringLiteral("S%1").arg(slot)});
    putSites(instrument, table);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(waitForTable());
    QVERIFY(enterSites(modifying));
    auto *add = m_frame->property("addButton").value<QQuickItem *>();
    QCOMPARE(add->isVisible(), visible);
    QCOMPARE(add->isEnabled(), enabled);
    if (visible && enabled) {
        // Insert does what the button does.
        menu().keyClick(Qt::Key_Insert);
        QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    }
}

// Another client commits a new table: the frame is covered while it is read, then shows it. The
// modify button, focused, is disabled meanwhile: the list takes the keys.
void tst_Sites::otherClientChangesTable()
{
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(false));
    QVERIFY(!menu().itemByText(QStringLiteral("Updating sites list...")));
    auto *list = m_frame->property("siteList").value<QQuickItem *>();
    auto *modify = m_frame->property("modifyButton").value<QQuickItem *>();
    menu().evaluate("navigationManager.deviceFrames.frameWithSite.siteList.currentIndex = 0");
    list->forceActiveFocus();
    menu().keyClick(Qt::Key_Up);
    QVERIFY(modify->hasActiveFocus());
    QList<Site> table = fixture;
    table.append({6, "", "", "Well"});
    putSites(instrument, table);
    instrument.setDelay(400);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu().itemByText(QStringLiteral("Updating sites list...")) != nullptr; },
        5000));
    QVERIFY(!modify->isEnabled());
    QVERIFY(list->hasActiveFocus());
    QVERIFY(MenuDriver::waitFor([&] { return rowOf(QStringLiteral("Well")) >= 0; }, 10000));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu().itemByText(QStringLiteral("Updating sites list...")) == nullptr; },
        5000));
    instrument.setDelay(0);
    menu().keyClick(Qt::Key_Down);
    QCOMPARE(list->property("currentIndex").toInt(), 1);
}

// The table fills while a new site's editor is open: "Ok" can no longer place it.
void tst_Sites::okAfterTheTableFilled()
{
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    menu().click(m_frame->property("addButton").value<QQuickItem *>());
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    auto *ok = edit->property("okRow").value<QQuickItem *>();
    QVERIFY(ok->property("clickable").toBool());

    QList<Site> table = fixture;
    for (int slot = 5; slot < SiteRecords::Count; ++slot)
        table.append({slot, "", "", QStringLiteral("S%1").arg(slot)});
    putSites(instrument, table);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(waitForTable());
    QVERIFY(!ok->property("clickable").toBool());
    instrument.clearRequests();
    menu().click(ok);
    QMetaObject::invokeMethod(edit, "ok");
    MenuDriver::settle(500);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W 400023 .*")), 0);
}

void tst_Sites::refusedRecordWriteErasesNothing()
{
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    QVERIFY(clickInRow(QStringLiteral("Site 1"), "copyButton"));
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    instrument.setFileException(SiteRecords::File, DorrikBus::SlaveDeviceFailure);
    instrument.clearRequests();
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    menu().click(edit->property("okRow").value<QQuickItem *>());
    QVERIFY(waitForLog({recordWrite(5)}));
    MenuDriver::settle(800);
    QCOMPARE(countOf(log(), QStringLiteral("W 400023 .*|W 403255 .*")), 0);
    instrument.clearExceptions();
}

// Yes to a delete whose record or table write the instrument refuses, or does not answer: the
// operator is told, no settings are reset, no archive is erased, and the list shows the sites.
void tst_Sites::deleteNotTaken_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("write");
    const QString site = "Are you sure want to delete site \"Site 1\" ?";
    QTest::newRow("a site, record refused") << QStringList() << "Site 1" << site << recordWrite(3);
    QTest::newRow("a group of one site, record refused")
        << QStringList() << "Pumps"
        << "Are you sure want to delete group \"Pumps\"?\n\n(sites will be deleted: 1)"
        << recordWrite(2);
    QTest::newRow("a group of three sites, table refused")
        << QStringList() << "Boiler"
        << "Are you sure want to delete group \"Boiler\"?\n\n(sites will be deleted: 3)"
        << "FW 0x80 0 .*";
}

void tst_Sites::deleteNotTaken()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, row);
    QFETCH(QString, question);
    QFETCH(QString, write);
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    for (const QString &caption : std::as_const(clicks))
        QVERIFY2(clickRow(caption), qPrintable(caption));
    QVERIFY(clickInRow(row, "deleteButton"));
    QVERIFY(MenuDriver::waitFor([&] { return menu().itemByText(question) != nullptr; }, 10000));
    instrument.clearRequests();
    // The write only; what the menu reads meanwhile and afterwards is answered.
    instrument.setFileWriteException(SiteRecords::File, DorrikBus::SlaveDeviceFailure, 1);
    QVERIFY(answer(question, true));
    QVERIFY(waitForLog({write}));
    const QString told = QStringLiteral("The device did not take the deletion of \"%1\": no "
                                        "settings were reset and no archive was erased")
                             .arg(row);
    QVERIFY(MenuDriver::waitFor([&] { return menu().itemByText(told) != nullptr; }, 15000));
    menu().keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    QVERIFY(waitForTable());
    MenuDriver::settle(300);
    QCOMPARE(countOf(log(), QStringLiteral("W 403260 .*|W 400023 .*")), 0);
    for (const Site &site : fixture)
        QCOMPARE(namesOf(instrument, site.slot),
                 (QStringList{site.group, site.subGroup, site.name}));
    QVERIFY(rowOf(row) >= 0);
}

// Another client changes the table while the delete question is open, and the menu reads it:
// Yes touches nothing and says why.
void tst_Sites::tableChangedUnderTheQuestion_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QList<Site>>("table");
    QTest::newRow("the site moved, another in its slot")
        << "Site 1"
        << "Are you sure want to delete site \"Site 1\" ?"
        << QList<Site>{fixture.at(0),       fixture.at(1), fixture.at(2),
                       {3, "", "", "Well"}, fixture.at(4), {6, "", "", "Site 1"}};
    QTest::newRow("a site added to the group")
        << "Boiler"
        << "Are you sure want to delete group \"Boiler\"?\n\n(sites will be deleted: 3)"
        << fixture + QList<Site>{{7, "Boiler", "", "B2"}};
    QTest::newRow("a site of the group renamed")
        << "Boiler"
        << "Are you sure want to delete group \"Boiler\"?\n\n(sites will be deleted: 3)"
        << QList<Site>{fixture.at(0),
                       {1, "Boiler", "North", "N9"},
                       fixture.at(2),
                       fixture.at(3),
                       fixture.at(4)};
}

void tst_Sites::tableChangedUnderTheQuestion()
{
    QFETCH(QString, row);
    QFETCH(QString, question);
    QFETCH(QList<Site>, table);
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    QVERIFY(clickInRow(row, "deleteButton"));
    QVERIFY(MenuDriver::waitFor([&] { return menu().itemByText(question) != nullptr; }, 10000));
    putSites(instrument, table);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(waitForTable());
    instrument.clearRequests();
    QVERIFY(answer(question, true));
    const QString told =
        QStringLiteral("The sites list changed while the question was open: nothing was deleted");
    QVERIFY(MenuDriver::waitFor([&] { return menu().itemByText(told) != nullptr; }, 5000));
    menu().keyClick(Qt::Key_Return);
    MenuDriver::settle(500);
    QCOMPARE(countOf(log(), QStringLiteral("FW .*|W 403260 .*|W 400023 .*")), 0);
}

// A record answered after 300 ms, the operator already on to the next site: the answer goes to
// the slot written. A new site's slot is taken from the write on: the next "Add" goes elsewhere.
void tst_Sites::slowAnswerGoesToItsSlot_data()
{
    QTest::addColumn<bool>("newSite");
    QTest::newRow("an edit, the next site opened meanwhile") << false;
    QTest::newRow("a new site, then another added") << true;
}

void tst_Sites::slowAnswerGoesToItsSlot()
{
    QFETCH(bool, newSite);
    TavrinInstrument &instrument = menu().instrument();
    QVERIFY(enterSites(true));
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    auto *ok = edit->property("okRow").value<QQuickItem *>();
    if (newSite)
        menu().click(m_frame->property("addButton").value<QQuickItem *>());
    else
        QVERIFY(clickRow(QStringLiteral("Site 1")));
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QTRY_VERIFY_WITH_TIMEOUT(!eval("deviceModbus.editingSiteItem.executing"), 3000);
    menu().evaluate("deviceProps.editingSiteName.setValue('Yard', true)");
    instrument.clearRequests();
    instrument.setDelay(300);
    menu().click(ok);
    QVERIFY(waitForFrame(QStringLiteral("sitesFrame")));
    QVERIFY(waitForLog({recordWrite(newSite ? 5 : 3)}, 3000));
    // Before the answer: the next site.
    if (newSite) {
        menu().click(m_frame->property("addButton").value<QQuickItem *>());
        QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
        menu().evaluate("deviceProps.editingSiteName.setValue('Gate', true)");
        menu().click(ok);
        QVERIFY(waitForFrame(QStringLiteral("sitesFrame")));
    } else {
        QVERIFY(clickRow(QStringLiteral("Pumps")));
        QVERIFY(clickRow(QStringLiteral("P1")));
        QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    }
    const int second = newSite ? 6 : 2;
    const QString secondName = newSite ? QStringLiteral("Gate") : QStringLiteral("P1");
    QTRY_COMPARE_WITH_TIMEOUT(
        menu()
            .evaluate("sitesManager.model.getSiteName(" + QString::number(newSite ? 5 : 3) + ")")
            .toString(),
        QStringLiteral("Yard"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        menu()
            .evaluate("sitesManager.model.getSiteName(" + QString::number(second) + ")")
            .toString(),
        secondName, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(namesOf(instrument, second).at(2), secondName, 10000);
    instrument.setDelay(0);
    QCOMPARE(namesOf(instrument, newSite ? 5 : 3).at(2), QStringLiteral("Yard"));
    // A new site's archive is emptied in its own slot only.
    if (newSite)
        QVERIFY(waitForLog({"W 400023 aa550005", "W 400023 aa550006"}));
    MenuDriver::settle(300);
    QCOMPARE(countOf(log(), QStringLiteral("W 400023 .*")), newSite ? 2 : 0);
    if (currentFrame() == QLatin1String("editSiteFrame"))
        menu().keyClick(Qt::Key_Escape);
}

// A copy of a site whose name fills its 40-byte field: the number takes the place of the last
// letter, so that the record holds the name the list shows.
void tst_Sites::fullNameCopied()
{
    TavrinInstrument &instrument = menu().instrument();
    const QString full(20, QChar(0x0416));
    const QString copy = QString(19, QChar(0x0416)) + QStringLiteral(" 2");
    putSites(instrument, fixture + QList<Site>{{6, "", "", full}});
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
    QVERIFY(waitForTable());
    QVERIFY(enterSites(true));
    QVERIFY(clickInRow(full, "copyButton"));
    QVERIFY(waitForFrame(QStringLiteral("editSiteFrame")));
    QCOMPARE(menu().evaluate("deviceModbus.editingSiteItem.siteName").toString(), copy);
    instrument.clearRequests();
    QObject *edit = menu().object(QStringLiteral("editSiteFrame"));
    menu().click(edit->property("okRow").value<QQuickItem *>());
    QVERIFY(waitForLog({recordWrite(5), "W 403255 00060005"}));
    QTRY_COMPARE_WITH_TIMEOUT(namesOf(instrument, 5), (QStringList{"", "", copy}), 3000);
    QVERIFY(waitForTable());
    QVERIFY(rowOf(copy) >= 0);
}

// Select, add, a name typed on the on-screen keypad, Ok: the instrument's front panel alone, on
// its screen size.
void tst_Sites::wholeFlowByPanelKeys()
{
    MenuContext::overrideEmbedded(1);
    MenuDriver panel(QSize(640, 480));
    putSites(panel.instrument(), fixture);
    const bool started = panel.start();
    MenuContext::overrideEmbedded(-1);
    QVERIFY2(started, qPrintable(panel.error()));
    // Names are typed on the on-screen keypad.
    panel.context()->setUseTextScreenKeypad(true);
    panel.window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(panel.window()));
    QObject *navigation = panel.object(QStringLiteral("navigationManager"));
    auto frameName = [&] {
        auto *frame = navigation->property("currentFrame").value<QObject *>();
        return frame ? frame->objectName() : QString();
    };
    auto press = [&](Qt::Key key) { QVERIFY(PanelKeys::press(panel, key)); };
    QObject *sites = panel.object(QStringLiteral("sitesFrame"));
    QVERIFY(MenuDriver::waitFor(
        [&] { return panel.evaluate("sitesManager.model.sitesCount").toInt() == 5; }, 8000));

    // Select "Site 1" (slot 3): the measurement frame's first row leads to the list, whose rows
    // are Boiler, Pumps, Site 1.
    panel.evaluate(QStringLiteral("navigationManager.gotoFrame("
                                  "navigationManager.deviceFrames.frameWithSite.prevFrame, true)"));
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "measurementParametersFrame"; }, 3000));
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "sitesFrame"; }, 3000));
    QVERIFY(MenuDriver::waitFor([&] { return !sites->property("updating").toBool(); }, 5000));
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor(
        [&] { return inOrder(described(panel.requests()), {"W 400128 0003"}); }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "measurementParametersFrame"; }, 3000));

    // Back in, up to the modify button above the list, then the add button to its left.
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "sitesFrame"; }, 3000));
    QVERIFY(MenuDriver::waitFor([&] { return !sites->property("updating").toBool(); }, 5000));
    // The list keeps the chosen row: Up to the first row, once more to the button.
    auto *modify = sites->property("modifyButton").value<QQuickItem *>();
    for (int i = 0; i < 4 && !modify->hasActiveFocus(); ++i)
        press(Qt::Key_Up);
    QVERIFY(modify->hasActiveFocus());
    press(Qt::Key_Return);
    QVERIFY(sites->property("modifying").toBool());
    press(Qt::Key_Left);
    QVERIFY(sites->property("addButton").value<QQuickItem *>()->hasActiveFocus());
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "editSiteFrame"; }, 3000));

    // Rows: group, name, copy, Ok (no subgroup without a group). The name on the keypad.
    QObject *edit = panel.object(QStringLiteral("editSiteFrame"));
    QVERIFY(edit->property("groupRow").value<QQuickItem *>()->hasActiveFocus());
    press(Qt::Key_Down);
    QVERIFY(edit->property("nameRow").value<QQuickItem *>()->hasActiveFocus());
    press(Qt::Key_Return);
    QObject *screens = panel.object(QStringLiteral("screenManager"));
    QVERIFY(
        MenuDriver::waitFor([&] { return screens->property("hasScreenKeypad").toBool(); }, 3000));
    QObject *field = panel.object(QStringLiteral("textEditorField"));
    QVERIFY(field);
    for (Qt::Key k : {Qt::Key_4, Qt::Key_2})
        press(k);
    QTRY_COMPARE_WITH_TIMEOUT(field->property("text").toString(), QStringLiteral("42"), 2000);
    press(Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(panel.evaluate("deviceModbus.editingSiteItem.siteName").toString(),
                              QStringLiteral("42"), 2000);
    QVERIFY(
        MenuDriver::waitFor([&] { return !screens->property("hasScreenKeypad").toBool(); }, 3000));
    QCOMPARE(countOf(described(panel.requests()), QStringLiteral("FW .*")), 0);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    QVERIFY(edit->property("okRow").value<QQuickItem *>()->hasActiveFocus());
    press(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return inOrder(described(panel.requests()), {recordWrite(5), "W 400023 aa550005"});
        },
        5000));
    QCOMPARE(recordOf(panel.instrument(), 5), encodeSiteRecord("", "", "42"));
    QVERIFY(MenuDriver::waitFor([&] { return frameName() == "sitesFrame"; }, 3000));
    QCOMPARE(panel.unmappedRequests(), QStringList());
}

QTEST_MAIN(tst_Sites)
#include "tst_sites.moc"
