import QtQuick

// Writes values to one register item and tells each writer whether the instrument took its
// value. An item's writes are answered in the order they were sent, so an answer belongs to the
// oldest write still waiting; the item's read failures (it may be polled meanwhile) are not
// taken for a refused write.
QtObject {
    id: writer

    property var item: null
    // The writes sent and not yet answered, oldest first: {done, value, before}.
    property var waiting: []

    // Sets the item's value and writes it; done(taken, text) follows the instrument's answer, or
    // comes at once when the write cannot be sent.
    function write(value, done) {
        if (!item) {
            if (done)
                done(false, "")
            return false
        }
        var entry = {done: done || null, value: value, before: item.value}
        item.value = value
        waiting.push(entry)
        if (item.write())
            return true
        waiting.pop()
        refused(entry, item.errorString)
        return false
    }

    // The item shows again what the instrument holds, not the value it did not take, unless a
    // later write has set another one meanwhile.
    function refused(entry, text) {
        if (waiting.length === 0 && item && item.value === entry.value)
            item.value = entry.before
        if (entry.done)
            entry.done(false, text)
    }

    property Connections answers: Connections {
        // A stand-in device model may give no item: undefined is no target.
        target: writer.item || null
        ignoreUnknownSignals: true
        function onAfterWrite() {
            var entry = writer.waiting.shift()
            if (entry && entry.done)
                entry.done(true, "")
        }
        function onWriteFailed(text) {
            var entry = writer.waiting.shift()
            if (entry)
                writer.refused(entry, text)
        }
    }
}
