#include "tavrinhistoryitembase.h"

#include "historyblock.h"
#include "modbustask.h"

#include <QDebug>

namespace {

constexpr int BlockSize = 244;
constexpr int SingleSize = 4;
constexpr int DoubleStructSize = 8;

} // namespace

TavrinHistoryItemBase::TavrinHistoryItemBase(const Layout &layout, QObject *parent)
    : ModbusCustomBytes(BlockSize, parent), m_layout(layout),
      m_currentTime(QDateTime::currentDateTime())
{
    setAddress(layout.address);
}

TavrinHistoryItemBase::~TavrinHistoryItemBase() = default;

void TavrinHistoryItemBase::setMaxHistorySize(int size)
{
    if (size == m_maxHistorySize && m_maxHistorySize > 0)
        return;
    m_maxHistorySize = size;
    emit maxHistorySizeChanged(size);
}

void TavrinHistoryItemBase::setCurrentTime(const QDateTime &time)
{
    if (time == m_currentTime)
        return;
    m_currentTime = time;
    emit currentTimeChanged(time);
}

void TavrinHistoryItemBase::setItemSize(int)
{
    qWarning() << "cannot change itemSize of this item";
}

int TavrinHistoryItemBase::stampOffset() const
{
    const int doubleStructs = m_layout.doubleStructs + (m_layout.difference ? 1 : 0);
    return m_layout.singles * SingleSize + doubleStructs * DoubleStructSize;
}

ModbusBytes TavrinHistoryItemBase::historyRecord(const ModbusBytes &block, int at) const
{
    const int singlesSize = m_layout.singles * SingleSize;
    ModbusBytes record = ModbusBytes::fromOther(block, at, singlesSize);
    for (int i = 0; i < m_layout.doubleStructs; ++i)
        record +=
            HistoryBlock::normalisedDoubleStruct(block, at + singlesSize + i * DoubleStructSize);
    if (m_layout.difference) {
        const int first = at + singlesSize;
        const double difference =
            block.toDoubleStruct(first) - block.toDoubleStruct(first + DoubleStructSize);
        record += ModbusBytes::fromDoubleStruct(difference);
    }
    record += ModbusBytes::fromUInt32(0);
    return record;
}

void TavrinHistoryItemBase::applyResultTask(const ModbusTask &task)
{
    const ModbusBytesArray &answer = task.firstBytes();
    const ModbusBytes block = answer.isEmpty() ? ModbusBytes() : answer.first();
    const quint16 more = block.toUInt16(0);
    setTopBytesArray(HistoryBlock::merge(bytesArray(), block, itemSize(), m_maxHistorySize,
                                         m_currentTime, stampOffset(),
                                         [this](const ModbusBytes &bytes, int at) {
                                             return historyRecord(bytes, at);
                                         }),
                     ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
    if (more != 0)
        read();
}

QVariant TavrinHistoryItemBase::data(const ModbusBytes &bytes, int role) const
{
    if (role == TimeRole)
        return bytes.toDateTime(stampOffset());
    const int field = role - TimeRole - 1;
    const int doubleStructs = m_layout.doubleStructs + (m_layout.difference ? 1 : 0);
    if (field < 0 || field >= m_layout.singles + doubleStructs)
        return ModbusCustomBytes::data(bytes, role);
    if (field < m_layout.singles)
        return bytes.toFloat(field * SingleSize);
    return bytes.toDoubleStruct(m_layout.singles * SingleSize +
                                (field - m_layout.singles) * DoubleStructSize);
}
