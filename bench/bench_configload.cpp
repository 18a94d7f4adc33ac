// bench_configload: what loading a large configuration file costs the GUI thread. The whole menu
// runs offscreen against the simulated instrument; a configuration is saved, then grown with
// well-formed item records that no register of the instrument takes (about 12 MB in all), and
// loaded. Each run reports the longest gap between ticks of a 5 ms timer in the GUI thread from
// the start of the load until the manager is idle again (the longest stall), and the time the
// load took; the program prints every run, then the median and the worst of each.
//
//   bench_configload [runs] [extra items]     (3 and 200000 by default)
#include "benchfigures.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "tavrininstrument.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

struct Run
{
    double stallMs = -1;
    double loadMs = -1;
    qint64 fileBytes = 0;
};

bool waitIdle(MenuDriver &menu, int ms)
{
    return MenuDriver::waitFor(
        [&] { return !menu.evaluate(QStringLiteral("exportManager.active")).toBool(); }, ms);
}

Run runOnce(int extraItems)
{
    Run result;
    MenuDriver menu(QSize(800, 600));
    menu.setContext(std::make_unique<MenuTestContext>());
    menu.instrument().setSlots(4);
    if (!menu.start() ||
        !MenuDriver::waitFor(
            [&] {
                return menu.evaluate(QStringLiteral("sitesManager.maxSitesCount")).toInt() == 4 &&
                       menu.evaluate(QStringLiteral("deviceProps.serialNumber.formatValue"))
                               .toString() != QString();
            },
            10000)) {
        std::fprintf(stderr, "bench_configload: the menu did not start\n");
        return result;
    }
    menu.evaluate(QStringLiteral("exportManager.sitePreDelay = 30; exportManager.sitePostDelay"
                                 " = 30; exportManager.completionDelay = 30"));
    menu.evaluate(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    if (!waitIdle(menu, 30000)) {
        std::fprintf(stderr, "bench_configload: the save did not end\n");
        return result;
    }
    const QString path = menu.evaluate(QStringLiteral("exportManager.configFile")).toString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_configload: no saved file\n");
        return result;
    }
    QByteArray text = file.readAll();
    file.close();
    QByteArray extra;
    extra.reserve(extraItems * 64);
    for (int i = 0; i < extraItems; ++i)
        extra += "        <item type=\"ModbusUInt16\" address=\"" + QByteArray::number(500001 + i) +
                 "\" count=\"1\">" + QByteArray::number(i % 65536) + "</item>\n";
    text.replace("</modbusitems>", extra + "</modbusitems>");
    const QString large = QFileInfo(path).dir().filePath(QStringLiteral("large.xml"));
    QFile out(large);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size()) {
        std::fprintf(stderr, "bench_configload: cannot write the large file\n");
        return result;
    }
    out.close();
    result.fileBytes = text.size();

    QElapsedTimer clock;
    StallWatch stalls;
    clock.start();
    menu.evaluate(QStringLiteral("exportManager.importConfig(\"%1\")").arg(large));
    while (menu.evaluate(QStringLiteral("exportManager.active")).toBool() &&
           clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 endAt = clock.nsecsElapsed();
    const double stallMs = stalls.longestMs();
    if (menu.evaluate(QStringLiteral("exportManager.active")).toBool() ||
        menu.evaluate(QStringLiteral("exportManager.itemsTaken")).toInt() <= 0) {
        std::fprintf(stderr, "bench_configload: the load did not complete\n");
        return result;
    }
    result.stallMs = stallMs;
    result.loadMs = endAt / 1e6;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int extraItems = argc > 2 ? std::max(0, atoi(argv[2])) : 200000;
    // The menu's own lines would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type >= QtCriticalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });

    QList<double> stalls;
    QList<double> loads;
    for (int i = 0; i < runs; ++i) {
        const Run run = runOnce(extraItems);
        if (run.stallMs < 0)
            return 1;
        std::printf("run %2d: %.1f MB, longest GUI stall %7.1f ms, load %8.1f ms\n", i + 1,
                    run.fileBytes / 1e6, run.stallMs, run.loadMs);
        stalls << run.stallMs;
        loads << run.loadMs;
    }
    std::printf("median: longest GUI stall %7.1f ms, load %8.1f ms\n", median(stalls),
                median(loads));
    std::printf("worst:  longest GUI stall %7.1f ms, load %8.1f ms\n",
                *std::max_element(stalls.cbegin(), stalls.cend()),
                *std::max_element(loads.cbegin(), loads.cend()));
    return 0;
}
