// The menu tree of device frames: only its main frame until the tree's screens come.
import QtQuick
import "../frametypes"

Item {
    property alias mainFrame: mainFrame

    anchors.fill: parent

    ColumnMenuFrame {
        id: mainFrame
        objectName: "mainFrame"
        caption: qsTr("Menu")
    }
}
