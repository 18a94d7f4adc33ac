// Stand-in until the controls land: a small button with the style's close icon that closes the
// popup it lies in.
import QtQuick

Button {
    id: closeButton

    width: styleManager.style.smallButtonWidth
    height: styleManager.style.smallButtonHeight
    image: "../" + styleManager.style.closeIcon
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
