// The polling client end to end over the loopback link, against the simulated instrument with
// no delay: one-register reads through the client (synchronous, and queued with the result
// delivered to the item), the request rate of a long queue, and a 1000-register read. The
// "request API alone" row sends the same read with a bare Modbuser from the main thread over the
// same link: the floor that the client's thread hops and task handling add to.
// Each figure is the median of 9 runs. Run from a Release build without sanitizers.

#include "benchfigures.h"
#include "modbusclient.h"
#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "modbustask.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;

// Median over the runs of the microseconds per operation.
double microsecondsPerOp(int ops, const std::function<void()> &run)
{
    std::vector<double> perOp;
    for (int r = 0; r < kRuns; ++r) {
        QElapsedTimer timer;
        timer.start();
        run();
        perOp.push_back(double(timer.nsecsElapsed()) / 1000.0 / ops);
    }
    return median(perOp);
}

void waitFor(ModbusClient &client, quint64 executed)
{
    QEventLoop loop;
    QObject::connect(&client, &ModbusClient::executedTasksCountChanged, &loop, [&] {
        if (client.executedTasksCount() >= executed)
            loop.quit();
    });
    if (client.executedTasksCount() < executed)
        loop.exec();
    // The last results are delivered to their items as well.
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimulatedInstrument instrument;
    instrument.fillCounting(400001, 1000);

    ModbusClient client;
    client.setTransport(instrument.link());
    TestItem one(400001);
    one.setClient(&client);
    client.registerItem(&one);

    Modbuser bare;
    bare.setClientTransport(instrument.link());

    std::printf("%-46s %12s %12s\n", "", "us/op", "ops/s");
    auto row = [](const char *name, double us) {
        std::printf("%-46s %12.1f %12.0f\n", name, us, 1e6 / us);
    };

    constexpr int kReads = 2000;
    auto bareRun = [&] {
        ModbusBytes answer;
        for (int i = 0; i < kReads; ++i)
            bare.readRegister(400001, answer);
        // The link's notices to the main thread's registry wait in its queue until now.
        QCoreApplication::processEvents();
    };
    // Warm-up: the first exchanges pay for the codecs' and the threads' first use.
    bareRun();
    const double bareUs = microsecondsPerOp(kReads, bareRun);
    row("request API alone, 1 register", bareUs);

    const double syncUs = microsecondsPerOp(kReads, [&] {
        for (int i = 0; i < kReads; ++i)
            client.executeTaskSync(one.createModbusTask(DorrikBus::ReadTask, 0));
    });
    row("client, synchronous read, 1 register", syncUs);

    const double roundUs = microsecondsPerOp(kReads, [&] {
        for (int i = 0; i < kReads; ++i) {
            const quint64 done = client.executedTasksCount() + 1;
            client.executeTask(one.createModbusTask(DorrikBus::ReadTask, 0));
            waitFor(client, done);
        }
    });
    row("client, queued read to item, one at a time", roundUs);

    constexpr int kQueued = 5000;
    const double queueUs = microsecondsPerOp(kQueued, [&] {
        const quint64 done = client.executedTasksCount() + kQueued;
        for (int i = 0; i < kQueued; ++i)
            client.executeTask(one.createModbusTask(DorrikBus::ReadTask, 0));
        waitFor(client, done);
    });
    row("client, 5000 queued reads (request rate)", queueUs);

    TestItem thousand(400001, 1000);
    thousand.setClient(&client);
    client.registerItem(&thousand);
    instrument.clearRequests();
    const double longUs = microsecondsPerOp(
        1, [&] { client.executeTaskSync(thousand.createModbusTask(DorrikBus::ReadTask, 0)); });
    row("client, synchronous read, 1000 registers", longUs);
    std::printf("1000-register read: %d requests per read\n", instrument.requestCount() / kRuns);
    std::printf("ratio synchronous client / request API alone: %.2f\n", syncUs / bareUs);
    return 0;
}
