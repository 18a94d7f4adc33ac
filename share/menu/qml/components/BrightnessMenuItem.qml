import QtQuick

// The backlight slider row: the bar, the moon (minimum) and the sun (maximum).
FocusScope {
    id: brightness

    property real minValue: 0
    property real maxValue: 1
    property real value: 0.5
    property alias bar: bar

    signal valueSet(real value)

    function setAt(x) {
        var ratio = Math.max(0, Math.min(1, x / bar.width))
        valueSet(minValue + (maxValue - minValue) * ratio)
    }

    width: styleManager.style.menuItemRowWidth
    height: 2 * styleManager.style.menuItemRowHeight

    MenuItemsBackground {
    }
    FocusRect {
        active: brightness.activeFocus
    }

    Text {
        id: caption
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.leftMargin: styleManager.style.menuItemRowCaptionLeftMargin
        height: styleManager.style.menuItemRowHeight
        verticalAlignment: Text.AlignVCenter
        text: qsTr("Brightness")
        font.family: styleManager.style.menuItemCaptionFontFamily
        font.pixelSize: styleManager.style.menuItemCaptionFontSize
        color: styleManager.style.menuItemCaptionFontColor
    }

    Image {
        id: moon
        objectName: "moonIcon"
        anchors.left: parent.left
        anchors.leftMargin: styleManager.style.menuItemRowCaptionLeftMargin
        anchors.verticalCenter: bar.verticalCenter
        height: styleManager.style.menuItemRowHeight * 0.6
        width: height
        fillMode: Image.PreserveAspectFit
        source: Qt.resolvedUrl("../" + styleManager.style.moonIcon)
        MouseArea {
            anchors.fill: parent
            onClicked: {
                brightness.valueSet(brightness.minValue)
                powerManager.storeBackligtBrightness()
            }
        }
    }

    Image {
        id: sun
        objectName: "sunIcon"
        anchors.right: parent.right
        anchors.rightMargin: styleManager.style.menuItemRowCaptionLeftMargin
        anchors.verticalCenter: bar.verticalCenter
        height: moon.height
        width: height
        fillMode: Image.PreserveAspectFit
        source: Qt.resolvedUrl("../" + styleManager.style.sunIcon)
        MouseArea {
            anchors.fill: parent
            onClicked: {
                brightness.valueSet(brightness.maxValue)
                powerManager.storeBackligtBrightness()
            }
        }
    }

    Rectangle {
        id: bar
        objectName: "brightnessBar"
        anchors.left: moon.right
        anchors.right: sun.left
        anchors.leftMargin: 2 * starter.mm
        anchors.rightMargin: 2 * starter.mm
        y: styleManager.style.menuItemRowHeight + (styleManager.style.menuItemRowHeight - height) / 2
        height: styleManager.style.menuItemRowHeight / 2.5
        // A light empty part and a dark fill: the style's own blues are too close to the row's
        // background to tell the level by.
        color: "#AAFFFFFF"
        border.color: "#2F5A88"

        readonly property real ratio: brightness.maxValue > brightness.minValue
                                      ? Math.max(0, Math.min(1, (brightness.value - brightness.minValue)
                                                                / (brightness.maxValue - brightness.minValue)))
                                      : 0
        Rectangle {
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: parent.width * parent.ratio
            color: "#2F5A88"
        }
        Rectangle {
            width: 6
            height: parent.height
            x: parent.width * parent.ratio - width / 2
            color: "#bb000000"
        }
        MouseArea {
            anchors.fill: parent
            onPressed: mouse => brightness.setAt(mouse.x)
            onPositionChanged: mouse => brightness.setAt(mouse.x)
            onReleased: powerManager.storeBackligtBrightness()
        }
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Left) {
                            valueSet(Math.max(0, Math.min(1, value - 0.1)))
                            event.accepted = true
                        } else if (event.key === Qt.Key_Right) {
                            valueSet(Math.max(0, Math.min(1, value + 0.1)))
                            event.accepted = true
                        }
                    }
}
