import QtQuick

// A key of the calculator's pad: its operation is pressed by a click. It flashes while pressed
// and fades back to its own colour.
Item {
    id: key

    property string text: ""
    property string operation: text
    property color color: "transparent"
    property bool showBorder: true
    property int rowSpan: 1
    property int colSpan: 1
    property real keyWidth: 50
    property real keyHeight: 50
    property real fontSize: 25
    property alias image: keyImage.source
    readonly property alias pressed: mouse.pressed

    signal pressOperation(string operation)

    width: keyWidth * colSpan
    height: keyHeight * rowSpan

    Rectangle {
        id: face
        anchors.fill: parent
        color: mouse.pressed ? "#F07746" : key.color
        Behavior on color {
            enabled: !mouse.pressed
            ColorAnimation {
                duration: 300
            }
        }
    }
    Image {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 4
        source: "buttonborder.png"
        fillMode: Image.Stretch
        visible: key.showBorder
    }
    Rectangle {
        anchors.fill: parent
        color: "#222222FF"
        visible: mouse.pressed
    }
    Text {
        anchors.centerIn: parent
        text: key.text
        visible: key.text !== ""
        color: "#EEEEEE"
        style: Text.Raised
        styleColor: "#333333"
        font.family: "DejaVu Sans"
        font.pixelSize: key.fontSize
    }
    Image {
        id: keyImage
        anchors.centerIn: parent
        visible: source != ""
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        onClicked: key.pressOperation(key.operation)
    }
}
