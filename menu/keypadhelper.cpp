#include "keypadhelper.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

KeypadHelper::KeypadHelper(QObject *parent) : QObject(parent) {}

void KeypadHelper::translateCharEvent(QChar c)
{
    QObject *focus = QGuiApplication::focusObject();
    if (!focus || !c.isPrint())
        return;
    // The key code is the character's own code: 'a' is 0x61, not Qt::Key_A.
    QCoreApplication::postEvent(
        focus, new QKeyEvent(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c), false, 1));
}

void KeypadHelper::translateKeyEvent(Qt::Key key)
{
    QObject *focus = QGuiApplication::focusObject();
    if (!focus)
        return;
    QCoreApplication::postEvent(
        focus, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(), false, 1));
}
