import QtQuick

// A number shown in a chosen unit: the display is the device value times `ratio`, and what the
// user enters is divided by it before it is written.
BaseValuedProperty {
    id: dimensionedProperty

    property var dimensionItem: null
    property string dimension: dimensionItem ? dimensionItem.dimension : ""
    property real ratio: dimensionItem ? dimensionItem.ratio : 1

    function getDimensioned(val) {
        return val * ratio
    }
    function getDimensionedFormatted(val) {
        return dimensionedProperty.getFormatted(val * ratio)
    }
    function toDeviceValue(newValue) {
        return Number(String(newValue).replace(",", ".")) / ratio
    }
    function setValue(newValue, dontWriteToModbus) {
        setInternal(toDeviceValue(newValue), dontWriteToModbus)
    }
}
