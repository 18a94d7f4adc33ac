#include "modbusitems.h"

#include "modbusitembase.h"

#include <QDebug>

#include <utility>

ModbusItems::ModbusItems(QObject *parent) : QObject(parent) {}

ModbusItems::ModbusItems(ModbusItemBase *item) : QObject(nullptr)
{
    m_items.append(item);
}

ModbusItems::ModbusItems(const ModbusItems &other) : QObject(nullptr), m_items(other.m_items) {}

ModbusItems &ModbusItems::operator=(const ModbusItems &other)
{
    m_items = other.m_items;
    return *this;
}

ModbusItems::~ModbusItems() = default;

QQmlListProperty<QObject> ModbusItems::items()
{
    return QQmlListProperty<QObject>(
        this, nullptr, &ModbusItems::appendItem, &ModbusItems::itemCount, &ModbusItems::itemAt,
        &ModbusItems::clearItems, &ModbusItems::replaceItem, &ModbusItems::removeLastItem);
}

ModbusItemBase *ModbusItems::at(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index).data() : nullptr;
}

bool ModbusItems::acceptItem(QObject *object) const
{
    if (qobject_cast<ModbusItemBase *>(object))
        return true;
    qWarning().noquote() << "modbusItems.items: you can add only objects of 'ModbusItemBase' type";
    return false;
}

void ModbusItems::appendItem(QQmlListProperty<QObject> *list, QObject *object)
{
    auto *owner = qobject_cast<ModbusItems *>(list->object);
    if (!owner || !owner->acceptItem(object))
        return;
    object->setParent(owner);
    owner->m_items.append(static_cast<ModbusItemBase *>(object));
    emit owner->itemsChanged();
}

qsizetype ModbusItems::itemCount(QQmlListProperty<QObject> *list)
{
    return static_cast<ModbusItems *>(list->object)->m_items.size();
}

QObject *ModbusItems::itemAt(QQmlListProperty<QObject> *list, qsizetype index)
{
    return static_cast<ModbusItems *>(list->object)->at(int(index));
}

void ModbusItems::clearItems(QQmlListProperty<QObject> *list)
{
    auto *owner = static_cast<ModbusItems *>(list->object);
    // Take the list first: deleting an item must not find itself in a half-cleared list.
    const QList<QPointer<ModbusItemBase>> items = std::exchange(owner->m_items, {});
    for (const QPointer<ModbusItemBase> &item : items)
        delete item.data();
}

// The entry that is replaced stays alive (it is still a child of the holder): QML may have put
// it at another index of the same list.
void ModbusItems::replaceItem(QQmlListProperty<QObject> *list, qsizetype index, QObject *object)
{
    auto *owner = static_cast<ModbusItems *>(list->object);
    if (index < 0 || index >= owner->m_items.size() || !owner->acceptItem(object))
        return;
    object->setParent(owner);
    owner->m_items[index] = static_cast<ModbusItemBase *>(object);
    emit owner->itemsChanged();
}

// The last entry leaves the list but stays alive, a child of the holder.
void ModbusItems::removeLastItem(QQmlListProperty<QObject> *list)
{
    auto *owner = static_cast<ModbusItems *>(list->object);
    if (owner->m_items.isEmpty())
        return;
    owner->m_items.removeLast();
    emit owner->itemsChanged();
}
