import QtQuick

// Shift: a tap makes the next character a capital, held it types capitals until released.
KeypadButton {
    id: shift

    operation: "SHIFT"
    image: styleManager.style.shiftScreenButton
    checked: keypad ? keypad.isUpperCase : false

    onPressed: {
        if (keypad)
            keypad.shiftPressed()
    }
    onReleased: {
        if (keypad)
            keypad.shiftReleased()
    }
    // Its work is done on press and release.
    function activate() {
        clicked()
    }
}
