import QtQuick
import "../properties"

// One entry of the interval schedule as the user edits it: whether it runs, its start and end,
// and the logging interval meanwhile, over the entry's register group.
QtObject {
    id: group

    property var modbusItem: null
    property string caption: ""
    property string formatValue: ""
    property var loggingIntervalTexts: deviceProps ? deviceProps.loggingIntervalTexts : []

    property ListProperty state: ListProperty {
        caption: qsTranslate("Schedule", "Enabled")
        translateContext: "Schedule"
        model: [QT_TRANSLATE_NOOP("Schedule", "no"), QT_TRANSLATE_NOOP("Schedule", "yes")]
        modbusItem: group.modbusItem ? group.modbusItem.state : null
    }
    property DateTimeProperty startTime: DateTimeProperty {
        caption: qsTranslate("Schedule", "Start time")
        modbusItem: group.modbusItem ? group.modbusItem.startTime : null
    }
    property DateTimeProperty endTime: DateTimeProperty {
        caption: qsTranslate("Schedule", "End time")
        modbusItem: group.modbusItem ? group.modbusItem.endTime : null
    }
    property ListProperty loggingInterval: ListProperty {
        caption: qsTr("Logging interval")
        // The nine texts of the archive's logging interval, kept once in the device properties.
        model: group.loggingIntervalTexts
        modbusItem: group.modbusItem ? group.modbusItem.loggingInterval : null
    }
}
