// Asks the engine to quit as soon as the event loop runs.
import QtQuick

Item {
    Timer {
        interval: 0
        running: true
        onTriggered: Qt.quit()
    }
}
