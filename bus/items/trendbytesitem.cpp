#include "trendbytesitem.h"

#include "dorrikbus.h"

TrendBytesItem::TrendBytesItem() : time(QDateTime::currentDateTime()) {}

TrendBytesItem::TrendBytesItem(unsigned int label, const ModbusBytesArray &bytes)
    : time(DorrikBus::archLabelToTime(label)), bytes(bytes)
{}

TrendBytesItem::TrendBytesItem(const QDateTime &time, const ModbusBytesArray &bytes)
    : time(time), bytes(bytes)
{}

TrendBytesItem::TrendBytesItem(unsigned int label, const ModbusBytes &bytes)
    : time(DorrikBus::archLabelToTime(label))
{
    this->bytes.append(bytes);
}

TrendBytesItem::TrendBytesItem(const QDateTime &time, const ModbusBytes &bytes) : time(time)
{
    this->bytes.append(bytes);
}

unsigned int TrendBytesItem::labelInSeconds() const
{
    return DorrikBus::archLabelToSeconds(time);
}

bool TrendBytesItem::operator==(const TrendBytesItem &other) const
{
    if (time != other.time || bytes.size() != other.bytes.size())
        return false;
    if (bytes.isSharedWith(other.bytes))
        return true;
    // Samples of one item usually differ in their last elements, so compare from the end.
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        if (bytes.at(i) != other.bytes.at(i))
            return false;
    }
    return true;
}
