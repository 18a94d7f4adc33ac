#include "eventdeparser.h"
#include "eventparser.h"
#include "keypadevent.h"
#include "modbusbytes.h"
#include "systemevent.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

static ModbusBytes hexBytes(const char *hex)
{
    return ModbusBytes(QByteArray::fromHex(hex));
}

class tst_Events : public QObject
{
    Q_OBJECT
private slots:
    void parseEvents_data();
    void parseEvents();
    void parseRefusals_data();
    void parseRefusals();
    void deparseKeypadEvent_data();
    void deparseKeypadEvent();
    void deparseSystemEventFails();
    void keypadRoundTrip();
    void equality();
    void texts_data();
    void texts();
};

void tst_Events::parseEvents_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");

    QTest::newRow("key 5") << QByteArray("0105") << 1 << 5;
    QTest::newRow("key 255") << QByteArray("01ff") << 1 << 255;
    QTest::newRow("shutdown key held") << QByteArray("02") << 2 << 2;
    QTest::newRow("battery low") << QByteArray("03") << 2 << 3;
}

void tst_Events::parseEvents()
{
    QFETCH(QByteArray, hex);
    QFETCH(int, type);
    QFETCH(int, code);

    EventParser parser;
    QSignalSpy errorSpy(&parser, &ErrObject::error);
    const std::unique_ptr<IEvent> event(parser.parse(hexBytes(hex)));
    QVERIFY(event);
    QCOMPARE(int(event->type()), type);
    QCOMPARE(errorSpy.count(), 0);
    if (type == GlobalEvents::KeyboardEvent) {
        const auto *keypad = dynamic_cast<const KeypadEvent *>(event.get());
        QVERIFY(keypad);
        QCOMPARE(int(keypad->keyCode()), code);
    } else {
        const auto *system = dynamic_cast<const SystemEvent *>(event.get());
        QVERIFY(system);
        QCOMPARE(system->code(), code);
    }
}

void tst_Events::parseRefusals_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("message");

    QTest::newRow("key without code")
        << QByteArray("01") << "Event parser error: error bytes length: 1 (bytes: 01)";
    QTest::newRow("key with a byte too many")
        << QByteArray("010500") << "Event parser error: error bytes length: 3 (bytes: 010500)";
    QTest::newRow("system event with a byte too many")
        << QByteArray("0200") << "Event parser error: error bytes length: 2 (bytes: 0200)";
    QTest::newRow("type 4") << QByteArray("04")
                            << "Event parser error: unknown event type: 4 (bytes: 04)";
    QTest::newRow("type 0") << QByteArray("0001")
                            << "Event parser error: unknown event type: 0 (bytes: 0001)";
    QTest::newRow("type 255") << QByteArray("ffab")
                              << "Event parser error: unknown event type: 255 (bytes: ffab)";
    QTest::newRow("empty") << QByteArray()
                           << "Event parser error: event bytes array is too short (bytes: )";
}

void tst_Events::parseRefusals()
{
    QFETCH(QByteArray, hex);
    QFETCH(QString, message);

    EventParser parser;
    QSignalSpy errorSpy(&parser, &ErrObject::error);
    QCOMPARE(parser.parse(hexBytes(hex)), nullptr);
    QCOMPARE(parser.errorString(), message);
    QCOMPARE(parser.errorCount(), quint64(1));
    QCOMPARE(errorSpy.count(), 1);
}

void tst_Events::deparseKeypadEvent_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("into empty buffer") << QByteArray() << QByteArray("011f");
    QTest::newRow("appended to aa") << QByteArray("aa") << QByteArray("aa011f");
}

void tst_Events::deparseKeypadEvent()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    EventDeparser deparser;
    ModbusBytes bytes = hexBytes(before);
    QVERIFY(deparser.deparse(KeypadEvent(0x1F), bytes));
    QCOMPARE(bytes.toHex(), after);
    QCOMPARE(deparser.errorCount(), quint64(0));
}

void tst_Events::deparseSystemEventFails()
{
    EventDeparser deparser;
    ModbusBytes bytes = hexBytes("aa");
    QVERIFY(!deparser.deparse(SystemEvent(2), bytes));
    QCOMPARE(bytes.toHex(), QByteArray("aa"));
    QCOMPARE(
        deparser.errorString(),
        QStringLiteral("Modbus event deparser deparse error: unsupported event type; bytes: aa"));
    QCOMPARE(deparser.errorCount(), quint64(1));
}

void tst_Events::keypadRoundTrip()
{
    EventDeparser deparser;
    EventParser parser;
    for (int code = 0; code <= 255; ++code) {
        const KeypadEvent sent(static_cast<quint8>(code));
        ModbusBytes bytes;
        QVERIFY(deparser.deparse(sent, bytes));
        const std::unique_ptr<IEvent> received(parser.parse(bytes));
        const auto *keypad = dynamic_cast<const KeypadEvent *>(received.get());
        QVERIFY(keypad);
        QVERIFY(*keypad == sent);
    }
}

void tst_Events::equality()
{
    QVERIFY(KeypadEvent(5) == KeypadEvent(5));
    QVERIFY(KeypadEvent(5) != KeypadEvent(6));
    QVERIFY(SystemEvent(2) != SystemEvent(3));
    QVERIFY(SystemEvent(3) == SystemEvent(3));
    QVERIFY(KeypadEvent() == KeypadEvent(0));
    // Through the base only the types count.
    const IEvent &keypad = KeypadEvent(5);
    const IEvent &system = SystemEvent(5);
    QVERIFY(keypad != system);
    QVERIFY(keypad == KeypadEvent(6));
}

void tst_Events::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("keypad, one line")
        << KeypadEvent(26).toString(true) << "type: keyboard event; key: 26 (0x1a); ";
    QTest::newRow("keypad, lines")
        << KeypadEvent(26).toString(false) << "type: keyboard event\nkey: 26 (0x1a)\n";
    QTest::newRow("system, one line")
        << SystemEvent(3).toString(true) << "type: ?; system code: 3 (0x3); ";
    QTest::newRow("default system")
        << SystemEvent().toString(false) << "type: ?\nsystem code: 0 (0x0)\n";
    QTest::newRow("parser") << EventParser().toString(true) << "Event parser; ";
    QTest::newRow("deparser") << EventDeparser().toString(false) << "Event deparser\n";
}

void tst_Events::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(tst_Events)
#include "tst_events.moc"
