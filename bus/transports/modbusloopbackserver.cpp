#include "modbusloopbackserver.h"

#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"

ModbusLoopbackServer::ModbusLoopbackServer(QObject *parent)
    : ModbusTransport(DorrikBus::ServerBus, parent, false)
{}

ModbusLoopbackServer::~ModbusLoopbackServer()
{
    leaveRegistries();
}

bool ModbusLoopbackServer::sendBytes(const ModbusBytes &, const Target *, ModbusBytes *,
                                     QString *error)
{
    setErrorString(
        tr("you can't send bytes through ModbusLoopbackServer, only answer for requests"), error);
    return false;
}

bool ModbusLoopbackServer::hasTarget(const Target *target)
{
    return target == &m_target;
}

int ModbusLoopbackServer::targetsCount() const
{
    return 1;
}

qint64 ModbusLoopbackServer::bytesAvailable(const Target *)
{
    return 0;
}

ModbusParser *ModbusLoopbackServer::createParser(QObject *parent)
{
    return new ModbusRTUParser(parent);
}

ModbusDeparser *ModbusLoopbackServer::createDeparser(QObject *parent)
{
    return new ModbusRTUDeparser(parent);
}

QString ModbusLoopbackServer::toString(bool) const
{
    return tr("ModbusLoopbackServer");
}

void ModbusLoopbackServer::emulateBytesReceived(const ModbusBytes &bytes, ModbusBytes &answer)
{
    emit bytesReceived(bytes, &m_target);
    answer.clear();
    emit requestBytesReceived(bytes, &m_target, &answer);
    if (!answer.isEmpty())
        return;
    const QString request = QString::fromLatin1(bytes.toHex());
    QString replyText;
    emit read(request, &m_target, replyText);
    if (!replyText.isEmpty())
        answer = ModbusBytes::fromModbusString(replyText);
}

bool ModbusLoopbackServer::connectTransportInternal()
{
    return true;
}

bool ModbusLoopbackServer::disconnectTransportInternal()
{
    return true;
}
