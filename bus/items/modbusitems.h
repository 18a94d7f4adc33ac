#ifndef MODBUSITEMS_H
#define MODBUSITEMS_H

#include "dorrikbus_global.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQmlListProperty>

class ModbusItemBase;

// A declarative holder of register items: the items declared inside it become its children and
// entries of its list. Copies share the item pointers; the items stay the original's children.
class DORRIKBUS_EXPORT ModbusItems : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "items")
    Q_PROPERTY(QQmlListProperty<QObject> items READ items)
    Q_PROPERTY(int count READ count NOTIFY itemsChanged)

public:
    explicit ModbusItems(QObject *parent = nullptr);
    // A list of that one item, without parent.
    explicit ModbusItems(ModbusItemBase *item);
    // A new object without parent, holding the same item pointers.
    ModbusItems(const ModbusItems &other);
    ModbusItems &operator=(const ModbusItems &other);
    ~ModbusItems() override;

    QQmlListProperty<QObject> items();
    int count() const { return int(m_items.size()); }
    // Null for an index out of range, or for an item destroyed meanwhile.
    ModbusItemBase *at(int index) const;

signals:
    void itemsChanged();

private:
    // Qt 6 falls back to clear() and re-appending when replace or removeLast is missing, and
    // clear() deletes the items: all six callbacks are given. Replaced and removed entries stay
    // alive, children of the holder; cleared ones are deleted at the next event loop pass.
    static void appendItem(QQmlListProperty<QObject> *list, QObject *object);
    static qsizetype itemCount(QQmlListProperty<QObject> *list);
    static QObject *itemAt(QQmlListProperty<QObject> *list, qsizetype index);
    static void clearItems(QQmlListProperty<QObject> *list);
    static void replaceItem(QQmlListProperty<QObject> *list, qsizetype index, QObject *object);
    static void removeLastItem(QQmlListProperty<QObject> *list);
    // The refusal of an object that is not a register item; false then.
    bool acceptItem(QObject *object) const;

    // Guarded, so that a copy never hands out an item its original has already destroyed.
    QList<QPointer<ModbusItemBase>> m_items;
};

#endif
