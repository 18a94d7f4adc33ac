#ifndef PANELKEYS_H
#define PANELKEYS_H

#include "eventer.h"
#include "menudriver.h"

#include <QHash>
#include <QObject>

// The instrument's front panel for whole-menu tests: one press and release of a key as the
// instrument's event protocol brings it (key-code bytes through the menu's eventer to its
// `deviceKeypad`), so the keys travel the hardware path, not the desktop keyboard's.
namespace PanelKeys {

// The panel's code of a Qt key; the Log key has none (panelCode below).
inline int codeOf(Qt::Key key)
{
    static const QHash<int, int> codes{
        {Qt::Key_Return, 5},  {Qt::Key_0, 11},    {Qt::Key_plusminus, 12}, {Qt::Key_Period, 13},
        {Qt::Key_Escape, 14}, {Qt::Key_Down, 15}, {Qt::Key_7, 21},         {Qt::Key_8, 22},
        {Qt::Key_9, 23},      {Qt::Key_Left, 24}, {Qt::Key_Right, 25},     {Qt::Key_4, 31},
        {Qt::Key_5, 32},      {Qt::Key_6, 33},    {Qt::Key_Up, 35},        {Qt::Key_1, 41},
        {Qt::Key_2, 42},      {Qt::Key_3, 43},    {Qt::Key_Home, 44},      {Qt::Key_Backspace, 45}};
    return codes.value(key, -1);
}

constexpr int logKey = 34;

// A key going down or up. False when the menu has no keypad with an eventer or the key is not
// on the panel.
inline bool sendCode(MenuDriver &menu, int code, bool down)
{
    QObject *keypad = menu.object(QStringLiteral("deviceKeypad"));
    auto *eventer =
        keypad ? qobject_cast<Eventer *>(keypad->property("eventer").value<QObject *>()) : nullptr;
    if (!eventer || code < 0)
        return false;
    emit eventer->keypadEvent(quint8(down ? code | 0x80 : code));
    return true;
}

inline bool pressCode(MenuDriver &menu, int code)
{
    if (!sendCode(menu, code, true) || !sendCode(menu, code, false))
        return false;
    MenuDriver::settle(10);
    return true;
}

inline bool press(MenuDriver &menu, Qt::Key key)
{
    return pressCode(menu, codeOf(key));
}

} // namespace PanelKeys

#endif // PANELKEYS_H
