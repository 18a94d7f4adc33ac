#include "modbusclient.h"
#include "modbusfloat.h"
#include "modbusint16.h"
#include "modbusint8.h"
#include "modbusloopbackclient.h"
#include "modbusuint16.h"
#include "modbusxmlexporter.h"
#include "modbusxmlimporter.h"
#include "simulatedinstrument.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

bool isWrite(const InstrumentRequest &request)
{
    return request.function == DorrikBus::WriteSingleRegister ||
           request.function == DorrikBus::WriteMultipleRegisters;
}

QList<quint32> writtenAddresses(const SimulatedInstrument &instrument)
{
    QList<quint32> result;
    for (const InstrumentRequest &request : instrument.requests())
        if (isWrite(request))
            result.append(request.address);
    return result;
}

const QByteArray File = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE dorrikbus>\n"
                        "<dorrikbus>\n<modbusitems version=\"1.0\">\n"
                        "<item type=\"ModbusUInt16\" count=\"1\" address=\"400001\">11</item>\n"
                        "<item type=\"ModbusUInt16\" count=\"1\" address=\"400005\">33</item>\n"
                        "</modbusitems>\n</dorrikbus>\n";

} // namespace

// Loading register items into the simulated instrument: which items take the file's values,
// what is written, failed writes and their retries, and a whole configuration's round trip.
class tst_ModbusImporter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writeOnImport_data();
    void writeOnImport();
    void failingWrites_data();
    void failingWrites();
    void valuesThatDoNotFit_data();
    void valuesThatDoNotFit();
    void itemDestroyedWhileWritten();
    void itemWithoutClient();
    void missingFile();
    void defaultFileName();
    void roundTripOfSites();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
    QString path(const QString &name = QStringLiteral("in.xml")) const
    {
        return m_dir->filePath(name);
    }
};

void tst_ModbusImporter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(File);
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setRetries(1);
    m_client->setTransport(m_instrument->link());
}

void tst_ModbusImporter::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

void tst_ModbusImporter::writeOnImport_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("values only") << false;
    QTest::newRow("values written") << true;
}

// Only items the file holds take a value, count, and are written.
void tst_ModbusImporter::writeOnImport()
{
    QFETCH(bool, write);
    ModbusUInt16 paired(400001);
    ModbusUInt16 absent(400003);
    paired.setClient(m_client.get());
    absent.setClient(m_client.get());
    absent.setValue(3);

    ModbusXmlImporter importer;
    importer.setFileName(path());
    importer.setWriteOnImport(write);
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QVERIFY(importer.importItems(variantListFromObjects({&paired, &absent})));
    QCOMPARE(paired.value(), 11);
    QCOMPARE(absent.value(), 3);
    QCOMPARE(finished.size(), write ? 0 : 1);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(importer.processed(), 1);
    if (write) {
        QCOMPARE(writtenAddresses(*m_instrument), QList<quint32>{400001});
        QCOMPARE(m_instrument->registers(400001, 1), hex("000b"));
    } else {
        QTest::qWait(20);
        QCOMPARE(m_instrument->requestCount(), 0);
    }
}

void tst_ModbusImporter::failingWrites_data()
{
    QTest::addColumn<int>("exceptions");
    QTest::addColumn<bool>("written");
    QTest::newRow("two exceptions, then written") << 2 << true;
    QTest::newRow("three exceptions") << 3 << false;
}

void tst_ModbusImporter::failingWrites()
{
    QFETCH(int, exceptions);
    QFETCH(bool, written);
    m_instrument->setException(400001, DorrikBus::SlaveDeviceFailure, exceptions);
    ModbusUInt16 item(400001);
    item.setClient(m_client.get());
    ModbusXmlImporter importer;
    importer.setFileName(path());
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QSignalSpy error(&importer, &ErrObject::error);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    if (written) {
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(error.size(), 0);
        QCOMPARE(importer.processed(), 1);
        QCOMPARE(m_instrument->registers(400001, 1), hex("000b"));
    } else {
        QTRY_COMPARE(error.size(), 1);
        QCOMPARE(error.at(0).at(0).toString(),
                 "can't write ModbusUInt16 (400001 1): " + item.errorString());
        QTest::qWait(20);
        QCOMPARE(finished.size(), 0);
    }
    QCOMPARE(writtenAddresses(*m_instrument), QList<quint32>(3, 400001));
}

void tst_ModbusImporter::valuesThatDoNotFit_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<double>("value");
    QTest::newRow("letters into unsigned 16-bit") << "ModbusUInt16"
                                                  << "abc" << false << 7.0;
    QTest::newRow("decimal comma into float") << "ModbusFloat"
                                              << "1,5" << false << 7.0;
    QTest::newRow("70000 into signed 16-bit") << "ModbusInt16"
                                              << "70000" << false << 7.0;
    QTest::newRow("-1 into unsigned 16-bit") << "ModbusUInt16"
                                             << "-1" << false << 7.0;
    QTest::newRow("1e40 into float") << "ModbusFloat"
                                     << "1e40" << false << 7.0;
    QTest::newRow("nan into float") << "ModbusFloat"
                                    << "nan" << false << 7.0;
    QTest::newRow("inf into float") << "ModbusFloat"
                                    << "inf" << false << 7.0;
    QTest::newRow("-inf into float") << "ModbusFloat"
                                     << "-inf" << false << 7.0;
    QTest::newRow("200 into signed 8-bit") << "ModbusInt8"
                                           << "200" << false << 7.0;
    QTest::newRow("-32768 into signed 16-bit") << "ModbusInt16"
                                               << "-32768" << true << -32768.0;
    QTest::newRow("65535 into unsigned 16-bit") << "ModbusUInt16"
                                                << "65535" << true << 65535.0;
    QTest::newRow("1.5 into float") << "ModbusFloat"
                                    << "1.5" << true << 1.5;
    // The form the framework exports a signed 8-bit value in: the character of its code.
    QTest::newRow("exported -5 into signed 8-bit")
        << "ModbusInt8" << QString(QChar(0xfb)) << true << -5.0;
    QTest::newRow("-100 into signed 8-bit") << "ModbusInt8"
                                            << "-100" << true << -100.0;
}

// A value that does not convert or does not fit the register is refused and named: the item
// keeps its value, is not written and does not count, while the file's good items load.
void tst_ModbusImporter::valuesThatDoNotFit()
{
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(bool, taken);
    QFETCH(double, value);
    QFile file(path("values.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE dorrikbus>\n"
               "<dorrikbus>\n<modbusitems version=\"1.0\">\n"
               "<item type=\"ModbusUInt16\" count=\"1\" address=\"400001\">11</item>\n"
               "<item type=\"" +
               type.toUtf8() + "\" count=\"1\" address=\"400010\">" + text.toUtf8() +
               "</item>\n</modbusitems>\n</dorrikbus>\n");
    file.close();

    ModbusUInt16 good(400001);
    std::unique_ptr<ModbusItemBase> tested;
    if (type == "ModbusUInt16")
        tested = std::make_unique<ModbusUInt16>(400010);
    else if (type == "ModbusInt16")
        tested = std::make_unique<ModbusInt16>(400010);
    else if (type == "ModbusInt8")
        tested = std::make_unique<ModbusInt8>(400010);
    else
        tested = std::make_unique<ModbusFloat>(400010);
    tested->setProperty("value", 7);
    good.setClient(m_client.get());
    tested->setClient(m_client.get());

    ModbusXmlImporter importer;
    importer.setFileName(path("values.xml"));
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QSignalSpy error(&importer, &ErrObject::error);
    // The check first: it names the value that would be refused, and changes nothing.
    const QVariantMap check = importer.checkItems(variantListFromObjects({&good, tested.get()}));
    QCOMPARE(check.value("loaded").toBool(), true);
    QCOMPARE(check.value("paired").toInt(), 2);
    QCOMPARE(check.value("refused").value<QObject *>(),
             taken ? nullptr : static_cast<QObject *>(tested.get()));
    QCOMPARE(check.value("value").toString(), taken ? QString() : text);
    QCOMPARE(good.value(), 0);
    QCOMPARE(tested->property("value").toDouble(), 7.0);
    QCOMPARE(error.size(), 0);
    QCOMPARE(finished.size(), 0);
    QCOMPARE(m_instrument->requestCount(), 0);

    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&good, tested.get()}));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(good.value(), 11);
    QCOMPARE(importer.processed(), taken ? 2 : 1);
    if (taken) {
        QCOMPARE(error.size(), 0);
        QCOMPARE(tested->property("value").toDouble(), value);
        QCOMPARE(writtenAddresses(*m_instrument), QList<quint32>({400001, 400010}));
    } else {
        QCOMPARE(error.size(), 1);
        QCOMPARE(error.at(0).at(0).toString(),
                 QString("can't import %1 (400010 1): wrong value \"%2\"").arg(type, text));
        QCOMPARE(tested->property("value").toDouble(), value);
        QCOMPARE(writtenAddresses(*m_instrument), QList<quint32>{400001});
    }
    good.setClient(nullptr);
    tested->setClient(nullptr);
}

// An item deleted while its write is awaited no longer holds the batch up.
void tst_ModbusImporter::itemDestroyedWhileWritten()
{
    m_instrument->setDelay(50);
    ModbusUInt16 kept(400001);
    auto destroyed = std::make_unique<ModbusUInt16>(400005);
    kept.setClient(m_client.get());
    destroyed->setClient(m_client.get());
    ModbusXmlImporter importer;
    importer.setFileName(path());
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&kept, destroyed.get()}));
    destroyed.reset();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(importer.processed(), 1);
    kept.setClient(nullptr);
}

void tst_ModbusImporter::itemWithoutClient()
{
    ModbusUInt16 item(400001);
    ModbusXmlImporter importer;
    importer.setFileName(path());
    QSignalSpy error(&importer, &ErrObject::error);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(item.value(), 11);
    QCOMPARE(item.errorCount(), quint64(3));
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(),
             QStringLiteral("can't write ModbusUInt16 (400001 1): you should assign 'client' - "
                            "property"));
}

void tst_ModbusImporter::missingFile()
{
    ModbusUInt16 item(400001);
    item.setValue(4);
    ModbusXmlImporter importer;
    importer.setFileName(path("missing.xml"));
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QSignalSpy error(&importer, &ErrObject::error);
    QVERIFY(!importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("No such file or directory"));
    QCOMPARE(finished.size(), 0);
    QCOMPARE(item.value(), 4);
    QCOMPARE(importer.importProperty("a"), QString());
    QCOMPARE(importer.getGroups(), QStringList());
    QVERIFY(!importer.beginGroup("site0"));
}

void tst_ModbusImporter::defaultFileName()
{
    ModbusXmlImporter importer;
    QCOMPARE(importer.fileName(), QStringLiteral("export.xml"));
    QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(QFile::copy(path(), path("export.xml")));
    ModbusUInt16 item(400005);
    importer.setWriteOnImport(false);
    const bool imported = importer.importItems(QList<ModbusItemBase *>{&item});
    QDir::setCurrent(cwd);
    QVERIFY(imported);
    QCOMPARE(item.value(), 33);
}

// A configuration of two sites saved from one instrument and loaded into another.
void tst_ModbusImporter::roundTripOfSites()
{
    m_instrument->setRegisters(400001, hex("0001"));
    m_instrument->setRegisters(400100, hex("0a0b"));
    m_instrument->setRegisters(400200, hex("0c0d"));
    ModbusUInt16 base(400001);
    ModbusUInt16 site0(400100);
    ModbusUInt16 site1(400200);
    for (ModbusUInt16 *item : {&base, &site0, &site1})
        item->setClient(m_client.get());

    ModbusXmlExporter exporter;
    exporter.setFileName(path("sites.xml"));
    QSignalSpy exported(&exporter, &ModbusExporterImporter::finished);
    exporter.exportProperty("generation", "3");
    exporter.exportItem(&base);
    QTRY_COMPARE(exported.size(), 1);
    int site = 0;
    for (ModbusUInt16 *item : {&site0, &site1}) {
        exporter.beginGroup(QString("site%1").arg(site++));
        exporter.exportItem(item);
        QTRY_COMPARE(exported.size(), site + 1);
        exporter.endGroup();
    }
    QVERIFY(exporter.save());

    SimulatedInstrument target;
    ModbusClient client;
    client.setTransport(target.link());
    for (ModbusUInt16 *item : {&base, &site0, &site1}) {
        item->setClient(&client);
        item->setValue(0);
    }
    ModbusXmlImporter importer;
    importer.setFileName(path("sites.xml"));
    QSignalSpy imported(&importer, &ModbusExporterImporter::finished);
    QCOMPARE(importer.getGroups(), QStringList({"site0", "site1"}));
    importer.clear();
    QCOMPARE(importer.importProperty("generation"), QStringLiteral("3"));
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&base, &site0, &site1}));
    QTRY_COMPARE(imported.size(), 1);
    site = 0;
    for (ModbusUInt16 *item : {&site0, &site1}) {
        QVERIFY(importer.beginGroup(QString("site%1").arg(site++)));
        QVERIFY(importer.importItems(QList<ModbusItemBase *>{item}));
        QTRY_COMPARE(imported.size(), site + 1);
        importer.endGroup();
    }
    QCOMPARE(importer.processed(), 3);
    QCOMPARE(target.registers(400001, 1), hex("0001"));
    QCOMPARE(target.registers(400100, 1), hex("0a0b"));
    QCOMPARE(target.registers(400200, 1), hex("0c0d"));
    for (ModbusUInt16 *item : {&base, &site0, &site1})
        item->setClient(nullptr);
}

QTEST_MAIN(tst_ModbusImporter)
#include "tst_modbusimporter.moc"
