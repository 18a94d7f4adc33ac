import QtQuick

// A digit or the point.
CalcButton {
    color: "#6083a4"
}
