import DorrikBus 1.0

// One entry of the interval schedule: a 12-byte block whose parts are published by name.
ModbusCustomBytes {
    id: entry

    property alias state: state
    property alias startTime: startTime
    property alias endTime: endTime
    property alias loggingInterval: loggingInterval

    itemSize: 12

    ModbusUInt8 {
        id: state
    }
    ModbusDateTime {
        id: startTime
    }
    ModbusDateTime {
        id: endTime
    }
    ModbusUInt8 {
        id: loggingInterval
    }
}
