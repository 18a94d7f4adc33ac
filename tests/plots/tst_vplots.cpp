#include "vplot.h"
#include "vplots.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// The "VPlots 1.0" module as QML sees it once registered: which types QML may create, the
// reasons it gives for the others, and a chart declared with its children.
class tst_VPlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void types_data();
    void types();
    void chartFromQml();
    void wholeListAssignmentKeepsTheCurves();

private:
    std::unique_ptr<QObject> create(const QByteArray &body, QString *errors = nullptr);

    QQmlEngine m_engine;
};

void tst_VPlots::initTestCase()
{
    registerVPlotsTypes("VPlots");
}

std::unique_ptr<QObject> tst_VPlots::create(const QByteArray &body, QString *errors)
{
    QQmlComponent component(&m_engine);
    component.setData("import QtQuick\nimport VPlots 1.0\n" + body, QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (errors)
        *errors = component.errorString();
    return object;
}

void tst_VPlots::types_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("reason");

    const QString figure = QStringLiteral("you can't create this object directly");
    const QString model = QStringLiteral("you shouldn't create this object directly");
    QTest::newRow("VPlot") << QByteArray("VPlot") << QString();
    QTest::newRow("VCurve") << QByteArray("VCurve") << QString();
    QTest::newRow("VFigure") << QByteArray("VFigure") << figure;
    QTest::newRow("VBaseLineFigure") << QByteArray("VBaseLineFigure") << figure;
    QTest::newRow("VVerticalLine") << QByteArray("VVerticalLine") << QString();
    QTest::newRow("VHorizontalLine") << QByteArray("VHorizontalLine") << QString();
    QTest::newRow("VMarker") << QByteArray("VMarker") << QString();
    QTest::newRow("GridValuesModel") << QByteArray("GridValuesModel") << model;
    QTest::newRow("VPointsModel") << QByteArray("VPointsModel") << model;
}

void tst_VPlots::types()
{
    QFETCH(QByteArray, type);
    QFETCH(QString, reason);

    QString errors;
    std::unique_ptr<QObject> object = create(type + " {}", &errors);
    if (reason.isEmpty()) {
        QVERIFY2(object, qPrintable(errors));
        QCOMPARE(QByteArray(object->metaObject()->className()), type);
    } else {
        QVERIFY(!object);
        QVERIFY2(errors.contains(reason), qPrintable(errors));
    }
}

void tst_VPlots::chartFromQml()
{
    QString errors;
    std::unique_ptr<QObject> object = create(R"(
VPlot {
    width: 200; height: 100
    xMin: 0; xMax: 50; minXWidth: 100
    alignH: VPlot.AlignHNone; gridV: VPlot.IntellectualGrid
    figures: [ VVerticalLine { x: 10 }, VHorizontalLine { y: 5; color: "red" } ]
    markers: [ VMarker { x: 25; y: 0 } ]
    VCurve { color: "blue" }
    VCurve { xAutoCalc: true }
})",
                                             &errors);
    QVERIFY2(object, qPrintable(errors));
    auto *plot = qobject_cast<VPlot *>(object.get());
    QCOMPARE(plot->curveList().size(), 2);
    QCOMPARE(plot->curveList().at(0)->color(), QColor(Qt::blue));
    QCOMPARE(plot->figureList().size(), 2);
    QCOMPARE(plot->figureList().at(1)->kind(), 1);
    QCOMPARE(plot->markersModel()->rowCount(), 1);
    QCOMPARE(plot->alignH(), VPlot::AlignHNone);
    // Whatever order QML assigns them in, the range is at least minXWidth wide.
    QCOMPARE(plot->xMax() - plot->xMin(), 100.0);
    QVERIFY(plot->gridPointsV()->rowCount() > 0);
    QCOMPARE(plot->markersModel()->rows().at(0).xOffset, plot->plotToWidgetX(25));
}

void tst_VPlots::wholeListAssignmentKeepsTheCurves()
{
    QString errors;
    std::unique_ptr<QObject> object = create(R"(
VPlot {
    id: plot
    property list<VCurve> spare: [ VCurve { objectName: "a" }, VCurve { objectName: "b" } ]
    VCurve { objectName: "first" }
    function swap() { plot.curves = [ spare[1], spare[0] ] }
})",
                                             &errors);
    QVERIFY2(object, qPrintable(errors));
    auto *plot = qobject_cast<VPlot *>(object.get());
    QPointer<VCurve> first = plot->curveList().at(0);
    QMetaObject::invokeMethod(plot, "swap");
    QCOMPARE(plot->curveList().size(), 2);
    QCOMPARE(plot->curveList().at(0)->objectName(), QStringLiteral("b"));
    QMetaObject::invokeMethod(plot, "swap");
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(plot->curveList().size(), 2);
    QCOMPARE(plot->curveList().at(1)->objectName(), QStringLiteral("a"));
    QTRY_VERIFY(!first);
}

QTEST_MAIN(tst_VPlots)
#include "tst_vplots.moc"
