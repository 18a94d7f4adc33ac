#include "lockrecordinglink.h"

#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

#include <QDebug>

LockRecordingLink::LockRecordingLink(SimulatedInstrument &instrument, QObject *parent)
    : FakeLink(DorrikBus::ClientBus, parent)
{
    ModbusLoopbackClient *link = instrument.link();
    setAnswerer([link](const ModbusBytes &request, ModbusBytes *answer, QString *error) {
        return link->sendBytes(request, link->clientTarget(), answer, error);
    });
    setCodecFactories([link](QObject *owner) { return link->createParser(owner); },
                      [link](QObject *owner) { return link->createDeparser(owner); });
}

void LockRecordingLink::lockTransport()
{
    m_calls << QStringLiteral("lock");
    qInfo("test link locked");
    m_wasConnected = connected();
    if (m_wasConnected)
        disconnectTransport();
}

void LockRecordingLink::unlockTransport()
{
    m_calls << QStringLiteral("unlock");
    qInfo("test link unlocked");
    if (m_wasConnected)
        connectTransport(false);
    m_wasConnected = false;
    if (m_afterUnlock)
        m_afterUnlock();
}
