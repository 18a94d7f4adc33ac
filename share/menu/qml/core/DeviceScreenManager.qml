import QtQuick
import Menu 1.0
import "../Globals.js" as Globals

// The one door to the popup layer and the on-screen keypad: screens call these operations and
// never create popups themselves.
ScreenManager {
    id: screenManager

    property real windowWidth: 100
    property real windowHeight: 100

    // Both register themselves here when complete.
    property var popupScroller: null
    property var keypadScroller: null

    property bool hasActivePopup: popupScroller ? popupScroller.hasActivePopup : false
    property var activePopup: popupScroller ? popupScroller.activePopup : null
    property var minimizedPopups: popupScroller ? popupScroller.minimizedPopups : []
    property bool haveMinimizedPopups: minimizedPopups !== undefined && minimizedPopups !== null
                                       && minimizedPopups.length > 0
    property bool pagesVisible: hasActivePopup && activePopup ? activePopup.pagesVisible !== false
                                                              : true
    property bool hasScreenKeypad: keypadScroller ? keypadScroller.active : false

    // Executed by the popup layer.
    signal closePopup(var popup)
    signal closeTopPopup
    signal closeAllPopups
    signal minimizeTopPopup
    signal closeOrMinimizeTopPopup
    signal closeOrMinimizeAllPopups
    signal popupsChanged

    // Executed by the on-screen keypad.
    signal showScreenKeypad(string type)
    signal showTextScreenKeypad
    signal showNumberScreenKeypad
    signal hideScreenKeypad

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

    function showApp(app, properties) {
        return showPopup("apps/" + app + "/" + app + ".qml", properties)
    }

    function showViewer(filePath, properties) {
        var props = Globals.copyProperties(properties)
        props.filePath = filePath
        return showPopup("popups/ViewerPopup.qml", props)
    }

    function showFilesExplorer(directory, callback, properties) {
        var dialog = showPopup("dialogs/ExplorerDialog.qml", properties)
        if (!dialog)
            return null
        dialog.filesExplorer.directory = directory
        dialog.choosed.connect(function (filePath) {
            closePopup(dialog)
            if (callback)
                callback(filePath)
        })
        return dialog
    }

    function showMessageBoxDialog(caption, callback, properties) {
        var props = Globals.copyProperties(properties)
        props.caption = caption
        var dialog = showPopup("dialogs/MessageBoxDialog.qml", props)
        if (dialog && callback)
            dialog.closing.connect(function () {
                callback()
            })
        return dialog
    }

    function showConfirmDialog(caption, callback, properties) {
        var props = Globals.copyProperties(properties)
        props.caption = caption
        var dialog = showPopup("dialogs/ConfirmDialog.qml", props)
        if (!dialog)
            return null
        dialog.choosed.connect(function (result) {
            closePopup(dialog)
            if (callback)
                callback(result)
        })
        return dialog
    }

    function showFullscreenMessage(caption, properties, callback) {
        var props = Globals.copyProperties(properties)
        if (caption !== undefined && caption !== null)
            props.caption = caption
        var message = showPopup("popups/FullscreenMessage.qml", props)
        if (message && callback)
            message.closing.connect(function () {
                callback()
            })
        return message
    }

    function showComponentInDialog(component, componentProps) {
        var dialog = showPopup("dialogs/ComponentDialog.qml")
        if (!dialog)
            return null
        if (component.status === Component.Ready)
            component.createObject(dialog.contentColumn, componentProps ? componentProps : {})
        else
            console.log("component.status = " + component.status)
        return dialog
    }

    function showConnectionSettingsDialog(callback, properties) {
        var dialog = showPopup("dialogs/ConnectionSettingsDialog.qml", properties)
        if (dialog && callback)
            dialog.closing.connect(function () {
                callback()
            })
        return dialog
    }

    function expandPopup(popup) {
        if (!popupScroller) {
            console.log("error: popupScroller === null")
            return popup
        }
        popupScroller.expandPopup(popup)
        return popup
    }

    function showPopupsList() {
        return showPopup("popups/PopupsList.qml")
    }

    function showLog() {
        showPopup("dialogs/LogDialog.qml")
    }

    function calibrateTouchScreen() {
        if (!embedded) {
            console.log("touch screen calibrting is available only in embedded system")
            return
        }
        var dialog = showPopup("dialogs/TouchScreenCalibrateDialog.qml")
        if (!dialog)
            return
        dialog.calibrationCompleted.connect(function () {
            showFullscreenMessage()
            menuContext.beginRestartMenu()
        })
    }
}
