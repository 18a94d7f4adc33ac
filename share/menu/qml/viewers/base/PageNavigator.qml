import QtQuick
import "../../components"

// The page number, typed and confirmed with Enter or Return, and a page up and down by touch.
Column {
    id: navigator

    property int page: 1
    property int pagesCount: 0
    readonly property alias pageInput: pageInput
    readonly property alias upButton: upButton
    readonly property alias downButton: downButton

    signal gotoPage(int value)

    spacing: 5

    SmallButton {
        id: upButton
        objectName: "pageUpButton"
        anchors.horizontalCenter: parent.horizontalCenter
        caption: "\u2191"
        enabled: navigator.page > 1
        onClicked: navigator.gotoPage(navigator.page - 1)
    }
    TextInputDefault {
        id: pageInput
        objectName: "pageInput"
        width: 15 * starter.mm
        text: String(navigator.page)
        input.horizontalAlignment: TextInput.AlignHCenter
        validator: IntValidator {
            bottom: 1
        }
        onKeyPressed: (event) => {
            if (event.key === Qt.Key_Enter || event.key === Qt.Key_Return) {
                var value = parseInt(pageInput.text)
                if (!isNaN(value))
                    navigator.gotoPage(value)
                // A page the viewer refused or clamped leaves the page as it was: the field
                // shows the page actually shown, not the number typed.
                pageInput.text = String(navigator.page)
                event.accepted = true
            }
        }
    }
    SmallButton {
        id: downButton
        objectName: "pageDownButton"
        anchors.horizontalCenter: parent.horizontalCenter
        caption: "\u2193"
        enabled: navigator.page < navigator.pagesCount
        onClicked: navigator.gotoPage(navigator.page + 1)
    }

    // The field shows the page once it is left or another page is shown.
    onPageChanged: pageInput.text = String(page)
}
