import QtQuick

// Shows one frame of the menu tree at a time and performs the changes the navigation manager
// asks for. The tree comes from `source`; tests give it one of their own.
FocusScope {
    id: frameScroller
    objectName: "frameScroller"

    property url source: Qt.resolvedUrl("../sources/DeviceFrames.qml")
    property var deviceFrames: loader.item
    property var mainFrame: deviceFrames ? deviceFrames.mainFrame : null
    property var currentFrame: null

    onMainFrameChanged: navigationManager.mainFrame = mainFrame
    onCurrentFrameChanged: navigationManager.currentFrame = currentFrame
    onDeviceFramesChanged: {
        navigationManager.deviceFrames = deviceFrames
        if (deviceFrames)
            gotoFrame(deviceFrames.mainFrame, true)
    }

    function gotoFrame(newFrame, forward) {
        if (newFrame === currentFrame)
            return
        var oldFrame = currentFrame
        if (oldFrame) {
            styleManager.style.hideFrame(oldFrame, forward)
            oldFrame.hidden(forward)
            currentFrame = null
        }
        currentFrame = newFrame
        if (newFrame) {
            if (newFrame instanceof Item)
                newFrame.forceActiveFocus()
            newFrame.shown(forward)
            styleManager.style.showFrame(newFrame, forward)
        }
    }

    Loader {
        id: loader
        anchors.fill: parent
        focus: true
        source: frameScroller.source
    }

    Connections {
        target: navigationManager
        function onGotoFrameInternal(newFrame, forward) {
            frameScroller.gotoFrame(newFrame, forward)
        }
    }

    Keys.onPressed: event => {
                        if (event.key !== Qt.Key_Backspace && event.key !== Qt.Key_Escape
                                && event.key !== Qt.Key_Left)
                            return
                        var frame = currentFrame
                        if (frame && (frame.prevFrame || frame.prevPage >= 0)) {
                            event.accepted = true
                            navigationManager.gotoFrameBackward()
                        }
                    }
}
