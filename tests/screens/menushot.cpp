// menu-shot: walks the menu's scenes against the simulated instrument at 800x600 and 640x480
// and saves a picture of each as <folder>/<width>x<height>/<scene>.png, for a reviewer. Then
// reads every picture back: a missing one, or one of a single flat colour, fails the run.
#include "menucontext.h"
#include "menudriver.h"
#include "modbusbytes.h"
#include "qmlwarningrule.h"
#include "translatehelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {

struct Scene
{
    QByteArray name;
    std::function<bool(MenuDriver &)> walk;
    // Taken at this window size only; every size when empty.
    QSize only = QSize();
};

// The picture's own item over the menu, made in the menu's context so that the global ids
// resolve; the previous one goes.
QPointer<QQuickItem> overlay;

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
bool showKeypad(MenuDriver &menu, const QString &state, const QVariantMap &keypadProperties = {})
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
        5000);
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
               3000);
}

bool flatColour(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
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
            3000);
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
        3000);
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
    MenuDriver::waitFor([&] { return activeEditor(menu) == nullptr; }, 1000);
    QObject *rowItem = menu.object(row);
    if (!rowItem)
        return nullptr;
    QMetaObject::invokeMethod(rowItem, "edit");
    MenuDriver::waitFor([&] { return activeEditor(menu) != nullptr; }, 2000);
    MenuDriver::settle(300);
    return activeEditor(menu);
}

// A frame of the instrument's own menu tree, shown as a user reaches it, once the rows' first
// answers are in. `prepare` runs with the tree loaded, before the frame is shown.
bool showTreeFrame(MenuDriver &menu, const QString &frame,
                   const std::function<void()> &prepare = {})
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
            3000))
        return false;
    if (prepare)
        prepare();
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(target)),
                              Q_ARG(QVariant, true));
    const bool shown = MenuDriver::waitFor(
        [&] { return navigation->property("currentFrame").value<QObject *>() == target; }, 3000);
    MenuDriver::settle(500);
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
        3000);
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
    QObject *screens = menu.object(QStringLiteral("screenManager"));
    if (!screens)
        return false;
    QMetaObject::invokeMethod(screens, "closeAllPopups");
    MenuDriver::settle(300);
    menu.evaluate(script);
    const bool shown = MenuDriver::waitFor(
        [&] {
            return menu
                .evaluate(QStringLiteral("(function (popup) { return popup ? (%1) : false })"
                                         "(screenManager.activePopup)")
                              .arg(ready))
                .toBool();
        },
        5000);
    MenuDriver::settle(500);
    return shown;
}

// The tree's frames, each a scene of its own.
const QStringList treeFrames{"mainFrame",
                             "measurementParametersFrame",
                             "pipeParametersFrame",
                             "fluidParametersFrame",
                             "measuringSystemParametersFrame",
                             "resultsProcessingFrame",
                             "additionalParametersFrame",
                             "calibratingZeroFlowOffsetFrame",
                             "settingZeroFlowPointFrame",
                             "additionalDelayAdjustmentFrame",
                             "heatCalcParametersFrame",
                             "pressureParamsFrame",
                             "temperatureParamsFrame",
                             "dataLoggerFrame",
                             "peripherySettingsFrame",
                             "rs485SettingsFrame",
                             "discreteOutputSettings",
                             "logicalOutSettingsFrame",
                             "pulseOutSettingsFrame",
                             "frequencyOutSettingsFrame",
                             "applicationsFrame",
                             "scheduleSettingsFrame",
                             "intervalScheduleSettings",
                             "exportImportFrame",
                             "documentationFrame",
                             "systemSettingsFrame",
                             "dimensionsFrame",
                             "deviceStatusFrame",
                             "deviceModulesFrame",
                             "failuresFrame",
                             "powerSavingOptionsFrame",
                             "sitesFrame",
                             "editSiteFrame"};

// A press the picture is taken during; the next game scene lets it go.
QPoint heldAt(-1, -1);

void releaseHeld(MenuDriver &menu)
{
    if (heldAt.x() < 0)
        return;
    QTest::mouseRelease(menu.window(), Qt::LeftButton, Qt::NoModifier, heldAt);
    heldAt = QPoint(-1, -1);
    MenuDriver::settle(50);
}

// A game opened as the Applications frame opens it, alone in the popup layer.
QObject *showGame(MenuDriver &menu, const QString &app)
{
    delete overlay;
    releaseHeld(menu);
    QObject *screenManager = menu.object(QStringLiteral("screenManager"));
    QMetaObject::invokeMethod(screenManager, "closeAllPopups");
    QMetaObject::invokeMethod(screenManager, "hideScreenKeypad");
    MenuDriver::settle(100);
    QVariant popup;
    QMetaObject::invokeMethod(screenManager, "showApp", Q_RETURN_ARG(QVariant, popup),
                              Q_ARG(QVariant, app), Q_ARG(QVariant, QVariant()));
    return popup.value<QObject *>();
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
    for (int taken = 0; taken < shots && next < 100 && core->property("state").toInt() != 2;) {
        if (!MenuDriver::waitFor(
                [&] {
                    return player->property("canShoot").toBool() ||
                           core->property("state").toInt() == 2;
                },
                5000))
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
    return MenuDriver::waitFor(
        [&] {
            return player->property("canShoot").toBool() || core->property("state").toInt() == 2;
        },
        5000);
}

QPointer<QObject> seaBattle;
int seaBattleNextShot = 0;

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");

    QList<Scene> scenes{
        {"main-page",
         [](MenuDriver &menu) {
             // The instrument's flow rate as it answered it last, on the measurement page's tile.
             const auto flowShown = [&] {
                 const float flow = menu.instrument().registers(300720, 2).toFloat(0);
                 QQuickItem *tile = menu.item(QStringLiteral("flowTile0"));
                 QQuickItem *value =
                     tile ? tile->findChild<QQuickItem *>(QStringLiteral("tileValue")) : nullptr;
                 return value &&
                        value->property("text").toString() == QString::number(double(flow), 'f', 3);
             };
             if (!MenuDriver::waitFor(flowShown, 5000))
                 return false;
             // The device's status fades in once answers come.
             QObject *status = menu.object(QStringLiteral("deviceTopPanel"));
             return MenuDriver::waitFor([&] { return status->property("opacity").toReal() >= 1; },
                                        5000);
         }},
        {"left-page",
         [](MenuDriver &menu) {
             menu.click(menu.itemByText(QStringLiteral("< Measurements")));
             return pageShown(menu, 0);
         }},
        {"right-page",
         [](MenuDriver &menu) {
             menu.keyClick(Qt::Key_Period);
             return pageShown(menu, 2);
         }},
        {"no-connection",
         [](MenuDriver &menu) {
             menu.keyClick(Qt::Key_Escape);
             if (!pageShown(menu, 1))
                 return false;
             QObject *topPanel = menu.object(QStringLiteral("topPanel"));
             topPanel->setProperty("readErrorInterval", 500);
             menu.instrument().setDropAnswers(-1);
             QObject *text = menu.object(QStringLiteral("connectionErrorText"));
             return MenuDriver::waitFor([&] { return text->property("opacity").toReal() >= 1; },
                                        8000);
         }},
        {"controls-buttons-inputs-lists",
         [](MenuDriver &menu) {
             // Answers again, at the panel's own interval: the message goes with the next one,
             // and the later pictures show none.
             menu.object(QStringLiteral("topPanel"))->setProperty("readErrorInterval", 6000);
             menu.instrument().setDropAnswers(0);
             QObject *text = menu.object(QStringLiteral("connectionErrorText"));
             if (!MenuDriver::waitFor([&] { return text->property("opacity").toReal() <= 0; },
                                      8000))
                 return false;
             return showOverlay(menu, "ControlsGallery.qml",
                                {{QStringLiteral("page"), 0},
                                 {QStringLiteral("explorerDir"),
                                  QStringLiteral(DORRIK_SHARE_QML_DIR)}}) != nullptr;
         }},
        {"controls-dates-brightness-tabs-texts",
         [](MenuDriver &menu) {
             return showOverlay(menu, "ControlsGallery.qml", {{QStringLiteral("page"), 1}}) !=
                    nullptr;
         }},
        {"controls-progress",
         [](MenuDriver &menu) {
             if (!showOverlay(menu, "ControlsGallery.qml", {{QStringLiteral("page"), 2}}))
                 return false;
             // The sweep's mark is clearest halfway along its 2 s path.
             MenuDriver::settle(1000);
             return true;
         }},
        {"keypad-english", [](MenuDriver &menu) { return showKeypad(menu, "shownText"); },
         QSize(640, 480)},
        {"keypad-english-shift",
         [](MenuDriver &menu) {
             if (!showKeypad(menu, "shownText"))
                 return false;
             QObject *keypad = menu.object(QStringLiteral("keypadScroller"));
             keypad->property("textKeypad").value<QObject *>()->setProperty("isUpperCase", true);
             return true;
         },
         QSize(640, 480)},
        {"keypad-russian",
         [](MenuDriver &menu) {
             return showKeypad(
                 menu, "shownText",
                 {{QStringLiteral("keypadLanguageName"), QString::fromUtf8("Русский")}});
         },
         QSize(640, 480)},
        {"keypad-numbers", [](MenuDriver &menu) { return showKeypad(menu, "shownNum"); },
         QSize(640, 480)},
        {"keypad-language-list",
         [](MenuDriver &menu) {
             if (!showKeypad(menu, "shownText",
                             {{QStringLiteral("keypadLanguageName"), QStringLiteral("English")}}))
                 return false;
             menu.object(QStringLiteral("keypadScroller"))->setProperty("languagePanelOpen", true);
             return true;
         },
         QSize(640, 480)},
        {"menu-column-overloaded", [](MenuDriver &menu) { return showShotFrames(menu); }},
        {"menu-column-scrolled",
         [](MenuDriver &menu) {
             if (!showShotFrames(menu))
                 return false;
             for (int i = 0; i < 6; ++i)
                 menu.keyClick(Qt::Key_Down);
             return true;
         }},
        {"editor-text-valid",
         [](MenuDriver &menu) { return openEditor(menu, QStringLiteral("realRow")) != nullptr; }},
        {"editor-text-invalid",
         [](MenuDriver &menu) {
             if (!openEditor(menu, QStringLiteral("intRow")))
                 return false;
             QObject *field = menu.object(QStringLiteral("textEditorField"));
             if (!field)
                 return false;
             field->setProperty("text", QStringLiteral("248"));
             return true;
         }},
        {"editor-text-keypad-strip",
         [](MenuDriver &menu) {
             if (!showShotFrames(menu))
                 return false;
             menu.context()->setUseNumScreenKeypad(true);
             QObject *rowItem = menu.object(QStringLiteral("intRow"));
             if (!rowItem)
                 return false;
             QMetaObject::invokeMethod(rowItem, "edit");
             QObject *keypad = menu.object(QStringLiteral("keypadScroller"));
             return keypad && MenuDriver::waitFor(
                                  [&] {
                                      return activeEditor(menu) &&
                                             keypad->property("offset").toReal() == 0 &&
                                             keypad->property("numberOpacity").toReal() == 1;
                                  },
                                  5000);
         }},
        {"editor-list",
         [](MenuDriver &menu) { return openEditor(menu, QStringLiteral("listRow")) != nullptr; }},
        {"editor-list-arrows",
         [](MenuDriver &menu) {
             return openEditor(menu, QStringLiteral("longListRow")) != nullptr;
         }},
        {"editor-date-time",
         [](MenuDriver &menu) {
             return openEditor(menu, QStringLiteral("dateTimeRow")) != nullptr;
         }},
        {"editor-date-time-refused",
         [](MenuDriver &menu) {
             if (!openEditor(menu, QStringLiteral("dateTimeRow")))
                 return false;
             QObject *day = menu.object(QStringLiteral("dayEdit"));
             QObject *input = day ? day->property("input").value<QObject *>() : nullptr;
             if (!input)
                 return false;
             input->setProperty("text", QStringLiteral("35"));
             return true;
         }},
        {"editor-bool",
         [](MenuDriver &menu) { return openEditor(menu, QStringLiteral("boolRow")) != nullptr; }},
    };
    // The document viewers with the shipped guide, and the calculator with memory and history.
    scenes.append(
        {{"viewer-pdf-guide",
          [](MenuDriver &menu) {
              return showPopupScene(
                  menu,
                  QStringLiteral("screenManager.showViewer(menuContext.docsDir + "
                                 "\"Short User Guide.pdf\", {caption: \"Short User Guide\"})"),
                  QStringLiteral("popup.viewer && popup.viewer.pagesCount > 0 && "
                                 "popup.viewer.renderer.rendered"));
          }},
         {"viewer-pdf-guide-zoomed-page-2",
          [](MenuDriver &menu) {
              return showPopupScene(
                  menu,
                  QStringLiteral("(function () { var popup = screenManager.showViewer("
                                 "menuContext.docsDir + \"Short User Guide.pdf\"); "
                                 "popup.viewer.gotoPage(2); popup.viewer.scaleIn(); })()"),
                  QStringLiteral("popup.viewer && popup.viewer.page === 2 && "
                                 "popup.viewer.renderer.rendered"));
          }},
         {"viewer-html-guide",
          [](MenuDriver &menu) {
              return showPopupScene(
                  menu,
                  QStringLiteral("screenManager.showViewer(menuContext.docsDir + "
                                 "\"Short User Guide.html\", {caption: \"Short User Guide\"})"),
                  QStringLiteral("popup.viewer && popup.viewer.textItem.text !== \"\""));
          }},
         {"calculator-memory-history", [](MenuDriver &menu) {
              return showPopupScene(
                  menu,
                  QStringLiteral(
                      "(function () { var popup = screenManager.showApp("
                      "\"Calculator\"); var keys = [\"1\", \"2\", \"5\", "
                      "\"\u00D7\", \"4\", \"=\", \"m+\", \"\u221A\", "
                      "\"+\", \"3\", \"=\", \"=\", \"8\", \"log\", \"2\", "
                      "\"=\", \"3\", \"\u00F7\", \"7\", \"\u00D7\"]; "
                      "for (var i = 0; i < keys.length; ++i) popup.press(keys[i]); })()"),
                  QStringLiteral("popup.history !== undefined && popup.history.length > 0"));
          }}});
    QList<Scene> treeScenes;
    for (const QString &frame : treeFrames) {
        const QByteArray name = "tree-" + frame.toLatin1();
        treeScenes.append({name, [frame](MenuDriver &menu) {
                               return showTreeFrame(menu, frame, [&] {
                                   if (frame == QLatin1String("documentationFrame"))
                                       putDocuments(menu);
                               });
                           }});
    }
    treeScenes.append(
        {"tree-temperatureParamsFrame-RTD2", [](MenuDriver &menu) {
             return showTreeFrame(menu, QStringLiteral("temperatureParamsFrame"), [&] {
                 // The channel is that of the row the frame is entered from.
                 QObject *heat = menu.object(QStringLiteral("heatCalcParametersFrame"));
                 heat->property("listView").value<QObject *>()->setProperty("currentIndex", 4);
             });
         }});
    treeScenes.append({"tree-question-fluid-type", [](MenuDriver &menu) {
                           menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(1));
                           menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                           return showTreeFrame(menu, QStringLiteral("fluidParametersFrame")) &&
                                  MenuDriver::waitFor(
                                      [&] {
                                          return menu
                                              .evaluate(QStringLiteral(
                                                  "deviceProps.heatSupplySystem.value === 1"))
                                              .toBool();
                                      },
                                      3000) &&
                                  clickRow(menu, QStringLiteral("fluidTypeRow"));
                       }});
    treeScenes.append(
        {"tree-question-heat-supply", [](MenuDriver &menu) {
             menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(1));
             return showTreeFrame(menu, QStringLiteral("heatCalcParametersFrame")) &&
                    MenuDriver::waitFor(
                        [&] {
                            return menu
                                .evaluate(QStringLiteral("deviceProps.fluidType.value === 1"))
                                .toBool();
                        },
                        3000) &&
                    clickRow(menu, QStringLiteral("heatSupplySystemRow"));
         }});
    treeScenes.append({"tree-question-factory-reset", [](MenuDriver &menu) {
                           menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                           return showTreeFrame(menu, QStringLiteral("systemSettingsFrame")) &&
                                  clickRow(menu, QStringLiteral("initializeRow"));
                       }});
    // Last: the reset runs on in the menu of this size, which ends after the picture.
    treeScenes.append(
        {"tree-please-wait", [](MenuDriver &menu) {
             QQuickItem *yes = menu.item(QStringLiteral("confirmYesButton"));
             if (!yes)
                 return false;
             menu.click(yes);
             return MenuDriver::waitFor(
                 [&] { return menu.itemByText(QStringLiteral("Please wait...")) != nullptr; },
                 3000);
         }});

    // The games.
    scenes.append(
        {"seabattle-arrangement-refused", [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("SeaBattle"));
             if (!game ||
                 !MenuDriver::waitFor(
                     [&] { return game->property("state") == QLatin1String("arrangement"); }, 3000))
                 return false;
             QObject *player = game->property("player").value<QObject *>();
             QMetaObject::invokeMethod(player, "placeShip", Q_ARG(int, 0), Q_ARG(int, 0),
                                       Q_ARG(int, 4), Q_ARG(bool, false));
             QMetaObject::invokeMethod(player, "placeShip", Q_ARG(int, 2), Q_ARG(int, 2),
                                       Q_ARG(int, 3), Q_ARG(bool, true));
             MenuDriver::settle(400);
             // The next three-cell ship pressed against the first two.
             heldAt = cellPoint(game->property("bigField").value<QObject *>(), 3, 1);
             QTest::mousePress(menu.window(), Qt::LeftButton, Qt::NoModifier, heldAt);
             MenuDriver::settle(50);
             QObject *overlay = child(game, "ghostOverlay");
             return overlay && overlay->property("visible").toBool() &&
                    child(game, "ghostShip")->property("visible").toBool();
         }});
    scenes.append(
        {"seabattle-fight", [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("SeaBattle"));
             seaBattle = game;
             seaBattleNextShot = 0;
             if (!game ||
                 !MenuDriver::waitFor(
                     [&] { return game->property("state") == QLatin1String("arrangement"); }, 3000))
                 return false;
             QObject *player = game->property("player").value<QObject *>();
             QMetaObject::invokeMethod(player, "autoArrangeShips");
             auto *begin = qobject_cast<QQuickItem *>(child(game, "beginButton"));
             if (!MenuDriver::waitFor(
                     [&] { return begin->isEnabled() && begin->property("opacity").toReal() == 1; },
                     3000))
                 return false;
             menu.click(begin);
             if (!shootCells(menu, game, seaBattleNextShot, 20))
                 return false;
             MenuDriver::settle(400);
             return game->property("state") == QLatin1String("fighting");
         }});
    scenes.append({"seabattle-end", [](MenuDriver &menu) {
                       if (!seaBattle || !shootCells(menu, seaBattle, seaBattleNextShot, 100))
                           return false;
                       MenuDriver::settle(400);
                       return seaBattle->property("state") == QLatin1String("afterGame");
                   }});
    scenes.append(
        {"balls-burst", [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("Balls"));
             if (!game)
                 return false;
             MenuDriver::settle(1200);
             // Groups of two or more, found on the board as the user sees it.
             const QVariantList cells =
                 menu.evaluate(
                         QStringLiteral("(function () {"
                                        "  var g = screenManager.activePopup, found = [];"
                                        "  for (var y = g.rows - 1; y >= 0; --y)"
                                        "    for (var x = 0; x + 1 < g.columns; ++x)"
                                        "      if (g.ballAt(x, y).type === g.ballAt(x + 1, y).type"
                                        "          && found.length < 8 && (x + y) % 3 === 0)"
                                        "        found.push([x, y]);"
                                        "  return found;"
                                        "})()"))
                     .toList();
             if (cells.isEmpty())
                 return false;
             auto *board = qobject_cast<QQuickItem *>(game->property("board").value<QObject *>());
             const qreal size = game->property("cellSize").toReal();
             int clicks = 0;
             for (const QVariant &cell : cells) {
                 const QVariantList xy = cell.toList();
                 const QPoint at = board
                                       ->mapToScene(QPointF((xy[0].toInt() + 0.5) * size,
                                                            (xy[1].toInt() + 0.5) * size))
                                       .toPoint();
                 QTest::mouseClick(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
                 if (++clicks == 3)
                     break;
             }
             // While the last group still grows and fades.
             MenuDriver::settle(60);
             return game->property("score").toInt() > 0;
         }});
    // Connection settings dialog, with the RS-485 rows and with the USB devices.
    {
        const QString openDialog = QStringLiteral(
            "screenManager.showConnectionSettingsDialog(null, {\"serialNumberItem\": "
            "deviceModbus.serialNumber, \"reportItem\": deviceModbus.report})");
        const QString dialogReady =
            QStringLiteral("popup.objectName === \"connectionSettingsDialog\"");
        // The instrument's link stays the client's across the set-up the change makes.
        const auto connectAs = [](MenuDriver &menu, MenuContext::ConnectionType type) {
            menu.detachLink();
            menu.context()->setConnectionType(type);
            menu.restoreLink();
        };
        scenes.append(
            {{"connection-settings-rs485",
              [=](MenuDriver &menu) {
                  connectAs(menu, MenuContext::RS485);
                  return showPopupScene(menu, openDialog, dialogReady);
              }},
             {"connection-settings-usb", [=](MenuDriver &menu) {
                  connectAs(menu, MenuContext::USB);
                  // This machine lists no USB device: two stand in, their numbers as if read.
                  menu.context()->setUsbSerialNumber(QStringLiteral("TV-A"), false);
                  if (!showPopupScene(menu, openDialog, dialogReady))
                      return false;
                  menu.evaluate(QStringLiteral(
                      "screenManager.activePopup.devicesView.model = Qt.createQmlObject("
                      "'import QtQuick; ListModel { ListElement { serialNumber: \"TV-A\" } "
                      "ListElement { serialNumber: \"TV-B\" } }', screenManager.activePopup)"));
                  MenuDriver::settle(300);
                  return menu
                      .evaluate(QStringLiteral(
                          "(function () { var view = screenManager.activePopup.devicesView;"
                          "  var numbers = [\"1001\", \"2002\"];"
                          "  for (var i = 0; i < view.count; ++i)"
                          "    view.itemAtIndex(i).instrumentNumber = numbers[i];"
                          "  return view.count === 2 })()"))
                      .toBool();
              }}});
    }
    // Configuration save and load: the frame with files, the progress dialog saving, completed
    // and failed.
    {
        const auto startSave = [](MenuDriver &menu) {
            menu.evaluate(QStringLiteral("navigationManager.currentFrame.showProgress(true);"
                                         " exportManager.exportConfig(deviceProps.time.value)"));
        };
        const auto captionIs = [](MenuDriver &menu, const QString &caption) {
            return MenuDriver::waitFor(
                [&] {
                    return menu.evaluate(
                                   QStringLiteral("screenManager.activePopup ?"
                                                  " screenManager.activePopup.caption : \"\""))
                               .toString() == caption;
                },
                20000);
        };
        scenes.append(
            {"config-files", [](MenuDriver &menu) {
                 return showTreeFrame(menu, QStringLiteral("exportImportFrame"), [&] {
                     const QString dir =
                         menu.evaluate(QStringLiteral("menuContext.modbusConfigsDir")).toString();
                     QDir().mkpath(dir);
                     const QStringList names = {
                         "2026-12-01_09-30-00_3000000001.xml", "2026-12-05_14-12-45_3000000001.xml",
                         "2026-12-09_08-00-00_3000000001_boiler_house_north_wing.xml"};
                     const QDateTime now = QDateTime::currentDateTime();
                     for (int i = 0; i < names.size(); ++i) {
                         QFile file(dir + names.at(i));
                         if (file.open(QIODevice::WriteOnly))
                             file.setFileTime(now.addDays(i - 10),
                                              QFileDevice::FileModificationTime);
                     }
                 });
             }});
        scenes.append(
            {"config-saving", [startSave](MenuDriver &menu) {
                 if (!showTreeFrame(menu, QStringLiteral("exportImportFrame")))
                     return false;
                 menu.evaluate(QStringLiteral("exportManager.sitePostDelay = 600000;"
                                              " exportManager.completionDelay = 50"));
                 startSave(menu);
                 const bool saving = MenuDriver::waitFor(
                     [&] {
                         return menu.evaluate(QStringLiteral("exportManager.state")).toString() ==
                                QLatin1String("exportingsites");
                     },
                     5000);
                 MenuDriver::settle(500);
                 return saving;
             }});
        scenes.append({"config-saved", [captionIs](MenuDriver &menu) {
                           menu.evaluate(QStringLiteral("exportManager.sitePostDelay = 20"));
                           const bool done =
                               captionIs(menu, QStringLiteral("Saving successfully completed"));
                           MenuDriver::settle(500);
                           return done;
                       }});
        scenes.append({"config-error", [startSave, captionIs](MenuDriver &menu) {
                           if (!showTreeFrame(menu, QStringLiteral("exportImportFrame")))
                               return false;
                           menu.instrument().setException(403001, DorrikBus::IllegalDataAddress);
                           startSave(menu);
                           const bool failed =
                               captionIs(menu, QStringLiteral("Error saving configuration"));
                           menu.instrument().clearExceptions();
                           menu.evaluate(QStringLiteral("exportManager.sitePostDelay = 1000;"
                                                        " exportManager.completionDelay = 1000"));
                           MenuDriver::settle(500);
                           return failed;
                       }});
    }
    // Calibration wizards in each of their states, and the schedule frame in both modes.
    {
        const auto evalTrue = [](MenuDriver &menu, const QString &script) {
            return menu.evaluate(script).toBool();
        };
        const auto wizardState = [](MenuDriver &menu, const QString &frame) {
            return menu.evaluate("navigationManager.deviceFrames." + frame + ".state").toString();
        };
        const auto waitWizard = [wizardState](MenuDriver &menu, const QString &frame,
                                              const QString &state, int ms) {
            return MenuDriver::waitFor([&] { return wizardState(menu, frame) == state; }, ms);
        };
        const QList<std::pair<QByteArray, QString>> waitWizards{
            {"calib-zero-offset", "calibratingZeroFlowOffsetFrame"},
            {"calib-delay", "additionalDelayAdjustmentFrame"}};
        for (const auto &wizard : waitWizards) {
            const QByteArray prefix = wizard.first;
            const QString frame = wizard.second;
            const QString buttons = frame.startsWith(QLatin1String("calibrating"))
                                        ? QStringLiteral("zeroOffset")
                                        : QStringLiteral("delay");
            scenes.append({prefix + "-default", [frame](MenuDriver &menu) {
                               return showTreeFrame(menu, frame, [&] {
                                   menu.evaluate("navigationManager.deviceFrames." + frame +
                                                 ".waitDuration = 4000");
                               });
                           }});
            scenes.append({prefix + "-waiting", [=](MenuDriver &menu) {
                               menu.click(menu.item(buttons + "StartButton"));
                               if (!waitWizard(menu, frame, "waiting", 3000))
                                   return false;
                               // Halfway along the bar.
                               MenuDriver::settle(2000);
                               return true;
                           }});
            scenes.append({prefix + "-finished", [=](MenuDriver &menu) {
                               return waitWizard(menu, frame, "finished", 5000);
                           }});
        }
        const QString onFlow = QStringLiteral("settingZeroFlowPointFrame");
        const auto onFlowScene = [&](const QByteArray &name, const QString &state,
                                     const std::function<bool(MenuDriver &)> &step) {
            scenes.append({"calib-on-flow-" + name, [=](MenuDriver &menu) {
                               if (!step(menu) || !waitWizard(menu, onFlow, state, 8000))
                                   return false;
                               MenuDriver::settle(300);
                               return true;
                           }});
        };
        const auto clickItem = [](const QString &name) {
            return [name](MenuDriver &menu) {
                QQuickItem *item = menu.item(name);
                if (!item || !MenuDriver::waitFor([&] { return item->isEnabled(); }, 8000))
                    return false;
                menu.click(item);
                return true;
            };
        };
        onFlowScene("stage1", "stage1", [onFlow](MenuDriver &menu) {
            menu.instrument().setCalibrationTick(200);
            menu.instrument().setSoundSpeed(1.48);
            return showTreeFrame(menu, onFlow);
        });
        onFlowScene("stage1_2", "stage1_2", [=](MenuDriver &menu) {
            if (!clickItem("onFlowStartButton")(menu) ||
                !waitWizard(menu, onFlow, "stage1_2", 5000))
                return false;
            // Part of the countdown run.
            MenuDriver::settle(1200);
            return true;
        });
        onFlowScene("stage2-speed-differs", "stage2", [=](MenuDriver &menu) {
            // Stage 1 over first: it takes its sound speed at its end.
            QQuickItem *next = menu.item(QStringLiteral("onFlowNextButton"));
            if (!next || !MenuDriver::waitFor([&] { return next->isEnabled(); }, 8000))
                return false;
            menu.instrument().setSoundSpeed(1.495);
            if (!clickItem("onFlowNextButton")(menu))
                return false;
            QQuickItem *speed = nullptr;
            return MenuDriver::waitFor(
                [&] {
                    speed = menu.item(QStringLiteral("onFlowSoundSpeedValue"));
                    return speed && speed->property("color").value<QColor>() == QColor("#D00000");
                },
                5000);
        });
        onFlowScene("stage2", "stage2", [evalTrue](MenuDriver &menu) {
            menu.instrument().setSoundSpeed(1.483);
            return MenuDriver::waitFor(
                [&] {
                    return evalTrue(menu, "navigationManager.deviceFrames."
                                          "settingZeroFlowPointFrame.speedsAgree");
                },
                5000);
        });
        onFlowScene("stage2_3", "stage2_3", [=](MenuDriver &menu) {
            if (!clickItem("onFlowNextButton")(menu))
                return false;
            MenuDriver::settle(1200);
            return true;
        });
        onFlowScene("stage3", "stage3", [=](MenuDriver &menu) {
            const bool clicked = clickItem("onFlowNextButton")(menu);
            menu.instrument().setSoundSpeed(0);
            return clicked;
        });
        const auto showSchedule = [](MenuDriver &menu, int mode) {
            menu.instrument().setRegisters(403561, ModbusBytes::fromUInt16(quint16(mode)));
            // Two entries of the interval plan with times, one enabled.
            const QDateTime start(QDate(2026, 12, 14), QTime(8, 0), Qt::UTC);
            for (int i = 0; i < 2; ++i)
                menu.instrument().setRegisters(
                    403571 + 6 * quint32(i),
                    ModbusBytes::fromUInt16(quint16(1 - i)) +
                        ModbusBytes::fromDateTime(start.addDays(i)) +
                        ModbusBytes::fromDateTime(start.addDays(i).addSecs(9 * 3600)) +
                        ModbusBytes::fromUInt16(quint16(6 + i)));
            return showTreeFrame(menu, QStringLiteral("scheduleSettingsFrame"), [&] {
                MenuDriver::waitFor(
                    [&] { return menu.evaluate("deviceProps.scheduleMode.value").toInt() == mode; },
                    3000);
            });
        };
        scenes.append(
            {"schedule-periodic", [=](MenuDriver &menu) { return showSchedule(menu, 0); }});
        scenes.append(
            {"schedule-interval", [=](MenuDriver &menu) { return showSchedule(menu, 1); }});
        scenes.append({"schedule-question-run", [](MenuDriver &menu) {
                           menu.click(menu.item(QStringLiteral("scheduleStartButton")));
                           return MenuDriver::waitFor(
                               [&] {
                                   return menu.itemByText(QStringLiteral("Run the scheduler?")) !=
                                          nullptr;
                               },
                               3000);
                       }});
        scenes.append(
            {"schedule-job-completed", [=](MenuDriver &menu) {
                 // The job ends while the frame is not shown.
                 if (!showTreeFrame(menu, QStringLiteral("applicationsFrame")))
                     return false;
                 menu.instrument().setRegisters(300753, ModbusBytes::fromUInt16(2));
                 if (!MenuDriver::waitFor(
                         [&] { return evalTrue(menu, "deviceProps.scheduleState.done"); }, 3000))
                     return false;
                 return showSchedule(menu, 1) &&
                        MenuDriver::waitFor(
                            [&] {
                                return menu.itemByText(QStringLiteral("Scheduled job completed")) !=
                                       nullptr;
                            },
                            3000);
             }});
        scenes.append({"schedule-done-closed", [](MenuDriver &menu) {
                           QQuickItem *ok = menu.item(QStringLiteral("messageBoxOkButton"));
                           if (!ok)
                               return false;
                           menu.click(ok);
                           MenuDriver::settle(600);
                           return true;
                       }});
    }
    // The sites screens: the selection list, modifying mode, the editor, the table being read
    // and the sites tree dialog.
    {
        // "Site 1" stays the current site (slot 0), as the later scenes expect.
        const auto putShotSites = [](MenuDriver &menu) {
            TavrinInstrument &instrument = menu.instrument();
            const QList<QStringList> sites{{"", "", "Site 1"},
                                           {"Boiler", "North", "N1"},
                                           {"Boiler", "North", "N2"},
                                           {"Pumps", "", "P1"},
                                           {"Boiler", "", "B1"}};
            for (int slot = 0; slot < sites.size(); ++slot)
                instrument.setSiteRecord(slot, sites[slot][0], sites[slot][1], sites[slot][2]);
            instrument.setSitesRevision(instrument.sitesRevision() + 1);
            return MenuDriver::waitFor(
                [&] { return menu.evaluate("sitesManager.model.sitesCount").toInt() == 5; }, 5000);
        };
        const auto sitesFrame = [](MenuDriver &menu, bool modifying, const QStringList &path) {
            if (!showTreeFrame(menu, QStringLiteral("sitesFrame")))
                return false;
            QObject *frame = menu.object(QStringLiteral("sitesFrame"));
            frame->setProperty("modifying", modifying);
            menu.evaluate(
                QStringLiteral("sitesManager.model.groupPath = %1")
                    .arg(path.isEmpty() ? QStringLiteral("[]") : "['" + path.join("', '") + "']"));
            MenuDriver::settle(400);
            return !frame->property("updating").toBool();
        };
        scenes.append({"sites-selection", [=](MenuDriver &menu) {
                           return putShotSites(menu) && sitesFrame(menu, false, {});
                       }});
        scenes.append({"sites-selection-subgroup", [=](MenuDriver &menu) {
                           return sitesFrame(menu, false, {"Boiler", "North"});
                       }});
        scenes.append({"sites-modifying",
                       [=](MenuDriver &menu) { return sitesFrame(menu, true, {"Boiler"}); }});
        scenes.append({"sites-edit-copy", [=](MenuDriver &menu) {
                           if (!sitesFrame(menu, true, {"Boiler"}))
                               return false;
                           QObject *frame = menu.object(QStringLiteral("sitesFrame"));
                           menu.evaluate(QStringLiteral(
                               "(function (f) { for (var i = 0; i < f.siteList.count; ++i) {"
                               " var r = f.siteList.itemAtIndex(i);"
                               " if (r.rowInfo.name === 'B1') f.act(i, 1) } })"
                               "(navigationManager.deviceFrames.frameWithSite)"));
                           const bool shown = MenuDriver::waitFor(
                               [&] {
                                   return menu.evaluate("navigationManager.currentFrame.objectName")
                                              .toString() == QLatin1String("editSiteFrame");
                               },
                               3000);
                           MenuDriver::settle(500);
                           return shown && frame;
                       }});
        scenes.append({"sites-updating", [=](MenuDriver &menu) {
                           if (!sitesFrame(menu, false, {}))
                               return false;
                           menu.instrument().setDelay(1500);
                           menu.instrument().setSitesRevision(menu.instrument().sitesRevision() +
                                                              1);
                           QObject *frame = menu.object(QStringLiteral("sitesFrame"));
                           const bool covered = MenuDriver::waitFor(
                               [&] { return frame->property("updating").toBool(); }, 20000);
                           MenuDriver::settle(300);
                           return covered;
                       }});
        scenes.append(
            {"sites-tree-dialog", [=](MenuDriver &menu) {
                 menu.instrument().setDelay(0);
                 QObject *frame = menu.object(QStringLiteral("sitesFrame"));
                 if (!MenuDriver::waitFor([&] { return !frame->property("updating").toBool(); },
                                          8000))
                     return false;
                 return showPopupScene(
                     menu,
                     QStringLiteral("(function () { var d = screenManager.showPopup("
                                    "'sources/SitesTreeDialog.qml', {selectedSites: [0, 2, 4]});"
                                    " d.expandRow(0); d.expandRow(1); })()"),
                     QStringLiteral("popup.rowsModel !== undefined && "
                                    "popup.rowsModel.count === 7"));
             }});
    }
    // The measurement page on both grids, the status strip's warnings, the big, additional and
    // signals dialogs and the touch test.
    {
        const auto popupShown = [](MenuDriver &menu, const char *type) {
            return MenuDriver::waitFor(
                [&] {
                    QObject *popup = menu.evaluate(QStringLiteral("screenManager.activePopup"))
                                         .value<QObject *>();
                    return popup && QByteArray(popup->metaObject()->className()).startsWith(type) &&
                           popup->property("topActive").toBool();
                },
                3000);
        };
        const auto tileItem = [](MenuDriver &menu, const QString &name, const QString &part) {
            QQuickItem *tile = menu.item(name);
            return tile ? tile->findChild<QQuickItem *>(part) : nullptr;
        };
        const auto leftPage = [](MenuDriver &menu) {
            menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
            // Until the popup layer has let go, its fader takes the clicks.
            if (!MenuDriver::waitFor(
                    [&] {
                        return !menu.evaluate(QStringLiteral("screenManager.hasActivePopup"))
                                    .toBool();
                    },
                    3000))
                return false;
            MenuDriver::settle(500);
            menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piLeft)"));
            return pageShown(menu, 0);
        };
        scenes.append({"measure-flow", [=](MenuDriver &menu) {
                           menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(0));
                           menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
                           if (!leftPage(menu))
                               return false;
                           QQuickItem *value = tileItem(menu, "flowTile0", "tileValue");
                           const QQuickItem *tabs = menu.item(QStringLiteral("measureTabs"));
                           return MenuDriver::waitFor(
                               [&] {
                                   const float flow =
                                       menu.instrument().registers(300720, 2).toFloat(0);
                                   return value && !tabs->isVisible() &&
                                          value->property("text").toString() ==
                                              QString::number(double(flow), 'f', 3);
                               },
                               5000);
                       }});
        scenes.append(
            {"measure-heat", [=](MenuDriver &menu) {
                 menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(1));
                 menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
                 QQuickItem *tabs = menu.item(QStringLiteral("measureTabs"));
                 if (!MenuDriver::waitFor([&] { return tabs->isVisible(); }, 5000))
                     return false;
                 tabs->setProperty("currentIndex", 1);
                 QQuickItem *grid = menu.item(QStringLiteral("heatGrid"));
                 if (!MenuDriver::waitFor([&] { return grid->parentItem()->opacity() == 1; }, 2000))
                     return false;
                 MenuDriver::settle(1500);
                 return true;
             }});
        scenes.append({"measure-strip-warnings", [=](MenuDriver &menu) {
                           // A battery in danger, a memory card error, a failure, a flag.
                           menu.instrument().setRegisters(300747, ModbusBytes::fromUInt16(12));
                           menu.instrument().setRegisters(300754, ModbusBytes::fromUInt16(3));
                           menu.instrument().setRegisters(300724, ModbusBytes::fromUInt16(0x0003));
                           QQuickItem *tabs = menu.item(QStringLiteral("measureTabs"));
                           tabs->setProperty("currentIndex", 0);
                           QQuickItem *power = menu.item(QStringLiteral("powerIndicator"));
                           QQuickItem *card = menu.item(QStringLiteral("cardIndicator"));
                           QQuickItem *es = menu.item(QStringLiteral("esIndicator"));
                           const bool shown = MenuDriver::waitFor(
                               [&] {
                                   return power->property("danger").toBool() &&
                                          card->property("error").toBool() && es->isVisible();
                               },
                               5000);
                           MenuDriver::settle(1200);
                           return shown;
                       }});
        scenes.append(
            {"measure-big", [=](MenuDriver &menu) {
                 menu.instrument().setMeasuring(true);
                 menu.click(menu.item(QStringLiteral("flowTile0")));
                 if (!popupShown(menu, "BigMeasureDialog"))
                     return false;
                 QObject *dialog =
                     menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
                 auto *plot = dialog->findChild<QQuickItem *>(QStringLiteral("bigTrend"));
                 const bool data =
                     MenuDriver::waitFor([&] { return plot->property("hasData").toBool(); }, 5000);
                 MenuDriver::settle(1500);
                 return data;
             }});
        scenes.append(
            {"measure-big-maximized", [=](MenuDriver &menu) {
                 QObject *dialog =
                     menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
                 if (!dialog)
                     return false;
                 menu.click(dialog->findChild<QQuickItem *>(QStringLiteral("bigTrend")));
                 const bool maximized = MenuDriver::waitFor(
                     [&] { return dialog->property("maximized").toBool(); }, 2000);
                 MenuDriver::settle(1000);
                 return maximized;
             }});
        scenes.append({"measure-additional", [=](MenuDriver &menu) {
                           if (!leftPage(menu))
                               return false;
                           menu.click(menu.item(QStringLiteral("additionalButton")));
                           QQuickItem *dialog =
                               menu.item(QStringLiteral("additionalMeasureDialog"));
                           const bool shown =
                               MenuDriver::waitFor([&] { return dialog->isVisible(); }, 2000);
                           MenuDriver::settle(1500);
                           return shown;
                       }});
        scenes.append(
            {"measure-signals", [=](MenuDriver &menu) {
                 menu.click(menu.item(QStringLiteral("additionalCloseButton")));
                 menu.instrument().setCaptureTime(200);
                 menu.click(menu.item(QStringLiteral("signalsButton")));
                 if (!popupShown(menu, "SignalsDialog"))
                     return false;
                 QObject *dialog =
                     menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
                 auto *forward = dialog->findChild<QQuickItem *>(QStringLiteral("forwardPlot"));
                 auto *backward = dialog->findChild<QQuickItem *>(QStringLiteral("backwardPlot"));
                 const bool plots = MenuDriver::waitFor(
                     [&] { return forward->isVisible() && backward->isVisible(); }, 8000);
                 MenuDriver::settle(800);
                 return plots;
             }});
        scenes.append(
            {"measure-signals-window", [=](MenuDriver &menu) {
                 QObject *dialog =
                     menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
                 if (!dialog)
                     return false;
                 auto *forward = dialog->findChild<QQuickItem *>(QStringLiteral("forwardPlot"));
                 menu.click(forward);
                 MenuDriver::settle(500);
                 return forward->property("windowScaled").toBool();
             }});
        scenes.append({"measure-touch-test", [=](MenuDriver &menu) {
                           menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
                           menu.evaluate(QStringLiteral(
                               "screenManager.showPopup('sources/TouchscreenTestPopup.qml')"));
                           if (!popupShown(menu, "TouchscreenTestPopup"))
                               return false;
                           const QPoint at(menu.size().width() / 3, menu.size().height() / 2);
                           QTest::mousePress(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
                           MenuDriver::settle(200);
                           return true;
                       }});
        scenes.append({"measure-done", [=](MenuDriver &menu) {
                           // Back as the scenes after these expect the menu.
                           const QPoint at(menu.size().width() / 3, menu.size().height() / 2);
                           QTest::mouseRelease(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
                           menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
                           menu.instrument().setMeasuring(false);
                           menu.instrument().setRegisters(300747, ModbusBytes::fromUInt16(64));
                           menu.instrument().setRegisters(300754, ModbusBytes::fromUInt16(2));
                           menu.instrument().setRegisters(300724, ModbusBytes::fromUInt16(0));
                           menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(0));
                           menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
                           menu.evaluate(QStringLiteral(
                               "navigationManager.gotoPage(navigationManager.piMain)"));
                           return pageShown(menu, 1);
                       }});
    }
    // The archive page, its charts and its export dialog.
    const auto archivePage = [](MenuDriver &menu, int tab) {
        QObject *screens = menu.object(QStringLiteral("screenManager"));
        QMetaObject::invokeMethod(screens, "closeAllPopups");
        menu.instrument().setDelay(0);
        menu.instrument().setCardStatus(2);
        menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piRight)"));
        QQuickItem *page = menu.item(QStringLiteral("archivePage"));
        QQuickItem *tabs = menu.item(QStringLiteral("archTabs"));
        if (!page || !tabs)
            return false;
        tabs->setProperty("currentIndex", tab);
        const bool shown =
            MenuDriver::waitFor([&] { return page->property("recordShown").toBool(); }, 10000);
        MenuDriver::settle(600);
        return shown;
    };
    const auto showCharts = [](MenuDriver &menu) {
        QObject *page = menu.object(QStringLiteral("archivePage"));
        QMetaObject::invokeMethod(page, "showCharts");
        return MenuDriver::waitFor([&] { return menu.item("archChartsDialog") != nullptr; }, 3000);
    };
    scenes.append(
        {{"archive-page-no-card",
          [archivePage](MenuDriver &menu) {
              if (!archivePage(menu, 0))
                  return false;
              // The next scene puts the card back.
              menu.instrument().setCardStatus(0);
              const bool gone = MenuDriver::waitFor(
                  [&] { return menu.itemByText(QStringLiteral("No memory card")) != nullptr; },
                  5000);
              MenuDriver::settle(300);
              return gone;
          }},
         {"archive-page-flow", [archivePage](MenuDriver &menu) { return archivePage(menu, 0); }},
         {"archive-page-heat", [archivePage](MenuDriver &menu) { return archivePage(menu, 1); }},
         {"archive-page-end-mark",
          [archivePage](MenuDriver &menu) {
              if (!archivePage(menu, 0))
                  return false;
              QObject *page = menu.object(QStringLiteral("archivePage"));
              // A record the measuring instrument adds meanwhile takes the next step first.
              bool marked = false;
              for (int step = 0; step < 5 && !marked; ++step) {
                  QMetaObject::invokeMethod(page, "next");
                  marked = MenuDriver::waitFor(
                      [&] { return menu.item(QStringLiteral("archEndMark"))->isVisible(); },
                      4000);
              }
              MenuDriver::settle(300);
              return marked;
          }},
         {"archive-charts-counting",
          [archivePage, showCharts](MenuDriver &menu) {
              if (!archivePage(menu, 0))
                  return false;
              // A slow instrument keeps the count going while the picture is taken.
              menu.instrument().setDelay(3000);
              if (!showCharts(menu))
                  return false;
              MenuDriver::settle(600);
              return menu.item("archChartsDialog")->property("counting").toBool();
          }},
         {"archive-charts-reading",
          [](MenuDriver &menu) {
              menu.instrument().setDelay(150);
              QQuickItem *dialog = menu.item(QStringLiteral("archChartsDialog"));
              if (!dialog)
                  return false;
              menu.evaluate(QStringLiteral(
                  "menuProps.archChartsFrom.value = new Date(Date.now() - 12 * 3600 * 1000); "
                  "menuProps.archChartsTo.value = new Date()"));
              MenuDriver::waitFor([&] { return !dialog->property("counting").toBool(); }, 8000);
              QMetaObject::invokeMethod(dialog, "start");
              auto *reader = dialog->property("readerItem").value<QObject *>();
              const bool reading = MenuDriver::waitFor(
                  [&] { return reader->property("progress").toInt() > 10; }, 8000);
              MenuDriver::settle(600);
              return reading;
          }},
         {"archive-charts-chart",
          [](MenuDriver &menu) {
              menu.instrument().setDelay(0);
              QQuickItem *dialog = menu.item(QStringLiteral("archChartsDialog"));
              if (!dialog)
                  return false;
              auto *curve = dialog->property("curve").value<QObject *>();
              const bool drawn = MenuDriver::waitFor(
                  [&] {
                      return !dialog->property("reading").toBool() &&
                             curve->property("count").toInt() > 10;
                  },
                  15000);
              MenuDriver::settle(800);
              return drawn;
          }},
         {"archive-export-idle",
          [archivePage](MenuDriver &menu) {
              if (!archivePage(menu, 0))
                  return false;
              menu.evaluate(QStringLiteral(
                  "menuProps.exportArchFrom.value = new Date(Date.now() - 6 * 3600 * 1000); "
                  "menuProps.exportArchTo.value = new Date(); "
                  "screenManager.showPopup(\"sources/ArchExportDialog.qml\", {})"));
              const bool shown = MenuDriver::waitFor(
                  [&] { return menu.item(QStringLiteral("archExportDialog")) != nullptr; }, 3000);
              MenuDriver::settle(1500);
              return shown;
          }},
         {"archive-export-minimised",
          [](MenuDriver &menu) {
              QQuickItem *dialog = menu.item(QStringLiteral("archExportDialog"));
              if (!dialog)
                  return false;
              // The save dialog's answer given here: the picture's program has no one to ask.
              menu.instrument().setDelay(100);
              auto *exporter = dialog->property("exporter").value<QObject *>();
              auto *reader = dialog->property("reader").value<QObject *>();
              exporter->setProperty("fileName",
                                    QDir::temp().filePath(QStringLiteral("menu-shot-export.csv")));
              reader->setProperty("archIndexes", QVariantList{0});
              dialog->setProperty("showsCount", false);
              QMetaObject::invokeMethod(reader, "start");
              QMetaObject::invokeMethod(dialog, "minimize");
              const bool reading = MenuDriver::waitFor(
                  [&] { return reader->property("progress").toInt() > 5; }, 5000);
              MenuDriver::settle(500);
              return reading && dialog->property("minimized").toBool();
          }},
         {"archive-export-completed", [](MenuDriver &menu) {
              menu.instrument().setDelay(0);
              QQuickItem *dialog = menu.item(QStringLiteral("archExportDialog"));
              if (!dialog)
                  return false;
              QObject *screens = menu.object(QStringLiteral("screenManager"));
              QMetaObject::invokeMethod(screens, "expandPopup",
                                        Q_ARG(QVariant, QVariant::fromValue<QObject *>(dialog)));
              const bool done = MenuDriver::waitFor(
                  [&] {
                      return menu.item(QStringLiteral("exportStatusText"))
                                 ->property("text")
                                 .toString() == QLatin1String("Successfully completed");
                  },
                  20000);
              MenuDriver::settle(800);
              QFile::remove(QDir::temp().filePath(QStringLiteral("menu-shot-export.csv")));
              return done;
          }}});
    // The menu in Russian at the smaller size, where the longer texts overflow first: every frame
    // of the tree, a question and the keypad, through the program's own translation files.
    static TranslateHelper *russian = nullptr;
    const auto toRussian = [](MenuDriver &menu) {
        if (russian)
            return true;
        russian = new TranslateHelper(QStringLiteral("menu"), QStringLiteral(DORRIK_PROGRAM_DIR));
        const int file = int(russian->translationFiles().indexOf(QStringLiteral("menu_ru.qm")));
        if (file < 0)
            return false;
        russian->loadTranslation(file);
        qmlEngine(menu.root())->retranslate();
        return true;
    };
    const auto toEnglish = [](MenuDriver &menu) {
        if (!russian)
            return;
        delete russian;
        russian = nullptr;
        qmlEngine(menu.root())->retranslate();
        if (QObject *keypad = menu.object(QStringLiteral("keypadScroller")))
            keypad->setProperty("keypadLanguageName", QStringLiteral("English"));
    };
    const QSize russianSize(640, 480);
    for (const QString &frame : treeFrames) {
        scenes.append({"ru-tree-" + frame.toLatin1(),
                       [frame, toRussian](MenuDriver &menu) {
                           return toRussian(menu) && showTreeFrame(menu, frame, [&] {
                                      if (frame == QLatin1String("documentationFrame"))
                                          putDocuments(menu);
                                  });
                       },
                       russianSize});
    }
    scenes.append({"ru-question-factory-reset",
                   [toRussian](MenuDriver &menu) {
                       menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                       return toRussian(menu) &&
                              showTreeFrame(menu, QStringLiteral("systemSettingsFrame")) &&
                              clickRow(menu, QStringLiteral("initializeRow"));
                   },
                   russianSize});
    scenes.append({"ru-editor-heat-supply-list",
                   [toRussian](MenuDriver &menu) {
                       menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                       return toRussian(menu) &&
                              showTreeFrame(menu, QStringLiteral("heatCalcParametersFrame")) &&
                              MenuDriver::waitFor(
                                  [&] {
                                      return menu
                                          .evaluate(
                                              QStringLiteral("deviceProps.fluidType.value === 0"))
                                          .toBool();
                                  },
                                  3000) &&
                              clickRow(menu, QStringLiteral("heatSupplySystemRow"));
                   },
                   russianSize});
    scenes.append({"ru-keypad-letters",
                   [toRussian](MenuDriver &menu) {
                       return toRussian(menu) && showKeypad(menu, "shownText",
                                                            {{QStringLiteral("keypadLanguageName"),
                                                              QString::fromUtf8("Русский")}});
                   },
                   russianSize});
    scenes.append(
        {"ru-keypad-numbers",
         [toRussian](MenuDriver &menu) { return toRussian(menu) && showKeypad(menu, "shownNum"); },
         russianSize});
    // The archive page, its charts and export dialogs, and the sites screens, in Russian.
    for (const char *name :
         {"sites-selection", "sites-modifying", "sites-tree-dialog", "archive-page-flow",
          "archive-page-heat", "archive-charts-counting", "archive-charts-reading",
          "archive-charts-chart", "archive-export-idle", "archive-export-minimised"}) {
        for (const Scene &scene : QList<Scene>(scenes)) {
            if (scene.name == name) {
                scenes.append({"ru-" + scene.name,
                               [walk = scene.walk, toRussian](MenuDriver &menu) {
                                   return toRussian(menu) && walk(menu);
                               },
                               russianSize});
            }
        }
    }
    // The tree's own pictures are English again.
    if (!treeScenes.isEmpty()) {
        treeScenes.first().walk = [walk = treeScenes.first().walk, toEnglish](MenuDriver &menu) {
            toEnglish(menu);
            return walk(menu);
        };
    }
    scenes.append(treeScenes);

    int failures = 0;
    QStringList written;
    for (const QSize size : {QSize(800, 600), QSize(640, 480)}) {
        const QString dir =
            QStringLiteral("%1/%2x%3").arg(folder).arg(size.width()).arg(size.height());
        QDir().mkpath(dir);
        MenuDriver menu(size);
        // The tree with everything it can show: the heat channel, a failure, a battery.
        menu.instrument().setGeneration(2);
        menu.instrument().setHeatChannel(true);
        menu.instrument().setRegisters(300751, ModbusBytes::fromUInt16(0x0005));
        menu.instrument().setRegisters(300746, ModbusBytes::fromUInt16(1));
        menu.instrument().setRegisters(300747, ModbusBytes::fromUInt16(64));
        menu.instrument().setRegisters(300748, ModbusBytes::fromUInt16(90));
        menu.instrument().setRegisters(400202, ModbusBytes::fromFloat(0.5f));
        menu.instrument().setRegisters(400204, ModbusBytes::fromFloat(1.25f));
        menu.instrument().setRegisters(403101, ModbusBytes::fromUInt16(2));
        if (!menu.start()) {
            std::fprintf(stderr, "menu-shot: %s\n", qPrintable(menu.error()));
            return 1;
        }
        for (const Scene &scene : scenes) {
            if (!scene.only.isEmpty() && scene.only != size)
                continue;
            const QString file = QStringLiteral("%1/%2.png").arg(dir, QLatin1String(scene.name));
            if (!scene.walk(menu)) {
                std::fprintf(stderr, "menu-shot: scene %s did not come about\n",
                             scene.name.constData());
                ++failures;
            }
            MenuDriver::settle(100);
            if (!menu.grab().save(file))
                std::fprintf(stderr, "menu-shot: can't write %s\n", qPrintable(file));
            written.append(file);
        }
        for (const QString &request : menu.unmappedRequests()) {
            std::fprintf(stderr, "menu-shot: request outside the register map: %s\n",
                         qPrintable(request));
            ++failures;
        }
        delete overlay;
    }
    for (const QString &warning : QmlWarningRule::unreported()) {
        std::fprintf(stderr, "menu-shot: QML warning of the menu: %s\n", qPrintable(warning));
        ++failures;
    }

    for (const QString &file : std::as_const(written)) {
        const QImage image(file);
        if (image.isNull()) {
            std::fprintf(stderr, "menu-shot: %s is missing\n", qPrintable(file));
            ++failures;
        } else if (flatColour(image)) {
            std::fprintf(stderr, "menu-shot: %s is one flat colour\n", qPrintable(file));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(file));
        }
    }
    return failures == 0 ? 0 : 1;
}
