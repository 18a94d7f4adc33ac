#include "modbustcpserver.h"

#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "qtcpsocketinvokable.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kMbapPrefixSize = 6; // transaction, protocol and length fields
// The MBAP length counts the unit and the PDU: at least a function code, at most 253 bytes.
constexpr int kMinLength = 2;
constexpr int kMaxLength = 254;
// One read takes up to this much; whatever is left is reported again by the notifier.
constexpr int kReadChunk = 4096;

enum class Cut { Incomplete, Frame, BadLength };

// Cuts the first whole frame, by its MBAP length field, off the front of `pending`. A length
// that no frame can have leaves the stream without a way to find the next frame.
Cut takeFrame(ModbusBytes &pending, ModbusBytes &frame)
{
    if (pending.size() < kMbapPrefixSize)
        return Cut::Incomplete;
    const int length = pending.toUInt16(4);
    if (length < kMinLength || length > kMaxLength)
        return Cut::BadLength;
    const int size = kMbapPrefixSize + length;
    if (pending.size() < size)
        return Cut::Incomplete;
    // Mostly a read holds one whole frame: it is taken over as it is, without a copy.
    if (pending.size() == size) {
        frame = std::move(pending);
        pending.clear();
        return Cut::Frame;
    }
    frame = ModbusBytes(pending.left(size));
    pending.remove(0, size);
    return Cut::Frame;
}

// A dual-stack listener reports IPv4 peers as mapped IPv6 addresses; peers print as IPv4.
QHostAddress plainAddress(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 v4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(v4) : address;
}

void peerOf(qintptr descriptor, QHostAddress &address, quint16 &port)
{
    sockaddr_storage peer{};
    socklen_t size = sizeof(peer);
    address.clear();
    port = 0;
    if (::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&peer), &size) != 0)
        return;
    address = plainAddress(QHostAddress(reinterpret_cast<const sockaddr *>(&peer)));
    if (peer.ss_family == AF_INET)
        port = ntohs(reinterpret_cast<const sockaddr_in *>(&peer)->sin_port);
    else if (peer.ss_family == AF_INET6)
        port = ntohs(reinterpret_cast<const sockaddr_in6 *>(&peer)->sin6_port);
}

// Waits up to `ms` for the descriptor to become readable (or writable); false on a time-out.
bool waitFor(qintptr descriptor, short events, qint64 ms)
{
    pollfd one{int(descriptor), events, 0};
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        const qint64 left = ms - elapsed.elapsed();
        if (left <= 0)
            return false;
        const int ready = ::poll(&one, 1, int(left));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

ModbusTcpServer::ModbusTcpServer(QObject *parent) : ModbusTcpServer(502, parent) {}

ModbusTcpServer::ModbusTcpServer(int port, QObject *parent)
    : ModbusTransport(DorrikBus::ServerBus, parent), m_port(port)
{
    connect(&m_listener, &QTcpServer::newConnection, this, &ModbusTcpServer::onNewConnection);
}

ModbusTcpServer::~ModbusTcpServer()
{
    leaveRegistries();
    if (connected())
        disconnectTransport();
    // Peers left over (the close did not run): their notifiers die with the server.
    for (const Peer &peer : std::as_const(m_peers)) {
        peer.notifier->setEnabled(false);
        ::close(int(peer.descriptor));
        delete peer.target;
    }
    m_peers.clear();
    for (const Peer &peer : std::as_const(m_parked))
        delete peer.target;
    m_parked.clear();
    qDeleteAll(m_addedTargets);
    m_addedTargets.clear();
    disconnect(&m_listener, nullptr, this, nullptr);
}

bool ModbusTcpServer::sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                                QString *error)
{
    if (!checkCanSendBytes(target, error))
        return false;
    int index = socketIndexOf(target);
    if (index < 0) {
        setErrorString(tr("can't find socket of this target"), error);
        return false;
    }
    // An added target is served by its peer's connection.
    const ModbusTcpTarget *peer = m_peers.at(index).target;
    if (!writeAll(peer, bytes, error))
        return false;
    emit bytesSent(bytes, target);
    if (!answer)
        return true;

    // What arrives meanwhile goes through the same receiving as any request.
    m_lastReceived.clear();
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_lastReceived.isEmpty()) {
        index = peerIndex(peer);
        if (index < 0) {
            setErrorString(tr("can't find socket of this target"), error);
            return false;
        }
        const qint64 left = m_readAnswerWait - elapsed.elapsed();
        if (!waitFor(m_peers.at(index).descriptor, POLLIN, left)) {
            setErrorString(tr("answer timeout: %1").arg(QTcpSocketInvokable::timedOutText()),
                           error);
            return false;
        }
        ++m_handling;
        const Received received = receive(peer);
        if (--m_handling == 0)
            releaseParked();
        if (received == Received::Closed) {
            setErrorString(tr("can't find socket of this target"), error);
            return false;
        }
    }
    *answer = m_lastReceived;
    return true;
}

bool ModbusTcpServer::waitForIncomingConnection() const
{
    if (!connected())
        return false;
    return m_listener.waitForNewConnection(m_incomingConnectionWait);
}

bool ModbusTcpServer::hasTarget(const Target *target)
{
    // Both lists hold only TCP targets: found by identity, a target needs no type check.
    return target && (peerIndex(target) >= 0 || addedIndex(target) >= 0);
}

int ModbusTcpServer::targetsCount() const
{
    return int(m_peers.size() + m_addedTargets.size());
}

bool ModbusTcpServer::addTarget(ModbusTcpTarget *target)
{
    if (!target) {
        setErrorString(tr("invalid target type"));
        return false;
    }
    if (peerIndex(target) >= 0 || addedIndex(target) >= 0) {
        setErrorString(tr("also have this target"));
        return false;
    }
    m_addedTargets.append(target);
    emit targetAdded(target);
    return true;
}

bool ModbusTcpServer::removeTarget(ModbusTcpTarget *target)
{
    const int added = addedIndex(target);
    if (added >= 0) {
        m_addedTargets.removeAt(added);
        disconnect(target, nullptr, this, nullptr);
        emit targetRemoved(target);
        // An answer being produced for it may still hold it.
        m_parked.append({-1, nullptr, target, {}});
        if (m_handling == 0)
            releaseParked();
        return true;
    }
    if (peerIndex(target) < 0) {
        setErrorString(tr("don't have this target"));
        return false;
    }
    // Without its target the peer's requests could not be answered: let it go.
    closePeer(target);
    return true;
}

qint64 ModbusTcpServer::bytesAvailable(const Target *target)
{
    if (!connected())
        return 0;
    const int index = socketIndexOf(target);
    if (index < 0) {
        setErrorString(tr("unknown target"));
        return 0;
    }
    int count = 0;
    if (::ioctl(int(m_peers.at(index).descriptor), FIONREAD, &count) != 0)
        return 0;
    return count;
}

ModbusParser *ModbusTcpServer::createParser(QObject *parent)
{
    return new ModbusTCPParser(parent);
}

ModbusDeparser *ModbusTcpServer::createDeparser(QObject *parent)
{
    return new ModbusTCPDeparser(parent);
}

QString ModbusTcpServer::toString(bool oneLine) const
{
    QString text = tr("transport: %1 (%2)\n")
                       .arg(QStringLiteral("Modbus TCP server"), DorrikBus::busTypeStr(busType()));
    text += tr("status: ") +
            (connected() ? QStringLiteral("connected") : QStringLiteral("disconnected")) +
            QLatin1Char('\n');
    text += tr("address: %1; port: %2").arg(m_address.toString()).arg(m_port) + QLatin1Char('\n');
    text += tr("timeouts:  (disconnect: %1; read answer: %2; write: %3)\n")
                .arg(m_disconnectWait)
                .arg(m_readAnswerWait)
                .arg(m_writeWait);
    text += tr("targets [%1]:").arg(targetsCount()) + QLatin1Char('\n');
    QList<const ModbusTcpTarget *> targets;
    for (const Peer &peer : m_peers)
        targets << peer.target;
    for (const ModbusTcpTarget *target : m_addedTargets)
        targets << target;
    for (int i = 0; i < targets.size(); ++i)
        text += tr("  target %1: %2").arg(i).arg(targets.at(i)->toString(true)) + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusTcpServer::onNewConnection()
{
    for (qintptr descriptor; (descriptor = m_listener.takeDescriptor()) >= 0;) {
        QHostAddress address;
        quint16 port = 0;
        peerOf(descriptor, address, port);
        auto *target = new ModbusTcpTarget(address, port);
        bool accept = true;
        try {
            emit newClientConnection(target, accept);
        } catch (...) {
            // A failing receiver does not decide for the others.
        }
        if (!accept) {
            ::close(int(descriptor));
            delete target;
            continue;
        }
        auto *notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
        m_peers.append({descriptor, notifier, target, {}});
        connect(notifier, &QSocketNotifier::activated, this, &ModbusTcpServer::onReadyRead);
        emit targetAdded(target);
    }
}

void ModbusTcpServer::onReadyRead()
{
    const int index = peerIndex(qobject_cast<QSocketNotifier *>(sender()));
    if (index < 0)
        return;
    Peer &peer = m_peers[index];
    if (peer.receiving) {
        // Reported again from an event loop run inside this peer's answer: later.
        peer.notifier->setEnabled(false);
        return;
    }
    peer.receiving = true;
    const ModbusTcpTarget *target = peer.target;
    ++m_handling;
    receive(target);
    const int after = peerIndex(target);
    if (after >= 0) {
        Peer &still = m_peers[after];
        still.receiving = false;
        if (!still.notifier->isEnabled())
            still.notifier->setEnabled(true);
    }
    if (--m_handling == 0)
        releaseParked();
}

ModbusTcpServer::Received ModbusTcpServer::receive(const ModbusTcpTarget *target)
{
    int index = peerIndex(target);
    if (index < 0)
        return Received::Closed;
    char chunk[kReadChunk];
    ssize_t count;
    do {
        count = ::recv(int(m_peers.at(index).descriptor), chunk, sizeof(chunk), MSG_DONTWAIT);
    } while (count < 0 && errno == EINTR);
    if (count < 0 && wouldBlock(errno))
        return Received::Nothing;
    if (count <= 0) {
        // The peer closed, or the connection failed: either way it is gone, with no error.
        closePeer(target);
        return Received::Closed;
    }
    m_peers[index].pending.append(chunk, int(count));
    for (;;) {
        index = peerIndex(target);
        if (index < 0)
            return Received::Closed;
        ModbusBytes frame;
        const Cut cut = takeFrame(m_peers[index].pending, frame);
        if (cut == Cut::BadLength) {
            // Every later request on this connection would be misread: close it, so that the
            // peer notices and connects afresh.
            closePeer(target);
            return Received::Closed;
        }
        if (cut == Cut::Incomplete)
            return Received::Data;
        m_lastReceived = frame;
        answerFrame(target, frame);
    }
}

void ModbusTcpServer::answerFrame(const ModbusTcpTarget *target, const ModbusBytes &frame)
{
    emit bytesReceived(frame, target);
    // Every receiver may have waited, and the peer gone meanwhile: look it up again each time.
    if (peerIndex(target) < 0)
        return;
    ModbusBytes answer;
    emit requestBytesReceived(frame, target, &answer);
    if (answer.size() < 2 || peerIndex(target) < 0)
        return;
    // Masters match an answer to its request by the transaction identifier.
    answer[0] = frame[0];
    answer[1] = frame[1];
    QString error;
    if (!sendBytes(answer, target, nullptr, &error) && peerIndex(target) >= 0)
        setErrorString(error, nullptr);
}

bool ModbusTcpServer::writeAll(const ModbusTcpTarget *target, const ModbusBytes &bytes,
                               QString *error)
{
    const qintptr descriptor = m_peers.at(peerIndex(target)).descriptor;
    QElapsedTimer elapsed;
    elapsed.start();
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(int(descriptor), bytes.constData() + sent,
                                     size_t(bytes.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count > 0) {
            sent += count;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && wouldBlock(errno)) {
            // The system's buffer is full: the rest goes when the peer has read some.
            if (!waitFor(descriptor, POLLOUT, m_writeWait - elapsed.elapsed())) {
                setErrorString(tr("error while waiting for send bytes: %1")
                                   .arg(QTcpSocketInvokable::timedOutText()),
                               error);
                return false;
            }
            continue;
        }
        setErrorString(tr("error while sending bytes: %1").arg(qt_error_string(errno)), error);
        // A connection that fails a write is lost, as the peer's close would show next.
        closePeer(target);
        return false;
    }
    return true;
}

void ModbusTcpServer::onSocketDisconnected()
{
    const int index = peerIndex(qobject_cast<QSocketNotifier *>(sender()));
    if (index >= 0)
        closePeer(m_peers.at(index).target);
}

bool ModbusTcpServer::connectTransportInternal()
{
    if (!m_listener.listen(m_address, quint16(m_port))) {
        setConnectError(
            tr("error listening tcp port %1: %2").arg(m_port).arg(m_listener.errorString()));
        return false;
    }
    return true;
}

bool ModbusTcpServer::disconnectTransportInternal()
{
    m_listener.close();
    // The last peer first.
    while (!m_peers.isEmpty())
        closePeer(m_peers.last().target);
    return true;
}

int ModbusTcpServer::peerIndex(const QSocketNotifier *notifier) const
{
    if (!notifier)
        return -1;
    for (int i = 0; i < m_peers.size(); ++i)
        if (m_peers.at(i).notifier == notifier)
            return i;
    return -1;
}

int ModbusTcpServer::peerIndex(const Target *target) const
{
    for (int i = 0; i < m_peers.size(); ++i)
        if (m_peers.at(i).target == target)
            return i;
    return -1;
}

int ModbusTcpServer::socketIndexOf(const Target *target)
{
    // A peer's own target, the case of every answer, is found by identity first.
    const int index = target ? peerIndex(target) : -1;
    if (index >= 0)
        return index;
    if (!dynamic_cast<const ModbusTcpTarget *>(target)) {
        setErrorString(tr("invalid target type"));
        return -1;
    }
    // A target of the server's own is served by the peer with its address and port.
    const int added = addedIndex(target);
    if (added < 0)
        return -1;
    const ModbusTcpTarget *own = m_addedTargets.at(added);
    for (int i = 0; i < m_peers.size(); ++i) {
        const ModbusTcpTarget *peer = m_peers.at(i).target;
        if (peer->address() == own->address() && peer->port() == own->port())
            return i;
    }
    return -1;
}

int ModbusTcpServer::addedIndex(const Target *target) const
{
    for (int i = 0; i < m_addedTargets.size(); ++i)
        if (m_addedTargets.at(i) == target)
            return i;
    return -1;
}

void ModbusTcpServer::closePeer(const ModbusTcpTarget *target)
{
    const int index = peerIndex(target);
    if (index < 0)
        return;
    const Peer peer = m_peers.takeAt(index);
    // Off before the close, so that the event loop never watches a descriptor of another.
    peer.notifier->setEnabled(false);
    disconnect(peer.notifier, nullptr, this, nullptr);
    ::close(int(peer.descriptor));
    disconnect(peer.target, nullptr, this, nullptr);
    emit targetRemoved(peer.target);
    m_parked.append(peer);
    if (m_handling == 0)
        releaseParked();
}

void ModbusTcpServer::releaseParked()
{
    // Later, not now: the notifier that reported the loss may still be on the stack.
    for (const Peer &peer : std::as_const(m_parked)) {
        peer.target->deleteLater();
        if (peer.notifier)
            peer.notifier->deleteLater();
    }
    m_parked.clear();
}
