#ifndef MODBUSTASKARCHPRESENCE_H
#define MODBUSTASKARCHPRESENCE_H

#include "modbustaskarch.h"

class ModbusArchLabel;

// Which labels exist from a label on, in the task's direction: the answer is one 4-byte
// big-endian element per label, plus, as asked, the labels around them and the archive's ends.
// The executor reads and writes the answer members directly.
class DORRIKBUS_EXPORT ModbusTaskArchPresence : public ModbusTaskArch
{
public:
    ModbusTaskArchPresence(ModbusArchLabel &item, DorrikBus::ArchDirection direction, int interval);
    // For any item: the archive and start label given, every other member at its default.
    ModbusTaskArchPresence(ModbusItemBase &item, DorrikBus::ArchDirection direction, int interval,
                           quint16 archIndex, DorrikBus::ArchFunc func,
                           DorrikBus::ArchType archType, quint32 label);
    // A copy asks again: the exists flags start cleared, the labels are kept.
    ModbusTaskArchPresence(const ModbusTaskArchPresence &other);

    ModbusTask *clone() const override;

    quint32 label() const { return m_label; }
    bool readPrev() const { return m_readPrev; }
    bool readNext() const { return m_readNext; }
    bool readFirst() const { return m_readFirst; }
    bool readLast() const { return m_readLast; }
    void setReads(bool prev, bool next, bool first, bool last);

    quint32 prevLabel = 0;
    quint32 nextLabel = 0;
    quint32 firstLabel = 0;
    quint32 lastLabel = 0xFFFFFFFF;
    // 0: the run has no end label.
    quint32 endLabel = 0;
    bool prevLabelExists = false;
    bool nextLabelExists = false;
    int maxRequestLabels = 62;

private:
    quint32 m_label = 0;
    bool m_readPrev = false;
    bool m_readNext = false;
    bool m_readFirst = false;
    bool m_readLast = false;
};

#endif
