#ifndef KEYPADTAVRIN_H
#define KEYPADTAVRIN_H

#include "dorrikbus_global.h"
#include "keypad.h"

// The instrument's front panel: 22 keys, 20 of them with a Qt key. Every key's held state is a
// property, also for the power and log keys, which have no Qt key and reach QML only that way.
class DORRIKBUS_EXPORT KeypadTavrin : public Keypad
{
    Q_OBJECT
    Q_PROPERTY(bool key0 READ key0 NOTIFY key0Changed)
    Q_PROPERTY(bool key1 READ key1 NOTIFY key1Changed)
    Q_PROPERTY(bool key2 READ key2 NOTIFY key2Changed)
    Q_PROPERTY(bool key3 READ key3 NOTIFY key3Changed)
    Q_PROPERTY(bool key4 READ key4 NOTIFY key4Changed)
    Q_PROPERTY(bool key5 READ key5 NOTIFY key5Changed)
    Q_PROPERTY(bool key6 READ key6 NOTIFY key6Changed)
    Q_PROPERTY(bool key7 READ key7 NOTIFY key7Changed)
    Q_PROPERTY(bool key8 READ key8 NOTIFY key8Changed)
    Q_PROPERTY(bool key9 READ key9 NOTIFY key9Changed)
    Q_PROPERTY(bool keyPlusMinus READ keyPlusMinus NOTIFY keyPlusMinusChanged)
    Q_PROPERTY(bool keyPoint READ keyPoint NOTIFY keyPointChanged)
    Q_PROPERTY(bool keyMenu READ keyMenu NOTIFY keyMenuChanged)
    Q_PROPERTY(bool keyLog READ keyLog NOTIFY keyLogChanged)
    Q_PROPERTY(bool keyEscape READ keyEscape NOTIFY keyEscapeChanged)
    Q_PROPERTY(bool keyEnter READ keyEnter NOTIFY keyEnterChanged)
    Q_PROPERTY(bool keyBackspace READ keyBackspace NOTIFY keyBackspaceChanged)
    Q_PROPERTY(bool keyUp READ keyUp NOTIFY keyUpChanged)
    Q_PROPERTY(bool keyDown READ keyDown NOTIFY keyDownChanged)
    Q_PROPERTY(bool keyLeft READ keyLeft NOTIFY keyLeftChanged)
    Q_PROPERTY(bool keyRight READ keyRight NOTIFY keyRightChanged)
    Q_PROPERTY(bool keyPower READ keyPower NOTIFY keyPowerChanged)

public:
    explicit KeypadTavrin(QObject *parent = nullptr);
    ~KeypadTavrin() override;

    bool key0() const { return m_keys[Key0Index]; }
    bool key1() const { return m_keys[Key1Index]; }
    bool key2() const { return m_keys[Key2Index]; }
    bool key3() const { return m_keys[Key3Index]; }
    bool key4() const { return m_keys[Key4Index]; }
    bool key5() const { return m_keys[Key5Index]; }
    bool key6() const { return m_keys[Key6Index]; }
    bool key7() const { return m_keys[Key7Index]; }
    bool key8() const { return m_keys[Key8Index]; }
    bool key9() const { return m_keys[Key9Index]; }
    bool keyPlusMinus() const { return m_keys[KeyPlusMinusIndex]; }
    bool keyPoint() const { return m_keys[KeyPointIndex]; }
    bool keyMenu() const { return m_keys[KeyMenuIndex]; }
    bool keyLog() const { return m_keys[KeyLogIndex]; }
    bool keyEscape() const { return m_keys[KeyEscapeIndex]; }
    bool keyEnter() const { return m_keys[KeyEnterIndex]; }
    bool keyBackspace() const { return m_keys[KeyBackspaceIndex]; }
    bool keyUp() const { return m_keys[KeyUpIndex]; }
    bool keyDown() const { return m_keys[KeyDownIndex]; }
    bool keyLeft() const { return m_keys[KeyLeftIndex]; }
    bool keyRight() const { return m_keys[KeyRightIndex]; }
    bool keyPower() const { return m_keys[KeyPowerIndex]; }

    // Each stores and emits only on a change.
    void setKey0(bool value) { setKey(Key0Index, value); }
    void setKey1(bool value) { setKey(Key1Index, value); }
    void setKey2(bool value) { setKey(Key2Index, value); }
    void setKey3(bool value) { setKey(Key3Index, value); }
    void setKey4(bool value) { setKey(Key4Index, value); }
    void setKey5(bool value) { setKey(Key5Index, value); }
    void setKey6(bool value) { setKey(Key6Index, value); }
    void setKey7(bool value) { setKey(Key7Index, value); }
    void setKey8(bool value) { setKey(Key8Index, value); }
    void setKey9(bool value) { setKey(Key9Index, value); }
    void setKeyPlusMinus(bool value) { setKey(KeyPlusMinusIndex, value); }
    void setKeyPoint(bool value) { setKey(KeyPointIndex, value); }
    void setKeyMenu(bool value) { setKey(KeyMenuIndex, value); }
    void setKeyLog(bool value) { setKey(KeyLogIndex, value); }
    void setKeyEscape(bool value) { setKey(KeyEscapeIndex, value); }
    void setKeyEnter(bool value) { setKey(KeyEnterIndex, value); }
    void setKeyBackspace(bool value) { setKey(KeyBackspaceIndex, value); }
    void setKeyUp(bool value) { setKey(KeyUpIndex, value); }
    void setKeyDown(bool value) { setKey(KeyDownIndex, value); }
    void setKeyLeft(bool value) { setKey(KeyLeftIndex, value); }
    void setKeyRight(bool value) { setKey(KeyRightIndex, value); }
    void setKeyPower(bool value) { setKey(KeyPowerIndex, value); }

signals:
    void key0Changed(bool value);
    void key1Changed(bool value);
    void key2Changed(bool value);
    void key3Changed(bool value);
    void key4Changed(bool value);
    void key5Changed(bool value);
    void key6Changed(bool value);
    void key7Changed(bool value);
    void key8Changed(bool value);
    void key9Changed(bool value);
    void keyPlusMinusChanged(bool value);
    void keyPointChanged(bool value);
    void keyMenuChanged(bool value);
    void keyLogChanged(bool value);
    void keyEscapeChanged(bool value);
    void keyEnterChanged(bool value);
    void keyBackspaceChanged(bool value);
    void keyUpChanged(bool value);
    void keyDownChanged(bool value);
    void keyLeftChanged(bool value);
    void keyRightChanged(bool value);
    void keyPowerChanged(bool value);

protected:
    using Keypad::keypadEventReceived;
    bool parseKeyCode(quint8 code, Qt::Key &key, QChar &text, bool &pressed) override;
    void keypadEventReceived(quint8 code) override;

private:
    // The keys in the order of their properties.
    enum KeyIndex {
        Key0Index,
        Key1Index,
        Key2Index,
        Key3Index,
        Key4Index,
        Key5Index,
        Key6Index,
        Key7Index,
        Key8Index,
        Key9Index,
        KeyPlusMinusIndex,
        KeyPointIndex,
        KeyMenuIndex,
        KeyLogIndex,
        KeyEscapeIndex,
        KeyEnterIndex,
        KeyBackspaceIndex,
        KeyUpIndex,
        KeyDownIndex,
        KeyLeftIndex,
        KeyRightIndex,
        KeyPowerIndex,
        KeyCount
    };

    struct KeyInfo
    {
        quint8 code;
        KeyIndex index;
        Qt::Key key; // Qt::Key_unknown: the key has no Qt key
        char text;   // 0: no character
    };
    static const KeyInfo *findKey(quint8 code);
    void setKey(KeyIndex index, bool value);

    bool m_keys[KeyCount] = {};
};

#endif
