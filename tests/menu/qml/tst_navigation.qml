import QtQuick
import QtTest

// Escape and Home undo one layer at a time: keypad, popup, side page, sub-frame.
TestHarness {
    id: harness

    TestCase {
        name: "Navigation"

        property var nav: harness.navigationManager
        property var popups: harness.popupScroller

        function init() {
            harness.reset()
        }

        function snapshot() {
            return "keypad " + (harness.screenManager.hasScreenKeypad ? "shown" : "hidden")
                    + ", popups [" + popups.tags().join(", ") + "]"
                    + ", page " + nav.currentPageIndex
                    + ", frame " + nav.currentFrame.objectName
        }

        // Layers from the bottom: a sub-frame, the right page, a popup, the keypad.
        function buildLayers(depth, minimizable) {
            if (depth >= 1)
                nav.gotoFrame(harness.subFrame, true)
            if (depth >= 2)
                nav.changePage(nav.piRight)
            if (depth >= 3)
                popups.add("dialogs/Some.qml", minimizable)
            if (depth >= 4)
                harness.screenManager.showScreenKeypad("text")
            popups.calls = []
        }

        function test_escape_data() {
            var states = [
                        "keypad hidden, popups [], page 1, frame mainFrame",
                        "keypad hidden, popups [], page 1, frame subFrame",
                        "keypad hidden, popups [], page 2, frame subFrame",
                        "keypad hidden, popups [dialogs/Some.qml], page 2, frame subFrame",
                        "keypad shown, popups [dialogs/Some.qml], page 2, frame subFrame"
                    ]
            var names = ["main frame", "sub-frame", "side page", "popup", "keypad"]
            var rows = []
            for (var depth = 0; depth < states.length; ++depth) {
                // Each Escape takes one layer away; at the main frame nothing changes.
                var expected = states.slice(0, depth + 1).reverse()
                expected.push(states[0])
                rows.push({
                              "tag": "from " + names[depth],
                              "depth": depth,
                              "expected": expected
                          })
            }
            return rows
        }

        function test_escape(data) {
            buildLayers(data.depth, false)
            compare(snapshot(), data.expected[0])
            for (var i = 1; i < data.expected.length; ++i) {
                nav.cancel()
                compare(snapshot(), data.expected[i], "after Escape " + i)
            }
        }

        function test_home_data() {
            return [{
                        "tag": "side page without a popup: its frame, the focus shown, then the main frame",
                        "depth": 2,
                        "expected": [
                            "keypad hidden, popups [], page 1, frame subFrame",
                            "keypad hidden, popups [], page 1, frame mainFrame"
                        ]
                    }, {
                        "tag": "popup that minimizes",
                        "minimizable": true,
                        "expected": [
                            "keypad hidden, popups [dialogs/Some.qml], page 1, frame subFrame",
                            "keypad hidden, popups [dialogs/Some.qml (minimized)], page 1, frame subFrame",
                            "keypad hidden, popups [dialogs/Some.qml (minimized)], page 1, frame mainFrame",
                            "keypad hidden, popups [dialogs/Some.qml (minimized)], page 1, frame mainFrame"
                        ]
                    }, {
                        "tag": "popup that closes",
                        "minimizable": false,
                        "expected": [
                            "keypad hidden, popups [dialogs/Some.qml], page 1, frame subFrame",
                            "keypad hidden, popups [], page 1, frame subFrame",
                            "keypad hidden, popups [], page 1, frame mainFrame",
                            "keypad hidden, popups [], page 1, frame mainFrame"
                        ]
                    }]
        }

        // Home: side page to main page with the popups kept, then the popup goes, then the
        // main frame. The focus shows after each, however Home came.
        function test_home(data) {
            buildLayers(data.depth !== undefined ? data.depth : 3, data.minimizable === true)
            // As the home button's click leaves it.
            nav.wasTouchNavigation()
            for (var i = 0; i < data.expected.length; ++i) {
                nav.goHome()
                compare(snapshot(), data.expected[i], "after Home " + (i + 1))
                verify(nav.keyboardNavigation, "focus shown after Home " + (i + 1))
            }
        }

        function test_gotoPageSweepsPopups_data() {
            return [{
                        "tag": "to the page shown",
                        "page": 1
                    }, {
                        "tag": "to another page",
                        "page": 0
                    }]
        }

        function test_gotoPageSweepsPopups(data) {
            popups.add("apps/Calculator/Calculator.qml", true)
            popups.add("dialogs/Some.qml", false)
            nav.gotoPage(data.page)
            compare(popups.tags(), ["apps/Calculator/Calculator.qml (minimized)"])
            compare(nav.currentPageIndex, data.page)
        }

        SignalSpy {
            id: changingSpy
            target: harness.navigationManager
            signalName: "currentPageIndexChanging"
        }

        function test_pageChangeAnnouncedOnce() {
            changingSpy.clear()
            nav.gotoPage(nav.piLeft)
            nav.gotoPage(nav.piLeft)
            nav.gotoPage(nav.piRight)
            compare(changingSpy.count, 2)
            // With the index of the page being left.
            compare(changingSpy.signalArguments[0][0], nav.piMain)
            compare(changingSpy.signalArguments[1][0], nav.piLeft)
        }

        function test_frameBackwardToPrevPage() {
            var frame = Qt.createQmlObject("import QtQuick; QtObject { property string objectName: 'pageFrame'; property var prevFrame: null; property int prevPage: 2 }", harness)
            nav.gotoFrame(frame, true)
            nav.cancel()
            compare(nav.currentPageIndex, nav.piRight)
            compare(nav.currentFrame, frame)
            frame.destroy()
        }

        function test_gotoFrameClearsTheWay() {
            buildLayers(4, true)
            nav.gotoFrame(harness.mainFrame, false)
            compare(snapshot(), "keypad hidden, popups [dialogs/Some.qml (minimized)], page 1, frame mainFrame")
            compare(harness.frameChanges[harness.frameChanges.length - 1], "mainFrame back")
        }
    }
}
