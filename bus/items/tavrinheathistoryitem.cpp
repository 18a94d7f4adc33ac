#include "tavrinheathistoryitem.h"

TavrinHeatHistoryItem::TavrinHeatHistoryItem(QObject *parent)
    : TavrinHistoryItemBase({301195, 2, 2, false}, parent)
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
