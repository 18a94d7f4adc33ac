import QtQuick
import "../../../../share/menu/qml/styles"

// A root of the given pixel density and window size with the base style in it: the style reads
// both from `starter`, as it does under the shell.
Item {
    id: starter

    property real mm: 96 / 25.4
    property real windowWidth: 800
    property real windowHeight: 600
    readonly property alias style: style

    BaseStyle {
        id: style
    }
}
