// The steps menu-shot's scenes are made of: overlays, the keypad, frames of the menu trees,
// popups, games, the language. Each waits for what it brings about, with bounds a loaded machine
// needs, rather than for a fixed time.
#include "menucontext.h"
#include "menudriver.h"
#include "menushot.h"
#include "translatehelper.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>

namespace MenuShot {

namespace {

// The picture's own item over the menu, made in the menu's context so that the global ids
// resolve.
QPointer<QQuickItem> overlay;

// A press the picture is taken during, let go by the next game scene.
QPoint heldAt(-1, -1);

TranslateHelper *russian = nullptr;

void releaseHeld(MenuDriver &menu)
{
    if (heldAt.x() < 0)
        return;
    QTest::mouseRelease(menu.window(), Qt::LeftButton, Qt::NoModifier, heldAt);
    heldAt = QPoint(-1, -1);
    MenuDriver::settle(10);
}

// Closes every popup and waits until the popup layer has let go (its fader takes clicks till then).
bool closePopups(MenuDriver &menu)
{
    QObject *screens = menu.object(QStringLiteral("screenManager"));
    if (!screens)
        return false;
    QMetaObject::invokeMethod(screens, "closeAllPopups");
    return MenuDriver::waitFor([&] { return !screens->property("hasActivePopup").toBool(); }, 5000);
}

} // namespace

bool stillPicture(MenuDriver &menu, int boundMs)
{
    QDeadlineTimer deadline(boundMs);
    QImage last = menu.grab();
    // Three frames alike, some 40 ms apart: a fade of a second moves a pixel in less.
    int alike = 0;
    while (!deadline.hasExpired()) {
        QTest::qWait(40);
        const QImage now = menu.grab();
        alike = now == last ? alike + 1 : 0;
        if (alike == 2)
            return true;
        last = now;
    }
    return false;
}

bool answersIn(MenuDriver &menu, int boundMs)
{
    QObject *client = menu.object(QStringLiteral("modbusClient"));
    if (!client)
        return false;
    // Nothing queued, and no answer come in, for 150 ms: what the screen asked for is answered.
    QElapsedTimer quiet;
    quint64 executed = ~quint64(0);
    return MenuDriver::waitFor(
        [&] {
            const quint64 now = client->property("executedTasksCount").toULongLong();
            if (client->property("queuedTasksCount").toULongLong() != 0 || now != executed) {
                executed = now;
                quiet.start();
                return false;
            }
            return quiet.elapsed() >= 150;
        },
        boundMs);
}

void dropOverlay()
{
    delete overlay;
}

QQuickItem *showOverlay(MenuDriver &menu, const char *file, const QVariantMap &properties)
{
    delete overlay;
    QQmlComponent component(
        qmlEngine(menu.root()),
        QUrl::fromLocalFile(QStringLiteral(DORRIK_SHOTS_QML_DIR "/") + QLatin1String(file)));
    QObject *object = component.beginCreate(qmlContext(menu.root()));
    if (!object) {
        std::fprintf(stderr, "menu-shot: %s\n", qPrintable(component.errorString()));
        return nullptr;
    }
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        object->setProperty(it.key().toLatin1().constData(), it.value());
    component.completeCreate();
    overlay = qobject_cast<QQuickItem *>(object);
    if (!overlay) {
        delete object;
        return nullptr;
    }
    overlay->setParentItem(menu.root());
    overlay->setWidth(menu.root()->width());
    if (!properties.contains(QStringLiteral("height")))
        overlay->setHeight(menu.root()->height());
    overlay->setZ(1e6);
    return overlay;
}

// The on-screen keypad shown in `state` below an editor's strip, settled in place.
bool showKeypad(MenuDriver &menu, const QString &state, const QVariantMap &keypadProperties)
{
    QQuickItem *strip = showOverlay(
        menu, "KeypadStrip.qml",
        {{QStringLiteral("text"), QStringLiteral("Boiler 2")}, {QStringLiteral("height"), 180}});
    QObject *keypad = menu.object(QStringLiteral("keypadScroller"));
    if (!strip || !keypad)
        return false;
    for (auto it = keypadProperties.cbegin(); it != keypadProperties.cend(); ++it)
        keypad->setProperty(it.key().toLatin1().constData(), it.value());
    keypad->setProperty("state", state);
    return MenuDriver::waitFor(
        [&] {
            const QString opacity =
                state == QLatin1String("shownNum") ? "numberOpacity" : "textOpacity";
            return keypad->property("offset").toReal() == 0 &&
                   keypad->property(opacity.toLatin1().constData()).toReal() == 1;
        },
        8000);
}

bool pageShown(MenuDriver &menu, int index)
{
    QQuickItem *view = menu.item(QStringLiteral("pagesView"));
    return view &&
           MenuDriver::waitFor(
               [&] {
                   return qAbs(view->property("contentX").toReal() -
                               view->property("originX").toReal() - index * view->width()) < 0.5 &&
                          !view->property("moving").toBool();
               },
               8000);
}

// The pictures' own menu tree in the frame scroller, its long column menu shown.
bool showShotFrames(MenuDriver &menu)
{
    delete overlay;
    QObject *screenManager = menu.object(QStringLiteral("screenManager"));
    QObject *scroller = menu.object(QStringLiteral("frameScroller"));
    if (!screenManager || !scroller)
        return false;
    QMetaObject::invokeMethod(screenManager, "hideScreenKeypad");
    if (QObject *keypad = menu.object(QStringLiteral("keypadScroller"))) {
        keypad->setProperty("languagePanelOpen", false);
        MenuDriver::waitFor(
            [&] {
                return keypad->property("textOpacity").toReal() == 0 &&
                       keypad->property("numberOpacity").toReal() == 0;
            },
            5000);
    }
    menu.context()->setUseNumScreenKeypad(false);
    menu.context()->setUseTextScreenKeypad(false);
    if (scroller->property("source").toUrl().fileName() != QLatin1String("MenuFrames.qml")) {
        scroller->setProperty(
            "source", QUrl::fromLocalFile(QStringLiteral(DORRIK_SHOTS_QML_DIR "/MenuFrames.qml")));
    }
    return MenuDriver::waitFor(
        [&] {
            QObject *frame = scroller->property("currentFrame").value<QObject *>();
            return frame && frame->property("caption").toString() == QLatin1String("Settings");
        },
        8000);
}

QObject *activeEditor(MenuDriver &menu)
{
    QObject *editors = menu.object(QStringLiteral("editorsManager"));
    return editors ? editors->property("activeEditor").value<QObject *>() : nullptr;
}

// The editor of a row of the pictures' tree, opened as a click on the row opens it.
QObject *openEditor(MenuDriver &menu, const QString &row)
{
    if (!showShotFrames(menu))
        return nullptr;
    if (QObject *open = activeEditor(menu))
        QMetaObject::invokeMethod(open, "close");
    if (!MenuDriver::waitFor([&] { return activeEditor(menu) == nullptr; }, 5000))
        return nullptr;
    QObject *rowItem = menu.object(row);
    if (!rowItem)
        return nullptr;
    QMetaObject::invokeMethod(rowItem, "edit");
    if (!MenuDriver::waitFor([&] { return activeEditor(menu) != nullptr; }, 5000))
        return nullptr;
    stillPicture(menu, 300);
    return activeEditor(menu);
}

// A frame of the instrument's own menu tree, shown as a user reaches it, once the rows' first
// answers are in. `prepare` runs with the tree loaded, before the frame is shown.
bool showTreeFrame(MenuDriver &menu, const QString &frame, const std::function<void()> &prepare)
{
    delete overlay;
    QObject *screenManager = menu.object(QStringLiteral("screenManager"));
    QObject *scroller = menu.object(QStringLiteral("frameScroller"));
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    if (!screenManager || !scroller || !navigation)
        return false;
    QMetaObject::invokeMethod(screenManager, "closeAllPopups");
    QMetaObject::invokeMethod(screenManager, "hideScreenKeypad");
    const QUrl tree(QStringLiteral("qrc:/share/menu/qml/sources/DeviceFrames.qml"));
    if (scroller->property("source").toUrl() != tree)
        scroller->setProperty("source", tree);
    // The tree a picture scene loaded before may linger until its deferred deletion: look
    // for the frame in the instrument's tree only.
    QObject *target = nullptr;
    if (!MenuDriver::waitFor(
            [&] {
                QObject *frames = navigation->property("deviceFrames").value<QObject *>();
                if (!frames ||
                    !QByteArray(frames->metaObject()->className()).startsWith("DeviceFrames"))
                    return false;
                target = frames->findChild<QObject *>(frame);
                return target != nullptr;
            },
            8000))
        return false;
    if (prepare)
        prepare();
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(target)),
                              Q_ARG(QVariant, true));
    const bool shown = MenuDriver::waitFor(
        [&] { return navigation->property("currentFrame").value<QObject *>() == target; }, 8000);
    // The popups closed above fade out meanwhile.
    answersIn(menu);
    stillPicture(menu, 500);
    return shown;
}

// A row's click, as Return on it gives, in a frame of the tree.
bool clickRow(MenuDriver &menu, const QString &row)
{
    QQuickItem *item = menu.item(row);
    if (!item)
        return false;
    QMetaObject::invokeMethod(item, "clicked");
    return MenuDriver::waitFor(
        [&] {
            QObject *screens = menu.object(QStringLiteral("screenManager"));
            return screens->property("activePopup").value<QObject *>() != nullptr;
        },
        8000);
}

// A few documents in the menu's documents folder beside the shipped guide, for the list to show.
void putDocuments(MenuDriver &menu)
{
    const QString dir = menu.context()->property("docsDir").toString();
    QDir().mkpath(dir);
    for (const char *name :
         {"Installation instructions.pdf", "Operation manual.html", "notes.txt"}) {
        QFile file(dir + QLatin1String(name));
        file.open(QIODevice::WriteOnly);
    }
    if (QObject *list = menu.object(QStringLiteral("documentsList")))
        QMetaObject::invokeMethod(list, "fill");
}

// A popup of the menu's own, opened through screenManager by `script`, once `ready` holds for the
// active popup (an expression over `popup`).
bool showPopupScene(MenuDriver &menu, const QString &script, const QString &ready)
{
    delete overlay;
    if (!closePopups(menu))
        return false;
    menu.evaluate(script);
    const bool shown = MenuDriver::waitFor(
        [&] {
            return menu
                .evaluate(QStringLiteral("(function (popup) { return popup ? (%1) : false })"
                                         "(screenManager.activePopup)")
                              .arg(ready))
                .toBool();
        },
        10000);
    stillPicture(menu, 500);
    return shown;
}

// A game opened as the Applications frame opens it, alone in the popup layer.
QObject *showGame(MenuDriver &menu, const QString &app)
{
    delete overlay;
    releaseHeld(menu);
    QObject *screenManager = menu.object(QStringLiteral("screenManager"));
    QMetaObject::invokeMethod(screenManager, "hideScreenKeypad");
    if (!closePopups(menu))
        return nullptr;
    QVariant popup;
    QMetaObject::invokeMethod(screenManager, "showApp", Q_RETURN_ARG(QVariant, popup),
                              Q_ARG(QVariant, app), Q_ARG(QVariant, QVariant()));
    return popup.value<QObject *>();
}

void holdAt(MenuDriver &menu, const QPoint &at)
{
    heldAt = at;
    QTest::mousePress(menu.window(), Qt::LeftButton, Qt::NoModifier, heldAt);
    MenuDriver::settle(50);
}

// The window point at the centre of a field's cell.
QPoint cellPoint(QObject *field, int x, int y)
{
    auto *item = qobject_cast<QQuickItem *>(field);
    const qreal width = item->property("cellWidth").toReal();
    const qreal height = item->property("cellHeight").toReal();
    return item->mapToScene(QPointF((x + 0.5) * width, (y + 0.5) * height)).toPoint();
}

QObject *child(QObject *parent, const char *name)
{
    return parent ? parent->findChild<QObject *>(QLatin1String(name)) : nullptr;
}

// Shoots at the cells in turn whenever it is the user's turn, until `shots` were taken or the
// game is over; the computer answers in between.
bool shootCells(MenuDriver &menu, QObject *game, int &next, int shots)
{
    QObject *player = game->property("player").value<QObject *>();
    QObject *core = game->property("gameCore").value<QObject *>();
    QObject *field = game->property("bigField").value<QObject *>();
    const auto userTurnOrOver = [&] {
        return player->property("canShoot").toBool() || core->property("state").toInt() == 2;
    };
    for (int taken = 0; taken < shots && next < 100 && core->property("state").toInt() != 2;) {
        if (!MenuDriver::waitFor(userTurnOrOver, 10000))
            return false;
        if (core->property("state").toInt() == 2)
            break;
        // Row by row, every third cell first, so that the picture shows shots all over.
        const int cell =
            next < 34 ? next * 3 : (next < 67 ? (next - 34) * 3 + 1 : (next - 67) * 3 + 2);
        ++next;
        if (cell >= 100)
            continue;
        QTest::mouseClick(menu.window(), Qt::LeftButton, Qt::NoModifier,
                          cellPoint(field, cell % 10, cell / 10));
        MenuDriver::settle(10);
        ++taken;
    }
    return MenuDriver::waitFor(userTurnOrOver, 10000);
}

bool setLanguage(MenuDriver &menu, Language language)
{
    if (language == Language::Russian) {
        if (russian)
            return true;
        russian = new TranslateHelper(QStringLiteral("menu"), QStringLiteral(DORRIK_PROGRAM_DIR));
        const int file = int(russian->translationFiles().indexOf(QStringLiteral("menu_ru.qm")));
        if (file < 0)
            return false;
        russian->loadTranslation(file);
        qmlEngine(menu.root())->retranslate();
        return true;
    }
    if (!russian)
        return true;
    delete russian;
    russian = nullptr;
    qmlEngine(menu.root())->retranslate();
    if (QObject *keypad = menu.object(QStringLiteral("keypadScroller")))
        keypad->setProperty("keypadLanguageName", QStringLiteral("English"));
    return true;
}

} // namespace MenuShot
