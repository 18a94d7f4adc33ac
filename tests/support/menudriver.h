#ifndef MENUDRIVER_H
#define MENUDRIVER_H

#include "tavrininstrument.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

class MenuContext;
class QQuickItem;
class QQuickWindow;

// The whole menu as the program shows it: the context object, the main menu state loading
// Starter.qml into an offscreen view of the given size, and the UI's client "modbusClient" on
// the link of the instrument with the menu's register map (its fault switches reachable). Drives
// it with real key and mouse events and finds what the user sees by objectName or by text. The
// user's home and settings lie in a temporary folder, and every power manager made meanwhile runs
// on a test platform there. A QML warning of the menu's own documents
// fails the test that runs (see QmlWarningRule).
//
// Needs a QApplication (the context's file dialogs are Widgets); GUI thread only.
class MenuDriver
{
public:
    explicit MenuDriver(const QSize &size = QSize(800, 600));
    ~MenuDriver();
    // Before start(): the context the menu runs in, made by the test after the driver so that
    // it finds the driver's home (a MenuTestContext, say, whose dialogs, question, transports
    // and USB devices the test answers). Without one start() makes a plain MenuContext.
    void setContext(std::unique_ptr<MenuContext> context);
    MenuDriver(const MenuDriver &) = delete;
    MenuDriver &operator=(const MenuDriver &) = delete;

    // Enters the main menu state and connects the client; false (see error()) when the document
    // did not load, the client is missing or the view did not show.
    // With `ownLink` false the client keeps the link the context built (a USB link of a test
    // context bridged to the instrument, say) instead of the instrument's loopback link.
    bool start(bool ownLink = true);
    QString error() const { return m_error; }
    // A connection set-up of the context (a changed connection type, say) deletes the link it
    // replaces: take the instrument's link off the client before one, and put it back after.
    void detachLink();
    void restoreLink();
    // The program started anew, as a restart of the menu does: the running context and its view
    // go, and `context` (made after this one is gone, so that it reads what was stored) starts in
    // the same home with the same settings; as start() otherwise.
    bool restart(const std::function<std::unique_ptr<MenuContext>()> &makeContext,
                 bool ownLink = true);

    TavrinInstrument &instrument() { return m_instrument; }
    MenuContext *context() const { return m_context.get(); }
    QQuickWindow *window() const;
    QQuickItem *root() const;
    QSize size() const { return m_size; }
    // The temporary home; the power managers' kernel files lie under its "power" folder.
    QString homePath() const { return m_home.path(); }

    // Any object of the document by objectName (items, managers, the client); null if none.
    QObject *object(const QString &objectName) const;
    QQuickItem *item(const QString &objectName) const;
    // The first visible item whose "text" property is exactly `text`; null if none.
    QQuickItem *itemByText(const QString &text) const;

    // The value of a script in the document's root context, where Starter's ids are reached; a
    // warning and an invalid value when it fails.
    QVariant evaluate(const QString &script) const;

    void keyClick(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A press and release at the item's centre, through the window.
    void click(QQuickItem *item);

    // Spins the event loop until `condition` holds or `timeoutMs` passes; whether it held.
    static bool waitFor(const std::function<bool()> &condition, int timeoutMs);
    // Lets queued events and a frame or two pass.
    static void settle(int ms = 50);

    QImage grab() const;
    QList<InstrumentRequest> requests() const { return m_instrument.requests(); }
    // What the power managers made meanwhile ran on the test platform ("shutdown -h now",
    // "quit"); their kernel files lie under the driver's home.
    QStringList powerCommands() const { return m_powerCommands; }
    // The requests the menu made of registers outside the instrument's map, as the request log
    // writes them. Each also fails the test function that runs when it comes.
    QStringList unmappedRequests() const;

private:
    QSize m_size;
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldConfigHome;
    QString m_error;
    QStringList m_powerCommands;
    // Written in the instrument's thread.
    mutable std::mutex m_unmappedMutex;
    QStringList m_unmapped;
    TavrinInstrument m_instrument;
    std::unique_ptr<MenuContext> m_context;
};

// What the whole-menu tests ask of the driver again and again.
// The script's value (see MenuDriver::evaluate) as a truth value.
bool evalTrue(const MenuDriver &menu, const QString &script);
// Waits until the instrument's request log holds `patterns` in that order (RequestLog::inOrder);
// on a time-out says the log and returns false.
bool waitForLog(MenuDriver &menu, const QStringList &patterns, int timeoutMs = 5000);
// Lets requests already on their way come in: clears the log until 300 ms pass with none that
// `heard` picks out. False when such requests keep coming for timeoutMs.
bool clearWhenQuiet(MenuDriver &menu,
                    const std::function<bool(const QList<InstrumentRequest> &)> &heard,
                    int timeoutMs = 5000);
// Starts the menu (saying the error when it fails) and waits until the live block and the
// current site's record have been read.
bool startMenu(MenuDriver &menu);

#endif
