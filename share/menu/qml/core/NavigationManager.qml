import QtQuick

// Which page and which frame of the menu tree is shown, and what Escape and Home undo.
Item {
    id: navigationManager

    property var deviceFrames: null
    property var mainFrame: null
    // Set by the frame scroller only; everyone else goes through gotoFrame().
    property var currentFrame: null

    property int piLeft: 0
    property int piMain: 1
    property int piRight: 2

    property int startupPageIndex: piMain
    // Changed only by gotoPage(), so that every change passes currentPageIndexChanging.
    property int currentPageIndex: startupPageIndex
    // The page list view's own current index, bound by the centre panel.
    property int internalPageIndex: piMain
    property bool pagesFlicking: false
    property bool keyboardNavigation: true

    signal gotoFrameInternal(var newFrame, var forward)
    signal currentPageIndexChanging(int toIndex)
    signal doPageIndexChange(int toIndex)

    // True while a page change runs: the list view then follows it and its index change must
    // not be taken for a swipe.
    property bool changingPage: false

    onInternalPageIndexChanged: {
        if (!changingPage)
            gotoPage(internalPageIndex)
    }

    function gotoFrame(newFrame, forward) {
        screenManager.hideScreenKeypad()
        if (screenManager.hasActivePopup)
            screenManager.closeOrMinimizeAllPopups()
        if (currentPageIndex !== piMain)
            gotoPage(piMain)
        gotoFrameInternal(newFrame, forward)
    }

    function gotoFrameBackward() {
        if (!currentFrame)
            return
        if (currentFrame.prevPage !== undefined && currentFrame.prevPage >= 0) {
            gotoPage(currentFrame.prevPage)
            return
        }
        if (!currentFrame.prevFrame)
            return
        gotoFrame(currentFrame.prevFrame, false)
    }

    function gotoPage(newPageIndex) {
        if (screenManager.hasActivePopup)
            screenManager.closeOrMinimizeAllPopups()
        changePage(newPageIndex)
    }

    // The page change without sweeping the popups away: Home leaves them as they are.
    function changePage(newPageIndex) {
        if (newPageIndex === currentPageIndex)
            return
        changingPage = true
        currentPageIndexChanging(currentPageIndex)
        doPageIndexChange(newPageIndex)
        currentPageIndex = internalPageIndex
        changingPage = false
    }

    function cancel() {
        if (screenManager.hasScreenKeypad)
            screenManager.hideScreenKeypad()
        else if (screenManager.hasActivePopup)
            screenManager.closeTopPopup()
        else if (currentPageIndex !== piMain)
            gotoPage(piMain)
        else if (currentFrame && currentFrame !== mainFrame)
            gotoFrameBackward()
        else if (mainFrame)
            goHome()
    }

    function goHome() {
        if (currentPageIndex !== piMain) {
            changePage(piMain)
            // The menu page shows the frame it had: where the keys act must show, however the
            // home button was pressed.
            wasKeyNavigation()
        } else if (screenManager.hasActivePopup)
            screenManager.closeOrMinimizeTopPopup()
        else if (mainFrame)
            gotoFrame(mainFrame, false)
    }

    function wasKeyNavigation() {
        keyboardNavigation = true
    }

    function wasTouchNavigation() {
        keyboardNavigation = false
    }

    Connections {
        target: screenManager
        function onKeyRelease() {
            navigationManager.wasKeyNavigation()
        }
        function onMouseRelease() {
            navigationManager.wasTouchNavigation()
        }
    }
}
