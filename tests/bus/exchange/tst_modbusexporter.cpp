#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbusuint16.h"
#include "modbusxmlexporter.h"
#include "simulatedinstrument.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

// The elements of a saved file below "modbusitems", in document order: "item address=text",
// "group name", "property name".
QStringList savedElements(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("unreadable")};
    QStringList result;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView tag = reader.name();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (tag == QLatin1String("item")) {
            const QString address = attributes.value("address").toString();
            result.append("item " + address + '=' + reader.readElementText());
        } else if (tag == QLatin1String("group") || tag == QLatin1String("property")) {
            result.append(tag.toString() + ' ' + attributes.value("name").toString());
        }
    }
    return reader.hasError() ? QStringList{reader.errorString()} : result;
}

int readsOf(const SimulatedInstrument &instrument, quint32 address)
{
    int reads = 0;
    for (const InstrumentRequest &request : instrument.requests())
        if (request.function == DorrikBus::ReadHoldingRegisters && request.address == address)
            ++reads;
    return reads;
}

} // namespace

// Saving register items read from the simulated instrument: when an item is read and when it is
// recorded, failed reads and their retries, and groups.
class tst_ModbusExporter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readAndWait_data();
    void readAndWait();
    void failingReads_data();
    void failingReads();
    void itemDestroyedWhileAwaited();
    void itemWithoutClient();
    void emptyBatch();
    void groups();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
    QString path() const { return m_dir->filePath("out.xml"); }
};

void tst_ModbusExporter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_client = std::make_unique<ModbusClient>();
    m_client->setRetries(1);
    m_client->setTransport(m_instrument->link());
    m_instrument->setRegisters(400001, hex("0007"));
}

void tst_ModbusExporter::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

void tst_ModbusExporter::readAndWait_data()
{
    QTest::addColumn<bool>("waitForRead");
    QTest::addColumn<bool>("readOnExport");
    QTest::addColumn<bool>("finishedAtOnce");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("reads");

    QTest::newRow("wait for its own read") << true << true << false << "400001=7" << 1;
    QTest::newRow("read, record at once") << false << true << true << "400001=5" << 1;
    QTest::newRow("snapshot") << false << false << true << "400001=5" << 0;
    QTest::newRow("wait for a read started elsewhere") << true << false << false << "400001=7" << 1;
}

void tst_ModbusExporter::readAndWait()
{
    QFETCH(bool, waitForRead);
    QFETCH(bool, readOnExport);
    QFETCH(bool, finishedAtOnce);
    QFETCH(QString, saved);
    QFETCH(int, reads);

    ModbusUInt16 item(400001);
    item.setClient(m_client.get());
    item.setValue(5);
    ModbusXmlExporter exporter;
    exporter.setFileName(path());
    exporter.setWaitForRead(waitForRead);
    exporter.setReadOnExport(readOnExport);
    QSignalSpy finished(&exporter, &ModbusExporterImporter::finished);
    exporter.exportItem(&item);
    QCOMPARE(finished.size(), finishedAtOnce ? 1 : 0);
    QCOMPARE(exporter.processed(), finishedAtOnce ? 1 : 0);

    if (waitForRead && !readOnExport) {
        QTest::qWait(20);
        QCOMPARE(m_instrument->requestCount(), 0);
        QVERIFY(item.read());
    }
    QTRY_COMPARE_WITH_TIMEOUT(readsOf(*m_instrument, 400001), reads, 5000);
    if (reads > 0)
        QTRY_VERIFY(item.wasRead());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(exporter.processed(), 1);
    // A later read of the exported item adds nothing.
    if (reads > 0) {
        QSignalSpy afterRead(&item, &ModbusItemBase::afterRead);
        QVERIFY(item.read());
        QTRY_COMPARE(afterRead.size(), 1);
        QCOMPARE(exporter.processed(), 1);
    }
    QVERIFY(exporter.save());
    QCOMPARE(savedElements(path()), QStringList{"item " + saved});
}

void tst_ModbusExporter::failingReads_data()
{
    QTest::addColumn<int>("exceptions");
    QTest::addColumn<bool>("exported");

    QTest::newRow("two exceptions, then the value") << 2 << true;
    QTest::newRow("three exceptions") << 3 << false;
}

// Two retries by default: three reads at most, then the item's own message names it.
void tst_ModbusExporter::failingReads()
{
    QFETCH(int, exceptions);
    QFETCH(bool, exported);
    m_instrument->setException(400001, DorrikBus::SlaveDeviceFailure, exceptions);

    ModbusUInt16 item(400001);
    item.setClient(m_client.get());
    ModbusXmlExporter exporter;
    exporter.setFileName(path());
    QSignalSpy finished(&exporter, &ModbusExporterImporter::finished);
    QSignalSpy error(&exporter, &ErrObject::error);
    exporter.exportItem(&item);

    if (exported) {
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(error.size(), 0);
        QCOMPARE(exporter.processed(), 1);
        QVERIFY(exporter.save());
        QCOMPARE(savedElements(path()), QStringList{"item 400001=7"});
    } else {
        QTRY_COMPARE(error.size(), 1);
        QVERIFY(!item.errorString().isEmpty());
        QCOMPARE(error.at(0).at(0).toString(),
                 "can't read ModbusUInt16 (400001 1): " + item.errorString());
        QTest::qWait(20);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(exporter.processed(), 0);
    }
    QCOMPARE(readsOf(*m_instrument, 400001), 3);
}

// A read that is not even queued is a failed attempt too.
// An item deleted while its read is awaited no longer holds the batch up: the rest is saved.
void tst_ModbusExporter::itemDestroyedWhileAwaited()
{
    m_instrument->setRegisters(400001, hex("0007"));
    ModbusUInt16 kept(400001);
    auto destroyed = std::make_unique<ModbusUInt16>(400002);
    kept.setClient(m_client.get());
    ModbusXmlExporter exporter;
    exporter.setFileName(path());
    exporter.setReadOnExport(false);
    QSignalSpy finished(&exporter, &ModbusExporterImporter::finished);
    exporter.exportItems(QList<ModbusItemBase *>{&kept, destroyed.get()});
    destroyed.reset();
    QCOMPARE(finished.size(), 0);
    QVERIFY(kept.read());
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(exporter.processed(), 1);
    QVERIFY(exporter.save());
    QCOMPARE(savedElements(path()), QStringList{"item 400001=7"});

    auto alone = std::make_unique<ModbusUInt16>(400003);
    exporter.exportItem(alone.get());
    QCOMPARE(finished.size(), 1);
    alone.reset();
    QCOMPARE(finished.size(), 2);
    kept.setClient(nullptr);
}

void tst_ModbusExporter::itemWithoutClient()
{
    ModbusUInt16 item(400001);
    ModbusXmlExporter exporter;
    exporter.setModbusRetries(3);
    QSignalSpy finished(&exporter, &ModbusExporterImporter::finished);
    QSignalSpy error(&exporter, &ErrObject::error);
    exporter.exportItem(&item);
    QCOMPARE(item.errorCount(), quint64(4));
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(),
             QStringLiteral("can't read ModbusUInt16 (400001 1): you should assign 'client' - "
                            "property"));
    QCOMPARE(finished.size(), 0);
}

void tst_ModbusExporter::emptyBatch()
{
    ModbusUInt16 input(300001);
    input.setClient(m_client.get());
    ModbusXmlExporter exporter;
    QSignalSpy finished(&exporter, &ModbusExporterImporter::finished);
    exporter.exportItems(QList<ModbusItemBase *>{&input});
    QCOMPARE(finished.size(), 1);
    QCOMPARE(exporter.processed(), 0);
    QCOMPARE(m_instrument->requestCount(), 0);
}

void tst_ModbusExporter::groups()
{
    ModbusXmlExporter exporter;
    exporter.setFileName(path());
    exporter.setReadOnExport(false);
    exporter.setWaitForRead(false);
    QSignalSpy entered(&exporter, &ModbusExporterImporter::groupEntered);
    QSignalSpy left(&exporter, &ModbusExporterImporter::groupLeft);
    exporter.endGroup();
    exporter.beginGroup(QString());
    QCOMPARE(entered.size() + left.size(), 0);
    exporter.beginGroup("site0");
    QCOMPARE(exporter.groupPath(), QStringList{"site0"});
    exporter.endGroup();
    exporter.endGroup();
    QCOMPARE(left.size(), 1);
    QVERIFY(exporter.exportProperty("after", "1"));
    QVERIFY(exporter.save());

    QCOMPARE(savedElements(path()), QStringList({"group site0", "property after"}));
    QCOMPARE(exporter.version(), QStringLiteral("1.0"));
}

QTEST_MAIN(tst_ModbusExporter)
#include "tst_modbusexporter.moc"
