import QtQuick

// The dimming layer under popups and panels: while active it takes every click and wheel turn.
Rectangle {
    id: fader

    property bool active: false

    signal clicked

    color: Qt.rgba(0, 0, 0, 0.3)
    opacity: active ? 1 : 0
    // Transparent items still take input in Qt Quick: an inactive fader must not.
    visible: opacity > 0
    enabled: active

    MouseArea {
        anchors.fill: parent
        enabled: fader.active
        acceptedButtons: Qt.AllButtons
        onClicked: fader.clicked()
        onWheel: wheel => {
                     wheel.accepted = true
                 }
    }
}
