import QtQuick

// The hover mark over its parent.
Rectangle {
    anchors.fill: parent
    color: styleManager.style.mouseOverColor
}
