import QtQuick
import ".."

// The base of the menu's buttons: a caption or an image on the style's face, clicked by touch,
// Enter, Return or Space, with auto-repeat while held when continuousPress is set.
FocusScope {
    id: button

    property string caption: ""
    property bool flat: false
    property bool checkable: false
    property bool checked: false
    property bool autoExpand: true
    property bool continuousPress: false
    property int continuousPressPause: typeof deviceKeypad !== "undefined" && deviceKeypad
                                       ? deviceKeypad.autoRepeatPause : 700
    property int continuousPressInterval: 200
    property alias image: imageItem.source
    property alias imageItem: imageItem
    property alias imageState: imageItem.state
    property alias imageSmooth: imageItem.smooth
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
    property alias captionItem: captionText
    property alias backgroundItem: background

    // Set once the auto-repeat stepped during the current press: its release is no click.
    property bool repeatedThisPress: false

    signal clicked

    function click() {
        if (!enabled)
            return
        if (focusOnClick)
            forceActiveFocus()
        if (checkable)
            checked = !checked
        clicked()
    }

    width: autoExpand ? Math.max(styleManager.style.baseButtonWidth, captionText.implicitWidth + 20)
                      : styleManager.style.baseButtonWidth
    height: styleManager.style.baseButtonHeight

    onRealPressedChanged: {
        if (realPressed)
            repeatedThisPress = false
    }

    Item {
        id: face
        anchors.fill: parent
        transform: Translate {
            x: button.realPressed ? button.pressedOffset : 0
            y: button.realPressed ? button.pressedOffset : 0
        }

        ButtonsBackground {
            id: background
            anchors.fill: parent
            visible: !button.flat
            radius: button.radius
            checked: button.checked
            pressed: button.realPressed
        }
        FocusRect {
            radius: button.radius
            filled: false
            active: button.activeFocus
        }
        MouseOverRect {
            radius: button.radius
            visible: mouseArea.containsMouse
        }
        Image {
            id: imageItem
            anchors.horizontalCenter: button.caption === "" ? parent.horizontalCenter : undefined
            anchors.verticalCenter: parent.verticalCenter
            anchors.left: button.caption === "" ? undefined : parent.left
            anchors.leftMargin: 2 * starter.mm
            opacity: button.enabled ? 1 : 0.5
            states: State {
                name: "leftTop"
                AnchorChanges {
                    target: imageItem
                    anchors.horizontalCenter: undefined
                    anchors.verticalCenter: undefined
                    anchors.left: face.left
                    anchors.top: face.top
                }
                PropertyChanges {
                    target: imageItem
                    anchors.leftMargin: 2 * starter.mm
                    anchors.topMargin: 2 * starter.mm
                }
            }
        }
        Text {
            id: captionText
            anchors.centerIn: parent
            text: button.caption
            font.family: styleManager.style.mediumFontFamily
            font.pixelSize: styleManager.style.mediumFontSize
            color: button.enabled ? styleManager.style.baseButtonFontColor
                                  : styleManager.style.baseButtonFontColor_disabled
            opacity: button.checkable && !button.checked ? 0.4 : 1
        }
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        anchors.leftMargin: button.mousePaddingH
        anchors.rightMargin: button.mousePaddingH
        anchors.topMargin: button.mousePaddingV
        anchors.bottomMargin: button.mousePaddingV
        hoverEnabled: !menuContext.embedded
        onClicked: {
            if (!(button.continuousPress && button.repeatedThisPress))
                button.click()
        }
    }

    Timer {
        id: repeatTimer
        repeat: true
        interval: button.continuousPressPause
        running: button.continuousPress && button.realPressed && button.enabled
        onRunningChanged: interval = button.continuousPressPause
        onTriggered: {
            interval = button.continuousPressInterval
            button.repeatedThisPress = true
            button.click()
        }
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Enter || event.key === Qt.Key_Return
                            || event.key === Qt.Key_Space) {
                            if (button.enabled)
                                button.click()
                            event.accepted = true
                        }
                    }
}
