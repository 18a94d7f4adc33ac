#include "modbuslibusbclient.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "usbbulkdevice.h"

#include <QMutexLocker>

namespace {

// The instrument's interface and its answer size: one bulk packet holds any RTU frame.
constexpr int UsbConfiguration = 1;
constexpr int UsbInterface = 0;
constexpr int TransferSize = 512;
// The drain before a request and each event poll only take what is already waiting.
constexpr int ShortReadTimeout = 1;

} // namespace

ModbusLibusbClient::ModbusLibusbClient(QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, true), m_device(new UsbBulkDevice(this))
{}

ModbusLibusbClient::ModbusLibusbClient(std::unique_ptr<UsbBackend> backend, QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, true),
      m_device(new UsbBulkDevice(std::move(backend), this))
{}

ModbusLibusbClient::~ModbusLibusbClient()
{
    leaveRegistries();
    // Polls read the device: none may run once it starts to go.
    stopEventPolling();
    if (connected())
        disconnectTransport();
}

void ModbusLibusbClient::setVid(quint16 vid)
{
    if (m_vid == vid)
        return;
    m_vid = vid;
    emit vidChanged(vid);
}

void ModbusLibusbClient::setPid(quint16 pid)
{
    if (m_pid == pid)
        return;
    m_pid = pid;
    emit pidChanged(pid);
}

void ModbusLibusbClient::setSerialNumber(const QString &serialNumber)
{
    if (m_serialNumber == serialNumber)
        return;
    m_serialNumber = serialNumber;
    emit serialNumberChanged(serialNumber);
}

void ModbusLibusbClient::setStrictSerialNumber(bool strict)
{
    if (m_strictSerialNumber == strict)
        return;
    m_strictSerialNumber = strict;
    emit strictSerialNumberChanged(strict);
}

void ModbusLibusbClient::setReadTimeout(int ms)
{
    if (m_readTimeout.load() == ms)
        return;
    m_readTimeout = ms;
    emit readTimeoutChanged(ms);
}

void ModbusLibusbClient::setWriteTimeout(int ms)
{
    if (m_writeTimeout.load() == ms)
        return;
    m_writeTimeout = ms;
    emit writeTimeoutChanged(ms);
}

bool ModbusLibusbClient::connectTransportInternal()
{
    bool opened = m_device->open(m_vid, m_pid, UsbConfiguration, m_serialNumber);
    if (!opened && !m_strictSerialNumber && !m_serialNumber.isEmpty())
        opened = m_device->open(m_vid, m_pid, UsbConfiguration, QString());
    if (!opened) {
        setConnectError(tr("error opening usb device: %1").arg(m_device->errorString()));
        return false;
    }

    // Checked before the serial number is taken over: a device that cannot serve as the
    // instrument must not become the one a relaxed search looks for next time.
    const QList<int> ins = m_device->inEndpoints(UsbInterface);
    const QList<int> outs = m_device->outEndpoints(UsbInterface);
    if (ins.size() < 2 || outs.isEmpty()) {
        const QString reason =
            (ins.isEmpty() && outs.isEmpty() && !m_device->errorString().isEmpty())
                ? m_device->errorString()
                : tr("interface %1 has %2 IN and %3 OUT endpoints, 2 IN and 1 OUT are needed")
                      .arg(UsbInterface)
                      .arg(ins.size())
                      .arg(outs.size());
        m_device->close(true);
        setConnectError(tr("error opening usb device: %1").arg(reason));
        return false;
    }

    setSerialNumber(m_device->openedSerialNumber());
    m_readEndpoint = quint8(ins.at(0));
    m_eventEndpoint = quint8(ins.at(1));
    m_writeEndpoint = quint8(outs.at(0));
    return true;
}

bool ModbusLibusbClient::disconnectTransportInternal()
{
    if (!m_device->close(false))
        setErrorString(m_device->errorString(), nullptr);
    return true;
}

void ModbusLibusbClient::dropLink()
{
    // By name with automatic connection: at once in the owner's thread, queued from others,
    // since opening and closing belong to the owner's thread.
    QMetaObject::invokeMethod(this, "disconnectTransport", Qt::AutoConnection);
    QMetaObject::invokeMethod(this, "autoDisconnect", Qt::AutoConnection);
}

bool ModbusLibusbClient::sendBytes(const ModbusBytes &bytes, const Target *target,
                                   ModbusBytes *answer, QString *error)
{
    QMutexLocker locker(mutex());
    if (!checkCanSendBytes(target, error))
        return false;

    if (!m_device->selectInterface(UsbInterface)) {
        setErrorString(tr("error attach interface: %1").arg(m_device->errorString()), error);
        locker.unlock();
        dropLink();
        return false;
    }

    // Whatever a previous, timed-out exchange left behind is not this request's answer.
    m_device->bulkRead(TransferSize, m_readEndpoint, ShortReadTimeout);

    // A short write is a failed write too: the instrument would wait for the rest of a frame.
    const int written = m_device->bulkWrite(bytes, m_writeEndpoint, m_writeTimeout.load());
    if (written < 0 || written != bytes.size()) {
        setErrorString(tr("error write data"), error);
        locker.unlock();
        dropLink();
        return false;
    }

    if (!answer)
        return true;

    answer->clear();
    *answer = ModbusBytes(m_device->bulkRead(TransferSize, m_readEndpoint, m_readTimeout.load()));
    if (answer->isEmpty()) {
        setErrorString(tr("received 0 bytes answer"), error);
        return false;
    }
    emit bytesReceived(*answer, &m_target);
    return true;
}

bool ModbusLibusbClient::readEventBytes(ModbusBytes &bytes, QString *error)
{
    QMutexLocker locker(mutex());
    if (!connected()) {
        setErrorString(tr("can't receive events via disconnected transport"), error);
        return false;
    }
    if (!m_device->selectInterface(UsbInterface)) {
        setErrorString(
            tr("error while events reading: attach interface: %1").arg(m_device->errorString()),
            error);
        return false;
    }
    const QByteArray read = m_device->bulkRead(TransferSize, m_eventEndpoint, ShortReadTimeout);
    if (read.isEmpty())
        return false;
    bytes.append(read);
    return true;
}

bool ModbusLibusbClient::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusLibusbClient::targetsCount() const
{
    return 1;
}

qint64 ModbusLibusbClient::bytesAvailable(const Target *target)
{
    QMutexLocker locker(mutex());
    if (target != &m_target)
        setErrorString(tr("unknown target, bytes available will be 0"), nullptr);
    return 0;
}

const Target *ModbusLibusbClient::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusLibusbClient::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusLibusbClient::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusLibusbClient::toString(bool oneLine) const
{
    QString text = tr("transport: %1 (%2)\n")
                       .arg(tr("Modbus Libusb client"), DorrikBus::busTypeStr(busType()));
    text +=
        tr("status: ") + (connected() ? tr("connected") : tr("disconnected")) + QLatin1Char('\n');
    text += tr("target: %1").arg(m_target.toString(oneLine)) + QLatin1Char('\n');
    text += tr("timeouts:  (read answer: %1; write: %2)\n")
                .arg(m_readTimeout.load())
                .arg(m_writeTimeout.load());
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
