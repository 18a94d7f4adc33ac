// The CRC runs on every frame sent and received, the typed reads and writes on every register
// value. Each of ours runs beside a reference on the same data: a bit-by-bit CRC-16/MODBUS, Qt's
// own table-driven CRC-16 and QtEndian's big-endian loads and stores.
// Run: bench_modbusbytes --benchmark_repetitions=9 --benchmark_report_aggregates_only=true

#include "modbusbytes.h"
#include "modbuscrc.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

constexpr int frameSize = 256;

ModbusBytes randomFrame()
{
    QRandomGenerator random(256);
    ModbusBytes frame;
    for (int k = 0; k < frameSize; ++k)
        frame.append(quint8(random.bounded(256)));
    return frame;
}

quint16 bitwiseModbusCrc(const char *data, int len)
{
    quint16 crc = 0xFFFF;
    for (int k = 0; k < len; ++k) {
        crc ^= quint8(data[k]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return quint16(crc << 8 | crc >> 8);
}

void crcTables(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(qChecksumModbus(frame.constData(), unsigned(frame.size())));
    state.SetBytesProcessed(state.iterations() * frameSize);
}
BENCHMARK(crcTables);

void crcCheckFrame(benchmark::State &state)
{
    ModbusBytes frame = randomFrame();
    frame.removeLast(2);
    frame.appendUInt16(qChecksumModbus(frame));
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.checkCrc16());
    state.SetBytesProcessed(state.iterations() * frameSize);
}
BENCHMARK(crcCheckFrame);

void crcReferenceBitwise(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(bitwiseModbusCrc(frame.constData(), int(frame.size())));
    state.SetBytesProcessed(state.iterations() * frameSize);
}
BENCHMARK(crcReferenceBitwise);

void crcReferenceQtChecksum(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(qChecksum(frame, Qt::ChecksumIso3309));
    state.SetBytesProcessed(state.iterations() * frameSize);
}
BENCHMARK(crcReferenceQtChecksum);

// Reads: every field of a 256-byte buffer, the way an item decodes a block of registers.
void readUInt16(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state) {
        quint32 sum = 0;
        for (int i = 0; i < frameSize; i += 2)
            sum += frame.toUInt16(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(readUInt16);

void readUInt16Reference(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state) {
        quint32 sum = 0;
        for (int i = 0; i < frameSize; i += 2)
            sum += qFromBigEndian<quint16>(frame.constData() + i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(readUInt16Reference);

void readFloat(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state) {
        float sum = 0;
        for (int i = 0; i < frameSize; i += 4)
            sum += frame.toFloat(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 4);
}
BENCHMARK(readFloat);

void readFloatReference(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state) {
        float sum = 0;
        for (int i = 0; i < frameSize; i += 4)
            sum += qFromBigEndian<float>(frame.constData() + i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 4);
}
BENCHMARK(readFloatReference);

void readDouble(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < frameSize; i += 8)
            sum += frame.toDouble(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 8);
}
BENCHMARK(readDouble);

void readRegsList(benchmark::State &state)
{
    const ModbusBytes frame = randomFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.toRegs(0, -1));
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(readRegsList);

// Writes: a 256-byte buffer built value by value, as a request or an answer is.
void writeUInt16(benchmark::State &state)
{
    for (auto _ : state) {
        ModbusBytes bytes;
        for (int k = 0; k < frameSize / 2; ++k)
            bytes.appendUInt16(quint16(k));
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(writeUInt16);

void writeUInt16Reference(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray bytes;
        for (int k = 0; k < frameSize / 2; ++k) {
            char be[2];
            qToBigEndian<quint16>(quint16(k), be);
            bytes.append(be, 2);
        }
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(writeUInt16Reference);

void writeFloat(benchmark::State &state)
{
    for (auto _ : state) {
        ModbusBytes bytes;
        for (int k = 0; k < frameSize / 4; ++k)
            bytes.appendFloat(float(k) * 0.5f);
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 4);
}
BENCHMARK(writeFloat);

void writeDoubleFactories(benchmark::State &state)
{
    for (auto _ : state) {
        ModbusBytes bytes;
        for (int k = 0; k < frameSize / 8; ++k)
            bytes += ModbusBytes::fromDouble(double(k) * 0.25);
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * frameSize / 8);
}
BENCHMARK(writeDoubleFactories);

void writeRegsCount(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ModbusBytes::fromRegsCount(frameSize / 2, 0x1234));
    state.SetItemsProcessed(state.iterations() * frameSize / 2);
}
BENCHMARK(writeRegsCount);

} // namespace

BENCHMARK_MAIN();
