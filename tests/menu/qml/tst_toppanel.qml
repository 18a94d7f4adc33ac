import QtQuick
import QtTest

// "No connection with the device": never in the first moments after start, gone with an
// answer, back when answers stop.
TestHarness {
    id: harness

    TestCase {
        name: "TopPanel"
        when: windowShown

        property int grace: 300
        property int readErrorInterval: 500
        property var panel: null

        function init() {
            harness.reset()
        }

        function cleanup() {
            if (panel)
                panel.destroy()
            panel = null
        }

        function createPanel() {
            panel = harness.create("TopPanel.qml", {
                                       "width": harness.width,
                                       "startupGraceInterval": grace,
                                       "readErrorInterval": readErrorInterval,
                                       "fadeDuration": 0
                                   })
            verify(panel)
            return findChild(panel, "connectionErrorText")
        }

        function test_heightFromStyle() {
            createPanel()
            compare(panel.height, 32)
        }

        function test_notBeforeGraceTime() {
            var started = Date.now()
            var message = createPanel()
            harness.deviceModbus.connected = false
            var status = findChild(panel, "deviceTopPanel")
            compare(status.visible, false)
            compare(message.visible, false)
            tryCompare(message, "visible", true, 2000)
            verify(Date.now() - started >= grace)
            compare(message.text, "No connection with the device")
            compare(message.color, "#ff0000")
        }

        function test_answersClearIt_data() {
            return [{
                        "tag": "good task",
                        "signal": "goodTasksCountChanged"
                    }, {
                        "tag": "partial task",
                        "signal": "taskPartialExecuted"
                    }]
        }

        function test_answersClearIt(data) {
            var message = createPanel()
            var status = findChild(panel, "deviceTopPanel")
            // Connected, but nothing answers.
            tryCompare(message, "visible", true, 2000)
            compare(status.visible, false)

            harness.deviceModbus[data.signal]()
            compare(message.visible, false)
            compare(status.visible, true)
            var lastAnswer = Date.now()
            wait(readErrorInterval / 2)
            harness.deviceModbus[data.signal]()
            lastAnswer = Date.now()
            wait(readErrorInterval / 2)
            compare(message.visible, false, "the timer restarts with every answer")
            tryCompare(message, "visible", true, 2000)
            verify(Date.now() - lastAnswer >= readErrorInterval)
        }
    }
}
