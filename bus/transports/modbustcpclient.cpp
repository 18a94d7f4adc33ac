#include "modbustcpclient.h"

#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "objectthreadcall.h"
#include "qtcpsocketinvokable.h"

#include <QElapsedTimer>
#include <QMetaMethod>
#include <QMutexLocker>

#include <algorithm>

namespace {

constexpr int kMbapPrefixSize = 6; // transaction, protocol and length fields
// The MBAP length counts the unit and the PDU: at least a function code, at most 253 bytes.
constexpr int kMinLength = 2;
constexpr int kMaxLength = 254;

struct ExchangeResult
{
    bool done = false;
    // The answer's header announced a length no frame can have; the stream is out of step.
    bool badLength = false;
    ModbusBytes answer;
    QString socketError;
};

enum class HeaderCheck { Incomplete, Frame, NotModbus, BadLength };

// Whether the socket holds the header of a Modbus TCP frame, and its size when it does.
HeaderCheck checkHeader(QTcpSocket &socket, qint64 &size)
{
    unsigned char header[kMbapPrefixSize];
    if (socket.peek(reinterpret_cast<char *>(header), kMbapPrefixSize) < kMbapPrefixSize)
        return HeaderCheck::Incomplete;
    const int protocol = header[2] << 8 | header[3];
    const int length = header[4] << 8 | header[5];
    if (protocol != 0)
        return HeaderCheck::NotModbus;
    if (length < kMinLength || length > kMaxLength)
        return HeaderCheck::BadLength;
    size = kMbapPrefixSize + length;
    return HeaderCheck::Frame;
}

quint16 transactionOf(const QByteArray &frame)
{
    return quint16(quint8(frame.at(0)) << 8 | quint8(frame.at(1)));
}

// One whole exchange in the socket's thread, so that it costs a single hop: drop what an
// earlier exchange left, write, and read until the frame of this transaction is complete or
// the read time-out has passed. Frames of other transactions (late answers to requests that
// timed out) are dropped on the way.
ExchangeResult exchangeInSocketThread(QTcpSocket &socket, const ModbusBytes &request,
                                      int writeTimeout, int readTimeout)
{
    ExchangeResult result;
    // A late answer to an earlier request must not be taken for this one.
    socket.readAll();
    if (QTcpSocketInvokable::writeFrame(socket, request) != request.size()) {
        result.socketError = socket.errorString();
        return result;
    }
    // Only what the system did not take at once is queued; flushing it first spares the poll
    // of a wait when it takes the rest now.
    if (socket.bytesToWrite() > 0)
        socket.flush();
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(writeTimeout)) {
        result.socketError = socket.errorString();
        return result;
    }
    const bool matchTransaction = request.size() >= kMbapPrefixSize;
    const quint16 transaction = matchTransaction ? transactionOf(request) : 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        qint64 size = 0;
        const HeaderCheck header = checkHeader(socket, size);
        if (header == HeaderCheck::BadLength) {
            result.badLength = true;
            return result;
        }
        if (header == HeaderCheck::NotModbus)
            break;
        if (header == HeaderCheck::Frame && socket.bytesAvailable() >= size) {
            const QByteArray frame = socket.read(size);
            if (!matchTransaction || transactionOf(frame) == transaction) {
                result.answer = frame;
                result.done = true;
                return result;
            }
            continue;
        }
        const qint64 left = readTimeout - elapsed.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            break;
    }
    if (socket.bytesAvailable() == 0) {
        result.socketError = socket.errorString();
        return result;
    }
    // A partial or malformed answer is returned as it is, for the parser to refuse.
    result.answer = socket.readAll();
    result.done = true;
    return result;
}

} // namespace

ModbusTcpClient::ModbusTcpClient(QObject *parent) : ModbusTransport(DorrikBus::ClientBus, parent)
{
    m_socketThread.start(QThread::InheritPriority);
    m_socketThread.setPriority(QThread::LowPriority);
}

ModbusTcpClient::ModbusTcpClient(const QHostAddress &address, int port, QObject *parent)
    : ModbusTcpClient(parent)
{
    m_target.setAddress(address);
    m_target.setPort(port);
}

ModbusTcpClient::ModbusTcpClient(const ModbusTcpTarget &target, QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent), m_target(target)
{
    m_socketThread.start(QThread::InheritPriority);
    m_socketThread.setPriority(QThread::LowPriority);
}

ModbusTcpClient::~ModbusTcpClient()
{
    leaveRegistries();
    if (connected())
        disconnectTransport();
    {
        QMutexLocker locker(&m_exchangeMutex);
        releaseSocket();
    }
    // The socket's deferred deletion runs as the thread finishes.
    m_socketThread.quit();
    m_socketThread.wait();
}

void ModbusTcpClient::setAddress(const QHostAddress &address)
{
    if (m_target.address() == address)
        return;
    m_target.setAddress(address);
    emit addressChanged();
}

void ModbusTcpClient::setAddressStr(const QString &text)
{
    if (text == addressStr())
        return;
    QHostAddress address;
    if (!address.setAddress(text))
        return;
    setAddress(address);
}

void ModbusTcpClient::setPort(int port)
{
    if (m_target.port() == port)
        return;
    m_target.setPort(port);
    emit portChanged();
}

bool ModbusTcpClient::sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                                QString *error)
{
    if (!target)
        target = &m_target;
    QMutexLocker locker(&m_exchangeMutex);
    if (!checkCanSendBytes(target, error))
        return false;
    QTcpSocketInvokable *socket = m_socket;
    if (!socket) {
        // Closed in the owner's thread while this exchange waited for the lock.
        setErrorString(tr("can't send bytes via disconnected transport"), error);
        return false;
    }
    // Each request gets the next transaction identifier, so that its answer is told apart
    // from a late answer to an earlier one. The frame is built in a buffer kept from one
    // exchange to the next.
    ModbusBytes &frame = m_frame;
    frame.resize(bytes.size());
    std::copy(bytes.cbegin(), bytes.cend(), frame.begin());
    if (frame.size() >= kMbapPrefixSize) {
        ++m_transactionId;
        frame[0] = char(m_transactionId >> 8);
        frame[1] = char(m_transactionId & 0xFF);
    }
    emitBytesSent(frame);

    const int writeTimeout = m_writeTimeout.load();
    const int readTimeout = m_readAnswerTimeout.load();
    ExchangeResult result;
    auto work = [&] {
        result = exchangeInSocketThread(*socket, frame, writeTimeout, readTimeout);
        // Whatever follows such a header cannot be cut into frames any more: start afresh.
        if (result.badLength)
            socket->abort();
    };
    callInObjectThread(*socket, work);
    if (result.badLength) {
        setErrorString(tr("error sending/receiving bytes: %1")
                           .arg(tr("answer with an invalid MBAP length, connection reset")),
                       error);
        return false;
    }
    if (!result.done) {
        setErrorString(tr("error sending/receiving bytes: %1").arg(result.socketError), error);
        return false;
    }
    if (answer) {
        *answer = result.answer;
        emit bytesReceived(*answer, &m_target);
    }
    return true;
}

void ModbusTcpClient::emitBytesSent(const ModbusBytes &bytes)
{
    if (QThread::currentThread() == thread()) {
        emit bytesSent(bytes, &m_target);
        return;
    }
    // Waking the owner's thread for every frame costs the exchange time; nobody, nothing to do.
    static const QMetaMethod signal = QMetaMethod::fromSignal(&Transport::bytesSent);
    if (!isSignalConnected(signal))
        return;
    QMetaObject::invokeMethod(
        this, [this, bytes] { emit bytesSent(bytes, &m_target); }, Qt::QueuedConnection);
}

bool ModbusTcpClient::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusTcpClient::targetsCount() const
{
    return 1;
}

qint64 ModbusTcpClient::bytesAvailable(const Target *target)
{
    QMutexLocker locker(&m_exchangeMutex);
    if (!connected() || !m_socket)
        return 0;
    if (target != &m_target) {
        setErrorString(tr("unknown target"));
        return 0;
    }
    return int(m_socket->bytesAvailable());
}

const Target *ModbusTcpClient::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusTcpClient::createParser(QObject *parent)
{
    return new ModbusTCPParser(parent);
}

ModbusDeparser *ModbusTcpClient::createDeparser(QObject *parent)
{
    return new ModbusTCPDeparser(parent);
}

QString ModbusTcpClient::toString(bool oneLine) const
{
    QString text = tr("transport: %1 (%2)\n")
                       .arg(QStringLiteral("Modbus TCP client"), DorrikBus::busTypeStr(busType()));
    text += tr("status: ") +
            (connected() ? QStringLiteral("connected") : QStringLiteral("disconnected")) +
            QLatin1Char('\n');
    text += tr("target: %1").arg(m_target.toString(true)) + QLatin1Char('\n');
    text += tr("timeouts:  (connect: %1; disconnect: %2; read answer: %3; write: %4)\n")
                .arg(m_connectTimeout.load())
                .arg(m_disconnectTimeout.load())
                .arg(m_readAnswerTimeout.load())
                .arg(m_writeTimeout.load());
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusTcpClient::moveToThread(QThread *thread)
{
    QObject::moveToThread(thread);
}

bool ModbusTcpClient::connectTransportInternal()
{
    {
        QMutexLocker locker(&m_exchangeMutex);
        releaseSocket();
    }
    auto *socket = new QTcpSocketInvokable;
    socket->moveToThread(&m_socketThread);
    // Connected before the connection exists, so that no loss can slip between the two. A
    // report queued by an older socket carries an older generation and is ignored.
    const quint64 generation = ++m_socketGeneration;
    connect(socket, &QAbstractSocket::disconnected, this, [this, generation] {
        if (generation == m_socketGeneration)
            onSocketDisconnected();
    });
    socket->connectToHost(m_target.address(), quint16(m_target.port()), QIODevice::ReadWrite);
    if (!socket->waitForConnected(m_connectTimeout.load())) {
        const QString text =
            tr("can't connect to: %1, %2").arg(m_target.addressStr(), socket->errorString());
        disconnect(socket, nullptr, this, nullptr);
        socket->deleteLater();
        setConnectError(text);
        return false;
    }
    QMutexLocker locker(&m_exchangeMutex);
    m_socket = socket;
    return true;
}

bool ModbusTcpClient::disconnectTransportInternal()
{
    QString text;
    {
        QMutexLocker locker(&m_exchangeMutex);
        if (!m_socket)
            return true;
        // The close below is no loss of the connection.
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->disconnectFromHost();
        if (m_socket->waitForDisconnected(m_disconnectTimeout.load())) {
            releaseSocket();
            return true;
        }
        text = tr("can't disconnect tcp socket: %1, %2")
                   .arg(m_socket->peerAddress().toString(), m_socket->errorString());
    }
    setErrorString(text, nullptr);
    return false;
}

void ModbusTcpClient::releaseSocket()
{
    if (!m_socket)
        return;
    disconnect(m_socket, nullptr, this, nullptr);
    m_socket->deleteLater();
    m_socket = nullptr;
}

void ModbusTcpClient::onSocketDisconnected()
{
    QString text;
    {
        QMutexLocker locker(&m_exchangeMutex);
        if (!m_socket)
            return;
        text = tr("socket has been disconnected: %1").arg(m_socket->errorString());
    }
    // Reported outside the lock: a listener of the error may start an exchange.
    setErrorString(text, nullptr);
    autoDisconnect();
}
