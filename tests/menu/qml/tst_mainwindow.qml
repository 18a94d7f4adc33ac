import QtQuick
import QtTest

// The main window's keys, bottom buttons and page swipes, and when swiping is allowed.
TestHarness {
    id: harness

    TestCase {
        name: "MainWindow"
        when: windowShown

        property var nav: harness.navigationManager
        property var popups: harness.popupScroller
        property var mainWindow: null
        property var pagesView: null

        function initTestCase() {
            mainWindow = harness.create("MainWindow.qml", {
                                            "width": harness.width,
                                            "height": harness.height
                                        })
            verify(mainWindow)
            pagesView = findChild(mainWindow, "pagesView")
            verify(pagesView)
        }

        function init() {
            harness.reset()
            harness.styleManager.style.homeButtonPressDuration = 500
            tryCompare(pagesView, "contentX", pagesView.originX + pagesView.width, 2000)
            mainWindow.forceActiveFocus()
            changingSpy.clear()
        }

        SignalSpy {
            id: changingSpy
            target: harness.navigationManager
            signalName: "currentPageIndexChanging"
        }

        function pageShown(index) {
            tryCompare(pagesView, "contentX", pagesView.originX + index * pagesView.width, 2000)
            tryCompare(pagesView, "moving", false, 2000)
        }

        function test_pageChange_data() {
            return [{
                        "tag": "key 0",
                        "how": "key",
                        "key": Qt.Key_0,
                        "page": 0
                    }, {
                        "tag": "key period",
                        "how": "key",
                        "key": Qt.Key_Period,
                        "page": 2
                    }, {
                        "tag": "left button",
                        "how": "button",
                        "button": "leftPageButton",
                        "page": 0
                    }, {
                        "tag": "right button",
                        "how": "button",
                        "button": "rightPageButton",
                        "page": 2
                    }, {
                        "tag": "swipe to the right page",
                        "how": "swipe",
                        "dx": -0.6,
                        "page": 2
                    }, {
                        "tag": "swipe to the left page",
                        "how": "swipe",
                        "dx": 0.6,
                        "page": 0
                    }]
        }

        // Each way of changing the page announces it once, and the list view lands on it.
        function test_pageChange(data) {
            if (data.how === "key") {
                keyClick(data.key)
            } else if (data.how === "button") {
                var button = findChild(mainWindow, data.button)
                mouseClick(button)
            } else {
                mouseDrag(pagesView, pagesView.width / 2, pagesView.height / 2,
                          data.dx * pagesView.width, 0, Qt.LeftButton, Qt.NoModifier, 5)
            }
            pageShown(data.page)
            tryCompare(nav, "currentPageIndex", data.page, 1000)
            compare(changingSpy.count, 1)
            compare(changingSpy.signalArguments[0][0], nav.piMain)

            keyClick(Qt.Key_plusminus)
            pageShown(1)
            compare(nav.currentPageIndex, nav.piMain)
            compare(changingSpy.count, 2)
        }

        function test_disabledButtonOfThePageShown() {
            var left = findChild(mainWindow, "leftPageButton")
            keyClick(Qt.Key_0)
            pageShown(0)
            compare(left.enabled, false)
            compare(left.opacity, 0.1)
            verify(left.font.bold)
            mouseClick(findChild(mainWindow, "rightPageButton"))
            pageShown(2)
            compare(left.enabled, true)
            compare(left.opacity, 1)
        }

        // A sub-frame keeps its horizontal gestures: no swiping on the main page then.
        function test_swipingOnlyFromMainFrameOrSidePages() {
            nav.gotoFrame(harness.subFrame, true)
            compare(pagesView.interactive, false)
            mouseDrag(pagesView, pagesView.width / 2, pagesView.height / 2,
                      -0.6 * pagesView.width, 0, Qt.LeftButton, Qt.NoModifier, 5)
            wait(100)
            compare(nav.currentPageIndex, nav.piMain)

            nav.gotoFrame(harness.mainFrame, false)
            tryCompare(pagesView, "interactive", true, 200)

            nav.gotoFrame(harness.subFrame, true)
            keyClick(Qt.Key_Period)
            pageShown(2)
            tryCompare(pagesView, "interactive", true, 200 + 200)
            keyClick(Qt.Key_Escape)
            pageShown(1)
            tryCompare(pagesView, "interactive", false, 200 + 200)
        }

        function test_escapeKey() {
            nav.gotoFrame(harness.subFrame, true)
            keyClick(Qt.Key_Period)
            pageShown(2)
            keyClick(Qt.Key_Escape)
            pageShown(1)
            compare(nav.currentFrame, harness.subFrame)
            keyClick(Qt.Key_Escape)
            compare(nav.currentFrame, harness.mainFrame)
        }

        function test_homeWithMinimizedPopups_data() {
            return [{
                        "tag": "released before the duration",
                        "duration": 5000,
                        "hold": 0,
                        "repeats": 0,
                        "list": false
                    }, {
                        "tag": "released after the duration",
                        "duration": 150,
                        "hold": 200,
                        "repeats": 0,
                        "list": true
                    }, {
                        "tag": "auto-repeats while held",
                        "duration": 150,
                        "hold": 200,
                        "repeats": 4,
                        "list": true
                    }]
        }

        // A short Home goes home, a held one opens the list; auto-repeats keep the first
        // press's time. The short press gets a long duration: a stalled machine must not make
        // it a held one.
        function test_homeWithMinimizedPopups(data) {
            harness.styleManager.style.homeButtonPressDuration = data.duration
            nav.gotoFrame(harness.subFrame, true)
            popups.minimize(popups.add("apps/Calculator/Calculator.qml", true))
            popups.calls = []
            testTools.sendKey(Qt.Key_Home, true, false)
            for (var i = 0; i < data.repeats; ++i) {
                wait(data.hold / data.repeats)
                testTools.sendKey(Qt.Key_Home, true, true)
            }
            if (data.repeats === 0)
                wait(data.hold)
            testTools.sendKey(Qt.Key_Home, false, false)
            compare(popups.calls.indexOf("showPopup popups/PopupsList.qml") >= 0, data.list)
            compare(nav.currentFrame === harness.mainFrame, !data.list)
        }

        function test_homeWithoutMinimizedPopups() {
            nav.gotoFrame(harness.subFrame, true)
            testTools.sendKey(Qt.Key_Home, true, false)
            compare(nav.currentFrame, harness.mainFrame)
            testTools.sendKey(Qt.Key_Home, false, false)
            compare(popups.calls, [])
        }
    }
}
