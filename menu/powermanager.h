#ifndef POWERMANAGER_H
#define POWERMANAGER_H

#include "cancelmessageevent.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// The menu's link to the machine's power control: the inactivity timer that puts the device to
// sleep, suspend, power-off and reboot, and the backlight's brightness with fading. On the
// desktop the power operations only warn and no backlight is looked for; on the embedded device
// they drive the kernel's files under the platform root.
class PowerManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool sleepEnabled READ sleepEnabled WRITE setSleepEnabled NOTIFY sleepEnabledChanged)
    Q_PROPERTY(
        int sleepInterval READ sleepInterval WRITE setSleepInterval NOTIFY sleepIntervalChanged)
    Q_PROPERTY(
        SleepMethod sleepMethod READ sleepMethod WRITE setSleepMethod NOTIFY sleepMethodChanged)
    Q_PROPERTY(bool sleeping READ sleeping NOTIFY sleepingChanged)
    Q_PROPERTY(qreal backlightBrightness READ backlightBrightness WRITE setBacklightBrightness
                   NOTIFY backlightBrightnessChanged)
    Q_PROPERTY(qreal maxBacklightBrightness READ maxBacklightBrightness NOTIFY
                   maxBacklightBrightnessChanged)
    Q_PROPERTY(qreal minBacklightBrightness READ minBacklightBrightness NOTIFY
                   minBacklightBrightnessChanged)

public:
    enum SleepMethod { StandBy = 0, Mem = 1, Disk = 2 };
    Q_ENUM(SleepMethod)
    enum BacklightDevice { TPS6507 = 0, PCA9632 = 1 };
    Q_ENUM(BacklightDevice)

    static constexpr int MinSleepInterval = 30000;

    // What the manager drives on the embedded device. Empty functions take the real ones:
    // QProcess::startDetached, QThread::usleep and QCoreApplication::quit.
    struct Platform
    {
        // The folder that holds "sys" and "Settings".
        QString root = QStringLiteral("/");
        std::function<bool(const QString &program, const QStringList &arguments)> startDetached;
        std::function<void(qint64 microseconds)> pause;
        std::function<void()> quit;
    };

    explicit PowerManager(QObject *parent = nullptr);
    explicit PowerManager(Platform platform, QObject *parent = nullptr);

    // Tests only: the setting of the managers constructed afterwards (1 embedded, 0 desktop);
    // -1 restores the build's own. While the setting is overridden, a manager without a platform
    // of its own (nor a test platform) runs no command and touches no kernel file.
    static void overrideEmbedded(int value);
    // Tests only: the platform of every manager constructed afterwards without one of its own,
    // those QML creates included; clearTestPlatform() restores the real one.
    static void setTestPlatform(const Platform &platform);
    static void clearTestPlatform();
    bool embedded() const { return m_embedded; }

    bool sleepEnabled() const { return m_sleepEnabled; }
    void setSleepEnabled(bool enabled);
    int sleepInterval() const { return m_sleepInterval; }
    void setSleepInterval(int ms);
    SleepMethod sleepMethod() const { return m_sleepMethod; }
    void setSleepMethod(SleepMethod method);
    bool sleeping() const { return m_sleeping; }
    qreal backlightBrightness() const { return m_backlightBrightness; }
    qreal maxBacklightBrightness() const { return m_maxBacklightBrightness; }
    qreal minBacklightBrightness() const { return m_minBacklightBrightness; }

    bool backlightPresent() const { return m_backlightPresent; }
    BacklightDevice backlightDevice() const { return m_backlightDevice; }
    // Milliseconds until the inactivity timer expires; -1 while it is stopped.
    int remainingSleepTime() const { return m_timer.remainingTime(); }

    // The kernel side of the embedded setting.
    void enterSleepState();
    void rebootSystem();
    // The brightness as the device (or the saved-brightness file) holds it, as a fraction.
    qreal readBacklightBrightness() const;
    qreal readSavedBacklightBrightness() const;
    // Blocks the calling thread for about `duration` ms; writes the device only.
    void fade(qreal from, qreal to, int steps, int duration);

    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void resetSleepTimer();
    void shutdown();
    void restart();
    void sleep();
    void storeBackligtBrightness();
    void setBacklightBrightness(qreal value);
    void fadeOutBacklightBrightness();
    void fadeOutBacklightBrightness(int steps, int duration);
    void fadeInBacklightBrightness();
    void setMaxBacklightBrightness(qreal value);
    void setMinBacklightBrightness(qreal value);
    void onTimer();
    void onWake();
    void internalShutdown();

signals:
    void beforeSleep(CancelMessageEvent *event);
    void afterSleep();
    void beforeShutdown(CancelMessageEvent *event);
    void beforeRestart(CancelMessageEvent *event);
    void sleepEnabledChanged();
    void sleepIntervalChanged();
    void sleepMethodChanged();
    void sleepingChanged();
    void backlightBrightnessChanged(qreal value);
    void maxBacklightBrightnessChanged(qreal value);
    void minBacklightBrightnessChanged(qreal value);

private:
    void restartTimer();
    void setSleeping(bool sleeping);
    void detectBacklight();
    QString platformPath(const QString &path) const;
    // Raw device value of a fraction, clamped to what the device takes.
    int rawBrightness(qreal value) const;
    qreal readBrightnessFile(const QString &fileName) const;
    void writeBacklightBrightness(qreal value);

    Platform m_platform;
    bool m_embedded = false;
    QTimer m_timer;

    bool m_sleeping = false;
    bool m_sleepEnabled = false;
    int m_sleepInterval = 60000;
    SleepMethod m_sleepMethod = Mem;
    qreal m_backlightBrightness = 0.5;
    bool m_backlightPresent = false;
    QString m_brightnessFile;
    QString m_savedBrightnessFile;
    qreal m_scale = 1.0;
    int m_maxRaw = 1;
    BacklightDevice m_backlightDevice = TPS6507;
    qreal m_minBacklightBrightness = 0.1;
    qreal m_maxBacklightBrightness = 1.0;
};

#endif
