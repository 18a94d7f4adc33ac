#include "modbustaskdataitem.h"

ModbusTaskDataItem::ModbusTaskDataItem(ModbusItemBase *item, int bytesCount, int count,
                                       const ModbusBytesArray &bytes)
    : m_item(item), m_count(count), m_bytesCount(bytesCount), m_bytes(bytes)
{}

bool ModbusTaskDataItem::operator==(const ModbusTaskDataItem &other) const
{
    // Two guards of one live object share its tracking record, so comparing what they guard
    // compares both.
    return m_count == other.m_count && m_bytesCount == other.m_bytesCount &&
           m_item == other.m_item && m_bytes == other.m_bytes;
}
