import QtQuick
import "../components"
import "popupscore.js" as Core

// The popup layer (layer 7 of the main window): creates popups from their files, stacks them in
// creation order, tracks the active one and executes screenManager's popup signals.
FocusScope {
    id: popupScroller
    objectName: "popupScroller"

    // Typed object properties: Qt nulls them when the popup goes, so none names a destroyed one.
    property Item activePopup: null
    readonly property bool hasActivePopup: activePopup !== null
    property Item bottomActivePopup: null
    readonly property bool hasBottomActivePopup: bottomActivePopup !== null
    readonly property bool hideTopPanel: bottomActivePopup ? bottomActivePopup.hideTopPanel : false
    readonly property bool hideBottomPanel: bottomActivePopup ? bottomActivePopup.hideBottomPanel
                                                              : false
    readonly property bool overrideTopPanel: bottomActivePopup ? bottomActivePopup.overrideTopPanel
                                                               : false
    readonly property bool overrideBottomPanel: bottomActivePopup
                                                ? bottomActivePopup.overrideBottomPanel : false
    property list<Item> minimizedPopups
    readonly property alias container: container

    signal closePopup(var sender)

    function showPopup(source, properties, asChildPopup) {
        return Core.showPopup(source, properties, asChildPopup)
    }
    function expandPopup(popup) {
        Core.expand(popup)
    }
    function faderClicked() {
        Core.faderClicked()
    }
    // The component is made here, so that the popups it creates live in this document's context
    // and reach the shell's global ids.
    function loadComponent(source) {
        return Qt.createComponent(Qt.resolvedUrl("../" + source))
    }

    onClosePopup: (sender) => Core.closePopupInternal(sender)

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Escape && popupScroller.hasActivePopup) {
            Core.closeTop()
            event.accepted = true
        }
    }

    Connections {
        target: screenManager
        function onClosePopup(popup) { Core.closePopupInternal(popup) }
        function onCloseAllPopups() { Core.closeAll() }
        function onCloseTopPopup() { Core.closeTop() }
        function onMinimizeTopPopup() { Core.minimizeTop() }
        function onCloseOrMinimizeTopPopup() { Core.closeOrMinimizeTop() }
        function onCloseOrMinimizeAllPopups() { Core.closeOrMinimizeAll() }
    }

    // Dims the pages under the popups; the popups' own faders dim the popups below the top one.
    Fader {
        id: fader
        anchors.fill: parent
        active: popupScroller.hasActivePopup
        onClicked: Core.faderClicked()
    }

    FocusScope {
        id: container
        anchors.fill: parent
        focus: true
        onChildrenChanged: Core.reinit()
    }

    Component.onCompleted: screenManager.popupScroller = popupScroller
}
