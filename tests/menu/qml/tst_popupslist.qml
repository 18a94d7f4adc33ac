import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "PopupsList"

        property var apps: []

        function findChild(item, name) {
            if (!item)
                return null
            if (item.objectName === name)
                return item
            for (var i = 0; i < item.children.length; ++i) {
                var found = findChild(item.children[i], name)
                if (found)
                    return found
            }
            return null
        }

        // Three minimized popups, the middle one without an icon, and the list over them.
        function openList() {
            var sm = harness.screenManager
            var icons = [Qt.resolvedUrl("../../../share/menu/qml/styles/BaseStyle/site.png"), "",
                         Qt.resolvedUrl("../../../share/menu/qml/styles/BaseStyle/documents.png")]
            apps = []
            for (var i = 0; i < 3; ++i) {
                var props = {caption: "app " + i, allowMinimize: true}
                if (icons[i] !== "")
                    props.icon = icons[i]
                apps.push(sm.showPopup(testPopups + "TestPopup.qml", props))
            }
            sm.minimizeTopPopup()
            compare(sm.minimizedPopups.length, 3)
            var list = sm.showPopupsList()
            verify(list)
            waitForItemPolished(list.listView)
            return list
        }

        function rowItem(list, index, name) {
            return findChild(list.listView.itemAtIndex(index), name)
        }

        function test_listShowsTheMinimizedPopups() {
            var list = openList()
            compare(list.listView.count, 3)
            compare(list.listView.height, 300)
            compare(list.listView.width, 450)
            verify(list.overrideTopPanel && list.overrideBottomPanel && list.closeOnFaderClick)
            compare(String(rowItem(list, 0, "popupsListIcon").source), String(apps[0].icon))
            compare(String(rowItem(list, 1, "popupsListIcon").source), "")
            verify(list.listView.activeFocus)
        }

        function test_chooseExpands_data() {
            return [
                {tag: "click on a row", key: 0},
                {tag: "Return", key: Qt.Key_Return},
                {tag: "Enter", key: Qt.Key_Enter},
            ]
        }

        function test_chooseExpands(data) {
            var list = openList()
            if (data.key) {
                keyClick(Qt.Key_Down)
                keyClick(data.key)
            } else {
                mouseClick(rowItem(list, 1, "popupsListRow"))
            }
            compare(popupLayer.activePopup, apps[1])
            verify(!apps[1].minimized)
            compare(harness.screenManager.minimizedPopups.length, 2)
            wait(0)
            compare(liveCaptions(), "app 0 app 1 app 2")
        }

        function test_removeEntry_data() {
            return [
                {tag: "close area", key: 0},
                {tag: "Delete", key: Qt.Key_Delete},
                {tag: "Backspace", key: Qt.Key_Backspace},
            ]
        }

        function test_removeEntry(data) {
            var list = openList()
            if (data.key)
                keyClick(data.key)
            else
                mouseClick(rowItem(list, 0, "popupsListCloseArea"))
            wait(0)
            compare(liveCaptions(), "app 1 app 2 ")
            compare(list.listView.count, 2)
            compare(popupLayer.activePopup, list)
        }

        function test_listClosesWithItsLastEntry() {
            var list = openList()
            var closes = 0
            list.close.connect(function () { closes++ })
            for (var i = 0; i < 3; ++i)
                keyClick(Qt.Key_Delete)
            compare(closes, 1)
            compare(popupLayer.activePopup, null)
            wait(0)
            compare(liveCaptions(), "")
            compare(qmlWarnings().length, 0, qmlWarnings().join("\n"))
        }
    }
}
