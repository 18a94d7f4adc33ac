#include "somredirector.h"

#include "modbuspacket.h"
#include "modbustransport.h"

#include <QDebug>

#include <memory>

SOMRedirector::SOMRedirector(ModbusTransport &first, ModbusTransport &second, QObject *parent)
    : QObject(parent)
{
    m_translator.addTransport(first, true, false);
    m_translator.addTransport(second, true, false);
    if (!second.connected())
        second.connectTransport(true);
    if (!first.connected())
        first.connectTransport(true);
    qWarning() << "redirector connected...   " << first.toString(true);
    connect(&m_translator,
            qOverload<ModbusPacket &, ModbusTranslateOptions &, ModbusPacket **>(
                &ModbusTranslator::packetRequestReceived),
            this,
            qOverload<ModbusPacket &, ModbusTranslateOptions &, ModbusPacket **>(
                &SOMRedirector::onPacketRequestReceived),
            Qt::DirectConnection);
}

void SOMRedirector::onPacketRequestReceived(ModbusPacket &packet, ModbusTranslateOptions &options,
                                            ModbusPacket **answerPacket)
{
    Q_UNUSED(options)
    ModbusPacket *answer = m_translator.sendAndReceive(packet, nullptr);
    if (answerPacket)
        *answerPacket = answer;
    else
        delete answer;
}

void SOMRedirector::onPacketRequestReceived(ModbusPacket &packet, ModbusTranslateOptions &options)
{
    onPacketRequestReceived(packet, options, nullptr);
}
