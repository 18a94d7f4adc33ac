// Stand-in for the frame scroller: it creates the menu tree, hands it to the navigation manager,
// starts at its main frame and shows the frame that gotoFrameInternal names.
import QtQuick
import "../sources"

FocusScope {
    id: frameScroller

    DeviceFrames {
        id: deviceFrames
        anchors.fill: parent
    }

    Connections {
        target: navigationManager
        function onGotoFrameInternal(newFrame, forward) {
            if (newFrame === navigationManager.currentFrame)
                return
            styleManager.style.hideFrame(navigationManager.currentFrame, forward)
            navigationManager.currentFrame = newFrame
            styleManager.style.showFrame(newFrame, forward)
        }
    }

    Component.onCompleted: {
        navigationManager.deviceFrames = deviceFrames
        navigationManager.mainFrame = deviceFrames.mainFrame
        navigationManager.currentFrame = deviceFrames.mainFrame
    }
}
