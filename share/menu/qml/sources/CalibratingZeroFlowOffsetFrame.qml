import QtQuick
import "../widgets"

// The zero flow offset calibration: the instrument averages dt over the wait, and "Set" makes
// the average the site's zero offset dt0.
CalibrationWaitFrame {
    id: frame

    command: deviceProps.setZeroFlowOffsetdt0
    started: deviceProps.setZeroFlowOffsetdt0.started
    buttonsRow: buttons

    MenuRowItem {
        prop: deviceProps.dtMeasured
    }
    MenuRowItem {
        objectName: "zeroOffsetDt0Row"
        prop: deviceProps.zeroFlowOffsetdt0
        clickable: !hidden && !propReadOnly && frame.state !== "waiting"
    }
    MenuRowItem {
        prop: deviceProps.currentAverageDt0
    }
    CalibrationButtonsRow {
        id: buttons
        objectName: "zeroOffsetButtons"
        wizard: frame
        startButton.objectName: "zeroOffsetStartButton"
        setButton.objectName: "zeroOffsetSetButton"
    }
    CalibrationProgressRow {
        objectName: "zeroOffsetProgress"
        wizard: frame
    }
}
