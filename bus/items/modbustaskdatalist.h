#ifndef MODBUSTASKDATALIST_H
#define MODBUSTASKDATALIST_H

#include "dorrikbus_global.h"
#include "modbustaskdataitem.h"

#include <QList>

// The data items of a task, in the order they were appended: the order of their bytes in a
// request and in an answer.
class DORRIKBUS_EXPORT ModbusTaskDataList : public QList<ModbusTaskDataItem>
{
public:
    ModbusTaskDataList() = default;

    // Looking for null finds the first data item whose item has been destroyed.
    int indexOfItem(ModbusItemBase *item) const;
    bool contains(ModbusItemBase *item) const { return indexOfItem(item) >= 0; }

    ModbusBytes getBytes() const;
    // Cuts a contiguous answer into the data items (count x bytesCount each); a short answer
    // leaves the last items short or empty, a long one has its tail ignored.
    void setBytes(const ModbusBytes &bytes);
    // Hands the elements out in order, count of them to each data item.
    void setBytes(const ModbusBytesArray &bytes);
    QList<ItemPointer> getItems() const;
};

#endif
