import QtQuick
import QtTest
import "popuplayer"

// How far the layer reaches over the main window's panels, by the flags of its bottom popup.
TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "LayerGeometry"

        function panel(name) {
            for (var i = 0; i < mainWindow.children.length; ++i) {
                if (mainWindow.children[i].objectName === name)
                    return mainWindow.children[i]
            }
            return null
        }

        function test_layerReach_data() {
            var popup = testPopups + "TestPopup.qml"
            return [
                {tag: "full-screen message", source: "popups/FullscreenMessage.qml", props: {},
                 top: 0, bottom: 600, topPanel: false},
                {tag: "dialog", source: "dialogs/ComponentDialog.qml", props: {caption: "c"},
                 top: 0, bottom: 600, topPanel: true},
                {tag: "plain popup", source: popup, props: {}, top: 32, bottom: 600, topPanel: true},
                {tag: "popup above the bottom panel", source: popup,
                 props: {overrideBottomPanel: false}, top: 32, bottom: 540, topPanel: true},
            ]
        }

        function test_layerReach(data) {
            var popup = harness.screenManager.showPopup(data.source, data.props)
            verify(popup)
            compare(popupLayer.y, data.top)
            compare(popupLayer.y + popupLayer.height, data.bottom)
            compare(panel("topPanel").visible, data.topPanel)
            compare(panel("bottomPanel").visible, true)
            // Without a popup the layer lies between the panels.
            popup.close()
            compare(popupLayer.y, 32)
            compare(popupLayer.y + popupLayer.height, 540)
            verify(panel("topPanel").visible)
        }

        function test_fullscreenMessage_data() {
            return [
                {tag: "default text", caption: undefined, text: "Please wait..."},
                {tag: "given text", caption: "Saving the configuration", text: "Saving the configuration"},
            ]
        }

        function test_fullscreenMessage(data) {
            var message = harness.screenManager.showFullscreenMessage(data.caption)
            compare(message.caption, data.text)
            compare(message.width, 800)
            compare(message.height, 600)
            // It takes every click and every close key.
            mouseClick(message, 5, 5)
            mouseClick(message, 5, 5, Qt.RightButton)
            keyClick(Qt.Key_Escape)
            keyClick(Qt.Key_Home)
            compare(popupLayer.activePopup, message)
        }
    }
}
