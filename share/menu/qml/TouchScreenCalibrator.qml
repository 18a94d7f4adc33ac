import QtQuick
import Menu 1.0

// The five-point touch-screen calibration: a mark at each corner and at the centre, each
// touched once; works only with what it creates itself.
Rectangle {
    id: calibrator

    width: 640
    height: 480
    color: "black"

    property int cornersOffset: 50
    property int calibrationState: 0
    property real pointX: cornersOffset
    property real pointY: cornersOffset
    property int markMoveDuration: 500
    // The last round's fit failed; said until the next round's first touch.
    property bool failed: false

    signal calibrationCompleted

    state: "waitPressState"

    TouchScreenHelper {
        id: touchScreen

        onRawPosChanged: {
            if (calibrator.state !== "waitPressState")
                return
            touchScreen.setCalibrationPoint(calibrator.calibrationState, rawX, rawY,
                                            calibrator.pointX, calibrator.pointY)
            calibrator.calibrationState++
            switch (calibrator.calibrationState) {
            case 1:
                calibrator.failed = false
                calibrator.moveMark(calibrator.width - calibrator.cornersOffset,
                                    calibrator.cornersOffset)
                break
            case 2:
                calibrator.moveMark(calibrator.width - calibrator.cornersOffset,
                                    calibrator.height - calibrator.cornersOffset)
                break
            case 3:
                calibrator.moveMark(calibrator.cornersOffset,
                                    calibrator.height - calibrator.cornersOffset)
                break
            case 4:
                calibrator.moveMark(calibrator.width / 2, calibrator.height / 2)
                break
            case 5:
                // A fit that fails (touches on one spot, a worn panel) starts over: the user
                // has no other way out of the calibration state.
                if (touchScreen.performCalibration() < 0)
                    calibrator.restart()
                break
            }
        }
        onPressedChanged: {
            if (pressed)
                return
            // The next touch starts afresh: samples of this one must not be averaged into the
            // next mark's reading.
            touchScreen.reset()
            if (calibrator.state === "waitReleaseState")
                calibrator.state = "waitPressState"
        }
        onCalibrationCompleted: {
            subCaption.visible = false
            mark.visible = false
            caption.text = qsTr("Calibration sucessfully completed")
            calibrator.calibrationCompleted()
        }
    }

    function restart() {
        calibrationState = 0
        failed = true
        moveMark(cornersOffset, cornersOffset)
    }

    function moveMark(x, y) {
        pointX = x
        pointY = y
        state = "animState"
        markAnimation.restart()
    }

    // Nothing below the calibration screen may react to the touches.
    MouseArea {
        anchors.fill: parent
    }

    Text {
        id: caption
        anchors.top: parent.top
        anchors.topMargin: 20
        anchors.horizontalCenter: parent.horizontalCenter
        text: qsTr("Touch screen calibration")
        color: "white"
        font.pixelSize: 20
    }

    Text {
        id: subCaption
        anchors.top: caption.bottom
        anchors.topMargin: 20
        anchors.horizontalCenter: parent.horizontalCenter
        text: calibrator.failed ? qsTr("Calibration failed, please touch the marks again")
                                : qsTr("Please, touch the mark")
        color: calibrator.failed ? "#FF8080" : "lightgreen"
        font.pixelSize: 20
    }

    Item {
        id: mark
        objectName: "calibrationMark"
        width: 29
        height: 29

        Rectangle {
            anchors.fill: parent
            radius: width / 2
            border.width: 2
            border.color: "lightGray"
            color: "#30FFFFFF"
        }
        Rectangle {
            anchors.centerIn: parent
            width: parent.width + 12
            height: 1
            color: "white"
        }
        Rectangle {
            anchors.centerIn: parent
            width: 1
            height: parent.height + 12
            color: "white"
        }
    }

    ParallelAnimation {
        id: markAnimation
        running: true
        NumberAnimation {
            target: mark
            property: "x"
            to: calibrator.pointX - 14.5
            duration: calibrator.markMoveDuration
        }
        NumberAnimation {
            target: mark
            property: "y"
            to: calibrator.pointY - 14.5
            duration: calibrator.markMoveDuration
        }
        onStarted: calibrator.state = "animState"
        onFinished: {
            touchScreen.reset()
            calibrator.state = touchScreen.pressed ? "waitReleaseState" : "waitPressState"
        }
    }

    states: [
        State {
            name: "waitPressState"
        },
        State {
            name: "waitReleaseState"
        },
        State {
            name: "animState"
        }
    ]
}
