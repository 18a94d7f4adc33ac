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
    // The fields decide: a refused text in any of them writes nothing.
    valid: dateTimeEdit.valid

    Component.onCompleted: {
        var start = prop && prop.value ? new Date(prop.value) : new Date()
        start.setMilliseconds(0)
        // Focus first: taking the focus again drops a field's selection.
        dateTimeEdit.forceActiveFocus()
        dateTimeEdit.setValue(start)
    }

    function updateValidity() {
        resetAutoCloseTimer()
    }
    // "Ok" and Return: a refused field takes the focus back instead, so it can be mended.
    function confirm() {
        var refused = dateTimeEdit.firstInvalidField()
        if (refused) {
            refused.forceActiveFocus()
            return
        }
        applyAndClose()
    }

    // The band behind the group swallows clicks. It only dims the rows: a panel right behind
    // the fields and buttons keeps the rows' texts from reading through their gaps.
    Rectangle {
        objectName: "dateTimeEditorBand"
        anchors.horizontalCenter: parent.horizontalCenter
        width: content.width + 60
        height: parent.height
        color: "#48000000"
        MouseArea {
            anchors.fill: parent
        }
    }
    Rectangle {
        objectName: "dateTimeEditorPanel"
        anchors.centerIn: content
        width: content.width + 40
        height: content.height + 30
        radius: styleManager.style.menuItemRadius
        color: "#2B3440"
        border.width: 1
        border.color: "#66FFFFFF"
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
            // Left before the first field and Right after the last reach the buttons; Up and
            // Down stay the fields' own steps.
            onEdgeReached: event => {
                               event.accepted = true
                               okButton.forceActiveFocus()
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
                Keys.onPressed: event => dateTimeEditor.buttonKey(event)
                onClicked: dateTimeEditor.confirm()
            }
            Button {
                id: cancelButton
                objectName: "cancelButton"
                caption: qsTr("Cancel")
                toggleOnClick: false
                Keys.onPressed: event => dateTimeEditor.buttonKey(event)
                onClicked: dateTimeEditor.closeEditor()
            }
        }
    }

    // Up, Left and Right from either button return to the fields, to the one last edited. No
    // key moves between the buttons: Escape is what cancels.
    function buttonKey(event) {
        if (event.key === Qt.Key_Up || event.key === Qt.Key_Left || event.key === Qt.Key_Right) {
            event.accepted = true
            dateTimeEdit.forceActiveFocus()
        }
    }
}
