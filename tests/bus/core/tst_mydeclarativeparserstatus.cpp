#include "mydeclarativeitem.h"
#include "mydeclarativeparserstatus.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// What the engine shows a declarable class: properties are assigned while initializing() is
// true, and it is false again by the time an overriding componentComplete runs its own work.
template <typename Base> class Probe : public Base
{
public:
    void setValueAndRecord()
    {
        valueSet = true;
        initializingWhenValueSet = this->initializing();
    }
    void componentComplete() override
    {
        Base::componentComplete();
        completed = true;
        initializingAfterComplete = this->initializing();
    }
    bool valueSet = false;
    bool completed = false;
    bool initializingWhenValueSet = false;
    bool initializingAfterComplete = true;
};

class StatusProbe : public QObject, public Probe<MyDeclarativeParserStatus>
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    int value() const { return 0; }
    void setValue(int) { setValueAndRecord(); }
};

class ItemProbe : public Probe<MyDeclarativeItem>
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    int value() const { return 0; }
    void setValue(int) { setValueAndRecord(); }
};

class tst_MyDeclarativeParserStatus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void notInitializingOutsideTheEngine();
    void initializingWhileTheEngineBuilds_data();
    void initializingWhileTheEngineBuilds();
};

void tst_MyDeclarativeParserStatus::initTestCase()
{
    qmlRegisterType<StatusProbe>("Probes", 1, 0, "StatusProbe");
    qmlRegisterType<ItemProbe>("Probes", 1, 0, "ItemProbe");
}

void tst_MyDeclarativeParserStatus::notInitializingOutsideTheEngine()
{
    StatusProbe status;
    ItemProbe item;
    QVERIFY(!status.initializing());
    QVERIFY(!item.initializing());
}

void tst_MyDeclarativeParserStatus::initializingWhileTheEngineBuilds_data()
{
    QTest::addColumn<QByteArray>("typeName");
    QTest::newRow("parser status") << QByteArray("StatusProbe");
    QTest::newRow("item") << QByteArray("ItemProbe");
}

void tst_MyDeclarativeParserStatus::initializingWhileTheEngineBuilds()
{
    QFETCH(QByteArray, typeName);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import Probes 1.0\n" + typeName + " { value: 1 }\n", QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));

    if (auto *probe = qobject_cast<StatusProbe *>(object.get())) {
        QVERIFY(probe->valueSet && probe->completed);
        QVERIFY(probe->initializingWhenValueSet);
        QVERIFY(!probe->initializingAfterComplete);
        QVERIFY(!probe->initializing());
    } else {
        auto *item = qobject_cast<ItemProbe *>(object.get());
        QVERIFY(item);
        QVERIFY(item->valueSet && item->completed);
        QVERIFY(item->initializingWhenValueSet);
        QVERIFY(!item->initializingAfterComplete);
        QVERIFY(!item->initializing());
    }
}

QTEST_GUILESS_MAIN(tst_MyDeclarativeParserStatus)
#include "tst_mydeclarativeparserstatus.moc"
