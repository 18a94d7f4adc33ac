#ifndef TRANSPORT_H
#define TRANSPORT_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusbytes.h"
#include "mydeclarativeparserstatus.h"
#include "qdorrikobject.h"
#include "target.h"
#include "usegate.h"

#include <QRecursiveMutex>
#include <QString>

#include <atomic>
#include <functional>

// The abstract byte link: opened and closed in its owner's thread only, sends frames
// synchronously from any thread, and reconnects by itself after a loss when asked to.
class DORRIKBUS_EXPORT Transport : public ErrObject,
                                   public QDorrikObject,
                                   public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(bool connected READ connected WRITE setConnected NOTIFY connectedChanged)
    Q_PROPERTY(int targetsCount READ targetsCount NOTIFY targetsCountChanged)
    Q_PROPERTY(
        bool autoReconnect READ autoReconnect WRITE setAutoReconnect NOTIFY autoReconnectChanged)

public:
    explicit Transport(QObject *parent = nullptr);
    ~Transport() override;

    // Any thread; reads the state that the owner's thread writes.
    bool connected() const { return m_connected.load(); }

    bool autoReconnect() const { return m_autoReconnect; }
    void setAutoReconnect(bool on);
    int autoReconnectInterval() const { return m_autoReconnectInterval; }
    void setAutoReconnectInterval(int ms);
    bool connectAfterInit() const { return m_connectAfterInit; }
    // A closed link that is waiting to open again.
    bool reconnectWanted() const { return m_reconnectWanted; }

    // Serialises exchanges, event polls, opening and closing of this link.
    QRecursiveMutex *mutex() const { return &m_mutex; }

    // A registry takes a use of the link, under its list lock, for each exchange; removal and
    // destruction wait for the uses of other threads. Empty once the link is going.
    UseGate::Use use() { return UseGate::tryUse(m_useGate); }
    void waitForUsers() { m_useGate->waitForOthers(); }

    bool checkValidThread();
    using ErrObject::setErrorString;
    // With an out-parameter the text goes to the caller and the object's own error stays.
    void setErrorString(const QString &text, QString *error);
    void setConnectError(const QString &text);
    bool checkCanSendBytes(const Target *target, QString *error);

    virtual bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                           QString *error) = 0;
    virtual bool waitForIncomingConnection() const;
    virtual bool sendEventBytes(const ModbusBytes &bytes, const Target *target);
    virtual const Target *defaultTarget();
    virtual bool hasTarget(const Target *target) = 0;
    virtual int targetsCount() const = 0;
    virtual qint64 bytesAvailable(const Target *target) = 0;

    void componentComplete() override;

    Q_INVOKABLE void setConnected(bool on);

public slots:
    void autoDisconnect();
    void doReconnect();
    // The argument is the reconnect flag: a failed open schedules further attempts.
    virtual bool connectTransport(bool reconnect = true);
    virtual bool disconnectTransport();

signals:
    void read(QString request, const Target *target, QString &reply);
    void bytesReceived(const ModbusBytes &bytes, const Target *target);
    void requestBytesReceived(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer);
    void bytesSent(const ModbusBytes &bytes, const Target *target);
    void targetAdded(const Target *target);
    void targetRemoved(const Target *target);
    void connectedChanged();
    void targetsCountChanged();
    void autoReconnectChanged();
    void transportConnected();
    void transportDisconnected();
    // The first thing a link's destruction does, while all of it is still there: registries
    // drop it on this signal, before anything it holds is freed.
    void aboutToBeDestroyed();

protected:
    // Every link's destructor calls this first: the link leaves its registries, and exchanges
    // that other threads run through it end, before its own members go. Idempotent.
    void leaveRegistries();
    // For a link whose exchange must run in its own thread: runs it there and waits for it,
    // with the caller's uses parked meanwhile, since the owner's thread may be waiting for them
    // to remove this very link. A link destroyed before the call ran fails it with a text, and
    // nothing of it is touched after the wait.
    bool runExchangeInOwnThread(const std::function<bool()> &exchange, QString *error);

    virtual bool connectTransportInternal() = 0;
    // Pure, yet with a body that returns true for overriders to call.
    virtual bool disconnectTransportInternal() = 0;
    virtual void afterConnected();
    virtual void afterDisconnected();

private:
    void scheduleReconnect();

    // Written in the owner's thread under m_mutex; read by exchanges in any thread.
    std::atomic<bool> m_connected{false};
    // Owner's thread only (property, timers and open/close all run there).
    bool m_autoReconnect = true;
    int m_autoReconnectInterval = 200;
    bool m_connectAfterInit = false;
    bool m_reconnectWanted = false;
    bool m_reconnectScheduled = false;
    mutable QRecursiveMutex m_mutex;
    const std::shared_ptr<UseGate> m_useGate = UseGate::create();
    bool m_leaving = false; // the destroying thread's
};

#endif
