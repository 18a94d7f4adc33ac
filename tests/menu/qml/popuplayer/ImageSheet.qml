import QtQuick

// The base style's pictures side by side, each over its name, for a reviewer.
Rectangle {
    id: sheet

    property var names: []
    property url folder

    color: "#9AA6B4"

    Flow {
        anchors.fill: parent
        anchors.margins: 4
        spacing: 4

        Repeater {
            model: sheet.names
            Column {
                width: sheet.width > 700 ? 92 : 74
                spacing: 1
                Rectangle {
                    width: parent.width
                    height: sheet.width > 700 ? 48 : 36
                    color: "#C8D0DA"
                    Image {
                        anchors.fill: parent
                        anchors.margins: 2
                        fillMode: Image.PreserveAspectFit
                        source: sheet.folder + modelData
                        asynchronous: false
                    }
                }
                Text {
                    width: parent.width
                    text: modelData.replace(".png", "")
                    font.pixelSize: 8
                    elide: Text.ElideMiddle
                    horizontalAlignment: Text.AlignHCenter
                }
            }
        }
    }
}
