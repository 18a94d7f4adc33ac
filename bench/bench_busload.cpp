// The bus load of the menu: the program's start-up (Starter.qml as the program loads it) in a
// child process against tavrin-sim over a pseudo-terminal (RS-485), offscreen with the software
// renderer on a 640x480 screen, counted for a while from the child's start. The requests are
// the simulator's own lines for each request it answers (-v), stamped as they arrive. Prints
// requests, registers and RTU bytes per second and the bus time they take at 19200 baud, for
// the live block of 70 registers (generation 1, no heat channel) and of 104 (generation 2 with
// a heat channel), on the main page, on the measurement page, and with its big dialog (flow
// rate, with its trend) or its signals dialog (measuring, so that the captures run) open. The
// screen is opened once the live block has had its first good read.
//
// usage: bench_busload [seconds]   (60 unless given; the first 10 s are the start-up's reads)
#include "benchsim.h"
#include "menucontext.h"
#include "menustartup.h"
#include "modbusclient.h"
#include "modbusitembase.h"
#include "qmlapplicationviewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QTimer>

#include <cstdio>

namespace {

const char ChildFlag[] = "--busload-child";
const char ScreenFlag[] = "--screen";
const char SecondsFlag[] = "--seconds";

// RTU on the line: a request of 8 bytes, an answer of 5 + 2n, 11 bits a character and a gap of
// 3.5 characters after each frame.
constexpr double Baud = 19200.0;
constexpr double CharacterSeconds = 11.0 / Baud;
constexpr qint64 StartUpMs = 10000;

// One answered request as the simulator prints it, stamped with its arrival since the child's
// start.
struct Request
{
    int function = 0;
    quint32 address = 0;
    int count = 0;
    qint64 ms = 0;
};

struct Load
{
    int requests = 0;
    qint64 registers = 0;
    qint64 bytes = 0;
    double busSeconds = 0;

    void add(const Request &request)
    {
        const int n = request.count;
        const int frameBytes = 8 + 5 + 2 * n;
        ++requests;
        registers += n;
        bytes += frameBytes;
        busSeconds += (frameBytes + 2 * 3.5) * CharacterSeconds;
    }
};

void print(const char *what, const Load &load, double seconds)
{
    std::printf("  %-22s %8.2f requests/s %9.1f registers/s %9.1f bytes/s %7.1f ms bus/s\n", what,
                load.requests / seconds, load.registers / seconds, load.bytes / seconds,
                1000.0 * load.busSeconds / seconds);
}

enum Screen { MainPage, MeasurementPage, BigDialog, SignalsDialog };

const char *screenName(Screen screen)
{
    switch (screen) {
    case MainPage:
        return "main page";
    case MeasurementPage:
        return "measurement page";
    case BigDialog:
        return "big dialog";
    case SignalsDialog:
        return "signals dialog";
    }
    return "";
}

// What the user opens once the menu runs, as the page's buttons and tiles do it.
const char *screenScript(Screen screen)
{
    switch (screen) {
    case MainPage:
        return nullptr;
    case MeasurementPage:
        return "navigationManager.changePage(navigationManager.piLeft)";
    case BigDialog:
        return "navigationManager.changePage(navigationManager.piLeft);"
               "screenManager.showPopup('sources/BigMeasureDialog.qml',"
               " {prop: deviceProps.flowRate, trendSize: 300, showTrend: true,"
               " trendRole: 'flowRate',"
               " trendModel: deviceModbus.flowRateHistory.model,"
               " trendModbusItem: deviceModbus.flowRateHistory})";
    case SignalsDialog:
        return "navigationManager.changePage(navigationManager.piLeft);"
               "screenManager.showPopup('sources/SignalsDialog.qml')";
    }
    return nullptr;
}

// main()'s start-up; opens the screen after the live block's first good read and ends after the
// seconds given.
int runChild(int argc, char *argv[])
{
    MenuStartup::setApplicationNames();
    Screen screen = MainPage;
    int seconds = 60;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], ScreenFlag) == 0)
            screen = Screen(QByteArray(argv[i + 1]).toInt());
        else if (qstrcmp(argv[i], SecondsFlag) == 0)
            seconds = QByteArray(argv[i + 1]).toInt();
    }
    QApplication app(argc, argv);
    MenuStartup::prepareApplication();
    MenuContext context;
    QTimer::singleShot(0, &app, [&] {
        QmlApplicationViewer *viewer = context.viewer();
        QQuickItem *root = viewer ? viewer->rootObject() : nullptr;
        auto *client =
            root ? root->findChild<ModbusClient *>(QStringLiteral("modbusClient")) : nullptr;
        auto *block =
            client ? client->property("mainReadGroup").value<ModbusItemBase *>() : nullptr;
        if (!block) {
            std::fprintf(stderr, "bench_busload: no live block\n");
            QCoreApplication::exit(2);
            return;
        }
        auto *watch = new QTimer(&app);
        watch->setInterval(10);
        QObject::connect(watch, &QTimer::timeout, &app, [root, block, watch, screen] {
            if (!block->wasRead())
                return;
            watch->stop();
            if (const char *script = screenScript(screen)) {
                QQmlExpression expression(qmlContext(root), root, QString::fromLatin1(script));
                expression.evaluate();
                if (expression.hasError()) {
                    std::fprintf(stderr, "bench_busload: %s\n",
                                 qPrintable(expression.error().toString()));
                    QCoreApplication::exit(2);
                }
            }
        });
        watch->start();
    });
    QTimer::singleShot(seconds * 1000, &app, [] { QCoreApplication::exit(0); });
    return MenuStartup::run(context, QCoreApplication::arguments());
}

// One case: a simulator of its own, the menu in a child process for the seconds given.
bool run(int generation, bool heat, Screen screen, int seconds)
{
    QStringList simArguments{QStringLiteral("-v"), QStringLiteral("--generation"),
                             QString::number(generation)};
    if (heat)
        simArguments << QStringLiteral("--heat");
    // Captures as long as the instrument takes for them; no measurement on the other screens.
    if (screen != SignalsDialog)
        simArguments << QStringLiteral("--idle");
    BenchSim sim;
    if (!sim.start(simArguments))
        return false;

    QList<Request> requests;
    QElapsedTimer clock;
    QProcess &simProcess = sim.process();
    const auto readLines = [&] {
        while (simProcess.canReadLine()) {
            const QList<QByteArray> fields = simProcess.readLine().simplified().split(' ');
            // "function F address A count N"
            if (fields.size() != 6 || fields[0] != "function")
                continue;
            requests.append({fields[1].toInt(), fields[3].toUInt(), fields[5].toInt(),
                             clock.elapsed()});
        }
    };
    QObject::connect(&simProcess, &QProcess::readyReadStandardOutput, &simProcess, readLines);

    QProcess child;
    child.setProcessEnvironment(sim.childEnvironment());
    child.setStandardOutputFile(QProcess::nullDevice());
    QByteArray childErrors;
    QObject::connect(&child, &QProcess::readyReadStandardError, &child,
                     [&] { childErrors += child.readAllStandardError(); });
    QEventLoop loop;
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    clock.start();
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QString::fromLatin1(ChildFlag), QString::fromLatin1(ScreenFlag),
                            QString::number(screen), QString::fromLatin1(SecondsFlag),
                            QString::number(seconds)} +
                    sim.childArguments());
    loop.exec();
    const qint64 endMs = clock.elapsed();
    simProcess.waitForReadyRead(100);
    readLines();
    sim.stop();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_busload: the menu failed (exit %d)\n%s\n", child.exitCode(),
                     childErrors.constData());
        return false;
    }

    Load all;
    Load steady;
    int largestBlock = 0;
    QMap<QString, int> kinds;
    for (const Request &request : std::as_const(requests)) {
        if (request.ms > endMs)
            continue;
        all.add(request);
        if (request.address == 300701)
            largestBlock = qMax(largestBlock, request.count);
        if (request.ms < StartUpMs)
            continue;
        steady.add(request);
        ++kinds[QStringLiteral("function %1 at %2, %3 registers")
                    .arg(request.function)
                    .arg(request.address)
                    .arg(request.count)];
    }
    const double wholeSeconds = endMs / 1000.0;
    std::printf("generation %d, %s heat channel, %s: live block of %d registers\n", generation,
                heat ? "with" : "without", screenName(screen), largestBlock);
    print("whole run", all, wholeSeconds);
    if (endMs > StartUpMs) {
        const double steadySeconds = (endMs - StartUpMs) / 1000.0;
        print("after the first 10 s", steady, steadySeconds);
        // What the menu keeps asking for.
        for (auto kind = kinds.cbegin(); kind != kinds.cend(); ++kind)
            std::printf("    %-40s %6.2f/s\n", qPrintable(kind.key()),
                        kind.value() / steadySeconds);
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], ChildFlag) == 0)
            return runChild(argc, argv);
    }
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 60;
    std::printf("menu for %d s at %g baud (requests 8 bytes, answers 5 + 2n, 11-bit "
                "characters, 3.5-character gaps)\n",
                seconds, Baud);
    for (Screen screen : {MainPage, MeasurementPage, BigDialog, SignalsDialog}) {
        if (!run(1, false, screen, seconds) || !run(2, true, screen, seconds))
            return 1;
    }
    return 0;
}
