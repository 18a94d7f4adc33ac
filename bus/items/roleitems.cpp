#include "roleitems.h"

int RoleItems::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (QLatin1String(at(i).name) == name)
            return int(i);
    }
    return -1;
}

bool RoleItems::contains(int role) const
{
    for (const RoleItem &item : *this) {
        if (item.role == role)
            return true;
    }
    return false;
}
