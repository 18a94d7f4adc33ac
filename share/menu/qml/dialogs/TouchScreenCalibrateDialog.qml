import QtQuick

// The shell's five-point calibrator over the whole screen; it closes once calibration completes.
BaseDialog {
    id: dialog

    property url calibratorSource: Qt.resolvedUrl("../TouchScreenCalibrator.qml")
    readonly property alias calibrator: loader.item

    signal calibrationCompleted()

    width: screenManager.screenWidth
    height: screenManager.screenHeight

    Loader {
        id: loader
        anchors.centerIn: parent
        focus: true
        source: dialog.calibratorSource
    }

    Connections {
        target: loader.item
        ignoreUnknownSignals: true
        function onCalibrationCompleted() {
            dialog.calibrationCompleted()
            dialog.close()
        }
    }
}
