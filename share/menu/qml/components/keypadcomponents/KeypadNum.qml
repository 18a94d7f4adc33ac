import QtQuick

// Digits and symbols.
BaseKeypad {
    id: keypad

    buttonWidth: width / 10

    Column {
        anchors.fill: parent

        Row {
            objectName: "row1"
            Repeater {
                model: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "0"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row2"
            Repeater {
                model: ["@", "#", "$", "%", "&", "*", "-", "+", "(", ")"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row3"
            anchors.horizontalCenter: parent.horizontalCenter
            Repeater {
                model: ["\\", "!", "\"", "'", ":", ";", "/", "?"]
                KeypadButton {
                    text: modelData
                }
            }
            BackspaceKeypadButton {
                width: 1.5 * keypad.buttonWidth
            }
        }
        Row {
            objectName: "row4"
            KeypadButton {
                text: qsTr("abc")
                operation: "abc"
                width: 2 * keypad.buttonWidth
            }
            CursorKeypadButton {
                orientation: 3
                width: 1.5 * keypad.buttonWidth
            }
            SpaceKeypadButton {
                width: keypad.width - 7 * keypad.buttonWidth
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
