import QtQuick
import QtTest

// The five-point calibration screen, fed with kernel events through the touch device.
Item {
    id: root

    width: 640
    height: 480

    TestCase {
        name: "Calibrator"
        when: windowShown

        property var calibrator: null

        SignalSpy {
            id: completedSpy
            signalName: "calibrationCompleted"
        }

        function cleanup() {
            completedSpy.target = null
            if (calibrator)
                calibrator.destroy()
            calibrator = null
        }

        // The raw reading of a screen point: any non-degenerate map will do.
        function raw(x) {
            return 3 * x + 200
        }

        // A touch of `samples` reports (the helper averages five) around a screen point.
        function press(x, y, samples) {
            for (var i = 0; i < samples; ++i)
                verify(testTools.touch(raw(x) + i % 2, raw(y), true))
        }

        function release() {
            verify(testTools.touch(0, 0, false))
        }

        function makeCalibrator() {
            var component = Qt.createComponent(Qt.resolvedUrl("../../../share/menu/qml/TouchScreenCalibrator.qml"))
            compare(component.status, Component.Ready, component.errorString())
            calibrator = component.createObject(root, {
                                                    "markMoveDuration": 50
                                                })
            completedSpy.target = calibrator
            completedSpy.clear()
        }

        readonly property var points: [[50, 50], [590, 50], [590, 430], [50, 430], [320, 240]]

        // One round of five touches; `at` gives the screen point each touch lands on.
        function touchRound(at) {
            var mark = findChild(calibrator, "calibrationMark")
            for (var i = 0; i < points.length; ++i) {
                var x = points[i][0]
                var y = points[i][1]
                tryCompare(calibrator, "state", "waitPressState", 2000)
                compare(calibrator.pointX, x)
                compare(calibrator.pointY, y)
                compare(mark.x, x - 14.5)
                compare(mark.y, y - 14.5)
                var touched = at(i)
                // Five samples make one reading, of this touch alone.
                press(touched[0], touched[1], 5)
                if (i < 4) {
                    tryCompare(calibrator, "calibrationState", i + 1, 2000)
                    wait(50)
                    compare(calibrator.calibrationState, i + 1)
                    // Held through the move and after it: still one point.
                    press(touched[0], touched[1], 10)
                    tryCompare(calibrator, "state", "waitReleaseState", 2000)
                    press(touched[0], touched[1], 6)
                    wait(50)
                    compare(calibrator.calibrationState, i + 1)
                }
                release()
            }
        }

        function shownTexts() {
            var texts = []
            for (var c = 0; c < calibrator.children.length; ++c) {
                if (calibrator.children[c].text !== undefined && calibrator.children[c].visible)
                    texts.push(calibrator.children[c].text)
            }
            return texts
        }

        function test_calibration_data() {
            return [
                {tag: "five marks", failingRounds: 0},
                {tag: "five touches on one spot, then five marks", failingRounds: 1},
                {tag: "twice five touches on one spot, then five marks", failingRounds: 2},
            ]
        }
        function test_calibration(data) {
            makeCalibrator()
            for (var round = 0; round < data.failingRounds; ++round) {
                // All on one spot (a pixel apart, so that each touch is a new reading): no fit
                // exists. The screen says so and starts at the first mark again, rather than
                // waiting for ever.
                touchRound(function (i) { return (i + round) % 2 ? [201, 201] : [200, 200] })
                tryCompare(calibrator, "calibrationState", 0, 2000)
                verify(calibrator.failed)
                verify(shownTexts().indexOf("Calibration failed, please touch the marks again") >= 0,
                       shownTexts().join("|"))
                compare(completedSpy.count, 0)
                compare(findChild(calibrator, "calibrationMark").visible, true)
            }
            touchRound(function (i) { return points[i] })
            tryCompare(completedSpy, "count", 1, 2000)
            verify(!calibrator.failed)
            compare(findChild(calibrator, "calibrationMark").visible, false)
            verify(shownTexts().indexOf("Calibration sucessfully completed") >= 0,
                   shownTexts().join("|"))
        }
    }
}
