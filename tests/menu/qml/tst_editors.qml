import QtQuick
import QtTest
import "popuplayer"

// The property editors over the real popup layer, editing properties over stand-in items.
TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        id: editorsCase
        name: "Editors"

        property var item: null
        property var anchorItem: null

        function init() {
            initLayer()
            item = Qt.createComponent("frames/StandInItem.qml").createObject(editorsCase,
                                                                             {value: 3})
            anchorItem = createTemporaryQmlObject(
                        "import QtQuick; Item { x: 500; y: 200; width: 200; height: 40 }",
                        mainWindow)
        }
        function cleanup() {
            cleanupLayer()
            menuContext.reset()
            item.destroy()
        }
        function make(file, properties) {
            var props = properties || {}
            if (props.modbusItem === undefined)
                props.modbusItem = item
            var prop = harness.create("properties/" + file, props)
            // create() registers the harness's recording layer again; the editors need the real one.
            harness.screenManager.popupScroller = popupLayer
            return prop
        }
        function edit(prop, properties) {
            var editor = harness.editorsManager.editProperty(prop, anchorItem, properties)
            verify(editor)
            compare(harness.editorsManager.activeEditor, editor)
            return editor
        }
        function typeText(text) {
            for (var i = 0; i < text.length; ++i)
                keyClick(text.charAt(i))
        }
        function editorOpen(editor) {
            return harness.editorsManager.activeEditor === editor && !editor.closed
        }

        function test_textEditorValidity_data() {
            return [
                {tag: "inline", keypad: false},
                {tag: "strip over the keypad", keypad: true},
            ]
        }
        function test_textEditorValidity(data) {
            menuContext.useNumScreenKeypad = data.keypad
            var editor = edit(make("IntProperty.qml", {minValue: 1, maxValue: 247}))
            compare(editor.useScreenKeypad, data.keypad)
            compare(editor.input.text, "3")
            compare(editor.input.selectedText, "3")
            compare(editor.field.color, "#dbeaff")
            typeText("248")
            compare(editor.input.text, "248")
            verify(!editor.valid)
            compare(editor.field.color, "#ffaaaa")
            keyClick(Qt.Key_Return)
            verify(editorOpen(editor))
            if (data.keypad) {
                verify(editor.okButton.visible)
                verify(!editor.okButton.enabled)
                mouseClick(editor.okButton)
                verify(editorOpen(editor))
            }
            compare(item.writes, 0)
            keyClick(Qt.Key_Backspace)
            compare(editor.input.text, "24")
            verify(editor.valid)
            compare(editor.field.color, "#dbeaff")
            if (data.keypad)
                mouseClick(editor.okButton)
            else
                keyClick(Qt.Key_Return)
            compare(item.written, [24])
            compare(item.reads, 1)
            verify(!editorOpen(editor))
        }

        // The shown text is rounded: confirming it untouched must not write the rounded value.
        function test_untouchedTextWritesNothing_data() {
            return [
                {tag: "Return", keypad: false},
                {tag: "Ok of the strip", keypad: true},
            ]
        }
        function test_untouchedTextWritesNothing(data) {
            menuContext.useNumScreenKeypad = data.keypad
            item.value = 0.5 / 3600
            var editor = edit(make("RealProperty.qml"))
            compare(editor.input.text, "0.000")
            if (data.keypad)
                mouseClick(editor.okButton)
            else
                keyClick(Qt.Key_Return)
            verify(!editorOpen(editor))
            compare(item.writes, 0)
            compare(item.value, 0.5 / 3600)
        }

        function test_closeWithoutApplying_data() {
            return [
                {tag: "text, Escape", file: "TextProperty.qml", key: Qt.Key_Escape},
                {tag: "list, Escape", file: "ListProperty.qml", key: Qt.Key_Escape},
                {tag: "list, Backspace", file: "ListProperty.qml", key: Qt.Key_Backspace},
                {tag: "bool, Escape", file: "BoolProperty.qml", key: Qt.Key_Escape},
                {tag: "bool, Backspace", file: "BoolProperty.qml", key: Qt.Key_Backspace},
                {tag: "date-time, Escape", file: "DateTimeProperty.qml", key: Qt.Key_Escape},
            ]
        }
        function test_closeWithoutApplying(data) {
            item.value = data.file === "DateTimeProperty.qml" ? new Date(2024, 5, 1) : 1
            var editor = edit(make(data.file, data.file === "ListProperty.qml"
                                   ? {model: ["a", "b", "c"]} : {}))
            keyClick(Qt.Key_Down)
            keyClick(data.key)
            verify(!editorOpen(editor))
            compare(item.writes, 0)
        }

        function test_listEditorDigitAppliesAndCloses() {
            var prop = make("ListProperty.qml", {model: ["low", "mid", "high"],
                                                 modelValues: [2, 5, 9]})
            item.value = 5
            var editor = edit(prop)
            compare(editor.listBox.currentIndex, 1)
            keyClick(Qt.Key_3)
            compare(item.written, [9])
            verify(!editorOpen(editor))
        }

        function test_listEditorArrowsOnlyWhenLong_data() {
            return [{tag: "three entries", count: 3, arrows: false},
                    {tag: "forty entries", count: 40, arrows: true}]
        }
        function test_listEditorArrowsOnlyWhenLong(data) {
            var model = []
            for (var i = 0; i < data.count; ++i)
                model.push("entry " + i)
            item.value = 0
            var editor = edit(make("ListProperty.qml", {model: model}))
            compare(editor.listBox.arrowsShown, data.arrows)
            verify(editor.listBox.height <= editor.height)
            verify(editor.listBox.y >= 0)
        }

        function test_boolEditorClickApplies_data() {
            return [{tag: "yes", answer: true}, {tag: "no", answer: false}]
        }
        function test_boolEditorClickApplies(data) {
            item.value = !data.answer
            var editor = edit(make("BoolProperty.qml"))
            verify((data.answer ? editor.noButton : editor.yesButton).activeFocus)
            mouseClick(data.answer ? editor.yesButton : editor.noButton)
            compare(item.written, [data.answer])
            verify(!editorOpen(editor))
        }

        function test_dateTimeEditorYearBounds_data() {
            return [{tag: "register", register: true, maxYear: 2105},
                    {tag: "menu only", register: false, maxYear: 7999}]
        }
        function test_dateTimeEditorYearBounds(data) {
            item.value = new Date(2024, 5, 1, 10, 20, 30)
            var source = createTemporaryQmlObject(
                        "import QtQuick; QtObject { property date when: new Date(2024, 5, 1) }",
                        editorsCase)
            var prop = data.register ? make("DateTimeProperty.qml")
                                     : make("DateTimeProperty.qml", {modbusItem: null,
                                                                    sourceItem: source,
                                                                    sourceName: "when"})
            var editor = edit(prop)
            compare(editor.dateTimeEdit.minYear, 1970)
            compare(editor.dateTimeEdit.maxYear, data.maxYear)
            mouseClick(editor.okButton)
            verify(!editorOpen(editor))
            if (data.register)
                compare(item.writes, 1)
        }

        // A typed date or time the field refuses stays shown as typed: neither Return nor "Ok"
        // writes until the field is mended (here by Up, one step from the value it kept).
        function test_dateTimeEditorRefusedField_data() {
            return [
                {tag: "day 35", field: "dayEdit", keys: [Qt.Key_3, Qt.Key_5], text: "35",
                 mended: new Date(2024, 5, 4, 10, 20, 30)},
                {tag: "hour 25", field: "hourEdit", keys: [Qt.Key_2, Qt.Key_5], text: "25",
                 mended: new Date(2024, 5, 1, 3, 20, 30)},
                {tag: "minute 61", field: "minuteEdit", keys: [Qt.Key_6, Qt.Key_1], text: "61",
                 mended: new Date(2024, 5, 1, 10, 7, 30)},
            ]
        }
        function test_dateTimeEditorRefusedField(data) {
            item.value = new Date(2024, 5, 1, 10, 20, 30)
            var editor = edit(make("DateTimeProperty.qml"))
            var field = editor.dateTimeEdit[data.field]
            field.forceActiveFocus()
            for (var i = 0; i < data.keys.length; ++i)
                keyClick(data.keys[i])
            compare(field.input.text, data.text)
            verify(!field.valid)
            verify(!editor.valid)
            compare(field.inputBackground.color, "#ffaaaa")

            keyClick(Qt.Key_Return)
            verify(editorOpen(editor))
            mouseClick(editor.okButton)
            verify(editorOpen(editor))
            // Refused: the field has the focus again and still shows what was typed.
            verify(field.activeFocus)
            compare(field.input.text, data.text)
            compare(item.writes, 0)

            keyClick(Qt.Key_Up)
            verify(field.valid)
            verify(editor.valid)
            mouseClick(editor.okButton)
            verify(!editorOpen(editor))
            compare(item.writes, 1)
            compare(item.written[0].getTime(), data.mended.getTime())
        }

        // The keys between the fields and the buttons, and the focus frame at every step: a
        // field shows the focus by its colour, a button by its frame.
        function test_dateTimeEditorKeys_data() {
            return [
                {tag: "Left before the day reaches Ok, Right returns", from: "dayEdit",
                 away: Qt.Key_Left, back: Qt.Key_Right},
                {tag: "Right after the seconds reaches Ok, Left returns", from: "secondEdit",
                 away: Qt.Key_Right, back: Qt.Key_Left},
                {tag: "Left before the day reaches Ok, Up returns", from: "dayEdit",
                 away: Qt.Key_Left, back: Qt.Key_Up},
            ]
        }
        function test_dateTimeEditorKeys(data) {
            harness.navigationManager.keyboardNavigation = true
            item.value = new Date(2024, 5, 1, 10, 20, 30)
            var editor = edit(make("DateTimeProperty.qml"))
            var fields = editor.dateTimeEdit.fields
            var start = editor.dateTimeEdit[data.from]
            function showsFocusOn(expected) {
                var shown = []
                for (var i = 0; i < fields.length; ++i) {
                    if (Qt.colorEqual(fields[i].inputBackground.color,
                                      harness.styleManager.style.focusedColor))
                        shown.push(fields[i].objectName)
                }
                if (editor.okButton.focused)
                    shown.push("okButton")
                if (editor.cancelButton.focused)
                    shown.push("cancelButton")
                compare(shown, [expected.objectName])
                verify(expected.activeFocus)
            }
            start.forceActiveFocus()
            showsFocusOn(start)
            keyClick(data.away)
            showsFocusOn(editor.okButton)
            keyClick(data.back)
            showsFocusOn(start)
            // Down is the field's step, not a way out.
            keyClick(Qt.Key_Down)
            showsFocusOn(start)
            keyClick(data.away)
            showsFocusOn(editor.okButton)
            // Escape cancels from the buttons as from the fields.
            keyClick(Qt.Key_Escape)
            verify(!editorOpen(editor))
            compare(item.writes, 0)
        }

        function test_oneEditorAtATime_data() {
            return [{tag: "a second editor"}, {tag: "a frame change", frame: true}]
        }
        function test_oneEditorAtATime(data) {
            // create() forgets the open editor: both properties come first.
            var intProp = make("IntProperty.qml")
            var first = edit(make("TextProperty.qml"))
            if (data.frame) {
                harness.navigationManager.gotoFrame(harness.subFrame, true)
                verify(!editorOpen(first))
                compare(harness.editorsManager.activeEditor, null)
            } else {
                var second = edit(intProp)
                verify(first.closed)
                compare(harness.editorsManager.activeEditor, second)
            }
            compare(item.writes, 0)
        }

        function test_autoClose() {
            var editor = edit(make("TextProperty.qml"), {autoCloseInterval: 100})
            verify(editorOpen(editor))
            tryVerify(function () { return !editorOpen(editor) }, 2000)
            compare(item.writes, 0)
        }
    }
}
