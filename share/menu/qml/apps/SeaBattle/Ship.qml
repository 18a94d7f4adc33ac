import QtQuick

// A row (orientation 1) or a column (orientation 2) of `size` parts, one cell each.
Item {
    id: ship

    property int size: 1
    property int orientation: 1
    property real cellWidth: 10
    property real cellHeight: 10
    readonly property bool vertical: orientation === 2

    width: vertical ? cellWidth : size * cellWidth
    height: vertical ? size * cellHeight : cellHeight

    Repeater {
        model: ship.size
        ShipPart {
            required property int index
            x: ship.vertical ? 0 : index * ship.cellWidth
            y: ship.vertical ? index * ship.cellHeight : 0
            width: ship.cellWidth
            height: ship.cellHeight
        }
    }
}
