import QtQuick
import QtQuick.Particles
import "../../popups"
import "../../components"
import "core.js" as Core

// A board full of coloured balls: touching a group of two or more of one colour bursts it, the
// balls above fall and emptied columns close up to the left; the score grows with the square of
// the group. The game has no end.
BasePopup {
    id: balls

    caption: qsTr("Balls")
    icon: Qt.resolvedUrl("icon.png")
    allowMinimize: true
    showMinimizeButton: false
    overrideTopPanel: false

    property int score: 0
    // Where the balls' colours and the bursts' stacking come from; a test lays out a board with
    // a sequence of its own.
    property var randomSource: Math.random
    // The board's measures, as the last start found them.
    property real cellSize: 24
    property int columns: 0
    property int rows: 0
    readonly property alias canvas: canvas
    readonly property alias board: board

    function startNewGame() {
        Core.startNewGame()
    }
    function ballAt(x, y) {
        return Core.ballAt(x, y)
    }

    Rectangle {
        anchors.fill: parent
        color: "black"
    }
    Image {
        anchors.fill: parent
        source: "images/background.png"
        fillMode: Image.PreserveAspectCrop
        clip: true
        smooth: true
    }
    MouseArea {
        anchors.fill: parent
    }

    Item {
        id: canvas
        objectName: "ballsCanvas"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: toolbar.top

        Item {
            id: board
            objectName: "ballsBoard"
            anchors.centerIn: parent
            width: balls.columns * balls.cellSize
            height: balls.rows * balls.cellSize

            MouseArea {
                anchors.fill: parent
                z: 2000
                onPressed: mouse => Core.pressAt(mouse.x, mouse.y)
                onPositionChanged: mouse => Core.pressAt(mouse.x, mouse.y)
                onReleased: Core.release()
                onCanceled: Core.release()
                onClicked: mouse => Core.handleClick(mouse.x, mouse.y)
            }

            ParticleSystem {
                id: particleSystem
                anchors.fill: parent
                z: 1500
            }
            ImageParticle {
                system: particleSystem
                anchors.fill: parent
                z: 1500
                source: "images/boomparticle.png"
            }
            Emitter {
                id: burstEmitter
                system: particleSystem
                anchors.fill: parent
                enabled: false
                emitRate: 0
                lifeSpan: 700
                lifeSpanVariation: 600
                size: 16
                velocity: AngleDirection {
                    angleVariation: 360
                    magnitude: 100
                    magnitudeVariation: 100
                }
            }
        }
    }

    Rectangle {
        id: toolbar
        objectName: "ballsToolbar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: newGameButton.height + 4
        color: "#BBD7F3"

        Row {
            anchors.left: parent.left
            anchors.leftMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4

            CloseButton {
                objectName: "ballsCloseButton"
            }
            MinimizeButton {
                objectName: "ballsMinimizeButton"
                onClicked: balls.minimize()
            }
            Button {
                id: newGameButton
                objectName: "ballsNewGameButton"
                caption: qsTr("New Game")
                focus: true
                onClicked: {
                    Core.startNewGame()
                    if (menuContext.embedded) {
                        enabled = false
                        enableTimer.restart()
                    }
                }
            }
        }
        Text {
            objectName: "ballsScore"
            anchors.right: parent.right
            anchors.rightMargin: 3
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Score: ") + balls.score
            font.pixelSize: 24
        }
    }

    // On the instrument a held key must not start one game after another.
    Timer {
        id: enableTimer
        interval: 100
        onTriggered: {
            newGameButton.enabled = true
            newGameButton.forceActiveFocus()
        }
    }

    Component.onCompleted: Core.startNewGame()
}
