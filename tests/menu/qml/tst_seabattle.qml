import QtQuick
import QtTest
import SeaBattle 1.0
import "popuplayer"

TestHarness {
    id: harness

    // An opponent that the test drives: it places and shoots when told.
    Component {
        id: drivenOpponent
        Player {}
    }

    PopupLayerTestCase {
        harness: harness
        name: "SeaBattle"

        // A fleet of the game's sizes, every ship horizontal, none touching another.
        readonly property var fleet: [
            {x: 0, y: 0, size: 4}, {x: 0, y: 2, size: 3}, {x: 5, y: 2, size: 3},
            {x: 0, y: 4, size: 2}, {x: 4, y: 4, size: 2}, {x: 8, y: 4, size: 2},
            {x: 0, y: 6, size: 1}, {x: 2, y: 6, size: 1}, {x: 4, y: 6, size: 1},
            {x: 6, y: 6, size: 1}
        ]

        function fleetCells() {
            var cells = []
            for (var i = 0; i < fleet.length; ++i) {
                for (var k = 0; k < fleet[i].size; ++k)
                    cells.push([fleet[i].x + k, fleet[i].y])
            }
            return cells
        }

        function waterCells() {
            var taken = {}
            fleetCells().forEach(c => taken[c[0] + "," + c[1]] = true)
            var cells = []
            for (var y = 0; y < 10; ++y) {
                for (var x = 0; x < 10; ++x) {
                    if (!taken[x + "," + y])
                        cells.push([x, y])
                }
            }
            return cells
        }

        function openGame() {
            var game = harness.screenManager.showApp("SeaBattle")
            verify(game)
            tryCompare(game, "state", "arrangement")
            waitForItemPolished(game)
            return game
        }

        function caption(game) {
            return findChild(game, "seaBattleCaption")
        }

        function cellX(field, x) {
            return (x + 0.5) * field.cellWidth
        }
        function cellY(field, y) {
            return (y + 0.5) * field.cellHeight
        }

        function clickCell(field, x, y) {
            mouseClick(field, cellX(field, x), cellY(field, y))
        }

        function drawnShips(field) {
            return findChild(field, "ships").count
        }
        function drawnShots(field) {
            return findChild(field, "shots").count
        }

        // The user's fleet placed by clicks, every ship horizontal.
        function arrangeByClicks(game) {
            game.arrangeOrientation = 1
            for (var i = 0; i < fleet.length; ++i) {
                compare(game.arrangementShipSize, fleet[i].size)
                clickCell(game.bigField, fleet[i].x, fleet[i].y)
            }
            tryCompare(game, "state", "ready")
        }

        // Both fleets of the table's layout, the opponent one the test drives; then the fight.
        function startDrivenFight(game) {
            var opponent = createTemporaryObject(drivenOpponent, harness)
            game.gameCore.player2 = opponent
            game.gameCore.startNewGame()
            tryCompare(game, "state", "arrangement")
            for (var i = 0; i < fleet.length; ++i)
                opponent.placeShip(fleet[i].x, fleet[i].y, fleet[i].size, false)
            compare(opponent.state, Game.ReadyForFightState)
            arrangeByClicks(game)
            verify(game.gameCore.playersReady)
            var begin = findChild(game, "beginButton")
            tryCompare(begin, "opacity", 1)
            mouseClick(begin)
            tryCompare(game, "state", "fighting")
            return opponent
        }

        function test_ghostShip_data() {
            return [
                {tag: "horizontal, pressed at column 9", orientation: 1, cell: [9, 3], at: [6, 3],
                    size: [4, 1]},
                {tag: "vertical, pressed at row 9", orientation: 2, cell: [3, 9], at: [3, 6],
                    size: [1, 4]},
                {tag: "horizontal, pressed inside", orientation: 1, cell: [2, 5], at: [2, 5],
                    size: [4, 1]},
                {tag: "vertical, pressed at the corner", orientation: 2, cell: [9, 9], at: [9, 6],
                    size: [1, 4]},
            ]
        }

        function test_ghostShip(data) {
            var game = openGame()
            var field = game.bigField
            game.arrangeOrientation = data.orientation
            var ghost = findChild(game, "ghostShip")
            verify(!ghost.visible)
            mousePress(field, cellX(field, data.cell[0]), cellY(field, data.cell[1]))
            verify(ghost.visible)
            compare(ghost.x, data.at[0] * field.cellWidth)
            compare(ghost.y, data.at[1] * field.cellHeight)
            compare(ghost.width, data.size[0] * field.cellWidth)
            compare(ghost.height, data.size[1] * field.cellHeight)
            verify(!findChild(game, "ghostOverlay").visible)
            var drawn = Qt.rect(ghost.x, ghost.y, ghost.width, ghost.height)
            mouseRelease(field, cellX(field, data.cell[0]), cellY(field, data.cell[1]))
            verify(!ghost.visible)
            // Placed where the ghost was drawn.
            compare(drawnShips(field), 1)
            var ship = findChild(field, "ships").itemAt(0)
            compare(Qt.rect(ship.x, ship.y, ship.width, ship.height), drawn)
            compare(game.arrangementShipSize, 3)
            compare(qmlWarnings(), [])
        }

        // After the four-cell ship at (0, 0), horizontal: the three-cell one pressed at a cell.
        function test_refusedPosition_data() {
            return [
                {tag: "sharing a side", cell: [0, 1], refused: true},
                {tag: "touching a corner", cell: [4, 1], refused: true},
                {tag: "over the ship", cell: [2, 0], refused: true},
                {tag: "one row of water between", cell: [0, 2], refused: false},
                {tag: "one column of water between", cell: [5, 0], refused: false},
            ]
        }

        function test_refusedPosition(data) {
            var game = openGame()
            var field = game.bigField
            clickCell(field, 0, 0)
            compare(drawnShips(field), 1)
            compare(game.arrangementShipSize, 3)
            mousePress(field, cellX(field, data.cell[0]), cellY(field, data.cell[1]))
            var overlay = findChild(game, "ghostOverlay")
            verify(findChild(game, "ghostShip").visible)
            compare(overlay.visible, data.refused)
            compare(String(overlay.color), "#88ff0000")
            mouseRelease(field, cellX(field, data.cell[0]), cellY(field, data.cell[1]))
            compare(drawnShips(field), data.refused ? 1 : 2)
            compare(game.arrangementShipSize, 3)
        }

        function test_rotateButton() {
            var game = openGame()
            var button = findChild(game, "rotateButton")
            var ship = findChild(game, "rotateButtonShip")
            tryCompare(button, "opacity", 1)
            compare(game.arrangeOrientation, 1)
            // It shows the ship as it would lie after the turn.
            compare(ship.rotation, 90)
            compare(ship.width, 4 * game.bigField.cellWidth)
            mouseClick(button)
            compare(game.arrangeOrientation, 2)
            tryCompare(ship, "rotation", 0, 1000)
            mouseClick(button)
            compare(game.arrangeOrientation, 1)
            tryCompare(ship, "rotation", 90, 1000)
            // Down to the last one-cell ship, then nothing is left to show.
            for (var i = 0; i < fleet.length - 1; ++i)
                clickCell(game.bigField, fleet[i].x, fleet[i].y)
            compare(game.arrangementShipSize, 1)
            compare(ship.width, game.bigField.cellWidth)
            verify(ship.visible)
            clickCell(game.bigField, fleet[fleet.length - 1].x, fleet[fleet.length - 1].y)
            compare(game.arrangementShipSize, 0)
            verify(!ship.visible)
            tryCompare(button, "visible", false)
        }

        function test_autoArrangement() {
            var game = openGame()
            compare(caption(game).text, "Please arrange ships, sir")
            mouseClick(findChild(game, "autoButton"))
            compare(game.arrangementShipSize, 0)
            compare(drawnShips(game.bigField), 10)
            tryCompare(game, "state", "ready")
            compare(caption(game).text, "Ships are ready, sir")
            tryCompare(findChild(game, "beginButton"), "opacity", 1)
            tryCompare(findChild(game, "rotateButton"), "visible", false)
            verify(!findChild(game, "autoButton").visible)
        }

        function test_beginWaitsForBothPlayers() {
            var game = openGame()
            var opponent = createTemporaryObject(drivenOpponent, harness)
            game.gameCore.player2 = opponent
            game.gameCore.startNewGame()
            tryCompare(game, "state", "arrangement")
            mouseClick(findChild(game, "autoButton"))
            tryCompare(game, "state", "ready")
            var begin = findChild(game, "beginButton")
            tryCompare(begin, "opacity", 1)
            verify(!game.gameCore.playersReady)
            verify(!begin.enabled)
            mouseClick(begin)
            compare(game.state, "ready")
            compare(game.player.state, Game.ReadyForFightState)
            opponent.autoArrangeShips()
            verify(game.gameCore.playersReady)
            verify(begin.enabled)
            var small = findChild(game, "smallField")
            verify(!small.visible)
            mouseClick(begin)
            compare(game.state, "fighting")
            compare(caption(game).text, "Your shoot, sir")
            // The small field fades in with the fight, showing the own fleet.
            tryCompare(small, "opacity", 1, 1000)
            compare(drawnShips(small), 10)
            compare(drawnShips(game.bigField), 0)
            tryCompare(begin, "visible", false)
        }

        function test_turns() {
            var game = openGame()
            var opponent = startDrivenFight(game)
            var field = game.bigField
            verify(game.player.canShoot)
            compare(caption(game).text, "Your shoot, sir")
            // A hit keeps the turn.
            clickCell(field, 1, 0)
            compare(drawnShots(field), 1)
            verify(game.player.canShoot)
            compare(findChild(field, "damagedParts").count, 1)
            // A miss passes it.
            clickCell(field, 9, 9)
            compare(drawnShots(field), 2)
            verify(!game.player.canShoot)
            compare(caption(game).text, "Opponent shoots...")
            // While the opponent shoots a click adds nothing.
            clickCell(field, 5, 9)
            compare(drawnShots(field), 2)
            compare(findChild(game.smallField, "shots").count, 0)
            opponent.shoot(9, 9)
            compare(findChild(game.smallField, "shots").count, 1)
            verify(game.player.canShoot)
            compare(caption(game).text, "Your shoot, sir")
            // The highlight follows the pressed cell while the user may shoot.
            mousePress(field, cellX(field, 3), cellY(field, 7))
            verify(findChild(field, "cellHighlight").visible)
            mouseRelease(field, cellX(field, 3), cellY(field, 7))
        }

        // Every cell shot in turn, the opponent shooting the water or the user's fleet.
        function test_end_data() {
            return [
                {tag: "the user sinks the fleet", win: true, text: "You win, sir",
                    color: "#008800"},
                {tag: "the opponent sinks the fleet", win: false, text: "You loose, sir",
                    color: "#550000"},
                {tag: "against the computer", computer: true},
            ]
        }

        function endCaption(win) {
            return win ? {text: "You win, sir", color: "#008800"}
                       : {text: "You loose, sir", color: "#550000"}
        }

        // The real computer player, the user shooting row by row whenever it is the user's turn.
        function playTheComputer(game) {
            mouseClick(findChild(game, "autoButton"))
            tryCompare(game, "state", "ready")
            var begin = findChild(game, "beginButton")
            tryVerify(() => begin.enabled, 3000)
            mouseClick(begin)
            compare(game.state, "fighting")
            for (var cell = 0; cell < 100 && game.gameCore.state !== Game.AfterGameState; ) {
                tryVerify(() => game.player.canShoot || game.gameCore.state === Game.AfterGameState,
                          5000)
                if (game.player.canShoot) {
                    clickCell(game.bigField, cell % 10, Math.floor(cell / 10))
                    ++cell
                }
            }
            tryCompare(game.gameCore, "state", Game.AfterGameState, 5000)
            var end = endCaption(game.player.winner)
            return end
        }

        function test_end(data) {
            var game = openGame()
            if (data.computer) {
                var end = playTheComputer(game)
                compare(game.state, "afterGame")
                compare(caption(game).text, end.text)
                compare(String(caption(game).color), end.color)
                compare(drawnShips(game.bigField), 10)
                compare(drawnShips(game.smallField), 10)
                compare(qmlWarnings(), [])
                return
            }
            var opponent = startDrivenFight(game)
            var targets = data.win ? fleetCells().concat(waterCells()) : waterCells()
            var opponentTargets = data.win ? waterCells() : fleetCells()
            var next = 0
            var opponentNext = 0
            for (var turn = 0; turn < 400 && game.gameCore.state !== Game.AfterGameState; ++turn) {
                if (game.player.canShoot)
                    clickCell(game.bigField, targets[next][0], targets[next++][1])
                else
                    opponent.shoot(opponentTargets[opponentNext][0],
                                   opponentTargets[opponentNext++][1])
            }
            compare(game.gameCore.state, Game.AfterGameState)
            compare(game.player.winner, data.win)
            compare(game.state, "afterGame")
            compare(caption(game).text, data.text)
            compare(String(caption(game).color), data.color)
            // Both fleets are shown at the end.
            compare(drawnShips(game.bigField), 10)
            compare(drawnShips(game.smallField), 10)
            tryCompare(game.smallField, "opacity", 1, 1000)
            // No more shots.
            var shots = drawnShots(game.bigField)
            clickCell(game.bigField, 9, 9)
            compare(drawnShots(game.bigField), shots)
            compare(qmlWarnings(), [])
        }

        function test_newGame_data() {
            return [
                {tag: "after the end, by a click", stage: "end", key: 0},
                {tag: "after the end, by Return", stage: "end", key: Qt.Key_Return},
                {tag: "in the fight", stage: "fight", key: 0},
                {tag: "in the middle of the arrangement", stage: "arrangement", key: 0},
                {tag: "ready for the fight", stage: "ready", key: Qt.Key_Return},
            ]
        }

        function test_newGame(data) {
            var game = openGame()
            if (data.stage === "arrangement") {
                clickCell(game.bigField, 0, 0)
                clickCell(game.bigField, 0, 2)
                compare(game.arrangementShipSize, 3)
            } else if (data.stage === "ready") {
                mouseClick(findChild(game, "autoButton"))
                tryCompare(game, "state", "ready")
            } else {
                var opponent = startDrivenFight(game)
                if (data.stage === "end") {
                    var cells = fleetCells()
                    for (var i = 0; i < cells.length; ++i)
                        clickCell(game.bigField, cells[i][0], cells[i][1])
                    compare(game.state, "afterGame")
                } else {
                    clickCell(game.bigField, 9, 9)
                    opponent.shoot(0, 0)
                }
            }
            var button = findChild(game, "newGameButton")
            if (data.key) {
                verify(button.activeFocus)
                keyClick(data.key)
            } else {
                mouseClick(button)
            }
            compare(game.state, "arrangement")
            compare(caption(game).text, "Please arrange ships, sir")
            compare(String(caption(game).color), "#000000")
            compare(drawnShips(game.bigField), 0)
            compare(drawnShots(game.bigField), 0)
            tryCompare(game.smallField, "visible", false)
            tryCompare(findChild(game, "rotateButton"), "opacity", 1)
            // The fleet comes again largest first.
            compare(game.arrangementShipSize, 4)
            arrangeByClicks(game)
        }
    }
}
