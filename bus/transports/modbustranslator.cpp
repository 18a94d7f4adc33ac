#include "modbustranslator.h"

#include "ipacket.h"

#include <algorithm>

#include <memory>

namespace {

QString oneLined(QString text, bool oneLine)
{
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

// The text of an error relayed from a registry, codec or dispatcher, with its source appended.
QString withSource(const QString &text, const QObject *source)
{
    const auto *described = dynamic_cast<const QDorrikObject *>(source);
    if (!described)
        return text;
    return text + QLatin1String("  (") + described->toString(true) + QLatin1Char(')');
}

} // namespace

ModbusTranslator::ModbusTranslator(QObject *parent) : ErrObject(parent)
{
    auto *registry = new ModbusTransporter(this);
    m_registry = registry;
    m_registryObject = registry;
    m_registryGate = registry->useGate();
    registerTransporter(*registry);
}

ModbusTranslator::~ModbusTranslator()
{
    // The registry and the codecs are children and die after this object's own part: cut them
    // off first so that nothing they emit while dying reaches a half-destroyed translator.
    if (ModbusTransporter *current = registry())
        unregisterTransporter(*current);
}

ModbusTransporter *ModbusTranslator::transporter() const
{
    return registry();
}

ModbusTransporter *ModbusTranslator::registry() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_registry;
}

ModbusTransporter *ModbusTranslator::useRegistry(UseGate::Use &use) const
{
    // Under the translator's lock: the registry's destruction closes its gate before its
    // destroyed notice clears the pointer, so a registry found here is still whole.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_registry)
        return nullptr;
    use = UseGate::tryUse(m_registryGate);
    return use ? m_registry : nullptr;
}

void ModbusTranslator::registerTransporter(ModbusTransporter &registry)
{
    // Direct: the entry must be gone before the registry is, whatever thread destroys it.
    connect(&registry, &QObject::destroyed, this, &ModbusTranslator::onSomeoneDeleted,
            Qt::DirectConnection);
    // Direct: the link reads the answer bytes as soon as its emission returns, so a queued call
    // would write into a buffer that no longer exists.
    connect(&registry, &Transporter::requestBytesReceived, this,
            &ModbusTranslator::onRequestBytesReceived, Qt::DirectConnection);
    connect(&registry, &ErrObject::error, this, &ModbusTranslator::onError);
    relayThreadErrors(registry);
    // Direct: the link may be gone by the time a queued call would run.
    connect(&registry, &Transporter::transportRemoving, this,
            &ModbusTranslator::onTransportRemoving, Qt::DirectConnection);
}

void ModbusTranslator::unregisterTransporter(ModbusTransporter &registry)
{
    disconnect(&registry, nullptr, this, nullptr);
}

void ModbusTranslator::setTransporter(ModbusTransporter &registry)
{
    ModbusTransporter *current = this->registry();
    if (current == &registry)
        return;
    if (current) {
        unregisterTransporter(*current);
        // The codecs bound to the old registry's links would otherwise outlive those links.
        const QList<EventedTransport *> links = current->transports();
        for (EventedTransport *link : links)
            onTransportRemoving(*link);
        if (current->parent() == this) {
            current->disconnectTransports();
            current->deleteLater();
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_registry = &registry;
        m_registryObject = &registry;
        m_registryGate = registry.useGate();
    }
    registerTransporter(registry);
}

void ModbusTranslator::addTransport(ModbusTransport &transport, bool createCodecs,
                                    bool takeOwnership)
{
    ModbusTransporter *current = registry();
    if (!current) {
        setErrorString(tr("can't find transporter"));
        return;
    }
    current->addTransport(transport, takeOwnership);
    if (!createCodecs)
        return;
    if (ModbusParser *parser = transport.createParser(this))
        addParser(*parser, transport);
    if (ModbusDeparser *deparser = transport.createDeparser(this))
        addDeparser(*deparser, transport);
}

template <typename T>
void ModbusTranslator::addBinding(QList<Binding<T>> &list, T &item, const Transport &transport)
{
    // Direct: a codec destroyed in another thread must leave the list before it is gone.
    connect(&item, &QObject::destroyed, this, &ModbusTranslator::onSomeoneDeleted,
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    bool bound = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bound = std::any_of(list.cbegin(), list.cend(),
                            [&item](const Binding<T> &binding) { return binding.item == &item; });
        list.append(Binding<T>{&transport, &item, &item});
    }
    // Unique: an item bound to several links reports each error once.
    connect(&item, &ErrObject::error, this, &ModbusTranslator::onError, Qt::UniqueConnection);
    if (!bound)
        relayThreadErrors(item);
}

void ModbusTranslator::relayThreadErrors(ErrObject &source)
{
    // Direct: a caller on another thread reads the text of its failed exchange from the
    // translator (and the request API above it) as soon as the call returns, long before the
    // queued error reaches this thread. The text is the one onError will store.
    connect(
        &source, &ErrObject::threadError, this,
        [this, &source](const QString &text) { setThreadErrorString(withSource(text, &source)); },
        Qt::DirectConnection);
}

template <typename T>
bool ModbusTranslator::removeBindings(QList<Binding<T>> &list, const QObject *object)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bool removed = false;
    for (int i = int(list.size()) - 1; i >= 0; --i) {
        if (list.at(i).object == object) {
            list.removeAt(i);
            removed = true;
        }
    }
    return removed;
}

void ModbusTranslator::addParser(ModbusParser &parser, const Transport &transport)
{
    addBinding(m_parsers, parser, transport);
}

void ModbusTranslator::addDeparser(ModbusDeparser &deparser, const Transport &transport)
{
    addBinding(m_deparsers, deparser, transport);
}

void ModbusTranslator::addPacketDispatcher(PacketDispatcher &dispatcher, const Transport &transport)
{
    addBinding(m_dispatchers, dispatcher, transport);
}

bool ModbusTranslator::removeParser(const ModbusParser &parser)
{
    disconnect(&parser, nullptr, this, nullptr);
    return removeBindings(m_parsers, &parser);
}

bool ModbusTranslator::removeDeparser(const ModbusDeparser &deparser)
{
    disconnect(&deparser, nullptr, this, nullptr);
    return removeBindings(m_deparsers, &deparser);
}

bool ModbusTranslator::removePacketDispatcher(const PacketDispatcher &dispatcher)
{
    disconnect(&dispatcher, nullptr, this, nullptr);
    return removeBindings(m_dispatchers, &dispatcher);
}

ModbusParser *ModbusTranslator::getParser(const ModbusTarget *target, const ModbusBytes &bytes,
                                          DorrikBus::PacketState state) const
{
    ModbusTransporter *current = registry();
    return current ? parserFor(current->getTransportByTarget(target), bytes, state) : nullptr;
}

ModbusDeparser *ModbusTranslator::getDeparser(const ModbusTarget *target,
                                              const ModbusPacket &packet) const
{
    ModbusTransporter *current = registry();
    return current ? deparserFor(current->getTransportByTarget(target), packet) : nullptr;
}

ModbusParser *ModbusTranslator::parserFor(const Transport *link, const ModbusBytes &bytes,
                                          DorrikBus::PacketState state) const
{
    if (!link)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Binding<ModbusParser> &binding : m_parsers) {
        if (binding.transport == link && binding.item->canParse(bytes, state))
            return binding.item;
    }
    return nullptr;
}

ModbusDeparser *ModbusTranslator::deparserFor(const Transport *link,
                                              const ModbusPacket &packet) const
{
    if (!link)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Binding<ModbusDeparser> &binding : m_deparsers) {
        if (binding.transport == link && binding.item->canDeparse(packet))
            return binding.item;
    }
    return nullptr;
}

bool ModbusTranslator::tryDeparse(const ModbusTarget *target, const ModbusPacket &packet,
                                  ModbusBytes &bytes)
{
    ModbusTransporter *current = registry();
    return tryDeparseFor(current ? current->getTransportByTarget(target) : nullptr, target, packet,
                         bytes);
}

bool ModbusTranslator::tryDeparseFor(const Transport *link, const ModbusTarget *target,
                                     const ModbusPacket &packet, ModbusBytes &bytes)
{
    ModbusDeparser *deparser = deparserFor(link, packet);
    if (!deparser) {
        setErrorString(tr("can't find needed deparser"));
        return false;
    }
    return deparser->deparse(packet, bytes, target);
}

bool ModbusTranslator::isAwaited(const ModbusTarget *target) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_awaitingTargets.contains(target);
}

ModbusTransport *ModbusTranslator::modbusTransportFor(ModbusTransporter &registry,
                                                      const Target *target) const
{
    return qobject_cast<ModbusTransport *>(registry.getTransportByTarget(target));
}

bool ModbusTranslator::checkCanSend(const ModbusPacket &request, const ModbusTarget *target,
                                    ModbusTransporter &registry, ModbusBytes &bytes,
                                    ModbusTransport **transport)
{
    bool allow = true;
    emit packetSending(request, target, allow);
    if (!allow) {
        setErrorString(tr("outcoming packet was blocked by dispatcher(s)"));
        return false;
    }
    if (request.state() != DorrikBus::Request) {
        setErrorString(tr("you must send only 'Request'-state packets"));
        return false;
    }
    if (!tryDeparse(target, request, bytes))
        return false;
    ModbusTransport *link = modbusTransportFor(registry, target);
    if (!link) {
        setErrorString(tr("can't find transport"));
        return false;
    }
    if (link->busType() == DorrikBus::ServerBus) {
        setErrorString(tr("only modbus client can't send and receive packets"));
        return false;
    }
    *transport = link;
    return true;
}

ModbusPacket *ModbusTranslator::sendAndReceive(ModbusPacket &request, const ModbusTarget *target)
{
    ModbusParseInfo info(DorrikBus::Response);
    return sendAndReceive(request, info, target);
}

ModbusPacket *ModbusTranslator::sendAndReceive(ModbusPacket &request, ModbusParseInfo &info,
                                               const ModbusTarget *target)
{
    UseGate::Use use;
    ModbusTransporter *current = useRegistry(use);
    if (!current) {
        setErrorString(tr("can't find transporter"));
        return nullptr;
    }
    if (!target) {
        ModbusTransport *client = current->clientTransport();
        if (!client) {
            setErrorString(tr("sendAndReceivePacket: can't find default client transport"));
            return nullptr;
        }
        target = qobject_cast<const ModbusTarget *>(client->clientTarget());
        if (!target) {
            setErrorString(tr("sendAndReceivePacket: invalid target"));
            return nullptr;
        }
    }

    ModbusBytes bytes;
    ModbusTransport *link = nullptr;
    if (!checkCanSend(request, target, *current, bytes, &link))
        return nullptr;
    emit packetSent(request, target);

    // While the target is listed, bytes a server link of this translator receives from it
    // belong to this exchange and are not taken for a request.
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_awaitingTargets.append(target);
    }
    ModbusBytes answer;
    const bool sent = current->sendBytes(bytes, target, &answer);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_awaitingTargets.removeOne(target);
    }
    // The registry started to go while the exchange waited on its thread: it may be gone.
    if (use.closed()) {
        setErrorString(tr("can't find transporter"));
        return nullptr;
    }
    // A failed send or an empty answer has been reported by the registry or the link.
    if (!sent || answer.isEmpty())
        return nullptr;

    ModbusParser *parser = getParser(target, answer, DorrikBus::Response);
    if (!parser) {
        setErrorString(tr("can't find needed parser for bytes: %1;  sent packet: %2")
                           .arg(QString::fromLatin1(answer.toHex()), request.toString(true)));
        return nullptr;
    }
    std::unique_ptr<IPacket> parsed(parser->parse(answer, info, target));
    if (!parsed)
        return nullptr;
    auto *packet = dynamic_cast<ModbusPacket *>(parsed.get());
    if (!packet) {
        setErrorString(tr("ERROR: parser returned wrong packet type"));
        return nullptr;
    }
    if (packet->state() != DorrikBus::Response) {
        setErrorString(tr("received 'non-Response'-state packet"));
        return nullptr;
    }
    // A frame of another exchange or another slave (a late answer on a shared line, a gateway
    // that mixes up units) must not deliver its values as this request's. A broadcast has no
    // single answerer, so its answer is taken as it comes.
    if (request.address() != 0) {
        if (packet->functionCode() != request.functionCode()) {
            setErrorString(tr("answer's function code %1 doesn't match the request's %2")
                               .arg(int(packet->functionCode()))
                               .arg(int(request.functionCode())));
            return nullptr;
        }
        if (packet->address() != request.address()) {
            setErrorString(tr("answer came from unit %1, the request was sent to unit %2")
                               .arg(int(packet->address()))
                               .arg(int(request.address())));
            return nullptr;
        }
    }
    bool allow = true;
    emit packetReceiving(*packet, target, allow);
    if (!allow) {
        setErrorString(tr("answer was blocked by dispatcher(s)"));
        return nullptr;
    }
    emit packetReceived(*packet, target);
    parsed.release();
    return packet;
}

bool ModbusTranslator::send(ModbusTarget *target, const ModbusPacket &request)
{
    UseGate::Use use;
    ModbusTransporter *current = useRegistry(use);
    if (!current) {
        setErrorString(tr("can't find transporter"));
        return false;
    }
    ModbusBytes bytes;
    ModbusTransport *link = nullptr;
    if (!checkCanSend(request, target, *current, bytes, &link))
        return false;
    emit packetSent(request, target);
    // Straight to the link: no answer is awaited and the registry does not see the bytes.
    QString linkError;
    const bool sent = link->sendBytes(bytes, target, nullptr, &linkError);
    if (!sent)
        setErrorString(linkError);
    return sent;
}

void ModbusTranslator::onRequestBytesReceived(const ModbusBytes &bytes, const Target *target,
                                              ModbusBytes *answer)
{
    const auto *modbusTarget = qobject_cast<const ModbusTarget *>(target);
    if (modbusTarget && isAwaited(modbusTarget))
        return;

    // One look-up of the link serves the parser, the answer's deparser and the options.
    ModbusTransporter *current = registry();
    Transport *found = current ? current->getTransportByTarget(modbusTarget) : nullptr;
    ModbusParser *parser = parserFor(found, bytes, DorrikBus::Request);
    if (!parser) {
        setErrorString(tr("can't find needed parser2"));
        return;
    }
    auto *link = qobject_cast<ModbusTransport *>(found);
    if (!link)
        return;
    // What a client link hands in here is an answer, not a request.
    ModbusParseInfo info(link->busType() == DorrikBus::ClientBus ? DorrikBus::Response
                                                                 : DorrikBus::Request);
    std::unique_ptr<IPacket> parsed(parser->parse(bytes, info, modbusTarget));
    if (!parsed)
        return;
    auto *request = dynamic_cast<ModbusPacket *>(parsed.get());
    if (!request) {
        setErrorString(tr("ERROR: parser returned wrong packet type"));
        return;
    }
    bool allow = true;
    emit packetReceiving(*request, modbusTarget, allow);
    if (!allow)
        return;
    emit packetReceived(*request, modbusTarget);
    if (request->state() != DorrikBus::Request)
        return;

    ModbusTranslateOptions options(modbusTarget, request->address(), *link);
    ModbusPacket *answerPacket = nullptr;
    emit packetRequestReceived(*request, options, &answerPacket);
    const std::unique_ptr<ModbusPacket> answerOwner(answerPacket);
    if (!answerPacket || !answer)
        return;
    if (answerPacket->state() != DorrikBus::Response) {
        setErrorString(tr("you must answer only by 'Response'-state packets"));
        return;
    }
    ModbusBytes answerBytes;
    if (!tryDeparseFor(found, modbusTarget, *answerPacket, answerBytes))
        return;
    *answer = answerBytes;
    emit packetSent(*answerPacket, modbusTarget);
}

void ModbusTranslator::onError(const QString &text)
{
    setErrorString(withSource(text, sender()));
}

void ModbusTranslator::onTransportRemoving(Transport &transport)
{
    disconnect(&transport, nullptr, this, nullptr);
    const Transport *link = &transport;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto dropLink = [link](auto &list) {
        for (int i = int(list.size()) - 1; i >= 0; --i) {
            if (list.at(i).transport == link)
                list.removeAt(i);
        }
    };
    dropLink(m_parsers);
    dropLink(m_deparsers);
    dropLink(m_dispatchers);
}

void ModbusTranslator::onSomeoneDeleted(QObject *object)
{
    // The object is being destroyed: compare identities only, never call into it.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (object && object == m_registryObject) {
        // Its connections die with it; what remains is to forget it.
        m_registry = nullptr;
        m_registryObject = nullptr;
        m_registryGate.reset();
        return;
    }
    auto dropObject = [object](auto &list) {
        for (int i = int(list.size()) - 1; i >= 0; --i) {
            if (list.at(i).object == object)
                list.removeAt(i);
        }
    };
    dropObject(m_parsers);
    dropObject(m_deparsers);
    dropObject(m_dispatchers);
}

QString ModbusTranslator::toString(bool oneLine) const
{
    return oneLined(tr("Modbus Translator") + QLatin1Char('\n'), oneLine);
}
