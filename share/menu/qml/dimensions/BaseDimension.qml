import QtQuick

// A unit chooser: the unit names, the factor of each from the device's base unit, and the chosen
// one, kept in `sourceItem[sourceName]` when a source is named.
QtObject {
    id: baseDimension

    property var model: []
    property var ratios: []
    property int index: 0
    property string dimension: index >= 0 && index < model.length ? model[index] : ""
    property real ratio: index >= 0 && index < ratios.length ? ratios[index] : 1
    property var sourceItem: menuContext
    property string sourceName: ""

    property int sourceIndex: sourceName !== "" && sourceItem ? sourceItem[sourceName] : 0
    onSourceIndexChanged: if (sourceName !== "") index = sourceIndex
    Component.onCompleted: if (sourceName !== "") index = sourceIndex

    function setIndex(newIndex) {
        index = newIndex
        if (sourceName !== "" && sourceItem)
            sourceItem[sourceName] = newIndex
    }
}
