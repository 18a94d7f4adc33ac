import QtQuick
import "base"

// A register of flag bits: bit i is named by flags[i]; shows the names of the set ones.
BaseValuedProperty {
    id: flagsProperty

    property var flags: []
    property int baseLength: flags.length
    property int initValue: sourceName !== "" && sourceItem ? sourceItem[sourceName] : 0
    property int valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property string value: modbusItem ? modbusItem.binaryValue : valueFromDevice.toString(2)
    property string emptyFormatValue: qsTr("no")
    property var model: {
        var names = []
        for (var i = 0; i < flags.length && i < 32; ++i) {
            if ((valueFromDevice >>> i) & 1)
                names.push(qsTranslate(translateContext, flags[i]))
        }
        return names
    }
    readonly property bool hasFlags: model.length > 0
    property string binaryFormatValue: hasFlags ? "b" + value : emptyFormatValue

    propType: "flags"
    formatValue: hasFlags ? model.join("\n") : emptyFormatValue
}
