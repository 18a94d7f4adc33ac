import QtQuick

// English letters.
BaseKeypad {
    id: keypad

    languageName: qsTr("english")
    buttonWidth: width / 10

    Column {
        anchors.fill: parent

        Row {
            objectName: "row1"
            anchors.horizontalCenter: parent.horizontalCenter
            Repeater {
                model: ["q", "w", "e", "r", "t", "y", "u", "i", "o", "p"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row2"
            anchors.horizontalCenter: parent.horizontalCenter
            Repeater {
                model: ["a", "s", "d", "f", "g", "h", "j", "k", "l"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row3"
            anchors.horizontalCenter: parent.horizontalCenter
            ShiftKeypadButton {
                width: (keypad.width - 7 * keypad.buttonWidth) / 2
            }
            Repeater {
                model: ["z", "x", "c", "v", "b", "n", "m"]
                KeypadButton {
                    text: modelData
                }
            }
            BackspaceKeypadButton {
                width: (keypad.width - 7 * keypad.buttonWidth) / 2
            }
        }
        Row {
            objectName: "row4"
            anchors.horizontalCenter: parent.horizontalCenter
            KeypadButton {
                text: "123"
                width: 2 * keypad.buttonWidth
            }
            CursorKeypadButton {
                orientation: 3
                width: 1.5 * keypad.buttonWidth
            }
            SpaceKeypadButton {
                text: keypad.languageName
                width: keypad.width - 7 * keypad.buttonWidth
                onHold: keypad.changeLanguage()
            }
            CursorKeypadButton {
                orientation: 1
                width: 1.5 * keypad.buttonWidth
            }
            KeypadButton {
                text: ","
            }
            KeypadButton {
                text: "."
            }
        }
    }
}
