#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbusreport.h"
#include "modbustaskaddressed.h"
#include "modbustaskreport.h"
#include "simulatedinstrument.h"
#include "testitem.h"

#include <QtTest>

#include <memory>

namespace {

ModbusBytes latin1(const char *text, int size)
{
    return ModbusBytes(QByteArray(text, size));
}

// The report item's signals in the order they came.
class SignalLog : public QObject
{
public:
    explicit SignalLog(ModbusReport &item)
    {
        connect(&item, &ModbusReport::valueChanged, this, [this] { log << "value"; });
        connect(&item, &ModbusItemBase::formatValueChanged, this, [this] { log << "formatValue"; });
        connect(&item, &ModbusReport::deviceNameChanged, this, [this] { log << "deviceName"; });
        connect(&item, &ModbusReport::deviceVersionListChanged, this,
                [this] { log << "deviceVersionList"; });
        connect(&item, &ModbusReport::deviceVersionChanged, this,
                [this] { log << "deviceVersion"; });
    }

    QStringList log;
};

} // namespace

// The device report: the name text of the answer, its name and version, the order of their
// signals, and the report task over the simulated instrument.
class tst_ModbusReport : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void signalOrder();
    void settingTheValueGrowsTheBytes();
    void readOverTheInstrument();
    void tasks();
};

void tst_ModbusReport::parsing_data()
{
    QTest::addColumn<ModbusBytes>("answer");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("name and version, more data after")
        << latin1("ABC 1.02.3\0\x01\x02", 13) << "ABC 1.02.3"
        << "ABC"
        << "1.02.3" << QStringList{"1", "02", "3"};
    QTest::newRow("a single word")
        << latin1("ABC\0", 4) << "ABC" << QString() << QString() << QStringList();
    QTest::newRow("blanks, empty part, words after")
        << latin1("  ABC   rev7..2 extra\0", 22) << "  ABC   rev7..2 extra"
        << "ABC"
        << "rev7..2" << QStringList{"rev7", "", "2"};
    QTest::newRow("Latin-1 letters are word characters")
        << latin1("T\xc4V 2.1\0", 8) << QStringLiteral("T\u00c4V 2.1") << QStringLiteral("T\u00c4V")
        << "2.1" << QStringList{"2", "1"};
    // The first word followed by white space: a hyphen ends a word.
    QTest::newRow("hyphenated name") << latin1("TVN-5 2.14\0", 11) << "TVN-5 2.14"
                                     << "5"
                                     << "2.14" << QStringList{"2", "14"};
    QTest::newRow("first byte zero")
        << latin1("\0ABC 1.0\0", 9) << QString() << QString() << QString() << QStringList();
    QTest::newRow("no zero byte") << latin1("ABC 1.0", 7) << QString() << QString() << QString()
                                  << QStringList();
}

void tst_ModbusReport::parsing()
{
    QFETCH(ModbusBytes, answer);
    QFETCH(QString, value);
    QFETCH(QString, name);
    QFETCH(QString, version);
    QFETCH(QStringList, parts);

    ModbusReport item;
    // A report that was there before, so that an answer without a name clears it.
    item.setTopBytesArray(ModbusBytesArray(latin1("OLD 9.9\0", 8), 0, -1),
                          ModbusItemBase::ReadChange);
    item.setTopBytesArray(ModbusBytesArray(answer, 0, -1), ModbusItemBase::ReadChange);
    QCOMPARE(item.value(), value);
    QCOMPARE(item.formatValue(), value);
    QCOMPARE(item.deviceName(), name);
    QCOMPARE(item.deviceVersion(), version);
    QVariantList list;
    for (const QString &part : parts)
        list.append(part);
    QCOMPARE(item.deviceVersionList(), list);
    QCOMPARE(item.getTypedValue(answer).toString(), value);
    // The answer stays as it came.
    QCOMPARE(item.bytes(), answer);
}

void tst_ModbusReport::signalOrder()
{
    ModbusReport item;
    SignalLog signalLog(item);
    const ModbusBytesArray answer(latin1("ABC 1.02.3\0", 11), 0, -1);
    item.setTopBytesArray(answer, ModbusItemBase::ReadChange);
    QCOMPARE(signalLog.log, (QStringList{"value", "formatValue", "deviceName", "deviceVersionList",
                                         "deviceVersion"}));

    // Another answer, same name: nothing.
    signalLog.log.clear();
    item.setTopBytesArray(ModbusBytesArray(latin1("ABC 1.02.3\0\x07", 12), 0, -1),
                          ModbusItemBase::ReadChange);
    QCOMPARE(signalLog.log, QStringList());

    // Same version, other name.
    item.setValue(QStringLiteral("XYZ 1.02.3"));
    QCOMPARE(signalLog.log, (QStringList{"value", "formatValue", "deviceName"}));
}

void tst_ModbusReport::settingTheValueGrowsTheBytes()
{
    ModbusReport item;
    item.setTopBytesArray(ModbusBytesArray(latin1("AB\0\x01\x02\x03\x04", 7), 0, -1),
                          ModbusItemBase::ReadChange);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    // Shorter: written over the start, the rest kept.
    item.setFormatValue(QStringLiteral("XY 1"));
    QCOMPARE(item.bytes(), latin1("XY 1\0\x03\x04", 7));
    // Longer: grown to the text and its zero byte.
    item.setValue(QStringLiteral("LONGNAME 2.0"));
    QCOMPARE(item.bytes(), latin1("LONGNAME 2.0\0", 13));
    QCOMPARE(item.deviceName(), QStringLiteral("LONGNAME"));
    QCOMPARE(item.deviceVersion(), QStringLiteral("2.0"));
    QCOMPARE(bytesChanged.size(), 2);
    QCOMPARE(bytesChanged.at(0).at(0).value<ModbusItemBase::BytesChangeType>(),
             ModbusItemBase::ValueChange);
}

void tst_ModbusReport::readOverTheInstrument()
{
    SimulatedInstrument instrument;
    instrument.setReportText(QStringLiteral("TV7 2.14.1"));
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());

    ModbusReport item;
    QVERIFY(item.readOnly());
    item.setClient(&client);
    SignalLog signalLog(item);
    QVERIFY(item.read());
    QTRY_COMPARE(item.readCount(), quint64(1));
    QCOMPARE(item.value(), QStringLiteral("TV7 2.14.1"));
    QCOMPARE(item.deviceName(), QStringLiteral("TV7"));
    QCOMPARE(item.deviceVersion(), QStringLiteral("2.14.1"));
    QCOMPARE(item.deviceVersionList(), (QVariantList{"2", "14", "1"}));
    QCOMPARE(instrument.requests().at(0).function, DorrikBus::ReportSlaveId);

    // The same answer again: read, but nothing changed.
    signalLog.log.clear();
    QVERIFY(item.read());
    QTRY_COMPARE(item.readCount(), quint64(2));
    QCOMPARE(signalLog.log, QStringList());

    // Never written.
    QSignalSpy error(&item, &ErrObject::error);
    QVERIFY(!item.write());
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("can't write: object is readonly"));
}

void tst_ModbusReport::tasks()
{
    ModbusReport item;
    std::unique_ptr<ModbusTask> read(item.createModbusTask(DorrikBus::ReadTask, 500));
    QVERIFY(dynamic_cast<ModbusTaskReport *>(read.get()));
    QCOMPARE(read->interval(), 500);
    QCOMPARE(item.createModbusTask(DorrikBus::WriteTask, 0), nullptr);

    QVERIFY(item.checkValidResultTask(read.get()));
    QVERIFY(!item.checkValidResultTask(nullptr));
    TestItem other;
    ModbusTaskAddressed foreign(other, 400001, 0);
    QVERIFY(!item.checkValidResultTask(&foreign));
}

QTEST_GUILESS_MAIN(tst_ModbusReport)
#include "tst_modbusreport.moc"
