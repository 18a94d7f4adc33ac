import QtQuick
import "base"
import "../components"

// Chooses one entry of a list; works by index when the start value is a number, else by entry.
BaseInlineEditor {
    id: listEditor

    property var model: prop && prop.model !== undefined ? prop.model : []
    property var initValue: prop ? prop.value : 0
    property int maxListCount: 100
    property alias listBox: listBox
    readonly property bool byIndex: typeof initValue === "number"

    value: listBox.value
    onValueChanged: updateValidity()

    function chooseIndex(index) {
        if (index < 0 || index >= listBox.count)
            return
        listBox.currentIndex = index
        applyAndClose()
    }

    Component.onCompleted: updateValidity()

    Keys.onPressed: event => {
                        if (event.key >= Qt.Key_1 && event.key <= Qt.Key_9) {
                            event.accepted = true
                            chooseIndex(event.key - Qt.Key_1)
                        }
                    }

    ListBox {
        id: listBox
        objectName: "listEditorBox"
        focus: true
        model: listEditor.model
        initValue: listEditor.initValue
        translateContext: listEditor.translate ? listEditor.translateContext : ""
        widthCoeff: listEditor.widthCoeff
        maxListCount: listEditor.maxListCount
        readonly property real arrowsHeight: count > maxListCount
                                             || count * itemHeight > listEditor.height
                                             ? 2 * itemHeight : 0
        readonly property real fullHeight: Math.min(count, maxListCount) * itemHeight
                                           + arrowsHeight
        readonly property bool largest: fullHeight >= listEditor.height
        height: Math.min(fullHeight, listEditor.height)
        x: Math.max(0, listEditor.sourceRight() - width)
        y: {
            if (largest)
                return (listEditor.height - height) / 2
            var current = Math.max(0, currentIndex)
            var wanted = listEditor.sourceMiddle() - (current + 0.5) * itemHeight
                         - arrowsHeight / 2
            return Math.max(0, Math.min(listEditor.height - height, wanted))
        }
        onClicked: index => listEditor.chooseIndex(index)
        onChanged: listEditor.resetAutoCloseTimer()
    }
}
