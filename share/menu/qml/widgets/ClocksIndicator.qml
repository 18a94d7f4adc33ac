import QtQuick

// The instrument's clock in the status strip, fading in once it is known.
Item {
    id: clocksIndicator

    property date time
    property string format: "hh:mm:ss  dd.MM.yyyy"
    property bool shown: true
    readonly property alias text: clockText.text

    signal clicked()

    height: 62
    width: clockText.implicitWidth
    opacity: shown ? 1 : 0
    visible: opacity > 0
    Behavior on opacity {
        NumberAnimation {
            duration: 1000
        }
    }

    Text {
        id: clockText
        objectName: "clockText"
        anchors.centerIn: parent
        text: Qt.formatDateTime(clocksIndicator.time, clocksIndicator.format)
        color: styleManager.style.clocksFontColor
        font.family: styleManager.style.clocksFontFamily
        font.pixelSize: styleManager.style.clocksFontSize
    }
    Rectangle {
        anchors.fill: parent
        color: "#22FFFFFF"
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: clocksIndicator.clicked()
    }
}
