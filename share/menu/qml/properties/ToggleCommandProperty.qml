import QtQuick

// A command that switches between two register values; its caption names the present one.
CommandProperty {
    id: toggleCommandProperty

    property real yesValue: 1
    property real noValue: 0
    property string yesCaption: qsTr("Yes")
    property string noCaption: qsTr("No")
    readonly property bool yes: value === yesValue

    caption: yes ? yesCaption : noCaption

    function writeCommand(newValue) {
        var target = modbusItemOut ? modbusItemOut : modbusItem
        if (!target)
            return
        target.value = newValue
        target.write()
    }
    function command() {
        writeCommand(yes ? noValue : yesValue)
    }
    function setYes() {
        writeCommand(yesValue)
    }
    function setNo() {
        writeCommand(noValue)
    }
}
