#include "tavrinpressurehistoryitem.h"

#include "historyblock.h"
#include "modbustask.h"

#include <QDebug>

namespace {

const int BlockSize = 244;
const int StampOffset = 8;

enum Role : int {
    TimeRole = 32,
    PressureRole,
    PressureCurrentRole,
};

ModbusBytes historyRecord(const ModbusBytes &block, int at)
{
    // Bytes 8 to 23 of a block record are not used.
    ModbusBytes record = ModbusBytes::fromOther(block, at, 8);
    record += ModbusBytes::fromUInt32(0);
    return record;
}

} // namespace

TavrinPressureHistoryItem::TavrinPressureHistoryItem(QObject *parent)
    : ModbusCustomBytes(BlockSize, parent), m_currentTime(QDateTime::currentDateTime())
{
    setAddress(301317);
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(PressureRole, "pressure", QStringLiteral("P")),
        RoleItem(PressureCurrentRole, "pressureCurrent", QStringLiteral("I")),
    });
}

TavrinPressureHistoryItem::~TavrinPressureHistoryItem() = default;

void TavrinPressureHistoryItem::setMaxHistorySize(int size)
{
    if (size == m_maxHistorySize && m_maxHistorySize > 0)
        return;
    m_maxHistorySize = size;
    emit maxHistorySizeChanged(size);
}

void TavrinPressureHistoryItem::setCurrentTime(const QDateTime &time)
{
    if (time == m_currentTime)
        return;
    m_currentTime = time;
    emit currentTimeChanged(time);
}

void TavrinPressureHistoryItem::setItemSize(int)
{
    qWarning() << "cannot change itemSize of this item";
}

void TavrinPressureHistoryItem::applyResultTask(const ModbusTask &task)
{
    const ModbusBytesArray &answer = task.firstBytes();
    const ModbusBytes block = answer.isEmpty() ? ModbusBytes() : answer.first();
    const quint16 more = block.toUInt16(0);
    setTopBytesArray(HistoryBlock::merge(bytesArray(), block, itemSize(), m_maxHistorySize,
                                         m_currentTime, StampOffset, historyRecord),
                     ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
    if (more != 0)
        read();
}

QVariant TavrinPressureHistoryItem::data(const ModbusBytes &bytes, int role) const
{
    switch (role) {
    case TimeRole:
        return bytes.toDateTime(StampOffset);
    case PressureRole:
        return bytes.toFloat(0);
    case PressureCurrentRole:
        return bytes.toFloat(4);
    default:
        return ModbusCustomBytes::data(bytes, role);
    }
}
