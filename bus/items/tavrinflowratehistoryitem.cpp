#include "tavrinflowratehistoryitem.h"

namespace {

// Flow velocity, flow rate, V+ and V-, then V+ less V-.
const TavrinHistoryItemBase::Layout kLayout = {300533, 2, 2, true};

enum Role {
    FlowVelocityRole = TavrinHistoryItemBase::TimeRole + 1,
    FlowRateRole,
    VPlusRole,
    VMinusRole,
    VSummaryRole,
};

} // namespace

TavrinFlowRateHistoryItem::TavrinFlowRateHistoryItem(QObject *parent)
    : TavrinHistoryItemBase(kLayout, parent)
{
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

QVariant TavrinFlowRateHistoryItem::data(const ModbusBytes &bytes, int role) const
{
    if (role == FlowRateRole)
        return double(bytes.toFloat(4)) * m_flowRateRatio;
    return TavrinHistoryItemBase::data(bytes, role);
}
