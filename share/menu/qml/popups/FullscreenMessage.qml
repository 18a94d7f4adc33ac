import QtQuick

// A message over the whole window that takes every click and every close key; it stays until the
// menu restarts or a caller closes it.
BasePopup {
    id: message

    caption: qsTr("Please wait...")
    overrideTopPanel: true
    hideTopPanel: true
    blockClose: true

    Rectangle {
        anchors.fill: parent
        color: "#B2CDE9"
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => { wheel.accepted = true }
    }

    Text {
        id: captionText
        objectName: "fullscreenMessageCaption"
        anchors.fill: parent
        anchors.margins: 20
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        text: message.caption
        font.pixelSize: styleManager.style.giantFontSize
        font.family: styleManager.style.giantFontFamily
        color: styleManager.style.giantFontColor
    }
}
