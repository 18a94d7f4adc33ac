#include "modbusexporterimporter.h"
#include "modbusuint16.h"
#include "modbusuint32.h"
#include "modbusuint8.h"

#include <QtTest>

namespace {

// The base's group helpers, which only subclasses reach.
class Probe : public ModbusExporterImporter
{
public:
    using ModbusExporterImporter::beginGroupInternal;
    using ModbusExporterImporter::endGroupInternal;
};

} // namespace

// What every export and import shares: which items take part and the group path.
class tst_ModbusExporterImporter : public QObject
{
    Q_OBJECT

private slots:
    void filterItems_data();
    void filterItems();
    void filterVariantItems();
    void groupHelpers();
};

void tst_ModbusExporterImporter::filterItems_data()
{
    QTest::addColumn<bool>("skipReadOnly");
    QTest::addColumn<QStringList>("chosen");

    QTest::newRow("read-only skipped") << true << QStringList{"block", "lone"};
    QTest::newRow("read-only taken") << false << QStringList{"block", "input", "lone"};
}

// Derived items stand for the root of their source chain, each root once, in the order of first
// appearance.
void tst_ModbusExporterImporter::filterItems()
{
    QFETCH(bool, skipReadOnly);
    QFETCH(QStringList, chosen);

    ModbusUInt32 block(400001);
    block.setObjectName("block");
    ModbusUInt16 high(400001);
    high.setSource(&block);
    ModbusUInt8 highByte(400001);
    highByte.setSource(&high);
    ModbusUInt16 low(400002);
    low.setSource(&block);
    ModbusUInt16 input(300001);
    input.setObjectName("input");
    QVERIFY(input.readOnly());
    ModbusUInt8 inputByte(300001);
    inputByte.setSource(&input);
    ModbusUInt16 lone(400010);
    lone.setObjectName("lone");

    Probe probe;
    probe.setSkipReadOnlyItems(skipReadOnly);
    const QList<ModbusItemBase *> result =
        probe.filterItems({&highByte, &inputByte, &low, nullptr, &input, &lone, &block, &high});
    QStringList names;
    for (ModbusItemBase *item : result)
        names.append(item->objectName());
    QCOMPARE(names, chosen);
}

void tst_ModbusExporterImporter::filterVariantItems()
{
    ModbusUInt16 first(400001);
    ModbusUInt16 second(400002);
    QObject other;
    Probe probe;
    const QVariantList mixed{1,
                             QStringLiteral("text"),
                             QVariant::fromValue<QObject *>(&second),
                             QVariant(),
                             QVariant::fromValue<QObject *>(&other),
                             QVariant::fromValue<QObject *>(&first),
                             QVariant::fromValue<QObject *>(&second),
                             2.5};
    const QVariantList result = probe.filterVariantItems(mixed);
    QCOMPARE(result.size(), 2);
    QCOMPARE(result.at(0).value<QObject *>(), &second);
    QCOMPARE(result.at(1).value<QObject *>(), &first);
}

void tst_ModbusExporterImporter::groupHelpers()
{
    Probe probe;
    QSignalSpy pathChanged(&probe, &ModbusExporterImporter::groupPathChanged);
    QSignalSpy entered(&probe, &ModbusExporterImporter::groupEntered);
    QSignalSpy left(&probe, &ModbusExporterImporter::groupLeft);

    probe.beginGroupInternal(QString());
    probe.endGroupInternal();
    QCOMPARE(pathChanged.size() + entered.size() + left.size(), 0);

    probe.beginGroupInternal("site0");
    probe.beginGroupInternal("inner");
    QCOMPARE(probe.groupPath(), QStringList({"site0", "inner"}));
    QCOMPARE(entered.size(), 2);
    QCOMPARE(entered.at(1).at(0).toString(), QStringLiteral("inner"));
    probe.endGroupInternal();
    QCOMPARE(probe.groupPath(), QStringList{"site0"});
    QCOMPARE(left.size(), 1);

    probe.clear();
    QCOMPARE(probe.groupPath(), QStringList());
    QCOMPARE(pathChanged.size(), 4);
}

QTEST_MAIN(tst_ModbusExporterImporter)
#include "tst_modbusexporterimporter.moc"
