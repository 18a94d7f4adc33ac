import QtQuick
import "base"
import "../frametypes"

BasePage {
    objectName: "centerPage"
    pageCaptionPanel.visible: false

    FrameScroller {
        anchors.fill: parent
        focus: true
    }
}
