#ifndef MODBUSVALUES_H
#define MODBUSVALUES_H

#include <QtGlobal>

#include <cstring>

// Bit-for-bit reinterpretation of values and packing of bytes. The multi-byte packers take the
// least significant byte first; ModbusBytes feeds them its bytes in reverse to stay big-endian.
// memcpy keeps the reinterpretation free of aliasing and overflow traps.

inline quint8 putIn8(qint8 v)
{
    return quint8(v);
}

inline quint16 putIn16(qint16 v)
{
    return quint16(v);
}

inline unsigned int putIn32(int v)
{
    return static_cast<unsigned int>(v);
}

inline quint64 putIn64(const qint64 &v)
{
    return static_cast<quint64>(v);
}

inline unsigned int putIn32(float v)
{
    static_assert(sizeof(float) == sizeof(unsigned int), "IEEE-754 single expected");
    unsigned int r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline quint64 putIn64(const double &v)
{
    static_assert(sizeof(double) == sizeof(quint64), "IEEE-754 double expected");
    quint64 r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline qint8 extractInt8(quint8 v)
{
    qint8 r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline qint16 extractInt16(quint16 v)
{
    qint16 r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline int extractInt32(unsigned int v)
{
    int r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline qint64 extractInt64(const quint64 &v)
{
    qint64 r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline float extractFloat(unsigned int v)
{
    float r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline double extractDouble(const quint64 &v)
{
    double r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

inline quint16 putIn16(quint8 b0, quint8 b1)
{
    return quint16(quint16(b1) << 8 | b0);
}

inline unsigned int putIn32(quint8 b0, quint8 b1, quint8 b2, quint8 b3)
{
    return (unsigned int)b3 << 24 | (unsigned int)b2 << 16 | (unsigned int)b1 << 8 | b0;
}

inline quint64 putIn64(quint8 b0, quint8 b1, quint8 b2, quint8 b3, quint8 b4, quint8 b5, quint8 b6,
                       quint8 b7)
{
    return quint64(putIn32(b4, b5, b6, b7)) << 32 | putIn32(b0, b1, b2, b3);
}

inline void extractBytes(quint16 v, quint8 &b0, quint8 &b1)
{
    b0 = quint8(v);
    b1 = quint8(v >> 8);
}

inline void extractBytes(unsigned int v, quint8 &b0, quint8 &b1, quint8 &b2, quint8 &b3)
{
    b0 = quint8(v);
    b1 = quint8(v >> 8);
    b2 = quint8(v >> 16);
    b3 = quint8(v >> 24);
}

inline void extractBytes(quint64 v, quint8 &b0, quint8 &b1, quint8 &b2, quint8 &b3, quint8 &b4,
                         quint8 &b5, quint8 &b6, quint8 &b7)
{
    extractBytes((unsigned int)v, b0, b1, b2, b3);
    extractBytes((unsigned int)(v >> 32), b4, b5, b6, b7);
}

#endif
