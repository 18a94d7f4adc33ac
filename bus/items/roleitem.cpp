#include "roleitem.h"

RoleItem::RoleItem(int role, const QByteArray &name, const QString &title)
    : role(role), name(name), title(title)
{}

bool RoleItem::operator==(const RoleItem &other) const
{
    return role == other.role && name == other.name && title == other.title;
}
