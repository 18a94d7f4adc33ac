#include "modbustftpclient.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "tftpdatagram.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QThread>

namespace {

// Opcode and block number: a shorter datagram carries nothing we can use.
constexpr int tftpHeaderSize = 4;

} // namespace

ModbusTFtpClient::ModbusTFtpClient(QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, false)
{
    initFields();
}

ModbusTFtpClient::ModbusTFtpClient(const ModbusIpTarget &target, QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, false), m_target(target)
{
    initFields();
}

ModbusTFtpClient::~ModbusTFtpClient()
{
    leaveRegistries();
    if (connected())
        disconnectTransport();
    // The socket is destroyed after this body and may still report its disconnection; the
    // slot must not run on a half-destroyed client.
    m_socket.disconnect(this);
}

void ModbusTFtpClient::initFields()
{
    m_disconnectTimeout = 1000;
    m_connectTimeout = 1000;
    m_readAnswerTimeout = 1000;
    m_writeTimeout = 1000;
    m_modeSuffix = TFtpDatagram::modeSuffix();
    m_ackBytes = ModbusBytes::fromHex("00040001");
    m_disconnecting = false;
    connect(&m_socket, &QUdpSocket::readyRead, this, &ModbusTFtpClient::onReadyRead,
            Qt::UniqueConnection);
    connect(&m_socket, &QUdpSocket::disconnected, this, &ModbusTFtpClient::onSocketDisconnected,
            Qt::UniqueConnection);
}

QString ModbusTFtpClient::tftpErrorStr(quint16 code)
{
    return TFtpDatagram::errorText(code);
}

ModbusBytes ModbusTFtpClient::packBytes(const ModbusBytes &frame) const
{
    ModbusBytes datagram = ModbusBytes::fromUInt16(1);
    datagram.append('=');
    datagram.append(frame.toHex());
    datagram.append(m_modeSuffix);
    return datagram;
}

bool ModbusTFtpClient::sendBytes(const ModbusBytes &bytes, ModbusBytes *answer, QString *error)
{
    return sendBytes(bytes, clientTarget(), answer, error);
}

bool ModbusTFtpClient::sendBytes(const ModbusBytes &bytes, const Target *target,
                                 ModbusBytes *answer, QString *error)
{
    if (QThread::currentThread() == thread())
        return exchange(bytes, target, answer, error);
    // A socket may only be used in its own thread: run the exchange there and wait for it.
    return runExchangeInOwnThread([&] { return exchange(bytes, target, answer, error); }, error);
}

bool ModbusTFtpClient::exchange(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                                QString *error)
{
    QMutexLocker locker(mutex());
    if (!checkCanSendBytes(target, error))
        return false;
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        setErrorString(tr("can't send bytes - socket is not connected"), error);
        return false;
    }
    // A late answer to an earlier request must not pass for the answer to this one.
    while (m_socket.hasPendingDatagrams())
        m_socket.receiveDatagram();
    m_answerBytes.clear();

    const ModbusBytes datagram = packBytes(bytes);
    if (m_socket.write(datagram) != datagram.size()) {
        setErrorString(tr("error while sending bytes: %1").arg(m_socket.errorString()), error);
        return false;
    }
    // A UDP socket writes unbuffered, and Qt's wait then reports failure with nothing left to
    // write: wait only for what is still queued.
    if (m_socket.bytesToWrite() > 0 && !m_socket.waitForBytesWritten(m_writeTimeout)) {
        setErrorString(tr("error while waiting for send bytes: %1").arg(m_socket.errorString()),
                       error);
        return false;
    }
    emit bytesSent(bytes, &m_target);
    if (!answer)
        return true;

    // onReadyRead runs inside the wait and leaves the answer in m_answerBytes.
    if (!m_socket.waitForReadyRead(m_readAnswerTimeout)) {
        setErrorString(tr("read answer timeout: %1").arg(m_socket.errorString()), error);
        return false;
    }
    // Acknowledged whatever came: the server does not wait for it anyway.
    m_socket.write(m_ackBytes);
    *answer = m_answerBytes;
    return true;
}

void ModbusTFtpClient::onReadyRead()
{
    if (!m_socket.hasPendingDatagrams())
        return;
    m_answerBytes = m_socket.receiveDatagram().data();
    if (m_answerBytes.isEmpty())
        return;
    if (m_answerBytes.size() <= tftpHeaderSize) {
        setErrorString(
            tr("tftp packet if too small: %1").arg(QString::fromLatin1(m_answerBytes.toHex())),
            nullptr);
        return;
    }
    const quint16 opcode = m_answerBytes.toUInt16(0);
    switch (opcode) {
    case TFtpDatagram::Data:
        m_answerBytes = m_answerBytes.mid(tftpHeaderSize);
        emit bytesReceived(m_answerBytes, &m_target);
        break;
    case TFtpDatagram::Ack:
        m_answerBytes.clear();
        break;
    case TFtpDatagram::Error: {
        const quint16 code = m_answerBytes.toUInt16(2);
        m_answerBytes.clear();
        setErrorString(tr("error from TFtp server received: %1").arg(tftpErrorStr(code)), nullptr);
        break;
    }
    default:
        m_answerBytes.clear();
        setErrorString(tr("unsupported tftp packet type: %1").arg(opcode), nullptr);
        break;
    }
}

void ModbusTFtpClient::onSocketDisconnected()
{
    if (!m_disconnecting)
        autoDisconnect();
}

bool ModbusTFtpClient::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusTFtpClient::targetsCount() const
{
    return 1;
}

qint64 ModbusTFtpClient::bytesAvailable(const Target *target)
{
    if (!connected())
        return 0;
    if (target != &m_target) {
        setErrorString(tr("unknown target"), nullptr);
        return 0;
    }
    return m_socket.hasPendingDatagrams() ? m_socket.pendingDatagramSize() : 0;
}

const Target *ModbusTFtpClient::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusTFtpClient::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusTFtpClient::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusTFtpClient::toString(bool oneLine) const
{
    QString text;
    text += QStringLiteral("transport: %1 (%2)\n")
                .arg(QStringLiteral("Modbus TFtp client"), DorrikBus::busTypeStr(busType()));
    text += QStringLiteral("status: %1\n")
                .arg(connected() ? QStringLiteral("connected") : QStringLiteral("disconnected"));
    text += QStringLiteral("target: %1\n").arg(m_target.toString(true));
    text += QStringLiteral("timeouts:  (connect: %1; disconnect: %2; read answer: %3; write: %4)\n")
                .arg(m_connectTimeout)
                .arg(m_disconnectTimeout)
                .arg(m_readAnswerTimeout)
                .arg(m_writeTimeout);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

bool ModbusTFtpClient::connectTransportInternal()
{
    m_disconnecting = false;
    m_socket.connectToHost(m_target.address(), quint16(m_target.port()), QIODevice::ReadWrite);
    if (m_socket.waitForConnected(m_connectTimeout))
        return true;
    setConnectError(
        tr("can't connect to: %1, %2").arg(m_target.address().toString(), m_socket.errorString()));
    // A half-open socket would refuse the next attempt's connectToHost.
    m_disconnecting = true;
    m_socket.abort();
    return false;
}

bool ModbusTFtpClient::disconnectTransportInternal()
{
    m_disconnecting = true;
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
