// Stand-in for the popup layer: it registers itself and carries the flags the shell reads.
// Popups are created from their files and closed; minimizing is not offered.
import QtQuick

FocusScope {
    id: popupScroller

    property var activePopup: container.children.length > 0
                              ? container.children[container.children.length - 1] : null
    property bool hasActivePopup: activePopup !== null
    property var bottomActivePopup: container.children.length > 0 ? container.children[0] : null
    property bool hideTopPanel: !!bottomActivePopup && !!bottomActivePopup.hideTopPanel
    property bool hideBottomPanel: !!bottomActivePopup && !!bottomActivePopup.hideBottomPanel
    property bool overrideTopPanel: !!bottomActivePopup && !!bottomActivePopup.overrideTopPanel
    property bool overrideBottomPanel: !!bottomActivePopup
                                       && !!bottomActivePopup.overrideBottomPanel
    property var minimizedPopups: []

    function showPopup(source, properties, asChildPopup) {
        var component = Qt.createComponent("../" + source)
        if (component.status !== Component.Ready) {
            console.log("Qt.createComponent: status = " + component.status)
            if (component.status === Component.Error)
                console.log(component.errorString())
            return null
        }
        var popup = component.createObject(container, properties ? properties : {})
        if (popup && popup.closing !== undefined)
            popup.closing.connect(closePopup)
        if (popup)
            popup.forceActiveFocus()
        screenManager.popupsChanged()
        return popup
    }

    function expandPopup(popup) {}

    function closePopup(popup) {
        if (!popup) {
            console.log("closePopupInternal: popup is not defined.")
            return
        }
        popup.parent = null
        popup.destroy()
        screenManager.popupsChanged()
    }

    function closeAll() {
        while (container.children.length > 0)
            closePopup(container.children[container.children.length - 1])
    }

    FocusScope {
        id: container
        anchors.fill: parent
    }

    Connections {
        target: screenManager
        function onClosePopup(popup) {
            popupScroller.closePopup(popup)
        }
        function onCloseTopPopup() {
            if (popupScroller.activePopup)
                popupScroller.closePopup(popupScroller.activePopup)
        }
        function onCloseOrMinimizeTopPopup() {
            if (popupScroller.activePopup)
                popupScroller.closePopup(popupScroller.activePopup)
        }
        function onCloseAllPopups() {
            popupScroller.closeAll()
        }
        function onCloseOrMinimizeAllPopups() {
            popupScroller.closeAll()
        }
    }

    Component.onCompleted: screenManager.popupScroller = this
}
