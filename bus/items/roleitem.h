#ifndef ROLEITEM_H
#define ROLEITEM_H

#include "dorrikbus_global.h"

#include <QByteArray>
#include <QString>

// One column of an item's table model: the role the item answers for it, the role's name for
// declarative delegates and the column's header text.
class DORRIKBUS_EXPORT RoleItem
{
public:
    // No role (-1): every record the system uses names its role explicitly.
    RoleItem() = default;
    RoleItem(int role, const QByteArray &name, const QString &title);

    bool operator==(const RoleItem &other) const;
    bool operator!=(const RoleItem &other) const { return !(*this == other); }

    int role = -1;
    QByteArray name;
    QString title;
};

Q_DECLARE_TYPEINFO(RoleItem, Q_RELOCATABLE_TYPE);

#endif
