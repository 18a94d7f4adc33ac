import QtQuick

// The menu's text input: selection by mouse, and the plus-minus key flips a leading "-".
TextInput {
    id: input

    selectByMouse: true

    // Every key that reaches the input, before it handles it.
    signal keyPressed(var event)

    function toggleMinus() {
        if (text.charAt(0) === "-")
            text = text.substring(1)
        else
            text = "-" + text
    }

    Keys.onPressed: event => {
                        keyPressed(event)
                        if (event.accepted)
                            return
                        if (event.key === Qt.Key_plusminus) {
                            toggleMinus()
                            event.accepted = true
                        }
                    }
}
