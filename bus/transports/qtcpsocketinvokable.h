#ifndef QTCPSOCKETINVOKABLE_H
#define QTCPSOCKETINVOKABLE_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"

#include <QHostAddress>
#include <QTcpSocket>

// A QTcpSocket that may be driven from any thread. Every operation called from another thread
// than the socket's own re-runs itself there and (except connectToHost and disconnectFromHost)
// blocks the caller until it has run; in the socket's thread it runs directly. A call that
// cannot be delivered because the socket's thread is not running gives false, zero or empty.
class DORRIKBUS_EXPORT QTcpSocketInvokable : public QTcpSocket
{
    Q_OBJECT

public:
    explicit QTcpSocketInvokable(QObject *parent = nullptr);

    Q_INVOKABLE void connectToHost(const QHostAddress &address, quint16 port,
                                   QIODevice::OpenMode mode);
    Q_INVOKABLE void disconnectFromHost() override;
    Q_INVOKABLE qint64 bytesAvailable() const override;
    // Writes the whole frame, waits until it is written, then for the first bytes that come
    // back. False when the write is short or either wait times out.
    Q_INVOKABLE bool writeAndWait(const ModbusBytes &bytes, int writeTimeout = 3000,
                                  int readTimeout = 3000);
    Q_INVOKABLE quint16 localPort();
    Q_INVOKABLE QHostAddress localAddress();
    Q_INVOKABLE quint16 peerPort();
    Q_INVOKABLE QHostAddress peerAddress();
    Q_INVOKABLE bool waitForConnected(int msecs = 30000) override;
    Q_INVOKABLE bool waitForReadyRead(int msecs = 30000) override;
    Q_INVOKABLE bool waitForBytesWritten(int msecs = 30000) override;
    Q_INVOKABLE bool waitForDisconnected(int msecs = 30000) override;
    Q_INVOKABLE QString errorString();
    Q_INVOKABLE ModbusBytes readAll();

    // Refused: writes go through writeAndWait, so that each frame is written and waited for in
    // the socket's thread.
    qint64 write(const ModbusBytes &bytes);

    bool isOwnThread() const;

    // Writes a frame on a socket of the calling thread: straight to the system when nothing is
    // queued, and queues only what the system does not take at once. The count written or
    // queued; -1 when nothing could be.
    static qint64 writeFrame(QTcpSocket &socket, const QByteArray &bytes);
    // The text Qt gives a wait on a socket that timed out, in Qt's own translation; for waits
    // made on the bare descriptor.
    static QString timedOutText();
};

#endif
