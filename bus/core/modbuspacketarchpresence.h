#ifndef MODBUSPACKETARCHPRESENCE_H
#define MODBUSPACKETARCHPRESENCE_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbuspacket.h"

#include <QDateTime>

// Archive records presence (function 66): which labels the device holds, 4 bytes a label.
class DORRIKBUS_EXPORT ModbusPacketArchPresence : public ModbusPacket
{
public:
    ModbusPacketArchPresence();
    explicit ModbusPacketArchPresence(DorrikBus::ArchType archType);
    ModbusPacketArchPresence(DorrikBus::ArchType archType, unsigned short requestLabelsCount);
    // Copies every field, then sets function 66 again.
    ModbusPacketArchPresence(const ModbusPacketArchPresence &other);
    ModbusPacketArchPresence &operator=(const ModbusPacketArchPresence &other) = default;
    ~ModbusPacketArchPresence() override;

    QString toString(bool oneLine = false) const override;

    DorrikBus::ArchType archType() const { return m_archType; }
    unsigned short archIndex() const { return m_archIndex; }
    DorrikBus::ArchDirection direction() const { return m_direction; }
    const ModbusBytes &labels() const { return m_labels; }
    // Whole labels only: surplus bytes of an incomplete last label are not counted.
    int labelsCount() const { return int(m_labels.size() / 4); }
    unsigned int requestLabel() const { return m_requestLabel; }
    unsigned short requestLabelsCount() const { return m_requestLabelsCount; }
    QDateTime requestTimeLabel() const;

    void setArchType(DorrikBus::ArchType archType) { m_archType = archType; }
    void setArchIndex(unsigned short index) { m_archIndex = index; }
    void setDirection(DorrikBus::ArchDirection direction) { m_direction = direction; }
    void setLabels(const ModbusBytes &labels) { m_labels = labels; }
    void setRequestLabel(unsigned int label) { m_requestLabel = label; }
    void setRequestLabel(const QDateTime &label);
    void setRequestLabelsCount(unsigned short count) { m_requestLabelsCount = count; }
    void appendLabel(unsigned int label);
    void appendLabels(const ModbusBytes &labels);
    void setLabelsCount(unsigned short count);

    bool operator==(const ModbusPacketArchPresence &other) const;
    bool operator!=(const ModbusPacketArchPresence &other) const { return !(*this == other); }

private:
    DorrikBus::ArchType m_archType;
    unsigned short m_archIndex = 0;
    DorrikBus::ArchDirection m_direction;
    ModbusBytes m_labels;
    unsigned int m_requestLabel = 0;
    unsigned short m_requestLabelsCount = 1;
};

#endif
