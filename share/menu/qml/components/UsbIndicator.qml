import QtQuick

// Shown while a USB host is attached; wider when the failure mark beside it is gone.
Item {
    id: usbIndicator

    property bool active: false
    property bool doubleWidth: false

    signal clicked()

    width: image.implicitWidth + 14 + (doubleWidth ? image.implicitWidth : 0)
    opacity: active ? 1 : 0
    visible: opacity > 0
    enabled: active
    Behavior on opacity {
        NumberAnimation {
            duration: 500
        }
    }

    Image {
        id: image
        anchors.centerIn: parent
        height: Math.min(implicitHeight, usbIndicator.height)
        fillMode: Image.PreserveAspectFit
        source: "../" + styleManager.style.usbIndicator
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: usbIndicator.clicked()
    }
}
