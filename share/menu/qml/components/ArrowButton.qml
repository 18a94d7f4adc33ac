import QtQuick

// An auto-repeating arrow; angle 180 points it down.
Button {
    id: arrowButton

    property real angle: 0

    continuousPress: true
    image: Qt.resolvedUrl("../images/upEditArrow.png")
    imageItem.rotation: angle
}
