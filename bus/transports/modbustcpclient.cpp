#include "modbustcpclient.h"

#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "objectthreadcall.h"
#include "qtcpsocketinvokable.h"

#include <QElapsedTimer>
#include <QMetaMethod>
#include <QMutexLocker>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

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

// Cuts the answer of this exchange out of what the socket holds: true when the exchange is
// over (`result` says how), false while the answer is incomplete. Frames of other transactions
// (late answers to requests that timed out) are dropped on the way.
bool takeAnswer(QTcpSocket &socket, bool matchTransaction, quint16 transaction,
                ExchangeResult &result)
{
    for (;;) {
        qint64 size = 0;
        const HeaderCheck header = checkHeader(socket, size);
        if (header == HeaderCheck::BadLength) {
            result.badLength = true;
            return true;
        }
        if (header == HeaderCheck::NotModbus) {
            // Returned as it is, for the parser to refuse.
            result.answer = socket.readAll();
            result.done = true;
            return true;
        }
        if (header == HeaderCheck::Incomplete || socket.bytesAvailable() < size)
            return false;
        const QByteArray frame = socket.read(size);
        if (!matchTransaction || transactionOf(frame) == transaction) {
            result.answer = frame;
            result.done = true;
            return true;
        }
    }
}

// Writes the bytes on the socket and waits until the system has taken them all; in the
// socket's thread. False, with the socket's error, when the write fails or the wait times out.
bool writeWhole(QTcpSocket &socket, const QByteArray &bytes, int writeTimeout)
{
    if (QTcpSocketInvokable::writeFrame(socket, bytes) != bytes.size())
        return false;
    // Only what the system did not take at once is queued; flushing it first spares the poll
    // of a wait when it takes the rest now.
    if (socket.bytesToWrite() > 0)
        socket.flush();
    return socket.bytesToWrite() == 0 || socket.waitForBytesWritten(writeTimeout);
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
    if (!writeWhole(socket, request, writeTimeout)) {
        result.socketError = socket.errorString();
        return result;
    }
    const bool matchTransaction = request.size() >= kMbapPrefixSize;
    const quint16 transaction = matchTransaction ? transactionOf(request) : 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        if (takeAnswer(socket, matchTransaction, transaction, result))
            return result;
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

// What an exchange waiting in the caller's thread and the socket's handlers in the socket's
// thread share: the handlers cut the answer out of what arrives and wake the exchange.
struct TcpAnswerWait
{
    std::mutex mutex;
    std::condition_variable answered;
    // An exchange waits for its answer; only then do arriving bytes go to it.
    bool active = false;
    // The wait is over and `result` holds its outcome.
    bool finished = false;
    bool matchTransaction = false;
    quint16 transaction = 0;
    // Bytes are left in the socket from before: the next exchange drops them first, in the
    // socket's thread.
    bool stale = false;
    ExchangeResult result;

    // At every readyRead, in the socket's thread.
    void collect(QTcpSocket &socket)
    {
        bool abort = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!active) {
                stale = socket.bytesAvailable() > 0;
                return;
            }
            if (!takeAnswer(socket, matchTransaction, transaction, result))
                return;
            // Whatever follows such a header cannot be cut into frames any more: start afresh.
            abort = result.badLength;
            active = false;
            finished = true;
            stale = socket.bytesAvailable() > 0;
        }
        answered.notify_one();
        // Outside the lock: the abort reports the loss at once.
        if (abort)
            socket.abort();
    }

    // At the loss of the connection, in the socket's thread.
    void lose(QTcpSocket &socket)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!active)
                return;
            takeWhatCame(socket, socket.errorString());
        }
        answered.notify_one();
    }

    // Ends the wait with the bytes that came so far (a partial answer, for the parser to
    // refuse), or with `error` when none did. In the socket's thread, under the lock.
    void takeWhatCame(QTcpSocket &socket, const QString &error)
    {
        active = false;
        finished = true;
        stale = false;
        if (socket.bytesAvailable() > 0) {
            result.answer = socket.readAll();
            result.done = true;
        } else {
            result.socketError = error;
        }
    }
};

namespace {

// Writes the request on the descriptor and sleeps until the socket's thread hands over the
// answer. False, with nothing written, when the exchange must go through the socket's thread
// instead: bytes left from an earlier exchange, or a write the system did not take at once.
bool exchangeDirect(QTcpSocketInvokable &socket, int descriptor, TcpAnswerWait &wait,
                    const ModbusBytes &request, int writeTimeout, int readTimeout,
                    ExchangeResult &result)
{
    if (descriptor < 0)
        return false;
    {
        std::lock_guard<std::mutex> lock(wait.mutex);
        if (wait.stale)
            return false;
        wait.active = true;
        wait.finished = false;
        wait.result = ExchangeResult();
        wait.matchTransaction = request.size() >= kMbapPrefixSize;
        wait.transaction = wait.matchTransaction ? transactionOf(request) : 0;
    }
    const ssize_t sent = ::send(descriptor, request.constData(), size_t(request.size()),
                                MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent <= 0) {
        std::lock_guard<std::mutex> lock(wait.mutex);
        wait.active = false;
        return false;
    }
    if (sent < request.size()) {
        // The system took part of it: the rest goes through the socket, which waits for it.
        const QByteArray rest = request.mid(sent);
        QString error;
        const bool written = callInObjectThread(socket, [&] {
            if (writeWhole(socket, rest, writeTimeout))
                return true;
            error = socket.QTcpSocket::errorString();
            return false;
        });
        if (!written) {
            std::lock_guard<std::mutex> lock(wait.mutex);
            wait.active = false;
            result.socketError = error;
            return true;
        }
    }
    std::unique_lock<std::mutex> lock(wait.mutex);
    if (wait.answered.wait_for(lock, std::chrono::milliseconds(readTimeout),
                               [&] { return wait.finished; })) {
        result = wait.result;
        return true;
    }
    lock.unlock();
    // Timed out: what came so far is in the socket, in its thread.
    bool ran = false;
    callInObjectThread(
        socket,
        [&] {
            std::lock_guard<std::mutex> inThread(wait.mutex);
            if (!wait.finished)
                wait.takeWhatCame(socket, QTcpSocketInvokable::timedOutText());
            result = wait.result;
        },
        &ran);
    if (!ran) {
        std::lock_guard<std::mutex> again(wait.mutex);
        wait.active = false;
        result.socketError = QTcpSocketInvokable::timedOutText();
    }
    return true;
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
    TcpAnswerWait &wait = *m_answerWait;
    if (socket->isOwnThread() || !exchangeDirect(*socket, m_sendDescriptor, wait, frame,
                                                 writeTimeout, readTimeout, result)) {
        auto work = [&] {
            result = exchangeInSocketThread(*socket, frame, writeTimeout, readTimeout);
            {
                std::lock_guard<std::mutex> lock(wait.mutex);
                wait.stale = socket->QTcpSocket::bytesAvailable() > 0;
            }
            // Whatever follows such a header cannot be cut into frames any more: start afresh.
            if (result.badLength)
                socket->abort();
        };
        callInObjectThread(*socket, work);
    }
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
    // In the socket's thread: the answers of the exchanges that wait in their callers' threads.
    auto wait = std::make_shared<TcpAnswerWait>();
    connect(socket, &QIODevice::readyRead, socket, [socket, wait] { wait->collect(*socket); });
    connect(socket, &QAbstractSocket::disconnected, socket,
            [socket, wait] { wait->lose(*socket); });
    socket->connectToHost(m_target.address(), quint16(m_target.port()), QIODevice::ReadWrite);
    if (!socket->waitForConnected(m_connectTimeout.load())) {
        const QString text =
            tr("can't connect to: %1, %2").arg(m_target.addressStr(), socket->errorString());
        disconnect(socket, nullptr, this, nullptr);
        socket->deleteLater();
        setConnectError(text);
        return false;
    }
    const qintptr descriptor =
        callInObjectThread(*socket, [socket] { return socket->socketDescriptor(); });
    QMutexLocker locker(&m_exchangeMutex);
    m_socket = socket;
    m_answerWait = wait;
    m_sendDescriptor = descriptor >= 0 ? ::fcntl(int(descriptor), F_DUPFD_CLOEXEC, 0) : -1;
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
    if (m_sendDescriptor >= 0)
        ::close(m_sendDescriptor);
    m_sendDescriptor = -1;
    m_answerWait.reset();
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
