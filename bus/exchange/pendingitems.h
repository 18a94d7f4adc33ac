#ifndef PENDINGITEMS_H
#define PENDINGITEMS_H

#include "modbusitembase.h"

#include <QHash>
#include <QList>
#include <QPointer>

#include <algorithm>

// The items of a batch whose read or write is awaited, each with its count of failed attempts.
// The hold on an item is weak: an item destroyed while pending is never touched again, and an
// object created later at its address is not taken for it. Lookups are by address, so batches of
// many thousand items stay linear.
class PendingItems
{
public:
    // False when the item is pending already (its count stays).
    bool add(ModbusItemBase *item)
    {
        auto it = m_entries.find(item);
        if (it != m_entries.end() && it->item)
            return false;
        m_entries.insert(item, Entry{QPointer<ModbusItemBase>(item), 0, m_next++});
        return true;
    }
    // The failure count of a pending item; null when the item is not pending.
    int *failures(ModbusItemBase *item)
    {
        auto it = m_entries.find(item);
        return it != m_entries.end() && it->item == item ? &it->failures : nullptr;
    }
    bool contains(ModbusItemBase *item) { return failures(item) != nullptr; }
    void remove(ModbusItemBase *item) { m_entries.remove(item); }
    // Forgets the entries whose item no longer exists; true when there was one. Called from the
    // items' destroyed() signal, when their weak references are already null.
    bool dropDestroyed()
    {
        return m_entries.removeIf([](const auto &entry) { return !entry.value().item; }) > 0;
    }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The pending items that still exist, in the order they were entered.
    QList<ModbusItemBase *> items() const
    {
        QList<const Entry *> entries;
        for (const Entry &entry : m_entries)
            if (entry.item)
                entries.append(&entry);
        std::sort(entries.begin(), entries.end(),
                  [](const Entry *a, const Entry *b) { return a->order < b->order; });
        QList<ModbusItemBase *> result;
        for (const Entry *entry : entries)
            result.append(entry->item);
        return result;
    }
    void clear() { m_entries.clear(); }

private:
    struct Entry
    {
        QPointer<ModbusItemBase> item;
        int failures = 0;
        quint64 order = 0;
    };
    QHash<ModbusItemBase *, Entry> m_entries;
    quint64 m_next = 0;
};

#endif
