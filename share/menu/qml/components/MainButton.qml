import QtQuick

// A large tile of the main frame that opens its frame.
FocusScope {
    id: mainButton

    property var frame: null
    property string caption: frame && frame.caption !== undefined ? frame.caption : ""
    property string image: ""
    property string image_pressed: ""
    readonly property bool pressed: mouseArea.pressed
    property alias captionItem: captionText

    signal clicked

    function click() {
        forceActiveFocus()
        clicked()
        if (frame)
            navigationManager.gotoFrame(frame, true)
    }

    width: styleManager.style.mainButtonWidth
    height: styleManager.style.mainButtonHeight

    Rectangle {
        id: shadow
        x: inner.x + 3
        y: inner.y + 3
        width: inner.width
        height: inner.height
        radius: inner.radius
        color: "#52000000"
    }

    Rectangle {
        id: inner
        width: styleManager.style.mainButtonImageWidth
        height: styleManager.style.mainButtonImageHeight
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: -3 * starter.mm
        radius: styleManager.style.mainButtonRadius
        border.width: styleManager.style.mainButtonBorderWidth
        border.color: styleManager.style.mainButtonBorderColor
        color: mainButton.pressed ? styleManager.style.mainButtonBackColor_pressed
                                  : styleManager.style.mainButtonBackColor
        Behavior on color {
            ColorAnimation {
                duration: mainButton.pressed ? styleManager.style.mainButtonDuration_pressed
                                             : styleManager.style.mainButtonDuration_unPressed
            }
        }

        FocusRect {
            radius: inner.radius
            filled: false
            active: mainButton.activeFocus
        }

        Image {
            id: normalImage
            anchors.centerIn: parent
            source: mainButton.image === "" ? "" : Qt.resolvedUrl("../" + mainButton.image)
            // The base style keeps the normal image while pressed.
            opacity: mainButton.pressed && styleManager.style.mainButtonShowPressedImage === true
                     ? 0 : 1
        }
        Image {
            anchors.centerIn: parent
            source: mainButton.image_pressed === "" ? ""
                                                     : Qt.resolvedUrl("../" + mainButton.image_pressed)
            opacity: 1 - normalImage.opacity
            visible: opacity > 0
        }
    }

    Text {
        id: captionText
        anchors.top: inner.bottom
        anchors.topMargin: 1 * starter.mm
        anchors.left: parent.left
        anchors.right: parent.right
        height: 13 * starter.mm
        text: mainButton.caption
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        style: Text.Outline
        styleColor: styleManager.style.mainButtonFontStyleColor
        font.family: styleManager.style.mainButtonFontFamily
        font.pixelSize: styleManager.style.mainButtonFontSize
        color: styleManager.style.mainButtonFontColor
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: !menuContext.embedded
        onClicked: mainButton.click()
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                            mainButton.click()
                            event.accepted = true
                        }
                    }
}
