// Stand-in for the page caption: the caption on the style's strip.
import QtQuick

Rectangle {
    id: pageCaptionPanel

    property alias text: caption.text

    height: caption.implicitHeight + 8
    color: styleManager.style.pageCaptionBackColor

    Text {
        id: caption
        anchors.left: parent.left
        anchors.leftMargin: styleManager.style.pageCaptionLeftMargin
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        color: styleManager.style.pageCaptionFontColor
        font.family: styleManager.style.pageCaptionFontFamily
        font.pixelSize: styleManager.style.pageCaptionFontSize
    }
}
