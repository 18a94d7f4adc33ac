#include "historyblocks.h"

#include "modbusitembase.h"
#include "simulatedinstrument.h"

ModbusBytes historyBlock(quint16 more, quint16 count, const QList<ModbusBytes> &records, int size)
{
    ModbusBytes block = ModbusBytes::fromUInt16(more) + ModbusBytes::fromUInt16(count);
    for (const ModbusBytes &record : records)
        block += record;
    block.resize(size);
    return block;
}

ModbusBytes rawDoubleStruct(qint32 whole, float fraction)
{
    return ModbusBytes::fromInt32(whole) + ModbusBytes::fromFloat(fraction);
}

ModbusBytes flowRateRecord(float velocity, float rate, double vPlus, double vMinus)
{
    return ModbusBytes::fromFloat(velocity) + ModbusBytes::fromFloat(rate) +
           ModbusBytes::fromDoubleStruct(vPlus) + ModbusBytes::fromDoubleStruct(vMinus);
}

ModbusBytes heatRecord(float massFlowRate, float thermalPower, double mPlus, double wPlus)
{
    return ModbusBytes::fromFloat(massFlowRate) + ModbusBytes::fromFloat(thermalPower) +
           ModbusBytes::fromDoubleStruct(mPlus) + ModbusBytes::fromDoubleStruct(wPlus);
}

ModbusBytes pressureRecord(float pressure, float current, const ModbusBytes &unused)
{
    ModbusBytes record =
        ModbusBytes::fromFloat(pressure) + ModbusBytes::fromFloat(current) + unused;
    record.resize(24);
    return record;
}

HistoryBlockQueue::HistoryBlockQueue(SimulatedInstrument &instrument, ModbusItemBase &item,
                                     quint32 address)
    : m_instrument(instrument), m_address(address)
{
    // Direct: the item reads again right after this signal, within the same call.
    connect(&item, &ModbusItemBase::bytesWasRead, this, &HistoryBlockQueue::next,
            Qt::DirectConnection);
}

void HistoryBlockQueue::enqueue(const ModbusBytes &block)
{
    m_blocks.append(block);
    if (!m_started) {
        m_started = true;
        next();
    }
}

void HistoryBlockQueue::next()
{
    if (!m_blocks.isEmpty())
        m_instrument.setRegisters(m_address, m_blocks.takeFirst());
}
