import QtQuick
import "../../../share/menu/qml/sources"

// The device model as Starter makes it: the real client and the objects built on it, under
// Starter's ids. Created in TestHarness's context (harness.create with the path
// "../../../tests/menu/qml/DeviceModelDocument.qml"), its ids shadow the harness's stand-ins for
// everything declared here, while the managers still come from the harness.
Item {
    property alias deviceModbus: deviceModbus
    property alias menuSettings: menuSettings
    property alias deviceDimensions: deviceDimensions
    property alias menuProps: menuProps
    property alias deviceProps: deviceProps

    visible: false

    DeviceModbus {
        id: deviceModbus
        objectName: "modbusClient"
    }
    MenuSettings {
        id: menuSettings
    }
    DeviceDimensions {
        id: deviceDimensions
        objectName: "deviceDimensions"
    }
    MenuProps {
        id: menuProps
    }
    DeviceProps {
        id: deviceProps
    }
}
