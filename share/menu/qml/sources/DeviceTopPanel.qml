import QtQuick
import "../components"
import "../widgets"

// The instrument's status strip: site, failures, USB, clock, schedule, emergency situations,
// measuring, memory card and power; each leads to where it is dealt with.
Item {
    id: deviceTopPanel

    readonly property var frames: navigationManager.deviceFrames

    function gotoFrame(name, forward) {
        if (frames && frames[name])
            navigationManager.gotoFrame(frames[name], forward)
    }

    // The wizard of the calibration that runs.
    function runningCalibrationFrame() {
        if (deviceProps.calibratingZeroFlowOffsetStatus.value)
            return "calibratingZeroFlowOffsetFrame"
        if (deviceProps.additionalDelayCalibrationStatus.value)
            return "additionalDelayAdjustmentFrame"
        if (deviceProps.settingZeroFlowPointStatus.value)
            return "settingZeroFlowPointFrame"
        return ""
    }

    ObjectIndicator {
        id: objectIndicator
        objectName: "objectIndicator"
        anchors.left: parent.left
        anchors.leftMargin: 3
        anchors.right: failureIndicator.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        active: true
        onClicked: deviceTopPanel.gotoFrame("frameWithSite", true)
    }
    FailureIndicator {
        id: failureIndicator
        objectName: "failureIndicator"
        anchors.right: usbIndicator.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        active: deviceModbus.failures.value !== 0
        onClicked: deviceTopPanel.gotoFrame("failuresFrame", true)
    }
    UsbIndicator {
        id: usbIndicator
        objectName: "usbIndicator"
        anchors.right: clocks.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        active: deviceProps.usbState.exists
        doubleWidth: !failureIndicator.active
        onClicked: deviceTopPanel.gotoFrame("powerStatusFrame", true)
    }
    ClocksIndicator {
        id: clocks
        objectName: "clocksIndicator"
        anchors.centerIn: parent
        height: parent.height
        time: deviceModbus.timeRo.value
        shown: deviceModbus.mainReadGroup.wasRead
        onClicked: {
            if (menuContext.verbose)
                screenManager.showLog()
            else
                deviceTopPanel.gotoFrame("systemSettingsFrame", false)
        }
    }
    Row {
        anchors.left: clocks.right
        anchors.right: powerIndicator.left
        anchors.rightMargin: 4
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        layoutDirection: Qt.RightToLeft

        CardIndicator {
            id: cardIndicator
            objectName: "cardIndicator"
            anchors.verticalCenter: parent.verticalCenter
            readonly property int status: deviceProps.cardStatus.value
            exists: deviceProps.cardStatus.exists
            busy: status === 5 || status === 6
            error: status === 1 || status === 3 || status === 4
            onClicked: deviceTopPanel.gotoFrame("archiveSettingsFrame", true)
        }
        MeasureIndicator {
            id: measureIndicator
            objectName: "measureIndicator"
            height: parent.height
            measuring: deviceProps.measureStatus.measuring
            calibrating: deviceProps.calibrationStarted
            onClicked: {
                if (calibrating) {
                    var frame = deviceTopPanel.runningCalibrationFrame()
                    navigationManager.gotoPage(navigationManager.piMain)
                    if (frame !== "")
                        deviceTopPanel.gotoFrame(frame, true)
                } else {
                    navigationManager.gotoPage(navigationManager.piLeft)
                }
            }
        }
        EsIndicator {
            id: esIndicator
            objectName: "esIndicator"
            height: parent.height
            visible: deviceProps.esSecondary.hasFlags
                     || (isHeatSupported && deviceProps.heatEs.hasFlags)
            onClicked: navigationManager.gotoPage(navigationManager.piLeft)
        }
        ScheduleIndicator {
            id: scheduleIndicator
            objectName: "scheduleIndicator"
            height: parent.height
            scheduleState: deviceProps.scheduleState.value
            onClicked: deviceTopPanel.gotoFrame("scheduleSettingsFrame", false)
        }
    }
    PowerIndicator {
        id: powerIndicator
        objectName: "powerIndicator"
        anchors.right: parent.right
        anchors.rightMargin: 5
        anchors.verticalCenter: parent.verticalCenter
        showBattery: deviceProps.powerStatus.hasBattery
        showAdapter: deviceProps.powerStatus.hasAdapter
        level: deviceModbus.chargeLevel.value
        dangerousLevel: deviceProps.chargeWarningLevel
        onClicked: deviceTopPanel.gotoFrame("powerStatusFrame", true)
    }
}
