import QtQuick
import "../components"

// A button showing a property whose register is read while the button is shown.
Button {
    id: widgetButton

    property alias widgetShown: propReader.widgetShown

    WidgetPropReader {
        id: propReader
        fromItem: widgetButton
        prop: widgetButton.prop
    }
}
