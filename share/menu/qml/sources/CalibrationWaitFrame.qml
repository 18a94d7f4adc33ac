import QtQuick
import QtQml.Models
import "../frametypes"

// A calibration the instrument runs while the operator waits: "Start" writes the start value and
// a bar fills over `waitDuration`; when it is full (or on "Stop" during the wait) the run is
// stopped and "Set" takes the result. Leaving the frame forgets the wizard's own state only: a run
// started here goes on in the instrument and shows as started when the frame comes back.
ColumnMenuFrame {
    id: wizard

    // The command register's property: start() writes 1, stop() 0, save() 2.
    property var command: null
    // Takes the result in place of command.save() when set (a command property of its own).
    property var setCommand: null
    // Whether the register holds the start value.
    property bool started: false
    property int waitDuration: 30000
    property real progress: 0
    // The row with the buttons, for the focus after "Set".
    property Item buttonsRow: null

    function startStop() {
        if (started)
            stop()
        else
            start()
    }

    function start() {
        sitesManager.createSiteIfDontExists(deviceProps.currentSite.value)
        command.start()
        waitAnimation.stop()
        progress = 0
        state = "waiting"
        waitAnimation.start()
    }

    function stop() {
        // The state first: the animation's end must not count as the wait's end.
        state = state === "waiting" ? "finished" : "default"
        waitAnimation.stop()
        command.stop()
    }

    function waitEnded() {
        if (state !== "waiting")
            return
        command.stop()
        state = "finished"
    }

    function set() {
        if (setCommand)
            setCommand.execute()
        else
            command.save()
        state = "default"
        if (buttonsRow) {
            var index = buttonsRow.ObjectModel.index
            if (index !== undefined && index >= 0)
                listView.currentIndex = index
            buttonsRow.startButton.forceActiveFocus()
        }
    }

    state: "default"
    states: [
        State {
            name: "default"
        },
        State {
            name: "waiting"
        },
        State {
            name: "finished"
        }
    ]

    onHidden: {
        state = "default"
        waitAnimation.stop()
        progress = 0
    }

    // Not a child: the frame's children are its rows.
    property NumberAnimation waitAnimation: NumberAnimation {
        target: wizard
        property: "progress"
        from: 0
        to: 100
        duration: wizard.waitDuration
        onFinished: wizard.waitEnded()
    }
}
