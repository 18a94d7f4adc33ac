import QtQuick

// One tab of a tab control; a click passes its position to the control.
FocusScope {
    id: tab

    property string caption: ""
    readonly property bool active: ListView.isCurrentItem
    readonly property var tabControl: ListView.view
    readonly property bool pressed: mouseArea.pressed

    width: styleManager.style.tabWidth
    height: styleManager.style.tabHeight

    Rectangle {
        anchors.fill: parent
        color: tab.active ? styleManager.style.focusedColor : styleManager.style.menuItemBackColor
        opacity: tab.active ? 1 : 0.5
        border.width: styleManager.style.menuItemBorderWidth
        border.color: styleManager.style.menuItemBorderColor
        radius: styleManager.style.menuItemRadius
    }
    FocusRect {
        filled: false
        active: tab.tabControl ? tab.tabControl.activeFocus && tab.active : tab.activeFocus
    }
    Text {
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        text: tab.caption
        font.family: styleManager.style.smallFontFamily
        font.pixelSize: styleManager.style.smallFontSize
        color: styleManager.style.mediumFontColor
    }
    Rectangle {
        anchors.fill: parent
        color: styleManager.style.pressedColor
        opacity: 0.5
        visible: tab.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: !menuContext.embedded
        onClicked: mouse => {
                       if (tab.tabControl)
                           tab.tabControl.clicked(tab.mapToItem(tab.tabControl, mouse.x, mouse.y))
                   }
        MouseOverRect {
            visible: parent.containsMouse
        }
    }
}
