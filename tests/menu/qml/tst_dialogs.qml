import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        id: dialogsCase
        name: "Dialogs"

        property var answers: []

        function init() {
            initLayer()
            answers = []
        }

        function confirm(properties) {
            return harness.screenManager.showConfirmDialog(
                        "Delete the site?", function (result) { dialogsCase.answers.push(result) },
                        properties)
        }

        function test_confirmFocus_data() {
            return [
                {tag: "No by default", properties: undefined, focused: "confirmNoButton"},
                {tag: "Yes with defaultAnswer", properties: {defaultAnswer: true},
                 focused: "confirmYesButton"},
            ]
        }

        function test_confirmFocus(data) {
            var dialog = confirm(data.properties)
            verify(dialog)
            compare(dialog.captionTextItem.text, "Delete the site?")
            var focused = data.focused === "confirmYesButton" ? dialog.yesButton : dialog.noButton
            verify(focused.activeFocus)
            compare(focused.objectName, data.focused)
        }

        function test_confirmMovesBetweenButtons() {
            var dialog = confirm()
            keyClick(Qt.Key_Left)
            verify(dialog.yesButton.activeFocus)
            keyClick(Qt.Key_Right)
            verify(dialog.noButton.activeFocus)
        }

        function test_confirmAnswer_data() {
            return [
                {tag: "Escape", key: Qt.Key_Escape, answer: false},
                {tag: "No key", key: Qt.Key_No, answer: false},
                {tag: "Yes key", key: Qt.Key_Yes, answer: true},
                {tag: "Return on No", key: Qt.Key_Return, answer: false},
                {tag: "Left, Return on Yes", keys: [Qt.Key_Left, Qt.Key_Return], answer: true},
            ]
        }

        function test_confirmAnswer(data) {
            var dialog = confirm()
            var keys = data.keys ? data.keys : [data.key]
            for (var i = 0; i < keys.length; ++i)
                keyClick(keys[i])
            compare(answers, [data.answer])
            compare(popupLayer.activePopup, null)
        }

        function test_confirmDoubleClickOnYesAnswersOnce() {
            var dialog = popupLayer.showPopup("dialogs/ConfirmDialog.qml", {caption: "?"})
            var results = []
            dialog.choosed.connect(function (result) { results.push(result) })
            // The dialog takes its content column's height once the column is laid out.
            waitForItemPolished(dialog.contentColumn)
            compare(dialog.height, dialog.contentColumn.height)
            mouseDoubleClickSequence(dialog.yesButton)
            compare(results, [true])
        }

        function test_confirmFaderClickClosesWithoutAnswer() {
            var dialog = confirm()
            var closes = 0
            dialog.close.connect(function () { closes++ })
            // The popupLayer's fader, outside the dialog.
            mouseClick(popupLayer, 3, 3)
            compare(closes, 1)
            compare(answers, [])
            compare(popupLayer.activePopup, null)
        }

        function test_messageBox_data() {
            return [
                {tag: "with a callback", callback: true},
                {tag: "without a callback", callback: false},
            ]
        }

        function test_messageBox(data) {
            var calls = 0
            var box = harness.screenManager.showMessageBoxDialog(
                        "Saved", data.callback ? function () { calls++ } : undefined)
            verify(box.okButton.activeFocus)
            waitForItemPolished(box.contentColumn)
            compare(box.height, box.contentColumn.height + 25)
            mouseClick(box.okButton)
            compare(calls, data.callback ? 1 : 0)
            compare(popupLayer.activePopup, null)
            wait(0)
            compare(qmlWarnings().length, 0, testTools.messages().join("\n"))
        }

        function test_messageBoxOverAnEditorReturnsTheFocus() {
            var editor = harness.editorsManager.createEditor(testPopups + "TestPopup.qml")
            var box = harness.screenManager.showPopup("dialogs/MessageBoxDialog.qml",
                                                      {caption: "Out of range"}, true)
            verify(editor.faderActive)
            verify(box.okButton.activeFocus)
            keyClick(Qt.Key_Return)
            compare(popupLayer.activePopup, editor)
            verify(editor.activeFocus)
            verify(!editor.faderActive)
        }

        function test_explorerPassesTheChoiceOn() {
            var chosen = []
            var dialog = harness.screenManager.showFilesExplorer(
                        "/data/configs", function (path) { chosen.push(path) })
            compare(dialog.filesExplorer.directory, "/data/configs")
            compare(dialog.filesExplorer.showExtension, false)
            dialog.filesExplorer.choosed("/data/configs/site.xml", "site")
            compare(chosen, ["/data/configs/site.xml"])
            compare(popupLayer.activePopup, null)
        }

        function test_calibrationDialogPassesCompletionOnAndCloses() {
            var dialog = harness.screenManager.showPopup(
                        "dialogs/TouchScreenCalibrateDialog.qml",
                        {calibratorSource: Qt.resolvedUrl("popuplayer/FakeCalibrator.qml")})
            verify(dialog)
            compare(dialog.width, harness.screenManager.screenWidth)
            compare(dialog.height, harness.screenManager.screenHeight)
            tryVerify(function () { return dialog.calibrator !== null }, 1000)
            var completions = 0
            dialog.calibrationCompleted.connect(function () { completions++ })
            dialog.calibrator.calibrationCompleted()
            compare(completions, 1)
            compare(popupLayer.activePopup, null)
        }

        function test_dialogSize_data() {
            return [
                {tag: "800x600", embedded: false, width: 760, height: 540},
                {tag: "640x480", embedded: true, width: 608, height: 432},
            ]
        }

        function test_dialogSize(data) {
            menuContext.embedded = data.embedded
            setWindowSize(data.embedded ? 640 : 800, data.embedded ? 480 : 600)
            var dialog = harness.screenManager.showPopup("dialogs/ComponentDialog.qml", {caption: "c"})
            compare(dialog.width, data.width)
            compare(dialog.height, data.height)
            // Centred in the popupLayer, which reaches over the top panel.
            compare(popupLayer.y, 0)
            compare(dialog.x, (harness.width - data.width) / 2)
            compare(dialog.y, (popupLayer.height - data.height) / 2)
        }
    }
}
