#include "testplotengine.h"
#include "vgridvalues.h"
#include "vmarker.h"
#include "vplot.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using Values = QList<double>;

namespace {

Values range(double first, double last, double step)
{
    Values values;
    for (double v = first; v <= last + step / 2; v += step)
        values.append(v);
    return values;
}

Values gridValues(const GridValuesModel &model)
{
    Values values;
    for (const GridValuesModel::Row &row : model.rows())
        values.append(row.value);
    return values;
}

} // namespace

// Where a chart puts its grid lines and markers, as QML reads them from the models.
class tst_VGridValues : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void verticalLines_data();
    void verticalLines();
    void roundedStep_data();
    void roundedStep();
    void horizontalRows();
    void rowRoles();
    void markerRows();
    void markerMovedByRoundingEmitsNothing();

private:
    std::unique_ptr<VPlot> m_plot;
};

void tst_VGridValues::init()
{
    m_plot = std::make_unique<VPlot>();
    m_plot->setEngine(new TestPlotEngine);
    m_plot->setSize(QSizeF(400, 200));
}

void tst_VGridValues::cleanup()
{
    m_plot.reset();
}

void tst_VGridValues::verticalLines_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("minimumCell");
    QTest::addColumn<double>("width");
    QTest::addColumn<Values>("expected");

    const double inf = std::numeric_limits<double>::infinity();
    const int fixed = VPlot::FixedStep;
    const int rounded = VPlot::IntellectualGrid;
    const int widget = VPlot::FixedWidgetStep;
    QTest::newRow("fixed step 10") << fixed << 10.0 << 50.0 << 400.0 << range(-90, 100, 10);
    QTest::newRow("fixed step 250") << fixed << 250.0 << 50.0 << 400.0 << Values();
    QTest::newRow("fixed step 0") << fixed << 0.0 << 50.0 << 400.0 << Values();
    QTest::newRow("fixed step -5") << fixed << -5.0 << 50.0 << 400.0 << Values();
    QTest::newRow("fixed step NaN") << fixed << double(NAN) << 50.0 << 400.0 << Values();
    QTest::newRow("fixed step inf") << fixed << inf << 50.0 << 400.0 << Values();
    QTest::newRow("fixed step below resolution") << fixed << 1e-9 << 50.0 << 400.0 << Values();
    QTest::newRow("rounded, cell 50") << rounded << 10.0 << 50.0 << 400.0 << range(-80, 80, 20);
    QTest::newRow("rounded, cell 30") << rounded << 10.0 << 30.0 << 400.0 << range(-90, 90, 10);
    QTest::newRow("rounded, width below the cell") << rounded << 10.0 << 50.0 << 40.0 << Values();
    // Every 100 pixels of 400 over -100..100: 50 units apart.
    QTest::newRow("widget step 100") << widget << 100.0 << 50.0 << 400.0 << range(-50, 100, 50);
    QTest::newRow("widget step 0") << widget << 0.0 << 50.0 << 400.0 << Values();
    QTest::newRow("widget step -1") << widget << -1.0 << 50.0 << 400.0 << Values();
}

void tst_VGridValues::verticalLines()
{
    QFETCH(int, mode);
    QFETCH(double, step);
    QFETCH(double, minimumCell);
    QFETCH(double, width);
    QFETCH(Values, expected);

    m_plot->setGridV(VPlot::GridMode(mode));
    m_plot->setGridStepV(step);
    m_plot->setMinGridSizeV(minimumCell);
    m_plot->setWidth(width);
    const Values values = gridValues(*m_plot->gridPointsV());
    QCOMPARE(values.size(), expected.size());
    for (int i = 0; i < values.size(); ++i)
        QVERIFY2(qFuzzyCompare(values.at(i) + 1000, expected.at(i) + 1000),
                 qPrintable(QStringLiteral("%1: %2").arg(i).arg(values.at(i))));
}

void tst_VGridValues::roundedStep_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("size");
    QTest::addColumn<Values>("expected");
    QTest::newRow("-100..100 at 400 px: step 20") << -100.0 << 100.0 << 400.0 << range(-80, 80, 20);
    // 8 cells of 0.3: the step must not round down to 0.2, a cell of 33 px.
    QTest::newRow("0..2.4 at 400 px: step 0.3") << 0.0 << 2.4 << 400.0 << range(0.3, 2.1, 0.3);
    QTest::newRow("0..0.8 at 400 px: step 0.1") << 0.0 << 0.8 << 400.0 << range(0.1, 0.7, 0.1);
    QTest::newRow("0..0.024 at 400 px: step 0.003")
        << 0.0 << 0.024 << 400.0 << range(0.003, 0.021, 0.003);
}

// Rounded steps at a minimum cell of 50 px.
void tst_VGridValues::roundedStep()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, size);
    QFETCH(Values, expected);
    const Values values = VGridValues::roundedStep(low, high, 50, size);
    QCOMPARE(values.size(), expected.size());
    for (int i = 0; i < values.size(); ++i)
        QVERIFY2(qFuzzyCompare(values.at(i) + 1000, expected.at(i) + 1000),
                 qPrintable(QStringLiteral("%1: %2").arg(i).arg(values.at(i))));
}

void tst_VGridValues::horizontalRows()
{
    m_plot->setGridH(VPlot::FixedWidgetStep);
    m_plot->setGridStepH(50);
    // Every 50 pixels up from the bottom of 200: 50 units apart from -100, offsets from the top.
    const QList<GridValuesModel::Row> rows = m_plot->gridPointsH()->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(0).value, -50.0);
    QCOMPARE(rows.at(0).offset, 150.0);
    QCOMPARE(rows.at(3).value, 100.0);
    QCOMPARE(rows.at(3).offset, 0.0);
    for (const GridValuesModel::Row &row : rows)
        QVERIFY(row.time.isNull());
}

void tst_VGridValues::rowRoles()
{
    m_plot->setZeroTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    m_plot->setGridStepV(50);
    const GridValuesModel *vertical = m_plot->gridPointsV();
    const QHash<int, QByteArray> names = vertical->roleNames();
    QCOMPARE(names.value(32), QByteArray("index"));
    QCOMPARE(names.value(35), QByteArray("timeValue"));
    const QModelIndex first = vertical->index(0);
    QCOMPARE(vertical->data(first, 32).toInt(), 0);
    QCOMPARE(vertical->data(first, 33).toDouble(), -50.0);
    QCOMPARE(vertical->data(first, 34).toDouble(), 100.0);
    QCOMPARE(vertical->data(first, 35).toDateTime(),
             QDateTime(QDate(2024, 3, 1), QTime(9, 59, 10)));
    QVERIFY(!vertical->data(first, Qt::DisplayRole).isValid());
    QCOMPARE(m_plot->gridPointsH()->data(m_plot->gridPointsH()->index(0), 35).toDateTime(),
             QDateTime());

    // Fewer lines remove rows from the end; more insert them.
    QSignalSpy removed(vertical, &QAbstractItemModel::rowsRemoved);
    m_plot->setGridStepV(100);
    QCOMPARE(vertical->rowCount(), 2);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 2);
    QCOMPARE(removed.at(0).at(2).toInt(), 3);
}

void tst_VGridValues::markerRows()
{
    QQmlListProperty<VMarker> markers = m_plot->markers();
    auto *inside = new VMarker;
    inside->setX(50);
    inside->setY(-50);
    auto *edge = new VMarker;
    edge->setX(100);
    auto *outside = new VMarker;
    outside->setY(150);
    for (VMarker *marker : {inside, edge, outside})
        markers.append(&markers, marker);

    const VPointsModel *model = m_plot->markersModel();
    QCOMPARE(model->rowCount(), 3);
    const QModelIndex first = model->index(0);
    QCOMPARE(model->data(first, 0).toDouble(), 50.0);
    QCOMPARE(model->data(first, 2).toDouble(), 300.0);
    QCOMPARE(model->data(first, 3).toDouble(), 150.0);
    QCOMPARE(model->data(model->index(2), 4).toInt(), 2);
    QCOMPARE(model->data(first, 5).toBool(), true);
    QCOMPARE(model->data(model->index(1), 5).toBool(), true);
    QCOMPARE(model->data(model->index(2), 5).toBool(), false);

    // Moving a marker or the ranges updates its row.
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    outside->setY(0);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(model->data(model->index(2), 5).toBool(), true);
    m_plot->setXMax(40);
    QCOMPARE(model->data(first, 5).toBool(), false);

    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    markers.clear(&markers);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model->rowCount(), 0);
}

void tst_VGridValues::markerMovedByRoundingEmitsNothing()
{
    QQmlListProperty<VMarker> markers = m_plot->markers();
    auto *marker = new VMarker;
    marker->setX(10);
    markers.append(&markers, marker);
    QSignalSpy changed(m_plot->markersModel(), &QAbstractItemModel::dataChanged);
    marker->setX(10 + 1e-13);
    QCOMPARE(changed.size(), 0);
    marker->setX(10.001);
    QCOMPARE(changed.size(), 1);
}

QTEST_MAIN(tst_VGridValues)
#include "tst_vgridvalues.moc"
