#include <QMetaType>
#include <QPluginLoader>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QtTest>

namespace {

const QString ModuleDir = QStringLiteral(DORRIK_QML_IMPORT_DIR "/DorrikBus");
const QString PluginFile = ModuleDir + QStringLiteral("/libqmldorrikbusplugin.so");

// The element names in the order the module registers them.
const QStringList Elements = {"DorrikBus",
                              "ModbusClient",
                              "ModbusBit",
                              "ModbusBool",
                              "ModbusUInt8",
                              "ModbusByte",
                              "ModbusInt8",
                              "ModbusUInt16",
                              "ModbusInt16",
                              "ModbusInt32",
                              "ModbusUInt32",
                              "ModbusInt64",
                              "ModbusUInt64",
                              "ModbusFloat",
                              "ModbusDouble",
                              "ModbusDoubleStruct",
                              "ModbusDateTime",
                              "ModbusStringAnsi",
                              "ModbusStringUtf8",
                              "ModbusReport",
                              "ModbusArchRecord",
                              "ModbusArchLabel",
                              "ModbusCustomBytes",
                              "ModbusFile",
                              "TavSiteItem",
                              "ModbusItemArchLabeledBase",
                              "ModbusItemArchBase",
                              "ModbusItemFloatingBase",
                              "ModbusItemIntBase",
                              "ModbusItemBase",
                              "ModbusItemAddressedBase",
                              "Transport",
                              "EventedTransport",
                              "ModbusTransport",
                              "ModbusTcpClient",
                              "ModbusTcpServer",
                              "ModbusLibusbClient",
                              "ModbusTFtpClient",
                              "ModbusTFtpServer",
                              "ModbusC55Client",
                              "ModbusLoopbackClient",
                              "ModbusLoopbackServer",
                              "ModbusSerialClient",
                              "ModbusSerialServer",
                              "ModbusTrendModel",
                              "TrendModelBase",
                              "InternalItemModel",
                              "UsbDevicesModel",
                              "SerialPortsModel",
                              "ModbusItemExporter",
                              "ModbusItemCSVExporter",
                              "CustomFieldEvent",
                              "ModbusXmlExporter",
                              "ModbusXmlImporter",
                              "ModbusArchReader",
                              "ModbusItemReader",
                              "CancelMessageEvent",
                              "Target",
                              "Eventer",
                              "Keypad",
                              "KeypadTavrin",
                              "ModbusArchRecordTavrin",
                              "TavrinFlowRateHistoryItem",
                              "TavrinHeatHistoryItem",
                              "TavrinPressureHistoryItem",
                              "TavSitesModel"};

} // namespace

class TestQmlPluginLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qmldir();
    void sameInstance();
    void registrationOrder();
    void aliases_data();
    void aliases();

private:
    QQmlEngine m_engine;
};

void TestQmlPluginLoader::initTestCase()
{
    m_engine.addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
}

void TestQmlPluginLoader::qmldir()
{
    QFile file(ModuleDir + QStringLiteral("/qmldir"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{"module DorrikBus", "plugin qmldorrikbusplugin"}));
}

void TestQmlPluginLoader::sameInstance()
{
    QPluginLoader first(PluginFile);
    QObject *instance = first.instance();
    QVERIFY2(instance, qPrintable(first.errorString()));
    QCOMPARE(instance->metaObject()->className(), "QmlDorrikBusPlugin");
    QVERIFY(qobject_cast<QQmlExtensionPlugin *>(instance));
    QCOMPARE(first.instance(), instance);
    QPluginLoader second(PluginFile);
    QCOMPARE(second.instance(), instance);
}

void TestQmlPluginLoader::registrationOrder()
{
    // Importing the module runs the registrations; nothing has made a client yet, which would
    // register the transport pointer type by itself.
    QQmlComponent component(&m_engine);
    component.setData("import DorrikBus 1.0\nModbusBit {}", QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));

    QVERIFY(QMetaType::fromName("ModbusTransport*").isValid());
    QVERIFY(QMetaType::fromName("ModbusTransport *").isValid());

    int previous = -1;
    for (const QString &element : Elements) {
        const int id = qmlTypeId("DorrikBus", 1, 0, qPrintable(element));
        QVERIFY2(id > previous, qPrintable(element));
        previous = id;
    }
}

void TestQmlPluginLoader::aliases_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("notClassName");
    QTest::newRow("ModbusBool") << "ModbusBool"
                                << "ModbusBit"
                                << "ModbusUInt8";
    QTest::newRow("ModbusByte") << "ModbusByte"
                                << "ModbusUInt8"
                                << "ModbusBit";
}

void TestQmlPluginLoader::aliases()
{
    QFETCH(QString, element);
    QFETCH(QString, className);
    QFETCH(QString, notClassName);
    QQmlComponent component(&m_engine);
    component.setData(QStringLiteral("import DorrikBus 1.0\n%1 {}").arg(element).toUtf8(), QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QVERIFY(object->inherits(qPrintable(className)));
    QVERIFY(!object->inherits(qPrintable(notClassName)));
}

QTEST_MAIN(TestQmlPluginLoader)
#include "tst_qmlpluginloader.moc"
