#include "tavrinflowratehistoryitem.h"

#include "historyblock.h"
#include "modbustask.h"

#include <QDebug>

namespace {

const int BlockSize = 244;
const int StampOffset = 32;

enum Role : int {
    TimeRole = 32,
    FlowVelocityRole,
    FlowRateRole,
    VPlusRole,
    VMinusRole,
    VSummaryRole,
};

ModbusBytes historyRecord(const ModbusBytes &block, int at)
{
    ModbusBytes record = ModbusBytes::fromOther(block, at, 8);
    record += HistoryBlock::normalisedDoubleStruct(block, at + 8);
    record += HistoryBlock::normalisedDoubleStruct(block, at + 16);
    const double sum = block.toDoubleStruct(at + 8) - block.toDoubleStruct(at + 16);
    record += ModbusBytes::fromDoubleStruct(sum);
    record += ModbusBytes::fromUInt32(0);
    return record;
}

} // namespace

TavrinFlowRateHistoryItem::TavrinFlowRateHistoryItem(QObject *parent)
    : ModbusCustomBytes(BlockSize, parent), m_currentTime(QDateTime::currentDateTime())
{
    setAddress(300533);
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(FlowVelocityRole, "flowVelocity", tr("Flow velocity")),
        RoleItem(FlowRateRole, "flowRate", tr("Q")),
        RoleItem(VPlusRole, "vPlus", QStringLiteral("V+")),
        RoleItem(VMinusRole, "vMinus", QStringLiteral("V-")),
        RoleItem(VSummaryRole, "vSummary", QStringLiteral("\u03a3V")),
    });
}

TavrinFlowRateHistoryItem::~TavrinFlowRateHistoryItem() = default;

void TavrinFlowRateHistoryItem::setMaxHistorySize(int size)
{
    if (size == m_maxHistorySize && m_maxHistorySize > 0)
        return;
    m_maxHistorySize = size;
    emit maxHistorySizeChanged(size);
}

void TavrinFlowRateHistoryItem::setCurrentTime(const QDateTime &time)
{
    if (time == m_currentTime)
        return;
    m_currentTime = time;
    emit currentTimeChanged(time);
}

void TavrinFlowRateHistoryItem::setFlowRateRatio(qreal ratio)
{
    if (ratio == m_flowRateRatio)
        return;
    // Every row's flow rate changes at once.
    doArrayModelAboutToBeReset();
    m_flowRateRatio = ratio;
    doArrayModelReset();
    emit flowRateRatioChanged(ratio);
}

void TavrinFlowRateHistoryItem::setItemSize(int)
{
    qWarning() << "cannot change itemSize of this item";
}

void TavrinFlowRateHistoryItem::applyResultTask(const ModbusTask &task)
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

QVariant TavrinFlowRateHistoryItem::data(const ModbusBytes &bytes, int role) const
{
    switch (role) {
    case TimeRole:
        return bytes.toDateTime(StampOffset);
    case FlowVelocityRole:
        return bytes.toFloat(0);
    case FlowRateRole:
        return double(bytes.toFloat(4)) * m_flowRateRatio;
    case VPlusRole:
        return bytes.toDoubleStruct(8);
    case VMinusRole:
        return bytes.toDoubleStruct(16);
    case VSummaryRole:
        return bytes.toDoubleStruct(24);
    default:
        return ModbusCustomBytes::data(bytes, role);
    }
}
