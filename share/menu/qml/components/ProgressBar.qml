import QtQuick

// A bar filled to the value's share of its range: below the minimum empty, above the maximum
// full; changes of the value slide the fill over `duration` ms.
Item {
    id: progressBar

    property real minimumValue: 0
    property real maximumValue: 100
    property real value: 0
    property int duration: 300
    readonly property real percent: maximumValue > minimumValue
                                    ? Math.max(0, Math.min(100, (value - minimumValue) * 100
                                                           / (maximumValue - minimumValue)))
                                    : 0
    readonly property alias fill: fill

    // Off while reset() jumps back, so that the fill does not slide down.
    property bool animated: true

    function reset() {
        animated = false
        value = minimumValue
        animated = true
    }

    width: 300
    height: 24

    BorderImage {
        anchors.fill: parent
        source: Qt.resolvedUrl("../" + styleManager.style.progressBarBackground)
        border.left: 5
        border.right: 5
        border.top: 5
        border.bottom: 5
    }
    Item {
        anchors.fill: parent
        anchors.margins: frame.border.width
        BorderImage {
            id: fill
            objectName: "progressBarFill"
            height: parent.height
            width: parent.width * progressBar.percent / 100
            visible: width >= 1
            source: Qt.resolvedUrl("../" + styleManager.style.progressBarFill)
            // The border image cannot be narrower than its two borders.
            border.left: Math.min(8, width / 2)
            border.right: Math.min(8, width / 2)
            border.top: 8
            border.bottom: 8
            Behavior on width {
                enabled: progressBar.animated
                NumberAnimation {
                    duration: progressBar.duration
                }
            }
        }
    }
    Rectangle {
        id: frame
        anchors.fill: parent
        color: "transparent"
        border.width: 2
        border.color: "#3b5978"
        radius: 5
    }
}
