#include "modbusbytesarray.h"

ModbusBytesArray::ModbusBytesArray(const ModbusBytes &bytes, int offset, int count)
{
    append(ModbusBytes::fromOther(bytes, offset, count));
}

ModbusBytesArray::ModbusBytesArray(const ModbusBytesArray &other, int offset, int count)
{
    if (offset < 0 || offset >= other.size() || count == 0 || count < -1)
        return;
    const qsizetype rest = other.size() - offset;
    const qsizetype n = (count == -1 || count > rest) ? rest : qsizetype(count);
    reserve(n);
    for (qsizetype k = 0; k < n; ++k)
        append(other.at(offset + k));
}

ModbusBytes ModbusBytesArray::toModbusBytes() const
{
    return ModbusBytes::fromModbusBytesArray(*this);
}

void ModbusBytesArray::prependBytesArray(const ModbusBytesArray &other)
{
    // other may be this very list, so build the result before replacing it.
    ModbusBytesArray joined;
    joined.reserve(other.size() + size());
    joined.append(other);
    joined.append(*this);
    *this = std::move(joined);
}

ModbusBytesArray ModbusBytesArray::shrinkedToByte() const
{
    ModbusBytesArray bytes;
    bytes.reserve(size());
    for (const ModbusBytes &element : *this)
        bytes.append(ModbusBytes::fromUInt8(element.last()));
    return bytes;
}

ModbusBytesArray ModbusBytesArray::alignedToWord(bool atEnd) const
{
    ModbusBytesArray aligned;
    aligned.reserve(size());
    for (const ModbusBytes &element : *this)
        aligned.append(element.alignedToWord(atEnd));
    return aligned;
}

int ModbusBytesArray::totalSize() const
{
    qsizetype total = 0;
    for (const ModbusBytes &element : *this)
        total += element.size();
    return int(total);
}
