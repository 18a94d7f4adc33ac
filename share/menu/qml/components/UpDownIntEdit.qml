import QtQuick
import "base"

// A spin field: a number (or one of a list of names) between two arrow buttons.
FocusScope {
    id: edit

    property int value: 0
    property int minValue: 0
    property int maxValue: 99
    property bool cyclic: true
    property var list: null
    readonly property bool listMode: list !== null && list !== undefined && list.length > 0
    readonly property bool valid: listMode ? textIsName(input.text) : input.acceptableInput
    property int needInputLength: 0
    // Zero padding of the number shown (dates and times show 2 or 4 digits).
    property int digits: 0
    property real horizontalMarginOffset: 0
    property alias input: input
    property alias inputBackground: inputBackground
    property alias upButton: upButton
    property alias downButton: downButton

    // Set while a digit key is being handled, so that its text change counts as typed.
    property bool typing: false

    signal manuallyFilled
    // Every key that reaches the field, before the field handles it.
    signal keyPressed(var event)

    function upper() {
        return listMode ? list.length - 1 : maxValue
    }
    function lower() {
        return listMode ? 0 : minValue
    }
    function increase() {
        if (value < upper())
            value = value + 1
        else if (cyclic)
            value = lower()
    }
    function decrease() {
        if (value > lower())
            value = value - 1
        else if (cyclic)
            value = upper()
    }
    function nameAt(index) {
        return index >= 0 && index < list.length ? qsTranslate("ForUpDownIntEdit", list[index]) : ""
    }
    function textIsName(text) {
        for (var i = 0; listMode && i < list.length; ++i) {
            if (nameAt(i) === text)
                return true
        }
        return false
    }
    function formatted(number) {
        if (listMode)
            return nameAt(number)
        var result = String(Math.abs(number))
        while (result.length < digits)
            result = "0" + result
        return (number < 0 ? "-" : "") + result
    }
    // A text the validator still lets the user finish: digits only, no longer than the bound.
    function hasAcceptableIntermediate(text) {
        return /^-?[0-9]*$/.test(text) && text.length <= String(Math.max(Math.abs(maxValue),
                                                                          Math.abs(minValue))).length
    }
    function showValue() {
        // Setting the same text again would drop the selection that focusing made.
        var shown = formatted(value)
        if (input.text !== shown)
            input.text = shown
        // A value put in while the field has the focus (a step) is selected, as on gaining the
        // focus, so that typing replaces it.
        if (input.activeFocus)
            input.selectAll()
    }

    width: 50
    height: 180

    onValueChanged: {
        if (!typing)
            showValue()
    }
    onListChanged: showValue()
    onDigitsChanged: showValue()
    Component.onCompleted: showValue()

    ArrowButton {
        id: upButton
        anchors.top: parent.top
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width
        height: (parent.height - inputBackground.height) / 2
        autoExpand: false
        flat: true
        mousePaddingH: -edit.horizontalMarginOffset
        onClicked: edit.increase()
    }

    Rectangle {
        id: inputBackground
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: input.contentHeight + 20
        // A text the field refused stays as typed, in the refusal colour, until it is mended.
        color: !edit.valid ? "#FFAAAA" : edit.activeFocus ? styleManager.style.focusedColor
                                                           : "#EEEEEE"
        border.width: 2
        border.color: "#55000000"
        radius: 5

        BaseTextInput {
            id: input
            anchors.fill: parent
            horizontalAlignment: TextInput.AlignHCenter
            verticalAlignment: TextInput.AlignVCenter
            font.pixelSize: 28
            focus: true
            readOnly: edit.listMode
            validator: IntValidator {
                bottom: edit.minValue
                top: edit.maxValue
            }
            onActiveFocusChanged: {
                if (activeFocus)
                    selectAll()
                else if (edit.valid)
                    edit.showValue()
            }
            onTextChanged: {
                if (edit.listMode || !acceptableInput)
                    return
                edit.typing = true
                edit.value = parseInt(text, 10)
                edit.typing = false
            }
            onKeyPressed: event => {
                              edit.keyPressed(event)
                              if (event.accepted)
                                  return
                              if (event.key === Qt.Key_Up) {
                                  edit.increase()
                                  event.accepted = true
                              } else if (event.key === Qt.Key_Down) {
                                  edit.decrease()
                                  event.accepted = true
                              } else if (!edit.listMode && event.key >= Qt.Key_0
                                         && event.key <= Qt.Key_9) {
                                  // Let the input take the digit first, then see what it made.
                                  event.accepted = true
                                  var before = text
                                  if (selectedText !== "")
                                      remove(selectionStart, selectionEnd)
                                  insert(cursorPosition, event.text)
                                  if (!acceptableInput && !hasAcceptableIntermediate(text))
                                      text = before
                                  if (text !== before && edit.needInputLength > 0
                                          && acceptableInput && selectedText === ""
                                          && text.length >= edit.needInputLength)
                                      edit.manuallyFilled()
                              }
                          }
        }
    }

    ArrowButton {
        id: downButton
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width
        height: upButton.height
        autoExpand: false
        flat: true
        angle: 180
        mousePaddingH: -edit.horizontalMarginOffset
        onClicked: edit.decrease()
    }
}
