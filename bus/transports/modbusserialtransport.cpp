#include "modbusserialtransport.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "qserialportinvokable.h"
#include "serialportthread.h"

#include <QMutexLocker>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>

namespace {

// The largest RTU frame; a server buffer beyond it can only hold line noise.
constexpr int kMaxRtuFrameSize = 256;
// Address, function code and CRC.
constexpr int kMinRtuFrameSize = 4;

QString firstListedPort()
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return ports.isEmpty() ? QString() : ports.first().portName();
}

} // namespace

ModbusSerialTransport::ModbusSerialTransport(DorrikBus::BusType busType, QObject *parent)
    : ModbusTransport(busType, parent, false), m_portName(firstListedPort()),
      m_portThread(new SerialPortThread(m_portName, this))
{
    m_portThread->setObjectName(QStringLiteral("Serial port thread"));
    m_portThread->start(QThread::HighPriority);
    m_serialPort = m_portThread->serialPort();
    m_parser = createParser(this);
    if (busType == DorrikBus::ServerBus) {
        // Emitted in the port thread, so the call arrives queued in ours.
        connect(m_serialPort->innerSerialPort(), &QSerialPort::readyRead, this,
                &ModbusSerialTransport::onReadyRead);
    }
    calcDelays();
    m_exchangeTimer.start();
}

ModbusSerialTransport::~ModbusSerialTransport()
{
    leaveRegistries();
    // Deletes the wrapper (closing the port) in the port thread and joins it.
    m_portThread->shutdown();
}

QString ModbusSerialTransport::dataBitsStr(int value)
{
    return value >= Data5 && value <= Data8 ? QString::number(value) : QStringLiteral("?");
}

QString ModbusSerialTransport::parityStr(int value)
{
    switch (value) {
    case NoParity:
        return tr("None");
    case EvenParity:
        return tr("Even");
    case OddParity:
        return tr("Odd");
    case SpaceParity:
        return tr("Space");
    case MarkParity:
        return tr("Mark");
    default:
        return QStringLiteral("?");
    }
}

QString ModbusSerialTransport::stopBItsStr(int value)
{
    switch (value) {
    case OneStop:
        return QStringLiteral("1");
    case TwoStop:
        return QStringLiteral("2");
    case OneAndHalfStop:
        return QStringLiteral("1.5");
    default:
        return QStringLiteral("?");
    }
}

QString ModbusSerialTransport::flowControlStr(int value)
{
    switch (value) {
    case NoFlowControl:
        return tr("None");
    case HardwareControl:
        return tr("RTS/CTS");
    case SoftwareControl:
        return tr("XON/XOFF");
    default:
        return QStringLiteral("?");
    }
}

QString ModbusSerialTransport::dataErrorPolicyStr(int value)
{
    switch (value) {
    case SkipPolicy:
        return tr("Skip");
    case PassZeroPolicy:
        return tr("Pass zero");
    case IgnorePolicy:
        return tr("Ignore");
    case StopReceivingPolicy:
        return tr("Stop receiving");
    default:
        return QStringLiteral("?");
    }
}

void ModbusSerialTransport::setPort(const QString &name)
{
    if (!checkValidThread() || name == m_portName)
        return;
    m_portName = name;
    m_serialPort->setPortName(name); // takes effect at the next open
    emit portChanged();
}

void ModbusSerialTransport::setBaudRate(int rate)
{
    if (!checkValidThread() || rate == m_baudRate || rate <= 0)
        return;
    m_baudRate = rate;
    calcDelays();
    reapplyWhenConnected();
    emit baudRateChanged();
}

void ModbusSerialTransport::setDataBits(DataBits value)
{
    if (!checkValidThread() || value == m_dataBits)
        return;
    m_dataBits = value;
    reapplyWhenConnected();
    emit dataBitsChanged();
}

void ModbusSerialTransport::setParity(Parity value)
{
    if (!checkValidThread() || value == m_parity)
        return;
    m_parity = value;
    calcDelays();
    reapplyWhenConnected();
    emit parityChanged();
}

void ModbusSerialTransport::setStopBits(StopBits value)
{
    if (!checkValidThread() || value == m_stopBits)
        return;
    m_stopBits = value;
    reapplyWhenConnected();
    emit stopBitsChanged();
}

void ModbusSerialTransport::setFlowControl(FlowControl value)
{
    if (!checkValidThread() || value == m_flowControl)
        return;
    m_flowControl = value;
    reapplyWhenConnected();
    emit flowControlChanged();
}

void ModbusSerialTransport::setDataErrorPolicy(DataErrorPolicy value)
{
    if (!checkValidThread() || value == m_dataErrorPolicy)
        return;
    m_dataErrorPolicy = value;
    reapplyWhenConnected();
    emit dataErrorPolicyChanged();
}

void ModbusSerialTransport::setDtr(bool on)
{
    if (!checkValidThread() || on == m_dtr)
        return;
    m_dtr = on;
    reapplyWhenConnected();
    emit dtrChanged();
}

void ModbusSerialTransport::setRts(bool on)
{
    if (on == m_rts)
        return;
    m_rts = on;
    if (connected() && !m_serialPort->setRts(on))
        setErrorString(tr("can't set 'rts' property to: %1").arg(on ? 1 : 0), nullptr);
    emit rtsChanged();
}

void ModbusSerialTransport::setReadTimeout(int ms)
{
    if (!checkValidThread() || ms == m_readTimeout)
        return;
    m_readTimeout = ms;
    emit readTimeoutChanged();
}

void ModbusSerialTransport::setWriteTimeout(int ms)
{
    if (ms == m_writeTimeout)
        return;
    m_writeTimeout = ms;
    emit writeTimeoutChanged();
}

void ModbusSerialTransport::setByteTimeout(int ms)
{
    m_byteTimeoutSetByHand = true;
    storeByteTimeout(ms);
}

void ModbusSerialTransport::setRtsDelay(int ms)
{
    m_rtsDelaySetByHand = true;
    storeRtsDelay(ms);
}

void ModbusSerialTransport::setSendDelay(int ms)
{
    if (ms == m_sendDelay)
        return;
    m_sendDelay = ms;
    emit sendDelayChanged(ms);
}

void ModbusSerialTransport::setControlRts(bool on)
{
    if (on == m_controlRts)
        return;
    m_controlRts = on;
    calcDelays();
    emit controlRtsChanged(on);
}

void ModbusSerialTransport::storeByteTimeout(int ms)
{
    ms = std::max(ms, 1);
    if (ms == m_byteTimeout)
        return;
    m_byteTimeout = ms;
    emit byteTimeoutChanged();
}

void ModbusSerialTransport::storeRtsDelay(int ms)
{
    ms = std::max(ms, 1);
    if (ms == m_rtsDelay)
        return;
    m_rtsDelay = ms;
    emit rtsDelayChanged(ms);
}

void ModbusSerialTransport::calcDelays()
{
    // 3.5 character times, doubled, at 10 bits a character, padded for slow lines where
    // adapters and the instrument's own latency dominate.
    m_calculatedByteTimeout = qRound(2 * (35000.0 / m_baudRate) + 1.5);
    m_calculatedRtsDelay = qRound(double(10000 / m_baudRate) + 1.5);
    if (m_baudRate <= 55999)
        m_calculatedByteTimeout *= 4;
    if (!m_byteTimeoutSetByHand)
        storeByteTimeout(m_calculatedByteTimeout);
    if (!m_rtsDelaySetByHand)
        storeRtsDelay(m_calculatedRtsDelay);
}

void ModbusSerialTransport::reapplyWhenConnected()
{
    // A refusal is reported; the link stays open with whatever the port kept.
    if (connected())
        applyPortOptions();
}

bool ModbusSerialTransport::sendBytes(const ModbusBytes &frame, const Target *target,
                                      ModbusBytes *answer, QString *error)
{
    // The pause is taken under the lock too: two callers racing past it would otherwise both
    // skip it and then send back to back.
    QMutexLocker lock(&m_exchangeMutex);
    if (!m_firstExchange) {
        const qint64 pause = m_sendDelay - m_exchangeTimer.elapsed();
        if (pause > 0)
            QThread::msleep(static_cast<unsigned long>(pause));
    }
    if (!checkCanSendBytes(target, error))
        return false;

    if (!answer) {
        // A slave's answer: nothing is read back, and input is not cleared, since what comes
        // in now is the start of the next request.
        const bool written = m_serialPort->writeFrame(frame, m_controlRts, m_rtsDelay);
        m_firstExchange = false;
        if (!written)
            setErrorString(m_serialPort->errString(), error);
        return written;
    }

    m_serialPort->clearInput();
    const QByteArray bytes =
        m_serialPort->writeAndRead(frame, m_readTimeout, m_byteTimeout, m_controlRts, m_rtsDelay);
    m_firstExchange = false;
    *answer = bytes;
    m_exchangeTimer.restart();
    // A line that idles low after the transmitter lets go reads as zero bytes, not as an answer.
    const bool allZero = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c == 0; });
    if (allZero) {
        setErrorString(tr("read timeout"), error);
        // A port whose device went away stays silent for ever: closed here and opened again
        // by the base's reconnection, in the owner's thread, once the device is back.
        if (m_serialPort->portLost() && !m_lossReported.exchange(true))
            QMetaObject::invokeMethod(this, "autoDisconnect", Qt::QueuedConnection);
        return false;
    }
    emit bytesReceived(*answer, &m_target);
    return true;
}

bool ModbusSerialTransport::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusSerialTransport::targetsCount() const
{
    return 1;
}

qint64 ModbusSerialTransport::bytesAvailable(const Target *target)
{
    QMutexLocker lock(&m_exchangeMutex);
    if (target != &m_target) {
        setErrorString(tr("unknown target, bytes available will be 0"), nullptr);
        return 0;
    }
    return m_serialPort->bytesAvailable();
}

const Target *ModbusSerialTransport::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusSerialTransport::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusSerialTransport::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

bool ModbusSerialTransport::connectTransportInternal()
{
    m_lossReported = false;
    if (!m_serialPort->open(QIODevice::ReadWrite)) {
        // Reported once: a port that is gone for hours would otherwise log every attempt.
        setConnectError(
            tr("error opening serial port %1: %2").arg(m_portName, m_serialPort->errString()));
        return false;
    }
    if (!applyPortOptions()) {
        m_serialPort->close();
        return false;
    }
    return true;
}

bool ModbusSerialTransport::disconnectTransportInternal()
{
    m_serialPort->close();
    return true;
}

bool ModbusSerialTransport::applyPortOptions()
{
    SerialPortOptions options;
    options.baudRate = m_baudRate;
    options.dataBits = m_dataBits;
    options.parity = m_parity;
    options.stopBits = m_stopBits;
    options.flowControl = m_flowControl;
    options.dataErrorPolicy = m_dataErrorPolicy;
    options.dtr = m_dtr;
    QString text;
    if (m_serialPort->setOptions(options, &text))
        return true;
    setErrorString(text, nullptr);
    return false;
}

void ModbusSerialTransport::getPortOptions()
{
    const SerialPortOptions options = m_serialPort->getOptions();
    if (options.baudRate > 0)
        setBaudRate(options.baudRate);
    setDataBits(DataBits(options.dataBits));
    setParity(Parity(options.parity));
    setStopBits(StopBits(options.stopBits));
    setFlowControl(FlowControl(options.flowControl));
    setDataErrorPolicy(DataErrorPolicy(options.dataErrorPolicy));
    setDtr(options.dtr);
}

void ModbusSerialTransport::checkPortAvailable()
{
    if (!connected() || !QSerialPortInfo(m_portName).isNull())
        return;
    QMetaObject::invokeMethod(this, "disconnectTransport", Qt::AutoConnection);
    QMetaObject::invokeMethod(this, "autoDisconnect", Qt::AutoConnection);
}

bool ModbusSerialTransport::checkModbusBytes(const ModbusBytes &bytes,
                                             DorrikBus::PacketState state) const
{
    return m_parser->canParse(bytes, state);
}

void ModbusSerialTransport::onReadyRead()
{
    // A partial request older than the byte time-out is stale: the next chunk starts afresh.
    if (!m_receiveBuffer.isEmpty() && m_lastChunk.elapsed() > m_byteTimeout)
        m_receiveBuffer.clear();
    m_receiveBuffer.append(m_serialPort->readAll());
    // Requests sent back to back come in one chunk: each is cut off by its own size rule and
    // answered in turn, and what follows the last whole one waits for the rest of its frame.
    while (const int size = firstRequestSize()) {
        const ModbusBytes request(m_receiveBuffer.left(size));
        m_receiveBuffer.remove(0, size);
        emit bytesReceived(request, &m_target);
        ModbusBytes answer;
        emit requestBytesReceived(request, &m_target, &answer);
        if (!answer.isEmpty())
            sendBytes(answer, &m_target, nullptr, nullptr);
    }
    if (m_receiveBuffer.isEmpty())
        return;
    // No request is longer than the largest RTU frame: noise must not grow the buffer.
    if (m_receiveBuffer.size() > kMaxRtuFrameSize)
        m_receiveBuffer.clear();
    else
        m_lastChunk.start();
}

int ModbusSerialTransport::firstRequestSize() const
{
    // The function code and its byte count fix a request's length, so at most one prefix of
    // the buffer is a whole request.
    const int limit = int(qMin<qsizetype>(m_receiveBuffer.size(), kMaxRtuFrameSize));
    for (int size = kMinRtuFrameSize; size <= limit; ++size) {
        if (m_parser->canParse(ModbusBytes(m_receiveBuffer.left(size)), DorrikBus::Request))
            return size;
    }
    return 0;
}

QString ModbusSerialTransport::toString(bool oneLine) const
{
    QString text;
    text += QStringLiteral("transport: Modbus Serial %1 (%2)\n")
                .arg(busType() == DorrikBus::ClientBus ? QStringLiteral("Client")
                                                       : QStringLiteral("Server"),
                     DorrikBus::busTypeStr(busType()));
    text += QStringLiteral("status: %1\n")
                .arg(connected() ? QStringLiteral("connected") : QStringLiteral("disconnected"));
    text += QStringLiteral("port: %1\n").arg(m_portName);
    text += QStringLiteral("rate: %1\n").arg(m_baudRate);
    text += QStringLiteral("parity: %1\n").arg(parityStr(m_parity));
    text += QStringLiteral("data bits: %1\n").arg(dataBitsStr(m_dataBits));
    text += QStringLiteral("stop bits: %1\n").arg(stopBItsStr(m_stopBits));
    text += QStringLiteral("flow control: %1\n").arg(flowControlStr(m_flowControl));
    text += QStringLiteral("data error policy: %1\n").arg(dataErrorPolicyStr(m_dataErrorPolicy));
    text += QStringLiteral("DTR: %1\n").arg(m_dtr ? 1 : 0);
    text += QStringLiteral("RTS: %1\n").arg(m_rts ? 1 : 0);
    text += QStringLiteral("target: %1\n").arg(m_target.toString(true));
    text += QStringLiteral("timeouts:  (read: %1; write: %2)\n")
                .arg(m_readTimeout.load())
                .arg(m_writeTimeout);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
