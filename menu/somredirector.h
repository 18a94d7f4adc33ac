#ifndef SOMREDIRECTOR_H
#define SOMREDIRECTOR_H

#include "modbustranslator.h"

#include <QObject>

class ModbusPacket;
class ModbusTranslateOptions;
class ModbusTransport;

// A small gateway: every request that arrives on one of its two links is sent on through the
// translator (to the registry's client link) and the answer goes back to the requester. The links
// stay the caller's and must outlive the redirector.
class SOMRedirector : public QObject
{
    Q_OBJECT

public:
    SOMRedirector(ModbusTransport &first, ModbusTransport &second, QObject *parent = nullptr);

public slots:
    // Connected directly: the answer must be stored before the translator's emission returns,
    // and references cannot be queued.
    void onPacketRequestReceived(ModbusPacket &packet, ModbusTranslateOptions &options,
                                 ModbusPacket **answerPacket);
    void onPacketRequestReceived(ModbusPacket &packet, ModbusTranslateOptions &options);

private:
    ModbusTranslator m_translator;
};

#endif
