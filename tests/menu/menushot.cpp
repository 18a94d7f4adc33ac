// menu-shot: walks the menu's scenes against the simulated instrument at 800x600 and 640x480
// and saves a picture of each as <folder>/<width>x<height>/<scene>.png, for a reviewer. Then
// reads every picture back: a missing one, or one of a single flat colour, fails the run.
#include "menucontext.h"
#include "menudriver.h"
#include "modbusbytes.h"
#include "qmlwarningrule.h"

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
             // The instrument's flow rate as it answered it last.
             const auto flowShown = [&] {
                 const float flow = menu.instrument().registers(300720, 2).toFloat(0);
                 return menu.itemByText(QStringLiteral("Q %1 m³/h").arg(double(flow), 0, 'f', 3)) !=
                        nullptr;
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
            MenuDriver::waitFor([&] { return page->property("recordShown").toBool(); }, 5000);
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
              QMetaObject::invokeMethod(page, "next");
              const bool marked = MenuDriver::waitFor(
                  [&] { return menu.item(QStringLiteral("archEndMark"))->isVisible(); }, 3000);
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
