import QtQuick

// The arrow of a row that leads on.
Image {
    source: Qt.resolvedUrl("../" + styleManager.style.menuItemRowRightArrowImage)
    fillMode: Image.PreserveAspectFit
}
