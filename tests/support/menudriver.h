#ifndef MENUDRIVER_H
#define MENUDRIVER_H

#include "simulatedinstrument.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>

class MenuContext;
class QQuickItem;
class QQuickWindow;

// The whole menu as the program shows it: the context object, the main menu state loading
// Starter.qml into an offscreen view of the given size, and the UI's client "modbusClient" on
// the simulated instrument's link. Drives it with real key and mouse events and finds what the
// user sees by objectName or by text. The user's home and settings lie in a temporary folder.
//
// Needs a QApplication (the context's file dialogs are Widgets); GUI thread only.
class MenuDriver
{
public:
    explicit MenuDriver(const QSize &size = QSize(800, 600));
    ~MenuDriver();
    MenuDriver(const MenuDriver &) = delete;
    MenuDriver &operator=(const MenuDriver &) = delete;

    // Enters the main menu state and connects the client; false (see error()) when the document
    // did not load, the client is missing or the view did not show.
    bool start();
    QString error() const { return m_error; }

    SimulatedInstrument &instrument() { return m_instrument; }
    MenuContext *context() const { return m_context.get(); }
    QQuickWindow *window() const;
    QQuickItem *root() const;
    QSize size() const { return m_size; }

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

private:
    QSize m_size;
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldConfigHome;
    QString m_error;
    SimulatedInstrument m_instrument;
    std::unique_ptr<MenuContext> m_context;
};

#endif
