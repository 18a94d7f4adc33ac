import QtQuick
import "../../popups"

// A scientific pocket calculator in a popup that can be minimized; its caption is the number on
// its display, so that the popups list shows it.
BasePopup {
    id: calculator

    readonly property string signDivide: "\u00F7"
    readonly property string signMultiply: "\u00D7"
    readonly property string signPower: "x\u1DBAy"
    readonly property string signRoot: "\u221A"
    readonly property string signSquare: "x\u00B2"
    readonly property string signCube: "x\u00B3"
    readonly property string signExp: "e\u1DBAx"
    readonly property string signPi: "\u03C0"
    readonly property string signNegate: "\u00B1"
    readonly property string signBackspace: "\u2190"
    readonly property var binaryOperations: ["+", "-", "%", signDivide, signMultiply, signPower,
        "log"]
    readonly property var unaryOperations: [signRoot, signSquare, signCube, "1/x", "sin", "cos",
        "tan", "asin", "acos", "atan", "x!", "lg", "ln", signExp]

    property string displayText: "0"
    // The last result before it was rounded to fit the display: while the display shows it
    // unchanged, calculations go on with all its digits.
    property string resultText: ""
    property real resultValue: 0
    readonly property real currentValue: {
        if (resultText !== "" && displayText === resultText)
            return resultValue
        var value = Number(displayText)
        return isNaN(value) ? 0 : value
    }
    property real memory: 0
    property real firstArgument: 0
    property real secondArgument: 0
    property string currentOperation: ""
    property string previousOperation: ""
    property int argumentState: 1
    property bool clearOnPress: true
    property bool secondArgumentTyped: false
    property var history: []

    readonly property real keyWidth: (width - 20) / 8
    readonly property real keyHeight: 50
    readonly property int historyMaxCount: Math.max(0, Math.floor(historyArea.height / 17))
    readonly property alias display: displayText_
    readonly property alias historyView: historyColumn
    readonly property alias memoryItem: memoryText

    caption: displayText
    icon: Qt.resolvedUrl("icon.png")
    allowMinimize: true
    showMinimizeButton: false
    minimizedMaxCount: 3
    overrideTopPanel: false
    focus: true

    function isBinary(operation) {
        return binaryOperations.indexOf(operation) >= 0
    }
    function isUnary(operation) {
        return unaryOperations.indexOf(operation) >= 0
    }

    // Whether the text, drawn in the display's font, fits the display without elision; before
    // the display is laid out everything fits.
    function fits(text) {
        return displayText_.width <= 0 || displayMetrics.advanceWidth(text) <= displayText_.width
    }

    // A result as the display can show it whole: rounded to the significant digits that fit
    // (15 at most, so that binary noise such as 0.1 + 0.2 = 0.30000000000000004 never shows),
    // trailing zeros dropped, in exponent form where the plain form does not fit.
    function formatResult(value) {
        if (!isFinite(value))
            return String(value)
        if (value === 0)
            return "0"
        var text = ""
        for (var digits = 15; digits >= 1; --digits) {
            text = shortNumberText(value.toPrecision(digits))
            if (fits(text))
                break
        }
        return text
    }
    // "1.50000e+20" as "1.5e20": the exponent's "+" is as wide as two digits.
    function shortNumberText(text) {
        var parts = text.split("e")
        var mantissa = parts[0]
        if (mantissa.indexOf(".") >= 0)
            mantissa = mantissa.replace(/0+$/, "").replace(/\.$/, "")
        return parts.length > 1 ? mantissa + "e" + parts[1].replace("+", "") : mantissa
    }

    function showResult(value) {
        resultValue = value
        resultText = formatResult(value)
        displayText = resultText
    }

    function typeDigit(digit) {
        var text = clearOnPress ? "" : displayText
        if (digit === "0") {
            if (text !== "0")
                text += "0"
        } else if (digit === ".") {
            if (text.indexOf(".") < 0)
                text = (text === "" ? "0" : text) + "."
        } else {
            text = text === "0" ? digit : text + digit
        }
        if (text === "")
            text = "0"
        // A digit that does not fit is refused: cutting the text would change the number.
        if (!clearOnPress && text !== displayText && !fits(text))
            return
        clearOnPress = false
        if (argumentState === 2)
            secondArgumentTyped = true
        resultText = ""
        displayText = text
    }

    // The sign goes in front of the digits as shown, so that "0." stays "-0." and typing goes on.
    function negate() {
        var text = displayText
        if (!isFinite(Number(text)) || (resultText !== "" && text === resultText))
            showResult(-currentValue)
        else if (text.charAt(0) === "-")
            displayText = text.substring(1)
        else if (Number(text) !== 0 || text.indexOf(".") >= 0)
            displayText = "-" + text
    }

    // Defined for whole numbers from 0 only: anything else shows as the error display.
    // 171! already exceeds a double: no loop longer than that runs on the GUI thread.
    function factorial(x) {
        if (x < 0 || Math.floor(x) !== x)
            return NaN
        if (x > 170)
            return Infinity
        var result = 1
        for (var i = 2; i <= x; ++i)
            result *= i
        return result
    }

    function binaryResult(operation, first, second) {
        switch (operation) {
        case "+": return first + second
        case "-": return first - second
        case "%": return first / 100 * second
        case signDivide: return first / second
        case signMultiply: return first * second
        case signPower: return Math.pow(first, second)
        case "log": return Math.log(first) / Math.log(second)
        }
        return first
    }

    function unaryResult(operation, x) {
        switch (operation) {
        case signRoot: return Math.sqrt(x)
        case signSquare: return x * x
        case signCube: return x * x * x
        case "1/x": return 1 / x
        case "sin": return Math.sin(x)
        case "cos": return Math.cos(x)
        case "tan": return Math.tan(x)
        case "asin": return Math.asin(x)
        case "acos": return Math.acos(x)
        case "atan": return Math.atan(x)
        case "x!": return factorial(x)
        case "lg": return Math.log10(x)
        case "ln": return Math.log(x)
        case signExp: return Math.exp(x)
        }
        return x
    }

    function appendHistory(result) {
        var lines = history.slice()
        while (lines.length > 0 && lines.length >= historyMaxCount)
            lines.shift()
        if (historyMaxCount > 0)
            lines.push(result)
        history = lines
    }

    function complete(operation, result) {
        previousOperation = operation
        currentOperation = ""
        secondArgumentTyped = false
        argumentState = 1
        showResult(result)
        clearOnPress = true
        appendHistory(displayText)
    }

    // On the first argument a one-argument operation completes; on the second it replaces that
    // argument, as if typed, and the pending operation stays.
    function applyUnary(operation) {
        var result = unaryResult(operation, currentValue)
        if (argumentState !== 2) {
            complete(operation, result)
            return
        }
        showResult(result)
        secondArgumentTyped = true
        clearOnPress = true
    }

    function equals() {
        if (argumentState === 2) {
            secondArgument = currentValue
            complete(currentOperation, binaryResult(currentOperation, firstArgument,
                                                    secondArgument))
        } else if (previousOperation !== "") {
            firstArgument = currentValue
            if (isBinary(previousOperation))
                complete(previousOperation, binaryResult(previousOperation, firstArgument,
                                                         secondArgument))
            else
                complete(previousOperation, unaryResult(previousOperation, firstArgument))
        }
    }

    function chooseOperation(operation) {
        if (argumentState === 2 && secondArgumentTyped)
            equals()
        argumentState = 2
        clearOnPress = true
        secondArgumentTyped = false
        firstArgument = currentValue
        currentOperation = operation
    }

    function clear() {
        if (argumentState === 2 && secondArgumentTyped) {
            displayText = "0"
            secondArgumentTyped = false
        } else if (argumentState === 2) {
            currentOperation = ""
            argumentState = 1
            clearOnPress = false
        } else {
            firstArgument = 0
            displayText = "0"
            currentOperation = ""
            previousOperation = ""
        }
    }

    // An error display ("Infinity", "NaN") goes as a whole.
    function backspace() {
        if (isNaN(Number(displayText)) || !isFinite(Number(displayText))) {
            displayText = "0"
            return
        }
        var text = displayText.length <= 1 ? "0" : displayText.substring(0, displayText.length - 1)
        displayText = text === "-" ? "0" : text
    }

    function putConstant(value) {
        showResult(Number(value.toFixed(10)))
        clearOnPress = true
        // A constant is the second argument as much as a typed one.
        if (argumentState === 2)
            secondArgumentTyped = true
    }

    // One key of the pad, by its operation name.
    function press(operation) {
        if (operation.length === 1 && ((operation >= "0" && operation <= "9") || operation === ".")) {
            typeDigit(operation)
        } else if (isBinary(operation)) {
            chooseOperation(operation)
        } else if (isUnary(operation)) {
            applyUnary(operation)
        } else {
            switch (operation) {
            case "=": equals(); break
            case signPi: putConstant(Math.PI); break
            case "e": putConstant(Math.E); break
            case signNegate: negate(); break
            case "C": clear(); break
            // After a memory key a digit starts a new number.
            case "m+":
                memory += currentValue
                clearOnPress = true
                break
            case "m-":
                memory -= currentValue
                clearOnPress = true
                break
            case "mr":
                showResult(memory)
                clearOnPress = true
                break
            case "mc":
                memory = 0
                clearOnPress = true
                break
            case signBackspace: backspace(); break
            case "exit": close(); break
            case "minimize": minimize(); break
            default: return false
            }
        }
        return true
    }

    // The key's text first ("*" and "/" stand for their signs), then the named keys.
    function operationOfKey(event) {
        var text = event.text
        if (text === "*")
            return signMultiply
        if (text === "/")
            return signDivide
        if (text === "c")
            return "C"
        if (text.length === 1 && "0123456789.+-%=eC".indexOf(text) >= 0)
            return text
        if (event.key === Qt.Key_Delete && (event.modifiers & Qt.ControlModifier))
            return "mc"
        switch (event.key) {
        case Qt.Key_plusminus: return signNegate
        case Qt.Key_Delete: return "C"
        case Qt.Key_Return:
        case Qt.Key_Enter:
        case Qt.Key_Equal: return "="
        case Qt.Key_PageUp: return "m+"
        case Qt.Key_PageDown: return "m-"
        case Qt.Key_Insert: return "mr"
        case Qt.Key_Backspace: return signBackspace
        case Qt.Key_Escape: return "exit"
        }
        return ""
    }

    Keys.onPressed: (event) => {
        var operation = operationOfKey(event)
        if (operation !== "") {
            press(operation)
            event.accepted = true
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "#9999A9"
    }

    Rectangle {
        id: displayArea
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: pads.top
        color: "#dae7e7"
        clip: true

        Image {
            anchors.fill: parent
            source: "displaybackground.png"
            fillMode: Image.Stretch
        }

        Item {
            id: historyArea
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: displayText_.top
            clip: true

            Column {
                id: historyColumn
                objectName: "calculatorHistory"
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.bottom: parent.bottom
                Repeater {
                    model: calculator.history
                    Text {
                        anchors.right: parent.right
                        height: 17
                        text: modelData
                        font.family: "DejaVu Sans"
                        font.pixelSize: 15
                        color: "#2F3F4F"
                        opacity: (index + 1) / calculator.history.length
                    }
                }
            }
        }

        Text {
            id: memoryText
            objectName: "calculatorMemory"
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.bottom: operationText.top
            visible: calculator.memory !== 0
            text: "[m]  " + calculator.memory
            font.family: "DejaVu Sans"
            font.pixelSize: 30
            color: "#2F3F4F"
        }
        Text {
            id: operationText
            objectName: "calculatorOperation"
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: displayText_.verticalCenter
            width: 70
            text: calculator.currentOperation
            font.family: "DejaVu Sans"
            font.pixelSize: 30
            color: "#2F3F4F"
        }
        Text {
            id: displayText_
            objectName: "calculatorDisplay"
            anchors.left: operationText.right
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            horizontalAlignment: Text.AlignRight
            elide: Text.ElideLeft
            text: calculator.displayText
            font.family: "DejaVu Sans"
            font.pixelSize: 65
            color: "black"
        }
        FontMetrics {
            id: displayMetrics
            font: displayText_.font
        }
    }

    Rectangle {
        id: pads
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 6 * calculator.keyHeight
        color: "#5a7d9d"

        Grid {
            id: leftPad
            anchors.left: parent.left
            anchors.top: parent.top
            columns: 4

            OperButton { text: calculator.signRoot; showBorder: false; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signSquare; showBorder: false; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signCube; showBorder: false; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "1/x"; showBorder: false; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            OperButton { text: "sin"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "cos"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "tan"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signPower; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            OperButton { text: "asin"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "acos"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "atan"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "x!"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            OperButton { text: "log"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "lg"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "ln"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signExp; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            OperButton { text: calculator.signPi; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "e"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "%"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signNegate; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
        }
        Row {
            anchors.left: parent.left
            anchors.top: leftPad.bottom
            SystemButton { text: "exit"; fontSize: 21; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            SystemButton { objectName: "calculatorMinimize"; operation: "minimize"; image: "minimize.png"; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            SystemButton { text: calculator.signBackspace; colSpan: 2; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
        }

        // The right pad: keys placed on a grid of key cells, as some span two.
        Item {
            id: rightPad
            anchors.right: parent.right
            anchors.top: parent.top
            width: 4 * calculator.keyWidth
            height: parent.height

            MemButton { text: "m+"; x: 0; y: 0; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            MemButton { text: "m-"; x: calculator.keyWidth; y: 0; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            MemButton { text: "mr"; x: 2 * calculator.keyWidth; y: 0; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            MemButton { text: "mc"; x: 3 * calculator.keyWidth; y: 0; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            SystemButton { text: "C"; x: 0; y: calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signDivide; x: calculator.keyWidth; y: calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: calculator.signMultiply; x: 2 * calculator.keyWidth; y: calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "-"; x: 3 * calculator.keyWidth; y: calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            NumButton { text: "7"; x: 0; y: 2 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "8"; x: calculator.keyWidth; y: 2 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "9"; x: 2 * calculator.keyWidth; y: 2 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "+"; rowSpan: 2; x: 3 * calculator.keyWidth; y: 2 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            NumButton { text: "4"; x: 0; y: 3 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "5"; x: calculator.keyWidth; y: 3 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "6"; x: 2 * calculator.keyWidth; y: 3 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            NumButton { text: "1"; x: 0; y: 4 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "2"; x: calculator.keyWidth; y: 4 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "3"; x: 2 * calculator.keyWidth; y: 4 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            OperButton { text: "="; rowSpan: 2; x: 3 * calculator.keyWidth; y: 4 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }

            NumButton { text: "0"; colSpan: 2; x: 0; y: 5 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
            NumButton { text: "."; x: 2 * calculator.keyWidth; y: 5 * calculator.keyHeight; keyWidth: calculator.keyWidth; onPressOperation: (op) => calculator.press(op) }
        }
    }
}
