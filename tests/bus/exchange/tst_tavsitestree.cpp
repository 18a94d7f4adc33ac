#include "modbusfile.h"
#include "siterecords.h"
#include "tavsitesmodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

using Sites = QMap<int, QStringList>;

namespace {

ModbusBytes table(const Sites &sites)
{
    ModbusBytes bytes = ModbusBytes::fromSize(SiteRecords::TableSize, 0);
    for (auto it = sites.cbegin(); it != sites.cend(); ++it)
        bytes.setBytes(encodeSiteRecord(it->at(0), it->at(1), it->at(2)),
                       it.key() * SiteRecords::RecordSize);
    return bytes;
}

QVariantMap site(const QString &caption, int level, int slot)
{
    return {{"caption", caption}, {"isGroup", false}, {"level", level}, {"siteIndex", slot}};
}

QVariantMap group(const QString &caption, int level, const QVariantList &children)
{
    return {{"caption", caption}, {"isGroup", true}, {"level", level}, {"children", children}};
}

// Reaches data() with an index the model would not hand out.
class ProbeModel : public TavSitesModel
{
public:
    using TavSitesModel::createIndex;
};

} // namespace

// The group tree: one level of it as an item model, entered and left like a folder, and the
// whole of it as values.
class tst_TavSitesTree : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void order_data();
    void order();
    void roles();
    void tree();
    void setGroupPathStopsAtAnEmptyName();
    void removingTheLastSiteOfTheCurrentGroup_data();
    void removingTheLastSiteOfTheCurrentGroup();
    void cdAndCdUp();
    void rowsOutsideTheLevel();
    void emptyTable();
    void treeWaitsForTheComponent();

private:
    void bind(const Sites &sites);
    QStringList rowNames() const;

    ModbusFile m_item;
    std::unique_ptr<ProbeModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void tst_TavSitesTree::cleanup()
{
    m_tester.reset();
    m_model.reset();
}

void tst_TavSitesTree::bind(const Sites &sites)
{
    m_item.setLength(SiteRecords::TableSize);
    m_item.setBytes(table(sites), ModbusItemBase::ReadChange);
    m_model = std::make_unique<ProbeModel>();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_model->setItem(&m_item);
}

QStringList tst_TavSitesTree::rowNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names << m_model->index(row, 0).data(Qt::DisplayRole).toString();
    return names;
}

void tst_TavSitesTree::order_data()
{
    QTest::addColumn<Sites>("sites");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("sites: browsing upper-cased, the tree case-sensitive")
        << Sites{{0, {"", "", "Banana"}}, {1, {"", "", "apple"}}, {2, {"", "", "Cherry"}}}
        << QStringList{"apple", "Banana", "Cherry"} << QList<int>{1, 1, 1}
        << QStringList{"Banana", "Cherry", "apple"};
    QTest::newRow("groups: the same")
        << Sites{{0, {"banana", "", "s"}}, {1, {"Apple", "", "s"}}, {2, {"cherry", "", "s"}}}
        << QStringList{"Apple", "banana", "cherry"} << QList<int>{0, 0, 0}
        << QStringList{"Apple", "banana", "cherry"};
    QTest::newRow("groups before sites")
        << Sites{{0, {"", "", "Alpha"}}, {1, {"Zulu", "", "s"}}} << QStringList{"Zulu", "Alpha"}
        << QList<int>{0, 1} << QStringList{"Zulu", "Alpha"};
    QTest::newRow("a group and a site of one name, group first")
        << Sites{{0, {"", "", "Depot"}}, {1, {"Depot", "", "s"}}} << QStringList{"Depot", "Depot"}
        << QList<int>{0, 1} << QStringList{"Depot", "Depot"};
}

void tst_TavSitesTree::order()
{
    QFETCH(Sites, sites);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, types);
    QFETCH(QStringList, captions);

    bind(sites);
    QCOMPARE(rowNames(), rows);
    QList<int> rowTypes;
    for (int row = 0; row < m_model->rowCount(); ++row)
        rowTypes << m_model->index(row, 0).data(TavSitesModel::TypeRole).toInt();
    QCOMPARE(rowTypes, types);

    QStringList treeCaptions;
    for (const QVariant &node : m_model->getTree())
        treeCaptions << node.toMap().value("caption").toString();
    QCOMPARE(treeCaptions, captions);
}

void tst_TavSitesTree::roles()
{
    bind({{4, {"", "", "Outside"}}, {7, {"G", "A", "S"}}, {9, {"G", "", "T"}}});
    QCOMPARE(m_model->roleNames(), (QHash<int, QByteArray>{{0, "name"},
                                                           {1, "type"},
                                                           {2, "size"},
                                                           {3, "path"},
                                                           {4, "visiblePath"},
                                                           {5, "site"},
                                                           {6, "level"}}));
    QCOMPARE(rowNames(), (QStringList{"G", "Outside"}));

    // Column 1 answers the same roles; a negative role stands for the column.
    const QModelIndex groupRow = m_model->index(0, 1);
    QCOMPARE(groupRow.data(TavSitesModel::NameRole).toString(), QStringLiteral("G"));
    QCOMPARE(groupRow.data(-1).toInt(), int(TavSitesModel::Group));
    QCOMPARE(groupRow.data(TavSitesModel::SizeRole).toInt(), 2);
    QCOMPARE(groupRow.data(TavSitesModel::PathRole).toStringList(), QStringList{"G"});
    QCOMPARE(groupRow.data(TavSitesModel::SiteRole).toInt(), -1);
    QCOMPARE(groupRow.data(TavSitesModel::LevelRole).toInt(), 1);
    QVERIFY(!groupRow.data(7).isValid());

    const QModelIndex siteRow = m_model->index(1, 0);
    QCOMPARE(siteRow.data(TavSitesModel::PathRole).toStringList(),
             (QStringList{"", "", "Outside"}));
    QCOMPARE(siteRow.data(TavSitesModel::VisiblePathRole).toStringList(), QStringList{"Outside"});
    QCOMPARE(siteRow.data(TavSitesModel::SiteRole).toInt(), 4);
    QCOMPARE(siteRow.data(TavSitesModel::SizeRole).toInt(), 0);

    m_model->cd(QStringLiteral("G"));
    m_model->cd(QStringLiteral("A"));
    const QModelIndex deep = m_model->index(0, 0);
    QCOMPARE(deep.data(TavSitesModel::PathRole).toStringList(), (QStringList{"G", "A", "S"}));
    QCOMPARE(deep.data(TavSitesModel::VisiblePathRole).toStringList(),
             (QStringList{"G", "A", "S"}));
    QCOMPARE(deep.data(TavSitesModel::LevelRole).toInt(), 3);
}

void tst_TavSitesTree::tree()
{
    bind({{0, {"G", "B", "b0"}},
          {1, {"G", "", "z1"}},
          {2, {"G", "A", "a2"}},
          {3, {"", "", "top3"}},
          {4, {"G", "", "a4"}},
          {5, {"G", "A", "a5"}},
          {6, {"", "", "Top6"}}});
    // Subgroups sorted, then the group's own sites in slot order; only the top level is sorted.
    const QVariantList expected{
        group("G", 0,
              {group("A", 1, {site("a2", 2, 2), site("a5", 2, 5)}),
               group("B", 1, {site("b0", 2, 0)}), site("z1", 1, 1), site("a4", 1, 4)}),
        site("Top6", 0, 6), site("top3", 0, 3)};
    QCOMPARE(m_model->getTree(), expected);
}

void tst_TavSitesTree::setGroupPathStopsAtAnEmptyName()
{
    bind({{0, {"G", "X", "s"}}, {1, {"G", "", "t"}}});
    QSignalSpy pathChanged(m_model.get(), &TavSitesModel::groupPathChanged);
    QSignalSpy nameChanged(m_model.get(), &TavSitesModel::groupNameChanged);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);

    m_model->setGroupPath({QStringLiteral("G"), QString(), QStringLiteral("X")});
    QCOMPARE(m_model->groupPath(), QStringList{"G"});
    QCOMPARE(pathChanged.size(), 1);
    QCOMPARE(pathChanged.at(0).at(0).toStringList(), (QStringList{"G", "", "X"}));
    QCOMPARE(m_model->groupName(), QStringLiteral("G"));
    QCOMPARE(nameChanged.size(), 1);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(rowNames(), (QStringList{"X", "t"}));
}

void tst_TavSitesTree::removingTheLastSiteOfTheCurrentGroup_data()
{
    QTest::addColumn<Sites>("sites");
    QTest::addColumn<QStringList>("pathAfter");
    QTest::addColumn<QStringList>("rowsAfter");

    QTest::newRow("G keeps a site")
        << Sites{{0, {"G", "A", "s"}}, {1, {"G", "", "t"}}} << QStringList{"G"} << QStringList{"t"};
    QTest::newRow("G left empty") << Sites{{0, {"G", "A", "s"}}, {1, {"", "", "t"}}}
                                  << QStringList{} << QStringList{"t"};
}

void tst_TavSitesTree::removingTheLastSiteOfTheCurrentGroup()
{
    QFETCH(Sites, sites);
    QFETCH(QStringList, pathAfter);
    QFETCH(QStringList, rowsAfter);

    bind(sites);
    m_model->setGroupPath({QStringLiteral("G"), QStringLiteral("A")});
    QCOMPARE(rowNames(), QStringList{"s"});
    m_model->removeSite(0, false);
    QCOMPARE(m_model->groupPath(), pathAfter);
    QCOMPARE(m_model->groupName(), pathAfter.isEmpty() ? QString() : pathAfter.last());
    QCOMPARE(rowNames(), rowsAfter);
}

void tst_TavSitesTree::cdAndCdUp()
{
    bind({{0, {"G", "A", "s"}}, {1, {"", "", "S"}}});
    QSignalSpy pathChanged(m_model.get(), &TavSitesModel::groupPathChanged);

    // A site is not entered; a path that names one shows the level above.
    m_model->cd(QStringLiteral("S"));
    QCOMPARE(pathChanged.size(), 0);
    m_model->setGroupPath({QStringLiteral("S")});
    QCOMPARE(rowNames(), (QStringList{"G", "S"}));
    m_model->setGroupPath({});

    m_model->cd(QStringLiteral("G"));
    m_model->cd(QStringLiteral("A"));
    QCOMPARE(m_model->groupPath(), (QStringList{"G", "A"}));
    QCOMPARE(m_model->groupName(), QStringLiteral("A"));
    QCOMPARE(rowNames(), QStringList{"s"});
    m_model->cdUp();
    m_model->cdUp();
    QCOMPARE(m_model->groupPath(), QStringList{});
    QCOMPARE(m_model->groupName(), QString());
    const int changes = int(pathChanged.size());
    m_model->cdUp();
    QCOMPARE(pathChanged.size(), changes);
}

void tst_TavSitesTree::rowsOutsideTheLevel()
{
    bind({{0, {"", "", "a"}}, {1, {"", "", "b"}}});
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(m_model->columnCount(), 2);
    const QModelIndex past = m_model->createIndex(2, 0);
    QVERIFY(!m_model->data(past, TavSitesModel::NameRole).isValid());
    QVERIFY(!m_model->data(m_model->createIndex(-1, 0), TavSitesModel::NameRole).isValid());
    QCOMPARE(m_model->rowCount(m_model->index(0, 0)), 0);
    QCOMPARE(m_model->columnCount(m_model->index(0, 0)), 0);
}

void tst_TavSitesTree::emptyTable()
{
    bind({});
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_model->getTree(), QVariantList{});
}

void tst_TavSitesTree::treeWaitsForTheComponent()
{
    m_item.setBytes(table({{0, {"", "", "a"}}}), ModbusItemBase::ReadChange);
    TavSitesModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.classBegin();
    model.setItem(&m_item);
    model.setGroupPath({QStringLiteral("G")});
    QCOMPARE(model.sitesCount(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(reset.size(), 0);
    model.componentComplete();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.groupPath(), QStringList{});
}

QTEST_GUILESS_MAIN(tst_TavSitesTree)
#include "tst_tavsitestree.moc"
