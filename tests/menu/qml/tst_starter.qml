import QtQuick
import QtTest
import DorrikBus 1.0

// The start-up document as a whole: its log lines, its global keys, the instrument's own keys
// and the hand-over before a restart.
Item {
    id: root

    width: 800
    height: 600

    property var starter: null

    function global(name) {
        for (var i = 0; i < starter.data.length; ++i) {
            if (starter.data[i].objectName === name)
                return starter.data[i]
        }
        return null
    }

    Component {
        id: layerComponent
        RecordingPopupScroller {}
    }

    ModbusLoopbackServer {
        id: server
    }
    ModbusLoopbackClient {
        id: link
        server: server
    }

    TestCase {
        id: testCase
        name: "Starter"
        when: windowShown

        property var popups: null

        function createStarter(embedded, properties) {
            menuContext.reset()
            menuContext.embedded = embedded
            testTools.captureMessages()
            var component = Qt.createComponent(Qt.resolvedUrl("../../../share/menu/qml/Starter.qml"))
            compare(component.status, Component.Ready, component.errorString())
            starter = component.createObject(root, properties ? properties : {})
            verify(starter)
            popups = layerComponent.createObject(root, {
                                                     "manager": global("screenManager")
                                                 })
            starter.forceActiveFocus()
            return starter
        }

        function cleanup() {
            if (popups)
                popups.destroy()
            popups = null
            if (starter)
                starter.destroy()
            starter = null
            wait(0)
            menuContext.reset()
        }

        function test_startUp() {
            createStarter(false)
            var lines = testTools.messages()
            var first = lines.indexOf("DorrikBus '1.1.6505'")
            verify(first >= 0, lines.join("\n"))
            compare(lines[first + 1], "Menu      '1.10.6512'")
            compare(lines[first + 2], "started")
            compare(global("modbusClient").singleResultProcessing, true)
            // The pages settle on the main page without a page change of their own.
            var navigation = global("navigationManager")
            compare(navigation.currentPageIndex, navigation.piMain)
            var pagesView = findChild(starter, "pagesView")
            compare(pagesView.currentIndex, navigation.piMain)
            tryCompare(pagesView, "contentX", pagesView.originX + pagesView.width, 1000)
        }

        function test_size_data() {
            return [{
                        "tag": "desktop",
                        "embedded": false,
                        "width": 800,
                        "height": 600
                    }, {
                        "tag": "instrument",
                        "embedded": true,
                        "width": 640,
                        "height": 480
                    }]
        }

        function test_size(data) {
            createStarter(data.embedded)
            compare(starter.windowWidth, data.width)
            compare(starter.windowHeight, data.height)
        }

        function test_screenshotKeys_data() {
            return [{
                        "tag": "Ctrl+P",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier,
                        "clipboard": 1,
                        "file": 0
                    }, {
                        "tag": "Ctrl+Print",
                        "key": Qt.Key_Print,
                        "modifiers": Qt.ControlModifier,
                        "clipboard": 1,
                        "file": 0
                    }, {
                        "tag": "Ctrl+Shift+P",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier,
                        "clipboard": 0,
                        "file": 1
                    }, {
                        "tag": "Ctrl+Shift+Alt+P",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier | Qt.AltModifier,
                        "clipboard": 0,
                        "file": 1
                    }, {
                        "tag": "Ctrl+Alt+P",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier | Qt.AltModifier,
                        "clipboard": 0,
                        "file": 0
                    }, {
                        "tag": "P",
                        "key": Qt.Key_P,
                        "modifiers": Qt.NoModifier,
                        "clipboard": 0,
                        "file": 0
                    }, {
                        "tag": "Ctrl+P on the instrument",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier,
                        "embedded": true,
                        "clipboard": 0,
                        "file": 0
                    }, {
                        "tag": "Ctrl+Shift+P on the instrument",
                        "key": Qt.Key_P,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier,
                        "embedded": true,
                        "clipboard": 0,
                        "file": 0
                    }]
        }

        function test_screenshotKeys(data) {
            createStarter(!!data.embedded)
            keyClick(data.key, data.modifiers)
            compare(menuContext.clipboardShots, data.clipboard)
            compare(menuContext.fileShots, data.file)
        }

        function test_logKeys_data() {
            return [{
                        "tag": "verbose",
                        "verbose": true,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier | Qt.AltModifier,
                        "opens": true
                    }, {
                        "tag": "not verbose",
                        "verbose": false,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier | Qt.AltModifier,
                        "opens": false
                    }, {
                        "tag": "verbose, without Alt",
                        "verbose": true,
                        "modifiers": Qt.ControlModifier | Qt.ShiftModifier,
                        "opens": false
                    }]
        }

        function test_logKeys(data) {
            createStarter(false)
            menuContext.verbose = data.verbose
            keyClick(Qt.Key_C, data.modifiers)
            compare(popups.calls.indexOf("showPopup dialogs/LogDialog.qml") >= 0, data.opens)
        }

        SignalSpy {
            id: sleepSpy
            signalName: "beforeSleep"
        }

        function test_powerKey_data() {
            return [{
                        "tag": "short press",
                        "embedded": true,
                        "limit": 5000,
                        "hold": 0,
                        "sleeps": 1
                    }, {
                        "tag": "held within the limit",
                        "embedded": true,
                        "limit": 5000,
                        "hold": 1000,
                        "sleeps": 1
                    }, {
                        "tag": "held past the limit",
                        "embedded": true,
                        "limit": 250,
                        "hold": 400,
                        "sleeps": 0
                    }, {
                        "tag": "on the desktop",
                        "embedded": false,
                        "limit": 250,
                        "hold": 0,
                        "sleeps": 0
                    }]
        }

        // Held, the panels fade out and take no click; released, they come back, and a short
        // hold puts the instrument to sleep once. The holds that must stay within the limit get
        // a long one: checks between press and release take time on a loaded machine.
        function test_powerKey(data) {
            createStarter(data.embedded, {
                              "powerSleepHoldLimit": data.limit
                          })
            var keypad = global("deviceKeypad")
            var mainWindow = global("mainWindow")
            mainWindow.powerOffFadeDuration = 300
            var bottomPanel = findChild(mainWindow, "bottomPanel")
            var navigation = global("navigationManager")
            sleepSpy.target = global("powerManager")
            sleepSpy.clear()

            keypad.onKeypadEvent(0x81)
            if (data.embedded) {
                compare(bottomPanel.enabled, false)
                tryVerify(function () {
                    return bottomPanel.opacity < 1
                }, 1000)
                mouseClick(findChild(mainWindow, "rightPageButton"))
                compare(navigation.currentPageIndex, navigation.piMain)
            } else {
                compare(bottomPanel.enabled, true)
            }
            wait(data.hold)
            keypad.onKeypadEvent(0x01)
            compare(sleepSpy.count, data.sleeps)
            compare(bottomPanel.opacity, 1)
            compare(bottomPanel.enabled, true)
            sleepSpy.target = null
        }

        function test_logKeyOfTheInstrument_data() {
            return [{
                        "tag": "instrument",
                        "embedded": true,
                        "page": 2
                    }, {
                        "tag": "desktop",
                        "embedded": false,
                        "page": 1
                    }]
        }

        function test_logKeyOfTheInstrument(data) {
            createStarter(data.embedded)
            var keypad = global("deviceKeypad")
            keypad.onKeypadEvent(0xA2)
            keypad.onKeypadEvent(0x22)
            compare(global("navigationManager").currentPageIndex, data.page)
        }

        // The restarted menu must find the port free.
        function test_restartFreesTheTransport() {
            createStarter(false)
            server.connected = true
            link.connected = true
            verify(link.connected)
            global("modbusClient").transport = link
            verify(menuContext.announceRestart())
            compare(link.connected, false)
            global("modbusClient").transport = null
        }
    }
}
