#ifndef EVENTEDTRANSPORT_H
#define EVENTEDTRANSPORT_H

#include "transport.h"

#include <QElapsedTimer>

#include <atomic>

class TransportEventReader;

// A link that may also carry unsolicited event records: while connected, a reader thread polls
// readEventBytes and each complete record's payload is emitted as eventBytesReceived.
// A record is one length byte (counting itself) followed by its payload.
class DORRIKBUS_EXPORT EventedTransport : public Transport
{
    Q_OBJECT
    Q_PROPERTY(int eventsCheckInterval READ eventsCheckInterval WRITE setEventsCheckInterval NOTIFY
                   eventsCheckIntervalChanged)
    Q_PROPERTY(
        int eventsTimeout READ eventsTimeout WRITE setEventsTimeout NOTIFY eventsTimeoutChanged)
    Q_PROPERTY(bool eventable READ eventable NOTIFY eventableChanged)

public:
    EventedTransport(QObject *parent, bool eventable);
    ~EventedTransport() override;

    int eventsCheckInterval() const { return m_eventsCheckInterval; }
    void setEventsCheckInterval(int ms);
    int eventsTimeout() const { return m_eventsTimeout.load(); }
    void setEventsTimeout(int ms);
    bool eventable() const { return m_eventable; }

    // Appends the event bytes read to `bytes`; the base reads nothing and fails.
    virtual bool readEventBytes(ModbusBytes &bytes, QString *error);

public slots:
    virtual bool checkEvents();
    virtual bool checkEventsSync();

signals:
    void eventBytesReceived(const ModbusBytes &payload, const Target *target);
    void eventsCheckIntervalChanged();
    void eventsTimeoutChanged();
    void eventableChanged();

protected:
    void afterConnected() override;
    void afterDisconnected() override;

    // Stops the poll timer and joins the reader thread. A link whose readEventBytes uses its
    // own members calls this first in its destructor, so that no poll runs on a half-destroyed
    // object; the base destructor calls it again as a backstop. Owner's thread only.
    void stopEventPolling();

private:
    // Guarded by the link mutex: touched by polls (reader thread) and by connect/disconnect.
    ModbusBytes m_eventBuffer;
    // Monotonic age of the first byte of the partial record left in m_eventBuffer.
    QElapsedTimer m_partialSince;
    bool m_discardFirst = true;

    int m_eventsCheckInterval = 100;       // owner's thread
    std::atomic<int> m_eventsTimeout{500}; // written by the owner, read by polls
    const bool m_eventable;
    TransportEventReader *m_reader = nullptr; // owner's thread
    std::atomic<bool> m_pollingStopped{false};
};

#endif
