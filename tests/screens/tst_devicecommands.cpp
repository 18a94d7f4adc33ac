// The instrument's commands as the menu sends them, against the simulated instrument: what the
// confirmations ask and default to, what reaches the instrument and in which order, the factory
// reset's recovery, the new site a measurement start makes, and the battery warning.
#include "menucontext.h"
#include "menudriver.h"
#include "messagecapture.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "ptypair.h"
#include "requestlog.h"
#include "siterecords.h"

#include <QMutex>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtTest>

namespace {

using namespace RequestLog;

// The popup a shown text belongs to: the nearest ancestor with that property.
QQuickItem *popupOf(QQuickItem *item, const char *property)
{
    for (QQuickItem *i = item; i; i = i->parentItem()) {
        if (i->property(property).isValid())
            return i;
    }
    return nullptr;
}

// Waits for the confirmation `caption`, checks its default answer and answers it.
bool answer(MenuDriver &menu, const QString &caption, bool defaultAnswer, bool yes)
{
    if (!MenuDriver::waitFor([&] { return menu.itemByText(caption) != nullptr; }, 3000)) {
        qWarning().noquote() << "no confirmation" << caption;
        return false;
    }
    QQuickItem *dialog = popupOf(menu.itemByText(caption), "defaultAnswer");
    if (!dialog || dialog->property("defaultAnswer").toBool() != defaultAnswer) {
        qWarning().noquote() << "default answer of" << caption;
        return false;
    }
    // Answered by keys: a click could land where a button is not yet while the popup slides in.
    auto *yesButton = dialog->property("yesButton").value<QQuickItem *>();
    auto *noButton = dialog->property("noButton").value<QQuickItem *>();
    if (!MenuDriver::waitFor(
            [&] { return yesButton->hasActiveFocus() || noButton->hasActiveFocus(); }, 3000)) {
        qWarning().noquote() << "no focus in" << caption;
        return false;
    }
    menu.keyClick(yes ? Qt::Key_Left : Qt::Key_Right);
    menu.keyClick(Qt::Key_Return);
    return MenuDriver::waitFor([&] { return menu.itemByText(caption) == nullptr; }, 3000);
}

} // namespace

class tst_DeviceCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void commandWrites_data();
    void commandWrites();
    void siteCopyToItselfRefused();
    void editedSiteNeedsItsIndex_data();
    void editedSiteNeedsItsIndex();
    void erasingNeedsAUsableCard_data();
    void erasingNeedsAUsableCard();
    void historyResetOnEachConnection();
    void measuringSwitch();
    void measuringMakesSiteOnlyForAnEmptyRecordReadWell_data();
    void measuringMakesSiteOnlyForAnEmptyRecordReadWell();
    void factoryReset_data();
    void factoryReset();
    void batteryWarning();
    void batteryTimeTexts_data();
    void batteryTimeTexts();

private:
    std::unique_ptr<MenuDriver> m_menu;
};

void tst_DeviceCommands::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    m_menu->instrument().setSites({{0, QStringLiteral("Site 1")}});
    QVERIFY(startMenu(*m_menu));
}

void tst_DeviceCommands::cleanupTestCase()
{
    m_menu.reset();
}

void tst_DeviceCommands::commandWrites_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QStringList>("expected");

    const QString dt0 = QStringLiteral("deviceProps.setZeroFlowOffsetdt0.");
    const QString delay = QStringLiteral("deviceProps.adjustAdditionalDelay.");
    QTest::newRow("zero offset dt0 start, stop, save")
        << dt0 + "start(); " + dt0 + "stop(); " + dt0 + "save()" << QString()
        << QStringList{"W 403252 0001", "W 403252 0000", "W 403252 0002"};
    QTest::newRow("additional delay start, stop, save")
        << delay + "start(); " + delay + "stop(); " + delay + "save()" << QString()
        << QStringList{"W 403251 0001", "W 403251 0000", "W 403251 0002"};
    QTest::newRow("set additional delay")
        << "deviceProps.setAdditionalDelay.execute()" << QString() << QStringList{"W 403251 0002"};
    QTest::newRow("calculate KP, then KP read")
        << "deviceProps.discreteOutputCalculateKp.execute()"
        << "Calculate KP?" << QStringList{"W 403253 0001", "R 403103 2"};
    QTest::newRow("calculate Ki, then Ki read")
        << "deviceProps.discreteOutputCalculateKi.execute()"
        << "Calculate Ki?" << QStringList{"W 403254 0001", "R 403105 2"};
    QTest::newRow("schedule start, then its state read")
        << "deviceProps.scheduleCommand.start()" << QString()
        << QStringList{"W 403560 0001", "R 300701 70"};
    QTest::newRow("schedule stop, then its state read")
        << "deviceProps.scheduleCommand.stop()" << QString()
        << QStringList{"W 403560 0000", "R 300701 70"};
    QTest::newRow("copy site 3 to 5")
        << "deviceProps.siteCopier.siteFrom = 3; deviceProps.siteCopier.siteTo = 5; "
           "deviceProps.siteCopier.execute()"
        << QString() << QStringList{"W 403255 00030005"};
    QTest::newRow("copy site 40000 to 1, unsigned")
        << "deviceProps.siteCopier.siteFrom = 40000; deviceProps.siteCopier.siteTo = 1; "
           "deviceProps.siteCopier.execute()"
        << QString() << QStringList{"W 403255 9c400001"};
    QTest::newRow("clear site 3") << "deviceProps.siteClear.clearSite(3)" << QString()
                                  << QStringList{"W 403260 8003"};
    QTest::newRow("erase the archive of site 3")
        << "deviceProps.eraseSpecifiedArchive(3)" << QString() << QStringList{"W 400023 aa550003"};
    QTest::newRow("erase archive, the current site's")
        << "deviceProps.eraseArchive.execute()"
        << "Are you sure?" << QStringList{"W 400023 aa550000"};
    QTest::newRow("erase the archive of site 3, through the command")
        << "deviceProps.eraseArchive.eraseSpecifiedArchive(3)" << QString()
        << QStringList{"W 400023 aa550003"};
}

void tst_DeviceCommands::commandWrites()
{
    QFETCH(QString, script);
    QFETCH(QString, confirmation);
    QFETCH(QStringList, expected);
    MenuDriver &menu = *m_menu;
    menu.instrument().clearRequests();
    menu.evaluate(script);
    if (!confirmation.isEmpty()) {
        // Declining writes nothing; yes sends the command.
        QVERIFY(answer(menu, confirmation, false, false));
        MenuDriver::settle(200);
        QCOMPARE(countOf(described(menu.requests()), expected.first()), 0);
        menu.evaluate(script);
        QVERIFY(answer(menu, confirmation, false, true));
    }
    QVERIFY(waitForLog(menu, expected));
}

void tst_DeviceCommands::siteCopyToItselfRefused()
{
    MenuDriver &menu = *m_menu;
    menu.instrument().clearRequests();
    {
        MessageCapture messages;
        menu.evaluate(QStringLiteral("deviceProps.siteCopier.siteFrom = 3; "
                                     "deviceProps.siteCopier.siteTo = 3; "
                                     "deviceProps.siteCopier.execute()"));
        QVERIFY(messages.contains(QStringLiteral("Cannot copy site - wrong sites indexes")));
    }
    MenuDriver::settle(300);
    QCOMPARE(countOf(described(menu.requests()), QStringLiteral("W 403255 .*")), 0);
}

// The site frame's fields write the edited site's record: while no site is being edited
// (index -1) nothing is written, least of all over the first site.
void tst_DeviceCommands::editedSiteNeedsItsIndex_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("written");
    QTest::newRow("name, no site") << "editingSiteName" << -1 << QString();
    QTest::newRow("group, no site") << "editingSiteGroup" << -1 << QString();
    QTest::newRow("subgroup, no site") << "editingSiteSubGroup" << -1 << QString();
    QTest::newRow("name, site 3") << "editingSiteName" << 3 << "FW 0x80 183 61";
}

void tst_DeviceCommands::editedSiteNeedsItsIndex()
{
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(QString, written);
    MenuDriver &menu = *m_menu;
    SimulatedInstrument &instrument = menu.instrument();
    menu.evaluate(QStringLiteral("sitesManager.editingSiteIndex = %1").arg(index));
    const QByteArray before = instrument.file(SiteRecords::File);
    instrument.clearRequests();
    {
        MessageCapture messages;
        menu.evaluate(QStringLiteral("deviceProps.%1.setValue(\"Boiler\")").arg(field));
        if (written.isEmpty())
            QVERIFY(messages.contains(QStringLiteral("Cannot write site - no site index")));
    }
    if (written.isEmpty()) {
        MenuDriver::settle(500);
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW .*")), 0);
        QCOMPARE(instrument.file(SiteRecords::File), before);
    } else {
        QVERIFY(waitForLog(menu, {written}));
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW 0x80 0 .*")), 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            ModbusBytes(instrument.file(SiteRecords::File)
                            .mid(index * SiteRecords::RecordSize, SiteRecords::RecordSize)),
            encodeSiteRecord(QString(), QString(), QStringLiteral("Boiler")), 3000);
        QCOMPARE(instrument.file(SiteRecords::File).left(SiteRecords::RecordSize),
                 before.left(SiteRecords::RecordSize));
    }
    menu.evaluate(QStringLiteral("sitesManager.editingSiteIndex = -1"));
}

void tst_DeviceCommands::erasingNeedsAUsableCard_data()
{
    QTest::addColumn<int>("cardStatus");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("no card") << 0 << true;
    QTest::newRow("installed") << 2 << false;
    QTest::newRow("full") << 4 << false;
    QTest::newRow("erasing") << 5 << true;
}

void tst_DeviceCommands::erasingNeedsAUsableCard()
{
    QFETCH(int, cardStatus);
    QFETCH(bool, readOnly);
    MenuDriver &menu = *m_menu;
    menu.instrument().setRegisters(300754, ModbusBytes::fromUInt16(quint16(cardStatus)));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return evalTrue(menu,
                            QStringLiteral("deviceModbus.cardStatus.value === %1").arg(cardStatus));
        },
        3000));
    QCOMPARE(evalTrue(menu, "deviceProps.eraseMemoryCard.readOnly"), readOnly);
    QCOMPARE(evalTrue(menu, "deviceProps.eraseArchive.readOnly"), readOnly);
}

// 400121 + the connection type (USB here: 2).
void tst_DeviceCommands::historyResetOnEachConnection()
{
    MenuDriver &menu = *m_menu;
    menu.instrument().clearRequests();
    menu.instrument().disconnectLink();
    QVERIFY(MenuDriver::waitFor([&] { return !evalTrue(menu, "deviceModbus.connected"); }, 3000));
    menu.instrument().connectLink();
    QVERIFY(waitForLog(menu, {QStringLiteral("W 400123 0001")}));
    QCOMPARE(countOf(described(menu.requests()), QStringLiteral("W 40012[12] .*")), 0);
}

void tst_DeviceCommands::measuringSwitch()
{
    MenuDriver &menu = *m_menu;
    TavrinInstrument &instrument = menu.instrument();
    menu.evaluate(QStringLiteral("deviceProps.measuringDeferredDelay = 400"));
    // On battery at the warning level.
    instrument.setRegisters(300746, ModbusBytes::fromUInt16(1));
    instrument.setRegisters(300747, ModbusBytes::fromUInt16(15));
    QVERIFY(
        MenuDriver::waitFor([&] { return evalTrue(menu, "deviceProps.batteryWarning"); }, 3000));
    instrument.clearRequests();

    menu.evaluate(QStringLiteral("deviceProps.measureStatus.execute()"));
    QVERIFY(answer(menu, QStringLiteral("Start measure?\n(charge level is less than 15%)"), true,
                   true));
    QVERIFY(waitForLog(menu, {QStringLiteral("W 400127 0001")}));
    // The record of site 0 holds "Site 1": nothing else is written.
    MenuDriver::settle(200);
    QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW .*|W 400023 .*")), 0);

    // The instrument reports measuring; the deferred flag follows after the delay.
    QVERIFY(MenuDriver::waitFor([&] { return evalTrue(menu, "deviceProps.measuring"); }, 3000));
    QElapsedTimer sinceMeasuring;
    sinceMeasuring.start();
    QVERIFY(evalTrue(menu, "deviceProps.measureStatus.measuring"));
    QVERIFY(!evalTrue(menu, "deviceProps.measureStatus.measuringDeferred"));
    QVERIFY(!evalTrue(menu, "deviceProps.measuringDeferred"));
    QVERIFY(MenuDriver::waitFor(
        [&] { return evalTrue(menu, "deviceProps.measureStatus.measuringDeferred"); }, 3000));
    QVERIFY(evalTrue(menu, "deviceProps.measuringDeferred"));
    QVERIFY2(sinceMeasuring.elapsed() >= 300,
             qPrintable(QString::number(sinceMeasuring.elapsed())));

    instrument.clearRequests();
    menu.evaluate(QStringLiteral("deviceProps.measureStatus.execute()"));
    QVERIFY(answer(menu, QStringLiteral("Stop measure?"), false, true));
    QVERIFY(waitForLog(menu, {QStringLiteral("W 400127 0000")}));
    QVERIFY(MenuDriver::waitFor([&] { return !evalTrue(menu, "deviceProps.measuring"); }, 3000));
    QVERIFY(!evalTrue(menu, "deviceProps.measureStatus.measuring"));
    QVERIFY(!evalTrue(menu, "deviceProps.measureStatus.measuringDeferred"));
    QVERIFY(!evalTrue(menu, "deviceProps.measuringDeferred"));

    // Above the warning level, or on the adapter, the question has no note.
    instrument.setRegisters(300747, ModbusBytes::fromUInt16(16));
    QVERIFY(
        MenuDriver::waitFor([&] { return !evalTrue(menu, "deviceProps.batteryWarning"); }, 3000));
    menu.evaluate(QStringLiteral("deviceProps.measureStatus.execute()"));
    QVERIFY(answer(menu, QStringLiteral("Start measure?"), true, false));
    instrument.setRegisters(300747, ModbusBytes::fromUInt16(10));
    instrument.setRegisters(300746, ModbusBytes::fromUInt16(2));
    MenuDriver::settle(1500);
    QVERIFY(!evalTrue(menu, "deviceProps.batteryWarning"));
    menu.evaluate(QStringLiteral("deviceProps.measureStatus.execute()"));
    QVERIFY(answer(menu, QStringLiteral("Start measure?"), true, false));
    instrument.setRegisters(300746, ModbusBytes::fromUInt16(4));
}

// A slot counts as empty only once its record was read well at the current site's index.
void tst_DeviceCommands::measuringMakesSiteOnlyForAnEmptyRecordReadWell_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("creates");
    QTest::newRow("record read delayed") << "delayed" << false;
    QTest::newRow("record read refused") << "refused" << false;
    QTest::newRow("old site's record read, then a switch") << "switched" << false;
    QTest::newRow("empty record at index 2 read well") << "read" << true;
}

void tst_DeviceCommands::measuringMakesSiteOnlyForAnEmptyRecordReadWell()
{
    QFETCH(QString, situation);
    QFETCH(bool, creates);
    MenuDriver menu;
    TavrinInstrument &instrument = menu.instrument();
    // No site is "Site 1". The current site's slot is empty, but after the switch, where the
    // old site's slot 0 is the empty one and the new site's slot 2 holds a site.
    const bool switched = situation == "switched";
    instrument.setSites({{switched ? 2 : 0, QStringLiteral("North")}});
    const QByteArray slot2 = instrument.file(SiteRecords::File)
                                 .mid(2 * SiteRecords::RecordSize, SiteRecords::RecordSize);
    instrument.setCurrentSite(switched ? 0 : 2);
    if (situation == "refused")
        instrument.setFileException(SiteRecords::File, DorrikBus::IllegalDataAddress);
    if (situation == "delayed")
        instrument.setDelay(300);
    QVERIFY2(menu.start(), qPrintable(menu.error()));

    if (situation == "delayed") {
        QVERIFY(MenuDriver::waitFor([&] { return evalTrue(menu, "deviceModbus.siteIndex === 2"); },
                                    5000));
        QVERIFY(!evalTrue(menu, "deviceModbus.currentSiteItem.wasRead"));
    } else if (situation == "refused") {
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return countOf(described(menu.requests()), QStringLiteral("FR 0x80 122 61")) > 0;
            },
            5000));
        MenuDriver::settle(300);
    } else if (situation == "switched") {
        // Slot 0 read well; then the site changes to 2, whose record is not in yet.
        instrument.setCurrentSite(0);
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return evalTrue(menu, "sitesManager.readSiteIndex === 0 && "
                                      "deviceModbus.siteMap.wasRead");
            },
            5000));
        // Slow answers from here: the new record comes well after the question is answered.
        instrument.setDelay(2000);
        instrument.setCurrentSite(2);
        // Answers 2 s apart: under a loaded machine the switch may take several of them.
        QVERIFY(MenuDriver::waitFor([&] { return evalTrue(menu, "deviceModbus.siteIndex === 2"); },
                                    20000));
    } else {
        QVERIFY(MenuDriver::waitFor(
            [&] { return evalTrue(menu, "sitesManager.readSiteIndex === 2"); }, 5000));
        QVERIFY(MenuDriver::waitFor(
            [&] { return evalTrue(menu, "sitesManager.model.sitesCount === 1"); }, 5000));
    }
    QVERIFY(evalTrue(menu, "deviceModbus.siteIndex === 2"));
    // What the item shows is no site in every case: unread, refused, or the old slot's.
    QVERIFY(!evalTrue(menu, "deviceModbus.currentSiteItem.exists"));

    menu.evaluate(QStringLiteral("deviceProps.measureStatus.execute()"));
    QVERIFY(answer(menu, QStringLiteral("Start measure?"), true, true));
    instrument.setDelay(0);
    instrument.clearExceptions();
    QVERIFY(waitForLog(menu, {QStringLiteral("W 400127 0001")}));
    if (creates) {
        QVERIFY(waitForLog(menu, {QStringLiteral("W 400127 0001"), QStringLiteral("FW 0x80 122 61"),
                                  QStringLiteral("W 400023 aa550002")}));
        const QByteArray table = instrument.file(SiteRecords::File);
        QCOMPARE(ModbusBytes(table.mid(2 * SiteRecords::RecordSize, SiteRecords::RecordSize)),
                 encodeSiteRecord(QString(), QString(), QStringLiteral("Site 1")));
        // The menu's table has it too, without writing the whole table (once the answer to the
        // write is in: the log shows the request as the instrument takes it).
        QTRY_COMPARE_WITH_TIMEOUT(menu.evaluate("sitesManager.model.getSiteName(2)").toString(),
                                  QStringLiteral("Site 1"), 3000);
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW 0x80 0 .*")), 0);
    } else {
        MenuDriver::settle(800);
        QCOMPARE(countOf(described(menu.requests()), QStringLiteral("FW .*|W 400023 .*")), 0);
        QCOMPARE(QByteArray(instrument.file(SiteRecords::File)
                                .mid(2 * SiteRecords::RecordSize, SiteRecords::RecordSize)),
                 slot2);
    }
}

void tst_DeviceCommands::factoryReset_data()
{
    QTest::addColumn<bool>("rs485");
    QTest::newRow("USB") << false;
    QTest::newRow("RS-485") << true;
}

// Delays shortened: the line settings at 300 ms, the sites at 600 ms (RS-485) or 500 ms.
void tst_DeviceCommands::factoryReset()
{
    QFETCH(bool, rs485);
    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    MenuDriver menu;
    TavrinInstrument &instrument = menu.instrument();
    instrument.setSites({{0, QStringLiteral("Site 1")}, {1, QStringLiteral("Depot")}});
    instrument.setSitesRevision(10);
    QVERIFY(startMenu(menu));
    MenuContext *context = menu.context();
    // The instrument at address 7, as the context is set.
    instrument.setRegisters(400001, ModbusBytes::fromUInt16(7));
    instrument.setUnit(7);
    context->setDeviceAddress(7);
    context->setDeviceBaudRateIndex(2, false);
    if (rs485) {
        // Over a serial line of the context's own making, on a pseudo-terminal.
        QString error;
        QVERIFY2(instrument.serveSerial(link.portA(), &error), qPrintable(error));
        auto *client = qobject_cast<ModbusClient *>(menu.object(QStringLiteral("modbusClient")));
        client->setTransport(nullptr);
        context->setDeviceSerialPort(link.portB());
        context->setConnectionType(MenuContext::RS485);
        QVERIFY(
            MenuDriver::waitFor([&] { return evalTrue(menu, "deviceModbus.connected"); }, 5000));
    }
    QVERIFY(MenuDriver::waitFor(
        [&] { return evalTrue(menu, "deviceModbus.currentRevision === 10"); }, 5000));
    menu.evaluate(QStringLiteral("deviceProps.initializeConnectionDelay = 300; "
                                 "deviceProps.initializeSitesDelayRs485 = 600; "
                                 "deviceProps.initializeSitesDelay = 500"));
    instrument.clearRequests();

    // A slow line with every parameter read queued: the reset aborts them and goes out at once
    // (they would take 13 s).
    instrument.setDelay(100);
    menu.evaluate(QStringLiteral("deviceModbus.readAllParams()"));
    menu.evaluate(QStringLiteral("deviceProps.initialize.execute()"));
    QVERIFY(answer(menu,
                   QStringLiteral("All device settings will be overwritten with default "
                                  "values.\nArchives will be erased.\n\nContinue?"),
                   false, true));
    QVERIFY(waitForLog(menu, {QStringLiteral("W 400008 0001")}, 2000));
    instrument.setDelay(0);
    QQuickItem *wait = menu.itemByText(QStringLiteral("Please wait..."));
    QVERIFY(wait);
    QQuickItem *message = popupOf(wait, "autoCloseInterval");
    QVERIFY(message);
    QVERIFY(message->property("autoClose").toBool());
    QCOMPARE(message->property("autoCloseInterval").toInt(), 14000);
    // The instrument comes back with an empty table and its revision at 0, and on RS-485 at its
    // default address.
    instrument.setSites({});
    instrument.setSitesRevision(0);
    if (rs485) {
        instrument.setRegisters(400001, ModbusBytes::fromUInt16(1));
        instrument.setUnit(1);
    }

    // Revision 10 back, + 1 per commit over RS-485, + 3 over USB.
    const int step = rs485 ? 1 : 3;
    const auto revision = [](int value) {
        return QStringLiteral("W 402999 %1").arg(value, 8, 16, QLatin1Char('0'));
    };
    QVERIFY(waitForLog(menu,
                       {QStringLiteral("W 400008 0001"), QStringLiteral("FW 0x80 0 61"),
                        QStringLiteral("W 400023 aa550000"), revision(10 + step),
                        QStringLiteral("FR 0x80 0 122")},
                       5000));
    QVERIFY(waitForLog(menu, {QStringLiteral("FW 0x80 0 61"), revision(10 + 2 * step)}));
    QCOMPARE(ModbusBytes(instrument.file(SiteRecords::File).left(SiteRecords::RecordSize)),
             encodeSiteRecord(QString(), QString(), QStringLiteral("Site 1")));
    QCOMPARE(context->deviceBaudRateIndex(), rs485 ? 4 : 2);
    QCOMPARE(context->deviceAddress(), rs485 ? 1 : 7);
    if (rs485)
        QCOMPARE(context->connectionType(), MenuContext::RS485);
}

// On the instrument itself, once per episode of low charge on battery.
void tst_DeviceCommands::batteryWarning()
{
    MenuContext::overrideEmbedded(1);
    MenuDriver menu(QSize(640, 480));
    TavrinInstrument &instrument = menu.instrument();
    instrument.setSites({{0, QStringLiteral("Site 1")}});
    instrument.setRegisters(300746, ModbusBytes::fromUInt16(4));
    instrument.setRegisters(300747, ModbusBytes::fromUInt16(100));
    const bool started = startMenu(menu);
    MenuContext::overrideEmbedded(-1);
    QVERIFY(started);
    menu.evaluate(QStringLiteral("deviceProps.batteryWarningDelay = 200"));
    const QString message = QStringLiteral("Charge level is less than 15%");
    const auto shows = [&] { return menu.itemByText(message) != nullptr; };
    const auto closeMessage = [&] {
        QQuickItem *box = popupOf(menu.itemByText(message), "okButton");
        QVERIFY(box);
        MenuDriver::settle(400);
        menu.click(box->property("okButton").value<QQuickItem *>());
        QVERIFY(MenuDriver::waitFor([&] { return !shows(); }, 3000));
    };
    const auto setPower = [&](int status, int charge) {
        instrument.setRegisters(300746, ModbusBytes::fromUInt16(quint16(status)));
        instrument.setRegisters(300747, ModbusBytes::fromUInt16(quint16(charge)));
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return evalTrue(menu, QStringLiteral("deviceModbus.powerStatus.value === %1 && "
                                                     "deviceModbus.chargeLevel.value === %2")
                                          .arg(status)
                                          .arg(charge));
            },
            3000));
    };

    setPower(1, 16);
    MenuDriver::settle(600);
    QVERIFY(!shows());
    setPower(1, 15);
    QVERIFY(MenuDriver::waitFor(shows, 3000));
    closeMessage();
    MenuDriver::settle(800);
    QVERIFY(!shows());
    setPower(1, 12);
    MenuDriver::settle(600);
    QVERIFY(!shows());

    // Charged above the level, then low again: a new episode.
    setPower(1, 16);
    MenuDriver::settle(400);
    setPower(1, 14);
    QVERIFY(MenuDriver::waitFor(shows, 3000));
    closeMessage();

    setPower(2, 10);
    MenuDriver::settle(600);
    QVERIFY(!shows());
}

void tst_DeviceCommands::batteryTimeTexts_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("sleeping");
    QTest::addColumn<QString>("withDisplay");
    QTest::addColumn<QString>("withoutDisplay");
    QTest::newRow("90 min, display on") << 90 << 0 << "1 h 30 min"
                                        << "4 h 17 min";
    QTest::newRow("90 min, asleep") << 90 << 1 << "31 min"
                                    << "1 h 30 min";
    QTest::newRow("45 min") << 45 << 0 << "45 min"
                            << "2 h 8 min";
    QTest::newRow("0") << 0 << 0 << "0 min"
                       << "0 min";
    QTest::newRow("negative") << -5 << 0 << "0 min"
                              << "0 min";
}

void tst_DeviceCommands::batteryTimeTexts()
{
    QFETCH(int, minutes);
    QFETCH(int, sleeping);
    QFETCH(QString, withDisplay);
    QFETCH(QString, withoutDisplay);
    MenuDriver &menu = *m_menu;
    menu.instrument().setRegisters(300748, ModbusBytes::fromUInt16(quint16(qint16(minutes))));
    menu.evaluate(QStringLiteral("deviceModbus.sleepState.value = %1").arg(sleeping));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return evalTrue(menu,
                            QStringLiteral("deviceModbus.batteryRemain.value === %1").arg(minutes));
        },
        3000));
    QCOMPARE(menu.evaluate("deviceProps.batteryRemainWithDisplay.formatValue").toString(),
             withDisplay);
    QCOMPARE(menu.evaluate("deviceProps.batteryRemainWithoutDisplay.formatValue").toString(),
             withoutDisplay);
    menu.evaluate(QStringLiteral("deviceModbus.sleepState.value = 0"));
}

QTEST_MAIN(tst_DeviceCommands)
#include "tst_devicecommands.moc"
