#include "modbustasklistaddressed.h"

#include "modbustaskaddressed.h"
#include "modbustasklist.h"

#include <algorithm>

namespace {

template <typename Match> ModbusTaskListAddressed takeMatching(ModbusTaskList &list, Match match)
{
    // Walking backwards and inserting at the front keeps both lists in their original order.
    ModbusTaskListAddressed result;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        auto *task = dynamic_cast<ModbusTaskAddressed *>(list.at(i));
        if (!task || !match(*task))
            continue;
        result.prepend(task);
        list.removeAt(i);
    }
    return result;
}

bool comesBefore(const ModbusTaskAddressed *a, const ModbusTaskAddressed *b)
{
    if (a->address() != b->address())
        return a->address() < b->address();
    if (a->type() != b->type())
        return a->type() == DorrikBus::WriteTask;
    if (a->requestBytesCount() != b->requestBytesCount())
        return a->requestBytesCount() < b->requestBytesCount();
    if (a->interval() != b->interval())
        return a->interval() < b->interval();
    if (a->executed() != b->executed())
        return !a->executed();
    if (a->lastProcessTime() == b->lastProcessTime())
        return std::less<const ModbusTaskAddressed *>()(a, b);
    return a->lastProcessTime() > b->lastProcessTime();
}

} // namespace

ModbusTaskListAddressed
ModbusTaskListAddressed::takeFromTaskListByType(ModbusTaskList &list,
                                                DorrikBus::ModbusAddressType type)
{
    return takeMatching(list, [type](const ModbusTaskAddressed &task) {
        return DorrikBus::getAddressType(task.address()) == type;
    });
}

ModbusTaskListAddressed
ModbusTaskListAddressed::takeDiscreteInputsFromTaskList(ModbusTaskList &list)
{
    return takeFromTaskListByType(list, DorrikBus::DiscreteInputs);
}

ModbusTaskListAddressed ModbusTaskListAddressed::takeCoilsFromTaskList(ModbusTaskList &list)
{
    return takeFromTaskListByType(list, DorrikBus::Coils);
}

ModbusTaskListAddressed ModbusTaskListAddressed::takeRegistersFromTaskList(ModbusTaskList &list)
{
    return takeMatching(list, [](const ModbusTaskAddressed &task) {
        const DorrikBus::ModbusAddressType type = DorrikBus::getAddressType(task.address());
        return type == DorrikBus::InputRegisters || type == DorrikBus::HoldingRegisters;
    });
}

ModbusTaskListAddressed ModbusTaskListAddressed::takeFromTaskList(ModbusTaskList &list)
{
    return takeMatching(list, [](const ModbusTaskAddressed &) { return true; });
}

ModbusTaskListAddressed ModbusTaskListAddressed::fromTaskList(const ModbusTaskList &list)
{
    ModbusTaskListAddressed result;
    for (ModbusTask *task : list) {
        if (auto *addressed = dynamic_cast<ModbusTaskAddressed *>(task))
            result.append(addressed);
    }
    return result;
}

void ModbusTaskListAddressed::sort()
{
    std::sort(begin(), end(), comesBefore);
}
