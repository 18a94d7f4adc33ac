#ifndef ROLEITEMS_H
#define ROLEITEMS_H

#include "dorrikbus_global.h"
#include "roleitem.h"

#include <QList>

// The columns of an item's table model, in column order.
class DORRIKBUS_EXPORT RoleItems : public QList<RoleItem>
{
public:
    RoleItems() = default;
    RoleItems(std::initializer_list<RoleItem> roles) : QList<RoleItem>(roles) {}

    // The first column whose role name (not its title) is name, case-sensitive; -1 when none.
    int indexOf(const QString &name) const;
    bool contains(int role) const;
};

#endif
