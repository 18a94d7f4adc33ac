// bench_startup: how long the program's start-up takes, a fresh process per run, against
// tavrin-sim over a pseudo-terminal (RS-485), offscreen with the software renderer on a
// 640x480 screen (full screen). Each run reports the milliseconds from the process's start to
// Starter.qml's completion and to the first frame drawn once the live block has had its first
// good read and the menu tree's main frame is the frame shown, and the resident memory then
// (VmRSS) and at its peak (VmHWM); the parent prints every run, then the median and the worst
// of each.
//
//   bench_startup [runs] [hold seconds]     (10 runs, 60 s by default)
//
// Then the same start-up with the measurement page shown from the first moment: the time to the
// first frame drawn once its flow-rate tile shows a value of the live block. Last, one process
// each on the main page and on the measurement page, left running for the hold time after its
// first live values: the program's CPU seconds (user + system) per wall second meanwhile.
//
// The child is this program again, running main()'s start-up itself, so that it can watch the
// two moments without anything added to the program.
#include "benchfigures.h"
#include "benchsim.h"
#include "menucontext.h"
#include "menustartup.h"
#include "modbusclient.h"
#include "modbusitembase.h"
#include "qmlapplicationviewer.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <sys/resource.h>

namespace {

const char ChildFlag[] = "--startup-child";
// With these the child shows the measurement page at once, and stays for that many seconds.
const char MeasurementPageFlag[] = "--measurement-page";
const char HoldFlag[] = "--hold";

// CPU seconds of this process so far, user and system.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 nowUs()
{
    // CLOCK_MONOTONIC: the same clock in the parent and the child.
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 completedUs = 0;
QtMessageHandler nextHandler = nullptr;

// Starter logs "started" when it is complete; the log's own handler still gets every message.
void watchMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!completedUs && message == QLatin1String("started"))
        completedUs = nowUs();
    if (nextHandler)
        nextHandler(type, context, message);
}

// Resident memory of this process in kB: now (VmRSS) and at its peak (VmHWM).
QPair<qint64, qint64> residentMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    qint64 rss = -1;
    qint64 hwm = -1;
    if (!status.open(QIODevice::ReadOnly))
        return {rss, hwm};
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2)
            continue;
        if (fields[0] == "VmRSS:")
            rss = fields[1].toLongLong();
        else if (fields[0] == "VmHWM:")
            hwm = fields[1].toLongLong();
    }
    return {rss, hwm};
}

QObject *findByName(QQuickItem *item, const QString &name)
{
    if (item->objectName() == name)
        return item;
    if (QObject *found = item->findChild<QObject *>(name))
        return found;
    for (QQuickItem *child : item->childItems()) {
        if (QObject *found = findByName(child, name))
            return found;
    }
    return nullptr;
}

// main()'s start-up, watched. Prints "<completed us> <first frame us> <size> <rss kB> <hwm kB>"
// on standard output.
int runChild(int argc, char *argv[])
{
    MenuStartup::setApplicationNames();
    bool measurementPage = false;
    int holdSeconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], MeasurementPageFlag) == 0)
            measurementPage = true;
        else if (qstrcmp(argv[i], HoldFlag) == 0 && i + 1 < argc)
            holdSeconds = QByteArray(argv[i + 1]).toInt();
    }
    double cpuShare = -1;
    int code = 0;
    {
        QApplication app(argc, argv);
        MenuStartup::prepareApplication();
        MenuContext context;
        nextHandler = qInstallMessageHandler(watchMessages);

        qint64 frameUs = 0;
        QSize viewSize;
        QPair<qint64, qint64> memory{-1, -1};
        // Runs once the event loop has started: the main menu state is entered by then.
        QTimer::singleShot(0, &app, [&] {
            QmlApplicationViewer *viewer = context.viewer();
            QQuickItem *root = viewer ? viewer->rootObject() : nullptr;
            auto *client =
                root ? root->findChild<ModbusClient *>(QStringLiteral("modbusClient")) : nullptr;
            auto *block =
                client ? client->property("mainReadGroup").value<ModbusItemBase *>() : nullptr;
            if (!block) {
                std::fprintf(stderr, "bench_startup: no live block\n");
                QCoreApplication::exit(2);
                return;
            }
            QObject *scroller = findByName(root, QStringLiteral("frameScroller"));
            if (!scroller) {
                std::fprintf(stderr, "bench_startup: no frame scroller\n");
                QCoreApplication::exit(2);
                return;
            }
            // The instrument's tree, not a stand-in: its main frame holds the main buttons.
            const auto mainFrameShown = [scroller] {
                auto *tree = scroller->property("deviceFrames").value<QObject *>();
                auto *frame = scroller->property("currentFrame").value<QObject *>();
                return tree && frame && frame == tree->property("mainFrame").value<QObject *>() &&
                       tree->findChild<QObject *>(QStringLiteral("measurementButton"));
            };
            QObject *tile = findByName(root, QStringLiteral("flowTile0"));
            auto *tileValue =
                tile ? tile->findChild<QObject *>(QStringLiteral("tileValue")) : nullptr;
            auto *navigation = findByName(root, QStringLiteral("navigationManager"));
            if (measurementPage) {
                if (!tileValue || !navigation) {
                    std::fprintf(stderr, "bench_startup: no measurement page\n");
                    QCoreApplication::exit(2);
                    return;
                }
                QMetaObject::invokeMethod(navigation, "changePage",
                                          Q_ARG(QVariant, navigation->property("piLeft")));
            }
            // The tile shows the live block's flow rate: its property's text of the value read.
            const auto liveValueShown = [tileValue, tile] {
                QObject *prop = tile->property("prop").value<QObject *>();
                return prop &&
                       tileValue->property("text").toString() ==
                           prop->property("formatValue").toString() &&
                       !tileValue->property("text").toString().isEmpty();
            };
            auto *watch = new QTimer(&app);
            watch->setInterval(1);
            QObject::connect(watch, &QTimer::timeout, &app,
                             [&, viewer, block, watch, mainFrameShown, liveValueShown] {
                                 if (!block->wasRead() || !mainFrameShown())
                                     return;
                                 if (measurementPage && !liveValueShown())
                                     return;
                                 watch->stop();
                                 viewer->update();
                                 QObject::connect(viewer, &QQuickWindow::frameSwapped, &app, [&] {
                                     if (frameUs)
                                         return;
                                     frameUs = nowUs();
                                     viewSize = viewer->size();
                                     memory = residentMemoryKb();
                                     if (holdSeconds <= 0) {
                                         QCoreApplication::exit(0);
                                         return;
                                     }
                                     const double cpu = cpuSeconds();
                                     const qint64 wall = nowUs();
                                     QTimer::singleShot(holdSeconds * 1000, &app, [&, cpu, wall] {
                                         cpuShare = (cpuSeconds() - cpu) / ((nowUs() - wall) / 1e6);
                                         QCoreApplication::exit(0);
                                     });
                                 });
                             });
            watch->start();
        });
        QTimer::singleShot(20000, &app, [&frameUs] {
            if (frameUs)
                return;
            std::fprintf(stderr, "bench_startup: no good read within 20 s\n");
            QCoreApplication::exit(3);
        });
        code = MenuStartup::run(context, QCoreApplication::arguments());
        qInstallMessageHandler(nextHandler);
        if (code == 0)
            std::printf("\n%lld %lld %dx%d %lld %lld %.4f\n", completedUs, frameUs,
                        viewSize.width(), viewSize.height(), memory.first, memory.second, cpuShare);
    }
    return code;
}

struct Run
{
    double completedMs = 0;
    double frameMs = 0;
    double rssMb = 0;
    double hwmMb = 0;
    double cpuShare = -1;
};

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], ChildFlag) == 0)
            return runChild(argc, argv);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 10;
    const int holdSeconds = argc > 2 ? qMax(0, QByteArray(argv[2]).toInt()) : 60;

    BenchSim sim;
    if (!sim.start())
        return 1;
    const QProcessEnvironment env = sim.childEnvironment();
    const QStringList arguments = QStringList{QString::fromLatin1(ChildFlag)} + sim.childArguments();

    // One child with the extra flags; false when it failed.
    const auto start = [&](const QStringList &extra, Run *run, QByteArray *view) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        const qint64 startUs = nowUs();
        child.start(QCoreApplication::applicationFilePath(), arguments + extra);
        if (!child.waitForFinished(30000 + holdSeconds * 1000) || child.exitCode() != 0) {
            std::fprintf(stderr, "bench_startup: a run failed (exit %d)\n%s\n", child.exitCode(),
                         child.readAllStandardError().constData());
            return false;
        }
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        const QList<QByteArray> fields = lines.last().split(' ');
        if (fields.size() != 6) {
            std::fprintf(stderr, "bench_startup: a run reported nothing\n");
            return false;
        }
        run->completedMs = (fields[0].toLongLong() - startUs) / 1000.0;
        run->frameMs = (fields[1].toLongLong() - startUs) / 1000.0;
        run->rssMb = fields[3].toLongLong() / 1024.0;
        run->hwmMb = fields[4].toLongLong() / 1024.0;
        run->cpuShare = fields[5].toDouble();
        *view = fields[2];
        return true;
    };

    QList<Run> results;
    for (int i = 0; i < runs; ++i) {
        Run run;
        QByteArray view;
        if (!start({}, &run, &view))
            return 1;
        results.append(run);
        std::printf("run %2d: Starter.qml complete %7.1f ms, main frame drawn after a good read"
                    " %7.1f ms, VmRSS %6.1f MB, VmHWM %6.1f MB (view %s)\n",
                    i + 1, run.completedMs, run.frameMs, run.rssMb, run.hwmMb, view.constData());
        std::fflush(stdout);
    }
    QList<double> live;
    for (int i = 0; i < runs; ++i) {
        Run run;
        QByteArray view;
        if (!start({QString::fromLatin1(MeasurementPageFlag)}, &run, &view))
            return 1;
        live.append(run.frameMs);
        std::printf("run %2d: first live values drawn on the measurement page %7.1f ms\n", i + 1,
                    run.frameMs);
        std::fflush(stdout);
    }
    double cpuMain = -1;
    double cpuMeasurement = -1;
    if (holdSeconds > 0) {
        const QStringList hold{QString::fromLatin1(HoldFlag), QString::number(holdSeconds)};
        Run run;
        QByteArray view;
        if (!start(hold, &run, &view))
            return 1;
        cpuMain = run.cpuShare;
        if (!start(hold + QStringList{QString::fromLatin1(MeasurementPageFlag)}, &run, &view))
            return 1;
        cpuMeasurement = run.cpuShare;
    }
    sim.stop();

    QList<double> completed;
    QList<double> frame;
    QList<double> rss;
    QList<double> hwm;
    for (const Run &run : std::as_const(results)) {
        completed.append(run.completedMs);
        frame.append(run.frameMs);
        rss.append(run.rssMb);
        hwm.append(run.hwmMb);
    }
    std::printf("Starter.qml complete:          median %7.1f ms, worst %7.1f ms\n",
                median(completed), *std::max_element(completed.begin(), completed.end()));
    std::printf("main frame drawn, good read:   median %7.1f ms, worst %7.1f ms\n", median(frame),
                *std::max_element(frame.begin(), frame.end()));
    std::printf("VmRSS at the main frame:       median %7.1f MB, worst %7.1f MB\n", median(rss),
                *std::max_element(rss.begin(), rss.end()));
    std::printf("VmHWM at the main frame:       median %7.1f MB, worst %7.1f MB\n", median(hwm),
                *std::max_element(hwm.begin(), hwm.end()));
    std::printf("live values, measurement page: median %7.1f ms, worst %7.1f ms\n", median(live),
                *std::max_element(live.begin(), live.end()));
    if (holdSeconds > 0)
        std::printf("CPU per wall second over %d s: main page %5.1f %%, measurement page %5.1f %%"
                    " of one core\n",
                    holdSeconds, 100 * cpuMain, 100 * cpuMeasurement);
    return 0;
}
