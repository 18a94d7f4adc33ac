// Stand-in until the controls land: the focus frame with the real one's properties.
import QtQuick

Rectangle {
    id: focusRect

    property bool active: true
    property bool autoHide: true
    property bool filled: true

    anchors.fill: parent
    radius: styleManager.style.focusedBorderRadius
    color: filled ? styleManager.style.focusedColor : "transparent"
    border.width: styleManager.style.focusedBorderWidth
    border.color: "#99000000"
    opacity: active && (!autoHide || navigationManager.keyboardNavigation) ? 1 : 0
    visible: opacity > 0
}
