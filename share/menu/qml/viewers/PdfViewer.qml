import QtQuick
import Menu 1.0
import "base"

// The pages of a PDF file, one at a time, through the page item VPoppler.
BaseViewer {
    id: viewer
    objectName: "pdfViewer"

    readonly property alias flickable: flick
    readonly property alias renderer: poppler

    icon: "pdficon.png"
    caption: (poppler.title !== "" ? poppler.title : poppler.shortFileName)
             + (poppler.label !== "" ? " (" + poppler.label + ")" : "")
    canCountPages: true
    canScale: true
    canPageScroll: true
    minScale: 0.2
    maxScale: menuContext.embedded ? 2.1 : 5
    page: poppler.page
    pagesCount: poppler.pagesCount

    function clampContent() {
        flick.contentX = Math.max(0, Math.min(flick.contentX, flick.contentWidth - flick.width))
        flick.contentY = Math.max(0, Math.min(flick.contentY, flick.contentHeight - flick.height))
    }
    function moveBy(dx, dy) {
        flick.contentX += dx
        flick.contentY += dy
        clampContent()
    }
    function showPage(value) {
        if (poppler.pagesCount <= 0)
            return
        poppler.page = Math.max(1, Math.min(value, poppler.pagesCount))
        flick.contentY = 0
    }

    onGotoPage: (value) => showPage(value)
    onPageUp: {
        if (poppler.page > 1)
            showPage(poppler.page - 1)
    }
    onPageDown: {
        if (poppler.page < poppler.pagesCount)
            showPage(poppler.page + 1)
    }
    onMoveUp: moveBy(0, -keyMoveShift)
    onMoveDown: moveBy(0, keyMoveShift)
    onMoveLeft: moveBy(-keyMoveShift, 0)
    onMoveRight: moveBy(keyMoveShift, 0)

    // The point at the centre of the view stays there.
    onScaleChanged: {
        var cx = (flick.contentX + flick.width / 2) / Math.max(1, flick.contentWidth)
        var cy = (flick.contentY + flick.height / 2) / Math.max(1, flick.contentHeight)
        poppler.scale = scale
        flick.contentX = cx * flick.contentWidth - flick.width / 2
        flick.contentY = cy * flick.contentHeight - flick.height / 2
        clampContent()
    }

    Flickable {
        id: flick
        objectName: "pdfFlickable"
        parent: viewer.contentRect
        anchors.fill: parent
        clip: true
        contentWidth: poppler.width
        contentHeight: poppler.height
        flickableDirection: contentWidth > width ? Flickable.HorizontalAndVerticalFlick
                                                 : Flickable.VerticalFlick
        boundsBehavior: Flickable.StopAtBounds

        VPoppler {
            id: poppler
            objectName: "poppler"
            // Centred while narrower than the view.
            x: Math.max(0, (flick.width - width) / 2)
            source: viewer.source
        }
    }
}
