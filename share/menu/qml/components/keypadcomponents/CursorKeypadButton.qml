import QtQuick

// An arrow key: orientation 0, 1, 2, 3 is up, right, down, left.
KeypadButton {
    property int orientation: 0

    operation: ["UP", "RIGHT", "DOWN", "LEFT"][orientation]
    image: styleManager.style.screenCursorButton
    // The style's picture points right: turned so that each key points its own way.
    imageRotation: 90 * (orientation - 1)
}
