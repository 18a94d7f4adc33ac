#include "touchscreenhelper.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Only a backstop: the wake-up pipe ends a wait at once.
constexpr int PollTimeoutMs = 2000;
// A device at end of file (its writer gone) is opened again after this pause, not at once,
// which would spin a core.
constexpr int ReopenDelayMs = 500;
// The calibration screen's area, written after the coefficients as the touch library does.
constexpr int CalibrationWidth = 640;
constexpr int CalibrationHeight = 480;
// The file's order of the coefficients: x's rawX, rawY and constant terms, then y's, then the
// divisor.
constexpr std::array<int, 7> FileOrder{1, 2, 0, 4, 5, 3, 6};

// 16 fraction bits, truncated; a fit of wild points stays inside int instead of overflowing.
int toFixed(float value)
{
    const double fixed = double(value) * 65536.0;
    if (!(fixed > double(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    if (fixed >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(fixed);
}

} // namespace

TouchScreenHelper::TouchScreenHelper(QObject *parent) : QThread(parent)
{
    m_touchDevice = qEnvironmentVariableIsSet("TSLIB_TSDEVICE")
                        ? qEnvironmentVariable("TSLIB_TSDEVICE")
                        : QStringLiteral("/dev/input/event1");
    m_calibrationFile = qEnvironmentVariableIsSet("TSLIB_CALIBFILE")
                            ? qEnvironmentVariable("TSLIB_CALIBFILE")
                            : QStringLiteral("/etc/pointercal");
    if (pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wakePipe[0] = m_wakePipe[1] = -1;
    loadCalibration();
    start(QThread::LowPriority);
}

TouchScreenHelper::~TouchScreenHelper()
{
    requestInterruption();
    if (m_wakePipe[1] >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakePipe[1], &wake, 1);
    }
    wait();
    for (int fd : m_wakePipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TouchScreenHelper::run()
{
    // A device whose writer went away (a FIFO standing in for one) is opened afresh.
    while (!isInterruptionRequested()) {
        if (!readDevice()) {
            QMetaObject::invokeMethod(
                this, [this] { setTouchScreenExists(false); }, Qt::QueuedConnection);
            return;
        }
        // The wake-up pipe still ends the pause at once.
        pollfd wake = {m_wakePipe[0], POLLIN, 0};
        if (m_wakePipe[0] >= 0)
            ::poll(&wake, 1, ReopenDelayMs);
        else
            QThread::msleep(ReopenDelayMs);
    }
}

void TouchScreenHelper::loadCalibration()
{
    QFile file(m_calibrationFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QList<QByteArray> words = file.readAll().simplified().split(' ');
    std::array<int, 7> a{};
    for (size_t k = 0; k < FileOrder.size(); ++k) {
        bool ok = false;
        a[size_t(FileOrder[k])] = words.value(int(k)).toInt(&ok);
        if (!ok)
            return;
    }
    // A divisor of 0 is no calibration the touch library could use either.
    if (a[6] != 0)
        m_a = a;
}

bool TouchScreenHelper::saveCalibration()
{
    QStringList words;
    for (int index : FileOrder)
        words << QString::number(m_a[size_t(index)]);
    words << QString::number(CalibrationWidth) << QString::number(CalibrationHeight);
    // Written beside the old file and renamed over it: a reader never sees half a file.
    QSaveFile file(m_calibrationFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
        file.write(words.join(QLatin1Char(' ')).toLatin1() + '\n') < 0 || !file.commit()) {
        qWarning().noquote() << "can't write the touch-screen calibration to"
                             << m_calibrationFile + QLatin1String(":") << file.errorString();
        return false;
    }
    return true;
}

bool TouchScreenHelper::readDevice()
{
    const QByteArray path = QFile::encodeName(m_touchDevice);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    QMetaObject::invokeMethod(
        this, [this] { setTouchScreenExists(true); }, Qt::QueuedConnection);

    // The touch as the records since the last report describe it.
    int x = 0;
    int y = 0;
    int pressure = 0;
    bool touching = false;
    QByteArray pending;
    bool reopen = false;
    while (!reopen && !isInterruptionRequested()) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        const int ready = ::poll(fds, m_wakePipe[0] >= 0 ? 2 : 1, PollTimeoutMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0 || !(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;

        char chunk[sizeof(input_event) * 16];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0) {
            reopen = true;
            continue;
        }
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            break;
        }
        pending.append(chunk, int(got));
        // Records may arrive split across reads: keep the tail for the next one.
        int used = 0;
        while (pending.size() - used >= int(sizeof(input_event))) {
            input_event event;
            memcpy(&event, pending.constData() + used, sizeof event);
            used += int(sizeof event);
            if (event.type == EV_ABS) {
                if (event.code == ABS_X)
                    x = event.value;
                else if (event.code == ABS_Y)
                    y = event.value;
                else if (event.code == ABS_PRESSURE)
                    pressure = event.value;
            } else if (event.type == EV_KEY && event.code == BTN_TOUCH) {
                touching = event.value != 0;
            } else if (event.type == EV_SYN && event.code == SYN_REPORT) {
                const bool down = touching || pressure > 0;
                QMetaObject::invokeMethod(
                    this,
                    [this, x, y, pressure, down] {
                        setPressure(pressure);
                        if (down)
                            onTsPos(x, y);
                        setPressed(down);
                    },
                    Qt::QueuedConnection);
            }
        }
        pending.remove(0, used);
    }
    ::close(fd);
    return reopen;
}

void TouchScreenHelper::setBufferSize(int size)
{
    if (size < 1 || size == m_bufferSize)
        return;
    m_bufferSize = size;
    emit bufferSizeChanged();
}

void TouchScreenHelper::setRawPos(int x, int y)
{
    if (x == m_rawX && y == m_rawY)
        return;
    m_rawX = x;
    m_rawY = y;
    emit rawPosChanged();
}

void TouchScreenHelper::setPressure(int pressure)
{
    if (pressure == m_pressure)
        return;
    m_pressure = pressure;
    emit pressureChanged();
}

void TouchScreenHelper::setPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    emit pressedChanged();
}

void TouchScreenHelper::setTouchScreenExists(bool exists)
{
    if (exists == m_touchScreenExists)
        return;
    m_touchScreenExists = exists;
    emit touchScreenExistsChanged();
}

void TouchScreenHelper::onTsPos(int x, int y)
{
    m_samples.append(QPoint(x, y));
    while (m_samples.size() > m_bufferSize)
        m_samples.removeFirst();
    qint64 sumX = 0;
    qint64 sumY = 0;
    for (const QPoint &sample : qAsConst(m_samples)) {
        sumX += sample.x();
        sumY += sample.y();
    }
    if (m_samples.size() == m_bufferSize)
        setRawPos(int(sumX / m_samples.size()), int(sumY / m_samples.size()));
}

void TouchScreenHelper::reset()
{
    m_samples.clear();
}

void TouchScreenHelper::setCalibrationPoint(int index, int rawX, int rawY, int screenX, int screenY)
{
    if (index < 0 || index >= int(m_x.size()))
        return;
    m_x[index] = rawX;
    m_y[index] = rawY;
    m_xfb[index] = screenX;
    m_yfb[index] = screenY;
}

int TouchScreenHelper::performCalibration()
{
    // The five-point least-squares fit, in single precision as the stored coefficients were
    // always computed.
    const float n = 5;
    float x = 0, y = 0, x2 = 0, y2 = 0, xy = 0;
    for (int i = 0; i < 5; ++i) {
        const float xi = float(m_x[i]);
        const float yi = float(m_y[i]);
        x += xi;
        y += yi;
        x2 += xi * xi;
        y2 += yi * yi;
        xy += xi * yi;
    }
    const float det = n * (x2 * y2 - xy * xy) + x * (xy * y - x * y2) + y * (x * xy - y * x2);
    if (det < 0.1f && det > -0.1f) {
        std::printf("ts_calibrate: determinant is too small -- %f\n", double(det));
        std::fflush(stdout);
        return -1;
    }
    const float a = (x2 * y2 - xy * xy) / det;
    const float b = (xy * y - x * y2) / det;
    const float c = (x * xy - y * x2) / det;
    const float e = (n * y2 - y * y) / det;
    const float f = (x * y - n * xy) / det;
    const float i = (n * x2 - x * x) / det;

    auto fit = [&](const std::array<int, 5> &screen, int *out) {
        float z = 0, zx = 0, zy = 0;
        for (int k = 0; k < 5; ++k) {
            z += float(screen[k]);
            zx += float(screen[k]) * float(m_x[k]);
            zy += float(screen[k]) * float(m_y[k]);
        }
        out[0] = toFixed(a * z + b * zx + c * zy);
        out[1] = toFixed(b * z + e * zx + f * zy);
        out[2] = toFixed(c * z + f * zx + i * zy);
    };
    fit(m_xfb, &m_a[0]);
    fit(m_yfb, &m_a[3]);
    m_a[6] = 65536;
    // The menu restarts after the calibration: what is not in the file is lost then.
    saveCalibration();
    emit calibrationCompleted();
    return 0;
}
