import QtQuick
import "../../components"

// Zoom in and out, by touch.
Column {
    id: navigator

    readonly property alias plusButton: plusButton
    readonly property alias minusButton: minusButton

    signal scaleIn()
    signal scaleOut()

    spacing: 5

    SmallButton {
        id: plusButton
        objectName: "scaleInButton"
        caption: "+"
        onClicked: navigator.scaleIn()
    }
    SmallButton {
        id: minusButton
        objectName: "scaleOutButton"
        caption: "-"
        onClicked: navigator.scaleOut()
    }
}
