#include "vfigurehlinerenderdata.h"
#include "vplot.h"
#include "vplotrenderer.h"
#include "vrendersourcedata.h"

#include <QPainter>
#include <QtTest>

using Points = QVector<QPointF>;
using Ranges = QList<qreal>;

namespace {

Points ys(const QList<qreal> &values, qreal x0 = 0)
{
    Points points;
    for (int i = 0; i < values.size(); ++i)
        points.append(QPointF(x0 + i, values.at(i)));
    return points;
}

VCurveRenderData curve(const Points &points, const QColor &color = Qt::black)
{
    return {QPen(color, 0), points};
}

// Rows of the picture that hold a pixel of the given colour in column x.
QList<int> rowsOf(const QImage &image, int x, QRgb colour)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) == colour)
            rows.append(y);
    }
    return rows;
}

} // namespace

// The renderer on hand-made snapshots: how it moves the ranges to follow the data, and where
// grid, axes, curves and figures land in the picture.
class tst_VPlotRenderer : public QObject
{
    Q_OBJECT

private slots:
    void rangesFollowTheData_data();
    void rangesFollowTheData();
    void axisLiesOnItsRow();
    void figureAtAFractionalValue();
    void gridAtItsOffsets();
    void newerRequestAbortsBeforeTheNextCurve();
    void zeroExtentDrawsNothing();
    void nonFinitePointsBreakTheLine();
    void denseCurveKeepsItsPixels_data();
    void denseCurveKeepsItsPixels();
};

void tst_VPlotRenderer::rangesFollowTheData_data()
{
    QTest::addColumn<int>("scaleH");
    QTest::addColumn<int>("scaleV");
    QTest::addColumn<int>("alignH");
    QTest::addColumn<int>("alignV");
    QTest::addColumn<qreal>("percents");
    QTest::addColumn<qreal>("minXWidth");
    QTest::addColumn<Points>("points");
    QTest::addColumn<Ranges>("start");
    QTest::addColumn<Ranges>("expected");

    const Ranges start{-100, 100, -100, 100};
    const Points tenToTwenty = ys({10, 20, 15});
    QTest::newRow("peak to peak 100 %") << 0 << int(VPlot::ScaleVPeakToPeak) << 0 << 0 << 100.0
                                        << 0.0 << tenToTwenty << start << Ranges{-100, 100, 10, 20};
    QTest::newRow("peak to peak 200 %") << 0 << int(VPlot::ScaleVPeakToPeak) << 0 << 0 << 200.0
                                        << 0.0 << tenToTwenty << start << Ranges{-100, 100, 5, 25};
    // A sensor fault at the start of a trend: the rest still decides the range.
    QTest::newRow("peak to peak, first point NaN")
        << 0 << int(VPlot::ScaleVPeakToPeak) << 0 << 0 << 100.0 << 0.0 << ys({qQNaN(), 10, 20, 15})
        << start << Ranges{-100, 100, 10, 20};
    QTest::newRow("peak to peak, first point inf")
        << 0 << int(VPlot::ScaleVPeakToPeak) << 0 << 0 << 100.0 << 0.0 << ys({qInf(), 10, 20, 15})
        << start << Ranges{-100, 100, 10, 20};
    QTest::newRow("all 7") << 0 << int(VPlot::ScaleVPeakToPeak) << 0 << 0 << 100.0 << 0.0
                           << ys({7, 7, 7}) << start << Ranges{-100, 100, 6, 8};
    QTest::newRow("x peak to peak under minXWidth")
        << int(VPlot::ScaleHPeakToPeak) << 0 << 0 << 0 << 100.0 << 50.0 << Points{{0, 1}, {10, 2}}
        << start << Ranges{-20, 30, -100, 100};
    QTest::newRow("x peak to peak of one x")
        << int(VPlot::ScaleHPeakToPeak) << 0 << 0 << 0 << 100.0 << 0.0 << Points{{4, 1}, {4, 2}}
        << start << Ranges{3, 5, -100, 100};
    QTest::newRow("scope average 50 %")
        << 0 << int(VPlot::ScaleVScopeAveragePercents) << 0 << 0 << 50.0 << 0.0
        << ys({90, 110, 100}) << start << Ranges{-100, 100, 50, 150};
    // Only the points inside the visible x range count; the one at x = 500 is out of view.
    QTest::newRow("scope peak to peak")
        << 0 << int(VPlot::ScaleVScopePeakToPeak) << 0 << 0 << 100.0 << 0.0
        << Points{{0, 10}, {50, 30}, {500, 1000}} << start << Ranges{-100, 100, 10, 30};
    QTest::newRow("scope without curves keeps y")
        << 0 << int(VPlot::ScaleVScopePeakToPeak) << 0 << 0 << 100.0 << 0.0 << Points() << start
        << start;
    QTest::newRow("align right") << 0 << 0 << int(VPlot::AlignHRight) << 0 << 100.0 << 0.0
                                 << Points{{100, 0}, {500, 1}} << Ranges{0, 200, -100, 100}
                                 << Ranges{300, 500, -100, 100};
    QTest::newRow("align left") << 0 << 0 << int(VPlot::AlignHLeft) << 0 << 100.0 << 0.0
                                << Points{{100, 0}, {500, 1}} << Ranges{0, 200, -100, 100}
                                << Ranges{100, 300, -100, 100};
    QTest::newRow("align v centre") << 0 << 0 << 0 << int(VPlot::AlignVCenter) << 100.0 << 0.0
                                    << ys({10, 30}) << start << Ranges{-100, 100, -80, 120};
    QTest::newRow("align v top") << 0 << 0 << 0 << int(VPlot::AlignVTop) << 100.0 << 0.0
                                 << ys({10, 30}) << start << Ranges{-100, 100, -170, 30};
    QTest::newRow("all modes 0") << 0 << 0 << 0 << 0 << 100.0 << 0.0 << Points{{100, 0}, {500, 1}}
                                 << Ranges{1.5, 2.5, 3.5, 4.5} << Ranges{1.5, 2.5, 3.5, 4.5};
}

void tst_VPlotRenderer::rangesFollowTheData()
{
    QFETCH(int, scaleH);
    QFETCH(int, scaleV);
    QFETCH(int, alignH);
    QFETCH(int, alignV);
    QFETCH(qreal, percents);
    QFETCH(qreal, minXWidth);
    QFETCH(Points, points);
    QFETCH(Ranges, start);
    QFETCH(Ranges, expected);

    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.scaleH = scaleH;
    s.scaleV = scaleV;
    s.alignH = alignH;
    s.alignV = alignV;
    s.scaleHPercents = percents;
    s.scaleVPercents = percents;
    s.minXWidth = minXWidth;
    s.xMin = start.at(0);
    s.xMax = start.at(1);
    s.yMin = start.at(2);
    s.yMax = start.at(3);
    if (!points.isEmpty())
        s.curves.append(curve(points));
    bool aborted = true;
    VPlotRenderer::render(s, {}, &aborted);
    QVERIFY(!aborted);
    QCOMPARE((Ranges{s.xMin, s.xMax, s.yMin, s.yMax}), expected);
}

void tst_VPlotRenderer::axisLiesOnItsRow()
{
    VRenderSourceData s;
    s.width = 200;
    s.height = 200;
    s.antialiasing = false;
    s.xAxis = true;
    s.axisPen = QPen(Qt::red, 0);
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);
    QCOMPARE(image.size(), QSize(200, 200));
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    QCOMPARE(rowsOf(image, 50, qRgb(255, 0, 0)), QList<int>{100});
    QCOMPARE(image.pixel(50, 20), qRgba(0, 0, 0, 0));
}

void tst_VPlotRenderer::figureAtAFractionalValue()
{
    // A limit line at 0.5 on a chart of 0..1 lies half way up, not at a whole unit.
    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.antialiasing = false;
    s.xMin = 0;
    s.xMax = 1;
    s.yMin = 0;
    s.yMax = 1;
    QPen pen(Qt::blue, 0);
    s.figures.push_back(std::make_unique<VFigureHLineRenderData>(pen, 0.5));
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);
    QCOMPARE(rowsOf(image, 30, qRgb(0, 0, 255)), QList<int>{50});
}

void tst_VPlotRenderer::gridAtItsOffsets()
{
    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.antialiasing = false;
    s.drawGridH = true;
    s.gridPenH = QPen(Qt::green, 0);
    s.gridRowsH = {{0, 0, 25.7, {}}, {1, 0, 60.2, {}}};
    // Vertical rows are given but not asked for.
    s.gridRowsV = {{0, 0, 40, {}}};
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);
    QCOMPARE(rowsOf(image, 10, qRgb(0, 255, 0)), (QList<int>{25, 60}));
    QCOMPARE(image.pixel(40, 10), qRgba(0, 0, 0, 0));
}

void tst_VPlotRenderer::newerRequestAbortsBeforeTheNextCurve()
{
    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.antialiasing = false;
    s.curves = {curve(Points{{-100, 50}, {100, 50}}, Qt::red),
                curve(Points{{-100, -50}, {100, -50}}, Qt::blue)};
    int asked = 0;
    bool aborted = false;
    const QImage image = VPlotRenderer::render(
        s, [&asked] { return ++asked == 2; }, &aborted);
    QVERIFY(aborted);
    QCOMPARE(asked, 2);
    QCOMPARE(rowsOf(image, 50, qRgb(255, 0, 0)), QList<int>{25});
    QVERIFY(rowsOf(image, 50, qRgb(0, 0, 255)).isEmpty());
}

void tst_VPlotRenderer::zeroExtentDrawsNothing()
{
    VRenderSourceData s;
    s.width = 50;
    s.height = 50;
    s.xMin = 3;
    s.xMax = 3;
    s.xAxis = true;
    s.yAxis = true;
    s.curves = {curve(Points{{3, -100}, {3, 100}})};
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);
    QCOMPARE(image.size(), QSize(50, 50));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    }
}

// A chart whose first sample is NaN draws the rest; a NaN inside the curve leaves a gap.
void tst_VPlotRenderer::nonFinitePointsBreakTheLine()
{
    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.antialiasing = false;
    s.scaleV = VPlot::ScaleVPeakToPeak;
    s.scaleVPercents = 200;
    s.xMin = 0;
    s.xMax = 100;
    s.curves = {
        curve(Points{{0, qQNaN()}, {10, 5}, {40, 5}, {50, qQNaN()}, {60, 5}, {90, 5}}, Qt::red)};
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);
    QCOMPARE((Ranges{s.yMin, s.yMax}), (Ranges{4, 6}));
    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(rowsOf(image, 25, red), QList<int>{50});
    QCOMPARE(rowsOf(image, 75, red), QList<int>{50});
    QVERIFY(rowsOf(image, 50, red).isEmpty());
}

void tst_VPlotRenderer::denseCurveKeepsItsPixels_data()
{
    QTest::addColumn<int>("gapAt");
    QTest::newRow("jagged with one spike") << -1;
    QTest::newRow("a break in the middle") << 10000;
}

// A curve of many more points than the picture has columns is drawn with a few points per
// column: each column must still span what every segment would have drawn (a single spike
// included), and a break must stay one.
void tst_VPlotRenderer::denseCurveKeepsItsPixels()
{
    QFETCH(int, gapAt);

    constexpr int Count = 20000;
    Points points;
    for (int i = 0; i < Count; ++i)
        points.append(QPointF(i * 0.01, (i * 7919) % 97));
    points[12345].setY(990);
    if (gapAt >= 0) {
        for (int i = gapAt; i < gapAt + 1000; ++i)
            points[i].setY(qQNaN());
    }
    VRenderSourceData s;
    s.width = 100;
    s.height = 100;
    s.antialiasing = false;
    s.xMin = 0;
    s.xMax = Count * 0.01;
    s.yMin = 0;
    s.yMax = 1000;
    s.curves = {curve(points, Qt::red)};
    bool aborted = false;
    const QImage image = VPlotRenderer::render(s, {}, &aborted);

    // Every segment drawn, as the renderer would without thinning.
    QImage expected(100, 100, QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    painter.translate(0, 100);
    painter.scale(1, -1);
    painter.scale(100 / s.xMax, 100 / s.yMax);
    painter.setPen(QPen(Qt::red, 0));
    if (gapAt < 0) {
        painter.drawPolyline(points.constData(), Count);
    } else {
        painter.drawPolyline(points.constData(), gapAt);
        painter.drawPolyline(points.constData() + gapAt + 1000, Count - gapAt - 1000);
    }
    painter.end();

    const QRgb red = qRgb(255, 0, 0);
    for (int x = 0; x < 100; ++x) {
        const QList<int> got = rowsOf(image, x, red);
        const QList<int> want = rowsOf(expected, x, red);
        QVERIFY2(got.isEmpty() == want.isEmpty(), qPrintable(QString::number(x)));
        if (want.isEmpty())
            continue;
        QVERIFY2(qAbs(got.first() - want.first()) <= 1 && qAbs(got.last() - want.last()) <= 1,
                 qPrintable(QStringLiteral("column %1: rows %2..%3, want %4..%5")
                                .arg(x)
                                .arg(got.first())
                                .arg(got.last())
                                .arg(want.first())
                                .arg(want.last())));
    }
}

QTEST_MAIN(tst_VPlotRenderer)
#include "tst_vplotrenderer.moc"
