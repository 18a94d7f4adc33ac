import QtQuick
import QtQml.Models
import "../frametypes"
import "../components"

// A calibration the instrument runs while the operator waits: "Start" writes the start value and
// a bar fills over `waitDuration`; when it is full (or on "Stop" during the wait) the run is
// stopped and "Set" takes the result. Leaving the frame forgets the wizard's own state only: a run
// started here goes on in the instrument and shows as started when the frame comes back.
// Every write waits for the instrument's answer: a start it did not take ends the wait, a stop it
// did not take is sent again until it does (the instrument would go on calibrating), and only a
// run whose start and stop were both taken offers "Set".
ColumnMenuFrame {
    id: wizard

    // The command register's property: 1 starts, 0 stops, 2 takes the result.
    property var command: null
    // Takes the result in place of writing 2 when set (a command property on the same register).
    property var setCommand: null
    // Whether the register holds the start value.
    property bool started: false
    property int waitDuration: 30000
    // How soon a stop the instrument did not take is sent again.
    property int stopRetryInterval: 1000
    property real progress: 0
    // The row with the buttons, for the focus after "Set".
    property Item buttonsRow: null
    // The instrument took this run's start.
    property bool ran: false
    // A stop is on its way; the state it leads to once taken.
    property bool stopping: false
    property string afterStop: "default"
    property bool setting: false
    // The instrument calibrates, as far as this wizard knows: "Stop" is what the button offers.
    readonly property bool calibrating: started || stopping || state === "waiting"

    readonly property int startValue: 1
    readonly property int stopValue: 0
    readonly property int setValue: setCommand ? setCommand.commandValue : 2

    property RegisterWriter writer: RegisterWriter {
        item: wizard.command ? wizard.command.modbusItem : null
    }

    function startStop() {
        if (calibrating)
            stop()
        else
            start()
    }

    function fail(text) {
        screenManager.showMessageBoxDialog(text)
    }

    function start() {
        sitesManager.createSiteIfDontExists(deviceProps.currentSite.value)
        ran = false
        waitAnimation.stop()
        progress = 0
        state = "waiting"
        waitAnimation.start()
        writer.write(startValue, function (taken) {
            if (taken) {
                wizard.ran = true
                return
            }
            if (wizard.state === "waiting") {
                waitAnimation.stop()
                wizard.progress = 0
                wizard.state = "default"
            }
            wizard.fail(qsTr("The device did not take the start of the calibration."))
        })
    }

    function stop() {
        sendStop(state === "waiting" ? "finished" : "default")
    }

    function waitEnded() {
        if (state === "waiting")
            sendStop("finished")
    }

    function sendStop(next) {
        // The state first: the animation's end must not count as the wait's end.
        var firstTry = !stopping
        if (firstTry)
            afterStop = next
        stopping = true
        if (state !== "default" || firstTry)
            state = "stopping"
        waitAnimation.stop()
        writeStop(firstTry)
    }

    function writeStop(report) {
        retryTimer.stop()
        writer.write(stopValue, function (taken) {
            if (!wizard.stopping)
                return
            if (taken) {
                wizard.stopping = false
                retryTimer.stop()
                // "finished" only for a run whose start was taken (its answer came first): there
                // is no result to set otherwise.
                if (wizard.state === "stopping")
                    wizard.state = wizard.afterStop === "finished" && wizard.ran ? "finished"
                                                                                 : "default"
                return
            }
            if (report)
                wizard.fail(qsTr("The device did not take the stop of the calibration. It is sent again until the device takes it."))
            report = false
            retryTimer.restart()
        })
    }

    function set() {
        if (state !== "finished" || setting)
            return
        setting = true
        writer.write(setValue, function (taken) {
            wizard.setting = false
            if (!taken) {
                wizard.fail(qsTr("The device did not take the result of the calibration."))
                return
            }
            wizard.ran = false
            wizard.state = "default"
            if (wizard.active && wizard.buttonsRow) {
                var index = wizard.buttonsRow.ObjectModel.index
                if (index !== undefined && index >= 0)
                    listView.currentIndex = index
                wizard.buttonsRow.startButton.forceActiveFocus()
            }
        })
    }

    state: "default"
    states: [
        State {
            name: "default"
        },
        State {
            name: "waiting"
        },
        // A stop sent and not yet taken.
        State {
            name: "stopping"
        },
        State {
            name: "finished"
        }
    ]

    // A stop under way goes on being sent: the run would go on in the instrument.
    onHidden: {
        state = "default"
        afterStop = "default"
        ran = false
        waitAnimation.stop()
        progress = 0
    }

    // Not children: the frame's children are its rows.
    property NumberAnimation waitAnimation: NumberAnimation {
        target: wizard
        property: "progress"
        from: 0
        to: 100
        duration: wizard.waitDuration
        onFinished: wizard.waitEnded()
    }
    property Timer retryTimer: Timer {
        interval: wizard.stopRetryInterval
        onTriggered: {
            if (wizard.stopping)
                wizard.writeStop(false)
        }
    }
}
