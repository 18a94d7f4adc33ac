#ifndef PTYPAIR_H
#define PTYPAIR_H

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

// One pseudo-terminal opened with openpty, both ends in raw mode (no echo, no line editing, no
// CR/LF translation). The code under test opens portName() as a serial port; the test plays
// the peer through fd(), the master end. The fixture keeps its own slave descriptor open so
// that the master never reads a hang-up while the port under test is closed.
//
// A pty is not a line: it refuses parity, 7 data bits and the modem-line ioctls, and ignores
// the baud rate. Tests over it check framing and bytes, not line timing.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString errorString() const { return m_error; }

    QString portName() const { return m_name; } // the slave, e.g. "/dev/pts/7"
    int fd() const { return m_master; }         // the peer's end, non-blocking

    // Writes all bytes to the peer's end; false on an error.
    bool write(const QByteArray &bytes) const;
    // Reads until count bytes have come or timeoutMs has passed; returns what came.
    QByteArray read(int count, int timeoutMs) const;
    // Reads whatever comes until the line has been quiet for quietMs.
    QByteArray readUntilQuiet(int quietMs) const;
    // Drops whatever waits at the peer's end.
    void discardInput() const;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
    QString m_error;
};

// Two pseudo-terminals whose peer ends are joined by a copying thread, like a null-modem cable:
// bytes written to portA() come out of portB() and back. For tests where both ends are opened
// by name (two serial transports, or a transport against another library's serial code).
class PtyLink
{
public:
    PtyLink();
    ~PtyLink();
    PtyLink(const PtyLink &) = delete;
    PtyLink &operator=(const PtyLink &) = delete;

    bool isValid() const { return m_a.isValid() && m_b.isValid() && m_wake[1] >= 0; }
    QString errorString() const;
    QString portA() const { return m_a.portName(); }
    QString portB() const { return m_b.portName(); }

private:
    void copyLoop();

    PtyPair m_a;
    PtyPair m_b;
    int m_wake[2] = {-1, -1}; // a pipe that stops the copying thread
    std::thread m_thread;
};

#endif
