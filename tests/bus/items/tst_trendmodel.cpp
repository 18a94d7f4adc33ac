#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbustrendmodel.h"
#include "modbusuint16.h"
#include "simulatedinstrument.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// A fixed local wall-clock moment, seconds after it.
QDateTime at(int seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(10, 0)).addSecs(seconds);
}

QList<int> secondsOf(const TrendModelBase &model)
{
    QList<int> result;
    for (int row = 0; row < model.count(); ++row)
        result.append(int(at(0).secsTo(model.data(model.index(row, 0), 33).toDateTime())));
    return result;
}

QList<double> valuesOf(const TrendModelBase &model)
{
    QList<double> result;
    for (int row = 0; row < model.count(); ++row)
        result.append(model.getValue(row));
    return result;
}

void addSeconds(TrendModelBase &model, const QList<int> &seconds)
{
    for (int s : seconds)
        model.addValue(at(s), s);
}

ModbusBytes hex(const char *text)
{
    return ModbusBytes(QByteArray::fromHex(text));
}

} // namespace

// The trend models as charts and lists use them: row order, the bound, the ratio, the current
// time, labels, row removal, and the three feeds of the register item model (item reads, a bound
// value and the sampling timer), each under Qt's model tester.
class tst_TrendModel : public QObject
{
    Q_OBJECT

private slots:
    void rolesAndColumns();
    void ordering_data();
    void ordering();
    void maxCount_data();
    void maxCount();
    void lowerMaxCountTrimsTheOldest();
    void ratio();
    void currentTime();
    void labels_data();
    void labels();
    void emptyModel();
    void minAndMaxValues();
    void removeRows_data();
    void removeRows();
    void clear();

    void sourceValue_data();
    void sourceValue();
    void initializingAddsNothing();
    void samplingTimer();
    void itemTrendImport_data();
    void itemTrendImport();
    void objectThatIsNoItem();
    void itemReadsFromTheInstrument();
};

void tst_TrendModel::rolesAndColumns()
{
    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QHash<int, QByteArray> roles{{33, "time"}, {0, "value"}};
    QCOMPARE(model.roleNames(), roles);
    QCOMPARE(model.columnCount(), 2);
    model.addValue(at(0), 4.0);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QCOMPARE(model.data(model.index(0, 1), 0), QVariant(4.0));
    QCOMPARE(model.data(model.index(0, 1), 33), QVariant(at(0)));
    QVERIFY(!model.data(model.index(0, 0), Qt::UserRole).isValid());
}

void tst_TrendModel::ordering_data()
{
    QTest::addColumn<QList<int>>("seconds");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<double>>("expected");

    QTest::newRow("10:00, 10:02, 10:01")
        << QList<int>{0, 120, 60} << QList<double>{1, 2, 3} << QList<double>{1, 3, 2};
    QTest::newRow("same time goes after the existing row")
        << QList<int>{0, 60, 120, 60} << QList<double>{1, 2, 3, 4} << QList<double>{1, 2, 4, 3};
    QTest::newRow("older than every row goes first")
        << QList<int>{60, 120, 0} << QList<double>{1, 2, 3} << QList<double>{3, 1, 2};
}

void tst_TrendModel::ordering()
{
    QFETCH(QList<int>, seconds);
    QFETCH(QList<double>, values);
    QFETCH(QList<double>, expected);

    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy countChanged(&model, &TrendModelBase::countChanged);
    for (int i = 0; i < seconds.size(); ++i)
        model.addValue(at(seconds.at(i)), values.at(i));

    QCOMPARE(valuesOf(model), expected);
    QCOMPARE(inserted.size(), seconds.size());
    QCOMPARE(countChanged.size(), seconds.size());
    QCOMPARE(model.property("count").toInt(), seconds.size());
}

void tst_TrendModel::maxCount_data()
{
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<QList<int>>("added");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("3, the newest stay") << 3 << QList<int>{1, 2, 3, 4} << QList<int>{2, 3, 4};
    QTest::newRow("3, an older row is kept all the same")
        << 3 << QList<int>{2, 3, 4, 0} << QList<int>{0, 3, 4};
    QTest::newRow("1, only the last addition") << 1 << QList<int>{5, 1} << QList<int>{1};
    QTest::newRow("0 does not bound additions") << 0 << QList<int>{1, 2, 3} << QList<int>{1, 2, 3};
    QTest::newRow("negative never removes")
        << -5 << QList<int>{1, 2, 3, 4, 5} << QList<int>{1, 2, 3, 4, 5};
}

void tst_TrendModel::maxCount()
{
    QFETCH(int, maxCount);
    QFETCH(QList<int>, added);
    QFETCH(QList<int>, expected);

    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setMaxCount(maxCount);
    addSeconds(model, added);

    QCOMPARE(secondsOf(model), expected);
    QCOMPARE(model.count(), expected.size());
}

void tst_TrendModel::lowerMaxCountTrimsTheOldest()
{
    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addSeconds(model, {1, 2, 3, 4, 5});
    QSignalSpy maxCountChanged(&model, &TrendModelBase::maxCountChanged);
    QSignalSpy countChanged(&model, &TrendModelBase::countChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    model.setMaxCount(2);
    QCOMPARE(secondsOf(model), (QList<int>{4, 5}));
    QCOMPARE(maxCountChanged.size(), 1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 2);
    // `count` changed, so bindings on it hear of it.
    QCOMPARE(countChanged.size(), 1);

    model.setMaxCount(2);
    QCOMPARE(maxCountChanged.size(), 1);

    model.setMaxCount(0);
    QCOMPARE(model.count(), 0);
    QCOMPARE(countChanged.size(), 2);
}

void tst_TrendModel::ratio()
{
    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.addValue(at(0), 10.0);
    model.addValue(at(1), 4.0);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy ratioChanged(&model, &TrendModelBase::ratioChanged);

    model.setRatio(0.5);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(ratioChanged.size(), 1);
    QCOMPARE(ratioChanged.at(0).at(0).toDouble(), 0.5);
    QCOMPARE(model.data(model.index(0, 0), 0).toDouble(), 5.0);
    QCOMPARE(model.data(model.index(1, 0), 0).toDouble(), 2.0);
    QDateTime time;
    double value = 0;
    QVERIFY(model.getRow(0, time, value));
    QCOMPARE(value, 10.0);
    QCOMPARE(time, at(0));
    QCOMPARE(model.getValue(0), 10.0);
    QCOMPARE(model.getMaxYValue(), 10.0);
    QCOMPARE(model.getMinYValue(), 4.0);

    model.setRatio(0.5);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(ratioChanged.size(), 1);

    // A NaN never equals the stored one.
    model.setRatio(std::numeric_limits<double>::quiet_NaN());
    model.setRatio(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(reset.size(), 3);
    QCOMPARE(ratioChanged.size(), 3);
}

void tst_TrendModel::currentTime()
{
    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QDateTime constructed = model.currentTime();
    QSignalSpy changed(&model, &TrendModelBase::currentTimeChanged);

    QTest::qWait(20);
    const QDateTime before = QDateTime::currentDateTime();
    model.addValue(1.0);
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(model.getMaxXValue() >= before && model.getMaxXValue() <= after);

    // Setting the stored value again signals nothing, yet from now on it is the rows' time.
    model.setCurrentTime(constructed);
    QCOMPARE(changed.size(), 0);
    model.addValue(2.0);
    QCOMPARE(model.getMinXValue(), constructed);
    QCOMPARE(model.getValue(0), 2.0);

    model.setCurrentTime(at(0));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toDateTime(), at(0));
    QTest::qWait(20);
    model.addValue(3.0);
    model.addValue(4.0);
    QCOMPARE(model.data(model.index(0, 0), 33).toDateTime(), at(0));
    QCOMPARE(model.data(model.index(1, 0), 33).toDateTime(), at(0));
    QCOMPARE(valuesOf(model), (QList<double>{3, 4, 2, 1}));
}

void tst_TrendModel::labels_data()
{
    QTest::addColumn<QVariant>("label");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    QTest::addColumn<QString>("warning");

    QTest::newRow("date-time") << QVariant(at(30)) << at(30) << QString();
    QTest::newRow("ISO 8601 text") << QVariant("2024-03-01T10:00:45") << at(45) << QString();
    QTest::newRow("ISO 8601 text with milliseconds")
        << QVariant("2024-03-01T10:00:45.250") << at(45).addMSecs(250) << QString();
    QTest::newRow("date") << QVariant(QDate(2024, 3, 1)) << QDate(2024, 3, 1).startOfDay()
                          << QString();
    QTest::newRow("text that is no date-time")
        << QVariant("tomorrow") << QDateTime() << "can't convert label 'tomorrow' to datetime";
    QTest::newRow("invalid date-time")
        << QVariant(QDateTime()) << QDateTime() << "can't convert label '' to datetime";
    QTest::newRow("number") << QVariant(42) << QDateTime()
                            << "can't convert label '42' to datetime";
    QTest::newRow("list") << QVariant(QVariantList{1, 2}) << QDateTime()
                          << "can't convert label '' to datetime";
}

void tst_TrendModel::labels()
{
    QFETCH(QVariant, label);
    QFETCH(QDateTime, expected);
    QFETCH(QString, warning);

    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    model.addValue(label, 7.0);

    if (!expected.isValid()) {
        QCOMPARE(model.count(), 0);
        return;
    }
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.getMinXValue(), expected);
    QCOMPARE(model.getValue(0), 7.0);
}

void tst_TrendModel::emptyModel()
{
    TrendModelBase model;
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0);
    QCOMPARE(model.getMinXValue(), epoch);
    QCOMPARE(model.getMaxXValue(), epoch);
    QCOMPARE(model.getMinYValue(), 0.0);
    QCOMPARE(model.getMaxYValue(), 0.0);
    QCOMPARE(model.getValue(0), 0.0);

    QDateTime time = at(5);
    double value = 9.0;
    QVERIFY(!model.getRow(0, time, value));
    QCOMPARE(time, at(5));
    QCOMPARE(value, 9.0);

    model.addValue(at(0), 1.0);
    QVERIFY(!model.getRow(1, time, value));
    QVERIFY(!model.getRow(-1, time, value));
    QCOMPARE(model.getValue(-1), 0.0);
    QVERIFY(!model.data(model.index(1, 0), 0).isValid());
}

void tst_TrendModel::minAndMaxValues()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TrendModelBase model;
    model.addValue(at(0), 3.0);
    model.addValue(at(1), nan);
    model.addValue(at(2), -2.0);
    model.addValue(at(3), 8.0);
    QCOMPARE(model.getMinXValue(), at(0));
    QCOMPARE(model.getMaxXValue(), at(3));
    QCOMPARE(model.getMinYValue(), -2.0);
    QCOMPARE(model.getMaxYValue(), 8.0);

    // A NaN in front stays the result: nothing compares with it.
    model.addValue(at(-1), nan);
    QVERIFY(std::isnan(model.getMinYValue()));
    QVERIFY(std::isnan(model.getMaxYValue()));
}

void tst_TrendModel::removeRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<int>>("left");

    QTest::newRow("3, 10: cut at the end") << 3 << 10 << true << QList<int>{0, 1, 2};
    QTest::newRow("1, 2") << 1 << 2 << true << QList<int>{0, 3, 4};
    QTest::newRow("0, 5: all") << 0 << 5 << true << QList<int>{};
    QTest::newRow("5, 1: past the end") << 5 << 1 << false << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("0, 0") << 0 << 0 << false << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("negative count") << 0 << -1 << false << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("negative row") << -1 << 2 << false << QList<int>{0, 1, 2, 3, 4};
}

void tst_TrendModel::removeRows()
{
    QFETCH(int, row);
    QFETCH(int, count);
    QFETCH(bool, result);
    QFETCH(QList<int>, left);

    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addSeconds(model, {0, 1, 2, 3, 4});
    QSignalSpy countChanged(&model, &TrendModelBase::countChanged);

    QCOMPARE(model.removeRows(row, count), result);
    QCOMPARE(secondsOf(model), left);
    QCOMPARE(countChanged.size(), result ? 1 : 0);
}

void tst_TrendModel::clear()
{
    TrendModelBase model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addSeconds(model, {0, 1});
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy countChanged(&model, &TrendModelBase::countChanged);

    model.clear();
    QCOMPARE(model.count(), 0);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(countChanged.size(), 1);
}

void tst_TrendModel::sourceValue_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("rows");

    QTest::newRow("enabled, not running") << true << false << 3;
    QTest::newRow("disabled") << false << false << 0;
    QTest::newRow("running: the timer samples instead") << true << true << 0;
}

void tst_TrendModel::sourceValue()
{
    QFETCH(bool, enabled);
    QFETCH(bool, running);
    QFETCH(int, rows);

    ModbusTrendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setEnabled(enabled);
    // A long period: no sample is taken during the test.
    model.setInterval(60000);
    model.setRunning(running);
    QSignalSpy changed(&model, &ModbusTrendModel::sourceValueChanged);

    model.setSourceValue(2.5);
    model.setSourceValue(2.5); // the same value again still adds a row
    model.setSourceValue(-1.0);

    QCOMPARE(model.count(), rows);
    if (rows)
        QCOMPARE(valuesOf(model), (QList<double>{2.5, 2.5, -1.0}));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(model.sourceValue(), -1.0);

    // A NaN is never equal to the stored value. No rows here: the model tester cannot compare a
    // NaN row with itself.
    model.setEnabled(false);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    model.setSourceValue(nan);
    model.setSourceValue(nan);
    QCOMPARE(changed.size(), 4);
}

void tst_TrendModel::initializingAddsNothing()
{
    ModbusTrendModel model;
    model.classBegin();
    model.setInterval(20);
    model.setRunning(true);
    QCOMPARE(model.timerId(), 0);
    model.setRunning(false);
    model.setSourceValue(3.0);
    model.setRunning(true);
    QCOMPARE(model.count(), 0);
    QCOMPARE(model.sourceValue(), 3.0);

    model.componentComplete();
    QVERIFY(model.timerId() != 0);
    QTRY_VERIFY_WITH_TIMEOUT(model.count() >= 1, 5000);
    QCOMPARE(model.getValue(0), 3.0);
}

void tst_TrendModel::samplingTimer()
{
    ModbusTrendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy runningChanged(&model, &ModbusTrendModel::runningChanged);
    QSignalSpy intervalChanged(&model, &ModbusTrendModel::intervalChanged);
    QCOMPARE(model.interval(), 1000);
    QCOMPARE(model.timerId(), 0);

    model.setInterval(0);
    model.setRunning(true);
    QCOMPARE(model.timerId(), 0);

    // The timer samples even with the other feeds switched off.
    model.setEnabled(false);
    model.setSourceValue(6.0);
    model.setInterval(20);
    QVERIFY(model.timerId() != 0);
    QTRY_VERIFY_WITH_TIMEOUT(model.count() >= 2, 5000);
    QCOMPARE(model.getValue(0), 6.0);
    QVERIFY(model.getMinXValue() <= model.getMaxXValue());

    model.setRunning(false);
    QCOMPARE(model.timerId(), 0);
    model.updateTimer();
    QCOMPARE(model.timerId(), 0);
    const int rows = model.count();
    QTest::qWait(80);
    QCOMPARE(model.count(), rows);
    QCOMPARE(runningChanged.size(), 2);
    QCOMPARE(intervalChanged.size(), 2);
    QCOMPARE(intervalChanged.at(1).at(0).toInt(), 20);
}

void tst_TrendModel::itemTrendImport_data()
{
    QTest::addColumn<bool>("useItemBuffer");

    QTest::newRow("item buffer taken over") << true;
    QTest::newRow("item buffer left alone") << false;
}

void tst_TrendModel::itemTrendImport()
{
    QFETCH(bool, useItemBuffer);

    ModbusUInt16 item(400001);
    item.setMaxTrendSize(3);
    // Given out of order: the item keeps its trend ordered.
    item.insertBytesToTrend(at(20), ModbusBytesArray(hex("0014"), 0, -1));
    item.insertBytesToTrend(at(0), ModbusBytesArray(hex("0000"), 0, -1));
    item.insertBytesToTrend(at(10), ModbusBytesArray(hex("000a"), 0, -1));
    QCOMPARE(item.trendSize(), 3);

    ModbusTrendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setUseItemBuffer(useItemBuffer);
    model.addValue(at(15), 99.0); // rows already there stay
    QStringList order;
    connect(&model, &TrendModelBase::countChanged, this, [&] { order << "countChanged"; });
    connect(&model, &ModbusTrendModel::itemChanged, this, [&] { order << "itemChanged"; });

    model.setItem(&item);
    QCOMPARE(model.item(), &item);
    if (useItemBuffer) {
        QCOMPARE(order,
                 (QStringList{"countChanged", "countChanged", "countChanged", "itemChanged"}));
        QCOMPARE(secondsOf(model), (QList<int>{0, 10, 15, 20}));
        QCOMPARE(valuesOf(model), (QList<double>{0, 10, 99, 20}));
    } else {
        QCOMPARE(order, QStringList{"itemChanged"});
        QCOMPARE(model.count(), 1);
    }

    // Explicitly, at any time.
    order.clear();
    model.setUseItemBuffer(true);
    model.appendItemBufferValues();
    QCOMPARE(model.count(), useItemBuffer ? 7 : 4);
    QCOMPARE(order.size(), 3);
}

void tst_TrendModel::objectThatIsNoItem()
{
    ModbusTrendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy itemChanged(&model, &ModbusTrendModel::itemChanged);
    auto object = std::make_unique<QObject>();

    model.setItem(object.get());
    model.setItem(object.get());
    QCOMPARE(itemChanged.size(), 1);
    model.appendItemBufferValues();
    model.appendItemVariantValue(at(0));
    QCOMPARE(model.count(), 0);

    // Its destruction takes it away.
    object.reset();
    QCOMPARE(model.item(), nullptr);
    QCOMPARE(itemChanged.size(), 2);
    model.setItem(nullptr);
    QCOMPARE(itemChanged.size(), 2);
}

void tst_TrendModel::itemReadsFromTheInstrument()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());
    auto item = std::make_unique<ModbusUInt16>(400010);
    item->setClient(&client);
    item->setMaxTrendSize(10);

    ModbusTrendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setItem(item.get());
    QCOMPARE(model.count(), 0);

    const QDateTime before = QDateTime::currentDateTime();
    for (quint16 value : {5, 7, 65535}) {
        instrument.setRegisters(400010, ModbusBytes::fromUInt16(value));
        const quint64 reads = item->readCount();
        QVERIFY(item->read());
        QTRY_COMPARE_WITH_TIMEOUT(item->readCount(), reads + 1, 10000);
    }
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(valuesOf(model), (QList<double>{5, 7, 65535}));
    QVERIFY(model.getMinXValue() >= before);
    QVERIFY(model.getMaxXValue() <= after);

    // Switched off, reads add nothing; a later model takes the item's own trend of them.
    model.setEnabled(false);
    QVERIFY(item->read());
    QTRY_COMPARE_WITH_TIMEOUT(item->readCount(), quint64(4), 10000);
    QCOMPARE(model.count(), 3);
    ModbusTrendModel later;
    later.setItem(item.get());
    QCOMPARE(valuesOf(later), (QList<double>{5, 7, 65535, 65535}));

    // Once destroyed, the item is dropped; its rows stay.
    item.reset();
    QCOMPARE(model.item(), nullptr);
    QCOMPARE(later.item(), nullptr);
    QCOMPARE(model.count(), 3);
}

QTEST_MAIN(tst_TrendModel)

#include "tst_trendmodel.moc"
