import QtQuick

// The focus frame: shown only while the user navigates by keys, unless autoHide is off.
Rectangle {
    id: focusRect

    property bool active: true
    property bool autoHide: true
    property bool filled: true
    // Dark on the style's light rows; a dark list takes a light one.
    property color borderColor: "#99000000"

    anchors.fill: parent
    radius: styleManager.style.focusedBorderRadius
    color: filled ? styleManager.style.focusedColor : "transparent"
    border.width: styleManager.style.focusedBorderWidth
    border.color: borderColor
    opacity: active && (!autoHide || navigationManager.keyboardNavigation) ? 1 : 0
    // A transparent frame must not be drawn nor take part in anything.
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation {
            duration: 500
        }
    }
}
