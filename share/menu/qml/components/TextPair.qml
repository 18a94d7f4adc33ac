import QtQuick

// A name and its value side by side.
Item {
    id: textPair

    property alias name: nameText.text
    property alias value: valueText.text
    property real nameWidth: 270
    property alias nameItem: nameText
    property alias valueItem: valueText

    implicitHeight: Math.max(nameText.implicitHeight, valueText.implicitHeight)

    Text {
        id: nameText
        width: textPair.nameWidth
        height: parent.height
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        elide: Text.ElideRight
        font.pixelSize: 20
        color: styleManager.style.mediumFontColor
    }
    CleverText {
        id: valueText
        anchors.left: nameText.right
        anchors.right: parent.right
        height: parent.height
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 19
        color: styleManager.style.mediumFontColor
    }
}
