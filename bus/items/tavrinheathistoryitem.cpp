#include "tavrinheathistoryitem.h"

namespace {

// Mass flow rate, thermal power, M+ and W+.
const TavrinHistoryItemBase::Layout kLayout = {301195, 2, 2, false};

} // namespace

TavrinHeatHistoryItem::TavrinHeatHistoryItem(QObject *parent)
    : TavrinHistoryItemBase(kLayout, parent)
{
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(TimeRole + 1, "massFlowRate", QStringLiteral("G")),
        RoleItem(TimeRole + 2, "thermalPower", QStringLiteral("E")),
        RoleItem(TimeRole + 3, "mPlus", QStringLiteral("M+")),
        RoleItem(TimeRole + 4, "wPlus", QStringLiteral("W+")),
    });
}

TavrinHeatHistoryItem::~TavrinHeatHistoryItem() = default;
