import QtQuick
import DorrikBus 1.0
import "qrc:/share/menu/qml/frametypes"
import "qrc:/share/menu/qml/widgets"
import "qrc:/share/menu/qml/properties"
import "qrc:/share/menu/qml/dimensions"

// A menu tree over registers of the menu's map: frame A with three settings, frame B with one,
// both reached from the main frame's first two rows. A register of its own shows that a row's
// reader ends with the row.
Item {
    property alias mainFrame: mainFrame

    anchors.fill: parent

    ModbusUInt16 {
        id: extra
        objectName: "extraItem"
        client: deviceModbus
        address: 403601
    }

    BaseDimension {
        id: flowRateDimension
        objectName: "flowRateDimension"
        model: ["m³/h", "l/h", "l/min", "m³/s"]
        ratios: [1, 1000, 1000 / 60, 1 / 3600]
        index: 3
    }

    IntProperty {
        id: byteTimeoutProp
        caption: "Byte timeout"
        modbusItem: deviceModbus.byteTimeout
    }
    RealProperty {
        id: flowCutOffProp
        caption: "Flow cut-off"
        modbusItem: deviceModbus.flowCutOff
        dimensionItem: flowRateDimension
    }
    RealProperty {
        id: k1Prop
        caption: "K1"
        modbusItem: deviceModbus.k1
    }
    IntProperty {
        id: rtsDelayProp
        caption: "RTS delay"
        modbusItem: deviceModbus.rtsDelay
    }
    IntProperty {
        id: extraProp
        caption: "Extra"
        modbusItem: extra
    }

    ColumnMenuFrame {
        id: mainFrame
        objectName: "mainFrame"
        caption: "Menu"

        MenuRowItem {
            caption: "Frame A"
            frame: frameA
        }
        MenuRowItem {
            caption: "Frame B"
            frame: frameB
        }
    }
    ColumnMenuFrame {
        id: frameA
        objectName: "frameA"
        caption: "Frame A"
        prevFrame: mainFrame

        MenuRowItem {
            objectName: "byteTimeoutRow"
            prop: byteTimeoutProp
        }
        MenuRowItem {
            objectName: "flowCutOffRow"
            prop: flowCutOffProp
        }
        MenuRowItem {
            objectName: "k1Row"
            prop: k1Prop
        }
        MenuRowItem {
            objectName: "extraRow"
            prop: extraProp
        }
    }
    ColumnMenuFrame {
        id: frameB
        objectName: "frameB"
        caption: "Frame B"
        prevFrame: mainFrame

        MenuRowItem {
            objectName: "rtsDelayRow"
            prop: rtsDelayProp
        }
    }
}
