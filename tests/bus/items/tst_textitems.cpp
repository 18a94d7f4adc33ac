#include "modbusclient.h"
#include "modbusdatetime.h"
#include "modbusloopbackclient.h"
#include "modbusstringansi.h"
#include "modbusstringutf8.h"
#include "simulatedinstrument.h"

#include <QtTest>

#include <memory>

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(text);
}

// Bytes as a read brings them.
void takeRead(ModbusItemBase &item, const ModbusBytes &bytes)
{
    item.setTopBytesArray(ModbusBytesArray(bytes, 0, -1), ModbusItemBase::ReadChange);
}

} // namespace

// Date-time, 8-bit and UTF-8 text items: their byte layouts both ways, their text, and what a
// read leaves in them. Runs under UTC and under Europe/Berlin: the instrument's clock reading is
// shown as it is in every zone.
class tst_TextItems : public QObject
{
    Q_OBJECT

private slots:
    void dateTimeShowsTheClockReading_data();
    void dateTimeShowsTheClockReading();
    void dateTimeTextRoundTrip_data();
    void dateTimeTextRoundTrip();
    void dateTimeDefaultIsTheZeroLabel();
    void dateTimeGapReadingAndTheHourAfterAreDifferentValues();
    void dateTimeTextThatDoesNotParse();
    void dateTimeShortBytes_data();
    void dateTimeShortBytes();
    void dateTimeSameValueSignalsOnce();

    void ansiLayout_data();
    void ansiLayout();
    void ansiDecoding_data();
    void ansiDecoding();
    void ansiRequestSize_data();
    void ansiRequestSize();
    void ansiLayoutChangeReencodes();
    void ansiReadKeepsItsBytes();

    void utf8Adjust_data();
    void utf8Adjust();
    void utf8ReadEndsAtZeroAndKeepsItsBytes();
    void utf8AdjustSettingsDoNotReencode();
    void utf8LengthIsTheItemSize();

    void writeValueSendsBytesAndKeepsTheValue();
};

void tst_TextItems::dateTimeShowsTheClockReading_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("one minute") << hex("0000003c") << QStringLiteral("1970.01.01 00:01:00");
    // 2024-07-01 12:00:00 as a label: summer time in Berlin, yet shown as 12:00.
    QTest::newRow("summer noon") << hex("66829a40") << QStringLiteral("2024.07.01 12:00:00");
    // 2024-03-31 02:30:00: a reading that Berlin's clocks skip.
    QTest::newRow("spring gap") << hex("6608caa8") << QStringLiteral("2024.03.31 02:30:00");
    // 2024-10-27 02:30:00: a reading that Berlin's clocks show twice.
    QTest::newRow("autumn repeat") << hex("671da5a8") << QStringLiteral("2024.10.27 02:30:00");
    QTest::newRow("last label") << hex("fffffffe") << QStringLiteral("2106.02.07 06:28:14");
}

void tst_TextItems::dateTimeShowsTheClockReading()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(QString, text);

    ModbusDateTime item;
    takeRead(item, bytes);
    QCOMPARE(item.formatValue(), text);
    QCOMPARE(item.value().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")), text);
    QCOMPARE(item.getTypedValue(bytes).toDateTime(), item.value());
    QCOMPARE(item.bytes(), bytes);
}

void tst_TextItems::dateTimeTextRoundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModbusBytes>("bytes");

    const QString standard = QStringLiteral("yyyy.MM.dd hh:mm:ss");
    QTest::newRow("summer noon") << standard << QStringLiteral("2024.07.01 12:00:00")
                                 << hex("66829a40");
    QTest::newRow("spring gap") << standard << QStringLiteral("2024.03.31 02:30:00")
                                << hex("6608caa8");
    QTest::newRow("autumn repeat")
        << standard << QStringLiteral("2024.10.27 02:30:00") << hex("671da5a8");
    QTest::newRow("own format") << QStringLiteral("dd/MM/yyyy hh:mm")
                                << QStringLiteral("01/07/2024 12:00") << hex("66829a40");
}

void tst_TextItems::dateTimeTextRoundTrip()
{
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(ModbusBytes, bytes);

    ModbusDateTime item;
    QSignalSpy formatChanged(&item, &ModbusDateTime::formatChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setFormat(format);
    QCOMPARE(formatChanged.size(), format == QLatin1String("yyyy.MM.dd hh:mm:ss") ? 0 : 1);
    QCOMPARE(formatValueChanged.size(), 0);

    item.setFormatValue(text);
    QCOMPARE(item.bytes(), bytes);
    // Shown again as it was typed: writing the shown text back never moves the clock.
    QCOMPARE(item.formatValue(), text);
    takeRead(item, ModbusBytes::fromSize(4));
    takeRead(item, bytes);
    QCOMPARE(item.formatValue(), text);
}

void tst_TextItems::dateTimeDefaultIsTheZeroLabel()
{
    ModbusDateTime item;
    QCOMPARE(item.bytes(), hex("00000000"));
    QCOMPARE(item.formatValue(), QStringLiteral("1970.01.01 00:00:00"));
    QCOMPARE(item.requestItemModbusBytesCount(), 4);

    ModbusDateTime input(300010);
    QCOMPARE(input.address(), 300010u);
    QVERIFY(input.readOnly());
}

void tst_TextItems::dateTimeGapReadingAndTheHourAfterAreDifferentValues()
{
    // In Berlin the skipped 02:30 is kept at the winter offset, which is the same instant as
    // 03:30 summer time; they are still two readings of the instrument's clock.
    ModbusDateTime item;
    item.setFormatValue(QStringLiteral("2024.03.31 02:30:00"));
    QSignalSpy valueChanged(&item, &ModbusDateTime::valueChanged);
    item.setFormatValue(QStringLiteral("2024.03.31 03:30:00"));
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(item.bytes(), hex("6608d8b8"));
    QCOMPARE(item.formatValue(), QStringLiteral("2024.03.31 03:30:00"));
}

void tst_TextItems::dateTimeTextThatDoesNotParse()
{
    ModbusDateTime item;
    item.setFormatValue(QStringLiteral("2024.07.01 12:00:00"));
    QSignalSpy valueChanged(&item, &ModbusDateTime::valueChanged);
    item.setFormatValue(QStringLiteral("tomorrow"));
    QCOMPARE(valueChanged.size(), 1);
    QVERIFY(!item.value().isValid());
    QCOMPARE(item.formatValue(), QString());
    // As Qt 4's time_t conversion: no time is the largest label.
    QCOMPARE(item.bytes(), hex("ffffffff"));
}

void tst_TextItems::dateTimeShortBytes_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<bool>("valid");

    QTest::newRow("2 bytes: the epoch") << hex("0102") << true;
    QTest::newRow("no bytes: no time") << ModbusBytes() << false;
}

void tst_TextItems::dateTimeShortBytes()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(bool, valid);

    ModbusDateTime item;
    item.setFormatValue(QStringLiteral("2024.07.01 12:00:00"));
    takeRead(item, bytes);
    QCOMPARE(item.value().isValid(), valid);
    if (valid)
        QCOMPARE(item.formatValue(), QStringLiteral("1970.01.01 00:00:00"));
    // What was read stays: the value is not encoded back over it.
    QCOMPARE(item.bytes(), bytes);
}

void tst_TextItems::dateTimeSameValueSignalsOnce()
{
    ModbusDateTime item;
    QSignalSpy valueChanged(&item, &ModbusDateTime::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    const QDateTime noon(QDate(2024, 7, 1), QTime(12, 0));
    item.setValue(noon);
    item.setValue(noon);
    takeRead(item, hex("66829a40"));
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(formatValueChanged.size(), 1);
    QCOMPARE(bytesChanged.size(), 1);
    QCOMPARE(bytesChanged.at(0).at(0).value<ModbusItemBase::BytesChangeType>(),
             ModbusItemBase::ValueChange);
}

void tst_TextItems::ansiLayout_data()
{
    QTest::addColumn<bool>("oneCharPerRegister");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModbusBytes>("bytes");

    QTest::newRow("one per register") << true << QStringLiteral("AB") << hex("00410042");
    QTest::newRow("two per register") << false << QStringLiteral("AB") << hex("4142");
    QTest::newRow("Latin-1") << false << QStringLiteral("\u00e9t\u00e9") << hex("e974e9");
    QTest::newRow("no 8-bit code") << true << QStringLiteral("\u0416") << hex("003f");
}

void tst_TextItems::ansiLayout()
{
    QFETCH(bool, oneCharPerRegister);
    QFETCH(QString, text);
    QFETCH(ModbusBytes, bytes);

    ModbusStringAnsi item;
    item.setOneCharPerRegister(oneCharPerRegister);
    QSignalSpy valueChanged(&item, &ModbusStringAnsi::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setFormatValue(text);
    QCOMPARE(item.bytes(), bytes);
    QCOMPARE(item.value(), text);
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(formatValueChanged.size(), 1);
    // The text is neither cut nor padded to the length.
    QCOMPARE(item.length(), 1);
}

void tst_TextItems::ansiDecoding_data()
{
    QTest::addColumn<bool>("oneCharPerRegister");
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("one per register") << true << hex("00410042") << QStringLiteral("AB");
    QTest::newRow("two per register, zeros kept")
        << false << hex("00410042") << QString::fromLatin1("\0A\0B", 4);
    QTest::newRow("Latin-1") << false << hex("e9") << QStringLiteral("\u00e9");
}

void tst_TextItems::ansiDecoding()
{
    QFETCH(bool, oneCharPerRegister);
    QFETCH(ModbusBytes, bytes);
    QFETCH(QString, text);

    ModbusStringAnsi item;
    item.setOneCharPerRegister(oneCharPerRegister);
    takeRead(item, bytes);
    QCOMPARE(item.value(), text);
    QCOMPARE(item.formatValue(), text);
    QCOMPARE(item.getTypedValue(bytes).toString(), text);
}

void tst_TextItems::ansiRequestSize_data()
{
    QTest::addColumn<bool>("oneCharPerRegister");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("bytesPerElement");

    QTest::newRow("default") << true << 1 << 2;
    QTest::newRow("8 characters, one per register") << true << 8 << 16;
    QTest::newRow("8 characters, two per register") << false << 8 << 8;
    QTest::newRow("3 characters, two per register") << false << 3 << 4;
    QTest::newRow("length 0 is ignored") << true << 0 << 2;
    QTest::newRow("negative length is ignored") << false << -4 << 2;
}

void tst_TextItems::ansiRequestSize()
{
    QFETCH(bool, oneCharPerRegister);
    QFETCH(int, length);
    QFETCH(int, bytesPerElement);

    ModbusStringAnsi item(400100);
    item.setOneCharPerRegister(oneCharPerRegister);
    item.setLength(length);
    QCOMPARE(item.requestItemModbusBytesCount(), bytesPerElement);
    QCOMPARE(item.length(), qMax(length, 1));
}

void tst_TextItems::ansiLayoutChangeReencodes()
{
    ModbusStringAnsi item;
    item.setLength(2);
    item.setValue(QStringLiteral("AB"));
    QCOMPARE(item.bytes(), hex("00410042"));
    QSignalSpy layoutChanged(&item, &ModbusStringAnsi::oneCharPerRegisterChanged);
    item.setOneCharPerRegister(false);
    QCOMPARE(layoutChanged.size(), 1);
    QCOMPARE(item.bytes(), hex("4142"));
    QCOMPARE(item.value(), QStringLiteral("AB"));
    QCOMPARE(item.requestItemModbusBytesCount(), 2);
}

void tst_TextItems::ansiReadKeepsItsBytes()
{
    // A register whose high byte is not zero: the text takes the low-order bytes, and the
    // registers as read stay the item's bytes.
    ModbusStringAnsi item;
    item.setLength(2);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    takeRead(item, hex("12411342"));
    QCOMPARE(item.value(), QStringLiteral("AB"));
    QCOMPARE(item.bytes(), hex("12411342"));
    QCOMPARE(bytesChanged.size(), 1);
}

void tst_TextItems::utf8Adjust_data()
{
    QTest::addColumn<int>("adjustLength");
    QTest::addColumn<int>("adjustByte");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModbusBytes>("bytes");

    QTest::newRow("2-byte character padded")
        << 4 << 0 << QStringLiteral("\u0416") << hex("d0960000");
    QTest::newRow("cut to whole characters")
        << 4 << 0 << QStringLiteral("abcd\u00e9") << hex("61626364");
    QTest::newRow("never half a character")
        << 4 << 0 << QStringLiteral("abc\u0416") << hex("61626300");
    QTest::newRow("never half a surrogate pair")
        << 5 << 0 << QStringLiteral("ab\U0001F600") << hex("6162000000");
    QTest::newRow("4-byte character fits")
        << 5 << 0 << QStringLiteral("a\U0001F600") << hex("61f09f9880");
    QTest::newRow("padded with blanks") << 4 << 0x20 << QStringLiteral("ab") << hex("61622020");
    QTest::newRow("no adjusting") << -1 << 0 << QStringLiteral("abc\u0416") << hex("616263d096");
    QTest::newRow("adjust to nothing") << 0 << 0 << QStringLiteral("a") << ModbusBytes();
}

void tst_TextItems::utf8Adjust()
{
    QFETCH(int, adjustLength);
    QFETCH(int, adjustByte);
    QFETCH(QString, text);
    QFETCH(ModbusBytes, bytes);

    ModbusStringUtf8 item;
    item.setAdjustLength(adjustLength);
    item.setAdjustByte(quint8(adjustByte));
    QSignalSpy valueChanged(&item, &ModbusStringUtf8::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setFormatValue(text);
    QCOMPARE(item.bytes(), bytes);
    QCOMPARE(item.value(), text);
    QCOMPARE(valueChanged.size(), 1);
    QCOMPARE(formatValueChanged.size(), 1);
}

void tst_TextItems::utf8ReadEndsAtZeroAndKeepsItsBytes()
{
    ModbusStringUtf8 item;
    item.setAdjustLength(4);
    item.setLength(4);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    takeRead(item, hex("61620063"));
    QCOMPARE(item.value(), QStringLiteral("ab"));
    QCOMPARE(item.getTypedValue(hex("d0960000")).toString(), QStringLiteral("\u0416"));
    // The read's bytes stay as they came, with what follows the end of the text.
    QCOMPARE(item.bytes(), hex("61620063"));
    QCOMPARE(bytesChanged.size(), 1);
    QCOMPARE(bytesChanged.at(0).at(0).value<ModbusItemBase::BytesChangeType>(),
             ModbusItemBase::ReadChange);
}

void tst_TextItems::utf8AdjustSettingsDoNotReencode()
{
    ModbusStringUtf8 item;
    item.setValue(QStringLiteral("abc"));
    QSignalSpy adjustLengthChanged(&item, &ModbusStringUtf8::adjustLengthChanged);
    QSignalSpy adjustByteChanged(&item, &ModbusStringUtf8::adjustByteChanged);
    QSignalSpy bytesChanged(&item, &ModbusItemBase::bytesChanged);
    item.setAdjustLength(6);
    item.setAdjustLength(6);
    item.setAdjustByte(0x2e);
    QCOMPARE(adjustLengthChanged.size(), 1);
    QCOMPARE(adjustLengthChanged.at(0).at(0).toInt(), 6);
    QCOMPARE(adjustByteChanged.size(), 1);
    QCOMPARE(bytesChanged.size(), 0);
    QCOMPARE(item.bytes(), hex("616263"));
    // The next value takes the settings.
    item.setValue(QStringLiteral("xy"));
    QCOMPARE(item.bytes(), hex("78792e2e2e2e"));
}

void tst_TextItems::utf8LengthIsTheItemSize()
{
    ModbusStringUtf8 item;
    item.setAddress(300701);
    QCOMPARE(item.length(), 1);
    QSignalSpy lengthChanged(&item, &ModbusStringUtf8::lengthChanged);
    item.setLength(16);
    item.setLength(16);
    QCOMPARE(lengthChanged.size(), 1);
    QCOMPARE(item.itemSize(), 16);
    QCOMPARE(item.requestModbusBytesCount(), 16);
    item.setItemSize(7);
    QCOMPARE(lengthChanged.size(), 2);
    QCOMPARE(item.length(), 7);
    QCOMPARE(item.requestModbusBytesCount(), 8);
}

void tst_TextItems::writeValueSendsBytesAndKeepsTheValue()
{
    SimulatedInstrument instrument;
    ModbusClient client;
    client.setTransport(instrument.link());
    QVERIFY(client.connected());

    ModbusDateTime time(400001);
    ModbusStringAnsi ansi(400011);
    ansi.setLength(3);
    ModbusStringUtf8 utf8;
    utf8.setAddress(400021);
    utf8.setLength(4);
    utf8.setAdjustLength(4);
    for (ModbusItemBase *item :
         {static_cast<ModbusItemBase *>(&time), static_cast<ModbusItemBase *>(&ansi),
          static_cast<ModbusItemBase *>(&utf8)})
        item->setClient(&client);

    QVERIFY(time.writeValue(QDateTime(QDate(2024, 7, 1), QTime(12, 0))));
    QVERIFY(ansi.writeValue(QStringLiteral("AB\u00e9")));
    QVERIFY(utf8.writeValue(QStringLiteral("\u0416")));
    QTRY_COMPARE(instrument.registers(400001, 2), hex("66829a40"));
    QTRY_COMPARE(instrument.registers(400011, 3), hex("0041004200e9"));
    QTRY_COMPARE(instrument.registers(400021, 2), hex("d0960000"));
    QTRY_COMPARE(time.writeCount() + ansi.writeCount() + utf8.writeCount(), quint64(3));

    QCOMPARE(time.formatValue(), QStringLiteral("1970.01.01 00:00:00"));
    QCOMPARE(ansi.value(), QString());
    QCOMPARE(utf8.value(), QString());

    // And read back as written.
    QVERIFY(time.read());
    QVERIFY(ansi.read());
    QVERIFY(utf8.read());
    QTRY_COMPARE(time.formatValue(), QStringLiteral("2024.07.01 12:00:00"));
    QTRY_COMPARE(ansi.value(), QStringLiteral("AB\u00e9"));
    QTRY_COMPARE(utf8.value(), QStringLiteral("\u0416"));
}

QTEST_GUILESS_MAIN(tst_TextItems)
#include "tst_textitems.moc"
