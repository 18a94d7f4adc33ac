import QtQuick
import "../components"

// A files explorer in a frame dialog; its choice is passed on as choosed(filePath).
BaseFrameDialog {
    id: dialog

    readonly property alias filesExplorer: explorer

    signal choosed(string filePath)

    FilesExplorer {
        id: explorer
        parent: dialog.frameItem
        anchors.fill: parent
        anchors.margins: 7
        anchors.topMargin: dialog.captionItem.height + 7
        clip: true
        focus: true
        showExtension: false
        onChoosed: (filePath, baseName) => dialog.choosed(filePath)
    }
}
