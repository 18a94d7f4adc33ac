#ifndef MODBUSPACKETARCH_H
#define MODBUSPACKETARCH_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbuspacket.h"

#include <QDateTime>
#include <QList>

// Archive records (functions 65 and 67): the request fields and the raw records of an answer.
class DORRIKBUS_EXPORT ModbusPacketArch : public ModbusPacket
{
public:
    ModbusPacketArch();
    explicit ModbusPacketArch(DorrikBus::ArchType archType);
    ModbusPacketArch(DorrikBus::ArchType archType, DorrikBus::ArchDirection direction);
    ModbusPacketArch(const ModbusPacketArch &other);
    ModbusPacketArch &operator=(const ModbusPacketArch &other) = default;
    ~ModbusPacketArch() override;

    QString toString(bool oneLine = false) const override;

    DorrikBus::ArchType archType() const { return m_archType; }
    unsigned short archIndex() const { return m_archIndex; }
    const QList<ModbusBytes> &records() const { return m_records; }
    DorrikBus::ArchDirection direction() const { return m_direction; }
    unsigned int requestLabel() const { return m_requestLabel; }
    unsigned short requestRecordsCount() const { return m_requestRecordsCount; }
    QDateTime requestTimeLabel() const;
    int fieldsTotalSize() const;

    void setArchType(DorrikBus::ArchType archType) { m_archType = archType; }
    void setArchIndex(unsigned short index) { m_archIndex = index; }
    void setDirection(DorrikBus::ArchDirection direction) { m_direction = direction; }
    void setRequestLabel(unsigned int label) { m_requestLabel = label; }
    void setRequestLabel(QDateTime label);
    void setRequestRecordsCount(unsigned short count) { m_requestRecordsCount = count; }
    void setRecords(const QList<ModbusBytes> &records) { m_records = records; }
    void appendRecords(const ModbusBytes &record) { m_records.append(record); }

    bool operator==(const ModbusPacketArch &other) const;
    bool operator!=(const ModbusPacketArch &other) const { return !(*this == other); }

private:
    DorrikBus::ArchType m_archType;
    unsigned short m_archIndex = 0;
    QList<ModbusBytes> m_records;
    DorrikBus::ArchDirection m_direction;
    unsigned int m_requestLabel = 0;
    unsigned short m_requestRecordsCount = 1;
};

#endif
