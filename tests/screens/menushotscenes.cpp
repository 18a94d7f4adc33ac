// menu-shot's scene table: the runs of pictures, each a walk of the menu against the simulated
// instrument, in the order they are taken.
#include "menucontext.h"
#include "menudriver.h"
#include "menushot.h"
#include "modbusbytes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace MenuShot {

namespace {

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

// The sea battle the fight's picture left, played to its end by the next.
QPointer<QObject> seaBattle;
int seaBattleNextShot = 0;

// The instrument's sites table as the pictures show it: groups, a subgroup and sites without.
// "Site 1" stays the current site (slot 0), as the later scenes expect. Put before the menu
// starts, so that its first reading of the table finds them.
void putShotSites(TavrinInstrument &instrument)
{
    const QList<QStringList> sites{{"", "", "Site 1"},
                                   {"Boiler", "North", "N1"},
                                   {"Boiler", "North", "N2"},
                                   {"Pumps", "", "P1"},
                                   {"Boiler", "", "B1"}};
    for (int slot = 0; slot < sites.size(); ++slot)
        instrument.setSiteRecord(slot, sites[slot][0], sites[slot][1], sites[slot][2]);
    instrument.setSitesRevision(instrument.sitesRevision() + 1);
}

bool shotSitesRead(MenuDriver &menu)
{
    return MenuDriver::waitFor(
        [&] { return menu.evaluate("sitesManager.model.sitesCount").toInt() == 5; }, 20000);
}

// The instrument's schedule in `mode` (0 periodic, 1 interval), two entries of the interval plan
// with times, one enabled.
void putSchedule(MenuDriver &menu, int mode)
{
    menu.instrument().setRegisters(403561, ModbusBytes::fromUInt16(quint16(mode)));
    const QDateTime start(QDate(2026, 12, 14), QTime(8, 0), Qt::UTC);
    for (int i = 0; i < 2; ++i)
        menu.instrument().setRegisters(
            403571 + 6 * quint32(i),
            ModbusBytes::fromUInt16(quint16(1 - i)) + ModbusBytes::fromDateTime(start.addDays(i)) +
                ModbusBytes::fromDateTime(start.addDays(i).addSecs(9 * 3600)) +
                ModbusBytes::fromUInt16(quint16(6 + i)));
}

// Stored configurations in the menu's folder for them, a long name among them.
void putConfigFiles(MenuDriver &menu)
{
    const QString dir = menu.evaluate(QStringLiteral("menuContext.modbusConfigsDir")).toString();
    QDir().mkpath(dir);
    const QStringList names = {"2026-12-01_09-30-00_3000000001.xml",
                               "2026-12-05_14-12-45_3000000001.xml",
                               "2026-12-09_08-00-00_3000000001_boiler_house_north_wing.xml"};
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < names.size(); ++i) {
        QFile file(dir + names.at(i));
        if (file.open(QIODevice::WriteOnly))
            file.setFileTime(now.addDays(i - 10), QFileDevice::FileModificationTime);
    }
}

// The menu's pages and the instrument's answers lost.
QList<Shot> pagesShots()
{
    return {
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
             if (!MenuDriver::waitFor(flowShown, 10000))
                 return false;
             // The device's status fades in once answers come.
             QObject *status = menu.object(QStringLiteral("deviceTopPanel"));
             return MenuDriver::waitFor([&] { return status->property("opacity").toReal() >= 1; },
                                        10000);
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
                                        10000);
         }},
        // Meanwhile the tiles show their values as not read.
        {"no-connection-measurements",
         [](MenuDriver &menu) {
             menu.keyClick(Qt::Key_0);
             QQuickItem *tile = menu.item(QStringLiteral("flowTile0"));
             QQuickItem *value =
                 tile ? tile->findChild<QQuickItem *>(QStringLiteral("tileValue")) : nullptr;
             return pageShown(menu, 0) && value &&
                    MenuDriver::waitFor([&] { return value->property("text").toString() == "---"; },
                                        10000);
         }},
    };
}

// The controls, the keypad, the pictures' own column menu and its editors.
QList<Shot> controlsShots()
{
    return {
        {"controls-buttons-inputs-lists",
         [](MenuDriver &menu) {
             return showOverlay(menu, "ControlsGallery.qml",
                                {{QStringLiteral("page"), 0},
                                 {QStringLiteral("explorerDir"),
                                  QStringLiteral(DORRIK_SHARE_QML_DIR)}}) != nullptr;
         }},
        {"controls-dates-brightness-tabs-texts",
         [](MenuDriver &menu) {
             return showOverlay(menu, "ControlsGallery.qml", {{QStringLiteral("page"), 1}}) !=
                    nullptr;
         },
         Sizes::Both, Language::English, true},
        {"controls-progress",
         [](MenuDriver &menu) {
             if (!showOverlay(menu, "ControlsGallery.qml", {{QStringLiteral("page"), 2}}))
                 return false;
             // The sweep's mark is clearest halfway along its path.
             QObject *mark = menu.object(QStringLiteral("progresserMark"));
             return mark && MenuDriver::waitFor(
                                [&] { return mark->property("closeness").toReal() > 0.95; }, 10000);
         },
         Sizes::Both, Language::English, true},
        {"keypad-english", [](MenuDriver &menu) { return showKeypad(menu, "shownText"); },
         Sizes::SmallOnly, Language::English, true},
        {"keypad-english-shift",
         [](MenuDriver &menu) {
             if (!showKeypad(menu, "shownText"))
                 return false;
             QObject *keypad = menu.object(QStringLiteral("keypadScroller"));
             keypad->property("textKeypad").value<QObject *>()->setProperty("isUpperCase", true);
             return true;
         },
         Sizes::SmallOnly},
        {"keypad-russian",
         [](MenuDriver &menu) {
             return showKeypad(
                 menu, "shownText",
                 {{QStringLiteral("keypadLanguageName"), QString::fromUtf8("Русский")}});
         },
         Sizes::SmallOnly},
        {"keypad-numbers", [](MenuDriver &menu) { return showKeypad(menu, "shownNum"); },
         Sizes::SmallOnly},
        {"keypad-language-list",
         [](MenuDriver &menu) {
             if (!showKeypad(menu, "shownText",
                             {{QStringLiteral("keypadLanguageName"), QStringLiteral("English")}}))
                 return false;
             menu.object(QStringLiteral("keypadScroller"))->setProperty("languagePanelOpen", true);
             return true;
         },
         Sizes::SmallOnly},
        {"menu-column-overloaded", [](MenuDriver &menu) { return showShotFrames(menu); },
         Sizes::Both, Language::English, true},
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
                                  10000);
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
}

// The document viewers with the shipped guide, and the calculator with memory and history.
QList<Shot> documentsShots()
{
    return {
        {"viewer-pdf-guide",
         [](MenuDriver &menu) {
             return showPopupScene(
                 menu,
                 QStringLiteral("screenManager.showViewer(menuContext.docsDir + "
                                "\"Short User Guide.pdf\", {caption: \"Short User Guide\"})"),
                 QStringLiteral("popup.viewer && popup.viewer.pagesCount > 0 && "
                                "popup.viewer.renderer.rendered"));
         },
         Sizes::Both, Language::English, true},
        {"viewer-pdf-guide-zoomed-page-2",
         [](MenuDriver &menu) {
             return showPopupScene(
                 menu,
                 QStringLiteral("(function () { var popup = screenManager.showViewer("
                                "menuContext.docsDir + \"Short User Guide.pdf\"); "
                                "popup.viewer.gotoPage(2); popup.viewer.scaleIn(); })()"),
                 QStringLiteral("popup.viewer && popup.viewer.page === 2 && "
                                "popup.viewer.renderer.rendered"));
         },
         Sizes::Both, Language::English, true},
        {"viewer-html-guide",
         [](MenuDriver &menu) {
             return showPopupScene(
                 menu,
                 QStringLiteral("screenManager.showViewer(menuContext.docsDir + "
                                "\"Short User Guide.html\", {caption: \"Short User Guide\"})"),
                 QStringLiteral("popup.viewer && popup.viewer.textItem.text !== \"\""));
         },
         Sizes::Both, Language::English, true},
        {"calculator-memory-history",
         [](MenuDriver &menu) {
             return showPopupScene(
                 menu,
                 QStringLiteral("(function () { var popup = screenManager.showApp("
                                "\"Calculator\"); var keys = [\"1\", \"2\", \"5\", "
                                "\"\u00D7\", \"4\", \"=\", \"m+\", \"\u221A\", "
                                "\"+\", \"3\", \"=\", \"=\", \"8\", \"log\", \"2\", "
                                "\"=\", \"3\", \"\u00F7\", \"7\", \"\u00D7\"]; "
                                "for (var i = 0; i < keys.length; ++i) popup.press(keys[i]); })()"),
                 QStringLiteral("popup.history !== undefined && popup.history.length > 0"));
         },
         Sizes::Both, Language::English, true}};
}

// The games.
QList<Shot> gamesShots()
{
    QList<Shot> shots;
    shots.append(
        {"seabattle-arrangement-refused", [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("SeaBattle"));
             if (!game ||
                 !MenuDriver::waitFor(
                     [&] { return game->property("state") == QLatin1String("arrangement"); },
                     10000))
                 return false;
             QObject *player = game->property("player").value<QObject *>();
             QMetaObject::invokeMethod(player, "placeShip", Q_ARG(int, 0), Q_ARG(int, 0),
                                       Q_ARG(int, 4), Q_ARG(bool, false));
             QMetaObject::invokeMethod(player, "placeShip", Q_ARG(int, 2), Q_ARG(int, 2),
                                       Q_ARG(int, 3), Q_ARG(bool, true));
             stillPicture(menu, 400);
             // The next three-cell ship pressed against the first two.
             holdAt(menu, cellPoint(game->property("bigField").value<QObject *>(), 3, 1));
             QObject *overlay = child(game, "ghostOverlay");
             return overlay && overlay->property("visible").toBool() &&
                    child(game, "ghostShip")->property("visible").toBool();
         }});
    shots.append(
        {"seabattle-fight",
         [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("SeaBattle"));
             seaBattle = game;
             seaBattleNextShot = 0;
             if (!game ||
                 !MenuDriver::waitFor(
                     [&] { return game->property("state") == QLatin1String("arrangement"); },
                     10000))
                 return false;
             QObject *player = game->property("player").value<QObject *>();
             QMetaObject::invokeMethod(player, "autoArrangeShips");
             auto *begin = qobject_cast<QQuickItem *>(child(game, "beginButton"));
             if (!MenuDriver::waitFor(
                     [&] { return begin->isEnabled() && begin->property("opacity").toReal() == 1; },
                     10000))
                 return false;
             menu.click(begin);
             if (!shootCells(menu, game, seaBattleNextShot, 20))
                 return false;
             stillPicture(menu, 400);
             return game->property("state") == QLatin1String("fighting");
         },
         Sizes::Both, Language::English, true});
    shots.append({"seabattle-end", [](MenuDriver &menu) {
                      if (!seaBattle || !shootCells(menu, seaBattle, seaBattleNextShot, 100))
                          return false;
                      stillPicture(menu, 400);
                      return seaBattle->property("state") == QLatin1String("afterGame");
                  }});
    shots.append(
        {"balls-burst",
         [](MenuDriver &menu) {
             QObject *game = showGame(menu, QStringLiteral("Balls"));
             if (!game)
                 return false;
             // The board fills before it is played.
             stillPicture(menu, 1200);
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
             // Taken while the last group still grows and fades: a moment, not a condition.
             MenuDriver::settle(60);
             return game->property("score").toInt() > 0;
         },
         Sizes::Both, Language::English, true});
    return shots;
}

// Connection settings dialog, with the RS-485 rows and with the USB devices.
QList<Shot> connectionShots()
{
    QList<Shot> shots;
    const QString openDialog =
        QStringLiteral("screenManager.showConnectionSettingsDialog(null, {\"serialNumberItem\": "
                       "deviceModbus.serialNumber, \"reportItem\": deviceModbus.report})");
    const QString dialogReady = QStringLiteral("popup.objectName === \"connectionSettingsDialog\"");
    // The instrument's link stays the client's across the set-up the change makes.
    const auto connectAs = [](MenuDriver &menu, MenuContext::ConnectionType type) {
        menu.detachLink();
        menu.context()->setConnectionType(type);
        menu.restoreLink();
    };
    shots.append(
        {{"connection-settings-rs485",
          [=](MenuDriver &menu) {
              connectAs(menu, MenuContext::RS485);
              return showPopupScene(menu, openDialog, dialogReady);
          }},
         // The dialog's last rows: the time-outs with their unit.
         {"connection-settings-rs485-timeouts",
          [=](MenuDriver &menu) {
              connectAs(menu, MenuContext::RS485);
              if (!showPopupScene(menu, openDialog, dialogReady))
                  return false;
              const bool moved =
                  menu.evaluate(QStringLiteral("screenManager.activePopup.focusLastRow(); true"))
                      .toBool();
              stillPicture(menu, 500);
              return moved;
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
              if (!MenuDriver::waitFor(
                      [&] {
                          return menu
                              .evaluate(
                                  QStringLiteral("(function (view) { return view.count === 2 &&"
                                                 " view.itemAtIndex(1) !== null })"
                                                 "(screenManager.activePopup.devicesView)"))
                              .toBool();
                      },
                      10000))
                  return false;
              menu.evaluate(
                  QStringLiteral("(function () { var view = screenManager.activePopup.devicesView;"
                                 "  var numbers = [\"1001\", \"2002\"];"
                                 "  for (var i = 0; i < view.count; ++i)"
                                 "    view.itemAtIndex(i).instrumentNumber = numbers[i]; })()"));
              stillPicture(menu, 300);
              return true;
          }}});
    return shots;
}

// Configuration save and load: the frame with files, the progress dialog saving, completed
// and failed.
QList<Shot> configShots()
{
    QList<Shot> shots;
    const auto startSave = [](MenuDriver &menu) {
        menu.evaluate(QStringLiteral("navigationManager.currentFrame.showProgress(true);"
                                     " exportManager.exportConfig(deviceProps.time.value)"));
    };
    const auto captionIs = [](MenuDriver &menu, const QString &caption) {
        return MenuDriver::waitFor(
            [&] {
                return menu.evaluate(QStringLiteral("screenManager.activePopup ?"
                                                    " screenManager.activePopup.caption : \"\""))
                           .toString() == caption;
            },
            20000);
    };
    shots.append({"config-files", [](MenuDriver &menu) {
                      return showTreeFrame(menu, QStringLiteral("exportImportFrame"),
                                           [&] { putConfigFiles(menu); });
                  }});
    shots.append(
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
                 10000);
             stillPicture(menu, 500);
             return saving;
         }});
    shots.append({"config-saved", [captionIs](MenuDriver &menu) {
                      menu.evaluate(QStringLiteral("exportManager.sitePostDelay = 20"));
                      const bool done =
                          captionIs(menu, QStringLiteral("Saving successfully completed"));
                      stillPicture(menu, 500);
                      return done;
                  }});
    shots.append({"config-error", [startSave, captionIs](MenuDriver &menu) {
                      if (!showTreeFrame(menu, QStringLiteral("exportImportFrame")))
                          return false;
                      menu.instrument().setException(403001, DorrikBus::IllegalDataAddress);
                      startSave(menu);
                      const bool failed =
                          captionIs(menu, QStringLiteral("Error saving configuration"));
                      menu.instrument().clearExceptions();
                      menu.evaluate(QStringLiteral("exportManager.sitePostDelay = 1000;"
                                                   " exportManager.completionDelay = 1000"));
                      stillPicture(menu, 500);
                      return failed;
                  }});
    return shots;
}

// The configurations in Russian at both sizes: the buttons, the load question of a long name,
// and a refused file's reason in the progress dialog.
QList<Shot> russianConfigShots()
{
    // One file, cut off after its opening lines: the load refuses it with a reason.
    const auto putCutFile = [](MenuDriver &menu) {
        const QString dir =
            menu.evaluate(QStringLiteral("menuContext.modbusConfigsDir")).toString();
        QDir().mkpath(dir);
        QFile file(dir + QStringLiteral("2026-12-09_08-00-00_3000000001.xml"));
        if (file.open(QIODevice::WriteOnly))
            file.write("<?xml version=\"1.0\"?>\n<!DOCTYPE dorrikbus>\n<dorrikbus>\n"
                       "<modbusitems version=\"1.0\">\n");
    };
    const auto showFiles = [putCutFile](MenuDriver &menu) {
        return showTreeFrame(menu, QStringLiteral("exportImportFrame"),
                             [&] { putCutFile(menu); });
    };
    QList<Shot> shots;
    shots.append({"ru-config-files", showFiles, Sizes::Both, Language::Russian, true});
    shots.append({"ru-config-load-question",
                  [showFiles](MenuDriver &menu) {
                      if (!showFiles(menu))
                          return false;
                      menu.evaluate(QStringLiteral("navigationManager.currentFrame.loadCurrent()"));
                      const bool asked = MenuDriver::waitFor(
                          [&] {
                              return !menu.evaluate(
                                              QStringLiteral("screenManager.activePopup === null"))
                                          .toBool();
                          },
                          10000);
                      stillPicture(menu, 500);
                      return asked;
                  },
                  Sizes::Both, Language::Russian, true});
    shots.append({"ru-config-load-refused",
                  [showFiles](MenuDriver &menu) {
                      if (!showFiles(menu))
                          return false;
                      menu.evaluate(QStringLiteral(
                          "exportManager.showProgress(false); exportManager.importConfig("
                          "menuContext.modbusConfigsDir + \"2026-12-09_08-00-00_3000000001.xml\")"));
                      const bool refused = MenuDriver::waitFor(
                          [&] {
                              return !menu.evaluate(QStringLiteral("exportManager.errorDetail"))
                                          .toString()
                                          .isEmpty();
                          },
                          10000);
                      stillPicture(menu, 500);
                      return refused;
                  },
                  Sizes::Both, Language::Russian, true});
    return shots;
}

// Calibration wizards in each of their states.
QList<Shot> calibrationShots()
{
    QList<Shot> shots;
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
        shots.append({prefix + "-default",
                      [frame](MenuDriver &menu) {
                          return showTreeFrame(menu, frame, [&] {
                              menu.evaluate("navigationManager.deviceFrames." + frame +
                                            ".waitDuration = 4000");
                          });
                      },
                      Sizes::Both, Language::English, true});
        shots.append({prefix + "-waiting", [=](MenuDriver &menu) {
                          menu.click(menu.item(buttons + "StartButton"));
                          if (!waitWizard(menu, frame, "waiting", 10000))
                              return false;
                          // Halfway along the bar.
                          return MenuDriver::waitFor(
                              [&] {
                                  return menu.evaluate("navigationManager.deviceFrames." + frame +
                                                       ".progress")
                                             .toReal() >= 50;
                              },
                              10000);
                      }});
        shots.append({prefix + "-finished", [=](MenuDriver &menu) {
                          return waitWizard(menu, frame, "finished", 10000);
                      }});
    }
    const QString onFlow = QStringLiteral("settingZeroFlowPointFrame");
    const auto onFlowScene = [&](const QByteArray &name, const QString &state,
                                 const std::function<bool(MenuDriver &)> &step) {
        shots.append({"calib-on-flow-" + name, [=](MenuDriver &menu) {
                          if (!step(menu) || !waitWizard(menu, onFlow, state, 10000))
                              return false;
                          stillPicture(menu, 300);
                          return true;
                      }});
    };
    // Part of the countdown run: some of the bar's steps filled.
    const auto countdownRun = [onFlow](MenuDriver &menu) {
        return MenuDriver::waitFor(
            [&] {
                return menu.evaluate("navigationManager.deviceFrames." + onFlow +
                                     ".progressBar.value")
                           .toInt() >= 4;
            },
            10000);
    };
    const auto clickItem = [](const QString &name) {
        return [name](MenuDriver &menu) {
            QQuickItem *item = menu.item(name);
            if (!item || !MenuDriver::waitFor([&] { return item->isEnabled(); }, 10000))
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
    shots.last().standalone = true;
    onFlowScene("stage1_2", "stage1_2", [=](MenuDriver &menu) {
        if (!clickItem("onFlowStartButton")(menu) || !waitWizard(menu, onFlow, "stage1_2", 10000))
            return false;
        return countdownRun(menu);
    });
    onFlowScene("stage2-speed-differs", "stage2", [=](MenuDriver &menu) {
        // Stage 1 over first: it takes its sound speed at its end.
        QQuickItem *next = menu.item(QStringLiteral("onFlowNextButton"));
        if (!next || !MenuDriver::waitFor([&] { return next->isEnabled(); }, 10000))
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
            10000);
    });
    onFlowScene("stage2", "stage2", [](MenuDriver &menu) {
        menu.instrument().setSoundSpeed(1.483);
        return MenuDriver::waitFor(
            [&] {
                return menu
                    .evaluate(QStringLiteral("navigationManager.deviceFrames."
                                             "settingZeroFlowPointFrame.speedsAgree"))
                    .toBool();
            },
            10000);
    });
    onFlowScene("stage2_3", "stage2_3", [=](MenuDriver &menu) {
        if (!clickItem("onFlowNextButton")(menu) || !waitWizard(menu, onFlow, "stage2_3", 10000))
            return false;
        return countdownRun(menu);
    });
    onFlowScene("stage3", "stage3", [=](MenuDriver &menu) {
        const bool clicked = clickItem("onFlowNextButton")(menu);
        menu.instrument().setSoundSpeed(0);
        return clicked;
    });
    return shots;
}

// The schedule frame in both modes, its question and a job's end.
QList<Shot> scheduleShots()
{
    QList<Shot> shots;
    const auto showSchedule = [](MenuDriver &menu, int mode) {
        putSchedule(menu, mode);
        return showTreeFrame(menu, QStringLiteral("scheduleSettingsFrame"), [&] {
            MenuDriver::waitFor(
                [&] { return menu.evaluate("deviceProps.scheduleMode.value").toInt() == mode; },
                10000);
        });
    };
    shots.append({"schedule-periodic", [=](MenuDriver &menu) { return showSchedule(menu, 0); }});
    shots.append({"schedule-interval", [=](MenuDriver &menu) { return showSchedule(menu, 1); }});
    shots.append(
        {"schedule-question-run", [](MenuDriver &menu) {
             menu.click(menu.item(QStringLiteral("scheduleStartButton")));
             return MenuDriver::waitFor(
                 [&] { return menu.itemByText(QStringLiteral("Run the scheduler?")) != nullptr; },
                 10000);
         }});
    shots.append(
        {"schedule-job-completed", [=](MenuDriver &menu) {
             // The job ends while the frame is not shown.
             if (!showTreeFrame(menu, QStringLiteral("applicationsFrame")))
                 return false;
             menu.instrument().setRegisters(300753, ModbusBytes::fromUInt16(2));
             if (!MenuDriver::waitFor(
                     [&] {
                         return menu.evaluate(QStringLiteral("deviceProps.scheduleState.done"))
                             .toBool();
                     },
                     10000))
                 return false;
             return showSchedule(menu, 1) &&
                    MenuDriver::waitFor(
                        [&] {
                            return menu.itemByText(QStringLiteral("Scheduled job completed")) !=
                                   nullptr;
                        },
                        10000);
         }});
    shots.append({"schedule-done-closed", [](MenuDriver &menu) {
                      QQuickItem *ok = menu.item(QStringLiteral("messageBoxOkButton"));
                      QObject *screens = menu.object(QStringLiteral("screenManager"));
                      // Pressed once the report is open: a press while it opens goes nowhere.
                      if (!ok || !MenuDriver::waitFor(
                                     [&] {
                                         QObject *popup =
                                             screens->property("activePopup").value<QObject *>();
                                         return popup && popup->property("topActive").toBool();
                                     },
                                     10000))
                          return false;
                      menu.click(ok);
                      const bool closed = MenuDriver::waitFor(
                          [&] { return !screens->property("hasActivePopup").toBool(); }, 15000);
                      stillPicture(menu, 600);
                      return closed;
                  }});
    return shots;
}

// The sites screens: the selection list, modifying mode, the editor, the table being read
// and the sites tree dialog.
QList<Shot> sitesShots()
{
    QList<Shot> shots;
    const auto sitesFrame = [](MenuDriver &menu, bool modifying, const QStringList &path) {
        if (!showTreeFrame(menu, QStringLiteral("sitesFrame")))
            return false;
        QObject *frame = menu.object(QStringLiteral("sitesFrame"));
        frame->setProperty("modifying", modifying);
        menu.evaluate(
            QStringLiteral("sitesManager.model.groupPath = %1")
                .arg(path.isEmpty() ? QStringLiteral("[]") : "['" + path.join("', '") + "']"));
        // A change of the table read meanwhile covers the list until it is read again.
        const bool read =
            MenuDriver::waitFor([&] { return !frame->property("updating").toBool(); }, 20000);
        answersIn(menu);
        stillPicture(menu, 400);
        return read;
    };
    shots.append({"sites-selection", [=](MenuDriver &menu) {
                      return shotSitesRead(menu) && sitesFrame(menu, false, {});
                  }});
    shots.append({"sites-selection-subgroup", [=](MenuDriver &menu) {
                      return sitesFrame(menu, false, {"Boiler", "North"});
                  }});
    shots.append(
        {"sites-modifying", [=](MenuDriver &menu) { return sitesFrame(menu, true, {"Boiler"}); }});
    shots.append(
        {"sites-edit-copy", [=](MenuDriver &menu) {
             if (!sitesFrame(menu, true, {"Boiler"}))
                 return false;
             QObject *frame = menu.object(QStringLiteral("sitesFrame"));
             menu.evaluate(
                 QStringLiteral("(function (f) { for (var i = 0; i < f.siteList.count; ++i) {"
                                " var r = f.siteList.itemAtIndex(i);"
                                " if (r.rowInfo.name === 'B1') f.act(i, 1) } })"
                                "(navigationManager.deviceFrames.frameWithSite)"));
             const bool shown = MenuDriver::waitFor(
                 [&] {
                     return menu.evaluate("navigationManager.currentFrame.objectName").toString() ==
                            QLatin1String("editSiteFrame");
                 },
                 10000);
             answersIn(menu);
             stillPicture(menu, 500);
             return shown && frame;
         }});
    shots.append({"sites-updating", [=](MenuDriver &menu) {
                      if (!sitesFrame(menu, false, {}))
                          return false;
                      menu.instrument().setDelay(1500);
                      menu.instrument().setSitesRevision(menu.instrument().sitesRevision() + 1);
                      QObject *frame = menu.object(QStringLiteral("sitesFrame"));
                      const bool covered = MenuDriver::waitFor(
                          [&] { return frame->property("updating").toBool(); }, 20000);
                      stillPicture(menu, 300);
                      return covered;
                  }});
    shots.append(
        {"sites-tree-dialog", [=](MenuDriver &menu) {
             menu.instrument().setDelay(0);
             QObject *frame = menu.object(QStringLiteral("sitesFrame"));
             if (!MenuDriver::waitFor([&] { return !frame->property("updating").toBool(); }, 10000))
                 return false;
             return showPopupScene(
                 menu,
                 QStringLiteral("(function () { var d = screenManager.showPopup("
                                "'sources/SitesTreeDialog.qml', {selectedSites: [0, 2, 4]});"
                                " d.expandRow(0); d.expandRow(1); })()"),
                 QStringLiteral("popup.rowsModel !== undefined && "
                                "popup.rowsModel.count === 7"));
         }});
    return shots;
}

// The measurement page on both grids, the status strip's warnings, the big, additional and
// signals dialogs and the touch test.
QList<Shot> measureShots()
{
    QList<Shot> shots;
    const auto popupShown = [](MenuDriver &menu, const char *type) {
        return MenuDriver::waitFor(
            [&] {
                QObject *popup =
                    menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
                return popup && QByteArray(popup->metaObject()->className()).startsWith(type) &&
                       popup->property("topActive").toBool();
            },
            10000);
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
                    return !menu.evaluate(QStringLiteral("screenManager.hasActivePopup")).toBool();
                },
                10000))
            return false;
        stillPicture(menu, 500);
        menu.evaluate(QStringLiteral("navigationManager.gotoPage(navigationManager.piLeft)"));
        return pageShown(menu, 0);
    };
    shots.append({"measure-flow", [=](MenuDriver &menu) {
                      menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(0));
                      menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
                      if (!leftPage(menu))
                          return false;
                      QQuickItem *value = tileItem(menu, "flowTile0", "tileValue");
                      const QQuickItem *tabs = menu.item(QStringLiteral("measureTabs"));
                      return MenuDriver::waitFor(
                          [&] {
                              const float flow = menu.instrument().registers(300720, 2).toFloat(0);
                              return value && !tabs->isVisible() &&
                                     value->property("text").toString() ==
                                         QString::number(double(flow), 'f', 3);
                          },
                          10000);
                  }});
    shots.append(
        {"measure-heat", [=](MenuDriver &menu) {
             menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(1));
             menu.evaluate(QStringLiteral("deviceModbus.heatSupplySystem.read()"));
             QQuickItem *tabs = menu.item(QStringLiteral("measureTabs"));
             if (!MenuDriver::waitFor([&] { return tabs->isVisible(); }, 10000))
                 return false;
             tabs->setProperty("currentIndex", 1);
             QQuickItem *grid = menu.item(QStringLiteral("heatGrid"));
             if (!MenuDriver::waitFor([&] { return grid->parentItem()->opacity() == 1; }, 10000))
                 return false;
             stillPicture(menu, 1500);
             return true;
         }});
    shots.append({"measure-strip-warnings", [=](MenuDriver &menu) {
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
                          10000);
                      stillPicture(menu, 1200);
                      return shown;
                  }});
    shots.append(
        {"measure-big", [=](MenuDriver &menu) {
             menu.instrument().setMeasuring(true);
             menu.click(menu.item(QStringLiteral("flowTile0")));
             if (!popupShown(menu, "BigMeasureDialog"))
                 return false;
             QObject *dialog =
                 menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
             auto *plot = dialog->findChild<QQuickItem *>(QStringLiteral("bigTrend"));
             const bool data =
                 MenuDriver::waitFor([&] { return plot->property("hasData").toBool(); }, 10000);
             stillPicture(menu, 1500);
             return data;
         }});
    shots.append(
        {"measure-big-maximized", [=](MenuDriver &menu) {
             QObject *dialog =
                 menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
             if (!dialog)
                 return false;
             menu.click(dialog->findChild<QQuickItem *>(QStringLiteral("bigTrend")));
             const bool maximized =
                 MenuDriver::waitFor([&] { return dialog->property("maximized").toBool(); }, 10000);
             stillPicture(menu, 1000);
             return maximized;
         }});
    shots.append({"measure-additional", [=](MenuDriver &menu) {
                      if (!leftPage(menu))
                          return false;
                      menu.click(menu.item(QStringLiteral("additionalButton")));
                      QQuickItem *dialog = menu.item(QStringLiteral("additionalMeasureDialog"));
                      const bool shown =
                          MenuDriver::waitFor([&] { return dialog->isVisible(); }, 10000);
                      stillPicture(menu, 1500);
                      return shown;
                  }});
    shots.append(
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
                 [&] { return forward->isVisible() && backward->isVisible(); }, 10000);
             stillPicture(menu, 800);
             return plots;
         }});
    shots.append(
        {"measure-signals-window", [=](MenuDriver &menu) {
             QObject *dialog =
                 menu.evaluate(QStringLiteral("screenManager.activePopup")).value<QObject *>();
             if (!dialog)
                 return false;
             auto *forward = dialog->findChild<QQuickItem *>(QStringLiteral("forwardPlot"));
             menu.click(forward);
             const bool scaled = MenuDriver::waitFor(
                 [&] { return forward->property("windowScaled").toBool(); }, 10000);
             stillPicture(menu, 500);
             return scaled;
         }});
    shots.append({"measure-touch-test", [=](MenuDriver &menu) {
                      menu.evaluate(QStringLiteral("screenManager.closeAllPopups()"));
                      menu.evaluate(QStringLiteral(
                          "screenManager.showPopup('sources/TouchscreenTestPopup.qml')"));
                      if (!popupShown(menu, "TouchscreenTestPopup"))
                          return false;
                      const QPoint at(menu.size().width() / 3, menu.size().height() / 2);
                      QTest::mousePress(menu.window(), Qt::LeftButton, Qt::NoModifier, at);
                      stillPicture(menu, 500);
                      return true;
                  }});
    shots.append({"measure-done", [=](MenuDriver &menu) {
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
                      menu.evaluate(
                          QStringLiteral("navigationManager.gotoPage(navigationManager.piMain)"));
                      return pageShown(menu, 1);
                  }});
    return shots;
}

// The archive page, its charts and its export dialog.
QList<Shot> archiveShots()
{
    QList<Shot> shots;
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
        stillPicture(menu, 600);
        return shown;
    };
    const auto showCharts = [](MenuDriver &menu) {
        QObject *page = menu.object(QStringLiteral("archivePage"));
        QMetaObject::invokeMethod(page, "showCharts");
        return MenuDriver::waitFor([&] { return menu.item("archChartsDialog") != nullptr; }, 10000);
    };
    shots.append(
        {{"archive-page-no-card",
          [archivePage](MenuDriver &menu) {
              if (!archivePage(menu, 0))
                  return false;
              // The next scene puts the card back.
              menu.instrument().setCardStatus(0);
              const bool gone = MenuDriver::waitFor(
                  [&] { return menu.itemByText(QStringLiteral("No memory card")) != nullptr; },
                  10000);
              stillPicture(menu, 300);
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
                      [&] { return menu.item(QStringLiteral("archEndMark"))->isVisible(); }, 4000);
              }
              stillPicture(menu, 300);
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
              stillPicture(menu, 600);
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
              MenuDriver::waitFor([&] { return !dialog->property("counting").toBool(); }, 10000);
              QMetaObject::invokeMethod(dialog, "start");
              auto *reader = dialog->property("readerItem").value<QObject *>();
              const bool reading = MenuDriver::waitFor(
                  [&] { return reader->property("progress").toInt() > 10; }, 10000);
              stillPicture(menu, 600);
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
              stillPicture(menu, 800);
              return drawn;
          }},
         // Over three days the time labels carry the date.
         {"archive-charts-three-days",
          [](MenuDriver &menu) {
              menu.instrument().setDelay(0);
              menu.instrument().setArchiveHistory(3 * 24 * 3600);
              QQuickItem *dialog = menu.item(QStringLiteral("archChartsDialog"));
              if (!dialog)
                  return false;
              menu.evaluate(QStringLiteral(
                  "menuProps.archChartsFrom.value = new Date(Date.now() - 3 * 24 * 3600 * 1000); "
                  "menuProps.archChartsTo.value = new Date()"));
              MenuDriver::waitFor([&] { return !dialog->property("counting").toBool(); }, 10000);
              QMetaObject::invokeMethod(dialog, "start");
              auto *curve = dialog->property("curve").value<QObject *>();
              const bool drawn = MenuDriver::waitFor(
                  [&] {
                      return !dialog->property("reading").toBool() &&
                             curve->property("count").toInt() > 500;
                  },
                  30000);
              stillPicture(menu, 800);
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
                  [&] { return menu.item(QStringLiteral("archExportDialog")) != nullptr; }, 10000);
              stillPicture(menu, 1500);
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
                                    menu.homePath() + QStringLiteral("/menu-shot-export.csv"));
              reader->setProperty("archIndexes", QVariantList{0});
              dialog->setProperty("showsCount", false);
              QMetaObject::invokeMethod(reader, "start");
              QMetaObject::invokeMethod(dialog, "minimize");
              const bool reading = MenuDriver::waitFor(
                  [&] { return reader->property("progress").toInt() > 5; }, 10000);
              stillPicture(menu, 500);
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
              stillPicture(menu, 800);
              QFile::remove(menu.homePath() + QStringLiteral("/menu-shot-export.csv"));
              return done;
          }}});
    return shots;
}

// A frame of the instrument's tree as a user reaches it, with documents in the documents frame.
std::function<bool(MenuDriver &)> treeFrame(const QString &frame)
{
    return [frame](MenuDriver &menu) {
        return showTreeFrame(menu, frame, [&] {
            if (frame == QLatin1String("documentationFrame"))
                putDocuments(menu);
        });
    };
}

// The menu in Russian at the smaller size, where the longer texts overflow first: every frame
// of the tree, a question, an editor and the keypad.
QList<Shot> russianShots()
{
    QList<Shot> shots;
    for (const QString &frame : treeFrames)
        shots.append({"ru-tree-" + frame.toLatin1(), treeFrame(frame), Sizes::SmallOnly,
                      Language::Russian, true});
    shots.append({"ru-question-factory-reset",
                  [](MenuDriver &menu) {
                      menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                      return showTreeFrame(menu, QStringLiteral("systemSettingsFrame")) &&
                             clickRow(menu, QStringLiteral("initializeRow"));
                  },
                  Sizes::SmallOnly, Language::Russian, true});
    shots.append({"ru-editor-heat-supply-list",
                  [](MenuDriver &menu) {
                      menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                      return showTreeFrame(menu, QStringLiteral("heatCalcParametersFrame")) &&
                             MenuDriver::waitFor(
                                 [&] {
                                     return menu
                                         .evaluate(
                                             QStringLiteral("deviceProps.fluidType.value === 0"))
                                         .toBool();
                                 },
                                 8000) &&
                             clickRow(menu, QStringLiteral("heatSupplySystemRow"));
                  },
                  Sizes::SmallOnly, Language::Russian, true});
    shots.append({"ru-keypad-letters",
                  [](MenuDriver &menu) {
                      return showKeypad(
                          menu, "shownText",
                          {{QStringLiteral("keypadLanguageName"), QString::fromUtf8("Русский")}});
                  },
                  Sizes::SmallOnly, Language::Russian, true});
    shots.append({"ru-keypad-numbers",
                  [](MenuDriver &menu) { return showKeypad(menu, "shownNum"); }, Sizes::SmallOnly,
                  Language::Russian});
    return shots;
}

// The same scenes as `shots` makes under `names`, in Russian at the smaller size, each named
// "ru-<name>"; the first starts the run.
QList<Shot> inRussian(const QList<Shot> &shots, const QList<QByteArray> &names)
{
    QList<Shot> russian;
    for (const QByteArray &name : names) {
        for (const Shot &shot : shots) {
            if (shot.name == name)
                russian.append({"ru-" + name, shot.walk, Sizes::SmallOnly, Language::Russian,
                                russian.isEmpty()});
        }
    }
    return russian;
}

QList<Shot> bothSizes(QList<Shot> shots)
{
    for (Shot &shot : shots)
        shot.sizes = Sizes::Both;
    return shots;
}

// What the tree's frames list: the instrument's sites, its interval plan and the stored
// configurations.
bool treeSetup(MenuDriver &menu)
{
    putConfigFiles(menu);
    putSchedule(menu, 1);
    return shotSitesRead(menu);
}

// The instrument's menu tree, each frame as a user reaches it, and its questions.
QList<Shot> treeShots()
{
    QList<Shot> shots;
    for (const QString &frame : treeFrames)
        shots.append(
            {"tree-" + frame.toLatin1(), treeFrame(frame), Sizes::Both, Language::English, true});
    shots.append(
        {"tree-temperatureParamsFrame-RTD2",
         [](MenuDriver &menu) {
             return showTreeFrame(menu, QStringLiteral("temperatureParamsFrame"), [&] {
                 // The channel is that of the row the frame is entered from.
                 QObject *heat = menu.object(QStringLiteral("heatCalcParametersFrame"));
                 heat->property("listView").value<QObject *>()->setProperty("currentIndex", 4);
             });
         },
         Sizes::Both, Language::English, true});
    shots.append({"tree-question-fluid-type",
                  [](MenuDriver &menu) {
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
                                 8000) &&
                             clickRow(menu, QStringLiteral("fluidTypeRow"));
                  },
                  Sizes::Both, Language::English, true});
    shots.append({"tree-question-heat-supply", [](MenuDriver &menu) {
                      menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(1));
                      return showTreeFrame(menu, QStringLiteral("heatCalcParametersFrame")) &&
                             MenuDriver::waitFor(
                                 [&] {
                                     return menu
                                         .evaluate(
                                             QStringLiteral("deviceProps.fluidType.value === 1"))
                                         .toBool();
                                 },
                                 8000) &&
                             clickRow(menu, QStringLiteral("heatSupplySystemRow"));
                  }});
    shots.append({"tree-question-factory-reset",
                  [](MenuDriver &menu) {
                      menu.instrument().setRegisters(400224, ModbusBytes::fromUInt16(0));
                      return showTreeFrame(menu, QStringLiteral("systemSettingsFrame")) &&
                             clickRow(menu, QStringLiteral("initializeRow"));
                  },
                  Sizes::Both, Language::English, true});
    // Last: the reset runs on in this menu, which ends after the picture.
    shots.append(
        {"tree-please-wait", [](MenuDriver &menu) {
             QQuickItem *yes = menu.item(QStringLiteral("confirmYesButton"));
             if (!yes)
                 return false;
             menu.click(yes);
             return MenuDriver::waitFor(
                 [&] { return menu.itemByText(QStringLiteral("Please wait...")) != nullptr; },
                 10000);
         }});
    return shots;
}

} // namespace

QList<Run> scenes()
{
    const QList<Shot> sites = sitesShots();
    const QList<Shot> archive = archiveShots();
    return {
        {"pages", pagesShots()},
        {"controls", controlsShots()},
        {"documents", documentsShots()},
        {"games", gamesShots()},
        {"connection", connectionShots()},
        {"ru-connection", inRussian(connectionShots(), {"connection-settings-rs485-timeouts"})},
        {"config", configShots()},
        {"ru-config", russianConfigShots()},
        {"calibration", calibrationShots()},
        {"schedule", scheduleShots()},
        {"sites", sites, putShotSites},
        {"measure", measureShots()},
        // In Russian at both sizes, where long texts meet the page's icons.
        {"ru-measure",
         bothSizes(inRussian(measureShots(),
                             {"measure-flow", "measure-additional", "measure-signals"})),
         [](TavrinInstrument &instrument) { instrument.setMeasuring(true); }},
        {"archive", archive},
        {"ru-tree", russianShots()},
        {"ru-sites", inRussian(sites, {"sites-selection", "sites-modifying", "sites-tree-dialog"}),
         putShotSites},
        {"ru-archive",
         inRussian(archive, {"archive-page-flow", "archive-page-heat", "archive-charts-counting",
                             "archive-charts-reading", "archive-charts-chart",
                             "archive-export-idle", "archive-export-minimised"})},
        {"tree", treeShots(), putShotSites, treeSetup},
    };
}

} // namespace MenuShot
