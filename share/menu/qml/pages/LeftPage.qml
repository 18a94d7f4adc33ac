import QtQuick
import "base"
import "../sources"

BasePage {
    id: leftPage

    objectName: "leftPage"
    caption: qsTr("Measurements")
    pageCaptionPanel.anchors.right: leftPage.horizontalCenter

    DeviceLeftPage {
        anchors.top: leftPage.pageCaptionPanel.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        focus: true
    }
}
