import QtQuick

// The link of the visibility chain: mirrors `widgetShown` of the nearest ancestor of `fromItem`
// that has one, so that readers inside a frame poll only while the frame is on screen.
Item {
    id: baseWidget

    property Item fromItem: baseWidget
    property var controller: null
    property bool destroying: false
    readonly property bool widgetShown: !destroying && controller !== null
                                        && controller.widgetShown === true

    visible: false
    width: 0
    height: 0

    function findController() {
        var item = fromItem ? fromItem.parent : null
        while (item) {
            if (item.widgetShown !== undefined)
                break
            item = item.parent
        }
        controller = item
    }

    onParentChanged: findController()
    onFromItemChanged: findController()
    Connections {
        target: baseWidget.fromItem
        function onParentChanged() {
            baseWidget.findController()
        }
    }
    Component.onCompleted: findController()
    // The reader must stop before the item goes, not when the deferred destruction ends.
    Component.onDestruction: destroying = true
}
