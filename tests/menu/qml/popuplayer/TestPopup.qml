import QtQuick
import "../../../../share/menu/qml/popups"

// A small popup for the layer's tests: it counts its close requests and has a focusable field.
BasePopup {
    id: testPopup

    property int closeRequests: 0
    property alias field: field

    onClose: closeRequests++

    Rectangle {
        anchors.centerIn: parent
        width: 200
        height: 100
        color: "#DDEEFF"
        Text {
            anchors.centerIn: parent
            text: testPopup.caption
        }
    }

    Item {
        id: field
        focus: true
    }
}
