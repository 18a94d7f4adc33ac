#ifndef MODBUSTASKLISTADDRESSED_H
#define MODBUSTASKLISTADDRESSED_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"

#include <QList>

class ModbusTaskAddressed;
class ModbusTaskList;

// Addressed tasks picked out of a task list. Holds pointers only: taking tasks moves them out of
// the other list without copying or deleting, and their owner stays the same.
class DORRIKBUS_EXPORT ModbusTaskListAddressed : public QList<ModbusTaskAddressed *>
{
public:
    ModbusTaskListAddressed() = default;

    // Each take keeps the order the tasks had in list; list keeps the others in theirs.
    static ModbusTaskListAddressed takeFromTaskListByType(ModbusTaskList &list,
                                                          DorrikBus::ModbusAddressType type);
    static ModbusTaskListAddressed takeDiscreteInputsFromTaskList(ModbusTaskList &list);
    static ModbusTaskListAddressed takeCoilsFromTaskList(ModbusTaskList &list);
    // Input and holding registers together.
    static ModbusTaskListAddressed takeRegistersFromTaskList(ModbusTaskList &list);
    static ModbusTaskListAddressed takeFromTaskList(ModbusTaskList &list);
    static ModbusTaskListAddressed fromTaskList(const ModbusTaskList &list);

    // By address, writes before reads, smaller first, shorter interval first, never executed
    // first, then the most recently processed first. Not stable.
    void sort();
};

#endif
