import QtQuick

// One key of the on-screen keypad. Each key takes its own touch point, so that shift can be held
// by one finger while another types.
Item {
    id: key

    property var keypad: null
    property string text: ""
    property string operation: text
    property bool upCase: keypad ? keypad.isUpperCase : false
    property bool checked: false
    readonly property bool isPressed: tap.pressed
    property string image: ""
    property real imageRotation: 0
    property alias label: label
    property alias tapHandler: tap
    property real fontSize: Math.max(styleManager.style.screenKeypadButtonFontSize, 0.4 * height)

    signal clicked
    signal pressed
    signal released

    objectName: "key_" + operation
    width: keypad ? keypad.buttonWidth : 0
    height: keypad ? keypad.buttonHeight : 0

    // Keys lie in rows of their layout: the layout is the nearest keypad above.
    Component.onCompleted: {
        for (var p = parent; p && !keypad; p = p.parent) {
            if (p.isBaseKeypad === true)
                keypad = p
        }
    }

    // What a tap does; special keys replace it.
    function activate() {
        clicked()
        if (keypad)
            keypad.buttonPressed(text, operation)
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: styleManager.style.screenKeypadButtonInnerMargin
        radius: styleManager.style.screenKeypadButtonRadius
        color: key.isPressed || key.checked ? styleManager.style.screenKeypadButtonPressedColor
                                            : styleManager.style.screenKeypadButtonColor
    }
    Image {
        anchors.centerIn: parent
        height: parent.height * 0.5
        width: parent.width - 2 * styleManager.style.screenKeypadButtonInnerMargin - 8
        fillMode: Image.PreserveAspectFit
        rotation: key.imageRotation
        source: key.image === "" ? "" : Qt.resolvedUrl("../../" + key.image)
        visible: key.image !== ""
    }
    Text {
        id: label
        anchors.centerIn: parent
        text: key.upCase ? key.text.toUpperCase() : key.text
        font.pixelSize: key.fontSize
        color: styleManager.style.keypadButtonTextColor
    }

    TapHandler {
        id: tap
        // A tap counts while the finger is released on the key, however long it was held.
        gesturePolicy: TapHandler.ReleaseWithinBounds
        longPressThreshold: 100000
        onPressedChanged: pressed ? key.pressed() : key.released()
        onTapped: key.activate()
    }
}
