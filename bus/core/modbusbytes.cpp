#include "modbusbytes.h"

#include "dorrikbus.h"
#include "modbusbytesarray.h"
#include "modbuscrc.h"

#include <QDebug>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Appends the n low bytes of v, most significant first.
void appendBigEndian(QByteArray &to, quint64 v, int n)
{
    // Written in place: QByteArray::append of a few bytes goes through its general insert,
    // which costs more than the bytes themselves when an answer is built register by register.
    const qsizetype at = to.size();
    to.resize(at + n);
    char *out = to.data() + at;
    for (int k = n - 1; k >= 0; --k) {
        out[k] = char(quint8(v));
        v >>= 8;
    }
}

ModbusBytes bigEndian(quint64 v, int n)
{
    ModbusBytes r;
    appendBigEndian(r, v, n);
    return r;
}

} // namespace

ModbusBytes::ModbusBytes(char c) : QByteArray(1, c) {}

ModbusBytes::ModbusBytes(unsigned short v) : QByteArray(bigEndian(v, 2)) {}

quint8 ModbusBytes::toUInt8(int i, bool swap) const
{
    const qint64 j = swap ? qint64(i) + 1 : i;
    if (i < 0 || j >= size())
        return 0;
    return at(int(j));
}

qint8 ModbusBytes::toInt8(int i, bool swap) const
{
    return extractInt8(toUInt8(i, swap));
}

bool ModbusBytes::toBit(int i, int bit, bool swap) const
{
    if (bit < 0 || bit > 7)
        return false;
    return (toUInt8(i, swap) >> bit) & 1;
}

quint16 ModbusBytes::getReg(int n) const
{
    if (n < 0 || n > INT_MAX / 2)
        return 0;
    return toUInt16(2 * n);
}

qint16 ModbusBytes::toInt16(int i) const
{
    return extractInt16(toUInt16(i));
}

qint32 ModbusBytes::toInt32(int i) const
{
    return extractInt32(toUInt32(i));
}

qint64 ModbusBytes::toInt64(int i) const
{
    return extractInt64(toUInt64(i));
}

double ModbusBytes::toDoubleStruct(int i) const
{
    const int fractionAt = i <= INT_MAX - 4 ? i + 4 : -1;
    return double(toInt32(i)) + double(toFloat(fractionAt));
}

QDateTime ModbusBytes::toDateTime(int i) const
{
    // A negative index is as much outside the buffer as one past its end.
    if (i < 0 || i >= size())
        return QDateTime();
    return DorrikBus::archLabelToTime(toUInt32(i));
}

quint32 ModbusBytes::getArchLabel(int n) const
{
    if (n < 0 || n >= archLabelsCount())
        return 0;
    return toUInt32(4 * n);
}

quint8 ModbusBytes::first() const
{
    return isEmpty() ? 0 : at(0);
}

quint8 ModbusBytes::last() const
{
    return isEmpty() ? 0 : at(int(size() - 1));
}

bool ModbusBytes::emptyOrZero() const
{
    return std::all_of(cbegin(), cend(), [](char c) { return c == 0; });
}

bool ModbusBytes::checkCrc16() const
{
    if (size() < 3)
        return false;
    const int crcAt = int(size() - 2);
    return qChecksumModbus(constData(), unsigned(crcAt)) == toUInt16(crcAt);
}

bool ModbusBytes::getBit(int index, bool reversed) const
{
    if (index < 0)
        return false;
    qsizetype byte = index >> 3;
    if (reversed)
        byte = size() - 1 - byte;
    if (byte < 0 || byte >= size())
        return false;
    return (at(int(byte)) >> (index & 7)) & 1;
}

QList<quint16> ModbusBytes::toRegs(int offset, int count) const
{
    if (count == -1)
        count = regsCount();
    QList<quint16> regs;
    if (offset < 0 || offset >= size() || count < 1)
        return regs;
    regs.reserve(qMin<qint64>(count, (size() - offset + 1) / 2));
    for (qint64 pos = offset; pos < size() && regs.size() < count; pos += 2)
        regs.append(toUInt16(int(pos)));
    return regs;
}

QList<quint32> ModbusBytes::toArchLabels(int offset, int count) const
{
    if (count == -1)
        count = archLabelsCount();
    QList<quint32> labels;
    if (offset < 0 || offset >= size() || count < 1)
        return labels;
    labels.reserve(qMin<qint64>(count, (size() - offset + 3) / 4));
    for (qint64 pos = offset; pos < size() && labels.size() < count; pos += 4)
        labels.append(toUInt32(int(pos)));
    return labels;
}

QList<QDateTime> ModbusBytes::toArchTimeLabels(int offset, int count) const
{
    const QList<quint32> labels = toArchLabels(offset, count);
    QList<QDateTime> times;
    times.reserve(labels.size());
    for (quint32 label : labels)
        times.append(DorrikBus::archLabelToTime(label));
    return times;
}

ModbusBytesArray ModbusBytes::splitBySize(int size, int maxCount) const
{
    ModbusBytesArray pieces;
    if (isEmpty() || maxCount == 0)
        return pieces;
    if (size < 1) {
        pieces.append(*this);
        return pieces;
    }
    const qsizetype total = QByteArray::size();
    for (qsizetype pos = 0; pos < total && (maxCount < 0 || pieces.size() < maxCount); pos += size)
        pieces.append(mid(pos, size));
    return pieces;
}

ModbusBytesArray ModbusBytes::splitByCount(int n) const
{
    // A count of 0 (or below) cannot divide anything: the whole buffer is the one piece.
    if (n < 1)
        return splitBySize(0, -1);
    return splitBySize(int(size() / n), -1);
}

ModbusBytes ModbusBytes::fromOther(const ModbusBytes &src, int offset, int count)
{
    if (offset < 0 || offset >= src.size() || count < -1)
        return ModbusBytes();
    const qsizetype rest = src.size() - offset;
    const qsizetype n = (count == -1 || count > rest) ? rest : qsizetype(count);
    return src.mid(offset, n);
}

QString ModbusBytes::toStringAnsi(int offset, int count, bool oneCharPerRegister) const
{
    if (count == -1)
        count = int(size() - offset);
    if (count < 1 || offset < 0 || qint64(offset) + count > size())
        return QString();
    if (!oneCharPerRegister)
        return QString::fromLatin1(constData() + offset, count);
    // The character is the low byte of each register; registers count from the buffer's start.
    QByteArray chars;
    for (qint64 pos = offset | 1; pos < size() && chars.size() < count; pos += 2)
        chars.append(constData()[pos]);
    return QString::fromLatin1(chars);
}

QString ModbusBytes::toStringUtf8(int offset, int count) const
{
    const ModbusBytes part = fromOther(*this, offset, count);
    const qsizetype zero = part.indexOf('\0');
    return QString::fromUtf8(part.constData(), zero < 0 ? part.size() : zero);
}

QString ModbusBytes::toBinary() const
{
    QString text;
    text.reserve(size() * 8);
    for (char c : *this)
        text += QString::number(quint8(c), 2);
    return text;
}

ModbusBytes ModbusBytes::fromStringAnsi(const QString &text, bool oneCharPerRegister)
{
    return fromBytes(text.toLatin1(), oneCharPerRegister);
}

ModbusBytes ModbusBytes::fromStringUtf8(const QString &text)
{
    return text.toUtf8();
}

ModbusBytes ModbusBytes::fromStringUtf8(const QString &text, int maxSize)
{
    if (maxSize < 0)
        return ModbusBytes();
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxSize)
        return utf8;
    // Every UTF-16 unit takes at least one byte, so no longer prefix can fit. A prefix never ends
    // between the halves of a surrogate pair: the lone half would be stored as a replacement
    // character that the text never held.
    for (qsizetype len = qMin<qsizetype>(text.size() - 1, maxSize); len > 0; --len) {
        if (text.at(len - 1).isHighSurrogate() && text.at(len).isLowSurrogate())
            continue;
        utf8 = QStringView(text).left(len).toUtf8();
        if (utf8.size() <= maxSize)
            return utf8;
    }
    return ModbusBytes();
}

ModbusBytes ModbusBytes::fromBytes(const QByteArray &bytes, bool oneCharPerRegister)
{
    if (!oneCharPerRegister)
        return bytes;
    ModbusBytes r;
    r.reserve(bytes.size() * 2);
    for (char c : bytes) {
        r.QByteArray::append('\0');
        r.QByteArray::append(c);
    }
    return r;
}

ModbusBytes ModbusBytes::fromHex(const QByteArray &hexBytes)
{
    return QByteArray::fromHex(hexBytes);
}

ModbusBytes ModbusBytes::fromModbusString(const QString &text)
{
    return fromHex(text.simplified().toLatin1());
}

ModbusBytes ModbusBytes::fromUInt8(quint8 v, bool asRegister)
{
    return asRegister ? bigEndian(v, 2) : bigEndian(v, 1);
}

ModbusBytes ModbusBytes::fromByte(quint8 v, bool asRegister)
{
    return fromUInt8(v, asRegister);
}

ModbusBytes ModbusBytes::fromInt8(qint8 v, bool asRegister)
{
    return fromUInt8(putIn8(v), asRegister);
}

ModbusBytes ModbusBytes::fromBit(bool b, bool asRegister)
{
    return fromUInt8(b ? 1 : 0, asRegister);
}

ModbusBytes ModbusBytes::fromUInt16(quint16 v)
{
    return bigEndian(v, 2);
}

ModbusBytes ModbusBytes::fromInt16(qint16 v)
{
    return bigEndian(putIn16(v), 2);
}

ModbusBytes ModbusBytes::fromUInt32(quint32 v)
{
    return bigEndian(v, 4);
}

ModbusBytes ModbusBytes::fromInt32(qint32 v)
{
    return bigEndian(putIn32(v), 4);
}

ModbusBytes ModbusBytes::fromFloat(float v)
{
    return bigEndian(putIn32(v), 4);
}

ModbusBytes ModbusBytes::fromUInt64(quint64 v)
{
    return bigEndian(v, 8);
}

ModbusBytes ModbusBytes::fromInt64(qint64 v)
{
    return bigEndian(putIn64(v), 8);
}

ModbusBytes ModbusBytes::fromDouble(double v)
{
    return bigEndian(putIn64(v), 8);
}

ModbusBytes ModbusBytes::fromDoubleStruct(double v)
{
    double integral = 0;
    const double fraction = std::modf(v, &integral);
    // Converting an out-of-range double to int is undefined: saturate, and NaN has no integer part.
    qint32 whole = 0;
    if (integral >= double(INT_MAX))
        whole = INT_MAX;
    else if (integral <= double(INT_MIN))
        whole = INT_MIN;
    else if (!std::isnan(integral))
        whole = qint32(integral);
    ModbusBytes r = fromInt32(whole);
    appendBigEndian(r, putIn32(float(fraction)), 4);
    return r;
}

ModbusBytes ModbusBytes::fromDateTime(const QDateTime &dt)
{
    return fromUInt32(DorrikBus::archLabelToSeconds(dt));
}

ModbusBytes ModbusBytes::fromArchLabels(const QList<quint32> &labels)
{
    ModbusBytes r;
    r.reserve(labels.size() * 4);
    for (quint32 label : labels)
        appendBigEndian(r, label, 4);
    return r;
}

ModbusBytes ModbusBytes::fromArchTimeLabels(const QList<QDateTime> &labels)
{
    ModbusBytes r;
    r.reserve(labels.size() * 4);
    for (const QDateTime &t : labels)
        appendBigEndian(r, DorrikBus::archLabelToSeconds(t), 4);
    return r;
}

ModbusBytes ModbusBytes::fromSize(int n, quint8 fill)
{
    if (n <= 0)
        return ModbusBytes();
    return QByteArray(n, char(fill));
}

ModbusBytes ModbusBytes::fromRegsCount(int n, quint16 value)
{
    if (n <= 0)
        return ModbusBytes();
    QByteArray r(qsizetype(n) * 2, Qt::Uninitialized);
    char *p = r.data();
    for (int k = 0; k < n; ++k) {
        *p++ = char(value >> 8);
        *p++ = char(value);
    }
    return r;
}

ModbusBytes ModbusBytes::fromList(const QList<ModbusBytes> &list)
{
    qsizetype total = 0;
    for (const ModbusBytes &b : list)
        total += b.size();
    ModbusBytes r;
    r.reserve(total);
    for (const ModbusBytes &b : list)
        r.QByteArray::append(b);
    return r;
}

ModbusBytes ModbusBytes::fromModbusBytesArray(const ModbusBytesArray &array)
{
    return fromList(array);
}

ModbusBytes &ModbusBytes::appendUInt32(quint32 v)
{
    appendBigEndian(*this, v, 4);
    return *this;
}

ModbusBytes &ModbusBytes::appendFloat(float v)
{
    appendBigEndian(*this, putIn32(v), 4);
    return *this;
}

ModbusBytes &ModbusBytes::appendDateTime(const QDateTime &dt)
{
    return appendUInt32(DorrikBus::archLabelToSeconds(dt));
}

ModbusBytes &ModbusBytes::append(unsigned char c)
{
    QByteArray::append(char(c));
    return *this;
}

ModbusBytes &ModbusBytes::append(char *str)
{
    return append(static_cast<const char *>(str));
}

ModbusBytes &ModbusBytes::append(const char *str)
{
    if (str)
        QByteArray::append(str);
    return *this;
}

ModbusBytes &ModbusBytes::append(const char *data, int len)
{
    if (data && len > 0)
        QByteArray::append(data, len);
    return *this;
}

ModbusBytes &ModbusBytes::append(const QByteArray &bytes)
{
    QByteArray::append(bytes);
    return *this;
}

ModbusBytes &ModbusBytes::append(const ModbusBytes &src, int offset, int count)
{
    if (offset == 0 && count == -1)
        return append(static_cast<const QByteArray &>(src));
    return append(static_cast<const QByteArray &>(fromOther(src, offset, count)));
}

ModbusBytes ModbusBytes::operator+(const ModbusBytes &other) const
{
    ModbusBytes r;
    r.reserve(size() + other.size());
    r.QByteArray::append(*this);
    r.QByteArray::append(other);
    return r;
}

ModbusBytes &ModbusBytes::prepend(unsigned char c)
{
    QByteArray::prepend(char(c));
    return *this;
}

ModbusBytes &ModbusBytes::prepend(const char *str)
{
    if (str)
        QByteArray::prepend(str);
    return *this;
}

ModbusBytes &ModbusBytes::prepend(const ModbusBytes &src, int offset, int count)
{
    if (offset == 0 && count == -1)
        QByteArray::prepend(src);
    else
        QByteArray::prepend(fromOther(src, offset, count));
    return *this;
}

void ModbusBytes::removeLast(int n)
{
    if (n > 0)
        chop(qMin<qsizetype>(n, size()));
}

ModbusBytes ModbusBytes::takeFirst(int n)
{
    if (n < 0) {
        qCritical("takeFirst - invalid argument");
        return ModbusBytes();
    }
    const qsizetype m = qMin<qsizetype>(n, size());
    ModbusBytes taken = left(m);
    remove(0, m);
    return taken;
}

void ModbusBytes::alignToWord(bool atEnd)
{
    if (size() % 2 == 0)
        return;
    if (atEnd)
        QByteArray::append('\0');
    else
        QByteArray::prepend('\0');
}

ModbusBytes ModbusBytes::alignedToWord(bool atEnd) const
{
    ModbusBytes r(*this);
    r.alignToWord(atEnd);
    return r;
}

void ModbusBytes::reverse()
{
    std::reverse(begin(), end());
}

void ModbusBytes::resize(int n, bool atEnd)
{
    n = qMax(n, 0);
    const qsizetype old = size();
    if (n == old)
        return;
    if (!atEnd) {
        if (n > old)
            QByteArray::prepend(QByteArray(n - old, '\0'));
        else
            remove(0, old - n);
        return;
    }
    QByteArray::resize(n);
    if (n > old)
        std::memset(data() + old, 0, size_t(n - old));
}

ModbusBytes ModbusBytes::resized(int n, bool atEnd) const
{
    ModbusBytes r(*this);
    r.resize(n, atEnd);
    return r;
}

void ModbusBytes::setBytes(const ModbusBytes &src, int offset, int count)
{
    // src may be this very buffer: keep its bytes as they were before growing.
    const ModbusBytes from(src);
    if (count == -1)
        count = int(from.size());
    if (offset < 0 || count < 0 || qint64(offset) + count > INT_MAX)
        return;
    if (size() < offset + count)
        resize(offset + count, true);
    const qsizetype n = qMin<qsizetype>(count, from.size());
    if (n > 0)
        std::memmove(data() + offset, from.constData(), size_t(n));
}

void ModbusBytes::setBit(int index, bool value)
{
    if (index < 0 || index / 8 >= size())
        return;
    const quint8 mask = quint8(1u << (index & 7));
    quint8 &byte = (*this)[index / 8];
    byte = value ? quint8(byte | mask) : quint8(byte & ~mask);
}

bool ModbusBytes::operator==(const ModbusBytesArray &array) const
{
    return array.size() == 1 &&
           static_cast<const QByteArray &>(array.at(0)) == static_cast<const QByteArray &>(*this);
}
