#include "eventtranslator.h"

#include <memory>

EventTranslator::EventTranslator(QObject *parent) : ErrObject(parent)
{
    m_transporter = new Transporter(this);
    registerTransporter(*m_transporter);
}

EventTranslator::~EventTranslator()
{
    Transporter *transporter = m_transporter.data();
    if (!transporter)
        return;
    unregisterTransporter(*transporter);
    // The own registry goes now, while the parser and deparser still exist, rather than
    // among the children after them.
    if (transporter->parent() == this)
        delete transporter;
}

void EventTranslator::setTransporter(Transporter &transporter)
{
    Transporter *current = m_transporter.data();
    // Setting the current registry again must not schedule it for deletion.
    if (current == &transporter)
        return;
    if (current) {
        unregisterTransporter(*current);
        if (current->parent() == this) {
            current->disconnectTransports();
            current->deleteLater();
        }
    }
    m_transporter = &transporter;
    registerTransporter(transporter);
}

void EventTranslator::registerTransporter(Transporter &transporter)
{
    connect(&transporter, &QObject::destroyed, this, &EventTranslator::onSomeoneDeleted);
    connect(&transporter, &Transporter::eventBytesReceived, this,
            &EventTranslator::onEventBytesReceived);
    connect(&transporter, &ErrObject::error, this,
            static_cast<void (ErrObject::*)(const QString &)>(&ErrObject::setErrorString));
}

void EventTranslator::unregisterTransporter(Transporter &transporter)
{
    disconnect(&transporter, nullptr, this, nullptr);
}

bool EventTranslator::checkTransporter()
{
    if (m_transporter)
        return true;
    setErrorString(tr("transporter == null"));
    return false;
}

void EventTranslator::onSomeoneDeleted(QObject *sender)
{
    // The guarded pointer may already read null: then the registry that went was ours.
    if (!m_transporter || m_transporter.data() == sender)
        m_transporter = nullptr;
}

void EventTranslator::onEventBytesReceived(const ModbusBytes &bytes, const Target *target)
{
    // Bytes that are no event leave their message in the parser alone.
    const std::unique_ptr<IEvent> event(m_parser.parse(bytes));
    if (!event)
        return;
    bool allow = true;
    emit eventReceiving(*event, target, allow);
    if (allow)
        emit eventReceived(*event, target);
}

bool EventTranslator::send(const IEvent &event, const Target *target)
{
    if (!checkTransporter())
        return false;
    bool allow = true;
    emit eventSending(event, target, allow);
    if (!allow) {
        setErrorString(tr("outcoming event was blocked by dispatcher(s)"));
        return false;
    }
    ModbusBytes bytes;
    if (!m_deparser.deparse(event, bytes))
        return false;
    emit eventSent(event, target);
    return m_transporter->sendEventBytes(bytes, target);
}

QString EventTranslator::toString(bool oneLine) const
{
    QString text = tr("EventTranslator\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
