// libFuzzer target for the PDU parser of every function code, as a slave reads a request and as
// a master reads an answer. The PDU travels in a valid RTU frame (address and CRC added here), so
// the mutations reach the PDU rather than dying at the CRC check.
// - Request: a master sends the frame over the loopback link; the slave's translator parses it,
//   Modbuser dispatches it to a register map and an archive store, and its answer is written.
// - Answer: a Modbuser master makes one call of the request API (function, addresses and counts
//   from the input) and the link answers with the fuzzed PDU behind the request's address.
#include "archivestore.h"
#include "fakelink.h"
#include "fuzzinput.h"
#include "modbuscrc.h"
#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "registermap.h"

#include <QDateTime>

#include <memory>

namespace {

ModbusBytes rtuFrame(quint8 address, const ModbusBytes &pdu)
{
    ModbusBytes frame(QByteArray(1, char(address)) + pdu);
    frame.append(ModbusBytes::fromUInt16(qChecksumModbus(frame)));
    return frame;
}

struct Slave
{
    Slave()
    {
        server = new ModbusLoopbackServer;
        client = std::make_unique<ModbusLoopbackClient>(*server);
        slave.translator().addTransport(*server, true, true);
        server->connectTransport(false);
        client->connectTransport(false);
        map.addRegisters(400001, 300);
        map.addRegisters(465530, 6);
        map.setDeviceName(QStringLiteral("TVN-5"));
        map.setFile(3, ModbusBytes::fromHex("00010002000300040005000600070008"));
        map.serve(slave);
        archives.addArchive(1, DorrikBus::IndexArch);
        for (quint32 i = 1; i <= 5; ++i)
            archives.addRecord(1, i, ModbusBytes::fromUInt32(0xA0000000u + i));
        archives.addArchive(2, DorrikBus::TimeArch);
        for (quint32 i = 0; i < 3; ++i)
            archives.addRecord(2, 1711846800u + 3600 * i, ModbusBytes::fromHex("0101"));
        archives.serve(slave);
    }

    void play(quint8 address, const ModbusBytes &pdu)
    {
        ModbusBytes answer;
        QString error;
        client->sendBytes(rtuFrame(address, pdu), client->clientTarget(), &answer, &error);
    }

    std::unique_ptr<ModbusLoopbackClient> client;
    ModbusLoopbackServer *server = nullptr; // owned by the slave's registry
    Modbuser slave;
    RegisterMap map;
    ArchiveStore archives;
};

struct Master
{
    Master()
    {
        link.setCodecFactories([](QObject *parent) { return new ModbusRTUParser(parent); },
                               [](QObject *parent) { return new ModbusRTUDeparser(parent); });
        link.setAnswerer([this](const ModbusBytes &request, ModbusBytes *answer, QString *) {
            if (answer && !request.isEmpty())
                *answer = rtuFrame(quint8(request.at(0)), pdu);
            return true;
        });
        master.setClientTransport(&link);
        link.connectTransport(false);
    }

    // One call of the request API chosen by `input`; the rest of the input is the answer PDU.
    void play(FuzzInput &input)
    {
        const quint8 call = input.byte();
        const quint8 options = input.byte();
        const quint16 offset = input.uint16();
        const quint8 count = input.byte();
        const quint32 label = input.uint32();
        const auto type = DorrikBus::ArchType(options & 1);
        const auto direction = DorrikBus::ArchDirection((options >> 1) & 1);
        const bool forward = options & 4;
        const quint16 arch = options >> 3;
        pdu = input.rest();

        ModbusBytes bytes;
        ModbusBytesArray array;
        QList<ModbusBytes> records;
        QList<quint32> labels;
        QList<QDateTime> times;
        QDateTime last;
        QString text;
        quint16 u16 = 0;
        quint32 found = 0;
        double d = 0;
        bool exists = false;
        const QDateTime at = QDateTime::fromSecsSinceEpoch(label, Qt::UTC);
        switch (call % 17) {
        case 0:
            master.readRegisters(400001u + offset, count, bytes);
            break;
        case 1:
            master.readRegisters(300001u + offset, count, array);
            break;
        case 2:
            master.writeRegisters(400001u + offset, ModbusBytes(QByteArray(count * 2, 'x')));
            break;
        case 3:
            master.writeRegister(400001u + offset, quint16(label));
            break;
        case 4:
            master.getReport(bytes);
            break;
        case 5:
            master.getDevName(text);
            break;
        case 6:
            master.readFile(quint8(arch), offset, count, bytes);
            break;
        case 7:
            master.writeFile(quint8(arch), offset, ModbusBytes(QByteArray(count * 2, 'y')));
            break;
        case 8:
            master.readArchPresence(arch, label, type, array, direction, count);
            break;
        case 9:
            master.readIndexArchLabels(arch, label, count, labels, forward);
            break;
        case 10:
            master.readTimeArchLabels(arch, at, count, times, forward);
            break;
        case 11:
            master.getNearestLabel(arch, type, label, found, direction, &exists);
            break;
        case 12:
            master.readArchRecords65(arch, label, count, records, type);
            break;
        case 13:
            master.readArchRecords67(arch, label, direction, count, records, type);
            break;
        case 14:
            master.readTimeArchRecords(arch, at, direction, count, records);
            break;
        case 15:
            master.readDoubleStruct(400001u + offset, d);
            master.readString(400001u + offset, count, text);
            break;
        default:
            master.readInputRegister(offset, u16);
            master.getLastTimeLabel(arch, last, &exists);
            break;
        }
    }

    FakeLink link;
    Modbuser master;
    ModbusBytes pdu;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    static Slave slave;
    static Master master;
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    if (mode & 1) {
        master.play(input);
    } else {
        const quint8 address = input.byte();
        slave.play(address, input.rest());
    }
    return 0;
}
