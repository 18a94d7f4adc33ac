import QtQuick
import QtTest
import "popuplayer"

// Pictures of the popups and dialogs at both window sizes, under the build's shots/<size>/.
TestHarness {
    id: harness

    PopupLayerTestCase {
        id: shotCase
        harness: harness
        name: "PopupShots"

        readonly property string shotsDir: {
            var program = Qt.application.arguments[0]
            return program.substring(0, program.lastIndexOf("/")) + "/../shots/"
        }

        Component {
            id: sheetComponent
            ImageSheet {}
        }

        function scenes() {
            var sm = harness.screenManager
            return {
                "confirm": function () {
                    sm.showConfirmDialog("Delete the site \"Boiler room 2\"?", function () {})
                },
                "messagebox": function () {
                    sm.showPopup("dialogs/ComponentDialog.qml", {caption: "Flow rate units"})
                    sm.showPopup("dialogs/MessageBoxDialog.qml",
                                 {caption: "The value is out of range"}, true)
                },
                "popupslist": function () {
                    var icons = ["site.png", "", "documents.png"]
                    var captions = ["Calculator", "Sites", "Documents"]
                    for (var i = 0; i < 3; ++i) {
                        var props = {caption: captions[i], allowMinimize: true}
                        if (icons[i] !== "")
                            props.icon = Qt.resolvedUrl("../../../share/menu/qml/styles/BaseStyle/"
                                                        + icons[i])
                        sm.showPopup(testPopups + "TestPopup.qml", props)
                    }
                    sm.minimizeTopPopup()
                    sm.showPopupsList()
                },
                "fullscreenmessage": function () { sm.showFullscreenMessage() },
                "log": function () {
                    contextLog.debugForward = false
                    contextLog.append("DorrikBus '1.1.6505'")
                    contextLog.append("Menu      '1.10.6512'")
                    contextLog.append("started")
                    sm.showLog()
                },
                "calibration": function () {
                    menuContext.embedded = true
                    var dialog = sm.showPopup("dialogs/TouchScreenCalibrateDialog.qml")
                    tryVerify(function () { return dialog.calibrator !== null }, 2000)
                    // The mark's first move to its corner.
                    wait(700)
                },
                "images": function () {
                    return createTemporaryObject(sheetComponent, harness, {
                        width: harness.width, height: harness.height, z: 10000,
                        folder: Qt.resolvedUrl("../../../share/menu/qml/styles/BaseStyle/"),
                        names: imageNames()
                    })
                },
            }
        }

        function imageNames() {
            var names = []
            var style = harness.styleManager.style
            var files = ["about", "about_pressed", "addsite", "appicon", "applications", "archives",
                         "backspacescreenbutton", "broom", "button_triangle", "card", "card_busy",
                         "card_error", "card_no", "checkbox_checked", "checkbox_grayed",
                         "checkbox_unchecked", "clonesite", "closecross", "closeicon", "deletesite",
                         "dialogsbackground", "documents", "editpencil", "exit", "failure",
                         "foldermagnifier", "home", "home_pressed", "importarrow",
                         "menuItemRightArrow", "menuItemRightArrow_pressed", "minimizeicon",
                         "modifysite", "moon", "periphery", "prevframe", "profile",
                         "profile_pressed", "progressbarbackground", "progressbarfill", "saveadc",
                         "scheduleactive", "scheduledone", "screencursorbutton", "settings",
                         "settings_pressed", "shiftscreenbutton", "signalwindowbackground", "site",
                         "sitegroup", "sitegroupup", "sitesubgroup", "sun", "treevertline", "usb",
                         "wallpaper"]
            return files.map(function (n) { return n + ".png" })
        }

        function test_shot_data() {
            var rows = []
            var sizes = [[800, 600], [640, 480]]
            var names = ["confirm", "messagebox", "popupslist", "fullscreenmessage", "log",
                         "calibration", "images"]
            for (var s = 0; s < sizes.length; ++s) {
                for (var n = 0; n < names.length; ++n) {
                    rows.push({tag: names[n] + " " + sizes[s][0] + "x" + sizes[s][1],
                               scene: names[n], width: sizes[s][0], height: sizes[s][1]})
                }
            }
            return rows
        }

        function test_shot(data) {
            setWindowSize(data.width, data.height)
            scenes()[data.scene]()
            waitForRendering(harness)
            wait(50)
            var image = grabImage(harness)
            compare(image.width, data.width)
            compare(image.height, data.height)
            var path = shotsDir + data.width + "x" + data.height + "/" + data.scene + ".png"
            verify(image.save(path) !== false, path)
            // Not one flat colour.
            var first = image.pixel(0, 0)
            var differs = false
            for (var x = 0; x < data.width && !differs; x += 4) {
                for (var y = 0; y < data.height && !differs; y += 3)
                    differs = !Qt.colorEqual(image.pixel(x, y), first)
            }
            verify(differs, path)
        }
    }
}
