#ifndef QMLWARNINGRULE_H
#define QMLWARNINGRULE_H

#include <QString>
#include <QStringList>

#include <functional>

class QQmlEngine;

// The rule of the menu's tests: the QML engine prints no warning about one of the menu's own
// documents (a file under share/menu/qml): no TypeError, no ReferenceError, no value it was
// "Unable to assign", no binding loop. Installed, the rule sees every message after the test
// framework has printed it and fails the test function that runs, in QtTest and Qt Quick Test
// alike. Outside a test function (a program such as menu-shot) the breaches are kept instead.
//
// GUI thread only, like the engine whose warnings it reads.
class QmlWarningRule
{
public:
    // Whether the message is a warning the rule forbids.
    static bool breaks(const QString &message);
    // Puts the rule in front of the message handler installed now (nothing when it is there).
    static void install();
    // The rule on the engine's own warnings, whichever message handler prints them: for Qt Quick
    // Test, whose log puts its handler in front of any other once the first test case runs.
    static void watch(QQmlEngine *engine);
    // Tests of the rule itself take its reports here instead of failing; an empty function
    // restores the test failure.
    static void setReporter(std::function<void(const QString &message)> reporter);
    // The breaches seen outside any test function, oldest first.
    static QStringList unreported();
};

#endif
