import QtQuick

// A row of tabs; the first tab is selected once tabs appear and none is.
ListViewAdvanced {
    id: tabControl

    function clicked(coord) {
        var index = indexAt(coord.x + contentX, coord.y + contentY)
        if (index >= 0)
            currentIndex = index
    }

    orientation: ListView.Horizontal
    interactive: false
    width: count * styleManager.style.tabWidth
    height: styleManager.style.tabHeight

    onCountChanged: {
        if (count > 0 && (currentIndex < 0 || currentIndex >= count))
            currentIndex = 0
    }
}
