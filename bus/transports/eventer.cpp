#include "eventer.h"

#include "globalevents.h"
#include "keypadevent.h"
#include "modbusc55client.h"
#include "modbuslibusbclient.h"
#include "systemevent.h"

Eventer::Eventer(QObject *parent) : ErrObject(parent)
{
    registerTranslator();
}

Eventer::Eventer(QObject *parent, Transporter &transporter) : Eventer(parent)
{
    setTransporter(transporter);
}

Eventer::~Eventer() = default;

void Eventer::registerTranslator()
{
    // Direct: the record is passed by reference and must be whole when it is read.
    connect(&m_translator, &EventTranslator::eventReceived, this, &Eventer::onEventReceived,
            Qt::DirectConnection);
    connect(&m_translator, &ErrObject::error, this,
            static_cast<void (ErrObject::*)(const QString &)>(&ErrObject::setErrorString));
}

void Eventer::unRegisterTranslator()
{
    disconnect(&m_translator, nullptr, this, nullptr);
}

void Eventer::setTransporter(Transporter &transporter)
{
    m_translator.setTransporter(transporter);
}

EventedTransport *Eventer::transport() const
{
    const Transporter *registry = transporter();
    if (!registry)
        return nullptr;
    const QList<EventedTransport *> links = registry->transports();
    return links.isEmpty() ? nullptr : links.first();
}

void Eventer::setTransport(EventedTransport *transport)
{
    Transporter *registry = transporter();
    if (!registry) {
        m_translator.checkTransporter();
        return;
    }
    if (transport == this->transport())
        return;
    for (QList<EventedTransport *> links = registry->transports(); !links.isEmpty();
         links = registry->transports())
        registry->removeTransport(*links.first());
    if (transport)
        registry->addTransport(*transport, false);
    emit transportChanged();
}

bool Eventer::connectTransports()
{
    if (!m_translator.checkTransporter())
        return false;
    return transporter()->connectTransports();
}

bool Eventer::disconnectTransports()
{
    if (!m_translator.checkTransporter())
        return false;
    return transporter()->disconnectTransports();
}

ModbusLibusbClient *Eventer::addLibusbClient()
{
    auto *link = new ModbusLibusbClient(this);
    if (Transporter *registry = transporter())
        registry->addTransport(*link, false);
    else
        m_translator.checkTransporter();
    return link;
}

ModbusC55Client *Eventer::addC55Client()
{
    auto *link = new ModbusC55Client(this);
    if (Transporter *registry = transporter())
        registry->addTransport(*link, false);
    else
        m_translator.checkTransporter();
    return link;
}

void Eventer::onEventReceived(const IEvent &event, const Target *)
{
    // Checked casts: a bare IEvent that claims a type is refused, never read past its end.
    switch (event.type()) {
    case GlobalEvents::KeyboardEvent:
        if (const auto *keypad = dynamic_cast<const KeypadEvent *>(&event)) {
            emit keypadEvent(keypad->keyCode());
            return;
        }
        break;
    case GlobalEvents::SystemEvent:
        if (const auto *system = dynamic_cast<const SystemEvent *>(&event)) {
            emit systemEvent(system->code());
            return;
        }
        break;
    }
    setErrorString(tr("unsupported event type received from event translator: %1")
                       .arg(GlobalEvents::EventTypeStr(event.type())));
}

QString Eventer::toString(bool oneLine) const
{
    QString text = tr("Eventer\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
