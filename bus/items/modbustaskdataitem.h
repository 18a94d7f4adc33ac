#ifndef MODBUSTASKDATAITEM_H
#define MODBUSTASKDATAITEM_H

#include "dorrikbus_global.h"
#include "itempointer.h"
#include "modbusbytesarray.h"

class ModbusItemBase;

// What a task does for one register item: the item, its element count and size, and the element
// bytes (what to write, or the answer of a read).
class DORRIKBUS_EXPORT ModbusTaskDataItem
{
public:
    ModbusTaskDataItem() = default;
    // The size of one element comes before the number of elements.
    ModbusTaskDataItem(ModbusItemBase *item, int bytesCount, int count,
                       const ModbusBytesArray &bytes);

    const ItemPointer &item() const { return m_item; }
    int count() const { return m_count; }
    int bytesCount() const { return m_bytesCount; }
    const ModbusBytesArray &bytes() const { return m_bytes; }
    void setBytes(const ModbusBytesArray &bytes) { m_bytes = bytes; }

    bool operator==(const ModbusTaskDataItem &other) const;
    bool operator!=(const ModbusTaskDataItem &other) const { return !(*this == other); }

private:
    ItemPointer m_item;
    int m_count = 0;
    int m_bytesCount = 0;
    ModbusBytesArray m_bytes;
};

#endif
