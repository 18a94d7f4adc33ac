import QtQuick
import "../frametypes"
import "../widgets"
import "../widgets/base"
import "../components"

// The measurement schedule: its mode and the start and stop of the scheduler, then either the
// periodic plan or the twenty entries of the interval plan.
ColumnMenuFrame {
    id: scheduleFrame

    // The frame of one interval entry; it takes its entry from the current row's intervalIndex.
    property var entryFrame: null
    readonly property bool scheduleOff: deviceProps.scheduleState.off
    readonly property bool intervalMode: deviceProps.scheduleMode.interval === true
    readonly property bool periodicMode: deviceProps.scheduleMode.periodic === true
    property bool doneMessageShown: false

    function askStartStop() {
        if (scheduleOff) {
            screenManager.showConfirmDialog(qsTr("Run the scheduler?"), function (yes) {
                if (!yes)
                    return
                sitesManager.createSiteIfDontExists(deviceProps.currentSite.value)
                deviceProps.scheduleCommand.start()
            }, {
                "defaultAnswer": false
            })
        } else {
            screenManager.showConfirmDialog(qsTr("Stop the scheduler?"), function (yes) {
                if (yes)
                    deviceProps.scheduleCommand.stop()
            }, {
                "defaultAnswer": true
            })
        }
    }

    // A completed job is reported once; closing the report clears it in the instrument.
    function reportDone() {
        if (!active || doneMessageShown || deviceProps.scheduleState.done !== true)
            return
        doneMessageShown = true
        screenManager.showMessageBoxDialog(qsTr("Scheduled job completed"), function () {
            scheduleFrame.doneMessageShown = false
            deviceProps.resetScheduleCommand.execute()
        })
    }

    onShown: reportDone()
    // Not a child: the frame's children are its rows.
    property Connections doneWatch: Connections {
        target: deviceProps.scheduleState
        function onDoneChanged() {
            scheduleFrame.reportDone()
        }
    }

    MenuItemBase {
        id: modeRow
        objectName: "scheduleModeRow"
        width: styleManager.style.menuItemRowWidth
        height: styleManager.style.menuItemRowHeight

        MenuRowItem {
            id: modeItem
            objectName: "scheduleModeItem"
            focus: true
            anchors.left: parent.left
            anchors.right: startButton.left
            anchors.rightMargin: 2 * starter.mm
            prop: deviceProps.scheduleMode
            showDimension: false
            editorProperties: ({
                                   "widthCoeff": 1.6
                               })
            KeyNavigation.right: startButton
        }
        Button {
            id: startButton
            objectName: "scheduleStartButton"
            width: 185
            height: parent.height - 2 * styleManager.style.menuItemMargin
            // Clear of the list's scroll mark at the right.
            anchors.right: parent.right
            anchors.rightMargin: 3 * starter.mm
            anchors.verticalCenter: parent.verticalCenter
            caption: scheduleFrame.scheduleOff ? qsTr("Start") : qsTr("Stop")
            image: Qt.resolvedUrl(scheduleFrame.scheduleOff ? "../images/buttons/startmeasure.png"
                                                            : "../images/buttons/stopmeasure.png")
            KeyNavigation.left: modeItem
            onClicked: scheduleFrame.askStartStop()
        }
    }

    MenuRowItem {
        prop: deviceProps.periodicScheduleStartTime
        hidden: !scheduleFrame.periodicMode
    }
    MenuRowItem {
        prop: deviceProps.periodicSchedulePeriod
        hidden: !scheduleFrame.periodicMode
    }
    MenuRowItem {
        prop: deviceProps.periodicScheduleDuration
        hidden: !scheduleFrame.periodicMode
    }
    MenuRowItem {
        prop: deviceProps.periodicScheduleEndTime
        hidden: !scheduleFrame.periodicMode
    }
    MenuRowItem {
        prop: deviceProps.periodicScheduleLoggingInterval
        hidden: !scheduleFrame.periodicMode
    }

    // Room for the column headers, which the first entry row draws.
    MenuItemBase {
        objectName: "scheduleHeaderGap"
        width: styleManager.style.menuItemRowWidth
        height: hidden ? 0 : 40
        clickable: false
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 0
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
        showHeaders: true
    }
    IntervalScheduleMenuItem {
        intervalIndex: 1
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 2
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 3
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 4
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 5
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 6
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 7
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 8
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 9
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 10
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 11
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 12
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 13
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 14
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 15
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 16
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 17
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 18
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
    IntervalScheduleMenuItem {
        intervalIndex: 19
        frame: scheduleFrame.entryFrame
        hidden: !scheduleFrame.intervalMode
    }
}
