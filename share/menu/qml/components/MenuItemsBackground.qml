import QtQuick

// The background of rows and tiles.
Rectangle {
    anchors.fill: parent
    anchors.margins: styleManager.style.menuItemMargin
    color: styleManager.style.menuItemBackColor
    border.width: styleManager.style.menuItemBorderWidth
    border.color: styleManager.style.menuItemBorderColor
    radius: styleManager.style.menuItemRadius
}
