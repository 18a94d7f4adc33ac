import QtQuick

// The base of a keypad layout: four rows of keys whose presses become key events for the focused
// item.
Rectangle {
    id: keypad

    readonly property bool isBaseKeypad: true
    property real buttonWidth: width / 10
    property real buttonHeight: height / 4
    property real buttonInnerMargin: styleManager.style.screenKeypadButtonInnerMargin
    property bool isUpperCase: false
    property string languageName: "?"
    // Shift is held, and a character was typed while it was.
    property bool shiftHeld: false
    property bool typedWhileShift: false

    signal buttonPressed(string text, string operation)
    signal charPressed(string chr)
    signal changeLanguage

    function shiftPressed() {
        typedWhileShift = false
        shiftHeld = true
        isUpperCase = !isUpperCase
    }
    function shiftReleased() {
        shiftHeld = false
        if (typedWhileShift)
            isUpperCase = false
    }
    function resetShift() {
        shiftHeld = false
        typedWhileShift = false
        isUpperCase = false
    }

    color: styleManager.style.screenKeypadBakground

    onButtonPressed: (text, operation) => {
                         switch (operation) {
                             case "123":
                             screenManager.showNumberScreenKeypad()
                             break
                             case "abc":
                             screenManager.showTextScreenKeypad()
                             break
                             case "BACKSPACE":
                             menuContext.sendKeyEvent(Qt.Key_Backspace)
                             break
                             case "UP":
                             menuContext.sendKeyEvent(Qt.Key_Up)
                             break
                             case "RIGHT":
                             menuContext.sendKeyEvent(Qt.Key_Right)
                             break
                             case "DOWN":
                             menuContext.sendKeyEvent(Qt.Key_Down)
                             break
                             case "LEFT":
                             menuContext.sendKeyEvent(Qt.Key_Left)
                             break
                             case "SHIFT":
                             break
                             default:
                             if (operation.length === 1)
                             charPressed(operation)
                         }
                     }

    onCharPressed: chr => {
                       menuContext.sendCharEvent(isUpperCase ? chr.toUpperCase() : chr)
                       if (shiftHeld)
                           typedWhileShift = true
                       else
                           isUpperCase = false
                   }
}
