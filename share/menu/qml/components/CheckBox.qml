import QtQuick

// A check box with its text; a click toggles it, then reports the click.
FocusScope {
    id: checkBox

    property bool checked: false
    property alias text: label.text
    readonly property bool pressed: mouseArea.pressed

    signal clicked(var mouse)

    height: styleManager.style.checkBoxHeight
    width: label.implicitWidth + 15 + icon.width + 2 * styleManager.style.checkBoxMargin

    FocusRect {
        active: checkBox.activeFocus
    }
    Image {
        id: icon
        anchors.left: parent.left
        anchors.leftMargin: styleManager.style.checkBoxMargin
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height * 0.6
        width: height
        fillMode: Image.PreserveAspectFit
        source: Qt.resolvedUrl("../" + (checkBox.checked ? styleManager.style.checkBoxCheckedIcon
                                                         : styleManager.style.checkBoxUncheckedIcon))
    }
    Text {
        id: label
        anchors.left: icon.right
        anchors.leftMargin: 15
        anchors.verticalCenter: parent.verticalCenter
        font.family: styleManager.style.checkBoxFontFamily
        font.pixelSize: styleManager.style.checkBoxFontSize
        color: styleManager.style.mediumFontColor
    }
    Rectangle {
        anchors.fill: parent
        color: styleManager.style.pressedColor
        opacity: 0.5
        visible: checkBox.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: !menuContext.embedded
        onClicked: mouse => {
                       checkBox.checked = !checkBox.checked
                       checkBox.clicked(mouse)
                   }
        MouseOverRect {
            visible: parent.containsMouse
        }
    }
    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                            || event.key === Qt.Key_Space) {
                            checkBox.checked = !checkBox.checked
                            checkBox.clicked(null)
                            event.accepted = true
                        }
                    }
}
