#include "localtcp.h"
#include "modbuser.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "outofprotocolcounts.h"

#include <QMap>
#include <QTcpServer>
#include <QtTest>

#include <modbus.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace {

QString libmodbusError()
{
    return QString::fromLatin1(modbus_strerror(errno));
}

// A libmodbus TCP server on 127.0.0.1 that answers one connection from its register mapping
// on a thread of its own, until the peer closes.
class LibmodbusServer
{
public:
    LibmodbusServer()
        : m_port(freePort()), m_context(modbus_new_tcp("127.0.0.1", m_port)),
          m_mapping(modbus_mapping_new(0, 0, 100, 100))
    {
        m_listenSocket = modbus_tcp_listen(m_context, 1);
        if (m_listenSocket < 0)
            return;
        m_thread = std::thread([this] {
            if (modbus_tcp_accept(m_context, &m_listenSocket) < 0)
                return;
            std::vector<uint8_t> query(MODBUS_TCP_MAX_ADU_LENGTH);
            for (;;) {
                const int size = modbus_receive(m_context, query.data());
                if (size < 0)
                    break;
                if (size > 0)
                    modbus_reply(m_context, query.data(), size, m_mapping);
            }
        });
    }

    ~LibmodbusServer()
    {
        // Wakes an accept that no peer came for; an accepted connection ends when it closes.
        if (m_listenSocket >= 0)
            ::shutdown(m_listenSocket, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        if (m_listenSocket >= 0)
            ::close(m_listenSocket);
        modbus_close(m_context);
        modbus_free(m_context);
        modbus_mapping_free(m_mapping);
    }

    bool listening() const { return m_listenSocket >= 0; }
    quint16 port() const { return m_port; }
    // Written before the peer connects or read after it has gone: no lock needed.
    modbus_mapping_t &mapping() { return *m_mapping; }

private:
    quint16 m_port;
    modbus_t *m_context;
    modbus_mapping_t *m_mapping;
    int m_listenSocket = -1;
    std::thread m_thread;
};

} // namespace

class tst_ModbusInteropTcp : public QObject
{
    Q_OBJECT

private slots:
    void libmodbusMasterAgainstOurServer_data();
    void libmodbusMasterAgainstOurServer();
    void countsOutsideTheProtocol_data();
    void countsOutsideTheProtocol();
    void ourClientAgainstLibmodbusServer_data();
    void ourClientAgainstLibmodbusServer();
};

void tst_ModbusInteropTcp::libmodbusMasterAgainstOurServer_data()
{
    QTest::addColumn<int>("unit");

    QTest::newRow("libmodbus's TCP unit identifier 0xff") << int(MODBUS_TCP_SLAVE);
    QTest::newRow("unit identifier 1") << 1;
}

void tst_ModbusInteropTcp::libmodbusMasterAgainstOurServer()
{
    QFETCH(int, unit);

    auto *server = new ModbusTcpServer(0);
    Modbuser slave;
    slave.translator().addTransport(*server, true, true);
    QMap<quint32, quint16> registers;
    for (quint16 i = 0; i < 122; ++i)
        registers[400101 + i] = quint16(0x1000 + i);
    QList<int> units;
    connect(
        &slave, &Modbuser::onReadRegisters, this,
        [&](quint32 address, quint16 count, ModbusBytes &bytes, ModbusTranslateOptions &options,
            bool &handled) {
            units << options.requestAddress();
            for (quint32 a = address; a < address + count; ++a)
                bytes.appendReg(registers.value(a));
            handled = true;
        },
        Qt::DirectConnection);
    connect(
        &slave, &Modbuser::onWriteRegisters, this,
        [&](quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &options,
            bool &handled) {
            units << options.requestAddress();
            for (int i = 0; i < bytes.regsCount(); ++i)
                registers[address + quint32(i)] = bytes.getReg(i);
            handled = true;
        },
        Qt::DirectConnection);
    QVERIFY(server->connectTransport(false));
    const quint16 port = server->serverPort();

    // Every call's result, or the libmodbus error; libmodbus also refuses an answer whose
    // transaction identifier is not the one it sent.
    struct Results
    {
        QString failure;
        std::vector<uint16_t> holding = std::vector<uint16_t>(3);
        std::vector<uint16_t> input = std::vector<uint16_t>(1);
        std::vector<uint16_t> block = std::vector<uint16_t>(122);
    };
    const Results results = offThread([port, unit] {
        Results r;
        modbus_t *ctx = modbus_new_tcp("127.0.0.1", port);
        modbus_set_slave(ctx, unit);
        modbus_set_response_timeout(ctx, 1, 0);
        const uint16_t values[3] = {1, 2, 3};
        if (modbus_connect(ctx) < 0)
            r.failure = "connect: " + libmodbusError();
        else if (modbus_write_registers(ctx, 10, 3, values) != 3)
            r.failure = "function 16: " + libmodbusError();
        else if (modbus_write_register(ctx, 20, 0xbeef) != 1)
            r.failure = "function 6: " + libmodbusError();
        else if (modbus_read_registers(ctx, 10, 3, r.holding.data()) != 3)
            r.failure = "function 3: " + libmodbusError();
        else if (modbus_read_input_registers(ctx, 20, 1, r.input.data()) != 1)
            r.failure = "function 4: " + libmodbusError();
        else if (modbus_read_registers(ctx, 100, 122, r.block.data()) != 122)
            r.failure = "function 3, 122 registers: " + libmodbusError();
        modbus_close(ctx);
        modbus_free(ctx);
        return r;
    });

    QVERIFY2(results.failure.isEmpty(), qPrintable(results.failure));
    QCOMPARE(registers.value(400011), quint16(1));
    QCOMPARE(registers.value(400013), quint16(3));
    QCOMPARE(registers.value(400021), quint16(0xbeef));
    QCOMPARE(results.holding, std::vector<uint16_t>({1, 2, 3}));
    QCOMPARE(results.input.at(0), uint16_t(0xbeef));
    QCOMPARE(results.block.front(), uint16_t(0x1000));
    QCOMPARE(results.block.back(), uint16_t(0x1000 + 121));
    QCOMPARE(units, QList<int>(5, unit));
    QCOMPARE(slave.errorCount(), quint64(0));
}

void tst_ModbusInteropTcp::countsOutsideTheProtocol_data()
{
    addOutOfProtocolCountRows();
}

// A libmodbus master gets an exception for a request whose register count the protocol does
// not allow, instead of waiting for its time-out.
void tst_ModbusInteropTcp::countsOutsideTheProtocol()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    auto *server = new ModbusTcpServer(0);
    Modbuser slave;
    slave.translator().addTransport(*server, true, true);
    int handled = 0;
    connect(
        &slave, &Modbuser::onReadRegisters, this,
        [&](quint32, quint16, ModbusBytes &, ModbusTranslateOptions &, bool &) { ++handled; },
        Qt::DirectConnection);
    connect(
        &slave, &Modbuser::onWriteRegisters, this,
        [&](quint32, const ModbusBytes &, ModbusTranslateOptions &, bool &) { ++handled; },
        Qt::DirectConnection);
    QVERIFY(server->connectTransport(false));
    const quint16 port = server->serverPort();
    const QByteArray received = offThread([port, request] {
        modbus_t *ctx = modbus_new_tcp("127.0.0.1", port);
        modbus_set_response_timeout(ctx, 2, 0);
        const QByteArray pdu = modbus_connect(ctx) < 0
                                   ? "connect: " + QByteArray(modbus_strerror(errno))
                                   : rawExchange(ctx, 1, request);
        modbus_close(ctx);
        modbus_free(ctx);
        return pdu;
    });
    QCOMPARE(received.toHex(), answer.toHex());
    QCOMPARE(handled, 0);
}

void tst_ModbusInteropTcp::ourClientAgainstLibmodbusServer_data()
{
    QTest::addColumn<int>("unit");

    QTest::newRow("libmodbus's TCP unit identifier 0xff") << int(MODBUS_TCP_SLAVE);
    QTest::newRow("unit identifier 1") << 1;
}

void tst_ModbusInteropTcp::ourClientAgainstLibmodbusServer()
{
    QFETCH(int, unit);

    LibmodbusServer peer;
    QVERIFY2(peer.listening(), qPrintable(libmodbusError()));
    peer.mapping().tab_input_registers[5] = 0x1234;
    ModbusTcpClient client(QHostAddress::LocalHost, peer.port());
    Modbuser master;
    master.setClientTransport(&client);
    master.setDeviceAddress(quint8(unit));
    QList<int> answerUnits;
    connect(&client, &Transport::bytesReceived, this,
            [&](const ModbusBytes &bytes, const Target *) { answerUnits << bytes.toUInt8(6); });
    QVERIFY(client.connectTransport(false));

    QVERIFY2(master.writeRegisters(400011, ModbusBytes::fromHex("000100020003")),
             qPrintable(master.errorString()));
    QVERIFY2(master.writeRegister(400021, 0xbeef), qPrintable(master.errorString()));
    ModbusBytes holding;
    QVERIFY2(master.readRegisters(400011, 3, holding), qPrintable(master.errorString()));
    QCOMPARE(holding, ModbusBytes::fromHex("000100020003"));
    quint16 input = 0;
    QVERIFY2(master.readInputRegister(5, input), qPrintable(master.errorString()));
    QCOMPARE(input, quint16(0x1234));
    ModbusBytes block;
    QVERIFY2(master.readRegisters(400001, 100, block), qPrintable(master.errorString()));
    QCOMPARE(block.regsCount(), 100);
    QCOMPARE(block.getReg(20), quint16(0xbeef));

    QCOMPARE(answerUnits, QList<int>(5, unit));
    QVERIFY(client.disconnectTransport());
    QCOMPARE(peer.mapping().tab_registers[10], uint16_t(1));
    QCOMPARE(peer.mapping().tab_registers[12], uint16_t(3));
    QCOMPARE(peer.mapping().tab_registers[20], uint16_t(0xbeef));
}

QTEST_MAIN(tst_ModbusInteropTcp)
#include "tst_modbusinterop_tcp.moc"
