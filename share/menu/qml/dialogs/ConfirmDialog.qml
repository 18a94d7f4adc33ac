import QtQuick
import "../components"

// A yes-or-no question. It answers once; a click on the fader closes it without an answer.
BaseFrameDialog {
    id: dialog

    property string yesCaption: qsTr("Yes")
    property string noCaption: qsTr("No")
    property bool defaultAnswer: false
    property bool answered: false
    readonly property alias yesButton: yesButton
    readonly property alias noButton: noButton

    signal choosed(bool result)

    function answer(result) {
        if (answered)
            return
        answered = true
        choosed(result)
    }

    closeOnFaderClick: true
    height: Math.max(contentColumn.height, styleManager.style.dialogMinHeight)

    Item {
        parent: dialog.contentColumn
        width: parent.width
        height: buttons.height + styleManager.style.dialogMargin

        Row {
            id: buttons
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 4 * starter.mm

            Button {
                id: yesButton
                objectName: "confirmYesButton"
                caption: dialog.yesCaption
                focus: dialog.defaultAnswer
                onClicked: dialog.answer(true)
                KeyNavigation.right: noButton
            }
            Button {
                id: noButton
                objectName: "confirmNoButton"
                caption: dialog.noCaption
                focus: !dialog.defaultAnswer
                onClicked: dialog.answer(false)
                KeyNavigation.left: yesButton
            }
        }
    }

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Escape || event.key === Qt.Key_No) {
            dialog.answer(false)
            event.accepted = true
        } else if (event.key === Qt.Key_Yes) {
            dialog.answer(true)
            event.accepted = true
        }
    }
}
