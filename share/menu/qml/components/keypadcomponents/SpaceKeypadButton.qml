import QtQuick

// The space bar: a tap types a space; held past holdDuration, or right-clicked, it is a hold.
KeypadButton {
    id: space

    property int holdDuration: 500
    property bool wasHold: false

    signal hold

    operation: " "
    upCase: false
    fontSize: styleManager.style.screenKeypadSpaceButtonFontSize

    onPressed: {
        wasHold = false
        holdTimer.restart()
    }
    onReleased: holdTimer.stop()

    function activate() {
        clicked()
        if (!wasHold && keypad)
            keypad.buttonPressed(" ", " ")
    }

    Timer {
        id: holdTimer
        interval: space.holdDuration
        onTriggered: {
            space.wasHold = true
            space.hold()
        }
    }
    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: space.hold()
    }
}
