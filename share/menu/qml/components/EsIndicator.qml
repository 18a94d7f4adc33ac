import QtQuick

// The mark of emergency situations in the status strip.
Item {
    id: esIndicator

    signal clicked()

    height: 15 * styleManager.style.mm
    width: mark.implicitWidth + 10

    Text {
        id: mark
        objectName: "esMark"
        anchors.centerIn: parent
        text: "!"
        color: "#EE0000"
        style: Text.Outline
        styleColor: "#75FFFFFF"
        font.bold: true
        font.weight: Font.Black
        font.pixelSize: Math.max(1, esIndicator.height)
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: esIndicator.clicked()
    }
}
