// The menu's own settings: kept in the program's settings store beside the context's connection
// keys and found again by a new engine, and, in the whole menu against the simulated instrument,
// the connection switch and the archive view's time label.
#include "menucontext.h"
#include "menudriver.h"
#include "menustartup.h"
#include "menutesthome.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "modbusserialtransport.h"
#include "ptypair.h"
#include "requestlog.h"

#include <QDateTime>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace {

using namespace RequestLog;

QObject *child(QObject *object, const char *name)
{
    return object ? object->property(name).value<QObject *>() : nullptr;
}

bool setValue(QObject *prop, const QVariant &value)
{
    return QMetaObject::invokeMethod(prop, "setValue", Q_ARG(QVariant, value),
                                     Q_ARG(QVariant, false));
}

} // namespace

class tst_MenuProps : public QObject
{
    Q_OBJECT

public:
    static void initMain() { useMenuTestHome(); }

private slots:
    void initTestCase();

    void settingsSurviveTheEngine();
    void connectionStateSwitchesTheLink();
    void archViewTimeLabelTakesTheClockOnRead();

private:
    // The settings document in an engine of its own over `context`, as the program's view has it.
    struct Menu
    {
        std::unique_ptr<QQmlEngine> engine;
        std::unique_ptr<QObject> root;
        QObject *settings() const { return child(root.get(), "menuSettings"); }
        QObject *props() const { return child(root.get(), "menuProps"); }
        QObject *prop(const char *name) const { return child(props(), name); }
    };
    static Menu load(MenuContext &context);
};

void tst_MenuProps::initTestCase()
{
    QVERIFY(menuTestHome()->isValid());
    MenuStartup::registerMenuTypes();
}

tst_MenuProps::Menu tst_MenuProps::load(MenuContext &context)
{
    Menu menu;
    menu.engine = std::make_unique<QQmlEngine>();
    menu.engine->rootContext()->setContextObject(&context);
    menu.engine->rootContext()->setContextProperty(QStringLiteral("menuContext"), &context);
    QQmlComponent component(
        menu.engine.get(),
        QUrl::fromLocalFile(QStringLiteral(QUICK_TEST_SOURCE_DIR "/MenuSettingsDocument.qml")));
    menu.root.reset(component.create());
    if (!menu.root)
        qWarning().noquote() << component.errorString();
    return menu;
}

// First start on an empty store: the declared defaults. Then the user's choices, the engine
// destroyed at once (no event loop in between) and made again: the same values come back from

// The site list of the element.
static QVariantList sitesOf(QObject *settings)
{
    QVariantList numbers;
    for (int entry : settings->property("archExportSites").value<QList<int>>())
        numbers << entry;
    return numbers;
}

// the store the context writes its connection keys to.
void tst_MenuProps::settingsSurviveTheEngine()
{
    QSettings().clear();
    MenuContext context;
    const QDateTime from(QDate(2024, 3, 1), QTime(0, 0));
    const QDateTime to(QDate(2024, 3, 31), QTime(23, 59, 59));
    {
        Menu menu = load(context);
        QVERIFY(menu.root);
        QObject *settings = menu.settings();
        QCOMPARE(settings->property("batterySleepIntervalIndex").toInt(), 2);
        QCOMPARE(settings->property("adapterSleepIntervalIndex").toInt(), 3);
        QCOMPARE(menu.prop("batterySleepInterval")->property("formatValue").toString(), "3 min");
        QCOMPARE(menu.prop("adapterSleepInterval")->property("formatValue").toString(), "10 min");
        QCOMPARE(settings->property("flowRateDimensionIndex").toInt(), 0);
        QCOMPARE(settings->property("wallpaper").toString(), QString());
        QCOMPARE(settings->property("archRecordShowAccumulated").toBool(), false);
        QCOMPARE(sitesOf(settings), QVariantList());
        QVERIFY(qAbs(settings->property("exportArchFrom")
                         .toDateTime()
                         .secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(child(menu.root.get(), "flowRate")->property("formatValue").toString(), "1.200");

        QVERIFY(setValue(menu.prop("flowRateDimension"), 2));
        QVERIFY(setValue(menu.prop("adapterSleepInterval"), 4));
        QQmlExpression sites(menu.engine->contextForObject(menu.root.get()), menu.root.get(),
                             QStringLiteral("menuSettings.archExportSites = [3, 5]"));
        sites.evaluate();
        QVERIFY(!sites.hasError());
        QVERIFY(setValue(menu.prop("exportArchFrom"), from));
        QVERIFY(setValue(menu.prop("exportArchTo"), to));
        QVERIFY(setValue(menu.prop("archChartsFrom"), from));
        QVERIFY(setValue(menu.prop("archChartsTo"), to));
        QCOMPARE(child(menu.root.get(), "flowRate")->property("formatValue").toString(), "20.000");
    }
    {
        // One store: the context's keys and the menu's side by side.
        QSettings store;
        QVERIFY(store.contains(QStringLiteral("connectionType")));
        QVERIFY(store.contains(QStringLiteral("rtsDelat")));
        QCOMPARE(store.value(QStringLiteral("flowRateDimensionIndex")).toInt(), 2);
        QCOMPARE(store.value(QStringLiteral("adapterSleepIntervalIndex")).toInt(), 4);
        // The site list as plain text in the file, which the next start reads whatever types
        // it has registered by then.
        QFile file(store.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("\narchExportSites=") && !text.contains("QList"), text.constData());
    }

    Menu again = load(context);
    QVERIFY(again.root);
    QObject *settings = again.settings();
    QCOMPARE(settings->property("flowRateDimensionIndex").toInt(), 2);
    QCOMPARE(settings->property("adapterSleepIntervalIndex").toInt(), 4);
    QCOMPARE(settings->property("batterySleepIntervalIndex").toInt(), 2);
    QCOMPARE(sitesOf(settings), (QVariantList{3, 5}));
    QCOMPARE(settings->property("exportArchFrom").toDateTime(), from);
    QCOMPARE(settings->property("exportArchTo").toDateTime(), to);
    QCOMPARE(settings->property("archChartsFrom").toDateTime(), from);
    QCOMPARE(settings->property("archChartsTo").toDateTime(), to);
    QCOMPARE(again.prop("adapterSleepInterval")->property("formatValue").toString(), "30 min");
    QCOMPARE(again.prop("flowRateDimension")->property("formatValue").toString(), "l/min");
    QCOMPARE(child(again.root.get(), "flowRate")->property("formatValue").toString(), "20.000");
}

// The switch only takes the link down and up again; what the instrument is sent meanwhile is
// the menu's polling, and writes only to the history reset that every new connection makes.
void tst_MenuProps::connectionStateSwitchesTheLink()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    // The switch calls the link from the GUI thread, where the program's own links live: the
    // menu gets the program's RS-485 link, to the instrument over a pseudo-terminal.
    PtyLink pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QString error;
    QVERIFY2(menu.instrument().serveSerial(pty.portA(), &error), qPrintable(error));
    auto *client = qobject_cast<ModbusClient *>(menu.object(QStringLiteral("modbusClient")));
    QVERIFY(client);
    client->setTransport(nullptr); // the instrument's loopback end is not the context's to delete
    MenuContext *context = menu.context();
    context->setDeviceSerialPort(pty.portB(), false);
    context->setDeviceBaudRateIndex(7, false);
    context->setConnectionType(MenuContext::RS485);
    QVERIFY(qobject_cast<ModbusSerialTransport *>(client->transport()));
    QObject *connection = child(menu.object(QStringLiteral("menuProps")), "connectionState");
    QVERIFY(connection);
    QVERIFY(MenuDriver::waitFor([&] { return client->property("connected").toBool(); }, 5000));
    QCOMPARE(connection->property("formatValue").toString(), "on");
    const int before = menu.requests().size();

    QVERIFY(setValue(connection, 0));
    QVERIFY(MenuDriver::waitFor([&] { return !client->property("connected").toBool(); }, 3000));
    QCOMPARE(connection->property("formatValue").toString(), "off");
    MenuDriver::settle(200);
    const int whileOff = menu.requests().size();
    MenuDriver::settle(300);
    QCOMPARE(menu.requests().size(), whileOff);

    QVERIFY(setValue(connection, 1));
    QVERIFY(MenuDriver::waitFor([&] { return client->property("connected").toBool(); }, 3000));
    QCOMPARE(connection->property("formatValue").toString(), "on");
    QVERIFY(MenuDriver::waitFor([&] { return menu.requests().size() > whileOff; }, 3000));

    const QList<InstrumentRequest> requests = menu.requests();
    for (int i = before; i < requests.size(); ++i) {
        const InstrumentRequest &request = requests.at(i);
        if (isWrite(request)) {
            QVERIFY2(request.address >= 400121 && request.address <= 400123,
                     qPrintable(QString::number(request.address)));
        }
    }
}

// The label starts from the instrument's clock (300749) as the live block's first read brought it;
// it does not follow the clock afterwards.
void tst_MenuProps::archViewTimeLabelTakesTheClockOnRead()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QObject *client = menu.object(QStringLiteral("modbusClient"));
    QObject *label = child(menu.object(QStringLiteral("menuProps")), "archViewTimeLabel");
    QObject *timeRo = child(client, "timeRo");
    QObject *liveBlock = child(client, "mainReadGroup");
    QVERIFY(label && timeRo && liveBlock);
    QVERIFY(MenuDriver::waitFor([&] { return liveBlock->property("wasRead").toBool(); }, 5000));
    const QDateTime read = timeRo->property("value").toDateTime();
    // The instrument's clock is its wall clock, given as if it were UTC.
    const QDateTime local = QDateTime::currentDateTime();
    const QDateTime wall(local.date(), local.time(), Qt::UTC);
    QVERIFY2(qAbs(read.secsTo(wall)) < 60, qPrintable(read.toString(Qt::ISODate)));
    // The archive page moves the label from the clock on to the start of its list: a record
    // at or before the clock.
    QTRY_VERIFY(label->property("value").toDateTime() < read);
    QVERIFY(label->property("value").toDateTime().secsTo(read) < 24 * 3600);

    // Its clock runs on; the label does not follow it.
    QVERIFY(
        MenuDriver::waitFor([&] { return timeRo->property("value").toDateTime() != read; }, 5000));
    QVERIFY(label->property("value").toDateTime() != timeRo->property("value").toDateTime());
}

QTEST_MAIN(tst_MenuProps)
#include "tst_menuprops.moc"
