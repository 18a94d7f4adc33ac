// Modbus TCP round trips on loopback: one connection, sequential reads of holding registers,
// our link and request API against libmodbus on both sides, measured in one run. CPU time and
// context switches per request are the whole process's (client and server both live in it),
// from getrusage over the timed requests.
//
// The rows take turns: each row's requests are split into rounds, and every round runs every
// row once, on a new connection. The machine's state changes within a run (where the scheduler
// puts the threads, other load), and rows measured one after another would each get a
// different share of it. Every figure is the median over the rounds; "req/s range" shows the
// rounds' lowest and highest rate.
//
//   bench_modbustcp [requests per row [only the rows whose name contains this text]]

#include "benchfigures.h"
#include "modbuser.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>

#include <modbus.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct Figures
{
    double requestsPerSecond = 0;
    double medianUs = 0;
    double p99Us = 0;
    int failures = 0;
    double cpuUs = 0;     // per request, user and system
    double switches = 0;  // per request, voluntary and involuntary
    double voluntary = 0; // per request, voluntary only
};

Figures failed(int count)
{
    Figures figures;
    figures.failures = count;
    return figures;
}

struct Usage
{
    double cpuUs = 0;
    long voluntary = 0;
    long involuntary = 0;
};

Usage processUsage()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto us = [](const timeval &t) { return double(t.tv_sec) * 1e6 + double(t.tv_usec); };
    return {us(usage.ru_utime) + us(usage.ru_stime), usage.ru_nvcsw, usage.ru_nivcsw};
}

// Times `count` calls of `request` after a warm-up, on a thread of its own, while this thread's
// event loop serves whatever lives here (our server, our client's own signals).
Figures measure(int count, const std::function<bool()> &request)
{
    Figures figures;
    std::vector<double> latencies;
    latencies.reserve(size_t(count));
    QEventLoop loop;
    std::thread worker([&] {
        for (int i = 0; i < count / 10; ++i)
            request();
        const Usage before = processUsage();
        const Clock::time_point begin = Clock::now();
        for (int i = 0; i < count; ++i) {
            const Clock::time_point start = Clock::now();
            if (!request())
                ++figures.failures;
            latencies.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        const Usage after = processUsage();
        figures.requestsPerSecond = count / seconds;
        figures.cpuUs = (after.cpuUs - before.cpuUs) / count;
        figures.voluntary = double(after.voluntary - before.voluntary) / count;
        figures.switches =
            double(after.voluntary + after.involuntary - before.voluntary - before.involuntary) /
            count;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    std::sort(latencies.begin(), latencies.end());
    figures.medianUs = latencies[latencies.size() / 2];
    figures.p99Us = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    return figures;
}

// Our server with a Modbuser slave whose registers hold their own offsets.
struct OurServer
{
    OurServer()
    {
        server = new ModbusTcpServer(0);
        slave.translator().addTransport(*server, true, true);
        QObject::connect(
            &slave, &Modbuser::onReadRegisters, &slave,
            [](quint32 address, quint16 count, ModbusBytes &bytes, ModbusTranslateOptions &,
               bool &handled) {
                for (quint32 a = address; a < address + count; ++a)
                    bytes.appendReg(quint16(a));
                handled = true;
            },
            Qt::DirectConnection);
        server->connectTransport(false);
    }
    quint16 port() const { return server->serverPort(); }

    Modbuser slave;
    ModbusTcpServer *server;
};

// A libmodbus server answering one connection on a thread of its own until the peer closes.
class LibmodbusServer
{
public:
    LibmodbusServer()
        : m_port(freePort()), m_context(modbus_new_tcp("127.0.0.1", m_port)),
          m_mapping(modbus_mapping_new(0, 0, 200, 0))
    {
        for (int i = 0; i < 200; ++i)
            m_mapping->tab_registers[i] = uint16_t(i);
        m_listenSocket = modbus_tcp_listen(m_context, 1);
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
        ::shutdown(m_listenSocket, SHUT_RDWR);
        m_thread.join();
        ::close(m_listenSocket);
        modbus_close(m_context);
        modbus_free(m_context);
        modbus_mapping_free(m_mapping);
    }
    quint16 port() const { return m_port; }

private:
    quint16 m_port;
    modbus_t *m_context;
    modbus_mapping_t *m_mapping;
    int m_listenSocket = -1;
    std::thread m_thread;
};

// Our request API on our client link.
Figures ourClient(quint16 port, int registers, int count)
{
    ModbusTcpClient client(QHostAddress::LocalHost, port);
    Modbuser master;
    master.setClientTransport(&client);
    if (!client.connectTransport(false))
        return failed(count);
    ModbusBytes bytes;
    const Figures figures = measure(count, [&] {
        return master.readRegisters(400001, quint16(registers), bytes) &&
               bytes.regsCount() == registers;
    });
    client.disconnectTransport();
    return figures;
}

// Our client link alone, with a prepared frame: what the request API adds is left out.
Figures ourLink(quint16 port, int registers, int count)
{
    ModbusTcpClient client(QHostAddress::LocalHost, port);
    if (!client.connectTransport(false))
        return failed(count);
    ModbusBytes request;
    request.appendUInt16(0).appendUInt16(0).appendUInt16(6).append(quint8(1)).append(quint8(3));
    request.appendUInt16(0).appendUInt16(quint16(registers));
    ModbusBytes answer;
    const Figures figures = measure(count, [&] {
        return client.sendBytes(request, nullptr, &answer, nullptr) &&
               answer.size() == 9 + 2 * registers;
    });
    client.disconnectTransport();
    return figures;
}

Figures libmodbusClient(quint16 port, int registers, int count)
{
    modbus_t *ctx = modbus_new_tcp("127.0.0.1", port);
    modbus_set_slave(ctx, 1);
    if (modbus_connect(ctx) < 0) {
        modbus_free(ctx);
        return failed(count);
    }
    std::vector<uint16_t> values(static_cast<size_t>(registers));
    const Figures figures = measure(count, [&] {
        return modbus_read_registers(ctx, 0, registers, values.data()) == registers;
    });
    modbus_close(ctx);
    modbus_free(ctx);
    return figures;
}

QString rowFilter;

bool wanted(const char *name)
{
    return QString::fromLatin1(name).contains(rowFilter);
}

constexpr int kRounds = 5;

// The median of each figure over the rounds; failures add up.
Figures medianOf(const std::vector<Figures> &rounds)
{
    auto of = [&rounds](double Figures::*figure) {
        std::vector<double> values;
        for (const Figures &round : rounds)
            values.push_back(round.*figure);
        return median(values);
    };
    Figures figures;
    figures.requestsPerSecond = of(&Figures::requestsPerSecond);
    figures.medianUs = of(&Figures::medianUs);
    figures.p99Us = of(&Figures::p99Us);
    figures.cpuUs = of(&Figures::cpuUs);
    figures.switches = of(&Figures::switches);
    figures.voluntary = of(&Figures::voluntary);
    for (const Figures &round : rounds)
        figures.failures += round.failures;
    return figures;
}

void print(const char *name, int registers, const std::vector<Figures> &rounds)
{
    const Figures f = medianOf(rounds);
    double lowest = rounds.front().requestsPerSecond;
    double highest = lowest;
    for (const Figures &round : rounds) {
        lowest = std::min(lowest, round.requestsPerSecond);
        highest = std::max(highest, round.requestsPerSecond);
    }
    std::printf(
        "| %-46s | %3d | %9.0f | %6.0f-%-6.0f | %8.1f | %8.1f | %7.1f | %5.2f | %5.2f | %d |\n",
        name, registers, f.requestsPerSecond, lowest, highest, f.medianUs, f.p99Us, f.cpuUs,
        f.switches, f.voluntary, f.failures);
    std::fflush(stdout);
}

struct Row
{
    const char *name;
    std::function<Figures(int registers, int count)> run;
};

// A row whose client meets a fresh `Server` on every round.
template <typename Server> Row row(const char *name, Figures (*client)(quint16, int, int))
{
    return {name, [client](int registers, int count) {
                Server server;
                return client(server.port(), registers, count);
            }};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(100 * kRounds, std::atoi(argv[1])) : 20000;
    if (argc > 2)
        rowFilter = QString::fromLocal8Bit(argv[2]);

    const std::vector<Row> rows = {
        row<OurServer>("(a) our Modbuser+client -> our server", ourClient),
        row<LibmodbusServer>("(b) our Modbuser+client -> libmodbus server", ourClient),
        row<OurServer>("(c) libmodbus client -> our server", libmodbusClient),
        row<LibmodbusServer>("(d) libmodbus client -> libmodbus server", libmodbusClient),
        row<LibmodbusServer>("(b') our client link alone -> libmodbus server", ourLink),
    };

    std::printf("%d sequential requests per row in %d rounds, loopback, one connection\n\n", count,
                kRounds);
    std::printf("| %-46s | %3s | %9s | %13s | %8s | %8s | %7s | %5s | %5s | %s |\n",
                "client -> server", "regs", "req/s", "req/s range", "median us", "p99 us", "cpu us",
                "cs", "vol cs", "failed");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (int registers : {1, 122}) {
        std::vector<std::vector<Figures>> rounds(rows.size());
        for (int round = 0; round < kRounds; ++round) {
            for (size_t i = 0; i < rows.size(); ++i) {
                if (wanted(rows[i].name))
                    rounds[i].push_back(rows[i].run(registers, count / kRounds));
            }
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!rounds[i].empty())
                print(rows[i].name, registers, rounds[i]);
        }
    }
    return 0;
}
