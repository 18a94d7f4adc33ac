import QtQuick

// Shows the page of the current tab: the pages before it lie to the left, those after it to the
// right, both transparent.
Item {
    id: tabScroller

    property var tabControl: null
    property list<Item> pages
    property bool useAnimation: true
    property real translateValue: 100
    property int translateDuration: 300
    property int opacityDuration: 300
    readonly property int currentIndex: tabControl ? tabControl.currentIndex : 0

    Repeater {
        model: tabScroller.pages.length
        Item {
            id: holder
            readonly property Item page: tabScroller.pages[index]
            readonly property int offset: index - tabScroller.currentIndex
            anchors.fill: parent
            opacity: offset === 0 ? 1 : 0
            visible: opacity > 0
            enabled: offset === 0
            transform: Translate {
                x: holder.offset === 0 ? 0 : holder.offset < 0 ? -tabScroller.translateValue
                                                               : tabScroller.translateValue
                Behavior on x {
                    NumberAnimation {
                        duration: tabScroller.useAnimation ? tabScroller.translateDuration : 0
                        easing.type: Easing.OutCubic
                    }
                }
            }
            Behavior on opacity {
                NumberAnimation {
                    duration: tabScroller.useAnimation ? tabScroller.opacityDuration : 0
                    easing.type: Easing.OutCubic
                }
            }
            Component.onCompleted: {
                if (page) {
                    page.parent = holder
                    page.anchors.fill = holder
                }
            }
        }
    }
}
