import QtQuick

// An operation: on the pad's own colour.
CalcButton {
    color: "transparent"
}
