#include "vplot.h"
#include "vplots.h"
#include "vrenderresultdata.h"

#include <QDir>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QStandardItemModel>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// The build tree's shots folder, found from the test program's place in the build tree.
QString shotsFolder()
{
    QDir dir(QCoreApplication::applicationDirPath());
    while (!dir.exists(QStringLiteral("CMakeCache.txt")) && dir.cdUp()) {
    }
    return dir.filePath(QStringLiteral("shots"));
}

QStandardItemModel *curveModel(QObject *parent, int points, double (*f)(double))
{
    auto *model = new QStandardItemModel(0, 2, parent);
    for (int i = 0; i < points; ++i) {
        const double x = i * 100.0 / (points - 1);
        auto *xItem = new QStandardItem;
        xItem->setData(x, Qt::DisplayRole);
        auto *yItem = new QStandardItem;
        yItem->setData(f(x), Qt::DisplayRole);
        model->appendRow({xItem, yItem});
    }
    return model;
}

} // namespace

// A chart with two curves, grid and labels, both axes, limit lines and markers, rendered
// through its thread and saved as vplot_demo.png for a reviewer.
class tst_VPlotDemo : public QObject
{
    Q_OBJECT

private slots:
    void demoPicture();
};

void tst_VPlotDemo::demoPicture()
{
    registerVPlotsTypes("VPlots");
    QQuickView view;
    view.rootContext()->setContextProperty(
        QStringLiteral("sineModel"),
        curveModel(&view, 200, [](double x) { return 60 * std::sin(x / 100 * 2 * M_PI) + 20; }));
    view.rootContext()->setContextProperty(
        QStringLiteral("rampModel"), curveModel(&view, 11, [](double x) { return x * 0.8 - 40; }));
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("data:text/plain,") + QStringLiteral(R"(
import QtQuick
import VPlots 1.0
Rectangle {
    width: 640; height: 480
    color: "white"
    VPlot {
        id: plot
        objectName: "plot"
        anchors.fill: parent
        anchors.margins: 40
        xMin: -10; xMax: 110; yMin: -60; yMax: 100
        alignH: VPlot.AlignHNone; alignV: VPlot.AlignVNone
        xAxis: true; yAxis: true
        drawGridH: true; drawGridV: true
        gridH: VPlot.IntellectualGrid; gridV: VPlot.IntellectualGrid
        figures: [
            VHorizontalLine { y: 70; color: "#d03030"; thickness: 2 },
            VVerticalLine { x: 75; color: "#30a030" }
        ]
        markers: [ VMarker { x: 25; y: 80 }, VMarker { x: 75; y: -40 } ]
        VCurve { model: sineModel; color: "#2060c0" }
        VCurve { model: rampModel; color: "#e08000" }
    }
    Repeater {
        model: plot.markersModel
        Rectangle {
            visible: isVisible
            x: plot.x + xOffset - 5; y: plot.y + yOffset - 5
            width: 10; height: 10; radius: 5
            color: "#c02080"
        }
    }
    Repeater {
        model: plot.gridPointsV
        Text {
            x: plot.x + offset - width / 2; y: plot.y + plot.height + 4
            text: value.toFixed(0); font.pixelSize: 12
        }
    }
    Repeater {
        model: plot.gridPointsH
        Text {
            x: plot.x - width - 4; y: plot.y + offset - height / 2
            text: value.toFixed(0); font.pixelSize: 12
        }
    }
})")));
    QVERIFY2(view.status() == QQuickView::Ready, qPrintable(QDebug::toString(view.errors())));
    view.show();
    auto *plot = view.rootObject()->findChild<VPlot *>(QStringLiteral("plot"));
    QTRY_VERIFY_WITH_TIMEOUT(plot->result(), 10000);
    QCOMPARE(plot->result()->image().size(), QSize(560, 400));

    const QImage shot = view.grabWindow();
    QCOMPARE(shot.size(), QSize(640, 480));
    const QString folder = shotsFolder();
    QVERIFY(QDir().mkpath(folder));
    const QString file = QDir(folder).filePath(QStringLiteral("vplot_demo.png"));
    QVERIFY(shot.save(file));

    // Not one flat colour: the curves' colours are in the picture.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2)
            colours.insert(shot.pixel(x, y) & 0xFFFFFF);
    }
    QVERIFY(colours.size() > 10);
    // The sine curve (antialiased, so shades of its blue) and the markers drawn from the model.
    QVERIFY(std::any_of(colours.cbegin(), colours.cend(), [](QRgb c) {
        return qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 40;
    }));
    QVERIFY(colours.contains(0xc02080));
}

QTEST_MAIN(tst_VPlotDemo)
#include "tst_vplotdemo.moc"
