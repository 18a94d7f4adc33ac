import QtQuick
import "base"

// A choice among named entries; with `modelValues` entry i stands for the device value
// modelValues[i], else for the value i.
BaseDimensionedProperty {
    id: listProperty

    property var model: []
    property var modelValues: []
    property var initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : 0
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property int value: modelValues.length > 0 ? indexOfValue(valueFromDevice) : valueFromDevice

    propType: "list"
    formatValue: value >= 0 && value < model.length ? qsTranslate(translateContext, model[value])
                                                    : " "

    function indexOfValue(deviceValue) {
        for (var i = 0; i < modelValues.length; ++i) {
            if (modelValues[i] == deviceValue)
                return i
        }
        return -1
    }
    // The editors hand over an entry's index, so that is what is checked.
    function validate(val) {
        var count = modelValues.length > 0 ? modelValues.length : model.length
        var index = Number(val)
        return index >= 0 && index < count && Math.floor(index) === index
    }
    function toggle() {
        if (model.length < 2)
            return
        listProperty.setValue(value + 1 >= model.length || value < 0 ? 0 : value + 1)
    }
    function setValue(newValue, dontWriteToModbus) {
        if (modelValues.length > 0) {
            var index = Number(newValue)
            if (!(index >= 0 && index < modelValues.length)) {
                console.log("Error: ListProperty.setValue() of unsupported model value")
                return
            }
            setInternal(modelValues[Math.floor(index)], dontWriteToModbus)
            return
        }
        setInternal(newValue, dontWriteToModbus)
    }
}
