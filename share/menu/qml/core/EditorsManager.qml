import QtQuick
import "../Globals.js" as Globals

// Opens the editor that suits a property and keeps at most one editor open.
Item {
    id: editorsManager

    property var activeEditor: null

    signal editorClosing(var sender)

    onEditorClosing: sender => {
        if (sender === activeEditor)
            activeEditor = null
    }

    function editProperty(prop, sourceItem, properties) {
        var props = Globals.copyProperties(properties)
        props.prop = prop
        props.sourceItem = sourceItem
        if (prop.propType === "command") {
            prop.execute()
            return null
        }
        return createTypedEditor(prop.propType, props)
    }

    function callEditor(sourceItem, propType, setFunction, properties) {
        var props = Globals.copyProperties(properties)
        props.sourceItem = sourceItem
        var editor = createTypedEditor(propType, props)
        if (editor && setFunction)
            editor.setFunction.connect(setFunction)
        return editor
    }

    function createTypedEditor(editorType, properties) {
        switch (editorType) {
        case "text":
        case "real":
        case "int":
            return createEditor("editors/TextEditor.qml", properties)
        case "list":
            return createEditor("editors/ListEditor.qml", properties)
        case "bool":
            return createEditor("editors/BoolEditor.qml", properties)
        case "datetime":
            return createEditor("editors/DateTimeEditor.qml", properties)
        }
        console.log("error: unknown property type")
        return null
    }

    function createEditor(source, properties) {
        closeEditor()
        // A child popup, so that the popups below it stay open.
        var editor = screenManager.showPopup(source, properties, true)
        if (!editor)
            return null
        editor.closing.connect(editorClosing)
        activeEditor = editor
        return editor
    }

    function closeEditor() {
        if (activeEditor)
            activeEditor.close()
    }

    Connections {
        target: navigationManager
        function onCurrentFrameChanged() {
            editorsManager.closeEditor()
        }
        function onCurrentPageIndexChanged() {
            editorsManager.closeEditor()
        }
    }
}
