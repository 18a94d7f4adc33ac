// Write plus read of the largest register answer a client asks for (122 registers), as RTU and
// as Modbus TCP frames: the per-frame cost of the framing, the PDU writer and reader and the
// packet model. items_per_second is frames per second. The raw rows do the same byte work by
// hand (copy, CRC or header, copy back) and give the floor to compare with.
// Run: bench_framing --benchmark_repetitions=9 --benchmark_report_aggregates_only=true

#include "modbusbytes.h"
#include "modbuscrc.h"
#include "modbuspacketreg.h"
#include "modbusparseinfo.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "modbustcptarget.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int kRegisters = 122;

ModbusPacketReg answerPacket()
{
    ModbusPacketReg packet;
    packet.setFunctionCode(DorrikBus::ReadHoldingRegisters);
    packet.setState(DorrikBus::Response);
    packet.setAddress(1);
    for (int i = 0; i < kRegisters; ++i)
        packet.appendRegValue(quint16(0x0A00 + i));
    return packet;
}

template <typename Parser, typename Deparser> void writeRead(benchmark::State &state)
{
    const ModbusPacketReg packet = answerPacket();
    const ModbusParseInfo info(DorrikBus::Response);
    const ModbusTcpTarget target;
    Parser parser;
    Deparser deparser;
    for (auto _ : state) {
        ModbusBytes frame;
        if (!deparser.deparse(packet, frame, &target)) {
            state.SkipWithError("deparse failed");
            break;
        }
        std::unique_ptr<IPacket> parsed(parser.parse(frame, info, &target));
        if (!parsed) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(parsed.get());
    }
    state.SetItemsProcessed(state.iterations());
}

template <typename Deparser> void writeOnly(benchmark::State &state)
{
    const ModbusPacketReg packet = answerPacket();
    const ModbusTcpTarget target;
    Deparser deparser;
    for (auto _ : state) {
        ModbusBytes frame;
        deparser.deparse(packet, frame, &target);
        benchmark::DoNotOptimize(frame.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

template <typename Parser, typename Deparser> void readOnly(benchmark::State &state)
{
    const ModbusTcpTarget target;
    Deparser deparser;
    ModbusBytes frame;
    deparser.deparse(answerPacket(), frame, &target);
    const ModbusParseInfo info(DorrikBus::Response);
    Parser parser;
    for (auto _ : state) {
        std::unique_ptr<IPacket> parsed(parser.parse(frame, info, &target));
        benchmark::DoNotOptimize(parsed.get());
    }
    state.SetItemsProcessed(state.iterations());
}

// The same answer framed and unframed by hand: address, function, byte count, registers, CRC.
void rawRtuWriteRead(benchmark::State &state)
{
    const ModbusBytes registers = answerPacket().regBytes();
    for (auto _ : state) {
        QByteArray frame;
        frame.reserve(5 + registers.size());
        frame.append(char(1)).append(char(3)).append(char(registers.size()));
        frame.append(registers);
        const quint16 crc = qChecksumModbus(frame.constData(), uint(frame.size()));
        frame.append(char(crc >> 8)).append(char(crc & 0xff));

        const int size = int(frame.size());
        const quint16 wire = quint16((quint8(frame[size - 2]) << 8) | quint8(frame[size - 1]));
        if (wire != qChecksumModbus(frame.constData(), uint(size - 2)))
            std::abort();
        QByteArray read(frame.constData() + 3, quint8(frame[2]));
        benchmark::DoNotOptimize(read.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void rawTcpWriteRead(benchmark::State &state)
{
    const ModbusBytes registers = answerPacket().regBytes();
    for (auto _ : state) {
        QByteArray frame;
        frame.reserve(9 + registers.size());
        const int length = 3 + int(registers.size());
        frame.append(char(0)).append(char(0)).append(char(0)).append(char(0));
        frame.append(char(length >> 8)).append(char(length & 0xff));
        frame.append(char(1)).append(char(3)).append(char(registers.size()));
        frame.append(registers);

        const int size = int(frame.size());
        if (frame[2] || frame[3] || ((quint8(frame[4]) << 8) | quint8(frame[5])) != size - 6)
            std::abort();
        QByteArray read(frame.constData() + 9, quint8(frame[8]));
        benchmark::DoNotOptimize(read.constData());
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK_TEMPLATE(writeRead, ModbusRTUParser, ModbusRTUDeparser)->Name("rtu/write+read");
BENCHMARK_TEMPLATE(writeRead, ModbusTCPParser, ModbusTCPDeparser)->Name("tcp/write+read");
BENCHMARK(rawRtuWriteRead)->Name("rtu/raw write+read");
BENCHMARK(rawTcpWriteRead)->Name("tcp/raw write+read");
BENCHMARK_TEMPLATE(writeOnly, ModbusRTUDeparser)->Name("rtu/write");
BENCHMARK_TEMPLATE(writeOnly, ModbusTCPDeparser)->Name("tcp/write");
BENCHMARK_TEMPLATE(readOnly, ModbusRTUParser, ModbusRTUDeparser)->Name("rtu/read");
BENCHMARK_TEMPLATE(readOnly, ModbusTCPParser, ModbusTCPDeparser)->Name("tcp/read");

BENCHMARK_MAIN();
