import QtQuick

// Shown while the instrument reports a failure.
Item {
    id: failureIndicator

    property bool active: false

    signal clicked()

    width: image.implicitWidth + 14
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
        height: Math.min(implicitHeight, failureIndicator.height)
        fillMode: Image.PreserveAspectFit
        source: "../" + styleManager.style.failureIndicator
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: failureIndicator.clicked()
    }
}
