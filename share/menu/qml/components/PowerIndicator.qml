import QtQuick

// The battery with its charge, red at or below the danger level, and the adapter's plug.
Item {
    id: powerIndicator

    property bool showBattery: true
    property bool showAdapter: false
    property real level: 0
    property real dangerousLevel: 15
    readonly property bool danger: level <= dangerousLevel
    readonly property real batteryWidth: styleManager.style.batteryWidth
    readonly property real batteryHeight: styleManager.style.batteryHeight
    readonly property alias batteryBody: body
    readonly property alias chargeBar: charge

    signal clicked()

    width: adapter.width + batteryWidth + 4
    height: batteryHeight + 2 * styleManager.style.mm

    Image {
        id: adapter
        objectName: "adapterImage"
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        height: Math.min(implicitHeight, powerIndicator.height)
        fillMode: Image.PreserveAspectFit
        source: "../images/socketPower.png"
        opacity: powerIndicator.showAdapter ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: 1000
            }
        }
    }

    Item {
        id: battery
        objectName: "battery"
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.topMargin: styleManager.style.mm
        anchors.bottomMargin: styleManager.style.mm
        width: powerIndicator.batteryWidth
        opacity: powerIndicator.showBattery ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: 1000
            }
        }

        Rectangle {
            id: body
            objectName: "batteryBody"
            width: parent.width * 0.85
            height: parent.height
            color: "transparent"
            border.width: 2
            border.color: powerIndicator.danger ? "red" : styleManager.style.batteryBorderColor
            radius: styleManager.style.batteryBorderRadius

            Rectangle {
                id: charge
                objectName: "chargeBar"
                x: 3
                y: 3
                height: parent.height - 6
                width: Math.max(0, Math.min(100, powerIndicator.level)) / 100 * (parent.width - 6)
                gradient: powerIndicator.danger ? styleManager.style.batteryLowColorGradient
                                                : styleManager.style.batteryHighColorGradient
                Behavior on width {
                    NumberAnimation {
                        duration: 1000
                    }
                }
            }
        }
        Rectangle {
            anchors.left: body.right
            anchors.verticalCenter: body.verticalCenter
            width: parent.width - body.width
            height: body.height / 2
            color: body.border.color
        }
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: powerIndicator.clicked()
    }
}
