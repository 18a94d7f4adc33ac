import QtQuick
import "base"
import "../components"
import "../components/base"

// Edits text, whole and real numbers as text: inline beside the value, or as a strip above the
// on-screen keypad.
BaseInlineEditor {
    id: textEditor

    property bool useScreenKeypad: prop && prop.useScreenKeypad !== undefined
                                   ? prop.useScreenKeypad : menuContext.embedded
    property string initialText: ""
    property alias input: field.input
    property alias field: field
    property alias okButton: okButton
    readonly property color fieldColor: valid ? "#DBEAFF" : "#FFAAAA"
    readonly property real keypadTop: styleManager.style.screenEditFieldHeight
                                      - (parent ? parent.mapToItem(null, 0, 0).y : 0)

    value: field.text
    closeOnFaderClick: !useScreenKeypad
    onValueChanged: updateValidity()

    // Confirming the text as it came writes nothing: the shown text is rounded, and writing it
    // back would change the instrument's value.
    function confirm() {
        if (!valid)
            return
        if (field.text === initialText)
            closeEditor()
        else
            applyAndClose()
    }
    function updateKeypad() {
        if (useScreenKeypad && topActive && !closed)
            screenManager.showScreenKeypad(prop && prop.propType ? prop.propType : "text")
        else
            screenManager.hideScreenKeypad()
    }

    onShown: updateKeypad()
    onHidden: updateKeypad()
    onClosing: screenManager.hideScreenKeypad()

    Component.onCompleted: {
        initialText = prop ? prop.formatValue : (value !== undefined ? String(value) : "")
        field.text = initialText
        field.input.forceActiveFocus()
        field.input.selectAll()
        updateValidity()
        updateKeypad()
    }

    Rectangle {
        id: strip
        visible: textEditor.useScreenKeypad
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: Math.max(textEditor.keypadTop, okButton.height + 10)
        color: styleManager.style.textEditorBackground
        MouseArea {
            anchors.fill: parent
        }
        CloseButton {
            id: stripClose
            anchors.left: parent.left
            anchors.leftMargin: 5
            anchors.verticalCenter: parent.verticalCenter
        }
        Button {
            id: okButton
            objectName: "okButton"
            caption: qsTr("Ok")
            anchors.right: parent.right
            anchors.rightMargin: 5
            anchors.verticalCenter: parent.verticalCenter
            width: stripClose.width
            height: stripClose.height
            autoExpand: false
            enabled: textEditor.valid
            onClicked: textEditor.confirm()
        }
    }

    Rectangle {
        id: field
        objectName: "textEditorField"
        property alias text: inputItem.text
        property alias input: inputItem
        height: styleManager.style.inlineTextEditorHeight
        width: textEditor.useScreenKeypad
               ? strip.width - stripClose.width - okButton.width - 30
               : styleManager.style.inlineTextEditorWidth * textEditor.widthCoeff
        x: textEditor.useScreenKeypad ? (strip.width - width) / 2
                                      : Math.max(0, textEditor.sourceRight() - width)
        y: textEditor.useScreenKeypad ? (strip.height - height) / 2
                                      : Math.max(0, Math.min(textEditor.height - height,
                                                             textEditor.sourceMiddle() - height / 2))
        color: textEditor.fieldColor
        border.width: 3
        border.color: "#55000000"
        radius: 5

        BaseTextInput {
            id: inputItem
            // The input font is nearly as high as the field: only the sides keep the 3 px.
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: 3 + field.border.width
            anchors.verticalCenter: parent.verticalCenter
            verticalAlignment: TextInput.AlignVCenter
            horizontalAlignment: TextInput.AlignRight
            clip: true
            focus: true
            color: styleManager.style.inputFontColor
            font.family: styleManager.style.inputFontFamily
            font.pixelSize: styleManager.style.inputFontSize
            selectionColor: styleManager.style.focusedColor
            onKeyPressed: event => textEditor.fieldKey(event)
        }
    }

    function fieldKey(event) {
        resetAutoCloseTimer()
        if (event.key === Qt.Key_Escape) {
            event.accepted = true
            closeEditor()
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
            event.accepted = true
            confirm()
        } else if (event.key === Qt.Key_Backspace && field.text.length === 0) {
            event.accepted = true
            closeEditor()
        } else if (event.key === Qt.Key_Home && menuContext.embedded) {
            event.accepted = true
            closeEditor()
        }
    }
}
