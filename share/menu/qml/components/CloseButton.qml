import QtQuick

// Closes the popup it lies in.
SmallButton {
    id: closeButton

    image: Qt.resolvedUrl("../" + styleManager.style.closeIcon)
    imageItem.height: height - 20
    imageItem.fillMode: Image.PreserveAspectFit

    onClicked: {
        for (var p = closeButton.parent; p; p = p.parent) {
            if (typeof p.close === "function" && p.closing !== undefined) {
                p.close()
                return
            }
        }
    }
}
