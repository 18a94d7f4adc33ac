import QtQuick
import QtQml.Models
import QtTest
import "../../../share/menu/qml/components"

// The menu's controls: buttons and their auto-repeat, the spin field, the plus-minus key, the
// files explorer, the brightness row and the home button's long press.
TestHarness {
    id: harness

    TestCase {
        id: controls
        name: "Controls"
        when: windowShown

        property var steps: []

        function init() {
            harness.reset()
            harness.deviceKeypad.autoRepeatPause = 300
            steps = []
        }

        function make(file, properties) {
            var item = harness.create(file, properties)
            verify(item, file)
            return item
        }

        property real pressedAt: 0

        function test_heldArrowRepeats() {
            var arrow = make("components/ArrowButton.qml")
            arrow.clicked.connect(function () { controls.steps.push(Date.now() - controls.pressedAt) })
            compare(arrow.continuousPressPause, 300)
            pressedAt = Date.now()
            mousePress(arrow)
            tryVerify(function () { return controls.steps.length >= 2 }, 3000)
            mouseRelease(arrow)
            var count = steps.length
            // Timers come late on a loaded machine; a coarse timer, and the animation clock that
            // catches up in one tick after a stall, may also end a little early (266 ms seen).
            verify(steps[0] >= 240, "first step after " + steps[0] + " ms")
            verify(steps[1] - steps[0] >= 150, "second step after " + (steps[1] - steps[0]) + " ms")
            // Neither the release nor the timer adds a step afterwards.
            wait(450)
            compare(steps.length, count)

            // A new press waits the whole pause again: released before it, it is one click. A
            // long pause keeps a stalled machine from reaching it between press and release.
            harness.deviceKeypad.autoRepeatPause = 3000
            compare(arrow.continuousPressPause, 3000)
            steps = []
            pressedAt = Date.now()
            mousePress(arrow)
            wait(150)
            mouseRelease(arrow)
            wait(300)
            compare(steps.length, 1)
            verify(steps[0] >= 150)
        }

        function test_manualPressRepeats() {
            var arrow = make("components/ArrowButton.qml")
            var count = 0
            arrow.clicked.connect(function () { count++ })
            arrow.manualPressed = true
            tryVerify(function () { return count >= 2 }, 2000)
            arrow.manualPressed = false
            var stopped = count
            wait(450)
            compare(count, stopped)
        }

        function test_captionOpacity_data() {
            return [
                {tag: "not checkable", checkable: false, checked: false, opacity: 1},
                {tag: "checkable, unchecked", checkable: true, checked: false, opacity: 0.4},
                {tag: "checkable, checked", checkable: true, checked: true, opacity: 1},
            ]
        }

        function test_captionOpacity(data) {
            var button = make("components/Button.qml", {caption: "Ok", checkable: data.checkable,
                                   checked: data.checked})
            compare(button.captionItem.opacity, data.opacity)
        }

        function test_clickTogglesCheckable() {
            var button = make("components/Button.qml", {caption: "Ok", checkable: true})
            mouseClick(button)
            compare(button.checked, true)
            compare(button.captionItem.opacity, 1)
            button.enabled = false
            mouseClick(button)
            compare(button.checked, true)
        }

        function test_keysClick_data() {
            return [
                {tag: "Return", key: Qt.Key_Return, enabled: true, clicks: 1},
                {tag: "Enter", key: Qt.Key_Enter, enabled: true, clicks: 1},
                {tag: "Space", key: Qt.Key_Space, enabled: true, clicks: 1},
                {tag: "disabled", key: Qt.Key_Return, enabled: false, clicks: 0},
            ]
        }

        function test_keysClick(data) {
            var button = make("components/Button.qml", {caption: "Ok", enabled: data.enabled})
            var clicks = 0
            button.clicked.connect(function () { clicks++ })
            button.forceActiveFocus()
            keyClick(data.key)
            compare(clicks, data.clicks)
        }

        function test_spinField_data() {
            return [
                {tag: "59 Up, cyclic", value: 59, cyclic: true, key: Qt.Key_Up, result: 0},
                {tag: "59 Up, not cyclic", value: 59, cyclic: false, key: Qt.Key_Up, result: 59},
                {tag: "0 Down, cyclic", value: 0, cyclic: true, key: Qt.Key_Down, result: 59},
                {tag: "0 Down, not cyclic", value: 0, cyclic: false, key: Qt.Key_Down, result: 0},
                {tag: "30 Up", value: 30, cyclic: true, key: Qt.Key_Up, result: 31},
            ]
        }

        function test_spinField(data) {
            var edit = make("components/UpDownIntEdit.qml", {minValue: 0, maxValue: 59,
                                 value: data.value, cyclic: data.cyclic, digits: 2})
            edit.forceActiveFocus()
            keyClick(data.key)
            compare(edit.value, data.result)
            compare(edit.input.text, (data.result < 10 ? "0" : "") + data.result)
        }

        function test_spinFieldArrows() {
            var edit = make("components/UpDownIntEdit.qml", {minValue: 0, maxValue: 59, value: 59})
            mouseClick(edit.upButton)
            compare(edit.value, 0)
            mouseClick(edit.downButton)
            compare(edit.value, 59)
        }

        function test_spinFieldList() {
            var edit = make("components/UpDownIntEdit.qml",
                            {list: ["january", "february", "march"], value: 2})
            compare(edit.input.text, "march")
            verify(edit.valid)
            edit.forceActiveFocus()
            keyClick(Qt.Key_Up)
            compare(edit.input.text, "january")
            keyClick(Qt.Key_5)
            compare(edit.input.text, "january")
            compare(edit.value, 0)
        }

        function test_spinFieldTyping() {
            var edit = make("components/UpDownIntEdit.qml", {minValue: 0, maxValue: 59, value: 7,
                                 needInputLength: 2})
            var filled = 0
            edit.manuallyFilled.connect(function () { filled++ })
            edit.forceActiveFocus()
            compare(edit.input.selectedText, "7")
            keyClick(Qt.Key_4)
            compare(edit.value, 4)
            compare(filled, 0)
            keyClick(Qt.Key_2)
            compare(edit.value, 42)
            compare(filled, 1)
            // Above the bound: refused, and the value stays.
            edit.input.selectAll()
            keyClick(Qt.Key_7)
            keyClick(Qt.Key_7)
            compare(edit.value, 7)
            compare(filled, 1)
        }

        function test_plusMinus_data() {
            return [
                {tag: "adds", text: "12", result: "-12"},
                {tag: "removes", text: "-12", result: "12"},
                {tag: "lone minus", text: "-", result: ""},
                {tag: "empty", text: "", result: "-"},
            ]
        }

        function test_plusMinus(data) {
            var input = make("components/TextInputDefault.qml", {text: data.text})
            var keys = []
            input.keyPressed.connect(function (event) { keys.push(event.key) })
            input.input.forceActiveFocus()
            keyClick(Qt.Key_plusminus)
            compare(input.text, data.result)
            compare(keys, [Qt.Key_plusminus])
        }

        function explorer() {
            var root = testTools.makeTree(["alpha/", "beta/inner.txt", "gamma.xml", "delta.txt"])
            verify(root !== "")
            var item = make("components/FilesExplorer.qml", {width: 400, height: 400,
                                 canNavigate: true, showDotDot: true})
            item.rootDir = root
            item.directory = root
            item.forceActiveFocus()
            return item
        }

        function rowIndex(item, name) {
            for (var i = 0; i < item.listView.count; ++i) {
                var row = item.listView.itemAtIndex(i)
                if (row && (name === ".." ? row.isDotDot : row.path.split("/").pop() === name))
                    return i
            }
            return -1
        }

        function test_explorerNavigates() {
            var item = explorer()
            var root = item.directory
            verify(item.isRootDir)
            compare(rowIndex(item, ".."), -1) // none at the root
            item.listView.currentIndex = rowIndex(item, "beta")
            keyClick(Qt.Key_Return)
            compare(item.directory, root + "/beta")
            compare(item.listView.currentIndex, 0)
            verify(!item.isRootDir)
            // ".." goes up and leaves the folder just left current.
            item.listView.currentIndex = rowIndex(item, "..")
            verify(item.listView.currentIndex >= 0)
            keyClick(Qt.Key_Return)
            compare(item.directory, root)
            compare(item.selected, root + "/beta")
            // Backspace goes up too, but not above the root.
            item.listView.currentIndex = rowIndex(item, "alpha")
            keyClick(Qt.Key_Return)
            compare(item.directory, root + "/alpha")
            keyClick(Qt.Key_Backspace)
            compare(item.directory, root)
            compare(item.selected, root + "/alpha")
            keyClick(Qt.Key_Backspace)
            compare(item.directory, root)
        }

        function test_explorerChooses_data() {
            return [
                {tag: "a file", name: "gamma.xml", canChooseDir: false, chosen: ["gamma.xml",
                                                                                  "gamma"]},
                {tag: "a folder when allowed", name: "alpha", canChooseDir: true,
                 chosen: ["alpha", "alpha"]},
                {tag: "a folder is entered", name: "alpha", canChooseDir: false, chosen: []},
            ]
        }

        function test_explorerChooses(data) {
            var item = explorer()
            var root = item.directory
            item.canChooseDir = data.canChooseDir
            var chosen = []
            item.choosed.connect(function (path, baseName) {
                chosen = [path.split("/").pop(), baseName]
            })
            var row = item.listView.itemAtIndex(rowIndex(item, data.name))
            mouseClick(row)
            compare(chosen, data.chosen)
            if (data.chosen.length === 0)
                compare(item.directory, root + "/" + data.name)
        }

        function brightness(value) {
            var item = make("components/BrightnessMenuItem.qml", {value: value})
            item.valueSet.connect(function (v) { item.value = v })
            return item
        }

        function test_brightnessBar() {
            var item = brightness(0.5)
            var bar = item.bar
            var stores = harness.powerManager.brightnessStores
            mousePress(bar, bar.width / 4, bar.height / 2)
            fuzzyCompare(item.value, 0.25, 1 / bar.width)
            compare(harness.powerManager.brightnessStores, stores)
            mouseMove(bar, bar.width + 40, bar.height / 2)
            compare(item.value, 1)
            mouseRelease(bar, bar.width + 40, bar.height / 2)
            compare(harness.powerManager.brightnessStores, stores + 1)
        }

        function test_brightnessIcons() {
            var item = brightness(0.5)
            var stores = harness.powerManager.brightnessStores
            mouseClick(findChild(item, "moonIcon"))
            compare(item.value, 0)
            mouseClick(findChild(item, "sunIcon"))
            compare(item.value, 1)
            compare(harness.powerManager.brightnessStores, stores + 2)
        }

        function test_brightnessKeys_data() {
            return [
                {tag: "Left", value: 0.5, key: Qt.Key_Left, result: 0.4},
                {tag: "Right", value: 0.5, key: Qt.Key_Right, result: 0.6},
                {tag: "Left at the end", value: 0.05, key: Qt.Key_Left, result: 0},
                {tag: "Right at the end", value: 0.95, key: Qt.Key_Right, result: 1},
            ]
        }

        function test_brightnessKeys(data) {
            var item = brightness(data.value)
            item.forceActiveFocus()
            keyClick(data.key)
            fuzzyCompare(item.value, data.result, 1e-9)
        }

        function homeButton() {
            var button = make("components/HomeButton.qml", {width: 200, height: 60,
                                   pressDuration: 200})
            var clicks = []
            button.clicked.connect(function () { clicks.push("click") })
            return {button: button, clicks: clicks}
        }

        function popupsListOpened() {
            return harness.popupScroller.calls.indexOf("showPopup popups/PopupsList.qml") >= 0
        }

        // The fill is the value's share of the range, never outside it.
        function test_progressBar_data() {
            return [
                {tag: "below the minimum: empty", min: 10, max: 20, value: 5, percent: 0},
                {tag: "at the minimum: empty", min: 10, max: 20, value: 10, percent: 0},
                {tag: "half", min: 10, max: 20, value: 15, percent: 50},
                {tag: "above the maximum: full", min: 10, max: 20, value: 40, percent: 100},
                {tag: "no range: empty", min: 10, max: 10, value: 15, percent: 0},
            ]
        }
        function test_progressBar(data) {
            var bar = make("components/ProgressBar.qml", {minimumValue: data.min,
                                                         maximumValue: data.max,
                                                         duration: 50})
            bar.value = data.value
            compare(bar.percent, data.percent)
            var inner = bar.fill.parent.width
            tryCompare(bar.fill, "width", inner * data.percent / 100, 2000)
            compare(bar.fill.visible, data.percent > 0)
            // Back to the minimum at once, without sliding.
            bar.reset()
            compare(bar.value, data.min)
            compare(bar.fill.width, 0)
        }

        function test_progresser_data() {
            return [{tag: "running", active: true}, {tag: "idle", active: false}]
        }
        function test_progresser(data) {
            var sweep = make("components/WhiteRectProgresser.qml", {active: data.active})
            compare(sweep.visible, data.active)
            var start = sweep.mark.x
            wait(300)
            if (!data.active) {
                compare(sweep.mark.x, start)
                return
            }
            // Moving along its path, clearest and largest at the path's centre.
            verify(sweep.mark.x !== start)
            tryVerify(function () { return sweep.mark.closeness > 0.9 }, 3000)
            verify(sweep.mark.opacity > 0.9)
            fuzzyCompare(sweep.mark.scale, 1 + 0.2 * sweep.mark.closeness, 1e-6)
            verify(sweep.mark.x >= sweep.pathStart && sweep.mark.x <= sweep.pathEnd)
            sweep.active = false
            verify(!sweep.visible)
        }

        function test_homeHeld_data() {
            return [
                {tag: "popups, held", popups: true, holdMs: 400, clicks: 0, list: true},
                {tag: "popups, short", popups: true, holdMs: 0, clicks: 1, list: false},
                {tag: "no popups, held", popups: false, holdMs: 400, clicks: 1, list: false},
            ]
        }

        function test_homeHeld(data) {
            var home = homeButton()
            if (data.popups)
                harness.popupScroller.minimize(harness.popupScroller.add("log", true))
            compare(harness.screenManager.haveMinimizedPopups, data.popups)
            harness.popupScroller.calls = []
            mousePress(home.button)
            if (data.holdMs > 0) {
                if (data.popups)
                    tryVerify(popupsListOpened, 2000)
                wait(data.holdMs)
            }
            mouseRelease(home.button)
            compare(home.clicks.length, data.clicks)
            compare(popupsListOpened(), data.list)
        }

        function test_homeRightClick() {
            var home = homeButton()
            harness.popupScroller.minimize(harness.popupScroller.add("log", true))
            harness.popupScroller.calls = []
            mouseClick(home.button, 10, 10, Qt.RightButton)
            verify(popupsListOpened())
            compare(home.clicks.length, 0)
        }

        function test_mainButtonOpensFrame_data() {
            return [
                {tag: "click", key: 0},
                {tag: "Return", key: Qt.Key_Return},
                {tag: "Enter", key: Qt.Key_Enter},
            ]
        }

        function test_mainButtonOpensFrame(data) {
            var button = make("components/MainButton.qml", {frame: harness.subFrame})
            if (data.key === 0) {
                mouseClick(button)
            } else {
                button.forceActiveFocus()
                keyClick(data.key)
            }
            verify(button.activeFocus)
            compare(harness.frameChanges, ["subFrame forward"])
        }

        function test_listBoxValue_data() {
            return [
                {tag: "by index", initValue: 2, start: 2, clicked: 0, value: 0},
                {tag: "by entry", initValue: "l/h", start: 3, clicked: 1, value: "l/s"},
                {tag: "no current entry", initValue: undefined, start: -1, clicked: 4,
                 value: "t/h"},
            ]
        }

        function test_listBoxValue(data) {
            var box = make("components/ListBox.qml", {model: ["m³/h", "l/s", "l/min", "l/h", "t/h"],
                                initValue: data.initValue})
            box.height = box.implicitHeight
            compare(box.currentIndex, data.start)
            var clicks = []
            var changes = 0
            box.clicked.connect(function (index) { clicks.push(index) })
            box.changed.connect(function () { changes++ })
            var entry = null
            tryVerify(function () {
                entry = box.listView.itemAtIndex(data.clicked)
                return entry !== null
            }, 1000)
            mouseClick(entry)
            compare(clicks, [data.clicked])
            compare(changes, 1)
            compare(box.value, data.value)
        }

        function test_listBoxCentresCurrentEntry() {
            var names = []
            for (var i = 0; i < 30; ++i)
                names.push("entry " + i)
            var box = make("components/ListBox.qml", {model: names, initValue: 17})
            var entry = harness.styleManager.style.listEditorItemHeight
            box.height = 7 * entry
            verify(box.arrowsShown)
            var list = box.listView
            tryVerify(function () {
                var item = list.itemAtIndex(17)
                return item && Math.abs(item.y - list.contentY - (list.height - entry) / 2) < 1
            }, 2000)
            mouseClick(box.children[0]) // the up arrow
            compare(box.currentIndex, 16)
        }

        Component {
            id: tabsComponent
            Item {
                property alias tabs: tabControl
                property alias scroller: scroller
                width: 600
                height: 200
                TabControl {
                    id: tabControl
                    model: ObjectModel {
                        Tab {
                            caption: "Flow"
                        }
                        Tab {
                            caption: "Heat"
                        }
                        Tab {
                            caption: "Pressure"
                        }
                    }
                }
                TabScroller {
                    id: scroller
                    y: tabControl.height
                    width: 450
                    height: 100
                    tabControl: tabControl
                    useAnimation: false
                    pages: [
                        Item {
                            objectName: "page0"
                        },
                        Item {
                            objectName: "page1"
                        },
                        Item {
                            objectName: "page2"
                        }
                    ]
                }
            }
        }

        function test_tabsSwitchPages() {
            var item = createTemporaryObject(tabsComponent, harness)
            verify(item)
            compare(item.tabs.currentIndex, 0) // the first tab once tabs appear
            compare(item.tabs.width, 3 * harness.styleManager.style.tabWidth)
            var third = item.tabs.itemAtIndex(2)
            mouseClick(third)
            compare(item.tabs.currentIndex, 2)
            verify(third.active)
            tryCompare(item.scroller.pages[2].parent, "opacity", 1, 1000)
            var before = item.scroller.pages[0].parent
            compare(before.opacity, 0)
            compare(before.visible, false)
            compare(before.transform[0].x, -100)
            item.tabs.currentIndex = 0
            compare(item.scroller.pages[2].parent.transform[0].x, 100)
        }
    }
}
