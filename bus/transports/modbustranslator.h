#ifndef MODBUSTRANSLATOR_H
#define MODBUSTRANSLATOR_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusbytes.h"
#include "modbusdeparser.h"
#include "modbuspacket.h"
#include "modbusparseinfo.h"
#include "modbusparser.h"
#include "modbustarget.h"
#include "modbustranslateoptions.h"
#include "modbustransport.h"
#include "modbustransporter.h"
#include "packetdispatcher.h"
#include "qdorrikobject.h"
#include "transport.h"
#include "usegate.h"

#include <QList>

#include <memory>
#include <mutex>

// Turns packets into bytes and back for the links of its registry. Master side: sendAndReceive
// writes a request with the deparser bound to the target's link, sends it synchronously and
// parses the answer with a parser bound to the same link. Slave side: request bytes that a server
// link received are parsed, offered to listeners and their answer is written back before the
// link's emission returns.
//
// Listeners of the signals with a bool& or a pointer argument must be connected directly: the
// value is read as soon as the emission returns.
class DORRIKBUS_EXPORT ModbusTranslator : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit ModbusTranslator(QObject *parent = nullptr);
    ~ModbusTranslator() override;

    ModbusTransporter *transporter() const;
    void registerTransporter(ModbusTransporter &registry);
    void unregisterTransporter(ModbusTransporter &registry);
    void setTransporter(ModbusTransporter &registry);

    // createCodecs: add the link's own parser and deparser (children of the translator);
    // takeOwnership: the registry becomes the link's parent.
    void addTransport(ModbusTransport &transport, bool createCodecs, bool takeOwnership);
    void addParser(ModbusParser &parser, const Transport &transport);
    void addDeparser(ModbusDeparser &deparser, const Transport &transport);
    void addPacketDispatcher(PacketDispatcher &dispatcher, const Transport &transport);
    bool removeParser(const ModbusParser &parser);
    bool removeDeparser(const ModbusDeparser &deparser);
    bool removePacketDispatcher(const PacketDispatcher &dispatcher);

    ModbusParser *getParser(const ModbusTarget *target, const ModbusBytes &bytes,
                            DorrikBus::PacketState state) const;
    ModbusDeparser *getDeparser(const ModbusTarget *target, const ModbusPacket &packet) const;
    bool tryDeparse(const ModbusTarget *target, const ModbusPacket &packet, ModbusBytes &bytes);

    QString toString(bool oneLine = false) const override;

signals:
    void packetSending(const ModbusPacket &packet, const ModbusTarget *target, bool &allow);
    void packetSent(const ModbusPacket &packet, const ModbusTarget *target);
    void packetReceiving(const ModbusPacket &packet, const ModbusTarget *target, bool &allow);
    void packetReceived(const ModbusPacket &packet, const ModbusTarget *target);
    // A receiver may store a new answer packet (state Response) through `answer`; the
    // translator writes it back to the link and deletes it.
    void packetRequestReceived(ModbusPacket &request, ModbusTranslateOptions &options,
                               ModbusPacket **answer = nullptr);

public slots:
    void onSomeoneDeleted(QObject *object);
    // Writes only; returns what the link's sendBytes returned.
    bool send(ModbusTarget *target, const ModbusPacket &request);
    // A new answer packet that the caller owns, or null.
    ModbusPacket *sendAndReceive(ModbusPacket &request, const ModbusTarget *target = nullptr);
    ModbusPacket *sendAndReceive(ModbusPacket &request, ModbusParseInfo &info,
                                 const ModbusTarget *target = nullptr);
    void onRequestBytesReceived(const ModbusBytes &bytes, const Target *target,
                                ModbusBytes *answer);
    void onError(const QString &text);
    void onTransportRemoving(Transport &transport);

private:
    // A codec or dispatcher bound to a link. `object` is the same object seen as a QObject, so
    // that a destroyed one is recognised without a cast of a half-destroyed object.
    template <typename T> struct Binding
    {
        const Transport *transport;
        T *item;
        QObject *object;
    };

    template <typename T>
    void addBinding(QList<Binding<T>> &list, T &item, const Transport &transport);
    void relayThreadErrors(ErrObject &source);
    template <typename T> bool removeBindings(QList<Binding<T>> &list, const QObject *object);
    // The first parser or deparser bound to `link` that takes the bytes or the packet.
    ModbusParser *parserFor(const Transport *link, const ModbusBytes &bytes,
                            DorrikBus::PacketState state) const;
    ModbusDeparser *deparserFor(const Transport *link, const ModbusPacket &packet) const;
    bool tryDeparseFor(const Transport *link, const ModbusTarget *target,
                       const ModbusPacket &packet, ModbusBytes &bytes);

    ModbusTransporter *registry() const;
    // The registry with a use of it taken, so that it stays until the use ends; null when there
    // is none or it is going.
    ModbusTransporter *useRegistry(UseGate::Use &use) const;
    bool isAwaited(const ModbusTarget *target) const;
    ModbusTransport *modbusTransportFor(ModbusTransporter &registry, const Target *target) const;
    bool checkCanSend(const ModbusPacket &request, const ModbusTarget *target,
                      ModbusTransporter &registry, ModbusBytes &bytes, ModbusTransport **transport);

    // Exchanges run in the caller's thread (the polling client's executor), the slave side in
    // the server link's thread, and the lists change in the owner's thread: the mutex guards
    // every member below.
    mutable std::mutex m_mutex;
    ModbusTransporter *m_registry = nullptr;
    QObject *m_registryObject = nullptr;
    // Outlives the registry: tells an exchange that took a use whether the registry went.
    std::shared_ptr<UseGate> m_registryGate;
    QList<Binding<ModbusParser>> m_parsers;
    QList<Binding<ModbusDeparser>> m_deparsers;
    QList<Binding<PacketDispatcher>> m_dispatchers;
    QList<const ModbusTarget *> m_awaitingTargets;
};

#endif
