#include "menudriver.h"

#include "mainmenustate.h"
#include "menucontext.h"
#include "menustartup.h"
#include "modbusclient.h"
#include "modbusloopbackclient.h"
#include "modbustransport.h"
#include "powermanager.h"
#include "qmlapplicationviewer.h"
#include "qmlwarningrule.h"
#include "requestlog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QSettings>
#include <QTest>

namespace {

void collectItems(QQuickItem *item, QList<QQuickItem *> &items)
{
    items.append(item);
    for (QQuickItem *child : item->childItems())
        collectItems(child, items);
}

bool isShown(QQuickItem *item)
{
    for (QQuickItem *i = item; i; i = i->parentItem()) {
        if (!i->isVisible() || i->opacity() <= 0.0)
            return false;
    }
    return true;
}

} // namespace

MenuDriver::MenuDriver(const QSize &size) : m_size(size)
{
    // The context reads and writes the user's settings and data folder: keep them here.
    m_oldHome = qgetenv("HOME");
    m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/config")).toLocal8Bit());
    // QSettings takes its folder from the environment once per process: this menu's settings
    // (a device address a test changed, say) must not reach the next driver's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_home.path() + QStringLiteral("/config"));
    MenuStartup::setApplicationNames();
#ifdef DORRIK_QML_IMPORT_DIR
    qputenv("QML_IMPORT_PATH", DORRIK_QML_IMPORT_DIR);
#endif
    // What the program's start-up does once the application exists.
    static const bool prepared = [] {
        MenuStartup::prepareApplication();
        return true;
    }();
    Q_UNUSED(prepared)
    QmlWarningRule::install();

    // A power manager of the menu never reaches this machine's (tests run as root).
    PowerManager::Platform power;
    power.root = m_home.filePath(QStringLiteral("power"));
    power.startDetached = [this](const QString &program, const QStringList &arguments) {
        m_powerCommands << (QStringList{program} + arguments).join(QLatin1Char(' '));
        return true;
    };
    power.pause = [](qint64) {};
    power.quit = [this] { m_powerCommands << QStringLiteral("quit"); };
    PowerManager::setTestPlatform(power);

    // A screen that reads or writes a register the instrument does not have is a fault of the
    // screen: the test that shows it fails.
    m_instrument.setAnswerObserver([this](const InstrumentRequest &request) {
        if (m_instrument.maps(request))
            return;
        const QString line = RequestLog::describe(request);
        {
            std::lock_guard<std::mutex> lock(m_unmappedMutex);
            m_unmapped << line;
        }
        QMetaObject::invokeMethod(
            qApp,
            [line] {
                const QByteArray text = "request outside the register map: " + line.toUtf8();
                if (QTest::currentTestFunction())
                    QTest::qFail(text.constData(), __FILE__, __LINE__);
                else
                    qWarning("%s", text.constData());
            },
            Qt::QueuedConnection);
    });
}

QStringList MenuDriver::unmappedRequests() const
{
    std::lock_guard<std::mutex> lock(m_unmappedMutex);
    return m_unmapped;
}

void MenuDriver::setContext(std::unique_ptr<MenuContext> context)
{
    m_context = std::move(context);
}

MenuDriver::~MenuDriver()
{
    m_instrument.setAnswerObserver({});
    if (m_context) {
        if (ModbusClient *client = qobject_cast<ModbusClient *>(object("modbusClient")))
            client->setTransport(nullptr);
    }
    m_context.reset();
    PowerManager::clearTestPlatform();
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_oldConfigHome.isEmpty()
                           ? QString::fromLocal8Bit(m_oldHome) + QStringLiteral("/.config")
                           : QString::fromLocal8Bit(m_oldConfigHome));
}

bool MenuDriver::start(bool ownLink)
{
    if (!m_context)
        m_context = std::make_unique<MenuContext>();
    // The view opens at this size; the root follows it.
    m_context->setState(new MainMenuState());
    QQuickWindow *view = window();
    if (!view || !root()) {
        m_error = QStringLiteral("Starter.qml did not load");
        return false;
    }
    view->resize(m_size);

    auto *client = qobject_cast<ModbusClient *>(object(QStringLiteral("modbusClient")));
    if (!client) {
        m_error = QStringLiteral("'modbusClient' not found");
        return false;
    }
    if (ownLink) {
        // The context set up its own link (USB by default, which finds nothing here): replace it.
        if (ModbusTransport *own = client->transport())
            own->disconnectTransport();
        client->setTransport(m_instrument.link());
    }

    if (!QTest::qWaitForWindowExposed(view)) {
        m_error = QStringLiteral("the view was not exposed");
        return false;
    }
    settle();
    return true;
}

void MenuDriver::detachLink()
{
    if (auto *client = qobject_cast<ModbusClient *>(object(QStringLiteral("modbusClient"))))
        client->setTransport(nullptr);
}

void MenuDriver::restoreLink()
{
    auto *client = qobject_cast<ModbusClient *>(object(QStringLiteral("modbusClient")));
    if (!client)
        return;
    if (ModbusTransport *own = client->transport(); own && own != m_instrument.link())
        own->disconnectTransport();
    if (!m_instrument.linkConnected())
        m_instrument.connectLink();
    client->setTransport(m_instrument.link());
}

bool MenuDriver::restart(const std::function<std::unique_ptr<MenuContext>()> &makeContext,
                         bool ownLink)
{
    if (m_context) {
        if (ModbusClient *client = qobject_cast<ModbusClient *>(object("modbusClient")))
            client->setTransport(nullptr);
    }
    m_context.reset();
    // The old document's deferred deletions run before the new one loads.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_context = makeContext ? makeContext() : nullptr;
    return start(ownLink);
}

QQuickWindow *MenuDriver::window() const
{
    return m_context ? m_context->viewer() : nullptr;
}

QQuickItem *MenuDriver::root() const
{
    QmlApplicationViewer *view = m_context ? m_context->viewer() : nullptr;
    return view ? view->rootObject() : nullptr;
}

QObject *MenuDriver::object(const QString &objectName) const
{
    QQuickItem *top = root();
    if (!top)
        return nullptr;
    if (top->objectName() == objectName)
        return top;
    if (QObject *found = top->findChild<QObject *>(objectName))
        return found;
    // Items of list views hang below their content item, not as QObject children of the root.
    QList<QQuickItem *> items;
    collectItems(top, items);
    for (QQuickItem *item : std::as_const(items)) {
        if (item->objectName() == objectName)
            return item;
        if (QObject *found = item->findChild<QObject *>(objectName))
            return found;
    }
    return nullptr;
}

QQuickItem *MenuDriver::item(const QString &objectName) const
{
    return qobject_cast<QQuickItem *>(object(objectName));
}

QVariant MenuDriver::evaluate(const QString &script) const
{
    QQmlExpression expression(qmlContext(root()), root(), script);
    const QVariant result = expression.evaluate();
    if (expression.hasError())
        qWarning().noquote() << script << expression.error().toString();
    return result;
}

QQuickItem *MenuDriver::itemByText(const QString &text) const
{
    QQuickItem *top = root();
    if (!top)
        return nullptr;
    QList<QQuickItem *> items;
    collectItems(top, items);
    for (QQuickItem *item : std::as_const(items)) {
        const QVariant value = item->property("text");
        if (value.isValid() && value.toString() == text && isShown(item))
            return item;
    }
    return nullptr;
}

void MenuDriver::keyClick(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(window(), key, modifiers);
    settle(10);
}

void MenuDriver::click(QQuickItem *item)
{
    if (!item)
        return;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    settle(10);
}

bool MenuDriver::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(5);
    }
    return true;
}

void MenuDriver::settle(int ms)
{
    QTest::qWait(ms);
}

QImage MenuDriver::grab() const
{
    QQuickWindow *view = window();
    return view ? view->grabWindow() : QImage();
}

bool evalTrue(const MenuDriver &menu, const QString &script)
{
    return menu.evaluate(script).toBool();
}

bool waitForLog(MenuDriver &menu, const QStringList &patterns, int timeoutMs)
{
    using namespace RequestLog;
    const bool found = MenuDriver::waitFor(
        [&] { return inOrder(described(menu.requests()), patterns); }, timeoutMs);
    if (!found)
        qWarning().noquote() << "log:" << described(menu.requests()).join(QStringLiteral(", "));
    return found;
}

bool clearWhenQuiet(MenuDriver &menu,
                    const std::function<bool(const QList<InstrumentRequest> &)> &heard,
                    int timeoutMs)
{
    return MenuDriver::waitFor(
        [&] {
            menu.instrument().clearRequests();
            MenuDriver::settle(300);
            return !heard(menu.requests());
        },
        timeoutMs);
}

bool startMenu(MenuDriver &menu)
{
    if (!menu.start()) {
        qWarning().noquote() << menu.error();
        return false;
    }
    return MenuDriver::waitFor(
        [&] {
            return evalTrue(menu, QStringLiteral("deviceModbus.mainReadGroup.wasRead && "
                                                 "sitesManager.readSiteIndex === "
                                                 "deviceModbus.siteIndex"));
        },
        5000);
}
