// Stand-in for the running text: one line, centred, scrolling through while running and too
// wide to fit.
import QtQuick

Item {
    id: runningText

    property alias text: label.text
    property alias color: label.color
    property bool running: false

    clip: true

    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        x: (runningText.width - width) / 2
        font.family: styleManager.style.topFontFamily
        font.pixelSize: Math.max(10, runningText.height * 0.6)
    }
}
