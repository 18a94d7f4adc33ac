// The menu's QML units under Qt Quick Test: each tests/menu/qml/tst_*.qml file, with the
// program's "Menu" types registered, the library's module imported from the build tree and the
// program's context (MenuTestContext: its dialogs answered by the test, restarts counted) laid
// out as the program's own folder of the build.
#include "menustartup.h"
#include "menutestcontext.h"
#include "modbusitembase.h"
#include "powermanager.h"
#include "qmlwarningrule.h"
#include "vlog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMutex>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QWindow>
#include <QtQml>
#include <QtQuickTest>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QThread>

#include <cstdio>

#include <memory>
#include <vector>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMutex capturedMutex;
QStringList captured;
QtMessageHandler previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&capturedMutex);
        captured.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

// What QML cannot do by itself in a test: key events with the auto-repeat flag, and a record of
// the messages the menu logs.
class TestTools : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void sendKey(int key, bool pressed, bool autoRepeat, int modifiers = 0)
    {
        // Through the window, which hands it to the focused item and on up its parents.
        QWindow *receiver = QGuiApplication::focusWindow();
        if (!receiver && !QGuiApplication::topLevelWindows().isEmpty())
            receiver = QGuiApplication::topLevelWindows().constFirst();
        if (!receiver)
            return;
        QKeyEvent event(pressed ? QEvent::KeyPress : QEvent::KeyRelease, key,
                        Qt::KeyboardModifiers(modifiers), QString(), autoRepeat);
        QCoreApplication::sendEvent(receiver, &event);
    }

    // Starts recording; the test framework's own handler still sees every message.
    Q_INVOKABLE void captureMessages()
    {
        QMutexLocker lock(&capturedMutex);
        captured.clear();
        const QtMessageHandler current = qInstallMessageHandler(captureMessage);
        if (current != captureMessage)
            previousHandler = current;
    }
    Q_INVOKABLE QStringList messages() const
    {
        QMutexLocker lock(&capturedMutex);
        return captured;
    }

    // One sample of the touch device (the FIFO named by TSLIB_TSDEVICE), as the kernel reports
    // it: position, touch state, end of report. False when no reader opened the FIFO in time.
    Q_INVOKABLE bool touch(int x, int y, bool down)
    {
        if (m_touchFd < 0) {
            QElapsedTimer timer;
            timer.start();
            const QByteArray path = qgetenv("TSLIB_TSDEVICE");
            while (m_touchFd < 0 && timer.elapsed() < 2000) {
                m_touchFd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (m_touchFd < 0)
                    QThread::msleep(10);
            }
            if (m_touchFd < 0)
                return false;
        }
        const input_event events[] = {
            {{0, 0}, EV_ABS, ABS_X, x},
            {{0, 0}, EV_ABS, ABS_Y, y},
            {{0, 0}, EV_ABS, ABS_PRESSURE, down ? 100 : 0},
            {{0, 0}, EV_KEY, BTN_TOUCH, down ? 1 : 0},
            {{0, 0}, EV_SYN, SYN_REPORT, 0},
        };
        return ::write(m_touchFd, events, sizeof events) == ssize_t(sizeof events);
    }

    ~TestTools() override
    {
        if (m_touchFd >= 0)
            ::close(m_touchFd);
    }

    // A fresh folder tree under a temporary folder: names ending in "/" are folders, the others
    // empty files. Returns the tree's root.
    Q_INVOKABLE QString makeTree(const QStringList &entries)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QDir root(m_trees.back()->path());
        for (const QString &entry : entries) {
            if (entry.endsWith(QLatin1Char('/'))) {
                root.mkpath(entry);
            } else {
                root.mkpath(QFileInfo(entry).path());
                QFile file(root.filePath(entry));
                if (!file.open(QIODevice::WriteOnly))
                    return QString();
            }
        }
        return root.path();
    }

    // The bytes a register item holds, as hexadecimal pairs ("FF CE DD 7F").
    Q_INVOKABLE QString hexBytes(QObject *item) const
    {
        auto *registerItem = qobject_cast<ModbusItemBase *>(item);
        return registerItem ? QString::fromLatin1(registerItem->bytes().toHex(' ').toUpper())
                            : QString();
    }

    // A file of the given text in a folder of its own; returns its path.
    Q_INVOKABLE QString writeFile(const QString &name, const QString &text)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QString path = QDir(m_trees.back()->path()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return QString();
        return path;
    }

    // A PDF of `pages` pages, each with its number written on it, and the given title.
    Q_INVOKABLE QString writePdf(const QString &name, int pages, const QString &title)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QString path = QDir(m_trees.back()->path()).filePath(name);
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setPageSize(QPageSize(QPageSize::A5));
        QPainter painter(&writer);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(40);
            painter.setFont(font);
            painter.drawText(QRect(0, 0, writer.width(), writer.height() / 3), Qt::AlignCenter,
                             QStringLiteral("Page %1").arg(page));
        }
        return painter.end() ? path : QString();
    }

    // The characters of `text` that the font file does not draw.
    Q_INVOKABLE QString missingCharacters(const QString &fontFile, const QString &text) const
    {
        const QRawFont font(fontFile, 20);
        if (!font.isValid())
            return text;
        QString missing;
        for (const QChar c : text) {
            if (!font.supportsCharacter(c))
                missing.append(c);
        }
        return missing;
    }

private:
    int m_touchFd = -1;
    std::vector<std::unique_ptr<QTemporaryDir>> m_trees;
};

class MenuQmlSetup : public QObject
{
    Q_OBJECT

public:
    MenuQmlSetup()
    {
        // The menu's settings element and the context's store and user data must not reach the
        // user's own.
        qputenv("HOME", m_configHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("DorrikTest"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_menuqml"));
        // The calibration screen's touch device: a FIFO the tests write kernel events into.
        const QByteArray fifo = QFile::encodeName(m_configHome.filePath(QStringLiteral("touch")));
        ::mkfifo(fifo.constData(), 0600);
        qputenv("TSLIB_TSDEVICE", fifo);
        // "Menu", "VPlots" and "SeaBattle", as the program registers them.
        MenuStartup::registerTypes();
        // A power manager of a Starter under test never reaches this machine's power files nor
        // runs its commands.
        PowerManager::Platform power;
        power.root = m_configHome.filePath(QStringLiteral("power"));
        power.startDetached = [](const QString &, const QStringList &) { return true; };
        power.pause = [](qint64) {};
        power.quit = [] {};
        PowerManager::setTestPlatform(power);
        PowerManager::overrideEmbedded(0);
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // Qt Quick Test's log puts its message handler in front of any other: the rule reads the
        // engine's warnings themselves.
        QmlWarningRule::watch(engine);
        engine->addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
        if (!m_context) {
            // Made once the application exists, in the program's folder: its translations,
            // keypad layouts and documents.
            m_context = std::make_unique<MenuTestContext>(QStringLiteral(DORRIK_PROGRAM_DIR),
                                                          QStringList());
            m_context->restartRuns = false;
            // A first start comes up in Russian; the units read the English texts.
            m_context->applyLanguageIndex(0);
            m_context->resetConnection();
        }
        // As the main menu state sets them.
        engine->rootContext()->setContextObject(m_context.get());
        engine->rootContext()->setContextProperty(QStringLiteral("menuContext"), m_context.get());
        engine->rootContext()->setContextProperty(QStringLiteral("contextLog"), m_context->log());
        engine->rootContext()->setContextProperty(QStringLiteral("testTools"), &m_tools);
    }
    // The context goes while the application is still there.
    void cleanupTestCase() { m_context.reset(); }

private:
    QTemporaryDir m_configHome;
    std::unique_ptr<MenuTestContext> m_context;
    TestTools m_tools;
};

// As QUICK_TEST_MAIN_WITH_SETUP, and a run whose documents warned while no test function ran (a
// harness made for a document, say) fails as well.
int main(int argc, char **argv)
{
    QTEST_SET_MAIN_SOURCE_PATH
    MenuQmlSetup setup;
    const int result =
        quick_test_main_with_setup(argc, argv, "tst_menuqml", QUICK_TEST_SOURCE_DIR, &setup);
    const QStringList outside = QmlWarningRule::unreported();
    for (const QString &warning : outside)
        std::fprintf(stderr, "QML warning of the menu outside a test function: %s\n",
                     qPrintable(warning));
    return result != 0 ? result : outside.isEmpty() ? 0 : 1;
}
#include "tst_menuqml.moc"
