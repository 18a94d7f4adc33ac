import QtQuick

// Loads the viewer that suits the file's extension: PDF, or HTML; nothing for other files.
FocusScope {
    id: scroller

    property string filePath: ""
    readonly property string fileExt: {
        var dot = filePath.lastIndexOf(".")
        return dot >= 0 ? filePath.substring(dot + 1) : ""
    }
    readonly property string icon: fileExt.toLowerCase() === "pdf" ? "pdficon.png" : "htmlicon.png"
    readonly property string caption: loader.status === Loader.Ready && loader.item
                                      ? loader.item.caption : ""
    readonly property alias viewer: loader.item

    Loader {
        id: loader
        anchors.fill: parent
        focus: true
        source: {
            var ext = scroller.fileExt.toLowerCase()
            if (ext === "pdf")
                return "PdfViewer.qml"
            if (ext === "html" || ext === "htm")
                return "WebViewer.qml"
            return ""
        }
        onLoaded: {
            item.source = Qt.binding(function () { return scroller.filePath })
            item.forceActiveFocus()
        }
    }
}
