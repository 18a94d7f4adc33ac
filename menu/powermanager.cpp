#include "powermanager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <limits>
#include <optional>

namespace {

#ifdef DORRIK_EMBEDDED
constexpr bool builtEmbedded = true;
#else
constexpr bool builtEmbedded = false;
#endif

int g_embeddedOverride = -1;
// GUI thread only, like the managers made from it.
std::optional<PowerManager::Platform> g_testPlatform;

// Where a test that forgot its platform would otherwise reach the machine's own power files.
PowerManager::Platform unreachablePlatform()
{
    PowerManager::Platform platform;
    platform.root = QStringLiteral("/nonexistent-power-root");
    platform.startDetached = [](const QString &program, const QStringList &arguments) {
        qWarning().noquote() << "not run without a test platform:" << program
                             << arguments.join(QLatin1Char(' '));
        return false;
    };
    platform.quit = [] { qWarning("not quit without a test platform"); };
    return platform;
}

struct BacklightProbe
{
    PowerManager::BacklightDevice device;
    const char *folder;
    const char *savedBrightness;
    qreal minimum;
};

// Probed in this order: the first folder that exists names the device.
const BacklightProbe backlightProbes[] = {
    {PowerManager::PCA9632, "sys/class/backlight/pca9632-bl", "Settings/pca9632/brightness", 0.1},
    {PowerManager::TPS6507, "sys/class/backlight/tps6507x-bl", "Settings/tps6507x/brightness", 0.5},
};

constexpr int defaultMaxRaw = 255;

// The first line of a sysfs-style file as a decimal integer.
bool readFirstLine(const QString &fileName, qint64 &value)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool ok = false;
    value = QString::fromLatin1(file.readLine()).trimmed().toLongLong(&ok);
    return ok;
}

} // namespace

PowerManager::PowerManager(QObject *parent)
    : PowerManager(g_testPlatform            ? *g_testPlatform
                   : g_embeddedOverride >= 0 ? unreachablePlatform()
                                             : Platform(),
                   parent)
{}

PowerManager::PowerManager(Platform platform, QObject *parent)
    : QObject(parent), m_platform(std::move(platform)),
      m_embedded(g_embeddedOverride < 0 ? builtEmbedded : g_embeddedOverride > 0)
{
    if (!m_platform.startDetached)
        m_platform.startDetached = [](const QString &program, const QStringList &arguments) {
            return QProcess::startDetached(program, arguments);
        };
    if (!m_platform.pause)
        m_platform.pause = [](qint64 microseconds) {
            QThread::usleep(static_cast<unsigned long>(microseconds));
        };
    if (!m_platform.quit)
        m_platform.quit = [] { QCoreApplication::quit(); };

    // A coarse timer may end up to 5 % (3 s of a minute) early: the user's interval is meant.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_sleepInterval);
    if (m_embedded) {
        connect(&m_timer, &QTimer::timeout, this, &PowerManager::onTimer);
        if (QCoreApplication *app = QCoreApplication::instance())
            app->installEventFilter(this);
        detectBacklight();
    }
}

void PowerManager::overrideEmbedded(int value)
{
    g_embeddedOverride = value;
}

void PowerManager::setTestPlatform(const Platform &platform)
{
    g_testPlatform = platform;
}

void PowerManager::clearTestPlatform()
{
    g_testPlatform.reset();
}

void PowerManager::setSleepEnabled(bool enabled)
{
    if (enabled == m_sleepEnabled)
        return;
    m_sleepEnabled = enabled;
    restartTimer();
    emit sleepEnabledChanged();
}

void PowerManager::setSleepInterval(int ms)
{
    if (ms == m_sleepInterval)
        return;
    m_sleepInterval = qMax(ms, int(MinSleepInterval));
    restartTimer();
    emit sleepIntervalChanged();
}

void PowerManager::setSleepMethod(SleepMethod method)
{
    if (method == m_sleepMethod)
        return;
    m_sleepMethod = method;
    emit sleepMethodChanged();
}

void PowerManager::setSleeping(bool sleeping)
{
    if (sleeping == m_sleeping)
        return;
    m_sleeping = sleeping;
    emit sleepingChanged();
}

void PowerManager::restartTimer()
{
    m_timer.stop();
    m_timer.setInterval(m_sleepInterval);
    m_timer.start();
}

void PowerManager::resetSleepTimer()
{
    m_timer.stop();
    m_timer.start();
}

bool PowerManager::eventFilter(QObject *watched, QEvent *event)
{
    // The application filter sees one input event once per receiver on its way up (window,
    // item, ...): only the window's copy counts.
    if (m_sleepEnabled && watched && watched->isWindowType()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            resetSleepTimer();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PowerManager::onTimer()
{
    if (!m_timer.isActive() || !m_sleepEnabled)
        return;
    if (m_embedded) {
        sleep();
        return;
    }
    qWarning() << "powerManager.onTimer()" << m_timer.interval() << true;
    qWarning("sleep method should be called only from embedded system");
}

void PowerManager::sleep()
{
    if (!m_embedded) {
        qWarning("sleep method should be called only from embedded system");
        return;
    }
    CancelMessageEvent event;
    emit beforeSleep(&event);
    if (event.cancel())
        return;
    setSleeping(true);
    // The kernel returns from the write to the state file only once the device has resumed.
    enterSleepState();
    onWake();
}

void PowerManager::onWake()
{
    setSleeping(false);
    emit afterSleep();
    restartTimer();
}

void PowerManager::shutdown()
{
    if (!m_embedded) {
        qWarning("shutdown method should be called only from embedded system");
        return;
    }
    CancelMessageEvent event;
    emit beforeShutdown(&event);
    if (event.cancel())
        return;
    internalShutdown();
}

void PowerManager::restart()
{
    if (!m_embedded) {
        qWarning("restart method should be called only from embedded system");
        return;
    }
    CancelMessageEvent event;
    emit beforeRestart(&event);
    if (event.cancel())
        return;
    rebootSystem();
}

void PowerManager::internalShutdown()
{
    m_platform.quit();
    if (!m_platform.startDetached(QStringLiteral("shutdown"),
                                  {QStringLiteral("-h"), QStringLiteral("now")}))
        qWarning("can't shut down");
}

void PowerManager::rebootSystem()
{
    if (!m_platform.startDetached(QStringLiteral("shutdown"),
                                  {QStringLiteral("-r"), QStringLiteral("now")}))
        qWarning("can't restartdown");
}

void PowerManager::enterSleepState()
{
    const char *word = nullptr;
    switch (m_sleepMethod) {
    case StandBy:
        word = "standby";
        break;
    case Mem:
        word = "mem";
        break;
    case Disk:
        word = "disk";
        break;
    }
    QFile file(platformPath(QStringLiteral("sys/power/state")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qWarning() << tr("can't open file '%1': %2").arg(file.fileName(), file.errorString());
        return;
    }
    if (!word)
        return;
    // Unbuffered: the kernel answers the write itself, and its failure must be seen here.
    const qint64 length = qint64(qstrlen(word));
    if (file.write(word, length) != length || !file.flush())
        qWarning() << tr("can't write to file '%1': %2").arg(file.fileName(), file.errorString());
}

QString PowerManager::platformPath(const QString &path) const
{
    return QDir(m_platform.root).filePath(path);
}

void PowerManager::detectBacklight()
{
    for (const BacklightProbe &probe : backlightProbes) {
        const QString folder = platformPath(QLatin1String(probe.folder));
        if (!QFileInfo(folder).isDir())
            continue;
        m_backlightDevice = probe.device;
        m_brightnessFile = folder + QLatin1String("/brightness");
        m_savedBrightnessFile = platformPath(QLatin1String(probe.savedBrightness));
        qint64 maximum = 0;
        // A maximum of 0 or less would make every fraction infinite: take the common 8 bits.
        if (!readFirstLine(folder + QLatin1String("/max_brightness"), maximum) || maximum <= 0)
            maximum = defaultMaxRaw;
        m_maxRaw = int(qMin<qint64>(maximum, std::numeric_limits<int>::max()));
        m_scale = 1.0 / m_maxRaw;
        setMinBacklightBrightness(probe.minimum);
        m_backlightPresent = true;
        setMaxBacklightBrightness(1.0);
        return;
    }
    m_backlightPresent = false;
    setMinBacklightBrightness(0.1);
}

int PowerManager::rawBrightness(qreal value) const
{
    const double raw = std::trunc(value / m_scale);
    if (!(raw > 0))
        return 0;
    return raw >= m_maxRaw ? m_maxRaw : int(raw);
}

void PowerManager::writeBacklightBrightness(qreal value)
{
    if (!m_backlightPresent)
        return;
    QFile file(m_brightnessFile);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QByteArray::number(rawBrightness(value)));
}

qreal PowerManager::readBrightnessFile(const QString &fileName) const
{
    if (!m_backlightPresent)
        return m_backlightBrightness;
    qint64 raw = 0;
    if (!readFirstLine(fileName, raw))
        return m_backlightBrightness;
    return qBound(qint64(0), raw, qint64(m_maxRaw)) * m_scale;
}

qreal PowerManager::readBacklightBrightness() const
{
    return readBrightnessFile(m_brightnessFile);
}

qreal PowerManager::readSavedBacklightBrightness() const
{
    return readBrightnessFile(m_savedBrightnessFile);
}

void PowerManager::storeBackligtBrightness()
{
    if (!m_backlightPresent)
        return;
    QDir().mkpath(QFileInfo(m_savedBrightnessFile).absolutePath());
    QFile file(m_savedBrightnessFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning() << tr("can't open file '%1': %2").arg(file.fileName(), file.errorString());
        return;
    }
    if (file.write(QByteArray::number(rawBrightness(m_backlightBrightness))) < 0 || !file.flush())
        qWarning() << tr("can't write to file '%1': %2").arg(file.fileName(), file.errorString());
}

void PowerManager::setBacklightBrightness(qreal value)
{
    value = qBound(m_minBacklightBrightness, value, m_maxBacklightBrightness);
    if (value == m_backlightBrightness)
        return;
    m_backlightBrightness = value;
    emit backlightBrightnessChanged(value);
    writeBacklightBrightness(value);
}

void PowerManager::setMaxBacklightBrightness(qreal value)
{
    if (value == m_maxBacklightBrightness)
        return;
    m_maxBacklightBrightness = value;
    emit maxBacklightBrightnessChanged(value);
}

void PowerManager::setMinBacklightBrightness(qreal value)
{
    if (value == m_minBacklightBrightness)
        return;
    m_minBacklightBrightness = value;
    emit minBacklightBrightnessChanged(value);
}

void PowerManager::fade(qreal from, qreal to, int steps, int duration)
{
    // A negative pause would become an unsigned sleep of many years on the GUI thread.
    if (steps <= 0 || duration <= 0)
        return;
    const qreal step = (to - from) / steps;
    const qint64 pause = qint64(duration) * 1000 / steps;
    for (int i = 1; i <= steps; ++i) {
        writeBacklightBrightness(from + i * step);
        m_platform.pause(pause);
    }
}

void PowerManager::fadeOutBacklightBrightness()
{
    fadeOutBacklightBrightness(20, 500);
}

void PowerManager::fadeOutBacklightBrightness(int steps, int duration)
{
    m_backlightBrightness = readBacklightBrightness();
    fade(m_backlightBrightness, 0, steps, duration);
}

void PowerManager::fadeInBacklightBrightness()
{
    const qreal target = qMax(readSavedBacklightBrightness(), m_minBacklightBrightness);
    fade(0, target, 20, 500);
}
