#include "eventer.h"
#include "keypadtavrin.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJSEngine>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QShortcut>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

// One key event as the focused item received it.
struct KeyRecord
{
    bool press;
    int key;
    QString text;
    bool autoRepeat;
    int count;
    Qt::KeyboardModifiers modifiers;
    qint64 at; // milliseconds on the test's clock
};

// The item that has the focus in the window: it keeps every key event it gets.
class KeyRecorder : public QQuickItem
{
public:
    explicit KeyRecorder(const QElapsedTimer &clock) : m_clock(clock) {}

    QList<KeyRecord> records;
    // Keys it records but leaves to its parents.
    QList<int> ignoredKeys;

    QList<KeyRecord> repeats() const
    {
        QList<KeyRecord> result;
        for (const KeyRecord &r : records) {
            if (r.autoRepeat)
                result.append(r);
        }
        return result;
    }
    int repeatedPresses() const
    {
        int n = 0;
        for (const KeyRecord &r : records)
            n += r.autoRepeat && r.press;
        return n;
    }

protected:
    void keyPressEvent(QKeyEvent *event) override { record(true, event); }
    void keyReleaseEvent(QKeyEvent *event) override { record(false, event); }

private:
    void record(bool press, QKeyEvent *event)
    {
        records.append({press, event->key(), event->text(), event->isAutoRepeat(), event->count(),
                        event->modifiers(), m_clock.elapsed()});
        event->setAccepted(!ignoredKeys.contains(event->key()));
    }

    const QElapsedTimer &m_clock;
};

const QStringList keyProperties = {
    "key0",    "key1",    "key2",      "key3",     "key4",         "key5",
    "key6",    "key7",    "key8",      "key9",     "keyPlusMinus", "keyPoint",
    "keyMenu", "keyLog",  "keyEscape", "keyEnter", "keyBackspace", "keyUp",
    "keyDown", "keyLeft", "keyRight",  "keyPower"};

// The panel as the instrument's documentation gives it: code, property, Qt key (0: none), text.
struct PanelKey
{
    int code;
    const char *property;
    int key;
    const char *text;
};
const PanelKey panel[] = {
    {1, "keyPower", 0, nullptr},
    {5, "keyEnter", Qt::Key_Return, nullptr},
    {11, "key0", Qt::Key_0, "0"},
    {12, "keyPlusMinus", Qt::Key_plusminus, nullptr},
    {13, "keyPoint", Qt::Key_Period, "."},
    {14, "keyEscape", Qt::Key_Escape, nullptr},
    {15, "keyDown", Qt::Key_Down, nullptr},
    {21, "key7", Qt::Key_7, "7"},
    {22, "key8", Qt::Key_8, "8"},
    {23, "key9", Qt::Key_9, "9"},
    {24, "keyLeft", Qt::Key_Left, nullptr},
    {25, "keyRight", Qt::Key_Right, nullptr},
    {31, "key4", Qt::Key_4, "4"},
    {32, "key5", Qt::Key_5, "5"},
    {33, "key6", Qt::Key_6, "6"},
    {34, "keyLog", 0, nullptr},
    {35, "keyUp", Qt::Key_Up, nullptr},
    {41, "key1", Qt::Key_1, "1"},
    {42, "key2", Qt::Key_2, "2"},
    {43, "key3", Qt::Key_3, "3"},
    {44, "keyMenu", Qt::Key_Home, nullptr},
    {45, "keyBackspace", Qt::Key_Backspace, nullptr},
};

constexpr quint8 pressed(int code)
{
    return quint8(code | 0x80);
}

QStringList heldKeys(const QObject &keypad)
{
    QStringList held;
    for (const QString &name : keyProperties) {
        if (keypad.property(name.toLatin1()).toBool())
            held.append(name);
    }
    return held;
}

// The ignore list QML would give for keys that must never repeat.
QVariant enterEscapeHome()
{
    return QVariantList{int(Qt::Key_Enter), int(Qt::Key_Return), int(Qt::Key_Escape),
                        int(Qt::Key_Home)};
}

} // namespace

Q_DECLARE_METATYPE(Qt::Key)

// The instrument's keypad in an offscreen Qt Quick window with a focused item: the key table,
// the order of signals, the posted key events and their auto-repeat, and the eventer link.
class tst_Keypad : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaults();
    void keyTable_data();
    void keyTable();
    void codesOutsideTheTable();
    void signalOrderOfPressAndRelease();
    void samePressTwice();
    void disabledKeypadIsSilent();
    void noKeyEvents_data();
    void noKeyEvents();
    void repeat_data();
    void repeat();
    void repeatFollowsTheLastKey();
    void ignoreList_data();
    void ignoreList();
    void ignoreListFromScript_data();
    void ignoreListFromScript();
    void ignoredReleaseKeepsTheRepeat();
    void turningOffStopsTheRepeat_data();
    void turningOffStopsTheRepeat();
    void eventer();
    void eventerInAnotherThread();
    void keysLeftByTheFocusedItemReachItsParents();
    void shortcutsOfTheWindowApply();

private:
    void send(quint8 code) { emit m_eventer->keypadEvent(code); }
    void loseFocus()
    {
        // Hiding is not enough offscreen: the hidden window stays the focus window.
        m_window->destroy();
        QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::focusObject(), 5000);
    }
    // Lets posted key events and the timers run for a while.
    static void settle(int ms = 0) { QTest::qWait(ms); }

    QElapsedTimer m_clock;
    std::unique_ptr<Eventer> m_eventer;
    std::unique_ptr<KeypadTavrin> m_keypad;
    std::unique_ptr<QQuickWindow> m_window;
    KeyRecorder *m_recorder = nullptr; // owned by the window's content item
};

void tst_Keypad::init()
{
    m_clock.start();
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(100, 100);
    m_recorder = new KeyRecorder(m_clock);
    m_recorder->setParentItem(m_window->contentItem());
    m_window->show();
    m_window->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_recorder->forceActiveFocus();
    QCOMPARE(QGuiApplication::focusObject(), m_recorder);

    m_eventer = std::make_unique<Eventer>();
    m_keypad = std::make_unique<KeypadTavrin>();
    m_keypad->setEventer(m_eventer.get());
}

void tst_Keypad::cleanup()
{
    m_keypad.reset();
    m_eventer.reset();
    m_recorder = nullptr;
    m_window.reset();
}

void tst_Keypad::defaults()
{
    QVERIFY(m_keypad->retranslate());
    QVERIFY(m_keypad->enabled());
    QVERIFY(m_keypad->autoRepeat());
    QCOMPARE(m_keypad->autoRepeatPause(), 700);
    QCOMPARE(m_keypad->autoRepeatInterval(), 150);
    QVERIFY(m_keypad->autoRepeatRelease());
    QVERIFY(!m_keypad->autoRepeatIgnoreKeys().isValid());
    QVERIFY(heldKeys(*m_keypad).isEmpty());
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::keyTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");

    for (const PanelKey &k : panel) {
        QString row = QStringLiteral("code %1, %2").arg(k.code).arg(k.property);
        if (k.code == 44)
            row += QLatin1String(" gives Home");
        else if (k.code == 5)
            row += QLatin1String(" gives Return");
        else if (!k.key)
            row += QLatin1String(", no Qt key");
        // A key without a character still carries one U+0000 character.
        QTest::newRow(qPrintable(row)) << k.code << QString(k.property) << k.key
                                       << (k.text ? QString(k.text) : QString(QChar(0)));
    }
}

void tst_Keypad::keyTable()
{
    QFETCH(int, code);
    QFETCH(QString, property);
    QFETCH(int, key);
    QFETCH(QString, text);

    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy keySpy(m_keypad.get(), &Keypad::keypadEvent);

    send(pressed(code));
    QCOMPARE(heldKeys(*m_keypad), QStringList{property});
    settle();
    send(quint8(code));
    QVERIFY(heldKeys(*m_keypad).isEmpty());
    settle();

    QCOMPARE(codeSpy.size(), 2);
    QCOMPARE(codeSpy.at(0).at(0).toInt(), pressed(code));
    QCOMPARE(codeSpy.at(1).at(0).toInt(), code);
    if (!key) {
        QCOMPARE(keySpy.size(), 0);
        QVERIFY(m_recorder->records.isEmpty());
        return;
    }
    QCOMPARE(keySpy.size(), 2);
    QCOMPARE(keySpy.at(0).at(0).value<Qt::Key>(), Qt::Key(key));
    QCOMPARE(keySpy.at(0).at(1).toBool(), true);
    QCOMPARE(keySpy.at(1).at(0).value<Qt::Key>(), Qt::Key(key));
    QCOMPARE(keySpy.at(1).at(1).toBool(), false);

    QCOMPARE(m_recorder->records.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const KeyRecord &r = m_recorder->records.at(i);
        QCOMPARE(r.press, i == 0);
        QCOMPARE(r.key, key);
        QCOMPARE(r.text, text);
        QCOMPARE(r.text.size(), 1);
        QVERIFY(!r.autoRepeat);
        QCOMPARE(r.count, 1);
        QCOMPARE(r.modifiers, Qt::NoModifier);
    }
}

void tst_Keypad::codesOutsideTheTable()
{
    QSet<int> known;
    for (const PanelKey &k : panel)
        known.insert(k.code);
    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy keySpy(m_keypad.get(), &Keypad::keypadEvent);

    QList<int> sent;
    for (int code = 0; code < 128; ++code) {
        if (known.contains(code))
            continue;
        send(pressed(code));
        QVERIFY2(heldKeys(*m_keypad).isEmpty(), qPrintable(QString::number(code)));
        send(quint8(code));
        sent << pressed(code) << code;
    }
    settle(50);

    QCOMPARE(sent.size(), 2 * (128 - 22));
    QList<int> received;
    for (const QList<QVariant> &args : codeSpy)
        received.append(args.at(0).toInt());
    QCOMPARE(received, sent);
    QCOMPARE(keySpy.size(), 0);
    QVERIFY(m_recorder->records.isEmpty());
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::signalOrderOfPressAndRelease()
{
    QStringList order;
    connect(m_keypad.get(), &KeypadTavrin::key0Changed, this, [&](bool v) {
        order << QStringLiteral("key0Changed(%1)").arg(QVariant(v).toString());
    });
    connect(m_keypad.get(), &Keypad::keypadCodeEvent, this,
            [&](quint8 c) { order << QStringLiteral("keypadCodeEvent(%1)").arg(c); });
    connect(m_keypad.get(), &Keypad::keypadEvent, this, [&](Qt::Key k, bool p) {
        order << QStringLiteral("keypadEvent(%1, %2)").arg(int(k)).arg(QVariant(p).toString());
        // Posted, not sent: the item has not seen the key yet.
        order << QStringLiteral("item has %1 events").arg(m_recorder->records.size());
    });

    send(0x8B);
    QVERIFY(m_keypad->repeating());
    settle();
    send(0x0B);
    QVERIFY(!m_keypad->repeating());
    settle();

    const QStringList expected = {"key0Changed(true)",      "keypadCodeEvent(139)",
                                  "keypadEvent(48, true)",  "item has 0 events",
                                  "key0Changed(false)",     "keypadCodeEvent(11)",
                                  "keypadEvent(48, false)", "item has 1 events"};
    QCOMPARE(order, expected);
    QCOMPARE(m_recorder->records.size(), 2);
    QVERIFY(m_recorder->records.at(0).press);
    QVERIFY(!m_recorder->records.at(1).press);
}

void tst_Keypad::samePressTwice()
{
    QSignalSpy changed(m_keypad.get(), &KeypadTavrin::key5Changed);
    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy keySpy(m_keypad.get(), &Keypad::keypadEvent);

    send(pressed(32));
    send(pressed(32));
    settle();

    QCOMPARE(changed.size(), 1);
    QCOMPARE(codeSpy.size(), 2);
    QCOMPARE(keySpy.size(), 2);
    QCOMPARE(m_recorder->records.size(), 2);
    QVERIFY(m_recorder->records.at(1).press);
}

void tst_Keypad::disabledKeypadIsSilent()
{
    m_keypad->setEnabled(false);
    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy keySpy(m_keypad.get(), &Keypad::keypadEvent);
    QSignalSpy changed(m_keypad.get(), &KeypadTavrin::key8Changed);

    send(pressed(22));
    settle(20);

    QVERIFY(heldKeys(*m_keypad).isEmpty());
    QCOMPARE(codeSpy.size(), 0);
    QCOMPARE(keySpy.size(), 0);
    QCOMPARE(changed.size(), 0);
    QVERIFY(m_recorder->records.isEmpty());
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::noKeyEvents_data()
{
    QTest::addColumn<bool>("retranslate");
    QTest::addColumn<bool>("focus");

    QTest::newRow("retranslate off") << false << true;
    QTest::newRow("no focus object") << true << false;
}

void tst_Keypad::noKeyEvents()
{
    QFETCH(bool, retranslate);
    QFETCH(bool, focus);

    m_keypad->setRetranslate(retranslate);
    if (!focus)
        loseFocus();
    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy keySpy(m_keypad.get(), &Keypad::keypadEvent);

    send(pressed(22));
    QCOMPARE(heldKeys(*m_keypad), QStringList{"key8"});
    QVERIFY(!m_keypad->repeating());
    send(22);
    settle(20);

    QCOMPARE(codeSpy.size(), 2);
    QCOMPARE(keySpy.size(), 2);
    QVERIFY(m_recorder->records.isEmpty());
}

void tst_Keypad::repeat_data()
{
    QTest::addColumn<bool>("release");

    QTest::newRow("press and release") << true;
    QTest::newRow("presses only") << false;
}

void tst_Keypad::repeat()
{
    QFETCH(bool, release);

    // 700 and 150 ms shortened; the bounds leave room for a loaded machine.
    const int pause = 300;
    const int interval = 100;
    m_keypad->setAutoRepeatPause(pause);
    m_keypad->setAutoRepeatInterval(interval);
    m_keypad->setAutoRepeatRelease(release);
    qint64 pressedAt = -1;
    connect(m_keypad.get(), &Keypad::keypadEvent, this, [&](Qt::Key, bool p) {
        if (p)
            pressedAt = m_clock.elapsed();
    });

    send(pressed(22));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() >= 3, 10000);
    send(22);
    const int repeats = m_recorder->repeatedPresses();
    settle(3 * interval);

    const QList<KeyRecord> &records = m_recorder->records;
    QCOMPARE(m_recorder->repeatedPresses(), repeats);
    QCOMPARE(records.size(), 2 + repeats * (release ? 2 : 1));
    QVERIFY(records.first().press && !records.first().autoRepeat);
    QVERIFY(!records.last().press && !records.last().autoRepeat);
    for (const KeyRecord &r : records) {
        QCOMPARE(r.key, int(Qt::Key_8));
        QCOMPARE(r.text, QString("8"));
    }

    const QList<KeyRecord> repeated = m_recorder->repeats();
    QList<qint64> pressTimes;
    for (int i = 0; i < repeated.size(); ++i) {
        const KeyRecord &r = repeated.at(i);
        QCOMPARE(r.count, 1);
        QCOMPARE(r.press, release ? i % 2 == 0 : true);
        if (r.press)
            pressTimes.append(r.at);
    }
    // Not earlier than the pause, then not earlier than the interval; the second gap well below
    // the pause shows that the interval took over.
    QVERIFY2(pressTimes.at(0) - pressedAt >= pause - 1,
             qPrintable(QString::number(pressTimes.at(0) - pressedAt)));
    for (int i = 1; i < pressTimes.size(); ++i) {
        const qint64 gap = pressTimes.at(i) - pressTimes.at(i - 1);
        QVERIFY2(gap >= interval - 20, qPrintable(QString::number(gap)));
    }
    QVERIFY2(pressTimes.at(1) - pressTimes.at(0) < pause,
             qPrintable(QString::number(pressTimes.at(1) - pressTimes.at(0))));
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::repeatFollowsTheLastKey()
{
    m_keypad->setAutoRepeatPause(30);
    m_keypad->setAutoRepeatInterval(20);

    send(pressed(22)); // 8
    send(pressed(23)); // 9 replaces 8
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() >= 2, 5000);
    // Releasing a key other than the repeating one ends the repeat too.
    send(22);
    QVERIFY(!m_keypad->repeating());
    const int repeats = m_recorder->repeatedPresses();
    settle(100);

    QCOMPARE(m_recorder->repeatedPresses(), repeats);
    for (const KeyRecord &r : m_recorder->repeats())
        QCOMPARE(r.key, int(Qt::Key_9));
    QCOMPARE(heldKeys(*m_keypad), QStringList{"key9"});
}

void tst_Keypad::ignoreList_data()
{
    QTest::addColumn<QVariant>("ignore");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("repeats");

    QTest::newRow("list, enter") << enterEscapeHome() << 5 << false;
    QTest::newRow("list, menu") << enterEscapeHome() << 44 << false;
    QTest::newRow("list, escape") << enterEscapeHome() << 14 << false;
    QTest::newRow("list, key 8") << enterEscapeHome() << 22 << true;
    QTest::newRow("list of numbers from script, enter")
        << QVariant(QVariantList{double(Qt::Key_Return)}) << 5 << false;
    QTest::newRow("one integer, its key") << QVariant(int(Qt::Key_Return)) << 5 << false;
    QTest::newRow("one integer, another key") << QVariant(int(Qt::Key_Return)) << 44 << true;
    QTest::newRow("text ignores nothing") << QVariant(QString::number(Qt::Key_Return)) << 5 << true;
    QTest::newRow("list of texts ignores nothing")
        << QVariant(QVariantList{QString::number(Qt::Key_Return)}) << 5 << true;
    QTest::newRow("invalid ignores nothing") << QVariant() << 5 << true;
}

void tst_Keypad::ignoreList()
{
    QFETCH(QVariant, ignore);
    QFETCH(int, code);
    QFETCH(bool, repeats);

    m_keypad->setAutoRepeatPause(30);
    m_keypad->setAutoRepeatInterval(20);
    m_keypad->setAutoRepeatIgnoreKeys(ignore);

    send(pressed(code));
    QCOMPARE(m_keypad->repeating(), repeats);
    if (repeats)
        QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() >= 1, 5000);
    else
        settle(120);
    send(quint8(code));
    settle();

    if (!repeats) {
        QCOMPARE(m_recorder->records.size(), 2);
        QVERIFY(m_recorder->records.at(0).press);
        QVERIFY(!m_recorder->records.at(1).press);
    }
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::ignoreListFromScript_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("returnIgnored");

    QTest::newRow("array") << "keypad.autoRepeatIgnoreKeys = [16777221, 16777220, 16777216]"
                           << true;
    QTest::newRow("one number") << "keypad.autoRepeatIgnoreKeys = 16777220" << true;
    QTest::newRow("array without it") << "keypad.autoRepeatIgnoreKeys = [16777216]" << false;
    QTest::newRow("text") << "keypad.autoRepeatIgnoreKeys = '16777220'" << false;
}

// QML hands script values over: arrays and numbers must still read as keys.
void tst_Keypad::ignoreListFromScript()
{
    QFETCH(QString, script);
    QFETCH(bool, returnIgnored);

    QJSEngine engine;
    QJSEngine::setObjectOwnership(m_keypad.get(), QJSEngine::CppOwnership);
    engine.globalObject().setProperty("keypad", engine.newQObject(m_keypad.get()));
    const QJSValue result = engine.evaluate(script);
    QVERIFY2(!result.isError(), qPrintable(result.toString()));

    send(pressed(5));
    QCOMPARE(m_keypad->repeating(), !returnIgnored);
    send(5);
}

void tst_Keypad::ignoredReleaseKeepsTheRepeat()
{
    m_keypad->setAutoRepeatPause(30);
    m_keypad->setAutoRepeatInterval(20);
    m_keypad->setAutoRepeatIgnoreKeys(enterEscapeHome());

    send(pressed(22));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() >= 1, 5000);
    send(pressed(5));
    send(5);
    QVERIFY(m_keypad->repeating());
    const int repeats = m_recorder->repeatedPresses();
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() > repeats, 5000);
    for (const KeyRecord &r : m_recorder->repeats())
        QCOMPARE(r.key, int(Qt::Key_8));
    send(22);
    QVERIFY(!m_keypad->repeating());
}

void tst_Keypad::turningOffStopsTheRepeat_data()
{
    QTest::addColumn<QByteArray>("property");

    QTest::newRow("enabled") << QByteArray("enabled");
    QTest::newRow("retranslate") << QByteArray("retranslate");
    // Ends at the next timeout rather than at once.
    QTest::newRow("autoRepeat") << QByteArray("autoRepeat");
    QTest::newRow("focus lost") << QByteArray("focus");
}

void tst_Keypad::turningOffStopsTheRepeat()
{
    QFETCH(QByteArray, property);

    m_keypad->setAutoRepeatPause(30);
    m_keypad->setAutoRepeatInterval(20);

    send(pressed(22));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->repeatedPresses() >= 1, 5000);
    if (property == "focus")
        loseFocus();
    else
        QVERIFY(m_keypad->setProperty(property, false));
    QTRY_VERIFY_WITH_TIMEOUT(!m_keypad->repeating(), 5000);
    settle();
    const int records = m_recorder->records.size();
    settle(100);

    QCOMPARE(m_recorder->records.size(), records);
    // The final release never came through: the item saw only presses and repeats.
    for (const KeyRecord &r : m_recorder->records)
        QVERIFY(r.press || r.autoRepeat);
}

void tst_Keypad::eventer()
{
    QSignalSpy eventerChanged(m_keypad.get(), &Keypad::eventerChanged);
    QSignalSpy codeSpy(m_keypad.get(), &Keypad::keypadCodeEvent);
    QSignalSpy errors(m_keypad.get(), &ErrObject::error);

    m_keypad->setEventer(m_eventer.get());
    QCOMPARE(eventerChanged.size(), 0);

    send(pressed(1));
    QCOMPARE(codeSpy.size(), 1);
    m_eventer->setErrorString("unsupported event type received from event translator: 9");
    QCOMPARE(errors.size(), 1);
    QCOMPARE(m_keypad->errorString(),
             QString("unsupported event type received from event translator: 9"));
    QCOMPARE(m_keypad->errorCount(), 1u);

    m_keypad->setEventer(nullptr);
    QCOMPARE(eventerChanged.size(), 1);
    QCOMPARE(m_keypad->eventer(), nullptr);
    send(1);
    m_eventer->setErrorString("lost");
    QCOMPARE(codeSpy.size(), 1);
    QCOMPARE(errors.size(), 1);
    QVERIFY(m_keypad->keyPower());

    // An eventer destroyed while set: the keypad reads it as gone and takes another.
    auto other = std::make_unique<Eventer>();
    m_keypad->setEventer(other.get());
    QCOMPARE(eventerChanged.size(), 2);
    other.reset();
    QCOMPARE(m_keypad->eventer(), nullptr);
    m_keypad->setEventer(m_eventer.get());
    QCOMPARE(eventerChanged.size(), 3);
    send(1);
    QCOMPARE(codeSpy.size(), 2);
    QVERIFY(!m_keypad->keyPower());
}

void tst_Keypad::eventerInAnotherThread()
{
    QThread *handledIn = nullptr;
    connect(
        m_keypad.get(), &Keypad::keypadCodeEvent, this,
        [&](quint8) { handledIn = QThread::currentThread(); }, Qt::DirectConnection);

    std::unique_ptr<QThread> reader(QThread::create([this] { send(pressed(41)); }));
    reader->start();
    QVERIFY(reader->wait(5000));
    QTRY_VERIFY_WITH_TIMEOUT(m_keypad->key1(), 5000);

    QCOMPARE(handledIn, QThread::currentThread());
    settle();
    QCOMPARE(m_recorder->records.size(), 1);
    QCOMPARE(m_recorder->records.at(0).key, int(Qt::Key_1));
}

void tst_Keypad::keysLeftByTheFocusedItemReachItsParents()
{
    // A real key press comes through the window: what the focused item leaves goes on up.
    auto *child = new KeyRecorder(m_clock);
    child->setParentItem(m_recorder);
    child->ignoredKeys = {Qt::Key_Down};
    child->forceActiveFocus();
    QCOMPARE(QGuiApplication::focusObject(), child);

    send(pressed(15)); // Down
    send(pressed(35)); // Up
    QTRY_COMPARE_WITH_TIMEOUT(child->records.size(), 2, 2000);
    settle();
    QCOMPARE(child->records.at(0).key, int(Qt::Key_Down));
    QCOMPARE(child->records.at(1).key, int(Qt::Key_Up));
    QCOMPARE(m_recorder->records.size(), 1);
    QCOMPARE(m_recorder->records.at(0).key, int(Qt::Key_Down));
    QVERIFY(m_recorder->records.at(0).press);
}

void tst_Keypad::shortcutsOfTheWindowApply()
{
    QShortcut shortcut(QKeySequence(Qt::Key_Left), m_window.get());
    QSignalSpy activated(&shortcut, &QShortcut::activated);
    send(pressed(24)); // Left
    QTRY_COMPARE_WITH_TIMEOUT(activated.size(), 1, 2000);
    send(quint8(24));
    settle();
    QCOMPARE(activated.size(), 1);
}

QTEST_MAIN(tst_Keypad)

#include "tst_keypad.moc"
