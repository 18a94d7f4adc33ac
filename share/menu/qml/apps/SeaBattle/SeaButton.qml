import QtQuick
import "../../components"

// The game's own button: a pale sea-blue face that darkens while pressed and goes grey while
// disabled; clicked by touch, Return, Enter or Space.
Rectangle {
    id: seaButton

    property alias text: captionText.text
    readonly property bool pressed: mouseArea.pressed

    signal clicked

    width: 130
    height: 60
    radius: 5
    border.width: 2
    border.color: enabled ? "black" : "grey"
    color: !enabled ? "lightgray" : (pressed ? Qt.darker("#b8dfF2", 1.5) : "#b8dfF2")
    activeFocusOnTab: true

    Text {
        id: captionText
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 20
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 10
        color: seaButton.enabled ? "black" : "grey"
    }

    FocusRect {
        radius: seaButton.radius
        filled: false
        active: seaButton.activeFocus
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: seaButton.clicked()
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                || event.key === Qt.Key_Space) {
                            event.accepted = true
                            if (seaButton.enabled)
                                seaButton.clicked()
                        }
                    }
}
