import QtQuick

// An editor that opens next to the item it edits; a click beside it closes it.
BaseEditor {
    property Item sourceItem: null
    property real widthCoeff: 1

    closeOnFaderClick: true

    // The editor covers the layer; a click on what it does not draw counts as outside.
    MouseArea {
        z: -1
        anchors.fill: parent
        onClicked: {
            if (parent.closeOnFaderClick)
                parent.closeEditor()
        }
    }

    // The source item's right edge and middle in this editor's parent.
    function sourceRight() {
        if (!sourceItem || !parent)
            return parent ? parent.width : 0
        return sourceItem.mapToItem(parent, sourceItem.width, 0).x
    }
    function sourceMiddle() {
        if (!sourceItem || !parent)
            return parent ? parent.height / 2 : 0
        return sourceItem.mapToItem(parent, 0, sourceItem.height / 2).y
    }
}
