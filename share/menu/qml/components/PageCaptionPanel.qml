import QtQuick

// A page's caption over a band that fades in and out along it.
Item {
    id: pageCaptionPanel

    property alias text: caption.text

    height: styleManager.style.frameHeaderHeight

    // A vertical gradient turned to run along the caption.
    Rectangle {
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: 5 / 2
        width: parent.height
        height: parent.width - 5
        rotation: -90
        gradient: Gradient {
            GradientStop {
                position: 0
                color: "transparent"
            }
            GradientStop {
                position: 0.2
                color: styleManager.style.pageCaptionBackColor
            }
            GradientStop {
                position: 0.4
                color: styleManager.style.pageCaptionBackColor
            }
            GradientStop {
                position: 1
                color: "transparent"
            }
        }
    }
    Text {
        id: caption
        anchors.fill: parent
        anchors.leftMargin: styleManager.style.pageCaptionLeftMargin
        anchors.rightMargin: styleManager.style.pageCaptionRightMargin
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: styleManager.style.pageCaptionAlignment === 1
                             ? Text.AlignHCenter
                             : styleManager.style.pageCaptionAlignment === 2 ? Text.AlignRight
                                                                              : Text.AlignLeft
        elide: Text.ElideRight
        color: styleManager.style.pageCaptionFontColor
        font.family: styleManager.style.pageCaptionFontFamily
        font.pixelSize: styleManager.style.pageCaptionFontSize
    }
}
