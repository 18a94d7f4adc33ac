import QtQuick
import QtTest

// The menu's own settings over the real device model (no instrument: register values are set on
// the items): switchable units and their texts, the display-off choice by power status, the
// display-off command and the connection settings held by the context.
TestHarness {
    id: harness

    TestCase {
        id: menuPropsCase
        name: "MenuProps"
        when: windowShown

        property var doc: null
        property var props: doc ? doc.menuProps : null
        property var dims: doc ? doc.deviceDimensions : null
        property var settings: doc ? doc.menuSettings : null

        function initTestCase() {
            doc = harness.create("../../../tests/menu/qml/DeviceModelDocument.qml")
            verify(doc, "device model document")
        }
        function cleanupTestCase() {
            if (doc)
                doc.destroy()
        }
        function init() {
            menuContext.resetConnection()
            var keys = ["flowRateDimensionIndex", "volumeDimensionIndex", "weightDimensionIndex",
                        "massFlowRateDimensionIndex", "heatDimensionIndex",
                        "thermalPowerDimensionIndex"]
            for (var i = 0; i < keys.length; ++i)
                settings[keys[i]] = 0
            settings.batterySleepIntervalIndex = 2
            settings.adapterSleepIntervalIndex = 3
            doc.deviceModbus.powerStatus.value = 0
            props.displayOffDelay = 500
            testTools.captureMessages()
        }

        function shownThrough(dimension, deviceValue) {
            var item = Qt.createComponent("frames/StandInItem.qml")
                .createObject(menuPropsCase, {value: deviceValue})
            var prop = harness.create("properties/RealProperty.qml",
                                      {modbusItem: item, dimensionItem: dimension})
            return prop.value
        }

        // The user's choice goes through the menu's unit row; the value row shows the register's
        // value in that unit, and the choice is kept in menuSettings.
        function test_units_data() {
            return [
                {tag: "l/min shows 1.2 m³/h as 20", unit: "flowRateDimension", index: 2,
                    key: "flowRateDimensionIndex", device: 1.2, shown: 20, text: "l/min"},
                {tag: "l/h", unit: "flowRateDimension", index: 1, key: "flowRateDimensionIndex",
                    device: 1.5, shown: 1500, text: "l/h"},
                {tag: "m³/s is 1/3600", unit: "flowRateDimension", index: 3,
                    key: "flowRateDimensionIndex", device: 1, shown: 1 / 3600, text: "m³/s"},
                {tag: "volume l", unit: "volumeDimension", index: 1, key: "volumeDimensionIndex",
                    device: 2, shown: 2000, text: "l"},
                {tag: "weight kg", unit: "weightDimension", index: 1, key: "weightDimensionIndex",
                    device: 3, shown: 3000, text: "kg"},
                {tag: "mass flow kg/min", unit: "massFlowRateDimension", index: 2,
                    key: "massFlowRateDimensionIndex", device: 0.6, shown: 10, text: "kg/min"},
                {tag: "mass flow t/s", unit: "massFlowRateDimension", index: 3,
                    key: "massFlowRateDimensionIndex", device: 36, shown: 0.01, text: "t/s"},
                {tag: "heat GJ is 4.1868", unit: "heatDimension", index: 1,
                    key: "heatDimensionIndex", device: 1, shown: 4.1868, text: "GJ"},
                {tag: "heat MW*h is 1.163", unit: "heatDimension", index: 2,
                    key: "heatDimensionIndex", device: 1, shown: 1.163, text: "MW*h"},
                {tag: "thermal power GJ/h", unit: "thermalPowerDimension", index: 1,
                    key: "thermalPowerDimensionIndex", device: 2, shown: 8.3736, text: "GJ/h"},
                {tag: "thermal power MW", unit: "thermalPowerDimension", index: 2,
                    key: "thermalPowerDimensionIndex", device: 2, shown: 2.326, text: "MW"},
            ]
        }
        function test_units(data) {
            var row = props[data.unit]
            compare(row.formatValue, dims[data.unit].model[0], "the base unit at first")
            row.setValue(data.index)
            compare(settings[data.key], data.index)
            compare(row.value, data.index)
            compare(row.formatValue, data.text)
            compare(dims[data.unit].dimension, data.text)
            fuzzyCompare(shownThrough(dims[data.unit], data.device), data.shown, 1e-9)
        }

        function test_unitFollowsStoredIndex() {
            settings.flowRateDimensionIndex = 1
            compare(dims.flowRateDimension.dimension, "l/h")
            compare(props.flowRateDimension.formatValue, "l/h")
        }

        function test_unitIndexOutOfRangeRefused() {
            props.heatDimension.setValue(3)
            compare(settings.heatDimensionIndex, 0)
            verify(testTools.messages().indexOf(
                       "Error: ListProperty.setValue() of unsupported model value") >= 0)
        }

        function test_kpAndKiFollowTheVolumeUnit() {
            compare([dims.kpDimension.dimension, dims.kiDimension.dimension],
                    ["imp/m³", "m³/imp"])
            props.volumeDimension.setValue(1)
            compare([dims.kpDimension.dimension, dims.kiDimension.dimension], ["imp/l", "l/imp"])
            compare([dims.kpDimension.ratio, dims.kiDimension.ratio], [0.001, 1000])
            fuzzyCompare(shownThrough(dims.kpDimension, 5000), 5, 1e-9)
            fuzzyCompare(shownThrough(dims.kiDimension, 0.002), 2, 1e-9)
            // Nothing of their own is kept: they have no store and follow the volume back.
            compare([dims.kpDimension.sourceName, dims.kiDimension.sourceName], ["", ""])
            props.volumeDimension.setValue(0)
            compare([dims.kpDimension.ratio, dims.kiDimension.ratio], [1, 1])
        }

        function test_unitTexts_data() {
            return [
                {tag: "m3h", text: "m³/h"}, {tag: "m3s", text: "m³/s"},
                {tag: "m3", text: "m³"}, {tag: "acceleration", text: "m/s²"},
                {tag: "tempC", text: "°C"}, {tag: "mmHg", text: "mm Hg"},
                {tag: "kp", text: "imp/m³"}, {tag: "ki", text: "m³/imp"},
                {tag: "mWh", text: "MW*h"}, {tag: "us", text: "µs"}, {tag: "megaPa", text: "MPa"},
            ]
        }
        function test_unitTexts(data) {
            compare(dims[data.tag], data.text)
        }

        // The display-off interval and whether sleep is on follow the adapter's choice while the
        // instrument has adapter power (status 2 and above), else the battery's.
        function test_displayOff_data() {
            return [
                {tag: "unknown status: battery 3 min", status: 0, battery: 2, adapter: 3,
                    interval: 180000, enabled: true},
                {tag: "battery: battery 1 min", status: 1, battery: 1, adapter: 3,
                    interval: 60000, enabled: true},
                {tag: "battery: Never stops sleep", status: 1, battery: 0, adapter: 3,
                    interval: 0, enabled: false},
                {tag: "charging: adapter 10 min, battery Never", status: 2, battery: 0, adapter: 3,
                    interval: 600000, enabled: true},
                {tag: "no battery: adapter 30 min", status: 3, battery: 2, adapter: 4,
                    interval: 1800000, enabled: true},
                {tag: "no battery: adapter Never", status: 3, battery: 2, adapter: 0,
                    interval: 0, enabled: false},
                {tag: "battery full: adapter 1 min", status: 4, battery: 4, adapter: 1,
                    interval: 60000, enabled: true},
            ]
        }
        function test_displayOff(data) {
            doc.deviceModbus.powerStatus.value = data.status
            props.batterySleepInterval.setValue(data.battery)
            props.adapterSleepInterval.setValue(data.adapter)
            compare([settings.batterySleepIntervalIndex, settings.adapterSleepIntervalIndex],
                    [data.battery, data.adapter])
            compare(props.sleepInterval, data.interval)
            compare(props.sleepEnabled, data.enabled)
        }

        function test_sleepIntervalTexts() {
            var texts = []
            for (var i = 0; i < 5; ++i) {
                props.batterySleepInterval.setValue(i)
                texts.push(props.batterySleepInterval.formatValue)
            }
            compare(texts, ["Never", "1 min", "3 min", "10 min", "30 min"])
            compare(props.adapterSleepInterval.formatValue, "10 min")
        }

        SignalSpy {
            id: sleepSpy
            target: harness.powerManager
            signalName: "beforeSleep"
        }

        function test_displayOffCommand() {
            compare(props.displayOffDelay, 500)
            props.displayOffDelay = 30
            sleepSpy.clear()
            props.displayOff.execute()
            compare(testTools.messages().filter(function (m) {
                return m.indexOf("display") >= 0 || m.indexOf("sleepTimer") >= 0
            }), ["turn off display property executed"])
            compare(sleepSpy.count, 0, "not before the pause")
            tryCompare(sleepSpy, "count", 1, 2000)
            var messages = testTools.messages()
            verify(messages.indexOf("manual sleepTimer triggered")
                   > messages.indexOf("turn off display property executed"))
        }

        // Settings of the context: what a choice stores there, and what a stored value shows.
        function test_connectionSettings_data() {
            return [
                {tag: "USB stores 2", prop: "connectionType", choose: 1,
                    key: "connectionType", stored: 2, shown: "USB"},
                {tag: "RS-485 stores 0", prop: "connectionType", choose: 0,
                    key: "connectionType", stored: 0, shown: "RS-485"},
                {tag: "SPI (1) written to the context is refused", prop: "connectionType",
                    store: 1, key: "connectionType", stored: 0, shown: "RS-485"},
                {tag: "connection type index 2 refused", prop: "connectionType", choose: 2,
                    key: "connectionType", stored: 0, shown: "RS-485"},
                {tag: "control RTS off", prop: "controlRts", choose: 0, key: "controlRts",
                    stored: false, shown: "off"},
                {tag: "baud rate index 4 is 19200", prop: "deviceBaudRate", choose: 4,
                    key: "deviceBaudRateIndex", stored: 4, shown: "19200"},
                {tag: "baud rate 115200", prop: "deviceBaudRate", choose: 7,
                    key: "deviceBaudRateIndex", stored: 7, shown: "115200"},
                {tag: "serial port", prop: "deviceSerialPort", choose: "/dev/ttyUSB0",
                    key: "deviceSerialPort", stored: "/dev/ttyUSB0", shown: "/dev/ttyUSB0"},
                {tag: "USB device through the context's slot", prop: "usbDevice", choose: "TV0002",
                    key: "usbDevice", stored: "TV0002", shown: "TV0002"},
                {tag: "device address", prop: "deviceAddress", choose: "17", key: "deviceAddress",
                    stored: 17, shown: "17"},
                {tag: "read timeout", prop: "readTimeout", choose: "750", key: "readTimeout",
                    stored: 750, shown: "750"},
            ]
        }
        function test_connectionSettings(data) {
            var prop = props[data.prop]
            if (data.store !== undefined)
                menuContext[data.key] = data.store
            else
                prop.setValue(data.choose)
            compare(menuContext[data.key], data.stored)
            compare(prop.formatValue, data.shown)
        }

        // The connection rows borrow caption, unit, texts and limits from the device's own;
        // the byte time-out takes the link's range, which refuses 0.
        function test_connectionRowsFromDeviceProps_data() {
            return [
                {tag: "address", prop: "deviceAddress", device: "modbusAddress",
                    good: ["1", "247"], bad: ["0", "248", "12.5"], unit: ""},
                {tag: "byte timeout, the link's range", prop: "byteTimeout", device: "byteTimeout",
                    good: ["1", "200"], bad: ["0", "-1", "201"], unit: "ms"},
                {tag: "RTS delay", prop: "rtsDelay", device: "rtsDelay", good: ["0", "100"],
                    bad: ["101"], unit: "ms"},
                {tag: "read timeout, its own", prop: "readTimeout", device: "", good: ["50", "10000"],
                    bad: ["49", "10001"], unit: "ms"},
            ]
        }
        function test_connectionRowsFromDeviceProps(data) {
            var prop = props[data.prop]
            if (data.device !== "") {
                var deviceProp = doc.deviceProps[data.device]
                verify(deviceProp.caption !== "")
                compare(prop.caption, deviceProp.caption)
            } else {
                compare(prop.caption, "Read timeout")
            }
            for (var i = 0; i < data.good.length; ++i)
                verify(prop.validate(data.good[i]), data.good[i])
            for (var j = 0; j < data.bad.length; ++j)
                verify(!prop.validate(data.bad[j]), data.bad[j])
            compare(prop.dimension, data.unit)
        }

        function test_baudRateRowFollowsTheDeviceList() {
            compare(props.deviceBaudRate.caption, doc.deviceProps.baudRate.caption)
            compare(props.deviceBaudRate.dimension, "baud")
            compare(props.deviceBaudRate.model.length, 8)
            menuContext.expandBaudRates = true
            compare(props.deviceBaudRate.model.length, 11)
            menuContext.expandBaudRates = false
        }

        function test_captions() {
            compare([props.batterySleepInterval.caption, props.adapterSleepInterval.caption,
                     props.displayOff.caption, props.language.caption,
                     props.connectionState.caption, props.heatDimension.caption,
                     props.exportArchFrom.caption, props.archChartsTo.caption],
                    ["Display off with battery", "Display off with adapter", "Turn display off",
                     "Menu language", "Connection", "Heat", "From", "To"])
        }

        function test_archiveDatesInMenuSettings() {
            var from = new Date(2024, 0, 2, 3, 4, 5)
            props.exportArchFrom.setValue(from)
            compare(settings.exportArchFrom.getTime(), from.getTime())
            compare(props.exportArchFrom.formatValue, "02.01.2024  03:04:05")
        }
    }
}
