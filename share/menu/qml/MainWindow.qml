import QtQuick
import "components"
import "popups"

// The main window: background, wallpaper, the three panels, the popup layer and the on-screen
// keypad, bottom to top. It has the focus below the popups and pages.
FocusScope {
    id: mainWindow

    // How long the panels take to fade out while the power key is held, in ms.
    property int powerOffFadeDuration: 3000
    property bool homeKeyWaiting: false
    property double homeKeyPressTime: 0
    // While the panel's keys become key presses its Menu key also arrives as Home, after the
    // key's own signal went home (whatever item has the focus): that Home must not go again.
    readonly property bool homeFromPanel: embedded && deviceKeypad.retranslate
    // The instrument does not answer (the top panel's message): its values are not current.
    readonly property bool connectionLost: topPanel.connectionError

    // Calls `callback` once, `milliseconds` from now. Each call has a timer of its own, so
    // several may wait at once; the timer goes with the window.
    function setTimeoutCustom(callback, milliseconds) {
        var timer = timeoutTimer.createObject(mainWindow, {interval: milliseconds})
        timer.triggered.connect(function () {
            timer.destroy()
            callback()
        })
        timer.start()
        return timer
    }

    // Home of a keyboard and the Menu key of the instrument's panel. With minimized popups a held
    // press opens their list and a short one goes home, so the press waits for its release;
    // auto-repeats keep the first press's time. A popup that blocks closing keeps it.
    function homePressed(autoRepeat) {
        if (screenManager.activePopup && screenManager.activePopup.blockClose)
            return
        if (screenManager.haveMinimizedPopups) {
            if (!autoRepeat) {
                homeKeyPressTime = Date.now()
                homeKeyWaiting = true
            }
        } else {
            navigationManager.goHome()
        }
    }
    function homeReleased(autoRepeat) {
        if (autoRepeat || !homeKeyWaiting || !screenManager.haveMinimizedPopups)
            return
        homeKeyWaiting = false
        if (Date.now() - homeKeyPressTime >= styleManager.style.homeButtonPressDuration)
            screenManager.showPopupsList()
        else
            navigationManager.goHome()
    }

    Component {
        id: timeoutTimer
        Timer {
            repeat: false
        }
    }

    Rectangle {
        anchors.fill: parent
        color: styleManager.style.windowBackColor
    }

    Wallpaper {
        anchors.fill: parent
        shift: centerPanel.pagesShift
    }

    Loader {
        anchors.fill: parent
        sourceComponent: styleManager.style.wallpaperComponent
    }

    TopPanel {
        id: topPanel
        objectName: "topPanel"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: styleManager.style.topPanelHeight
        visible: !popupScroller.hideTopPanel
    }

    CenterPanel {
        id: centerPanel
        objectName: "centerPanel"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: topPanel.bottom
        anchors.bottom: bottomPanel.top
        visible: screenManager.pagesVisible
        onVisibleChanged: {
            if (visible && !screenManager.hasActivePopup)
                centerPanel.forceActiveFocus()
        }
    }

    BottomPanel {
        id: bottomPanel
        objectName: "bottomPanel"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: styleManager.style.bottomPanelHeight
        visible: !popupScroller.hideBottomPanel
    }

    PopupScroller {
        id: popupScroller
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: popupScroller.overrideTopPanel ? parent.top : topPanel.bottom
        anchors.bottom: popupScroller.overrideBottomPanel ? parent.bottom : bottomPanel.top
        onHasActivePopupChanged: {
            if (!hasActivePopup)
                centerPanel.forceActiveFocus()
        }
    }

    KeypadScroller {
        id: keypadScroller
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: parent.height - styleManager.style.screenEditFieldHeight
    }

    Keys.onPressed: event => {
        switch (event.key) {
        case Qt.Key_Escape:
            navigationManager.cancel()
            break
        case Qt.Key_Home:
            if (!homeFromPanel)
                homePressed(event.isAutoRepeat)
            break
        case Qt.Key_0:
            navigationManager.gotoPage(navigationManager.piLeft)
            break
        case Qt.Key_plusminus:
            navigationManager.gotoPage(navigationManager.piMain)
            break
        case Qt.Key_Period:
            navigationManager.gotoPage(navigationManager.piRight)
            break
        default:
            return
        }
        event.accepted = true
    }

    Keys.onReleased: event => {
        if (event.key !== Qt.Key_Home)
            return
        event.accepted = true
        if (!homeFromPanel)
            homeReleased(event.isAutoRepeat)
    }

    states: State {
        name: "poweringOff"
        when: embedded && deviceKeypad.keyPower && !powerManager.sleeping
        // Faded panels also take no input: opacity alone does not stop it in Qt Quick.
        PropertyChanges {
            target: centerPanel
            opacity: 0
            enabled: false
        }
        PropertyChanges {
            target: popupScroller
            opacity: 0
            enabled: false
        }
        PropertyChanges {
            target: topPanel
            opacity: 0
            enabled: false
        }
        PropertyChanges {
            target: bottomPanel
            opacity: 0
            enabled: false
        }
    }

    transitions: Transition {
        to: "poweringOff"
        NumberAnimation {
            properties: "opacity"
            duration: mainWindow.powerOffFadeDuration
        }
    }
}
