#ifndef MODBUSBYTES_H
#define MODBUSBYTES_H

#include "dorrikbus_global.h"
#include "modbusvalues.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

class ModbusBytesArray;

// Every byte sequence on the bus: register contents, frames, archive records. Multi-byte numbers
// are big-endian, high register first. Adds no data to QByteArray, so it stays implicitly shared.
// Indexes and counts are int; a count of -1 means "to the end". Typed reads that lack bytes give 0
// and never read outside the buffer.
class DORRIKBUS_EXPORT ModbusBytes : public QByteArray
{
public:
    ModbusBytes() = default;
    ModbusBytes(const QByteArray &bytes) : QByteArray(bytes) {}
    ModbusBytes(QByteArray &&bytes) noexcept : QByteArray(std::move(bytes)) {}
    explicit ModbusBytes(char c);
    explicit ModbusBytes(unsigned short v);

    // Typed reads; i is a byte index.
    quint8 toUInt8(int i, bool swap = false) const;
    qint8 toInt8(int i, bool swap = false) const;
    bool toBit(int i, int bit, bool swap = false) const;
    quint16 toUInt16(int i) const
    {
        if (!holds(i, 2))
            return 0;
        const quint8 *p = bytesAt(i);
        return putIn16(p[1], p[0]);
    }
    quint16 toReg(int i) const { return toUInt16(i); }
    quint16 getReg(int n) const;
    qint16 toInt16(int i) const;
    quint32 toUInt32(int i) const
    {
        if (!holds(i, 4))
            return 0;
        const quint8 *p = bytesAt(i);
        return putIn32(p[3], p[2], p[1], p[0]);
    }
    qint32 toInt32(int i) const;
    quint64 toUInt64(int i) const
    {
        if (!holds(i, 8))
            return 0;
        const quint8 *p = bytesAt(i);
        return putIn64(p[7], p[6], p[5], p[4], p[3], p[2], p[1], p[0]);
    }
    qint64 toInt64(int i) const;
    float toFloat(int i) const { return extractFloat(toUInt32(i)); }
    double toDouble(int i) const { return extractDouble(toUInt64(i)); }
    double toDoubleStruct(int i) const;
    QDateTime toDateTime(int i) const;
    quint32 getArchLabel(int n) const;

    quint8 first() const;
    quint8 last() const;
    quint8 at(int i) const { return quint8(constData()[i]); }
    quint8 operator[](int i) const { return quint8(constData()[i]); }
    quint8 operator[](unsigned int i) const { return quint8(constData()[i]); }
    quint8 &operator[](int i) { return reinterpret_cast<quint8 &>(data()[i]); }
    quint8 &operator[](unsigned int i) { return reinterpret_cast<quint8 &>(data()[i]); }

    int regsCount() const { return int(size() / 2); }
    int archLabelsCount() const { return int(size() / 4); }
    bool emptyOrZero() const;
    bool checkCrc16() const;
    bool getBit(int index, bool reversed = false) const;

    // Lists out of a buffer.
    QList<quint16> toRegs(int offset = 0, int count = -1) const;
    QList<quint32> toArchLabels(int offset = 0, int count = -1) const;
    QList<QDateTime> toArchTimeLabels(int offset = 0, int count = -1) const;
    ModbusBytesArray splitBySize(int size, int maxCount = -1) const;
    ModbusBytesArray splitByCount(int n) const;
    static ModbusBytes fromOther(const ModbusBytes &src, int offset, int count = -1);

    // Texts.
    QString toStringAnsi(int offset = 0, int count = -1, bool oneCharPerRegister = false) const;
    QString toStringUtf8(int offset = 0, int count = -1) const;
    QString toBinary() const;
    static ModbusBytes fromStringAnsi(const QString &text, bool oneCharPerRegister = false);
    static ModbusBytes fromStringUtf8(const QString &text);
    static ModbusBytes fromStringUtf8(const QString &text, int maxSize);
    static ModbusBytes fromBytes(const QByteArray &bytes, bool oneCharPerRegister = false);
    static ModbusBytes fromHex(const QByteArray &hexBytes);
    static ModbusBytes fromModbusString(const QString &text);

    // Typed writes: factories.
    static ModbusBytes fromUInt8(quint8 v, bool asRegister = false);
    static ModbusBytes fromByte(quint8 v, bool asRegister = false);
    static ModbusBytes fromInt8(qint8 v, bool asRegister = false);
    static ModbusBytes fromBit(bool b, bool asRegister = false);
    static ModbusBytes fromUInt16(quint16 v);
    static ModbusBytes fromInt16(qint16 v);
    static ModbusBytes fromUInt32(quint32 v);
    static ModbusBytes fromInt32(qint32 v);
    static ModbusBytes fromFloat(float v);
    static ModbusBytes fromUInt64(quint64 v);
    static ModbusBytes fromInt64(qint64 v);
    static ModbusBytes fromDouble(double v);
    static ModbusBytes fromDoubleStruct(double v);
    static ModbusBytes fromDateTime(const QDateTime &dt);
    static ModbusBytes fromArchLabels(const QList<quint32> &labels);
    static ModbusBytes fromArchTimeLabels(const QList<QDateTime> &labels);
    static ModbusBytes fromSize(int n, quint8 fill = 0);
    static ModbusBytes fromRegsCount(int n, quint16 value = 0);
    static ModbusBytes fromList(const QList<ModbusBytes> &list);
    static ModbusBytes fromModbusBytesArray(const ModbusBytesArray &array);

    // Typed writes: appends.
    // Inline: an answer is built register by register.
    ModbusBytes &appendUInt16(quint16 v)
    {
        const qsizetype at = size();
        QByteArray::resize(at + 2);
        char *out = data() + at;
        out[0] = char(v >> 8);
        out[1] = char(v);
        return *this;
    }
    ModbusBytes &appendReg(quint16 v) { return appendUInt16(v); }
    ModbusBytes &appendUInt32(quint32 v);
    ModbusBytes &appendFloat(float v);
    ModbusBytes &appendDateTime(const QDateTime &dt);
    ModbusBytes &append(unsigned char c);
    ModbusBytes &append(char *str);
    ModbusBytes &append(const char *str);
    ModbusBytes &append(const char *data, int len);
    ModbusBytes &append(const QByteArray &bytes);
    ModbusBytes &append(const ModbusBytes &src, int offset, int count = -1);

    ModbusBytes &operator<<(const unsigned short &v) { return appendUInt16(v); }
    ModbusBytes &operator<<(const unsigned int &v) { return appendUInt32(v); }
    ModbusBytes &operator<<(const unsigned char &v) { return append(v); }
    ModbusBytes &operator<<(const ModbusBytes &other) { return append(other); }
    ModbusBytes &operator+=(const unsigned char &v) { return append(v); }
    ModbusBytes &operator+=(const ModbusBytes &other) { return append(other); }
    ModbusBytes operator+(const ModbusBytes &other) const;

    // Changing operations.
    ModbusBytes &prepend(unsigned char c);
    ModbusBytes &prepend(const char *str);
    ModbusBytes &prepend(const ModbusBytes &src, int offset = 0, int count = -1);
    void removeLast(int n);
    ModbusBytes takeFirst(int n);
    void alignToWord(bool atEnd = true);
    ModbusBytes alignedToWord(bool atEnd = true) const;
    void reverse();
    // New bytes are zero (QByteArray::resize leaves them uninitialised). With atEnd false the
    // bytes are added or cut at the front.
    void resize(int n, bool atEnd = true);
    ModbusBytes resized(int n, bool atEnd = true) const;
    void setBytes(const ModbusBytes &src, int offset, int count = -1);
    void setBit(int index, bool value);

    bool operator==(const ModbusBytesArray &array) const;
    bool operator!=(const ModbusBytesArray &array) const { return !(*this == array); }

private:
    // The fixed-width reads are inline: they run once per register of every answer.
    bool holds(int i, int n) const { return i >= 0 && qint64(i) + n <= size(); }
    // Callers check the range first. Reading through the data pointer keeps GCC from guessing
    // that the bytes could be QByteArray's shared one-byte empty buffer.
    const quint8 *bytesAt(int i) const { return reinterpret_cast<const quint8 *>(constData() + i); }
};

Q_DECLARE_METATYPE(ModbusBytes)

#endif
