// Placeholder until the menu's shell replaces it: the device model with stand-ins for what it reads, and two live values.
import QtQuick
import "sources"

Rectangle {
    id: starter

    // Heat support: generation 2 on with a heat channel; its settings are read once it is known.
    property bool isHeatSupported: deviceModbus.tvnGeneration >= 2 && deviceModbus.hasHeatChannel.has

    width: 800
    height: 600
    color: "white"

    onIsHeatSupportedChanged: {
        if (isHeatSupported && !exportManager.active)
            deviceModbus.readAllHeatParams()
    }

    // Stand-ins for the globals of the shell and the device screens that the device model reads.
    QtObject {
        id: exportManager
        property bool active: false
    }
    QtObject {
        id: sitesManager
        property int siteNameSize: 40
        property int reservedBytesCount: 0
        property int siteRecordSize: siteNameSize * 3 + reservedBytesCount + 2
        property int maxSitesCount: deviceModbus.maxSitesCountItem.value
        property int editingSiteIndex: 0
    }
    QtObject {
        id: deviceDimensions
        property QtObject flowRateDimension: QtObject {
            property real ratio: 1
        }
    }

    DeviceModbus {
        id: deviceModbus
        objectName: "modbusClient"
        singleResultProcessing: true
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
            text: qsTr("Flow rate: %1 m³/h").arg(deviceModbus.mainReadGroup.wasRead
                                                  ? deviceModbus.flowRate.value.toFixed(3) : "-")
        }
        Text {
            objectName: "flowVelocityText"
            font.pixelSize: 32
            text: qsTr("Flow velocity: %1 m/s").arg(deviceModbus.mainReadGroup.wasRead
                                                     ? deviceModbus.flowVelocity.value.toFixed(3) : "-")
        }
    }
}
