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
    const QList<QPointer<ModbusItemBase>> items = std::exchange(owner->m_items, {});
    // Qt 6.4 assigns a whole list from QML by clear() and then appending the new entries, often
    // the same items: deleting them here would hand it dangling pointers. So the entries go once
    // control is back in the event loop, unless they were put back (or moved to another holder).
    QMetaObject::invokeMethod(
        owner,
        [owner, items] {
            for (const QPointer<ModbusItemBase> &item : items) {
                if (item && item->parent() == owner && !owner->m_items.contains(item))
                    delete item.data();
            }
        },
        Qt::QueuedConnection);
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
