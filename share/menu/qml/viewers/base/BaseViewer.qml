import QtQuick
import "../../components"

// The frame every document viewer shares: its caption and icon, the zoom and page navigators in a
// column at the right edge, and the keys. A viewer sets what it can do and answers the signals.
FocusScope {
    id: viewer

    property string caption: ""
    property string icon: ""
    property string source: ""

    property bool canPageScroll: false
    signal pageUp()
    signal pageDown()

    property bool canCountPages: false
    property int page: 1
    property int pagesCount: 0
    signal gotoPage(int value)

    property bool canScale: false
    property real scaleCoeff: 1.2
    // The document's zoom; it overrides the item's own drawing scale, which stays 1.
    property real scale: 1
    // A bound of 0 means no bound.
    property real minScale: 0
    property real maxScale: 0
    signal scalingIn()
    signal scalingOut()

    property bool canKeyMove: true
    property real keyMoveShift: 10
    signal moveUp()
    signal moveDown()
    signal moveLeft()
    signal moveRight()

    readonly property alias contentRect: contentRect
    readonly property alias scaleNavigator: scaleNavigator
    readonly property alias pageNavigator: pageNavigator

    function scaleIn() {
        var next = scale * scaleCoeff
        if (maxScale > 0 && next > maxScale)
            return false
        scale = next
        scalingIn()
        return true
    }
    function scaleOut() {
        var next = scale / scaleCoeff
        if (minScale > 0 && next < minScale)
            return false
        scale = next
        scalingOut()
        return true
    }

    clip: true

    Keys.onPressed: (event) => {
        var handled = true
        switch (event.key) {
        case Qt.Key_PageUp:
            handled = canPageScroll
            if (handled)
                pageUp()
            break
        case Qt.Key_PageDown:
            handled = canPageScroll
            if (handled)
                pageDown()
            break
        case Qt.Key_Plus:
        case Qt.Key_Return:
            handled = canScale
            if (handled)
                scaleIn()
            break
        case Qt.Key_Minus:
        case Qt.Key_Backspace:
            handled = canScale
            if (handled)
                scaleOut()
            break
        case Qt.Key_Up:
            handled = canKeyMove
            if (handled)
                moveUp()
            break
        case Qt.Key_Down:
            handled = canKeyMove
            if (handled)
                moveDown()
            break
        case Qt.Key_Left:
            handled = canKeyMove
            if (handled)
                moveLeft()
            break
        case Qt.Key_Right:
            handled = canKeyMove
            if (handled)
                moveRight()
            break
        default:
            handled = false
        }
        event.accepted = handled
    }

    // Keeps clicks on the viewer from reaching the menu below.
    MouseArea {
        anchors.fill: parent
    }

    Item {
        id: contentRect
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.right: navigationColumn.left
        anchors.rightMargin: 5
    }

    Column {
        id: navigationColumn
        z: 1
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: 130
        width: Math.max(scaleNavigator.width, pageNavigator.width)
        spacing: 30

        ScaleNavigator {
            id: scaleNavigator
            visible: viewer.canScale
            anchors.horizontalCenter: parent.horizontalCenter
            onScaleIn: viewer.scaleIn()
            onScaleOut: viewer.scaleOut()
        }
        PageNavigator {
            id: pageNavigator
            visible: viewer.canCountPages
            anchors.horizontalCenter: parent.horizontalCenter
            page: viewer.page
            pagesCount: viewer.pagesCount
            onGotoPage: (value) => viewer.gotoPage(value)
        }
    }
}
