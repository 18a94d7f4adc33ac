#include "tavrinheathistoryitem.h"

#include "historyblock.h"
#include "modbustask.h"

#include <QDebug>

namespace {

const int BlockSize = 244;
const int StampOffset = 24;

enum Role : int {
    TimeRole = 32,
    MassFlowRateRole,
    ThermalPowerRole,
    MPlusRole,
    WPlusRole,
};

ModbusBytes historyRecord(const ModbusBytes &block, int at)
{
    ModbusBytes record = ModbusBytes::fromOther(block, at, 8);
    record += HistoryBlock::normalisedDoubleStruct(block, at + 8);
    record += HistoryBlock::normalisedDoubleStruct(block, at + 16);
    record += ModbusBytes::fromUInt32(0);
    return record;
}

} // namespace

TavrinHeatHistoryItem::TavrinHeatHistoryItem(QObject *parent)
    : ModbusCustomBytes(BlockSize, parent), m_currentTime(QDateTime::currentDateTime())
{
    setAddress(301195);
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(MassFlowRateRole, "massFlowRate", QStringLiteral("G")),
        RoleItem(ThermalPowerRole, "thermalPower", QStringLiteral("E")),
        RoleItem(MPlusRole, "mPlus", QStringLiteral("M+")),
        RoleItem(WPlusRole, "wPlus", QStringLiteral("W+")),
    });
}

TavrinHeatHistoryItem::~TavrinHeatHistoryItem() = default;

void TavrinHeatHistoryItem::setMaxHistorySize(int size)
{
    if (size == m_maxHistorySize && m_maxHistorySize > 0)
        return;
    m_maxHistorySize = size;
    emit maxHistorySizeChanged(size);
}

void TavrinHeatHistoryItem::setCurrentTime(const QDateTime &time)
{
    if (time == m_currentTime)
        return;
    m_currentTime = time;
    emit currentTimeChanged(time);
}

void TavrinHeatHistoryItem::setItemSize(int)
{
    qWarning() << "cannot change itemSize of this item";
}

void TavrinHeatHistoryItem::applyResultTask(const ModbusTask &task)
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

QVariant TavrinHeatHistoryItem::data(const ModbusBytes &bytes, int role) const
{
    switch (role) {
    case TimeRole:
        return bytes.toDateTime(StampOffset);
    case MassFlowRateRole:
        return bytes.toFloat(0);
    case ThermalPowerRole:
        return bytes.toFloat(4);
    case MPlusRole:
        return bytes.toDoubleStruct(8);
    case WPlusRole:
        return bytes.toDoubleStruct(16);
    default:
        return ModbusCustomBytes::data(bytes, role);
    }
}
