import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "Operations"

        readonly property string source: testPopups + "TestPopup.qml"
        property var opened: ({})
        property var closed: []

        // "A+ B C+": popups from the bottom up, "+" where minimizing is allowed; each one a child
        // of the one below, so that all stay open.
        function openStack(stack) {
            opened = {}
            closed = []
            var names = stack.split(" ")
            for (var i = 0; i < names.length; ++i) {
                var name = names[i].replace("+", "")
                var popup = harness.screenManager.showPopup(
                            source, {caption: name, allowMinimize: names[i].indexOf("+") > 0}, true)
                verify(popup, name)
                popup.closing.connect(function (sender) { closed.push(sender.caption) })
                opened[name] = popup
            }
        }

        function captions(list) {
            var result = []
            for (var i = 0; list && i < list.length; ++i)
                result.push(list[i].caption)
            return result.join(" ")
        }

        function remaining() {
            var result = []
            var popups = popupLayer.container.children
            for (var i = 0; i < popups.length; ++i)
                result.push(popups[i].caption)
            return result.join(" ")
        }

        function test_operation_data() {
            var sm = harness.screenManager
            return [
                {tag: "close top", stack: "A+ B C+", op: function () { sm.closeTopPopup() },
                 active: "B", minimized: "", closed: "C", remaining: "A B"},
                {tag: "close all, top first", stack: "A+ B C+", op: function () { sm.closeAllPopups() },
                 active: "", minimized: "", closed: "C B A", remaining: ""},
                {tag: "minimize top", stack: "A B+", op: function () { sm.minimizeTopPopup() },
                 active: "A", minimized: "B", closed: "", remaining: "A B"},
                {tag: "minimize top, not allowed", stack: "A+ B", op: function () { sm.minimizeTopPopup() },
                 active: "B", minimized: "", closed: "", remaining: "A B"},
                {tag: "close or minimize top, minimizable", stack: "A B+",
                 op: function () { sm.closeOrMinimizeTopPopup() },
                 active: "A", minimized: "B", closed: "", remaining: "A B"},
                {tag: "close or minimize top, not minimizable", stack: "A+ B",
                 op: function () { sm.closeOrMinimizeTopPopup() },
                 active: "A", minimized: "", closed: "", remaining: "A"},
                {tag: "close or minimize all", stack: "A+ B C+ D",
                 op: function () { sm.closeOrMinimizeAllPopups() },
                 active: "", minimized: "A C", closed: "", remaining: "A C"},
                {tag: "expand", stack: "A+ B C+",
                 op: function () { sm.minimizeTopPopup(); sm.expandPopup(opened["C"]) },
                 active: "C", minimized: "A", closed: "", remaining: "A C"},
                {tag: "expand, not minimized", stack: "A+ B",
                 op: function () { sm.expandPopup(opened["A"]) },
                 active: "B", minimized: "", closed: "", remaining: "A B"},
                {tag: "Escape", stack: "A+ B",
                 op: function () { keyClick(Qt.Key_Escape) },
                 active: "A", minimized: "", closed: "B", remaining: "A"},
                {tag: "close a missing popup", stack: "A+ B",
                 op: function () { sm.closePopup(null) },
                 active: "B", minimized: "", closed: "", remaining: "A B",
                 log: "closePopupInternal: popup is not defined."},
            ]
        }

        function test_operation(data) {
            openStack(data.stack)
            testTools.captureMessages()
            data.op()
            compare(popupLayer.activePopup ? popupLayer.activePopup.caption : "", data.active)
            compare(captions(popupLayer.minimizedPopups), data.minimized)
            compare(captions(harness.screenManager.minimizedPopups), data.minimized)
            compare(closed.join(" "), data.closed)
            if (data.active !== "")
                verify(popupLayer.activePopup.activeFocus)
            if (data.log)
                compare(messageCount(data.log), 1)
            // The popupLayer lets go at once; the objects themselves go with the next event loop pass.
            wait(0)
            compare(remaining(), data.remaining)
            compare(captions(popupLayer.minimizedPopups), data.minimized)
            compare(qmlWarnings().length, 0, testTools.messages().join("\n"))
        }

        function test_reuse_data() {
            var rows = []
            for (var count = 1; count <= 3; ++count) {
                rows.push({tag: "instrument, count " + count, embedded: true, count: count})
                rows.push({tag: "desktop, count " + count, embedded: false, count: count})
            }
            return rows
        }

        function test_reuse(data) {
            menuContext.embedded = data.embedded
            var popups = []
            for (var i = 0; i < data.count; ++i) {
                popups.push(harness.screenManager.showPopup(
                                source, {caption: "app " + i, allowMinimize: true,
                                         minimizedMaxCount: data.count}))
            }
            // Only the last is open; the others are minimized by the next request.
            compare(popupLayer.minimizedPopups.length, data.count - 1)
            harness.screenManager.minimizeTopPopup()
            var again = harness.screenManager.showPopup(
                        source, {caption: "again", allowMinimize: true, minimizedMaxCount: data.count})
            wait(0)
            if (data.embedded) {
                compare(again, popups[data.count - 1])
                verify(!again.minimized)
                compare(popupLayer.activePopup, again)
                compare(popupLayer.container.children.length, data.count)
            } else {
                verify(popups.indexOf(again) < 0)
                compare(again.caption, "again")
                compare(popupLayer.container.children.length, data.count + 1)
            }
            menuContext.embedded = false
        }

        function test_badSource_data() {
            return [
                {tag: "missing file", source: testPopups + "NoSuchPopup.qml",
                 error: "NoSuchPopup.qml"},
                {tag: "file with an error", source: testPopups + "BrokenPopup.qml",
                 error: "noSuchProperty"},
            ]
        }

        function test_badSource(data) {
            var popup = harness.screenManager.showPopup(data.source)
            compare(popup, null)
            compare(messageCount("Qt.createComponent: status = 3"), 1)
            verify(testTools.messages().some(function (m) { return m.indexOf(data.error) >= 0 }),
                   testTools.messages().join("\n"))
            compare(popupLayer.container.children.length, 0)
            verify(!popupLayer.hasActivePopup)
        }

        function test_autoCloseRestartsOnRelease_data() {
            return [
                {tag: "key release", notice: "keyRelease"},
                {tag: "mouse release", notice: "mouseRelease"},
            ]
        }

        function test_autoCloseRestartsOnRelease(data) {
            var interval = 600
            var popup = harness.screenManager.showPopup(
                        source, {autoClose: true, autoCloseInterval: interval})
            var closedAt = 0
            popup.close.connect(function () { closedAt = Date.now() })
            wait(100)
            var releasedAt = Date.now()
            harness.screenManager[data.notice]()
            tryVerify(function () { return closedAt > 0 }, 5000)
            // Closed a whole interval after the release, not after the opening.
            verify(closedAt - releasedAt >= interval - 20, closedAt - releasedAt)
            compare(popupLayer.activePopup, null)
        }

        function test_blockClose_data() {
            return [
                {tag: "Escape, blocked", key: Qt.Key_Escape, block: true},
                {tag: "Home, blocked", key: Qt.Key_Home, block: true},
                {tag: "Escape", key: Qt.Key_Escape, block: false},
                {tag: "Home", key: Qt.Key_Home, block: false},
            ]
        }

        function test_blockClose(data) {
            var popup = harness.screenManager.showPopup(source, {blockClose: data.block})
            keyClick(data.key)
            compare(popupLayer.activePopup, data.block ? popup : null)
        }
    }
}
