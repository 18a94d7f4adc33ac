import QtQuick

// The rows of a column menu: a digit or Right clicks the row it reaches, and at the ends the
// content scrolls by one row so that rows that cannot take the focus still come into view.
ListViewAdvanced {
    id: columnMenuListView

    readonly property bool columnOverloaded: contentHeight > height + 2

    interactive: columnOverloaded
    handleKey_Home: !menuContext.embedded
    highlightMoveDuration: 1
    highlightMoveVelocity: -1
    skipProperty: "skip"
    hideProperty: "hidden"

    function clickCurrent() {
        var item = currentItem
        if (item && typeof item.clicked === "function")
            item.clicked()
    }
    function contentTop() {
        return contentY - originY
    }
    function scrollTo(top) {
        contentY = originY + top
    }

    // Every row stays made, so that keys and digits reach rows scrolled out of view.
    onContentHeightChanged: if (contentHeight > cacheBuffer) cacheBuffer = contentHeight
    onCurrentIndexChangedByNumberKey: clickCurrent()
    onUpKeyLimit: scrollTo(Math.max(0, contentTop() - styleManager.style.menuItemRowHeight))
    onDownKeyLimit: {
        if (columnOverloaded)
            scrollTo(Math.min(contentHeight - height,
                              contentTop() + styleManager.style.menuItemRowHeight))
    }
    onTopKeyLimit: positionViewAtBeginning()
    onBottomKeyLimit: positionViewAtEnd()

    Keys.onRightPressed: event => {
                             event.accepted = true
                             clickCurrent()
                         }
}
