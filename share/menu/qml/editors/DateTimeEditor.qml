import QtQuick
import "base"
import "../components"

// A date-time field group with "Ok" and "Cancel" below it.
BaseEditor {
    id: dateTimeEditor

    // Centred in the layer, whatever row it was opened from.
    property Item sourceItem: null
    property alias dateTimeEdit: dateTimeEdit
    property alias okButton: okButton
    property alias cancelButton: cancelButton
    // A register holds an unsigned count of seconds since 1970: no other year can be written.
    readonly property bool registerBacked: prop !== null && prop.modbusItem !== undefined
                                           && prop.modbusItem !== null

    value: dateTimeEdit.value

    Component.onCompleted: {
        var start = prop && prop.value ? new Date(prop.value) : new Date()
        start.setMilliseconds(0)
        dateTimeEdit.setValue(start)
        dateTimeEdit.forceActiveFocus()
    }

    // The band behind the group swallows clicks.
    Rectangle {
        anchors.horizontalCenter: parent.horizontalCenter
        width: content.width + 60
        height: parent.height
        color: "#48000000"
        MouseArea {
            anchors.fill: parent
        }
    }

    Column {
        id: content
        anchors.centerIn: parent
        spacing: 10 * starter.mm

        DateTimeEdit {
            id: dateTimeEdit
            objectName: "dateTimeEditorFields"
            anchors.horizontalCenter: parent.horizontalCenter
            focus: true
            useDate: dateTimeEditor.prop && dateTimeEditor.prop.useDate !== undefined
                     ? dateTimeEditor.prop.useDate : true
            useTime: dateTimeEditor.prop && dateTimeEditor.prop.useTime !== undefined
                     ? dateTimeEditor.prop.useTime : true
            minYear: 1970
            maxYear: dateTimeEditor.registerBacked ? 2105 : 7999
            Keys.onPressed: event => {
                                if (event.key === Qt.Key_Down || event.key === Qt.Key_Left
                                        || event.key === Qt.Key_Right) {
                                    event.accepted = true
                                    okButton.forceActiveFocus()
                                }
                            }
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10 * starter.mm
            Button {
                id: okButton
                objectName: "okButton"
                caption: qsTr("Ok")
                toggleOnClick: false
                KeyNavigation.right: cancelButton
                Keys.onPressed: event => dateTimeEditor.buttonKey(event)
                onClicked: dateTimeEditor.applyAndClose()
            }
            Button {
                id: cancelButton
                objectName: "cancelButton"
                caption: qsTr("Cancel")
                toggleOnClick: false
                KeyNavigation.left: okButton
                Keys.onPressed: event => dateTimeEditor.buttonKey(event)
                onClicked: dateTimeEditor.closeEditor()
            }
        }
    }

    function buttonKey(event) {
        // Left from "Ok" and Right from "Cancel" (the other way is the other button).
        if (event.key === Qt.Key_Up || event.key === Qt.Key_Left || event.key === Qt.Key_Right) {
            event.accepted = true
            dateTimeEdit.forceActiveFocus()
        }
    }
}
