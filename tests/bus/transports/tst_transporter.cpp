#include "fakelink.h"
#include "modbustransporter.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

// An evented link that is not a Modbus link: the Modbus registry refuses it.
class PlainLink : public EventedTransport
{
    Q_OBJECT

public:
    PlainLink() : EventedTransport(nullptr, false) {}
    bool sendBytes(const ModbusBytes &, const Target *, ModbusBytes *, QString *) override
    {
        return true;
    }
    bool hasTarget(const Target *) override { return true; }
    int targetsCount() const override { return 1; }
    qint64 bytesAvailable(const Target *) override { return 0; }
    QString toString(bool) const override { return "PlainLink"; }

protected:
    bool connectTransportInternal() override { return true; }
    bool disconnectTransportInternal() override { return true; }
};

// A thread with its own event loop that is stopped and joined on scope exit.
class RunningThread : public QThread
{
public:
    RunningThread()
    {
        m_context.moveToThread(this);
        start();
    }
    ~RunningThread() override
    {
        quit();
        wait();
    }
    // Runs `f` in this thread and waits for it.
    template <typename F> void run(F f)
    {
        QMetaObject::invokeMethod(&m_context, f, Qt::BlockingQueuedConnection);
    }

private:
    QObject m_context;
};

class tst_Transporter : public QObject
{
    Q_OBJECT

private slots:
    void addTwice();
    void sendBytes_data();
    void sendBytes();
    void errorsReachRegistry_data();
    void errorsReachRegistry();
    void removal_data();
    void removal();
    void onlyModbusLinks();
    void clientTransport_data();
    void clientTransport();
    void openAndCloseAll_data();
    void openAndCloseAll();
    void relayedRequest_data();
    void relayedRequest();
    void relays();
    void answerFromAWorkerReachesListenersInTheirThread();
    void sendEventBytes();
    void linkDestroyed();
    void linkDestroyedInAnotherThread();
    void registryInAnotherThread();
    void destructionClosesLinks();
    void addRemoveWhileSending();
};

void tst_Transporter::addTwice()
{
    ModbusTransporter registry;
    FakeLink link;
    QSignalSpy changed(&registry, &Transporter::transportsChanged);
    registry.addTransport(link);
    registry.addTransport(link, true);
    QCOMPARE(registry.transports(), QList<EventedTransport *>{&link});
    QCOMPARE(changed.count(), 1);
    // The second call, with ownership, changed nothing either.
    QVERIFY(link.parent() == nullptr);
}

void tst_Transporter::sendBytes_data()
{
    QTest::addColumn<bool>("firstAcceptsAny");
    QTest::addColumn<bool>("secondAcceptsAny");
    QTest::addColumn<QString>("target"); // "first", "second", "foreign", "null"
    QTest::addColumn<QString>("used");   // the link that sends, "" none

    QTest::newRow("both accept: the first registered sends") << true << true << "second"
                                                             << "first";
    QTest::newRow("only the second accepts its own target") << false << false << "second"
                                                            << "second";
    QTest::newRow("null target, only the second accepts any") << false << true << "null"
                                                              << "second";
    QTest::newRow("no link accepts a foreign target") << false << false << "foreign"
                                                      << "";
}

void tst_Transporter::sendBytes()
{
    QFETCH(bool, firstAcceptsAny);
    QFETCH(bool, secondAcceptsAny);
    QFETCH(QString, target);
    QFETCH(QString, used);

    ModbusTransporter registry;
    FakeLink first, second;
    ModbusTarget foreign;
    first.setAcceptAnyTarget(firstAcceptsAny);
    second.setAcceptAnyTarget(secondAcceptsAny);
    for (FakeLink *link : {&first, &second}) {
        QVERIFY(link->connectTransport(false));
        link->scriptAnswers({ModbusBytes::fromHex("010302000a")});
        registry.addTransport(*link);
    }
    const Target *t = target == "first"    ? first.target()
                      : target == "second" ? second.target()
                      : target == "null"   ? nullptr
                                           : &foreign;
    QSignalSpy sent(&registry, &Transporter::bytesSent);

    const ModbusBytes request = ModbusBytes::fromHex("010300000001");
    ModbusBytes answer;
    const bool ok = registry.sendBytes(request, t, &answer);

    QCOMPARE(ok, !used.isEmpty());
    QCOMPARE(first.sentBytes().size(), used == "first" ? 1 : 0);
    QCOMPARE(second.sentBytes().size(), used == "second" ? 1 : 0);
    if (used.isEmpty()) {
        QCOMPARE(registry.errorString(), QString("transport not found"));
        QCOMPARE(sent.count(), 0);
        QVERIFY(answer.isEmpty());
    } else {
        QCOMPARE(answer, ModbusBytes::fromHex("010302000a"));
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.at(0).at(0).value<ModbusBytes>(), request);
    }
}

void tst_Transporter::errorsReachRegistry_data()
{
    QTest::addColumn<bool>("linkElsewhere");
    QTest::newRow("link in the caller's thread") << false;
    QTest::newRow("link in another thread") << true;
}

void tst_Transporter::errorsReachRegistry()
{
    QFETCH(bool, linkElsewhere);

    RunningThread worker;
    ModbusTransporter registry;
    auto *link = new FakeLink; // closed: every exchange fails
    if (linkElsewhere)
        link->moveToThread(&worker);
    registry.addTransport(*link);

    ModbusBytes answer;
    QVERIFY(!registry.sendBytes(ModbusBytes::fromHex("0103"), link->target(), &answer));
    // Synchronously, whichever thread the link lives in.
    QCOMPARE(registry.errorString(), QString("can't send bytes via disconnected transport"));
    QCOMPARE(registry.errorCount(), quint64(1));

    registry.removeTransport(*link);
    quint64 linkErrors = 0;
    if (linkElsewhere) {
        worker.run([&] {
            linkErrors = link->errorCount();
            delete link;
        });
    } else {
        linkErrors = link->errorCount();
        delete link;
    }
    // Across threads the text went to the caller, not to the link.
    QCOMPARE(linkErrors, quint64(linkElsewhere ? 0 : 1));
}

void tst_Transporter::removal_data()
{
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("owned");
    QTest::addColumn<bool>("open");

    QTest::newRow("not registered: still signalled") << false << false << true;
    QTest::newRow("registered, not owned: stays open and alive") << true << false << true;
    QTest::newRow("owned and open: closed and deleted") << true << true << true;
    QTest::newRow("owned and closed: deleted") << true << true << false;
}

void tst_Transporter::removal()
{
    QFETCH(bool, registered);
    QFETCH(bool, owned);
    QFETCH(bool, open);

    ModbusTransporter registry;
    FakeLink other;
    registry.addTransport(other);
    auto *link = new FakeLink;
    QPointer<FakeLink> watch(link);
    std::unique_ptr<FakeLink> keeper(owned ? nullptr : link);
    if (open)
        QVERIFY(link->connectTransport(false));
    if (registered)
        registry.addTransport(*link, owned);
    QCOMPARE(link->parent() == &registry, owned);

    QStringList order;
    QObject listening; // goes before `order` does
    connect(&registry, &Transporter::transportRemoving, &listening, [&](Transport &t) {
        QVERIFY(&t == link);
        order << "removing";
    });
    connect(&registry, &Transporter::transportsChanged, &listening, [&] { order << "changed"; });
    QSignalSpy closed(link, &Transport::transportDisconnected);

    registry.removeTransport(*link);
    QCOMPARE(order, (QStringList{"removing", "changed"}));
    QCOMPARE(registry.transports(), QList<EventedTransport *>{&other});
    QCOMPARE(closed.count(), owned && open ? 1 : 0);

    // The registry no longer listens to the link.
    QSignalSpy relayed(&registry, &Transporter::connectedChanged);
    if (!owned) {
        link->connected() ? link->disconnectTransport() : link->connectTransport(false);
        QCOMPARE(relayed.count(), 0);
    }

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(watch.isNull(), owned);
    if (!owned)
        QCOMPARE(link->connected(), !open);
}

void tst_Transporter::onlyModbusLinks()
{
    ModbusTransporter registry;
    PlainLink plain;
    QSignalSpy changed(&registry, &Transporter::transportsChanged);
    registry.addTransport(plain);
    QVERIFY(registry.transports().isEmpty());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(registry.errorString(), QString("you can add only ModbusTransport"));

    // The plain registry takes any evented link.
    Transporter any;
    any.addTransport(plain);
    QCOMPARE(any.transports().size(), 1);
}

void tst_Transporter::clientTransport_data()
{
    QTest::addColumn<QStringList>("initial"); // c*: client links, s*: server links
    QTest::addColumn<QString>("argument");    // "" for null; c9 is a link not registered yet
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("null removes the clients, keeps the servers")
        << QStringList{"c1", "s1", "c2"} << "" << QStringList{"s1"} << "";
    QTest::newRow("a registered client: the others go, nothing is added")
        << QStringList{"c1", "s1", "c2"} << "c2" << QStringList{"s1", "c2"} << "";
    QTest::newRow("a new client: the others go, it is added last")
        << QStringList{"c1", "s1"} << "c9" << QStringList{"s1", "c9"} << "";
    QTest::newRow("a server link is refused")
        << QStringList{"c1", "s1"} << "s1" << QStringList{"c1", "s1"}
        << "you can set only modbus transport of ModbusClient type";
}

void tst_Transporter::clientTransport()
{
    QFETCH(QStringList, initial);
    QFETCH(QString, argument);
    QFETCH(QStringList, expected);
    QFETCH(QString, error);

    ModbusTransporter registry;
    QList<FakeLink *> links;
    for (const QString &name : QStringList{"c1", "c2", "c9", "s1"}) {
        auto *link =
            new FakeLink(name.startsWith('c') ? DorrikBus::ClientBus : DorrikBus::ServerBus, this);
        link->setObjectName(name);
        links << link;
    }
    auto byName = [&](const QString &name) -> FakeLink * {
        for (FakeLink *link : std::as_const(links)) {
            if (link->objectName() == name)
                return link;
        }
        return nullptr;
    };
    for (const QString &name : initial)
        registry.addTransport(*byName(name));

    registry.setClientTransport(byName(argument));

    QStringList names;
    for (EventedTransport *link : registry.transports())
        names << link->objectName();
    QCOMPARE(names, expected);
    ModbusTransport *client = registry.clientTransport();
    const QString expectedClient = argument.startsWith('c') ? argument
                                   : error.isEmpty()        ? QString()
                                                            : initial.first();
    QCOMPARE(client ? client->objectName() : QString(), expectedClient);
    QCOMPARE(registry.errorString(), error.isEmpty() ? QString() : error);
    qDeleteAll(links);
}

void tst_Transporter::openAndCloseAll_data()
{
    QTest::addColumn<QList<bool>>("opens");  // open result of each link
    QTest::addColumn<QList<bool>>("closes"); // close result of each link
    QTest::addColumn<int>("elsewhere");      // the link that lives in another thread, -1 none
    QTest::addColumn<bool>("opened");        // result of connectTransports
    QTest::addColumn<bool>("closed");        // result of disconnectTransports
    QTest::addColumn<QString>("error");

    QTest::newRow("all open and close")
        << QList<bool>{true, true} << QList<bool>{true, true} << -1 << true << true << "";
    QTest::newRow("one refuses to open")
        << QList<bool>{false, true} << QList<bool>{true, true} << -1 << false << true << "";
    QTest::newRow("one refuses to close, the next still closes")
        << QList<bool>{true, true} << QList<bool>{false, true} << -1 << true << false
        << "error while connecting: " + FakeLink::disconnectErrorText();
    QTest::newRow("a link of another thread is left alone")
        << QList<bool>{true, true} << QList<bool>{true, true} << 0 << true << true << "";
}

void tst_Transporter::openAndCloseAll()
{
    QFETCH(QList<bool>, opens);
    QFETCH(QList<bool>, closes);
    QFETCH(int, elsewhere);
    QFETCH(bool, opened);
    QFETCH(bool, closed);
    QFETCH(QString, error);

    RunningThread worker;
    Transporter registry;
    QList<FakeLink *> links;
    for (int i = 0; i < opens.size(); ++i) {
        auto *link = new FakeLink;
        link->setAutoReconnect(false);
        link->scriptConnects({opens.at(i)});
        link->setDisconnectResult(closes.at(i));
        if (i == elsewhere)
            link->moveToThread(&worker);
        registry.addTransport(*link);
        links << link;
    }

    QCOMPARE(registry.connectTransports(), opened);
    for (int i = 0; i < links.size(); ++i)
        QCOMPARE(links.at(i)->connected(), opens.at(i) && i != elsewhere);
    // Nothing of its own on a failed open.
    if (!opened)
        QCOMPARE(registry.errorString(), FakeLink::connectErrorText());

    QCOMPARE(registry.disconnectTransports(), closed);
    for (int i = 0; i < links.size(); ++i)
        QCOMPARE(links.at(i)->connected(), opens.at(i) && !closes.at(i) && i != elsewhere);
    if (!error.isEmpty())
        QCOMPARE(registry.errorString(), error);

    for (FakeLink *link : std::as_const(links)) {
        registry.removeTransport(*link);
        link->setDisconnectResult(true);
        if (link->thread() == &worker)
            worker.run([link] { delete link; });
        else
            delete link;
    }
}

void tst_Transporter::relayedRequest_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("answered") << "0103020007";
    QTest::newRow("not answered") << "";
}

void tst_Transporter::relayedRequest()
{
    QFETCH(QString, answer);

    Transporter registry;
    FakeLink server(DorrikBus::ServerBus);
    QVERIFY(server.connectTransport(false));
    registry.addTransport(server);
    const ModbusBytes request = ModbusBytes::fromHex("010300000001");
    const ModbusBytes reply = ModbusBytes::fromHex(answer.toLatin1());

    QStringList order;
    QObject listening;
    connect(&registry, &Transporter::bytesReceived, &listening, [&](const ModbusBytes &bytes) {
        order << "received " + QString::fromLatin1(bytes.toHex());
    });
    connect(&registry, &Transporter::requestBytesReceived, &listening,
            [&](const ModbusBytes &bytes, const Target *target, ModbusBytes *out) {
                QVERIFY(target == server.target());
                order << "request " + QString::fromLatin1(bytes.toHex());
                *out = reply;
            });
    connect(&registry, &Transporter::bytesSent, &listening, [&](const ModbusBytes &bytes) {
        order << "sent " + QString::fromLatin1(bytes.toHex());
    });

    QCOMPARE(server.playRequest(request), reply);
    QCOMPARE(order,
             (QStringList{"received 010300000001", "request 010300000001", "sent " + answer}));
    QCOMPARE(server.sentBytes(), reply.isEmpty() ? QList<ModbusBytes>() : QList{reply});
}

void tst_Transporter::relays()
{
    Transporter registry;
    FakeLink link(DorrikBus::ClientBus, nullptr, true);
    link.setEventsCheckInterval(5);
    registry.addTransport(link);

    QList<const Transport *> connectedLinks;
    QObject listening;
    connect(&registry, &Transporter::connectedChanged, &listening,
            [&](const Transport &t) { connectedLinks << &t; });
    QSignalSpy events(&registry, &Transporter::eventBytesReceived);
    QSignalSpy errors(&registry, &ErrObject::error);

    link.scriptEventReads({{true, {}}, {true, ModbusBytes::fromHex("03bbcc")}});
    QVERIFY(link.connectTransport(false));
    QCOMPARE(connectedLinks, QList<const Transport *>{&link});

    // Polled in the reader thread, delivered here.
    QTRY_COMPARE_WITH_TIMEOUT(events.count(), 1, 2000);
    QCOMPARE(events.at(0).at(0).value<ModbusBytes>(), ModbusBytes::fromHex("bbcc"));
    QCOMPARE(events.at(0).at(1).value<const Target *>(), link.target());

    link.setErrorString(QStringLiteral("link broke"));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(registry.errorString(), QString("link broke"));
}

void tst_Transporter::sendEventBytes()
{
    Transporter registry;
    FakeLink link;
    QVERIFY(link.connectTransport(false));
    registry.addTransport(link);
    ModbusTarget foreign;
    QSignalSpy sent(&registry, &Transporter::eventBytesSent);

    QVERIFY(!registry.sendEventBytes(ModbusBytes::fromHex("02aa"), &foreign));
    QCOMPARE(registry.errorString(), QString("transport not found"));
    QCOMPARE(sent.count(), 0);

    QVERIFY(registry.sendEventBytes(ModbusBytes::fromHex("02aa"), link.target()));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(link.sentEventBytes(), QList<ModbusBytes>{ModbusBytes::fromHex("02aa")});
}

void tst_Transporter::linkDestroyed()
{
    ModbusTransporter registry;
    FakeLink kept;
    auto *link = new FakeLink;
    registry.addTransport(kept);
    registry.addTransport(*link);
    QList<Transport *> removing;
    QObject listening;
    connect(&registry, &Transporter::transportRemoving, &listening,
            [&](Transport &t) { removing << &t; });
    QSignalSpy changed(&registry, &Transporter::transportsChanged);

    const Transport *gone = link;
    delete link;
    QCOMPARE(registry.transports(), QList<EventedTransport *>{&kept});
    QCOMPARE(removing.size(), 1);
    QVERIFY(removing.first() == gone);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!registry.sendBytes(ModbusBytes::fromHex("0103"), nullptr, nullptr));
}

// The registry relays an answer in the thread of the exchange; a listener of the registry's own
// thread must still get it there, after the exchange, and exactly once.
void tst_Transporter::answerFromAWorkerReachesListenersInTheirThread()
{
    ModbusTransporter registry;
    FakeLink link;
    link.setAcceptAnyTarget(true);
    link.scriptAnswers({ModbusBytes::fromHex("0103020007")});
    QVERIFY(link.connectTransport(false));
    registry.addTransport(link);

    QObject listening;
    QList<QByteArray> received;
    QList<QThread *> threads;
    connect(&registry, &Transporter::bytesReceived, &listening, [&](const ModbusBytes &bytes) {
        received << bytes;
        threads << QThread::currentThread();
    });
    bool sent = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        ModbusBytes answer;
        sent = registry.sendBytes(ModbusBytes::fromHex("010300000001"), nullptr, &answer);
    }));
    worker->start();
    QVERIFY(worker->wait(5000));
    QVERIFY(sent);

    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 2000);
    QCOMPARE(received.first().toHex(), QByteArray("0103020007"));
    QCOMPARE(threads.first(), QThread::currentThread());
    QCoreApplication::processEvents();
    QCOMPARE(received.size(), 1);
}

void tst_Transporter::linkDestroyedInAnotherThread()
{
    RunningThread worker;
    ModbusTransporter registry;
    auto *link = new FakeLink;
    link->moveToThread(&worker);
    registry.addTransport(*link);

    // The worker deletes the link while this thread serves the registry's event loop.
    std::atomic<int> listedAfterDelete{-1};
    QMetaObject::invokeMethod(
        link,
        [&] {
            delete link;
            listedAfterDelete = int(registry.transports().size());
        },
        Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(listedAfterDelete.load() >= 0, 5000);
    // The entry was gone before the link's destruction went on.
    QCOMPARE(listedAfterDelete.load(), 0);
}

void tst_Transporter::registryInAnotherThread()
{
    // The registry lives in a worker, the link here: the destroyed notice must block, even
    // though the link is added from its own thread.
    RunningThread worker;
    auto *registry = new ModbusTransporter;
    registry->moveToThread(&worker);
    auto *link = new FakeLink;
    registry->addTransport(*link);
    QCOMPARE(registry->transports().size(), 1);

    delete link;
    QCOMPARE(registry->transports().size(), 0);
    worker.run([registry] { delete registry; });
}

void tst_Transporter::destructionClosesLinks()
{
    auto *registry = new ModbusTransporter;
    FakeLink kept;
    auto *owned = new FakeLink;
    QPointer<FakeLink> watch(owned);
    for (FakeLink *link : {&kept, owned})
        QVERIFY(link->connectTransport(false));
    registry->addTransport(kept);
    registry->addTransport(*owned, true);
    QSignalSpy ownedClosed(owned, &Transport::transportDisconnected);

    delete registry;
    QVERIFY(!kept.connected());
    QCOMPARE(ownedClosed.count(), 1);
    QVERIFY(watch.isNull());
    // Not listening any more: no relay into a freed registry.
    QVERIFY(kept.connectTransport(false));
}

void tst_Transporter::addRemoveWhileSending()
{
    // One thread sends without pause while this one adds, removes and deletes links; every
    // link accepts any target, so the sender always hits whichever is first in the list.
    ModbusTransporter registry;
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    QThread *sender = QThread::create([&] {
        while (!stop) {
            ModbusBytes answer;
            if (registry.sendBytes(ModbusBytes::fromHex("010300000001"), nullptr, &answer))
                ++sent;
        }
    });
    sender->start();

    QList<FakeLink *> unowned;
    for (int i = 0; i < 2000; ++i) {
        auto *link = new FakeLink;
        link->setAcceptAnyTarget(true);
        link->setExchangeDelay(i % 3 == 0 ? 1 : 0);
        link->scriptAnswers({ModbusBytes::fromHex("0103020001")});
        QVERIFY(link->connectTransport(false));
        const bool owned = i % 2 == 0;
        registry.addTransport(*link, owned);
        if (!owned)
            unowned << link;
        const QList<EventedTransport *> links = registry.transports();
        if (links.size() > 3) {
            // Owned links leave through their deferred deletion; unowned ones are taken out
            // first and then deleted by their owner.
            EventedTransport *oldest = links.first();
            const bool ownedByRegistry = oldest->parent() == &registry;
            registry.removeTransport(*oldest);
            if (!ownedByRegistry) {
                unowned.removeOne(static_cast<FakeLink *>(oldest));
                delete oldest;
            }
        }
        QCoreApplication::processEvents();
    }
    stop = true;
    sender->wait();
    delete sender;
    qDeleteAll(unowned);
    QVERIFY(sent.load() > 0);
}

QTEST_GUILESS_MAIN(tst_Transporter)
#include "tst_transporter.moc"
