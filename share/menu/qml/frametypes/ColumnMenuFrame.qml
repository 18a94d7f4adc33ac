import QtQuick
import QtQml.Models
import "base"
import "../components"

// A frame whose rows are menu items in one column.
BaseFrame {
    id: columnMenuFrame

    default property alias rows: objectModel.children
    property alias model: objectModel
    property alias listView: listView
    readonly property alias overloaded: listView.columnOverloaded
    property var listViewNavigationDown: null
    property var listViewNavigationUp: null

    ObjectModel {
        id: objectModel
    }

    ColumnMenuListView {
        id: listView
        anchors.fill: columnMenuFrame.clientRect
        clip: true
        focus: true
        model: objectModel
        boundsBehavior: menuContext.isWindows ? Flickable.StopAtBounds
                                              : Flickable.DragAndOvershootBounds
        KeyNavigation.down: columnMenuFrame.listViewNavigationDown
        KeyNavigation.up: columnMenuFrame.listViewNavigationUp
        KeyNavigation.priority: KeyNavigation.AfterItem
    }

    ListViewTopFadeBorder {
        sourceListView: listView
        anchors.left: listView.left
        anchors.right: listView.right
        anchors.top: listView.top
    }
    ListViewBottomFadeBorder {
        sourceListView: listView
        anchors.left: listView.left
        anchors.right: listView.right
        anchors.bottom: listView.bottom
    }
    ListViewScrollBorder {
        sourceListView: listView
        anchors.right: listView.right
        anchors.top: listView.top
        anchors.bottom: listView.bottom
    }
}
