#include "transport.h"

#include "objectthreadcall.h"

#include <QMutexLocker>
#include <QThread>
#include <QTimer>

Transport::Transport(QObject *parent) : ErrObject(parent) {}

// Closing on destruction is the concrete link's business; leaving the registries is done here
// only for a link whose destructor did not.
Transport::~Transport()
{
    leaveRegistries();
}

void Transport::leaveRegistries()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_useGate->close();
    emit aboutToBeDestroyed();
    m_useGate->waitForOthers();
}

bool Transport::runExchangeInOwnThread(const std::function<bool()> &exchange, QString *error)
{
    bool ran = false;
    bool result = false;
    {
        UseGate::Parked parked;
        // A call queued to a link that is then destroyed is dropped, which releases the wait.
        result = callInObjectThread(*this, exchange, &ran);
    }
    if (!ran && error)
        *error = tr("can't send bytes via disconnected transport");
    return result;
}

void Transport::setAutoReconnect(bool on)
{
    if (m_autoReconnect == on)
        return;
    m_autoReconnect = on;
    emit autoReconnectChanged();
}

void Transport::setAutoReconnectInterval(int ms)
{
    if (ms < 0)
        return;
    m_autoReconnectInterval = ms;
}

bool Transport::checkValidThread()
{
    if (QThread::currentThread() == thread())
        return true;
    setErrorString(tr("this method can be run only in owned thread"), nullptr);
    return false;
}

void Transport::setErrorString(const QString &text, QString *error)
{
    if (error)
        *error = text;
    else
        ErrObject::setErrorString(text);
}

void Transport::setConnectError(const QString &text)
{
    // Repeated failed reconnect attempts would otherwise report the same error every interval.
    if (m_reconnectWanted)
        return;
    ErrObject::setErrorString(text);
}

bool Transport::checkCanSendBytes(const Target *target, QString *error)
{
    if (!connected()) {
        setErrorString(tr("can't send bytes via disconnected transport"), error);
        return false;
    }
    if (!hasTarget(target)) {
        setErrorString(tr("incorrect target to send bytes"), error);
        return false;
    }
    return true;
}

bool Transport::waitForIncomingConnection() const
{
    return false;
}

bool Transport::sendEventBytes(const ModbusBytes &, const Target *)
{
    return false;
}

const Target *Transport::defaultTarget()
{
    return nullptr;
}

bool Transport::disconnectTransportInternal()
{
    return true;
}

void Transport::afterConnected() {}

void Transport::afterDisconnected() {}

void Transport::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
    // Queued, so that the link opens after the whole scene (its peers included) is built.
    if (m_connectAfterInit)
        QMetaObject::invokeMethod(this, "setConnected", Qt::QueuedConnection, Q_ARG(bool, true));
}

void Transport::setConnected(bool on)
{
    if (!checkValidThread())
        return;
    if (initializing()) {
        m_connectAfterInit = on;
        return;
    }
    if (on)
        connectTransport(true);
    else
        disconnectTransport();
}

bool Transport::connectTransport(bool reconnect)
{
    if (!checkValidThread())
        return false;
    {
        QMutexLocker locker(&m_mutex);
        if (connected()) {
            setErrorString(tr("also connected"), nullptr);
            return false;
        }
        if (!connectTransportInternal()) {
            if (reconnect) {
                m_reconnectWanted = true;
                scheduleReconnect();
            }
            return false;
        }
        m_connected = true;
        m_reconnectWanted = false;
        afterConnected();
    }
    // Signalled outside the link mutex: a receiver that waits on another thread which is about
    // to exchange through this link must not deadlock.
    emit transportConnected();
    emit connectedChanged();
    return true;
}

bool Transport::disconnectTransport()
{
    if (!checkValidThread())
        return false;
    {
        QMutexLocker locker(&m_mutex);
        if (m_reconnectWanted) {
            // A timer already running stays; its doReconnect then finds nothing to do.
            m_reconnectWanted = false;
            if (!connected())
                return true;
        }
        if (!connected()) {
            setErrorString(tr("also disconnected"), nullptr);
            return false;
        }
        if (!disconnectTransportInternal())
            return false;
        m_connected = false;
        afterDisconnected();
    }
    emit transportDisconnected();
    emit connectedChanged();
    return true;
}

void Transport::scheduleReconnect()
{
    if (m_reconnectScheduled)
        return;
    m_reconnectScheduled = true;
    QTimer::singleShot(m_autoReconnectInterval, this, &Transport::doReconnect);
}

void Transport::doReconnect()
{
    m_reconnectScheduled = false;
    if (connected() || !m_reconnectWanted) {
        m_reconnectWanted = false;
        return;
    }
    connectTransport(true);
}

void Transport::autoDisconnect()
{
    if (connected())
        setConnected(false);
    // Also on a link that was already closed: a loss reported late still brings the link back.
    if (m_autoReconnect) {
        m_reconnectWanted = true;
        scheduleReconnect();
    }
}
