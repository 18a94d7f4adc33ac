#include "keypadhelper.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

KeypadHelper::KeypadHelper(QObject *parent) : QObject(parent) {}

// Through the focus window, as a real key press arrives, so that the parents of the focused item
// see what it leaves and the window's shortcuts apply; posted to the item itself it would stop
// there.
void KeypadHelper::translateCharEvent(QChar c)
{
    QWindow *window = QGuiApplication::focusWindow();
    if (!window || !c.isPrint())
        return;
    // The key code is the character's own code: 'a' is 0x61, not Qt::Key_A.
    QCoreApplication::postEvent(
        window, new QKeyEvent(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c), false, 1));
}

void KeypadHelper::translateKeyEvent(Qt::Key key)
{
    QWindow *window = QGuiApplication::focusWindow();
    if (!window)
        return;
    QCoreApplication::postEvent(
        window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(), false, 1));
}
