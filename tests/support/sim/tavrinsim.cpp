// tavrin-sim: the simulated instrument as a program. It answers as an RTU slave at device
// address 1 on one end of a pseudo-terminal pair, prints the other end's path for the menu to
// open, and changes its live values every second until SIGINT or SIGTERM.
#include "dorrikbus.h"
#include "modbusbytes.h"
#include "ptypair.h"
#include "simulatedinstrument.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <QtMath>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr quint32 FlowRate = 300720;     // m³/h
constexpr quint32 FlowVelocity = 300722; // m/s
constexpr quint8 DeviceAddress = 1;

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and quits.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void usage()
{
    std::fputs("usage: tavrin-sim [-v]\n"
               "Serves the simulated instrument (RTU, device address 1) on a pseudo-terminal\n"
               "and prints the path the menu opens. -v prints one line per answered request.\n",
               stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool verbose = false;
    for (const QString &argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QLatin1String("-v")) {
            verbose = true;
        } else {
            usage();
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

    SimulatedInstrument instrument;
    instrument.setUnit(DeviceAddress);
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

    // A slow wave around a steady flow, so that a reader sees the values move.
    int tick = 0;
    const auto update = [&instrument, &tick] {
        const double phase = tick++ * 0.3;
        const float rate = float(12.5 + 2.5 * qSin(phase));
        const float velocity = float(rate / 28.27);
        instrument.setRegisters(FlowRate, ModbusBytes::fromFloat(rate));
        instrument.setRegisters(FlowVelocity, ModbusBytes::fromFloat(velocity));
    };
    update();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &app, update);
    timer.start(1000);

    std::printf("%s\n", qPrintable(link.portB()));
    std::fflush(stdout);
    return app.exec();
}
