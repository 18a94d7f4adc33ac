import QtQuick
import "../components"

// Everything shown above the pages derives from this. Only the popup layer creates and destroys
// popups; a popup asks for its end through close() or minimize().
FocusScope {
    id: popup

    property string caption: ""
    property url icon
    property alias iconImage: iconImageItem
    property bool active: !minimized
    property bool topActive: false
    // Typed, so that the reference goes null when the popup below is destroyed.
    property Item parentPopup: null
    readonly property bool hasParentPopup: parentPopup !== null
    property string tag
    property bool minimized: false
    property bool allowMinimize: false
    property int minimizedMaxCount: 1
    property bool autoClose: false
    property int autoCloseInterval: 20000
    property bool blockClose: false
    property bool closeOnFaderClick: false
    property bool hideTopPanel: false
    property bool hideBottomPanel: false
    property bool overrideTopPanel: false
    property bool overrideBottomPanel: true
    property bool pagesVisible: true
    property bool showMinimizeButton: allowMinimize
    property bool showCloseButton: showMinimizeButton
    property alias faderActive: ownFader.active
    // Set by the layer when it lets the popup go: the object lives until the next turn of the
    // event loop, but nothing may treat it as a popup any more.
    property bool destroying: false

    signal close()
    signal closing(var sender)
    signal minimize()
    signal minimizing(var sender)
    signal shown()
    signal hidden()

    function resetAutoCloseTimer() {
        if (autoCloseTimer.running)
            autoCloseTimer.restart()
    }

    anchors.fill: parent
    visible: !minimized

    onClose: closing(popup)
    onMinimize: minimizing(popup)
    onTopActiveChanged: topActive ? shown() : hidden()

    Keys.onPressed: (event) => {
        if (popup.blockClose && (event.key === Qt.Key_Escape || event.key === Qt.Key_Home))
            event.accepted = true
    }

    Component.onDestruction: {
        topActive = false
        if (typeof editorsManager !== "undefined" && editorsManager
                && editorsManager.activeEditor === popup)
            editorsManager.activeEditor = null
    }

    Timer {
        id: autoCloseTimer
        interval: popup.autoCloseInterval
        running: popup.autoClose
        onTriggered: popup.close()
    }

    Connections {
        target: screenManager
        function onKeyRelease() { popup.resetAutoCloseTimer() }
        function onMouseRelease() { popup.resetAutoCloseTimer() }
    }

    Image {
        id: iconImageItem
        source: popup.icon
        visible: false
    }

    // Darkens the whole layer while a child popup lies above this one.
    Fader {
        id: ownFader
        z: 1002
        x: -popup.x
        y: -popup.y
        width: popup.parent ? popup.parent.width : popup.width
        height: popup.parent ? popup.parent.height : popup.height
        active: !popup.minimized && !popup.topActive && !popup.destroying
        onClicked: {
            if (screenManager.popupScroller)
                screenManager.popupScroller.faderClicked()
        }
    }

    CloseButton {
        id: closeButton
        z: 1001
        visible: popup.showCloseButton
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: 5
    }

    MinimizeButton {
        id: minimizeButton
        z: 1000
        visible: popup.showMinimizeButton
        anchors.right: parent.right
        anchors.top: closeButton.bottom
        anchors.topMargin: 5
        onClicked: popup.minimize()
    }
}
