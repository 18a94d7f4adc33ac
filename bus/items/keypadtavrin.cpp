#include "keypadtavrin.h"

namespace {

using ChangedSignal = void (KeypadTavrin::*)(bool);

// In the order of the key indexes.
const ChangedSignal changedSignals[] = {
    &KeypadTavrin::key0Changed,         &KeypadTavrin::key1Changed,
    &KeypadTavrin::key2Changed,         &KeypadTavrin::key3Changed,
    &KeypadTavrin::key4Changed,         &KeypadTavrin::key5Changed,
    &KeypadTavrin::key6Changed,         &KeypadTavrin::key7Changed,
    &KeypadTavrin::key8Changed,         &KeypadTavrin::key9Changed,
    &KeypadTavrin::keyPlusMinusChanged, &KeypadTavrin::keyPointChanged,
    &KeypadTavrin::keyMenuChanged,      &KeypadTavrin::keyLogChanged,
    &KeypadTavrin::keyEscapeChanged,    &KeypadTavrin::keyEnterChanged,
    &KeypadTavrin::keyBackspaceChanged, &KeypadTavrin::keyUpChanged,
    &KeypadTavrin::keyDownChanged,      &KeypadTavrin::keyLeftChanged,
    &KeypadTavrin::keyRightChanged,     &KeypadTavrin::keyPowerChanged,
};

} // namespace

KeypadTavrin::KeypadTavrin(QObject *parent) : Keypad(parent)
{
    static_assert(sizeof(changedSignals) / sizeof(changedSignals[0]) == KeyCount,
                  "one change signal per key");
}

KeypadTavrin::~KeypadTavrin() = default;

const KeypadTavrin::KeyInfo *KeypadTavrin::findKey(quint8 code)
{
    // The panel's codes: row and column, four rows of five plus power (1) and enter (5).
    static const KeyInfo keys[] = {
        {1, KeyPowerIndex, Qt::Key_unknown, 0},   {5, KeyEnterIndex, Qt::Key_Return, 0},
        {11, Key0Index, Qt::Key_0, '0'},          {12, KeyPlusMinusIndex, Qt::Key_plusminus, 0},
        {13, KeyPointIndex, Qt::Key_Period, '.'}, {14, KeyEscapeIndex, Qt::Key_Escape, 0},
        {15, KeyDownIndex, Qt::Key_Down, 0},      {21, Key7Index, Qt::Key_7, '7'},
        {22, Key8Index, Qt::Key_8, '8'},          {23, Key9Index, Qt::Key_9, '9'},
        {24, KeyLeftIndex, Qt::Key_Left, 0},      {25, KeyRightIndex, Qt::Key_Right, 0},
        {31, Key4Index, Qt::Key_4, '4'},          {32, Key5Index, Qt::Key_5, '5'},
        {33, Key6Index, Qt::Key_6, '6'},          {34, KeyLogIndex, Qt::Key_unknown, 0},
        {35, KeyUpIndex, Qt::Key_Up, 0},          {41, Key1Index, Qt::Key_1, '1'},
        {42, Key2Index, Qt::Key_2, '2'},          {43, Key3Index, Qt::Key_3, '3'},
        {44, KeyMenuIndex, Qt::Key_Home, 0},      {45, KeyBackspaceIndex, Qt::Key_Backspace, 0},
    };
    const quint8 keyCode = code & 0x7F;
    for (const KeyInfo &info : keys) {
        if (info.code == keyCode)
            return &info;
    }
    return nullptr;
}

bool KeypadTavrin::parseKeyCode(quint8 code, Qt::Key &key, QChar &text, bool &pressed)
{
    pressed = (code & 0x80) != 0;
    const KeyInfo *info = findKey(code);
    if (!info || info->key == Qt::Key_unknown)
        return false;
    key = info->key;
    if (info->text)
        text = QChar::fromLatin1(info->text);
    return true;
}

void KeypadTavrin::keypadEventReceived(quint8 code)
{
    if (const KeyInfo *info = findKey(code))
        setKey(info->index, (code & 0x80) != 0);
}

void KeypadTavrin::setKey(KeyIndex index, bool value)
{
    if (m_keys[index] == value)
        return;
    m_keys[index] = value;
    const ChangedSignal changed = changedSignals[index];
    emit(this->*changed)(value);
}
