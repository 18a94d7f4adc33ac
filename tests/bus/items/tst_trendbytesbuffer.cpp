#include "dorrikbus.h"
#include "trendbytesbuffer.h"

#include <QTest>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

ModbusBytesArray elements(std::initializer_list<const char *> texts)
{
    ModbusBytesArray array;
    for (const char *text : texts)
        array.append(hex(text));
    return array;
}

// 2024-01-15 10:00:00 of the instrument's clock, counted as if it were UTC.
const unsigned int tenOClock = 1705312800u;

} // namespace

Q_DECLARE_METATYPE(TrendBytesItem)

class tst_TrendBytesBuffer : public QObject
{
    Q_OBJECT

private slots:
    void emptyBuffer();
    void oneSampleIsMinimumAndMaximum();
    void labelRoundTrip_data();
    void labelRoundTrip();
    void labelOfTimesBeyondTheRange_data();
    void labelOfTimesBeyondTheRange();
    void sampleEquality_data();
    void sampleEquality();
    void sharedListsAreEqual();
    void lookupsFindTheOldestMatch();
    void lookupsMissing();
    void copiesAreIndependent();
};

void tst_TrendBytesBuffer::emptyBuffer()
{
    const TrendBytesBuffer buffer;
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0);
    QCOMPARE(buffer.indexOf(0u), -1);
    QCOMPARE(buffer.indexOf(epoch), -1);
    QCOMPARE(buffer.minIndexLabel(), 0u);
    QCOMPARE(buffer.maxIndexLabel(), 0u);
    QCOMPARE(buffer.minTimeLabel(), epoch);
    QCOMPARE(buffer.maxTimeLabel(), epoch);
    QCOMPARE(buffer.maxTimeLabel().timeSpec(), Qt::LocalTime);
}

void tst_TrendBytesBuffer::oneSampleIsMinimumAndMaximum()
{
    TrendBytesBuffer buffer;
    buffer.append(TrendBytesItem(tenOClock, hex("0102")));
    QCOMPARE(buffer.minIndexLabel(), tenOClock);
    QCOMPARE(buffer.maxIndexLabel(), tenOClock);
    QCOMPARE(buffer.minTimeLabel(), DorrikBus::archLabelToTime(tenOClock));
    QCOMPARE(buffer.maxTimeLabel(), DorrikBus::archLabelToTime(tenOClock));

    buffer.append(TrendBytesItem(tenOClock + 60, hex("0304")));
    QCOMPARE(buffer.minIndexLabel(), tenOClock);
    QCOMPARE(buffer.maxIndexLabel(), tenOClock + 60);
    QCOMPARE(buffer.maxTimeLabel(), DorrikBus::archLabelToTime(tenOClock + 60));
}

void tst_TrendBytesBuffer::labelRoundTrip_data()
{
    QTest::addColumn<unsigned int>("label");
    QTest::newRow("epoch") << 0u;
    QTest::newRow("winter morning") << tenOClock;
    // Wall-clock readings that a zone with summer time skips or repeats: the label holds no
    // zone, so both still convert back unchanged.
    QTest::newRow("inside the spring gap, 2024-03-31 02:30") << 1711852200u;
    QTest::newRow("inside the autumn repeat, 2024-10-27 02:30") << 1729996200u;
    QTest::newRow("last label") << 0xFFFFFFFEu;
}

void tst_TrendBytesBuffer::labelRoundTrip()
{
    QFETCH(unsigned int, label);
    const TrendBytesItem sample(label, elements({"00ff"}));
    QCOMPARE(sample.labelInSeconds(), label);

    TrendBytesBuffer buffer;
    buffer.append(TrendBytesItem(tenOClock - 3600, hex("01")));
    buffer.append(sample);
    QCOMPARE(buffer.indexOf(label), 1);
    QCOMPARE(buffer.indexOf(sample.time), 1);
}

void tst_TrendBytesBuffer::labelOfTimesBeyondTheRange_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("invalid") << QDateTime();
    QTest::newRow("1969-12-31 23:59:59")
        << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::LocalTime);
    QTest::newRow("1900-01-01") << QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::LocalTime);
}

void tst_TrendBytesBuffer::labelOfTimesBeyondTheRange()
{
    QFETCH(QDateTime, time);
    QCOMPARE(TrendBytesItem(time, ModbusBytes()).labelInSeconds(), 4294967295u);
}

void tst_TrendBytesBuffer::sampleEquality_data()
{
    QTest::addColumn<TrendBytesItem>("a");
    QTest::addColumn<TrendBytesItem>("b");
    QTest::addColumn<bool>("equal");

    const QDateTime t = DorrikBus::archLabelToTime(tenOClock);
    QTest::newRow("same time, same elements")
        << TrendBytesItem(t, elements({"0001", "0002"}))
        << TrendBytesItem(tenOClock, elements({"0001", "0002"})) << true;
    QTest::newRow("same elements in another order")
        << TrendBytesItem(t, elements({"0001", "0002"}))
        << TrendBytesItem(t, elements({"0002", "0001"})) << false;
    QTest::newRow("other time, same bytes")
        << TrendBytesItem(t, hex("0001")) << TrendBytesItem(t.addSecs(1), hex("0001")) << false;
    QTest::newRow("one element differs in length")
        << TrendBytesItem(t, elements({"0001", "00"})) << TrendBytesItem(t, elements({"0001", ""}))
        << false;
    QTest::newRow("more elements") << TrendBytesItem(t, elements({"0001"}))
                                   << TrendBytesItem(t, elements({"0001", "0001"})) << false;
    // The byte-sequence constructor always makes one element, even of nothing.
    QTest::newRow("empty bytes against an empty list")
        << TrendBytesItem(t, ModbusBytes()) << TrendBytesItem(t, ModbusBytesArray()) << false;
    QTest::newRow("empty bytes against one empty element")
        << TrendBytesItem(tenOClock, ModbusBytes()) << TrendBytesItem(t, elements({""})) << true;
    QTest::newRow("only the first element differs")
        << TrendBytesItem(t, elements({"0001", "0002", "0003"}))
        << TrendBytesItem(t, elements({"00ff", "0002", "0003"})) << false;
}

void tst_TrendBytesBuffer::sampleEquality()
{
    QFETCH(TrendBytesItem, a);
    QFETCH(TrendBytesItem, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
    QCOMPARE(a != b, !equal);
}

void tst_TrendBytesBuffer::sharedListsAreEqual()
{
    const QDateTime t = DorrikBus::archLabelToTime(tenOClock);
    const ModbusBytesArray list = elements({"0102", "0304"});
    const TrendBytesItem a(t, list);
    const TrendBytesItem b(t, list);
    QVERIFY(a.bytes.isSharedWith(b.bytes));
    QVERIFY(a == b);
    QCOMPARE(TrendBytesItem(t, list).bytes.size(), 2);
}

void tst_TrendBytesBuffer::lookupsFindTheOldestMatch()
{
    TrendBytesBuffer buffer;
    for (unsigned int i = 0; i < 7; ++i)
        buffer.append(TrendBytesItem(tenOClock + 60 * i, hex("00")));
    const QDateTime repeated = DorrikBus::archLabelToTime(tenOClock + 600);
    buffer[2].time = repeated;
    buffer[5].time = repeated;

    QCOMPARE(buffer.indexOf(repeated), 2);
    QCOMPARE(buffer.indexOf(tenOClock + 600), 2);
    QCOMPARE(buffer.indexOf(tenOClock), 0);
    QCOMPARE(buffer.indexOf(tenOClock + 360), 6);
}

void tst_TrendBytesBuffer::lookupsMissing()
{
    TrendBytesBuffer buffer;
    buffer.append(TrendBytesItem(tenOClock, hex("00")));
    buffer.append(TrendBytesItem(tenOClock + 120, hex("00")));
    QCOMPARE(buffer.indexOf(tenOClock + 60), -1);
    QCOMPARE(buffer.indexOf(DorrikBus::archLabelToTime(tenOClock + 60)), -1);
    // Times compare as instants: the same instant in UTC is found, another reading is not.
    const QDateTime first = buffer.first().time;
    QCOMPARE(buffer.indexOf(first.toUTC()), 0);
    QCOMPARE(buffer.indexOf(first.addMSecs(1)), -1);
}

void tst_TrendBytesBuffer::copiesAreIndependent()
{
    TrendBytesBuffer buffer;
    buffer.append(TrendBytesItem(tenOClock, hex("0001")));
    TrendBytesBuffer copy = buffer;
    copy[0].bytes[0] = hex("00ff");
    copy.append(TrendBytesItem(tenOClock + 60, hex("0002")));
    QCOMPARE(buffer.size(), 1);
    QCOMPARE(buffer.first().bytes.first(), hex("0001"));
    QCOMPARE(copy.first().bytes.first(), hex("00ff"));
}

QTEST_GUILESS_MAIN(tst_TrendBytesBuffer)
#include "tst_trendbytesbuffer.moc"
