// Stand-in for the bottom button: a caption that reacts to a click.
import QtQuick

Rectangle {
    id: bottomButton

    property alias text: caption.text
    property alias font: caption.font

    signal clicked

    color: mouseArea.pressed ? styleManager.style.bottomButtonBackColor_pressed
                             : styleManager.style.bottomButtonBackColor

    Text {
        id: caption
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: styleManager.style.bottomButtonFontColor
        font.family: styleManager.style.bottomButtonFontFamily
        font.pixelSize: Math.min(styleManager.style.bottomButtonFontSize, bottomButton.height * 0.4)
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: bottomButton.clicked()
    }
}
