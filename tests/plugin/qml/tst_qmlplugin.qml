import QtQuick
import QtTest
import DorrikBus 1.0

TestCase {
    id: testCase
    name: "QmlPlugin"

    // The module's elements in their order of registration; an uncreatable one with the reason
    // text that declaring it gives.
    function test_element_data() {
        return [
            { tag: "DorrikBus", element: "DorrikBus", reason: "Element is not creatable." },
            { tag: "ModbusClient", element: "ModbusClient" },
            { tag: "ModbusBit", element: "ModbusBit" },
            { tag: "ModbusBool", element: "ModbusBool" },
            { tag: "ModbusUInt8", element: "ModbusUInt8" },
            { tag: "ModbusByte", element: "ModbusByte" },
            { tag: "ModbusInt8", element: "ModbusInt8" },
            { tag: "ModbusUInt16", element: "ModbusUInt16" },
            { tag: "ModbusInt16", element: "ModbusInt16" },
            { tag: "ModbusInt32", element: "ModbusInt32" },
            { tag: "ModbusUInt32", element: "ModbusUInt32" },
            { tag: "ModbusInt64", element: "ModbusInt64" },
            { tag: "ModbusUInt64", element: "ModbusUInt64" },
            { tag: "ModbusFloat", element: "ModbusFloat" },
            { tag: "ModbusDouble", element: "ModbusDouble" },
            { tag: "ModbusDoubleStruct", element: "ModbusDoubleStruct" },
            { tag: "ModbusDateTime", element: "ModbusDateTime" },
            { tag: "ModbusStringAnsi", element: "ModbusStringAnsi" },
            { tag: "ModbusStringUtf8", element: "ModbusStringUtf8" },
            { tag: "ModbusReport", element: "ModbusReport" },
            { tag: "ModbusArchRecord", element: "ModbusArchRecord" },
            { tag: "ModbusArchLabel", element: "ModbusArchLabel" },
            { tag: "ModbusCustomBytes", element: "ModbusCustomBytes" },
            { tag: "ModbusFile", element: "ModbusFile" },
            { tag: "TavSiteItem", element: "TavSiteItem" },
            { tag: "ModbusItemArchLabeledBase", element: "ModbusItemArchLabeledBase", reason: "Element is not creatable." },
            { tag: "ModbusItemArchBase", element: "ModbusItemArchBase", reason: "Element is not creatable." },
            { tag: "ModbusItemFloatingBase", element: "ModbusItemFloatingBase", reason: "Element is not creatable." },
            { tag: "ModbusItemIntBase", element: "ModbusItemIntBase", reason: "Element is not creatable." },
            { tag: "ModbusItemBase", element: "ModbusItemBase", reason: "Element is not creatable." },
            { tag: "ModbusItemAddressedBase", element: "ModbusItemAddressedBase", reason: "Element is not creatable." },
            { tag: "Transport", element: "Transport", reason: "Element is not creatable." },
            { tag: "EventedTransport", element: "EventedTransport", reason: "Element is not creatable." },
            { tag: "ModbusTransport", element: "ModbusTransport", reason: "Element is not creatable." },
            { tag: "ModbusTcpClient", element: "ModbusTcpClient" },
            { tag: "ModbusTcpServer", element: "ModbusTcpServer" },
            { tag: "ModbusLibusbClient", element: "ModbusLibusbClient" },
            { tag: "ModbusTFtpClient", element: "ModbusTFtpClient" },
            { tag: "ModbusTFtpServer", element: "ModbusTFtpServer" },
            { tag: "ModbusC55Client", element: "ModbusC55Client" },
            { tag: "ModbusLoopbackClient", element: "ModbusLoopbackClient" },
            { tag: "ModbusLoopbackServer", element: "ModbusLoopbackServer" },
            { tag: "ModbusSerialClient", element: "ModbusSerialClient" },
            { tag: "ModbusSerialServer", element: "ModbusSerialServer" },
            { tag: "ModbusTrendModel", element: "ModbusTrendModel" },
            { tag: "TrendModelBase", element: "TrendModelBase" },
            { tag: "InternalItemModel", element: "InternalItemModel", reason: "Element is not creatable." },
            { tag: "UsbDevicesModel", element: "UsbDevicesModel" },
            { tag: "SerialPortsModel", element: "SerialPortsModel" },
            { tag: "ModbusItemExporter", element: "ModbusItemExporter", reason: "Element is not creatable" },
            { tag: "ModbusItemCSVExporter", element: "ModbusItemCSVExporter" },
            { tag: "CustomFieldEvent", element: "CustomFieldEvent" },
            { tag: "ModbusXmlExporter", element: "ModbusXmlExporter" },
            { tag: "ModbusXmlImporter", element: "ModbusXmlImporter" },
            { tag: "ModbusArchReader", element: "ModbusArchReader" },
            { tag: "ModbusItemReader", element: "ModbusItemReader" },
            { tag: "CancelMessageEvent", element: "CancelMessageEvent", reason: "Element is not creatable." },
            { tag: "Target", element: "Target", reason: "Element is not creatable." },
            { tag: "Eventer", element: "Eventer" },
            { tag: "Keypad", element: "Keypad" },
            { tag: "KeypadTavrin", element: "KeypadTavrin" },
            { tag: "ModbusArchRecordTavrin", element: "ModbusArchRecordTavrin" },
            { tag: "TavrinFlowRateHistoryItem", element: "TavrinFlowRateHistoryItem" },
            { tag: "TavrinHeatHistoryItem", element: "TavrinHeatHistoryItem" },
            { tag: "TavrinPressureHistoryItem", element: "TavrinPressureHistoryItem" },
            { tag: "TavSitesModel", element: "TavSitesModel" },
        ]
    }

    function test_element(data) {
        const qml = "import DorrikBus 1.0\n" + data.element + " {}"
        if (data.reason === undefined) {
            const object = createTemporaryQmlObject(qml, testCase, data.tag)
            verify(object !== null, data.element + " was not created")
            return
        }
        let error = null
        try {
            const object = Qt.createQmlObject(qml, testCase, data.tag)
            object.destroy()
        } catch (e) {
            error = e
        }
        verify(error !== null, data.element + " was created")
        compare(error.qmlErrors.length, 1)
        compare(error.qmlErrors[0].message, data.reason)
    }

    function test_aliases() {
        const bit = createTemporaryQmlObject("import DorrikBus 1.0\nModbusBool {}", testCase)
        verify(bit instanceof ModbusBit)
        verify(!(bit instanceof ModbusUInt8))
        const octet = createTemporaryQmlObject("import DorrikBus 1.0\nModbusByte {}", testCase)
        verify(octet instanceof ModbusUInt8)
        verify(!(octet instanceof ModbusBit))
    }

    function test_enumValues() {
        compare(DorrikBus.Forward, 0)
        compare(DorrikBus.Backward, 1)
        compare(DorrikBus.Func67, 67)
    }
}
