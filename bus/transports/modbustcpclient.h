#ifndef MODBUSTCPCLIENT_H
#define MODBUSTCPCLIENT_H

#include "dorrikbus_global.h"
#include "modbustcptarget.h"
#include "modbustransport.h"

#include <QHostAddress>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <memory>

class QTcpSocketInvokable;
struct TcpAnswerWait;

// The master's link to one Modbus TCP server. The socket lives on a thread of its own, so that
// sendBytes may be called from any thread (the polling client's executor) while the socket's
// events are handled where it lives. Each exchange writes one MBAP frame and reads back one
// frame, cut by the MBAP length field. A lost connection is reported and, with autoReconnect,
// retried every autoReconnectInterval with a new socket.
//
// Threads: the object (connect, close, loss reports, bytesSent) lives in its creator's thread;
// the socket is touched only through QTcpSocketInvokable; exchanges run in the caller's thread.
// An exchange writes its request on the connection's descriptor itself and sleeps until the
// socket's thread, woken by the answer, hands the frame over: the socket's thread is not woken
// for the write, so a request costs one wake-up of it instead of two.
class DORRIKBUS_EXPORT ModbusTcpClient : public ModbusTransport
{
    Q_OBJECT
    Q_PROPERTY(QString address READ addressStr WRITE setAddressStr NOTIFY addressChanged)
    Q_PROPERTY(int port READ port WRITE setPort NOTIFY portChanged)

public:
    explicit ModbusTcpClient(QObject *parent = nullptr);
    ModbusTcpClient(const QHostAddress &address, int port, QObject *parent = nullptr);
    ModbusTcpClient(const ModbusTcpTarget &target, QObject *parent = nullptr);
    ~ModbusTcpClient() override;

    // A new address or port is used at the next connect.
    QHostAddress address() const { return m_target.address(); }
    void setAddress(const QHostAddress &address);
    QString addressStr() const { return m_target.addressStr(); }
    // A text that is not a host address is ignored.
    void setAddressStr(const QString &text);
    int port() const { return m_target.port(); }
    void setPort(int port);

    int connectTimeout() const { return m_connectTimeout.load(); }
    void setConnectTimeout(int ms) { m_connectTimeout = ms; }
    int disconnectTimeout() const { return m_disconnectTimeout.load(); }
    void setDisconnectTimeout(int ms) { m_disconnectTimeout = ms; }
    int readAnswerTimeout() const { return m_readAnswerTimeout.load(); }
    void setReadAnswerTimeout(int ms) { m_readAnswerTimeout = ms; }
    int writeTimeout() const { return m_writeTimeout.load(); }
    void setWriteTimeout(int ms) { m_writeTimeout = ms; }

    const ModbusTcpTarget *target() const { return &m_target; }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    const Target *clientTarget() override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    // Emits bytesSent in the client's own thread, whatever thread calls it.
    Q_INVOKABLE void emitBytesSent(const ModbusBytes &bytes);

public slots:
    void onSocketDisconnected();
    // A slot, so that the move can be invoked by name.
    void moveToThread(QThread *thread);

signals:
    void addressChanged();
    void portChanged();

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    // Caller holds m_exchangeMutex.
    void releaseSocket();

    ModbusTcpTarget m_target;
    // Written in the owner's thread under m_exchangeMutex; exchanges read it under the same lock.
    QTcpSocketInvokable *m_socket = nullptr;
    // A duplicate of the socket's descriptor for the exchanges' writes, so that it stays the
    // same connection whatever the socket's thread closes; -1 without a socket. Under
    // m_exchangeMutex.
    int m_sendDescriptor = -1;
    // Shared with the socket's handlers in its thread; one per socket. Under m_exchangeMutex.
    std::shared_ptr<TcpAnswerWait> m_answerWait;
    // Counts the sockets made, so that a loss report queued by an earlier socket is told apart
    // from one of the current socket. Owner's thread only.
    quint64 m_socketGeneration = 0;
    // The transaction identifier of the last request; under m_exchangeMutex.
    quint16 m_transactionId = 0;
    // The request being sent, kept so that its storage serves the next one; under
    // m_exchangeMutex.
    ModbusBytes m_frame;
    // Set in any thread, read by exchanges in the caller's thread.
    std::atomic<int> m_disconnectTimeout{1000};
    std::atomic<int> m_connectTimeout{1000};
    std::atomic<int> m_readAnswerTimeout{1000};
    std::atomic<int> m_writeTimeout{1000};
    // One exchange at a time; also keeps a loss report, a close or a reconnect from changing
    // the socket under a running exchange.
    QMutex m_exchangeMutex;
    QThread m_socketThread;
};

#endif
