import QtQuick

// One field of the game: water, grid, ships, damaged parts and shots from the player's models,
// a highlight of the selected cell and the pointer. Items given to it lie above the shots.
Item {
    id: field

    property int fieldWidth: 10
    property int fieldHeight: 10
    property var shipsModel: null
    property var shotsModel: null
    property var damagedPartsModel: null
    property bool showBackground: true
    property bool showCellHighlight: false
    readonly property real cellWidth: width / fieldWidth
    readonly property real cellHeight: height / fieldHeight
    readonly property alias pressed: mouseArea.pressed
    readonly property alias pointerX: mouseArea.mouseX
    readonly property alias pointerY: mouseArea.mouseY
    // The cell under the pointer (it may lie outside the field while a press is dragged out).
    readonly property int selectedX: Math.floor(pointerX / cellWidth)
    readonly property int selectedY: Math.floor(pointerY / cellHeight)
    default property alias overlay: overlayItem.data

    signal clicked

    Image {
        anchors.fill: parent
        source: "field.png"
        visible: field.showBackground
        smooth: true
    }
    Image {
        anchors.fill: parent
        source: "grid.png"
        smooth: true
    }
    Repeater {
        objectName: "ships"
        model: field.shipsModel
        delegate: Ship {
            x: model.cellX * field.cellWidth
            y: model.cellY * field.cellHeight
            size: model.size
            orientation: model.orientation
            cellWidth: field.cellWidth
            cellHeight: field.cellHeight
        }
    }
    Repeater {
        objectName: "damagedParts"
        model: field.damagedPartsModel
        delegate: DamagedPart {
            x: model.cellX * field.cellWidth
            y: model.cellY * field.cellHeight
            width: field.cellWidth
            height: field.cellHeight
        }
    }
    Repeater {
        objectName: "shots"
        model: field.shotsModel
        delegate: Shot {
            x: model.cellX * field.cellWidth
            y: model.cellY * field.cellHeight
            width: field.cellWidth
            height: field.cellHeight
        }
    }
    CellHighlight {
        objectName: "cellHighlight"
        anchors.fill: parent
        visible: field.showCellHighlight && field.pressed
        cellX: Math.max(0, Math.min(field.fieldWidth - 1, field.selectedX))
        cellY: Math.max(0, Math.min(field.fieldHeight - 1, field.selectedY))
        cellWidth: field.cellWidth
        cellHeight: field.cellHeight
    }
    Item {
        id: overlayItem
        anchors.fill: parent
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: field.clicked()
    }
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 2
        border.color: "black"
    }
}
