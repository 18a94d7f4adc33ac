import QtQuick

// A message that drifts from side to side while active.
Item {
    id: runningText

    property alias text: label.text
    property alias color: label.color
    property alias font: label.font
    property bool active: true

    clip: true

    Text {
        id: label
        // Its own fade, so that a user may still fade the whole item as it likes.
        opacity: runningText.active ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: 1000
            }
        }
        anchors.verticalCenter: parent.verticalCenter
        x: (runningText.width - width) / 2 + drift.offset
        text: qsTr("Message")
        font.family: styleManager.style.mediumFontFamily
        font.pixelSize: styleManager.style.mediumFontSize
        color: styleManager.style.mediumFontColor
        style: Text.Outline
        styleColor: "#777777"
    }

    QtObject {
        id: drift
        property real offset: 0
    }

    SequentialAnimation {
        running: runningText.active
        loops: Animation.Infinite
        onRunningChanged: {
            if (!running)
                drift.offset = 0
        }
        NumberAnimation {
            target: drift
            property: "offset"
            from: 0
            to: 50
            duration: 3000
        }
        NumberAnimation {
            target: drift
            property: "offset"
            from: 50
            to: -50
            duration: 6000
        }
        NumberAnimation {
            target: drift
            property: "offset"
            from: -50
            to: 0
            duration: 3000
        }
    }
}
