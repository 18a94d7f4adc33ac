import QtQuick

// A horizontal and a vertical band through the selected cell of a field.
Item {
    id: highlight

    property int cellX: 0
    property int cellY: 0
    property real cellWidth: 10
    property real cellHeight: 10

    Rectangle {
        objectName: "cellHighlightRow"
        y: highlight.cellY * highlight.cellHeight
        width: highlight.width
        height: highlight.cellHeight
        color: "#332222FF"
    }
    Rectangle {
        objectName: "cellHighlightColumn"
        x: highlight.cellX * highlight.cellWidth
        width: highlight.cellWidth
        height: highlight.height
        color: "#332222FF"
    }
}
