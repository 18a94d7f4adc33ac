import QtQuick
import Menu 1.0
import "base"

// An HTML page as Qt's rich text in a flickable area: the page's layout width is the area's, and
// the zoom scales the drawn page about the centre of the view.
BaseViewer {
    id: viewer
    objectName: "webViewer"

    readonly property alias flickable: flick
    readonly property alias textItem: page
    readonly property string url: htmlFile.url

    icon: "htmlicon.png"
    caption: htmlFile.title !== "" ? htmlFile.title : htmlFile.url
    canScale: true
    canPageScroll: true

    function clampContent() {
        flick.contentX = Math.max(0, Math.min(flick.contentX, flick.contentWidth - flick.width))
        flick.contentY = Math.max(0, Math.min(flick.contentY, flick.contentHeight - flick.height))
    }
    function moveBy(dx, dy) {
        flick.contentX += dx
        flick.contentY += dy
        clampContent()
    }

    onPageUp: moveBy(0, -flick.height)
    onPageDown: moveBy(0, flick.height)
    onMoveUp: moveBy(0, -keyMoveShift)
    onMoveDown: moveBy(0, keyMoveShift)
    onMoveLeft: moveBy(-keyMoveShift, 0)
    onMoveRight: moveBy(keyMoveShift, 0)

    // The point at the centre of the view stays there.
    property real shownScale: 1
    onScaleChanged: {
        var cx = (flick.contentX + flick.width / 2) / Math.max(1, flick.contentWidth)
        var cy = (flick.contentY + flick.height / 2) / Math.max(1, flick.contentHeight)
        shownScale = scale
        flick.contentX = cx * flick.contentWidth - flick.width / 2
        flick.contentY = cy * flick.contentHeight - flick.height / 2
        clampContent()
    }

    HtmlFile {
        id: htmlFile
        source: viewer.source
    }

    Flickable {
        id: flick
        objectName: "webFlickable"
        parent: viewer.contentRect
        anchors.fill: parent
        clip: true
        contentWidth: page.width * viewer.shownScale
        contentHeight: page.height * viewer.shownScale
        flickableDirection: contentWidth > width ? Flickable.HorizontalAndVerticalFlick
                                                 : Flickable.VerticalFlick
        boundsBehavior: Flickable.StopAtBounds

        Rectangle {
            width: Math.max(flick.width, flick.contentWidth)
            height: Math.max(flick.height, flick.contentHeight)
            color: "white"
        }
        Text {
            id: page
            objectName: "webText"
            width: flick.width
            padding: 8
            scale: viewer.shownScale
            transformOrigin: Item.TopLeft
            textFormat: Text.RichText
            wrapMode: Text.Wrap
            baseUrl: htmlFile.url
            text: htmlFile.text
            color: "black"
            font.family: "DejaVu Sans"
            font.pixelSize: 16
        }
    }
}
