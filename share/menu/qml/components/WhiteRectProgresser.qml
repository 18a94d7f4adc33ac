import QtQuick

// A busy sweep: while active, a white mark runs along the middle and starts again, clearest and
// largest at the centre of its path.
Item {
    id: progresser

    property bool active: false
    readonly property real pathStart: 100
    readonly property real pathEnd: width - 120
    readonly property alias mark: mark

    width: 300
    height: 100
    visible: active

    Rectangle {
        id: mark
        objectName: "progresserMark"

        // 1 at the path's centre, 0 at its ends.
        readonly property real closeness: {
            var half = (progresser.pathEnd - progresser.pathStart) / 2
            if (half <= 0)
                return 0
            var centre = progresser.pathStart + half
            return Math.max(0, 1 - Math.abs(centre - x) / half)
        }

        x: progresser.pathStart
        anchors.verticalCenter: parent.verticalCenter
        width: 20
        height: 30
        color: "white"
        border.width: 1
        border.color: "#3b5978"
        opacity: closeness
        scale: 1 + 0.2 * closeness

        NumberAnimation on x {
            from: progresser.pathStart
            to: progresser.pathEnd
            duration: 2000
            easing.type: Easing.InOutQuad
            loops: Animation.Infinite
            running: progresser.active && progresser.visible
        }
    }
}
