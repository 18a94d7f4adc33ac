import QtQuick
import "../../../share/menu/qml/properties"
import "../../../share/menu/qml/sources"

// The menu's settings, units and properties under Starter's ids, with a flow value shown in the
// chosen unit; the device side is a fixed stand-in, as only the settings store matters here.
Item {
    property alias menuSettings: menuSettings
    property alias deviceDimensions: deviceDimensions
    property alias menuProps: menuProps
    property alias flowRate: flowRate

    MenuSettings {
        id: menuSettings
    }
    DeviceDimensions {
        id: deviceDimensions
    }
    MenuProps {
        id: menuProps
    }
    RealProperty {
        id: flowRate
        modbusItem: deviceModbus.flowRate
        dimensionItem: deviceDimensions.flowRateDimension
    }

    QtObject {
        id: deviceModbus
        property bool connected: false
        property var transport: null
        property QtObject mainReadGroup: QtObject {
            property bool wasRead: false
        }
        property QtObject timeRo: QtObject {
            property date value: new Date(2024, 5, 15, 10, 20, 30)
        }
        property QtObject flowRate: QtObject {
            property real value: 1.2
            property bool readOnly: true
        }
    }
    QtObject {
        id: deviceProps
    }
    QtObject {
        id: powerManager
        function sleep() {
        }
    }
}
