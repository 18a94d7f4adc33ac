import QtQuick
import "base"

// A framed single-line input; every key in it is reported by keyPressed.
FocusScope {
    id: textInputDefault

    property alias text: input.text
    property alias input: input
    property alias validator: input.validator
    property alias acceptableInput: input.acceptableInput

    signal keyPressed(var event)

    height: styleManager.style.baseTextInputHeight
    width: 300

    Rectangle {
        id: frame
        anchors.fill: parent
        color: styleManager.style.baseTextInputBackColor
        radius: styleManager.style.baseTextInputRadius
        border.width: styleManager.style.baseTextInputBorderWidth
        border.color: styleManager.style.baseTextInputBorderColor
    }

    BaseTextInput {
        id: input
        anchors.fill: parent
        anchors.leftMargin: frame.radius + frame.border.width
        anchors.rightMargin: frame.radius + frame.border.width
        verticalAlignment: TextInput.AlignVCenter
        clip: true
        focus: true
        color: styleManager.style.baseTextInputFontColor
        font.family: styleManager.style.baseTextInputFontFamily
        font.pixelSize: styleManager.style.baseTextInputFontSize
        selectionColor: styleManager.style.focusedColor
        onKeyPressed: event => textInputDefault.keyPressed(event)
    }
}
