#ifndef MODBUSBYTESARRAY_H
#define MODBUSBYTESARRAY_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"

#include <QList>
#include <QMetaType>

// A list of byte buffers (archive records, split results, the elements an item writes). Adds no
// data to QList, so it is a value type like its elements.
class DORRIKBUS_EXPORT ModbusBytesArray : public QList<ModbusBytes>
{
public:
    ModbusBytesArray() = default;
    ModbusBytesArray(const ModbusBytesArray &other) = default;
    ModbusBytesArray(ModbusBytesArray &&other) noexcept = default;
    ModbusBytesArray &operator=(const ModbusBytesArray &other) = default;
    ModbusBytesArray &operator=(ModbusBytesArray &&other) noexcept = default;
    // QList's own operations (mid, filtering) hand back plain lists.
    ModbusBytesArray(const QList<ModbusBytes> &list) : QList<ModbusBytes>(list) {}
    // One element: ModbusBytes::fromOther(bytes, offset, count), possibly empty.
    ModbusBytesArray(const ModbusBytes &bytes, int offset, int count);
    // Elements offset .. offset + count - 1 of other; -1 means to the end.
    ModbusBytesArray(const ModbusBytesArray &other, int offset, int count);

    ModbusBytes toModbusBytes() const;
    void prependBytesArray(const ModbusBytesArray &other);
    ModbusBytesArray shrinkedToByte() const;
    ModbusBytesArray alignedToWord(bool atEnd = true) const;
    int totalSize() const;
};

Q_DECLARE_METATYPE(ModbusBytesArray)

#endif
