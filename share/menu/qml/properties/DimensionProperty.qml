import QtQuick

// The unit of other properties, chosen like a list entry.
ListProperty {
    id: dimensionProperty

    model: dimensionItem ? dimensionItem.model : []
    dimension: ""
    translateContext: "DeviceDimensions"
    value: dimensionItem ? dimensionItem.index : 0

    function setValue(newValue, dontWriteToModbus) {
        var index = Number(newValue)
        if (!(index >= 0 && index < model.length)) {
            console.log("Error: ListProperty.setValue() of unsupported model value")
            return
        }
        if (dimensionItem)
            dimensionItem.setIndex(index)
    }
}
