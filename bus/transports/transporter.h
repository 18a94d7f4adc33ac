#ifndef TRANSPORTER_H
#define TRANSPORTER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "eventedtransport.h"
#include "modbusbytes.h"
#include "qdorrikobject.h"
#include "target.h"
#include "usegate.h"

#include <QList>
#include <QRecursiveMutex>

#include <memory>

// The registry of the links one translator uses: picks the link for a target, sends through it
// synchronously and relays what the links report.
//
// Threads: links are added and removed in the registry's owner thread while sendBytes runs in
// the caller's (executor) thread. The list lock is held only to look a link up and take a use
// of it; the exchange runs without it, so the owner's thread is never held up for an exchange
// (nor deadlocked by a link that runs its exchange in the owner's thread). Removing a link waits
// for the uses other threads hold; so does the registry's destruction for its own.
class DORRIKBUS_EXPORT Transporter : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit Transporter(QObject *parent = nullptr);
    ~Transporter() override;

    QList<EventedTransport *> transports() const;
    EventedTransport *getTransportByTarget(const Target *target) const;

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer);
    bool sendEventBytes(const ModbusBytes &bytes, const Target *target);

    QString toString(bool oneLine) const override;

    // Callers that keep a pointer to the registry take a use of this gate around each call, so
    // that the registry's destruction waits for them or they learn that it went.
    std::shared_ptr<UseGate> useGate() const { return m_gate; }

public slots:
    void onRequestBytesReceived(const ModbusBytes &bytes, const Target *target,
                                ModbusBytes *answer);
    void onTransportError(QString text);
    void onTransportDestroyed(QObject *object);
    void onEventBytesReceived(const ModbusBytes &bytes, const Target *target);
    void onTransportConnectedChanged();
    bool connectTransports();
    bool disconnectTransports();
    virtual void addTransport(EventedTransport &transport, bool takeOwnership = false);
    virtual void removeTransport(EventedTransport &transport);

signals:
    void requestBytesReceived(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer);
    void bytesReceived(const ModbusBytes &bytes, const Target *target);
    void bytesSent(const ModbusBytes &bytes, const Target *target);
    void transportRemoving(Transport &transport);
    void eventBytesReceived(const ModbusBytes &bytes, const Target *target);
    void eventBytesSent(const ModbusBytes &bytes, const Target *target);
    void connectedChanged(const Transport &transport);
    void transportsChanged();

private:
    // The link for the target with a use of it taken under the list lock; null when none.
    EventedTransport *useTransportByTarget(const Target *target, UseGate::Use &use) const;

    QList<EventedTransport *> m_transports; // guarded by m_listMutex
    // Recursive: links' hasTarget may call back into the registry.
    mutable QRecursiveMutex m_listMutex;
    // Closed when destruction starts, so that a late exchange fails cleanly.
    const std::shared_ptr<UseGate> m_gate = UseGate::create();
};

#endif
