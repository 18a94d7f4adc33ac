#include "vcurve.h"
#include "vplot.h"

#include <QStandardItemModel>
#include <QStringListModel>
#include <QtTest>

#include <memory>

using Points = QVector<QPointF>;

namespace {

constexpr int NameRole = Qt::UserRole + 1;
constexpr int ValueRole = Qt::UserRole + 2;

// Two columns; column 0 holds x in the display role and 100 + x in "name", column 1 holds y.
std::unique_ptr<QStandardItemModel> twoColumns()
{
    auto model = std::make_unique<QStandardItemModel>(0, 2);
    model->setItemRoleNames(
        {{Qt::DisplayRole, "display"}, {NameRole, "name"}, {ValueRole, "value"}});
    for (int r = 0; r < 3; ++r) {
        auto *x = new QStandardItem;
        x->setData(r, Qt::DisplayRole);
        x->setData(100 + r, NameRole);
        auto *y = new QStandardItem;
        y->setData(10 * r, Qt::DisplayRole);
        y->setData(-r, ValueRole);
        model->appendRow({x, y});
    }
    return model;
}

// A column of numbers that counts the values read from it.
class CountingModel : public QStandardItemModel
{
public:
    explicit CountingModel(const QStringList &values)
    {
        for (const QString &value : values)
            appendRow(new QStandardItem(value));
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++reads;
        return QStandardItemModel::data(index, role);
    }
    mutable int reads = 0;
};

} // namespace

// Curves read their points from item models: columns, roles, the row number, date-times through
// the chart's time base; and they tell the chart when the rows change.
class tst_VCurve : public QObject
{
    Q_OBJECT

private slots:
    void listModelGivesRowNumbers();
    void columnsAndRoles_data();
    void columnsAndRoles();
    void timeValues_data();
    void timeValues();
    void emptyUntilTheSecondRow();
    void childRowsChangeNothing();
    void modelThatIsNoItemModel();
    void clearingCurvesDeletesThem();
    void changedRowsReadAgain_data();
    void changedRowsReadAgain();

private:
    VPlot m_plot;
};

void tst_VCurve::listModelGivesRowNumbers()
{
    QStringListModel model({QStringLiteral("1.5"), QStringLiteral("-2"), QStringLiteral("7")});
    VCurve curve;
    QSignalSpy repaint(&curve, &VCurve::needRepaint);
    curve.setModel(&model);
    QCOMPARE(repaint.size(), 1);
    QCOMPARE(curve.count(), 3);
    QCOMPARE(curve.points(m_plot), (Points{{0, 1.5}, {1, -2}, {2, 7}}));
}

void tst_VCurve::columnsAndRoles_data()
{
    QTest::addColumn<QString>("xRole");
    QTest::addColumn<QString>("yRole");
    QTest::addColumn<bool>("xAutoCalc");
    QTest::addColumn<Points>("expected");

    QTest::newRow("display roles")
        << QString() << QString() << false << Points{{0, 0}, {1, 10}, {2, 20}};
    QTest::newRow("x from a named role")
        << QStringLiteral("name") << QString() << false << Points{{100, 0}, {101, 10}, {102, 20}};
    QTest::newRow("y from a named role")
        << QString() << QStringLiteral("value") << false << Points{{0, 0}, {1, -1}, {2, -2}};
    QTest::newRow("unknown name reads the display role")
        << QStringLiteral("nosuchrole") << QString() << false << Points{{0, 0}, {1, 10}, {2, 20}};
    QTest::newRow("x the row number")
        << QStringLiteral("name") << QString() << true << Points{{0, 0}, {1, 10}, {2, 20}};
}

void tst_VCurve::columnsAndRoles()
{
    QFETCH(QString, xRole);
    QFETCH(QString, yRole);
    QFETCH(bool, xAutoCalc);
    QFETCH(Points, expected);

    auto model = twoColumns();
    VCurve curve;
    curve.setModel(model.get());
    curve.setXRole(xRole);
    curve.setYRole(yRole);
    curve.setXAutoCalc(xAutoCalc);
    QCOMPARE(curve.points(m_plot), expected);
}

void tst_VCurve::timeValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qreal>("secondWeight");
    QTest::addColumn<qreal>("expected");

    const QDateTime zero(QDate(2024, 3, 1), QTime(10, 0));
    QTest::newRow("one minute later") << QVariant(zero.addSecs(60)) << 1.0 << 60.0;
    QTest::newRow("one minute, weight 2") << QVariant(zero.addSecs(60)) << 2.0 << 120.0;
    QTest::newRow("1.5 s later, whole seconds") << QVariant(zero.addMSecs(1500)) << 1.0 << 1.0;
    QTest::newRow("1.5 s earlier, toward zero") << QVariant(zero.addMSecs(-1500)) << 1.0 << -1.0;
    QTest::newRow("the next day's midnight") << QVariant(QDate(2024, 3, 2)) << 1.0 << 14.0 * 3600;
    QTest::newRow("a time of day") << QVariant(QTime(0, 2)) << 1.0 << 120.0;
    QTest::newRow("a number as text") << QVariant(QStringLiteral("2.5")) << 1.0 << 2.5;
}

void tst_VCurve::timeValues()
{
    QFETCH(QVariant, value);
    QFETCH(qreal, secondWeight);
    QFETCH(qreal, expected);

    VPlot plot;
    plot.setZeroTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    plot.setSecondWeight(secondWeight);
    QStandardItemModel model;
    auto *item = new QStandardItem;
    item->setData(value, Qt::DisplayRole);
    model.appendRow(item);
    VCurve curve;
    curve.setModel(&model);
    QCOMPARE(curve.points(plot), (Points{{0, expected}}));
}

void tst_VCurve::emptyUntilTheSecondRow()
{
    QStringListModel model({QStringLiteral("1")});
    VCurve curve;
    QVERIFY(curve.empty());
    curve.setModel(&model);
    QVERIFY(curve.empty());
    QSignalSpy emptyChanged(&curve, &VCurve::emptyChanged);
    QSignalSpy countChanged(&curve, &VCurve::countChanged);
    model.insertRows(1, 1);
    QCOMPARE(emptyChanged.size(), 1);
    QCOMPARE(emptyChanged.at(0).at(0).toBool(), false);
    QCOMPARE(countChanged.size(), 1);
    model.removeRows(0, 1);
    QCOMPARE(emptyChanged.size(), 2);
    QCOMPARE(emptyChanged.at(1).at(0).toBool(), true);
}

void tst_VCurve::childRowsChangeNothing()
{
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("1")));
    model.appendRow(new QStandardItem(QStringLiteral("2")));
    VCurve curve;
    curve.setModel(&model);
    QSignalSpy points(&curve, &VCurve::pointsChanged);
    QSignalSpy count(&curve, &VCurve::countChanged);
    QSignalSpy repaint(&curve, &VCurve::needRepaint);
    model.item(0)->appendRow(new QStandardItem(QStringLiteral("99")));
    QCOMPARE(points.size(), 0);
    QCOMPARE(count.size(), 0);
    QCOMPARE(repaint.size(), 0);
    QCOMPARE(curve.count(), 2);
    QCOMPARE(curve.points(m_plot), (Points{{0, 1}, {1, 2}}));
}

void tst_VCurve::modelThatIsNoItemModel()
{
    auto model = std::make_unique<QStringListModel>(QStringList{"1", "2", "3"});
    VCurve curve;
    curve.setModel(model.get());
    QObject notAModel;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("must be an item model"));
    curve.setModel(&notAModel);
    QCOMPARE(curve.model(), nullptr);
    QCOMPARE(curve.count(), 0);
    QVERIFY(curve.empty());
    QVERIFY(curve.points(m_plot).isEmpty());

    // A model that goes away leaves the curve without one.
    curve.setModel(model.get());
    QCOMPARE(curve.count(), 3);
    QSignalSpy countChanged(&curve, &VCurve::countChanged);
    model.reset();
    QCOMPARE(curve.model(), nullptr);
    QCOMPARE(countChanged.size(), 1);
    QVERIFY(curve.points(m_plot).isEmpty());
}

void tst_VCurve::clearingCurvesDeletesThem()
{
    VPlot plot;
    QQmlListProperty<VCurve> curves = plot.curves();
    QPointer<VCurve> first = new VCurve;
    QPointer<VCurve> second = new VCurve;
    curves.append(&curves, first);
    curves.append(&curves, second);
    QCOMPARE(curves.count(&curves), 2);
    QSignalSpy changed(&plot, &VPlot::curvesChanged);

    curves.clear(&curves);
    QCOMPARE(curves.count(&curves), 0);
    QCOMPARE(changed.size(), 1);
    // What is put back at once, as a whole-list assignment from QML does, stays.
    curves.append(&curves, second);
    QTRY_VERIFY(!first);
    QVERIFY(second);
    QCOMPARE(curves.at(&curves, 0), second.data());

    // A curve deleted elsewhere leaves the list.
    delete second.data();
    QCOMPARE(curves.count(&curves), 0);
}

void tst_VCurve::changedRowsReadAgain_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<Points>("expected");
    // Values read for the points after the change; the three rows before it were read once.
    QTest::addColumn<int>("reads");

    QTest::newRow("rows appended: only they are read")
        << "append" << Points{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}} << 2;
    QTest::newRow("rows inserted in front") << "prepend" << Points{{0, 9}, {1, 1}, {2, 2}, {3, 3}}
                                            << 4;
    QTest::newRow("a row removed") << "remove" << Points{{0, 2}, {1, 3}} << 2;
    QTest::newRow("a value changed") << "change" << Points{{0, 1}, {1, 7}, {2, 3}} << 3;
    QTest::newRow("a reset") << "reset" << Points{{0, 6}, {1, 5}} << 2;
    QTest::newRow("another time base") << "zero" << Points{{0, 1}, {1, 2}, {2, 3}} << 3;
    QTest::newRow("nothing changed") << "none" << Points{{0, 1}, {1, 2}, {2, 3}} << 0;
}

// The points read are kept while rows are only added at the end, so that a curve growing
// answer by answer does not read its whole model at every picture; any other change reads it
// again.
void tst_VCurve::changedRowsReadAgain()
{
    QFETCH(QString, change);
    QFETCH(Points, expected);
    QFETCH(int, reads);

    CountingModel model({"1", "2", "3"});
    VCurve curve;
    curve.setModel(&model);
    QCOMPARE(curve.points(m_plot), (Points{{0, 1}, {1, 2}, {2, 3}}));
    QCOMPARE(model.reads, 3);
    model.reads = 0;
    if (change == "append") {
        model.appendRow(new QStandardItem("4"));
        model.appendRow(new QStandardItem("5"));
    } else if (change == "prepend") {
        model.insertRow(0, new QStandardItem("9"));
    } else if (change == "remove") {
        model.removeRows(0, 1);
    } else if (change == "change") {
        model.item(1)->setText("7");
    } else if (change == "reset") {
        model.clear();
        model.appendRow(new QStandardItem("6"));
        model.appendRow(new QStandardItem("5"));
    } else if (change == "zero") {
        m_plot.setZeroTime(m_plot.zeroTime().addSecs(60));
    }
    QCOMPARE(curve.points(m_plot), expected);
    QCOMPARE(model.reads, reads);
}

QTEST_MAIN(tst_VCurve)
#include "tst_vcurve.moc"
