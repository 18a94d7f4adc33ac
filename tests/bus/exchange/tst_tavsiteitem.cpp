#include "modbusclient.h"
#include "modbuscrc.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"
#include "siterecords.h"
#include "tavsiteitem.h"

#include <QtTest>

#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(text);
}

// The item as the menu declares it: 40-byte names, no reserved bytes, one 122-byte record.
std::unique_ptr<TavSiteItem> newItem(int nameSize = SiteRecords::NameSize, int reserved = 0)
{
    auto item = std::make_unique<TavSiteItem>();
    item->setNameSize(nameSize);
    item->setReservedBytesCount(reserved);
    item->setLength(3 * nameSize + reserved + 2);
    return item;
}

} // namespace

// One record of the sites table: names in, record out, and bytes from the instrument decoded
// without being rebuilt.
class tst_TavSiteItem : public QObject
{
    Q_OBJECT

private slots:
    void emptyRecord();
    void checkValueLowByteFirst();
    void encodeNames_data();
    void encodeNames();
    void decode_data();
    void decode();
    void sitePath_data();
    void sitePath();
    void namesFollowTheValue_data();
    void namesFollowTheValue();
    void reservedBytesKeptUntilANameChanges();
    void nameSizeRereadsBeforeRebuilding();
    void removeWritesAnEmptyRecord_data();
    void removeWritesAnEmptyRecord();
};

void tst_TavSiteItem::emptyRecord()
{
    std::unique_ptr<TavSiteItem> item = newItem();
    ModbusBytes expected = ModbusBytes::fromSize(120, 0);
    expected << hex("bff4");
    QCOMPARE(item->bytes(), expected);
    QCOMPARE(item->bytes(), encodeSiteRecord({}, {}, {}));
}

void tst_TavSiteItem::checkValueLowByteFirst()
{
    // CRC-16/MODBUS of "123456789" is 0x4B37.
    std::unique_ptr<TavSiteItem> item = newItem(3);
    item->setSitePath({QStringLiteral("123"), QStringLiteral("456"), QStringLiteral("789")});
    QCOMPARE(item->bytes(), ModbusBytes(QByteArrayLiteral("123456789\x37\x4b")));
}

void tst_TavSiteItem::encodeNames_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("subGroup");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QByteArray>("siteField");

    const QString a39(39, QLatin1Char('a'));
    QTest::newRow("three names") << "Nord"
                                 << "Pumps"
                                 << "Well 4" << QByteArray("Well 4");
    QTest::newRow("exactly 40 bytes, no zero")
        << "G"
        << "" << QString(40, QLatin1Char('x')) << QByteArray(40, 'x');
    QTest::newRow("41 bytes ending in a two-byte character: 39 bytes and a zero")
        << "G"
        << "A" << a39 + QChar(0x00E9) << QByteArray(39, 'a');
    QTest::newRow("three-byte character cut off")
        << "G"
        << "A" << QString(38, QLatin1Char('b')) + QChar(0x20AC) << QByteArray(38, 'b');
    QTest::newRow("cut inside a surrogate pair drops the pair")
        << "G"
        << "A" << QString(37, QLatin1Char('c')) + QString::fromUcs4(U"\U0001F600", 1)
        << QByteArray(37, 'c');
    QTest::newRow("Cyrillic, two bytes each")
        << QString::fromUtf8("Узел") << "" << QString::fromUtf8("Скважина")
        << QString::fromUtf8("Скважина").toUtf8();
}

void tst_TavSiteItem::encodeNames()
{
    QFETCH(QString, group);
    QFETCH(QString, subGroup);
    QFETCH(QString, site);
    QFETCH(QByteArray, siteField);

    std::unique_ptr<TavSiteItem> item = newItem();
    item->setGroupName(group);
    item->setSubGroupName(subGroup);
    item->setSiteName(site);
    QCOMPARE(item->bytes().toHex(), encodeSiteRecord(group, subGroup, site).toHex());
    QCOMPARE(item->bytes().mid(80, 40), siteField.leftJustified(40, '\0'));
    // The item keeps the whole name until new bytes are decoded.
    QCOMPARE(item->siteName(), site);
}

void tst_TavSiteItem::decode_data()
{
    QTest::addColumn<ModbusBytes>("record");
    QTest::addColumn<QStringList>("path");

    ModbusBytes badCheck = encodeSiteRecord("G", "A", "S");
    badCheck[121] = quint8(badCheck[121] ^ 0x01);

    QTest::newRow("zero record") << ModbusBytes::fromSize(122, 0) << QStringList{"", "", ""};
    QTest::newRow("three names") << encodeSiteRecord("G", "A", "S") << QStringList{"G", "A", "S"};
    QTest::newRow("empty group with subgroup 'B'")
        << encodeSiteRecord("", "B", "S") << QStringList{"", "", "S"};
    QTest::newRow("check value wrong") << badCheck << QStringList{"", "", ""};
    QTest::newRow("two bytes") << hex("ffff") << QStringList{"", "", ""};
    QTest::newRow("40-byte name without zero")
        << encodeSiteRecord(QString(40, QLatin1Char('g')), "", "S")
        << QStringList{QString(40, QLatin1Char('g')), "", "S"};
}

void tst_TavSiteItem::decode()
{
    QFETCH(ModbusBytes, record);
    QFETCH(QStringList, path);

    std::unique_ptr<TavSiteItem> item = newItem();
    item->setSitePath({QStringLiteral("old"), QStringLiteral("old"), QStringLiteral("old")});
    QSignalSpy bytesChanged(item.get(), &ModbusItemBase::bytesChanged);
    item->setBytes(record, ModbusItemBase::ReadChange);
    QCOMPARE(item->sitePath(), path);
    // Decoding never rebuilds: the bytes stay as they came.
    QCOMPARE(item->bytes(), record);
    QCOMPARE(bytesChanged.size(), 1);
}

void tst_TavSiteItem::sitePath_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("signalOrder");

    const QStringList start{"G", "A", "S"};
    QTest::newRow("two names ignored") << QStringList{"X", "Y"} << start << QStringList{};
    QTest::newRow("four names ignored")
        << QStringList{"X", "Y", "Z", "W"} << start << QStringList{};
    QTest::newRow("the same path") << start << start << QStringList{};
    QTest::newRow("site name only") << QStringList{"G", "A", "T"} << QStringList{"G", "A", "T"}
                                    << QStringList{"bytes", "siteName T", "sitePath"};
    QTest::newRow("all three") << QStringList{"H", "B", "T"} << QStringList{"H", "B", "T"}
                               << QStringList{"bytes", "groupName H",    "sitePath",
                                              "bytes", "subGroupName B", "sitePath",
                                              "bytes", "siteName T",     "sitePath"};
}

void tst_TavSiteItem::sitePath()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, signalOrder);

    std::unique_ptr<TavSiteItem> item = newItem();
    item->setSitePath({QStringLiteral("G"), QStringLiteral("A"), QStringLiteral("S")});
    QStringList order;
    connect(item.get(), &ModbusItemBase::bytesChanged, this,
            [&order](ModbusItemBase::BytesChangeType type) {
                QCOMPARE(type, ModbusItemBase::ValueChange);
                order << QStringLiteral("bytes");
            });
    connect(item.get(), &TavSiteItem::groupNameChanged, this,
            [&order](const QString &name) { order << QStringLiteral("groupName ") + name; });
    connect(item.get(), &TavSiteItem::subGroupNameChanged, this,
            [&order](const QString &name) { order << QStringLiteral("subGroupName ") + name; });
    connect(item.get(), &TavSiteItem::siteNameChanged, this,
            [&order](const QString &name) { order << QStringLiteral("siteName ") + name; });
    connect(item.get(), &TavSiteItem::sitePathChanged, this,
            [&order] { order << QStringLiteral("sitePath"); });

    item->setSitePath(path);
    QCOMPARE(item->sitePath(), expected);
    QCOMPARE(order, signalOrder);
    QCOMPARE(item->bytes(), encodeSiteRecord(expected.at(0), expected.at(1), expected.at(2)));
}

void tst_TavSiteItem::namesFollowTheValue_data()
{
    QTest::addColumn<bool>("throughFormatValue");
    QTest::newRow("value property (as an import sets it)") << false;
    QTest::newRow("formatValue") << true;
}

// A record set as the item's value shows its names, and a later rename keeps the group and
// subgroup it brought.
void tst_TavSiteItem::namesFollowTheValue()
{
    QFETCH(bool, throughFormatValue);
    std::unique_ptr<TavSiteItem> item = newItem();
    item->setSitePath({QStringLiteral("old"), QStringLiteral("old"), QStringLiteral("old")});
    const QString value = QString::fromLatin1(encodeSiteRecord("North", "Pumps", "Well 3").toHex());
    QSignalSpy pathChanged(item.get(), &TavSiteItem::sitePathChanged);
    if (throughFormatValue)
        item->setFormatValue(value);
    else
        QVERIFY(item->setProperty("value", value));
    QCOMPARE(item->sitePath(), (QStringList{"North", "Pumps", "Well 3"}));
    QCOMPARE(pathChanged.size(), 3);

    item->setSiteName(QStringLiteral("Well 4"));
    QCOMPARE(item->bytes(), encodeSiteRecord("North", "Pumps", "Well 4"));
}

void tst_TavSiteItem::reservedBytesKeptUntilANameChanges()
{
    std::unique_ptr<TavSiteItem> item = newItem(SiteRecords::NameSize, 4);
    ModbusBytes record = encodeSiteRecord("G", "A", "S", SiteRecords::NameSize, 4);
    record.setBytes(hex("01020304"), 120);
    record.removeLast(2);
    record << qChecksumModbus(record);
    item->setBytes(record, ModbusItemBase::ReadChange);
    QCOMPARE(item->sitePath(), (QStringList{"G", "A", "S"}));
    QCOMPARE(item->bytes(), record);

    item->setSiteName(QStringLiteral("T"));
    QCOMPARE(item->bytes(), encodeSiteRecord("G", "A", "T", SiteRecords::NameSize, 4));
}

void tst_TavSiteItem::nameSizeRereadsBeforeRebuilding()
{
    std::unique_ptr<TavSiteItem> item = newItem(4);
    item->setSitePath({QStringLiteral("ab"), QStringLiteral("cd"), QStringLiteral("ef")});
    QCOMPARE(item->bytes(), encodeSiteRecord("ab", "cd", "ef", 4));
    QSignalSpy nameSizeChanged(item.get(), &TavSiteItem::nameSizeChanged);

    // At width 2 the old record reads "ab", "" (the zeros after "ab") and "cd".
    item->setNameSize(2);
    QCOMPARE(item->sitePath(), (QStringList{"ab", "", "cd"}));
    QCOMPARE(item->bytes(), encodeSiteRecord("ab", "", "cd", 2));
    QCOMPARE(nameSizeChanged.size(), 1);
    QCOMPARE(nameSizeChanged.at(0).at(0).toInt(), 2);
}

void tst_TavSiteItem::removeWritesAnEmptyRecord_data()
{
    QTest::addColumn<ModbusBytes>("before");

    QTest::newRow("a site") << encodeSiteRecord("G", "A", "Well 3");
    // Its names are empty already, so no setter rebuilds it; it must still go out checked.
    QTest::newRow("a zero record") << ModbusBytes::fromSize(SiteRecords::RecordSize, 0);
}

void tst_TavSiteItem::removeWritesAnEmptyRecord()
{
    QFETCH(ModbusBytes, before);

    SimulatedInstrument instrument;
    ModbusBytes table = ModbusBytes::fromSize(SiteRecords::TableSize, 0xEE);
    table.setBytes(before, 3 * SiteRecords::RecordSize);
    instrument.setFile(SiteRecords::File, table);
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());

    std::unique_ptr<TavSiteItem> item = newItem();
    item->setFile(SiteRecords::File);
    item->setOffset(3 * SiteRecords::RecordSize / 2);
    item->setClient(&client);
    QVERIFY(item->read());
    QTRY_COMPARE(item->readCount(), quint64(1));
    QCOMPARE(item->bytes(), before);
    instrument.clearRequests();

    item->remove();
    QTRY_COMPARE(item->writeCount(), quint64(1));
    QCOMPARE(item->sitePath(), (QStringList{"", "", ""}));
    const QList<InstrumentRequest> log = instrument.requests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.at(0).function, DorrikBus::WriteFile);
    QCOMPARE(log.at(0).file, SiteRecords::File);
    QCOMPARE(log.at(0).address, quint32(183));
    QCOMPARE(log.at(0).count, 61);

    table.setBytes(encodeSiteRecord({}, {}, {}), 3 * SiteRecords::RecordSize);
    QCOMPARE(instrument.file(SiteRecords::File).toHex(), table.toHex());
}

QTEST_GUILESS_MAIN(tst_TavSiteItem)
#include "tst_tavsiteitem.moc"
