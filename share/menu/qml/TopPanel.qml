import QtQuick
import "components"
import "sources"

// The status strip: the device's own status while answers come, a running red message when
// they stop.
Rectangle {
    id: topPanel

    height: styleManager.style.topPanelHeight
    color: styleManager.style.topPanelBackColor
    gradient: styleManager.style.topPanelGradient

    property bool readError: false
    property bool connectionError: !deviceModbus.connected || readError
    property bool debugActive: false
    // The message never shows in the first moments after start, before a first answer can come.
    property bool canShow: false
    property bool connectionErrorShown: connectionError && canShow
    property int readErrorInterval: 6000
    property int startupGraceInterval: 2000
    property int fadeDuration: 1000

    Timer {
        id: readErrorTimer
        interval: topPanel.readErrorInterval
        repeat: true
        running: true
        onTriggered: topPanel.readError = true
    }

    Timer {
        interval: topPanel.startupGraceInterval
        running: true
        onTriggered: topPanel.canShow = true
    }

    Connections {
        target: deviceModbus
        function onGoodTasksCountChanged() {
            topPanel.answerCame()
        }
        function onTaskPartialExecuted() {
            topPanel.answerCame()
        }
    }

    function answerCame() {
        readError = false
        readErrorTimer.restart()
    }

    DeviceTopPanel {
        objectName: "deviceTopPanel"
        anchors.fill: parent
        opacity: !topPanel.connectionError || topPanel.debugActive ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: topPanel.fadeDuration
            }
        }
    }

    RunningText {
        id: connectionErrorText
        objectName: "connectionErrorText"
        anchors.fill: parent
        text: qsTr("No connection with the device")
        color: "red"
        opacity: topPanel.connectionErrorShown ? 1 : 0
        visible: opacity > 0
        active: topPanel.connectionErrorShown
        Behavior on opacity {
            NumberAnimation {
                duration: topPanel.fadeDuration
            }
        }
    }
}
