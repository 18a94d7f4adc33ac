import QtQuick
import "base"
import "../Globals.js" as Globals

BaseDimensionedProperty {
    id: intProperty

    property real initValue: sourceName !== "" && sourceItem ? Number(sourceItem[sourceName]) : 0
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    // A whole number, but a real: a QML int would wrap an unsigned 32-bit register (a serial
    // number of 3000000000 would show as negative).
    property real value: wholeNumber(Number(valueFromDevice) * ratio)
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
    // Towards zero, as an int property would cut it; nothing known counts as 0.
    function wholeNumber(number) {
        return isFinite(number) ? Math.trunc(number) : 0
    }
    function getFormatted(arg) {
        return arg
    }
}
