#include "modbustaskdatalist.h"

int ModbusTaskDataList::indexOfItem(ModbusItemBase *item) const
{
    for (int i = 0; i < size(); ++i) {
        if (at(i).item().data() == item)
            return i;
    }
    return -1;
}

ModbusBytes ModbusTaskDataList::getBytes() const
{
    ModbusBytes result;
    for (const ModbusTaskDataItem &dataItem : *this)
        result.append(dataItem.bytes().toModbusBytes());
    return result;
}

void ModbusTaskDataList::setBytes(const ModbusBytes &bytes)
{
    int offset = 0;
    for (ModbusTaskDataItem &dataItem : *this) {
        const int length = dataItem.count() * dataItem.bytesCount();
        const ModbusBytes slice = ModbusBytes::fromOther(bytes, offset, length);
        dataItem.setBytes(slice.splitBySize(dataItem.bytesCount(), -1));
        offset += length;
    }
}

void ModbusTaskDataList::setBytes(const ModbusBytesArray &bytes)
{
    int index = 0;
    for (ModbusTaskDataItem &dataItem : *this) {
        if (index < bytes.size()) {
            dataItem.setBytes(ModbusBytesArray(bytes, index, dataItem.count()));
            index += dataItem.count();
        } else {
            dataItem.setBytes(ModbusBytesArray());
        }
    }
}

QList<ItemPointer> ModbusTaskDataList::getItems() const
{
    QList<ItemPointer> items;
    items.reserve(size());
    for (const ModbusTaskDataItem &dataItem : *this)
        items.append(dataItem.item());
    return items;
}
