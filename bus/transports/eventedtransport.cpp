#include "eventedtransport.h"

#include "transporteventreader.h"

#include <QDebug>
#include <QMutexLocker>

EventedTransport::EventedTransport(QObject *parent, bool eventable)
    : Transport(parent), m_eventable(eventable)
{
    if (m_eventable) {
        m_reader = new TransportEventReader(*this, m_eventsCheckInterval, this);
        m_reader->setPriority(QThread::LowestPriority);
    }
}

EventedTransport::~EventedTransport()
{
    stopEventPolling();
}

void EventedTransport::stopEventPolling()
{
    m_pollingStopped = true;
    // Joins the reader thread: a poll under way finishes before this returns.
    delete m_reader;
    m_reader = nullptr;
}

void EventedTransport::setEventsCheckInterval(int ms)
{
    if (m_eventsCheckInterval == ms)
        return;
    m_eventsCheckInterval = ms;
    if (m_reader)
        m_reader->setInterval(ms);
    emit eventsCheckIntervalChanged();
}

void EventedTransport::setEventsTimeout(int ms)
{
    if (m_eventsTimeout.load() == ms)
        return;
    m_eventsTimeout = ms;
    emit eventsTimeoutChanged();
}

bool EventedTransport::readEventBytes(ModbusBytes &, QString *)
{
    return false;
}

bool EventedTransport::checkEvents()
{
    if (!m_eventable)
        return false;
    QMetaObject::invokeMethod(this, "checkEventsSync", Qt::QueuedConnection);
    return true;
}

bool EventedTransport::checkEventsSync()
{
    if (!m_eventable || m_pollingStopped || !connected())
        return false;

    QList<ModbusBytes> payloads;
    const Target *target = nullptr;
    {
        QMutexLocker locker(mutex());
        // Checked again under the lock: a close or a teardown may have won the race for it.
        if (m_pollingStopped || !connected())
            return false;

        const qsizetype before = m_eventBuffer.size();
        const bool readOk = readEventBytes(m_eventBuffer, nullptr);
        if (before == 0 && !m_eventBuffer.isEmpty())
            m_partialSince.start();

        // Whatever waited in the device from before this connection is stale.
        if (m_discardFirst) {
            if (!m_eventBuffer.isEmpty())
                qWarning().noquote() << QStringLiteral("discarded first events: \"%1\"")
                                            .arg(QString::fromLatin1(m_eventBuffer.toHex()));
            m_eventBuffer.clear();
            m_discardFirst = false;
        }

        if (!readOk) {
            // A partial record is kept for eventsTimeout after its first byte arrived.
            if (!m_eventBuffer.isEmpty() && m_partialSince.isValid() &&
                m_partialSince.elapsed() > m_eventsTimeout.load())
                m_eventBuffer.clear();
            return false;
        }

        qsizetype cut = 0;
        while (!m_eventBuffer.isEmpty()) {
            const int n = quint8(m_eventBuffer.at(0));
            if (n == 0) {
                // A zero length byte is dropped alone; the rest waits for the next poll.
                m_eventBuffer.remove(0, 1);
                ++cut;
                break;
            }
            if (n > m_eventBuffer.size())
                break;
            payloads.append(ModbusBytes(m_eventBuffer.mid(1, n - 1)));
            m_eventBuffer.remove(0, n);
            cut += n;
        }
        // The head of what is left arrived in this read when everything older was cut; else
        // it came earlier and keeps the older (conservative) stamp.
        if (!m_eventBuffer.isEmpty() && cut >= before && cut > 0)
            m_partialSince.start();

        if (!payloads.isEmpty())
            target = defaultTarget();
    }

    for (const ModbusBytes &payload : std::as_const(payloads))
        emit eventBytesReceived(payload, target);
    return !payloads.isEmpty();
}

void EventedTransport::afterConnected()
{
    Transport::afterConnected();
    m_discardFirst = true;
}

void EventedTransport::afterDisconnected()
{
    Transport::afterDisconnected();
    m_discardFirst = true;
}
