// Qt Quick Test of the popup layer, the dialogs and the base style. The QML cases live in
// popuplayer/; each wraps its subject in TestHarness.qml, which declares the shell's global ids.
#include "vlog.h"

#include <QMutex>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

namespace {

// The test's stand-in for the program's context object: what the popup layer reads of it.
class TestMenuContext : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool embedded MEMBER m_embedded NOTIFY embeddedChanged)
    Q_PROPERTY(bool verbose MEMBER m_verbose NOTIFY verboseChanged)
    Q_PROPERTY(int restartCount MEMBER m_restartCount NOTIFY restartCountChanged)
public:
    Q_INVOKABLE void beginRestartMenu()
    {
        ++m_restartCount;
        emit restartCountChanged();
    }

signals:
    void embeddedChanged();
    void verboseChanged();
    void restartCountChanged();

private:
    bool m_embedded = false;
    bool m_verbose = false;
    int m_restartCount = 0;
};

// Every message of the process, whatever its level, so that a case can assert on log lines
// written with console.log. Messages still reach the previous handler.
class MessageSink : public QObject
{
    Q_OBJECT
public:
    MessageSink() { s_sink = this; }
    ~MessageSink() override
    {
        if (m_installed)
            qInstallMessageHandler(s_previous);
        s_sink = nullptr;
    }

    // Installed once the test log runs: the test library puts its own handler in place first.
    void install()
    {
        const QtMessageHandler current = qInstallMessageHandler(&MessageSink::handle);
        if (current != &MessageSink::handle)
            s_previous = current;
        m_installed = true;
    }

    Q_INVOKABLE void clear()
    {
        // The test library may have put its handler back in place since the last case.
        install();
        QMutexLocker lock(&m_mutex);
        m_messages.clear();
    }
    Q_INVOKABLE int count(const QString &text) const
    {
        QMutexLocker lock(&m_mutex);
        return int(m_messages.count(text));
    }
    // Messages that contain text (warnings carry a file and line prefix).
    Q_INVOKABLE int countContaining(const QString &text) const
    {
        QMutexLocker lock(&m_mutex);
        int n = 0;
        for (const QString &m : m_messages)
            n += m.contains(text) ? 1 : 0;
        return n;
    }
    Q_INVOKABLE QStringList messages() const
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (s_sink) {
            QMutexLocker lock(&s_sink->m_mutex);
            s_sink->m_messages.append(text);
        }
        if (s_previous)
            s_previous(type, context, text);
    }

    static inline MessageSink *s_sink = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_messages;
    bool m_installed = false;
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_sink.install();
        QQmlContext *root = engine->rootContext();
        root->setContextProperty(QStringLiteral("menuContext"), &m_context);
        root->setContextProperty(QStringLiteral("contextLog"), &m_log);
        root->setContextProperty(QStringLiteral("testMessages"), &m_sink);
        root->setContextProperty(QStringLiteral("menuQmlRoot"),
                                 QUrl::fromLocalFile(QStringLiteral(DORRIK_MENU_QML_DIR "/")));
    }

private:
    TestMenuContext m_context;
    VLog m_log;
    MessageSink m_sink;
};

} // namespace

QUICK_TEST_MAIN_WITH_SETUP(tst_popuplayer, Setup)

#include "tst_popuplayer.moc"
