import QtQuick
import DorrikBus 1.0

// The range a dialog opens on while its stored range is empty (From not before To, as on first
// use): the last day up to the newest record of the archive `archIndex`, so that it shows records
// at once. A range the operator chose is left as it is.
ModbusArchLabel {
    id: firstRange

    // Names of the menu settings that hold the range.
    property string fromName
    property string toName

    client: deviceModbus
    group: "archives"
    func: DorrikBus.Func67
    maxRequestLabels: 10
    useLast: true
    count: 1

    function needed() {
        var from = new Date(menuSettings[fromName]).getTime()
        var to = new Date(menuSettings[toName]).getTime()
        return isNaN(from) || isNaN(to) || from >= to
    }

    function start() {
        return needed() && read()
    }

    onAfterRead: {
        var last = new Date(lastLabel).getTime()
        if (isNaN(last) || last <= 0 || !needed())
            return
        menuSettings[fromName] = new Date(last - 24 * 3600 * 1000)
        menuSettings[toName] = new Date(last)
    }
}
