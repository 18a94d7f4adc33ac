import QtQuick

Button {
    width: styleManager.style.smallButtonWidth
    height: styleManager.style.smallButtonHeight
}
