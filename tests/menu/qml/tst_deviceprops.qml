import QtQuick
import QtTest

// The device properties over the real register map (no instrument: register values are set on
// the items): the dictionary's types and names, list texts, computed values and the site text
// rule.
TestHarness {
    id: harness

    TestCase {
        id: devicePropsCase
        name: "DeviceProps"
        when: windowShown

        property var doc: null
        property var props: doc ? doc.deviceProps : null
        property var modbus: doc ? doc.deviceModbus : null

        function initTestCase() {
            doc = harness.create("../../../tests/menu/qml/DeviceModelDocument.qml")
            verify(doc, "device model document")
        }
        function cleanupTestCase() {
            if (doc)
                doc.destroy()
        }
        function init() {
            menuContext.expandBaudRates = false
        }

        // "RealProperty_QMLTYPE_12(0x...)" -> "RealProperty"
        function typeName(object) {
            var match = /^(\w+?)_QML/.exec(String(object))
            return match ? match[1] : String(object)
        }

        function test_types_data() {
            return [
                {tag: "RealProperty", count: 80, names: [
                    "tMin", "tMax", "phaseVelocity", "sensorTemp", "pipeSoundSpeed",
                    "pipeWallThickness", "pipeLinerSoundSpeed", "pipeLinerThickness",
                    "pipeCircumference", "pipeOutsideDiameter", "transducerPlaneDiameter",
                    "transducerSpacing", "pipeRoughness", "fluidViscosity", "maxFlowAcceleration",
                    "maxFlowRate", "flowCutOff", "zeroFlowOffsetdt0", "additionalDelay",
                    "fluidSoundSpeed", "k1", "k2", "k3", "lowerSetPoint", "upperSetPoint",
                    "fluidTemperature", "dtMeasured", "dtCalculated", "dt0", "p",
                    "currentAverageDt0", "flowRate", "flowVelocity", "hydrodynamicCoeff",
                    "totalAdditionalDt", "flowIncreaseAcceleration", "measuredSoundSpeed",
                    "currentAdditionalDelay", "transducerSpacingRecommended", "vPlus", "vMinus",
                    "vSummary", "discreteOutputCurrentFreq", "discreteOutputIntegralValue",
                    "cardSpaceOccupied", "cardCapacity", "cardFreeSpace", "onFlowZeroAdjusmentC1",
                    "onFlowZeroAdjusmentDt1", "onFlowZeroAdjusmentDt2", "onFlowZeroAdjustmentDt0",
                    "discreteOutputKp", "discreteOutputKi", "discreteOutputMaxFreq",
                    "discreteOutputUpperLimit", "discreteOutputLowerLimit", "massFlowRate",
                    "thermalPower", "mPlusAccumulated", "wPlus", "rawCurrent", "pressureCurrent",
                    "pressure", "rawResistance1", "resistance1", "temperature1", "rawResistance2",
                    "resistance2", "temperature2", "upperMassFlowRateSetPoint",
                    "lowerMassFlowRateSetPoint", "deltaT", "pressureDefaultValue",
                    "lowerNominalTemperature1", "upperNominalTemperature1",
                    "temperature1DefaultValue", "lowerNominalTemperature2",
                    "upperNominalTemperature2", "temperature2DefaultValue", "atmosphericPressure"]},
                {tag: "ListProperty", count: 37, names: [
                    "baudRate", "modbusMode", "usbState", "probeVoltage", "automaticGainControl",
                    "sensorsFreqType", "probeSignalFreq", "sensorsType", "transducerMountingMethod",
                    "pipeMaterial", "pipeLinerMaterial", "flowSign", "fluidType",
                    "discreteOutputStatus", "powerStatus", "cardStatus", "loggingInterval",
                    "currentSite", "discreteOutputMode", "discreteOutputActiveState",
                    "discreteOutputFreqListIndex", "discreteOutputPulseListIndex",
                    "discreteOutputLogicalListIndex", "scheduleState", "scheduleMode",
                    "periodicScheduleLoggingInterval", "pressureStatus", "temperatureStatus1",
                    "temperatureStatus2", "heatSupplySystem", "pressureSensorControl",
                    "currentConversionRange", "pressureConversionRange",
                    "temperature1SensorControl", "rtdType1", "temperature2SensorControl",
                    "rtdType2"]},
                {tag: "IntProperty", count: 29, names: [
                    "modbusAddress", "byteTimeout", "rtsDelay", "serialNumber", "firmwareCrc16",
                    "manualGain", "medianAveraging", "arithmeticAveraging",
                    "signalDetectionThreshold", "pulsesCount", "inertiaTime", "currentGain",
                    "signalStrength", "measurementsPerSecond", "chargeLevel",
                    "batteryRemainWithDisplay", "batteryRemainWithoutDisplay",
                    "additionalDelayCalibrationStatus", "calibratingZeroFlowOffsetStatus",
                    "settingZeroFlowPointStatus", "onFlowZeroAdjustmentTime", "adcReadCommand",
                    "adcStartForward", "adcStartBackward", "adcWindowStartForward",
                    "adcWindowStartBackward", "discreteOutputImpulseTime", "setZeroFlowOffsetdt0",
                    "scheduleCommand"]},
                {tag: "BoolProperty", count: 17, names: [
                    "sleepState", "failureGpio", "failureKeyboard", "failureGauge",
                    "failureI2cEeprom", "failureEFiles", "failureRtc", "failureParams",
                    "failureKeyboardTask", "failureFatTask", "failureArchTask", "failureAppTask",
                    "failureModbusTask", "failureUsb", "failureSom", "failureAfe",
                    "failureNorFlash"]},
                {tag: "CommandProperty", count: 12, names: [
                    "setAdditionalDelay", "initialize", "eraseMemoryCard", "eraseArchive",
                    "discreteOutputCalculateKp", "discreteOutputCalculateKi", "shutdown",
                    "calibrateTouchScreen", "resetScheduleCommand", "resetMeasurementHistory",
                    "siteCopier", "siteClear"]},
                {tag: "TextProperty", count: 6, names: [
                    "getDevNameVersion", "meterVersion", "editingSiteGroup", "editingSiteSubGroup",
                    "editingSiteName", "siteName"]},
                {tag: "DateTimeProperty", count: 6, names: [
                    "time", "lastArchiveTime", "periodicScheduleStartTime", "periodicSchedulePeriod",
                    "periodicScheduleDuration", "periodicScheduleEndTime"]},
                {tag: "ToggleCommandProperty", count: 2, names: [
                    "measureStatus", "adjustAdditionalDelay"]},
                {tag: "FlagsProperty", count: 2, names: ["esSecondary", "heatEs"]},
                {tag: "IntervalSchedulePropGroup", count: 20, names: [
                    "intervalSchedule0", "intervalSchedule1", "intervalSchedule2",
                    "intervalSchedule3", "intervalSchedule4", "intervalSchedule5",
                    "intervalSchedule6", "intervalSchedule7", "intervalSchedule8",
                    "intervalSchedule9", "intervalSchedule10", "intervalSchedule11",
                    "intervalSchedule12", "intervalSchedule13", "intervalSchedule14",
                    "intervalSchedule15", "intervalSchedule16", "intervalSchedule17",
                    "intervalSchedule18", "intervalSchedule19"]}
            ]
        }
        // Each child of that type is one of the names, and each name reaches a distinct child.
        function test_types(data) {
            var children = []
            for (var c = 0; c < props.data.length; ++c) {
                if (typeName(props.data[c]) === data.tag)
                    children.push(props.data[c])
            }
            compare(children.length, data.count)
            compare(data.names.length, data.count)
            var reached = []
            for (var i = 0; i < data.names.length; ++i) {
                var object = props[data.names[i]]
                verify(object, data.names[i])
                compare(typeName(object), data.tag, data.names[i])
                verify(children.indexOf(object) >= 0, data.names[i])
                verify(reached.indexOf(object) < 0, data.names[i])
                reached.push(object)
            }
        }

        function test_scheduleGroups() {
            compare(props.intervalSchedule7.modbusItem, modbus.intervalSchedule7)
            compare(props.intervalSchedule7.state.modbusItem, modbus.intervalSchedule7.state)
            compare(props.intervalSchedule19.loggingInterval.modbusItem,
                    modbus.intervalSchedule19.loggingInterval)
            modbus.intervalSchedule3.loggingInterval.value = 6
            modbus.intervalSchedule3.state.value = 1
            compare(props.intervalSchedule3.loggingInterval.formatValue, "1 min")
            compare(props.intervalSchedule3.state.formatValue, "yes")
            compare(props.intervalSchedule3.startTime.caption, "Start time")
        }

        // The register value set on the item (by name, or the property's own item) and the row.
        function test_lists_data() {
            return [
                {tag: "baudRate: 8 entries, 4 is 19200", name: "baudRate", count: 8,
                    value: 4, text: "19200"},
                {tag: "baudRate expanded: 11 entries", name: "baudRate", count: 11, expand: true,
                    value: 10, text: "921600"},
                {tag: "probeSignalFreq first", name: "probeSignalFreq", count: 47, value: 0,
                    text: "200"},
                {tag: "probeSignalFreq last", name: "probeSignalFreq", count: 47, value: 46,
                    text: "2500"},
                {tag: "pipeMaterial Other", name: "pipeMaterial", count: 15, value: 14,
                    text: "Other", extra: "custom"},
                {tag: "pipeLinerMaterial No", name: "pipeLinerMaterial", count: 12, value: 0,
                    text: "No", extra: "noLiner"},
                {tag: "mounting 2 is V-mount", name: "transducerMountingMethod", count: 2,
                    value: 2, text: "V-mount"},
                {tag: "mounting 0 is not in the list", name: "transducerMountingMethod", count: 2,
                    value: 0, text: " "},
                {tag: "output status 0", name: "discreteOutputStatus", count: 16, value: 0,
                    text: "No errors"},
                {tag: "output status 6, two bits", name: "discreteOutputStatus", count: 16,
                    value: 6, text: "Have errors"},
                {tag: "output status 8", name: "discreteOutputStatus", count: 16, value: 8,
                    text: "Q > Qmax"},
                {tag: "current range 3", name: "currentConversionRange", count: 3, value: 3,
                    text: "4..20"},
                {tag: "pressure range 8", name: "pressureConversionRange", count: 8, value: 8,
                    text: "120"},
                {tag: "current site 19 (read from the input register)", name: "currentSite",
                    count: 20, item: "currentSiteRo", value: 19, text: "20"},
                {tag: "logging interval 8", name: "loggingInterval", count: 9, value: 8,
                    text: "6 min"},
                {tag: "power 2: adapter", name: "powerStatus", count: 5, value: 2,
                    text: "battery charging", extra: "hasAdapter"},
                {tag: "card 5: formatting", name: "cardStatus", count: 7, value: 5,
                    text: "erasing", extra: "formatting"},
                {tag: "schedule done", name: "scheduleState", count: 3, value: 2, text: "Done",
                    extra: "done"},
                {tag: "heat system closed", name: "heatSupplySystem", count: 4, value: 3,
                    text: "Closed"},
                {tag: "RTD type untranslated", name: "rtdType2", count: 6, value: 5,
                    text: "Pt’1000 (1.391)"}
            ]
        }
        function test_lists(data) {
            menuContext.expandBaudRates = data.expand === true
            var prop = props[data.name]
            var item = modbus[data.item ? data.item : data.name]
            item.value = data.value
            compare(prop.model.length, data.count)
            compare(prop.formatValue, data.text)
            if (data.extra)
                verify(prop[data.extra], data.extra)
        }

        // A value in the instrument's unit shown in the chosen one.
        function test_units_data() {
            return [
                {tag: "flow rate in l/min", unit: "flowRateDimension", index: 2, name: "flowRate",
                    value: 1.2, shown: 20, dimension: "l/min"},
                {tag: "flow rate in m³/s", unit: "flowRateDimension", index: 3, name: "flowRate",
                    value: 1.2, shown: 1.2 / 3600, dimension: "m³/s"},
                {tag: "heat in GJ", unit: "heatDimension", index: 1, name: "wPlus", value: 1,
                    shown: 4.1868, dimension: "GJ"},
                {tag: "thermal power in MW", unit: "thermalPowerDimension", index: 2,
                    name: "thermalPower", value: 1, shown: 1.163, dimension: "MW"},
                {tag: "volume in l turns KP to imp/l", unit: "volumeDimension", index: 1,
                    name: "discreteOutputKp", value: 3000, shown: 3, dimension: "imp/l"},
                {tag: "volume in l turns Ki to l/imp", unit: "volumeDimension", index: 1,
                    name: "discreteOutputKi", value: 0.002, shown: 2, dimension: "l/imp"},
                {tag: "KP in m³", unit: "volumeDimension", index: 0, name: "discreteOutputKp",
                    value: 3000, shown: 3000, dimension: "imp/m³"}
            ]
        }
        function test_units(data) {
            var unit = doc.deviceDimensions[data.unit]
            unit.setIndex(data.index)
            modbus[data.name].value = data.value
            fuzzyCompare(props[data.name].value, data.shown, 1e-6)
            compare(props[data.name].dimension, data.dimension)
            unit.setIndex(0)
        }

        function test_fluidTemperature_data() {
            return [
                {tag: "water 99.5", fluid: 0, entry: "99.5", valid: true},
                {tag: "water 100", fluid: 0, entry: "100", valid: false},
                {tag: "water -0.1", fluid: 0, entry: "-0.1", valid: false},
                {tag: "other -30", fluid: 1, entry: "-30", valid: true},
                {tag: "other 150", fluid: 1, entry: "150", valid: true},
                {tag: "other 150.5", fluid: 1, entry: "150.5", valid: false}
            ]
        }
        function test_fluidTemperature(data) {
            modbus.fluidType.value = data.fluid
            compare(props.fluidTemperature.validate(data.entry), data.valid)
        }

        function test_values() {
            modbus.firmwareCrc16.value = 0xAB
            compare(props.firmwareCrc16.formatValue, "0x00AB")
            modbus.firmwareCrc16.value = 0xBEEF
            compare(props.firmwareCrc16.formatValue, "0xBEEF")

            modbus.report.value = "  Dorrik Tavrin 23.06.00.27 \n"
            compare(props.getDevNameVersion.formatValue, "Dorrik Tavrin 23.06.00.27")
            compare(props.getDevNameVersion.version, "23.06.00.27")

            modbus.esSecondary.value = 5
            compare(props.esSecondary.formatValue, "Quickly no sensor\nUser data error")
            modbus.esSecondary.value = 0
            compare(props.esSecondary.formatValue, "no")

            modbus.vPlus.value = 12.5
            modbus.vMinus.value = 2.25
            compare(props.vSummary.formatValue, "10.250")
            modbus.cardCapacity.value = 1000
            modbus.cardSpaceOccupied.value = 250
            compare(props.cardFreeSpace.formatValue, "750")
        }

        function test_deviceTime() {
            modbus.timeRo.value = new Date(2024, 0, 2, 3, 4, 5)
            compare(props.time.formatValue, "02.01.2024  03:04:05")
            compare(menuContext.deviceTime, "02.01.2024  03:04:05")
        }

        function test_measuring() {
            modbus.measureStatusRo.value = 0
            compare(props.measuring, false)
            modbus.calibratingZeroFlowOffsetStatus.value = 2
            compare(props.calibrationStarted, true)
            compare(props.measuring, true)
            modbus.calibratingZeroFlowOffsetStatus.value = 0
            compare(props.measuring, false)
            modbus.measureStatusRo.value = 1
            compare(props.measuring, true)
            compare(props.calibrationStarted, false)
            modbus.measureStatusRo.value = 0
        }

        // The measuring switch's own flags follow the register it reads; the deferred one only
        // after the delay when measuring starts, at once when it stops.
        function test_measureStatus_data() {
            return [
                {tag: "stopped", register: 0, measuring: false},
                {tag: "measuring", register: 1, measuring: true},
                {tag: "another value", register: 2, measuring: false},
            ]
        }
        function test_measureStatus(data) {
            props.measuringDeferredDelay = 100
            modbus.measureStatusRo.value = 0
            compare(props.measureStatus.measuringDeferred, false)
            modbus.measureStatusRo.value = data.register
            compare(props.measureStatus.measuring, data.measuring)
            compare(props.measureStatus.measuringDeferred, false)
            if (data.measuring) {
                tryCompare(props.measureStatus, "measuringDeferred", true, 3000)
                compare(props.measuringDeferred, true)
            } else {
                wait(200)
                compare(props.measureStatus.measuringDeferred, false)
            }
            modbus.measureStatusRo.value = 0
            compare(props.measureStatus.measuring, false)
            compare(props.measureStatus.measuringDeferred, false)
            compare(props.measuringDeferred, false)
            props.measuringDeferredDelay = 2000
        }

        // 0xAA550000 + the site, beyond QML's int; no site below 0. The root's function is the
        // command's.
        function test_eraseSpecifiedArchive_data() {
            return [
                {tag: "site 0 through eraseArchive", on: "eraseArchive", index: 0,
                 code: 0xAA550000},
                {tag: "site 3 through eraseArchive", on: "eraseArchive", index: 3,
                 code: 0xAA550003},
                {tag: "site 19 through eraseArchive", on: "eraseArchive", index: 19,
                 code: 0xAA550013},
                {tag: "site 5 through the device properties", on: "", index: 5,
                 code: 0xAA550005},
                {tag: "-1 refused through eraseArchive", on: "eraseArchive", index: -1},
                {tag: "-1 refused through the device properties", on: "", index: -1},
            ]
        }
        function test_eraseSpecifiedArchive(data) {
            testTools.captureMessages()
            modbus.eraseArchive.value = 7
            var target = data.on === "" ? props : props[data.on]
            target.eraseSpecifiedArchive(data.index)
            var refusal = testTools.messages().filter(function (m) {
                return m.indexOf("Cannot erase archive - wrong site index") >= 0
            }).length
            if (data.code === undefined) {
                compare(modbus.eraseArchive.value, 7)
                compare(refusal, 1)
            } else {
                compare(modbus.eraseArchive.value, data.code)
                compare(refusal, 0)
            }
        }

        function test_siteTexts_data() {
            var euro13 = "€€€€€€€€€€€€€" // 39 bytes
            return [
                {tag: "name plain", name: "editingSiteName", text: "Boiler 2", valid: true},
                {tag: "name with ;", name: "editingSiteName", text: "a;b", valid: false},
                {tag: "name with a double quote", name: "editingSiteName", text: "a\"b",
                    valid: false},
                {tag: "name of 39 UTF-8 bytes", name: "editingSiteName", text: euro13, valid: true},
                {tag: "name of 42 UTF-8 bytes", name: "editingSiteName", text: euro13 + "€",
                    valid: false},
                {tag: "name blank", name: "editingSiteName", text: "   ", valid: false},
                {tag: "name of 21 characters", name: "editingSiteName",
                    text: "abcdefghijklmnopqrstu", valid: false},
                {tag: "group empty", name: "editingSiteGroup", text: "", valid: true},
                {tag: "group with ;", name: "editingSiteGroup", text: "x;", valid: false},
                {tag: "subgroup of 42 UTF-8 bytes", name: "editingSiteSubGroup",
                    text: euro13 + "€", valid: false},
                {tag: "current site name with ;", name: "siteName", text: "a;", valid: false},
                {tag: "current site name", name: "siteName", text: "Site 1", valid: true}
            ]
        }
        function test_siteTexts(data) {
            compare(props[data.name].validate(data.text), data.valid)
        }
    }
}
