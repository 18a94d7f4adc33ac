import QtQuick
import QtQml.Models
import "pages"

// The three pages side by side in a horizontal list view; the current one always fills it. A
// focus scope: given the active focus (after a popup), it hands it on to the current page and
// down its chain (frame scroller, current frame, its row), where the keys act.
FocusScope {
    id: centerPanel

    property alias pageModel: pageModel
    // 0 at the left page, 1 at the right page.
    property real pagesShift: pagesView.contentWidth > pagesView.width
                              ? (pagesView.contentX - pagesView.originX)
                                / (pagesView.contentWidth - pagesView.width) : 0
    // How long the pages must stand still before swiping is turned on or off, in ms.
    property int swipeSettleDelay: 200
    // The list view picks an index of its own while its pages are added: only once it stands
    // at the navigation manager's page do its index changes mean swipes.
    property bool pagesReady: false

    Rectangle {
        anchors.fill: parent
        color: styleManager.style.centerPanelColor
        gradient: styleManager.style.centerPanelGradient
        visible: styleManager.style.centerPanelColor != "#00000000"
                 || !!styleManager.style.centerPanelGradient
    }

    ObjectModel {
        id: pageModel

        LeftPage {
            width: pagesView.width
            height: pagesView.height
            active: navigationManager.currentPageIndex === navigationManager.piLeft
        }
        CenterPage {
            width: pagesView.width
            height: pagesView.height
            active: navigationManager.currentPageIndex === navigationManager.piMain
        }
        RightPage {
            width: pagesView.width
            height: pagesView.height
            active: navigationManager.currentPageIndex === navigationManager.piRight
        }
    }

    ListView {
        id: pagesView
        objectName: "pagesView"
        anchors.fill: parent
        orientation: ListView.Horizontal
        model: pageModel
        focus: true
        clip: true
        keyNavigationEnabled: false
        highlightRangeMode: ListView.StrictlyEnforceRange
        preferredHighlightBegin: 0
        preferredHighlightEnd: 0
        snapMode: ListView.SnapOneItem
        flickDeceleration: styleManager.style.centerPanelFlickDeceleration
        highlightMoveVelocity: styleManager.style.centerPanelScrollSpeed
        cacheBuffer: width * 3

        onContentXChanged: swipeSettleTimer.restart()
        // The pages take their size from the view: keep the current one in place.
        onWidthChanged: positionViewAtIndex(currentIndex, ListView.Beginning)

        Keys.onPressed: event => {
            if (event.key === Qt.Key_Escape
                    && navigationManager.currentPageIndex !== navigationManager.piMain) {
                navigationManager.gotoPage(navigationManager.piMain)
                event.accepted = true
            }
        }

        Component.onCompleted: {
            currentIndex = navigationManager.currentPageIndex
            positionViewAtIndex(currentIndex, ListView.Beginning)
            centerPanel.pagesReady = true
        }
    }

    Binding {
        target: navigationManager
        property: "internalPageIndex"
        value: pagesView.currentIndex
        when: centerPanel.pagesReady
    }

    Binding {
        target: navigationManager
        property: "pagesFlicking"
        value: pagesView.horizontalVelocity !== 0
    }

    Connections {
        target: navigationManager
        function onDoPageIndexChange(toIndex) {
            pagesView.currentIndex = toIndex
        }
        function onCurrentPageIndexChanged() {
            pagesView.currentIndex = navigationManager.currentPageIndex
        }
        function onCurrentFrameChanged() {
            centerPanel.updateSwiping()
        }
    }

    Timer {
        id: swipeSettleTimer
        interval: centerPanel.swipeSettleDelay
        onTriggered: centerPanel.updateSwiping()
    }

    // Pages swipe only from the main frame or from a side page: a sub-frame keeps its own
    // horizontal gestures.
    function updateSwiping() {
        pagesView.interactive = !(pagesView.contentX - pagesView.originX === pagesView.width
                                  && navigationManager.currentFrame !== navigationManager.mainFrame)
    }
}
