// The instrument's events and the power hand-shake, in the whole menu against the simulated
// instrument: what a key and a system event do, when the display may go to sleep, and what the
// sleep and shutdown registers get around a sleep and a power-off, on a test platform (no real
// suspend or shutdown) and a link that records its locks.
#include "eventer.h"
#include "lockrecordinglink.h"
#include "menucontext.h"
#include "menudriver.h"
#include "messagecapture.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "powermanager.h"
#include "requestlog.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using namespace RequestLog;

constexpr quint32 PowerStatusRegister = 300746;

const QStringList sleepLines = {
    QStringLiteral("writing sleep register..."),
    QStringLiteral("can't write '1' to sleep register. Sleeping cancelled."),
    QStringLiteral("locking transport..."),
    QStringLiteral("test link locked"),
    QStringLiteral("transport has been locked"),
    QStringLiteral("fade out backlight brightness"),
    QStringLiteral("going to sleep..."),
    QStringLiteral("waked up"),
    QStringLiteral("fade in backlight brightness"),
    QStringLiteral("unlocking transport..."),
    QStringLiteral("test link unlocked"),
    QStringLiteral("transport has been unlocked"),
    QStringLiteral("can't write '0' to sleep register."),
};

const QStringList shutdownLines = {
    QStringLiteral("Shutdown event received"),
    QStringLiteral("going to shut down"),
    QStringLiteral("BatteryLow event received"),
    QStringLiteral("writing shutdown register..."),
    QStringLiteral("can't write '1' to shutdown register, shutting down cancelled"),
    QStringLiteral("shutdown register has been successfully written"),
    QStringLiteral("transports disconnected"),
};

const QStringList shutdownCommands = {QStringLiteral("quit"), QStringLiteral("shutdown -h now")};

// The menu on the instrument itself (640x480) or on the desktop, with the power manager made in
// the same setting, and a backlight of 255 steps on the instrument.
std::unique_ptr<MenuDriver> startMenu(bool embedded, int powerStatus = 4)
{
    auto menu = std::make_unique<MenuDriver>(embedded ? QSize(640, 480) : QSize(800, 600));
    const QString backlight =
        menu->homePath() + QStringLiteral("/power/sys/class/backlight/pca9632-bl");
    QDir().mkpath(backlight);
    QDir().mkpath(menu->homePath() + QStringLiteral("/power/sys/power"));
    QFile maximum(backlight + QStringLiteral("/max_brightness"));
    if (maximum.open(QIODevice::WriteOnly))
        maximum.write("255\n");
    menu->instrument().setRegisters(PowerStatusRegister,
                                    ModbusBytes::fromUInt16(quint16(powerStatus)));
    MenuContext::overrideEmbedded(embedded ? 1 : 0);
    PowerManager::overrideEmbedded(embedded ? 1 : 0);
    const bool started = menu->start();
    MenuContext::overrideEmbedded(-1);
    PowerManager::overrideEmbedded(-1);
    if (!started) {
        qWarning().noquote() << menu->error();
        return nullptr;
    }
    const bool read = MenuDriver::waitFor(
        [&] {
            return menu->evaluate(QStringLiteral("deviceModbus.mainReadGroup.wasRead")).toBool();
        },
        5000);
    if (!read)
        qWarning("the live block was not read");
    return read ? std::move(menu) : nullptr;
}

PowerManager *powerManagerOf(const MenuDriver &menu)
{
    return qobject_cast<PowerManager *>(menu.object(QStringLiteral("powerManager")));
}

Eventer *eventerOf(const MenuDriver &menu)
{
    return qobject_cast<Eventer *>(
        menu.evaluate(QStringLiteral("deviceEventer")).value<QObject *>());
}

// The client's link replaced by one that records its locks; owned by the client.
LockRecordingLink *installLockLink(MenuDriver &menu)
{
    auto *client = qobject_cast<ModbusClient *>(menu.object(QStringLiteral("modbusClient")));
    if (!client)
        return nullptr;
    auto *link = new LockRecordingLink(menu.instrument(), client);
    link->connectTransport(false);
    if (ModbusTransport *old = client->transport())
        old->disconnectTransport();
    client->setTransport(link);
    MenuDriver::waitFor([&] { return client->connected(); }, 3000);
    return link;
}

QStringList writesOf(const MenuDriver &menu, const QString &address)
{
    QStringList writes;
    for (const QString &line : described(menu.requests())) {
        if (line.startsWith(QStringLiteral("W ") + address + QLatin1Char(' ')))
            writes << line;
    }
    return writes;
}

// The popup a shown text belongs to: the nearest ancestor with that property.
QQuickItem *popupOf(QQuickItem *item, const char *property)
{
    for (QQuickItem *i = item; i; i = i->parentItem()) {
        if (i->property(property).isValid())
            return i;
    }
    return nullptr;
}

// Waits for the question `caption` and answers it by keys.
bool answer(MenuDriver &menu, const QString &caption, bool yes)
{
    if (!MenuDriver::waitFor([&] { return menu.itemByText(caption) != nullptr; }, 3000)) {
        qWarning().noquote() << "no question" << caption;
        return false;
    }
    QQuickItem *dialog = popupOf(menu.itemByText(caption), "yesButton");
    auto *yesButton = dialog ? dialog->property("yesButton").value<QQuickItem *>() : nullptr;
    auto *noButton = dialog ? dialog->property("noButton").value<QQuickItem *>() : nullptr;
    if (!yesButton ||
        !MenuDriver::waitFor(
            [&] { return yesButton->hasActiveFocus() || noButton->hasActiveFocus(); }, 3000)) {
        qWarning().noquote() << "no focus in" << caption;
        return false;
    }
    menu.keyClick(yes ? Qt::Key_Left : Qt::Key_Right);
    menu.keyClick(Qt::Key_Return);
    return MenuDriver::waitFor([&] { return menu.itemByText(caption) == nullptr; }, 3000);
}

// Shows the frame of the instrument's tree with that objectName.
bool gotoFrame(MenuDriver &menu, const QString &frame)
{
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *target = nullptr;
    if (!navigation ||
        !MenuDriver::waitFor(
            [&] {
                QObject *frames = navigation->property("deviceFrames").value<QObject *>();
                if (!frames ||
                    !QByteArray(frames->metaObject()->className()).startsWith("DeviceFrames"))
                    return false;
                target = frames->findChild<QObject *>(frame);
                return target != nullptr;
            },
            3000))
        return false;
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(target)),
                              Q_ARG(QVariant, true));
    const bool shown = MenuDriver::waitFor(
        [&] { return navigation->property("currentFrame").value<QObject *>() == target; }, 3000);
    MenuDriver::settle(500);
    return shown;
}

} // namespace

class tst_DeviceEvents : public QObject
{
    Q_OBJECT

private slots:
    void keyEventRestartsSleepTimer();
    void systemEvents_data();
    void systemEvents();
    void sleepEnabled_data();
    void sleepEnabled();
    void sleepIntervalFollowsSetting();
    void sleepHandshake_data();
    void sleepHandshake();
    void wakeWrittenOnceTheInstrumentAnswers();
    void shutdownHandshake_data();
    void shutdownHandshake();
    void shutdownRow();
    void brightnessRow();
};

void tst_DeviceEvents::keyEventRestartsSleepTimer()
{
    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    // The keypad's own key presses would restart the timer through the window as well.
    menu->evaluate(QStringLiteral("deviceKeypad.retranslate = false"));
    PowerManager *power = powerManagerOf(*menu);
    QVERIFY(power && power->sleepEnabled());
    const int interval = power->sleepInterval();
    QTest::qWait(400);
    QVERIFY(power->remainingSleepTime() <= interval - 300);
    emit eventerOf(*menu)->keypadEvent(0x05);
    QVERIFY(power->remainingSleepTime() > interval - 100);
}

void tst_DeviceEvents::systemEvents_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<int>("code");
    // The answer to the battery question; -1: no question comes.
    QTest::addColumn<int>("yes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("shutsDown");

    const QString shutdownEvent = QStringLiteral("Shutdown event received");
    const QString batteryLow = QStringLiteral("BatteryLow event received");
    const QStringList shutdown = {QStringLiteral("writing shutdown register..."),
                                  QStringLiteral("shutdown register has been successfully written"),
                                  QStringLiteral("transports disconnected")};

    QTest::newRow("instrument, shutdown key")
        << true << 2 << -1
        << (QStringList{shutdownEvent, QStringLiteral("going to shut down")} + shutdown) << true;
    QTest::newRow("instrument, battery low, yes")
        << true << 3 << 1 << (QStringList{batteryLow} + shutdown) << true;
    QTest::newRow("instrument, battery low, no")
        << true << 3 << 0 << QStringList{batteryLow} << false;
    QTest::newRow("instrument, other code") << true << 7 << -1 << QStringList() << false;
    QTest::newRow("desktop, shutdown key")
        << false << 2 << -1 << QStringList{shutdownEvent} << false;
    QTest::newRow("desktop, battery low") << false << 3 << -1 << QStringList{batteryLow} << false;
}

void tst_DeviceEvents::systemEvents()
{
    QFETCH(bool, embedded);
    QFETCH(int, code);
    QFETCH(int, yes);
    QFETCH(QStringList, lines);
    QFETCH(bool, shutsDown);

    std::unique_ptr<MenuDriver> menu = startMenu(embedded);
    QVERIFY(menu);
    MessageCapture messages;
    emit eventerOf(*menu)->systemEvent(code);
    const QString question = QStringLiteral("Battery is low, shutdown the device?");
    if (yes >= 0)
        QVERIFY(answer(*menu, question, yes == 1));
    MenuDriver::settle(100);
    QVERIFY(!menu->itemByText(question));
    QCOMPARE(messages.of(shutdownLines), lines);
    QCOMPARE(menu->powerCommands(), shutsDown ? shutdownCommands : QStringList());
    QCOMPARE(writesOf(*menu, QStringLiteral("400012")),
             shutsDown ? QStringList{QStringLiteral("W 400012 0001")} : QStringList());
}

void tst_DeviceEvents::sleepEnabled_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<int>("powerStatus");
    QTest::addColumn<int>("batteryIndex");
    QTest::addColumn<int>("adapterIndex");
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("interval");

    QTest::newRow("instrument on adapter, 1 min") << true << 4 << 0 << 1 << false << true << 60000;
    QTest::newRow("instrument on adapter, never") << true << 4 << 1 << 0 << false << false << 30000;
    QTest::newRow("instrument on battery, 3 min") << true << 1 << 2 << 0 << false << true << 180000;
    QTest::newRow("instrument on battery, never") << true << 1 << 0 << 3 << false << false << 30000;
    QTest::newRow("instrument, configuration exchange")
        << true << 4 << 1 << 1 << true << false << 60000;
    QTest::newRow("desktop") << false << 4 << 1 << 1 << false << false << 60000;
}

void tst_DeviceEvents::sleepEnabled()
{
    QFETCH(bool, embedded);
    QFETCH(int, powerStatus);
    QFETCH(int, batteryIndex);
    QFETCH(int, adapterIndex);
    QFETCH(bool, exporting);
    QFETCH(bool, enabled);
    QFETCH(int, interval);

    std::unique_ptr<MenuDriver> menu = startMenu(embedded, powerStatus);
    QVERIFY(menu);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return menu->evaluate(QStringLiteral("menuProps.hasAdapter")).toBool() ==
                   (powerStatus >= 2);
        },
        3000));
    menu->evaluate(QStringLiteral("menuSettings.batterySleepIntervalIndex = %1").arg(batteryIndex));
    menu->evaluate(QStringLiteral("menuSettings.adapterSleepIntervalIndex = %1").arg(adapterIndex));
    menu->evaluate(QStringLiteral("exportManager.active = %1").arg(exporting ? "true" : "false"));
    PowerManager *power = powerManagerOf(*menu);
    QVERIFY(power);
    QCOMPARE(power->sleepEnabled(), enabled);
    QCOMPARE(power->sleepInterval(), interval);
    menu->evaluate(QStringLiteral("exportManager.active = false"));
}

// A changed display-off choice restarts the inactivity timer with the new interval.
void tst_DeviceEvents::sleepIntervalFollowsSetting()
{
    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    menu->evaluate(QStringLiteral("menuSettings.adapterSleepIntervalIndex = 1"));
    PowerManager *power = powerManagerOf(*menu);
    QVERIFY(power && power->sleepEnabled());
    QCOMPARE(power->sleepInterval(), 60000);
    QVERIFY(power->remainingSleepTime() <= 60000);
    menu->evaluate(QStringLiteral("menuSettings.adapterSleepIntervalIndex = 4"));
    QCOMPARE(power->sleepInterval(), 1800000);
    QVERIFY(power->remainingSleepTime() > 1800000 - 1000);
}

void tst_DeviceEvents::sleepHandshake_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("lockCalls");

    const QStringList locked = {QStringLiteral("locking transport..."),
                                QStringLiteral("test link locked"),
                                QStringLiteral("transport has been locked"),
                                QStringLiteral("fade out backlight brightness"),
                                QStringLiteral("going to sleep..."),
                                QStringLiteral("waked up"),
                                QStringLiteral("fade in backlight brightness"),
                                QStringLiteral("unlocking transport..."),
                                QStringLiteral("test link unlocked"),
                                QStringLiteral("transport has been unlocked")};
    const QStringList both = {QStringLiteral("lock"), QStringLiteral("unlock")};

    // 1 before the lock and 0 after the unlock: the locked link is closed, so a write on the
    // wrong side of it would fail.
    QTest::newRow("connected")
        << "connected" << (QStringList{QStringLiteral("writing sleep register...")} + locked)
        << QStringList{QStringLiteral("W 400013 0001"), QStringLiteral("W 400013 0000")} << both;
    QTest::newRow("sleep register refused")
        << "refuses"
        << QStringList{QStringLiteral("writing sleep register..."),
                       QStringLiteral("can't write '1' to sleep register. Sleeping cancelled.")}
        << QStringList{QStringLiteral("W 400013 0001")} << QStringList();
    QTest::newRow("not connected: no 1, the sleep goes on, 0 fails")
        << "down" << (locked + QStringList{QStringLiteral("can't write '0' to sleep register.")})
        << QStringList() << both;
}

void tst_DeviceEvents::sleepHandshake()
{
    QFETCH(QString, link);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, writes);
    QFETCH(QStringList, lockCalls);

    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    LockRecordingLink *recording = installLockLink(*menu);
    QVERIFY(recording && recording->connected());
    if (link == QLatin1String("refuses"))
        menu->instrument().setException(400013, DorrikBus::IllegalDataAddress);
    if (link == QLatin1String("down")) {
        recording->disconnectTransport();
        QVERIFY(MenuDriver::waitFor(
            [&] { return !menu->evaluate(QStringLiteral("deviceModbus.connected")).toBool(); },
            3000));
    }
    PowerManager *power = powerManagerOf(*menu);
    QSignalSpy sleeping(power, &PowerManager::sleepingChanged);
    MessageCapture messages;
    power->sleep();
    QCOMPARE(messages.of(sleepLines), lines);
    QCOMPARE(writesOf(*menu, QStringLiteral("400013")), writes);
    QCOMPARE(recording->calls(), lockCalls);
    // A cancelled sleep never began.
    QCOMPARE(sleeping.count(), lockCalls.isEmpty() ? 0 : 2);
    QCOMPARE(recording->connected(), link != QLatin1String("down"));
}

// The wake after a sleep goes unanswered: the instrument would count itself asleep for good, so
// the wake is written again once it answers, and then no more.
void tst_DeviceEvents::wakeWrittenOnceTheInstrumentAnswers()
{
    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    LockRecordingLink *recording = installLockLink(*menu);
    QVERIFY(recording && recording->connected());
    TavrinInstrument &instrument = menu->instrument();
    recording->setAfterUnlock([&] { instrument.setDropAnswers(-1); });
    MessageCapture messages;
    powerManagerOf(*menu)->sleep();
    QVERIFY(messages.of(sleepLines).contains(QStringLiteral("can't write '0' to sleep register.")));
    QCOMPARE(writesOf(*menu, QStringLiteral("400013")),
             (QStringList{QStringLiteral("W 400013 0001"), QStringLiteral("W 400013 0000")}));
    QCOMPARE(instrument.registers(400013, 1).toUInt16(0), quint16(1));
    // Silent a while longer: nothing taken, nothing sent in vain.
    MenuDriver::settle(1000);
    QCOMPARE(instrument.registers(400013, 1).toUInt16(0), quint16(1));
    QCOMPARE(writesOf(*menu, QStringLiteral("400013")).size(), 2);

    instrument.setDropAnswers(0);
    QVERIFY(MenuDriver::waitFor([&] { return instrument.registers(400013, 1).toUInt16(0) == 0; },
                                5000));
    const int wakes = int(writesOf(*menu, QStringLiteral("400013")).size());
    MenuDriver::settle(1500);
    QCOMPARE(writesOf(*menu, QStringLiteral("400013")).size(), wakes);
    QVERIFY(!menu->evaluate(QStringLiteral("powerManager.wakePending")).toBool());
}

void tst_DeviceEvents::shutdownHandshake_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::newRow("written") << "answers";
    QTest::newRow("refused: no disconnection, no command, the operator told") << "refuses";
    QTest::newRow("unanswered: no disconnection, no command, the operator told") << "silent";
}

void tst_DeviceEvents::shutdownHandshake()
{
    QFETCH(QString, instrument);
    const bool refused = instrument != QLatin1String("answers");

    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    LockRecordingLink *recording = installLockLink(*menu);
    QVERIFY(recording);
    if (instrument == QLatin1String("refuses"))
        menu->instrument().setException(400012, DorrikBus::IllegalDataAddress);
    else if (instrument == QLatin1String("silent"))
        menu->instrument().setDropAnswers(-1);
    MessageCapture messages;
    powerManagerOf(*menu)->shutdown();
    const QString shuttingDown = QStringLiteral("Shutting down...");
    const QString notTaken =
        QStringLiteral("The device did not take the shutdown command. It stays on.");
    if (refused) {
        QCOMPARE(
            messages.of(shutdownLines),
            (QStringList{
                QStringLiteral("writing shutdown register..."),
                QStringLiteral("can't write '1' to shutdown register, shutting down cancelled")}));
        QVERIFY(MenuDriver::waitFor([&] { return menu->itemByText(notTaken) != nullptr; }, 3000));
        QVERIFY(!menu->itemByText(shuttingDown));
        QVERIFY(recording->connected());
        QCOMPARE(menu->powerCommands(), QStringList());
        menu->instrument().setDropAnswers(0);
    } else {
        QCOMPARE(messages.of(shutdownLines),
                 (QStringList{QStringLiteral("writing shutdown register..."),
                              QStringLiteral("shutdown register has been successfully written"),
                              QStringLiteral("transports disconnected")}));
        QCOMPARE(writesOf(*menu, QStringLiteral("400012")),
                 QStringList{QStringLiteral("W 400012 0001")});
        QVERIFY(
            MenuDriver::waitFor([&] { return menu->itemByText(shuttingDown) != nullptr; }, 3000));
        QVERIFY(!recording->connected());
        QCOMPARE(menu->powerCommands(), shutdownCommands);
        QVERIFY(!menu->itemByText(notTaken));
    }
}

// The system settings' row on the instrument asks, then shuts down.
void tst_DeviceEvents::shutdownRow()
{
    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    QVERIFY(gotoFrame(*menu, QStringLiteral("systemSettingsFrame")));
    QQuickItem *row = nullptr;
    QVERIFY(MenuDriver::waitFor(
        [&] { return (row = menu->itemByText(QStringLiteral("Shut down the device"))) != nullptr; },
        3000));
    // The row lies below the frame's fold: clicked as Return on it clicks it.
    QQuickItem *menuRow = popupOf(row, "togglable");
    QVERIFY(menuRow);
    QMetaObject::invokeMethod(menuRow, "clicked");
    QVERIFY(answer(*menu, QStringLiteral("Do you want to shut down the device?"), true));
    QVERIFY(MenuDriver::waitFor([&] { return menu->powerCommands() == shutdownCommands; }, 3000));
    QCOMPARE(writesOf(*menu, QStringLiteral("400012")),
             QStringList{QStringLiteral("W 400012 0001")});
}

// The brightness row spans the panel's range and stores what the user set.
void tst_DeviceEvents::brightnessRow()
{
    std::unique_ptr<MenuDriver> menu = startMenu(true);
    QVERIFY(menu);
    PowerManager *power = powerManagerOf(*menu);
    QVERIFY(power && power->backlightPresent());
    QVERIFY(gotoFrame(*menu, QStringLiteral("powerSavingOptionsFrame")));
    QQuickItem *row = menu->item(QStringLiteral("brightnessRow"));
    QVERIFY(row);
    QVERIFY(MenuDriver::waitFor([&] { return row->isVisible(); }, 3000));
    MenuDriver::settle(400);
    QCOMPARE(row->property("minValue").toReal(), power->minBacklightBrightness());
    QCOMPARE(row->property("maxValue").toReal(), power->maxBacklightBrightness());

    auto *bar = row->property("bar").value<QQuickItem *>();
    QVERIFY(bar);
    const QString saved = menu->homePath() + QStringLiteral("/power/Settings/pca9632/brightness");
    const auto pressAt = [&](qreal fraction) {
        const QPointF point = bar->mapToScene(QPointF(bar->width() * fraction, bar->height() / 2));
        QTest::mouseClick(menu->window(), Qt::LeftButton, Qt::NoModifier, point.toPoint());
        // Two clicks in a row would make a double click.
        MenuDriver::settle(600);
    };
    const auto savedValue = [&] {
        QFile file(saved);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    };
    pressAt(0.999);
    QVERIFY(qAbs(power->backlightBrightness() - power->maxBacklightBrightness()) < 0.01);
    QCOMPARE(savedValue().toInt(), int(255 * power->backlightBrightness()));
    pressAt(0.02);
    QVERIFY(power->backlightBrightness() >= power->minBacklightBrightness());
    QVERIFY(power->backlightBrightness() < power->minBacklightBrightness() + 0.05);
    QCOMPARE(savedValue().toInt(), int(255 * power->backlightBrightness()));
}

QTEST_MAIN(tst_DeviceEvents)
#include "tst_deviceevents.moc"
