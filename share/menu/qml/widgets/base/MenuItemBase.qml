import QtQuick
import ".."

// A menu row: it leads to a page, a frame or a mini-application, or shows a property that a
// click toggles or edits.
FocusScope {
    id: menuItemBase

    property alias prop: propReader.prop
    property string caption: prop && prop.caption !== undefined ? prop.caption
                                                              : (frame && frame.caption !== undefined
                                                                 ? frame.caption : "")
    property int pageIndex: -1
    property var frame: null
    property string app: ""
    property bool togglable: false
    readonly property bool propReadOnly: prop !== null && prop.readOnly === true
    property bool editable: !propReadOnly
    property bool hidden: false
    property bool clickable: hidden ? false : !propReadOnly
    property bool skip: !clickable
    property bool showBackground: clickable
    property bool pressed: mouseArea.pressed
    property alias widgetShown: propReader.widgetShown
    property alias mouseArea: mouseArea

    signal clicked
    signal edit

    visible: !hidden
    // Hidden rows stay out of input too (opacity alone would not).
    enabled: !hidden

    function listViewOf() {
        for (var p = menuItemBase.parent; p; p = p.parent) {
            if (p.indexAt !== undefined && p.currentIndex !== undefined)
                return p
        }
        return null
    }

    onClicked: {
        if (!clickable)
            return
        var view = listViewOf()
        if (view) {
            var centre = menuItemBase.mapToItem(view.contentItem, width / 2, height / 2)
            var index = view.indexAt(centre.x, centre.y)
            if (index >= 0)
                view.currentIndex = index
        }
        if (pageIndex >= 0)
            navigationManager.gotoPage(pageIndex)
        else if (frame)
            navigationManager.gotoFrame(frame, true)
        else if (app !== "")
            screenManager.showApp(app)
        else if (prop && !propReadOnly) {
            if (togglable)
                prop.toggle()
            else if (editable)
                edit()
        }
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                || event.key === Qt.Key_Space) {
                            event.accepted = true
                            menuItemBase.clicked()
                        }
                    }

    WidgetPropReader {
        id: propReader
        fromItem: menuItemBase
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        enabled: menuItemBase.clickable
        visible: menuItemBase.clickable
        acceptedButtons: Qt.LeftButton | Qt.MiddleButton
        hoverEnabled: !menuContext.embedded
        onClicked: menuItemBase.clicked()
    }
}
