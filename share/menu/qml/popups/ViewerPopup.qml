import QtQuick
import "../viewers"

// A document in the viewer that suits it. While it is the top popup the menu's drag distance is
// discarded, so that a drag over the page moves the page and nothing else.
BasePopup {
    id: viewerPopup

    property string filePath: ""
    readonly property bool isViewerPopup: true
    readonly property alias scroller: scroller
    readonly property var viewer: scroller.viewer
    // What the caller named the document, shown until the viewer has a caption of its own.
    property string givenCaption: ""

    icon: Qt.resolvedUrl("../viewers/" + scroller.icon)
    pagesVisible: false
    hideBottomPanel: true
    allowMinimize: true
    minimizedMaxCount: 2

    function updateDragDistance() {
        var layer = screenManager.popupScroller
        var top = layer ? layer.activePopup : null
        menuContext.discardDragDistance = top !== null && top.isViewerPopup === true
                && !top.destroying && !top.minimized
    }

    onTopActiveChanged: updateDragDistance()
    onMinimizedChanged: updateDragDistance()

    Component.onCompleted: {
        // A caption given at creation replaces the binding; the viewer's own takes over again.
        givenCaption = caption
        caption = Qt.binding(function () {
            return scroller.caption !== "" ? scroller.caption : viewerPopup.givenCaption
        })
    }
    Component.onDestruction: updateDragDistance()

    Rectangle {
        anchors.fill: parent
        color: "#E8E8E8"
    }

    ViewerScroller {
        id: scroller
        // The navigation column lies under the close and minimize buttons, in the same column.
        anchors.fill: parent
        focus: true
        filePath: viewerPopup.filePath
    }
}
