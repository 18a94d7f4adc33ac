#include "fakelink.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

// The link's open / close / reconnect state machine, driven through a scripted fake link.
class tst_Transport : public QObject
{
    Q_OBJECT

public:
    enum State { Closed, Open, Waiting };
    Q_ENUM(State)
    enum Action {
        Connect,             // connectTransport(true)
        ConnectOnce,         // connectTransport(false)
        Disconnect,          // disconnectTransport()
        AutoDisconnect,      // autoDisconnect()
        ConnectElsewhere,    // connectTransport() from another thread
        DisconnectElsewhere, // disconnectTransport() from another thread
        DeclareConnected,    // setConnected(true) while declared, then componentComplete()
        DeclareDisconnected  // setConnected(false) while declared, then componentComplete()
    };
    Q_ENUM(Action)

private slots:
    void stateTable_data();
    void stateTable();
    void sendChecks_data();
    void sendChecks();
};

using Bools = QList<bool>;

void tst_Transport::stateTable_data()
{
    QTest::addColumn<State>("start");
    QTest::addColumn<int>("interval"); // passed to setAutoReconnectInterval first
    QTest::addColumn<bool>("autoReconnect");
    QTest::addColumn<Bools>("connects"); // scripted open results after the start state
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("result");            // of the action, where it returns one
    QTest::addColumn<QString>("error");          // the error the action leaves, empty for none
    QTest::addColumn<QStringList>("signalList"); // emitted during the action itself
    QTest::addColumn<State>("settled");          // after the reconnect timers had their chance
    QTest::addColumn<int>("attempts");           // open attempts from the action on
    QTest::addColumn<int>("spacing");            // expected ms between attempts, 0: not checked

    const QStringList opened{"transportConnected", "connectedChanged"};
    const QStringList closed{"transportDisconnected", "connectedChanged"};
    const QString refused = FakeLink::connectErrorText();
    const QString wrongThread = "this method can be run only in owned thread";

    QTest::newRow("closed, connect succeeds") << Closed << 200 << true << Bools{true} << Connect
                                              << true << "" << opened << Open << 1 << 0;
    // A negative interval is ignored: attempts stay 200 ms apart; only the first failure is
    // reported, the retries are silent.
    QTest::newRow("closed, connect fails, retried every 200 ms until it opens")
        << Closed << -1 << true << Bools{false, false, true} << Connect << false << refused
        << QStringList() << Open << 3 << 200;
    QTest::newRow("closed, connect fails, shorter interval")
        << Closed << 60 << true << Bools{false, false, false, true} << Connect << false << refused
        << QStringList() << Open << 4 << 60;
    QTest::newRow("closed, connect without reconnect fails and stays closed")
        << Closed << 200 << true << Bools{false} << ConnectOnce << false << refused << QStringList()
        << Closed << 1 << 0;
    QTest::newRow("waiting, connect without reconnect fails, the pending reconnect goes on")
        << Waiting << 200 << true << Bools{false, true} << ConnectOnce << false << ""
        << QStringList() << Open << 2 << 0;
    QTest::newRow("waiting, disconnect cancels, the running timer does nothing")
        << Waiting << 200 << true << Bools{true} << Disconnect << true << "" << QStringList()
        << Closed << 0 << 0;
    QTest::newRow("open, disconnect")
        << Open << 200 << true << Bools{} << Disconnect << true << "" << closed << Closed << 0 << 0;
    QTest::newRow("open, link lost with autoReconnect")
        << Open << 200 << true << Bools{true} << AutoDisconnect << true << "" << closed << Open << 1
        << 0;
    QTest::newRow("open, link lost without autoReconnect")
        << Open << 200 << false << Bools{true} << AutoDisconnect << true << "" << closed << Closed
        << 0 << 0;
    QTest::newRow("closed, link lost with autoReconnect still reconnects")
        << Closed << 200 << true << Bools{true} << AutoDisconnect << true << "" << QStringList()
        << Open << 1 << 0;
    QTest::newRow("open, connect again") << Open << 200 << true << Bools{} << Connect << false
                                         << "also connected" << QStringList() << Open << 0 << 0;
    QTest::newRow("closed, disconnect") << Closed << 200 << true << Bools{} << Disconnect << false
                                        << "also disconnected" << QStringList() << Closed << 0 << 0;
    QTest::newRow("closed, connect from another thread")
        << Closed << 200 << true << Bools{true} << ConnectElsewhere << false << wrongThread
        << QStringList() << Closed << 0 << 0;
    QTest::newRow("open, disconnect from another thread")
        << Open << 200 << true << Bools{} << DisconnectElsewhere << false << wrongThread
        << QStringList() << Open << 0 << 0;
    QTest::newRow("declared connected, opens queued after completion")
        << Closed << 200 << true << Bools{true} << DeclareConnected << true << "" << QStringList()
        << Open << 1 << 0;
    QTest::newRow("declared disconnected, stays closed")
        << Closed << 200 << true << Bools{true} << DeclareDisconnected << true << ""
        << QStringList() << Closed << 0 << 0;
}

void tst_Transport::stateTable()
{
    QFETCH(State, start);
    QFETCH(int, interval);
    QFETCH(bool, autoReconnect);
    QFETCH(Bools, connects);
    QFETCH(Action, action);
    QFETCH(bool, result);
    QFETCH(QString, error);
    QFETCH(QStringList, signalList);
    QFETCH(State, settled);
    QFETCH(int, attempts);
    QFETCH(int, spacing);

    FakeLink link;
    link.setAutoReconnect(autoReconnect);
    link.setAutoReconnectInterval(interval);
    const int effectiveInterval = link.autoReconnectInterval();

    if (start == Open) {
        QVERIFY(link.connectTransport(false));
    } else if (start == Waiting) {
        link.scriptConnects({false});
        QVERIFY(!link.connectTransport(true));
    }
    link.setDefaultConnectResult(false);
    link.scriptConnects(connects);
    const int attemptsBefore = link.connectAttempts();
    const quint64 errorsBefore = link.errorCount();

    QStringList emitted;
    connect(&link, &Transport::transportConnected, this, [&] { emitted << "transportConnected"; });
    connect(&link, &Transport::transportDisconnected, this,
            [&] { emitted << "transportDisconnected"; });
    connect(&link, &Transport::connectedChanged, this, [&] { emitted << "connectedChanged"; });
    QSignalSpy errors(&link, &ErrObject::error);

    bool returned = true;
    switch (action) {
    case Connect:
        returned = link.connectTransport(true);
        break;
    case ConnectOnce:
        returned = link.connectTransport(false);
        break;
    case Disconnect:
        returned = link.disconnectTransport();
        break;
    case AutoDisconnect:
        link.autoDisconnect();
        break;
    case ConnectElsewhere:
    case DisconnectElsewhere: {
        QThread *other = QThread::create([&] {
            returned = action == ConnectElsewhere ? link.connectTransport(true)
                                                  : link.disconnectTransport();
        });
        other->start();
        QVERIFY(other->wait(5000));
        delete other;
        // An error raised from another thread is applied on the link's own thread.
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 2000);
        break;
    }
    case DeclareConnected:
    case DeclareDisconnected:
        link.classBegin();
        link.setConnected(action == DeclareConnected);
        QVERIFY(!link.connected());
        link.componentComplete();
        // Queued: still closed right after completion.
        QVERIFY(!link.connected());
        break;
    }

    QCOMPARE(returned, result);
    QCOMPARE(emitted, signalList);
    if (error.isEmpty()) {
        QCOMPARE(link.errorCount(), errorsBefore);
    } else {
        QCOMPARE(link.errorCount(), errorsBefore + 1);
        QCOMPARE(link.errorString(), error);
    }

    if (settled == Open) {
        QTRY_VERIFY_WITH_TIMEOUT(link.connected(), 10 * effectiveInterval + 2000);
    } else {
        // Long enough for any pending reconnect timer to have fired twice.
        QTest::qWait(2 * effectiveInterval + 100);
        QCOMPARE(link.connected(), settled == Open);
    }
    QTest::qWait(effectiveInterval + 50);
    QCOMPARE(link.connectAttempts() - attemptsBefore, attempts);
    // Retries of a wanted reconnect never report again.
    if (!error.isEmpty())
        QCOMPARE(link.errorCount(), errorsBefore + 1);

    if (spacing > 0) {
        const QList<qint64> times = link.connectAttemptTimes().mid(attemptsBefore);
        for (int i = 1; i < times.size(); ++i) {
            const qint64 gap = times.at(i) - times.at(i - 1);
            QVERIFY2(gap >= spacing - 5 && gap < spacing * 2 + 100,
                     qPrintable(
                         QString("attempt %1 came %2 ms after the previous one").arg(i).arg(gap)));
        }
    }
}

void tst_Transport::sendChecks_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("ownTarget");
    QTest::addColumn<bool>("outParameter");
    QTest::addColumn<QString>("error");

    QTest::newRow("closed, text to the caller")
        << false << true << true << "can't send bytes via disconnected transport";
    QTest::newRow("closed, text to the link")
        << false << true << false << "can't send bytes via disconnected transport";
    QTest::newRow("foreign target, text to the caller")
        << true << false << true << "incorrect target to send bytes";
    QTest::newRow("foreign target, text to the link")
        << true << false << false << "incorrect target to send bytes";
    QTest::newRow("open, own target") << true << true << true << "";
}

void tst_Transport::sendChecks()
{
    QFETCH(bool, open);
    QFETCH(bool, ownTarget);
    QFETCH(bool, outParameter);
    QFETCH(QString, error);

    FakeLink link;
    ModbusTarget foreign;
    if (open)
        QVERIFY(link.connectTransport(false));
    const quint64 errorsBefore = link.errorCount();

    QString text;
    ModbusBytes answer;
    const bool ok =
        link.sendBytes(ModbusBytes::fromHex("0103"), ownTarget ? link.target() : &foreign, &answer,
                       outParameter ? &text : nullptr);
    QCOMPARE(ok, error.isEmpty());
    if (error.isEmpty()) {
        QCOMPARE(link.sentBytes().size(), 1);
    } else if (outParameter) {
        QCOMPARE(text, error);
        QCOMPARE(link.errorCount(), errorsBefore);
    } else {
        QCOMPARE(link.errorString(), error);
        QCOMPARE(link.errorCount(), errorsBefore + 1);
    }
    if (!error.isEmpty())
        QVERIFY(link.sentBytes().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Transport)
#include "tst_transport.moc"
