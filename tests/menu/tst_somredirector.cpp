#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbuspacketreg.h"
#include "modbustranslator.h"
#include "simulatedinstrument.h"
#include "somredirector.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg)
        g_warnings << text;
    g_previousHandler(type, context, text);
}

} // namespace

// The requester reaches the instrument through the redirector: its loopback client talks to the
// redirector's incoming server link, and the redirector forwards to the simulated instrument's
// link.
class tst_SOMRedirector : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void forwardsRequests_data();
    void forwardsRequests();
};

void tst_SOMRedirector::init()
{
    g_warnings.clear();
    g_previousHandler = qInstallMessageHandler(recordWarnings);
}

void tst_SOMRedirector::cleanup()
{
    qInstallMessageHandler(g_previousHandler);
}

void tst_SOMRedirector::forwardsRequests_data()
{
    QTest::addColumn<bool>("incomingUp");
    QTest::addColumn<bool>("outgoingDown");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("connectionChanges");

    QTest::newRow("both links up: answered, nothing reconnects") << true << false << true << 0;
    QTest::newRow("incoming link down: connected by the redirector") << false << false << true << 1;
    QTest::newRow("outgoing link down: no answer") << true << true << false << 0;
}

void tst_SOMRedirector::forwardsRequests()
{
    QFETCH(bool, incomingUp);
    QFETCH(bool, outgoingDown);
    QFETCH(bool, answered);
    QFETCH(int, connectionChanges);

    SimulatedInstrument instrument;
    instrument.setRegisters(400011, ModbusBytes::fromHex("12345678"));
    ModbusLoopbackServer incoming;
    ModbusLoopbackClient requester(incoming);
    ModbusTranslator master;
    master.addTransport(requester, true, false);
    if (incomingUp)
        QVERIFY(incoming.connectTransport(false));
    QVERIFY(instrument.linkConnected());
    ModbusTransport &outgoing = *instrument.link();

    QSignalSpy incomingChanges(&incoming, &Transport::connectedChanged);
    QSignalSpy outgoingChanges(&outgoing, &Transport::connectedChanged);
    auto redirector = std::make_unique<SOMRedirector>(incoming, outgoing);
    QCOMPARE(incomingChanges.count() + outgoingChanges.count(), connectionChanges);
    QVERIFY(incoming.connected());

    const QStringList announced = g_warnings.filter(QStringLiteral("redirector connected...   "));
    QCOMPARE(announced.size(), 1);
    QVERIFY2(announced.first().startsWith(QStringLiteral("redirector connected...   ")),
             qPrintable(announced.first()));
    QVERIFY2(announced.first().endsWith('"' + incoming.toString(true) + '"'),
             qPrintable(announced.first()));

    if (outgoingDown)
        instrument.disconnectLink();
    QVERIFY(requester.connectTransport(false));
    instrument.clearRequests();

    ModbusPacketReg request;
    request.setFunctionCode(DorrikBus::ReadHoldingRegisters);
    request.setRequestAddress(10);
    request.setRequestRegistersCount(2);
    std::unique_ptr<ModbusPacket> answer(master.sendAndReceive(request, requester.target()));

    QCOMPARE(bool(answer), answered);
    if (answered) {
        auto *registers = dynamic_cast<ModbusPacketReg *>(answer.get());
        QVERIFY(registers);
        QCOMPARE(registers->regBytes().toHex(), QByteArray("12345678"));
        QCOMPARE(instrument.requestCount(), 1);
        QCOMPARE(instrument.requests().first().address, quint32(400011));
    } else {
        QCOMPARE(instrument.requestCount(), 0);
    }
}

QTEST_GUILESS_MAIN(tst_SOMRedirector)
#include "tst_somredirector.moc"
