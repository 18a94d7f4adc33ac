#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

#include <QElapsedTimer>
#include <QtTest>

// The simulated instrument as a master sees it: a Modbuser in the test's thread on the
// instrument's link, the answers coming from the instrument's own thread.
class tst_SimulatedInstrument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void inputAndHoldingRegistersAreApart();
    void reportAndFiles();
    void logsEveryRequest();
    void faults_data();
    void faults();
    void exceptionForAGivenNumberOfAnswers();
    void disconnectAndReconnect();

private:
    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<Modbuser> m_master;
};

void tst_SimulatedInstrument::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_master = std::make_unique<Modbuser>();
    m_master->setClientTransport(m_instrument->link());
}

void tst_SimulatedInstrument::cleanup()
{
    m_master.reset();
    m_instrument.reset();
}

void tst_SimulatedInstrument::inputAndHoldingRegistersAreApart()
{
    m_instrument->setRegisters(300010, ModbusBytes::fromHex("1111"));
    m_instrument->setRegisters(400010, ModbusBytes::fromHex("2222"));

    ModbusBytes input;
    ModbusBytes holding;
    QVERIFY(m_master->readRegisters(300010, 2, input));
    QVERIFY(m_master->readRegisters(400010, 2, holding));
    QCOMPARE(input.toHex(), QByteArray("11110000"));
    QCOMPARE(holding.toHex(), QByteArray("22220000"));

    QVERIFY(m_master->writeRegisters(400011, ModbusBytes::fromHex("abcdef01")));
    QVERIFY(m_master->writeRegister(400020, 0x1234));
    QCOMPARE(m_instrument->registers(400010, 3).toHex(), QByteArray("2222abcdef01"));
    QCOMPARE(m_instrument->registers(400020, 1).toHex(), QByteArray("1234"));
    QCOMPARE(m_instrument->registers(300011, 2).toHex(), QByteArray("00000000"));
}

void tst_SimulatedInstrument::reportAndFiles()
{
    m_instrument->setReportText(QStringLiteral("TVN-5"));
    m_instrument->setFile(3, ModbusBytes::fromHex("0001000200030004"));

    QString name;
    QVERIFY(m_master->getDevName(name));
    QCOMPARE(name, QStringLiteral("TVN-5"));

    ModbusBytes records;
    QVERIFY(m_master->readFile(3, 1, 2, records));
    QCOMPARE(records.toHex(), QByteArray("00020003"));
    QVERIFY(m_master->writeFile(3, 2, ModbusBytes::fromHex("aaaa")));
    QCOMPARE(m_instrument->file(3).toHex(), QByteArray("00010002aaaa0004"));

    // A record range past the end of the file is an illegal address.
    QVERIFY(!m_master->readFile(3, 3, 2, records));
    QVERIFY(m_master->errorString().contains(QLatin1String("exception")));
}

void tst_SimulatedInstrument::logsEveryRequest()
{
    m_instrument->setFile(1, ModbusBytes::fromSize(8, 0));
    m_master->setDeviceAddress(7);
    ModbusBytes bytes;
    QVERIFY(m_master->readRegisters(300005, 3, bytes));
    QVERIFY(m_master->readRegisters(400100, 2, bytes));
    QVERIFY(m_master->writeRegister(400003, 1));
    QVERIFY(m_master->writeRegisters(400004, ModbusBytes::fromSize(6, 1)));
    QVERIFY(m_master->readFile(1, 2, 2, bytes));
    QVERIFY(m_master->writeFile(1, 0, ModbusBytes::fromSize(4, 1)));
    QVERIFY(m_master->getReport(bytes));

    const QList<InstrumentRequest> log = m_instrument->requests();
    QCOMPARE(log.size(), 7);
    const QList<std::tuple<int, quint32, int, int>> expected = {
        {4, 300005, 3, 0}, {3, 400100, 2, 0}, {6, 400003, 1, 0}, {16, 400004, 3, 0},
        {68, 2, 2, 1},     {69, 0, 2, 1},     {17, 0, 0, 0},
    };
    for (int i = 0; i < log.size(); ++i) {
        const auto [function, address, count, file] = expected.at(i);
        QCOMPARE(int(log.at(i).function), function);
        QCOMPARE(log.at(i).address, address);
        QCOMPARE(log.at(i).count, count);
        QCOMPARE(int(log.at(i).file), file);
        QCOMPARE(int(log.at(i).unit), 7);
    }
    // Writes carry what they wrote; reads nothing.
    QCOMPARE(log.at(0).bytes.toHex(), QByteArray());
    QCOMPARE(log.at(2).bytes.toHex(), QByteArray("0001"));
    QCOMPARE(log.at(3).bytes.toHex(), QByteArray("010101010101"));
    QCOMPARE(log.at(5).bytes.toHex(), QByteArray("01010101"));
    m_instrument->clearRequests();
    QCOMPARE(m_instrument->requestCount(), 0);
}

enum class Fault { Exception, Drop, Short, Delay };

void tst_SimulatedInstrument::faults_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("exception at a covered address")
        << Fault::Exception << false << QStringLiteral("received exception packet");
    QTest::newRow("dropped answer") << Fault::Drop << false << QStringLiteral("answer");
    QTest::newRow("short answer") << Fault::Short << false
                                  << QStringLiteral("doesn't equal requested registers count");
    QTest::newRow("delay") << Fault::Delay << true << QString();
}

void tst_SimulatedInstrument::faults()
{
    QFETCH(Fault, fault);
    QFETCH(bool, ok);
    QFETCH(QString, errorPart);

    switch (fault) {
    case Fault::Exception:
        m_instrument->setException(400012, DorrikBus::IllegalDataValue);
        break;
    case Fault::Drop:
        m_instrument->setDropAnswers(1);
        break;
    case Fault::Short:
        m_instrument->setShortAnswers(2, 1);
        break;
    case Fault::Delay:
        m_instrument->setDelay(150);
        break;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    ModbusBytes bytes;
    QCOMPARE(m_master->readRegisters(400010, 4, bytes), ok);
    if (!ok)
        QVERIFY2(m_master->errorString().contains(errorPart), qPrintable(m_master->errorString()));
    if (fault == Fault::Delay)
        QVERIFY(elapsed.elapsed() >= 150);
    QCOMPARE(m_instrument->requestCount(), 1);

    // Faults with a count are spent; a request beside the exception's address is answered.
    if (fault != Fault::Exception)
        m_instrument->setDelay(0);
    QVERIFY(m_master->readRegisters(400013, 4, bytes));
    QCOMPARE(bytes.regsCount(), 4);
}

void tst_SimulatedInstrument::exceptionForAGivenNumberOfAnswers()
{
    m_instrument->setException(300001, DorrikBus::SlaveDeviceBusy, 2);
    ModbusBytes bytes;
    QVERIFY(!m_master->readRegisters(300001, 1, bytes));
    QVERIFY(!m_master->readRegisters(300001, 1, bytes));
    QVERIFY(m_master->readRegisters(300001, 1, bytes));
    // Input and holding addresses are not the same register.
    m_instrument->setException(400001, DorrikBus::SlaveDeviceBusy);
    QVERIFY(m_master->readRegisters(300001, 1, bytes));
    m_instrument->clearExceptions();
    QVERIFY(m_master->readRegisters(400001, 1, bytes));
}

void tst_SimulatedInstrument::disconnectAndReconnect()
{
    QVERIFY(m_instrument->linkConnected());
    m_instrument->setDisconnectOnRequest(true);
    ModbusBytes bytes;
    QVERIFY(!m_master->readRegisters(400001, 1, bytes));
    QTRY_VERIFY_WITH_TIMEOUT(!m_instrument->linkConnected(), 2000);
    QVERIFY(!m_master->readRegisters(400001, 1, bytes));
    // The request on a link that is down never reaches the instrument.
    QCOMPARE(m_instrument->requestCount(), 1);

    m_instrument->connectLink();
    QVERIFY(m_instrument->linkConnected());
    QVERIFY(m_master->readRegisters(400001, 1, bytes));
    m_instrument->disconnectLink();
    QVERIFY(!m_instrument->linkConnected());
}

QTEST_GUILESS_MAIN(tst_SimulatedInstrument)
#include "tst_simulatedinstrument.moc"
