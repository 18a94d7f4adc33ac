// The board of one balls game. Imported per game (no library pragma): every open game keeps a
// board of its own. It reaches the game's items by their ids: balls, board, canvas,
// burstEmitter.

var cellSize = 24
var columns = 0
var rows = 0
// columns x rows entries, index = y * columns + x: a ball, or null for an empty cell.
var cells = []
var pressedBall = null
var ballComponent = null

function index(x, y) {
    return y * columns + x
}

function ballAt(x, y) {
    if (x < 0 || y < 0 || x >= columns || y >= rows)
        return null
    return cells[index(x, y)]
}

function startNewGame() {
    balls.score = 0
    pressedBall = null
    for (var i = 0; i < cells.length; ++i) {
        if (cells[i])
            cells[i].destroy()
    }
    cells = []

    cellSize = canvas.width / (menuContext.embedded ? 16 : 24)
    // A hair over the quotient, so that a width that is a whole number of cells counts all.
    columns = Math.floor(canvas.width / cellSize + 1e-9)
    rows = Math.floor(canvas.height / cellSize + 1e-9)
    balls.cellSize = cellSize
    balls.columns = columns
    balls.rows = rows

    if (ballComponent === null)
        ballComponent = Qt.createComponent("Ball.qml")
    if (ballComponent.status !== Component.Ready) {
        console.log("ball component not ready")
        return
    }
    for (var y = 0; y < rows; ++y) {
        for (var x = 0; x < columns; ++x) {
            var ball = ballComponent.createObject(board, {
                                                      "type": Math.round(balls.randomSource() * 3),
                                                      "x": x * cellSize,
                                                      "y": y * cellSize,
                                                      "width": cellSize,
                                                      "height": cellSize
                                                  })
            if (ball === null) {
                console.log("can't create ball")
                cells.push(null)
                continue
            }
            ball.shown = true
            cells.push(ball)
        }
    }
}

// The cells of the group of one colour that the cell belongs to, through left, up, right and
// down neighbours, each once.
function groupOf(x, y) {
    var first = ballAt(x, y)
    if (!first)
        return []
    var type = first.type
    var seen = {}
    var group = []
    var queue = [[x, y]]
    seen[index(x, y)] = true
    while (queue.length > 0) {
        var cell = queue.shift()
        group.push(cell)
        var around = [[cell[0] - 1, cell[1]], [cell[0], cell[1] - 1], [cell[0] + 1, cell[1]],
                      [cell[0], cell[1] + 1]]
        for (var i = 0; i < around.length; ++i) {
            var nx = around[i][0]
            var ny = around[i][1]
            var neighbour = ballAt(nx, ny)
            if (neighbour && neighbour.type === type && !seen[index(nx, ny)]) {
                seen[index(nx, ny)] = true
                queue.push([nx, ny])
            }
        }
    }
    return group
}

function moveBall(fromX, fromY, toX, toY) {
    var ball = cells[index(fromX, fromY)]
    cells[index(fromX, fromY)] = null
    cells[index(toX, toY)] = ball
    ball.x = toX * cellSize
    ball.y = toY * cellSize
}

function burst(ball) {
    if (pressedBall === ball)
        pressedBall = null
    ball.pressed = false
    ball.bursting = true
    ball.z = 1 + Math.floor(balls.randomSource() * 1000)
    burstEmitter.burst(2, ball.x + ball.width / 2, ball.y + ball.height / 2)
    ball.destroy(1000)
}

function columnEmpty(x) {
    for (var y = 0; y < rows; ++y) {
        if (cells[index(x, y)])
            return false
    }
    return true
}

function handleClick(xPos, yPos) {
    var x = Math.floor(xPos / cellSize)
    var y = Math.floor(yPos / cellSize)
    if (!ballAt(x, y))
        return
    var group = groupOf(x, y)
    if (group.length < 2)
        return
    balls.score += (group.length - 1) * (group.length - 1)

    var left = columns
    var right = -1
    for (var i = 0; i < group.length; ++i) {
        var gx = group[i][0]
        var gy = group[i][1]
        var ball = cells[index(gx, gy)]
        cells[index(gx, gy)] = null
        burst(ball)
        left = Math.min(left, gx)
        right = Math.max(right, gx)
    }

    // Falling, column by column, from the bottom up, keeping the balls' order.
    var emptied = []
    for (var cx = left; cx <= right; ++cx) {
        var free = rows - 1
        for (var cy = rows - 1; cy >= 0; --cy) {
            if (!cells[index(cx, cy)])
                continue
            if (cy !== free)
                moveBall(cx, cy, cx, free)
            --free
        }
        if (free === rows - 1)
            emptied.push(cx)
    }

    // Closing up: every later column with balls moves into the next free column from the left.
    if (emptied.length === 0)
        return
    var target = emptied[0]
    for (var sx = emptied[0]; sx < columns; ++sx) {
        if (columnEmpty(sx))
            continue
        if (sx !== target) {
            for (var sy = 0; sy < rows; ++sy) {
                if (cells[index(sx, sy)])
                    moveBall(sx, sy, target, sy)
            }
        }
        ++target
    }
}

// The ball under the finger is marked pressed, the one marked before is released.
function pressAt(xPos, yPos) {
    var ball = ballAt(Math.floor(xPos / cellSize), Math.floor(yPos / cellSize))
    if (ball === pressedBall)
        return
    if (pressedBall)
        pressedBall.pressed = false
    pressedBall = ball
    if (ball)
        ball.pressed = true
}

function release() {
    if (pressedBall)
        pressedBall.pressed = false
    pressedBall = null
}
