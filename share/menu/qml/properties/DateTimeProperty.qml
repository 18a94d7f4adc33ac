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
    readonly property bool itemFormats: modbusItem !== null && modbusValueItem === "value"
                                        && "format" in modbusItem

    propType: "datetime"
    formatValue: itemFormats && modbusItem.format === format ? modbusItem.formatValue
                                                             : Qt.formatDateTime(value, format)

    onItemFormatsChanged: if (itemFormats) modbusItem.format = format
    onFormatChanged: if (itemFormats) modbusItem.format = format
    Component.onCompleted: if (itemFormats) modbusItem.format = format

    function validate(val) {
        return true
    }
}
