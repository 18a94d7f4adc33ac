import QtQuick
import DorrikBus 1.0
import "../frametypes/base"
import "../components"
import "../widgets"

// The zero flow point set on a flowing pipe: dt is measured once with the sensors one way round
// (stage 1) and once swapped (stage 2) at the same sound speed; the mean of the two is the zero
// offset dt0 that "Save" keeps. The instrument times each stage; the menu only steps through
// them and checks that the sound speed of stage 2 matches stage 1's. A step moves on only once
// the instrument took its write; a stop it did not take is sent again until it does.
BaseFrame {
    id: wizard

    // How long the instrument has to take the start command.
    property int startWait: 2000
    // How soon a stop the instrument did not take is sent again.
    property int stopRetryInterval: 1000
    readonly property real maxDiff: 0.010
    readonly property var commandItem: deviceModbus.onFlowZeroAdjusmentCommand || null
    readonly property var stageItem: deviceModbus.onFlowZeroAdjusmentStage || null
    readonly property var timeItem: deviceModbus.onFlowZeroAdjustmentTime || null
    readonly property int progressSteps: 15
    readonly property bool calibrating: (commandItem !== null && commandItem.value > 0)
                                        || state !== "stage1" || stopping
    // A stop sent and not yet taken.
    property bool stopping: false
    // A step's write waits for its answer: Next and Save are not taken twice.
    property bool busy: false
    // Counts the stops: a step answered after one no longer moves the wizard.
    property int run: 0
    property bool stageReady: false
    property bool timeReading: false
    readonly property bool speedCheck: state === "stage2"
    property bool speedsAgree: false
    property bool progressShown: false
    readonly property alias progressBar: bar
    readonly property alias startButton: startButton
    readonly property alias nextButton: nextButton
    readonly property string nextCaption: qsTranslate("OnFlowZeroAdjustment", "Next")
    readonly property var shownProps: {
        if (state === "stage3")
            return [deviceProps.onFlowZeroAdjustmentDt0]
        var second = state === "stage2" || state === "stage2_3"
        return [deviceProps.dtMeasured, deviceProps.p, deviceProps.measuredSoundSpeed,
                second ? deviceProps.onFlowZeroAdjusmentDt2 : deviceProps.onFlowZeroAdjusmentDt1]
    }
    readonly property string stageText: {
        var c1 = deviceProps.onFlowZeroAdjusmentC1
        switch (state) {
        case "stage1":
            return qsTr("Place the sensor 2 upstream, the sensor 1 downstream and press ") + "\""
                    + startButton.startCaption + "\""
        case "stage2":
            return qsTr("Now place the sensor 1 upstream, the sensor 2 downstream (note that the speed of sound should be equal to ")
                    + c1.formatValue + " ±" + maxDiff + c1.dimension + qsTr(") and press ")
                    + "\"" + nextCaption + "\""
        case "stage3":
            return qsTr("Press ") + "\"" + nextButton.saveCaption + "\""
                    + qsTr(" to save calculated dt0 and return to menu.")
        default:
            // "Next" waits for the instrument's countdown: the text says so until then.
            if (!stageReady)
                return qsTr("Measuring, please wait...")
            return qsTr("To continue, press ") + "\"" + nextCaption + "\""
        }
    }

    property RegisterWriter stageWriter: RegisterWriter {
        item: wizard.stageItem
    }
    property RegisterWriter commandWriter: RegisterWriter {
        item: wizard.commandItem
    }

    function fail(text) {
        screenManager.showMessageBoxDialog(text)
    }

    function startRefused() {
        startTimer.stop()
        fail(qsTranslate("CalibrationWaitFrame", "The device did not take the start of the calibration."))
    }

    // The stage written; `then` runs once the instrument took it, else the operator is told
    // (`refusal`, or that the step was not taken).
    function writeStage(stage, then, refusal) {
        var from = run
        busy = true
        stageWriter.write(stage, function (taken) {
            if (from !== wizard.run)
                return
            wizard.busy = false
            if (!taken)
                wizard.fail(refusal || qsTr("The device did not take the step of the calibration."))
            else if (then)
                then()
        })
    }

    function start() {
        sitesManager.createSiteIfDontExists(deviceProps.currentSite.value)
        var refused = false
        stageWriter.write(0, function (taken) {
            if (!taken && !refused) {
                refused = true
                wizard.startRefused()
            }
        })
        commandWriter.write(1, function (taken) {
            if (!taken && !refused) {
                refused = true
                wizard.startRefused()
            }
        })
        commandItem.read()
        startTimer.restart()
    }

    function stop() {
        startTimer.stop()
        run++
        busy = false
        stageWriter.write(0)
        state = "stage1"
        sendStop()
    }

    function sendStop() {
        var report = !stopping
        stopping = true
        retryTimer.stop()
        commandWriter.write(0, function (taken) {
            if (!wizard.stopping)
                return
            if (taken) {
                wizard.stopping = false
                retryTimer.stop()
                return
            }
            if (report)
                wizard.fail(qsTranslate("CalibrationWaitFrame", "The device did not take the stop of the calibration. It is sent again until the device takes it."))
            retryTimer.restart()
        })
    }

    function next() {
        if (busy)
            return
        switch (state) {
        case "stage1_2":
            stageReady = false
            deviceModbus.onFlowZeroAdjusmentC1.read()
            state = "stage2"
            break
        case "stage2":
            // The stage first: a time read queued before it would still say 0.
            writeStage(2, function () {
                wizard.state = "stage2_3"
            })
            break
        case "stage2_3":
            writeStage(3, function () {
                wizard.state = "stage3"
            })
            break
        case "stage3":
            // The end only after the save: ended first, the instrument would drop the result.
            writeStage(4, function () {
                wizard.sendStop()
                wizard.state = "stage1"
                if (wizard.prevFrame)
                    navigationManager.gotoFrame(wizard.prevFrame, false)
            }, qsTranslate("CalibrationWaitFrame", "The device did not take the result of the calibration."))
            break
        }
    }

    state: "stage1"
    states: [
        State {
            name: "stage1"
            StateChangeScript {
                script: {
                    wizard.timeReading = false
                    wizard.progressShown = false
                    bar.reset()
                }
            }
        },
        State {
            name: "stage1_2"
            StateChangeScript {
                script: {
                    wizard.stageReady = false
                    wizard.timeReading = true
                    wizard.progressShown = true
                }
            }
        },
        State {
            name: "stage2"
            StateChangeScript {
                script: {
                    wizard.timeReading = false
                    wizard.speedsAgree = false
                }
            }
        },
        State {
            name: "stage2_3"
            StateChangeScript {
                script: {
                    wizard.stageReady = false
                    bar.reset()
                    wizard.progressShown = true
                    wizard.timeReading = true
                }
            }
        },
        State {
            name: "stage3"
            StateChangeScript {
                script: {
                    wizard.timeReading = false
                    wizard.progressShown = false
                }
            }
        }
    ]

    // The instrument clears the command when it does not take it.
    Timer {
        id: startTimer
        interval: wizard.startWait
        onTriggered: {
            if (!(wizard.commandItem.value > 0))
                return
            wizard.writeStage(1, function () {
                wizard.commandItem.read()
                wizard.state = "stage1_2"
            })
        }
    }
    Timer {
        id: retryTimer
        interval: wizard.stopRetryInterval
        onTriggered: {
            if (wizard.stopping)
                wizard.sendStop()
        }
    }

    ModbusItemReader {
        item: wizard.commandItem
        active: wizard.widgetShown
    }
    ModbusItemReader {
        id: timeReader
        item: wizard.timeItem
        active: wizard.widgetShown && wizard.timeReading
    }
    Connections {
        target: wizard.timeItem
        function onAfterRead() {
            if (!timeReader.active)
                return
            var left = wizard.timeItem.value
            bar.value = wizard.progressSteps - left
            if (left === 0)
                wizard.stageReady = true
        }
    }
    Connections {
        target: deviceModbus.mainReadGroup || null
        function onAfterRead() {
            if (!wizard.speedCheck)
                return
            wizard.speedsAgree = Math.abs(deviceModbus.measuredSoundSpeed.value
                                          - deviceModbus.onFlowZeroAdjusmentC1.value) <= wizard.maxDiff
        }
    }

    Item {
        id: content
        anchors.fill: wizard.clientRect
        anchors.margins: 3 * starter.mm

        Text {
            id: stageTextItem
            objectName: "onFlowStageText"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            height: 3 * font.pixelSize * 1.25
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            fontSizeMode: Text.VerticalFit
            minimumPixelSize: styleManager.style.smallFontSize * 0.8
            text: wizard.stageText
            font.family: styleManager.style.mediumFontFamily
            font.pixelSize: styleManager.style.smallFontSize
            color: styleManager.style.mediumFontColor
        }

        Grid {
            id: valuesGrid
            anchors.top: stageTextItem.bottom
            anchors.topMargin: 2 * starter.mm
            anchors.horizontalCenter: parent.horizontalCenter
            columns: 2
            rowSpacing: 1 * starter.mm

            Repeater {
                model: wizard.shownProps

                Item {
                    id: cell

                    readonly property bool isSoundSpeed: modelData === deviceProps.measuredSoundSpeed
                    width: Math.min(80 * starter.mm, content.width / 2)
                    height: styleManager.style.menuItemRowHeight * 0.8

                    // Each value is kept polled while the wizard is shown.
                    WidgetPropReader {
                        prop: modelData
                    }
                    Text {
                        id: shortCaptionText
                        width: 20 * starter.mm
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData ? modelData.shortCaption : ""
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: styleManager.style.smallFontSize * 0.8
                        font.family: styleManager.style.mediumFontFamily
                        font.pixelSize: styleManager.style.mediumFontSize
                        color: styleManager.style.mediumFontColor
                    }
                    Text {
                        objectName: cell.isSoundSpeed ? "onFlowSoundSpeedValue" : ""
                        anchors.left: shortCaptionText.right
                        anchors.right: unitText.left
                        anchors.rightMargin: 1 * starter.mm
                        anchors.verticalCenter: parent.verticalCenter
                        horizontalAlignment: Text.AlignRight
                        text: modelData ? modelData.formatValue : ""
                        elide: Text.ElideRight
                        font.family: styleManager.style.mediumFontFamily
                        font.pixelSize: styleManager.style.mediumFontSize
                        color: cell.isSoundSpeed && wizard.speedCheck
                               ? (wizard.speedsAgree ? "#008000" : "#D00000")
                               : styleManager.style.mediumFontColor
                    }
                    Text {
                        id: unitText
                        width: 14 * starter.mm
                        anchors.right: parent.right
                        anchors.rightMargin: 2 * starter.mm
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData && modelData.dimension ? modelData.dimension : ""
                        font.family: styleManager.style.smallFontFamily
                        font.pixelSize: styleManager.style.smallFontSize
                        color: styleManager.style.mediumFontColor
                    }
                }
            }
        }

        Row {
            id: buttons
            anchors.top: valuesGrid.bottom
            anchors.topMargin: 2 * starter.mm
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6 * starter.mm

            Button {
                id: startButton
                objectName: "onFlowStartButton"
                readonly property string startCaption: qsTr("Start")
                focus: true
                caption: wizard.calibrating ? qsTr("Stop") : startCaption
                KeyNavigation.right: nextButton
                onClicked: {
                    if (wizard.calibrating)
                        wizard.stop()
                    else
                        wizard.start()
                }
            }
            Button {
                id: nextButton
                objectName: "onFlowNextButton"
                readonly property string saveCaption: qsTr("Save")
                caption: wizard.state === "stage3" ? saveCaption : wizard.nextCaption
                enabled: {
                    switch (wizard.state) {
                    case "stage1_2":
                    case "stage2_3":
                        return wizard.stageReady
                    case "stage2":
                        return wizard.speedsAgree
                    case "stage3":
                        return true
                    default:
                        return false
                    }
                }
                KeyNavigation.left: startButton
                onClicked: wizard.next()
                onEnabledChanged: {
                    if (!wizard.active)
                        return
                    if (enabled)
                        nextButton.forceActiveFocus()
                    else
                        startButton.forceActiveFocus()
                }
            }
        }

        ProgressBar {
            id: bar
            objectName: "onFlowProgress"
            anchors.top: buttons.bottom
            anchors.topMargin: 3 * starter.mm
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width - 10 * starter.mm
            height: 8 * starter.mm
            minimumValue: 0
            maximumValue: wizard.progressSteps
            visible: wizard.progressShown
        }
    }
}
