#include "modbusclient.h"
#include "modbusitemreader.h"
#include "modbusitems.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlListReference>
#include <QtTest>

#include <memory>

namespace {

const char refusal[] = "modbusItems.items: you can add only objects of 'ModbusItemBase' type";

QStringList names(QObject *object, const char *property)
{
    QQmlListReference list(object, property);
    QStringList result;
    for (qsizetype i = 0; i < list.count(); ++i)
        result << (list.at(i) ? list.at(i)->objectName() : QStringLiteral("null"));
    return result;
}

// A client with three items, a holder of three items, an item with two children and a reader,
// declared as a menu page would declare them.
const char declaredClient[] = R"(
import QtQml
import DorrikBus
import DorrikBus.Test

ModbusClient {
    id: client
    transport: instrumentLink
    // Asked for while the component is still being built.
    property bool earlyRead: first.read()
    property ModbusItems holder: ModbusItems {
        TestItem { id: h0; objectName: "h0" }
        TestItem { id: h1; objectName: "h1" }
        TestItem { id: h2; objectName: "h2" }
    }
    property TestItem parentItem: TestItem {
        objectName: "p"
        count: 2
        TestItem { id: p0; objectName: "p0" }
        TestItem { id: p1; objectName: "p1" }
    }
    property ModbusItemReader reader: ModbusItemReader { item: second }

    TestItem { id: first; objectName: "c0" }
    TestItem { id: second; objectName: "c1"; interval: 60000 }
    TestItem { id: third; objectName: "c2" }

    function run(script) { return eval(script) }
}
)";

} // namespace

class tst_ModbusItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void appendAdoptsItems();
    void appendRefusesOtherObjects();
    void replaceAndRemoveLastKeepItems();
    void clearDeletesWhatIsNotPutBack();
    void copiesShareTheItems();

    void readerBeginsAtCompletion();
    void twoReadersOnOneItem();
    void switchingItems_data();
    void switchingItems();
    void itemDestroyedUnderTheReader();
    void destroyedReaderReleasesItsItem();

    void declaredClientReadsOnceAtCompletion();
    void listChangesFromQml_data();
    void listChangesFromQml();
    void wholeListAssignmentDeletesOnlyDroppedItems();

private:
    // The declared client against a simulated instrument holding 0x1234 at 400001.
    struct Declared
    {
        SimulatedInstrument instrument;
        QQmlEngine engine;
        std::unique_ptr<QObject> root;
        QObject *object(const char *name) const { return root->findChild<QObject *>(name); }
    };
    static std::unique_ptr<Declared> declare();
};

void tst_ModbusItems::initTestCase()
{
    qmlRegisterAnonymousType<ModbusItemBase>("DorrikBus", 1);
    qmlRegisterAnonymousType<ModbusTransport>("DorrikBus", 1);
    qmlRegisterType<ModbusClient>("DorrikBus", 1, 0, "ModbusClient");
    qmlRegisterType<ModbusItems>("DorrikBus", 1, 0, "ModbusItems");
    qmlRegisterType<ModbusItemReader>("DorrikBus", 1, 0, "ModbusItemReader");
    qmlRegisterType<TestItem>("DorrikBus.Test", 1, 0, "TestItem");
}

void tst_ModbusItems::appendAdoptsItems()
{
    ModbusItems holder;
    QSignalSpy changed(&holder, &ModbusItems::itemsChanged);
    auto *a = new TestItem;
    auto *b = new TestItem;
    QQmlListProperty<QObject> list = holder.items();
    list.append(&list, a);
    list.append(&list, b);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(holder.count(), 2);
    QCOMPARE(list.count(&list), 2);
    QCOMPARE(list.at(&list, 1), b);
    QCOMPARE(a->parent(), &holder);
    QCOMPARE(b->parent(), &holder);
    QCOMPARE(holder.at(2), nullptr);
}

void tst_ModbusItems::appendRefusesOtherObjects()
{
    ModbusItems holder;
    QSignalSpy changed(&holder, &ModbusItems::itemsChanged);
    QObject other;
    QQmlListProperty<QObject> list = holder.items();
    QTest::ignoreMessage(QtWarningMsg, refusal);
    list.append(&list, &other);
    QTest::ignoreMessage(QtWarningMsg, refusal);
    list.append(&list, nullptr);
    QCOMPARE(holder.count(), 0);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(other.parent(), nullptr);

    auto *item = new TestItem(400001, 1, 2, &holder);
    list.append(&list, item);
    QTest::ignoreMessage(QtWarningMsg, refusal);
    list.replace(&list, 0, &other);
    QCOMPARE(holder.at(0), item);
}

void tst_ModbusItems::replaceAndRemoveLastKeepItems()
{
    auto holder = std::make_unique<ModbusItems>();
    QPointer<TestItem> a = new TestItem;
    QPointer<TestItem> b = new TestItem;
    QPointer<TestItem> c = new TestItem;
    QQmlListProperty<QObject> list = holder->items();
    list.append(&list, a);
    list.append(&list, b);
    QSignalSpy changed(holder.get(), &ModbusItems::itemsChanged);

    list.replace(&list, 0, c);
    list.removeLast(&list);
    QCoreApplication::processEvents();
    QCOMPARE(changed.size(), 2);
    QCOMPARE(holder->count(), 1);
    QCOMPARE(holder->at(0), c.data());
    QVERIFY(a && b && c);
    QCOMPARE(c->parent(), holder.get());

    list.removeLast(&list);
    list.removeLast(&list);
    QCOMPARE(holder->count(), 0);
    QCOMPARE(changed.size(), 3);

    // Out of the list, still the holder's children: they go with it.
    holder.reset();
    QVERIFY(!a && !b && !c);
}

void tst_ModbusItems::clearDeletesWhatIsNotPutBack()
{
    ModbusItems holder;
    ModbusItems other;
    QPointer<TestItem> kept = new TestItem;
    QPointer<TestItem> moved = new TestItem;
    QPointer<TestItem> dropped = new TestItem;
    QQmlListProperty<QObject> list = holder.items();
    list.append(&list, kept);
    list.append(&list, moved);
    list.append(&list, dropped);
    QSignalSpy changed(&holder, &ModbusItems::itemsChanged);

    list.clear(&list);
    QCOMPARE(holder.count(), 0);
    QCOMPARE(changed.size(), 0);
    list.append(&list, kept);
    QQmlListProperty<QObject> otherList = other.items();
    otherList.append(&otherList, moved);
    QCoreApplication::processEvents();

    QVERIFY(kept);
    QVERIFY(moved);
    QCOMPARE(moved->parent(), &other);
    QVERIFY(!dropped);
    QCOMPARE(holder.count(), 1);
}

void tst_ModbusItems::copiesShareTheItems()
{
    QObject owner;
    auto *item = new TestItem(400001, 1, 2, &owner);
    ModbusItems single(item);
    QCOMPARE(single.parent(), nullptr);
    QCOMPARE(single.count(), 1);
    QCOMPARE(single.at(0), item);
    QCOMPARE(item->parent(), &owner);

    ModbusItems copy(single);
    ModbusItems assigned;
    assigned = single;
    QCOMPARE(copy.parent(), nullptr);
    QCOMPARE(copy.at(0), item);
    QCOMPARE(assigned.at(0), item);

    // A copy never hands out an item that is gone.
    delete item;
    QCOMPARE(copy.count(), 1);
    QCOMPARE(copy.at(0), nullptr);
    QCOMPARE(single.at(0), nullptr);
}

void tst_ModbusItems::readerBeginsAtCompletion()
{
    TestItem item;
    ModbusItemReader reader;
    reader.classBegin();
    reader.setItem(&item);
    reader.setActive(false);
    reader.setActive(true);
    QCOMPARE(item.intervalReadingCounter(), 0u);

    reader.componentComplete();
    QCOMPARE(item.intervalReadingCounter(), 1u);
    QVERIFY(item.intervalReading());
}

void tst_ModbusItems::twoReadersOnOneItem()
{
    TestItem item;
    ModbusItemReader first;
    ModbusItemReader second;
    first.setItem(&item);
    second.setItem(&item);
    QCOMPARE(item.intervalReadingCounter(), 2u);

    QSignalSpy active(&first, &ModbusItemReader::activeChanged);
    first.setActive(false);
    first.setActive(false);
    QCOMPARE(active.size(), 1);
    QCOMPARE(item.intervalReadingCounter(), 1u);
    QVERIFY(item.intervalReading());

    second.setActive(false);
    QCOMPARE(item.intervalReadingCounter(), 0u);
    QVERIFY(!item.intervalReading());
}

void tst_ModbusItems::switchingItems_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<quint32>("oldCounter");
    QTest::addColumn<quint32>("newCounter");
    QTest::newRow("inactive reader changes neither") << false << 0u << 0u;
    QTest::newRow("active reader moves its hold") << true << 0u << 1u;
}

void tst_ModbusItems::switchingItems()
{
    QFETCH(bool, active);
    QFETCH(quint32, oldCounter);
    QFETCH(quint32, newCounter);
    TestItem oldItem;
    TestItem newItem;
    ModbusItemReader reader;
    reader.setActive(active);
    reader.setItem(&oldItem);
    QSignalSpy changed(&reader, &ModbusItemReader::itemChanged);
    reader.setItem(&newItem);
    reader.setItem(&newItem);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(oldItem.intervalReadingCounter(), oldCounter);
    QCOMPARE(newItem.intervalReadingCounter(), newCounter);
}

void tst_ModbusItems::itemDestroyedUnderTheReader()
{
    auto item = std::make_unique<TestItem>();
    ModbusItemReader reader;
    reader.setItem(item.get());
    QSignalSpy changed(&reader, &ModbusItemReader::itemChanged);
    item.reset();
    QCOMPARE(reader.item(), nullptr);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().value<ModbusItemBase *>(), nullptr);
    reader.setActive(false);
    reader.setActive(true);
}

void tst_ModbusItems::destroyedReaderReleasesItsItem()
{
    TestItem item;
    auto reader = std::make_unique<ModbusItemReader>();
    reader->setItem(&item);
    QCOMPARE(item.intervalReadingCounter(), 1u);
    reader.reset();
    QCOMPARE(item.intervalReadingCounter(), 0u);
    // A released item stays free of its former reader.
    item.setInterval(500);
}

std::unique_ptr<tst_ModbusItems::Declared> tst_ModbusItems::declare()
{
    auto declared = std::make_unique<Declared>();
    declared->instrument.setRegisters(400001, ModbusBytes::fromHex("1234"));
    declared->engine.rootContext()->setContextProperty("instrumentLink",
                                                       declared->instrument.link());
    QQmlComponent component(&declared->engine);
    component.setData(declaredClient, QUrl(QStringLiteral("declared.qml")));
    declared->root.reset(component.create());
    if (!declared->root)
        qWarning().noquote() << component.errorString();
    return declared;
}

void tst_ModbusItems::declaredClientReadsOnceAtCompletion()
{
    const auto declared = declare();
    QVERIFY(declared->root);
    auto *first = qobject_cast<TestItem *>(declared->object("c0"));
    auto *second = qobject_cast<TestItem *>(declared->object("c1"));
    QVERIFY(first && second);
    QCOMPARE(declared->root->property("earlyRead").toBool(), false);
    QCOMPARE(first->client(), declared->root.get());
    QCOMPARE(names(declared->root.get(), "items"), (QStringList{"c0", "c1", "c2"}));
    QCOMPARE(names(declared->root->property("holder").value<QObject *>(), "items"),
             (QStringList{"h0", "h1", "h2"}));

    // The reader took hold of its item at completion: one interval task.
    QCOMPARE(second->intervalReadingCounter(), 1u);
    auto *client = qobject_cast<ModbusClient *>(declared->root.get());
    QCOMPARE(client->intervalTasksCount(), quint64(1));

    QTRY_COMPARE(first->readCount(), quint64(1));
    QCOMPARE(first->formatValue(), QStringLiteral("1234"));
    QTest::qWait(100);
    QCOMPARE(first->readCount(), quint64(1));
}

void tst_ModbusItems::listChangesFromQml_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("holder, removeLast") << "holder.items.length = 2"
                                        << "holder" << QStringList{"h0", "h1"};
    QTest::newRow("holder, replace") << "holder.items[0] = h2"
                                     << "holder" << QStringList{"h2", "h1", "h2"};
    QTest::newRow("holder, whole list reordered") << "holder.items = [h2, h0, h1]"
                                                  << "holder" << QStringList{"h2", "h0", "h1"};
    QTest::newRow("client, removeLast") << "client.items.length = 1"
                                        << "client" << QStringList{"c0"};
    QTest::newRow("client, replace") << "client.items[1] = third"
                                     << "client" << QStringList{"c0", "c2", "c2"};
    QTest::newRow("client, whole list reordered") << "client.items = [third, first, second]"
                                                  << "client" << QStringList{"c2", "c0", "c1"};
    QTest::newRow("item, removeLast") << "parentItem.items.length = 1"
                                      << "p" << QStringList{"p0"};
    QTest::newRow("item, replace") << "parentItem.items[0] = p1"
                                   << "p" << QStringList{"p1", "p1"};
}

// Every declared item outlives the change, and the list reads as the script left it.
void tst_ModbusItems::listChangesFromQml()
{
    QFETCH(QString, script);
    QFETCH(QString, owner);
    QFETCH(QStringList, after);
    const auto declared = declare();
    QVERIFY(declared->root);
    QList<QPointer<QObject>> items;
    for (const char *name : {"c0", "c1", "c2", "h0", "h1", "h2", "p0", "p1"})
        items.append(declared->object(name));

    QMetaObject::invokeMethod(declared->root.get(), "run", Q_ARG(QVariant, script));
    QCoreApplication::processEvents();

    for (const QPointer<QObject> &item : items)
        QVERIFY(item);
    QObject *list = owner == "client"   ? declared->root.get()
                    : owner == "holder" ? declared->root->property("holder").value<QObject *>()
                                        : declared->object("p");
    QCOMPARE(names(list, "items"), after);
}

void tst_ModbusItems::wholeListAssignmentDeletesOnlyDroppedItems()
{
    const auto declared = declare();
    QVERIFY(declared->root);
    auto *holder = declared->root->property("holder").value<ModbusItems *>();
    QPointer<QObject> h0 = declared->object("h0");
    QPointer<QObject> h1 = declared->object("h1");
    QPointer<QObject> h2 = declared->object("h2");

    QMetaObject::invokeMethod(declared->root.get(), "run",
                              Q_ARG(QVariant, QStringLiteral("holder.items = [h1]")));
    QCOMPARE(holder->count(), 1);
    QTRY_VERIFY(!h0);
    QVERIFY(!h2);
    QVERIFY(h1);
    QCOMPARE(holder->at(0), h1.data());

    QMetaObject::invokeMethod(declared->root.get(), "run",
                              Q_ARG(QVariant, QStringLiteral("holder.items = []")));
    QTRY_VERIFY(!h1);
    QCOMPARE(holder->count(), 0);
}

QTEST_MAIN(tst_ModbusItems)
#include "tst_modbusitems.moc"
