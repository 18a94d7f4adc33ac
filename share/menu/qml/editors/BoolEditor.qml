import QtQuick
import "base"
import "../components"

// Two buttons, "yes" and "no"; the one with the focus shows itself checked.
BaseInlineEditor {
    id: boolEditor

    property alias yesButton: yesButton
    property alias noButton: noButton

    value: prop ? prop.value : false

    function choose(answer) {
        value = answer
        applyAndClose()
    }

    Component.onCompleted: (value ? yesButton : noButton).forceActiveFocus()

    Row {
        spacing: 2 * starter.mm
        x: Math.max(0, boolEditor.sourceRight() - width)
        y: Math.max(0, Math.min(boolEditor.height - height, boolEditor.sourceMiddle() - height / 2))

        Button {
            id: yesButton
            objectName: "yesButton"
            caption: qsTr("yes")
            checkable: true
            checked: activeFocus
            toggleOnClick: false
            KeyNavigation.right: noButton
            onClicked: boolEditor.choose(true)
        }
        Button {
            id: noButton
            objectName: "noButton"
            caption: qsTr("no")
            checkable: true
            checked: activeFocus
            toggleOnClick: false
            KeyNavigation.left: yesButton
            onClicked: boolEditor.choose(false)
        }
    }
}
