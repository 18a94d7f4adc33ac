#ifndef MODBUSTASKLIST_H
#define MODBUSTASKLIST_H

#include "dorrikbus_global.h"

#include <QList>

class ModbusItemBase;
class ModbusTask;

// A list of task pointers. Holding a pointer does not own the task; the task server's lists own
// theirs and delete what they remove.
class DORRIKBUS_EXPORT ModbusTaskList : public QList<ModbusTask *>
{
public:
    ModbusTaskList() = default;
    ModbusTaskList(const QList<ModbusTask *> &list) : QList<ModbusTask *>(list) {}

    int indexOfItem(ModbusItemBase *item) const;
    bool contains(ModbusItemBase *item) const { return indexOfItem(item) >= 0; }
    // Copies of every task, in order; the caller owns them.
    ModbusTaskList clone() const;
    // Deletes and removes every task that contains item; returns how many.
    int removeWithDelete(ModbusItemBase *item);
    void clearWithDelete();
    // The same pointers, not copies.
    static ModbusTaskList fromOtherByInterval(const ModbusTaskList &other, int interval);
    // The distinct intervals, in the order of their first occurrence.
    QList<int> intervals() const;
};

#endif
