import QtQuick
import "../properties"

// Settings of the menu itself rather than of the instrument: display off, units, language,
// archive date ranges and the connection held by the context object. They write to menuSettings
// or to the context, never to a register.
Item {
    id: menuProps

    objectName: "menuProps"
    visible: false

    property alias archViewTimeLabel: archViewTimeLabel
    property alias batterySleepInterval: batterySleepInterval
    property alias adapterSleepInterval: adapterSleepInterval
    property alias displayOff: displayOff
    property alias exportArchFrom: exportArchFrom
    property alias exportArchTo: exportArchTo
    property alias archChartsFrom: archChartsFrom
    property alias archChartsTo: archChartsTo
    property alias flowRateDimension: flowRateDimension
    property alias volumeDimension: volumeDimension
    property alias weightDimension: weightDimension
    property alias massFlowRateDimension: massFlowRateDimension
    property alias heatDimension: heatDimension
    property alias thermalPowerDimension: thermalPowerDimension
    property alias language: language
    property alias connectionType: connectionType
    property alias deviceSerialPort: deviceSerialPort
    property alias deviceAddress: deviceAddress
    property alias deviceBaudRate: deviceBaudRate
    property alias byteTimeout: byteTimeout
    property alias rtsDelay: rtsDelay
    property alias readTimeout: readTimeout
    property alias controlRts: controlRts
    property alias usbDevice: usbDevice
    property alias connectionState: connectionState

    // Display-off interval of each list entry, in ms; the first entry ("Never") turns sleep off.
    readonly property var sleepIntervals: [0, 60000, 180000, 600000, 1800000]
    readonly property var sleepIntervalTexts: [QT_TRANSLATE_NOOP("DeviceProps", "Never"),
        QT_TRANSLATE_NOOP("DeviceProps", "1 min"), QT_TRANSLATE_NOOP("DeviceProps", "3 min"),
        QT_TRANSLATE_NOOP("DeviceProps", "10 min"), QT_TRANSLATE_NOOP("DeviceProps", "30 min")]
    // Power status 2 and above: the instrument runs from its adapter.
    readonly property bool hasAdapter: deviceProps && deviceProps.powerStatus
                                       ? deviceProps.powerStatus.hasAdapter === true : false
    readonly property var activeSleepInterval: hasAdapter ? adapterSleepInterval
                                                          : batterySleepInterval
    readonly property int sleepInterval: activeSleepInterval.intervalValue
    readonly property bool sleepEnabled: activeSleepInterval.sleepEnabled
    // The pause between the command and the sleep, so the key release is not taken for a wake-up.
    property int displayOffDelay: 500

    // The device-side object of a connection setting, whose caption and limits the menu's copy
    // shows; null until the device properties declare it.
    function deviceProp(name) {
        return deviceProps && deviceProps[name] ? deviceProps[name] : null
    }
    // One member (caption, limits, unit, texts) of that device-side object, or `fallback`.
    function deviceField(name, field, fallback) {
        var prop = deviceProp(name)
        return prop && prop[field] !== undefined ? prop[field] : fallback
    }

    DateTimeProperty {
        id: archViewTimeLabel
    }
    Connections {
        target: deviceModbus && deviceModbus.mainReadGroup ? deviceModbus.mainReadGroup : null
        function onWasReadChanged() {
            if (deviceModbus.mainReadGroup.wasRead)
                archViewTimeLabel.value = deviceModbus.timeRo.value
        }
    }

    ListProperty {
        id: batterySleepInterval
        property int intervalValue: value >= 0 && value < menuProps.sleepIntervals.length
                                    ? menuProps.sleepIntervals[value] : 0
        property bool sleepEnabled: value > 0
        caption: qsTr("Display off with battery")
        model: menuProps.sleepIntervalTexts
        sourceItem: menuSettings
        sourceName: "batterySleepIntervalIndex"
    }
    ListProperty {
        id: adapterSleepInterval
        property int intervalValue: value >= 0 && value < menuProps.sleepIntervals.length
                                    ? menuProps.sleepIntervals[value] : 0
        property bool sleepEnabled: value > 0
        caption: qsTr("Display off with adapter")
        model: menuProps.sleepIntervalTexts
        sourceItem: menuSettings
        sourceName: "adapterSleepIntervalIndex"
    }
    CommandProperty {
        id: displayOff
        caption: qsTr("Turn display off")
        function command() {
            console.log("turn off display property executed")
            displayOffTimer.restart()
        }
    }
    Timer {
        id: displayOffTimer
        interval: menuProps.displayOffDelay
        onTriggered: {
            console.log("manual sleepTimer triggered")
            powerManager.sleep()
        }
    }

    DateTimeProperty {
        id: exportArchFrom
        caption: qsTr("From")
        sourceItem: menuSettings
        sourceName: "exportArchFrom"
    }
    DateTimeProperty {
        id: exportArchTo
        caption: qsTr("To")
        sourceItem: menuSettings
        sourceName: "exportArchTo"
    }
    DateTimeProperty {
        id: archChartsFrom
        caption: qsTr("From")
        sourceItem: menuSettings
        sourceName: "archChartsFrom"
    }
    DateTimeProperty {
        id: archChartsTo
        caption: qsTr("To")
        sourceItem: menuSettings
        sourceName: "archChartsTo"
    }

    DimensionProperty {
        id: flowRateDimension
        caption: qsTr("Flow rate")
        dimensionItem: deviceDimensions.flowRateDimension
    }
    DimensionProperty {
        id: volumeDimension
        caption: qsTr("Volume")
        dimensionItem: deviceDimensions.volumeDimension
    }
    DimensionProperty {
        id: weightDimension
        caption: qsTr("Weight")
        dimensionItem: deviceDimensions.weightDimension
    }
    DimensionProperty {
        id: massFlowRateDimension
        caption: qsTr("Mass flow rate")
        dimensionItem: deviceDimensions.massFlowRateDimension
    }
    DimensionProperty {
        id: heatDimension
        caption: qsTranslate("Dimension", "Heat")
        dimensionItem: deviceDimensions.heatDimension
    }
    DimensionProperty {
        id: thermalPowerDimension
        caption: qsTr("Thermal power")
        dimensionItem: deviceDimensions.thermalPowerDimension
    }

    LanguageProperty {
        id: language
        caption: qsTr("Menu language")
    }

    ListProperty {
        id: connectionType
        caption: qsTr("Connection type")
        // The menu offers no SPI link: a stored 1 matches no entry and shows a blank.
        model: [QT_TRANSLATE_NOOP("DeviceProps", "RS-485"), QT_TRANSLATE_NOOP("DeviceProps", "USB")]
        modelValues: [0, 2]
        sourceName: "connectionType"
    }
    VariantListProperty {
        id: deviceSerialPort
        caption: qsTr("COM port")
        model: menuContext.serialPorts
        sourceName: "deviceSerialPort"
    }
    IntProperty {
        id: deviceAddress
        caption: menuProps.deviceField("modbusAddress", "caption", "")
        minValue: menuProps.deviceField("modbusAddress", "minValue", 1)
        maxValue: menuProps.deviceField("modbusAddress", "maxValue", 247)
        sourceName: "deviceAddress"
    }
    ListProperty {
        id: deviceBaudRate
        caption: menuProps.deviceField("baudRate", "caption", "")
        dimension: menuProps.deviceField("baudRate", "dimension", deviceDimensions.baud)
        model: menuProps.deviceField("baudRate", "model", menuContext.deviceBaudRates)
        sourceName: "deviceBaudRateIndex"
    }
    // The link's own range, not the register's: the instrument takes 0, but a serial read
    // without a byte time-out would wait for ever, and the context refuses it.
    IntProperty {
        id: byteTimeout
        caption: menuProps.deviceField("byteTimeout", "caption", "")
        dimension: menuProps.deviceField("byteTimeout", "dimension", deviceDimensions.ms)
        minValue: 1
        maxValue: 200
        sourceName: "byteTimeout"
    }
    IntProperty {
        id: rtsDelay
        caption: menuProps.deviceField("rtsDelay", "caption", "")
        dimension: menuProps.deviceField("rtsDelay", "dimension", deviceDimensions.ms)
        minValue: menuProps.deviceField("rtsDelay", "minValue", 0)
        maxValue: menuProps.deviceField("rtsDelay", "maxValue", 100)
        sourceName: "rtsDelay"
    }
    IntProperty {
        id: readTimeout
        caption: qsTr("Read timeout")
        dimension: deviceDimensions.ms
        minValue: 50
        maxValue: 10000
        sourceName: "readTimeout"
    }
    ListProperty {
        id: controlRts
        caption: qsTr("Control RTS")
        model: [QT_TRANSLATE_NOOP("DeviceProps", "off"), QT_TRANSLATE_NOOP("DeviceProps", "on")]
        valueFromDevice: menuContext.controlRts ? 1 : 0
        sourceName: "controlRts"
        function setValue(newValue, dontWriteToModbus) {
            if (validate(newValue))
                menuContext.controlRts = Number(newValue) === 1
        }
    }
    VariantListProperty {
        id: usbDevice
        caption: qsTr("Device")
        model: menuContext.usbDevices
        sourceName: "usbDevice"
        // The context's usbDevice has no property setter, only its slot.
        function setValue(newValue, dontWriteToModbus) {
            menuContext.setUsbDevice(String(newValue))
        }
    }
    ListProperty {
        id: connectionState
        caption: qsTranslate("ConnectionState", "Connection")
        model: [QT_TRANSLATE_NOOP("ConnectionState", "off"),
            QT_TRANSLATE_NOOP("ConnectionState", "on")]
        translateContext: "ConnectionState"
        valueFromDevice: deviceModbus.connected ? 1 : 0
        // Connecting and disconnecting the client's link; nothing is written to the instrument.
        function setValue(newValue, dontWriteToModbus) {
            if (!validate(newValue) || !deviceModbus.transport)
                return
            if (Number(newValue) === 1)
                deviceModbus.transport.connectTransport()
            else
                deviceModbus.transport.disconnectTransport()
        }
    }
}
