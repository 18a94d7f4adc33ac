#include "modbustftpserver.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "tftpdatagram.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QThread>

namespace {

// The request frame's hex text follows the opcode and this marker.
constexpr char frameMarker = '=';
constexpr int frameOffset = 3;

} // namespace

ModbusTFtpServer::ModbusTFtpServer(QObject *parent)
    : ModbusTransport(DorrikBus::ServerBus, parent, false)
{
    initFields();
}

ModbusTFtpServer::ModbusTFtpServer(int port, QObject *parent)
    : ModbusTransport(DorrikBus::ServerBus, parent, false), m_port(port)
{
    initFields();
}

ModbusTFtpServer::~ModbusTFtpServer()
{
    leaveRegistries();
    if (connected())
        disconnectTransport();
    m_socket.disconnect(this);
}

void ModbusTFtpServer::initFields()
{
    m_incomingTimeout = 1000;
    m_disconnectTimeout = 1000;
    m_readAnswerTimeout = 1000;
    m_writeTimeout = 1000;
    m_modeSuffix = TFtpDatagram::modeSuffix();
    connect(&m_socket, &QUdpSocket::readyRead, this, &ModbusTFtpServer::onReadyRead,
            Qt::UniqueConnection);
}

QString ModbusTFtpServer::tftpErrorStr(quint16 code)
{
    return TFtpDatagram::errorText(code);
}

ModbusBytes ModbusTFtpServer::packBytes(const ModbusBytes &frame) const
{
    // DATA, block 1: the whole answer fits in the one block.
    ModbusBytes datagram = ModbusBytes::fromHex("00030001");
    datagram.append(frame);
    return datagram;
}

ModbusBytes ModbusTFtpServer::depackBytes(const ModbusBytes &datagram)
{
    const quint16 opcode = datagram.toUInt16(0);
    switch (opcode) {
    case TFtpDatagram::Ack:
        return {};
    case TFtpDatagram::Error:
        setErrorString(
            tr("error from TFtp server received: %1").arg(tftpErrorStr(datagram.toUInt16(2))),
            nullptr);
        return {};
    case TFtpDatagram::ReadRequest: {
        const int textSize = int(datagram.size()) - frameOffset - int(m_modeSuffix.size());
        if (textSize < 0 || datagram.at(2) != quint8(frameMarker) ||
            !datagram.endsWith(m_modeSuffix)) {
            setErrorString(tr("invalid modbus tftp data request"), nullptr);
            return {};
        }
        return ModbusBytes::fromHex(datagram.mid(frameOffset, textSize));
    }
    default:
        setErrorString(tr("unsupporter tftp packet type: %1").arg(opcode), nullptr);
        return {};
    }
}

void ModbusTFtpServer::onReadyRead()
{
    m_requestBytes.clear();
    // All of them: a wait (an exchange's or waitForIncomingConnection's) takes the socket's one
    // notification, and a request queued behind the first would wait for the next datagram.
    while (m_socket.hasPendingDatagrams()) {
        if (!handleDatagram())
            return;
    }
}

bool ModbusTFtpServer::handleDatagram()
{
    m_requestBytes.clear();
    const qint64 size = m_socket.pendingDatagramSize();
    QByteArray datagram(qMax<qint64>(size, 0), '\0');
    QHostAddress sender;
    quint16 senderPort = 0;
    const qint64 read =
        m_socket.readDatagram(datagram.data(), datagram.size(), &sender, &senderPort);
    if (read != size) {
        setErrorString(tr("failed to read datagram: %1").arg(m_socket.errorString()), nullptr);
        return false;
    }
    m_requestBytes = depackBytes(datagram);
    if (m_requestBytes.isEmpty())
        return true;

    // Released later rather than at once: a receiver reached by a queued signal may still hold
    // the pointer. The parent reclaims it when no event loop runs again.
    auto *target = new ModbusIpTarget(sender, senderPort);
    target->setParent(this);
    // A request handled inside the wait of a nested exchange leaves the outer one's peer.
    ModbusIpTarget *const outer = m_currentTarget;
    m_currentTarget = target;
    emit bytesReceived(m_requestBytes, target);
    ModbusBytes answer;
    emit requestBytesReceived(m_requestBytes, target, &answer);
    if (!answer.isEmpty())
        sendBytes(answer, target, nullptr, nullptr);
    m_currentTarget = outer;
    target->deleteLater();
    return true;
}

bool ModbusTFtpServer::sendBytes(const ModbusBytes &bytes, const Target *target,
                                 ModbusBytes *answer, QString *error)
{
    if (QThread::currentThread() == thread())
        return send(bytes, target, answer, error);
    // The socket and the peer of the request belong to the server's thread.
    return runExchangeInOwnThread([&] { return send(bytes, target, answer, error); }, error);
}

bool ModbusTFtpServer::send(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                            QString *error)
{
    QMutexLocker locker(mutex());
    // The address to send to comes only with a request.
    if (connected() && !m_currentTarget) {
        setErrorString(tr("can't send bytes - no tftp request is being answered"), error);
        return false;
    }
    if (!checkCanSendBytes(target, error))
        return false;
    if (m_socket.state() != QAbstractSocket::BoundState) {
        setErrorString(
            tr("can't send bytes - socket is not connected: %1").arg(int(m_socket.state())), error);
        return false;
    }
    if (answer) {
        while (m_socket.hasPendingDatagrams())
            m_socket.receiveDatagram();
    }
    const ModbusBytes datagram = packBytes(bytes);
    const qint64 sent = m_socket.writeDatagram(datagram, m_currentTarget->address(),
                                               quint16(m_currentTarget->port()));
    if (sent != datagram.size()) {
        setErrorString(tr("error while sending bytes: %1").arg(m_socket.errorString()), error);
        return false;
    }
    emit bytesSent(bytes, m_currentTarget);
    if (!answer)
        return true;
    if (!m_socket.waitForReadyRead(m_readAnswerTimeout)) {
        setErrorString(tr("read answer timeout: %1").arg(m_socket.errorString()), error);
        return false;
    }
    *answer = m_requestBytes;
    return true;
}

bool ModbusTFtpServer::waitForIncomingConnection(ModbusBytes &bytes)
{
    if (!connected()) {
        setErrorString(tr("can't wait incoming connection in disconnected transport"), nullptr);
        return false;
    }
    if (!m_socket.waitForReadyRead(m_incomingTimeout))
        return false;
    bytes = m_requestBytes;
    return true;
}

bool ModbusTFtpServer::hasTarget(const Target *target)
{
    return m_currentTarget && target == m_currentTarget;
}

int ModbusTFtpServer::targetsCount() const
{
    return m_currentTarget ? 1 : 0;
}

qint64 ModbusTFtpServer::bytesAvailable(const Target *target)
{
    if (!connected())
        return 0;
    if (!hasTarget(target)) {
        setErrorString(tr("unknown target"), nullptr);
        return 0;
    }
    return m_socket.hasPendingDatagrams() ? m_socket.pendingDatagramSize() : 0;
}

ModbusParser *ModbusTFtpServer::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusTFtpServer::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusTFtpServer::toString(bool oneLine) const
{
    QString text;
    text += QStringLiteral("transport: %1 (%2)\n")
                .arg(QStringLiteral("Modbus TFtp server"), DorrikBus::busTypeStr(busType()));
    text += QStringLiteral("status: %1\n")
                .arg(connected() ? QStringLiteral("connected") : QStringLiteral("disconnected"));
    text += QStringLiteral("address: %1\n").arg(m_address.toString());
    text += QStringLiteral("port: %1\n").arg(m_port);
    text += QStringLiteral("timeouts:  (disconnect: %1; read answer: %2; write: %3)\n")
                .arg(m_disconnectTimeout)
                .arg(m_readAnswerTimeout)
                .arg(m_writeTimeout);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

bool ModbusTFtpServer::connectTransportInternal()
{
    if (m_socket.bind(m_address, quint16(m_port), QUdpSocket::ReuseAddressHint))
        return true;
    setConnectError(tr("error binding udp socket %1: %2").arg(m_port).arg(m_socket.errorString()));
    return false;
}

bool ModbusTFtpServer::disconnectTransportInternal()
{
    m_socket.disconnectFromHost();
    if (m_socket.state() == QAbstractSocket::UnconnectedState)
        return true;
    if (m_socket.waitForDisconnected(m_disconnectTimeout))
        return true;
    setErrorString(tr("can't disconnect udp socket: %1, %2")
                       .arg(m_socket.peerAddress().toString(), m_socket.errorString()),
                   nullptr);
    return false;
}
