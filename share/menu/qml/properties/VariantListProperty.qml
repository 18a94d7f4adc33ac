import QtQuick
import "base"

// A choice whose value is the entry itself (a port name, say), not its index.
BaseDimensionedProperty {
    id: variantListProperty

    property var model: []
    property var initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : ""
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property var value: valueFromDevice

    propType: "list"
    formatValue: value === undefined || value === null ? "" : String(value)

    function validate(val) {
        return model.indexOf(val) >= 0
    }
    function setValue(newValue, dontWriteToModbus) {
        setInternal(newValue, dontWriteToModbus)
    }
}
