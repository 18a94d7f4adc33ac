// The bus load of the menu: Starter.qml as the program loads it, on the simulated instrument
// with the menu's register map, counted for a while after connecting. Prints requests, registers
// and RTU bytes per second and the bus time they take at 19200 baud, for the live block of 70
// registers (no heat channel) and of 104 (generation 2 with a heat channel), on the main page,
// on the measurement page, and with its big dialog (flow rate, with its trend) or its signals
// dialog (measuring, so that the captures run) open.
//
// usage: bench_busload [seconds]   (60 unless given; the first 10 s are the start-up's reads)
#include "menucontext.h"
#include "menustartup.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "tavrininstrument.h"

#include <QFont>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

// The context object's part that the menu's device model reads.
class BenchMenuContext : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int connectionType MEMBER connectionType CONSTANT)
    Q_PROPERTY(int deviceAddress MEMBER deviceAddress CONSTANT)
    Q_PROPERTY(int deviceBaudRateIndex MEMBER deviceBaudRateIndex CONSTANT)
    Q_PROPERTY(bool embedded MEMBER embedded CONSTANT)
    Q_PROPERTY(quint32 menuVersionUInt MEMBER menuVersionUInt CONSTANT)

public:
    Q_INVOKABLE int compareVersions(const QString &first, const QString &second) const
    {
        return MenuContext::compareVersionTexts(first, second);
    }
    // The page's texts keep their sizes: nothing here is drawn.
    Q_INVOKABLE qreal getMaxFontSizeByWidth(const QFont &, const QString &, qreal, qreal,
                                            int initFontSize = 0) const
    {
        return initFontSize;
    }
    Q_INVOKABLE qreal getMaxFontSize(const QFont &, const QString &, qreal, qreal,
                                     int initFontSize) const
    {
        return initFontSize;
    }

    int connectionType = 0; // RS-485: the line whose time is counted
    int deviceAddress = 1;
    int deviceBaudRateIndex = 4;
    bool embedded = false;
    quint32 menuVersionUInt = 17439088;
};

// RTU on the line: a request of 8 bytes, an answer of 5 + 2n, 11 bits a character and a gap of
// 3.5 characters after each frame.
constexpr double Baud = 19200.0;
constexpr double CharacterSeconds = 11.0 / Baud;

struct Load
{
    int requests = 0;
    qint64 registers = 0;
    qint64 bytes = 0;
    double busSeconds = 0;

    void add(const InstrumentRequest &request)
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

void run(int generation, bool heat, Screen screen, int seconds)
{
    TavrinInstrument instrument;
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);
    // Captures as long as the instrument takes for them.
    instrument.setMeasuring(screen == SignalsDialog);

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
    BenchMenuContext context;
    engine.rootContext()->setContextObject(&context);
    engine.rootContext()->setContextProperty(QStringLiteral("menuContext"), &context);
    QQmlComponent component(
        &engine, QUrl::fromLocalFile(QStringLiteral(DORRIK_MENU_QML_DIR "/Starter.qml")));
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return;
    }
    auto *client = root->findChild<ModbusClient *>(QStringLiteral("modbusClient"));
    client->setTransport(instrument.link());
    if (const char *script = screenScript(screen)) {
        QTest::qWait(500);
        QQmlExpression expression(qmlContext(root.get()), root.get(), QString::fromLatin1(script));
        expression.evaluate();
        if (expression.hasError())
            std::fprintf(stderr, "%s\n", qPrintable(expression.error().toString()));
    }
    QTest::qWait(seconds * 1000);

    const qint64 startUpMs = 10000;
    Load all;
    Load steady;
    int largestBlock = 0;
    for (const InstrumentRequest &request : instrument.requests()) {
        all.add(request);
        if (request.time >= startUpMs)
            steady.add(request);
        if (request.address == 300701)
            largestBlock = qMax(largestBlock, request.count);
    }
    std::printf("generation %d, %s heat channel, %s: live block of %d registers\n", generation,
                heat ? "with" : "without", screenName(screen), largestBlock);
    print("whole run", all, seconds);
    if (seconds * 1000 > startUpMs) {
        const double steadySeconds = seconds - startUpMs / 1000.0;
        print("after the first 10 s", steady, steadySeconds);
        // What the idle menu keeps asking for.
        QMap<QString, int> kinds;
        for (const InstrumentRequest &request : instrument.requests()) {
            if (request.time >= startUpMs)
                ++kinds[QStringLiteral("function %1 at %2, %3 registers")
                            .arg(int(request.function))
                            .arg(request.address)
                            .arg(request.count)];
        }
        for (auto kind = kinds.cbegin(); kind != kinds.cend(); ++kind)
            std::printf("    %-40s %6.2f/s\n", qPrintable(kind.key()),
                        kind.value() / steadySeconds);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The menu's settings element stores its keys: in a folder of this run, not the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    // The page's tiles draw charts: all the modules the program registers.
    MenuStartup::registerTypes();
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;
    std::printf("menu for %d s at %g baud (requests 8 bytes, answers 5 + 2n, 11-bit "
                "characters, 3.5-character gaps)\n",
                seconds, Baud);
    for (Screen screen : {MainPage, MeasurementPage, BigDialog, SignalsDialog}) {
        run(1, false, screen, seconds);
        run(2, true, screen, seconds);
    }
    return 0;
}

#include "bench_busload.moc"
