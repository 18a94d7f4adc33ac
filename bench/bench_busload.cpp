// The bus load of the idle menu: Starter.qml as the program loads it, on the simulated instrument
// with the menu's register map, counted for a while after connecting. Prints requests, registers
// and RTU bytes per second and the bus time they take at 19200 baud, for the live block of 70
// registers (no heat channel) and of 104 (generation 2 with a heat channel).
//
// usage: bench_busload [seconds]   (60 unless given; the first 10 s are the start-up's reads)
#include "menucontext.h"
#include "menustartup.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "tavrininstrument.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
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

void run(int generation, bool heat, int seconds)
{
    TavrinInstrument instrument;
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);

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
    std::printf("generation %d, %s heat channel: live block of %d registers\n", generation,
                heat ? "with" : "without", largestBlock);
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
    MenuStartup::registerMenuTypes();
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;
    std::printf("idle menu for %d s at %g baud (requests 8 bytes, answers 5 + 2n, 11-bit "
                "characters, 3.5-character gaps)\n",
                seconds, Baud);
    run(1, false, seconds);
    run(2, true, seconds);
    return 0;
}

#include "bench_busload.moc"
