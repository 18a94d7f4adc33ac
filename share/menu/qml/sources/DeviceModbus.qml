// Stand-in for the register map: the client with what the shell reads and the live block's
// first items, so that the top panel shows the flow rate.
import QtQuick
import DorrikBus 1.0

ModbusClient {
    id: deviceModbus

    property int tvnGeneration: 1

    property alias hasHeatChannel: hasHeatChannel
    property alias mainReadGroup: mainReadGroup
    property alias flowRate: flowRate

    // Named for the sites manager; the register map gives them their items.
    property var siteMap: null
    property var currentSiteItem: null
    property var currentSite: null
    property var editingSiteItem: null
    property var maxSitesCountItem: null

    function readAllHeatParams() {}

    ModbusUInt8 {
        id: hasHeatChannel
        address: 300009
        property bool has: value !== 0
    }

    ModbusCustomBytes {
        id: mainReadGroup
        address: 300701
        itemSize: 70 * 2
        intervalReading: true

        ModbusFloat {}
        ModbusFloat {}
        ModbusUInt16 {}
        ModbusUInt16 {}
        ModbusUInt32 {}
        ModbusUInt32 {}
        ModbusUInt16 {}
        ModbusDoubleStruct {}
        ModbusDoubleStruct {}
        ModbusFloat {
            id: flowRate
        }
    }
}
