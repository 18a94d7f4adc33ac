#include "modbusloopbackclient.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"

#include <QThread>

ModbusLoopbackClient::ModbusLoopbackClient(QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, false)
{}

ModbusLoopbackClient::ModbusLoopbackClient(ModbusLoopbackServer &server, QObject *parent)
    : ModbusTransport(DorrikBus::ClientBus, parent, false), m_server(&server)
{
    watchServer(&server);
}

ModbusLoopbackClient::~ModbusLoopbackClient()
{
    leaveRegistries();
}

ModbusLoopbackServer *ModbusLoopbackClient::server() const
{
    return m_server.data();
}

void ModbusLoopbackClient::setServer(ModbusLoopbackServer *server)
{
    ModbusLoopbackServer *current = m_server.data();
    if (server == current)
        return;
    m_server = server;
    if (current)
        unRegisterServer(current);
    if (server) {
        registerServer(server);
        watchServer(server);
    } else if (connected()) {
        disconnectTransport();
    }
    emit serverChanged();
}

void ModbusLoopbackClient::registerServer(ModbusLoopbackServer *server)
{
    // Unique: every connect registers again with the same server.
    connect(server, &Transport::connectedChanged, this,
            &ModbusLoopbackClient::onServerConnectedChanged, Qt::UniqueConnection);
}

void ModbusLoopbackClient::unRegisterServer(ModbusLoopbackServer *server)
{
    disconnect(server, nullptr, this, nullptr);
    // The bound server stays watched, whoever unregisters it.
    if (server == m_server.data())
        watchServer(server);
}

void ModbusLoopbackClient::watchServer(ModbusLoopbackServer *server)
{
    connect(server, &QObject::destroyed, this, &ModbusLoopbackClient::onServerDestroyed,
            Qt::UniqueConnection);
}

void ModbusLoopbackClient::onServerDestroyed()
{
    // The guarded pointer is already null when the bound server is the one going.
    if (m_server)
        return;
    emit serverChanged();
    if (connected())
        disconnectTransport();
}

void ModbusLoopbackClient::onServerConnectedChanged()
{
    // A server that connects again is not re-bound by itself: the owner sets it again.
    if (m_server && !m_server->connected())
        setServer(nullptr);
}

bool ModbusLoopbackClient::sendBytes(const ModbusBytes &bytes, const Target *target,
                                     ModbusBytes *answer, QString *error)
{
    if (QThread::currentThread() == thread())
        return exchange(bytes, target, answer, error);
    // The server's listeners answer through reference arguments and so must be called
    // directly, in the pair's own thread: run the whole exchange there and wait for it.
    return runExchangeInOwnThread([&] { return exchange(bytes, target, answer, error); }, error);
}

bool ModbusLoopbackClient::exchange(const ModbusBytes &bytes, const Target *target,
                                    ModbusBytes *answer, QString *error)
{
    if (!checkCanSendBytes(target, error))
        return false;
    ModbusLoopbackServer *server = m_server.data();
    if (!server) {
        setErrorString(tr("server loopback transport doesn't assigned"), error);
        return false;
    }
    ModbusBytes reply;
    server->emulateBytesReceived(bytes, reply);
    if (!answer)
        return true;
    *answer = reply;
    if (reply.isEmpty()) {
        setErrorString(tr("zero length answer received"), error);
        return false;
    }
    emit bytesReceived(reply, &m_target);
    return true;
}

bool ModbusLoopbackClient::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusLoopbackClient::targetsCount() const
{
    return 1;
}

qint64 ModbusLoopbackClient::bytesAvailable(const Target *)
{
    return 0;
}

const Target *ModbusLoopbackClient::clientTarget()
{
    return &m_target;
}

ModbusParser *ModbusLoopbackClient::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusLoopbackClient::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusLoopbackClient::toString(bool) const
{
    return tr("ModbusLoopback client");
}

bool ModbusLoopbackClient::connectTransportInternal()
{
    ModbusLoopbackServer *server = m_server.data();
    if (!server) {
        setConnectError(tr("server loopback transport doesn't assigned"));
        return false;
    }
    if (server->connected() || server->connectAfterInit()) {
        registerServer(server);
        return true;
    }
    setConnectError(tr("server loopback transport disconnected"));
    return false;
}

bool ModbusLoopbackClient::disconnectTransportInternal()
{
    return true;
}
