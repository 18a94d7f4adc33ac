#include "fakelink.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

// Event polling: cutting the read bytes into records, dropping stale and old partial bytes,
// the reader thread that polls while the link is open, and teardown while polling.
class tst_EventedTransport : public QObject
{
    Q_OBJECT

private slots:
    void polls_data();
    void polls();
    void pollingFollowsConnectionAndInterval();
    void queuedPoll();
    void destroyWhilePolling();
};

// Payloads of one poll as "[aa][bb]"; "[]" is one empty payload, "" none.
static QString payloadsText(const QSignalSpy &spy)
{
    QString text;
    for (const QList<QVariant> &args : spy)
        text += "[" + QString::fromLatin1(args.at(0).value<ModbusBytes>().toHex()) + "]";
    return text;
}

void tst_EventedTransport::polls_data()
{
    // Steps: "r:HEX" a poll whose read succeeds with HEX, "f:HEX" one whose read fails after
    // giving HEX, "c" close and open again, "w:MS" wait. Each starts right after opening, so
    // the first poll discards what it reads.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected"); // payloads per step
    QTest::addColumn<QString>("warning");

    QTest::newRow("two records in one read")
        << QStringList{"r:", "r:03aabb02cc"} << QStringList{"", "[aabb][cc]"} << "";
    QTest::newRow("record completed by the next read")
        << QStringList{"r:", "r:05aabb", "r:ccdd"} << QStringList{"", "", "[aabbccdd]"} << "";
    QTest::newRow("zero length byte dropped alone, the rest waits")
        << QStringList{"r:", "r:0002aa", "r:"} << QStringList{"", "", "[aa]"} << "";
    QTest::newRow("zero between records stops the cutting")
        << QStringList{"r:", "r:02aa0002bb", "r:"} << QStringList{"", "[aa]", "[bb]"} << "";
    QTest::newRow("one byte record is an empty payload")
        << QStringList{"r:", "r:01"} << QStringList{"", "[]"} << "";
    QTest::newRow("failed read cuts nothing")
        << QStringList{"r:", "f:02aa", "r:"} << QStringList{"", "", "[aa]"} << "";
    QTest::newRow("first read after opening discarded")
        << QStringList{"r:03aabb", "r:02cc"} << QStringList{"", "[cc]"}
        << "discarded first events: \"03aabb\"";
    QTest::newRow("first read discarded also when it fails")
        << QStringList{"f:03aabb", "r:02cc"} << QStringList{"", "[cc]"}
        << "discarded first events: \"03aabb\"";
    QTest::newRow("reopening discards a partial record")
        << QStringList{"r:", "r:05aabb", "c", "r:ccdd", "r:02ee"}
        << QStringList{"", "", "", "", "[ee]"} << "discarded first events: \"05aabbccdd\"";
    // Timeout 200 ms. The link is older than that when the partial record arrives.
    QTest::newRow("partial survives a failed read soon after it arrived")
        << QStringList{"w:300", "r:", "r:05aabb", "f:", "r:ccdd"}
        << QStringList{"", "", "", "", "[aabbccdd]"} << "";
    QTest::newRow("partial left after cutting survives a failed read soon after")
        << QStringList{"w:300", "r:", "r:02aa05bb", "f:", "r:ccddee"}
        << QStringList{"", "", "[aa]", "", "[bbccddee]"} << "";
    QTest::newRow("partial dropped by a failed read after the timeout")
        << QStringList{"r:", "r:05aabb", "w:300", "f:", "r:02ee"}
        << QStringList{"", "", "", "", "[ee]"} << "";
    QTest::newRow("partial kept by a successful read after the timeout")
        << QStringList{"r:", "r:05aabb", "w:300", "r:", "r:ccdd"}
        << QStringList{"", "", "", "", "[aabbccdd]"} << "";
}

void tst_EventedTransport::polls()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    QFETCH(QString, warning);
    QCOMPARE(steps.size(), expected.size());

    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QTest::failOnWarning(QRegularExpression("discarded"));

    FakeLink link(DorrikBus::ClientBus, nullptr, true);
    // The test polls by hand; the reader's timer never comes due.
    link.setEventsCheckInterval(3600 * 1000);
    link.setEventsTimeout(200);
    QVERIFY(link.connectTransport(false));

    QSignalSpy spy(&link, &EventedTransport::eventBytesReceived);
    for (int i = 0; i < steps.size(); ++i) {
        const QString step = steps.at(i);
        const QString arg = step.mid(2);
        spy.clear();
        if (step == "c") {
            QVERIFY(link.disconnectTransport());
            QVERIFY(link.connectTransport(false));
            continue;
        }
        if (step.startsWith("w:")) {
            QTest::qWait(arg.toInt());
            continue;
        }
        link.scriptEventReads({{step.startsWith("r:"), ModbusBytes::fromHex(arg.toLatin1())}});
        const bool polled = link.checkEventsSync();
        QCOMPARE(payloadsText(spy), expected.at(i));
        QCOMPARE(polled, !expected.at(i).isEmpty());
        for (const QList<QVariant> &args : std::as_const(spy))
            QCOMPARE(args.at(1).value<const Target *>(), link.target());
    }
}

void tst_EventedTransport::pollingFollowsConnectionAndInterval()
{
    FakeLink link(DorrikBus::ClientBus, nullptr, true);
    link.setEventsCheckInterval(5);
    QThread *pollThread = nullptr;
    connect(
        &link, &EventedTransport::eventBytesReceived, this,
        [&pollThread] { pollThread = QThread::currentThread(); }, Qt::DirectConnection);
    QSignalSpy spy(&link, &EventedTransport::eventBytesReceived);

    QTest::qWait(100);
    QCOMPARE(link.eventReads(), 0);

    link.scriptEventReads({{true, {}}, {true, ModbusBytes::fromHex("02aa")}});
    QVERIFY(link.connectTransport(false));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 2000);
    QCOMPARE(spy.at(0).at(0).value<ModbusBytes>(), ModbusBytes::fromHex("aa"));
    QVERIFY(pollThread);
    QVERIFY(pollThread != QThread::currentThread());

    // A new interval while open replaces the running timer.
    link.setEventsCheckInterval(3600 * 1000);
    QTest::qWait(50);
    int reads = link.eventReads();
    QTest::qWait(100);
    QCOMPARE(link.eventReads(), reads);
    link.setEventsCheckInterval(5);
    QTRY_VERIFY_WITH_TIMEOUT(link.eventReads() > reads + 3, 2000);

    QVERIFY(link.disconnectTransport());
    QTest::qWait(50);
    reads = link.eventReads();
    QTest::qWait(100);
    QCOMPARE(link.eventReads(), reads);
}

void tst_EventedTransport::queuedPoll()
{
    FakeLink plain;
    QVERIFY(plain.connectTransport(false));
    QVERIFY(!plain.checkEvents());
    QVERIFY(!plain.checkEventsSync());

    FakeLink evented(DorrikBus::ClientBus, nullptr, true);
    evented.setEventsCheckInterval(3600 * 1000);
    QVERIFY(evented.connectTransport(false));
    QVERIFY(evented.checkEvents());
    QCOMPARE(evented.eventReads(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(evented.eventReads(), 1, 2000);
}

void tst_EventedTransport::destroyWhilePolling()
{
    // Each link polls every millisecond and always has an event for us when it goes.
    int received = 0;
    for (int i = 0; i < 200; ++i) {
        auto *link = new FakeLink(DorrikBus::ClientBus, nullptr, true);
        link->setEventsCheckInterval(1);
        QList<FakeLink::EventRead> reads{{true, {}}}; // the first read after opening is dropped
        for (int r = 0; r < 50; ++r)
            reads.append({true, ModbusBytes::fromHex("02aa")});
        link->scriptEventReads(reads);
        connect(link, &EventedTransport::eventBytesReceived, this, [&received] { ++received; });
        QVERIFY(link->connectTransport(false));
        QTest::qWait(i % 4);
        delete link;
    }
    QVERIFY(received > 0);
}

QTEST_GUILESS_MAIN(tst_EventedTransport)
#include "tst_eventedtransport.moc"
