#include "modbusclient.h"
#include "modbusfile.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"
#include "siterecords.h"
#include "tavsiteitem.h"
#include "tavsitesmodel.h"

#include <QtTest>

#include <memory>

using Sites = QMap<int, QStringList>;
Q_DECLARE_METATYPE(Sites)

namespace {

// A table of 20 records with these sites, made by the support encoder.
ModbusBytes table(const Sites &sites)
{
    ModbusBytes bytes = ModbusBytes::fromSize(SiteRecords::TableSize, 0);
    for (auto it = sites.cbegin(); it != sites.cend(); ++it)
        bytes.setBytes(encodeSiteRecord(it->at(0), it->at(1), it->at(2)),
                       it.key() * SiteRecords::RecordSize);
    return bytes;
}

Sites modelSites(const TavSitesModel &model)
{
    Sites sites;
    for (const QVariant &slot : model.getSitesIndexes())
        sites.insert(slot.toInt(), model.getSitePath(slot.toInt()));
    return sites;
}

// Sites in and under group G, one outside any group, one in H.
const Sites Groups{{0, {"G", "", "s0"}},
                   {1, {"G", "A", "s1"}},
                   {2, {"G", "B", "s2"}},
                   {3, {"", "", "s3"}},
                   {4, {"H", "A", "s4"}}};

} // namespace

// The sites table: decoding, editing, queries, and keeping in step with the table item and,
// through it, the instrument.
class tst_TavSitesModel : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void setSite_data();
    void setSite();
    void removeGroup_data();
    void removeGroup();
    void renameGroup_data();
    void renameGroup();
    void uniqueSiteName_data();
    void uniqueSiteName();
    void queries();
    void ownBytesDoNotComeBack();
    void itemReplaced();

    // Against the simulated instrument.
    void setSiteWritesTheTableAndReadsItBack();
    void withoutWriteToDeviceNothingIsSent();
    void tableChangedInTheInstrument();
    void removeAllIsEmptyAtOnce();

private:
    void bind(const ModbusBytes &bytes);

    ModbusFile m_item;
    std::unique_ptr<TavSitesModel> m_model;
};

void tst_TavSitesModel::bind(const ModbusBytes &bytes)
{
    m_item.setLength(SiteRecords::TableSize);
    m_item.setBytes(bytes, ModbusItemBase::ReadChange);
    m_model = std::make_unique<TavSitesModel>();
    m_model->setItem(&m_item);
}

void tst_TavSitesModel::decode_data()
{
    QTest::addColumn<ModbusBytes>("image");
    QTest::addColumn<Sites>("sites");

    ModbusBytes badCheck = table({{2, {"G", "A", "S"}}, {5, {"G", "A", "T"}}});
    badCheck[2 * SiteRecords::RecordSize + 10] = 'x';
    ModbusBytes shortImage = table({{2, {"G", "A", "S"}}});
    shortImage.removeLast(1);

    QTest::newRow("2440 zero bytes") << table({}) << Sites{};
    QTest::newRow("2439 bytes") << shortImage << Sites{};
    QTest::newRow("first and last slot") << table({{0, {"G", "A", "S"}}, {19, {"", "", "T"}}})
                                         << Sites{{0, {"G", "A", "S"}}, {19, {"", "", "T"}}};
    QTest::newRow("('', 'B', 'S') as ('', '', 'S')")
        << table({{7, {"", "B", "S"}}}) << Sites{{7, {"", "", "S"}}};
    QTest::newRow("wrong check value: empty slot") << badCheck << Sites{{5, {"G", "A", "T"}}};
    QTest::newRow("empty site name: empty slot") << table({{4, {"G", "A", ""}}}) << Sites{};
}

void tst_TavSitesModel::decode()
{
    QFETCH(ModbusBytes, image);
    QFETCH(Sites, sites);

    bind(image);
    QCOMPARE(modelSites(*m_model), sites);
    QCOMPARE(m_model->sitesCount(), sites.size());
}

void tst_TavSitesModel::setSite_data()
{
    QTest::addColumn<int>("maxSitesCount");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<Sites>("sites");

    const Sites start{{0, {"G", "A", "s0"}}, {1, {"G", "", "s1"}}, {3, {"G", "A", "s3"}}};
    Sites added = start;
    added.insert(5, {"", "", "S"});
    Sites removed = start;
    removed.remove(3);
    Sites replaced = start;
    replaced[0] = QStringList{"H", "", "new"};

    QTest::newRow("three empty names remove slot 3")
        << 20 << 3 << QStringList{"", "", ""} << false << removed;
    QTest::newRow("('', 'X', 'S') stored as ('', '', 'S')")
        << 20 << 5 << QStringList{"", "X", "S"} << false << added;
    QTest::newRow("used slot replaced")
        << 20 << 0 << QStringList{"H", "", "new"} << false << replaced;
    // Three sites stored and room for three: no new one fits, a used slot can still change.
    QTest::newRow("full table ignores a free slot")
        << 3 << 2 << QStringList{"H", "", "new"} << false << start;
    QTest::newRow("full table replaces a used slot")
        << 3 << 0 << QStringList{"H", "", "new"} << false << replaced;
    QTest::newRow("empty list") << 20 << 3 << QStringList{} << true << start;
    QTest::newRow("one name") << 20 << 5 << QStringList{"S"} << true << start;
    QTest::newRow("four names") << 20 << 5 << QStringList{"G", "A", "B", "S"} << true << start;
    QTest::newRow("index -1") << 20 << -1 << QStringList{"G", "A", "S"} << true << start;
    QTest::newRow("index 20") << 20 << 20 << QStringList{"G", "A", "S"} << true << start;
    QTest::newRow("index 65535") << 20 << 65535 << QStringList{"G", "A", "S"} << true << start;
}

void tst_TavSitesModel::setSite()
{
    QFETCH(int, maxSitesCount);
    QFETCH(int, index);
    QFETCH(QStringList, path);
    QFETCH(bool, refused);
    QFETCH(Sites, sites);

    Sites start{{0, {"G", "A", "s0"}}, {1, {"G", "", "s1"}}, {3, {"G", "A", "s3"}}};
    bind(table(start));
    // Changes nothing by itself: the table is not decoded again.
    m_model->setMaxSitesCount(maxSitesCount);
    const ModbusBytes before = m_item.bytes();
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    QSignalSpy itemBytes(&m_item, &ModbusItemBase::bytesChanged);
    if (refused)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^setSite: ")));

    m_model->setSite(index, path, false);
    QCOMPARE(modelSites(*m_model), sites);
    QCOMPARE(m_model->sitesCount(), sites.size());
    // A smaller table than was decoded encodes fewer slots; only the full size is compared.
    if (maxSitesCount != SiteRecords::Count)
        return;
    if (sites == start) {
        QCOMPARE(reset.size(), 0);
        QCOMPARE(itemBytes.size(), 0);
        QCOMPARE(m_item.bytes(), before);
    } else {
        // Encoded into the item, not written.
        QCOMPARE(m_item.bytes().toHex(), table(sites).toHex());
        QCOMPARE(m_item.writeCount(), quint64(0));
    }
}

void tst_TavSitesModel::removeGroup_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QList<int>>("left");

    QTest::newRow("empty path removes all") << QStringList{} << QList<int>{};
    QTest::newRow("['G']: with and without subgroup") << QStringList{"G"} << QList<int>{3, 4};
    QTest::newRow("['G', 'A']: only subgroup A") << QStringList{"G", "A"} << QList<int>{0, 2, 3, 4};
    QTest::newRow("['A'] is no group") << QStringList{"A"} << QList<int>{0, 1, 2, 3, 4};
}

void tst_TavSitesModel::removeGroup()
{
    QFETCH(QStringList, path);
    QFETCH(QList<int>, left);

    bind(table(Groups));
    m_model->removeGroup(path, false);
    QCOMPARE(modelSites(*m_model).keys(), left);
    QCOMPARE(m_model->sitesCount(), left.size());
    Sites expected;
    for (int slot : left)
        expected.insert(slot, Groups.value(slot));
    QCOMPARE(m_item.bytes().toHex(), table(expected).toHex());
}

void tst_TavSitesModel::renameGroup_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<Sites>("sites");

    Sites subGroup = Groups;
    subGroup[1] = QStringList{"G", "B", "s1"};
    Sites merged = Groups;
    for (int slot : {0, 1, 2})
        merged[slot][0] = QStringLiteral("H");
    Sites ungrouped = Groups;
    for (int slot : {0, 1, 2})
        ungrouped[slot] = QStringList{"", "", QStringLiteral("s%1").arg(slot)};

    QTest::newRow("to the same name") << QStringList{"G"} << "G" << Groups;
    QTest::newRow("a subgroup, merging with its sibling")
        << QStringList{"G", "A"} << "B" << subGroup;
    QTest::newRow("a group, merging with its sibling") << QStringList{"G"} << "H" << merged;
    QTest::newRow("empty path") << QStringList{} << "X" << Groups;
    QTest::newRow("no such group") << QStringList{"X"} << "Y" << Groups;
    // Decoding would make the same of it: no subgroup outside a group.
    QTest::newRow("to the empty name") << QStringList{"G"} << "" << ungrouped;
}

void tst_TavSitesModel::renameGroup()
{
    QFETCH(QStringList, path);
    QFETCH(QString, newName);
    QFETCH(Sites, sites);

    bind(table(Groups));
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    m_model->renameGroup(path, newName, false);
    QCOMPARE(modelSites(*m_model), sites);
    QCOMPARE(m_item.bytes().toHex(), table(sites).toHex());
    if (sites == Groups)
        QCOMPARE(reset.size(), 0);
}

void tst_TavSitesModel::uniqueSiteName_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unique");

    const QStringList two{"Site 1", "Site 2"};
    QTest::newRow("'Site 1' -> 'Site 3'") << two << "Site 1"
                                          << "Site 3";
    QTest::newRow("'Site 007' -> 'Site 7'") << two << "Site 007"
                                            << "Site 7";
    QTest::newRow("'Site 02' -> 'Site 3'") << two << "Site 02"
                                           << "Site 3";
    QTest::newRow("'Depot' unused") << two << "Depot"
                                    << "Depot";
    QTest::newRow("'Depot' used") << QStringList{"Depot"} << "Depot"
                                  << "Depot 2";
    QTest::newRow("'Site 25' past 20 slots, unchecked") << QStringList{"Site 25"} << "Site 25"
                                                        << "Site 25";
    QTest::newRow("'Site 19': the last candidate unchecked")
        << QStringList{"Site 19", "Site 20"} << "Site 19"
        << "Site 20";
    QTest::newRow("'A 1': space at index 1 stays in the base") << QStringList{"A 1"} << "A 1"
                                                               << "A 1 2";
    QTest::newRow("no number after the space") << QStringList{"Well x"} << "Well x"
                                               << "Well x 2";
    // 20 Cyrillic letters fill the 40-byte field: the number takes the last letter's place.
    const QString full = QString(20, QChar(0x0416));
    QTest::newRow("a full name: the base shortened, not the number")
        << QStringList{full} << full << QString(19, QChar(0x0416)) + " 2";
    QTest::newRow("a full name with its number")
        << QStringList{QString(19, QChar(0x0416)) + " 9"} << QString(19, QChar(0x0416)) + " 9"
        << QString(18, QChar(0x0416)) + " 10";
    QTest::newRow("number too large for the counter")
        << QStringList{"Site 2147483647"} << "Site 2147483647"
        << "Site 2147483647";
}

void tst_TavSitesModel::uniqueSiteName()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, name);
    QFETCH(QString, unique);

    Sites sites;
    for (int i = 0; i < stored.size(); ++i)
        sites.insert(i, {"G", "", stored.at(i)});
    bind(table(sites));
    QCOMPARE(m_model->getUniqueSiteName(name), unique);
}

void tst_TavSitesModel::queries()
{
    bind(table({{0, {"b", "y", "s0"}},
                {1, {"B", "x", "s1"}},
                {3, {"b", "", "s1"}},
                {6, {"", "", "T"}},
                {7, {"b", "x", "s7"}}}));

    QCOMPARE(m_model->getNewSiteIndex(), 2);
    QCOMPARE(m_model->getFirstSiteIndex(), 0);
    QCOMPARE(m_model->getSiteIndex(QStringLiteral("s1")), 1);
    QCOMPARE(m_model->getSiteIndex(QStringLiteral("S1")), -1);
    QCOMPARE(m_model->getSitePath(3), (QStringList{"b", "", "s1"}));
    QCOMPARE(m_model->getSitePath(2), (QStringList{"", "", ""}));
    QCOMPARE(m_model->getSitePath(-1), (QStringList{"", "", ""}));
    QCOMPARE(m_model->getSiteName(2), QString());
    QCOMPARE(m_model->getSitesIndexes(), (QVariantList{0, 1, 3, 6, 7}));
    QCOMPARE(m_model->getSitesIndexes(QStringList{"b"}), (QVariantList{0, 3, 7}));
    QCOMPARE(m_model->getSitesIndexes(QStringLiteral("b"), QString()), QVariantList{3});
    QCOMPARE(m_model->getSitesIndexes(QString(), QString()), QVariantList{6});
    QCOMPARE(m_model->getSitesCount({QStringLiteral("b"), QStringLiteral("x")}), 1);
    QCOMPARE(m_model->getGroups(), (QStringList{"B", "b"}));
    QCOMPARE(m_model->getSubGroups(), (QStringList{"x", "y"}));
    QCOMPARE(m_model->getSubGroups(QStringLiteral("b")), (QVariantList{"x", "y"}));
    QCOMPARE(m_model->getSites(), (QStringList{"T", "s0", "s1", "s7"}));

    // Full: no free slot.
    Sites full;
    for (int i = 0; i < SiteRecords::Count; ++i)
        full.insert(i, {"", "", QStringLiteral("s%1").arg(i)});
    bind(table(full));
    QCOMPARE(m_model->getNewSiteIndex(), -1);
}

void tst_TavSitesModel::ownBytesDoNotComeBack()
{
    bind(table({}));
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    const QString longName(50, QLatin1Char('n'));
    m_model->setSite(0, {QString(), QString(), longName}, false);
    QCOMPARE(m_item.bytes().toHex(), table({{0, {"", "", longName}}}).toHex());
    // Decoding the item's new bytes would have cut the name to 40 bytes and rebuilt the tree
    // a second time.
    QCOMPARE(m_model->getSiteName(0), longName);
    QCOMPARE(reset.size(), 1);
}

void tst_TavSitesModel::itemReplaced()
{
    bind(table({{1, {"G", "", "S"}}}));
    QSignalSpy itemChanged(m_model.get(), &TavSitesModel::itemChanged);
    ModbusFile other;
    other.setBytes(table({{2, {"H", "", "T"}}}), ModbusItemBase::ReadChange);
    m_model->setItem(&other);
    QCOMPARE(modelSites(*m_model), (Sites{{2, {"H", "", "T"}}}));
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(itemChanged.size(), 1);

    // The old item is no longer followed.
    m_item.setBytes(table({{5, {"X", "", "Y"}}}), ModbusItemBase::ReadChange);
    QCOMPARE(modelSites(*m_model), (Sites{{2, {"H", "", "T"}}}));
}

namespace {

// The table item as the device model declares it, on a client of the simulated instrument.
struct InstrumentTable
{
    InstrumentTable()
    {
        client.setTransport(instrument.link());
        siteMap.setFile(SiteRecords::File);
        siteMap.setLength(SiteRecords::TableSize);
        siteMap.setModbusBlockSize(SiteRecords::RecordSize);
        siteMap.setClient(&client);
        model.setItem(&siteMap);
    }

    // (function, first record, registers) of the log.
    QList<std::tuple<DorrikBus::FunctionCode, quint32, int>> log() const
    {
        QList<std::tuple<DorrikBus::FunctionCode, quint32, int>> entries;
        for (const InstrumentRequest &request : instrument.requests())
            entries.append({request.function, request.address, request.count});
        return entries;
    }

    SimulatedInstrument instrument;
    ModbusClient client;
    ModbusFile siteMap;
    TavSitesModel model;
};

QList<std::tuple<DorrikBus::FunctionCode, quint32, int>>
tableRequests(DorrikBus::FunctionCode function)
{
    QList<std::tuple<DorrikBus::FunctionCode, quint32, int>> entries;
    for (quint32 i = 0; i < 10; ++i)
        entries.append({function, i * 122, 122});
    return entries;
}

} // namespace

void tst_TavSitesModel::setSiteWritesTheTableAndReadsItBack()
{
    InstrumentTable fixture;
    QVERIFY(fixture.client.connected());
    const QStringList path{"Nord", "Pumps", QString::fromUtf8("Скважина 3")};
    fixture.model.setSite(3, path);
    QCOMPARE(fixture.model.sitesCount(), 1);
    QTRY_COMPARE(fixture.siteMap.readCount(), quint64(1));

    QCOMPARE(fixture.instrument.file(SiteRecords::File).toHex(), table({{3, path}}).toHex());
    QCOMPARE(fixture.log(),
             tableRequests(DorrikBus::WriteFile) + tableRequests(DorrikBus::ReadFile));
    QCOMPARE(fixture.model.getSitePath(3), path);
}

void tst_TavSitesModel::withoutWriteToDeviceNothingIsSent()
{
    InstrumentTable fixture;
    fixture.model.setSite(3, {QStringLiteral("G"), QString(), QStringLiteral("S")}, false);
    QCOMPARE(fixture.siteMap.bytes().toHex(), table({{3, {"G", "", "S"}}}).toHex());
    // A read queued now comes after anything the call queued.
    QVERIFY(fixture.siteMap.read());
    QTRY_COMPARE(fixture.siteMap.readCount(), quint64(1));
    QCOMPARE(fixture.log(), tableRequests(DorrikBus::ReadFile));
    QCOMPARE(fixture.instrument.file(SiteRecords::File), table({}));
    // What the instrument holds replaces the table.
    QCOMPARE(fixture.model.sitesCount(), 0);
}

void tst_TavSitesModel::tableChangedInTheInstrument()
{
    InstrumentTable fixture;
    const Sites sites{{0, {"G", "A", "S"}}, {12, {"", "", "T"}}};
    fixture.instrument.setFile(SiteRecords::File, table(sites));
    QVERIFY(fixture.siteMap.read());
    QTRY_COMPARE(fixture.model.sitesCount(), 2);
    QCOMPARE(modelSites(fixture.model), sites);
    QCOMPARE(fixture.model.rowCount(), 2);
}

void tst_TavSitesModel::removeAllIsEmptyAtOnce()
{
    InstrumentTable fixture;
    const Sites sites{{0, {"G", "A", "S"}}, {12, {"", "", "T"}}};
    fixture.instrument.setFile(SiteRecords::File, table(sites));
    QVERIFY(fixture.siteMap.read());
    QTRY_COMPARE(fixture.model.sitesCount(), 2);
    fixture.instrument.clearRequests();

    fixture.model.removeAll();
    QCOMPARE(fixture.model.sitesCount(), 0);
    QCOMPARE(fixture.model.rowCount(), 0);
    QTRY_COMPARE(fixture.siteMap.readCount(), quint64(2));
    QCOMPARE(fixture.instrument.file(SiteRecords::File), table({}));
    QCOMPARE(fixture.log(),
             tableRequests(DorrikBus::WriteFile) + tableRequests(DorrikBus::ReadFile));
}

QTEST_GUILESS_MAIN(tst_TavSitesModel)
#include "tst_tavsitesmodel.moc"
