import QtQuick
import QtTest

// Frames, the frame scroller and the rows of column menus over a small test tree.
TestHarness {
    id: harness

    TestCase {
        id: framesCase
        name: "Frames"
        when: windowShown

        property var scroller: null
        property var tree: null

        function init() {
            scroller = harness.create("frametypes/FrameScroller.qml", {
                                          source: Qt.resolvedUrl("frames/TestFrames.qml"),
                                          width: harness.width, height: harness.height
                                      })
            verify(scroller)
            tree = scroller.deviceFrames
            verify(tree)
            // The harness's reset put its own frames in; the scroller's tree is the one shown.
            harness.navigationManager.mainFrame = scroller.mainFrame
            harness.navigationManager.currentFrame = scroller.currentFrame
            scroller.forceActiveFocus()
            scroller.currentFrame.forceActiveFocus()
            tree.events = []
            testTools.captureMessages()
        }
        function cleanup() {
            if (scroller)
                scroller.destroy()
            scroller = null
            wait(0)
        }
        function row(frame, name) {
            for (var i = 0; i < frame.model.count; ++i) {
                if (frame.model.get(i).objectName === name)
                    return frame.model.get(i)
            }
            return null
        }
        function go(frame) {
            harness.navigationManager.gotoFrame(frame, true)
            compare(scroller.currentFrame, frame)
            tree.events = []
        }

        function test_startsAtTheMainFrame() {
            compare(scroller.currentFrame, tree.mainFrame)
            compare(harness.navigationManager.mainFrame, tree.mainFrame)
            verify(tree.mainFrame.visible)
            verify(!tree.pageFrame.visible)
            verify(tree.mainFrame.widgetShown)
            verify(!tree.pageFrame.widgetShown)
        }

        function test_changingFrameSignals() {
            harness.navigationManager.gotoFrame(tree.pageFrame, true)
            compare(tree.events, ["mainFrame hidden true", "pageFrame shown true"])
            tree.events = []
            harness.navigationManager.gotoFrame(tree.pageFrame, true)
            compare(tree.events, [])
            compare(harness.navigationManager.currentFrame, tree.pageFrame)
            verify(tree.pageFrame.activeFocus)
        }

        function test_backFromPrevPageFrame_data() {
            return [
                {tag: "header click", key: 0},
                {tag: "Escape", key: Qt.Key_Escape},
                {tag: "Backspace", key: Qt.Key_Backspace},
                {tag: "Left", key: Qt.Key_Left},
            ]
        }
        function test_backFromPrevPageFrame(data) {
            go(tree.pageFrame)
            if (data.key === 0)
                mouseClick(tree.pageFrame.frameHeader)
            else
                keyClick(data.key)
            compare(harness.navigationManager.currentPageIndex, harness.navigationManager.piLeft)
            compare(scroller.currentFrame, tree.pageFrame)
        }

        function test_backKeysGoToPrevFrame() {
            go(tree.digitFrame)
            keyClick(Qt.Key_Escape)
            compare(scroller.currentFrame, tree.mainFrame)
            compare(tree.events, ["mainFrame shown false"])
        }

        // The value in the style's value font and colour; the unit inside the row's margin
        // however long it is, and none beside a blank value.
        function test_rowValueAndUnit_data() {
            return [
                {tag: "short unit", value: "12.50", unit: "mm", shown: true},
                {tag: "long unit", value: "760.00", unit: "mm Hg", shown: true},
                {tag: "longer unit", value: "1.000", unit: "Gcal/h", shown: true},
                {tag: "blank value", value: " ", unit: "mm", shown: false},
                {tag: "no unit", value: "42", unit: "", shown: false},
            ]
        }
        function test_rowValueAndUnit(data) {
            var prop = createTemporaryQmlObject(
                        "import QtQuick; QtObject { property string caption: 'Atmospheric pressure';"
                        + " property string formatValue; property string dimension;"
                        + " property bool readOnly: false }", framesCase)
            prop.formatValue = data.value
            prop.dimension = data.unit
            var rowItem = harness.create("widgets/MenuRowItem.qml", {prop: prop})
            verify(rowItem)
            var style = harness.styleManager.style
            var value = rowItem.valueItem
            var unit = rowItem.dimensionItem
            compare(value.text, data.value)
            compare(value.font.family, style.menuItemTextValueValueFontFamily)
            // Pixel sizes are whole.
            compare(value.font.pixelSize, Math.floor(style.menuItemTextValueValueFontSize))
            verify(Qt.colorEqual(value.color, style.menuItemTextValueValueFontColor))
            compare(unit.visible, data.shown)
            if (data.shown) {
                compare(unit.text, data.unit)
                var right = unit.mapToItem(rowItem, unit.width, 0).x
                verify(right <= rowItem.width - style.menuItemRowDimensionRightMargin + 0.5,
                       right + " > " + (rowItem.width - style.menuItemRowDimensionRightMargin))
                verify(unit.mapToItem(rowItem, 0, 0).x >= value.mapToItem(rowItem, value.width, 0).x)
            }
            // The caption ends before the value begins.
            verify(rowItem.captionItem.x + rowItem.captionItem.contentWidth
                   <= value.x + value.width - value.contentWidth + 0.5)
            rowItem.destroy()
        }

        function test_readOnlyRow() {
            var readOnly = row(tree.mainFrame, "readOnly")
            verify(!readOnly.clickable)
            verify(!readOnly.showBackground)
            verify(!readOnly.backgroundItem.visible)
            compare(readOnly.value, "3")
            var list = tree.mainFrame.listView
            compare(list.currentIndex, 0)
            keyClick(Qt.Key_Down)
            compare(list.currentIndex, 2)
            keyClick(Qt.Key_Up)
            compare(list.currentIndex, 0)
            // A click on it does nothing.
            mouseClick(readOnly)
            compare(tree.clicks, 0)
        }

        function test_digitCountsVisibleRows() {
            go(tree.digitFrame)
            compare(row(tree.digitFrame, "row2").height, 0)
            keyClick(Qt.Key_3)
            compare(tree.lastClicked, "row4")
            compare(tree.digitFrame.listView.currentIndex, 3)
            keyClick(Qt.Key_1)
            compare(tree.lastClicked, "row1")
            compare(tree.clicks, 2)
        }

        function test_upOnFirstRowScrollsOverloadedMenu() {
            go(tree.longFrame)
            var list = tree.longFrame.listView
            verify(tree.longFrame.overloaded)
            compare(list.currentIndex, 1)
            var rowHeight = harness.styleManager.style.menuItemRowHeight
            list.contentY = list.originY + 1.5 * rowHeight
            keyClick(Qt.Key_Up)
            compare(list.currentIndex, 1)
            fuzzyCompare(list.contentY - list.originY, 0.5 * rowHeight, 0.5)
            keyClick(Qt.Key_Up)
            compare(list.contentY - list.originY, 0)
            keyClick(Qt.Key_Up)
            compare(list.contentY - list.originY, 0)
        }

        function test_returnClicksCurrentRow() {
            keyClick(Qt.Key_Return)
            compare(tree.lastClicked, "first")
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Right)
            compare(scroller.currentFrame, tree.pageFrame)
        }

        // What a click on a row does: the first of page, frame, app, toggle and edit that is set.
        function test_rowClick_data() {
            return [
                {tag: "page before all", page: 2, frame: true, app: "calc", toggle: true,
                 expected: "page"},
                {tag: "frame before app", page: -1, frame: true, app: "calc", toggle: true,
                 expected: "frame"},
                {tag: "app before toggle", page: -1, frame: false, app: "calc", toggle: true,
                 expected: "app"},
                {tag: "toggle", page: -1, frame: false, app: "", toggle: true, expected: "toggle"},
                {tag: "edit", page: -1, frame: false, app: "", toggle: false, expected: "edit"},
                {tag: "read-only property", page: -1, frame: false, app: "", toggle: false,
                 readOnly: true, expected: "nothing"},
                {tag: "hidden", page: 2, frame: false, app: "", toggle: false, hidden: true,
                 expected: "nothing"},
            ]
        }
        function test_rowClick(data) {
            // The harness's own frames stand in here; no frame scroller shows them.
            cleanup()
            harness.reset()
            var source = createTemporaryQmlObject(
                        "import QtQuick; QtObject { property bool flag: false }", framesCase)
            var item = createTemporaryQmlObject(
                        "import QtQuick; QtObject { property bool value: false; "
                        + "property bool readOnly: " + !!data.readOnly + " }", framesCase)
            var prop = harness.create("properties/BoolProperty.qml",
                                      {sourceItem: source, sourceName: "flag"})
            if (data.readOnly)
                prop.modbusItem = item
            var menuRow = harness.create("widgets/MenuRowItem.qml", {
                                             caption: "row", pageIndex: data.page,
                                             frame: data.frame ? harness.subFrame : null,
                                             app: data.app, togglable: data.toggle, prop: prop,
                                             hidden: !!data.hidden
                                         })
            var edits = 0
            menuRow.edit.connect(function () { edits++ })
            harness.popupScroller.calls = []
            menuRow.clicked()

            var nm = harness.navigationManager
            var outcome = []
            if (nm.currentPageIndex === 2)
                outcome.push("page")
            if (harness.frameChanges.length > 0)
                outcome.push("frame")
            if (harness.popupScroller.calls.indexOf("showPopup apps/calc/calc.qml") >= 0)
                outcome.push("app")
            if (source.flag)
                outcome.push("toggle")
            if (edits > 0)
                outcome.push("edit")
            compare(outcome.join(" ") || "nothing", data.expected)
            compare(menuRow.showArrow, data.page >= 0 || data.frame)
            menuRow.destroy()
            prop.destroy()
        }
    }
}
