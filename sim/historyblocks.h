#ifndef HISTORYBLOCKS_H
#define HISTORYBLOCKS_H

#include "modbusbytes.h"

#include <QList>
#include <QObject>

class ModbusItemBase;
class SimulatedInstrument;

// The instrument's history block: a "more" word, a record count and up to ten records of 24 bytes,
// padded with zeros to 244 bytes (or cut to `size` when a test wants a short one).
ModbusBytes historyBlock(quint16 more, quint16 count, const QList<ModbusBytes> &records,
                         int size = 244);
// A double struct as the instrument writes it: the whole part and the fraction as they are given.
ModbusBytes rawDoubleStruct(qint32 whole, float fraction);
// Block records of the three channels.
ModbusBytes flowRateRecord(float velocity, float rate, double vPlus, double vMinus);
ModbusBytes heatRecord(float massFlowRate, float thermalPower, double mPlus, double wPlus);
ModbusBytes pressureRecord(float pressure, float current, const ModbusBytes &unused = {});

// Hands history blocks to an item through the instrument's input registers, one a read: the first
// block is in the registers at once, and each next one as soon as the item has merged the one
// before (before a non-zero "more" word makes it read again).
class HistoryBlockQueue : public QObject
{
    Q_OBJECT

public:
    HistoryBlockQueue(SimulatedInstrument &instrument, ModbusItemBase &item, quint32 address);

    void enqueue(const ModbusBytes &block);
    // Blocks not yet in the registers.
    int pending() const { return int(m_blocks.size()); }

private:
    void next();

    SimulatedInstrument &m_instrument;
    quint32 m_address;
    bool m_started = false;
    QList<ModbusBytes> m_blocks;
};

#endif
