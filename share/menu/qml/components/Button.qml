import QtQuick
import "base"

// A button that may show and toggle a property.
BaseButton {
    id: button

    property var prop: null
    property bool toggleOnClick: true

    caption: prop && prop.caption !== undefined ? prop.caption : ""

    onClicked: {
        if (prop && toggleOnClick && typeof prop.toggle === "function")
            prop.toggle()
    }
}
