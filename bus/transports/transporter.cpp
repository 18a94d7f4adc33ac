#include "transporter.h"

#include <QMutexLocker>
#include <QThread>

Transporter::Transporter(QObject *parent) : ErrObject(parent) {}

Transporter::~Transporter()
{
    // New exchanges fail from here on; those that other threads run now end first.
    m_gate->close();
    m_gate->waitForOthers();
    disconnectTransports();
    const QList<EventedTransport *> links = transports();
    for (auto it = links.crbegin(); it != links.crend(); ++it)
        removeTransport(**it);
}

QList<EventedTransport *> Transporter::transports() const
{
    QMutexLocker locker(&m_listMutex);
    return m_transports;
}

EventedTransport *Transporter::getTransportByTarget(const Target *target) const
{
    QMutexLocker locker(&m_listMutex);
    for (EventedTransport *transport : m_transports) {
        if (transport->hasTarget(target))
            return transport;
    }
    return nullptr;
}

EventedTransport *Transporter::useTransportByTarget(const Target *target, UseGate::Use &use) const
{
    QMutexLocker locker(&m_listMutex);
    EventedTransport *transport = getTransportByTarget(target);
    if (!transport)
        return nullptr;
    // Taken while the link is listed: removal takes it out of the list before it waits.
    use = transport->use();
    return use ? transport : nullptr;
}

bool Transporter::sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer)
{
    const UseGate::Use self = UseGate::tryUse(m_gate);
    UseGate::Use link;
    EventedTransport *transport = self ? useTransportByTarget(target, link) : nullptr;
    if (!transport) {
        setErrorString(tr("transport not found"));
        return false;
    }
    emit bytesSent(bytes, target);
    if (transport->thread() != QThread::currentThread()) {
        // The link's own error would reach us later by a queued call; take the text here.
        QString error;
        const bool ok = transport->sendBytes(bytes, target, answer, &error);
        // A registry that started to go while the exchange waited on another thread was not
        // waited for and may be gone.
        if (!ok && !self.closed())
            setErrorString(error);
        return ok;
    }
    return transport->sendBytes(bytes, target, answer, nullptr);
}

bool Transporter::sendEventBytes(const ModbusBytes &bytes, const Target *target)
{
    const UseGate::Use self = UseGate::tryUse(m_gate);
    UseGate::Use link;
    EventedTransport *transport = self ? useTransportByTarget(target, link) : nullptr;
    if (!transport) {
        setErrorString(tr("transport not found"));
        return false;
    }
    emit eventBytesSent(bytes, target);
    return transport->sendEventBytes(bytes, target);
}

QString Transporter::toString(bool oneLine) const
{
    QString text = tr("Transporter") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void Transporter::onRequestBytesReceived(const ModbusBytes &bytes, const Target *target,
                                         ModbusBytes *answer)
{
    emit requestBytesReceived(bytes, target, answer);
    if (answer)
        emit bytesSent(*answer, target);
}

void Transporter::onTransportError(QString text)
{
    setErrorString(text);
}

void Transporter::onTransportDestroyed(QObject *object)
{
    if (!object)
        return;
    // The link is going: it is found by identity and never called.
    EventedTransport *transport = nullptr;
    {
        QMutexLocker locker(&m_listMutex);
        for (EventedTransport *candidate : std::as_const(m_transports)) {
            if (static_cast<QObject *>(candidate) == object) {
                transport = candidate;
                break;
            }
        }
    }
    if (transport) {
        emit transportRemoving(*transport);
        QMutexLocker locker(&m_listMutex);
        m_transports.removeAll(transport);
    }
    disconnect(object, nullptr, this, nullptr);
    emit transportsChanged();
}

void Transporter::onEventBytesReceived(const ModbusBytes &bytes, const Target *target)
{
    emit eventBytesReceived(bytes, target);
}

void Transporter::onTransportConnectedChanged()
{
    if (auto *transport = qobject_cast<Transport *>(sender()))
        emit connectedChanged(*transport);
}

bool Transporter::connectTransports()
{
    bool ok = true;
    const QList<EventedTransport *> links = transports();
    for (EventedTransport *transport : links) {
        // Opening is allowed only in a link's own thread.
        if (transport->thread() != QThread::currentThread() || transport->connected())
            continue;
        if (!transport->connectTransport(true))
            ok = false;
    }
    return ok;
}

bool Transporter::disconnectTransports()
{
    bool ok = true;
    const QList<EventedTransport *> links = transports();
    for (EventedTransport *transport : links) {
        if (transport->thread() != QThread::currentThread() || !transport->connected())
            continue;
        if (!transport->disconnectTransport()) {
            setErrorString(tr("error while connecting: %1").arg(transport->errorString()));
            ok = false;
        }
    }
    return ok;
}

void Transporter::addTransport(EventedTransport &transport, bool takeOwnership)
{
    {
        QMutexLocker locker(&m_listMutex);
        if (m_transports.contains(&transport))
            return;
        if (takeOwnership)
            transport.setParent(this);
        m_transports.append(&transport);
    }
    // Relayed in the link's thread, as bytesSent is: a listener of another thread still gets
    // it queued, and with none the exchange does not wake this thread for nothing.
    connect(&transport, &Transport::bytesReceived, this, &Transporter::bytesReceived,
            Qt::DirectConnection);
    // The answer is written through a pointer before the link's emission returns: never queue.
    connect(&transport, &Transport::requestBytesReceived, this,
            &Transporter::onRequestBytesReceived, Qt::DirectConnection);
    connect(&transport, &EventedTransport::eventBytesReceived, this,
            &Transporter::onEventBytesReceived);
    connect(&transport, &ErrObject::error, this, &Transporter::onTransportError);
    // A link of another thread must be out of the list before its destruction goes on. The
    // link announces its destruction before it frees anything; destroyed stays as a backstop.
    const Qt::ConnectionType leaving =
        transport.thread() != thread() ? Qt::BlockingQueuedConnection : Qt::AutoConnection;
    QObject *const object = &transport;
    connect(
        &transport, &Transport::aboutToBeDestroyed, this,
        [this, object] { onTransportDestroyed(object); }, leaving);
    connect(&transport, &QObject::destroyed, this, &Transporter::onTransportDestroyed, leaving);
    connect(&transport, &Transport::connectedChanged, this,
            &Transporter::onTransportConnectedChanged);
    emit transportsChanged();
}

void Transporter::removeTransport(EventedTransport &transport)
{
    emit transportRemoving(transport);
    {
        QMutexLocker locker(&m_listMutex);
        m_transports.removeAll(&transport);
    }
    // Out of the list, the link gets no new exchanges; those that other threads took before
    // end first. One parked on this thread is not waited for.
    transport.waitForUsers();
    if (transport.parent() == this) {
        if (transport.connected())
            transport.disconnectTransport();
        transport.deleteLater();
    }
    disconnect(&transport, nullptr, this, nullptr);
    emit transportsChanged();
}
