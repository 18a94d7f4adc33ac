import QtQuick
import QtTest
import "../../../share/menu/qml/components"

// The on-screen keypad through the real path: its keys post key events to the focused input.
TestHarness {
    id: harness

    width: 640
    height: 480

    TestCase {
        id: keypadCase
        name: "Keypad"
        when: windowShown

        property var keypad: null
        property var input: null
        property var below: null
        property int belowClicks: 0

        function initTestCase() {
            below = harness.create("components/Button.qml", {y: 180, caption: "below"})
            below.width = 640
            below.height = 300
            below.clicked.connect(function () { keypadCase.belowClicks++ })
            input = inputComponent.createObject(harness)
            keypad = harness.create("components/KeypadScroller.qml", {y: 180, height: 300})
            verify(keypad)
        }

        function init() {
            harness.screenManager.hideScreenKeypad()
            keypad.keypadLanguageName = "English"
            input.text = ""
            input.forceActiveFocus()
            belowClicks = 0
        }

        Component {
            id: inputComponent
            TextInput {
                width: 300
                height: 40
            }
        }

        // Shows the keypad and waits until it has settled in place.
        function show(type) {
            harness.screenManager.showScreenKeypad(type)
            var numbers = keypad.state === "shownNum"
            tryVerify(function () {
                return keypad.offset === 0 && keypad.numberOpacity === (numbers ? 1 : 0)
                        && keypad.textOpacity === (numbers ? 0 : 1)
            }, 5000)
            // A layout loaded while hidden places its keys when it is first drawn.
            waitForRendering(keypad)
        }

        function layout() {
            return keypad.state === "shownNum" ? keypad.numberKeypad : keypad.textKeypad
        }

        function key(operation) {
            var found = findChild(layout(), "key_" + operation)
            verify(found, "no key " + operation)
            return found
        }

        function tap(operation) {
            mouseClick(key(operation))
        }

        function typeAll(text) {
            for (var i = 0; i < text.length; ++i)
                tap(text.charAt(i))
        }

        function test_layoutByType_data() {
            return [
                {tag: "real", type: "real", state: "shownNum"},
                {tag: "int", type: "int", state: "shownNum"},
                {tag: "num", type: "num", state: "shownNum"},
                {tag: "text", type: "text", state: "shownText"},
            ]
        }

        function test_layoutByType(data) {
            show(data.type)
            compare(keypad.state, data.state)
            compare(keypad.numberKeypad.visible, data.state === "shownNum")
            compare(keypad.textKeypad.parent.enabled, data.state === "shownText")
            verify(keypad.active)
        }

        function test_switchLayouts() {
            show("real")
            tap("abc")
            compare(keypad.state, "shownText")
            tap("123")
            compare(keypad.state, "shownNum")
            verify(input.activeFocus)
        }

        function test_typing_data() {
            return [
                {tag: "english", type: "text", language: "English", text: "qwertyuiop"},
                {tag: "russian", type: "text", language: "Русский", text: "йцукенгшщзхъё"},
                {tag: "symbols", type: "num", language: "English", text: "@#$%&*-+()"},
                {tag: "more symbols", type: "num", language: "English", text: "\\!\"':;/?"},
                {tag: "digits", type: "num", language: "English", text: "1234567890"},
                {tag: "comma, period, space", type: "text", language: "English", text: "a,. b"},
            ]
        }

        function test_typing(data) {
            keypad.keypadLanguageName = data.language
            show(data.type)
            typeAll(data.text)
            tryCompare(input, "text", data.text, 2000)
            verify(input.activeFocus)
        }

        function test_editingKeys() {
            show("text")
            typeAll("ab")
            tap("LEFT")
            tap("c")
            tryCompare(input, "text", "acb", 2000)
            tap("BACKSPACE")
            tryCompare(input, "text", "ab", 2000)
            tap("RIGHT")
            tap("d")
            tryCompare(input, "text", "abd", 2000)
        }

        function test_shiftTap_data() {
            return [
                {tag: "english", language: "English", keys: "ab", text: "Ab"},
                {tag: "russian yo", language: "Русский", keys: "ёё", text: "Ёё"},
            ]
        }

        function test_shiftTap(data) {
            keypad.keypadLanguageName = data.language
            show("text")
            tap("SHIFT")
            verify(key("SHIFT").checked)
            typeAll(data.keys)
            tryCompare(input, "text", data.text, 2000)
            verify(!keypad.textKeypad.isUpperCase)
        }

        function test_shiftTwiceIsOff() {
            show("text")
            tap("SHIFT")
            tap("SHIFT")
            typeAll("a")
            tryCompare(input, "text", "a", 2000)
        }

        function test_shiftHeldByAnotherFinger() {
            show("text")
            var shift = key("SHIFT")
            var a = key("a")
            var b = key("b")
            var touches = touchEvent(keypad)
            touches.press(0, shift, shift.width / 2, shift.height / 2).commit()
            touches.stationary(0).press(1, a, a.width / 2, a.height / 2).commit()
            touches.stationary(0).release(1, a, a.width / 2, a.height / 2).commit()
            touches.stationary(0).press(1, b, b.width / 2, b.height / 2).commit()
            touches.stationary(0).release(1, b, b.width / 2, b.height / 2).commit()
            tryCompare(input, "text", "AB", 2000)
            touches.release(0, shift, shift.width / 2, shift.height / 2).commit()
            verify(!keypad.textKeypad.isUpperCase)
            tap("a")
            tryCompare(input, "text", "ABa", 2000)
        }

        function test_space() {
            show("text")
            tap(" ")
            tryCompare(input, "text", " ", 2000)
            verify(!keypad.languagePanelOpen)
        }

        function test_spaceHold_data() {
            return [
                {tag: "held", how: "hold"},
                {tag: "right click", how: "right"},
            ]
        }

        function test_spaceHold(data) {
            show("text")
            var space = key(" ")
            space.holdDuration = 150
            if (data.how === "hold") {
                mousePress(space)
                tryCompare(keypad, "languagePanelOpen", true, 2000)
                mouseRelease(space)
            } else {
                mouseClick(space, space.width / 2, space.height / 2, Qt.RightButton)
            }
            verify(keypad.languagePanelOpen)
            wait(50)
            compare(input.text, "")
            var list = keypad.languageList
            compare(list.model, ["English", "Русский"])
            compare(list.currentIndex, -1)
        }

        function test_spaceSlideOff() {
            show("text")
            var space = key(" ")
            mousePress(space)
            mouseMove(space, -space.width, space.height / 2)
            mouseRelease(space, -space.width, space.height / 2)
            wait(50)
            compare(input.text, "")
            verify(!keypad.languagePanelOpen)
        }

        function test_chooseRussian() {
            show("text")
            keypad.languagePanelOpen = true
            var list = keypad.languageList
            var entry = null
            tryVerify(function () {
                entry = list.listView.itemAtIndex(1)
                return entry !== null
            }, 2000)
            mouseClick(entry)
            compare(keypad.keypadLanguageName, "Русский")
            verify(!keypad.languagePanelOpen)
            tryCompare(keypad.textKeypad, "languageName", "russian", 2000)
            typeAll("ж")
            tryCompare(input, "text", "ж", 2000)
        }

        function test_clickBesideClosesPanel() {
            show("text")
            keypad.languagePanelOpen = true
            mouseClick(keypad, 5, 5)
            verify(!keypad.languagePanelOpen)
            compare(input.text, "")
        }

        function test_geometry_data() {
            return [
                {tag: "english", language: "English", key: 64, shift: 96, space: 192},
                {tag: "russian", language: "Русский", key: 640 / 12, shift: 80, space: 640 / 3},
            ]
        }

        function test_geometry(data) {
            keypad.keypadLanguageName = data.language
            show("text")
            compare(keypad.width, 640)
            var letter = findChild(layout(), "row1").children[0]
            fuzzyCompare(letter.width, data.key, 0.01)
            compare(letter.height, 75)
            fuzzyCompare(key("SHIFT").width, data.shift, 0.01)
            fuzzyCompare(key("BACKSPACE").width, data.shift, 0.01)
            fuzzyCompare(key(" ").width, data.space, 0.01)
            for (var r = 1; r <= 4; ++r) {
                var row = findChild(layout(), "row" + r)
                verify(row.width <= 640.01, "row " + r)
            }
        }

        function test_numberGeometry() {
            show("num")
            var row = findChild(layout(), "row3")
            fuzzyCompare(row.width, 608, 0.01)
            fuzzyCompare(row.x, 16, 0.01)
            fuzzyCompare(findChild(layout(), "row4").width, 640, 0.01)
            fuzzyCompare(key(" ").width, 192, 0.01)
        }

        function test_clicksBelow_data() {
            return [
                {tag: "hidden", shown: false, clicks: 1},
                {tag: "shown", shown: true, clicks: 0},
            ]
        }

        function test_clicksBelow(data) {
            if (data.shown)
                show("text")
            mouseClick(below, 5, 150)
            compare(belowClicks, data.clicks)
        }
    }
}
