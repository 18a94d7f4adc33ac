#include "transporteventreader.h"

#include "eventedtransport.h"

#include <QTimer>

TransportEventReader::TransportEventReader(EventedTransport &transport, int interval,
                                           QObject *parent)
    : QThread(parent), m_transport(transport), m_interval(interval)
{
    connect(&transport, &Transport::connectedChanged, this,
            &TransportEventReader::onConnectedChanged);
    setActive(transport.connected());
    start(QThread::InheritPriority);
}

TransportEventReader::~TransportEventReader()
{
    setActive(false);
    // The timer's deferred deletion is still delivered as the thread finishes.
    quit();
    wait();
}

void TransportEventReader::setActive(bool on)
{
    if (on == active())
        return;
    if (on)
        createTimer();
    else
        dropTimer();
}

void TransportEventReader::setInterval(int ms)
{
    if (m_interval == ms)
        return;
    m_interval = ms;
    if (active()) {
        dropTimer();
        createTimer();
    }
}

void TransportEventReader::onConnectedChanged()
{
    setActive(m_transport.connected());
}

void TransportEventReader::createTimer()
{
    m_timer = new QTimer;
    m_timer->setInterval(m_interval);
    // Direct, so that the poll runs in the reader thread where the timer lives.
    connect(m_timer, &QTimer::timeout, &m_transport, &EventedTransport::checkEventsSync,
            Qt::DirectConnection);
    m_timer->moveToThread(this);
    QMetaObject::invokeMethod(m_timer, "start", Qt::QueuedConnection);
}

void TransportEventReader::dropTimer()
{
    m_timer->deleteLater();
    m_timer = nullptr;
}
