import QtQuick
import "base"
import "../Globals.js" as Globals

BaseDimensionedProperty {
    id: realProperty

    property real initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : 0
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property real value: valueFromDevice * ratio
    property real minValue: -Number.MAX_VALUE
    property real maxValue: Number.MAX_VALUE
    property int precision: modbusItem && modbusItem.precision !== undefined ? modbusItem.precision
                                                                             : 3

    propType: "real"
    formatValue: getFormatted(value)
    useScreenKeypad: menuContext.useNumScreenKeypad === true

    function validate(val) {
        var text = String(val).replace(",", ".")
        if (!Globals.isNumber(text))
            return false
        var device = Number(text) / ratio
        return device >= minValue && device <= maxValue
    }
    function getFormatted(arg) {
        return Number(arg).toFixed(precision)
    }
    function toggle() {
    }
}
