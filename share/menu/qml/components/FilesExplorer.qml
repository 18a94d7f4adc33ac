import QtQuick
import Menu 1.0

// The files of a folder: a row is chosen, or entered when it is a folder and navigation is on.
FocusScope {
    id: explorer

    property alias rootDir: filesModel.rootDir
    property alias directory: filesModel.directory
    property alias isRootDir: filesModel.isRootDir
    property alias fileFilter: filesModel.fileFilter
    property alias dirFilter: filesModel.dirFilter
    property alias showDotDot: filesModel.showDotDot
    property alias showDirs: filesModel.showDirs
    property alias translateContext: filesModel.translateContext
    property alias model: filesModel
    property alias listView: list
    readonly property string selected: list.currentItem ? list.currentItem.path : ""
    property bool canChooseFile: true
    property bool canChooseDir: false
    property bool canNavigate: false
    property bool showExtension: true
    property bool translateFileName: false
    // The document's form after its name ("Guide (PDF)"), for folders that hold one document
    // in several forms under one name.
    property bool showFormat: false
    property real fontPixelSize: 7 * starter.mm

    signal choosed(string filePath, string baseName)

    function formatOf(suffix) {
        var lower = suffix.toLowerCase()
        return lower === "htm" ? "HTML" : lower.toUpperCase()
    }
    function rowText(row) {
        var name = translateFileName ? (showExtension ? row.fileNameTr : row.baseNameTr)
                                     : (showExtension ? row.fileName : row.baseName)
        return showFormat && !row.isDir && row.suffix !== ""
                ? name + " (" + formatOf(row.suffix) + ")" : name
    }

    function fill() {
        filesModel.fill()
    }

    // Going up leaves the folder just left current, or the first row.
    function goUp() {
        var left = filesModel.directory
        if (!filesModel.cdUp())
            return false
        var index = filesModel.indexOf(left)
        list.currentIndex = index >= 0 ? index : 0
        return true
    }

    function enter(index) {
        var row = list.itemAtIndex(index)
        if (!row)
            return
        list.currentIndex = index
        if (row.isDir) {
            if (canChooseDir) {
                choosed(row.path, row.baseName)
            } else if (canNavigate) {
                if (row.isDotDot) {
                    goUp()
                } else {
                    filesModel.directory = row.path
                    list.currentIndex = 0
                }
            }
        } else if (canChooseFile) {
            choosed(row.path, translateFileName ? row.baseNameTr : row.baseName)
        }
    }

    VFilesModel {
        id: filesModel
    }

    ListView {
        id: list
        anchors.fill: parent
        focus: true
        clip: true
        model: filesModel
        keyNavigationEnabled: true
        highlightMoveDuration: 100
        // A refilled folder starts at its first row.
        onCountChanged: {
            if (count > 0 && (currentIndex < 0 || currentIndex >= count))
                currentIndex = 0
        }
        highlight: Rectangle {
            color: styleManager.style.focusedColor
            radius: 3
        }
        delegate: Item {
            readonly property string path: model.path
            readonly property bool isDir: model.isDir
            readonly property bool isDotDot: model.isDotDot
            readonly property string baseName: model.baseName
            readonly property string baseNameTr: model.baseNameTr

            width: list.width
            height: styleManager.style.menuItemRowHeight

            Text {
                anchors.fill: parent
                anchors.leftMargin: 2 * starter.mm
                anchors.rightMargin: 2 * starter.mm
                verticalAlignment: Text.AlignVCenter
                text: explorer.rowText(model)
                font.pixelSize: explorer.fontPixelSize
                font.bold: model.isDir
                elide: Text.ElideMiddle
                color: styleManager.style.mediumFontColor
            }
            MouseArea {
                anchors.fill: parent
                onClicked: explorer.enter(index)
            }
        }
    }

    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                            explorer.enter(list.currentIndex)
                            event.accepted = true
                        } else if (event.key === Qt.Key_Backspace && explorer.canNavigate
                                   && !filesModel.isRootDir) {
                            explorer.goUp()
                            event.accepted = true
                        }
                    }
}
