// Stand-in for the home button: the style's image that reacts to a click.
import QtQuick

Rectangle {
    id: homeButton

    property string image: ""

    signal clicked

    color: mouseArea.pressed ? styleManager.style.bottomButtonBackColor_pressed
                             : styleManager.style.bottomButtonBackColor

    Image {
        anchors.centerIn: parent
        height: parent.height * 0.7
        fillMode: Image.PreserveAspectFit
        source: homeButton.image === "" ? "" : "../" + homeButton.image
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: homeButton.clicked()
    }
}
