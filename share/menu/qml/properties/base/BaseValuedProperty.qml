import QtQuick

// A property whose value lives in a register item, in a property of another object, or in itself.
BaseProperty {
    id: valuedProperty

    property var modbusItem: null
    property var modbusItemOut: null
    property string modbusValueItem: "value"
    property var sourceItem: menuContext
    property string sourceName: ""
    property string formatValue: ""
    property bool readOnly: modbusItemOut ? modbusItemOut.readOnly
                                          : (modbusItem ? modbusItem.readOnly : false)
    property bool useScreenKeypad: false
    property string translateContext: "DeviceProps"

    function setValue(newValue, dontWriteToModbus) {
        setInternal(newValue, dontWriteToModbus)
    }

    function setInternal(newValue, dontWriteToModbus) {
        var target = modbusItemOut ? modbusItemOut : modbusItem
        if (target) {
            target[modbusValueItem] = newValue
            if (dontWriteToModbus)
                return
            // Read back whether the write was queued or refused: the row then shows what the
            // instrument holds, never a value it did not take.
            var written = target.write()
            if (modbusItem)
                modbusItem.read()
            else if (!written)
                target.read()
            return
        }
        if (sourceName !== "") {
            sourceItem[sourceName] = newValue
            return
        }
        valuedProperty.value = newValue
    }
}
