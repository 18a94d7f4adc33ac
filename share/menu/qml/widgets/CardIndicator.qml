import QtQuick

// The memory card: error and busy marks over it; when there is none its images slide away and
// "no card" shows.
Item {
    id: cardIndicator

    property bool error: false
    property bool exists: true
    property bool busy: false
    readonly property string folder: "../" + styleManager.style.styleFolder

    signal clicked()

    width: 11 * styleManager.style.mm
    height: 25
    clip: true

    Item {
        id: cardImages
        objectName: "cardImages"
        width: parent.width
        height: parent.height
        y: cardIndicator.exists ? 0 : -cardIndicator.height
        opacity: cardIndicator.exists ? 1 : 0
        visible: opacity > 0
        Behavior on y {
            NumberAnimation {
                duration: 300
            }
        }
        Behavior on opacity {
            NumberAnimation {
                duration: 300
            }
        }

        Image {
            anchors.fill: parent
            fillMode: Image.PreserveAspectFit
            source: cardIndicator.folder + "card.png"
        }
        Image {
            objectName: "cardErrorImage"
            anchors.fill: parent
            fillMode: Image.PreserveAspectFit
            visible: cardIndicator.error
            source: cardIndicator.folder + "card_error.png"
        }
        Image {
            objectName: "cardBusyImage"
            anchors.fill: parent
            fillMode: Image.PreserveAspectFit
            visible: cardIndicator.busy
            source: cardIndicator.folder + "card_busy.png"
            RotationAnimation on rotation {
                running: cardIndicator.busy
                loops: Animation.Infinite
                from: 0
                to: 360
                duration: 500
            }
        }
    }
    Image {
        objectName: "cardNoImage"
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        source: cardIndicator.folder + "card_no.png"
        opacity: cardIndicator.exists ? 0 : 1
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: 300
            }
        }
    }
    Rectangle {
        anchors.fill: parent
        color: "#22FFFFFF"
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: cardIndicator.clicked()
    }
}
