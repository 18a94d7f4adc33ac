#include "dorrikbus.h"

#include <QtTest>

class tst_DorrikBus : public QObject
{
    Q_OBJECT
private slots:
    void archLabelRoundTrip_data();
    void archLabelRoundTrip();
};

void tst_DorrikBus::archLabelRoundTrip_data()
{
    QTest::addColumn<uint>("label");
    QTest::addColumn<QString>("reading");
    QTest::newRow("epoch") << 0u << "1970-01-01T00:00:00";
    QTest::newRow("2024-01-01") << 1704067200u << "2024-01-01T00:00:00";
}

void tst_DorrikBus::archLabelRoundTrip()
{
    QFETCH(uint, label);
    QFETCH(QString, reading);
    const QDateTime t = DorrikBus::archLabelToTime(label);
    QCOMPARE(t.toString(Qt::ISODate), reading);
    QCOMPARE(DorrikBus::archLabelToSeconds(t), label);
}

QTEST_GUILESS_MAIN(tst_DorrikBus)
#include "tst_dorrikbus.moc"
