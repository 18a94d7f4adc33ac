#ifndef MODBUSPACKETREPORT_H
#define MODBUSPACKETREPORT_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbuspacket.h"

// Report slave ID (function 17): the raw report bytes, which also hold the device name.
class DORRIKBUS_EXPORT ModbusPacketReport : public ModbusPacket
{
public:
    ModbusPacketReport();
    // Copies every field, then sets function 17 again.
    ModbusPacketReport(const ModbusPacketReport &other);
    ModbusPacketReport &operator=(const ModbusPacketReport &other) = default;
    ~ModbusPacketReport() override;

    QString toString(bool oneLine = false) const override;

    const ModbusBytes &bytes() const { return m_bytes; }
    QString devName() const;

    void setBytes(const ModbusBytes &bytes) { m_bytes = bytes; }
    void setDevName(const QString &name);

    bool operator==(const ModbusPacketReport &other) const;
    bool operator!=(const ModbusPacketReport &other) const { return !(*this == other); }

private:
    ModbusBytes m_bytes;
};

#endif
