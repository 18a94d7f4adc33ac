import QtQuick

// The bottom panel's middle button. With minimized popups a long press (or a right click) opens
// their list; a normal click is the panel's (home).
BottomButton {
    id: homeButton

    readonly property bool popupsAvailable: screenManager.haveMinimizedPopups
    property int pressDuration: styleManager.style.homeButtonPressDuration
    property real progress: 0
    property alias progressBar: progressBar

    imageItem.height: popupsAvailable ? height * 0.35 : height * 0.7
    imageItem.width: imageItem.height
    imageItem.fillMode: Image.PreserveAspectFit
    imageItem.anchors.verticalCenterOffset: popupsAvailable ? -(imageItem.height / 4 - 2) : 0

    onRightClicked: {
        if (popupsAvailable)
            screenManager.showPopupsList()
    }

    Row {
        anchors.top: parent.verticalCenter
        anchors.topMargin: 2
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 2
        height: 20
        visible: homeButton.popupsAvailable

        Repeater {
            model: homeButton.popupsAvailable ? screenManager.minimizedPopups : []
            Image {
                height: 20
                width: 20
                fillMode: Image.PreserveAspectFit
                source: modelData && modelData.icon && modelData.icon.toString() !== ""
                        ? modelData.icon : Qt.resolvedUrl("../" + styleManager.style.appIcon)
            }
        }
    }

    Rectangle {
        id: progressBar
        anchors.top: parent.top
        anchors.left: parent.left
        height: 10
        width: parent.width * homeButton.progress / 100
        color: styleManager.style.focusedColor
        opacity: homeButton.pressed && homeButton.popupsAvailable ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: 200
            }
        }
    }

    NumberAnimation {
        id: holdAnimation
        target: homeButton
        property: "progress"
        from: 0
        to: 100
        duration: homeButton.pressDuration
        running: homeButton.pressed && homeButton.popupsAvailable
        onFinished: {
            // The press is used up: its release must not go home.
            homeButton.suppressClick = true
            screenManager.showPopupsList()
        }
        onRunningChanged: {
            if (!running)
                homeButton.progress = 0
        }
    }
}
