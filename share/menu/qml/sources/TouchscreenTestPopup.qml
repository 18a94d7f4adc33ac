import QtQuick
import "../popups"

// A white screen on which red lines cross where it is touched; it goes by itself when left
// alone.
BasePopup {
    id: touchTest

    // How long without a pointer movement before it closes, in ms.
    property int idleInterval: 10000
    readonly property alias pressed: area.pressed
    readonly property point touchPoint: Qt.point(area.mouseX, area.mouseY)

    hideTopPanel: true
    hideBottomPanel: true
    overrideTopPanel: true
    focus: true

    Keys.onEscapePressed: close()

    Rectangle {
        anchors.fill: parent
        color: "white"
    }
    Rectangle {
        objectName: "touchVerticalLine"
        visible: area.pressed
        x: area.mouseX - width / 2
        width: 4
        height: parent.height
        color: "red"
    }
    Rectangle {
        objectName: "touchHorizontalLine"
        visible: area.pressed
        y: area.mouseY - height / 2
        width: parent.width
        height: 4
        color: "red"
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onPositionChanged: idleTimer.restart()
        onPressed: idleTimer.restart()
    }
    Timer {
        id: idleTimer
        interval: touchTest.idleInterval
        running: true
        onTriggered: touchTest.close()
    }
}
