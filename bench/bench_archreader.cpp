// The archive reader end to end over the loopback link: 1000 first-generation records (58 bytes)
// of an index archive of the simulated instrument, read from label 1 to 1000 with one record per
// request and with the records-per-request optimisation, for the instrument's function 67
// (labels asked of the instrument) and function 65 (labels from the calendar). Prints the
// requests sent and the median wall time of 5 runs. Run from a Release build without sanitizers.

#include "modbusarchreader.h"
#include "modbusarchrecord.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr quint32 kRecords = 1000;

struct Outcome
{
    double ms = 0;
    int records = 0;
    int recordRequests = 0;
    int labelRequests = 0;
};

Outcome readOnce(SimulatedInstrument &instrument, ModbusClient &client, DorrikBus::ArchFunc func,
                 bool optimize)
{
    ModbusArchRecord target;
    target.setArchIndex(1);
    target.setArchType(DorrikBus::IndexArch);
    target.setFunc(func);
    target.setClient(&client);
    ModbusArchReader reader;
    reader.setRecord(&target);
    reader.setFrom(1);
    reader.setTo(kRecords);
    reader.setRecordsPerRequestOptimization(optimize);
    reader.setLiveResult(false);

    instrument.clearRequests();
    QEventLoop loop;
    QObject::connect(&reader, &ModbusArchReader::runningChanged, &loop, [&](bool running) {
        if (!running)
            loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    reader.start();
    if (reader.running())
        loop.exec();
    Outcome outcome;
    outcome.ms = double(timer.nsecsElapsed()) / 1e6;
    outcome.records = int(target.bytesArray().size());
    for (const InstrumentRequest &request : instrument.requests()) {
        if (request.function == DorrikBus::ReadArchRecord65)
            ++outcome.recordRequests;
        else if (request.function == DorrikBus::ReadArchRecordsPresence)
            ++outcome.labelRequests;
    }
    return outcome;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimulatedInstrument instrument;
    QList<quint32> labels;
    for (quint32 label = 1; label <= kRecords; ++label)
        labels.append(label);
    instrument.addTavrinArchive(1, DorrikBus::IndexArch, 1, labels);
    ModbusClient client;
    client.setTransport(instrument.link());

    std::printf("%-12s %-14s %8s %16s %15s %10s %14s\n", "function", "per request", "records",
                "record requests", "label requests", "wall ms", "us per record");
    for (DorrikBus::ArchFunc func : {DorrikBus::Func67, DorrikBus::Func65}) {
        for (bool optimize : {false, true}) {
            std::vector<double> times;
            Outcome last;
            for (int run = 0; run < kRuns; ++run) {
                last = readOnce(instrument, client, func, optimize);
                times.push_back(last.ms);
            }
            std::sort(times.begin(), times.end());
            const double ms = times[times.size() / 2];
            std::printf("%-12d %-14s %8d %16d %15d %10.1f %14.1f\n", int(func),
                        optimize ? "optimized" : "one", last.records, last.recordRequests,
                        last.labelRequests, ms, ms * 1000.0 / std::max(1, last.records));
        }
    }
    return 0;
}
