// Modbus RTU round trips over a pseudo-terminal: our request API on a serial client against a
// slave on a thread of its own that answers each read of holding registers at once.
//
//   bench_modbusrtu [requests per row]
//
// A pty moves bytes at once whatever the baud rate, so what is measured here is what our code
// adds to the line: thread hops, the send delay, the RTS delay and any wait for the line to
// fall silent. The line itself is computed from the frames at 10 bits a character (8N1):
//   line = (request + answer + 2 x 3.5) characters, the two 3.5-character gaps included.
// On a real line the send delay and the RTS delay overlap those gaps: up to 3.5 characters of
// each is hidden there, so the estimate on a line is
//   line + over pty - min(send delay, 3.5 chars) - min(RTS delay, 3.5 chars).
// CPU time and context switches are the whole process's (master and slave) from getrusage.
// The link keeps its defaults (send delay, RTS control off, byte time-out by baud rate), except
// in the rows with the send delay set to 0.

#include "modbuscrc.h"
#include "modbuser.h"
#include "modbusserialclient.h"
#include "ptypair.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Usage
{
    double cpuUs = 0;
    long switches = 0;
};

Usage processUsage()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto us = [](const timeval &t) { return double(t.tv_sec) * 1e6 + double(t.tv_usec); };
    return {us(usage.ru_utime) + us(usage.ru_stime), usage.ru_nvcsw + usage.ru_nivcsw};
}

// Answers every read of holding registers with the registers' offsets, as soon as the request
// is whole; stops when the peer's end stays quiet.
class ImmediateSlave
{
public:
    explicit ImmediateSlave(const PtyPair &pty) : m_pty(pty)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~ImmediateSlave()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run()
    {
        while (!m_stop) {
            const QByteArray request = m_pty.read(8, 50);
            if (request.size() < 8)
                continue;
            const int start = quint8(request[2]) << 8 | quint8(request[3]);
            const int count = quint8(request[4]) << 8 | quint8(request[5]);
            ModbusBytes answer;
            answer.append(request[0]).append(request[1]).append(quint8(2 * count));
            for (int i = 0; i < count; ++i)
                answer.appendUInt16(quint16(start + i));
            answer.appendUInt16(qChecksumModbus(answer.constData(), unsigned(answer.size())));
            m_pty.write(answer);
        }
    }

    const PtyPair &m_pty;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Row
{
    int baud = 0;
    int registers = 0;
    double medianMs = 0;
    double p99Ms = 0;
    double cpuUs = 0;
    double switches = 0;
    int failures = 0;
    int sendDelay = 0;
    int rtsDelay = 0;
    int byteTimeout = 0;
};

// sendDelay < 0 keeps the link's default.
Row measure(int baud, int registers, int count, int sendDelay = -1)
{
    Row row;
    row.baud = baud;
    row.registers = registers;
    PtyPair pty;
    if (!pty.isValid()) {
        std::fprintf(stderr, "no pty: %s\n", qPrintable(pty.errorString()));
        row.failures = count;
        return row;
    }
    ImmediateSlave slave(pty);
    ModbusSerialClient client;
    client.setPort(pty.portName());
    client.setBaudRate(baud);
    if (sendDelay >= 0)
        client.setSendDelay(sendDelay);
    Modbuser master;
    master.setClientTransport(&client);
    if (!client.connectTransport(false)) {
        std::fprintf(stderr, "can't open: %s\n", qPrintable(client.errorString()));
        row.failures = count;
        return row;
    }
    row.sendDelay = client.sendDelay();
    row.rtsDelay = client.controlRts() ? client.rtsDelay() : 0;
    row.byteTimeout = client.byteTimeout();

    // The master runs on a thread of its own, as the polling client's executor does, while this
    // thread's event loop serves what lives here.
    std::vector<double> latencies;
    latencies.reserve(size_t(count));
    QEventLoop loop;
    std::thread worker([&] {
        ModbusBytes bytes;
        for (int i = 0; i < std::max(5, count / 20); ++i)
            master.readRegisters(400001, quint16(registers), bytes);
        const Usage before = processUsage();
        for (int i = 0; i < count; ++i) {
            const Clock::time_point start = Clock::now();
            if (!master.readRegisters(400001, quint16(registers), bytes) ||
                bytes.regsCount() != registers)
                ++row.failures;
            latencies.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const Usage after = processUsage();
        row.cpuUs = (after.cpuUs - before.cpuUs) / count;
        row.switches = double(after.switches - before.switches) / count;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    client.disconnectTransport();
    std::sort(latencies.begin(), latencies.end());
    row.medianMs = latencies[latencies.size() / 2];
    row.p99Ms = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    return row;
}

void print(const Row &r)
{
    const double charMs = 10000.0 / r.baud;
    const int requestBytes = 8;
    const int answerBytes = 5 + 2 * r.registers;
    const double gapMs = 3.5 * charMs;
    const double lineMs = (requestBytes + answerBytes) * charMs + 2 * gapMs;
    const double hiddenMs =
        std::min(double(r.sendDelay), gapMs) + std::min(double(r.rtsDelay), gapMs);
    const double estimateMs = lineMs + r.medianMs - hiddenMs;
    std::printf("| %6d | %3d | %2d/%2d/%2d | %7.2f | %7.2f | %7.2f | %7.2f | %5.2f | %6.0f | %5.1f "
                "| %d |\n",
                r.baud, r.registers, r.sendDelay, r.rtsDelay, r.byteTimeout, lineMs, r.medianMs,
                r.p99Ms, estimateMs, estimateMs / lineMs, r.cpuUs, r.switches, r.failures);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(20, std::atoi(argv[1])) : 300;

    std::printf("%d sequential reads per row over a pty, slave answering at once\n\n", count);
    std::printf("| %6s | %3s | %8s | %7s | %7s | %7s | %7s | %5s | %6s | %5s | %s |\n", "baud",
                "regs", "send/rts/byte ms", "line ms", "pty med", "pty p99", "est. ms", "ratio",
                "cpu us", "cs", "failed");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (int registers : {1, 122}) {
        for (int baud : {9600, 19200, 115200})
            print(measure(baud, registers, count));
        // At 115200 baud the default 2 ms send delay is longer than a short frame's line time.
        print(measure(115200, registers, count, 0));
    }
    return 0;
}
