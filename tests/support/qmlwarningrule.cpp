#include "qmlwarningrule.h"

#include <QQmlEngine>
#include <QQmlError>
#include <QRegularExpression>
#include <QTest>

namespace {

QtMessageHandler g_previous = nullptr;
std::function<void(const QString &)> g_reporter;
QStringList g_unreported;
bool g_reporting = false;

void report(const QString &message)
{
    if (g_reporter) {
        g_reporter(message);
    } else if (QTest::currentTestFunction()) {
        const QByteArray text = "QML warning of the menu: " + message.toUtf8();
        QTest::qFail(text.constData(), __FILE__, __LINE__);
    } else {
        g_unreported << message;
    }
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (g_previous)
        g_previous(type, context, message);
    // A failure report may print again: that message is not looked at.
    if (g_reporting || (type != QtWarningMsg && type != QtCriticalMsg))
        return;
    if (!QmlWarningRule::breaks(message))
        return;
    g_reporting = true;
    report(message);
    g_reporting = false;
}

} // namespace

bool QmlWarningRule::breaks(const QString &message)
{
    // "file:///…/share/menu/qml/X.qml:12:5: TypeError: …", "qrc:/share/menu/qml/X.qml:3: QML
    // Item: Binding loop detected for property \"width\"".
    static const QRegularExpression pattern(
        QStringLiteral("share/menu/qml/[^\\s:]+\\.qml:\\d+(:\\d+)?: .*"
                       "(TypeError|ReferenceError|Unable to assign|Binding loop detected)"));
    return pattern.match(message).hasMatch();
}

void QmlWarningRule::install()
{
    const QtMessageHandler current = qInstallMessageHandler(handleMessage);
    if (current != handleMessage)
        g_previous = current;
}

void QmlWarningRule::setReporter(std::function<void(const QString &)> reporter)
{
    g_reporter = std::move(reporter);
}

void QmlWarningRule::watch(QQmlEngine *engine)
{
    QObject::connect(engine, &QQmlEngine::warnings, engine, [](const QList<QQmlError> &warnings) {
        for (const QQmlError &warning : warnings) {
            const QString message = warning.toString();
            if (!g_reporting && breaks(message)) {
                g_reporting = true;
                report(message);
                g_reporting = false;
            }
        }
    });
}

QStringList QmlWarningRule::unreported()
{
    return g_unreported;
}
