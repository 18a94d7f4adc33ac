#include "vplot.h"
#include "vplotthreadedengine.h"
#include "vplotthreadengine.h"

#include <QStandardItemModel>
#include <QtTest>

#include <QSemaphore>
#include <atomic>
#include <memory>

namespace {

std::unique_ptr<VRenderSourceData> snapshot(quint32 number)
{
    auto s = std::make_unique<VRenderSourceData>();
    s->width = 64;
    s->height = 48;
    s->requestNumber = number;
    s->curves.append({QPen(Qt::black, 0), {{-50, -50}, {50, 50}}});
    return s;
}

} // namespace

// The render thread: requests that pile up while a render runs give one result, the newest
// one's, and a chart destroyed mid-render returns only once its thread has ended.
class tst_VPlotThreadEngine : public QObject
{
    Q_OBJECT

private slots:
    void requestsDuringARenderGiveOneResult();
    void destroyingMidRenderJoinsTheThread();
};

void tst_VPlotThreadEngine::requestsDuringARenderGiveOneResult()
{
    VPlotThreadEngine engine;
    QSemaphore entered;
    QSemaphore release;
    std::atomic<int> curves{0};
    engine.worker()->setBeforeCurveHook([&] {
        // Only the first render is held.
        if (curves++ == 0) {
            entered.release();
            release.tryAcquire(1, 10000);
        }
    });
    QSignalSpy rendered(&engine, &VPlotEngine::rendered);

    engine.render(snapshot(1));
    QVERIFY(entered.tryAcquire(1, 10000));
    engine.render(snapshot(2));
    engine.render(snapshot(3));
    engine.render(snapshot(4));
    release.release();

    QTRY_COMPARE_WITH_TIMEOUT(rendered.size(), 1, 10000);
    std::unique_ptr<VRenderResultData> result = engine.takeResult();
    QVERIFY(result);
    QCOMPARE(result->requestNumber(), 4u);
    QCOMPARE(result->image().size(), QSize(64, 48));
    // Nothing else follows: the held render and the replaced snapshots gave nothing.
    QTest::qWait(50);
    QCOMPARE(rendered.size(), 1);
    QCOMPARE(curves.load(), 2);
}

void tst_VPlotThreadEngine::destroyingMidRenderJoinsTheThread()
{
    auto plot = std::make_unique<VPlot>();
    QStandardItemModel model;
    for (int i = 0; i < 3; ++i)
        model.appendRow(new QStandardItem(QString::number(i)));
    auto *curve = new VCurve;
    curve->setModel(&model);
    QQmlListProperty<VCurve> curves = plot->curves();
    curves.append(&curves, curve);

    auto *engine = qobject_cast<VPlotThreadEngine *>(plot->engine());
    QVERIFY(engine);
    std::atomic<bool> entered{false};
    std::atomic<bool> threadFinished{false};
    std::atomic<bool> renderLeft{false};
    engine->worker()->setBeforeCurveHook([&] {
        QThread *thread = QThread::currentThread();
        connect(
            thread, &QThread::finished, thread, [&] { threadFinished = true; },
            Qt::DirectConnection);
        entered = true;
        // Long enough for the destruction to start while the render still runs.
        QThread::msleep(100);
        renderLeft = true;
    });
    plot->setSize(QSizeF(100, 100));
    QTRY_VERIFY_WITH_TIMEOUT(entered, 10000);

    plot.reset();
    QVERIFY(renderLeft);
    QVERIFY(threadFinished);
}

QTEST_MAIN(tst_VPlotThreadEngine)
#include "tst_vplotthreadengine.moc"
