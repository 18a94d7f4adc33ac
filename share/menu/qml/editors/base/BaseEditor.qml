import QtQuick
import "../../popups"

// A popup that edits one property in display form and hands the result back to it.
BasePopup {
    id: baseEditor

    property var prop: null
    property bool valid: true
    property bool dontWriteToModbus: false
    property bool translate: true
    property string translateContext: prop && prop.translateContext !== undefined
                                      ? prop.translateContext : "BaseEditor"
    property bool customSetFunciton: false
    property var value
    property bool closed: false

    signal setFunction(var result)

    autoClose: true

    function updateValidity() {
        valid = prop && typeof prop.validate === "function" ? prop.validate(value) === true
                                                            : true
        resetAutoCloseTimer()
    }
    function apply(dontWrite) {
        if (!valid)
            return
        if (customSetFunciton) {
            setFunction(value)
            return
        }
        if (prop)
            prop.setValue(value, dontWrite === undefined ? dontWriteToModbus : dontWrite)
    }
    function applyAndClose(dontWrite) {
        if (valid)
            apply(dontWrite)
        closeEditor()
    }
    function closeEditor() {
        if (closed)
            return
        closed = true
        close()
    }
    // What Return and Enter do; editors with more to decide replace it.
    function confirm() {
        if (valid)
            applyAndClose()
    }
    function editorKey(event) {
        resetAutoCloseTimer()
        if (event.key === Qt.Key_Escape || event.key === Qt.Key_Backspace) {
            event.accepted = true
            closeEditor()
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
            event.accepted = true
            baseEditor.confirm()
        }
    }

    onActiveFocusChanged: {
        if (!activeFocus && !destroying && topActive)
            closeEditor()
    }
    onClose: closed = true

    Keys.onPressed: event => {
                        if (!event.accepted)
                            editorKey(event)
                    }
}
