import QtQuick
import "../components"

// A message with one "Ok" button that closes it.
BaseFrameDialog {
    id: dialog

    readonly property alias okButton: okButton

    closeOnFaderClick: true
    height: contentColumn.height + 25

    Item {
        parent: dialog.contentColumn
        width: parent.width
        height: okButton.height

        Button {
            id: okButton
            objectName: "messageBoxOkButton"
            anchors.horizontalCenter: parent.horizontalCenter
            caption: qsTr("Ok")
            focus: true
            onClicked: dialog.close()
        }
    }
}
