import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        id: testCase
        harness: harness
        name: "Calculator"

        function openCalculator() {
            var calculator = harness.screenManager.showApp("Calculator")
            verify(calculator, "no calculator")
            // The pads' rows are laid out when the window is drawn.
            waitForRendering(calculator)
            return calculator
        }
        function pressAll(calculator, operations) {
            for (var i = 0; i < operations.length; ++i)
                verify(calculator.press(operations[i]), operations[i])
        }
        function livePopups() {
            var result = []
            var popups = popupLayer.container.children
            for (var i = 0; i < popups.length; ++i) {
                if (!popups[i].destroying)
                    result.push(popups[i])
            }
            return result
        }
        // Every key of the pads, found by its kind's properties.
        function keysOf(item, result) {
            for (var i = 0; i < item.children.length; ++i) {
                var child = item.children[i]
                if (child.operation !== undefined && child.pressOperation !== undefined)
                    result.push(child)
                else
                    keysOf(child, result)
            }
            return result
        }
        function keyByText(calculator, text) {
            var keys = keysOf(calculator, [])
            for (var i = 0; i < keys.length; ++i) {
                if (keys[i].text === text)
                    return keys[i]
            }
            return null
        }

        // Each row once per window size: what fits the display differs between them.
        function atBothSizes(rows) {
            var result = []
            var sizes = [[800, 600], [640, 480]]
            for (var s = 0; s < sizes.length; ++s) {
                for (var i = 0; i < rows.length; ++i) {
                    var row = Object.assign({}, rows[i])
                    row.tag = rows[i].tag + ", " + sizes[s][0] + "x" + sizes[s][1]
                    row.width = sizes[s][0]
                    row.height = sizes[s][1]
                    result.push(row)
                }
            }
            return result
        }
        function openAtSize(data) {
            setWindowSize(data.width, data.height)
            return openCalculator()
        }
        // The display draws its whole text, without an ellipsis.
        function verifyDrawnWhole(calculator) {
            compare(calculator.display.text, calculator.displayText)
            verify(!calculator.display.truncated, calculator.displayText)
            verify(calculator.display.contentWidth <= calculator.display.width,
                   calculator.displayText)
        }

        function test_sequences_data() {
            return atBothSizes([
                {tag: "0, 0", keys: ["0", "0"], display: "0", history: []},
                {tag: "point first", keys: ["."], display: "0.", history: []},
                {tag: "second point ignored", keys: ["1", ".", "5", "."], display: "1.5",
                    history: []},
                {tag: "2 + 3 = =", keys: ["2", "+", "3", "=", "="], display: "8",
                    history: ["5", "8"]},
                {tag: "8 log 2 =", keys: ["8", "log", "2", "="], display: "3", history: ["3"]},
                {tag: "2 + 3 times", keys: ["2", "+", "3", "\u00D7"], display: "5",
                    history: ["5"]},
                {tag: "C after + continues the first argument", keys: ["2", "+", "C", "3"],
                    display: "23", history: []},
                {tag: "C after a typed second argument", keys: ["2", "+", "3", "C", "4", "="],
                    display: "6", history: ["6"]},
                {tag: "C clears", keys: ["2", "+", "3", "=", "C", "="], display: "0",
                    history: ["5"]},
                {tag: "percent", keys: ["5", "0", "%", "8", "="], display: "4", history: ["4"]},
                {tag: "power", keys: ["2", "x\u1DBAy", "1", "0", "="], display: "1024",
                    history: ["1024"]},
                {tag: "0.1 + 0.2 = without binary noise", keys: ["0", ".", "1", "+", "0", ".", "2",
                        "="], display: "0.3", history: ["0.3"]},
                {tag: "1000 lg", keys: ["1", "0", "0", "0", "lg"], display: "3", history: ["3"]},
                {tag: "1000 log 10 =", keys: ["1", "0", "0", "0", "log", "1", "0", "="],
                    display: "3", history: ["3"]},
                {tag: "2 + 9 root = keeps the addition", keys: ["2", "+", "9", "\u221A", "="],
                    display: "5", history: ["5"]},
                {tag: "root of the second argument, then times", keys: ["2", "+", "9", "\u221A",
                        "\u00D7", "4", "="], display: "20", history: ["5", "20"]},
                {tag: "a rounded result goes on with all its digits", keys: ["1", "0", "0",
                        "\u00F7", "7", "\u00D7", "7", "="], display: "100"},
                {tag: "5 x!", keys: ["5", "x!"], display: "120", history: ["120"]},
                {tag: "0 x!", keys: ["0", "x!"], display: "1", history: ["1"]},
                {tag: "2.5 x! is an error", keys: ["2", ".", "5", "x!"], display: "NaN",
                    history: ["NaN"]},
                {tag: "-3 x! is an error", keys: ["3", "\u00B1", "x!"], display: "NaN",
                    history: ["NaN"]},
                {tag: "171 x!", keys: ["1", "7", "1", "x!"], display: "Infinity",
                    history: ["Infinity"]},
                {tag: "a long number x! at once", keys: ["9", "9", "9", "9", "9", "9", "9", "9",
                        "9", "9", "9", "x!"], display: "Infinity", history: ["Infinity"]},
                {tag: "backspace clears Infinity", keys: ["1", "\u00F7", "0", "=", "\u2190"],
                    display: "0", history: ["Infinity"]},
                {tag: "backspace clears NaN", keys: ["2", ".", "5", "x!", "\u2190"],
                    display: "0", history: ["NaN"]},
                {tag: "square root", keys: ["8", "1", "\u221A"], display: "9", history: ["9"]},
                {tag: "sign change", keys: ["7", "\u00B1"], display: "-7", history: []},
                {tag: "sign change while typing a fraction", keys: ["0", ".", "\u00B1", "5"],
                    display: "-0.5", history: []},
                {tag: "pi", keys: ["\u03C0"], display: "3.1415926536", history: []},
                {tag: "2 times pi =", keys: ["2", "\u00D7", "\u03C0", "+"],
                    display: "6.2831853072", history: ["6.2831853072"]},
                {tag: "m+ twice, mr", keys: ["5", "m+", "C", "2", "m+", "C", "mr"], display: "7",
                    history: [], memory: 7},
                {tag: "m-", keys: ["5", "m+", "C", "2", "m-", "mr"], display: "3", history: [],
                    memory: 3},
                {tag: "mc", keys: ["5", "m+", "mc", "mr"], display: "0", history: [], memory: 0},
                {tag: "a digit after m+ starts a number", keys: ["5", "m+", "3"], display: "3",
                    history: [], memory: 5},
                {tag: "a digit after m- starts a number", keys: ["5", "m-", "3", "+", "1", "="],
                    display: "4", history: ["4"], memory: -5},
                {tag: "backspace down to 0", keys: ["1", "2", "\u2190", "\u2190", "\u2190"],
                    display: "0", history: []},
                {tag: "backspace of a negative", keys: ["5", "\u00B1", "\u2190"], display: "0",
                    history: []}
            ])
        }
        function test_sequences(data) {
            var calculator = openAtSize(data)
            pressAll(calculator, data.keys)
            compare(calculator.displayText, data.display)
            verifyDrawnWhole(calculator)
            if (data.history !== undefined)
                compare(calculator.history, data.history)
            if (data.memory !== undefined) {
                compare(calculator.memory, data.memory)
                compare(calculator.memoryItem.visible, data.memory !== 0)
            }
            // The caption is the number, for the popups list.
            compare(calculator.caption, data.display)
        }

        // A result longer than the display is rounded to what fits, in exponent form where the
        // plain one does not: drawn whole, close to the exact value, as many digits as fit.
        function test_fittedResults_data() {
            return atBothSizes([
                {tag: "100 / 7", keys: ["1", "0", "0", "\u00F7", "7", "="], value: 100 / 7,
                    exponent: false},
                {tag: "2 / 3", keys: ["2", "\u00F7", "3", "="], value: 2 / 3, exponent: false},
                {tag: "2 to the 60", keys: ["2", "x\u1DBAy", "6", "0", "="],
                    value: Math.pow(2, 60), exponent: true},
                {tag: "1 / 7 to the 20", keys: ["7", "x\u1DBAy", "2", "0", "=", "1/x"],
                    value: 1 / Math.pow(7, 20), exponent: true},
                {tag: "a negative third", keys: ["1", "\u00B1", "\u00F7", "3", "="],
                    value: -1 / 3, exponent: false}
            ])
        }
        function test_fittedResults(data) {
            var calculator = openAtSize(data)
            pressAll(calculator, data.keys)
            var shown = calculator.displayText
            verifyDrawnWhole(calculator)
            compare(shown.indexOf("e") > 0, data.exponent, shown)
            var digits = shown.split("e")[0].replace(/[-.]/g, "").replace(/^0+/, "").length
            verify(digits >= 8, shown)
            var error = Math.abs((Number(shown) - data.value) / data.value)
            verify(error <= 5 * Math.pow(10, -digits), shown)
            // No more digits would have fitted (a longer rounding that only adds zeros is the
            // same text).
            for (var more = digits + 1; more <= 15; ++more) {
                var longer = calculator.shortNumberText(data.value.toPrecision(more))
                verify(longer === shown || !calculator.fits(longer), longer)
            }
            compare(calculator.history[calculator.history.length - 1], shown)
        }

        // Typing stops where the display is full; the digits shown stay, also after the sign.
        function test_fullDisplayRefusesADigit_data() {
            return atBothSizes([{tag: "typed"}])
        }
        function test_fullDisplayRefusesADigit(data) {
            var calculator = openAtSize(data)
            var typed = ""
            for (var i = 1; i <= 40; ++i) {
                var digit = String(i % 10)
                calculator.press(digit)
                if (calculator.displayText !== typed + digit)
                    break
                typed += digit
            }
            verify(typed.length >= 10, typed)
            compare(calculator.displayText, typed)
            verifyDrawnWhole(calculator)
            calculator.press("3")
            compare(calculator.displayText, typed)
            calculator.press("\u00B1")
            compare(calculator.displayText, "-" + typed)
            calculator.press("3")
            compare(calculator.displayText, "-" + typed)
            compare(calculator.currentValue, -Number(typed))
            // A typed number that the sign made too long keeps its digits, elided on the left.
            compare(calculator.display.text, "-" + typed)
        }

        function test_keyMap_data() {
            return [
                {tag: "Delete is C", before: ["5"], key: Qt.Key_Delete, display: "0"},
                {tag: "Control+Delete is mc", before: ["5", "m+"], key: Qt.Key_Delete,
                    modifiers: Qt.ControlModifier, display: "5", memory: 0},
                {tag: "PageUp is m+", before: ["5"], key: Qt.Key_PageUp, display: "5", memory: 5},
                {tag: "PageDown is m-", before: ["5"], key: Qt.Key_PageDown, display: "5",
                    memory: -5},
                {tag: "Insert is mr", before: ["7", "m+", "C"], key: Qt.Key_Insert, display: "7"},
                {tag: "* is times", before: ["6"], text: "*", after: ["7", "="], display: "42"},
                {tag: "/ is divided by", before: ["8"], text: "/", after: ["2", "="],
                    display: "4"},
                {tag: "Return is =", before: ["2", "+", "2"], key: Qt.Key_Return, display: "4"},
                {tag: "Enter is =", before: ["2", "+", "2"], key: Qt.Key_Enter, display: "4"},
                {tag: "digit keys", before: [], text: "9", display: "9"},
                {tag: "plus-minus", before: ["3"], key: Qt.Key_plusminus, display: "-3"},
                {tag: "Backspace", before: ["3", "4"], key: Qt.Key_Backspace, display: "3"}
            ]
        }
        function test_keyMap(data) {
            var calculator = openCalculator()
            verify(calculator.activeFocus)
            pressAll(calculator, data.before)
            if (data.text !== undefined)
                keyClick(data.text)
            else
                keyClick(data.key, data.modifiers !== undefined ? data.modifiers : Qt.NoModifier)
            if (data.after)
                pressAll(calculator, data.after)
            compare(calculator.displayText, data.display)
            if (data.memory !== undefined)
                compare(calculator.memory, data.memory)
        }

        function test_escapeCloses() {
            var calculator = openCalculator()
            keyClick(Qt.Key_Escape)
            compare(livePopups().length, 0)
        }

        // The pad's keys press their operations.
        function test_padClicks() {
            var calculator = openCalculator()
            var sequence = ["4", "\u00D7", "3", "=", "m+"]
            for (var i = 0; i < sequence.length; ++i) {
                var key = keyByText(calculator, sequence[i])
                verify(key, sequence[i])
                mouseClick(key)
            }
            compare(calculator.displayText, "12")
            compare(calculator.memory, 12)
            verify(calculator.memoryItem.visible)
            compare(calculator.memoryItem.text, "[m]  12")
            mouseClick(keyByText(calculator, "exit"))
            compare(livePopups().length, 0)
        }

        function test_historyKeepsWhatFits() {
            var calculator = openCalculator()
            var fits = calculator.historyMaxCount
            verify(fits > 0)
            pressAll(calculator, ["1", "+", "1", "="])
            for (var i = 0; i < fits + 3; ++i)
                calculator.press("=")
            compare(calculator.history.length, fits)
            compare(calculator.history[fits - 1], String(fits + 5))
            verify(calculator.historyView.height <= calculator.display.y)
        }

        function test_minimizedCaptionInPopupsList() {
            var calculator = openCalculator()
            pressAll(calculator, ["4", "2"])
            var minimizeKey = null
            var keys = keysOf(calculator, [])
            for (var i = 0; i < keys.length; ++i) {
                if (keys[i].operation === "minimize")
                    minimizeKey = keys[i]
            }
            verify(minimizeKey)
            mouseClick(minimizeKey)
            verify(calculator.minimized)
            var list = harness.screenManager.showPopupsList()
            verify(list)
            compare(list.popups.length, 1)
            compare(list.popups[0].caption, "42")
            tryCompare(list.popups[0].iconImage, "status", Image.Ready)
        }

        function test_threeAtMostOnTheInstrument() {
            menuContext.embedded = true
            var made = []
            for (var i = 0; i < 4; ++i)
                made.push(openCalculator())
            compare(livePopups().length, 3)
            // The fourth brings the top-most back.
            compare(made[3], made[2])
            verify(!made[2].minimized)
        }

        // Every sign the pads draw is in the shipped font.
        function test_signsInTheShippedFont() {
            var calculator = openCalculator()
            var keys = keysOf(calculator, [])
            compare(keys.length, 44)
            var signs = ""
            for (var i = 0; i < keys.length; ++i)
                signs += keys[i].text
            var named = "\u00F7\u00D7\u1DBA\u221A\u00B2\u00B3\u03C0\u00B1\u2190"
            for (var j = 0; j < named.length; ++j)
                verify(signs.indexOf(named[j]) >= 0, named[j])
            compare(testTools.missingCharacters(":/share/menu/fonts/DejaVuSans.ttf", signs), "")
        }
    }
}
