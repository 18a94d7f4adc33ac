#include "tavrinpressurehistoryitem.h"

TavrinPressureHistoryItem::TavrinPressureHistoryItem(QObject *parent)
    // Bytes 8 to 23 of a block record are not used.
    : TavrinHistoryItemBase({301317, 2, 0, false}, parent)
{
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(TimeRole + 1, "pressure", QStringLiteral("P")),
        RoleItem(TimeRole + 2, "pressureCurrent", QStringLiteral("I")),
    });
}

TavrinPressureHistoryItem::~TavrinPressureHistoryItem() = default;
