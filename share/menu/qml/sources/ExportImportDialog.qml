import QtQuick
import "../dialogs"
import "../components"

// The progress of a configuration save or load: its file, a bar over the items handled and a
// button that stops the work while it runs and closes the dialog after it.
BaseFrameDialog {
    id: dialog

    objectName: "exportImportDialog"

    property bool saving: true
    property bool completed: false
    property bool failed: false
    property string message: ""
    property real progress: 1
    readonly property alias progressBar: progressBar
    readonly property alias button: button

    caption: failed ? message
                    : completed ? (saving ? qsTr("Saving successfully completed")
                                          : qsTr("Loading successfully completed"))
                                : (saving ? qsTr("Saving configuration ...")
                                          : qsTr("Loading configuration ..."))
    captionTextItem.color: failed ? "#EE0000" : styleManager.style.mediumFontColor
    // Taller only when a reason below the bar needs the room.
    height: Math.max(280, dialog.captionItem.height + body.implicitHeight + button.height
                     + 3 * styleManager.style.dialogMargin + 4)
    showCloseButton: false
    showMinimizeButton: false

    // Closed while the work runs (Escape, the popups' own close): the work stops with it.
    onClosing: {
        if (exportManager.active)
            exportManager.stop()
    }
    // Swept away otherwise (Home, a page change): the manager shows it again while it works.
    Component.onDestruction: {
        if (typeof exportManager !== "undefined" && exportManager)
            exportManager.progressGone()
    }

    Connections {
        target: exportManager
        function onProcessedChanged() {
            if (exportManager.active && dialog.visible)
                dialog.progress = exportManager.processed
        }
        function onExportCompleted() {
            dialog.progress = progressBar.maximumValue
            dialog.completed = true
        }
        function onImportCompleted() {
            dialog.progress = progressBar.maximumValue
            dialog.completed = true
        }
        function onError(message) {
            dialog.message = message
            dialog.failed = true
        }
    }

    readonly property string detail: failed ? exportManager.errorDetail
                                            : completed && !saving && exportManager.itemsTaken >= 0
                                              ? qsTr("Items loaded: %1").arg(exportManager.itemsTaken)
                                              : ""

    Item {
        parent: dialog.contentColumn
        width: parent.width
        height: dialog.height - dialog.captionItem.height - 4

        Column {
            id: body
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: styleManager.style.dialogMargin
            spacing: 3 * starter.mm

            Text {
                objectName: "exportImportName"
                width: parent.width
                text: qsTr("Name: ") + exportManager.configName
                elide: Text.ElideMiddle
                font.family: styleManager.style.mediumFontFamily
                font.pixelSize: styleManager.style.mediumFontSize
                color: styleManager.style.mediumFontColor
            }
            ProgressBar {
                id: progressBar
                objectName: "exportImportProgress"
                width: parent.width
                height: 8 * starter.mm
                minimumValue: 1
                maximumValue: exportManager.total > 1 ? exportManager.total : 2
                value: dialog.progress
            }
            Text {
                objectName: "exportImportDetail"
                width: parent.width
                visible: text !== ""
                text: dialog.detail
                wrapMode: Text.Wrap
                maximumLineCount: 4
                elide: Text.ElideRight
                font.family: styleManager.style.mediumFontFamily
                font.pixelSize: styleManager.style.mediumFontSize
                color: dialog.failed ? "#EE0000" : styleManager.style.mediumFontColor
            }
        }

        Button {
            id: button
            objectName: "exportImportButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: styleManager.style.dialogMargin
            caption: exportManager.active ? qsTr("Stop") : qsTr("Ok")
            // The ending puts the instrument back: it cannot be stopped.
            enabled: !exportManager.ending
            focus: true
            onClicked: {
                if (exportManager.active)
                    exportManager.stop()
                else
                    dialog.close()
            }
        }
    }
}
