import QtQuick
import "base"

// A one-shot command: writes `commandValue` to its register (after a confirmation when asked).
BaseValuedProperty {
    id: commandProperty

    // Reals, as command registers may be unsigned 32-bit (archive erase codes 0xAA550000 + i).
    property real value: modbusItem && isFinite(Number(modbusItem.value)) ? Number(modbusItem.value) : 0
    property real commandValue: 1
    property bool confirm: false
    property string confirmCaption: qsTr("Are you sure?")
    property bool defaultAnswer: false

    signal beforeExecute
    signal executed

    propType: "command"

    function execute() {
        if (!confirm) {
            run()
            return
        }
        screenManager.showConfirmDialog(confirmCaption, function (result) {
            if (result === true)
                commandProperty.run()
        }, {defaultAnswer: defaultAnswer})
    }
    function run() {
        beforeExecute()
        commandProperty.command()
        executed()
    }
    function command() {
        var target = modbusItemOut ? modbusItemOut : modbusItem
        if (!target)
            return
        target.value = commandValue
        target.write()
    }
    function toggle() {
        execute()
    }
    function edit(sourceItem, properties) {
        execute()
        return null
    }
}
