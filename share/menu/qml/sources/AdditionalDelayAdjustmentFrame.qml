import QtQuick
import "../widgets"

// The additional delay calibration: the instrument measures the delay over the wait from the
// fluid's known sound speed, and "Set" makes it the site's additional delay.
CalibrationWaitFrame {
    id: frame

    command: deviceProps.adjustAdditionalDelay
    setCommand: deviceProps.setAdditionalDelay
    started: deviceProps.adjustAdditionalDelay.running
    buttonsRow: buttons

    MenuRowItem {
        objectName: "delayFluidSoundSpeedRow"
        prop: deviceProps.fluidSoundSpeed
        clickable: !hidden && !propReadOnly && frame.state !== "waiting"
    }
    MenuRowItem {
        objectName: "delayAdditionalDelayRow"
        prop: deviceProps.additionalDelay
        clickable: !hidden && !propReadOnly && frame.state !== "waiting"
    }
    MenuRowItem {
        prop: deviceProps.measuredSoundSpeed
    }
    MenuRowItem {
        prop: deviceProps.currentAdditionalDelay
    }
    CalibrationButtonsRow {
        id: buttons
        objectName: "delayButtons"
        wizard: frame
        startButton.objectName: "delayStartButton"
        setButton.objectName: "delaySetButton"
    }
    CalibrationProgressRow {
        objectName: "delayProgress"
        wizard: frame
    }
}
