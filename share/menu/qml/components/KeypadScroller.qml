import QtQuick

// The on-screen keypad at the bottom of the main window: a number layout and a letter layout of
// the keypad language, shown as screenManager asks. Holding the space bar opens the language list.
Item {
    id: keypadScroller

    readonly property bool active: state !== "hidden"
    property string keypadLanguageName: menuContext.getLanguageName()
    readonly property string languageSuffix: menuContext.languageNameToSuffix(keypadLanguageName)
    readonly property string textKeypadFile: "keypadcomponents/Keypad_" + languageSuffix + ".qml"
    readonly property string numberKeypadFile: "keypadcomponents/KeypadNum.qml"
    property bool languagePanelOpen: false
    readonly property alias textKeypad: textLoader.item
    readonly property alias numberKeypad: numberLoader.item
    readonly property alias languageList: languageList

    // Animated by the states: how far the layouts lie below their place, and their opacities.
    property real offset: 200
    property real textOpacity: 0
    property real numberOpacity: 0

    function reset() {
        languagePanelOpen = false
        if (textKeypad)
            textKeypad.resetShift()
        if (numberKeypad)
            numberKeypad.resetShift()
    }

    objectName: "keypadScroller"
    width: screenManager.windowWidth
    state: "hidden"

    onStateChanged: reset()
    // The list opens with no current entry: nothing tells which one the user had chosen.
    onLanguagePanelOpenChanged: {
        if (languagePanelOpen)
            languageList.currentIndex = -1
    }

    // While shown, nothing below the keypad reacts to a click.
    MouseArea {
        anchors.fill: parent
        enabled: keypadScroller.active
        visible: enabled
        acceptedButtons: Qt.LeftButton | Qt.MiddleButton | Qt.RightButton
    }

    Loader {
        id: numberLoader
        anchors.fill: parent
        source: keypadScroller.numberKeypadFile
        opacity: keypadScroller.numberOpacity
        // Still fading in or out, yet taking no input unless shown.
        visible: opacity > 0
        enabled: keypadScroller.state === "shownNum"
        transform: Translate {
            y: keypadScroller.offset
        }
    }
    Loader {
        id: textLoader
        anchors.fill: parent
        source: keypadScroller.textKeypadFile
        opacity: keypadScroller.textOpacity
        visible: opacity > 0
        enabled: keypadScroller.state === "shownText"
        transform: Translate {
            y: keypadScroller.offset
        }
    }
    Connections {
        target: textLoader.item
        function onChangeLanguage() {
            keypadScroller.languagePanelOpen = true
        }
    }

    Fader {
        id: languageFader
        objectName: "languageFader"
        anchors.fill: parent
        active: keypadScroller.languagePanelOpen
        onClicked: keypadScroller.languagePanelOpen = false
    }
    ListBox {
        id: languageList
        objectName: "languageList"
        anchors.centerIn: parent
        height: Math.min(implicitHeight, parent.height)
        visible: keypadScroller.languagePanelOpen
        enabled: visible
        model: menuContext.keypadLanguageNames
        translateContext: "Language"
        showSelectedRect: false
        onClicked: index => {
                       keypadScroller.keypadLanguageName = model[index]
                       keypadScroller.languagePanelOpen = false
                   }
    }

    Connections {
        target: screenManager
        function onShowTextScreenKeypad() {
            keypadScroller.state = "shownText"
        }
        function onShowNumberScreenKeypad() {
            keypadScroller.state = "shownNum"
        }
        function onHideScreenKeypad() {
            keypadScroller.state = "hidden"
        }
        function onShowScreenKeypad(type) {
            keypadScroller.state = type === "real" || type === "int" || type === "num" ? "shownNum"
                                                                                       : "shownText"
        }
    }

    states: [
        State {
            name: "hidden"
            PropertyChanges {
                target: keypadScroller
                offset: 200
                textOpacity: 0
                numberOpacity: 0
            }
        },
        State {
            name: "shownText"
            PropertyChanges {
                target: keypadScroller
                offset: 0
                textOpacity: 1
                numberOpacity: 0
            }
        },
        State {
            name: "shownNum"
            PropertyChanges {
                target: keypadScroller
                offset: 0
                textOpacity: 0
                numberOpacity: 1
            }
        }
    ]
    transitions: [
        Transition {
            from: "hidden"
            to: "*"
            SpringAnimation {
                properties: "offset,textOpacity,numberOpacity"
                spring: 5
                damping: 0.4
            }
        },
        Transition {
            from: "*"
            to: "hidden"
            SpringAnimation {
                properties: "offset,textOpacity,numberOpacity"
                spring: 5
                damping: 0.4
            }
        }
    ]

    Component.onCompleted: screenManager.keypadScroller = keypadScroller
}
