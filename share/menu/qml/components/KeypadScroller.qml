// Stand-in for the on-screen keypad: it registers itself and never shows.
import QtQuick

Item {
    property bool active: false

    visible: false

    Component.onCompleted: screenManager.keypadScroller = this
}
