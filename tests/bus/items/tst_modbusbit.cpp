#include "modbusbit.h"
#include "modbusclient.h"
#include "modbuscustombytes.h"
#include "modbusloopbackclient.h"
#include "modbustask.h"
#include "simulatedinstrument.h"

#include <QtTest>

#include <memory>
#include <vector>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(text);
}

// A status word of two bytes that bit items pick flags from.
struct StatusWord
{
    explicit StatusWord(const ModbusBytes &bytes)
    {
        word.setItemSize(2);
        word.setBytes(bytes, ModbusItemBase::ExternalChange);
    }

    ModbusBit &bit(int byteIndex, int bitIndex, bool reverse = false)
    {
        bits.push_back(std::make_unique<ModbusBit>());
        ModbusBit &item = *bits.back();
        item.setSourceByteIndex(byteIndex);
        item.setSourceBitIndex(bitIndex);
        item.setReverseSourceWords(reverse);
        item.setSource(&word);
        return item;
    }

    ModbusCustomBytes word;
    // Gone before the word they look at.
    std::vector<std::unique_ptr<ModbusBit>> bits;
};

} // namespace

// The bit item as a view on one bit of its source's bytes, both ways, and standing alone on a
// register.
class tst_ModbusBit : public QObject
{
    Q_OBJECT

private slots:
    void readsTheSourceBit_data();
    void readsTheSourceBit();
    void writesTheSourceBit_data();
    void writesTheSourceBit();
    void bitsOnOneSourceSeeEachOther();
    void readOnlyBitLeavesTheSourceAlone();
    void sourceBitIndexChangeRereads();
    void stateTexts_data();
    void stateTexts();
    void standaloneRegisterRead();
    void writeValueSendsARegister();
};

void tst_ModbusBit::readsTheSourceBit_data()
{
    QTest::addColumn<ModbusBytes>("source");
    QTest::addColumn<int>("byteIndex");
    QTest::addColumn<int>("bitIndex");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("value");

    // The register 0x8001: bit 15 and bit 0.
    const ModbusBytes word = hex("8001");
    QTest::newRow("low byte, bit 0") << word << 1 << 0 << false << true;
    QTest::newRow("high byte, bit 7") << word << 0 << 7 << false << true;
    QTest::newRow("high byte, bit 0") << word << 0 << 0 << false << false;
    QTest::newRow("reversed: high byte means low") << word << 0 << 0 << true << true;
    QTest::newRow("reversed: low byte means high") << word << 1 << 7 << true << true;
    QTest::newRow("reversed: low byte, bit 0") << word << 1 << 0 << true << false;
    QTest::newRow("bit 9 runs on into byte 1") << hex("0002") << 0 << 9 << false << true;
    QTest::newRow("bit 9, byte 1 clear") << hex("fffd") << 0 << 9 << false << false;
    QTest::newRow("byte beyond the end") << hex("ffff") << 2 << 0 << false << false;
    QTest::newRow("bit beyond the end") << hex("ffff") << 0 << 16 << false << false;
}

void tst_ModbusBit::readsTheSourceBit()
{
    QFETCH(ModbusBytes, source);
    QFETCH(int, byteIndex);
    QFETCH(int, bitIndex);
    QFETCH(bool, reverse);
    QFETCH(bool, value);

    StatusWord status(source);
    ModbusBit &bit = status.bit(byteIndex, bitIndex, reverse);
    QCOMPARE(bit.value(), value);
    QCOMPARE(bit.bytes(), ModbusBytes::fromBit(value, false));

    // And it follows the source: every bit flipped.
    ModbusBytes inverted = source;
    for (char &c : inverted)
        c = char(~c);
    status.word.setBytes(inverted, ModbusItemBase::ExternalChange);
    const int bitNumber = bitIndex + 8 * (reverse ? byteIndex ^ 1 : byteIndex);
    QCOMPARE(bit.value(), bitNumber < 16 ? !value : false);
}

void tst_ModbusBit::writesTheSourceBit_data()
{
    QTest::addColumn<ModbusBytes>("source");
    QTest::addColumn<int>("byteIndex");
    QTest::addColumn<int>("bitIndex");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("value");
    QTest::addColumn<ModbusBytes>("result");

    QTest::newRow("set bit 3 of byte 1") << hex("0000") << 1 << 3 << false << true << hex("0008");
    QTest::newRow("clear bit 3 of byte 1")
        << hex("ffff") << 1 << 3 << false << false << hex("fff7");
    QTest::newRow("reversed: byte 1 means byte 0")
        << hex("0000") << 1 << 3 << true << true << hex("0800");
    QTest::newRow("bit 9") << hex("0000") << 0 << 9 << false << true << hex("0002");
    QTest::newRow("beyond the end: nothing")
        << hex("0000") << 1 << 8 << false << true << hex("0000");
}

void tst_ModbusBit::writesTheSourceBit()
{
    QFETCH(ModbusBytes, source);
    QFETCH(int, byteIndex);
    QFETCH(int, bitIndex);
    QFETCH(bool, reverse);
    QFETCH(bool, value);
    QFETCH(ModbusBytes, result);

    StatusWord status(source);
    ModbusBit &bit = status.bit(byteIndex, bitIndex, reverse);
    QSignalSpy sourceChanged(&status.word, &ModbusItemBase::bytesChanged);
    bit.setValue(value);
    QCOMPARE(status.word.bytes(), result);
    if (result != source) {
        QCOMPARE(sourceChanged.size(), 1);
        QCOMPARE(sourceChanged.at(0).at(0).value<ModbusItemBase::BytesChangeType>(),
                 ModbusItemBase::DependentChange);
    }
    // The word's own text follows the bit.
    QCOMPARE(status.word.value(), QString::fromLatin1(result.toHex()));
}

void tst_ModbusBit::bitsOnOneSourceSeeEachOther()
{
    StatusWord status(hex("0000"));
    ModbusBit &low = status.bit(1, 0);
    ModbusBit &same = status.bit(1, 0);
    ModbusBit &high = status.bit(0, 7);
    QSignalSpy sameChanged(&same, &ModbusBit::valueChanged);

    low.setValue(true);
    high.setValue(true);
    QCOMPARE(status.word.bytes(), hex("8001"));
    QVERIFY(same.value());
    QCOMPARE(sameChanged.size(), 1);
    // Clearing one flag leaves the other.
    same.setValue(false);
    QCOMPARE(status.word.bytes(), hex("8000"));
    QVERIFY(!low.value());
    QVERIFY(high.value());
}

void tst_ModbusBit::readOnlyBitLeavesTheSourceAlone()
{
    StatusWord status(hex("0000"));
    ModbusBit &bit = status.bit(1, 0);
    bit.setAddress(300001);
    QVERIFY(bit.readOnly());
    bit.setValue(true);
    QCOMPARE(status.word.bytes(), hex("0000"));
}

void tst_ModbusBit::sourceBitIndexChangeRereads()
{
    StatusWord status(hex("0005"));
    ModbusBit &bit = status.bit(1, 0);
    QVERIFY(bit.value());
    QSignalSpy valueChanged(&bit, &ModbusBit::valueChanged);
    QSignalSpy indexChanged(&bit, &ModbusBit::sourceBitIndexChanged);

    bit.setSourceBitIndex(2); // also set
    QCOMPARE(valueChanged.size(), 0);
    bit.setSourceBitIndex(1); // clear
    QCOMPARE(valueChanged.size(), 1);
    QVERIFY(!bit.value());
    QCOMPARE(indexChanged.size(), 2);

    QSignalSpy reverseChanged(&bit, &ModbusBit::reverseSourceWordsChanged);
    bit.setReverseSourceWords(true);
    bit.setReverseSourceWords(true);
    QCOMPARE(reverseChanged.size(), 1);
}

void tst_ModbusBit::stateTexts_data()
{
    QTest::addColumn<QString>("trueString");
    QTest::addColumn<QString>("falseString");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("value");

    QTest::newRow("TRUE") << "true"
                          << "false" << false << "TRUE" << true;
    QTest::newRow("False") << "true"
                           << "false" << true << "False" << false;
    QTest::newRow("yes is nothing") << "true"
                                    << "false" << false << "yes" << false;
    QTest::newRow("yes is nothing, true stays") << "true"
                                                << "false" << true << "yes" << true;
    QTest::newRow("own texts") << "on"
                               << "off" << false << "ON" << true;
    QTest::newRow("equal texts mean false") << "x"
                                            << "x" << true << "x" << false;
}

void tst_ModbusBit::stateTexts()
{
    QFETCH(QString, trueString);
    QFETCH(QString, falseString);
    QFETCH(bool, initial);
    QFETCH(QString, text);
    QFETCH(bool, value);

    ModbusBit bit;
    QCOMPARE(bit.formatValue(), QStringLiteral("false"));
    bit.setTrueString(trueString);
    bit.setFalseString(falseString);
    bit.setValue(initial);
    bit.setFormatValue(text);
    QCOMPARE(bit.value(), value);
    QCOMPARE(bit.formatValue(), value ? trueString : falseString);
    QCOMPARE(bit.bytes(), ModbusBytes::fromBit(value, false));
}

void tst_ModbusBit::standaloneRegisterRead()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());
    instrument.setRegisters(400020, hex("0105"));

    ModbusBit bit(400020);
    bit.setClient(&client);
    QCOMPARE(bit.requestItemModbusBytesCount(), 2);
    QSignalSpy bytesChanged(&bit, &ModbusItemBase::bytesChanged);
    QVERIFY(bit.read());
    QTRY_VERIFY(bit.value());
    // The register's low-order byte as read: the lowest bit makes the value, nothing is
    // encoded back over it.
    QCOMPARE(bit.bytes(), hex("05"));
    QCOMPARE(bytesChanged.size(), 1);
}

void tst_ModbusBit::writeValueSendsARegister()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    instrument.setRegisters(400020, hex("ffff"));

    ModbusBit bit(400020);
    bit.setClient(&client);
    QVERIFY(bit.writeValue(true));
    QTRY_COMPARE(instrument.registers(400020, 1), hex("0001"));
    QTRY_COMPARE(bit.writeCount(), quint64(1));
    QVERIFY(!bit.value());
}

QTEST_GUILESS_MAIN(tst_ModbusBit)
#include "tst_modbusbit.moc"
