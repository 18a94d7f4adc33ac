#include "modbustasklist.h"

#include "modbustask.h"

int ModbusTaskList::indexOfItem(ModbusItemBase *item) const
{
    for (int i = 0; i < size(); ++i) {
        if (at(i)->contains(item))
            return i;
    }
    return -1;
}

ModbusTaskList ModbusTaskList::clone() const
{
    ModbusTaskList copies;
    copies.reserve(size());
    for (const ModbusTask *task : *this)
        copies.append(task->clone());
    return copies;
}

int ModbusTaskList::removeWithDelete(ModbusItemBase *item)
{
    int removed = 0;
    for (qsizetype i = size() - 1; i >= 0; --i) {
        if (at(i)->contains(item)) {
            delete takeAt(i);
            ++removed;
        }
    }
    return removed;
}

void ModbusTaskList::clearWithDelete()
{
    for (ModbusTask *task : std::as_const(*this))
        delete task;
    clear();
}

ModbusTaskList ModbusTaskList::fromOtherByInterval(const ModbusTaskList &other, int interval)
{
    ModbusTaskList result;
    for (ModbusTask *task : other) {
        if (task->interval() == interval)
            result.append(task);
    }
    return result;
}

QList<int> ModbusTaskList::intervals() const
{
    QList<int> result;
    for (const ModbusTask *task : *this) {
        if (!result.contains(task->interval()))
            result.append(task->interval());
    }
    return result;
}
