import QtQuick

// One ball of the board; the board's script places, moves and bursts it.
Item {
    id: ball

    // 0 red, 1 green, 2 blue, 3 yellow.
    property int type: 0
    property bool pressed: false
    property bool shown: false
    property bool bursting: false

    width: 32
    height: 32
    opacity: shown ? 1 : 0

    Behavior on x {
        NumberAnimation {
            duration: 500
        }
    }
    Behavior on y {
        NumberAnimation {
            duration: 500
        }
    }
    Behavior on opacity {
        NumberAnimation {
            duration: 1000
            easing.type: Easing.OutQuart
        }
    }

    Image {
        id: image
        anchors.fill: parent
        source: "images/" + ["red", "green", "blue", "yellow"][Math.max(0, Math.min(3, ball.type))]
                + "ball.png"
        sourceSize.width: 64
        sourceSize.height: 64
        smooth: ball.pressed || ball.bursting
        scale: ball.bursting ? 2 : (ball.pressed ? 1.5 : 1)
        opacity: ball.bursting ? 0 : 1

        Behavior on scale {
            enabled: ball.bursting
            NumberAnimation {
                duration: 500
                easing.type: Easing.OutQuart
            }
        }
        Behavior on opacity {
            NumberAnimation {
                duration: 500
                easing.type: Easing.OutQuart
            }
        }
    }
}
