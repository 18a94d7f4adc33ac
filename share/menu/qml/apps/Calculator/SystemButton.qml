import QtQuick

// C, exit, minimize and backspace.
CalcButton {
    color: "#527290"
}
