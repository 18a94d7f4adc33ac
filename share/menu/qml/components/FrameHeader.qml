import QtQuick

// A frame's caption bar; a click anywhere on it goes one frame back.
Item {
    id: frameHeader

    property alias caption: captionText.text
    property alias prevFrameButton: prevFrameButton
    readonly property alias pressed: mouseArea.pressed

    height: styleManager.style.frameHeaderHeight

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "#2f5a88" }
            GradientStop { position: 0.94; color: "#4f7aa8" }
            GradientStop { position: 1; color: "#3f6a98" }
        }
    }
    PrevFrameButton {
        id: prevFrameButton
        anchors.left: parent.left
        anchors.leftMargin: 1 * starter.mm
        anchors.verticalCenter: parent.verticalCenter
    }
    Text {
        id: captionText
        anchors.left: prevFrameButton.right
        anchors.right: parent.right
        anchors.rightMargin: prevFrameButton.width + 1 * starter.mm
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        font.family: "DejaVu Sans"
        font.pixelSize: 26
        color: "white"
    }
    Rectangle {
        anchors.fill: parent
        color: "#32000020"
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: navigationManager.gotoFrameBackward()
    }
}
