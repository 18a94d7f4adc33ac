#include "modbusc55client.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"

#include <QMutexLocker>

ModbusC55Client::ModbusC55Client(QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, true), m_readBuffer(ModbusBytes::fromSize(512))
{}

ModbusC55Client::~ModbusC55Client()
{
    leaveRegistries();
    stopEventPolling();
    if (connected())
        disconnectTransport();
}

bool ModbusC55Client::sendBytes(const ModbusBytes &, const Target *target, ModbusBytes *,
                                QString *error)
{
    QMutexLocker locker(mutex());
    return checkCanSendBytes(target, error);
}

bool ModbusC55Client::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusC55Client::targetsCount() const
{
    return 1;
}

qint64 ModbusC55Client::bytesAvailable(const Target *target)
{
    if (target != &m_target)
        setErrorString(tr("unknown target, bytes available will be 0"), nullptr);
    return 0;
}

bool ModbusC55Client::readEventBytes(ModbusBytes &, QString *error)
{
    if (!connected()) {
        setErrorString(tr("can't receive events via disconnected transport"), error);
        return false;
    }
    // Unreachable while the link cannot connect; a poll must still end quietly.
    setErrorString(tr("the c55-transport can't read events on this platform"), error);
    return false;
}

const Target *ModbusC55Client::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusC55Client::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusC55Client::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusC55Client::toString(bool oneLine) const
{
    QString text;
    text += QStringLiteral("transport: %1 (%2)\n")
                .arg(QStringLiteral("Modbus C55 transport"), DorrikBus::busTypeStr(busType()));
    text += QStringLiteral("status: %1\n")
                .arg(connected() ? QStringLiteral("connected") : QStringLiteral("disconnected"));
    text += QStringLiteral("target: %1\n").arg(m_target.toString(true));
    text += QStringLiteral("timeouts:  (read: %1; write: %2)\n")
                .arg(m_readTimeout.load())
                .arg(m_writeTimeout.load());
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusC55Client::lockTransport()
{
    mutex()->lock();
    ++m_lockDepth;
    m_wasConnected = connected();
    // Only the device is let go: the logical state stays, so unlockTransport reopens it.
    if (m_wasConnected)
        disconnectTransportInternal();
}

void ModbusC55Client::unlockTransport()
{
    // Succeeds only for the thread that locked (the mutex is recursive) or when nobody holds it;
    // unlocking a mutex this thread does not hold would be undefined.
    if (!mutex()->tryLock())
        return;
    if (m_lockDepth > 0) {
        --m_lockDepth;
        if (m_wasConnected)
            connectTransportInternal();
        mutex()->unlock();
    }
    mutex()->unlock();
}

bool ModbusC55Client::connectTransportInternal()
{
    setConnectError(tr("the c55-transport is available only on linux platform"));
    return false;
}

bool ModbusC55Client::disconnectTransportInternal()
{
    return true;
}
