#include "modbustaskarchpresence.h"

#include "modbusarchlabel.h"

ModbusTaskArchPresence::ModbusTaskArchPresence(ModbusArchLabel &item,
                                               DorrikBus::ArchDirection direction, int interval)
    : ModbusTaskArchPresence(item, direction, interval, item.archIndex(), item.func(),
                             item.archType(), item.label())
{
    firstLabel = item.firstLabelInt();
    lastLabel = item.lastLabelInt();
    endLabel = item.endLabel();
    maxRequestLabels = item.maxRequestLabels();
    setReads(item.usePrev(), item.useNext(), item.useFirst(), item.useLast());
}

ModbusTaskArchPresence::ModbusTaskArchPresence(ModbusItemBase &item,
                                               DorrikBus::ArchDirection direction, int interval,
                                               quint16 archIndex, DorrikBus::ArchFunc func,
                                               DorrikBus::ArchType archType, quint32 label)
    : ModbusTaskArch(item, direction, interval, archIndex, func, archType), m_label(label)
{}

ModbusTaskArchPresence::ModbusTaskArchPresence(const ModbusTaskArchPresence &other)
    : ModbusTaskArch(other), prevLabel(other.prevLabel), nextLabel(other.nextLabel),
      firstLabel(other.firstLabel), lastLabel(other.lastLabel), endLabel(other.endLabel),
      prevLabelExists(false), nextLabelExists(false), maxRequestLabels(other.maxRequestLabels),
      m_label(other.m_label), m_readPrev(other.m_readPrev), m_readNext(other.m_readNext),
      m_readFirst(other.m_readFirst), m_readLast(other.m_readLast)
{}

ModbusTask *ModbusTaskArchPresence::clone() const
{
    return new ModbusTaskArchPresence(*this);
}

void ModbusTaskArchPresence::setReads(bool prev, bool next, bool first, bool last)
{
    m_readPrev = prev;
    m_readNext = next;
    m_readFirst = first;
    m_readLast = last;
}
