import QtQuick

// An on-screen keypad that records what it is asked and shows or hides as told.
Item {
    id: keypad

    property var manager: null
    property bool active: false
    property var calls: []

    function record(call) {
        calls.push(call)
        calls = calls
    }

    function reset() {
        active = false
        calls = []
    }

    Connections {
        target: keypad.manager
        function onShowScreenKeypad(type) {
            keypad.record("show " + type)
            keypad.active = true
        }
        function onShowTextScreenKeypad() {
            keypad.record("show text")
            keypad.active = true
        }
        function onShowNumberScreenKeypad() {
            keypad.record("show number")
            keypad.active = true
        }
        function onHideScreenKeypad() {
            keypad.record("hide")
            keypad.active = false
        }
    }

    function register() {
        if (manager)
            manager.keypadScroller = keypad
    }

    onManagerChanged: register()
}
