import QtQuick
import "qrc:/share/menu/qml/frametypes"
import "qrc:/share/menu/qml/widgets"
import "qrc:/share/menu/qml/properties"
import "qrc:/share/menu/qml/dimensions"

// A column menu longer than its frame, with a row of every kind, for the pictures.
Item {
    property alias mainFrame: mainFrame

    anchors.fill: parent

    QtObject {
        id: values
        property int address: 17
        property real flowCutOff: 0.5
        property int baudIndex: 3
        property int longIndex: 20
        property bool autoOff: true
        property date clock: new Date(2024, 2, 31, 14, 5, 30)
        property int alarms: 5
        property string siteName: "Boiler 2"
    }

    BaseDimension {
        id: flowUnits
        model: ["m³/h", "l/h", "l/min", "m³/s"]
        ratios: [1, 1000, 1000 / 60, 1 / 3600]
        index: 1
    }

    ColumnMenuFrame {
        id: mainFrame
        objectName: "mainFrame"
        caption: "Settings"

        MenuRowItemSmallHeader {
            caption: "Connection"
        }
        MenuRowItem {
            objectName: "intRow"
            prop: IntProperty {
                caption: "Device address"
                sourceItem: values
                sourceName: "address"
                minValue: 1
                maxValue: 247
            }
        }
        MenuRowItem {
            objectName: "listRow"
            prop: ListProperty {
                caption: "Baud rate"
                sourceItem: values
                sourceName: "baudIndex"
                model: ["1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]
            }
        }
        MenuRowItem {
            objectName: "longListRow"
            prop: ListProperty {
                caption: "Averaging"
                sourceItem: values
                sourceName: "longIndex"
                model: {
                    var entries = []
                    for (var i = 1; i <= 40; ++i)
                        entries.push(i + " s")
                    return entries
                }
            }
        }
        MenuRowItemSmallHeader {
            caption: "Measurement"
        }
        MenuRowItem {
            objectName: "realRow"
            prop: RealProperty {
                caption: "Flow cut-off"
                sourceItem: values
                sourceName: "flowCutOff"
                dimensionItem: flowUnits
            }
        }
        MenuRowItem {
            objectName: "boolRow"
            prop: BoolProperty {
                caption: "Auto power-off"
                sourceItem: values
                sourceName: "autoOff"
            }
        }
        MenuRowItem {
            objectName: "dateTimeRow"
            prop: DateTimeProperty {
                caption: "Clock"
                sourceItem: values
                sourceName: "clock"
            }
        }
        MenuRowItem {
            objectName: "textRow"
            prop: TextProperty {
                caption: "Site name"
                sourceItem: values
                sourceName: "siteName"
                maxLength: 20
            }
        }
        MenuRowItem {
            objectName: "flagsRow"
            valueItemMultiline: true
            standardHeight: 20 * starter.mm
            prop: FlagsProperty {
                caption: "Alarms"
                sourceItem: values
                sourceName: "alarms"
                flags: ["Empty pipe", "Reverse flow", "Overload"]
            }
        }
        MenuRowItemSmall {
            caption: "Serial number 2407-0113"
        }
        MenuRowItem {
            caption: "Archives"
            pageIndex: 2
        }
        MenuRowItem {
            caption: "Calibration"
            frame: mainFrame
        }
    }
}
