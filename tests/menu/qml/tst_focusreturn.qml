import QtQuick
import QtTest
import "popuplayer"

// Whatever popup closes, by Ok, Escape or Home, the keys act on the menu again: the focus goes
// back through the centre panel, the page and the frame scroller to the current frame's row.
// The main window and its popup layer are the real ones, the menu tree a small one of the tests.
TestHarness {
    id: harness

    PopupLayerTestCase {
        id: focusCase
        harness: harness
        name: "FocusReturn"

        property var nav: harness.navigationManager
        property var scroller: null
        property var tree: null

        function init() {
            initLayer()
            if (!scroller) {
                scroller = findChild(mainWindow, "frameScroller")
                verify(scroller)
                scroller.source = Qt.resolvedUrl("frames/TestFrames.qml")
                tryVerify(function () { return scroller.deviceFrames !== null }, 2000)
                tree = scroller.deviceFrames
            }
            // The harness's reset put its own frames in; the scroller's tree is the one shown.
            nav.mainFrame = scroller.mainFrame
            nav.currentFrame = scroller.currentFrame
            nav.gotoFrame(tree.digitFrame, true)
            compare(scroller.currentFrame, tree.digitFrame)
            tree.digitFrame.listView.currentIndex = 0
            tree.lastClicked = ""
            verify(row("row1").activeFocus)
        }

        function row(name) {
            var model = tree.digitFrame.model
            for (var i = 0; i < model.count; ++i) {
                if (model.get(i).objectName === name)
                    return model.get(i)
            }
            return null
        }

        function open(kind) {
            var sm = harness.screenManager
            var em = harness.editorsManager
            switch (kind) {
            case "list editor":
                return em.callEditor(null, "list", null, {model: ["One", "Two"], initValue: 0})
            case "bool editor":
                return em.callEditor(null, "bool", null, {value: true})
            case "date-time editor":
                return em.callEditor(null, "datetime", null, {})
            case "text editor":
                return em.callEditor(null, "text", null, {initialText: "12"})
            case "message box":
                return sm.showMessageBoxDialog("Saved")
            case "question":
                return sm.showConfirmDialog("Delete the site?", function (answer) {})
            case "confirm dialog":
                return sm.showConfirmDialog("Sure?", function (answer) {}, {defaultAnswer: true})
            case "popups list":
                sm.showPopup("dialogs/MessageBoxDialog.qml", {caption: "Kept", allowMinimize: true})
                sm.minimizeTopPopup()
                return sm.showPopupsList()
            }
            return null
        }

        function test_keysActOnTheMenuAfterPopup_data() {
            var kinds = ["list editor", "bool editor", "date-time editor", "text editor",
                         "message box", "question", "confirm dialog", "popups list"]
            var closes = [{name: "Ok", key: Qt.Key_Return}, {name: "Escape", key: Qt.Key_Escape},
                          {name: "Home", key: Qt.Key_Home}]
            var rows = []
            for (var i = 0; i < kinds.length; ++i) {
                for (var j = 0; j < closes.length; ++j) {
                    // On the desktop Home in a text field moves its cursor: the editor stays.
                    if ((kinds[i] === "text editor" || kinds[i] === "date-time editor")
                            && closes[j].name === "Home")
                        continue
                    rows.push({tag: kinds[i] + ", by " + closes[j].name, kind: kinds[i],
                               key: closes[j].key})
                }
            }
            return rows
        }

        function test_keysActOnTheMenuAfterPopup(data) {
            var popup = open(data.kind)
            verify(popup)
            tryVerify(function () { return popup.activeFocus }, 2000)
            keyClick(data.key)
            if (data.kind === "popups list" && data.key === Qt.Key_Return) {
                // Ok on the list expands its entry; that one's own Ok closes it.
                tryCompare(popupLayer.activePopup, "caption", "Kept", 2000)
                verify(popupLayer.activePopup.activeFocus)
                keyClick(Qt.Key_Return)
            }
            tryCompare(popupLayer, "hasActivePopup", false, 2000)
            compare(scroller.currentFrame, tree.digitFrame)
            verify(row("row1").activeFocus)

            // Down skips the hidden row, Return clicks, Escape goes one frame back.
            keyClick(Qt.Key_Down)
            verify(row("row3").activeFocus)
            keyClick(Qt.Key_Return)
            compare(tree.lastClicked, "row3")
            keyClick(Qt.Key_Escape)
            compare(scroller.currentFrame, tree.mainFrame)
            verify(tree.mainFrame.activeFocus)
        }

        // On a side page the focus goes back to that page.
        function test_focusBackOnSidePage_data() {
            return [{tag: "left page", page: 0, item: "leftPage"},
                    {tag: "right page", page: 2, item: "rightPage"}]
        }
        function test_focusBackOnSidePage(data) {
            nav.gotoPage(data.page)
            var page = findChild(mainWindow, data.item)
            verify(page)
            tryVerify(function () { return page.activeFocus }, 2000)
            var popup = open("message box")
            tryVerify(function () { return popup.activeFocus }, 2000)
            verify(!page.activeFocus)
            keyClick(Qt.Key_Escape)
            tryCompare(popupLayer, "hasActivePopup", false, 2000)
            verify(page.activeFocus)
            keyClick(Qt.Key_Escape)
            compare(nav.currentPageIndex, nav.piMain)
            tryVerify(function () { return row("row1").activeFocus }, 2000)
        }

        // A popup swept away by a frame change or by a page change and back leaves the focus
        // on the frame shown.
        function test_focusAfterSweep_data() {
            return [{tag: "frame change", page: false}, {tag: "page change", page: true}]
        }
        function test_focusAfterSweep(data) {
            var popup = open("message box")
            tryVerify(function () { return popup.activeFocus }, 2000)
            if (data.page) {
                nav.gotoPage(nav.piRight)
                compare(popupLayer.hasActivePopup, false)
                nav.gotoPage(nav.piMain)
                verify(row("row1").activeFocus)
            } else {
                nav.gotoFrame(tree.mainFrame, false)
                compare(popupLayer.hasActivePopup, false)
                verify(tree.mainFrame.activeFocus)
            }
        }
    }
}
