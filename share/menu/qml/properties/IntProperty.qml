import QtQuick
import "base"
import "../Globals.js" as Globals

BaseDimensionedProperty {
    id: intProperty

    property int initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : 0
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property int value: valueFromDevice * ratio
    property real minValue: -2147483648
    property real maxValue: 2147483647

    propType: "int"
    formatValue: String(value)
    useScreenKeypad: menuContext.useNumScreenKeypad === true

    function validate(val) {
        if (!Globals.isInt(val))
            return false
        var device = Number(val) / ratio
        return device >= minValue && device <= maxValue
    }
    function getFormatted(arg) {
        return arg
    }
}
