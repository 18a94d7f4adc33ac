#include "filesizelimit.h"
#include "modbusdatetime.h"
#include "modbusdouble.h"
#include "modbusfile.h"
#include "modbusfloat.h"
#include "modbusint32.h"
#include "modbusstringutf8.h"
#include "modbusuint16.h"
#include "modbusxmlengine.h"
#include "modbusxmlexporter.h"
#include "modbusxmlimporter.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QByteArray Head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE dorrikbus>\n";

// A file of the given "modbusitems" body.
QByteArray document(const QByteArray &body)
{
    return Head + "<dorrikbus>\n<modbusitems version=\"1.0\">\n" + body +
           "</modbusitems>\n</dorrikbus>\n";
}

// The items of a small configuration: every kind of value text the file holds.
struct Configuration
{
    Configuration()
    {
        count.setValue(42);
        flow.setValue(1234.5f);
        time.setAddress(400030);
        time.setValue(QDateTime(QDate(2015, 3, 5), QTime(14, 0)));
        name.setAddress(400040);
        name.setLength(32);
        name.setValue(QString::fromUtf8("Расход m³/h <&> \"q\""));
        table.setFile(5);
        table.setOffset(16);
        table.setLength(4);
        table.setValue(QStringLiteral("0102abcd"));
        site0.setValue(-7);
        site1.setValue(9);
        site1Ratio.setValue(0.25);
    }
    QList<ModbusItemBase *> base() { return {&count, &flow, &time, &name, &table}; }

    ModbusUInt16 count{400010};
    ModbusFloat flow{400020};
    ModbusDateTime time;
    ModbusStringUtf8 name;
    ModbusFile table;
    ModbusInt32 site0{400100};
    ModbusInt32 site1{400100};
    ModbusDouble site1Ratio{400104};
};

} // namespace

// The configuration file: what is written, what is read back, which files are refused and why,
// how levels scope lookups and how records pair with items.
class tst_ModbusXmlEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void goldenExport();
    void qt4TextFormsImport();
    void blankTextRoundTrip();
    void refusals_data();
    void refusals();
    void propertyAndGroupScoping();
    void groupsWithoutNameSkipped();
    void backgroundLoad();
    void pairing_data();
    void pairing();
    void saveAfterClear();
    void declarativeTypeName();
    void failedSaveKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void tst_ModbusXmlEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_ModbusXmlEngine::goldenExport()
{
    Configuration c;
    ModbusXmlExporter exporter;
    exporter.setReadOnExport(false);
    exporter.setWaitForRead(false);
    exporter.setFileName(path("out.xml"));
    QVERIFY(exporter.exportProperty("generation", "3"));
    QVERIFY(exporter.exportProperty("serial", "12345"));
    exporter.exportItems(c.base());
    exporter.beginGroup("site0");
    exporter.exportItem(&c.site0);
    exporter.endGroup();
    exporter.beginGroup("site1");
    exporter.exportItem(&c.site1);
    exporter.beginGroup("ratios");
    exporter.exportItem(&c.site1Ratio);
    exporter.endGroup();
    exporter.endGroup();
    QVERIFY(exporter.save());
    QCOMPARE(exporter.processed(), 8);

    const QString golden = QFINDTESTDATA("data/configuration.xml");
    QVERIFY(!golden.isEmpty());
    // Line by line, so that a difference names its line.
    const QByteArray written = readAll(path("out.xml"));
    QCOMPARE(QString::fromUtf8(written).split('\n'),
             QString::fromUtf8(readAll(golden)).split('\n'));
    QCOMPARE(written, readAll(golden));

    // And every value comes back into fresh items.
    Configuration back;
    back.count.setValue(0);
    back.flow.setValue(0);
    back.time.setValue(QDateTime());
    back.name.setValue(QString());
    back.table.setValue(QString());
    back.site1Ratio.setValue(0);
    ModbusXmlImporter importer;
    importer.setWriteOnImport(false);
    importer.setFileName(golden);
    QCOMPARE(importer.importProperty("generation"), QStringLiteral("3"));
    QVERIFY(importer.importItems(back.base()));
    QVERIFY(importer.beginGroup("site1"));
    QVERIFY(importer.beginGroup("ratios"));
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&back.site1Ratio}));
    QCOMPARE(importer.processed(), 6);
    QCOMPARE(back.count.value(), c.count.value());
    QCOMPARE(back.flow.value(), c.flow.value());
    QCOMPARE(back.time.value(), c.time.value());
    QCOMPARE(back.name.value(), c.name.value());
    QCOMPARE(back.table.value(), c.table.value());
    QCOMPARE(back.site1Ratio.value(), c.site1Ratio.value());
}

// A file as the earlier program wrote it: shortest decimal forms, seconds without milliseconds.
void tst_ModbusXmlEngine::qt4TextFormsImport()
{
    writeFile(path("old.xml"),
              document("<item type=\"ModbusFloat\" count=\"1\" address=\"400020\">0.1</item>\n"
                       "<item type=\"ModbusDouble\" count=\"1\" address=\"400104\">0.1</item>\n"
                       "<item count=\"1\" address=\"400030\" type=\"ModbusDateTime\">"
                       "2015-03-05T14:00:00</item>\n"));
    ModbusFloat flow(400020);
    ModbusDouble ratio(400104);
    ModbusDateTime time(400030);
    ModbusXmlImporter importer;
    importer.setWriteOnImport(false);
    importer.setFileName(path("old.xml"));
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&flow, &ratio, &time}));
    QCOMPARE(importer.processed(), 3);
    QCOMPARE(flow.value(), 0.1f);
    QCOMPARE(ratio.value(), 0.1);
    QCOMPARE(time.value(), QDateTime(QDate(2015, 3, 5), QTime(14, 0)));
}

// Qt's own parser would drop text that is only white space.
void tst_ModbusXmlEngine::blankTextRoundTrip()
{
    ModbusStringUtf8 name;
    name.setAddress(400040);
    name.setLength(8);
    name.setValue(QStringLiteral("   "));
    ModbusXmlExporter exporter;
    exporter.setFileName(path("blank.xml"));
    exporter.setReadOnExport(false);
    exporter.setWaitForRead(false);
    exporter.exportItem(&name);
    QVERIFY(exporter.save());

    name.setValue(QStringLiteral("x"));
    ModbusXmlImporter importer;
    importer.setWriteOnImport(false);
    importer.setFileName(path("blank.xml"));
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&name}));
    QCOMPARE(importer.processed(), 1);
    QCOMPARE(name.value(), QStringLiteral("   "));
}

void tst_ModbusXmlEngine::refusals_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    const QByteArray items = "<modbusitems version=\"1.0\"/>";
    QTest::newRow("missing file") << QByteArray() << "No such file or directory";
    QTest::newRow("not well-formed")
        << QByteArray(Head + "<dorrikbus>\n<modbusitems version=\"1.0\">\n</dorrikbus>\n")
        << "Parse error at line 5, column 12:\nOpening and ending tag mismatch.";
    QTest::newRow("other doctype")
        << QByteArray("<!DOCTYPE other>\n<dorrikbus>" + items + "</dorrikbus>") << "wrong doc type";
    QTest::newRow("no doctype") << QByteArray("<dorrikbus>" + items + "</dorrikbus>")
                                << "wrong doc type";
    QTest::newRow("other root") << QByteArray(Head + "<other>" + items + "</other>")
                                << "wrong root element name";
    QTest::newRow("comment before modbusitems")
        << QByteArray(Head + "<dorrikbus><!-- saved -->" + items + "</dorrikbus>")
        << "wrong root element name";
    QTest::newRow("other element first")
        << QByteArray(Head + "<dorrikbus><header/>" + items + "</dorrikbus>")
        << "wrong root element name";
    QTest::newRow("no version") << QByteArray(Head + "<dorrikbus><modbusitems/></dorrikbus>")
                                << "wrong modbus items xml version";
    QTest::newRow("empty version")
        << QByteArray(Head + "<dorrikbus><modbusitems version=\"\"/></dorrikbus>")
        << "wrong modbus items xml version";
    QTest::newRow("version 2.0")
        << QByteArray(Head + "<dorrikbus><modbusitems version=\"2.0\"/></dorrikbus>")
        << "wrong modbus items xml version";
    QTest::newRow("version 1.00")
        << QByteArray(Head + "<dorrikbus><modbusitems version=\"1.00\"/></dorrikbus>")
        << "wrong modbus items xml version";
}

// Each refusal reports its reason once, finds nothing, and the next call tries the file again.
void tst_ModbusXmlEngine::refusals()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    if (!content.isEmpty())
        writeFile(path("in.xml"), content);

    ModbusXmlEngine engine;
    engine.setFileName(path("in.xml"));
    QSignalSpy error(&engine, &ErrObject::error);
    QVERIFY(!engine.loadDocument());
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), message);
    QVERIFY(!engine.loaded());

    QString value = "untouched";
    QVERIFY(!engine.importProperty("a", value));
    QCOMPARE(value, QStringLiteral("untouched"));
    QCOMPARE(error.size(), 2);

    // Read in the background, the same refusal.
    ModbusXmlEngine background;
    background.setFileName(path("in.xml"));
    QSignalSpy backgroundError(&background, &ErrObject::error);
    QSignalSpy loaded(&background, &ModbusXmlEngine::documentLoaded);
    background.startLoading();
    QTRY_COMPARE(loaded.size(), 1);
    QCOMPARE(loaded.at(0).at(0).toBool(), false);
    QCOMPARE(backgroundError.size(), 1);
    QCOMPARE(backgroundError.at(0).at(0).toString(), message);

    // Mended, the same engine reads it.
    writeFile(path("in.xml"), document("<property name=\"a\" value=\"1\"/>\n"));
    QVERIFY(engine.importProperty("a", value));
    QCOMPARE(value, QStringLiteral("1"));
}

// A file read in the background: its groups and items once it is in; an import call made while
// it is read waits for it; a read that a new file name made stale is never taken.
void tst_ModbusXmlEngine::backgroundLoad()
{
    const QByteArray one = "<item type=\"ModbusUInt16\" count=\"1\" address=\"400001\">";
    writeFile(path("a.xml"),
              document(one + "5</item>\n<group name=\"site0\">" + one + "6</item></group>\n"));
    writeFile(path("b.xml"), document(one + "7</item>\n"));

    ModbusXmlImporter importer;
    importer.setWriteOnImport(false);
    importer.setFileName(path("a.xml"));
    QSignalSpy loaded(&importer, &ModbusXmlImporter::loaded);
    importer.load();
    QTRY_COMPARE(loaded.size(), 1);
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QCOMPARE(importer.getGroups(), QStringList{"site0"});
    ModbusUInt16 item(400001);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(item.value(), 5);
    QVERIFY(importer.beginGroup("site0"));
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(item.value(), 6);

    importer.clear();
    importer.load();
    importer.setFileName(path("b.xml"));
    importer.load();
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(item.value(), 7);
    QTest::qWait(50);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&item}));
    QCOMPARE(item.value(), 7);
}

void tst_ModbusXmlEngine::propertyAndGroupScoping()
{
    writeFile(path("in.xml"),
              document("<property name=\"a\" value=\"top\"/>\n"
                       "<property name=\"only\" value=\"top only\"/>\n"
                       "<group name=\"site0\">\n"
                       "  <property name=\"a\" value=\"site0\"/>\n"
                       "  <group name=\"inner\"><property name=\"a\" value=\"inner\"/></group>\n"
                       "</group>\n"
                       "<property name=\"a\" value=\"second\"/>\n"
                       "<property name=\"novalue\"/>\n"));
    ModbusXmlImporter importer;
    importer.setFileName(path("in.xml"));
    QCOMPARE(importer.importProperty("a"), QStringLiteral("top"));
    QCOMPARE(importer.importProperty("novalue"), QString());
    QVERIFY(!importer.beginGroup("inner"));
    QCOMPARE(importer.importProperty("a"), QStringLiteral("top"));
    QVERIFY(importer.beginGroup("site0"));
    QCOMPARE(importer.groupPath(), QStringList());
    QCOMPARE(importer.importProperty("a"), QStringLiteral("site0"));
    QCOMPARE(importer.importProperty("only"), QString());
    QVERIFY(importer.beginGroup("inner"));
    QCOMPARE(importer.importProperty("a"), QStringLiteral("inner"));
    importer.endGroup();
    importer.endGroup();
    QCOMPARE(importer.importProperty("only"), QStringLiteral("top only"));
    // An end too many stays at the top level.
    importer.endGroup();
    QCOMPARE(importer.importProperty("a"), QStringLiteral("top"));

    // Another file name is read afresh.
    writeFile(path("other.xml"), document("<property name=\"a\" value=\"other\"/>\n"));
    importer.setFileName(path("other.xml"));
    QCOMPARE(importer.importProperty("a"), QStringLiteral("other"));
}

void tst_ModbusXmlEngine::groupsWithoutNameSkipped()
{
    writeFile(path("in.xml"), document("<group name=\"site0\"/>\n<group name=\"\"/>\n<group/>\n"
                                       "<group name=\"site1\"><group name=\"deep\"/></group>\n"));
    ModbusXmlImporter importer;
    importer.setFileName(path("in.xml"));
    QCOMPARE(importer.getGroups(), QStringList({"site0", "site1"}));
}

void tst_ModbusXmlEngine::pairing_data()
{
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<QList<int>>("values"); // of the two items afterwards
    QTest::addColumn<int>("paired");

    const QByteArray one = "<item type=\"ModbusUInt16\" count=\"1\" address=\"400001\">";
    QTest::newRow("three equal records, two items")
        << QByteArray(one + "1</item>\n" + one + "2</item>\n" + one + "3</item>\n")
        << QList<int>{1, 2} << 2;
    QTest::newRow("other count")
        << QByteArray("<item type=\"ModbusUInt16\" count=\"2\" address=\"400001\">5</item>\n")
        << QList<int>{0, 0} << 0;
    QTest::newRow("other address")
        << QByteArray("<item type=\"ModbusUInt16\" count=\"1\" address=\"400002\">5</item>\n")
        << QList<int>{0, 0} << 0;
    QTest::newRow("other type")
        << QByteArray("<item type=\"ModbusInt16\" count=\"1\" address=\"400001\">5</item>\n")
        << QList<int>{0, 0} << 0;
    QTest::newRow("extra property")
        << QByteArray("<item type=\"ModbusUInt16\" count=\"1\" address=\"400001\" "
                      "file=\"0\">5</item>\n")
        << QList<int>{0, 0} << 0;
    QTest::newRow("inside a group only")
        << QByteArray("<group name=\"site0\">" + one + "5</item></group>\n") << QList<int>{0, 0}
        << 0;
}

void tst_ModbusXmlEngine::pairing()
{
    QFETCH(QByteArray, records);
    QFETCH(QList<int>, values);
    QFETCH(int, paired);
    writeFile(path("in.xml"), document(records));

    ModbusUInt16 first(400001);
    ModbusUInt16 second(400001);
    ModbusXmlImporter importer;
    importer.setWriteOnImport(false);
    importer.setFileName(path("in.xml"));
    QSignalSpy finished(&importer, &ModbusExporterImporter::finished);
    QVERIFY(importer.importItems(QList<ModbusItemBase *>{&first, &second}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(importer.processed(), paired);
    QCOMPARE(QList<int>({first.value(), second.value()}), values);
}

void tst_ModbusXmlEngine::saveAfterClear()
{
    ModbusXmlEngine engine;
    engine.setFileName(path("out.xml"));
    QSignalSpy error(&engine, &ErrObject::error);
    QVERIFY(engine.exportProperty("a", "1"));
    engine.clear();
    QVERIFY(!engine.save());
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("can't save empty xml document"));
    QVERIFY(!QFile::exists(path("out.xml")));

    // A fresh document, without what came before the clear.
    QVERIFY(engine.exportProperty("b", "2"));
    QVERIFY(engine.save());
    QCOMPARE(readAll(path("out.xml")),
             Head + "<dorrikbus>\n    <modbusitems version=\"1.0\">\n"
                    "        <property name=\"b\" value=\"2\"/>\n    </modbusitems>\n"
                    "</dorrikbus>\n");
}

void tst_ModbusXmlEngine::declarativeTypeName()
{
    qmlRegisterType<ModbusFloat>("DorrikBus", 1, 0, "ModbusFloat");
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(
        "import DorrikBus 1.0\nModbusFloat { property int extra: 3; address: 400006 }", QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    auto *item = qobject_cast<ModbusItemBase *>(object.get());
    QVERIFY(item);
    QVERIFY(QByteArray(item->metaObject()->className()).contains("_QML"));
    QCOMPARE(ModbusExporterImporter::getModbusClassName(item), QStringLiteral("ModbusFloat"));
    QCOMPARE(ModbusExporterImporter::getItemProps(item),
             (QMap<QString, QString>{{"address", "400006"}, {"count", "1"}}));
}

// A save that cannot complete reports it and leaves the previous file as it was.
void tst_ModbusXmlEngine::failedSaveKeepsOldFile()
{
    ModbusXmlEngine engine;
    engine.setFileName(path("out.xml"));
    QVERIFY(engine.exportProperty("a", "1"));
    QVERIFY(engine.save());
    const QByteArray old = readAll(path("out.xml"));

    for (int i = 0; i < 200; ++i)
        QVERIFY(engine.exportProperty(QString("p%1").arg(i), QString(40, QLatin1Char('x'))));
    QSignalSpy error(&engine, &ErrObject::error);
    {
        FileSizeLimit limit(1024);
        QVERIFY(!engine.save());
    }
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("can't write file"));
    QCOMPARE(readAll(path("out.xml")), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"out.xml"});
}

QTEST_MAIN(tst_ModbusXmlEngine)
#include "tst_modbusxmlengine.moc"
