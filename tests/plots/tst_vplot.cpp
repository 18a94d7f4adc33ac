#include "testplotengine.h"
#include "vcurve.h"
#include "vfigurehlinerenderdata.h"
#include "vfigurevlinerenderdata.h"
#include "vhorizontalline.h"
#include "vmarker.h"
#include "vplot.h"
#include "vplots.h"
#include "vrenderresultdata.h"
#include "vverticalline.h"

#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QStringListModel>
#include <QtTest>

#include <cmath>
#include <memory>

using Ranges = QList<qreal>;

// The chart item against an engine that only records: which changes ask for a picture, how the
// ranges follow setters, the mouse and the wheel, and which rendered pictures it adopts.
class tst_VPlot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void changesInOnePassGiveOneSnapshot();
    void settersRenderOrStore_data();
    void settersRenderOrStore();
    void ignoredSetterValues_data();
    void ignoredSetterValues();
    void minimumExtent_data();
    void minimumExtent();
    void adoptsRenderedPictures_data();
    void adoptsRenderedPictures();
    void zeroExtentDividesByNothing_data();
    void zeroExtentDividesByNothing();
    void changesInPlaceAskForAPicture_data();
    void changesInPlaceAskForAPicture();
    void markerOffsetsFollowTheSize();
    void wheel_data();
    void wheel();
    void drag_data();
    void drag();

private:
    static Ranges ranges(const VPlot &plot)
    {
        return {plot.xMin(), plot.xMax(), plot.yMin(), plot.yMax()};
    }
    // A chart in a window, inside a parent that counts the wheel events reaching it.
    QQuickItem *showInWindow();

    std::unique_ptr<VPlot> m_plot;
    TestPlotEngine *m_engine = nullptr;
    std::unique_ptr<QQuickView> m_view;
};

void tst_VPlot::initTestCase()
{
    registerVPlotsTypes("VPlots");
}

void tst_VPlot::init()
{
    m_plot = std::make_unique<VPlot>();
    m_engine = new TestPlotEngine;
    m_plot->setEngine(m_engine);
    m_plot->setSize(QSizeF(200, 200));
    QCoreApplication::processEvents();
    m_engine->snapshots.clear();
}

void tst_VPlot::cleanup()
{
    m_view.reset();
    m_plot.reset();
}

QQuickItem *tst_VPlot::showInWindow()
{
    m_plot.reset();
    m_view = std::make_unique<QQuickView>();
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->setColor(Qt::white);
    m_view->setSource(QUrl(QStringLiteral("data:text/plain,") + QStringLiteral(R"(
import QtQuick
import VPlots 1.0
MouseArea {
    property int wheels: 0
    width: 200; height: 200
    onWheel: (wheel) => wheels++
    VPlot { objectName: "plot"; anchors.fill: parent }
})")));
    if (m_view->status() != QQuickView::Ready)
        qWarning() << m_view->errors();
    m_view->resize(200, 200);
    m_view->show();
    auto *plot = m_view->rootObject()->findChild<VPlot *>(QStringLiteral("plot"));
    m_engine = new TestPlotEngine;
    plot->setEngine(m_engine);
    return m_view->rootObject();
}

void tst_VPlot::changesInOnePassGiveOneSnapshot()
{
    for (int i = 1; i <= 10; ++i)
        m_plot->setXMin(-100 + i);
    QCOMPARE(m_engine->snapshots.size(), size_t(0));
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(1));
    QCOMPARE(m_engine->last().requestNumber, m_plot->requestCounter());
    QCOMPARE(m_engine->last().xMin, -90.0);

    m_plot->setYAxis(true);
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(2));
    QCOMPARE(m_engine->last().requestNumber, m_engine->snapshots.front()->requestNumber + 1);
}

void tst_VPlot::settersRenderOrStore_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("renders");

    QTest::newRow("xMax") << QByteArray("xMax") << QVariant(50.0) << true;
    QTest::newRow("xAxis") << QByteArray("xAxis") << QVariant(true) << true;
    QTest::newRow("axisColor") << QByteArray("axisColor") << QVariant(QColor(Qt::red)) << true;
    QTest::newRow("antialiasing") << QByteArray("antialiasing") << QVariant(false) << true;
    QTest::newRow("gridStepV") << QByteArray("gridStepV") << QVariant(20.0) << true;
    QTest::newRow("gridH") << QByteArray("gridH") << QVariant(int(VPlot::IntellectualGrid)) << true;
    QTest::newRow("minGridSizeV") << QByteArray("minGridSizeV") << QVariant(30.0) << true;
    QTest::newRow("scaleV") << QByteArray("scaleV") << QVariant(int(VPlot::ScaleVPeakToPeak))
                            << true;
    QTest::newRow("scaleHPercents") << QByteArray("scaleHPercents") << QVariant(50.0) << true;
    QTest::newRow("alignH") << QByteArray("alignH") << QVariant(int(VPlot::AlignHLeft)) << false;
    QTest::newRow("alignV") << QByteArray("alignV") << QVariant(int(VPlot::AlignVTop)) << false;
    QTest::newRow("interactive") << QByteArray("interactive") << QVariant(false) << false;
    QTest::newRow("zoomSpeed") << QByteArray("zoomSpeed") << QVariant(0.5) << false;
    QTest::newRow("drawGridH") << QByteArray("drawGridH") << QVariant(true) << false;
    QTest::newRow("gridColorV") << QByteArray("gridColorV") << QVariant(QColor(Qt::blue)) << false;
    QTest::newRow("ignoreOutdatedData")
        << QByteArray("ignoreOutdatedData") << QVariant(true) << false;
    QTest::newRow("minXWidth within the range")
        << QByteArray("minXWidth") << QVariant(50.0) << false;
}

void tst_VPlot::settersRenderOrStore()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(bool, renders);

    QVERIFY(m_plot->setProperty(property, value));
    // Enumerations read back as their own type.
    const QVariant stored = m_plot->property(property);
    QCOMPARE(value.typeId() == QMetaType::Int ? QVariant(stored.toInt()) : stored, value);
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(renders ? 1 : 0));

    if (property == "alignH") {
        // The stored alignment goes with the next picture.
        m_plot->setXAxis(true);
        QCoreApplication::processEvents();
        QCOMPARE(m_engine->last().alignH, int(VPlot::AlignHLeft));
    }
}

void tst_VPlot::ignoredSetterValues_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qreal>("value");

    QTest::newRow("scaleHPercents 0") << QByteArray("scaleHPercents") << 0.0;
    QTest::newRow("scaleHPercents -5") << QByteArray("scaleHPercents") << -5.0;
    QTest::newRow("scaleVPercents -5") << QByteArray("scaleVPercents") << -5.0;
    QTest::newRow("scaleVPercents NaN") << QByteArray("scaleVPercents") << qreal(NAN);
    QTest::newRow("minGridSizeH 0") << QByteArray("minGridSizeH") << 0.0;
    QTest::newRow("minGridSizeV -1") << QByteArray("minGridSizeV") << -1.0;
}

void tst_VPlot::ignoredSetterValues()
{
    QFETCH(QByteArray, property);
    QFETCH(qreal, value);

    const QVariant before = m_plot->property(property);
    QSignalSpy changed(m_plot.get(), QByteArray("2" + property + "Changed(qreal)").constData());
    QVERIFY(m_plot->setProperty(property, value));
    QCOMPARE(m_plot->property(property), before);
    QCOMPARE(changed.size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(0));
}

void tst_VPlot::minimumExtent_data()
{
    QTest::addColumn<Ranges>("start");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<Ranges>("expected");

    QTest::newRow("xMax 10 over xMin 0")
        << Ranges{0, 100} << QByteArray("xMax") << 10.0 << Ranges{0, 50};
    QTest::newRow("xMin 80 under xMax 100")
        << Ranges{0, 100} << QByteArray("xMin") << 80.0 << Ranges{50, 100};
    QTest::newRow("xMin 30 keeps enough")
        << Ranges{0, 100} << QByteArray("xMin") << 30.0 << Ranges{30, 100};
    QTest::newRow("minXWidth above the range widens xMax")
        << Ranges{0, 20} << QByteArray("minXWidth") << 50.0 << Ranges{0, 50};
}

void tst_VPlot::minimumExtent()
{
    QFETCH(Ranges, start);
    QFETCH(QByteArray, property);
    QFETCH(qreal, value);
    QFETCH(Ranges, expected);

    m_plot->setXMin(start.at(0));
    m_plot->setXMax(start.at(1));
    if (property != "minXWidth")
        m_plot->setMinXWidth(50);
    m_plot->setProperty(property, value);
    QCOMPARE(m_plot->xMin(), expected.at(0));
    QCOMPARE(m_plot->xMax(), expected.at(1));
}

void tst_VPlot::adoptsRenderedPictures_data()
{
    QTest::addColumn<bool>("ignoreOutdatedData");
    QTest::addColumn<bool>("outdated");
    QTest::addColumn<bool>("adopted");

    QTest::newRow("latest, ignoring outdated") << true << false << true;
    QTest::newRow("older, ignoring outdated") << true << true << false;
    QTest::newRow("older, not ignoring") << false << true << true;
}

void tst_VPlot::adoptsRenderedPictures()
{
    QFETCH(bool, ignoreOutdatedData);
    QFETCH(bool, outdated);
    QFETCH(bool, adopted);

    m_plot->setIgnoreOutdatedData(ignoreOutdatedData);
    m_plot->setXAxis(true);
    QCoreApplication::processEvents();
    m_plot->setYAxis(true);
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(2));

    const quint32 number = m_engine->snapshots.at(outdated ? 0 : 1)->requestNumber;
    m_engine->answer(number, QRectF(0, 10, 300, 20));
    QCoreApplication::processEvents();
    QCOMPARE(m_plot->result() != nullptr, adopted);
    QCOMPARE(ranges(*m_plot), adopted ? Ranges({0, 300, 10, 30}) : Ranges({-100, 100, -100, 100}));
    // Adopting moves the ranges without asking for another picture.
    QCOMPARE(m_engine->snapshots.size(), size_t(2));
}

void tst_VPlot::zeroExtentDividesByNothing_data()
{
    QTest::addColumn<Ranges>("range");
    QTest::addColumn<QSizeF>("size");

    QTest::newRow("xMin == xMax") << Ranges{5, 5, -100, 100} << QSizeF(400, 400);
    QTest::newRow("yMin == yMax") << Ranges{-100, 100, 7, 7} << QSizeF(400, 400);
    QTest::newRow("zero size") << Ranges{-100, 100, -100, 100} << QSizeF(0, 0);
}

void tst_VPlot::zeroExtentDividesByNothing()
{
    QFETCH(Ranges, range);
    QFETCH(QSizeF, size);

    m_plot->setSize(QSizeF(400, 400));
    const qreal xCoeff = m_plot->xScaleCoeff();
    const qreal yCoeff = m_plot->yScaleCoeff();
    QCOMPARE(xCoeff, 2.0);
    auto *marker = new VMarker;
    marker->setX(1);
    QQmlListProperty<VMarker> markers = m_plot->markers();
    markers.append(&markers, marker);

    m_plot->setRanges(range.at(0), range.at(1), range.at(2), range.at(3), true);
    m_plot->setSize(size);
    const bool xEmpty = range.at(0) == range.at(1) || size.isEmpty();
    const bool yEmpty = range.at(2) == range.at(3) || size.isEmpty();
    QCOMPARE(m_plot->xScaleCoeff(), xEmpty ? xCoeff : 400 / (range.at(1) - range.at(0)));
    QCOMPARE(m_plot->yScaleCoeff(), yEmpty ? yCoeff : 400 / (range.at(3) - range.at(2)));
    if (xEmpty) {
        QCOMPARE(m_plot->plotToWidgetX(3), 0.0);
        QCOMPARE(m_plot->widgetToPlotX(3), 0.0);
        QCOMPARE(m_plot->gridPointsV()->rowCount(), 0);
    }
    if (yEmpty) {
        QCOMPARE(m_plot->plotToWidgetY(3), 0.0);
        QCOMPARE(m_plot->widgetToPlotY(3), 0.0);
        QCOMPARE(m_plot->gridPointsH()->rowCount(), 0);
    }
    for (const GridValuesModel *grid : {m_plot->gridPointsH(), m_plot->gridPointsV()}) {
        for (const GridValuesModel::Row &row : grid->rows())
            QVERIFY(std::isfinite(row.value) && std::isfinite(row.offset));
    }
    const VPointsModel::Row row = m_plot->markersModel()->rows().at(0);
    QVERIFY(std::isfinite(row.xOffset) && std::isfinite(row.yOffset));

    // A picture of an empty range is not adopted, and nothing is painted.
    QCoreApplication::processEvents();
    m_engine->answer(m_plot->requestCounter(), QRectF(0, 0, 0, 10));
    QVERIFY(!m_plot->result());
    QImage canvas(10, 10, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    m_engine->answer(m_plot->requestCounter(), QRectF(-100, -100, 200, 200));
    QVERIFY(m_plot->result());
    m_plot->setRanges(range.at(0), range.at(1), range.at(2), range.at(3), false);
    if (xEmpty || yEmpty) {
        QPainter painter(&canvas);
        m_plot->paint(&painter);
        painter.end();
        QCOMPARE(canvas.pixel(5, 5), QColor(Qt::white).rgb());
    }
}

void tst_VPlot::changesInPlaceAskForAPicture_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("a value of the curve's model changed in place") << "value";
    QTest::newRow("vertical line moved") << "vertical";
    QTest::newRow("horizontal line moved") << "horizontal";
}

// What changes without rows coming or going still shows at once, in a picture of its own.
void tst_VPlot::changesInPlaceAskForAPicture()
{
    QFETCH(QString, change);
    QStringListModel model({"1", "2", "3"});
    auto *curve = new VCurve;
    curve->setModel(&model);
    auto *vertical = new VVerticalLine;
    auto *horizontal = new VHorizontalLine;
    QQmlListProperty<VCurve> curves = m_plot->curves();
    curves.append(&curves, curve);
    QQmlListProperty<VFigure> figures = m_plot->figures();
    figures.append(&figures, vertical);
    figures.append(&figures, horizontal);
    QCoreApplication::processEvents();
    m_engine->snapshots.clear();

    if (change == "value")
        QVERIFY(model.setData(model.index(1), QStringLiteral("5")));
    else if (change == "vertical")
        vertical->setX(42);
    else
        horizontal->setY(-7);
    QCoreApplication::processEvents();
    QCOMPARE(m_engine->snapshots.size(), size_t(1));
    const VRenderSourceData &snapshot = m_engine->last();
    QCOMPARE(snapshot.curves.at(0).points.at(1).y(), change == "value" ? 5.0 : 2.0);
    const auto &x = static_cast<const VFigureVLineRenderData &>(*snapshot.figures.at(0));
    const auto &y = static_cast<const VFigureHLineRenderData &>(*snapshot.figures.at(1));
    QCOMPARE(x.x(), change == "vertical" ? 42.0 : 0.0);
    QCOMPARE(y.y(), change == "horizontal" ? -7.0 : 0.0);
}

void tst_VPlot::markerOffsetsFollowTheSize()
{
    auto *marker = new VMarker;
    marker->setX(50);
    marker->setY(50);
    QQmlListProperty<VMarker> markers = m_plot->markers();
    markers.append(&markers, marker);
    QCOMPARE(m_plot->markersModel()->rows().at(0).xOffset, 150.0);
    QCOMPARE(m_plot->markersModel()->rows().at(0).yOffset, 50.0);

    m_plot->setSize(QSizeF(400, 100));
    QCOMPARE(m_plot->markersModel()->rows().at(0).xOffset, 300.0);
    QCOMPARE(m_plot->markersModel()->rows().at(0).yOffset, 25.0);
}

void tst_VPlot::wheel_data()
{
    QTest::addColumn<bool>("interactive");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<qreal>("minXWidth");
    QTest::addColumn<Ranges>("expected");
    QTest::addColumn<int>("parentWheels");

    const QPointF centre(100, 100);
    QTest::newRow("+120 at the centre")
        << true << 120 << centre << 0.0 << Ranges{-90, 90, -90, 90} << 0;
    QTest::newRow("-240 at the centre")
        << true << -240 << centre << 0.0 << Ranges{-120, 120, -120, 120} << 0;
    QTest::newRow("+120 near the bottom left")
        << true << 120 << QPointF(20, 180) << 0.0 << Ranges{-98, 82, -98, 82} << 0;
    QTest::newRow("below one step")
        << true << 90 << centre << 0.0 << Ranges{-100, 100, -100, 100} << 0;
    QTest::newRow("trimmed to minXWidth")
        << true << 120 << centre << 190.0 << Ranges{-95, 95, -90, 90} << 0;
    QTest::newRow("at minXWidth already")
        << true << 120 << centre << 200.0 << Ranges{-100, 100, -90, 90} << 0;
    QTest::newRow("not interactive")
        << false << 120 << centre << 0.0 << Ranges{-100, 100, -100, 100} << 1;
}

void tst_VPlot::wheel()
{
    QFETCH(bool, interactive);
    QFETCH(int, delta);
    QFETCH(QPointF, at);
    QFETCH(qreal, minXWidth);
    QFETCH(Ranges, expected);
    QFETCH(int, parentWheels);

    QQuickItem *root = showInWindow();
    auto *plot = root->findChild<VPlot *>(QStringLiteral("plot"));
    QCOMPARE(plot->size(), QSizeF(200, 200));
    plot->setInteractive(interactive);
    plot->setMinXWidth(minXWidth);

    QWheelEvent event(at, m_view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(m_view.get(), &event);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ranges(*plot).at(i), expected.at(i));
    QCOMPARE(root->property("wheels").toInt(), parentWheels);
}

void tst_VPlot::drag_data()
{
    QTest::addColumn<bool>("interactive");
    QTest::addColumn<Ranges>("expected");

    // Dragged 20 pixels right and 10 down over 200 pixels of a 200 unit range.
    QTest::newRow("interactive") << true << Ranges{-120, 80, -90, 110};
    QTest::newRow("not interactive") << false << Ranges{-100, 100, -100, 100};
}

void tst_VPlot::drag()
{
    QFETCH(bool, interactive);
    QFETCH(Ranges, expected);

    QQuickItem *root = showInWindow();
    auto *plot = root->findChild<VPlot *>(QStringLiteral("plot"));
    plot->setInteractive(interactive);

    QTest::mousePress(m_view.get(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(m_view.get(), QPoint(110, 104));
    QTest::mouseMove(m_view.get(), QPoint(120, 110));
    QCOMPARE(ranges(*plot), expected);
    QTest::mouseRelease(m_view.get(), Qt::LeftButton, {}, QPoint(120, 110));
    QTest::mouseMove(m_view.get(), QPoint(150, 150));
    QCOMPARE(ranges(*plot), expected);
}

QTEST_MAIN(tst_VPlot)
#include "tst_vplot.moc"
