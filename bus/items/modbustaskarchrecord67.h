#ifndef MODBUSTASKARCHRECORD67_H
#define MODBUSTASKARCHRECORD67_H

#include "modbustaskarchrecord65.h"

#include <QList>

// A record read by function 67 of the labels known to exist: on a time archive the next label is
// taken from that list, not from the calendar.
class DORRIKBUS_EXPORT ModbusTaskArchRecord67 : public ModbusTaskArchRecord65
{
public:
    ModbusTaskArchRecord67(ModbusArchRecord &item, quint32 label, const QList<quint32> &labels,
                           int interval);
    ModbusTaskArchRecord67(ModbusItemBase &item, quint32 label, const QList<quint32> &labels,
                           int interval, quint16 archIndex, DorrikBus::ArchType archType,
                           int recordSize, DorrikBus::ArchInterval archInterval);
    ModbusTaskArchRecord67(const ModbusTaskArchRecord67 &other) = default;

    ModbusTask *clone() const override;
    // Time archive: the label step places further in the list; the same label and ok false when
    // label is not in the list or the step leaves it.
    quint32 getNextLabel(quint32 label, bool *ok, quint32 step) const override;

    const QList<quint32> &labels() const { return m_labels; }

private:
    QList<quint32> m_labels;
};

#endif
