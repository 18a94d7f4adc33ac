// bench_dialogclose: what closing the connection settings dialog costs the GUI thread while a
// listed USB device never answers. The whole menu runs offscreen against simulated instruments
// on a scripted USB bus; the dialog lists two devices, one that answers (its own link read and
// closed) and one silent, whose link is still open in the middle of its serial-number read when
// the dialog closes. Each run reports, from the close until every link the dialog made is gone,
// the longest gap between ticks of a 5 ms timer in the GUI thread (the longest stall) and the
// time until then; the program prints every run, then the median and the worst of each.
//
//   bench_dialogclose [runs] [silent read time-out in ms]     (10 and 1000 by default)
#include "benchfigures.h"
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "routedusblink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const QByteArray programUsb = QByteArrayLiteral("TV-A");
const QByteArray answeringUsb = QByteArrayLiteral("TV-B");
const QByteArray silentUsb = QByteArrayLiteral("TV-C");

struct Run
{
    double stallMs = -1;
    double goneMs = -1;
};

bool dialogLinksGone(const MenuTestContext &context)
{
    for (RoutedUsbLink *link : RoutedUsbLink::links()) {
        bool program = false;
        for (const auto &own : context.transports())
            program = program || own.data() == link;
        if (!program)
            return false;
    }
    return true;
}

RoutedUsbLink *linkOf(const QByteArray &usb)
{
    for (RoutedUsbLink *link : RoutedUsbLink::links()) {
        if (link->serialNumber() == QString::fromLatin1(usb))
            return link;
    }
    return nullptr;
}

Run runOnce(int silentTimeout)
{
    Run result;
    TavrinInstrument answering;
    answering.setRegisters(400015, ModbusBytes::fromUInt32(2002));
    MenuDriver menu;
    menu.instrument().setRegisters(400015, ModbusBytes::fromUInt32(1001));
    auto owned = std::make_unique<MenuTestContext>();
    MenuTestContext *context = owned.get();
    context->addUsbInstrument(answeringUsb);
    context->addUsbInstrument(silentUsb);
    context->usbFactory = [](ModbusClient *client) { return new RoutedUsbLink(client); };
    context->setConnectionType(MenuContext::USB);
    context->setUsbSerialNumber(QString::fromLatin1(programUsb), false);
    menu.setContext(std::move(owned));
    RoutedUsbLink::setDevices(
        {{programUsb, &menu.instrument()}, {answeringUsb, &answering}, {silentUsb, nullptr}});
    if (!menu.start(false)) {
        std::fprintf(stderr, "bench_dialogclose: %s\n", qPrintable(menu.error()));
        return result;
    }

    QQmlEngine *engine = qmlEngine(menu.root());
    QQmlComponent links(engine);
    links.setData(QStringLiteral("import TavrinTest 1.0\nRoutedUsbLink { readTimeout: %1 }")
                      .arg(silentTimeout)
                      .toUtf8(),
                  QUrl());
    engine->rootContext()->setContextProperty(QStringLiteral("benchUsbLinks"), &links);
    menu.evaluate(
        QStringLiteral("screenManager.showConnectionSettingsDialog(null, {\"serialNumberItem\": "
                       "deviceModbus.serialNumber, \"reportItem\": deviceModbus.report, "
                       "\"usbLinkComponent\": benchUsbLinks})"));

    // The answering device read and its link closed; the silent one open and reading.
    const bool ready = MenuDriver::waitFor(
        [&] {
            RoutedUsbLink *answered = linkOf(answeringUsb);
            RoutedUsbLink *silent = linkOf(silentUsb);
            return answered && !answered->connected() && silent && silent->connected();
        },
        5000);
    if (!ready) {
        std::fprintf(stderr, "bench_dialogclose: the devices were not read as expected\n");
        return result;
    }
    MenuDriver::settle(qMin(100, silentTimeout / 4));

    QElapsedTimer clock;
    QObject *dialog = menu.object(QStringLiteral("connectionSettingsDialog"));
    StallWatch stalls;
    clock.start();
    QMetaObject::invokeMethod(dialog, "close");
    // As the program's event loop does: the popup's deferred deletion runs too.
    bool gone = false;
    while (!gone && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gone = dialogLinksGone(*context);
    }
    const qint64 goneAt = clock.nsecsElapsed();
    const double stallMs = stalls.longestMs();
    if (!gone) {
        std::fprintf(stderr, "bench_dialogclose: the dialog's links outlived it\n");
        return result;
    }
    result.stallMs = stallMs;
    result.goneMs = goneAt / 1e6;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int silentTimeout = argc > 2 ? std::max(10, atoi(argv[2])) : 1000;
    qmlRegisterType<RoutedUsbLink>("TavrinTest", 1, 0, "RoutedUsbLink");
    // The menu's own lines would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type >= QtCriticalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });

    QList<double> stalls;
    QList<double> gones;
    std::printf("silent device's read time-out %d ms\n", silentTimeout);
    for (int i = 0; i < runs; ++i) {
        const Run run = runOnce(silentTimeout);
        if (run.stallMs < 0)
            return 1;
        std::printf("run %2d: longest stall %7.1f ms, links gone after %7.1f ms\n", i + 1,
                    run.stallMs, run.goneMs);
        stalls << run.stallMs;
        gones << run.goneMs;
    }
    std::printf("median: longest stall %7.1f ms, links gone after %7.1f ms\n", median(stalls),
                median(gones));
    std::printf("worst:  longest stall %7.1f ms, links gone after %7.1f ms\n",
                *std::max_element(stalls.cbegin(), stalls.cend()),
                *std::max_element(gones.cbegin(), gones.cend()));
    return 0;
}
