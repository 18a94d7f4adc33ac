import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "LogDialog"

        function atEnd(view) {
            return Math.abs(view.contentY + view.height - (view.originY + view.contentHeight)) < 1
        }

        function test_followsNewLinesOnlyNearTheEnd_data() {
            return [
                {tag: "at the end", fromEnd: 0, follows: true},
                {tag: "40 px from the end", fromEnd: 40, follows: true},
                {tag: "60 px from the end", fromEnd: 60, follows: false},
                {tag: "at the top", fromEnd: -1, follows: false},
            ]
        }

        function test_followsNewLinesOnlyNearTheEnd(data) {
            contextLog.debugForward = false
            for (var i = 0; i < 80; ++i)
                contextLog.append("line " + i)
            var dialog = harness.screenManager.showLog()
            dialog = popupLayer.activePopup
            verify(dialog)
            var view = dialog.listView
            waitForItemPolished(view)
            verify(view.contentHeight > view.height + 100)
            tryVerify(function () { return atEnd(view) }, 1000)

            var endY = view.originY + view.contentHeight - view.height
            view.contentY = data.fromEnd < 0 ? view.originY : endY - data.fromEnd
            var before = view.contentY
            contextLog.append("new line")
            waitForItemPolished(view)
            if (data.follows) {
                tryVerify(function () { return atEnd(view) }, 1000)
            } else {
                wait(50)
                // A line is 14 px or more; staying put may still snap to a whole pixel.
                fuzzyCompare(view.contentY, before, 1)
            }
        }
    }
}
