import QtQuick

// Its user wires the click (popups: minimize()).
SmallButton {
    image: Qt.resolvedUrl("../" + styleManager.style.minimizeIcon)
    imageItem.height: height - 20
    imageItem.fillMode: Image.PreserveAspectFit
}
