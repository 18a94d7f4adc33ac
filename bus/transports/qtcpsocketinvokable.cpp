#include "qtcpsocketinvokable.h"

#include "objectthreadcall.h"

#include <QCoreApplication>
#include <QThread>

#include <sys/socket.h>

#include <mutex>

QTcpSocketInvokable::QTcpSocketInvokable(QObject *parent) : QTcpSocket(parent)
{
    // For callers that invoke the methods by name across threads.
    static std::once_flag registered;
    std::call_once(registered, [] {
        qRegisterMetaType<QHostAddress>("QHostAddress");
        qRegisterMetaType<QIODevice::OpenMode>("OpenMode");
    });
}

bool QTcpSocketInvokable::isOwnThread() const
{
    return QThread::currentThread() == thread();
}

void QTcpSocketInvokable::connectToHost(const QHostAddress &address, quint16 port,
                                        QIODevice::OpenMode mode)
{
    if (isOwnThread()) {
        QTcpSocket::connectToHost(address, port, mode);
        return;
    }
    // Queued: the caller waits, if at all, with waitForConnected.
    QMetaObject::invokeMethod(
        this, [this, address, port, mode] { QTcpSocket::connectToHost(address, port, mode); },
        Qt::QueuedConnection);
}

void QTcpSocketInvokable::disconnectFromHost()
{
    if (isOwnThread()) {
        QTcpSocket::disconnectFromHost();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { QTcpSocket::disconnectFromHost(); }, Qt::QueuedConnection);
}

qint64 QTcpSocketInvokable::bytesAvailable() const
{
    return callInObjectThread(*this, [this] { return QTcpSocket::bytesAvailable(); });
}

bool QTcpSocketInvokable::writeAndWait(const ModbusBytes &bytes, int writeTimeout, int readTimeout)
{
    return callInObjectThread(*this, [&] {
        if (QTcpSocket::write(bytes) != bytes.size())
            return false;
        // Nothing left in the buffer means the frame is already with the system.
        if (QTcpSocket::bytesToWrite() > 0 && !QTcpSocket::waitForBytesWritten(writeTimeout))
            return false;
        // The write wait may already have read what came back.
        return QTcpSocket::bytesAvailable() > 0 || QTcpSocket::waitForReadyRead(readTimeout);
    });
}

quint16 QTcpSocketInvokable::localPort()
{
    return callInObjectThread(*this, [this] { return QTcpSocket::localPort(); });
}

QHostAddress QTcpSocketInvokable::localAddress()
{
    return callInObjectThread(*this, [this] { return QTcpSocket::localAddress(); });
}

quint16 QTcpSocketInvokable::peerPort()
{
    return callInObjectThread(*this, [this] { return QTcpSocket::peerPort(); });
}

QHostAddress QTcpSocketInvokable::peerAddress()
{
    return callInObjectThread(*this, [this] { return QTcpSocket::peerAddress(); });
}

bool QTcpSocketInvokable::waitForConnected(int msecs)
{
    return callInObjectThread(*this, [this, msecs] { return QTcpSocket::waitForConnected(msecs); });
}

bool QTcpSocketInvokable::waitForReadyRead(int msecs)
{
    return callInObjectThread(*this, [this, msecs] { return QTcpSocket::waitForReadyRead(msecs); });
}

bool QTcpSocketInvokable::waitForBytesWritten(int msecs)
{
    return callInObjectThread(*this,
                              [this, msecs] { return QTcpSocket::waitForBytesWritten(msecs); });
}

bool QTcpSocketInvokable::waitForDisconnected(int msecs)
{
    return callInObjectThread(*this, [this, msecs] {
        // Qt reports a wait on an already closed socket as a failure.
        return state() == UnconnectedState || QTcpSocket::waitForDisconnected(msecs);
    });
}

QString QTcpSocketInvokable::errorString()
{
    return callInObjectThread(*this, [this] { return QTcpSocket::errorString(); });
}

ModbusBytes QTcpSocketInvokable::readAll()
{
    return callInObjectThread(*this, [this] { return ModbusBytes(QTcpSocket::readAll()); });
}

qint64 QTcpSocketInvokable::write(const ModbusBytes &)
{
    qWarning("this function is not supported in QTcpSocketInvokable");
    return -1;
}

qint64 QTcpSocketInvokable::writeFrame(QTcpSocket &socket, const QByteArray &bytes)
{
    // QTcpSocket's own write queues the bytes and switches its write notifier on, the flush
    // switches it off again; under the GLib event dispatcher each switch wakes the thread's
    // event loop once more, which doubles the loop's work per frame.
    qint64 sent = 0;
    const qintptr descriptor = socket.socketDescriptor();
    if (descriptor >= 0 && socket.state() == QAbstractSocket::ConnectedState &&
        socket.bytesToWrite() == 0) {
        const ssize_t count = ::send(int(descriptor), bytes.constData(), size_t(bytes.size()),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
        // A failure (a full buffer, a closed peer) is left to the socket's own write below,
        // which reports it the way Qt reports any socket error.
        if (count > 0)
            sent = count;
    }
    if (sent == bytes.size())
        return sent;
    const qint64 queued = socket.write(bytes.constData() + sent, bytes.size() - sent);
    if (queued < 0)
        return sent > 0 ? sent : -1;
    return sent + queued;
}

QString QTcpSocketInvokable::timedOutText()
{
    return QCoreApplication::translate("QNativeSocketEngine", "Network operation timed out");
}
