import QtQuick
import "../../components"

// A captioned area of the menu tree; visible only while it is the current frame.
FocusScope {
    id: baseFrame

    property bool active: navigationManager.currentFrame === baseFrame
    property bool widgetShown: active
    property alias caption: header.caption
    property var prevFrame: null
    property int prevPage: -1
    property string xmlIndexPath: ""
    property string xmlXPath: ""
    property bool headerVisible: true
    property alias clientRect: clientRectItem
    property alias frameHeader: header
    property alias backgroundImage: backgroundImageItem
    property alias translateTransform: translateItem
    property alias scaleTransform: scaleItem

    signal shown(bool forward)
    signal hidden(bool forward)

    anchors.fill: parent
    anchors.margins: styleManager.style.frameMargins
    clip: true
    visible: active
    enabled: active

    transform: [
        Translate { id: translateItem },
        Scale {
            id: scaleItem
            origin.x: baseFrame.width / 2
            origin.y: baseFrame.height / 2
        }
    ]

    // Clicks on the frame stay here, off what lies below it.
    MouseArea {
        anchors.fill: parent
    }
    Rectangle {
        anchors.fill: parent
        color: styleManager.style.frameBackColor
        border.color: styleManager.style.frameBorderColor
        border.width: styleManager.style.frameBorderWidth
        radius: styleManager.style.frameRadius
    }
    Image {
        id: backgroundImageItem
        anchors.fill: parent
        visible: styleManager.style.frameBackgroundImage !== ""
        source: visible ? Qt.resolvedUrl("../../" + styleManager.style.frameBackgroundImage) : ""
        fillMode: styleManager.style.frameBackgroundFillMode
    }
    FrameHeader {
        id: header
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        visible: baseFrame.headerVisible
    }
    Rectangle {
        id: clientRectItem
        anchors.fill: parent
        anchors.topMargin: (header.visible ? header.height : 0)
                           + styleManager.style.frameClientRectTopMargin
        anchors.leftMargin: styleManager.style.frameClientRectLeftMargin
        anchors.rightMargin: styleManager.style.frameClientRectRightMargin
        anchors.bottomMargin: styleManager.style.frameClientRectBottomMargin
        color: styleManager.style.frameClientRectColor
        border.width: styleManager.style.frameClientRectBorderWidth
        border.color: styleManager.style.frameClientRectBorderColor
        gradient: styleManager.style.frameClientRectGradient
        radius: styleManager.style.frameClientRectRadius
    }
}
