// The archival charts end to end: 1,000, 10,000 and 100,000 generation 3 records of a time
// archive of the simulated instrument read over the loopback link by a ModbusArchReader set as
// the charts dialog sets it on the desktop (10 labels a request, no records-per-request
// optimisation, live results, no record limit), then drawn by a VPlot of the dialog's plot size.
// Prints records per second of the read, the milliseconds from the read's end to the chart's new
// picture, and the longest stall of a 5 ms GUI timer meanwhile. Then the CSV export of the
// 100,000 rows in 20 ms slices: rows per second and the longest stall. Run from a Release build
// without sanitizers, offscreen.

#include "benchfigures.h"
#include "internalitemmodel.h"
#include "modbusarchreader.h"
#include "modbusarchrecordtavrin.h"
#include "modbusclient.h"
#include "modbusitemcsvexporter.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"
#include "vcurve.h"
#include "vplot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr quint16 kArchive = 0x100;
constexpr quint32 kStart = 1765000000; // a wall clock label, 6 min apart from here
constexpr quint32 kInterval = 360;

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    // Each figure shows as soon as it is measured.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QList<int> counts{1000, 10000, 100000};
    if (argc > 1)
        counts = {QByteArray(argv[1]).toInt()};
    QTemporaryDir dir;

    std::printf("%8s %12s %14s %16s %12s\n", "records", "read ms", "records/s", "draw after, ms",
                "stall ms");
    for (const int count : counts) {
        SimulatedInstrument instrument;
        QList<quint32> labels;
        for (int i = 0; i < count; ++i)
            labels.append(kStart + quint32(i) * kInterval);
        instrument.addTavrinArchive(kArchive, DorrikBus::TimeArch, 3, labels);
        ModbusClient client;
        client.setTransport(instrument.link());

        ModbusArchRecordTavrin record;
        record.setClient(&client);
        record.setFunc(DorrikBus::Func67);
        record.setArchIndex(kArchive);
        record.setTvnGeneration(3);
        ModbusArchReader reader;
        reader.setRecord(&record);
        reader.setFrom(QDateTime::fromSecsSinceEpoch(kStart, Qt::UTC));
        reader.setTo(QDateTime::fromSecsSinceEpoch(labels.last(), Qt::UTC));
        reader.setMaxRequestLabels(10);
        reader.setRecordsPerRequestOptimization(false);
        reader.setLiveResult(true);
        reader.setArchIndexes({int(kArchive)});

        // The plot of the charts dialog at 800x600.
        QQuickWindow window;
        window.resize(760, 300);
        VPlot plot;
        plot.setParentItem(window.contentItem());
        plot.setSize(QSizeF(690, 280));
        plot.setScaleH(VPlot::ScaleHPeakToPeak);
        plot.setScaleV(VPlot::ScaleVPeakToPeak);
        plot.setGridH(VPlot::FixedWidgetStep);
        plot.setGridV(VPlot::FixedWidgetStep);
        plot.setGridStepV(690.0 / 5);
        plot.setGridStepH(280.0 / 9);
        auto *curve = new VCurve(&plot);
        curve->setModel(record.model());
        curve->setXRole(QStringLiteral("recordLabel"));
        curve->setYRole(QStringLiteral("vPlus"));
        QQmlListProperty<VCurve> curves = plot.curves();
        curves.append(&curves, curve);
        window.show();

        StallWatch stalls;
        QElapsedTimer clock;
        clock.start();
        reader.start();
        if (!waitFor([&] { return !reader.running(); }, 600000)) {
            std::fprintf(stderr, "the read did not end\n");
            return 1;
        }
        const double readMs = double(clock.nsecsElapsed()) / 1e6;
        const int read = int(record.bytesArray().size());
        // The picture of every record: the plot's range reaches the last label.
        const qreal lastX = plot.xMax();
        QElapsedTimer sinceRead;
        sinceRead.start();
        bool drawn = waitFor(
            [&] {
                // In the chart's own units: its time base keeps whole seconds from a zero time
                // with milliseconds, so that the range's end read back as a time may fall short
                // of a label later than the zero time by a fraction of a second.
                return curve->count() == read &&
                       plot.xMax() >= plot.timeToAxe(QDateTime::fromSecsSinceEpoch(
                                          labels.last(), Qt::UTC));
            },
            10000);
        const double drawMs = double(sinceRead.nsecsElapsed()) / 1e6;
        Q_UNUSED(lastX);
        std::printf("%8d %12.0f %14.0f %16s %12.0f\n", read, readMs, read * 1000.0 / readMs,
                    drawn ? qPrintable(QString::number(drawMs, 'f', 1)) : "not drawn",
                    stalls.longestMs());

        if (count == counts.last()) {
            ModbusItemCSVExporter exporter;
            exporter.setItem(&record);
            exporter.setFileName(dir.filePath("records.csv"));
            exporter.setSliceDuration(20);
            exporter.setCustomFields({QVariantMap{{"name", "Group"}, {"index", 1}},
                                      QVariantMap{{"name", "Subgroup"}, {"index", 2}},
                                      QVariantMap{{"name", "Site"}, {"index", 3}}});
            QObject::connect(&exporter, &ModbusItemCSVExporter::customField,
                             [](CustomFieldEvent *event) { event->setValue("Site 1"); });
            StallWatch exportStalls;
            QElapsedTimer exportClock;
            exportClock.start();
            exporter.start();
            waitFor([&] { return !exporter.running(); }, 600000);
            const double ms = double(exportClock.nsecsElapsed()) / 1e6;
            std::printf("CSV export: %d rows in %.0f ms, %.0f rows/s, longest stall %.0f ms\n",
                        exporter.progress(), ms, exporter.progress() * 1000.0 / ms,
                        exportStalls.longestMs());
        }
    }
    return 0;
}
