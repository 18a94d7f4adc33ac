import QtQuick

// The back arrow of a frame's header.
Image {
    source: Qt.resolvedUrl("../" + styleManager.style.styleFolder + "prevframe.png")
    height: 7 * starter.mm
    fillMode: Image.PreserveAspectFit
    smooth: !navigationManager.pagesFlicking
}
