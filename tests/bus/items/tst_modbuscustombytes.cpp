#include "modbusclient.h"
#include "modbuscustombytes.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

#include <QtTest>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(text);
}

} // namespace

// The raw-bytes item: its hexadecimal text both ways and its size.
class tst_ModbusCustomBytes : public QObject
{
    Q_OBJECT

private slots:
    void textToBytes_data();
    void textToBytes();
    void readShowsLowerCase();
    void itemSize_data();
    void itemSize();
    void itemSizeChangeRereads();
};

void tst_ModbusCustomBytes::textToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModbusBytes>("bytes");

    QTest::newRow("upper case, kept as typed") << "01AB" << hex("01ab");
    QTest::newRow("not hex digits skipped") << "01 zz:ab" << hex("01ab");
    QTest::newRow("empty") << "" << ModbusBytes();
}

void tst_ModbusCustomBytes::textToBytes()
{
    QFETCH(QString, text);
    QFETCH(ModbusBytes, bytes);

    ModbusCustomBytes item;
    item.setItemSize(2);
    item.setBytes(hex("ffff"), ModbusItemBase::ExternalChange);
    QSignalSpy valueChanged(&item, &ModbusCustomBytes::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setFormatValue(text);
    QCOMPARE(item.bytes(), bytes);
    QCOMPARE(item.value(), text);
    QCOMPARE(item.formatValue(), text);
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(valueChanged.at(0).at(0).toString(), text);
    QCOMPARE(formatValueChanged.size(), 1);

    item.setValue(text);
    QCOMPARE(valueChanged.size(), 1);
}

void tst_ModbusCustomBytes::readShowsLowerCase()
{
    ModbusCustomBytes item;
    item.setItemSize(2);
    QSignalSpy valueChanged(&item, &ModbusCustomBytes::valueChanged);
    item.setTopBytesArray(ModbusBytesArray(hex("01AB"), 0, -1), ModbusItemBase::ReadChange);
    QCOMPARE(item.value(), QStringLiteral("01ab"));
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(item.getTypedValue(hex("C0FFEE")).toString(), QStringLiteral("c0ffee"));

    // The text as typed stays until the bytes change.
    item.setValue(QStringLiteral("01AB"));
    QCOMPARE(valueChanged.size(), 2);
    QCOMPARE(item.bytes(), hex("01ab"));
}

void tst_ModbusCustomBytes::itemSize_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("itemSize");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("modbusSize");

    QTest::newRow("104 input registers") << 300701u << 208 << 208 << 208;
    QTest::newRow("3 bytes take 2 registers") << 300701u << 3 << 3 << 4;
    QTest::newRow("3 coils") << 1u << 3 << 3 << 3;
    QTest::newRow("0 bytes") << 400001u << 0 << 0 << 0;
    QTest::newRow("negative is ignored") << 400001u << -2 << 1 << 2;
}

void tst_ModbusCustomBytes::itemSize()
{
    QFETCH(quint32, address);
    QFETCH(int, itemSize);
    QFETCH(int, size);
    QFETCH(int, modbusSize);

    ModbusCustomBytes item;
    item.setAddress(address);
    QSignalSpy itemSizeChanged(&item, &ModbusCustomBytes::itemSizeChanged);
    item.setItemSize(itemSize);
    QCOMPARE(item.itemSize(), size);
    QCOMPARE(item.requestModbusBytesCount(), modbusSize);
    QCOMPARE(itemSizeChanged.size(), size == 1 ? 0 : 1);
}

void tst_ModbusCustomBytes::itemSizeChangeRereads()
{
    SimulatedInstrument instrument;
    instrument.setRegisters(300701, hex("0102030405060708"));
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());

    ModbusCustomBytes item;
    item.setAddress(300701);
    item.setItemSize(4);
    item.setClient(&client);
    QTRY_VERIFY(item.connected());
    item.setLiveRead(true);

    QSignalSpy itemSizeChanged(&item, &ModbusCustomBytes::itemSizeChanged);
    item.setItemSize(4);
    QTest::qWait(50);
    QCOMPARE(instrument.requestCount(), 0);
    QCOMPARE(itemSizeChanged.size(), 0);

    item.setItemSize(8);
    QTRY_COMPARE(item.value(), QStringLiteral("0102030405060708"));
    QCOMPARE(instrument.requestCount(), 1);
    QCOMPARE(instrument.requests().at(0).count, 4);
}

QTEST_GUILESS_MAIN(tst_ModbusCustomBytes)
#include "tst_modbuscustombytes.moc"
