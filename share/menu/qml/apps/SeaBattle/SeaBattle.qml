import QtQuick
import SeaBattle 1.0
import "../../popups"
import "../../components"

// The sea battle against the computer: the user arranges the fleet on the big field (or lets
// "Auto" do it), starts the fight and shoots at the computer's field; the small field shows the
// user's own fleet under the computer's shots.
BasePopup {
    id: seaBattle

    caption: qsTr("Sea battle")
    icon: Qt.resolvedUrl("icon.png")
    allowMinimize: true
    showMinimizeButton: false
    overrideTopPanel: false

    readonly property alias gameCore: gameCore
    readonly property alias player: player
    readonly property alias wallyPlayer: wallyPlayer
    readonly property alias bigField: bigField
    readonly property alias smallField: smallField

    // 1 horizontal, 2 vertical, as the ship models have it.
    property int arrangeOrientation: 1
    readonly property bool arrangeVertical: arrangeOrientation === 2
    readonly property int arrangementShipSize: player.arrangementShipSize
    // The pressed cell, moved so that a ship of the next size lies wholly inside the field.
    readonly property int arrangementX: Math.max(0, Math.min(gameCore.fieldWidth
                                                             - (arrangeVertical ? 1 : arrangementShipSize),
                                                             bigField.selectedX))
    readonly property int arrangementY: Math.max(0, Math.min(gameCore.fieldHeight
                                                             - (arrangeVertical ? arrangementShipSize : 1),
                                                             bigField.selectedY))
    // Re-asked whenever the own fleet changes, as the player's answer depends on it.
    readonly property bool canPlaceShip: selfShipsCount >= 0 && player.state >= 0
                                         && player.canPlaceShip(arrangementX, arrangementY,
                                                                arrangementShipSize, arrangeVertical)
    property int selfShipsCount: ownShips.count

    GameCore {
        id: gameCore
        player1: player
        player2: wallyPlayer
    }
    Player {
        id: player
    }
    WallyPlayer {
        id: wallyPlayer
        delay: 10
    }

    // Counts the own fleet, so that the placement answer follows it.
    Repeater {
        id: ownShips
        model: player.selfShipsModel
        Item {}
    }

    Rectangle {
        anchors.fill: parent
        color: "white"
    }
    Image {
        anchors.fill: parent
        source: "background.png"
        fillMode: Image.PreserveAspectCrop
        clip: true
        smooth: true
    }
    MouseArea {
        anchors.fill: parent
    }

    Item {
        id: leftPanel
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.right: bigField.left
        anchors.bottom: bottomPanel.top

        Rectangle {
            objectName: "captionBox"
            anchors.fill: captionText
            anchors.margins: -15
            color: "#22FFFFFF"
            border.width: 1
            border.color: "#aa000000"
        }
        Text {
            id: captionText
            objectName: "seaBattleCaption"
            x: 25
            y: 25
            width: leftPanel.width - 50
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            font.pixelSize: 25
            font.bold: true
            color: "black"
        }

        Field {
            id: smallField
            objectName: "smallField"
            x: (leftPanel.width - width) / 2
            y: 120
            width: Math.min(leftPanel.width, leftPanel.height - 120) - 20
            height: width
            fieldWidth: gameCore.fieldWidth
            fieldHeight: gameCore.fieldHeight
            showBackground: false
            opacity: 0
            visible: opacity > 0
            enabled: false

            // The opacities follow every change of the screen's state over 300 ms.
            Behavior on opacity {
                NumberAnimation {
                    duration: 300
                }
            }
        }

        Column {
            id: buttons
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.verticalCenter: parent.verticalCenter
            anchors.verticalCenterOffset: 40
            spacing: 10

            SeaButton {
                id: rotateButton
                objectName: "rotateButton"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 4.3 * bigField.cellWidth
                height: width
                opacity: 0
                visible: opacity > 0
                enabled: visible
                onClicked: seaBattle.arrangeOrientation = seaBattle.arrangeVertical ? 1 : 2

                Behavior on opacity {
                    NumberAnimation {
                        duration: 300
                    }
                }

                // The ship as it lies after the turn.
                Ship {
                    objectName: "rotateButtonShip"
                    anchors.centerIn: parent
                    size: Math.max(1, seaBattle.arrangementShipSize)
                    cellWidth: bigField.cellWidth
                    cellHeight: bigField.cellHeight
                    visible: seaBattle.arrangementShipSize > 0
                    rotation: seaBattle.arrangeVertical ? 0 : 90
                    Behavior on rotation {
                        NumberAnimation {
                            duration: 200
                        }
                    }
                }
            }
            SeaButton {
                id: autoButton
                objectName: "autoButton"
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Auto")
                opacity: rotateButton.opacity
                visible: opacity > 0
                enabled: visible
                onClicked: player.autoArrangeShips()
            }
            SeaButton {
                id: beginButton
                objectName: "beginButton"
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Begin")
                opacity: 0
                visible: opacity > 0
                enabled: visible && gameCore.playersReady
                onClicked: gameCore.fight()

                Behavior on opacity {
                    NumberAnimation {
                        duration: 300
                    }
                }
            }
        }
    }

    Field {
        id: bigField
        objectName: "bigField"
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 10
        width: parent.height - bottomPanel.height - 20
        height: width
        fieldWidth: gameCore.fieldWidth
        fieldHeight: gameCore.fieldHeight
        shipsModel: player.selfShipsModel

        onClicked: {
            if (seaBattle.state === "arrangement") {
                if (seaBattle.arrangementShipSize > 0 && seaBattle.canPlaceShip)
                    player.placeShip(seaBattle.arrangementX, seaBattle.arrangementY,
                                     seaBattle.arrangementShipSize, seaBattle.arrangeVertical)
            } else if (seaBattle.state === "fighting" && player.canShoot) {
                player.shoot(selectedX, selectedY)
            }
        }

        Ship {
            id: ghostShip
            objectName: "ghostShip"
            x: seaBattle.arrangementX * bigField.cellWidth
            y: seaBattle.arrangementY * bigField.cellHeight
            size: Math.max(1, seaBattle.arrangementShipSize)
            orientation: seaBattle.arrangeOrientation
            cellWidth: bigField.cellWidth
            cellHeight: bigField.cellHeight
            visible: false

            Rectangle {
                objectName: "ghostOverlay"
                anchors.fill: parent
                color: "#88FF0000"
                visible: !seaBattle.canPlaceShip
            }
        }
    }

    Item {
        id: bottomPanel
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 80

        SeaButton {
            id: newGameButton
            objectName: "newGameButton"
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("New game")
            focus: true
            onClicked: gameCore.startNewGame()
        }
        MinimizeButton {
            id: minimizeButton
            objectName: "seaBattleMinimizeButton"
            anchors.right: closeButton.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            onClicked: seaBattle.minimize()
        }
        CloseButton {
            id: closeButton
            objectName: "seaBattleCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
        }
    }

    states: [
        State {
            name: "arrangement"
            when: player.state === Game.ArrangementState
            PropertyChanges {
                target: captionText
                text: qsTr("Please arrange ships, sir")
            }
            PropertyChanges {
                target: rotateButton
                opacity: 1
            }
            PropertyChanges {
                target: ghostShip
                visible: bigField.pressed && seaBattle.arrangementShipSize > 0
            }
        },
        State {
            name: "ready"
            when: player.state === Game.ReadyForFightState
            PropertyChanges {
                target: captionText
                text: qsTr("Ships are ready, sir")
            }
            PropertyChanges {
                target: beginButton
                opacity: 1
            }
        },
        State {
            name: "fighting"
            when: player.state === Game.FightingState
            PropertyChanges {
                target: captionText
                text: player.canShoot ? qsTr("Your shoot, sir") : qsTr("Opponent shoots...")
            }
            PropertyChanges {
                target: bigField
                shipsModel: player.opponentShipsModel
                shotsModel: player.selfShotsModel
                damagedPartsModel: player.opponentDamagedPartsModel
                showCellHighlight: player.canShoot
            }
            PropertyChanges {
                target: smallField
                opacity: 1
                shipsModel: player.selfShipsModel
                shotsModel: player.opponentShotsModel
                damagedPartsModel: player.selfDamagedPartsModel
            }
        },
        State {
            name: "afterGame"
            when: gameCore.state === Game.AfterGameState
            PropertyChanges {
                target: captionText
                text: player.winner ? qsTr("You win, sir") : qsTr("You loose, sir")
                color: player.winner ? "#008800" : "#550000"
            }
            PropertyChanges {
                target: bigField
                shipsModel: player.opponentShipsModel
                shotsModel: player.selfShotsModel
                damagedPartsModel: player.opponentDamagedPartsModel
            }
            PropertyChanges {
                target: smallField
                opacity: 1
                shipsModel: player.selfShipsModel
                shotsModel: player.opponentShotsModel
                damagedPartsModel: player.selfDamagedPartsModel
            }
        }
    ]

}
