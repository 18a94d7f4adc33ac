import QtQuick
import "../properties"

// The instrument's parameters as the user sees them: one property object per setting or reading,
// published under its id, so that screens reach deviceProps.<name> and never format a register.
Item {
    id: deviceProps

    visible: false

    // ---- commands ----
    property alias measureStatus: measureStatus
    property alias setZeroFlowOffsetdt0: setZeroFlowOffsetdt0
    property alias adjustAdditionalDelay: adjustAdditionalDelay
    property alias setAdditionalDelay: setAdditionalDelay
    property alias initialize: initialize
    property alias eraseMemoryCard: eraseMemoryCard
    property alias eraseArchive: eraseArchive
    property alias discreteOutputCalculateKp: discreteOutputCalculateKp
    property alias discreteOutputCalculateKi: discreteOutputCalculateKi
    property alias shutdown: shutdown
    property alias calibrateTouchScreen: calibrateTouchScreen
    property alias scheduleCommand: scheduleCommand
    property alias resetScheduleCommand: resetScheduleCommand
    property alias resetMeasurementHistory: resetMeasurementHistory
    property alias siteCopier: siteCopier
    property alias siteClear: siteClear

    ToggleCommandProperty {
        id: measureStatus
        caption: qsTr("Measuring")
        modbusItem: deviceModbus.measureStatusRo
        modbusItemOut: deviceModbus.measureStatus
    }
    IntProperty {
        id: setZeroFlowOffsetdt0
        caption: qsTr("Set zero offset dt0")
        modbusItem: deviceModbus.setZeroFlowOffsetdt0
    }
    ToggleCommandProperty {
        id: adjustAdditionalDelay
        caption: qsTr("Adjust additional delay")
        modbusItem: deviceModbus.adjustAdditionalDelay
    }
    CommandProperty {
        id: setAdditionalDelay
        caption: qsTr("Set additional delay")
        modbusItem: deviceModbus.adjustAdditionalDelay
        commandValue: 2
    }
    CommandProperty {
        id: initialize
        caption: qsTr("Factory reset")
        modbusItem: deviceModbus.initialize
    }
    CommandProperty {
        id: eraseMemoryCard
        caption: qsTr("Erase memory card")
        modbusItem: deviceModbus.eraseMemoryCard
    }
    CommandProperty {
        id: eraseArchive
        caption: qsTr("Erase archive")
        modbusItem: deviceModbus.eraseArchive
    }
    CommandProperty {
        id: discreteOutputCalculateKp
        caption: qsTr("Calculate KP")
        modbusItem: deviceModbus.discreteOutputCalculateKp
    }
    CommandProperty {
        id: discreteOutputCalculateKi
        caption: qsTr("Calculate Ki")
        modbusItem: deviceModbus.discreteOutputCalculateKi
    }
    CommandProperty {
        id: shutdown
        caption: qsTr("Shut down the device")
    }
    CommandProperty {
        id: calibrateTouchScreen
        caption: qsTr("Calibrate the touch screen")
    }
    IntProperty {
        id: scheduleCommand
        caption: qsTr("Schedule start/stop")
        modbusItem: deviceModbus.scheduleCommand
    }
    CommandProperty {
        id: resetScheduleCommand
        modbusItem: deviceModbus.resetScheduleCommand
    }
    CommandProperty {
        id: resetMeasurementHistory
        modbusItem: deviceModbus.resetMeasurementHistory
    }
    CommandProperty {
        id: siteCopier
        modbusItem: deviceModbus.siteCopier
    }
    CommandProperty {
        id: siteClear
        modbusItem: deviceModbus.siteClear
    }
    // ---- end of commands ----
}
