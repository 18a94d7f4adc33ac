import QtQuick
import "base"

BaseValuedProperty {
    id: boolProperty

    property bool initValue: sourceName !== "" && sourceItem ? !!sourceItem[sourceName] : false
    property var valueFromDevice: modbusItem ? modbusItem[modbusValueItem] : initValue
    property bool value: !!valueFromDevice

    propType: "bool"
    formatValue: value ? qsTr("yes") : qsTr("no")

    function validate(val) {
        return true
    }
    function toggle() {
        boolProperty.setValue(!value)
    }
}
