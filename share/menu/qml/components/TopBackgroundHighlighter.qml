import QtQuick

// The pressed highlight of a status indicator.
Rectangle {
    anchors.fill: parent
    color: "#22FFFFFF"
}
