import QtQuick
import QtTest

// The screen, editors and application managers' doors to the popup layer.
TestHarness {
    id: harness

    TestCase {
        name: "Managers"

        property var popups: harness.popupScroller
        property var editors: harness.editorsManager

        // The settings element saves once more when it goes: no spy may be left on it then.
        function cleanupTestCase() {
            savedSpy.target = null
        }

        function init() {
            harness.reset()
            menuContext.reset()
            testTools.captureMessages()
        }

        Component {
            id: propertyComponent
            QtObject {
                property string propType
                property int executed: 0
                function execute() {
                    executed++
                }
            }
        }

        function test_editorByType_data() {
            return [{
                        "tag": "text",
                        "editor": "editors/TextEditor.qml"
                    }, {
                        "tag": "real",
                        "editor": "editors/TextEditor.qml"
                    }, {
                        "tag": "int",
                        "editor": "editors/TextEditor.qml"
                    }, {
                        "tag": "list",
                        "editor": "editors/ListEditor.qml"
                    }, {
                        "tag": "bool",
                        "editor": "editors/BoolEditor.qml"
                    }, {
                        "tag": "datetime",
                        "editor": "editors/DateTimeEditor.qml"
                    }, {
                        "tag": "flags",
                        "editor": null
                    }, {
                        "tag": "colour",
                        "editor": null
                    }]
        }

        function test_editorByType(data) {
            var prop = propertyComponent.createObject(harness, {
                                                          "propType": data.tag
                                                      })
            var source = {}
            var editor = editors.editProperty(prop, source, {
                                                  "extra": 5
                                              })
            if (data.editor === null) {
                compare(editor, null)
                compare(popups.calls, [])
                verify(testTools.messages().indexOf("error: unknown property type") >= 0)
                compare(editors.activeEditor, null)
            } else {
                // A child popup: the popups below stay open.
                compare(popups.calls, ["showPopup " + data.editor + " as child"])
                compare(editor.properties.prop, prop)
                compare(editor.properties.sourceItem, source)
                compare(editor.properties.extra, 5)
                compare(editors.activeEditor, editor)
            }
            prop.destroy()
        }

        function test_commandExecutes() {
            var prop = propertyComponent.createObject(harness, {
                                                          "propType": "command"
                                                      })
            compare(editors.editProperty(prop, null), null)
            compare(prop.executed, 1)
            compare(popups.calls, [])
            prop.destroy()
        }

        function test_oneEditorAtATime() {
            var prop = propertyComponent.createObject(harness, {
                                                          "propType": "text"
                                                      })
            var first = editors.editProperty(prop, null)
            var second = editors.editProperty(prop, null)
            compare(popups.tags(), ["editors/TextEditor.qml"])
            compare(editors.activeEditor, second)
            second.close()
            compare(editors.activeEditor, null)
            prop.destroy()
        }

        function test_navigationClosesTheEditor_data() {
            return [{
                        "tag": "frame change",
                        "page": false
                    }, {
                        "tag": "page change",
                        "page": true
                    }]
        }

        function test_navigationClosesTheEditor(data) {
            var result = []
            var editor = editors.callEditor(null, "int", function (value) {
                result.push(value)
            })
            editor.setFunction(7)
            compare(result, [7])
            if (data.page)
                harness.navigationManager.changePage(harness.navigationManager.piLeft)
            else
                harness.navigationManager.gotoFrameInternal(harness.subFrame, true)
            compare(editors.activeEditor, null)
            compare(popups.tags(), [])
        }

        SignalSpy {
            id: savedSpy
            target: harness.menuSettings
            signalName: "saved"
        }

        function test_languageChangeRestarts() {
            savedSpy.clear()
            menuContext.languageIndexChanged()
            compare(popups.calls, ["closeOrMinimizeAllPopups", "showPopup popups/FullscreenMessage.qml"])
            compare(popups.activePopup.properties.caption, undefined, "the message keeps its own text")
            tryCompare(savedSpy, "count", 1, 1000)
            compare(menuContext.restartRequests, 1)
        }

        function test_messageBoxWithoutCallback() {
            var box = harness.screenManager.showMessageBoxDialog("Saved")
            compare(box.properties.caption, "Saved")
            box.close()
            compare(popups.tags(), [])
        }

        function test_confirmDialogAnswers() {
            var answers = []
            var dialog = harness.screenManager.showConfirmDialog("Sure?", function (result) {
                answers.push(result)
            })
            dialog.choosed(true)
            compare(answers, [true])
            compare(popups.tags(), [])
        }

        function test_withoutLayer() {
            harness.screenManager.popupScroller = null
            compare(harness.screenManager.showPopup("dialogs/Some.qml"), null)
            compare(harness.screenManager.hasActivePopup, false)
            verify(testTools.messages().indexOf("error: popupScroller === null") >= 0)
        }

        function test_calibrationOnlyOnTheInstrument() {
            harness.screenManager.calibrateTouchScreen()
            compare(popups.calls, [])
            verify(testTools.messages().indexOf(
                       "touch screen calibrting is available only in embedded system") >= 0)
            menuContext.embedded = true
            harness.screenManager.calibrateTouchScreen()
            compare(popups.calls, ["closeOrMinimizeAllPopups",
                                   "showPopup dialogs/TouchScreenCalibrateDialog.qml"])
            popups.activePopup.calibrationCompleted()
            compare(popups.tags(), ["popups/FullscreenMessage.qml"])
            compare(menuContext.restartRequests, 1)
            menuContext.embedded = false
        }
    }
}
