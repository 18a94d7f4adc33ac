import QtQuick

// The program's log, one line per record; it follows new lines only while the user is at the end.
BaseFrameDialog {
    id: dialog

    readonly property alias listView: list
    // How close to the end (px) the view must be for new lines to scroll it.
    property real followDistance: 50

    closeOnFaderClick: true

    Rectangle {
        parent: dialog.frameItem
        anchors.fill: parent
        anchors.margins: 20
        anchors.topMargin: dialog.captionItem.height
        color: "#121232"

        ListView {
            id: list
            objectName: "logListView"
            anchors.fill: parent
            anchors.margins: 10
            clip: true
            focus: true
            model: contextLog
            property bool atEnd: true

            delegate: Text {
                x: 7
                width: list.width - 7
                text: message
                color: "white"
                elide: Text.ElideRight
            }

            onContentYChanged: updateAtEnd()
            onContentHeightChanged: {
                if (atEnd)
                    positionViewAtEnd()
                updateAtEnd()
            }
            onHeightChanged: updateAtEnd()
            Component.onCompleted: positionViewAtEnd()

            function updateAtEnd() {
                atEnd = contentY + height >= originY + contentHeight - dialog.followDistance
            }
        }
    }
}
