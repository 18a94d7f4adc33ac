#include "historyblock.h"

#include "dorrikbus.h"
#include "modbusdoublestruct.h"

#include <QtGlobal>

namespace HistoryBlock {

namespace {
const quint32 InvalidStamp = 0xFFFFFFFF;
}

ModbusBytes normalisedDoubleStruct(const ModbusBytes &block, int at)
{
    const double value = block.toDoubleStruct(at);
    if (ModbusDoubleStruct::fits(value))
        return ModbusBytes::fromDoubleStruct(value);
    return ModbusBytes::fromOther(block, at, 8);
}

ModbusBytesArray merge(ModbusBytesArray list, const ModbusBytes &block, int itemSize, int maxSize,
                       const QDateTime &now, int stampOffset,
                       const std::function<ModbusBytes(const ModbusBytes &, int)> &record)
{
    // The device's count is not trusted: only records that lie inside the block are taken.
    const int room = block.size() > HeaderSize ? int((block.size() - HeaderSize) / RecordSize) : 0;
    const int count = qMin(int(block.toUInt16(2)), room);

    for (int i = 0; i < count; ++i)
        list.append(record(block, HeaderSize + RecordSize * i));
    // The base's initial element of zero bytes is no record.
    if (!list.isEmpty() && list.first().size() == itemSize)
        list.removeFirst();
    const qsizetype keep = qMax(maxSize, 0);
    if (list.size() > keep)
        list.erase(list.begin(), list.begin() + (list.size() - keep));

    // Stepped on the label, the wall clock counted as if it were UTC: stepping a local date-time
    // back over a spring-forward change would jump an hour between two records.
    quint32 stamp = DorrikBus::archLabelToSeconds(now);
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        list[i].setBytes(ModbusBytes::fromUInt32(stamp), stampOffset, 4);
        // The invalid label stays invalid; before 1970 there is no label either.
        if (stamp != InvalidStamp)
            stamp = stamp == 0 ? InvalidStamp : stamp - 1;
    }
    return list;
}

} // namespace HistoryBlock
