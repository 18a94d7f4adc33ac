// Placeholder until the menu's shell replaces it: the UI's client and the two live values.
import QtQuick
import DorrikBus 1.0

Rectangle {
    id: starter

    width: 800
    height: 600
    color: "white"

    ModbusClient {
        id: deviceModbus
        objectName: "modbusClient"
        singleResultProcessing: true

        ModbusFloat {
            id: flowRate
            address: 300720
            interval: 1000
            intervalReading: true
        }
        ModbusFloat {
            id: flowVelocity
            address: 300722
            interval: 1000
            intervalReading: true
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 16

        Text {
            objectName: "linkText"
            font.pixelSize: 24
            text: deviceModbus.connected ? qsTr("Link: connected") : qsTr("Link: not connected")
        }
        Text {
            objectName: "flowRateText"
            font.pixelSize: 32
            text: qsTr("Flow rate: %1 m³/h").arg(flowRate.wasRead ? flowRate.value.toFixed(3) : "-")
        }
        Text {
            objectName: "flowVelocityText"
            font.pixelSize: 32
            text: qsTr("Flow velocity: %1 m/s").arg(flowVelocity.wasRead ? flowVelocity.value.toFixed(3) : "-")
        }
    }
}
