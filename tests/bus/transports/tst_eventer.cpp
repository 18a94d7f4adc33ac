#include "eventer.h"
#include "eventtranslator.h"
#include "fakelink.h"
#include "fakeusbbackend.h"
#include "keypadevent.h"
#include "modbuslibusbclient.h"
#include "systemevent.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The event side: bytes relayed by the registry become the Eventer's key and system signals,
// listeners veto either way, records are written and sent, the one-link `transport` property,
// an outside registry, and the whole road from the USB link's reader thread.
class tst_Eventer : public QObject
{
    Q_OBJECT

private slots:
    void delivers_data();
    void delivers();
    void receivingVeto_data();
    void receivingVeto();
    void unsupportedRecords_data();
    void unsupportedRecords();
    void send_data();
    void send();
    void transportProperty();
    void outsideTransporter();
    void eventsFromTheUsbReaderThread();
};

namespace {

ModbusBytes hexBytes(const QByteArray &hex)
{
    return ModbusBytes(QByteArray::fromHex(hex));
}

QList<int> intsOf(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &args : spy)
        values.append(args.at(0).toInt());
    return values;
}

} // namespace

void tst_Eventer::delivers_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("systemCodes");
    QTest::addColumn<int>("parserErrors");

    QTest::newRow("key 42") << QByteArray("012a") << QList<int>{42} << QList<int>{} << 0;
    QTest::newRow("key 255") << QByteArray("01ff") << QList<int>{255} << QList<int>{} << 0;
    QTest::newRow("shutdown key held") << QByteArray("02") << QList<int>{} << QList<int>{2} << 0;
    QTest::newRow("battery low") << QByteArray("03") << QList<int>{} << QList<int>{3} << 0;
    QTest::newRow("unknown type") << QByteArray("05") << QList<int>{} << QList<int>{} << 1;
    QTest::newRow("key without its code") << QByteArray("01") << QList<int>{} << QList<int>{} << 1;
    QTest::newRow("system event too long")
        << QByteArray("0205") << QList<int>{} << QList<int>{} << 1;
}

void tst_Eventer::delivers()
{
    QFETCH(QByteArray, payload);
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, systemCodes);
    QFETCH(int, parserErrors);

    Eventer eventer;
    QSignalSpy keySpy(&eventer, &Eventer::keypadEvent);
    QSignalSpy systemSpy(&eventer, &Eventer::systemEvent);

    emit eventer.transporter()->eventBytesReceived(hexBytes(payload), nullptr);

    QCOMPARE(intsOf(keySpy), keys);
    QCOMPARE(intsOf(systemSpy), systemCodes);
    // Bytes that are no event leave their message in the parser only.
    QCOMPARE(eventer.translator().parser().errorCount(), quint64(parserErrors));
    QCOMPARE(eventer.translator().errorCount(), quint64(0));
    QCOMPARE(eventer.errorCount(), quint64(0));
}

void tst_Eventer::receivingVeto_data()
{
    QTest::addColumn<bool>("veto");

    QTest::newRow("allowed") << false;
    QTest::newRow("vetoed") << true;
}

void tst_Eventer::receivingVeto()
{
    QFETCH(bool, veto);

    Eventer eventer;
    EventTranslator &translator = eventer.translator();
    int seenKey = -1;
    int received = 0;
    // The listener sees the whole record, not an IEvent cut from it.
    connect(
        &translator, &EventTranslator::eventReceiving, this,
        [&](const IEvent &event, const Target *, bool &allow) {
            if (const auto *keypad = dynamic_cast<const KeypadEvent *>(&event))
                seenKey = keypad->keyCode();
            if (veto)
                allow = false;
        },
        Qt::DirectConnection);
    connect(
        &translator, &EventTranslator::eventReceived, this,
        [&](const IEvent &, const Target *) { ++received; }, Qt::DirectConnection);
    QSignalSpy keySpy(&eventer, &Eventer::keypadEvent);

    emit eventer.transporter()->eventBytesReceived(hexBytes("0107"), nullptr);

    QCOMPARE(seenKey, 7);
    QCOMPARE(received, veto ? 0 : 1);
    QCOMPARE(intsOf(keySpy), veto ? QList<int>{} : QList<int>{7});
    QCOMPARE(eventer.errorCount(), quint64(0));
}

void tst_Eventer::unsupportedRecords_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("error");

    const QString prefix =
        QStringLiteral("unsupported event type received from event translator: ");
    QTest::newRow("type 3") << 3 << prefix + "?";
    // Records that only claim a type, without the data of that kind, are refused as well.
    QTest::newRow("bare record of the keyboard type") << 1 << prefix + "keyboard event";
    QTest::newRow("bare record of the system type") << 2 << prefix + "?";
}

void tst_Eventer::unsupportedRecords()
{
    QFETCH(int, type);
    QFETCH(QString, error);

    Eventer eventer;
    QSignalSpy keySpy(&eventer, &Eventer::keypadEvent);
    QSignalSpy systemSpy(&eventer, &Eventer::systemEvent);

    emit eventer.translator().eventReceived(IEvent(GlobalEvents::EventType(type)), nullptr);

    QCOMPARE(eventer.errorString(), error);
    QCOMPARE(keySpy.count() + systemSpy.count(), 0);
}

void tst_Eventer::send_data()
{
    QTest::addColumn<bool>("keyEvent"); // else a system event
    QTest::addColumn<bool>("veto");
    QTest::addColumn<bool>("linkForTarget");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("eventSent");
    QTest::addColumn<QList<QByteArray>>("onTheLink");
    QTest::addColumn<QString>("error");

    using L = QList<QByteArray>;
    QTest::newRow("key event written and sent")
        << true << false << true << true << 1 << L{"011f"} << QString();
    QTest::newRow("system events are never written")
        << false << false << true << false << 0 << L{} << QString();
    QTest::newRow("vetoed") << true << true << true << false << 0 << L{}
                            << "outcoming event was blocked by dispatcher(s)";
    QTest::newRow("no link for the target, the registry's error")
        << true << false << false << false << 1 << L{} << "transport not found";
}

void tst_Eventer::send()
{
    QFETCH(bool, keyEvent);
    QFETCH(bool, veto);
    QFETCH(bool, linkForTarget);
    QFETCH(bool, sent);
    QFETCH(int, eventSent);
    QFETCH(QList<QByteArray>, onTheLink);
    QFETCH(QString, error);

    FakeLink link(DorrikBus::ClientBus, nullptr, true);
    QVERIFY(link.connectTransport(false));
    Eventer eventer;
    eventer.setTransport(&link);
    EventTranslator &translator = eventer.translator();
    int sentSignals = 0;
    connect(
        &translator, &EventTranslator::eventSending, this,
        [&](const IEvent &, const Target *, bool &allow) { allow = !veto; }, Qt::DirectConnection);
    connect(
        &translator, &EventTranslator::eventSent, this,
        [&](const IEvent &, const Target *) { ++sentSignals; }, Qt::DirectConnection);

    ModbusTarget stray;
    const Target *target = linkForTarget ? link.target() : &stray;
    const bool result = keyEvent ? translator.send(KeypadEvent(0x1f), target)
                                 : translator.send(SystemEvent(2), target);

    QCOMPARE(result, sent);
    QCOMPARE(sentSignals, eventSent);
    QList<QByteArray> written;
    for (const ModbusBytes &bytes : link.sentEventBytes())
        written.append(bytes.toHex());
    QCOMPARE(written, onTheLink);
    QCOMPARE(translator.errorString(), error);
    QCOMPARE(eventer.errorString(), error);
    QCOMPARE(translator.deparser().errorCount(), quint64(keyEvent ? 0 : 1));
}

void tst_Eventer::transportProperty()
{
    FakeLink first(DorrikBus::ClientBus, nullptr, true);
    FakeLink second(DorrikBus::ClientBus, nullptr, true);
    auto eventer = std::make_unique<Eventer>();
    QSignalSpy changedSpy(eventer.get(), &Eventer::transportChanged);
    QCOMPARE(eventer->transport(), nullptr);

    eventer->setTransport(&first);
    QCOMPARE(eventer->transport(), &first);
    QCOMPARE(changedSpy.count(), 1);
    eventer->setTransport(&first);
    QCOMPARE(changedSpy.count(), 1);

    eventer->setTransport(&second);
    QCOMPARE(eventer->transporter()->transports(), QList<EventedTransport *>{&second});
    QCOMPARE(changedSpy.count(), 2);

    eventer->setTransport(nullptr);
    QVERIFY(eventer->transporter()->transports().isEmpty());
    QCOMPARE(eventer->transport(), nullptr);
    QCOMPARE(changedSpy.count(), 3);

    // The link is never the Eventer's: it outlives it.
    QPointer<FakeLink> kept(&first);
    eventer->setTransport(&first);
    eventer.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(kept);
    QCOMPARE(first.parent(), nullptr);
}

void tst_Eventer::outsideTransporter()
{
    FakeLink link(DorrikBus::ClientBus, nullptr, true);
    QVERIFY(link.connectTransport(false));
    Eventer eventer;
    eventer.setTransport(&link);
    QPointer<Transporter> own(eventer.transporter());

    // Setting the current registry again keeps it.
    eventer.setTransporter(*own);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(own);
    QVERIFY(link.connected());

    // Replacing the own registry closes its links and deletes it.
    auto outside = std::make_unique<Transporter>();
    eventer.setTransporter(*outside);
    QCOMPARE(eventer.transporter(), outside.get());
    QVERIFY(!link.connected());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!own);

    QSignalSpy keySpy(&eventer, &Eventer::keypadEvent);
    emit outside->eventBytesReceived(hexBytes("0109"), nullptr);
    QCOMPARE(intsOf(keySpy), QList<int>{9});

    // Once the outside registry is gone there is none.
    outside.reset();
    QCOMPARE(eventer.transporter(), nullptr);
    QCOMPARE(eventer.transport(), nullptr);
    QVERIFY(!eventer.translator().send(KeypadEvent(1), link.target()));
    QCOMPARE(eventer.errorString(), QStringLiteral("transporter == null"));
    QSignalSpy changedSpy(&eventer, &Eventer::transportChanged);
    eventer.setTransport(&link);
    QCOMPARE(changedSpy.count(), 0);
    QVERIFY(!eventer.connectTransports());
    QCOMPARE(eventer.errorCount(), quint64(3));
}

void tst_Eventer::eventsFromTheUsbReaderThread()
{
    auto backend = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend *usb = backend.get();
    usb->addInstrument("A1");
    ModbusLibusbClient client(std::move(backend));
    client.setEventsCheckInterval(10);
    Eventer eventer;
    eventer.setTransport(&client);
    QSignalSpy keySpy(&eventer, &Eventer::keypadEvent);
    QSignalSpy systemSpy(&eventer, &Eventer::systemEvent);

    QVERIFY(client.connectTransport(false));
    // The first poll after opening drops what it finds; the records come after it.
    QTRY_VERIFY_WITH_TIMEOUT(usb->readsOn(0x82) >= 1, 2000);
    usb->queueRead(0x82, QByteArray::fromHex("03012a"));
    usb->queueRead(0x82, QByteArray::fromHex("0205"));
    usb->queueRead(0x82, QByteArray::fromHex("0203"));

    QTRY_COMPARE_WITH_TIMEOUT(systemSpy.count(), 1, 2000);
    QCOMPARE(intsOf(keySpy), QList<int>{42});
    QCOMPARE(intsOf(systemSpy), QList<int>{3});
    QCOMPARE(eventer.translator().parser().errorCount(), quint64(1));
    QCOMPARE(eventer.translator().errorCount(), quint64(0));
    QCOMPARE(eventer.errorCount(), quint64(0));

    // Events are only read, never sent, over this link.
    QVERIFY(!eventer.translator().send(SystemEvent(3), client.target()));
    QVERIFY(!eventer.translator().send(KeypadEvent(1), client.target()));
}

QTEST_GUILESS_MAIN(tst_Eventer)
#include "tst_eventer.moc"
