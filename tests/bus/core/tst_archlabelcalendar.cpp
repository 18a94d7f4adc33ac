#include "dorrikbus.h"

#include <QtTest>

#include <limits>

// Runs under TZ=UTC and TZ=Europe/Berlin: labels are wall-clock readings and must behave the same
// in both zones, also on the two 2024 DST days in Berlin (31 March: 02:00-02:59 does not exist
// locally; 27 October: 02:00-02:59 happens twice).

namespace {

const QString readingFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString readingFormatMs = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// "yyyy-MM-dd hh:mm:ss[.zzz]" as a UTC date-time with that clock reading.
QDateTime utcOf(const QString &reading)
{
    return QDateTime(QDate::fromString(reading.left(10), Qt::ISODate),
                     QTime::fromString(reading.mid(11), Qt::ISODate), Qt::UTC);
}

qint64 secondsOf(const QString &reading)
{
    return utcOf(reading).toSecsSinceEpoch();
}

// The label of a reading, 0xFFFFFFFF where 32 bits do not hold it.
unsigned int labelOf(const QString &reading)
{
    const qint64 s = secondsOf(reading);
    return (s < 0 || s > 0xFFFFFFFE) ? 0xFFFFFFFFu : unsigned(s);
}

bool inLabelRange(const QString &reading)
{
    const qint64 s = secondsOf(reading);
    return s >= 0 && s <= 0xFFFFFFFE;
}

// The date-time a caller holds for a reading: from the label where there is one, otherwise a
// local date-time with that reading.
QDateTime timeOf(const QString &reading)
{
    if (inLabelRange(reading))
        return DorrikBus::archLabelToTime(unsigned(secondsOf(reading)));
    const QDateTime utc = utcOf(reading);
    return QDateTime(utc.date(), utc.time(), Qt::LocalTime);
}

QDateTime readingAsUtc(const QDateTime &t)
{
    return QDateTime(t.date(), t.time(), Qt::UTC);
}

// The counting rule written as the plain loop: the first reading, then each step while it stays
// in range and not after the end.
int countBySteps(const QDateTime &from, const QDateTime &to, DorrikBus::ArchInterval interval)
{
    int count = 0;
    bool ok = true;
    for (QDateTime current = from; ok && readingAsUtc(current) <= readingAsUtc(to);) {
        ++count;
        current = DorrikBus::getNextTimeLabel(current, interval, &ok, 1);
    }
    return count;
}

} // namespace

class tst_ArchLabelCalendar : public QObject
{
    Q_OBJECT
private slots:
    void labelToTime_data();
    void labelToTime();
    void everyHourRoundTrips();
    void labelOfDateTime_data();
    void labelOfDateTime();
    void dstDay_data();
    void dstDay();
    void timeStep_data();
    void timeStep();
    void extremeSteps_data();
    void extremeSteps();
    void indexStep_data();
    void indexStep();
    void unknownInterval();
    void labelsBetween_data();
    void labelsBetween();
    void indexLabelsBetween_data();
    void indexLabelsBetween();
    void normalize_data();
    void normalize();
    void variantLabel_data();
    void variantLabel();
    void intLabel_data();
    void intLabel();
};

void tst_ArchLabelCalendar::labelToTime_data()
{
    QTest::addColumn<uint>("label");
    QTest::addColumn<QString>("reading");

    QTest::newRow("0") << 0u << "1970-01-01 00:00:00";
    QTest::newRow("2024-01-01") << 1704067200u << "2024-01-01 00:00:00";
    QTest::newRow("Berlin gap 02:00") << 1711850400u << "2024-03-31 02:00:00";
    QTest::newRow("Berlin gap 02:30") << 1711852200u << "2024-03-31 02:30:00";
    QTest::newRow("Berlin gap 02:59:59") << 1711853999u << "2024-03-31 02:59:59";
    QTest::newRow("Berlin twice 02:30") << 1729996200u << "2024-10-27 02:30:00";
    QTest::newRow("2^31") << 2147483648u << "2038-01-19 03:14:08";
    QTest::newRow("last valid") << 3155759999u << "2069-12-31 23:59:59";
    QTest::newRow("0xFFFFFFFE") << 0xFFFFFFFEu << "2106-02-07 06:28:14";
}

void tst_ArchLabelCalendar::labelToTime()
{
    QFETCH(uint, label);
    QFETCH(QString, reading);

    const QDateTime t = DorrikBus::archLabelToTime(label);
    QVERIFY(t.isValid());
    QCOMPARE(t.toString(readingFormat), reading);
    QCOMPARE(DorrikBus::archLabelToSeconds(t), label);
}

void tst_ArchLabelCalendar::everyHourRoundTrips()
{
    // Every hour and half hour of the valid range, which includes every DST change of the zone.
    for (qint64 label = 0; label <= 3155759999; label += 1800) {
        const QDateTime t = DorrikBus::archLabelToTime(unsigned(label));
        if (!t.isValid() || DorrikBus::archLabelToSeconds(t) != label)
            QFAIL(qPrintable(QStringLiteral("label %1 reads %2 and returns %3")
                                 .arg(label)
                                 .arg(t.toString(readingFormat))
                                 .arg(DorrikBus::archLabelToSeconds(t))));
    }
}

void tst_ArchLabelCalendar::labelOfDateTime_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<uint>("label");

    const QDate newYear(2024, 1, 1);
    QTest::newRow("invalid") << QDateTime() << 0xFFFFFFFFu;
    QTest::newRow("local reading") << QDateTime(newYear, QTime(0, 0), Qt::LocalTime) << 1704067200u;
    QTest::newRow("UTC reading") << QDateTime(newYear, QTime(0, 0), Qt::UTC) << 1704067200u;
    QTest::newRow("+05:00 reading")
        << QDateTime(newYear, QTime(0, 0), Qt::OffsetFromUTC, 5 * 3600) << 1704067200u;
    // Qt 6.4 makes this invalid in Berlin, but its reading is a label like any other.
    QTest::newRow("local reading in the Berlin gap")
        << QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::LocalTime) << 1711852200u;
    QTest::newRow("milliseconds dropped")
        << QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0, 999), Qt::UTC) << 0u;
    QTest::newRow("half a second before 1970")
        << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59, 500), Qt::UTC) << 0xFFFFFFFFu;
    QTest::newRow("1969") << QDateTime(QDate(1969, 6, 1), QTime(0, 0), Qt::UTC) << 0xFFFFFFFFu;
    QTest::newRow("last 32-bit second")
        << QDateTime(QDate(2106, 2, 7), QTime(6, 28, 15), Qt::UTC) << 0xFFFFFFFFu;
    QTest::newRow("beyond 32 bits")
        << QDateTime(QDate(2106, 2, 7), QTime(6, 28, 16), Qt::UTC) << 0xFFFFFFFFu;
}

void tst_ArchLabelCalendar::labelOfDateTime()
{
    QFETCH(QDateTime, time);
    QFETCH(uint, label);
    QCOMPARE(DorrikBus::archLabelToSeconds(time), label);
}

void tst_ArchLabelCalendar::dstDay_data()
{
    QTest::addColumn<QDate>("day");

    QTest::newRow("plain day") << QDate(2024, 1, 15);
    QTest::newRow("spring forward") << QDate(2024, 3, 31);
    QTest::newRow("fall back") << QDate(2024, 10, 27);
}

void tst_ArchLabelCalendar::dstDay()
{
    QFETCH(QDate, day);

    const unsigned int midnight = unsigned(QDateTime(day, QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
    for (unsigned int label = midnight; label < midnight + 86400; label += 60) {
        const QDateTime t = DorrikBus::archLabelToTime(label);
        QVERIFY2(t.isValid(), qPrintable(QString::number(label)));
        QCOMPARE(DorrikBus::archLabelToSeconds(t), label);
    }

    // 24 hour labels, each one hour of reading after the one before.
    QDateTime t = DorrikBus::archLabelToTime(midnight);
    unsigned int label = midnight;
    for (int hour = 0; hour < 24; ++hour) {
        QCOMPARE(t.toString(readingFormat),
                 QDateTime(day, QTime(hour, 0), Qt::UTC).toString(readingFormat));
        QCOMPARE(label, midnight + unsigned(hour) * 3600);
        bool ok = false;
        t = DorrikBus::getNextTimeLabel(t, DorrikBus::Hour, &ok, 1);
        QVERIFY(ok);
        label = DorrikBus::getNextTimeLabel(label, DorrikBus::Hour, &ok, 1);
        QVERIFY(ok);
    }
    QCOMPARE(label, midnight + 86400);
    QCOMPARE(DorrikBus::getNextTimeLabel(midnight, DorrikBus::Day, nullptr, 1), midnight + 86400);

    const QDateTime first = DorrikBus::archLabelToTime(midnight);
    const QDateTime last = DorrikBus::archLabelToTime(midnight + 23 * 3600);
    QCOMPARE(DorrikBus::getLabelsBetween(first, last, DorrikBus::Hour), 24);
    QCOMPARE(countBySteps(first, last, DorrikBus::Hour), 24);
    unsigned int lastLabel = midnight + 23 * 3600;
    QCOMPARE(DorrikBus::getLabelsBetween(midnight, lastLabel, DorrikBus::TimeArch, DorrikBus::Hour),
             24);
    QCOMPARE(
        DorrikBus::getLabelsBetween(midnight, lastLabel, DorrikBus::TimeArch, DorrikBus::Minute),
        23 * 60 + 1);
}

void tst_ArchLabelCalendar::timeStep_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<DorrikBus::ArchInterval>("interval");
    QTest::addColumn<uint>("step");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("ok");

    const auto next = [](const char *name, const char *start, DorrikBus::ArchInterval interval,
                         uint step, const char *result, bool ok = true) {
        QTest::newRow(name) << QString::fromLatin1(start) << interval << step << false
                            << QString::fromLatin1(result) << ok;
    };
    const auto prev = [](const char *name, const char *start, DorrikBus::ArchInterval interval,
                         uint step, const char *result, bool ok = true) {
        QTest::newRow(name) << QString::fromLatin1(start) << interval << step << true
                            << QString::fromLatin1(result) << ok;
    };

    next("second", "2024-01-01 00:00:00", DorrikBus::Second, 1, "2024-01-01 00:00:01");
    next("second x 90", "2024-01-01 00:00:00", DorrikBus::Second, 90, "2024-01-01 00:01:30");
    next("minute", "2024-01-01 23:59:00", DorrikBus::Minute, 1, "2024-01-02 00:00:00");
    next("minute x 61", "2024-01-01 00:00:00", DorrikBus::Minute, 61, "2024-01-01 01:01:00");
    next("hour into the Berlin gap", "2024-03-31 01:00:00", DorrikBus::Hour, 1,
         "2024-03-31 02:00:00");
    next("hour out of the Berlin gap", "2024-03-31 02:00:00", DorrikBus::Hour, 1,
         "2024-03-31 03:00:00");
    next("hour over the Berlin repeat", "2024-10-27 02:00:00", DorrikBus::Hour, 1,
         "2024-10-27 03:00:00");
    next("hour x 25", "2024-03-30 12:00:00", DorrikBus::Hour, 25, "2024-03-31 13:00:00");
    next("day over spring forward", "2024-03-30 12:00:00", DorrikBus::Day, 1,
         "2024-03-31 12:00:00");
    next("day over fall back", "2024-10-27 00:00:00", DorrikBus::Day, 1, "2024-10-28 00:00:00");
    next("day into leap day", "2024-02-28 00:00:00", DorrikBus::Day, 1, "2024-02-29 00:00:00");
    next("week", "2024-01-01 00:00:00", DorrikBus::Week, 1, "2024-01-08 00:00:00");
    next("week x 52", "2024-01-01 00:00:00", DorrikBus::Week, 52, "2024-12-30 00:00:00");
    next("decade", "2024-01-21 00:00:00", DorrikBus::Decade, 1, "2024-01-31 00:00:00");
    next("decade over February", "2024-02-21 00:00:00", DorrikBus::Decade, 1,
         "2024-03-02 00:00:00");
    next("month from 31 January, leap year", "2024-01-31 00:00:00", DorrikBus::Month, 1,
         "2024-02-29 00:00:00");
    next("month from 31 January", "2023-01-31 00:00:00", DorrikBus::Month, 1,
         "2023-02-28 00:00:00");
    next("month x 2 from 31 January", "2024-01-31 00:00:00", DorrikBus::Month, 2,
         "2024-03-31 00:00:00");
    next("month keeps the time", "2024-03-15 02:30:00", DorrikBus::Month, 1, "2024-04-15 02:30:00");
    next("quarter", "2024-01-15 00:00:00", DorrikBus::Quarter, 1, "2024-04-15 00:00:00");
    next("quarter into February", "2024-11-30 00:00:00", DorrikBus::Quarter, 1,
         "2025-02-28 00:00:00");
    next("year from leap day", "2024-02-29 00:00:00", DorrikBus::Year, 1, "2025-02-28 00:00:00");
    next("year x 45", "2024-01-01 00:00:00", DorrikBus::Year, 45, "2069-01-01 00:00:00");
    // The step is a signed 32-bit count.
    next("step 0xFFFFFFFF walks back", "2024-01-01 00:00:00", DorrikBus::Second, 0xFFFFFFFFu,
         "2023-12-31 23:59:59");
    next("step 0", "2024-01-01 00:00:00", DorrikBus::Month, 0, "2024-01-01 00:00:00");
    next("to the last label", "2069-12-31 23:59:58", DorrikBus::Second, 1, "2069-12-31 23:59:59");
    next("past the last label", "2069-12-31 23:59:59", DorrikBus::Second, 1, "2070-01-01 00:00:00",
         false);
    next("year past the last label", "2069-06-01 00:00:00", DorrikBus::Year, 1,
         "2070-06-01 00:00:00", false);

    prev("back a second", "2024-01-01 00:00:00", DorrikBus::Second, 1, "2023-12-31 23:59:59");
    prev("back an hour into the Berlin gap", "2024-03-31 03:00:00", DorrikBus::Hour, 1,
         "2024-03-31 02:00:00");
    prev("back a day over fall back", "2024-10-28 00:00:00", DorrikBus::Day, 1,
         "2024-10-27 00:00:00");
    prev("back a decade", "2024-03-01 00:00:00", DorrikBus::Decade, 1, "2024-02-20 00:00:00");
    prev("back a month from 31 March", "2024-03-31 00:00:00", DorrikBus::Month, 1,
         "2024-02-29 00:00:00");
    prev("back a quarter", "2024-05-31 00:00:00", DorrikBus::Quarter, 1, "2024-02-29 00:00:00");
    prev("back a year", "2024-02-29 00:00:00", DorrikBus::Year, 1, "2023-02-28 00:00:00");
    prev("back to label 0", "1970-01-01 01:00:00", DorrikBus::Hour, 1, "1970-01-01 00:00:00");
    prev("back from label 0", "1970-01-01 00:00:00", DorrikBus::Second, 1, "1969-12-31 23:59:59",
         false);
    prev("back a week from label 0", "1970-01-01 00:00:00", DorrikBus::Week, 1,
         "1969-12-25 00:00:00", false);
}

void tst_ArchLabelCalendar::timeStep()
{
    QFETCH(QString, start);
    QFETCH(DorrikBus::ArchInterval, interval);
    QFETCH(uint, step);
    QFETCH(bool, backward);
    QFETCH(QString, result);
    QFETCH(bool, ok);

    const unsigned int startLabel = labelOf(start);
    const unsigned int resultLabel = labelOf(result);
    const QDateTime startTime = DorrikBus::archLabelToTime(startLabel);
    const auto stepTime = [&](const QDateTime &t, bool *ok) {
        return backward ? DorrikBus::getPrevTimeLabel(t, interval, ok, step)
                        : DorrikBus::getNextTimeLabel(t, interval, ok, step);
    };

    bool stepOk = !ok;
    const QDateTime moved = stepTime(startTime, &stepOk);
    QVERIFY(moved.isValid());
    QCOMPARE(moved.toString(readingFormat), result);
    QCOMPARE(stepOk, ok);
    QCOMPARE(stepTime(startTime, nullptr).toString(readingFormat), result);
    // Only the reading counts, not the zone it comes in.
    QCOMPARE(stepTime(readingAsUtc(startTime), nullptr).toString(readingFormat), result);

    stepOk = !ok;
    const unsigned int label =
        backward ? DorrikBus::getPrevTimeLabel(startLabel, interval, &stepOk, step)
                 : DorrikBus::getNextTimeLabel(startLabel, interval, &stepOk, step);
    QCOMPARE(label, resultLabel);
    QCOMPARE(stepOk, ok);

    const DorrikBus::ArchDirection direction = backward ? DorrikBus::Backward : DorrikBus::Forward;
    stepOk = !ok;
    QCOMPARE(DorrikBus::getNextLabel(startLabel, DorrikBus::TimeArch, interval, &stepOk, step,
                                     direction),
             resultLabel);
    QCOMPARE(stepOk, ok);
    if (backward) {
        stepOk = !ok;
        QCOMPARE(DorrikBus::getPrevLabel(startLabel, DorrikBus::TimeArch, interval, &stepOk, step),
                 resultLabel);
        QCOMPARE(stepOk, ok);
    }
}

void tst_ArchLabelCalendar::extremeSteps_data()
{
    QTest::addColumn<DorrikBus::ArchInterval>("interval");
    QTest::addColumn<uint>("step");
    QTest::addColumn<bool>("backward");

    const QMetaEnum intervals = QMetaEnum::fromType<DorrikBus::ArchInterval>();
    for (int i = 0; i < intervals.keyCount(); ++i) {
        const auto interval = DorrikBus::ArchInterval(intervals.value(i));
        for (const uint step : {0x7FFFFFFFu, 0x80000000u}) {
            for (const bool backward : {false, true})
                QTest::addRow("%s %s 0x%x", intervals.key(i), backward ? "back" : "forward", step)
                    << interval << step << backward;
        }
    }
}

void tst_ArchLabelCalendar::extremeSteps()
{
    QFETCH(DorrikBus::ArchInterval, interval);
    QFETCH(uint, step);
    QFETCH(bool, backward);

    // Far outside the range in either direction: reported, never wrapped back into it.
    const unsigned int start = 1704067200;
    bool ok = true;
    if (backward)
        DorrikBus::getPrevTimeLabel(DorrikBus::archLabelToTime(start), interval, &ok, step);
    else
        DorrikBus::getNextTimeLabel(DorrikBus::archLabelToTime(start), interval, &ok, step);
    QVERIFY(!ok);
    ok = true;
    DorrikBus::getNextLabel(start, DorrikBus::TimeArch, interval, &ok, step,
                            backward ? DorrikBus::Backward : DorrikBus::Forward);
    QVERIFY(!ok);
}

void tst_ArchLabelCalendar::indexStep_data()
{
    QTest::addColumn<uint>("label");
    QTest::addColumn<uint>("step");
    QTest::addColumn<int>("direction"); // -1: getPrevLabel, else getNextLabel's direction value
    QTest::addColumn<DorrikBus::ArchType>("archType");
    QTest::addColumn<uint>("result");
    QTest::addColumn<int>("ok"); // -1: left untouched

    const auto index = DorrikBus::IndexArch;
    QTest::newRow("prev 5 by 10 wraps") << 5u << 10u << -1 << index << 4294967291u << 0;
    QTest::newRow("backward 5 by 10 wraps") << 5u << 10u << 1 << index << 4294967291u << 0;
    QTest::newRow("prev 10 by 10") << 10u << 10u << -1 << index << 0u << 1;
    QTest::newRow("backward 10 by 3") << 10u << 3u << 1 << index << 7u << 1;
    QTest::newRow("direction 7 counts as backward") << 10u << 3u << 7 << index << 7u << 1;
    QTest::newRow("forward 10 by 5") << 10u << 5u << 0 << index << 15u << 1;
    QTest::newRow("forward to the top") << 4294967290u << 5u << 0 << index << 4294967295u << 1;
    QTest::newRow("forward past the top wraps") << 4294967290u << 10u << 0 << index << 4u << 0;
    QTest::newRow("forward by 0") << 4294967295u << 0u << 0 << index << 4294967295u << 1;
    const auto other = DorrikBus::ArchType(2);
    QTest::newRow("other archive type, prev") << 10u << 3u << -1 << other << 10u << -1;
    QTest::newRow("other archive type, forward") << 10u << 3u << 0 << other << 10u << -1;
}

void tst_ArchLabelCalendar::indexStep()
{
    QFETCH(uint, label);
    QFETCH(uint, step);
    QFETCH(int, direction);
    QFETCH(DorrikBus::ArchType, archType);
    QFETCH(uint, result);
    QFETCH(int, ok);

    for (const bool initial : {false, true}) {
        bool stepOk = initial;
        const unsigned int moved =
            direction < 0 ? DorrikBus::getPrevLabel(label, archType, DorrikBus::Hour, &stepOk, step)
                          : DorrikBus::getNextLabel(label, archType, DorrikBus::Hour, &stepOk, step,
                                                    DorrikBus::ArchDirection(direction));
        QCOMPARE(moved, result);
        QCOMPARE(stepOk, ok < 0 ? initial : bool(ok));
    }
    const unsigned int withoutOk =
        direction < 0 ? DorrikBus::getPrevLabel(label, archType, DorrikBus::Hour, nullptr, step)
                      : DorrikBus::getNextLabel(label, archType, DorrikBus::Hour, nullptr, step,
                                                DorrikBus::ArchDirection(direction));
    QCOMPARE(withoutOk, result);
}

void tst_ArchLabelCalendar::unknownInterval()
{
    const auto unknown = DorrikBus::ArchInterval(9);
    const QDateTime t = DorrikBus::archLabelToTime(1704067200);

    QTest::ignoreMessage(QtWarningMsg, "getNextLabel: unknown interval");
    bool ok = false;
    QCOMPARE(DorrikBus::getNextTimeLabel(t, unknown, &ok, 1), t);
    QVERIFY(ok);

    // Stepping would never move, so counting must not loop.
    QTest::ignoreMessage(QtWarningMsg, "getNextLabel: unknown interval");
    QCOMPARE(DorrikBus::getLabelsBetween(t, t.addDays(1), unknown), 0);
}

void tst_ArchLabelCalendar::labelsBetween_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<DorrikBus::ArchInterval>("interval");
    QTest::addColumn<int>("count");

    const QMetaEnum intervals = QMetaEnum::fromType<DorrikBus::ArchInterval>();
    for (int i = 0; i < intervals.keyCount(); ++i) {
        QTest::addRow("same time twice, %s", intervals.key(i))
            << "2024-03-31 02:30:00"
            << "2024-03-31 02:30:00" << DorrikBus::ArchInterval(intervals.value(i)) << 1;
        QTest::addRow("from after to, %s", intervals.key(i))
            << "2024-03-31 02:30:01"
            << "2024-03-31 02:30:00" << DorrikBus::ArchInterval(intervals.value(i)) << 0;
    }

    const auto row = [](const char *name, const char *from, const char *to,
                        DorrikBus::ArchInterval interval, int count) {
        QTest::newRow(name) << QString::fromLatin1(from) << QString::fromLatin1(to) << interval
                            << count;
    };
    row("seconds of the spring forward day", "2024-03-31 00:00:00", "2024-03-31 23:59:59",
        DorrikBus::Second, 86400);
    row("minutes off the grid", "2024-01-01 00:00:30", "2024-01-01 00:02:29", DorrikBus::Minute, 2);
    row("minutes, end on the grid", "2024-01-01 00:00:30", "2024-01-01 00:02:30", DorrikBus::Minute,
        3);
    row("hours of the fall back day", "2024-10-27 00:00:00", "2024-10-27 23:00:00", DorrikBus::Hour,
        24);
    row("days of March 2024", "2024-03-01 00:00:00", "2024-03-31 00:00:00", DorrikBus::Day, 31);
    row("weeks of 2024", "2024-01-01 00:00:00", "2024-12-31 00:00:00", DorrikBus::Week, 53);
    row("decades of January", "2024-01-01 00:00:00", "2024-01-31 00:00:00", DorrikBus::Decade, 4);
    row("months from 31 January stick to the 29th", "2024-01-31 00:00:00", "2024-03-30 00:00:00",
        DorrikBus::Month, 3);
    row("months of 2024", "2024-01-31 00:00:00", "2024-12-31 00:00:00", DorrikBus::Month, 12);
    row("quarters of 2024", "2024-01-01 00:00:00", "2024-12-31 23:59:59", DorrikBus::Quarter, 4);
    row("years of the range", "1970-01-01 00:00:00", "2069-12-31 23:59:59", DorrikBus::Year, 100);
    row("hours up to the end of the range", "2069-12-31 22:00:00", "2100-01-01 00:00:00",
        DorrikBus::Hour, 2);
    row("months up to the end of the range", "2069-11-15 00:00:00", "2080-01-01 00:00:00",
        DorrikBus::Month, 2);
    row("days of the whole range", "1970-01-01 00:00:00", "2069-12-31 23:59:59", DorrikBus::Day,
        36525);
    row("first step into the range", "1969-12-31 23:00:00", "1970-01-01 02:00:00", DorrikBus::Hour,
        4);
    row("first step still before the range", "1969-12-31 22:00:00", "1970-01-01 02:00:00",
        DorrikBus::Hour, 1);
    row("seconds of the whole range, clamped", "1970-01-01 00:00:00", "2069-12-31 23:59:59",
        DorrikBus::Second, std::numeric_limits<int>::max());
    row("from beyond the range", "2080-01-01 00:00:00", "2090-01-01 00:00:00", DorrikBus::Year, 1);
}

void tst_ArchLabelCalendar::labelsBetween()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(DorrikBus::ArchInterval, interval);
    QFETCH(int, count);

    const QDateTime fromTime = timeOf(from);
    const QDateTime toTime = timeOf(to);
    QCOMPARE(DorrikBus::getLabelsBetween(fromTime, toTime, interval), count);
    if (count < 200000)
        QCOMPARE(countBySteps(fromTime, toTime, interval), count);

    if (inLabelRange(from) && inLabelRange(to)) {
        unsigned int toLabel = labelOf(to);
        QCOMPARE(DorrikBus::getLabelsBetween(labelOf(from), toLabel, DorrikBus::TimeArch, interval),
                 count);
        QCOMPARE(toLabel, labelOf(to));
    }
}

void tst_ArchLabelCalendar::indexLabelsBetween_data()
{
    QTest::addColumn<uint>("from");
    QTest::addColumn<uint>("to");
    QTest::addColumn<DorrikBus::ArchType>("archType");
    QTest::addColumn<int>("count");

    const auto index = DorrikBus::IndexArch;
    QTest::newRow("10 to 19") << 10u << 19u << index << 10;
    QTest::newRow("one label") << 5u << 5u << index << 1;
    QTest::newRow("reversed") << 19u << 10u << index << 0;
    QTest::newRow("up to INT_MAX") << 0u << 0x7FFFFFFEu << index << std::numeric_limits<int>::max();
    QTest::newRow("all labels, clamped")
        << 0u << 0xFFFFFFFFu << index << std::numeric_limits<int>::max();
    QTest::newRow("time labels by hour")
        << 1704067200u << 1704067200u + 23 * 3600 << DorrikBus::TimeArch << 24;
    QTest::newRow("other archive type") << 10u << 19u << DorrikBus::ArchType(2) << 0;
}

void tst_ArchLabelCalendar::indexLabelsBetween()
{
    QFETCH(uint, from);
    QFETCH(uint, to);
    QFETCH(DorrikBus::ArchType, archType);
    QFETCH(int, count);

    unsigned int toLabel = to;
    QCOMPARE(DorrikBus::getLabelsBetween(from, toLabel, archType, DorrikBus::Hour), count);
    QCOMPARE(toLabel, to);
}

void tst_ArchLabelCalendar::normalize_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<DorrikBus::ArchInterval>("interval");
    QTest::addColumn<QString>("start");

    const auto row = [](const char *name, const char *time, DorrikBus::ArchInterval interval,
                        const char *start) {
        QTest::newRow(name) << QString::fromLatin1(time) << interval << QString::fromLatin1(start);
    };
    const char *t = "2024-03-05 14:37:12.345"; // a Tuesday
    row("second", t, DorrikBus::Second, "2024-03-05 14:37:12.000");
    row("minute", t, DorrikBus::Minute, "2024-03-05 14:37:00.000");
    row("hour", t, DorrikBus::Hour, "2024-03-05 14:00:00.000");
    row("day", t, DorrikBus::Day, "2024-03-05 00:00:00.000");
    row("week from Tuesday", t, DorrikBus::Week, "2024-03-04 00:00:00.000");
    row("week from Monday", "2024-03-04 00:00:00.000", DorrikBus::Week, "2024-03-04 00:00:00.000");
    row("week from Sunday", "2024-03-10 23:59:59.999", DorrikBus::Week, "2024-03-04 00:00:00.000");
    row("week over the new year", "2023-01-01 12:00:00.000", DorrikBus::Week,
        "2022-12-26 00:00:00.000");
    row("decade from day 5", t, DorrikBus::Decade, "2024-03-01 00:00:00.000");
    row("decade from day 10", "2024-03-10 23:00:00.000", DorrikBus::Decade,
        "2024-03-01 00:00:00.000");
    row("decade from day 11", "2024-03-11 00:00:00.000", DorrikBus::Decade,
        "2024-03-11 00:00:00.000");
    row("decade from day 20", "2024-03-20 10:00:00.000", DorrikBus::Decade,
        "2024-03-11 00:00:00.000");
    row("decade from day 21", "2024-03-21 10:00:00.000", DorrikBus::Decade,
        "2024-03-21 00:00:00.000");
    row("decade from day 31", "2024-03-31 10:00:00.000", DorrikBus::Decade,
        "2024-03-21 00:00:00.000");
    row("month", t, DorrikBus::Month, "2024-03-01 00:00:00.000");
    row("quarter from March", t, DorrikBus::Quarter, "2024-01-01 00:00:00.000");
    row("quarter from May", "2024-05-20 00:00:00.000", DorrikBus::Quarter,
        "2024-04-01 00:00:00.000");
    row("quarter from December", "2024-12-31 23:00:00.000", DorrikBus::Quarter,
        "2024-10-01 00:00:00.000");
    row("year", t, DorrikBus::Year, "2024-01-01 00:00:00.000");
    row("hour in the Berlin gap", "2024-03-31 02:30:15.000", DorrikBus::Hour,
        "2024-03-31 02:00:00.000");
    row("minute in the Berlin repeat", "2024-10-27 02:30:15.000", DorrikBus::Minute,
        "2024-10-27 02:30:00.000");
    row("day of fall back", "2024-10-27 23:30:00.000", DorrikBus::Day, "2024-10-27 00:00:00.000");
    row("unknown interval", t, DorrikBus::ArchInterval(9), t);
}

void tst_ArchLabelCalendar::normalize()
{
    QFETCH(QString, time);
    QFETCH(DorrikBus::ArchInterval, interval);
    QFETCH(QString, start);

    const unsigned int label = labelOf(time);
    const QDateTime t = DorrikBus::archLabelToTime(label).addMSecs(utcOf(time).time().msec());
    QCOMPARE(t.toString(readingFormatMs), time);

    const QDateTime normalized = DorrikBus::normalizedArchLabel(t, interval);
    QVERIFY(normalized.isValid());
    QCOMPARE(normalized.toString(readingFormatMs), start);
    QDateTime inPlace = t;
    DorrikBus::normalizeArchLabel(inPlace, interval);
    QCOMPARE(inPlace, normalized);
    QCOMPARE(DorrikBus::normalizedArchLabel(normalized, interval), normalized);

    QCOMPARE(DorrikBus::normalizedArchLabel(label, DorrikBus::TimeArch, interval), labelOf(start));
    unsigned int labelInPlace = label;
    DorrikBus::normalizeArchLabel(labelInPlace, DorrikBus::TimeArch, interval);
    QCOMPARE(labelInPlace, labelOf(start));

    // Index labels are never moved.
    QCOMPARE(DorrikBus::normalizedArchLabel(label, DorrikBus::IndexArch, interval), label);
    labelInPlace = label;
    DorrikBus::normalizeArchLabel(labelInPlace, DorrikBus::IndexArch, interval);
    QCOMPARE(labelInPlace, label);
}

void tst_ArchLabelCalendar::variantLabel_data()
{
    QTest::addColumn<uint>("label");
    QTest::addColumn<DorrikBus::ArchType>("archType");
    QTest::addColumn<bool>("asText");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariant>("value");

    const auto index = DorrikBus::IndexArch;
    const auto time = DorrikBus::TimeArch;
    QTest::newRow("index") << 1704067200u << index << false << "" << QVariant(1704067200u);
    QTest::newRow("index, as text ignored") << 7u << index << true << readingFormat << QVariant(7u);
    QTest::newRow("time") << 1704067200u << time << false << ""
                          << QVariant(QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    QTest::newRow("time as text") << 1704067200u << time << true << "dd.MM.yyyy hh:mm"
                                  << QVariant("01.01.2024 00:00");
    QTest::newRow("time in the Berlin gap as text")
        << 1711852200u << time << true << readingFormat << QVariant("2024-03-31 02:30:00");
    QTest::newRow("time in the Berlin repeat as text")
        << 1729996200u << time << true << readingFormat << QVariant("2024-10-27 02:30:00");
    QTest::newRow("other archive type")
        << 7u << DorrikBus::ArchType(2) << false << "" << QVariant();
}

void tst_ArchLabelCalendar::variantLabel()
{
    QFETCH(uint, label);
    QFETCH(DorrikBus::ArchType, archType);
    QFETCH(bool, asText);
    QFETCH(QString, format);
    QFETCH(QVariant, value);

    const QVariant v = DorrikBus::getVariantLabel(label, archType, asText, format);
    QCOMPARE(v.metaType(), value.metaType());
    if (value.typeId() == QMetaType::QDateTime)
        QCOMPARE(v.toDateTime().toString(readingFormat),
                 value.toDateTime().toString(readingFormat));
    else
        QCOMPARE(v, value);

    if (archType == DorrikBus::IndexArch || archType == DorrikBus::TimeArch)
        QCOMPARE(DorrikBus::getIntLabel(v, format), label);
}

void tst_ArchLabelCalendar::intLabel_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<uint>("label");

    QTest::newRow("text") << QVariant("2024-01-01 00:00:00") << readingFormat << 1704067200u;
    QTest::newRow("text in the Berlin gap")
        << QVariant("2024-03-31 02:30:00") << readingFormat << 1711852200u;
    QTest::newRow("text in the Berlin repeat")
        << QVariant("2024-10-27 02:30:00") << readingFormat << 1729996200u;
    QTest::newRow("date only") << QVariant("15.03.2024") << "dd.MM.yyyy" << 1710460800u;
    QTest::newRow("text before 1970")
        << QVariant("1969-12-31 23:00:00") << readingFormat << 0xFFFFFFFFu;
    QTest::newRow("number text") << QVariant("1234") << readingFormat << 1234u;
    QTest::newRow("no number") << QVariant("abc") << readingFormat << 0u;
    QTest::newRow("empty text") << QVariant("") << readingFormat << 0u;
    QTest::newRow("number") << QVariant(77u) << readingFormat << 77u;
    QTest::newRow("invalid variant") << QVariant() << readingFormat << 0u;
    QTest::newRow("local date-time")
        << QVariant(DorrikBus::archLabelToTime(1704067200u)) << readingFormat << 1704067200u;
    QTest::newRow("UTC date-time")
        << QVariant(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC)) << "" << 1704067200u;
    QTest::newRow("invalid date-time") << QVariant(QDateTime()) << readingFormat << 0xFFFFFFFFu;
}

void tst_ArchLabelCalendar::intLabel()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(uint, label);
    QCOMPARE(DorrikBus::getIntLabel(value, format), label);
}

QTEST_GUILESS_MAIN(tst_ArchLabelCalendar)
#include "tst_archlabelcalendar.moc"
