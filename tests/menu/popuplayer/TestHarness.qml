import QtQuick
import "../../../share/menu/qml/styles"
import "../../../share/menu/qml/popups"

// A root with the shell's global ids, as far as the popup layer and the dialogs use them: the
// style and the popup layer are the real ones, the managers small doubles that keep the Part's
// rules for what they do with popups. Objects made by the layer live in this document's context
// and reach these ids; tests reach them through the aliases.
FocusScope {
    id: starter

    width: menuContext.embedded ? 640 : 800
    height: menuContext.embedded ? 480 : 600
    focus: true

    property alias windowWidth: starter.width
    property alias windowHeight: starter.height
    property real mm: 96 / 25.4
    property real cm: mm * 10

    // Where the test popups lie, as a source path relative to the menu's QML root.
    readonly property string testPopups: "../../../tests/menu/popuplayer/"

    readonly property alias screenManager: screenManager
    readonly property alias editorsManager: editorsManager
    readonly property alias navigationManager: navigationManager
    readonly property alias styleManager: styleManager
    readonly property alias popupScroller: popupScroller
    readonly property alias mainWindow: mainWindow
    readonly property alias topPanel: topPanel
    readonly property alias bottomPanel: bottomPanel
    readonly property alias centerPanel: centerPanel

    QtObject {
        id: styleManager
        property list<QtObject> stylesArr: [
            BaseStyle {}
        ]
        property int styleIndex: 0
        readonly property QtObject style: stylesArr[styleIndex]
        readonly property real percX: starter.windowWidth / 100
    }

    QtObject {
        id: navigationManager
        readonly property int piLeft: 0
        readonly property int piMain: 1
        readonly property int piRight: 2
        property int currentPageIndex: piMain
        property var currentFrame: null
        property var mainFrame: null
        property bool keyboardNavigation: true

        function gotoFrame(newFrame, forward) {
            if (screenManager.hasActivePopup)
                screenManager.closeOrMinimizeAllPopups()
            if (currentPageIndex !== piMain)
                currentPageIndex = piMain
            currentFrame = newFrame
        }
        function gotoPage(newPageIndex) {
            if (screenManager.hasActivePopup)
                screenManager.closeOrMinimizeAllPopups()
            if (newPageIndex !== currentPageIndex)
                currentPageIndex = newPageIndex
        }
        function goHome() {
            if (currentPageIndex !== piMain)
                gotoPage(piMain)
            else if (screenManager.hasActivePopup)
                screenManager.closeOrMinimizeTopPopup()
            else if (mainFrame)
                gotoFrame(mainFrame, false)
        }
    }

    QtObject {
        id: screenManager
        property real windowWidth: starter.windowWidth
        property real windowHeight: starter.windowHeight
        property int screenWidth: starter.width
        property int screenHeight: starter.height
        property real mm: starter.mm
        property var popupScroller: null
        readonly property bool hasActivePopup: popupScroller ? popupScroller.hasActivePopup : false
        readonly property var activePopup: popupScroller ? popupScroller.activePopup : null
        readonly property var minimizedPopups: popupScroller ? popupScroller.minimizedPopups : []
        readonly property bool haveMinimizedPopups: minimizedPopups.length > 0
        readonly property bool pagesVisible: activePopup ? activePopup.pagesVisible : true

        signal mousePress()
        signal mouseRelease()
        signal keyRelease()
        signal closePopup(var popup)
        signal closeTopPopup()
        signal closeAllPopups()
        signal minimizeTopPopup()
        signal closeOrMinimizeTopPopup()
        signal closeOrMinimizeAllPopups()
        signal popupsChanged()

        function showPopup(source, properties, asChildPopup, callback) {
            if (!popupScroller) {
                console.log("error: popupScroller === null")
                return null
            }
            if (!asChildPopup)
                closeOrMinimizeAllPopups()
            var popup = popupScroller.showPopup(source, properties, asChildPopup)
            if (popup && callback && popup.callback !== undefined)
                popup.callback.connect(callback)
            return popup
        }
        function expandPopup(popup) {
            if (!popupScroller) {
                console.log("error: popupScroller === null")
                return null
            }
            popupScroller.expandPopup(popup)
            return popup
        }
        function showMessageBoxDialog(caption, callback, properties) {
            var props = properties ? properties : {}
            props.caption = caption
            var dialog = showPopup("dialogs/MessageBoxDialog.qml", props)
            if (dialog && callback)
                dialog.close.connect(callback)
            return dialog
        }
        function showConfirmDialog(caption, callback, properties) {
            var props = properties ? properties : {}
            props.caption = caption
            var dialog = showPopup("dialogs/ConfirmDialog.qml", props)
            if (dialog)
                dialog.choosed.connect(function (result) {
                    dialog.close()
                    if (callback)
                        callback(result)
                })
            return dialog
        }
        function showFullscreenMessage(caption, properties, callback) {
            var props = properties ? properties : {}
            if (caption)
                props.caption = caption
            var message = showPopup("popups/FullscreenMessage.qml", props)
            if (message && callback)
                message.close.connect(callback)
            return message
        }
        function showFilesExplorer(directory, callback, properties) {
            var dialog = showPopup("dialogs/ExplorerDialog.qml", properties)
            if (dialog) {
                dialog.filesExplorer.directory = directory
                dialog.choosed.connect(function (filePath) {
                    dialog.close()
                    if (callback)
                        callback(filePath)
                })
            }
            return dialog
        }
        function showPopupsList() {
            return showPopup("popups/PopupsList.qml")
        }
        function showLog() {
            return showPopup("dialogs/LogDialog.qml")
        }
    }

    QtObject {
        id: editorsManager
        // Deliberately untyped: the layer must forget a destroyed editor even where no typed
        // property would do it for it.
        property var activeEditor: null
        signal editorClosing(var sender)

        function createEditor(source, properties) {
            closeEditor()
            var editor = screenManager.showPopup(source, properties, true)
            if (editor) {
                editor.closing.connect(editorClosing)
                activeEditor = editor
            }
            return editor
        }
        function closeEditor() {
            if (activeEditor)
                activeEditor.close()
        }
        onEditorClosing: (sender) => {
            if (sender === activeEditor)
                activeEditor = null
        }
    }

    Connections {
        target: navigationManager
        function onCurrentFrameChanged() { editorsManager.closeEditor() }
        function onCurrentPageIndexChanged() { editorsManager.closeEditor() }
    }

    FocusScope {
        id: mainWindow
        anchors.fill: parent
        focus: true

        // The shell's keys below the popups, as far as they concern them.
        Keys.onPressed: (event) => {
            if (event.key === Qt.Key_Home) {
                navigationManager.goHome()
                event.accepted = true
            }
        }

        Rectangle {
            anchors.fill: parent
            color: "#335577"
        }
        Rectangle {
            id: topPanel
            width: parent.width
            height: styleManager.style.topPanelHeight
            color: "black"
            visible: !popupScroller.hideTopPanel
        }
        FocusScope {
            id: centerPanel
            anchors.top: topPanel.bottom
            anchors.bottom: bottomPanel.top
            width: parent.width
            focus: true
            Rectangle {
                anchors.fill: parent
                anchors.margins: 20
                color: "#8899BB"
            }
        }
        Rectangle {
            id: bottomPanel
            anchors.bottom: parent.bottom
            width: parent.width
            height: styleManager.style.bottomPanelHeight
            color: "#222222"
            visible: !popupScroller.hideBottomPanel
        }
        PopupScroller {
            id: popupScroller
            width: parent.width
            anchors.top: popupScroller.overrideTopPanel ? parent.top : topPanel.bottom
            anchors.bottom: popupScroller.overrideBottomPanel ? parent.bottom : bottomPanel.top
            onHasActivePopupChanged: {
                if (!hasActivePopup)
                    centerPanel.forceActiveFocus()
            }
        }
    }
}
