#include "modbustcpserver.h"

#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "qtcpsocketinvokable.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>

namespace {

constexpr int kMbapPrefixSize = 6; // transaction, protocol and length fields
// The MBAP length counts the unit and the PDU: at least a function code, at most 253 bytes.
constexpr int kMinLength = 2;
constexpr int kMaxLength = 254;

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
    // Peers that would not close: their sockets die with the listener, which must not report
    // to a half-destroyed server.
    for (const Peer &peer : std::as_const(m_peers)) {
        disconnect(peer.socket, nullptr, this, nullptr);
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
    QTcpSocket *socket = socketOf(target);
    if (!socket) {
        setErrorString(tr("can't find socket of this target"), error);
        return false;
    }
    if (QTcpSocketInvokable::writeFrame(*socket, bytes) != bytes.size()) {
        setErrorString(tr("error while sending bytes: %1").arg(socket->errorString()), error);
        return false;
    }
    // Only what the system did not take at once is queued; flushing it first spares the poll
    // of a wait when it takes the rest now.
    if (socket->bytesToWrite() > 0)
        socket->flush();
    if (socket->bytesToWrite() > 0 && !socket->waitForBytesWritten(m_writeWait)) {
        setErrorString(tr("error while waiting for send bytes: %1").arg(socket->errorString()),
                       error);
        return false;
    }
    emit bytesSent(bytes, target);
    if (!answer)
        return true;

    // What arrives meanwhile goes through onReadyRead like any request.
    m_lastReceived.clear();
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_lastReceived.isEmpty()) {
        const qint64 left = m_readAnswerWait - elapsed.elapsed();
        if (left <= 0 || !socket->waitForReadyRead(int(left))) {
            setErrorString(tr("answer timeout: %1").arg(socket->errorString()), error);
            return false;
        }
        // The peer may have gone during the wait.
        socket = socketOf(target);
        if (!socket) {
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
        m_parked.append({nullptr, target, {}});
        if (m_handling == 0)
            releaseParked();
        return true;
    }
    const int index = peerIndex(target);
    if (index < 0) {
        setErrorString(tr("don't have this target"));
        return false;
    }
    // Without its target the peer's requests could not be answered: let it go.
    QTcpSocket *socket = m_peers.at(index).socket;
    socket->abort();
    if (peerIndex(socket) >= 0)
        removePeer(socket);
    return true;
}

qint64 ModbusTcpServer::bytesAvailable(const Target *target)
{
    if (!connected())
        return 0;
    QTcpSocket *socket = socketOf(target);
    if (!socket) {
        setErrorString(tr("unknown target"));
        return 0;
    }
    return int(socket->bytesAvailable());
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
    while (QTcpSocket *socket = m_listener.nextPendingConnection()) {
        auto *target = new ModbusTcpTarget(plainAddress(socket->peerAddress()), socket->peerPort());
        bool accept = true;
        try {
            emit newClientConnection(target, accept);
        } catch (...) {
            // A failing receiver does not decide for the others.
        }
        if (!accept) {
            socket->disconnectFromHost();
            socket->deleteLater();
            delete target;
            continue;
        }
        m_peers.append({socket, target, {}});
        connect(socket, &QIODevice::readyRead, this, &ModbusTcpServer::onReadyRead);
        connect(socket, &QAbstractSocket::disconnected, this,
                &ModbusTcpServer::onSocketDisconnected);
        emit targetAdded(target);
        // A peer that left while the receivers decided has no disconnect left to report.
        if (peerIndex(socket) >= 0 && socket->state() != QAbstractSocket::ConnectedState)
            removePeer(socket);
    }
}

void ModbusTcpServer::onReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    const QPointer<QTcpSocket> alive(socket);
    ++m_handling;
    // Qt does not report bytes that arrive while readyRead is being handled (the answer's
    // write wait reads them in), so the loop also takes what came in meanwhile.
    for (;;) {
        if (!alive)
            break;
        const int index = peerIndex(socket);
        if (index < 0)
            break;
        ModbusBytes &pending = m_peers[index].pending;
        pending.append(socket->readAll());
        ModbusBytes frame;
        const Cut cut = takeFrame(pending, frame);
        if (cut == Cut::BadLength) {
            // Every later request on this connection would be misread: close it, so that the
            // peer notices and connects afresh. The loss removes the peer.
            socket->abort();
            if (peerIndex(socket) >= 0)
                removePeer(socket);
            break;
        }
        if (cut == Cut::Incomplete) {
            if (socket->bytesAvailable() == 0)
                break;
            continue;
        }
        m_lastReceived = frame;
        answerFrame(socket, frame);
    }
    if (--m_handling == 0)
        releaseParked();
}

void ModbusTcpServer::answerFrame(QTcpSocket *socket, const ModbusBytes &frame)
{
    const int index = peerIndex(socket);
    if (index < 0)
        return;
    ModbusTcpTarget *target = m_peers.at(index).target;
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

void ModbusTcpServer::onSocketDisconnected()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    if (peerIndex(socket) >= 0) {
        removePeer(socket);
        return;
    }
    disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
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
    // The last peer first; a closing socket leaves the list through onSocketDisconnected.
    while (!m_peers.isEmpty()) {
        QTcpSocket *socket = m_peers.last().socket;
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState &&
            !socket->waitForDisconnected(m_disconnectWait)) {
            setErrorString(tr("can't disconnect socket: %1, %2")
                               .arg(socket->peerAddress().toString(), socket->errorString()),
                           nullptr);
            return false;
        }
        // One that closed without reporting it leaves here, so that the loop ends.
        if (peerIndex(socket) >= 0)
            removePeer(socket);
    }
    return true;
}

int ModbusTcpServer::peerIndex(const QTcpSocket *socket) const
{
    for (int i = 0; i < m_peers.size(); ++i)
        if (m_peers.at(i).socket == socket)
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

QTcpSocket *ModbusTcpServer::socketOf(const Target *target)
{
    // A peer's own target, the case of every answer, is found by identity first.
    const int index = target ? peerIndex(target) : -1;
    if (index >= 0)
        return m_peers.at(index).socket;
    if (!dynamic_cast<const ModbusTcpTarget *>(target)) {
        setErrorString(tr("invalid target type"));
        return nullptr;
    }
    // A target of the server's own is served by the peer with its address and port.
    const int added = addedIndex(target);
    if (added < 0)
        return nullptr;
    const ModbusTcpTarget *own = m_addedTargets.at(added);
    for (const Peer &peer : std::as_const(m_peers)) {
        if (peer.target->address() == own->address() && peer.target->port() == own->port())
            return peer.socket;
    }
    return nullptr;
}

int ModbusTcpServer::addedIndex(const Target *target) const
{
    for (int i = 0; i < m_addedTargets.size(); ++i)
        if (m_addedTargets.at(i) == target)
            return i;
    return -1;
}

void ModbusTcpServer::removePeer(QTcpSocket *socket)
{
    const int index = peerIndex(socket);
    if (index < 0)
        return;
    const Peer peer = m_peers.takeAt(index);
    disconnect(peer.socket, nullptr, this, nullptr);
    disconnect(peer.target, nullptr, this, nullptr);
    emit targetRemoved(peer.target);
    m_parked.append(peer);
    if (m_handling == 0)
        releaseParked();
}

void ModbusTcpServer::releaseParked()
{
    // Later, not now: the socket's own code that reported the loss is still on the stack.
    for (const Peer &peer : std::as_const(m_parked)) {
        peer.target->deleteLater();
        if (peer.socket)
            peer.socket->deleteLater();
    }
    m_parked.clear();
}
