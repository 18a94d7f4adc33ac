import QtQuick
import QtTest
import "popuplayer"

// A popup swept away (Home, a page or frame change, an expand) emits no closing, so nothing that
// waits for its closing learns that it went; the popupLayer must make everyone forget it anyway.
TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        id: sweepCase
        name: "EditorSweep"

        readonly property string source: testPopups + "TestPopup.qml"
        property int editorClosings: 0

        Connections {
            target: harness.editorsManager
            function onEditorClosing(sender) { sweepCase.editorClosings++ }
        }

        function init() {
            initLayer()
            editorClosings = 0
        }

        function test_sweptEditor_data() {
            var nm = harness.navigationManager
            return [
                {tag: "goHome", withChild: false, sweep: function (m) { nm.goHome() }},
                {tag: "gotoPage", withChild: true, sweep: function (m) { nm.gotoPage(nm.piRight) }},
                {tag: "gotoPage to the shown page", withChild: true,
                 sweep: function (m) { nm.gotoPage(nm.piMain) }},
                {tag: "expandPopup", withChild: true,
                 sweep: function (m) { harness.screenManager.expandPopup(m) }},
            ]
        }

        function test_sweptEditor(data) {
            var sm = harness.screenManager
            var em = harness.editorsManager
            var minimized = sm.showPopup(source, {caption: "minimized", allowMinimize: true})
            var page = sm.showPopup(source, {caption: "page popup", allowMinimize: true})
            compare(minimized.minimized, true)
            var editor = em.createEditor(source, {caption: "editor"})
            compare(em.activeEditor, editor)
            compare(editor.parentPopup, page)
            var editorCloses = 0
            editor.close.connect(function () { editorCloses++ })
            var child = null
            if (data.withChild) {
                child = sm.showPopup(source, {caption: "child", allowMinimize: true}, true)
                compare(child.parentPopup, editor)
            }

            data.sweep(minimized)

            compare(em.activeEditor, null)
            compare(editorClosings, 0)
            compare(editorCloses, 0)
            verify(popupLayer.activePopup !== editor)
            if (child) {
                compare(child.parentPopup, null)
                verify(!child.hasParentPopup)
            }
            wait(0)
            if (child)
                compare(child.parentPopup, null)

            // Nothing that follows may reach the destroyed editor.
            em.closeEditor()
            var next = em.createEditor(source, {caption: "next editor"})
            verify(next)
            compare(em.activeEditor, next)
            em.closeEditor()
            compare(editorClosings, 1)
            compare(em.activeEditor, null)
            em.createEditor(source, {caption: "last editor"})
            harness.navigationManager.gotoFrame(harness.subFrame, true)
            compare(em.activeEditor, null)
            wait(0)
            compare(testTools.messages().filter(function (m) { return m.indexOf("TypeError") >= 0 }).length, 0, testTools.messages().join("\n"))
            compare(qmlWarnings().length, 0, testTools.messages().join("\n"))
        }

        function test_closedEditorStillReportsClosing() {
            var em = harness.editorsManager
            harness.screenManager.showPopup(source, {caption: "page popup"})
            var editor = em.createEditor(source, {caption: "editor"})
            em.closeEditor()
            compare(em.activeEditor, null)
            compare(editorClosings, 1)
            wait(0)
            compare(popupLayer.container.children.length, 1)
        }
    }
}
