import QtQuick
import "base"

BaseValuedProperty {
    id: textProperty

    property string initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : ""
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property string value: valueFromDevice === undefined || valueFromDevice === null
                           ? "" : String(valueFromDevice)
    property int maxLength: -1
    property int minLength: -1
    property bool allowSpaces: true

    propType: "text"
    formatValue: value
    useScreenKeypad: menuContext.useTextScreenKeypad === true

    function customValidate(val) {
        return true
    }
    function validate(val) {
        var text = String(val)
        if (maxLength >= 0 && text.length > maxLength)
            return false
        if (minLength >= 0 && text.length < minLength)
            return false
        if (!allowSpaces && text.trim().length === 0)
            return false
        return textProperty.customValidate(text) === true
    }
}
