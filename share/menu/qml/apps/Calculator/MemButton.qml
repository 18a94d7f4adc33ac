import QtQuick

// A memory key: m+, m-, mr, mc.
CalcButton {
    color: "#6c7c82"
    showBorder: false
}
