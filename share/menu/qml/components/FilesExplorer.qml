// Stand-in until the controls land: the files explorer's properties and signal over a plain list
// of names (the folder model comes with the real one).
import QtQuick

FocusScope {
    id: explorer

    property string rootDir: ""
    property string directory: ""
    readonly property bool isRootDir: directory === rootDir
    property var fileFilter: []
    property var dirFilter: []
    property bool showDotDot: false
    property bool showDirs: true
    property string translateContext: ""
    property string selected: list.currentIndex >= 0 && list.currentIndex < list.count
                              ? directory + "/" + list.model[list.currentIndex] : ""
    property bool canChooseFile: true
    property bool canChooseDir: false
    property bool canNavigate: false
    property bool showExtension: true
    property bool translateFileName: false
    property real fontPixelSize: 7 * starter.mm
    property alias model: list.model

    signal choosed(string filePath, string baseName)

    function fill() {
    }

    function baseNameOf(name) {
        var dot = name.lastIndexOf(".")
        return dot > 0 ? name.substring(0, dot) : name
    }

    ListView {
        id: list
        anchors.fill: parent
        focus: true
        clip: true
        model: []
        delegate: Text {
            width: list.width
            height: styleManager.style.menuItemRowHeight
            verticalAlignment: Text.AlignVCenter
            text: explorer.showExtension ? modelData : explorer.baseNameOf(modelData)
            font.pixelSize: explorer.fontPixelSize
            elide: Text.ElideMiddle
            MouseArea {
                anchors.fill: parent
                onClicked: {
                    list.currentIndex = index
                    explorer.choosed(explorer.directory + "/" + modelData,
                                     explorer.baseNameOf(modelData))
                }
            }
        }
    }
}
