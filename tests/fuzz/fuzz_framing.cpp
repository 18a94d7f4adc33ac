// libFuzzer target for the RTU and Modbus TCP frame parsers: whatever the bytes, a parse ends in
// a packet or in null with an error text, never in a crash, a leak or an escaped exception.
#include "modbusbytes.h"
#include "modbuspacket.h"
#include "modbusparseinfo.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "modbustcptarget.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void feed(ModbusParser &parser, const ModbusBytes &frame, const ModbusParseInfo &info)
{
    static ModbusRTUDeparser rtuDeparser;
    static ModbusTCPDeparser tcpDeparser;
    static const ModbusTcpTarget target;

    parser.canParse(frame, DorrikBus::Request);
    parser.canParse(frame, DorrikBus::Response);
    const quint64 errorsBefore = parser.errorCount();
    std::unique_ptr<IPacket> packet(parser.parse(frame, info, &target));
    if (!packet) {
        check(parser.errorCount() == errorsBefore + 1 && !parser.errorString().isEmpty());
        return;
    }
    check(dynamic_cast<ModbusPacket *>(packet.get()) != nullptr);
    // What was read must be writable without harm, as a frame or as a refusal.
    ModbusBytes out;
    rtuDeparser.deparse(*packet, out, &target);
    tcpDeparser.deparse(*packet, out, &target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static ModbusRTUParser rtuParser;
    static ModbusTCPParser tcpParser;
    if (size < 2)
        return 0;
    // The first two bytes choose what the caller expects: state, archive type, records count.
    const ModbusParseInfo info(DorrikBus::PacketState(data[0] & 1), quint16(data[1] & 7),
                               DorrikBus::ArchType((data[0] >> 1) & 1));
    const ModbusBytes frame(QByteArray(reinterpret_cast<const char *>(data + 2), int(size - 2)));
    feed(rtuParser, frame, info);
    feed(tcpParser, frame, info);
    return 0;
}
