import QtQuick
import Menu 1.0
import "../frametypes/base"
import "../components"

// The saved configurations of the configurations folder, newest first: load one, show it in the
// file manager, delete it, load any other file, or save the instrument's configuration anew.
BaseFrame {
    id: frame

    caption: qsTr("Saving/loading configuration")

    readonly property bool canWork: deviceModbus.connected === true && !exportManager.active
    readonly property alias filesModel: filesModel
    readonly property alias listView: list
    readonly property alias loadButton: loadButton
    readonly property alias loadFromFileButton: loadFromFileButton
    readonly property alias saveButton: saveButton
    // The row's part that Enter acts on: 0 the name, 1 the file-manager button, 2 delete.
    property int column: 0
    readonly property var columns: menuContext.embedded ? [0, 2] : [0, 1, 2]

    function refresh() {
        var current = list.currentItem ? list.currentItem.path : ""
        filesModel.fill()
        var index = current !== "" ? filesModel.indexOf(current) : -1
        list.currentIndex = index >= 0 ? index : (list.count > 0 ? 0 : -1)
    }

    function focusStart() {
        if (list.count > 0)
            list.forceActiveFocus()
        else
            saveButton.forceActiveFocus()
    }

    function measuringNote() {
        return deviceProps.measureStatus.measuring
                ? "\n\n" + qsTr("(measuring will be temporarily suspended)") : ""
    }

    function showProgress(saving) {
        exportManager.showProgress(saving)
    }

    function askLoad(path, baseName) {
        if (exportManager.active)
            return
        // A no-break space keeps the question mark with the name it asks about.
        screenManager.showConfirmDialog(qsTr("Load configuration ") + "\"" + baseName + "\""
                                        + "\u00A0?" + measuringNote(), function (yes) {
                                            if (!yes)
                                                return
                                            if (deviceProps.calibrationStarted) {
                                                screenManager.showMessageBoxDialog(
                                                            qsTr("Please, stop all adjustments before loading configuration"))
                                                return
                                            }
                                            frame.showProgress(false)
                                            exportManager.importConfig(path)
                                        })
    }

    function loadCurrent() {
        if (!list.currentItem)
            return
        askLoad(list.currentItem.path, list.currentItem.baseName)
    }

    function loadFromFile() {
        var fileName = menuContext.executeOpenFileDialog(
                    qsTranslate("Configurations", "Load from file"), menuContext.modbusConfigsDir,
                    "XML files (*.xml);;All files (*.*)")
        if (!fileName)
            return
        if (deviceProps.calibrationStarted) {
            screenManager.showMessageBoxDialog(
                        qsTr("Please, stop all adjustments before loading configuration"))
            return
        }
        askLoad(fileName, menuContext.getFileBaseName(fileName))
    }

    function save() {
        if (exportManager.active)
            return
        screenManager.showConfirmDialog(qsTr("Save current device configuration?") + measuringNote(),
                                        function (yes) {
                                            if (!yes)
                                                return
                                            if (deviceProps.calibrationStarted) {
                                                screenManager.showMessageBoxDialog(
                                                            qsTr("Please, stop all adjustments before saving configuration"))
                                                return
                                            }
                                            frame.showProgress(true)
                                            exportManager.exportConfig(deviceProps.time.value)
                                        })
    }

    function deleteRow(index) {
        var row = list.itemAtIndex(index)
        if (!row)
            return
        list.currentIndex = index
        var fileName = row.fileName
        screenManager.showConfirmDialog(qsTr("Are you sure want to delete config ") + "\""
                                        + row.baseName + "\"" + "\u00A0?", function (yes) {
                                            if (!yes)
                                                return
                                            exportManager.deleteConfig(fileName)
                                            frame.refresh()
                                            if (list.count === 0)
                                                saveButton.forceActiveFocus()
                                        })
    }

    function openInFileManager(index) {
        var row = list.itemAtIndex(index)
        if (!row || menuContext.embedded)
            return
        list.currentIndex = index
        menuContext.openFileExplorer(row.dirPath, row.fileName)
    }

    function act(index, onColumn) {
        if (onColumn === 1)
            openInFileManager(index)
        else if (onColumn === 2)
            deleteRow(index)
        else {
            list.currentIndex = index
            loadCurrent()
        }
    }

    function moveColumn(step) {
        var at = columns.indexOf(column)
        var next = Math.max(0, Math.min(columns.length - 1, (at < 0 ? 0 : at) + step))
        column = columns[next]
    }

    onShown: {
        column = 0
        refresh()
        focusStart()
    }

    Connections {
        target: exportManager
        function onExportCompleted() {
            frame.refresh()
        }
    }

    VFilesModel {
        id: filesModel
        directory: menuContext.modbusConfigsDir
        rootDir: menuContext.modbusConfigsDir
        showDirs: false
        showDotDot: false
        fileFilter: ["*.xml"]
        sort: VFilesModel.SortByTime
    }

    ListView {
        id: list
        objectName: "configsList"
        anchors.left: frame.clientRect.left
        anchors.right: frame.clientRect.right
        anchors.top: frame.clientRect.top
        anchors.bottom: buttons.top
        anchors.margins: 1 * starter.mm
        clip: true
        focus: true
        model: filesModel
        keyNavigationEnabled: false
        highlightMoveDuration: 100
        currentIndex: -1
        onCountChanged: {
            if (count > 0 && (currentIndex < 0 || currentIndex >= count))
                currentIndex = 0
        }

        delegate: Item {
            id: row
            readonly property string path: model.path
            readonly property string fileName: model.fileName
            readonly property string baseName: model.baseName
            readonly property string dirPath: model.dirPath
            readonly property bool isCurrent: ListView.isCurrentItem
            readonly property real buttonSize: height - 2 * starter.mm

            width: list.width
            height: styleManager.style.menuItemRowHeight

            Rectangle {
                anchors.fill: nameArea
                radius: 3
                color: styleManager.style.focusedColor
                visible: row.isCurrent
                opacity: list.activeFocus && frame.column === 0 ? 1 : 0.45
            }
            Item {
                id: nameArea
                anchors.left: parent.left
                anchors.right: explorerButton.visible ? explorerButton.left : deleteButton.left
                anchors.rightMargin: 1 * starter.mm
                height: parent.height

                Text {
                    id: arrow
                    anchors.left: parent.left
                    anchors.leftMargin: 2 * starter.mm
                    anchors.verticalCenter: parent.verticalCenter
                    text: "\u25B6"
                    font.pixelSize: styleManager.style.menuItemCaptionFontSize * 0.7
                    color: styleManager.style.mediumFontColor
                }
                Text {
                    objectName: "configName"
                    anchors.left: arrow.right
                    anchors.leftMargin: 2 * starter.mm
                    anchors.right: parent.right
                    anchors.rightMargin: 2 * starter.mm
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.baseName
                    elide: Text.ElideMiddle
                    font.pixelSize: styleManager.style.menuItemCaptionFontSize
                    color: styleManager.style.mediumFontColor
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        list.currentIndex = index
                        frame.column = 0
                        list.forceActiveFocus()
                    }
                }
            }
            SmallButton {
                id: explorerButton
                objectName: "configExplorerButton"
                visible: !menuContext.embedded
                anchors.right: deleteButton.left
                anchors.rightMargin: 1 * starter.mm
                anchors.verticalCenter: parent.verticalCenter
                width: row.buttonSize
                height: row.buttonSize
                caption: "\u2026"
                activeFocusOnTab: false
                onClicked: frame.openInFileManager(index)
                FocusRect {
                    active: row.isCurrent && list.activeFocus && frame.column === 1
                    filled: false
                }
            }
            SmallButton {
                id: deleteButton
                objectName: "configDeleteButton"
                anchors.right: parent.right
                anchors.rightMargin: 1 * starter.mm
                anchors.verticalCenter: parent.verticalCenter
                width: row.buttonSize
                height: row.buttonSize
                caption: "\u2715"
                activeFocusOnTab: false
                onClicked: frame.deleteRow(index)
                FocusRect {
                    active: row.isCurrent && list.activeFocus && frame.column === 2
                    filled: false
                }
            }
        }

        Keys.onPressed: event => {
                            if (event.key === Qt.Key_Down) {
                                if (list.currentIndex < list.count - 1)
                                    list.currentIndex += 1
                                else if (loadButton.enabled)
                                    loadButton.forceActiveFocus()
                                else
                                    saveButton.forceActiveFocus()
                                event.accepted = true
                            } else if (event.key === Qt.Key_Up) {
                                if (list.currentIndex > 0)
                                    list.currentIndex -= 1
                                event.accepted = true
                            } else if (event.key === Qt.Key_Left) {
                                frame.moveColumn(-1)
                                event.accepted = true
                            } else if (event.key === Qt.Key_Right) {
                                frame.moveColumn(1)
                                event.accepted = true
                            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                                if (list.currentIndex >= 0)
                                    frame.act(list.currentIndex, frame.column)
                                event.accepted = true
                            } else if (event.key === Qt.Key_Delete) {
                                if (list.currentIndex >= 0)
                                    frame.deleteRow(list.currentIndex)
                                event.accepted = true
                            }
                        }
    }

    Text {
        objectName: "noConfigsText"
        anchors.centerIn: list
        visible: list.count === 0
        text: qsTr("No saved configurations")
        font.pixelSize: styleManager.style.menuItemCaptionFontSize
        color: styleManager.style.mediumFontColor
        opacity: 0.6
    }

    // Load, Load from file and Save share the bottom row in thirds (Load from file only on the
    // desktop).
    Row {
        id: buttons
        readonly property int count: loadFromFileButton.visible ? 3 : 2
        readonly property real cell: (width - (count - 1) * spacing) / count
        anchors.left: frame.clientRect.left
        anchors.right: frame.clientRect.right
        anchors.bottom: frame.clientRect.bottom
        anchors.margins: 2 * starter.mm
        height: styleManager.style.baseButtonHeight
        spacing: 2 * starter.mm

        Button {
            id: loadButton
            objectName: "configLoadButton"
            width: buttons.cell
            autoExpand: false
            caption: qsTr("Load")
            // A third of the row is narrow for some languages: two lines, smaller if need be.
            captionItem.width: width - 2 * starter.mm
            captionItem.height: height - 1 * starter.mm
            captionItem.wrapMode: Text.WordWrap
            captionItem.fontSizeMode: Text.Fit
            captionItem.minimumPixelSize: styleManager.style.mediumFontSize * 0.6
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.verticalAlignment: Text.AlignVCenter
            enabled: frame.canWork && list.currentIndex >= 0 && list.count > 0
            onClicked: frame.loadCurrent()
            KeyNavigation.up: list
            KeyNavigation.right: loadFromFileButton.visible ? loadFromFileButton : saveButton
        }
        Button {
            id: loadFromFileButton
            objectName: "configLoadFromFileButton"
            visible: !menuContext.embedded
            width: buttons.cell
            autoExpand: false
            caption: qsTranslate("Configurations", "Load from file")
            // A third of the row is narrow for some languages: two lines, smaller if need be.
            captionItem.width: width - 2 * starter.mm
            captionItem.height: height - 1 * starter.mm
            captionItem.wrapMode: Text.WordWrap
            captionItem.fontSizeMode: Text.Fit
            captionItem.minimumPixelSize: styleManager.style.mediumFontSize * 0.6
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.verticalAlignment: Text.AlignVCenter
            enabled: frame.canWork
            onClicked: frame.loadFromFile()
            KeyNavigation.up: list
            KeyNavigation.left: loadButton
            KeyNavigation.right: saveButton
        }
        Button {
            id: saveButton
            objectName: "configSaveButton"
            width: buttons.cell
            autoExpand: false
            caption: qsTr("Save")
            // A third of the row is narrow for some languages: two lines, smaller if need be.
            captionItem.width: width - 2 * starter.mm
            captionItem.height: height - 1 * starter.mm
            captionItem.wrapMode: Text.WordWrap
            captionItem.fontSizeMode: Text.Fit
            captionItem.minimumPixelSize: styleManager.style.mediumFontSize * 0.6
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.verticalAlignment: Text.AlignVCenter
            enabled: frame.canWork
            onClicked: frame.save()
            KeyNavigation.up: list
            KeyNavigation.left: loadFromFileButton.visible ? loadFromFileButton : loadButton
        }
    }
}
