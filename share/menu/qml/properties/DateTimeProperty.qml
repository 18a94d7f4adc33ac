import QtQuick
import "base"

BaseValuedProperty {
    id: dateTimeProperty

    property bool useDate: true
    property bool useTime: true
    property string format: ((useDate ? "dd.MM.yyyy" : "") + (useTime ? "  hh:mm:ss" : "")).trim()
    property var initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : new Date()
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property var value: valueFromDevice
    // A register holds the instrument's wall clock; a reading inside a daylight-saving gap turns
    // into another hour once it becomes a script date, so such an item formats its own reading.
    property bool itemFormats: false

    function adoptFormat() {
        itemFormats = modbusItem !== null && modbusItem !== undefined
                && modbusValueItem === "value" && typeof modbusItem.format === "string"
        if (itemFormats && modbusItem.format !== format)
            modbusItem.format = format
    }

    propType: "datetime"
    formatValue: itemFormats && modbusItem.format === format ? modbusItem.formatValue
                                                             : Qt.formatDateTime(value, format)

    onModbusItemChanged: adoptFormat()
    onFormatChanged: adoptFormat()
    Component.onCompleted: adoptFormat()

    function validate(val) {
        return true
    }
}
