import QtQuick

KeypadButton {
    operation: "BACKSPACE"
    image: styleManager.style.backspaceScreenButton
}
