#include "menustartup.h"
#include "powermanager.h"

#include <QDir>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>

#include <QtTest>
#include <memory>

namespace {

struct Command
{
    QString program;
    QStringList arguments;
};

// A temporary root with the kernel's files of the embedded device, and the manager's other
// platform calls recorded instead of run.
struct Machine
{
    QTemporaryDir root;
    QList<Command> commands;
    QStringList events; // "quit", "run", "pause <us> <brightness file>"
    QList<qint64> pauses;
    QStringList brightnessDuringPauses;
    QString brightnessFile;

    void write(const QString &path, const QByteArray &text)
    {
        const QString fileName = root.filePath(path);
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray read(const QString &path) const
    {
        QFile file(root.filePath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    // A backlight folder with its brightness and maximum files; empty texts leave a file out.
    void addBacklight(const QString &name, const QByteArray &maximum,
                      const QByteArray &brightness = "0")
    {
        const QString folder = QStringLiteral("sys/class/backlight/") + name;
        QDir().mkpath(root.filePath(folder));
        if (!maximum.isEmpty())
            write(folder + "/max_brightness", maximum + '\n');
        if (!brightness.isEmpty())
            write(folder + "/brightness", brightness + '\n');
        brightnessFile = folder + "/brightness";
    }
    PowerManager::Platform platform()
    {
        PowerManager::Platform platform;
        platform.root = root.path();
        platform.startDetached = [this](const QString &program, const QStringList &arguments) {
            commands.append({program, arguments});
            events << QStringLiteral("run");
            return true;
        };
        platform.pause = [this](qint64 microseconds) {
            pauses << microseconds;
            if (!brightnessFile.isEmpty())
                brightnessDuringPauses << QString::fromLatin1(read(brightnessFile));
        };
        platform.quit = [this] { events << QStringLiteral("quit"); };
        return platform;
    }
};

// Constructs the manager in the given setting, on the machine's platform (or one of its own) as
// the test platform, and restores the build's own afterwards: no manager of this test reaches the
// real power files or commands.
struct Setting
{
    explicit Setting(bool embedded, Machine *machine = nullptr)
    {
        PowerManager::setTestPlatform((machine ? machine : &own)->platform());
        PowerManager::overrideEmbedded(embedded ? 1 : 0);
    }
    ~Setting()
    {
        PowerManager::overrideEmbedded(-1);
        PowerManager::clearTestPlatform();
    }
    Machine own;
};

} // namespace

class tst_PowerManager : public QObject
{
    Q_OBJECT

private slots:
    void sleepInterval_data();
    void sleepInterval();
    void brightnessLimits();
    void brightnessWrittenRaw_data();
    void brightnessWrittenRaw();
    void brightnessReadBack_data();
    void brightnessReadBack();
    void backlightProbe_data();
    void backlightProbe();
    void sleep_data();
    void sleep();
    void shutdownAndRestart_data();
    void shutdownAndRestart();
    void desktopOnlyWarns();
    void testPlatformReachesEveryManager_data();
    void testPlatformReachesEveryManager();
    void overrideWithoutTestPlatformRunsNothing();
    void timerExpiry_data();
    void timerExpiry();
    void inputRestartsTimerOnWindowsOnly();
    void fades();
    void refusedFades_data();
    void refusedFades();
    void storedBrightnessFadesIn();
};

void tst_PowerManager::sleepInterval_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("emitted");

    QTest::newRow("below the minimum") << 1000 << 30000 << 1;
    QTest::newRow("above the minimum") << 45000 << 45000 << 1;
    QTest::newRow("unchanged") << 60000 << 60000 << 0;
}

void tst_PowerManager::sleepInterval()
{
    QFETCH(int, written);
    QFETCH(int, stored);
    QFETCH(int, emitted);

    Setting desktop(false);
    PowerManager manager;
    QSignalSpy changed(&manager, &PowerManager::sleepIntervalChanged);
    manager.setSleepInterval(written);
    QCOMPARE(manager.sleepInterval(), stored);
    QCOMPARE(changed.count(), emitted);
}

void tst_PowerManager::brightnessLimits()
{
    Setting desktop(false);
    PowerManager manager;
    QSignalSpy changed(&manager, &PowerManager::backlightBrightnessChanged);

    manager.setBacklightBrightness(0.05);
    QCOMPARE(manager.backlightBrightness(), 0.1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toReal(), 0.1);
    manager.setBacklightBrightness(0.1);
    manager.setBacklightBrightness(0.02);
    QCOMPARE(changed.count(), 1);
    manager.setBacklightBrightness(7);
    QCOMPARE(manager.backlightBrightness(), 1.0);
}

void tst_PowerManager::brightnessWrittenRaw_data()
{
    QTest::addColumn<QByteArray>("maximum");
    QTest::addColumn<qreal>("brightness");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("max 255, half") << QByteArray("255") << 0.5 << QByteArray("127");
    QTest::newRow("max 1023, full: no 8-bit wrap")
        << QByteArray("1023") << 1.0 << QByteArray("1023");
    QTest::newRow("max 1023, 0.3") << QByteArray("1023") << 0.3 << QByteArray("306");
    QTest::newRow("max unreadable counts 255") << QByteArray() << 1.0 << QByteArray("255");
    QTest::newRow("max 0 counts 255") << QByteArray("0") << 1.0 << QByteArray("255");
}

void tst_PowerManager::brightnessWrittenRaw()
{
    QFETCH(QByteArray, maximum);
    QFETCH(qreal, brightness);
    QFETCH(QByteArray, written);

    Machine machine;
    machine.addBacklight("pca9632-bl", maximum);
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    // Away from the initial 0.5 first, or writing it would change nothing.
    manager.setBacklightBrightness(0.9);
    manager.setBacklightBrightness(brightness);
    QCOMPARE(machine.read(machine.brightnessFile), written);

    manager.storeBackligtBrightness();
    QCOMPARE(machine.read("Settings/pca9632/brightness"), written);
}

void tst_PowerManager::brightnessReadBack_data()
{
    QTest::addColumn<QByteArray>("maximum");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qreal>("read");

    QTest::newRow("max 255, 51") << QByteArray("255") << QByteArray("51\n") << 0.2;
    QTest::newRow("max 1023, 1023: no 8-bit wrap")
        << QByteArray("1023") << QByteArray("1023") << 1.0;
    QTest::newRow("above the maximum") << QByteArray("255") << QByteArray("300") << 1.0;
    QTest::newRow("negative") << QByteArray("255") << QByteArray("-5") << 0.0;
    QTest::newRow("not a number keeps the fraction")
        << QByteArray("255") << QByteArray("bright") << 0.5;
    QTest::newRow("missing file keeps the fraction") << QByteArray("255") << QByteArray() << 0.5;
}

void tst_PowerManager::brightnessReadBack()
{
    QFETCH(QByteArray, maximum);
    QFETCH(QByteArray, content);
    QFETCH(qreal, read);

    Machine machine;
    machine.addBacklight("tps6507x-bl", maximum, content);
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    QCOMPARE(manager.readBacklightBrightness(), read);
    manager.fadeOutBacklightBrightness(0, 500);
    QCOMPARE(manager.backlightBrightness(), read);
}

void tst_PowerManager::backlightProbe_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("device");
    QTest::addColumn<qreal>("minimum");

    QTest::newRow("both: pca9632 first")
        << QStringList{"tps6507x-bl", "pca9632-bl"} << true << int(PowerManager::PCA9632) << 0.1;
    QTest::newRow("tps6507x alone")
        << QStringList{"tps6507x-bl"} << true << int(PowerManager::TPS6507) << 0.5;
    QTest::newRow("pca9632 alone")
        << QStringList{"pca9632-bl"} << true << int(PowerManager::PCA9632) << 0.1;
    QTest::newRow("none") << QStringList() << false << int(PowerManager::TPS6507) << 0.1;
}

void tst_PowerManager::backlightProbe()
{
    QFETCH(QStringList, devices);
    QFETCH(bool, present);
    QFETCH(int, device);
    QFETCH(qreal, minimum);

    Machine machine;
    for (const QString &name : devices)
        machine.addBacklight(name, "255");
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    QCOMPARE(manager.backlightPresent(), present);
    QCOMPARE(int(manager.backlightDevice()), device);
    QCOMPARE(manager.minBacklightBrightness(), minimum);
    QCOMPARE(manager.maxBacklightBrightness(), 1.0);

    // A desktop manager looks for nothing even where the folders exist.
    Setting desktop(false);
    PowerManager onDesktop(machine.platform());
    QVERIFY(!onDesktop.backlightPresent());
}

void tst_PowerManager::sleep_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("stateFileExists");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("mem") << int(PowerManager::Mem) << false << true << QByteArray("mem");
    QTest::newRow("standby") << int(PowerManager::StandBy) << false << true
                             << QByteArray("standby");
    QTest::newRow("disk") << int(PowerManager::Disk) << false << true << QByteArray("disk");
    QTest::newRow("cancelled") << int(PowerManager::Mem) << true << true << QByteArray("");
    QTest::newRow("no state file")
        << int(PowerManager::Mem) << false << false << QByteArray("<none>");
}

void tst_PowerManager::sleep()
{
    QFETCH(int, method);
    QFETCH(bool, cancel);
    QFETCH(bool, stateFileExists);
    QFETCH(QByteArray, written);

    Machine machine;
    if (stateFileExists)
        machine.write("sys/power/state", "");
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    manager.setSleepMethod(PowerManager::SleepMethod(method));

    QStringList seen;
    connect(&manager, &PowerManager::beforeSleep, this, [&](CancelMessageEvent *event) {
        seen << "beforeSleep";
        event->setCancel(cancel);
    });
    connect(&manager, &PowerManager::sleepingChanged, this,
            [&] { seen << (manager.sleeping() ? "asleep" : "awake"); });
    connect(&manager, &PowerManager::afterSleep, this, [&] { seen << "afterSleep"; });
    if (!stateFileExists)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^\"can't open file '.*/sys/power/state': "));

    manager.sleep();
    QCOMPARE(machine.read("sys/power/state"), written);
    const QStringList expected = cancel
                                     ? QStringList{"beforeSleep"}
                                     : QStringList{"beforeSleep", "asleep", "awake", "afterSleep"};
    QCOMPARE(seen, expected);
    QVERIFY(!manager.sleeping());
}

void tst_PowerManager::shutdownAndRestart_data()
{
    QTest::addColumn<bool>("reboot");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("shutdown: quit, then the command")
        << false << false << QStringList{"quit", "run"} << QStringList{"-h", "now"};
    QTest::newRow("shutdown cancelled") << false << true << QStringList() << QStringList();
    QTest::newRow("reboot") << true << false << QStringList{"run"} << QStringList{"-r", "now"};
    QTest::newRow("reboot cancelled") << true << true << QStringList() << QStringList();
}

void tst_PowerManager::shutdownAndRestart()
{
    QFETCH(bool, reboot);
    QFETCH(bool, cancel);
    QFETCH(QStringList, events);
    QFETCH(QStringList, arguments);

    Machine machine;
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    int announced = 0;
    auto answer = [&](CancelMessageEvent *event) {
        ++announced;
        event->setCancel(cancel);
    };
    connect(&manager, &PowerManager::beforeShutdown, this, answer);
    connect(&manager, &PowerManager::beforeRestart, this, answer);

    if (reboot)
        manager.restart();
    else
        manager.shutdown();
    QCOMPARE(announced, 1);
    QCOMPARE(machine.events, events);
    if (!arguments.isEmpty()) {
        QCOMPARE(machine.commands.size(), 1);
        QCOMPARE(machine.commands.first().program, QStringLiteral("shutdown"));
        QCOMPARE(machine.commands.first().arguments, arguments);
    }
}

void tst_PowerManager::desktopOnlyWarns()
{
    Machine machine;
    machine.write("sys/power/state", "");
    Setting desktop(false);
    PowerManager manager(machine.platform());
    QSignalSpy sleepAnnounced(&manager, &PowerManager::beforeSleep);
    QSignalSpy shutdownAnnounced(&manager, &PowerManager::beforeShutdown);
    QSignalSpy restartAnnounced(&manager, &PowerManager::beforeRestart);

    QTest::ignoreMessage(QtWarningMsg, "sleep method should be called only from embedded system");
    manager.sleep();
    QTest::ignoreMessage(QtWarningMsg,
                         "shutdown method should be called only from embedded system");
    manager.shutdown();
    QTest::ignoreMessage(QtWarningMsg, "restart method should be called only from embedded system");
    manager.restart();

    QCOMPARE(sleepAnnounced.count() + shutdownAnnounced.count() + restartAnnounced.count(), 0);
    QVERIFY(machine.events.isEmpty());
    QCOMPARE(machine.read("sys/power/state"), QByteArray());
    QVERIFY(!manager.sleeping());
}

void tst_PowerManager::testPlatformReachesEveryManager_data()
{
    QTest::addColumn<bool>("fromQml");

    QTest::newRow("made in C++") << false;
    QTest::newRow("made by a QML document") << true;
}

// Managers made without a platform, as the menu's documents make them, run their commands and
// write the kernel's files through the test platform only.
void tst_PowerManager::testPlatformReachesEveryManager()
{
    QFETCH(bool, fromQml);

    Machine machine;
    machine.write("sys/power/state", "");
    Setting embedded(true, &machine);
    QQmlEngine engine;
    std::unique_ptr<QObject> made;
    if (fromQml) {
        static const bool registered = [] {
            MenuStartup::registerMenuTypes();
            return true;
        }();
        Q_UNUSED(registered)
        QQmlComponent component(&engine);
        component.setData("import Menu 1.0\nPowerManager {}", QUrl());
        made.reset(component.create());
        QVERIFY2(made, qPrintable(component.errorString()));
    } else {
        made = std::make_unique<PowerManager>();
    }
    auto *manager = qobject_cast<PowerManager *>(made.get());
    QVERIFY(manager);
    QVERIFY(manager->embedded());

    manager->sleep();
    manager->shutdown();
    manager->restart();
    QCOMPARE(machine.read("sys/power/state"), QByteArray("mem"));
    QCOMPARE(machine.events, (QStringList{"quit", "run", "run"}));
    QCOMPARE(machine.commands.size(), 2);
    for (const Command &command : std::as_const(machine.commands))
        QCOMPARE(command.program, QStringLiteral("shutdown"));
    QCOMPARE(machine.commands.at(0).arguments, (QStringList{"-h", "now"}));
    QCOMPARE(machine.commands.at(1).arguments, (QStringList{"-r", "now"}));
}

// A test that sets the override and forgets the platform must not reach this machine (tests run
// as root): the command is refused and the kernel's files are looked for nowhere real.
void tst_PowerManager::overrideWithoutTestPlatformRunsNothing()
{
    PowerManager::overrideEmbedded(1);
    PowerManager manager;
    PowerManager::overrideEmbedded(-1);
    QVERIFY(manager.embedded());
    QTest::ignoreMessage(QtWarningMsg, "not run without a test platform: shutdown -r now");
    QTest::ignoreMessage(QtWarningMsg, "can't restartdown");
    manager.restart();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\"can't open file '/nonexistent-"));
    manager.enterSleepState();
}

void tst_PowerManager::timerExpiry_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("sleeps");
    QTest::addColumn<int>("warnings");

    QTest::newRow("embedded, enabled: sleeps") << true << true << 1 << 0;
    QTest::newRow("embedded, disabled: nothing") << true << false << 0 << 0;
    QTest::newRow("desktop, enabled: warns") << false << true << 0 << 2;
    QTest::newRow("desktop, disabled: nothing") << false << false << 0 << 0;
}

void tst_PowerManager::timerExpiry()
{
    QFETCH(bool, embedded);
    QFETCH(bool, enabled);
    QFETCH(int, sleeps);
    QFETCH(int, warnings);

    Machine machine;
    machine.write("sys/power/state", "");
    Setting setting(embedded, &machine);
    PowerManager manager(machine.platform());
    // Writing the interval starts the timer whatever the enabled flag says.
    manager.setSleepInterval(40000);
    manager.setSleepEnabled(enabled);
    QSignalSpy announced(&manager, &PowerManager::beforeSleep);
    if (warnings) {
        QTest::ignoreMessage(QtWarningMsg, "powerManager.onTimer() 40000 true");
        QTest::ignoreMessage(QtWarningMsg,
                             "sleep method should be called only from embedded system");
    }
    manager.onTimer();
    QCOMPARE(announced.count(), sleeps);
    QCOMPARE(machine.read("sys/power/state"), QByteArray(sleeps ? "mem" : ""));
}

void tst_PowerManager::inputRestartsTimerOnWindowsOnly()
{
    Machine machine;
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    manager.setSleepEnabled(true);
    QWindow window;
    QObject plain;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QTest::qWait(120);

    // The same press also reaches the items below the window: only the window's copy counts.
    QVERIFY(!manager.eventFilter(&plain, &press));
    QVERIFY(manager.remainingSleepTime() <= 60000 - 100);
    QVERIFY(!manager.eventFilter(&window, &press));
    QVERIFY(manager.remainingSleepTime() > 60000 - 100);

    QTest::qWait(120);
    manager.setSleepEnabled(false);
    manager.resetSleepTimer();
    QTest::qWait(120);
    QVERIFY(!manager.eventFilter(&window, &press));
    QVERIFY(manager.remainingSleepTime() <= 60000 - 100);
}

void tst_PowerManager::fades()
{
    Machine machine;
    machine.addBacklight("pca9632-bl", "200", "200");
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    QSignalSpy changed(&manager, &PowerManager::backlightBrightnessChanged);

    manager.fadeOutBacklightBrightness(0, 500);
    QVERIFY(machine.pauses.isEmpty());

    manager.fadeOutBacklightBrightness();
    QCOMPARE(machine.pauses, QList<qint64>(20, 25000));
    QCOMPARE(machine.brightnessDuringPauses.size(), 20);
    QCOMPARE(machine.brightnessDuringPauses.first(), QStringLiteral("190"));
    QCOMPARE(machine.brightnessDuringPauses.at(9), QStringLiteral("100"));
    QCOMPARE(machine.brightnessDuringPauses.last(), QStringLiteral("0"));
    // The fade leaves the property at the value read before it, without a signal.
    QCOMPARE(manager.backlightBrightness(), 1.0);
    QCOMPARE(changed.count(), 0);
}

void tst_PowerManager::refusedFades_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("duration");
    QTest::newRow("no steps") << 0 << 500;
    QTest::newRow("negative steps") << -3 << 500;
    QTest::newRow("zero duration") << 20 << 0;
    QTest::newRow("negative duration") << 20 << -500;
}

void tst_PowerManager::refusedFades()
{
    QFETCH(int, steps);
    QFETCH(int, duration);
    Machine machine;
    machine.addBacklight("pca9632-bl", "200", "200");
    Setting embedded(true);
    PowerManager manager(machine.platform());
    // Returns at once, writing nothing: a negative pause would sleep the GUI thread for ever.
    manager.fadeOutBacklightBrightness(steps, duration);
    QVERIFY(machine.pauses.isEmpty());
    QCOMPARE(machine.brightnessDuringPauses.size(), 0);
}

void tst_PowerManager::storedBrightnessFadesIn()
{
    Machine machine;
    machine.addBacklight("tps6507x-bl", "100", "0");
    Setting embedded(true, &machine);
    PowerManager manager(machine.platform());
    // Below the device's minimum of 0.5: raised to it.
    machine.write("Settings/tps6507x/brightness", "20");
    manager.fadeInBacklightBrightness();
    QCOMPARE(machine.pauses, QList<qint64>(20, 25000));
    QCOMPARE(machine.brightnessDuringPauses.last(), QStringLiteral("50"));

    // Without a backlight the fade still takes its time.
    Machine bare;
    PowerManager withoutBacklight(bare.platform());
    withoutBacklight.fadeInBacklightBrightness();
    QCOMPARE(bare.pauses, QList<qint64>(20, 25000));
}

QTEST_MAIN(tst_PowerManager)
#include "tst_powermanager.moc"
