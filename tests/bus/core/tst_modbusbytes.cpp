#include "modbusbytes.h"
#include "modbusbytesarray.h"
#include "modbuscrc.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

namespace {

ModbusBytes hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Buffers compare as spaced hex, so a failure shows the bytes.
QByteArray spaced(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

QDateTime local(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

ModbusBytesArray array(std::initializer_list<const char *> elements)
{
    ModbusBytesArray a;
    for (const char *e : elements)
        a.append(hex(e));
    return a;
}

ModbusBytes changed(const char *start, const std::function<void(ModbusBytes &)> &change)
{
    ModbusBytes b = hex(start);
    change(b);
    return b;
}

enum Read { U8, U8Swap, I8, U16, Reg, GetReg, I16, U32, I32, U64, I64, ArchLabel, First, Last };

QVariant readAt(const ModbusBytes &b, Read read, int i)
{
    switch (read) {
    case U8:
        return quint64(b.toUInt8(i));
    case U8Swap:
        return quint64(b.toUInt8(i, true));
    case I8:
        return qint64(b.toInt8(i));
    case U16:
        return quint64(b.toUInt16(i));
    case Reg:
        return quint64(b.toReg(i));
    case GetReg:
        return quint64(b.getReg(i));
    case I16:
        return qint64(b.toInt16(i));
    case U32:
        return quint64(b.toUInt32(i));
    case I32:
        return qint64(b.toInt32(i));
    case U64:
        return quint64(b.toUInt64(i));
    case I64:
        return qint64(b.toInt64(i));
    case ArchLabel:
        return quint64(b.getArchLabel(i));
    case First:
        return quint64(b.first());
    case Last:
        return quint64(b.last());
    }
    return QVariant();
}

} // namespace

Q_DECLARE_METATYPE(Read)

class tst_ModbusBytes : public QObject
{
    Q_OBJECT
private slots:
    void integerReads_data();
    void integerReads();
    void realReads_data();
    void realReads();
    void writes_data();
    void writes();
    void dateTimes_data();
    void dateTimes();
    void dateTimeEdges();
    void lists_data();
    void lists();
    void fromOther_data();
    void fromOther();
    void split_data();
    void split();
    void ansiTexts_data();
    void ansiTexts();
    void utf8Texts_data();
    void utf8Texts();
    void textWrites_data();
    void textWrites();
    void bits_data();
    void bits();
    void changes_data();
    void changes();
    void takeFirst_data();
    void takeFirst();
    void takeFirstNegative();
    void writableIndexDetaches();
    void checkCrc16_data();
    void checkCrc16();
    void emptyOrZero_data();
    void emptyOrZero();
    void equalsArray_data();
    void equalsArray();
    void subArray_data();
    void subArray();
    void arrayOperations();
};

void tst_ModbusBytes::integerReads_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<Read>("read");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVariant>("expected");

    auto u = [](quint64 v) { return QVariant(v); };
    auto s = [](qint64 v) { return QVariant(v); };
    const ModbusBytes two = hex("1234");
    QTest::newRow("u8") << two << U8 << 1 << u(0x34);
    QTest::newRow("u8 past the end") << two << U8 << 2 << u(0);
    QTest::newRow("u8 negative index") << two << U8 << -1 << u(0);
    QTest::newRow("u8 swapped takes the next byte") << two << U8Swap << 0 << u(0x34);
    QTest::newRow("u8 swapped at the last byte") << two << U8Swap << 1 << u(0);
    QTest::newRow("i8") << hex("80") << I8 << 0 << s(-128);
    QTest::newRow("i8 negative index") << hex("80") << I8 << -1 << s(0);
    QTest::newRow("u16 inside") << hex("010203") << U16 << 1 << u(0x0203);
    QTest::newRow("u16 at size - 1") << hex("010203") << U16 << 2 << u(0);
    QTest::newRow("u16 negative index") << hex("010203") << U16 << -1 << u(0);
    QTest::newRow("reg is a byte index") << hex("010203") << Reg << 1 << u(0x0203);
    QTest::newRow("getReg 1") << hex("00010002") << GetReg << 1 << u(2);
    QTest::newRow("getReg past the end") << hex("000100") << GetReg << 1 << u(0);
    QTest::newRow("getReg huge") << hex("0001") << GetReg << std::numeric_limits<int>::max()
                                 << u(0);
    QTest::newRow("i16 FF FE") << hex("FFFE") << I16 << 0 << s(-2);
    QTest::newRow("u32") << hex("01020304") << U32 << 0 << u(0x01020304);
    QTest::newRow("u32 of 3 bytes") << hex("010203") << U32 << 0 << u(0);
    QTest::newRow("u32 last whole field") << hex("AA01020304") << U32 << 1 << u(0x01020304);
    QTest::newRow("u32 index near int max")
        << hex("01020304") << U32 << std::numeric_limits<int>::max() - 1 << u(0);
    QTest::newRow("i32") << hex("FFFFFFFE") << I32 << 0 << s(-2);
    QTest::newRow("u64") << hex("0102030405060708") << U64 << 0 << u(0x0102030405060708ull);
    QTest::newRow("u64 all ones") << hex("FFFFFFFFFFFFFFFF") << U64 << 0
                                  << u(std::numeric_limits<quint64>::max());
    QTest::newRow("u64 of 7 bytes") << hex("01020304050607") << U64 << 0 << u(0);
    QTest::newRow("i64") << hex("FFFFFFFFFFFFFFFE") << I64 << 0 << s(-2);
    QTest::newRow("arch label 1") << hex("0000000101020304") << ArchLabel << 1 << u(0x01020304);
    QTest::newRow("arch label partial") << hex("00000001010203") << ArchLabel << 1 << u(0);
    QTest::newRow("arch label negative") << hex("00000001") << ArchLabel << -1 << u(0);
    QTest::newRow("first") << hex("F001") << First << 0 << u(0xF0);
    QTest::newRow("last") << hex("F001") << Last << 0 << u(0x01);
    QTest::newRow("first of empty") << ModbusBytes() << First << 0 << u(0);
    QTest::newRow("last of empty") << ModbusBytes() << Last << 0 << u(0);
}

void tst_ModbusBytes::integerReads()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(Read, read);
    QFETCH(int, index);
    QFETCH(QVariant, expected);
    QCOMPARE(readAt(bytes, read, index), expected);
}

void tst_ModbusBytes::realReads_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<QString>("read");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("expected");

    QTest::newRow("float 1.0") << hex("3F800000") << "float" << 0 << 1.0;
    QTest::newRow("float at offset") << hex("AABB3E800000") << "float" << 2 << 0.25;
    QTest::newRow("float of 3 bytes") << hex("3F8000") << "float" << 0 << 0.0;
    QTest::newRow("double 1.0") << hex("3FF0000000000000") << "double" << 0 << 1.0;
    QTest::newRow("double -2") << hex("C000000000000000") << "double" << 0 << -2.0;
    QTest::newRow("double past the end") << hex("3FF0000000000000") << "double" << 1 << 0.0;
    QTest::newRow("double struct -2.5") << hex("FFFFFFFEBF000000") << "struct" << 0 << -2.5;
    QTest::newRow("double struct without fraction") << hex("00000005") << "struct" << 0 << 5.0;
}

void tst_ModbusBytes::realReads()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(QString, read);
    QFETCH(int, index);
    QFETCH(double, expected);
    const double value = read == "float"    ? double(bytes.toFloat(index))
                         : read == "double" ? bytes.toDouble(index)
                                            : bytes.toDoubleStruct(index);
    QCOMPARE(value, expected);
}

void tst_ModbusBytes::writes_data()
{
    QTest::addColumn<ModbusBytes>("written");
    QTest::addColumn<ModbusBytes>("expected");

    QTest::newRow("char") << ModbusBytes('\x7F') << hex("7F");
    QTest::newRow("unsigned short") << ModbusBytes((unsigned short)0x1234) << hex("1234");
    QTest::newRow("u8") << ModbusBytes::fromUInt8(0x41) << hex("41");
    QTest::newRow("u8 as register") << ModbusBytes::fromUInt8(0x41, true) << hex("0041");
    QTest::newRow("byte as register") << ModbusBytes::fromByte(0xFE, true) << hex("00FE");
    QTest::newRow("i8 as register") << ModbusBytes::fromInt8(-1, true) << hex("00FF");
    QTest::newRow("bit") << ModbusBytes::fromBit(true) << hex("01");
    QTest::newRow("bit as register") << ModbusBytes::fromBit(false, true) << hex("0000");
    QTest::newRow("u16") << ModbusBytes::fromUInt16(0xABCD) << hex("ABCD");
    QTest::newRow("i16") << ModbusBytes::fromInt16(-2) << hex("FFFE");
    QTest::newRow("u32") << ModbusBytes::fromUInt32(0x01020304) << hex("01020304");
    QTest::newRow("i32") << ModbusBytes::fromInt32(-2) << hex("FFFFFFFE");
    QTest::newRow("float") << ModbusBytes::fromFloat(-0.5f) << hex("BF000000");
    QTest::newRow("u64") << ModbusBytes::fromUInt64(0x0102030405060708ull)
                         << hex("0102030405060708");
    QTest::newRow("i64") << ModbusBytes::fromInt64(-2) << hex("FFFFFFFFFFFFFFFE");
    QTest::newRow("double") << ModbusBytes::fromDouble(1.0) << hex("3FF0000000000000");
    QTest::newRow("double struct -2.5")
        << ModbusBytes::fromDoubleStruct(-2.5) << hex("FFFFFFFEBF000000");
    QTest::newRow("double struct 3.25")
        << ModbusBytes::fromDoubleStruct(3.25) << hex("000000033E800000");
    QTest::newRow("double struct too large saturates")
        << ModbusBytes::fromDoubleStruct(1e12) << hex("7FFFFFFF00000000");
    QTest::newRow("double struct too small saturates")
        << ModbusBytes::fromDoubleStruct(-1e12) << hex("8000000080000000");
    QTest::newRow("arch labels") << ModbusBytes::fromArchLabels({1, 0xFFFFFFFFu})
                                 << hex("00000001FFFFFFFF");
    QTest::newRow("size 3 filled") << ModbusBytes::fromSize(3, 0xAA) << hex("AAAAAA");
    QTest::newRow("size 0") << ModbusBytes::fromSize(0, 0xAA) << ModbusBytes();
    QTest::newRow("size negative") << ModbusBytes::fromSize(-4) << ModbusBytes();
    QTest::newRow("regs count 2") << ModbusBytes::fromRegsCount(2, 0x1234) << hex("12341234");
    QTest::newRow("regs count negative") << ModbusBytes::fromRegsCount(-1, 1) << ModbusBytes();
    QTest::newRow("list") << ModbusBytes::fromList({hex("01"), ModbusBytes(), hex("0203")})
                          << hex("010203");
    QTest::newRow("bytes array") << ModbusBytes::fromModbusBytesArray(array({"0102", "03"}))
                                 << hex("010203");
    QTest::newRow("append typed") << changed("AA", [](ModbusBytes &b) {
        b.appendUInt16(0x0102);
        b.appendReg(0x0304);
        b.appendUInt32(0x05060708);
        b.appendFloat(1.0f);
    }) << hex("AA01020304050607083F800000");
    QTest::newRow("stream operators") << changed("", [](ModbusBytes &b) {
        b << quint8(1) << quint16(0x0203) << quint32(0x04050607) << hex("08");
        b += quint8(9);
        b += hex("0A");
    }) << hex("0102030405060708090A");
    QTest::newRow("append char strings") << changed("01", [](ModbusBytes &b) {
        char text[] = "A";
        b.append(text);
        b.append("BC");
        b.append("\0\x01\x02", 2);
        b.append(QByteArray("\xFF", 1));
    }) << hex("0141424300 01FF");
    QTest::newRow("append part of other")
        << changed("01", [](ModbusBytes &b) { b.append(hex("0A0B0C0D"), 1, 2); }) << hex("010B0C");
    QTest::newRow("append whole other")
        << changed("01", [](ModbusBytes &b) { b.append(hex("0A0B"), 0, -1); }) << hex("010A0B");
    QTest::newRow("append past the end of other")
        << changed("01", [](ModbusBytes &b) { b.append(hex("0A0B"), 1, 9); }) << hex("010B");
    QTest::newRow("operator plus") << hex("01") + hex("0203") << hex("010203");
}

void tst_ModbusBytes::writes()
{
    QFETCH(ModbusBytes, written);
    QFETCH(ModbusBytes, expected);
    QCOMPARE(spaced(written), spaced(expected));
}

void tst_ModbusBytes::dateTimes_data()
{
    // Labels are the instrument's wall clock: the same bytes in every zone, also on the two
    // days of 2024 whose local clock jumps.
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::newRow("2024-01-01") << local(2024, 1, 1, 0, 0) << hex("65920080");
    QTest::newRow("spring jump, 02:30") << local(2024, 3, 31, 2, 30) << hex("6608CAA8");
    QTest::newRow("autumn fold, 02:30") << local(2024, 10, 27, 2, 30) << hex("671DA5A8");
    QTest::newRow("epoch") << local(1970, 1, 1, 0, 0) << hex("00000000");
}

void tst_ModbusBytes::dateTimes()
{
    QFETCH(QDateTime, time);
    QFETCH(ModbusBytes, bytes);
    QCOMPARE(spaced(ModbusBytes::fromDateTime(time)), spaced(bytes));
    QCOMPARE(spaced(ModbusBytes().appendDateTime(time)), spaced(bytes));

    const QDateTime read = ModbusBytes(bytes).toDateTime(0);
    QCOMPARE(read.date(), time.date());
    QCOMPARE(read.time(), time.time());
    QCOMPARE(spaced(ModbusBytes::fromDateTime(read)), spaced(bytes));
}

void tst_ModbusBytes::dateTimeEdges()
{
    const ModbusBytes labels = hex("65920080") + hex("6608CAA8") + hex("00");
    QVERIFY(!labels.toDateTime(int(labels.size())).isValid());
    QVERIFY(!labels.toDateTime(-1).isValid());
    // A label whose bytes run past the end reads as label 0.
    QCOMPARE(labels.toDateTime(8), local(1970, 1, 1, 0, 0));

    const QList<QDateTime> times = labels.toArchTimeLabels();
    QCOMPARE(times.size(), 2);
    QCOMPARE(times.at(0), local(2024, 1, 1, 0, 0));
    QCOMPARE(times.at(1).time(), QTime(2, 30));
    QCOMPARE(spaced(ModbusBytes::fromArchTimeLabels(times)), spaced(labels.left(8)));
}

void tst_ModbusBytes::lists_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<quint32>>("expected");

    const ModbusBytes three = hex("010203");
    QTest::newRow("regs: count rounds down") << three << false << 0 << -1 << QList<quint32>{0x0102};
    QTest::newRow("regs: trailing odd byte reads 0")
        << three << false << 0 << 2 << QList<quint32>{0x0102, 0};
    QTest::newRow("regs: from offset 1") << three << false << 1 << -1 << QList<quint32>{0x0203};
    QTest::newRow("regs: stop at the end")
        << hex("00010002") << false << 0 << 9 << QList<quint32>{1, 2};
    QTest::newRow("regs: offset at the end") << three << false << 3 << -1 << QList<quint32>{};
    QTest::newRow("regs: negative offset") << three << false << -1 << 1 << QList<quint32>{};
    QTest::newRow("regs: count 0") << three << false << 0 << 0 << QList<quint32>{};
    QTest::newRow("regs: one byte") << hex("01") << false << 0 << -1 << QList<quint32>{};

    const ModbusBytes five = hex("0102030405");
    QTest::newRow("labels: count rounds down")
        << five << true << 0 << -1 << QList<quint32>{0x01020304};
    QTest::newRow("labels: partial label reads 0")
        << five << true << 0 << 2 << QList<quint32>{0x01020304, 0};
    QTest::newRow("labels: from offset 1") << five << true << 1 << 1 << QList<quint32>{0x02030405};
    QTest::newRow("labels: negative count") << five << true << 0 << -2 << QList<quint32>{};
}

void tst_ModbusBytes::lists()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(bool, labels);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(QList<quint32>, expected);
    QList<quint32> values;
    if (labels) {
        values = bytes.toArchLabels(offset, count);
    } else {
        for (quint16 reg : bytes.toRegs(offset, count))
            values.append(reg);
    }
    QCOMPARE(values, expected);
}

void tst_ModbusBytes::fromOther_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<ModbusBytes>("expected");
    QTest::newRow("middle") << 1 << 2 << hex("0203");
    QTest::newRow("to the end") << 1 << -1 << hex("020304");
    QTest::newRow("count clipped") << 2 << 10 << hex("0304");
    QTest::newRow("count below -1 is 0") << 1 << -5 << ModbusBytes();
    QTest::newRow("offset at the end") << 4 << 1 << ModbusBytes();
    QTest::newRow("negative offset") << -1 << 2 << ModbusBytes();
}

void tst_ModbusBytes::fromOther()
{
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(ModbusBytes, expected);
    const ModbusBytes src = hex("01020304");
    QCOMPARE(spaced(ModbusBytes::fromOther(src, offset, count)), spaced(expected));
    QCOMPARE(spaced(ModbusBytesArray(src, offset, count).toModbusBytes()), spaced(expected));
    QCOMPARE(ModbusBytesArray(src, offset, count).size(), 1);
    QCOMPARE(spaced(changed("AA", [&](ModbusBytes &b) { b.prepend(src, offset, count); })),
             spaced(expected + hex("AA")));
}

void tst_ModbusBytes::split_data()
{
    QTest::addColumn<int>("bytesCount");
    QTest::addColumn<bool>("byCount");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<QList<int>>("sizes");

    QTest::newRow("by size 3") << 7 << false << 3 << -1 << QList<int>{3, 3, 1};
    QTest::newRow("by size 2, at most 2") << 7 << false << 2 << 2 << QList<int>{2, 2};
    QTest::newRow("by size 0 is the whole") << 7 << false << 0 << -1 << QList<int>{7};
    QTest::newRow("max count 0") << 7 << false << 3 << 0 << QList<int>{};
    QTest::newRow("empty buffer") << 0 << false << 3 << -1 << QList<int>{};
    QTest::newRow("by count 2") << 7 << true << 2 << -1 << QList<int>{3, 3, 1};
    QTest::newRow("by count above the size") << 7 << true << 8 << -1 << QList<int>{7};
    QTest::newRow("by count 0") << 7 << true << 0 << -1 << QList<int>{7};
    QTest::newRow("by count negative") << 7 << true << -2 << -1 << QList<int>{7};
}

void tst_ModbusBytes::split()
{
    QFETCH(int, bytesCount);
    QFETCH(bool, byCount);
    QFETCH(int, size);
    QFETCH(int, maxCount);
    QFETCH(QList<int>, sizes);

    ModbusBytes bytes;
    for (int k = 0; k < bytesCount; ++k)
        bytes.append(quint8(k + 1));
    const ModbusBytesArray pieces =
        byCount ? bytes.splitByCount(size) : bytes.splitBySize(size, maxCount);
    QList<int> pieceSizes;
    for (const ModbusBytes &piece : pieces)
        pieceSizes.append(int(piece.size()));
    QCOMPARE(pieceSizes, sizes);
    // The pieces are the buffer's bytes in order.
    QCOMPARE(spaced(pieces.toModbusBytes()), spaced(bytes.left(pieces.totalSize())));
}

void tst_ModbusBytes::ansiTexts_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("perRegister");
    QTest::addColumn<QString>("text");

    const ModbusBytes withZero = hex("41420043");
    QTest::newRow("whole, zero byte kept")
        << withZero << 0 << -1 << false << QString::fromLatin1("AB\0C", 4);
    QTest::newRow("part") << withZero << 1 << 1 << false << "B";
    QTest::newRow("latin-1 byte") << hex("E9") << 0 << -1 << false << QString(QChar(0xE9));
    QTest::newRow("count past the end") << withZero << 2 << 3 << false << QString();
    QTest::newRow("count 0") << withZero << 0 << 0 << false << QString();
    QTest::newRow("negative offset") << withZero << -1 << 2 << false << QString();
    QTest::newRow("offset at the end") << withZero << 4 << -1 << false << QString();
    QTest::newRow("per register") << hex("00410042") << 0 << -1 << true << "AB";
    QTest::newRow("per register, count 1") << hex("00410042") << 0 << 1 << true << "A";
    QTest::newRow("per register, odd size") << hex("004100") << 0 << -1 << true << "A";
}

void tst_ModbusBytes::ansiTexts()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(bool, perRegister);
    QFETCH(QString, text);
    QCOMPARE(bytes.toStringAnsi(offset, count, perRegister), text);
}

void tst_ModbusBytes::utf8Texts_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("stops at zero") << hex("41420043") << 0 << -1 << "AB";
    QTest::newRow("two-byte character") << hex("41D0B4") << 1 << -1 << QString(QChar(0x0434));
    QTest::newRow("count") << hex("414243") << 1 << 1 << "B";
    QTest::newRow("offset past the end") << hex("4142") << 2 << -1 << QString();
}

void tst_ModbusBytes::utf8Texts()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(QString, text);
    QCOMPARE(bytes.toStringUtf8(offset, count), text);
}

void tst_ModbusBytes::textWrites_data()
{
    QTest::addColumn<ModbusBytes>("written");
    QTest::addColumn<ModbusBytes>("expected");

    const QString de(2, QChar(0x0434));
    const QString smile = QStringLiteral("a") + QString::fromUcs4(U"\U0001F600");
    QTest::newRow("ansi") << ModbusBytes::fromStringAnsi("AB") << hex("4142");
    QTest::newRow("ansi per register")
        << ModbusBytes::fromStringAnsi("AB", true) << hex("00410042");
    QTest::newRow("ansi latin-1") << ModbusBytes::fromStringAnsi(QString(QChar(0xE9))) << hex("E9");
    QTest::newRow("bytes per register")
        << ModbusBytes::fromBytes("\x01\x02", true) << hex("00010002");
    QTest::newRow("utf8") << ModbusBytes::fromStringUtf8(de) << hex("D0B4D0B4");
    QTest::newRow("utf8, fits") << ModbusBytes::fromStringUtf8(de, 4) << hex("D0B4D0B4");
    QTest::newRow("utf8, whole characters only")
        << ModbusBytes::fromStringUtf8(de, 3) << hex("D0B4");
    QTest::newRow("utf8, nothing fits") << ModbusBytes::fromStringUtf8(de, 1) << ModbusBytes();
    QTest::newRow("utf8, negative size") << ModbusBytes::fromStringUtf8("A", -1) << ModbusBytes();
    QTest::newRow("utf8, surrogate pair kept whole")
        << ModbusBytes::fromStringUtf8(smile, 4) << hex("61");
    QTest::newRow("utf8, surrogate pair fits")
        << ModbusBytes::fromStringUtf8(smile, 5) << hex("61F09F9880");
    QTest::newRow("hex") << ModbusBytes::fromHex("0a0B") << hex("0A0B");
    QTest::newRow("modbus string")
        << ModbusBytes::fromModbusString(" 01 03\n 00\t0a ") << hex("0103000A");
}

void tst_ModbusBytes::textWrites()
{
    QFETCH(ModbusBytes, written);
    QFETCH(ModbusBytes, expected);
    QCOMPARE(spaced(written), spaced(expected));
}

void tst_ModbusBytes::bits_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("bit");
    QTest::addColumn<ModbusBytes>("afterSet");
    QTest::addColumn<ModbusBytes>("afterClear");

    QTest::newRow("bit 9") << hex("0000") << 9 << false << hex("0002") << hex("0000");
    QTest::newRow("bit 9 set") << hex("0002") << 9 << true << hex("0002") << hex("0000");
    QTest::newRow("bit 7") << hex("80FF") << 7 << true << hex("80FF") << hex("00FF");
    QTest::newRow("bit 16 of 2 bytes") << hex("FFFF") << 16 << false << hex("FFFF") << hex("FFFF");
    QTest::newRow("negative index") << hex("FF") << -1 << false << hex("FF") << hex("FF");
}

void tst_ModbusBytes::bits()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(int, index);
    QFETCH(bool, bit);
    QFETCH(ModbusBytes, afterSet);
    QFETCH(ModbusBytes, afterClear);
    QCOMPARE(bytes.getBit(index, false), bit);
    if (index >= 0)
        QCOMPARE(bytes.toBit(index / 8, index % 8), bit);
    QCOMPARE(
        spaced(changed(bytes.toHex().constData(), [&](ModbusBytes &b) { b.setBit(index, true); })),
        spaced(afterSet));
    QCOMPARE(
        spaced(changed(bytes.toHex().constData(), [&](ModbusBytes &b) { b.setBit(index, false); })),
        spaced(afterClear));
}

void tst_ModbusBytes::changes_data()
{
    QTest::addColumn<ModbusBytes>("result");
    QTest::addColumn<ModbusBytes>("expected");

    using B = ModbusBytes &;
    QTest::newRow("align at the front")
        << changed("010203", [](B b) { b.alignToWord(false); }) << hex("00010203");
    QTest::newRow("align at the end")
        << changed("010203", [](B b) { b.alignToWord(true); }) << hex("01020300");
    QTest::newRow("align even size")
        << changed("0102", [](B b) { b.alignToWord(false); }) << hex("0102");
    QTest::newRow("aligned copy") << hex("01").alignedToWord(false) << hex("0001");
    QTest::newRow("resize grows with zeros")
        << changed("0102", [](B b) { b.resize(5, true); }) << hex("0102000000");
    QTest::newRow("resize cuts the end")
        << changed("0102", [](B b) { b.resize(1, true); }) << hex("01");
    QTest::newRow("resize after chop zero-fills") << changed("01020304", [](B b) {
        b.removeLast(2);
        b.resize(4);
    }) << hex("01020000");
    QTest::newRow("resize at the front")
        << changed("0102", [](B b) { b.resize(3, false); }) << hex("000102");
    QTest::newRow("resize cuts the front")
        << changed("0102", [](B b) { b.resize(1, false); }) << hex("02");
    QTest::newRow("resized copy") << hex("01").resized(2) << hex("0100");
    QTest::newRow("remove last") << changed("010203", [](B b) { b.removeLast(1); }) << hex("0102");
    QTest::newRow("remove more than all")
        << changed("0102", [](B b) { b.removeLast(9); }) << ModbusBytes();
    QTest::newRow("reverse") << changed("010203", [](B b) { b.reverse(); }) << hex("030201");
    QTest::newRow("prepend") << changed("03", [](B b) {
        b.prepend(quint8(2));
        b.prepend("\x01");
    }) << hex("010203");
    QTest::newRow("set bytes inside")
        << changed("01020304", [](B b) { b.setBytes(hex("AABBCC"), 1, 2); }) << hex("01AABB04");
    QTest::newRow("set bytes grows")
        << changed("01", [](B b) { b.setBytes(hex("0A0B"), 3); }) << hex("0100000A0B");
    QTest::newRow("set bytes grows to offset + count")
        << changed("01", [](B b) { b.setBytes(hex("AA"), 2, 3); }) << hex("0100AA0000");
    QTest::newRow("set bytes from itself")
        << changed("0102", [](B b) { b.setBytes(b, 2); }) << hex("01020102");
    QTest::newRow("set bytes negative offset")
        << changed("01", [](B b) { b.setBytes(hex("AA"), -1); }) << hex("01");
}

void tst_ModbusBytes::changes()
{
    QFETCH(ModbusBytes, result);
    QFETCH(ModbusBytes, expected);
    QCOMPARE(spaced(result), spaced(expected));
}

void tst_ModbusBytes::takeFirst_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<ModbusBytes>("taken");
    QTest::addColumn<ModbusBytes>("left");
    QTest::newRow("two") << 2 << hex("0102") << hex("0304");
    QTest::newRow("more than all") << 10 << hex("01020304") << ModbusBytes();
    QTest::newRow("none") << 0 << ModbusBytes() << hex("01020304");
}

void tst_ModbusBytes::takeFirst()
{
    QFETCH(int, count);
    QFETCH(ModbusBytes, taken);
    QFETCH(ModbusBytes, left);
    ModbusBytes bytes = hex("01020304");
    QCOMPARE(spaced(bytes.takeFirst(count)), spaced(taken));
    QCOMPARE(spaced(bytes), spaced(left));
}

void tst_ModbusBytes::takeFirstNegative()
{
    ModbusBytes bytes = hex("0102");
    QTest::ignoreMessage(QtCriticalMsg, "takeFirst - invalid argument");
    QVERIFY(bytes.takeFirst(-1).isEmpty());
    QCOMPARE(spaced(bytes), spaced(hex("0102")));
}

void tst_ModbusBytes::writableIndexDetaches()
{
    const ModbusBytes original = hex("0102");
    ModbusBytes copy = original;
    copy[1] = 0xFF;
    copy[0u] = 0xEE;
    QCOMPARE(spaced(copy), spaced(hex("EEFF")));
    QCOMPARE(spaced(original), spaced(hex("0102")));
    QCOMPARE(original[1], quint8(0x02));
    QCOMPARE(original.at(0), quint8(0x01));
}

void tst_ModbusBytes::checkCrc16_data()
{
    QTest::addColumn<ModbusBytes>("frame");
    QTest::addColumn<bool>("passes");

    const ModbusBytes frame = hex("0103000000 01840A");
    QTest::newRow("fc3 request") << frame << true;
    for (int k = 0; k < frame.size(); ++k) {
        ModbusBytes damaged = frame;
        damaged[k] = quint8(damaged[k] ^ 0x10);
        QTest::addRow("byte %d changed", k) << damaged << false;
    }
    QTest::newRow("crc bytes swapped") << hex("0103000000010A84") << false;
    QTest::newRow("one byte and its crc") << hex("017E80") << true;
    // The crc of no bytes is FF FF, yet 2 bytes never make a frame.
    QTest::newRow("2 bytes FF FF") << hex("FFFF") << false;
    QTest::newRow("empty") << ModbusBytes() << false;
}

void tst_ModbusBytes::checkCrc16()
{
    QFETCH(ModbusBytes, frame);
    QFETCH(bool, passes);
    QCOMPARE(frame.checkCrc16(), passes);
}

void tst_ModbusBytes::emptyOrZero_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty") << ModbusBytes() << true;
    QTest::newRow("zeros") << hex("0000") << true;
    QTest::newRow("last byte set") << hex("0001") << false;
}

void tst_ModbusBytes::emptyOrZero()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(bool, expected);
    QCOMPARE(bytes.emptyOrZero(), expected);
}

void tst_ModbusBytes::equalsArray_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<ModbusBytesArray>("list");
    QTest::addColumn<bool>("equal");
    QTest::newRow("one equal element") << hex("0102") << array({"0102"}) << true;
    QTest::newRow("two elements, same bytes") << hex("0102") << array({"01", "02"}) << false;
    QTest::newRow("one shorter element") << hex("0102") << array({"01"}) << false;
    QTest::newRow("no element") << ModbusBytes() << ModbusBytesArray() << false;
    QTest::newRow("one empty element") << ModbusBytes() << array({""}) << true;
}

void tst_ModbusBytes::equalsArray()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(ModbusBytesArray, list);
    QFETCH(bool, equal);
    QCOMPARE(bytes == list, equal);
    QCOMPARE(bytes != list, !equal);
}

void tst_ModbusBytes::subArray_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<ModbusBytes>("joined");
    QTest::addColumn<int>("length");
    QTest::newRow("middle") << 1 << 2 << hex("0203") << 2;
    QTest::newRow("to the end") << 1 << -1 << hex("020304") << 3;
    QTest::newRow("count clipped") << 3 << 5 << hex("04") << 1;
    QTest::newRow("count 0") << 1 << 0 << ModbusBytes() << 0;
    QTest::newRow("count below -1") << 1 << -3 << ModbusBytes() << 0;
    QTest::newRow("offset at the end") << 4 << 1 << ModbusBytes() << 0;
    QTest::newRow("negative offset") << -1 << 2 << ModbusBytes() << 0;
}

void tst_ModbusBytes::subArray()
{
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(ModbusBytes, joined);
    QFETCH(int, length);
    const ModbusBytesArray sub(array({"01", "02", "03", "04"}), offset, count);
    QCOMPARE(sub.size(), length);
    QCOMPARE(spaced(sub.toModbusBytes()), spaced(joined));
}

void tst_ModbusBytes::arrayOperations()
{
    ModbusBytesArray list = array({"03"});
    list.prependBytesArray(array({"01", "02"}));
    QCOMPARE(spaced(list.toModbusBytes()), spaced(hex("010203")));
    QCOMPARE(list.size(), 3);
    list.prependBytesArray(list);
    QCOMPARE(spaced(list.toModbusBytes()), spaced(hex("010203010203")));

    const ModbusBytesArray mixed = array({"0102", "", "030405"});
    QCOMPARE(mixed.totalSize(), 5);
    QCOMPARE(spaced(mixed.shrinkedToByte().toModbusBytes()), spaced(hex("020005")));
    QCOMPARE(mixed.shrinkedToByte().size(), 3);
    QCOMPARE(spaced(mixed.alignedToWord(false).toModbusBytes()), spaced(hex("010200030405")));
}

QTEST_GUILESS_MAIN(tst_ModbusBytes)
#include "tst_modbusbytes.moc"
