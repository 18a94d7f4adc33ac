// Stand-in until the controls land: a small button with the style's minimize icon; its user
// wires the click.
import QtQuick

Button {
    width: styleManager.style.smallButtonWidth
    height: styleManager.style.smallButtonHeight
    image: "../" + styleManager.style.minimizeIcon
    imageItem.height: height - 20
    imageItem.fillMode: Image.PreserveAspectFit
}
