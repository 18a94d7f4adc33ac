import QtQuick
import "../../../../share/menu/qml/components"

// What a text editor shows above the on-screen keypad: a strip with the field being typed into.
Rectangle {
    property alias text: field.text

    height: styleManager.style.screenEditFieldHeight
    color: "#2575a2"

    TextInputDefault {
        id: field
        anchors.centerIn: parent
        width: parent.width * 0.7
        focus: true
        Component.onCompleted: input.forceActiveFocus()
    }
}
