import QtQuick
import "base"
import "../components"

// Reads its property's register exactly while its controller is shown.
BaseWidget {
    id: widgetPropReader

    property alias prop: reader.prop
    property alias active: reader.active

    ModbusPropReader {
        id: reader
        active: widgetPropReader.widgetShown
    }
}
