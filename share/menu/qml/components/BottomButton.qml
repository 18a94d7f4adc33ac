import QtQuick

// A flat button of the bottom panel.
Rectangle {
    id: bottomButton

    property alias text: caption.text
    property alias font: caption.font
    property string image: ""
    property bool smallImage: false
    readonly property bool pressed: mouseArea.pressed && (mouseArea.pressedButtons & Qt.LeftButton)
                                    && !suppressClick
    property alias imageItem: imageItem
    property alias mouseArea: mouseArea
    // Set by a derived button that consumed the current press: its release is no click.
    property bool suppressClick: false

    signal clicked
    signal rightClicked

    color: pressed ? styleManager.style.bottomButtonBackColor_pressed
                   : styleManager.style.bottomButtonBackColor
    border.width: 1
    border.color: styleManager.style.bottomButtonBackColor

    Behavior on color {
        ColorAnimation {
            duration: bottomButton.pressed ? styleManager.style.bottomButtonDuration_pressed
                                           : styleManager.style.bottomButtonDuration_unPressed
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "#11000000"
        visible: mouseArea.containsMouse
    }

    Image {
        id: imageItem
        anchors.centerIn: parent
        source: bottomButton.image === "" ? "" : Qt.resolvedUrl("../" + bottomButton.image)
        scale: bottomButton.smallImage ? 0.5 : 1
        visible: source != ""
    }

    Text {
        id: caption
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: bottomButton.pressed ? styleManager.style.bottomButtonFontColor_pressed
                                    : styleManager.style.bottomButtonFontColor
        font.family: styleManager.style.bottomButtonFontFamily
        font.pixelSize: Math.min(styleManager.style.bottomButtonFontSize, bottomButton.height * 0.4)
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        hoverEnabled: !menuContext.embedded
        onPressed: bottomButton.suppressClick = false
        onClicked: mouse => {
                       if (mouse.button === Qt.RightButton)
                           bottomButton.rightClicked()
                       else if (!bottomButton.suppressClick)
                           bottomButton.clicked()
                   }
    }
}
