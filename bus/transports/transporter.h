#ifndef TRANSPORTER_H
#define TRANSPORTER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "eventedtransport.h"
#include "modbusbytes.h"
#include "qdorrikobject.h"
#include "target.h"

#include <QList>
#include <QRecursiveMutex>

#include <atomic>

// The registry of the links one translator uses: picks the link for a target, sends through it
// synchronously and relays what the links report.
//
// Threads: links are added and removed in the registry's owner thread while sendBytes runs in
// the caller's (executor) thread; the list is guarded by m_listMutex, which an exchange holds
// until it ends, so a link is never taken out of the list (nor deleted by it) mid-exchange.
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
    QList<EventedTransport *> m_transports; // guarded by m_listMutex
    // Recursive: a server link's request relayed during an exchange looks links up again.
    mutable QRecursiveMutex m_listMutex;
    // Set when destruction starts, so a late exchange from another thread fails cleanly.
    std::atomic<bool> m_closing{false};
};

#endif
