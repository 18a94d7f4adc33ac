#include "modbusiptarget.h"
#include "modbustcptarget.h"
#include "modbustranslateoptions.h"
#include "modbustransport.h"

#include <QtTest>

#include <functional>
#include <memory>

// A server link whose description spans two lines, so the one-line form has something to fold.
class DescribedLink : public ModbusTransport
{
public:
    DescribedLink() : ModbusTransport(DorrikBus::ServerBus) {}

    bool sendBytes(const ModbusBytes &, const Target *, ModbusBytes *, QString *) override
    {
        return false;
    }
    bool hasTarget(const Target *) override { return false; }
    int targetsCount() const override { return 0; }
    qint64 bytesAvailable(const Target *) override { return 0; }
    ModbusParser *createParser(QObject *) override { return nullptr; }
    ModbusDeparser *createDeparser(QObject *) override { return nullptr; }
    QString toString(bool oneLine) const override
    {
        return oneLine ? QStringLiteral("server link; port 1502; ")
                       : QStringLiteral("server link\nport 1502\n");
    }

protected:
    bool connectTransportInternal() override { return true; }
    bool disconnectTransportInternal() override { return true; }
};

using TargetFactory = std::function<std::unique_ptr<ModbusTarget>()>;
Q_DECLARE_METATYPE(TargetFactory)

static const QDateTime requestTime(QDate(2024, 3, 5), QTime(7, 8, 9, 45));

class tst_ModbusTranslateOptions : public QObject
{
    Q_OBJECT
private slots:
    void freshRecord();
    void requestReceivedNowReadsAsLocalTime();
    void exceptionCodeStoredUnchecked();
    void text_data();
    void text();
};

void tst_ModbusTranslateOptions::freshRecord()
{
    DescribedLink link;
    ModbusTcpTarget target(QHostAddress(QStringLiteral("10.0.0.2")), 1502);
    const ModbusTranslateOptions options(requestTime, &target, 17, link);
    QCOMPARE(options.requestTime(), requestTime);
    QCOMPARE(options.fromTarget(), &target);
    QCOMPARE(options.requestAddress(), quint8(17));
    QCOMPARE(options.fromTransport(), &link);
    QCOMPARE(options.answerExceptionCode(), DorrikBus::NoException);
    QVERIFY(options.toString().contains(
        QStringLiteral("answer exception code: %1").arg(DorrikBus::exceptionCodeStr(0))));
}

// A slave that shows or logs the request time sees the local wall clock of its arrival, in
// whatever zone the test runs.
void tst_ModbusTranslateOptions::requestReceivedNowReadsAsLocalTime()
{
    DescribedLink link;
    const QDateTime before = QDateTime::currentDateTime();
    const ModbusTranslateOptions options(nullptr, 1, link);
    const QDateTime after = QDateTime::currentDateTime();
    const QDateTime time = options.requestTime();
    QCOMPARE(time.timeSpec(), Qt::LocalTime);
    QVERIFY(time >= before && time <= after);
    QVERIFY(options.toString().startsWith(
        QStringLiteral("request time: %1")
            .arg(time.toString(QStringLiteral("yyyy:MM:dd hh:mm:ss.zzz")))));
}

void tst_ModbusTranslateOptions::exceptionCodeStoredUnchecked()
{
    DescribedLink link;
    ModbusTranslateOptions options(requestTime, nullptr, 1, link);
    options.setAnswerExceptionCode(DorrikBus::ExceptionCode(42));
    QCOMPARE(int(options.answerExceptionCode()), 42);
    QVERIFY(options.toString().contains(QStringLiteral("answer exception code: ?")));
}

void tst_ModbusTranslateOptions::text_data()
{
    QTest::addColumn<TargetFactory>("makeTarget");
    QTest::addColumn<bool>("oneLine");
    QTest::addColumn<QString>("expected");

    const TargetFactory tcp = [] {
        return std::make_unique<ModbusTcpTarget>(QHostAddress(QStringLiteral("10.0.0.2")), 1502);
    };
    const TargetFactory none = [] { return std::unique_ptr<ModbusTarget>(); };

    QTest::newRow("tcp target") << tcp << false
                                << "request time: 2024:03:05 07:08:09.045"
                                   "from target: address: 10.0.0.2; port: 1502; transaction ID: 0\n"
                                   "request address: 17"
                                   "answer exception code: illegal data address"
                                   "from transport: server link\nport 1502\n";
    QTest::newRow("tcp target, one line")
        << tcp << true
        << "request time: 2024:03:05 07:08:09.045"
           "from target: address: 10.0.0.2; port: 1502; transaction ID: 0; "
           "request address: 17"
           "answer exception code: illegal data address"
           "from transport: server link; port 1502; ";
    QTest::newRow("plain modbus target")
        << TargetFactory([] { return std::make_unique<ModbusTarget>(); }) << true
        << "request time: 2024:03:05 07:08:09.045"
           "from target: request address: 17"
           "answer exception code: illegal data address"
           "from transport: server link; port 1502; ";
    QTest::newRow("no target") << none << false
                               << "request time: 2024:03:05 07:08:09.045"
                                  "from target: request address: 17"
                                  "answer exception code: illegal data address"
                                  "from transport: server link\nport 1502\n";
}

void tst_ModbusTranslateOptions::text()
{
    QFETCH(TargetFactory, makeTarget);
    QFETCH(bool, oneLine);
    QFETCH(QString, expected);

    DescribedLink link;
    const std::unique_ptr<ModbusTarget> target = makeTarget();
    ModbusTranslateOptions options(requestTime, target.get(), 17, link);
    options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
    const QString text = options.toString(oneLine);
    QCOMPARE(text, expected);
    if (oneLine)
        QVERIFY(!text.contains(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(tst_ModbusTranslateOptions)
#include "tst_modbustranslateoptions.moc"
