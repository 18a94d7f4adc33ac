#include "tavrinpressurehistoryitem.h"

namespace {

// Pressure and current; bytes 8 to 23 of a block record are not used.
const TavrinHistoryItemBase::Layout kLayout = {301317, 2, 0, false};

} // namespace

TavrinPressureHistoryItem::TavrinPressureHistoryItem(QObject *parent)
    : TavrinHistoryItemBase(kLayout, parent)
{
    setRoles({
        RoleItem(TimeRole, "time", tr("Time")),
        RoleItem(TimeRole + 1, "pressure", QStringLiteral("P")),
        RoleItem(TimeRole + 2, "pressureCurrent", QStringLiteral("I")),
    });
}

TavrinPressureHistoryItem::~TavrinPressureHistoryItem() = default;
