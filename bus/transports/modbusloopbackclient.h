#ifndef MODBUSLOOPBACKCLIENT_H
#define MODBUSLOOPBACKCLIENT_H

#include "dorrikbus_global.h"
#include "modbusloopbackserver.h"
#include "modbustarget.h"
#include "modbustransport.h"

#include <QPointer>

// The master end of the in-process loopback pair: each request frame goes straight to the bound
// ModbusLoopbackServer, whose answer comes back synchronously. It is connected only while bound
// to a server that is connected (or connects after declarative initialisation).
//
// The pair lives in one thread. sendBytes called from another thread (the polling client's
// executor) runs the exchange in that thread by a blocking call, so that the server's listeners
// answer by direct calls as they must; that thread's event loop has to be running then.
class DORRIKBUS_EXPORT ModbusLoopbackClient : public ModbusTransport
{
    Q_OBJECT
    Q_PROPERTY(ModbusLoopbackServer *server READ server WRITE setServer NOTIFY serverChanged)

public:
    explicit ModbusLoopbackClient(QObject *parent = nullptr);
    // Binds the server without registering with it: its connection changes are followed from
    // the first connect on.
    explicit ModbusLoopbackClient(ModbusLoopbackServer &server, QObject *parent = nullptr);
    ~ModbusLoopbackClient() override;

    ModbusLoopbackServer *server() const;
    void setServer(ModbusLoopbackServer *server);

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    const Target *clientTarget() override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    const ModbusTarget *target() const { return &m_target; }

    void registerServer(ModbusLoopbackServer *server);
    void unRegisterServer(ModbusLoopbackServer *server);

public slots:
    void onServerConnectedChanged();

signals:
    void serverChanged();

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    bool exchange(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                  QString *error);
    void watchServer(ModbusLoopbackServer *server);
    void onServerDestroyed();

    ModbusTarget m_target;
    // Guarded: a server destroyed first leaves null here, never a dangling pointer. Read and
    // written in the owner's thread only.
    QPointer<ModbusLoopbackServer> m_server;
};

#endif
