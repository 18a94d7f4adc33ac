import QtQuick
import "../../components"

// A page of the centre panel: a clipping focus scope with its caption strip at the top.
FocusScope {
    id: basePage

    property alias caption: pageCaptionPanel.text
    property bool active: false
    property alias pageCaptionPanel: pageCaptionPanel

    clip: true

    PageCaptionPanel {
        id: pageCaptionPanel
        anchors.top: parent.top
        anchors.topMargin: styleManager.style.pageCaptionTopMargin
        anchors.left: parent.left
        anchors.right: parent.right
    }
}
