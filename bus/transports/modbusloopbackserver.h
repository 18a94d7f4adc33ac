#ifndef MODBUSLOOPBACKSERVER_H
#define MODBUSLOOPBACKSERVER_H

#include "dorrikbus_global.h"
#include "modbustarget.h"
#include "modbustransport.h"

// The slave end of the in-process loopback pair. It has no socket and no thread: a bound
// ModbusLoopbackClient plays each request frame in through emulateBytesReceived, which raises
// the same signals as a received frame and returns the answer frame synchronously. RTU framing.
class DORRIKBUS_EXPORT ModbusLoopbackServer : public ModbusTransport
{
    Q_OBJECT

public:
    explicit ModbusLoopbackServer(QObject *parent = nullptr);
    ~ModbusLoopbackServer() override;

    // Always fails: a server only answers.
    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    // The target under which every request arrives.
    const ModbusTarget *target() const { return &m_target; }

    // Plays one request in. When no listener of requestBytesReceived answers, the listeners of
    // read are asked for the answer as hexadecimal text. Runs in the caller's thread.
    void emulateBytesReceived(const ModbusBytes &bytes, ModbusBytes &answer);

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    ModbusTarget m_target;
};

#endif
