// The message log: 100,000 appends with logToFile (each message opens, appends to and closes the
// file, as the log does), reported as messages per second; and 1,100,000 appends into a model
// kept at 1,000,000 rows, reported as microseconds per append for the first and the last
// 100,000, to show that trimming the oldest row stays flat once the limit is reached.
// Median of 3 runs. Run from a Release build without sanitizers.
// "bench_vlog memory [long]" instead fills a fresh log to the program's row cap with lines like
// those of a link that is down (the instrument's time as prefix; "long": four times as long) and
// prints the resident memory the rows take, measured in a process that has done nothing else.

#include "benchfigures.h"
#include "menucontext.h"
#include "vlog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 3;

double fileAppendsPerSecond(const QString &folder, int run)
{
    constexpr int kMessages = 100000;
    VLog log;
    log.setDebugForward(false);
    log.setMaxLogSize(1000);
    log.setFileName(folder + QStringLiteral("/log%1/log.txt").arg(run));
    log.setLogToFile(true);
    const QString text = QStringLiteral("flow rate 12.345 m3/h, register 4097 read");
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kMessages; ++i)
        log.append(text, VLog::Warning);
    return kMessages / (double(timer.nsecsElapsed()) / 1e9);
}

void trimmedAppends(double *firstUs, double *lastUs)
{
    constexpr int kMessages = 1100000;
    constexpr int kSlice = 100000;
    VLog log;
    log.setDebugForward(false);
    log.setMaxLogSize(1000000);
    const QString text = QStringLiteral("pressure 1.25 MPa");
    QElapsedTimer timer;
    timer.start();
    qint64 firstNs = 0;
    qint64 lastStart = 0;
    for (int i = 0; i < kMessages; ++i) {
        if (i == kSlice)
            firstNs = timer.nsecsElapsed();
        if (i == kMessages - kSlice)
            lastStart = timer.nsecsElapsed();
        log.append(text);
    }
    const qint64 lastNs = timer.nsecsElapsed() - lastStart;
    *firstUs = firstNs / 1000.0 / kSlice;
    *lastUs = lastNs / 1000.0 / kSlice;
    std::printf("  rows kept: %d\n", log.rowCount());
}

// Resident memory in kB (VmRSS of /proc/self/status), 0 when unreadable.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void memoryAtTheCap(const QString &text)
{
    VLog log;
    log.setDebugForward(false);
    log.setMaxLogSize(MenuContext::LogRowLimit);
    log.setPrefix(QStringLiteral("12.06.2024 10:15:30"));
    const long before = residentKb();
    // Twice the cap: the memory held once trimming runs, not only while filling.
    for (qint64 i = 0; i < 2 * MenuContext::LogRowLimit; ++i)
        log.append(text.arg(i, 6, 10, QLatin1Char('0')), VLog::Warning);
    const long after = residentKb();
    std::printf("%d rows of %lld characters kept (cap %lld): %.1f MB resident, %.0f bytes a "
                "row\n",
                log.rowCount(),
                static_cast<long long>(text.arg(0, 6, 10, QLatin1Char('0')).size() + 20),
                static_cast<long long>(MenuContext::LogRowLimit), (after - before) / 1024.0,
                (after - before) * 1024.0 / log.rowCount());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "memory") {
        // A line of a link that is down, and one four times as long (an exception text, a path).
        const QString line =
            QStringLiteral("ModbusClient: read error \"read timeout\", request %1");
        memoryAtTheCap(argc > 2 ? line.repeated(4) : line);
        return 0;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }

    std::vector<double> rates;
    for (int run = 0; run < kRuns; ++run)
        rates.push_back(fileAppendsPerSecond(folder.path(), run));
    std::printf("100000 appends to the file: %.0f messages/s (median of %d)\n", median(rates),
                kRuns);

    std::vector<double> first;
    std::vector<double> last;
    for (int run = 0; run < kRuns; ++run) {
        double f = 0;
        double l = 0;
        trimmedAppends(&f, &l);
        first.push_back(f);
        last.push_back(l);
    }
    std::printf("1100000 appends, maxLogSize 1000000: first 100000 %.3f us/append, "
                "last 100000 %.3f us/append (medians of %d)\n",
                median(first), median(last), kRuns);
    return 0;
}
