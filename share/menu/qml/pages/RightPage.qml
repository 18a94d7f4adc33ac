import QtQuick
import "base"
import "../sources"

BasePage {
    id: rightPage

    objectName: "rightPage"
    caption: qsTr("Archives")
    pageCaptionPanel.anchors.right: rightPage.horizontalCenter

    DeviceRightPage {
        anchors.top: rightPage.pageCaptionPanel.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        focus: true
    }
}
