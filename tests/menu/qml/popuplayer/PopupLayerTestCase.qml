import QtQuick
import QtTest

// A test case over the real main window and popup layer, made in the harness's context so that
// the layer and its popups reach the global ids. The harness registers its recording layer on
// every reset; the real one is registered again after it.
TestCase {
    id: testCase

    property var harness: null
    property var mainWindow: null
    property var popupLayer: null
    // Where the test popups lie, as a source path relative to the menu's QML root.
    readonly property string testPopups: "../../../tests/menu/qml/popuplayer/"

    when: windowShown

    function findLayer(item) {
        for (var i = 0; i < item.children.length; ++i) {
            var child = item.children[i]
            if (child.objectName === "popupScroller")
                return child
        }
        return null
    }

    function setWindowSize(width, height) {
        harness.width = width
        harness.height = height
        mainWindow.width = width
        mainWindow.height = height
    }

    function init() {
        initLayer()
    }

    function cleanup() {
        cleanupLayer()
    }

    function initLayer() {
        if (!mainWindow) {
            mainWindow = harness.create("MainWindow.qml", {width: harness.width,
                                                           height: harness.height})
            popupLayer = findLayer(mainWindow)
        }
        harness.reset()
        harness.screenManager.popupScroller = popupLayer
        mainWindow.forceActiveFocus()
        testTools.captureMessages()
    }

    function cleanupLayer() {
        var popups = popupLayer.container.children
        for (var i = popups.length - 1; i >= 0; --i)
            harness.screenManager.closePopup(popups[i])
        wait(0)
        menuContext.embedded = false
        setWindowSize(800, 600)
    }

    function messageCount(text) {
        return testTools.messages().filter(function (m) { return m === text }).length
    }

    // QML warnings name their file; none may appear.
    function qmlWarnings() {
        return testTools.messages().filter(function (m) { return m.indexOf(".qml:") >= 0 })
    }

    function liveCaptions() {
        var result = []
        var popups = popupLayer.container.children
        for (var i = 0; i < popups.length; ++i)
            result.push(popups[i].caption)
        return result.join(" ")
    }
}
