import QtQuick

// A register item's stand-in: holds a value and counts what is asked of it. A refused write
// answers false, as a client without a connection does.
QtObject {
    property var value: 0
    property string binaryValue: Number(value).toString(2)
    property bool readOnly: false
    property bool refuseWrite: false
    property int writes: 0
    property int reads: 0
    property var written: []
    property int readingCounter: 0

    function write() {
        writes++
        written.push(value)
        written = written
        return !refuseWrite
    }
    function read() {
        reads++
        return true
    }
    function beginReading() {
        readingCounter++
    }
    function endReading() {
        readingCounter--
    }
}
