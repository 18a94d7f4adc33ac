#include "ipacket.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbuspacketreg.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustranslator.h"
#include "modbustransporter.h"

#include <QPointer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

QByteArray spaced(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

ModbusPacketReg readRequest(unsigned short address, unsigned short count)
{
    ModbusPacketReg request;
    request.setFunctionCode(DorrikBus::ReadHoldingRegisters);
    request.setRequestAddress(address);
    request.setRequestRegistersCount(count);
    return request;
}

// Records the order of a translator's packet signals.
void logSignals(ModbusTranslator &translator, QStringList &log)
{
    QObject::connect(
        &translator, &ModbusTranslator::packetSending, &translator,
        [&log](const ModbusPacket &, const ModbusTarget *, bool &) { log << "sending"; },
        Qt::DirectConnection);
    QObject::connect(
        &translator, &ModbusTranslator::packetSent, &translator,
        [&log](const ModbusPacket &, const ModbusTarget *) { log << "sent"; },
        Qt::DirectConnection);
    QObject::connect(
        &translator, &ModbusTranslator::packetReceiving, &translator,
        [&log](const ModbusPacket &, const ModbusTarget *, bool &) { log << "receiving"; },
        Qt::DirectConnection);
    QObject::connect(
        &translator, &ModbusTranslator::packetReceived, &translator,
        [&log](const ModbusPacket &, const ModbusTarget *) { log << "received"; },
        Qt::DirectConnection);
    QObject::connect(
        &translator, &ModbusTranslator::packetRequestReceived, &translator,
        [&log](ModbusPacket &, ModbusTranslateOptions &, ModbusPacket **) { log << "request"; },
        Qt::DirectConnection);
}

// A client link with one target and no peer; scripts whether it names a client target and how
// many times it admits to its target.
class ScriptedLink : public ModbusTransport
{
public:
    explicit ScriptedLink(bool withClientTarget)
        : ModbusTransport(DorrikBus::ClientBus, nullptr, false),
          m_withClientTarget(withClientTarget)
    {}

    bool sendBytes(const ModbusBytes &, const Target *target, ModbusBytes *,
                   QString *error) override
    {
        return checkCanSendBytes(target, error);
    }
    bool hasTarget(const Target *target) override
    {
        if (target != &m_target || targetAnswers == 0)
            return false;
        if (targetAnswers > 0)
            --targetAnswers;
        return true;
    }
    int targetsCount() const override { return 1; }
    qint64 bytesAvailable(const Target *) override { return 0; }
    const Target *clientTarget() override { return m_withClientTarget ? &m_target : nullptr; }
    ModbusParser *createParser(QObject *parent) override { return new ModbusRTUParser(parent); }
    ModbusDeparser *createDeparser(QObject *parent) override
    {
        return new ModbusRTUDeparser(parent);
    }
    QString toString(bool) const override { return QStringLiteral("scripted link"); }

    ModbusTarget m_target;
    // How many more times hasTarget admits the target; -1: always.
    int targetAnswers = -1;

protected:
    bool connectTransportInternal() override { return true; }
    bool disconnectTransportInternal() override { return true; }

private:
    const bool m_withClientTarget;
};

class ForeignPacket : public IPacket
{
public:
    QString toString(bool) const override { return QStringLiteral("foreign packet"); }
};

// Accepts any bytes and gives a packet that is not a Modbus packet.
class ForeignPacketParser : public ModbusParser
{
public:
    bool canParse(const ModbusBytes &, DorrikBus::PacketState) const override { return true; }
    IPacket *parse(const ModbusBytes &, const IParseInfo &, const Target *) override
    {
        return new ForeignPacket;
    }
    QString toString(bool) const override { return QStringLiteral("foreign packet parser"); }
};

class CountingParser : public ModbusRTUParser
{
public:
    IPacket *parse(const ModbusBytes &bytes, const IParseInfo &info, const Target *target) override
    {
        ++parses;
        return ModbusRTUParser::parse(bytes, info, target);
    }
    int parses = 0;
};

// A master translator on a loopback client and a slave translator on its server. The registries
// own the links; the slave goes first on destruction, so the client outlives its server.
struct LoopbackBench
{
    LoopbackBench()
    {
        server = new ModbusLoopbackServer;
        client = new ModbusLoopbackClient(*server);
        slave.addTransport(*server, true, true);
        master.addTransport(*client, true, true);
        server->connectTransport(false);
        client->connectTransport(false);
    }

    // The test slave: answers reads of holding registers with `registers`, or with
    // `exception` when it is set.
    void answerReads(const ModbusBytes &registers,
                     DorrikBus::ExceptionCode exception = DorrikBus::NoException)
    {
        QObject::connect(
            &slave, &ModbusTranslator::packetRequestReceived, &slave,
            [this, registers, exception](ModbusPacket &request, ModbusTranslateOptions &options,
                                         ModbusPacket **answer) {
                seenRequest = static_cast<ModbusPacketReg &>(request);
                seenFromTransport = options.fromTransport();
                seenFromTarget = options.fromTarget();
                seenRequestAddress = options.requestAddress();
                if (onRequest)
                    onRequest();
                auto *reply = new ModbusPacketReg;
                reply->setFunctionCode(request.functionCode());
                reply->setState(DorrikBus::Response);
                reply->setExceptionCode(exception);
                reply->setRegBytes(registers);
                *answer = reply;
            },
            Qt::DirectConnection);
    }

    ModbusTranslator master;
    ModbusTranslator slave;
    ModbusLoopbackServer *server;
    ModbusLoopbackClient *client;

    ModbusPacketReg seenRequest;
    const ModbusTransport *seenFromTransport = nullptr;
    const ModbusTarget *seenFromTarget = nullptr;
    int seenRequestAddress = -1;
    std::function<void()> onRequest;
};

} // namespace

class tst_ModbusTranslator : public QObject
{
    Q_OBJECT

private slots:
    void masterRoadOverLoopback_data();
    void masterRoadOverLoopback();
    void vetoes_data();
    void vetoes();
    void errorTable_data();
    void errorTable();
    void reportedErrorsCarryTheirSource_data();
    void reportedErrorsCarryTheirSource();
    void sendReturnsTheLinkResult_data();
    void sendReturnsTheLinkResult();
    void slaveRoad_data();
    void slaveRoad();
    void bytesFromAnAwaitedTargetAreIgnored_data();
    void bytesFromAnAwaitedTargetAreIgnored();
    void firstAcceptingParserIsUsed();
    void removedLinkLeavesNoCodecs();
    void setTransporterReplacesAnOwnedRegistry();
};

void tst_ModbusTranslator::masterRoadOverLoopback_data()
{
    QTest::addColumn<bool>("defaultTarget");
    QTest::addColumn<int>("exception");
    QTest::addColumn<QByteArray>("wireAnswer");
    QTest::addColumn<QByteArray>("registers");

    QTest::newRow("fc3 answer, 2 registers, explicit target")
        << false << 0 << QByteArray("01 03 04 00 0a 01 02 5a 60") << QByteArray("00 0a 01 02");
    QTest::newRow("fc3 answer, 2 registers, client transport's target")
        << true << 0 << QByteArray("01 03 04 00 0a 01 02 5a 60") << QByteArray("00 0a 01 02");
    QTest::newRow("exception answer, illegal data address")
        << false << int(DorrikBus::IllegalDataAddress) << QByteArray("01 83 02 c0 f1")
        << QByteArray();
}

void tst_ModbusTranslator::masterRoadOverLoopback()
{
    QFETCH(bool, defaultTarget);
    QFETCH(int, exception);
    QFETCH(QByteArray, wireAnswer);
    QFETCH(QByteArray, registers);

    LoopbackBench bench;
    bench.answerReads(hex("000a0102"), DorrikBus::ExceptionCode(exception));
    QStringList masterLog, slaveLog;
    logSignals(bench.master, masterLog);
    logSignals(bench.slave, slaveLog);
    QByteArray wireRequest, wireReply;
    QObject::connect(bench.server, &Transport::bytesReceived, bench.server,
                     [&](const ModbusBytes &bytes, const Target *) { wireRequest = bytes; });
    QObject::connect(bench.client, &Transport::bytesReceived, bench.client,
                     [&](const ModbusBytes &bytes, const Target *) { wireReply = bytes; });

    ModbusPacketReg request = readRequest(0, 2);
    std::unique_ptr<ModbusPacket> answer(
        bench.master.sendAndReceive(request, defaultTarget ? nullptr : bench.client->target()));

    QVERIFY2(answer, qPrintable(bench.master.errorString()));
    QCOMPARE(spaced(wireRequest), QByteArray("01 03 00 00 00 02 c4 0b"));
    QCOMPARE(spaced(wireReply), wireAnswer);
    QCOMPARE(answer->state(), DorrikBus::Response);
    QCOMPARE(answer->functionCode(), DorrikBus::ReadHoldingRegisters);
    QCOMPARE(int(answer->exceptionCode()), exception);
    QCOMPARE(spaced(static_cast<ModbusPacketReg &>(*answer).regBytes()), registers);
    QCOMPARE(masterLog, QStringList({"sending", "sent", "receiving", "received"}));
    QCOMPARE(slaveLog, QStringList({"receiving", "received", "request", "sent"}));
    QCOMPARE(bench.master.errorCount(), quint64(0));
    QCOMPARE(bench.slave.errorCount(), quint64(0));

    QCOMPARE(int(bench.seenRequest.requestAddress()), 0);
    QCOMPARE(int(bench.seenRequest.requestRegistersCount()), 2);
    QCOMPARE(bench.seenRequestAddress, 1);
    QCOMPARE(bench.seenFromTransport, static_cast<const ModbusTransport *>(bench.server));
    QCOMPARE(bench.seenFromTarget, bench.server->target());
}

void tst_ModbusTranslator::vetoes_data()
{
    QTest::addColumn<bool>("vetoRequest");
    QTest::addColumn<bool>("viaSend");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("slaveAsked");

    QTest::newRow("request vetoed, sendAndReceive")
        << true << false << "outcoming packet was blocked by dispatcher(s)" << false;
    QTest::newRow("request vetoed, send")
        << true << true << "outcoming packet was blocked by dispatcher(s)" << false;
    QTest::newRow("answer vetoed")
        << false << false << "answer was blocked by dispatcher(s)" << true;
}

void tst_ModbusTranslator::vetoes()
{
    QFETCH(bool, vetoRequest);
    QFETCH(bool, viaSend);
    QFETCH(QString, error);
    QFETCH(bool, slaveAsked);

    LoopbackBench bench;
    bench.answerReads(hex("000a"));
    bool asked = false;
    bench.onRequest = [&asked] { asked = true; };
    auto veto = [](const ModbusPacket &, const ModbusTarget *, bool &allow) { allow = false; };
    if (vetoRequest)
        QObject::connect(&bench.master, &ModbusTranslator::packetSending, &bench.master, veto,
                         Qt::DirectConnection);
    else
        QObject::connect(&bench.master, &ModbusTranslator::packetReceiving, &bench.master, veto,
                         Qt::DirectConnection);
    QStringList log;
    logSignals(bench.master, log);

    ModbusPacketReg request = readRequest(0, 1);
    if (viaSend) {
        ModbusTarget *target = const_cast<ModbusTarget *>(bench.client->target());
        QVERIFY(!bench.master.send(target, request));
    } else {
        std::unique_ptr<ModbusPacket> answer(bench.master.sendAndReceive(request));
        QVERIFY(!answer);
    }
    QCOMPARE(bench.master.errorString(), error);
    QCOMPARE(asked, slaveAsked);
    // A vetoed packet goes no further: nothing is sent, nothing is received.
    QCOMPARE(log, vetoRequest ? QStringList({"sending"})
                              : QStringList({"sending", "sent", "receiving"}));
}

enum class Scenario {
    NoClientTransport,
    ClientWithoutTarget,
    RequestInResponseState,
    NoDeparser,
    NoLink,
    ServerLink,
    NoParserForAnswer,
    WrongPacketKind,
    AnswerNotInResponseState,
    RegistryGone,
};
Q_DECLARE_METATYPE(Scenario)

void tst_ModbusTranslator::errorTable_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QString>("error");

    QTest::newRow("no target and no client transport")
        << Scenario::NoClientTransport
        << "sendAndReceivePacket: can't find default client transport";
    QTest::newRow("client transport without a target")
        << Scenario::ClientWithoutTarget << "sendAndReceivePacket: invalid target";
    QTest::newRow("request not in state Request")
        << Scenario::RequestInResponseState << "you must send only 'Request'-state packets";
    QTest::newRow("no deparser on the link")
        << Scenario::NoDeparser << "can't find needed deparser";
    QTest::newRow("no link for the target") << Scenario::NoLink << "can't find transport";
    QTest::newRow("server link") << Scenario::ServerLink
                                 << "only modbus client can't send and receive packets";
    QTest::newRow("parser deleted, none accepts the answer")
        << Scenario::NoParserForAnswer
        << "can't find needed parser for bytes: 010304000a01025a60;  sent packet: %1";
    QTest::newRow("parser gives a packet of another kind")
        << Scenario::WrongPacketKind << "ERROR: parser returned wrong packet type";
    QTest::newRow("answer not in state Response")
        << Scenario::AnswerNotInResponseState << "received 'non-Response'-state packet";
    QTest::newRow("registry destroyed") << Scenario::RegistryGone << "can't find transporter";
}

void tst_ModbusTranslator::errorTable()
{
    QFETCH(Scenario, scenario);
    QFETCH(QString, error);

    LoopbackBench bench;
    DorrikBus::ExceptionCode slaveException = DorrikBus::NoException;
    ModbusTranslator &master = bench.master;
    ModbusTranslator lone;
    ScriptedLink link(scenario != Scenario::ClientWithoutTarget);
    ModbusLoopbackClient bareClient(*bench.server);
    ModbusPacketReg request = readRequest(0, 2);
    ModbusParseInfo info(DorrikBus::Response);
    ModbusTranslator *translator = &master;
    const ModbusTarget *target = bench.client->target();

    switch (scenario) {
    case Scenario::NoClientTransport:
        translator = &lone;
        target = nullptr;
        break;
    case Scenario::ClientWithoutTarget:
        lone.addTransport(link, true, false);
        translator = &lone;
        target = nullptr;
        break;
    case Scenario::RequestInResponseState:
        request.setState(DorrikBus::Response);
        break;
    case Scenario::NoDeparser:
        bareClient.connectTransport(false);
        lone.addTransport(bareClient, false, false);
        translator = &lone;
        target = bareClient.target();
        break;
    case Scenario::NoLink:
        // Admits its target to the deparser look-up and then no more.
        link.targetAnswers = 1;
        lone.addTransport(link, true, false);
        translator = &lone;
        target = &link.m_target;
        break;
    case Scenario::ServerLink:
        translator = &bench.slave;
        target = bench.server->target();
        break;
    case Scenario::NoParserForAnswer:
        delete master.findChild<ModbusParser *>();
        error = error.arg(request.toString(true));
        break;
    case Scenario::WrongPacketKind: {
        delete master.findChild<ModbusParser *>();
        auto *foreign = new ForeignPacketParser;
        foreign->setParent(&master);
        master.addParser(*foreign, *bench.client);
        break;
    }
    case Scenario::AnswerNotInResponseState:
        // An exception answer reads alike in both states, so the caller's info decides.
        slaveException = DorrikBus::IllegalDataAddress;
        info = ModbusParseInfo(DorrikBus::Request);
        break;
    case Scenario::RegistryGone:
        delete master.transporter();
        QVERIFY(!master.transporter());
        break;
    }
    bench.answerReads(hex("000a0102"), slaveException);

    std::unique_ptr<ModbusPacket> answer(translator->sendAndReceive(request, info, target));
    QVERIFY(!answer);
    QCOMPARE(translator->errorString(), error);
}

void tst_ModbusTranslator::reportedErrorsCarryTheirSource_data()
{
    QTest::addColumn<bool>("badCrc");

    QTest::newRow("link answers nothing") << false;
    QTest::newRow("answer with a bad crc") << true;
}

void tst_ModbusTranslator::reportedErrorsCarryTheirSource()
{
    QFETCH(bool, badCrc);

    // No slave listens; the server's read fallback answers, or nothing does.
    LoopbackBench bench;
    if (badCrc)
        QObject::connect(bench.server, &Transport::read, bench.server,
                         [](const QString &, const Target *, QString &reply) {
                             reply = QStringLiteral("01 03 02 00 01 00 00");
                         });
    ModbusPacketReg request = readRequest(0, 1);
    std::unique_ptr<ModbusPacket> answer(bench.master.sendAndReceive(request));
    QVERIFY(!answer);

    if (badCrc) {
        auto *parser = bench.master.findChild<ModbusParser *>();
        QVERIFY(parser->errorString().startsWith("ModbusRTUParser parse error: "));
        QCOMPARE(bench.master.errorString(),
                 parser->errorString() + "  (" + parser->toString(true) + ")");
    } else {
        QCOMPARE(bench.client->errorString(), QString("zero length answer received"));
        QCOMPARE(bench.master.errorString(),
                 QString("zero length answer received  (Transporter; )"));
    }
}

void tst_ModbusTranslator::sendReturnsTheLinkResult_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("error");

    QTest::newRow("link sends") << true << QString();
    QTest::newRow("link fails") << false << "can't send bytes via disconnected transport";
}

void tst_ModbusTranslator::sendReturnsTheLinkResult()
{
    QFETCH(bool, connected);
    QFETCH(QString, error);

    LoopbackBench bench;
    bench.answerReads(hex("000a"));
    if (!connected)
        bench.client->disconnectTransport();
    QByteArray wireRequest;
    QObject::connect(bench.server, &Transport::bytesReceived, bench.server,
                     [&](const ModbusBytes &bytes, const Target *) { wireRequest = bytes; });
    int registryBytesSent = 0;
    QObject::connect(bench.master.transporter(), &Transporter::bytesSent, bench.server,
                     [&](const ModbusBytes &, const Target *) { ++registryBytesSent; });

    ModbusPacketReg request = readRequest(0, 1);
    ModbusTarget *target = const_cast<ModbusTarget *>(bench.client->target());
    QCOMPARE(bench.master.send(target, request), connected);
    QCOMPARE(bench.master.errorString(), error);
    QCOMPARE(spaced(wireRequest), connected ? QByteArray("01 03 00 00 00 01 84 0a") : QByteArray());
    // Straight to the link, past the registry.
    QCOMPARE(registryBytesSent, 0);
}

enum class SlaveCase {
    Answered,
    ResponseOnlySignalled,
    AnswerNotInResponseState,
    MissingParser,
    NoAnswerStored,
    RequestVetoed,
};
Q_DECLARE_METATYPE(SlaveCase)

void tst_ModbusTranslator::slaveRoad_data()
{
    QTest::addColumn<SlaveCase>("slaveCase");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QStringList>("signalsSeen");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("answer");

    const QByteArray readFrame("010300000002c40b");
    QTest::newRow("request answered") << SlaveCase::Answered << readFrame
                                      << QStringList({"receiving", "received", "request", "sent"})
                                      << QString() << QByteArray("01 03 04 00 0a 01 02 5a 60");
    // A client link hands in an answer: it is only signalled.
    QTest::newRow("response packet only signalled")
        << SlaveCase::ResponseOnlySignalled << QByteArray("01060005002a1814")
        << QStringList({"receiving", "received"}) << QString() << QByteArray();
    QTest::newRow("answer packet not in state Response")
        << SlaveCase::AnswerNotInResponseState << readFrame
        << QStringList({"receiving", "received", "request"})
        << "you must answer only by 'Response'-state packets" << QByteArray();
    QTest::newRow("no parser for the request bytes")
        << SlaveCase::MissingParser << readFrame << QStringList() << "can't find needed parser2"
        << QByteArray();
    QTest::newRow("listener stores no answer")
        << SlaveCase::NoAnswerStored << readFrame
        << QStringList({"receiving", "received", "request"}) << QString() << QByteArray();
    QTest::newRow("request vetoed on arrival")
        << SlaveCase::RequestVetoed << readFrame << QStringList({"receiving"}) << QString()
        << QByteArray();
}

void tst_ModbusTranslator::slaveRoad()
{
    QFETCH(SlaveCase, slaveCase);
    QFETCH(QByteArray, frame);
    QFETCH(QStringList, signalsSeen);
    QFETCH(QString, error);
    QFETCH(QByteArray, answer);

    ModbusTranslator slave;
    ModbusLoopbackServer server;
    ModbusLoopbackClient client;
    QStringList log;
    logSignals(slave, log);
    const bool clientSide = slaveCase == SlaveCase::ResponseOnlySignalled;
    const bool withCodecs = slaveCase != SlaveCase::MissingParser;
    if (clientSide)
        slave.addTransport(client, withCodecs, false);
    else
        slave.addTransport(server, withCodecs, false);
    QObject::connect(
        &slave, &ModbusTranslator::packetRequestReceived, &slave,
        [slaveCase](ModbusPacket &request, ModbusTranslateOptions &, ModbusPacket **reply) {
            if (slaveCase == SlaveCase::NoAnswerStored)
                return;
            auto *packet = new ModbusPacketReg;
            packet->setFunctionCode(request.functionCode());
            packet->setRegBytes(hex("000a0102"));
            if (slaveCase != SlaveCase::AnswerNotInResponseState)
                packet->setState(DorrikBus::Response);
            *reply = packet;
        },
        Qt::DirectConnection);
    if (slaveCase == SlaveCase::RequestVetoed)
        QObject::connect(
            &slave, &ModbusTranslator::packetReceiving, &slave,
            [](const ModbusPacket &, const ModbusTarget *, bool &allow) { allow = false; },
            Qt::DirectConnection);

    ModbusBytes reply;
    const ModbusBytes bytes = ModbusBytes::fromHex(frame);
    if (clientSide)
        emit client.requestBytesReceived(bytes, client.target(), &reply);
    else
        server.emulateBytesReceived(bytes, reply);

    QCOMPARE(log, signalsSeen);
    QCOMPARE(spaced(reply), answer);
    QCOMPARE(slave.errorString(), error);
    QCOMPARE(slave.errorCount(), quint64(error.isEmpty() ? 0 : 1));
}

void tst_ModbusTranslator::bytesFromAnAwaitedTargetAreIgnored_data()
{
    QTest::addColumn<bool>("duringExchange");
    QTest::addColumn<QStringList>("signalsSeen");

    QTest::newRow("during the exchange") << true << QStringList();
    QTest::newRow("outside an exchange") << false << QStringList({"receiving", "received"});
}

void tst_ModbusTranslator::bytesFromAnAwaitedTargetAreIgnored()
{
    QFETCH(bool, duringExchange);
    QFETCH(QStringList, signalsSeen);

    LoopbackBench bench;
    bench.answerReads(hex("000a"));
    QStringList log;
    ModbusBytes nestedAnswer;
    // Bytes that arrive from the target of the master's own exchange.
    auto arrive = [&] {
        logSignals(bench.master, log);
        bench.master.onRequestBytesReceived(hex("01060005002a1814"), bench.client->target(),
                                            &nestedAnswer);
        QObject::disconnect(&bench.master, nullptr, &bench.master, nullptr);
    };
    if (duringExchange) {
        bench.onRequest = arrive;
        ModbusPacketReg request = readRequest(0, 1);
        std::unique_ptr<ModbusPacket> answer(bench.master.sendAndReceive(request));
        QVERIFY(answer);
    } else {
        arrive();
    }
    QCOMPARE(log, signalsSeen);
    QVERIFY(nestedAnswer.isEmpty());
}

void tst_ModbusTranslator::firstAcceptingParserIsUsed()
{
    LoopbackBench bench;
    bench.answerReads(hex("000a"));
    auto *ownParser = bench.master.findChild<ModbusParser *>();
    CountingParser counting;
    bench.master.addParser(counting, *bench.client);
    ModbusPacketReg request = readRequest(0, 1);

    std::unique_ptr<ModbusPacket> first(bench.master.sendAndReceive(request));
    QVERIFY(first);
    QCOMPARE(counting.parses, 0);

    QVERIFY(bench.master.removeParser(*ownParser));
    QVERIFY(!bench.master.removeParser(*ownParser));
    std::unique_ptr<ModbusPacket> second(bench.master.sendAndReceive(request));
    QVERIFY(second);
    QCOMPARE(counting.parses, 1);
}

void tst_ModbusTranslator::removedLinkLeavesNoCodecs()
{
    ModbusTranslator translator;
    ModbusLoopbackServer server;
    ModbusLoopbackClient client(server);
    server.connectTransport(false);
    client.connectTransport(false);
    translator.addTransport(client, true, false);
    translator.transporter()->removeTransport(client);

    translator.addTransport(client, false, false);
    ModbusPacketReg request = readRequest(0, 1);
    std::unique_ptr<ModbusPacket> answer(translator.sendAndReceive(request));
    QVERIFY(!answer);
    QCOMPARE(translator.errorString(), QString("can't find needed deparser"));
}

void tst_ModbusTranslator::setTransporterReplacesAnOwnedRegistry()
{
    LoopbackBench bench;
    bench.answerReads(hex("000a"));
    QPointer<ModbusTransporter> old = bench.master.transporter();
    QPointer<ModbusLoopbackClient> oldClient = bench.client;
    ModbusTransporter replacement;
    bench.master.setTransporter(replacement);

    QCOMPARE(bench.master.transporter(), &replacement);
    // The old registry was the translator's own: it closes its links and goes.
    QVERIFY(!oldClient->connected());
    QTRY_VERIFY_WITH_TIMEOUT(old.isNull(), 1000);
    QVERIFY(oldClient.isNull());

    auto *client = new ModbusLoopbackClient(*bench.server);
    client->connectTransport(false);
    bench.master.addTransport(*client, true, true);
    ModbusPacketReg request = readRequest(0, 1);
    std::unique_ptr<ModbusPacket> answer(bench.master.sendAndReceive(request));
    QVERIFY2(answer, qPrintable(bench.master.errorString()));
}

QTEST_GUILESS_MAIN(tst_ModbusTranslator)
#include "tst_modbustranslator.moc"
