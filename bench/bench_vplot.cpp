// The chart engine: one render of a curve of 300, 2,048 and 100,000 points into a 640x480
// picture with antialiasing on and off; the chart's snapshot of a curve of 100,000 model rows,
// taken in the GUI thread; and 100 requests made while a render runs (results delivered, which
// must be 1, and the time from the last request to rendered()). Prints medians. Run from a
// Release build without sanitizers: QT_QPA_PLATFORM=offscreen build/release/bench/bench_vplot

#include "benchfigures.h"
#include "vcurve.h"
#include "vplot.h"
#include "vplotrenderer.h"
#include "vplotthreadedengine.h"
#include "vplotthreadengine.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 7;

QVector<QPointF> wave(int count)
{
    QVector<QPointF> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double x = i * 1000.0 / count;
        points.append(QPointF(x, 80 * std::sin(x / 37.0) + 10 * std::sin(x * 3.1)));
    }
    return points;
}

std::unique_ptr<VRenderSourceData> snapshot(const QVector<QPointF> &points, bool antialiasing)
{
    auto s = std::make_unique<VRenderSourceData>();
    s->width = 640;
    s->height = 480;
    s->antialiasing = antialiasing;
    s->xMin = 0;
    s->xMax = 1000;
    s->yMin = -100;
    s->yMax = 100;
    s->curves.append({QPen(Qt::blue, 0), points});
    return s;
}

// Two columns of numbers, computed on request, so that only the chart's reading is measured.
class WaveModel : public QAbstractTableModel
{
public:
    explicit WaveModel(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return index.column() == 0 ? double(index.row()) : std::sin(index.row() / 50.0);
    }

private:
    int m_rows;
};

void renders()
{
    std::printf("render, one curve, 640x480 (median of %d, ms):\n", kRuns);
    for (int count : {300, 2048, 100000}) {
        const QVector<QPointF> points = wave(count);
        for (bool antialiasing : {true, false}) {
            std::vector<double> times;
            for (int run = 0; run < kRuns; ++run) {
                auto s = snapshot(points, antialiasing);
                bool aborted = false;
                QElapsedTimer timer;
                timer.start();
                const QImage image = VPlotRenderer::render(*s, {}, &aborted);
                times.push_back(timer.nsecsElapsed() / 1e6);
            }
            std::printf("  %6d points, antialiasing %-3s  %8.2f\n", count,
                        antialiasing ? "on" : "off", median(times));
        }
    }
}

void snapshots()
{
    WaveModel model(100000);
    VPlot plot;
    plot.setSize(QSizeF(640, 480));
    auto *curve = new VCurve;
    curve->setModel(&model);
    QQmlListProperty<VCurve> curves = plot.curves();
    curves.append(&curves, curve);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto s = plot.makeSnapshot();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("snapshot of 100000 model rows, GUI thread (median of %d, ms): %.2f\n", kRuns,
                median(times));
}

void requestsDuringARender()
{
    std::vector<double> latencies;
    int mostResults = 0;
    const QVector<QPointF> points = wave(2048);
    for (int run = 0; run < kRuns; ++run) {
        VPlotThreadEngine engine;
        std::atomic<bool> held{false};
        std::atomic<bool> first{true};
        // The first render is slow: 50 ms before its curve.
        engine.worker()->setBeforeCurveHook([&] {
            if (first.exchange(false)) {
                held = true;
                QThread::msleep(50);
            }
        });
        int results = 0;
        QElapsedTimer sinceLast;
        double latency = 0;
        QEventLoop loop;
        QObject::connect(&engine, &VPlotEngine::rendered, &loop, [&] {
            if (engine.takeResult()) {
                ++results;
                latency = sinceLast.nsecsElapsed() / 1e6;
            }
        });
        engine.render(snapshot(points, true));
        while (!held)
            QThread::yieldCurrentThread();
        for (int i = 0; i < 100; ++i) {
            auto s = snapshot(points, true);
            s->requestNumber = quint32(i + 1);
            engine.render(std::move(s));
        }
        sinceLast.start();
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
        mostResults = std::max(mostResults, results);
        latencies.push_back(latency);
    }
    std::printf("100 requests during a slow render: results %d (must be 1), last request to "
                "rendered() median of %d: %.2f ms\n",
                mostResults, kRuns, median(latencies));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    renders();
    snapshots();
    requestsDuringARender();
    return 0;
}
