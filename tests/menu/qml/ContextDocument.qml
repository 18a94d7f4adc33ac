// Reads what the main menu state publishes to its document.
import QtQuick

Item {
    property var publishedContext: menuContext
    property var publishedLog: contextLog
    property int unqualifiedAddress: deviceAddress
}
