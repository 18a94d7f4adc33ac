import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "Balls"

        // Green and blue in a chequer: no two neighbours of one colour.
        function chequer(x, y) {
            return (x + y) % 2 === 0 ? 1 : 2
        }

        // A source that lays out the board: the type of each cell in the order the board fills
        // them (row by row), then 0.5 for whatever else asks.
        function layoutSource(game, typeAt) {
            var calls = 0
            return function () {
                var columns = game.columns
                var rows = game.rows
                var i = calls++
                if (columns <= 0 || i >= columns * rows)
                    return 0.5
                return typeAt(i % columns, Math.floor(i / columns)) / 3
            }
        }

        // A game on the chequer with `cells` ([x, y, type], a negative coordinate counting from
        // the far end) over it.
        function openGame(cells) {
            var game = harness.screenManager.showApp("Balls")
            verify(game)
            waitForItemPolished(game)
            var marks = {}
            var resolve = function (value, count) {
                return value < 0 ? count + value : value
            }
            game.randomSource = layoutSource(game, function (x, y) {
                for (var i = 0; i < (cells || []).length; ++i) {
                    var c = cells[i]
                    if (resolve(c[0], game.columns) === x && resolve(c[1], game.rows) === y)
                        return c[2]
                }
                return chequer(x, y)
            })
            game.startNewGame()
            // The balls of the game started at creation go at the next turn of the loop.
            tryVerify(() => balls(game).length === game.columns * game.rows, 2000)
            return game
        }

        function balls(game) {
            var result = []
            var children = game.board.children
            for (var i = 0; i < children.length; ++i) {
                if (children[i].bursting !== undefined)
                    result.push(children[i])
            }
            return result
        }

        function clickCell(game, x, y) {
            mouseClick(game.board, (x + 0.5) * game.cellSize, (y + 0.5) * game.cellSize)
        }

        function types(game, column) {
            var result = []
            for (var y = 0; y < game.rows; ++y) {
                var ball = game.ballAt(column, y)
                result.push(ball ? ball.type : -1)
            }
            return result
        }

        function test_score_data() {
            return [
                {tag: "a group of 5, then one of 3",
                    cells: [[0, -1, 0], [1, -1, 0], [2, -1, 0], [3, -1, 0], [4, -1, 0],
                        [10, -1, 3], [11, -1, 3], [12, -1, 3]],
                    clicks: [[2, -1], [11, -1]], scores: [16, 20], burst: [5, 3]},
                {tag: "a pair", cells: [[6, 6, 0], [7, 6, 0]], clicks: [[7, 6]], scores: [1],
                    burst: [2]},
                {tag: "a lone ball", cells: [[3, 3, 0]], clicks: [[3, 3]], scores: [0],
                    burst: [0]},
                {tag: "a lone ball of a kind that the chequer has", cells: [], clicks: [[5, 5]],
                    scores: [0], burst: [0]},
                {tag: "diagonal neighbours stay apart", cells: [[3, 3, 0], [4, 4, 0], [2, 4, 0]],
                    clicks: [[3, 3]], scores: [0], burst: [0]},
                {tag: "a cross through left, up, right and down",
                    cells: [[5, 5, 3], [4, 5, 3], [6, 5, 3], [5, 4, 3], [5, 6, 3]],
                    clicks: [[5, 5]], scores: [16], burst: [5]},
                {tag: "a bent line", cells: [[1, 1, 0], [1, 2, 0], [2, 2, 0], [3, 2, 0],
                        [3, 1, 0], [3, 0, 0]], clicks: [[3, 0]], scores: [25], burst: [6]},
            ]
        }

        function test_score(data) {
            var game = openGame(data.cells)
            compare(game.score, 0)
            var total = game.columns * game.rows
            var gone = 0
            for (var i = 0; i < data.clicks.length; ++i) {
                var x = data.clicks[i][0] < 0 ? game.columns + data.clicks[i][0] : data.clicks[i][0]
                var y = data.clicks[i][1] < 0 ? game.rows + data.clicks[i][1] : data.clicks[i][1]
                var before = game.ballAt(x, y)
                clickCell(game, x, y)
                compare(game.score, data.scores[i])
                gone += data.burst[i]
                var bursting = balls(game).filter(b => b.bursting).length
                compare(bursting, data.burst[i])
                if (data.burst[i] === 0)
                    compare(game.ballAt(x, y), before)
                tryVerify(() => balls(game).length === total - gone, 3000)
            }
            compare(findChild(game, "ballsScore").text, "Score: " + data.scores[data.scores.length - 1])
            compare(qmlWarnings(), [])
        }

        function test_burstBallsLastASecond() {
            var game = openGame([[0, 0, 0], [1, 0, 0], [2, 0, 0]])
            var total = balls(game).length
            clickCell(game, 1, 0)
            var timer = new Date()
            compare(balls(game).length, total)
            // Fading and growing meanwhile.
            var burst = balls(game).filter(b => b.bursting)
            compare(burst.length, 3)
            tryVerify(() => balls(game).length === total - 3, 3000)
            verify(new Date() - timer >= 900, "gone after " + (new Date() - timer) + " ms")
            compare(qmlWarnings(), [])
        }

        function test_fall() {
            // A column of four bursts from the third row of the column down to the sixth.
            var cells = [[7, 3, 0], [7, 4, 0], [7, 5, 0], [7, 6, 0]]
            var game = openGame(cells)
            var above = [game.ballAt(7, 0), game.ballAt(7, 1), game.ballAt(7, 2)]
            var below = game.ballAt(7, 7)
            var neighbour = game.ballAt(6, 0)
            clickCell(game, 7, 4)
            compare(game.score, 9)
            compare(game.ballAt(7, 0), null)
            compare(game.ballAt(7, 3), null)
            for (var i = 0; i < 3; ++i) {
                compare(game.ballAt(7, 4 + i), above[i])
                tryCompare(above[i], "y", (4 + i) * game.cellSize, 2000)
            }
            compare(game.ballAt(7, 7), below)
            compare(below.y, 7 * game.cellSize)
            compare(game.ballAt(6, 0), neighbour)
            compare(neighbour.y, 0)
        }

        function test_wholeColumn() {
            var cells = []
            for (var y = 0; y < 40; ++y)
                cells.push([3, y, 0])
            var game = openGame(cells)
            var before = []
            for (var x = 0; x < game.columns; ++x)
                before.push(types(game, x))
            var moved = game.ballAt(4, 2)
            clickCell(game, 3, 5)
            compare(game.score, (game.rows - 1) * (game.rows - 1))
            for (x = 0; x < game.columns - 1; ++x)
                compare(types(game, x), before[x < 3 ? x : x + 1], "column " + x)
            var empty = []
            for (y = 0; y < game.rows; ++y)
                empty.push(-1)
            compare(types(game, game.columns - 1), empty)
            compare(game.ballAt(3, 2), moved)
            tryCompare(moved, "x", 3 * game.cellSize, 2000)
            compare(moved.y, 2 * game.cellSize)
        }

        function test_cellSize_data() {
            return [
                {tag: "instrument", embedded: true, perWidth: 16},
                {tag: "desktop", embedded: false, perWidth: 24},
            ]
        }

        function test_cellSize(data) {
            menuContext.embedded = data.embedded
            var game = openGame()
            compare(game.cellSize, game.canvas.width / data.perWidth)
            compare(game.columns, data.perWidth)
            compare(game.rows, Math.floor(game.canvas.height / game.cellSize))
            compare(game.board.width, game.columns * game.cellSize)
            compare(game.board.height, game.rows * game.cellSize)
            compare(game.board.x, (game.canvas.width - game.board.width) / 2)
            compare(balls(game).length, game.columns * game.rows)
            compare(game.ballAt(game.columns - 1, game.rows - 1).width, game.cellSize)
        }

        function test_newGameAfterMinimize_data() {
            return [
                {tag: "desktop, smaller window", embedded: false, size: [640, 480]},
                {tag: "instrument, smaller window", embedded: true, size: [640, 480]},
                {tag: "desktop, same window", embedded: false, size: [800, 600]},
            ]
        }

        function test_newGameAfterMinimize(data) {
            menuContext.embedded = data.embedded
            var game = openGame([[0, 0, 0], [1, 0, 0]])
            clickCell(game, 0, 0)
            compare(game.score, 1)
            game.minimize()
            verify(!game.visible)
            setWindowSize(data.size[0], data.size[1])
            harness.screenManager.expandPopup(game)
            verify(game.visible)
            waitForItemPolished(game)
            var button = findChild(game, "ballsNewGameButton")
            var enabledChanges = createTemporaryQmlObject(
                        "import QtTest; SignalSpy { signalName: \"enabledChanged\" }", harness)
            enabledChanges.target = button
            mouseClick(button)
            compare(game.score, 0)
            compare(game.cellSize, game.canvas.width / (data.embedded ? 16 : 24))
            compare(game.rows, Math.floor(game.canvas.height / game.cellSize))
            for (var y = 0; y < game.rows; ++y) {
                for (var x = 0; x < game.columns; ++x)
                    verify(game.ballAt(x, y) !== null, "cell " + x + ", " + y)
            }
            tryVerify(() => balls(game).length === game.columns * game.rows, 2000)
            // The board fills the canvas but for less than a cell.
            verify(game.canvas.height - game.board.height < game.cellSize)
            compare(game.board.width, game.canvas.width)
            // On the instrument it rests for a moment, then takes the focus again.
            if (data.embedded) {
                tryCompare(enabledChanges, "count", 2, 1000)
                verify(button.enabled)
                verify(button.activeFocus)
            } else {
                compare(enabledChanges.count, 0)
            }
        }

        function test_pressMarks() {
            var game = openGame()
            var s = game.cellSize
            var first = game.ballAt(2, 2)
            var second = game.ballAt(3, 2)
            var third = game.ballAt(3, 3)
            mousePress(game.board, 2.5 * s, 2.5 * s)
            verify(first.pressed)
            compare(first.children[0].scale, 1.5)
            mouseMove(game.board, 3.5 * s, 2.5 * s, -1, Qt.LeftButton)
            verify(!first.pressed)
            verify(second.pressed)
            mouseMove(game.board, 3.5 * s, 3.5 * s, -1, Qt.LeftButton)
            verify(!second.pressed)
            verify(third.pressed)
            mouseRelease(game.board, 3.5 * s, 3.5 * s)
            verify(!third.pressed)
            compare(balls(game).filter(b => b.pressed).length, 0)
        }

        // Ball types come from round(random x 3): 0 and 3 from half as wide a range as 1 and 2.
        function test_typesFromTheSource_data() {
            return [
                {tag: "0 up to 1/6", value: 0.16, type: 0},
                {tag: "1/6 up to 1/2", value: 0.17, type: 1},
                {tag: "1/2 up to 5/6", value: 0.51, type: 2},
                {tag: "5/6 and above", value: 0.84, type: 3},
            ]
        }

        function test_typesFromTheSource(data) {
            var game = openGame()
            game.randomSource = () => data.value
            game.startNewGame()
            tryVerify(() => balls(game).length === game.columns * game.rows, 2000)
            compare(game.ballAt(0, 0).type, data.type)
            compare(String(game.ballAt(0, 0).children[0].source).replace(/.*\//, ""),
                    ["redball.png", "greenball.png", "blueball.png", "yellowball.png"][data.type])
        }

        // Two games at once keep a board each.
        function test_twoGames() {
            var first = openGame([[0, 0, 0], [1, 0, 0]])
            var second = harness.screenManager.showPopup("apps/Balls/Balls.qml", {}, true)
            verify(second)
            second.randomSource = () => 0.5
            second.startNewGame()
            compare(second.ballAt(0, 0).type, 2)
            compare(first.ballAt(0, 0).type, 0)
            verify(first.ballAt(0, 0) !== second.ballAt(0, 0))
            compare(first.ballAt(0, 0).parent, first.board)
        }
    }
}
