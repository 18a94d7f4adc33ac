import QtQuick

// Russian letters.
BaseKeypad {
    id: keypad

    languageName: qsTr("russian")
    buttonWidth: width / 12

    Column {
        anchors.fill: parent

        Row {
            objectName: "row1"
            anchors.horizontalCenter: parent.horizontalCenter
            Repeater {
                model: ["й", "ц", "у", "к", "е", "н", "г", "ш", "щ", "з", "х", "ъ"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row2"
            anchors.horizontalCenter: parent.horizontalCenter
            Repeater {
                model: ["ф", "ы", "в", "а", "п", "р", "о", "л", "д", "ж", "э"]
                KeypadButton {
                    text: modelData
                }
            }
        }
        Row {
            objectName: "row3"
            anchors.horizontalCenter: parent.horizontalCenter
            ShiftKeypadButton {
                width: (keypad.width - 9 * keypad.buttonWidth) / 2
            }
            Repeater {
                model: ["я", "ч", "с", "м", "и", "т", "ь", "б", "ю"]
                KeypadButton {
                    text: modelData
                }
            }
            BackspaceKeypadButton {
                width: (keypad.width - 9 * keypad.buttonWidth) / 2
            }
        }
        Row {
            objectName: "row4"
            anchors.horizontalCenter: parent.horizontalCenter
            KeypadButton {
                text: "123"
                width: 2 * keypad.buttonWidth
            }
            KeypadButton {
                text: "ё"
            }
            CursorKeypadButton {
                orientation: 3
                width: 1.5 * keypad.buttonWidth
            }
            SpaceKeypadButton {
                text: keypad.languageName
                width: keypad.width - 8 * keypad.buttonWidth
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
