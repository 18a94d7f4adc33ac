#ifndef FUZZINPUT_H
#define FUZZINPUT_H

#include "modbusbytes.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Reads a fuzz input from the front: the choices a target makes (modes, sizes, chunk lengths)
// and the bytes it feeds on. Past the end every read gives zeros or nothing, so any input is a
// valid one.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t left() const { return m_size - m_pos; }

    quint8 byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    quint16 uint16()
    {
        const quint16 high = byte();
        return quint16(high << 8 | byte());
    }
    quint32 uint32()
    {
        const quint32 high = uint16();
        return high << 16 | uint16();
    }
    // Up to `count` bytes.
    ModbusBytes bytes(size_t count)
    {
        count = std::min(count, left());
        ModbusBytes taken(QByteArray(reinterpret_cast<const char *>(m_data + m_pos), int(count)));
        m_pos += count;
        return taken;
    }
    ModbusBytes rest() { return bytes(left()); }

    // Fails the run: libFuzzer and the replay driver both report an abort with the input.
    static void check(bool condition)
    {
        if (!condition)
            std::abort();
    }

    // Targets whose code needs an event loop or timers run under one application object for
    // the whole process.
    static void ensureApplication()
    {
        if (QCoreApplication::instance())
            return;
        static int argc = 1;
        static char name[] = "fuzz";
        static char *argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

#endif
