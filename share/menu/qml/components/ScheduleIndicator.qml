import QtQuick

// The schedule's state: 0 off (nothing shown), 1 active, 2 done.
Item {
    id: scheduleIndicator

    property int scheduleState: 0
    readonly property string iconSource: scheduleState === 1
                                         ? styleManager.style.scheduleActiveIcon
                                         : scheduleState === 2 ? styleManager.style.scheduleDoneIcon
                                                               : ""

    signal clicked()

    width: image.implicitWidth + 14
    enabled: iconSource !== ""

    Image {
        id: image
        objectName: "scheduleImage"
        anchors.centerIn: parent
        height: Math.min(implicitHeight, scheduleIndicator.height)
        fillMode: Image.PreserveAspectFit
        visible: scheduleIndicator.iconSource !== ""
        source: scheduleIndicator.iconSource !== "" ? "../" + scheduleIndicator.iconSource : ""
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: scheduleIndicator.clicked()
    }
}
