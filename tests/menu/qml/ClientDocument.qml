// The UI's client, found by its objectName, with one live value of the instrument.
import QtQuick
import DorrikBus 1.0

Item {
    property alias flowRate: flowRate

    Item {
        ModbusClient {
            objectName: "modbusClient"

            ModbusFloat {
                id: flowRate
                address: 300720
                interval: 100
                intervalReading: true
            }
        }
    }
}
