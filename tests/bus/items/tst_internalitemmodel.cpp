#include "dorrikbus.h"
#include "internalitemmodel.h"
#include "testitem.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int LabelRole = ModbusItemBase::LabelRole;
// A user role of the kind items with fields of their own add.
constexpr int UnitRole = Qt::UserRole + 1;

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

ModbusBytesArray elements(std::initializer_list<const char *> texts)
{
    ModbusBytesArray array;
    for (const char *text : texts)
        array.append(hex(text));
    return array;
}

// Answers each role with a text that names the role and the element, so that a test sees which
// role the model asked for.
class RoleEchoItem : public TestItem
{
public:
    using TestItem::TestItem;

    QVariant data(const ModbusBytes &bytes, int role) const override
    {
        const QString element = QString::fromLatin1(bytes.toHex());
        switch (role) {
        case Qt::DisplayRole:
            return QStringLiteral("value ") + element;
        case Qt::EditRole:
            return QStringLiteral("edit ") + element;
        case LabelRole:
            return QStringLiteral("label ") + element;
        case UnitRole:
            return QStringLiteral("unit ") + element;
        }
        return QVariant();
    }
};

// Reaches indexes that the model's own index() refuses.
class IndexMaker : public InternalItemModel
{
public:
    using InternalItemModel::InternalItemModel;
    QModelIndex unchecked(int row, int column) const { return createIndex(row, column); }
};

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2024, 1, 15), QTime(hour, minute), Qt::LocalTime);
}

} // namespace

class tst_InternalItemModel : public QObject
{
    Q_OBJECT

private slots:
    void defaultRolesAndHeaders();
    void headerRequests_data();
    void headerRequests();
    void standardRolesFollowTheColumn_data();
    void standardRolesFollowTheColumn();
    void standardRoleBeyondTheColumnRoles();
    void sharedRoleIds();
    void emptyRoles();
    void flatModel();
    void roleItemsLookups_data();
    void roleItemsLookups();
    void trendRowsAnswerTheirTime();
    void testerThroughArrayChanges();
    void testerThroughTrendChanges();
};

void tst_InternalItemModel::defaultRolesAndHeaders()
{
    TestItem item(400001, 2);
    InternalItemModel *model = item.model();
    QVERIFY(model);
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Label"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    const QHash<int, QByteArray> names{{LabelRole, "label"}, {Qt::DisplayRole, "value"}};
    QCOMPARE(model->roleNames(), names);
    QCOMPARE(model->getRoleByColumn(0), LabelRole);
    QCOMPARE(model->getRoleByColumn(1), int(Qt::DisplayRole));
    QCOMPARE(model->getColumnByRole(LabelRole), 0);
    QCOMPARE(model->getColumnByRole(Qt::DisplayRole), 1);
    QCOMPARE(model->getColumnByRole(UnitRole), -1);
}

void tst_InternalItemModel::headerRequests_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("horizontal display 1")
        << 1 << int(Qt::Horizontal) << int(Qt::DisplayRole) << QVariant(QStringLiteral("Value"));
    QTest::newRow("vertical display 0")
        << 0 << int(Qt::Vertical) << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("horizontal edit 0")
        << 0 << int(Qt::Horizontal) << int(Qt::EditRole) << QVariant();
    QTest::newRow("horizontal tooltip 1")
        << 1 << int(Qt::Horizontal) << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("section without header")
        << 2 << int(Qt::Horizontal) << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("negative section")
        << -1 << int(Qt::Horizontal) << int(Qt::DisplayRole) << QVariant();
}

void tst_InternalItemModel::headerRequests()
{
    QFETCH(int, section);
    QFETCH(int, orientation);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    TestItem item;
    const QVariant header = item.model()->headerData(section, Qt::Orientation(orientation), role);
    QCOMPARE(header.isValid(), expected.isValid());
    QCOMPARE(header, expected);
}

void tst_InternalItemModel::standardRolesFollowTheColumn_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("display at column 0 is the label")
        << 0 << 0 << int(Qt::DisplayRole) << QVariant(QStringLiteral("label 0001"));
    QTest::newRow("display at column 1 is the value")
        << 1 << 1 << int(Qt::DisplayRole) << QVariant(QStringLiteral("value 00ff"));
    QTest::newRow("edit at column 1 is the value, not edit")
        << 0 << 1 << int(Qt::EditRole) << QVariant(QStringLiteral("value 0001"));
    QTest::newRow("label role at column 1 ignores the column")
        << 1 << 1 << LabelRole << QVariant(QStringLiteral("label 00ff"));
    QTest::newRow("user role at column 0 ignores the column")
        << 0 << 0 << UnitRole << QVariant(QStringLiteral("unit 0001"));
    QTest::newRow("role the item does not answer") << 0 << 1 << UnitRole + 1 << QVariant();
    // Views read these as sizes, alignments and check states, never as the column's value.
    QTest::newRow("size hint at column 0") << 0 << 0 << int(Qt::SizeHintRole) << QVariant();
    QTest::newRow("check state at column 1") << 0 << 1 << int(Qt::CheckStateRole) << QVariant();
}

void tst_InternalItemModel::standardRolesFollowTheColumn()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    RoleEchoItem item(400001, 2);
    item.setTopBytesArray(elements({"0001", "00ff"}), ModbusItemBase::ExternalChange);
    const InternalItemModel *model = item.model();
    QCOMPARE(model->data(model->index(row, column), role), expected);
}

void tst_InternalItemModel::standardRoleBeyondTheColumnRoles()
{
    RoleEchoItem item;
    IndexMaker model(item);
    model.setRoles(RoleItems{RoleItem(LabelRole, "label", QStringLiteral("Label"))});
    QCOMPARE(model.data(model.unchecked(0, 0), Qt::DisplayRole),
             QVariant(QStringLiteral("label 0000")));
    QCOMPARE(model.data(model.unchecked(0, 1), Qt::DisplayRole),
             QVariant(QStringLiteral("value 0000")));
    QCOMPARE(model.data(QModelIndex(), Qt::DisplayRole), QVariant());
}

void tst_InternalItemModel::sharedRoleIds()
{
    RoleEchoItem item;
    InternalItemModel model(item);
    model.setRoles(RoleItems{RoleItem(Qt::DisplayRole, "value", QStringLiteral("Value")),
                             RoleItem(UnitRole, "unit", QStringLiteral("Unit")),
                             RoleItem(Qt::DisplayRole, "shown", QStringLiteral("Shown"))});
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.getColumnByRole(Qt::DisplayRole), 0);
    QCOMPARE(model.getRoleByColumn(2), int(Qt::DisplayRole));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Shown"));
    QCOMPARE(model.roleNames().value(Qt::DisplayRole), QByteArray("shown"));
    QCOMPARE(model.roleNames().size(), 2);
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole), QVariant(QStringLiteral("unit 0000")));
}

void tst_InternalItemModel::emptyRoles()
{
    TestItem item;
    InternalItemModel model(item);
    model.setRoles(RoleItems{RoleItem(UnitRole, "unit", QStringLiteral("Unit"))});
    model.setRoles(RoleItems());
    QCOMPARE(model.columnCount(), 0);
    QVERIFY(model.roleNames().isEmpty());
    QCOMPARE(model.headerData(0, Qt::Horizontal), QVariant());
    QCOMPARE(model.getColumnByRole(UnitRole), -1);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(!model.index(0, 0).isValid());
}

void tst_InternalItemModel::flatModel()
{
    TestItem item(400001, 3);
    const InternalItemModel *model = item.model();
    const QModelIndex parent = model->index(1, 1);
    QVERIFY(parent.isValid());
    QCOMPARE(model->rowCount(parent), 0);
    QCOMPARE(model->columnCount(parent), 0);
    QCOMPARE(model->rowCount(), 3);
}

void tst_InternalItemModel::roleItemsLookups_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("value") << QStringLiteral("value") << 1;
    QTest::newRow("label") << QStringLiteral("label") << 0;
    QTest::newRow("a title, not a name") << QStringLiteral("Value") << -1;
    QTest::newRow("empty") << QString() << -1;
}

void tst_InternalItemModel::roleItemsLookups()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    TestItem item;
    const RoleItems &roles = item.roles();
    QCOMPARE(roles.indexOf(name), index);
    QVERIFY(roles.contains(LabelRole));
    QVERIFY(roles.contains(Qt::DisplayRole));
    QVERIFY(!roles.contains(UnitRole));
    QCOMPARE(RoleItems().indexOf(name), -1);
}

void tst_InternalItemModel::trendRowsAnswerTheirTime()
{
    TestItem item(400001, 2);
    item.setModelType(ModbusItemBase::TrendModel);
    item.setMaxTrendSize(5);
    item.insertBytesToTrend(at(10, 0), elements({"0001", "0002"}));
    item.insertBytesToTrend(at(10, 1), elements({"0003", "0004"}));
    item.setArrayIndex(1);
    const InternalItemModel *model = item.model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->data(model->index(1, 0), Qt::DisplayRole), QVariant(at(10, 1)));
    QCOMPARE(model->data(model->index(1, 1), Qt::DisplayRole), QVariant(quint16(4)));
    QCOMPARE(model->data(model->index(0, 1), LabelRole), QVariant(at(10, 0)));
}

// Array rows come and go with the element list; the model tester checks every signal.
void tst_InternalItemModel::testerThroughArrayChanges()
{
    TestItem item(400001, 2);
    QAbstractItemModelTester tester(item.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(item.model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(item.model(), &QAbstractItemModel::dataChanged);

    item.setTopBytesArray(elements({"0001", "0002", "0003"}), ModbusItemBase::ReadChange);
    QCOMPARE(item.model()->rowCount(), 3);
    QCOMPARE(resets.size(), 1);

    item.setArrayIndex(2);
    item.setBytes(hex("00aa"), ModbusItemBase::ExternalChange);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.first().at(0).toModelIndex(), item.model()->index(2, 0));
    QCOMPARE(changes.first().at(1).toModelIndex(), item.model()->index(2, 1));
    QCOMPARE(item.model()->data(item.model()->index(2, 1), Qt::DisplayRole),
             QVariant(quint16(0xaa)));

    item.clearArray();
    QCOMPARE(item.model()->rowCount(), 0);
    item.setTopBytesArray(elements({"0005"}), ModbusItemBase::ReadChange);
    QCOMPARE(item.model()->rowCount(), 1);

    // In trend mode array changes are not the model's business.
    item.setModelType(ModbusItemBase::TrendModel);
    resets.clear();
    item.setTopBytesArray(elements({"0006", "0007"}), ModbusItemBase::ReadChange);
    QCOMPARE(resets.size(), 0);
    QCOMPARE(item.model()->rowCount(), 0);
    item.setModelType(ModbusItemBase::ArrayModel);
    QCOMPARE(item.model()->rowCount(), 2);
}

// A bounded trend: samples inserted, dropped at either end, replaced, cut and cleared.
void tst_InternalItemModel::testerThroughTrendChanges()
{
    TestItem item;
    item.setModelType(ModbusItemBase::TrendModel);
    InternalItemModel *model = item.model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    const auto labels = [model] {
        QList<QTime> times;
        for (int row = 0; row < model->rowCount(); ++row)
            times.append(model->data(model->index(row, 0), Qt::DisplayRole).toDateTime().time());
        return times;
    };

    item.setMaxTrendSize(3);
    item.insertBytesToTrend(at(10, 1), elements({"0001"}));
    item.insertBytesToTrend(at(10, 0), elements({"0000"}));
    item.insertBytesToTrend(at(10, 2), elements({"0002"}));
    QCOMPARE(labels(), (QList<QTime>{QTime(10, 0), QTime(10, 1), QTime(10, 2)}));
    QCOMPARE(inserted.size(), 3);
    QCOMPARE(inserted.at(1).at(1).toInt(), 0);
    QCOMPARE(inserted.at(2).at(1).toInt(), 2);

    item.setTrendIndex(1);
    item.insertBytesToTrend(at(10, 3), elements({"0003"}));
    QCOMPARE(labels(), (QList<QTime>{QTime(10, 1), QTime(10, 2), QTime(10, 3)}));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.last().at(1).toInt(), 0);

    item.insertBytesToTrend(at(9, 59), elements({"00ff"}));
    QCOMPARE(labels(), (QList<QTime>{QTime(9, 59), QTime(10, 1), QTime(10, 2)}));
    QCOMPARE(removed.last().at(1).toInt(), 2);

    changed.clear();
    item.insertBytesToTrend(at(10, 1), elements({"0011"}));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    QCOMPARE(model->data(model->index(1, 1), Qt::DisplayRole), QVariant(quint16(0x11)));

    item.setMaxTrendSize(1);
    QCOMPARE(labels(), (QList<QTime>{QTime(10, 2)}));
    QCOMPARE(removed.last().at(1).toInt(), 0);
    QCOMPARE(removed.last().at(2).toInt(), 1);

    item.clearTrend();
    QCOMPARE(model->rowCount(), 0);
    item.insertBytesToTrend(at(11, 0), elements({"0004"}));
    QCOMPARE(labels(), (QList<QTime>{QTime(11, 0)}));
}

QTEST_GUILESS_MAIN(tst_InternalItemModel)
#include "tst_internalitemmodel.moc"
