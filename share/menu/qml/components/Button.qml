// Stand-in until the controls land: a button with the real one's properties, signal and keys.
import QtQuick

FocusScope {
    id: button

    property string caption: ""
    property bool flat: false
    property bool checkable: false
    property bool checked: false
    property bool autoExpand: true
    property bool continuousPress: false
    property int continuousPressPause: 700
    property int continuousPressInterval: 200
    property alias image: imageItem.source
    property alias imageItem: imageItem
    property string imageState: ""
    property bool imageSmooth: true
    property real mousePadding: -1 * starter.mm
    property real mousePaddingH: mousePadding
    property real mousePaddingV: mousePadding
    property real pressedOffset: 1
    property bool focusOnClick: false
    readonly property bool pressed: mouseArea.pressed
    property bool manualPressed: false
    readonly property bool realPressed: pressed || manualPressed
    readonly property bool focused: activeFocus && navigationManager.keyboardNavigation
    property real radius: styleManager.style.baseButtonRadius
    property var prop: null
    property bool toggleOnClick: true

    signal clicked()

    function click() {
        if (!enabled)
            return
        if (focusOnClick)
            forceActiveFocus()
        if (checkable)
            checked = !checked
        if (prop && toggleOnClick && typeof prop.toggle === "function")
            prop.toggle()
        clicked()
    }

    width: autoExpand ? Math.max(styleManager.style.baseButtonWidth, captionText.implicitWidth + 20)
                      : styleManager.style.baseButtonWidth
    height: styleManager.style.baseButtonHeight

    Rectangle {
        anchors.fill: parent
        visible: !button.flat
        radius: button.radius
        color: button.realPressed ? styleManager.style.baseButtonFontColor_pressed
                                  : button.checked ? styleManager.style.focusedColor
                                                   : styleManager.style.baseButtonBackColor
        border.width: styleManager.style.menuItemBorderWidth
        border.color: button.checked ? styleManager.style.menuItemBorderCheckedColor
                                     : styleManager.style.menuItemBorderColor
    }
    Rectangle {
        anchors.fill: parent
        radius: button.radius
        color: "transparent"
        border.width: styleManager.style.focusedBorderWidth
        border.color: "#99000000"
        visible: button.activeFocus
    }
    Image {
        id: imageItem
        anchors.centerIn: parent
        smooth: button.imageSmooth
        opacity: button.enabled ? 1 : 0.5
    }
    Text {
        id: captionText
        anchors.centerIn: parent
        text: button.prop && button.caption === "" ? button.prop.caption : button.caption
        font.family: styleManager.style.mediumFontFamily
        font.pixelSize: styleManager.style.mediumFontSize
        color: button.enabled ? styleManager.style.baseButtonFontColor
                              : styleManager.style.baseButtonFontColor_disabled
        opacity: button.checkable && !button.checked ? 0.4 : 1
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        anchors.margins: button.mousePadding
        onClicked: button.click()
    }
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Enter || event.key === Qt.Key_Return || event.key === Qt.Key_Space) {
            if (button.enabled)
                button.clicked()
            event.accepted = true
        }
    }
}
