#ifndef MODBUSC55CLIENT_H
#define MODBUSC55CLIENT_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbustarget.h"
#include "modbustransport.h"

#include <atomic>

// The master's link to the C55 device. The device itself is not provided: the class offers the
// link's whole interface so that it can be created and registered, but it never connects, so
// sending and event reading report the disconnected state.
//
// lockTransport and unlockTransport come in pairs from one thread and hold the link mutex
// between them, so every exchange (from any thread) waits until the link is unlocked.
class DORRIKBUS_EXPORT ModbusC55Client : public ModbusTransport
{
    Q_OBJECT

public:
    explicit ModbusC55Client(QObject *parent = nullptr);
    ~ModbusC55Client() override;

    int readTimeout() const { return m_readTimeout.load(); }
    void setReadTimeout(int ms) { m_readTimeout = ms; }
    int writeTimeout() const { return m_writeTimeout.load(); }
    void setWriteTimeout(int ms) { m_writeTimeout = ms; }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    bool readEventBytes(ModbusBytes &bytes, QString *error) override;
    const Target *clientTarget() override;
    const ModbusTarget *target() const { return &m_target; }
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    Q_INVOKABLE void lockTransport();
    // Without a matching lockTransport of the calling thread it does nothing.
    Q_INVOKABLE void unlockTransport();

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    ModbusTarget m_target;
    // Set from any thread, read by exchanges.
    std::atomic<int> m_readTimeout{3000};
    std::atomic<int> m_writeTimeout{3000};
    ModbusBytes m_readBuffer;
    // Both guarded by the link mutex: written only between lockTransport and unlockTransport.
    bool m_wasConnected = false;
    int m_lockDepth = 0;
};

#endif
