#ifndef TRENDBYTESITEM_H
#define TRENDBYTESITEM_H

#include "dorrikbus_global.h"
#include "modbusbytesarray.h"

#include <QDateTime>

// One sample of an item's trend: the moment its contents were taken and the contents themselves,
// divided into elements as the owning item divides them.
class DORRIKBUS_EXPORT TrendBytesItem
{
public:
    // Now, no bytes.
    TrendBytesItem();
    // The label counts seconds of a zone-less wall clock (an archive label).
    TrendBytesItem(unsigned int label, const ModbusBytesArray &bytes);
    TrendBytesItem(const QDateTime &time, const ModbusBytesArray &bytes);
    // One element holding the whole byte sequence, even an empty one.
    TrendBytesItem(unsigned int label, const ModbusBytes &bytes);
    TrendBytesItem(const QDateTime &time, const ModbusBytes &bytes);

    // The time as an archive label; 4294967295 for an invalid time or one before 1970.
    unsigned int labelInSeconds() const;

    bool operator==(const TrendBytesItem &other) const;
    bool operator!=(const TrendBytesItem &other) const { return !(*this == other); }

    QDateTime time;
    ModbusBytesArray bytes;
};

Q_DECLARE_TYPEINFO(TrendBytesItem, Q_RELOCATABLE_TYPE);

#endif
