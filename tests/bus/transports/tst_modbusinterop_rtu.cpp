#include "modbuser.h"
#include "modbusserialclient.h"
#include "modbusserialserver.h"
#include "outofprotocolcounts.h"
#include "ptypair.h"
#include "registermap.h"

#include <QtTest>

#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <thread>

// Debian's libmodbus, an independent implementation, on the other end of a pseudo-terminal
// pair: as RTU master against our serial server with a slave Modbuser, and as RTU slave
// against our serial client with a master Modbuser.

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

struct ContextDeleter
{
    void operator()(modbus_t *ctx) const
    {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using Context = std::unique_ptr<modbus_t, ContextDeleter>;

struct MappingDeleter
{
    void operator()(modbus_mapping_t *mapping) const { modbus_mapping_free(mapping); }
};

Context openRtu(const QString &port, int unit)
{
    Context ctx(modbus_new_rtu(port.toLocal8Bit().constData(), 19200, 'N', 8, 1));
    if (!ctx)
        return ctx;
    modbus_set_slave(ctx.get(), unit);
    modbus_set_response_timeout(ctx.get(), 1, 0);
    if (modbus_connect(ctx.get()) != 0)
        ctx.reset();
    return ctx;
}

// Runs job on a worker thread while this thread's event loop serves our side of the line.
bool runBeside(const std::function<void()> &job, int timeoutMs = 10000)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        job();
        done = true;
    });
    QDeadlineTimer deadline(timeoutMs);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const bool inTime = done;
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    return inTime;
}

} // namespace

class tst_ModbusInteropRtu : public QObject
{
    Q_OBJECT

private slots:
    void libmodbusMasterAgainstOurSlave_data();
    void libmodbusMasterAgainstOurSlave();
    void countsOutsideTheProtocol_data();
    void countsOutsideTheProtocol();
    void ourMasterAgainstLibmodbusSlave();
};

void tst_ModbusInteropRtu::libmodbusMasterAgainstOurSlave_data()
{
    // Standard masters drop an answer from another unit than the one they asked.
    QTest::addColumn<int>("unit");
    QTest::newRow("unit 1") << 1;
    QTest::newRow("unit 7") << 7;
}

void tst_ModbusInteropRtu::libmodbusMasterAgainstOurSlave()
{
    QFETCH(int, unit);

    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    auto *server = new ModbusSerialServer(link.portA());
    Modbuser slave;
    slave.translator().addTransport(*server, true, true);
    QVERIFY2(server->connectTransport(false), qPrintable(server->errorString()));
    RegisterMap map;
    map.addRegisters(400001, 100);
    map.setRegisters(400011, hex("111122223333"));
    map.setDeviceName(QStringLiteral("TVN-5"));
    map.serve(slave);

    Context ctx = openRtu(link.portB(), unit);
    QVERIFY2(ctx, modbus_strerror(errno));

    uint16_t holding[3] = {}, input[2] = {};
    uint8_t report[32] = {};
    int readHolding = -1, readInput = -1, wroteOne = -1, wroteMany = -1, reportSize = -1;
    int failed = 0, failedErrno = 0;
    QVERIFY(runBeside([&] {
        readHolding = modbus_read_registers(ctx.get(), 10, 3, holding);
        // Function 4 reaches the slave's handlers in the holding range: the same registers.
        readInput = modbus_read_input_registers(ctx.get(), 11, 2, input);
        wroteOne = modbus_write_register(ctx.get(), 20, 0xCAFE);
        const uint16_t values[3] = {1, 2, 3};
        wroteMany = modbus_write_registers(ctx.get(), 30, 3, values);
        reportSize = modbus_report_slave_id(ctx.get(), sizeof report, report);
        uint16_t unused[1];
        failed = modbus_read_registers(ctx.get(), 5000, 1, unused);
        failedErrno = errno;
    }));

    QCOMPARE(readHolding, 3);
    QCOMPARE(holding[0], uint16_t(0x1111));
    QCOMPARE(holding[2], uint16_t(0x3333));
    QCOMPARE(readInput, 2);
    QCOMPARE(input[0], uint16_t(0x2222));
    QCOMPARE(wroteOne, 1);
    QCOMPARE(map.registers(400021, 1).toHex(), QByteArray("cafe"));
    QCOMPARE(wroteMany, 3);
    QCOMPARE(map.registers(400031, 3).toHex(), QByteArray("000100020003"));
    QCOMPARE(reportSize, 6);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(report), reportSize),
             QByteArray("TVN-5\0", 6));
    QCOMPARE(failed, -1);
    QCOMPARE(failedErrno, int(EMBXILADD));
}

void tst_ModbusInteropRtu::countsOutsideTheProtocol_data()
{
    addOutOfProtocolCountRows();
}

// A libmodbus master gets an exception for a request whose register count the protocol does
// not allow, instead of waiting for its time-out.
void tst_ModbusInteropRtu::countsOutsideTheProtocol()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    auto *server = new ModbusSerialServer(link.portA());
    Modbuser slave;
    slave.translator().addTransport(*server, true, true);
    QVERIFY2(server->connectTransport(false), qPrintable(server->errorString()));
    RegisterMap map;
    map.addRegisters(400001, 400);
    map.serve(slave);

    Context ctx = openRtu(link.portB(), 1);
    QVERIFY2(ctx, modbus_strerror(errno));
    QByteArray received;
    QVERIFY(runBeside([&] { received = rawExchange(ctx.get(), 1, request); }));
    QCOMPARE(received.toHex(), answer.toHex());
    QCOMPARE(map.registers(400011, 1).toHex(), QByteArray("0000"));
}

void tst_ModbusInteropRtu::ourMasterAgainstLibmodbusSlave()
{
    PtyLink link;
    QVERIFY2(link.isValid(), qPrintable(link.errorString()));
    Context ctx = openRtu(link.portA(), 1);
    QVERIFY2(ctx, modbus_strerror(errno));
    // Short, so that the slave loop sees the stop flag soon after the last request.
    modbus_set_indication_timeout(ctx.get(), 0, 100000);
    std::unique_ptr<modbus_mapping_t, MappingDeleter> mapping(modbus_mapping_new(0, 0, 100, 100));
    QVERIFY(mapping);
    mapping->tab_registers[10] = 0x1234;
    mapping->tab_registers[11] = 0x5678;
    mapping->tab_input_registers[5] = 0x00AB;

    std::atomic<bool> stop{false};
    std::thread libmodbusSlave([&] {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop) {
            const int size = modbus_receive(ctx.get(), query);
            if (size > 0)
                modbus_reply(ctx.get(), query, size, mapping.get());
        }
    });
    auto joinSlave = qScopeGuard([&] {
        stop = true;
        libmodbusSlave.join();
    });

    ModbusSerialClient client;
    client.setPort(link.portB());
    client.setReadTimeout(1000);
    QVERIFY2(client.connectTransport(false), qPrintable(client.errorString()));
    Modbuser master;
    master.setClientTransport(&client);

    // The client waits on its own port thread: this thread may block in each request.
    quint32 both = 0;
    QVERIFY2(master.readUInt32(400011, both), qPrintable(master.errorString()));
    QCOMPARE(both, 0x12345678u);
    quint16 input = 0;
    QVERIFY2(master.readInputRegister(5, input), qPrintable(master.errorString()));
    QCOMPARE(input, quint16(0x00AB));
    QVERIFY2(master.writeRegister(400021, 0xCAFE), qPrintable(master.errorString()));
    QCOMPARE(mapping->tab_registers[20], uint16_t(0xCAFE));
    QVERIFY2(master.writeRegisters(400031, hex("000100020003")), qPrintable(master.errorString()));
    QCOMPARE(mapping->tab_registers[32], uint16_t(3));

    // libmodbus reports its own identity: id byte, run indicator "on", then its name.
    ModbusBytes report;
    QVERIFY2(master.getReport(report), qPrintable(master.errorString()));
    QCOMPARE(report.left(5).toHex(' '), QByteArray("b4 ff 4c 4d 42"));

    quint16 beyond = 0;
    QVERIFY(!master.readRegister(400201, beyond));
    QVERIFY2(master.errorString().startsWith(
                 QLatin1String("received exception packet: function code: read holding "
                               "registers; exception code: illegal data address;")),
             qPrintable(master.errorString()));
}

QTEST_GUILESS_MAIN(tst_ModbusInteropRtu)
#include "tst_modbusinterop_rtu.moc"
