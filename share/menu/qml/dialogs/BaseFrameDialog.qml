import QtQuick
import "../components"

// A framed dialog of the style's dialog size whose content column starts with the caption.
BaseDialog {
    id: dialog

    readonly property alias captionItem: captionItem
    readonly property alias captionTextItem: captionTextItem
    readonly property alias frameItem: frameItem
    readonly property alias contentColumn: contentColumn

    width: styleManager.style.dialogWidth
    height: styleManager.style.dialogHeight

    // Clicks on the dialog stay in it; they must not reach the pages or the popups below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.MiddleButton | Qt.RightButton
    }

    Rectangle {
        id: frameItem
        anchors.fill: parent
        anchors.margins: 2
        color: "#EEEEFF"
        border.color: "black"
        border.width: 2
        radius: 15
        clip: true

        BorderImage {
            anchors.fill: parent
            anchors.margins: 2
            source: "../" + styleManager.style.dialogsBackgroundImage
            border { left: 15; top: 15; right: 15; bottom: 15 }
        }

        // Not a focus scope: what the dialogs put in it takes the focus of the dialog itself.
        Column {
            id: contentColumn
            width: parent.width
            anchors.top: parent.top

            Item {
                id: captionItem
                width: parent.width
                height: Math.max(captionTextItem.height + 2 * styleManager.style.dialogMargin,
                                 styleManager.style.dialogCaptionItemMinHeight)

                DialogCaption {
                    id: captionTextItem
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.leftMargin: styleManager.style.dialogMargin
                    anchors.rightMargin: styleManager.style.dialogMargin
                    horizontalAlignment: Text.AlignHCenter
                    // A long file name has no break of its own: it breaks where the line ends.
                    wrapMode: Text.Wrap
                    text: dialog.caption
                }
            }
        }
    }
}
