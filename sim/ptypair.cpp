#include "ptypair.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool makeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Waits up to timeoutMs for fd to become readable; false on time-out or error.
bool waitReadable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    int rc;
    do {
        rc = poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (p.revents & POLLIN);
}

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

PtyPair::PtyPair()
{
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        m_error = systemError("openpty");
        return;
    }
    if (!makeRaw(master) || !makeRaw(slave)) {
        m_error = systemError("tcsetattr");
        ::close(master);
        ::close(slave);
        return;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
    m_name = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPair::write(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_master, POLLOUT, 0};
            poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

QByteArray PtyPair::read(int count, int timeoutMs) const
{
    QByteArray result;
    QElapsedTimer clock;
    clock.start();
    while (result.size() < count) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !waitReadable(m_master, left))
            break;
        char buf[512];
        const ssize_t n =
            ::read(m_master, buf, std::min<size_t>(sizeof buf, size_t(count - result.size())));
        if (n > 0)
            result.append(buf, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return result;
}

QByteArray PtyPair::readUntilQuiet(int quietMs) const
{
    QByteArray result;
    while (waitReadable(m_master, quietMs)) {
        char buf[512];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0)
            result.append(buf, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return result;
}

void PtyPair::discardInput() const
{
    tcflush(m_master, TCIFLUSH);
    readUntilQuiet(0);
}

PtyLink::PtyLink()
{
    if (!m_a.isValid() || !m_b.isValid())
        return;
    if (pipe(m_wake) != 0) {
        m_wake[0] = m_wake[1] = -1;
        return;
    }
    m_thread = std::thread([this] { copyLoop(); });
}

PtyLink::~PtyLink()
{
    if (m_thread.joinable()) {
        const char stop = 0;
        (void)!::write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

QString PtyLink::errorString() const
{
    if (!m_a.isValid())
        return m_a.errorString();
    if (!m_b.isValid())
        return m_b.errorString();
    return m_wake[1] < 0 ? QStringLiteral("pipe failed") : QString();
}

void PtyLink::copyLoop()
{
    pollfd fds[3] = {{m_a.fd(), POLLIN, 0}, {m_b.fd(), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[2].revents)
            return;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            char buf[512];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0)
                (i == 0 ? m_b : m_a).write(QByteArray(buf, int(n)));
        }
    }
}
