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

        function test_fivePoints() {
            var component = Qt.createComponent(Qt.resolvedUrl("../../../share/menu/qml/TouchScreenCalibrator.qml"))
            compare(component.status, Component.Ready, component.errorString())
            calibrator = component.createObject(root, {
                                                    "markMoveDuration": 50
                                                })
            completedSpy.target = calibrator
            var mark = findChild(calibrator, "calibrationMark")
            var points = [[50, 50], [590, 50], [590, 430], [50, 430], [320, 240]]
            for (var i = 0; i < points.length; ++i) {
                var x = points[i][0]
                var y = points[i][1]
                tryCompare(calibrator, "state", "waitPressState", 2000)
                compare(calibrator.pointX, x)
                compare(calibrator.pointY, y)
                compare(mark.x, x - 14.5)
                compare(mark.y, y - 14.5)
                // Five samples make one reading, of this touch alone.
                press(x, y, 5)
                tryCompare(calibrator, "calibrationState", i + 1, 2000)
                wait(50)
                compare(calibrator.calibrationState, i + 1)
                if (i < 4) {
                    // Held through the move and after it: still one point.
                    press(x, y, 10)
                    tryCompare(calibrator, "state", "waitReleaseState", 2000)
                    press(x, y, 6)
                    wait(50)
                    compare(calibrator.calibrationState, i + 1)
                }
                release()
            }
            tryCompare(completedSpy, "count", 1, 2000)
            compare(findChild(calibrator, "calibrationMark").visible, false)
            var texts = []
            for (var c = 0; c < calibrator.children.length; ++c) {
                if (calibrator.children[c].text !== undefined)
                    texts.push(calibrator.children[c].text)
            }
            verify(texts.indexOf("Calibration sucessfully completed") >= 0, texts.join("|"))
        }
    }
}
