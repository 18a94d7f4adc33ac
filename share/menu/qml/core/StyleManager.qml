import QtQuick
import "../styles"

// Holds the current style; a binding, so that nothing depends on the order of completion.
Item {
    property var stylesArr: [baseStyle]
    property int styleIndex: 0
    property var style: stylesArr[styleIndex]
    property real percX: starter.windowWidth / 100

    BaseStyle {
        id: baseStyle
    }
}
