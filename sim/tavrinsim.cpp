// tavrin-sim: the simulated instrument as a program. It answers as an RTU slave at device
// address 1 on one end of a pseudo-terminal pair with the menu's register map, prints the other
// end's path for the menu to open, and runs as the instrument does (clock, measurement, archives,
// history, signal capture, calibrations, schedule) until SIGINT or SIGTERM.
#include "dorrikbus.h"
#include "modbusbytes.h"
#include "ptypair.h"
#include "tavrininstrument.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and quits.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void usage(FILE *to)
{
    std::fputs("usage: tavrin-sim [--generation 1|2|3] [--heat] [--days N] [--idle] [-v] [--help]\n"
               "Serves the simulated instrument (RTU, device address 1) on a pseudo-terminal\n"
               "and prints the path the menu opens.\n"
               "  --generation 1|2|3  the firmware generation (1 unless given)\n"
               "  --heat              a heat channel\n"
               "  --days N            days of archive at start, every site (3 unless given)\n"
               "  --idle              not measuring at start\n"
               "  -v                  one line per answered request\n"
               "  --help              this text\n",
               to);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool verbose = false;
    bool heat = false;
    bool idle = false;
    int generation = 1;
    int days = 3;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool good = true;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            usage(stdout);
            return 0;
        } else if (argument == QLatin1String("-v")) {
            verbose = true;
        } else if (argument == QLatin1String("--heat")) {
            heat = true;
        } else if (argument == QLatin1String("--idle")) {
            idle = true;
        } else if (argument == QLatin1String("--generation") && i + 1 < arguments.size()) {
            generation = arguments.at(++i).toInt(&good);
            good = good && generation >= 1 && generation <= 3;
        } else if (argument == QLatin1String("--days") && i + 1 < arguments.size()) {
            days = arguments.at(++i).toInt(&good);
            good = good && days >= 0 && days <= 366;
        } else {
            good = false;
        }
        if (!good) {
            usage(stderr);
            return 2;
        }
    }

    if (::pipe(signalPipe) != 0) {
        std::perror("tavrin-sim: pipe");
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    PtyLink link;
    if (!link.isValid()) {
        std::fprintf(stderr, "tavrin-sim: no pseudo-terminal: %s\n",
                     qPrintable(link.errorString()));
        return 1;
    }

    TavrinInstrument instrument;
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);
    instrument.setArchiveHistory(days * 24 * 3600);
    instrument.setMeasuring(!idle);
    if (verbose) {
        instrument.setAnswerObserver([](const InstrumentRequest &request) {
            std::printf("function %d address %u count %d\n", int(request.function),
                        unsigned(request.address), request.count);
            std::fflush(stdout);
        });
    }
    QString error;
    if (!instrument.serveSerial(link.portA(), &error)) {
        std::fprintf(stderr, "tavrin-sim: can't open %s: %s\n", qPrintable(link.portA()),
                     qPrintable(error));
        return 1;
    }

    std::printf("%s\n", qPrintable(link.portB()));
    std::fflush(stdout);
    return app.exec();
}
