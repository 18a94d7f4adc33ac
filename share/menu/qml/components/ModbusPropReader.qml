import QtQuick
import DorrikBus 1.0

// Keeps the register of its property read while it is active.
ModbusItemReader {
    property var prop: null

    // Only a register item can be read; a property over anything else has nothing to poll.
    item: prop && prop.modbusItem instanceof ModbusItemBase ? prop.modbusItem : null
}
