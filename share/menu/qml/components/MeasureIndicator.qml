import QtQuick

// Shown while the instrument measures; pulses while it calibrates.
Item {
    id: measureIndicator

    property bool measuring: false
    property bool calibrating: false
    readonly property bool shown: measuring || calibrating
    readonly property alias pulsing: pulse.running

    signal clicked()

    width: image.implicitWidth + 14
    opacity: shown ? 1 : 0
    visible: opacity > 0
    enabled: shown
    Behavior on opacity {
        NumberAnimation {
            duration: 500
        }
    }

    Image {
        id: image
        objectName: "measureImage"
        anchors.centerIn: parent
        height: Math.min(implicitHeight, measureIndicator.height)
        fillMode: Image.PreserveAspectFit
        source: "../images/measureindicator.png"

        SequentialAnimation on opacity {
            id: pulse
            running: measureIndicator.calibrating
            loops: Animation.Infinite
            NumberAnimation {
                from: 0
                to: 1
                duration: 1000
                easing.type: Easing.InOutQuad
            }
            NumberAnimation {
                from: 1
                to: 0
                duration: 1000
                easing.type: Easing.InOutQuad
            }
            onRunningChanged: {
                if (!running)
                    image.opacity = 1
            }
        }
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: measureIndicator.clicked()
    }
}
