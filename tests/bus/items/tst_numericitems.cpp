#include "modbusclient.h"
#include "modbusclientexecutor.h"
#include "modbusdouble.h"
#include "modbusdoublestruct.h"
#include "modbusfloat.h"
#include "modbusint16.h"
#include "modbusint32.h"
#include "modbusint64.h"
#include "modbusint8.h"
#include "modbusloopbackclient.h"
#include "modbustaskaddressed.h"
#include "modbusuint16.h"
#include "modbusuint32.h"
#include "modbusuint64.h"
#include "modbusuint8.h"
#include "simulatedinstrument.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

enum class Kind {
    UInt16,
    Int16,
    UInt32,
    Int32,
    UInt64,
    Int64,
    UInt8,
    Int8,
    Float,
    Double,
    DoubleStruct
};
Q_DECLARE_METATYPE(Kind)

namespace {

std::unique_ptr<ModbusItemAddressedBase> makeItem(Kind kind, quint32 address = 400001)
{
    switch (kind) {
    case Kind::UInt16:
        return std::make_unique<ModbusUInt16>(address);
    case Kind::Int16:
        return std::make_unique<ModbusInt16>(address);
    case Kind::UInt32:
        return std::make_unique<ModbusUInt32>(address);
    case Kind::Int32:
        return std::make_unique<ModbusInt32>(address);
    case Kind::UInt64:
        return std::make_unique<ModbusUInt64>(address);
    case Kind::Int64:
        return std::make_unique<ModbusInt64>(address);
    case Kind::UInt8:
        return std::make_unique<ModbusUInt8>(address);
    case Kind::Int8:
        return std::make_unique<ModbusInt8>(address);
    case Kind::Float:
        return std::make_unique<ModbusFloat>(address);
    case Kind::Double:
        return std::make_unique<ModbusDouble>(address);
    case Kind::DoubleStruct:
        return std::make_unique<ModbusDoubleStruct>(address);
    }
    return nullptr;
}

// Calls the item's own typed writeValue with the text's number in the radix (valid texts only).
bool writeText(ModbusItemBase &item, Kind kind, const QString &text, int base)
{
    switch (kind) {
    case Kind::UInt16:
        return static_cast<ModbusUInt16 &>(item).writeValue(text.toUShort(nullptr, base));
    case Kind::Int16:
        return static_cast<ModbusInt16 &>(item).writeValue(text.toShort(nullptr, base));
    case Kind::UInt32:
        return static_cast<ModbusUInt32 &>(item).writeValue(text.toUInt(nullptr, base));
    case Kind::Int32:
        return static_cast<ModbusInt32 &>(item).writeValue(text.toInt(nullptr, base));
    case Kind::UInt64:
        return static_cast<ModbusUInt64 &>(item).writeValue(text.toULongLong(nullptr, base));
    case Kind::Int64:
        return static_cast<ModbusInt64 &>(item).writeValue(text.toLongLong(nullptr, base));
    case Kind::UInt8:
        return static_cast<ModbusUInt8 &>(item).writeValue(quint8(text.toUShort(nullptr, base)));
    case Kind::Int8:
        return static_cast<ModbusInt8 &>(item).writeValue(qint8(text.toShort(nullptr, base)));
    case Kind::Float:
        return static_cast<ModbusFloat &>(item).writeValue(text.toFloat());
    case Kind::Double:
    case Kind::DoubleStruct:
        return static_cast<ModbusDouble &>(item).writeValue(text.toDouble());
    }
    return false;
}

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(QByteArray(text));
}

// Keeps the tasks its items hand over instead of running them.
class RecordingClient : public ModbusClient
{
public:
    // The executor's timers move to its thread by a posted call; a client gone before that call
    // ran would leak it.
    RecordingClient()
    {
        QMetaObject::invokeMethod(
            executor(), [] {}, Qt::BlockingQueuedConnection);
    }
    void executeTask(ModbusTask *task) override { tasks.emplace_back(task); }
    std::vector<std::unique_ptr<ModbusTask>> tasks;
};

} // namespace

// The typed numeric items: byte layouts, text by radix and format, 8-bit alignment, what a write
// sends, and reads and writes against the simulated instrument.
class tst_NumericItems : public QObject
{
    Q_OBJECT

private slots:
    void byteLayout_data();
    void byteLayout();
    void textIn_data();
    void textIn();
    void floatingText_data();
    void floatingText();
    void doubleStructRefusesValuesWithoutForm_data();
    void doubleStructRefusesValuesWithoutForm();
    void eightBitChildOfARegister_data();
    void eightBitChildOfARegister();
    void sameValueSignalsOnce();
    void int64QmlValue();
    void readAndWriteOnTheInstrument();
    void readOnlyItemOnTheInstrument();
    void changedAddressMovesIntervalReading();
};

void tst_NumericItems::byteLayout_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("base");
    QTest::addColumn<bool>("alignToWord");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModbusBytes>("layout");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QVariant>("typed");
    QTest::addColumn<ModbusBytes>("sent");

    QTest::newRow("uint16 0x1234") << Kind::UInt16 << 16 << true << "1234" << hex("1234") << "1234"
                                   << QVariant::fromValue(ushort(0x1234)) << hex("1234");
    QTest::newRow("int16 -2") << Kind::Int16 << 10 << true << "-2" << hex("fffe") << "-2"
                              << QVariant::fromValue(short(-2)) << hex("fffe");
    QTest::newRow("uint32 high word first")
        << Kind::UInt32 << 16 << true << "12345678" << hex("12345678") << "12345678"
        << QVariant::fromValue(uint(0x12345678)) << hex("12345678");
    QTest::newRow("int32 -2") << Kind::Int32 << 10 << true << "-2" << hex("fffffffe") << "-2"
                              << QVariant::fromValue(int(-2)) << hex("fffffffe");
    QTest::newRow("uint64 highest word first")
        << Kind::UInt64 << 16 << true << "123456789abcdef0" << hex("123456789abcdef0")
        << "123456789abcdef0" << QVariant::fromValue(qulonglong(0x123456789abcdef0ULL))
        << hex("123456789abcdef0");
    QTest::newRow("uint64 largest")
        << Kind::UInt64 << 10 << true << "18446744073709551615" << hex("ffffffffffffffff")
        << "18446744073709551615" << QVariant::fromValue(qulonglong(~0ULL))
        << hex("ffffffffffffffff");
    QTest::newRow("int64 -2") << Kind::Int64 << 10 << true << "-2" << hex("fffffffffffffffe")
                              << "-2" << QVariant::fromValue(qlonglong(-2))
                              << hex("fffffffffffffffe");
    QTest::newRow("uint8 aligned") << Kind::UInt8 << 10 << true << "255" << hex("00ff") << "255"
                                   << QVariant::fromValue(uchar(255)) << hex("00ff");
    QTest::newRow("uint8 bare byte") << Kind::UInt8 << 16 << false << "2a" << hex("2a") << "2a"
                                     << QVariant::fromValue(uchar(0x2a)) << hex("002a");
    QTest::newRow("int8 -2 aligned") << Kind::Int8 << 10 << true << "-2" << hex("00fe") << "-2"
                                     << QVariant::fromValue(int(-2)) << hex("00fe");
    QTest::newRow("int8 -2 bare byte") << Kind::Int8 << 10 << false << "-2" << hex("fe") << "-2"
                                       << QVariant::fromValue(int(-2)) << hex("00fe");
    QTest::newRow("float 1.0") << Kind::Float << 10 << true << "1" << hex("3f800000") << "1.000"
                               << QVariant::fromValue(1.0f) << hex("3f800000");
    QTest::newRow("double 1.0") << Kind::Double << 10 << true << "1" << hex("3ff0000000000000")
                                << "1.000" << QVariant::fromValue(1.0) << hex("3ff0000000000000");
    QTest::newRow("double struct 10.5")
        << Kind::DoubleStruct << 10 << true << "10.5" << hex("0000000a3f000000") << "10.500"
        << QVariant::fromValue(10.5) << hex("0000000a3f000000");
    QTest::newRow("double struct -2.5, both parts negative")
        << Kind::DoubleStruct << 10 << true << "-2.5" << hex("fffffffebf000000") << "-2.500"
        << QVariant::fromValue(-2.5) << hex("fffffffebf000000");
}

// The same layout three ways: text in gives the bytes, the bytes give the value, and a write of
// the value sends them without touching the item.
void tst_NumericItems::byteLayout()
{
    QFETCH(Kind, kind);
    QFETCH(int, base);
    QFETCH(bool, alignToWord);
    QFETCH(QString, text);
    QFETCH(ModbusBytes, layout);
    QFETCH(QString, shown);
    QFETCH(QVariant, typed);
    QFETCH(ModbusBytes, sent);

    auto prepare = [&](ModbusItemAddressedBase &item) {
        if (auto *ints = qobject_cast<ModbusItemIntBase *>(&item))
            ints->setBase(base);
        if (auto *bytes = qobject_cast<ModbusItemByteBase *>(&item))
            bytes->setAlignToWord(alignToWord);
    };

    auto fromText = makeItem(kind);
    prepare(*fromText);
    QSignalSpy valueChanged(fromText.get(), SIGNAL(valueChanged()));
    QSignalSpy bytesChanged(fromText.get(), &ModbusItemBase::bytesChanged);
    fromText->setFormatValue(text);
    QCOMPARE(fromText->bytes(), layout);
    QCOMPARE(fromText->formatValue(), shown);
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(bytesChanged.size(), 1);
    QCOMPARE(bytesChanged.at(0).at(0).value<ModbusItemBase::BytesChangeType>(),
             ModbusItemBase::ValueChange);

    auto fromBytes = makeItem(kind);
    prepare(*fromBytes);
    fromBytes->setBytes(layout, ModbusItemBase::ExternalChange);
    QCOMPARE(fromBytes->formatValue(), shown);
    QCOMPARE(fromBytes->bytes(), layout);
    const QVariant value = fromBytes->variantValue();
    QCOMPARE(value.metaType(), typed.metaType());
    QCOMPARE(value, typed);

    RecordingClient client;
    auto writer = makeItem(kind, 400010);
    prepare(*writer);
    writer->setClient(&client);
    const QString before = writer->formatValue();
    const ModbusBytes bytesBefore = writer->bytes();
    QVERIFY(writeText(*writer, kind, text, base));
    QCOMPARE(client.tasks.size(), size_t(1));
    auto *task = dynamic_cast<ModbusTaskAddressed *>(client.tasks.front().get());
    QVERIFY(task);
    QCOMPARE(task->type(), DorrikBus::WriteTask);
    QCOMPARE(task->address(), quint32(400010));
    QCOMPARE(task->firstBytes().toModbusBytes(), sent);
    QCOMPARE(writer->formatValue(), before);
    QCOMPARE(writer->bytes(), bytesBefore);
    writer->setClient(nullptr);
}

void tst_NumericItems::textIn_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("shown");

    QTest::newRow("uint16 hex lower case") << Kind::UInt16 << 16 << "ff" << true << "ff";
    QTest::newRow("uint16 hex upper case") << Kind::UInt16 << 16 << "FF" << true << "ff";
    QTest::newRow("uint16 prefix in radix 10") << Kind::UInt16 << 10 << "0x10" << false << "7";
    QTest::newRow("uint16 above range") << Kind::UInt16 << 10 << "70000" << false << "7";
    QTest::newRow("uint16 negative") << Kind::UInt16 << 10 << "-1" << false << "7";
    QTest::newRow("uint16 empty") << Kind::UInt16 << 10 << "" << false << "7";
    QTest::newRow("uint16 binary") << Kind::UInt16 << 2 << "101" << true << "101";
    QTest::newRow("int16 hex negative") << Kind::Int16 << 16 << "-a" << true << "-a";
    QTest::newRow("int16 above range") << Kind::Int16 << 10 << "40000" << false << "7";
    QTest::newRow("uint32 not a digit of the radix") << Kind::UInt32 << 8 << "9" << false << "7";
    QTest::newRow("int64 smallest")
        << Kind::Int64 << 10 << "-9223372036854775808" << true << "-9223372036854775808";
    QTest::newRow("uint8 300 keeps the low byte") << Kind::UInt8 << 10 << "300" << true << "44";
    QTest::newRow("uint8 above 16 bits") << Kind::UInt8 << 10 << "70000" << false << "7";
    QTest::newRow("int8 200 is -56") << Kind::Int8 << 10 << "200" << true << "-56";
    QTest::newRow("int8 hex") << Kind::Int8 << 16 << "ff" << true << "-1";
    QTest::newRow("float not a number") << Kind::Float << 10 << "abc" << false << "7.000";
    QTest::newRow("double exponent") << Kind::Double << 10 << "1e3" << true << "1000.000";
    QTest::newRow("double struct text") << Kind::DoubleStruct << 10 << "-0.25" << true << "-0.250";
}

void tst_NumericItems::textIn()
{
    QFETCH(Kind, kind);
    QFETCH(int, base);
    QFETCH(QString, text);
    QFETCH(bool, taken);
    QFETCH(QString, shown);

    auto item = makeItem(kind);
    item->setFormatValue(QStringLiteral("7"));
    if (auto *ints = qobject_cast<ModbusItemIntBase *>(item.get()))
        ints->setBase(base);
    const ModbusBytes before = item->bytes();
    QSignalSpy valueChanged(item.get(), SIGNAL(valueChanged()));
    QSignalSpy formatValueChanged(item.get(), &ModbusItemBase::formatValueChanged);
    QSignalSpy bytesChanged(item.get(), &ModbusItemBase::bytesChanged);
    QSignalSpy error(item.get(), &ErrObject::error);

    item->setFormatValue(text);
    QCOMPARE(item->formatValue(), shown);
    QCOMPARE(valueChanged.size(), taken ? 1 : 0);
    QCOMPARE(formatValueChanged.size(), taken ? 1 : 0);
    QCOMPARE(bytesChanged.size(), taken ? 1 : 0);
    if (!taken)
        QCOMPARE(item->bytes(), before);
    QCOMPARE(error.size(), 0);
}

void tst_NumericItems::floatingText_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<char>("format");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("float default") << Kind::Float << 'f' << 3 << "1.5"
                                   << "1.500";
    QTest::newRow("float exponent") << Kind::Float << 'e' << 2 << "1234.5"
                                    << "1.23e+03";
    QTest::newRow("double general") << Kind::Double << 'g' << 4 << "1234.5"
                                    << "1235";
    QTest::newRow("double struct fixed") << Kind::DoubleStruct << 'f' << 1 << "-7.04"
                                         << "-7.0";
}

void tst_NumericItems::floatingText()
{
    QFETCH(Kind, kind);
    QFETCH(char, format);
    QFETCH(int, precision);
    QFETCH(QString, text);
    QFETCH(QString, shown);

    auto item = makeItem(kind);
    auto *floating = qobject_cast<ModbusItemFloatingBase *>(item.get());
    QVERIFY(floating);
    floating->setFormat(format);
    floating->setPrecision(precision);
    item->setFormatValue(text);
    QCOMPARE(item->formatValue(), shown);
}

void tst_NumericItems::doubleStructRefusesValuesWithoutForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<ModbusBytes>("layout");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nan") << std::nan("") << false << ModbusBytes();
    QTest::newRow("infinity") << inf << false << ModbusBytes();
    QTest::newRow("minus infinity") << -inf << false << ModbusBytes();
    QTest::newRow("whole part above 32 bits") << 2147483648.0 << false << ModbusBytes();
    QTest::newRow("whole part below 32 bits") << -2147483649.0 << false << ModbusBytes();
    QTest::newRow("largest whole part") << 2147483647.5 << true << hex("7fffffff3f000000");
    QTest::newRow("smallest whole part") << -2147483648.5 << true << hex("80000000bf000000");
}

// Such a value has no double-struct form: the setters, the text and writeValue refuse it and
// leave the item as it was.
void tst_NumericItems::doubleStructRefusesValuesWithoutForm()
{
    QFETCH(double, value);
    QFETCH(bool, taken);
    QFETCH(ModbusBytes, layout);

    RecordingClient client;
    ModbusDoubleStruct item(400020);
    item.setClient(&client);
    item.setValue(1.5);
    const ModbusBytes before = item.bytes();
    QSignalSpy valueChanged(&item, &ModbusDouble::valueChanged);

    item.setValue(value);
    ModbusDouble &asDouble = item;
    asDouble.setValue(value);
    item.setFormatValue(QString::number(value, 'f', 1));
    item.setProperty("value", value);
    QCOMPARE(valueChanged.size(), taken ? 1 : 0);
    QCOMPARE(item.bytes(), taken ? layout : before);
    if (!taken)
        QCOMPARE(item.value(), 1.5);

    QCOMPARE(item.writeValue(value), taken);
    QCOMPARE(client.tasks.size(), size_t(taken ? 1 : 0));
    if (taken)
        QCOMPARE(client.tasks.front()->firstBytes().toModbusBytes(), layout);
    item.setClient(nullptr);
}

void tst_NumericItems::eightBitChildOfARegister_data()
{
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<bool>("alignToWord");
    QTest::addColumn<QString>("shown");

    QTest::newRow("uint8, low-order byte") << false << true << "244";
    QTest::newRow("int8, low-order byte") << true << true << "-12";
    QTest::newRow("uint8, first byte") << false << false << "18";
    QTest::newRow("int8, first byte") << true << false << "18";
}

// A byte item declared inside a 16-bit register item shows its byte and leaves the register's
// other byte alone.
void tst_NumericItems::eightBitChildOfARegister()
{
    QFETCH(bool, isSigned);
    QFETCH(bool, alignToWord);
    QFETCH(QString, shown);

    ModbusUInt16 reg(400001);
    std::unique_ptr<ModbusItemByteBase> child;
    if (isSigned)
        child = std::make_unique<ModbusInt8>(400001);
    else
        child = std::make_unique<ModbusUInt8>(400001);
    child->setAlignToWord(alignToWord);
    child->setSource(&reg);
    QSignalSpy childValue(child.get(), SIGNAL(valueChanged()));

    reg.setValue(0x12f4);
    QCOMPARE(child->formatValue(), shown);
    QCOMPARE(childValue.size(), 1);
    QCOMPARE(reg.value(), quint16(0x12f4));
    QCOMPARE(reg.bytes(), hex("12f4"));
}

void tst_NumericItems::sameValueSignalsOnce()
{
    ModbusInt32 item;
    QSignalSpy valueChanged(&item, &ModbusInt32::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setValue(-2);
    item.setValue(-2);
    item.setProperty("value", -2);
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(formatValueChanged.size(), 1);

    // Bytes decoding to the same value are not a new value.
    item.setBytes(hex("fffffffe"), ModbusItemBase::ExternalChange);
    QCOMPARE(valueChanged.size(), 1);
}

void tst_NumericItems::int64QmlValue()
{
    ModbusInt64 item;
    QVERIFY(item.setProperty("value", QVariant(QStringLiteral("-9007199254740993"))));
    QCOMPARE(item.value(), qint64(-9007199254740993LL));
    const QVariant shown = item.property("value");
    QCOMPARE(shown.metaType(), QMetaType::fromType<qlonglong>());
    QCOMPARE(shown.toLongLong(), -9007199254740993LL);
    item.setProperty("value", QVariant(QStringLiteral("not a number")));
    QCOMPARE(item.value(), qint64(0));
}

void tst_NumericItems::readAndWriteOnTheInstrument()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    instrument.setRegisters(400101, hex("fffffffe"));
    instrument.setRegisters(400103, hex("0000000a3f000000"));

    ModbusInt32 item(400101);
    ModbusDoubleStruct pair(400103);
    item.setClient(&client);
    pair.setClient(&client);
    QVERIFY(item.readSync());
    QVERIFY(pair.readSync());
    QCOMPARE(item.value(), -2);
    QCOMPARE(pair.value(), 10.5);
    QVERIFY(item.actualValue());

    QSignalSpy afterWrite(&item, &ModbusItemBase::afterWrite);
    QVERIFY(item.writeValue(0x12345678));
    QTRY_COMPARE(afterWrite.size(), 1);
    QCOMPARE(instrument.registers(400101, 2), hex("12345678"));
    QCOMPARE(item.value(), -2);
    QVERIFY(item.readSync());
    QCOMPARE(item.value(), 0x12345678);

    // A read of an unchanged register brings no new value.
    QSignalSpy valueChanged(&item, &ModbusInt32::valueChanged);
    QVERIFY(item.readSync());
    QCOMPARE(valueChanged.size(), 0);
    QCOMPARE(item.readCount(), quint64(3));
}

void tst_NumericItems::readOnlyItemOnTheInstrument()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    instrument.setRegisters(300005, hex("1234"));

    ModbusUInt8 item(300005);
    item.setClient(&client);
    QVERIFY(item.readOnly());
    QVERIFY(item.readSync());
    QCOMPARE(item.value(), quint8(0x34));
    QCOMPARE(item.bytes(), hex("34"));

    QSignalSpy error(&item, &ErrObject::error);
    instrument.clearRequests();
    QVERIFY(!item.writeValue(1));
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("can't write: object is readonly"));
    QCOMPARE(instrument.requestCount(), 0);
}

// The interval task follows the address; a late answer for the old address is not taken.
void tst_NumericItems::changedAddressMovesIntervalReading()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    instrument.setRegisters(400001, hex("0001"));
    instrument.setRegisters(400050, hex("0032"));

    ModbusUInt16 item(400001);
    item.setInterval(10);
    item.setClient(&client);
    item.setIntervalReading(true);
    QTRY_COMPARE(item.value(), quint16(1));

    item.setAddress(400050);
    QTRY_COMPARE(item.value(), quint16(0x32));
    const quint64 reads = item.readCount();
    QTRY_VERIFY(item.readCount() >= reads + 2);
    instrument.clearRequests();
    QTRY_VERIFY(instrument.requestCount() >= 2);
    for (const InstrumentRequest &request : instrument.requests())
        QCOMPARE(request.address, quint32(400050));
    QCOMPARE(item.value(), quint16(0x32));
    item.setIntervalReading(false);
}

QTEST_GUILESS_MAIN(tst_NumericItems)
#include "tst_numericitems.moc"
