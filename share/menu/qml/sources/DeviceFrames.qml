// Stand-in for the menu tree of device frames: only its main frame, with nothing in it yet.
import QtQuick

Item {
    property alias mainFrame: mainFrame

    Item {
        id: mainFrame
        objectName: "mainFrame"
        anchors.fill: parent
        property var prevFrame: null
        property int prevPage: -1
        property string caption: qsTr("Menu")
    }
}
