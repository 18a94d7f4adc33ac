import QtQuick

// An arrow key: orientation 0, 1, 2, 3 is up, right, down, left.
KeypadButton {
    property int orientation: 0

    operation: ["UP", "RIGHT", "DOWN", "LEFT"][orientation]
    image: styleManager.style.screenCursorButton
    imageRotation: 90 * orientation
}
