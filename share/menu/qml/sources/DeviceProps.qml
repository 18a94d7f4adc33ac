import QtQuick
import "../properties"

// The instrument's parameters as the user sees them: one property object per setting or reading,
// published under its id, so that screens reach deviceProps.<name> and never format a register.
Item {
    id: deviceProps

    property alias time: time
    property alias modbusAddress: modbusAddress
    property alias baudRate: baudRate
    property alias byteTimeout: byteTimeout
    property alias rtsDelay: rtsDelay
    property alias modbusMode: modbusMode
    property alias serialNumber: serialNumber
    property alias getDevNameVersion: getDevNameVersion
    property alias meterVersion: meterVersion
    property alias firmwareCrc16: firmwareCrc16
    property alias usbState: usbState
    property alias probeVoltage: probeVoltage
    property alias automaticGainControl: automaticGainControl
    property alias manualGain: manualGain
    property alias tMin: tMin
    property alias tMax: tMax
    property alias medianAveraging: medianAveraging
    property alias arithmeticAveraging: arithmeticAveraging
    property alias sensorsFreqType: sensorsFreqType
    property alias phaseVelocity: phaseVelocity
    property alias sensorTemp: sensorTemp
    property alias probeSignalFreq: probeSignalFreq
    property alias signalDetectionThreshold: signalDetectionThreshold
    property alias pulsesCount: pulsesCount
    property alias sensorsType: sensorsType
    property alias transducerMountingMethod: transducerMountingMethod
    property alias pipeMaterial: pipeMaterial
    property alias pipeLinerMaterial: pipeLinerMaterial
    property alias flowSign: flowSign
    property alias inertiaTime: inertiaTime
    property alias pipeSoundSpeed: pipeSoundSpeed
    property alias pipeWallThickness: pipeWallThickness
    property alias pipeLinerSoundSpeed: pipeLinerSoundSpeed
    property alias pipeLinerThickness: pipeLinerThickness
    property alias pipeCircumference: pipeCircumference
    property alias pipeOutsideDiameter: pipeOutsideDiameter
    property alias transducerPlaneDiameter: transducerPlaneDiameter
    property alias transducerSpacing: transducerSpacing
    property alias pipeRoughness: pipeRoughness
    property alias fluidViscosity: fluidViscosity
    property alias maxFlowAcceleration: maxFlowAcceleration
    property alias maxFlowRate: maxFlowRate
    property alias flowCutOff: flowCutOff
    property alias zeroFlowOffsetdt0: zeroFlowOffsetdt0
    property alias additionalDelay: additionalDelay
    property alias fluidSoundSpeed: fluidSoundSpeed
    property alias k1: k1
    property alias k2: k2
    property alias k3: k3
    property alias lowerSetPoint: lowerSetPoint
    property alias upperSetPoint: upperSetPoint
    property alias fluidType: fluidType
    property alias fluidTemperature: fluidTemperature
    property alias dtMeasured: dtMeasured
    property alias dtCalculated: dtCalculated
    property alias dt0: dt0
    property alias p: p
    property alias currentAverageDt0: currentAverageDt0
    property alias currentGain: currentGain
    property alias signalStrength: signalStrength
    property alias measurementsPerSecond: measurementsPerSecond
    property alias flowRate: flowRate
    property alias flowVelocity: flowVelocity
    property alias hydrodynamicCoeff: hydrodynamicCoeff
    property alias totalAdditionalDt: totalAdditionalDt
    property alias flowIncreaseAcceleration: flowIncreaseAcceleration
    property alias measuredSoundSpeed: measuredSoundSpeed
    property alias currentAdditionalDelay: currentAdditionalDelay
    property alias transducerSpacingRecommended: transducerSpacingRecommended
    property alias vPlus: vPlus
    property alias vMinus: vMinus
    property alias vSummary: vSummary
    property alias esSecondary: esSecondary
    property alias discreteOutputCurrentFreq: discreteOutputCurrentFreq
    property alias discreteOutputIntegralValue: discreteOutputIntegralValue
    property alias discreteOutputStatus: discreteOutputStatus
    property alias powerStatus: powerStatus
    property alias chargeLevel: chargeLevel
    property alias cardStatus: cardStatus
    property alias cardSpaceOccupied: cardSpaceOccupied
    property alias cardCapacity: cardCapacity
    property alias cardFreeSpace: cardFreeSpace
    property alias lastArchiveTime: lastArchiveTime
    property alias loggingInterval: loggingInterval
    property alias currentSite: currentSite
    property alias sleepState: sleepState
    property alias batteryRemainWithDisplay: batteryRemainWithDisplay
    property alias batteryRemainWithoutDisplay: batteryRemainWithoutDisplay
    property alias additionalDelayCalibrationStatus: additionalDelayCalibrationStatus
    property alias calibratingZeroFlowOffsetStatus: calibratingZeroFlowOffsetStatus
    property alias settingZeroFlowPointStatus: settingZeroFlowPointStatus
    property alias onFlowZeroAdjustmentTime: onFlowZeroAdjustmentTime
    property alias onFlowZeroAdjusmentC1: onFlowZeroAdjusmentC1
    property alias onFlowZeroAdjusmentDt1: onFlowZeroAdjusmentDt1
    property alias onFlowZeroAdjusmentDt2: onFlowZeroAdjusmentDt2
    property alias onFlowZeroAdjustmentDt0: onFlowZeroAdjustmentDt0
    property alias adcReadCommand: adcReadCommand
    property alias adcStartForward: adcStartForward
    property alias adcStartBackward: adcStartBackward
    property alias adcWindowStartForward: adcWindowStartForward
    property alias adcWindowStartBackward: adcWindowStartBackward
    property alias discreteOutputMode: discreteOutputMode
    property alias discreteOutputActiveState: discreteOutputActiveState
    property alias discreteOutputKp: discreteOutputKp
    property alias discreteOutputKi: discreteOutputKi
    property alias discreteOutputImpulseTime: discreteOutputImpulseTime
    property alias discreteOutputMaxFreq: discreteOutputMaxFreq
    property alias discreteOutputUpperLimit: discreteOutputUpperLimit
    property alias discreteOutputLowerLimit: discreteOutputLowerLimit
    property alias discreteOutputFreqListIndex: discreteOutputFreqListIndex
    property alias discreteOutputPulseListIndex: discreteOutputPulseListIndex
    property alias discreteOutputLogicalListIndex: discreteOutputLogicalListIndex
    property alias scheduleState: scheduleState
    property alias scheduleMode: scheduleMode
    property alias periodicScheduleStartTime: periodicScheduleStartTime
    property alias periodicSchedulePeriod: periodicSchedulePeriod
    property alias periodicScheduleDuration: periodicScheduleDuration
    property alias periodicScheduleEndTime: periodicScheduleEndTime
    property alias periodicScheduleLoggingInterval: periodicScheduleLoggingInterval
    property alias massFlowRate: massFlowRate
    property alias thermalPower: thermalPower
    property alias mPlusAccumulated: mPlusAccumulated
    property alias wPlus: wPlus
    property alias heatEs: heatEs
    property alias rawCurrent: rawCurrent
    property alias pressureCurrent: pressureCurrent
    property alias pressure: pressure
    property alias pressureStatus: pressureStatus
    property alias rawResistance1: rawResistance1
    property alias resistance1: resistance1
    property alias temperature1: temperature1
    property alias temperatureStatus1: temperatureStatus1
    property alias rawResistance2: rawResistance2
    property alias resistance2: resistance2
    property alias temperature2: temperature2
    property alias temperatureStatus2: temperatureStatus2
    property alias heatSupplySystem: heatSupplySystem
    property alias upperMassFlowRateSetPoint: upperMassFlowRateSetPoint
    property alias lowerMassFlowRateSetPoint: lowerMassFlowRateSetPoint
    property alias deltaT: deltaT
    property alias pressureSensorControl: pressureSensorControl
    property alias currentConversionRange: currentConversionRange
    property alias pressureConversionRange: pressureConversionRange
    property alias pressureDefaultValue: pressureDefaultValue
    property alias temperature1SensorControl: temperature1SensorControl
    property alias rtdType1: rtdType1
    property alias lowerNominalTemperature1: lowerNominalTemperature1
    property alias upperNominalTemperature1: upperNominalTemperature1
    property alias temperature1DefaultValue: temperature1DefaultValue
    property alias temperature2SensorControl: temperature2SensorControl
    property alias rtdType2: rtdType2
    property alias lowerNominalTemperature2: lowerNominalTemperature2
    property alias upperNominalTemperature2: upperNominalTemperature2
    property alias temperature2DefaultValue: temperature2DefaultValue
    property alias atmosphericPressure: atmosphericPressure
    property alias failureGpio: failureGpio
    property alias failureKeyboard: failureKeyboard
    property alias failureGauge: failureGauge
    property alias failureI2cEeprom: failureI2cEeprom
    property alias failureEFiles: failureEFiles
    property alias failureRtc: failureRtc
    property alias failureParams: failureParams
    property alias failureKeyboardTask: failureKeyboardTask
    property alias failureFatTask: failureFatTask
    property alias failureArchTask: failureArchTask
    property alias failureAppTask: failureAppTask
    property alias failureModbusTask: failureModbusTask
    property alias failureUsb: failureUsb
    property alias failureSom: failureSom
    property alias failureAfe: failureAfe
    property alias failureNorFlash: failureNorFlash
    property alias editingSiteGroup: editingSiteGroup
    property alias editingSiteSubGroup: editingSiteSubGroup
    property alias editingSiteName: editingSiteName
    property alias siteName: siteName
    property alias intervalSchedule0: intervalSchedule0
    property alias intervalSchedule1: intervalSchedule1
    property alias intervalSchedule2: intervalSchedule2
    property alias intervalSchedule3: intervalSchedule3
    property alias intervalSchedule4: intervalSchedule4
    property alias intervalSchedule5: intervalSchedule5
    property alias intervalSchedule6: intervalSchedule6
    property alias intervalSchedule7: intervalSchedule7
    property alias intervalSchedule8: intervalSchedule8
    property alias intervalSchedule9: intervalSchedule9
    property alias intervalSchedule10: intervalSchedule10
    property alias intervalSchedule11: intervalSchedule11
    property alias intervalSchedule12: intervalSchedule12
    property alias intervalSchedule13: intervalSchedule13
    property alias intervalSchedule14: intervalSchedule14
    property alias intervalSchedule15: intervalSchedule15
    property alias intervalSchedule16: intervalSchedule16
    property alias intervalSchedule17: intervalSchedule17
    property alias intervalSchedule18: intervalSchedule18
    property alias intervalSchedule19: intervalSchedule19

    readonly property var loggingIntervalTexts: [QT_TRANSLATE_NOOP("DeviceProps", "1 s"),
        QT_TRANSLATE_NOOP("DeviceProps", "2 s"), QT_TRANSLATE_NOOP("DeviceProps", "5 s"),
        QT_TRANSLATE_NOOP("DeviceProps", "6 s"), QT_TRANSLATE_NOOP("DeviceProps", "10 s"),
        QT_TRANSLATE_NOOP("DeviceProps", "30 s"), QT_TRANSLATE_NOOP("DeviceProps", "1 min"),
        QT_TRANSLATE_NOOP("DeviceProps", "5 min"), QT_TRANSLATE_NOOP("DeviceProps", "6 min")]

    visible: false

    readonly property real adcRatio: 50 / 1000
    property bool isLF: sensorsFreqType.value === 0
    property bool calibrationStarted: additionalDelayCalibrationStatus.started
                                      || calibratingZeroFlowOffsetStatus.started
                                      || settingZeroFlowPointStatus.started
    property bool measuring: measureStatus.value === 1 || calibrationStarted

    // The site text rule: no ";" and no double quote, and the UTF-8 form must fit a name field
    // of the site record (40 bytes).
    function siteStrValidate(text) {
        var str = String(text)
        if (str.indexOf(";") >= 0 || str.indexOf("\"") >= 0)
            return false
        return menuContext.validateModbusUtf8StringSize(str, 40) === true
    }

    // The clock line of the shell.
    Binding {
        target: menuContext
        property: "deviceTime"
        value: time.formatValue
    }

    // Material rules: a sound speed or liner thickness typed in by hand only holds for the
    // material "Other", so the material is switched first (not while a configuration is loaded
    // or saved: the file holds its own material).
    Connections {
        target: deviceModbus.pipeSoundSpeed ? deviceModbus.pipeSoundSpeed : null
        function onBeforeWrite() {
            if (exportManager.active !== true && !pipeMaterial.custom)
                pipeMaterial.setCustomMaterial()
        }
    }
    Connections {
        target: deviceModbus.pipeLinerSoundSpeed ? deviceModbus.pipeLinerSoundSpeed : null
        function onBeforeWrite() {
            if (exportManager.active !== true && !pipeLinerMaterial.custom)
                pipeLinerMaterial.setCustomMaterial()
        }
    }
    Connections {
        target: deviceModbus.pipeLinerThickness ? deviceModbus.pipeLinerThickness : null
        function onBeforeWrite() {
            if (exportManager.active !== true && pipeLinerMaterial.noLiner)
                pipeLinerMaterial.setCustomMaterial()
        }
    }

    // Connection and identity.
    DateTimeProperty {
        id: time
        caption: qsTr("Date & time")
        modbusItem: deviceModbus.timeRo
        modbusItemOut: deviceModbus.time
    }
    IntProperty {
        id: modbusAddress
        caption: qsTr("ModBus device address")
        modbusItem: deviceModbus.modbusAddress
        minValue: 1
        maxValue: 247
    }
    ListProperty {
        id: baudRate
        caption: qsTr("BaudRate")
        modbusItem: deviceModbus.baudRate
        dimension: deviceDimensions.baud
        model: {
            var rates = ["1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]
            if (menuContext.expandBaudRates === true)
                rates = rates.concat(["230400", "460800", "921600"])
            return rates
        }
    }
    IntProperty {
        id: byteTimeout
        caption: qsTr("Byte timeout")
        modbusItem: deviceModbus.byteTimeout
        dimension: deviceDimensions.ms
        minValue: 0
        maxValue: 200
    }
    IntProperty {
        id: rtsDelay
        caption: qsTr("RTS delay")
        modbusItem: deviceModbus.rtsDelay
        dimension: deviceDimensions.ms
        minValue: 0
        maxValue: 100
    }
    ListProperty {
        id: modbusMode
        caption: qsTranslate("Modbus", "ModBus mode")
        modbusItem: deviceModbus.modbusMode
        model: [QT_TRANSLATE_NOOP("DeviceProps", "RTU"), QT_TRANSLATE_NOOP("DeviceProps", "ASCII")]
    }
    IntProperty {
        id: serialNumber
        caption: qsTr("Serial number")
        modbusItem: deviceModbus.serialNumber
        readOnly: true
    }
    TextProperty {
        id: getDevNameVersion
        // The last word of the report is the firmware's version.
        property string version: {
            var words = value.split(" ")
            return words[words.length - 1]
        }
        caption: qsTr("Software version")
        modbusItem: deviceModbus.report
        value: valueFromDevice === undefined || valueFromDevice === null
               ? "" : String(valueFromDevice).trim()
    }
    TextProperty {
        id: meterVersion
        caption: qsTr("Meter version")
        valueFromDevice: deviceModbus.realFirmwareVer ? deviceModbus.realFirmwareVer.version : ""
        readOnly: true
    }
    IntProperty {
        id: firmwareCrc16
        caption: qsTr("Software CRC")
        modbusItem: deviceModbus.firmwareCrc16
        formatValue: {
            var hex = (value >>> 0).toString(16).toUpperCase()
            while (hex.length < 4)
                hex = "0" + hex
            return "0x" + hex
        }
    }
    ListProperty {
        id: usbState
        property bool exists: valueFromDevice > 0
        caption: qsTr("USB connection")
        modbusItem: deviceModbus.usbState
        translateContext: "UsbConnection"
        model: [QT_TRANSLATE_NOOP("UsbConnection", "disconnected"),
            QT_TRANSLATE_NOOP("UsbConnection", "connected")]
    }

    // Signal and sensors.
    ListProperty {
        id: probeVoltage
        caption: qsTr("Probe voltage")
        shortCaption: qsTr("Uprobe")
        modbusItem: deviceModbus.probeVoltage
        translateContext: "ProbeVoltage"
        model: [QT_TRANSLATE_NOOP("ProbeVoltage", "Low"), QT_TRANSLATE_NOOP("ProbeVoltage", "High")]
    }
    ListProperty {
        id: automaticGainControl
        caption: qsTr("Automatic gain control")
        modbusItem: deviceModbus.automaticGainControl
        model: [QT_TRANSLATE_NOOP("DeviceProps", "off"), QT_TRANSLATE_NOOP("DeviceProps", "on")]
    }
    IntProperty {
        id: manualGain
        caption: qsTranslate("Gain", "Manual gain")
        shortCaption: qsTr("Kagc")
        modbusItem: deviceModbus.manualGain
        minValue: 0
        maxValue: 57
    }
    RealProperty {
        id: tMin
        caption: qsTr("LB of signal search zone")
        shortCaption: qsTr("Tmin")
        modbusItem: deviceModbus.tMin
        dimension: deviceDimensions.us
        minValue: 0
        maxValue: 10000
        precision: 3
    }
    RealProperty {
        id: tMax
        caption: qsTr("UB of signal search zone")
        shortCaption: qsTr("Tmax")
        modbusItem: deviceModbus.tMax
        dimension: deviceDimensions.us
        minValue: 0
        maxValue: 10000
        precision: 3
    }
    IntProperty {
        id: medianAveraging
        caption: qsTr("Median averaging")
        modbusItem: deviceModbus.medianAveraging
        minValue: 1
        maxValue: 15
    }
    IntProperty {
        id: arithmeticAveraging
        caption: qsTr("Arithmetic averaging")
        modbusItem: deviceModbus.arithmeticAveraging
        minValue: 1
        maxValue: 400
    }
    ListProperty {
        id: sensorsFreqType
        caption: qsTr("Sensor freq type")
        shortCaption: qsTr("Sensor")
        modbusItem: deviceModbus.sensorsFreqType
        model: [QT_TRANSLATE_NOOP("DeviceProps", "LF"), QT_TRANSLATE_NOOP("DeviceProps", "HF")]
    }
    RealProperty {
        id: phaseVelocity
        caption: qsTr("Phase velocity")
        shortCaption: qsTr("ν")
        modbusItem: deviceModbus.phaseVelocity
        dimension: deviceDimensions.kms
        minValue: 1.482
        maxValue: 4.85
    }
    RealProperty {
        id: sensorTemp
        caption: qsTr("Sensor t")
        shortCaption: qsTr("t")
        modbusItem: deviceModbus.sensorTemp
        dimension: deviceDimensions.tempC
        minValue: -100
        maxValue: 200
    }
    ListProperty {
        id: probeSignalFreq
        caption: qsTr("Probe signal frequency")
        shortCaption: qsTr("F")
        modbusItem: deviceModbus.probeSignalFreq
        dimension: deviceDimensions.kHz
        model: ["200", "204", "208", "213", "217", "222", "227", "233", "238", "244", "250", "256",
            "263", "270", "278", "286", "294", "303", "313", "323", "333", "345", "357", "370",
            "385", "400", "417", "435", "455", "476", "500", "526", "556", "588", "625", "667",
            "714", "769", "833", "909", "1000", "1111", "1250", "1429", "1667", "2000", "2500"]
    }
    IntProperty {
        id: signalDetectionThreshold
        caption: qsTr("Signal detection threshold")
        modbusItem: deviceModbus.signalDetectionThreshold
        minValue: 1
        maxValue: 30000
    }
    IntProperty {
        id: pulsesCount
        caption: qsTr("Probe pulses count")
        modbusItem: deviceModbus.pulsesCount
        minValue: 1
        maxValue: 15
    }

    // Pipe, fluid and calculation.
    ListProperty {
        id: sensorsType
        caption: qsTr("Sensor type")
        modbusItem: deviceModbus.sensorsType
        model: ["overhead", "mortise"]
    }
    ListProperty {
        id: transducerMountingMethod
        caption: qsTr("XDCR mounting method")
        modbusItem: deviceModbus.transducerMountingMethod
        model: [QT_TRANSLATE_NOOP("DeviceProps", "Z-mount"),
            QT_TRANSLATE_NOOP("DeviceProps", "V-mount")]
        modelValues: [1, 2]
    }
    ListProperty {
        id: pipeMaterial
        property bool custom: value === model.length - 1
        caption: qsTr("Pipe material")
        modbusItem: deviceModbus.pipeMaterial
        model: [QT_TRANSLATE_NOOP("DeviceProps", "Carbon Steel"),
            QT_TRANSLATE_NOOP("DeviceProps", "Stainless Steel"),
            QT_TRANSLATE_NOOP("DeviceProps", "Cast Iron I"),
            QT_TRANSLATE_NOOP("DeviceProps", "Cast Iron II"),
            QT_TRANSLATE_NOOP("DeviceProps", "Brass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Polystyrene"),
            QT_TRANSLATE_NOOP("DeviceProps", "Polyamide"),
            QT_TRANSLATE_NOOP("DeviceProps", "Pyrex glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Crowns glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Flint glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Quartz glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "PVC"),
            QT_TRANSLATE_NOOP("DeviceProps", "Plexiglass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Teflon"),
            QT_TRANSLATE_NOOP("DeviceProps", "Other")]
        function setCustomMaterial() {
            setValue(model.length - 1)
        }
    }
    ListProperty {
        id: pipeLinerMaterial
        property bool noLiner: value === 0
        property bool custom: value === model.length - 1
        caption: qsTr("Pipe liner material")
        modbusItem: deviceModbus.pipeLinerMaterial
        model: [QT_TRANSLATE_NOOP("DeviceProps", "No"),
            QT_TRANSLATE_NOOP("DeviceProps", "Pyrex glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Crowns glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Flint glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Quartz glass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Polystyrene"),
            QT_TRANSLATE_NOOP("DeviceProps", "Polyamide"),
            QT_TRANSLATE_NOOP("DeviceProps", "PVC"),
            QT_TRANSLATE_NOOP("DeviceProps", "Polyethylene"),
            QT_TRANSLATE_NOOP("DeviceProps", "Plexiglass"),
            QT_TRANSLATE_NOOP("DeviceProps", "Teflon"),
            QT_TRANSLATE_NOOP("DeviceProps", "Other")]
        function setCustomMaterial() {
            setValue(model.length - 1)
        }
        function setNoMaterial() {
            setValue(0)
        }
    }
    ListProperty {
        id: flowSign
        caption: qsTr("Flow sign")
        modbusItem: deviceModbus.flowSign
        model: ["-", "+"]
    }
    IntProperty {
        id: inertiaTime
        caption: qsTr("Inertial time")
        modbusItem: deviceModbus.inertiaTime
        dimension: deviceDimensions.s
        minValue: 5
        maxValue: 300
    }
    RealProperty {
        id: pipeSoundSpeed
        caption: qsTr("Pipe sound speed")
        modbusItem: deviceModbus.pipeSoundSpeed
        dimension: deviceDimensions.kms
        minValue: 0
        maxValue: 10
    }
    RealProperty {
        id: pipeWallThickness
        caption: qsTr("Pipe wall thickness")
        modbusItem: deviceModbus.pipeWallThickness
        dimension: deviceDimensions.mm
        minValue: 0.01
        maxValue: 99.99
    }
    RealProperty {
        id: pipeLinerSoundSpeed
        caption: qsTr("Pipe liner sound speed")
        modbusItem: deviceModbus.pipeLinerSoundSpeed
        dimension: deviceDimensions.kms
        minValue: 0
        maxValue: 10
    }
    RealProperty {
        id: pipeLinerThickness
        caption: qsTr("Pipe liner thickness")
        modbusItem: deviceModbus.pipeLinerThickness
        dimension: deviceDimensions.mm
        minValue: 0
        maxValue: 99.99
    }
    RealProperty {
        id: pipeCircumference
        caption: qsTr("Pipe circumference")
        modbusItem: deviceModbus.pipeCircumference
        dimension: deviceDimensions.mm
        minValue: 31.416
        maxValue: 50265
    }
    RealProperty {
        id: pipeOutsideDiameter
        caption: qsTr("Pipe outside diameter")
        modbusItem: deviceModbus.pipeOutsideDiameter
        dimension: deviceDimensions.mm
        minValue: 10
        maxValue: 16000
    }
    RealProperty {
        id: transducerPlaneDiameter
        caption: qsTr("XDCR plane diameter")
        modbusItem: deviceModbus.transducerPlaneDiameter
        dimension: deviceDimensions.mm
        minValue: 10
        maxValue: 16000
    }
    RealProperty {
        id: transducerSpacing
        caption: qsTr("XDCR spacing")
        modbusItem: deviceModbus.transducerSpacing
        dimension: deviceDimensions.mm
        minValue: 10
        maxValue: 16000
    }
    RealProperty {
        id: pipeRoughness
        caption: qsTr("Pipe roughness")
        modbusItem: deviceModbus.pipeRoughness
        dimension: deviceDimensions.mm
        minValue: 0.00001
        maxValue: 10
    }
    RealProperty {
        id: fluidViscosity
        caption: qsTr("Fluid viscosity")
        modbusItem: deviceModbus.fluidViscosity
        dimension: deviceDimensions.cSt
        minValue: 0.0001
        maxValue: 5000
    }
    RealProperty {
        id: maxFlowAcceleration
        caption: qsTr("Max. flow rate accel.")
        modbusItem: deviceModbus.maxFlowAcceleration
        dimension: deviceDimensions.acceleration
        minValue: 0.001
        maxValue: 10
    }
    RealProperty {
        id: maxFlowRate
        caption: qsTr("Maximum flow rate")
        modbusItem: deviceModbus.maxFlowRate
        dimension: deviceDimensions.m_s
        minValue: 0
        maxValue: 100
    }
    RealProperty {
        id: flowCutOff
        caption: qsTr("Low flow cut-off")
        modbusItem: deviceModbus.flowCutOff
        dimensionItem: deviceDimensions.flowRateDimension
        minValue: 0
        maxValue: 10000000
    }
    RealProperty {
        id: zeroFlowOffsetdt0
        caption: qsTr("Zero flow offset dt0")
        shortCaption: qsTr("dt0")
        modbusItem: deviceModbus.zeroFlowOffsetdt0
        dimension: deviceDimensions.us
        minValue: -1000
        maxValue: 1000
        precision: 6
    }
    RealProperty {
        id: additionalDelay
        caption: qsTr("Additional delay")
        shortCaption: qsTr("Padd")
        modbusItem: deviceModbus.additionalDelay
        dimension: deviceDimensions.us
        minValue: -1000
        maxValue: 1000
    }
    RealProperty {
        id: fluidSoundSpeed
        caption: qsTr("Fluid sound speed")
        shortCaption: qsTr("Ctab")
        modbusItem: deviceModbus.fluidSoundSpeed
        dimension: deviceDimensions.kms
        minValue: 0.00001
        maxValue: 6
    }
    RealProperty {
        id: k1
        caption: qsTr("K1")
        modbusItem: deviceModbus.k1
        minValue: 0.00001
        maxValue: 100
    }
    RealProperty {
        id: k2
        caption: qsTr("K2")
        modbusItem: deviceModbus.k2
        dimension: deviceDimensions.mm
        minValue: -100
        maxValue: 100
    }
    RealProperty {
        id: k3
        caption: qsTr("K3")
        modbusItem: deviceModbus.k3
        dimension: deviceDimensions.mm
        minValue: -100
        maxValue: 100
    }
    RealProperty {
        id: lowerSetPoint
        caption: qsTr("Lower set point")
        modbusItem: deviceModbus.lowerSetPoint
        dimensionItem: deviceDimensions.flowRateDimension
        minValue: 0
        maxValue: 10000000
    }
    RealProperty {
        id: upperSetPoint
        caption: qsTr("Upper set point")
        modbusItem: deviceModbus.upperSetPoint
        dimensionItem: deviceDimensions.flowRateDimension
        minValue: 0.001
        maxValue: 10000000
    }
    ListProperty {
        id: fluidType
        property bool water: value === 0
        property bool custom: value === 1
        caption: qsTr("Fluid type")
        modbusItem: deviceModbus.fluidType
        translateContext: "Fluid type"
        model: [QT_TRANSLATE_NOOP("Fluid type", "Water"), QT_TRANSLATE_NOOP("Fluid type", "Other")]
    }
    RealProperty {
        id: fluidTemperature
        caption: qsTr("Fluid temperature")
        modbusItem: deviceModbus.fluidTemperature
        dimension: deviceDimensions.tempC
        // Water is water only between freezing and boiling.
        minValue: fluidType.water ? 0 : -30
        maxValue: fluidType.water ? 99.5 : 150
    }

    // Readings and device state.
    RealProperty {
        id: dtMeasured
        caption: qsTr("dt measured")
        shortCaption: qsTr("dt")
        modbusItem: deviceModbus.dtMeasured
        dimension: deviceDimensions.us
        precision: 6
    }
    RealProperty {
        id: dtCalculated
        caption: qsTr("dt calculated")
        shortCaption: qsTr("dt")
        modbusItem: deviceModbus.dtCalculated
        dimension: deviceDimensions.us
        precision: 6
    }
    RealProperty {
        id: dt0
        caption: "dt0"
        shortCaption: qsTr("dt0")
        modbusItem: deviceModbus.dt0
        dimension: deviceDimensions.us
        precision: 6
    }
    RealProperty {
        id: p
        caption: qsTr("Average flight time")
        shortCaption: qsTr("P")
        modbusItem: deviceModbus.p
        dimension: deviceDimensions.us
        precision: 2
    }
    RealProperty {
        id: currentAverageDt0
        caption: qsTr("Average dt0")
        modbusItem: deviceModbus.currentAverageDt0
        dimension: deviceDimensions.us
        precision: 6
    }
    IntProperty {
        id: currentGain
        caption: qsTr("Current gain")
        shortCaption: qsTr("gain")
        modbusItem: deviceModbus.currentGain
    }
    IntProperty {
        id: signalStrength
        caption: qsTr("Signal strength")
        modbusItem: deviceModbus.signalStrength
    }
    IntProperty {
        id: measurementsPerSecond
        caption: qsTr("Measurements per second")
        shortCaption: qsTr("Nmeas")
        modbusItem: deviceModbus.measurementsPerSecond
    }
    RealProperty {
        id: flowRate
        caption: qsTr("Flow rate")
        shortCaption: qsTr("Q")
        modbusItem: deviceModbus.flowRate
        dimensionItem: deviceDimensions.flowRateDimension
    }
    RealProperty {
        id: flowVelocity
        caption: qsTr("Flow velocity")
        shortCaption: qsTr("υ")
        modbusItem: deviceModbus.flowVelocity
        dimension: deviceDimensions.m_s
    }
    RealProperty {
        id: hydrodynamicCoeff
        caption: qsTr("Hydrodynamic coeff.")
        shortCaption: qsTr("Hc")
        modbusItem: deviceModbus.hydrodynamicCoeff
    }
    RealProperty {
        id: totalAdditionalDt
        caption: qsTr("Total additional delay")
        modbusItem: deviceModbus.totalAdditionalDt
        dimension: deviceDimensions.us
    }
    RealProperty {
        id: flowIncreaseAcceleration
        caption: qsTr("Flow increase acceleration")
        modbusItem: deviceModbus.flowIncreaseAcceleration
        dimension: deviceDimensions.acceleration
    }
    RealProperty {
        id: measuredSoundSpeed
        caption: qsTr("Measured sound speed")
        shortCaption: qsTr("Cmeas")
        modbusItem: deviceModbus.measuredSoundSpeed
        dimension: deviceDimensions.kms
    }
    RealProperty {
        id: currentAdditionalDelay
        caption: qsTr("Current add. delay")
        shortCaption: qsTr("Padd")
        modbusItem: deviceModbus.currentAdditionalDelay
        dimension: deviceDimensions.us
    }
    RealProperty {
        id: transducerSpacingRecommended
        caption: qsTr("Suggested XDCR spacing")
        modbusItem: deviceModbus.transducerSpacingRecommended
        dimension: deviceDimensions.mm
    }
    RealProperty {
        id: vPlus
        caption: qsTr("Volume +")
        shortCaption: qsTr("V+")
        modbusItem: deviceModbus.vPlus
        dimensionItem: deviceDimensions.volumeDimension
    }
    RealProperty {
        id: vMinus
        caption: qsTr("Volume -")
        shortCaption: qsTr("V-")
        modbusItem: deviceModbus.vMinus
        dimensionItem: deviceDimensions.volumeDimension
    }
    RealProperty {
        id: vSummary
        caption: qsTr("Volume summary")
        shortCaption: qsTr("ΣV")
        dimensionItem: deviceDimensions.volumeDimension
        valueFromDevice: vPlus.valueFromDevice - vMinus.valueFromDevice
        readOnly: true
    }
    FlagsProperty {
        id: esSecondary
        caption: qsTr("Emergency situations")
        shortCaption: qsTr("ES")
        modbusItem: deviceModbus.esSecondary
        flags: [QT_TRANSLATE_NOOP("DeviceProps", "Quickly no sensor"),
            QT_TRANSLATE_NOOP("DeviceProps", "No sensor"),
            QT_TRANSLATE_NOOP("DeviceProps", "User data error"),
            QT_TRANSLATE_NOOP("DeviceProps", "Qmax overflow"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q>Qhs"), QT_TRANSLATE_NOOP("DeviceProps", "Q<Qls")]
    }
    RealProperty {
        id: discreteOutputCurrentFreq
        caption: qsTr("Current frequency")
        shortCaption: qsTr("Fcur")
        modbusItem: deviceModbus.discreteOutputCurrentFreq
        dimension: deviceDimensions.hz
    }
    RealProperty {
        id: discreteOutputIntegralValue
        caption: qsTr("Integral value")
        modbusItem: deviceModbus.discreteOutputIntegralValue
    }
    ListProperty {
        id: discreteOutputStatus
        caption: qsTr("Status")
        modbusItem: deviceModbus.discreteOutputStatus
        // The value is a set of error bits; one bit alone is named, several are "Have errors".
        model: [QT_TRANSLATE_NOOP("DeviceProps", "No errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "F > Fmax"),
            QT_TRANSLATE_NOOP("DeviceProps", "Pulse > normal"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q < Qmin"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q > Qmax"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors"),
            QT_TRANSLATE_NOOP("DeviceProps", "Have errors")]
    }
    ListProperty {
        id: powerStatus
        property bool workOnBattery: value === 1
        property bool hasBattery: value === 1 || value === 2 || value === 4
        property bool hasAdapter: value >= 2
        caption: qsTr("Power")
        modbusItem: deviceModbus.powerStatus
        model: [QT_TRANSLATE_NOOP("DeviceProps", "unknown"),
            QT_TRANSLATE_NOOP("DeviceProps", "battery"),
            QT_TRANSLATE_NOOP("DeviceProps", "battery charging"),
            QT_TRANSLATE_NOOP("DeviceProps", "no battery"),
            QT_TRANSLATE_NOOP("DeviceProps", "battery full")]
    }
    IntProperty {
        id: chargeLevel
        caption: qsTr("Charge level")
        modbusItem: deviceModbus.chargeLevel
        dimension: "%"
    }
    ListProperty {
        id: cardStatus
        property bool exists: value !== 0
        property bool formatting: value === 5
        property bool readable: value === 2 || value === 4
        caption: qsTr("Memory card status")
        modbusItem: deviceModbus.cardStatus
        translateContext: "Card status"
        model: [QT_TRANSLATE_NOOP("Card status", "no card"),
            QT_TRANSLATE_NOOP("Card status", "init error"),
            QT_TRANSLATE_NOOP("Card status", "installed"),
            QT_TRANSLATE_NOOP("Card status", "error"), QT_TRANSLATE_NOOP("Card status", "full"),
            QT_TRANSLATE_NOOP("Card status", "erasing"),
            QT_TRANSLATE_NOOP("Card status", "initializing")]
    }
    RealProperty {
        id: cardSpaceOccupied
        modbusItem: deviceModbus.cardSpaceOccupied
    }
    RealProperty {
        id: cardCapacity
        modbusItem: deviceModbus.cardCapacity
    }
    RealProperty {
        id: cardFreeSpace
        caption: qsTr("Free space")
        valueFromDevice: cardCapacity.valueFromDevice - cardSpaceOccupied.valueFromDevice
        readOnly: true
        precision: 0
    }
    DateTimeProperty {
        id: lastArchiveTime
        caption: qsTr("Last archive time")
        modbusItem: deviceModbus.lastArchiveTime
    }
    ListProperty {
        id: loggingInterval
        caption: qsTr("Logging interval")
        modbusItem: deviceModbus.loggingInterval
        model: deviceProps.loggingIntervalTexts
    }
    ListProperty {
        id: currentSite
        caption: qsTr("Site")
        modbusItem: deviceModbus.currentSiteRo
        modbusItemOut: deviceModbus.currentSite
        model: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15",
            "16", "17", "18", "19", "20"]
    }
    BoolProperty {
        id: sleepState
        // The instrument itself never shows a sleeping display: its screen is this menu.
        property bool sleeping: embedded ? false : value
        modbusItem: deviceModbus.sleepState
    }
    // Minutes of battery left; the texts for the display's two states come with the commands.
    IntProperty {
        id: batteryRemainWithDisplay
        caption: qsTr("Battery time remains")
        modbusItem: deviceModbus.batteryRemain
    }
    IntProperty {
        id: batteryRemainWithoutDisplay
        caption: qsTr("Battery time remains\n(without display)")
        modbusItem: deviceModbus.batteryRemain
    }
    IntProperty {
        id: additionalDelayCalibrationStatus
        property bool started: value > 0
        modbusItem: deviceModbus.additionalDelayCalibrationStatus
    }
    IntProperty {
        id: calibratingZeroFlowOffsetStatus
        property bool started: value > 0
        modbusItem: deviceModbus.calibratingZeroFlowOffsetStatus
    }
    IntProperty {
        id: settingZeroFlowPointStatus
        property bool started: value > 0
        modbusItem: deviceModbus.settingZeroFlowPointStatus
    }
    IntProperty {
        id: onFlowZeroAdjustmentTime
        modbusItem: deviceModbus.onFlowZeroAdjustmentTime
    }
    RealProperty {
        id: onFlowZeroAdjusmentC1
        caption: measuredSoundSpeed.caption
        shortCaption: measuredSoundSpeed.shortCaption
        modbusItem: deviceModbus.onFlowZeroAdjusmentC1
        dimension: measuredSoundSpeed.dimension
    }
    RealProperty {
        id: onFlowZeroAdjusmentDt1
        shortCaption: qsTr("dt1")
        modbusItem: deviceModbus.onFlowZeroAdjusmentDt1
        dimension: dtMeasured.dimension
        precision: dtMeasured.precision
    }
    RealProperty {
        id: onFlowZeroAdjusmentDt2
        shortCaption: qsTr("dt2")
        modbusItem: deviceModbus.onFlowZeroAdjusmentDt2
        dimension: dtMeasured.dimension
        precision: dtMeasured.precision
    }
    RealProperty {
        id: onFlowZeroAdjustmentDt0
        shortCaption: qsTr("dt0")
        modbusItem: deviceModbus.onFlowZeroAdjustmentDt0
        dimension: dtMeasured.dimension
        precision: dtMeasured.precision
    }
    IntProperty {
        id: adcReadCommand
        modbusItem: deviceModbus.adcReadCommand
    }
    IntProperty {
        id: adcStartForward
        modbusItem: deviceModbus.adcStartForward
        dimension: deviceDimensions.us
        ratio: adcRatio
    }
    IntProperty {
        id: adcStartBackward
        modbusItem: deviceModbus.adcStartBackward
        dimension: deviceDimensions.us
        ratio: adcRatio
    }
    IntProperty {
        id: adcWindowStartForward
        modbusItem: deviceModbus.adcWindowStartForward
        dimension: deviceDimensions.us
        ratio: adcRatio
    }
    IntProperty {
        id: adcWindowStartBackward
        modbusItem: deviceModbus.adcWindowStartBackward
        dimension: deviceDimensions.us
        ratio: adcRatio
    }

    // Discrete output.
    ListProperty {
        id: discreteOutputMode
        caption: qsTranslate("DiscreteOutputMode", "Mode")
        modbusItem: deviceModbus.discreteOutputMode
        translateContext: "DiscreteOutputMode"
        model: [QT_TRANSLATE_NOOP("DiscreteOutputMode", "Off"),
            QT_TRANSLATE_NOOP("DiscreteOutputMode", "Logic"),
            QT_TRANSLATE_NOOP("DiscreteOutputMode", "Pulse"),
            QT_TRANSLATE_NOOP("DiscreteOutputMode", "Frequency")]
    }
    ListProperty {
        id: discreteOutputActiveState
        caption: qsTranslate("UniOut", "Active state")
        modbusItem: deviceModbus.discreteOutputActiveState
        model: [QT_TRANSLATE_NOOP("DeviceProps", "Low"), QT_TRANSLATE_NOOP("DeviceProps", "High")]
    }
    RealProperty {
        id: discreteOutputKp
        caption: qsTr("KP")
        modbusItem: deviceModbus.discreteOutputKp
        dimensionItem: deviceDimensions.kpDimension
        minValue: 0.001
        maxValue: 1000000
    }
    RealProperty {
        id: discreteOutputKi
        caption: qsTr("Ki")
        modbusItem: deviceModbus.discreteOutputKi
        dimensionItem: deviceDimensions.kiDimension
        minValue: 0.000001
        maxValue: 1000
        precision: 6
    }
    IntProperty {
        id: discreteOutputImpulseTime
        caption: qsTr("Impulse time")
        shortCaption: qsTr("τ")
        modbusItem: deviceModbus.discreteOutputImpulseTime
        dimension: deviceDimensions.ms
        minValue: 1
        maxValue: 500
    }
    RealProperty {
        id: discreteOutputMaxFreq
        caption: qsTr("Max. frequency")
        shortCaption: qsTr("Fmax")
        modbusItem: deviceModbus.discreteOutputMaxFreq
        dimension: deviceDimensions.hz
        minValue: 0.01
        maxValue: 3000
        precision: 2
    }
    RealProperty {
        id: discreteOutputUpperLimit
        caption: qsTr("Parameter upper limit")
        shortCaption: qsTr("Qul")
        modbusItem: deviceModbus.discreteOutputUpperLimit
        dimensionItem: deviceDimensions.flowRateDimension
        minValue: 0.001
        maxValue: 10000000
    }
    RealProperty {
        id: discreteOutputLowerLimit
        caption: qsTr("Parameter lower limit")
        shortCaption: qsTr("Qll")
        modbusItem: deviceModbus.discreteOutputLowerLimit
        dimensionItem: deviceDimensions.flowRateDimension
        minValue: 0
        maxValue: 1000000
    }
    ListProperty {
        id: discreteOutputFreqListIndex
        caption: qsTr("Output parameter")
        modbusItem: deviceModbus.discreteOutputFreqListIndex
        model: [QT_TRANSLATE_NOOP("DeviceProps", "No"), QT_TRANSLATE_NOOP("DeviceProps", "Q+"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q-"), QT_TRANSLATE_NOOP("DeviceProps", "|Q|")]
    }
    ListProperty {
        id: discreteOutputPulseListIndex
        caption: qsTranslate("UniOut", "Output parameter")
        modbusItem: deviceModbus.discreteOutputPulseListIndex
        model: [QT_TRANSLATE_NOOP("DeviceProps", "No"), QT_TRANSLATE_NOOP("DeviceProps", "V+"),
            QT_TRANSLATE_NOOP("DeviceProps", "V-"), QT_TRANSLATE_NOOP("DeviceProps", "|V|")]
    }
    ListProperty {
        id: discreteOutputLogicalListIndex
        caption: qsTranslate("UniOut", "Output parameter")
        modbusItem: deviceModbus.discreteOutputLogicalListIndex
        model: [QT_TRANSLATE_NOOP("DeviceProps", "No"),
            QT_TRANSLATE_NOOP("DeviceProps", "Flow sign"),
            QT_TRANSLATE_NOOP("DeviceProps", "No signal"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q > Qup"),
            QT_TRANSLATE_NOOP("DeviceProps", "Q < Qlp")]
    }

    // Scheduling.
    ListProperty {
        id: scheduleState
        property bool off: value !== 1
        property bool done: value === 2
        caption: qsTr("State")
        modbusItem: deviceModbus.scheduleState
        translateContext: "Schedule"
        model: [QT_TRANSLATE_NOOP("Schedule", "Off"), QT_TRANSLATE_NOOP("Schedule", "Active"),
            QT_TRANSLATE_NOOP("Schedule", "Done")]
    }
    ListProperty {
        id: scheduleMode
        property bool periodic: value === 0
        property bool interval: value === 1
        caption: qsTranslate("Schedule", "Mode")
        modbusItem: deviceModbus.scheduleMode
        translateContext: "ScheduleMode"
        model: [QT_TRANSLATE_NOOP("ScheduleMode", "Periodic"),
            QT_TRANSLATE_NOOP("ScheduleMode", "Interval")]
    }
    DateTimeProperty {
        id: periodicScheduleStartTime
        caption: qsTranslate("Schedule", "Start time")
        modbusItem: deviceModbus.periodicScheduleStartTime
    }
    DateTimeProperty {
        id: periodicSchedulePeriod
        caption: qsTr("Period")
        modbusItem: deviceModbus.periodicSchedulePeriod
        useDate: false
    }
    DateTimeProperty {
        id: periodicScheduleDuration
        caption: qsTr("Duration")
        modbusItem: deviceModbus.periodicScheduleDuration
        useDate: false
    }
    DateTimeProperty {
        id: periodicScheduleEndTime
        caption: qsTranslate("Schedule", "End time")
        modbusItem: deviceModbus.periodicScheduleEndTime
    }
    ListProperty {
        id: periodicScheduleLoggingInterval
        caption: qsTr("Logging interval")
        modbusItem: deviceModbus.periodicScheduleLoggingInterval
        model: deviceProps.loggingIntervalTexts
    }

    // Heat channel (shown only with heat support).
    RealProperty {
        id: massFlowRate
        caption: qsTr("Mass flow rate")
        shortCaption: qsTr("G")
        modbusItem: deviceModbus.massFlowRate
        dimensionItem: deviceDimensions.massFlowRateDimension
    }
    RealProperty {
        id: thermalPower
        caption: qsTr("Thermal power")
        shortCaption: qsTr("E")
        modbusItem: deviceModbus.thermalPower
        dimensionItem: deviceDimensions.thermalPowerDimension
    }
    RealProperty {
        id: mPlusAccumulated
        caption: qsTr("Weight accumulated")
        shortCaption: qsTr("M+")
        modbusItem: deviceModbus.mPlusAccumulated
        dimensionItem: deviceDimensions.weightDimension
        precision: 4
    }
    RealProperty {
        id: wPlus
        caption: qsTr("Heat quantity")
        shortCaption: qsTr("W+")
        modbusItem: deviceModbus.wPlus
        dimensionItem: deviceDimensions.heatDimension
        precision: 4
    }
    FlagsProperty {
        id: heatEs
        caption: qsTr("Emergency situations")
        shortCaption: qsTr("ES")
        modbusItem: deviceModbus.heatEs
        flags: [QT_TRANSLATE_NOOP("DeviceProps", "Heat measurement off"),
            QT_TRANSLATE_NOOP("DeviceProps", "Flow rate sensor failure"), "Q < 0",
            QT_TRANSLATE_NOOP("DeviceProps", "Temp. sensor #1 failure"),
            QT_TRANSLATE_NOOP("DeviceProps", "Temp. sensor #2 failure"),
            QT_TRANSLATE_NOOP("DeviceProps", "Pressure sensor failure"), "t1 - t2 < Δt",
            QT_TRANSLATE_NOOP("DeviceProps", "G > Ghs"), QT_TRANSLATE_NOOP("DeviceProps", "G < Gls")]
    }
    RealProperty {
        id: rawCurrent
        caption: qsTr("Measured current (w/o corr.)")
        shortCaption: qsTr("Imeas")
        modbusItem: deviceModbus.rawCurrent
        dimension: deviceDimensions.mA
    }
    RealProperty {
        id: pressureCurrent
        caption: qsTr("Measured current")
        shortCaption: qsTr("I")
        modbusItem: deviceModbus.pressureCurrent
        dimension: deviceDimensions.mA
    }
    RealProperty {
        id: pressure
        caption: qsTr("Pressure")
        shortCaption: qsTr("P")
        modbusItem: deviceModbus.pressure
        dimension: deviceDimensions.megaPa
    }
    ListProperty {
        id: pressureStatus
        caption: qsTr("Status")
        modbusItem: deviceModbus.pressureStatus
        translateContext: "Pressure status"
        model: [QT_TRANSLATE_NOOP("Pressure status", "Off"),
            QT_TRANSLATE_NOOP("Pressure status", "No errors"),
            QT_TRANSLATE_NOOP("Pressure status", "I < Imin"),
            QT_TRANSLATE_NOOP("Pressure status", "I > Imax"),
            QT_TRANSLATE_NOOP("Pressure status", "Fault"),
            QT_TRANSLATE_NOOP("Pressure status", "P < Pmin"),
            QT_TRANSLATE_NOOP("Pressure status", "P > Pmax")]
    }
    RealProperty {
        id: rawResistance1
        caption: qsTr("Measured resistance (w/o corr.)")
        modbusItem: deviceModbus.rawResistance1
        dimension: deviceDimensions.ohms
    }
    RealProperty {
        id: resistance1
        caption: qsTr("Measured resistance")
        shortCaption: qsTr("R")
        modbusItem: deviceModbus.resistance1
        dimension: deviceDimensions.ohms
    }
    RealProperty {
        id: temperature1
        caption: qsTr("Temperature")
        shortCaption: qsTr("t")
        modbusItem: deviceModbus.temperature1
        dimension: deviceDimensions.tempC
    }
    ListProperty {
        id: temperatureStatus1
        caption: qsTr("Status")
        modbusItem: deviceModbus.temperatureStatus1
        translateContext: "Temperature status"
        model: [QT_TRANSLATE_NOOP("Temperature status", "Off"),
            QT_TRANSLATE_NOOP("Temperature status", "No errors"),
            QT_TRANSLATE_NOOP("Temperature status", "R < Rmin"),
            QT_TRANSLATE_NOOP("Temperature status", "R > Rmax"),
            QT_TRANSLATE_NOOP("Temperature status", "Fault"),
            QT_TRANSLATE_NOOP("Temperature status", "t < tmin"),
            QT_TRANSLATE_NOOP("Temperature status", "t > tmax")]
    }
    RealProperty {
        id: rawResistance2
        caption: qsTr("Measured resistance (w/o corr.)")
        modbusItem: deviceModbus.rawResistance2
        dimension: deviceDimensions.ohms
    }
    RealProperty {
        id: resistance2
        caption: qsTr("Measured resistance")
        shortCaption: qsTr("R")
        modbusItem: deviceModbus.resistance2
        dimension: deviceDimensions.ohms
    }
    RealProperty {
        id: temperature2
        caption: qsTr("Temperature")
        shortCaption: qsTr("t")
        modbusItem: deviceModbus.temperature2
        dimension: deviceDimensions.tempC
    }
    ListProperty {
        id: temperatureStatus2
        caption: qsTr("Status")
        modbusItem: deviceModbus.temperatureStatus2
        translateContext: "Temperature status"
        model: [QT_TRANSLATE_NOOP("Temperature status", "Off"),
            QT_TRANSLATE_NOOP("Temperature status", "No errors"),
            QT_TRANSLATE_NOOP("Temperature status", "R < Rmin"),
            QT_TRANSLATE_NOOP("Temperature status", "R > Rmax"),
            QT_TRANSLATE_NOOP("Temperature status", "Fault"),
            QT_TRANSLATE_NOOP("Temperature status", "t < tmin"),
            QT_TRANSLATE_NOOP("Temperature status", "t > tmax")]
    }
    ListProperty {
        id: heatSupplySystem
        property bool disabled: value === 0
        caption: qsTr("Heat supply system")
        modbusItem: deviceModbus.heatSupplySystem
        translateContext: "Heatsystem"
        model: [QT_TRANSLATE_NOOP("Heatsystem", "Off"),
            QT_TRANSLATE_NOOP("Heatsystem", "Opened (supply pipe)"),
            QT_TRANSLATE_NOOP("Heatsystem", "Opened (return pipe)"),
            QT_TRANSLATE_NOOP("Heatsystem", "Closed")]
    }
    RealProperty {
        id: upperMassFlowRateSetPoint
        caption: qsTr("Upper set point")
        shortCaption: qsTr("Ghs")
        modbusItem: deviceModbus.upperMassFlowRateSetPoint
        dimensionItem: deviceDimensions.massFlowRateDimension
    }
    RealProperty {
        id: lowerMassFlowRateSetPoint
        caption: qsTr("Lower set point")
        shortCaption: qsTr("Gls")
        modbusItem: deviceModbus.lowerMassFlowRateSetPoint
        dimensionItem: deviceDimensions.massFlowRateDimension
    }
    RealProperty {
        id: deltaT
        caption: qsTr("Min. temperature diff.")
        shortCaption: qsTr("Δt")
        modbusItem: deviceModbus.deltaT
        dimension: deviceDimensions.tempC
        precision: 2
    }
    ListProperty {
        id: pressureSensorControl
        caption: qsTr("Pressure measuring")
        modbusItem: deviceModbus.pressureSensorControl
        model: [QT_TRANSLATE_NOOP("DeviceProps", "off"), QT_TRANSLATE_NOOP("DeviceProps", "on")]
    }
    ListProperty {
        id: currentConversionRange
        caption: qsTr("Current range")
        modbusItem: deviceModbus.currentConversionRange
        dimension: deviceDimensions.mA
        model: ["0..5", "0..20", "4..20"]
        modelValues: [1, 2, 3]
    }
    ListProperty {
        id: pressureConversionRange
        caption: qsTr("Pressure range")
        modbusItem: deviceModbus.pressureConversionRange
        dimension: deviceDimensions.megaPa
        model: ["1.0", "1.6", "2.5", "4.0", "20", "40", "60", "120"]
        modelValues: [1, 2, 3, 4, 5, 6, 7, 8]
    }
    RealProperty {
        id: pressureDefaultValue
        caption: qsTr("Default value")
        modbusItem: deviceModbus.pressureDefaultValue
        dimension: deviceDimensions.megaPa
    }
    ListProperty {
        id: temperature1SensorControl
        caption: qsTr("Temperature measuring")
        modbusItem: deviceModbus.temperature1SensorControl
        model: [QT_TRANSLATE_NOOP("DeviceProps", "off"), QT_TRANSLATE_NOOP("DeviceProps", "on")]
    }
    ListProperty {
        id: rtdType1
        caption: qsTr("RTD type")
        modbusItem: deviceModbus.rtdType1
        model: ["Pt100 (1.385)", "Pt’100 (1.391)", "Pt500 (1.385)", "Pt’500 (1.391)",
            "Pt1000 (1.385)", "Pt’1000 (1.391)"]
    }
    RealProperty {
        id: lowerNominalTemperature1
        caption: qsTr("Lower nominal temperature")
        modbusItem: deviceModbus.lowerNominalTemperature1
        dimension: deviceDimensions.tempC
    }
    RealProperty {
        id: upperNominalTemperature1
        caption: qsTr("Upper nominal temperature")
        modbusItem: deviceModbus.upperNominalTemperature1
        dimension: deviceDimensions.tempC
    }
    RealProperty {
        id: temperature1DefaultValue
        caption: qsTr("Default value")
        modbusItem: deviceModbus.temperature1DefaultValue
        dimension: deviceDimensions.tempC
    }
    ListProperty {
        id: temperature2SensorControl
        caption: qsTr("Temperature measuring")
        modbusItem: deviceModbus.temperature2SensorControl
        model: [QT_TRANSLATE_NOOP("DeviceProps", "off"), QT_TRANSLATE_NOOP("DeviceProps", "on")]
    }
    ListProperty {
        id: rtdType2
        caption: qsTr("RTD type")
        modbusItem: deviceModbus.rtdType2
        model: ["Pt100 (1.385)", "Pt’100 (1.391)", "Pt500 (1.385)", "Pt’500 (1.391)",
            "Pt1000 (1.385)", "Pt’1000 (1.391)"]
    }
    RealProperty {
        id: lowerNominalTemperature2
        caption: qsTr("Lower nominal temperature")
        modbusItem: deviceModbus.lowerNominalTemperature2
        dimension: deviceDimensions.tempC
    }
    RealProperty {
        id: upperNominalTemperature2
        caption: qsTr("Upper nominal temperature")
        modbusItem: deviceModbus.upperNominalTemperature2
        dimension: deviceDimensions.tempC
    }
    RealProperty {
        id: temperature2DefaultValue
        caption: qsTr("Default value")
        modbusItem: deviceModbus.temperature2DefaultValue
        dimension: deviceDimensions.tempC
    }
    RealProperty {
        id: atmosphericPressure
        caption: qsTr("Atmospheric pressure")
        modbusItem: deviceModbus.atmosphericPressure
        dimension: deviceDimensions.mmHg
        precision: 2
    }

    // Failures: one bit each of the failure register.
    BoolProperty {
        id: failureGpio
        caption: qsTr("GPIO port expander failure")
        modbusItem: deviceModbus.failureGpio
    }
    BoolProperty {
        id: failureKeyboard
        caption: qsTr("Keyboard driver failure")
        modbusItem: deviceModbus.failureKeyboard
    }
    BoolProperty {
        id: failureGauge
        caption: qsTr("Battery controller failure")
        modbusItem: deviceModbus.failureGauge
    }
    BoolProperty {
        id: failureI2cEeprom
        caption: qsTr("External EEPROM failure")
        modbusItem: deviceModbus.failureI2cEeprom
    }
    BoolProperty {
        id: failureEFiles
        caption: qsTr("Embedded files failure")
        modbusItem: deviceModbus.failureEFiles
    }
    BoolProperty {
        id: failureRtc
        caption: qsTr("Real time clock failure")
        modbusItem: deviceModbus.failureRtc
    }
    BoolProperty {
        id: failureParams
        caption: qsTr("Settings storage failure")
        modbusItem: deviceModbus.failureParams
    }
    BoolProperty {
        id: failureKeyboardTask
        caption: qsTr("Keyboard task failure")
        modbusItem: deviceModbus.failureKeyboardTask
    }
    BoolProperty {
        id: failureFatTask
        caption: qsTr("Filesystem task failure")
        modbusItem: deviceModbus.failureFatTask
    }
    BoolProperty {
        id: failureArchTask
        caption: qsTr("Data logger task failure")
        modbusItem: deviceModbus.failureArchTask
    }
    BoolProperty {
        id: failureAppTask
        caption: qsTr("Application task failure")
        modbusItem: deviceModbus.failureAppTask
    }
    BoolProperty {
        id: failureModbusTask
        caption: qsTr("Modbus RS-485 task failure")
        modbusItem: deviceModbus.failureModbusTask
    }
    BoolProperty {
        id: failureUsb
        caption: qsTr("USB failure")
        modbusItem: deviceModbus.failureUsb
    }
    BoolProperty {
        id: failureSom
        caption: qsTr("SOM interface failure")
        modbusItem: deviceModbus.failureSom
    }
    BoolProperty {
        id: failureAfe
        caption: qsTr("AFE failure")
        modbusItem: deviceModbus.failureAfe
    }
    BoolProperty {
        id: failureNorFlash
        caption: qsTr("Nor Flash failure")
        modbusItem: deviceModbus.failureNorFlash
    }

    // Sites: the edited record's path and the current site's name.
    TextProperty {
        id: editingSiteGroup
        caption: qsTr("Group")
        modbusItem: deviceModbus.editingSiteItem
        modbusValueItem: "groupName"
        minLength: 0
        maxLength: 20
        function customValidate(val) {
            return deviceProps.siteStrValidate(val)
        }
    }
    TextProperty {
        id: editingSiteSubGroup
        caption: qsTr("Subgroup")
        modbusItem: deviceModbus.editingSiteItem
        modbusValueItem: "subGroupName"
        minLength: 0
        maxLength: 20
        function customValidate(val) {
            return deviceProps.siteStrValidate(val)
        }
    }
    TextProperty {
        id: editingSiteName
        caption: qsTr("Name")
        modbusItem: deviceModbus.editingSiteItem
        modbusValueItem: "siteName"
        minLength: 1
        maxLength: 20
        allowSpaces: false
        function customValidate(val) {
            return deviceProps.siteStrValidate(val)
        }
    }
    TextProperty {
        id: siteName
        caption: qsTr("Name")
        modbusItem: deviceModbus.currentSiteItem
        modbusValueItem: "siteName"
        function customValidate(val) {
            return deviceProps.siteStrValidate(val)
        }
    }

    // The interval schedule's entries.
    IntervalSchedulePropGroup {
        id: intervalSchedule0
        modbusItem: deviceModbus.intervalSchedule0
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule1
        modbusItem: deviceModbus.intervalSchedule1
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule2
        modbusItem: deviceModbus.intervalSchedule2
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule3
        modbusItem: deviceModbus.intervalSchedule3
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule4
        modbusItem: deviceModbus.intervalSchedule4
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule5
        modbusItem: deviceModbus.intervalSchedule5
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule6
        modbusItem: deviceModbus.intervalSchedule6
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule7
        modbusItem: deviceModbus.intervalSchedule7
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule8
        modbusItem: deviceModbus.intervalSchedule8
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule9
        modbusItem: deviceModbus.intervalSchedule9
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule10
        modbusItem: deviceModbus.intervalSchedule10
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule11
        modbusItem: deviceModbus.intervalSchedule11
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule12
        modbusItem: deviceModbus.intervalSchedule12
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule13
        modbusItem: deviceModbus.intervalSchedule13
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule14
        modbusItem: deviceModbus.intervalSchedule14
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule15
        modbusItem: deviceModbus.intervalSchedule15
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule16
        modbusItem: deviceModbus.intervalSchedule16
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule17
        modbusItem: deviceModbus.intervalSchedule17
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule18
        modbusItem: deviceModbus.intervalSchedule18
    }
    IntervalSchedulePropGroup {
        id: intervalSchedule19
        modbusItem: deviceModbus.intervalSchedule19
    }

    // ---- commands ----
    property alias measureStatus: measureStatus
    property alias setZeroFlowOffsetdt0: setZeroFlowOffsetdt0
    property alias adjustAdditionalDelay: adjustAdditionalDelay
    property alias setAdditionalDelay: setAdditionalDelay
    property alias initialize: initialize
    property alias eraseMemoryCard: eraseMemoryCard
    property alias eraseArchive: eraseArchive
    property alias discreteOutputCalculateKp: discreteOutputCalculateKp
    property alias discreteOutputCalculateKi: discreteOutputCalculateKi
    property alias shutdown: shutdown
    property alias calibrateTouchScreen: calibrateTouchScreen
    property alias scheduleCommand: scheduleCommand
    property alias resetScheduleCommand: resetScheduleCommand
    property alias resetMeasurementHistory: resetMeasurementHistory
    property alias siteCopier: siteCopier
    property alias siteClear: siteClear

    // The measuring switch's, for callers that read it here.
    readonly property alias measuringDeferred: measureStatus.measuringDeferred
    property int measuringDeferredDelay: 2000
    // Factory reset: the message's life and the waits for the instrument to come back.
    property int initializeMessageDuration: 14000
    property int initializeConnectionDelay: 12000
    property int initializeSitesDelayRs485: 30000
    property int initializeSitesDelay: 12500
    // The sites revision saved before a factory reset, restored after it (-1: not known).
    property real initializeSavedRevision: -1

    // Battery.
    property int chargeWarningLevel: 15
    readonly property bool batteryWarning: deviceModbus.powerStatus.value === 1
                                           && deviceModbus.chargeLevel.value <= chargeWarningLevel
    property bool wasBatteryWarningMessage: false
    property int batteryWarningDelay: 5000
    // The estimates' register counts minutes for the display state the instrument is in; the
    // display takes 1000/350 of the instrument's whole drain.
    readonly property real displayDrainFactor: 1000 / 350
    readonly property bool batteryAsleep: sleepState.sleeping === true

    // Minutes as the rows show them: "1 h 30 min", "45 min"; nothing below 0.
    function batteryTimeText(minutes) {
        var total = Math.max(0, Math.floor(minutes))
        var hours = Math.floor(total / 60)
        var rest = total % 60
        if (hours > 0)
            return hours + qsTr(" h ") + rest + qsTr(" min")
        return rest + qsTr(" min")
    }
    function batteryMinutesWithDisplay() {
        var value = deviceModbus.batteryRemain.value
        return batteryAsleep ? value / displayDrainFactor : value
    }
    function batteryMinutesWithoutDisplay() {
        var value = deviceModbus.batteryRemain.value
        return batteryAsleep ? value : value * displayDrainFactor
    }

    function eraseSpecifiedArchive(index) {
        return eraseArchive.eraseSpecifiedArchive(index)
    }

    Binding {
        target: batteryRemainWithDisplay
        property: "value"
        value: Math.floor(deviceProps.batteryMinutesWithDisplay())
    }
    Binding {
        target: batteryRemainWithDisplay
        property: "formatValue"
        value: deviceProps.batteryTimeText(batteryRemainWithDisplay.value)
    }
    Binding {
        target: batteryRemainWithoutDisplay
        property: "value"
        value: Math.floor(deviceProps.batteryMinutesWithoutDisplay())
    }
    Binding {
        target: batteryRemainWithoutDisplay
        property: "formatValue"
        value: deviceProps.batteryTimeText(batteryRemainWithoutDisplay.value)
    }

    function batteryNote() {
        if (!batteryWarning)
            return ""
        return "\n" + qsTr("(charge level is less than ") + chargeWarningLevel + "%)"
    }

    ToggleCommandProperty {
        id: measureStatus
        caption: qsTr("Measuring")
        modbusItem: deviceModbus.measureStatusRo
        modbusItemOut: deviceModbus.measureStatus
        confirm: true
        confirmCaption: yes ? qsTr("Stop measure?") : qsTr("Start measure?") + deviceProps.batteryNote()
        // Starting defaults to yes, stopping to no.
        defaultAnswer: !yes
        readonly property bool measuring: value === 1
        // Measuring, 2 s late when it starts (the first results need that long), at once when
        // it stops.
        property bool measuringDeferred: false
        onMeasuringChanged: {
            if (!measuring) {
                measuringDeferredTimer.stop()
                measuringDeferred = false
            } else {
                measuringDeferredTimer.restart()
            }
        }
        // A site measured without a record of its own gets one, and its archive starts empty.
        onExecuted: {
            var site = deviceModbus.siteIndex
            if (sitesManager.createSiteIfDontExists(site))
                deviceProps.eraseSpecifiedArchive(site)
        }
    }
    IntProperty {
        id: setZeroFlowOffsetdt0
        caption: qsTr("Set zero offset dt0")
        modbusItem: deviceModbus.setZeroFlowOffsetdt0
        readonly property bool started: value === 1
        function start() { setValue(1, false) }
        function stop() { setValue(0, false) }
        function save() { setValue(2, false) }
    }
    ToggleCommandProperty {
        id: adjustAdditionalDelay
        caption: qsTr("Adjust additional delay")
        modbusItem: deviceModbus.adjustAdditionalDelay
        readonly property bool running: value === 1
        function start() { setYes() }
        function stop() { setNo() }
        function save() { writeCommand(2) }
    }
    CommandProperty {
        id: setAdditionalDelay
        caption: qsTr("Set additional delay")
        modbusItem: deviceModbus.adjustAdditionalDelay
        commandValue: 2
    }
    CommandProperty {
        id: initialize
        caption: qsTr("Factory reset")
        modbusItem: deviceModbus.initialize
        confirm: true
        confirmCaption: qsTr("All device settings will be overwritten with default values.\nArchives will be erased.\n\nContinue?")
        onBeforeExecute: {
            deviceProps.initializeSavedRevision = deviceModbus.currentRevision
            deviceModbus.abortExecutingAll()
        }
        onExecuted: {
            screenManager.showFullscreenMessage(qsTr("Please wait..."), {
                autoClose: true,
                autoCloseInterval: deviceProps.initializeMessageDuration
            })
            // The instrument comes back with its default line settings.
            var rs485 = menuContext.connectionType === 0
            if (rs485)
                mainWindow.setTimeoutCustom(function () {
                    menuContext.deviceBaudRateIndex = 4
                    menuContext.deviceAddress = 1
                }, deviceProps.initializeConnectionDelay)
            mainWindow.setTimeoutCustom(deviceProps.recreateSites,
                                        rs485 ? deviceProps.initializeSitesDelayRs485
                                              : deviceProps.initializeSitesDelay)
        }
    }
    // After a factory reset the instrument has an empty sites table: site 0 becomes "Site 1"
    // again, with an empty archive, and the revision goes on from the one before the reset, so
    // that other clients read the new table.
    function recreateSites() {
        deviceModbus.currentRevision = initializeSavedRevision
        sitesManager.editingSiteIndex = 0
        var record = deviceModbus.editingSiteItem
        record.sitePath = ["", "", "Site 1"]
        record.write()
        eraseSpecifiedArchive(0)
        deviceModbus.commitSitesRevision()
        deviceModbus.siteMap.intervalReading = true
    }
    CommandProperty {
        id: eraseMemoryCard
        caption: qsTr("Erase memory card")
        modbusItem: deviceModbus.eraseMemoryCard
        confirm: true
        confirmCaption: qsTr("Do you want to erase the memory card?")
        readOnly: deviceProps.cardUnusable()
    }
    CommandProperty {
        id: eraseArchive
        caption: qsTr("Erase archive")
        modbusItem: deviceModbus.eraseArchive
        confirm: true
        readOnly: deviceProps.cardUnusable()
        function command() {
            eraseSpecifiedArchive(deviceModbus.siteIndex)
        }
        // 0xAA550000 + index empties the archive of that site at once, unconfirmed; unsigned,
        // beyond QML's int. Below 0 there is no site: 0xAA54FFFF would be no code at all.
        function eraseSpecifiedArchive(index) {
            var site = Number(index)
            if (!(site >= 0) || Math.floor(site) !== site || !modbusItem) {
                console.log("Cannot erase archive - wrong site index " + index)
                return false
            }
            modbusItem.value = (0xAA550000 + site) >>> 0
            return modbusItem.write()
        }
    }
    // No card, or one being erased.
    function cardUnusable() {
        return !cardStatus.exists || cardStatus.formatting
    }
    CommandProperty {
        id: discreteOutputCalculateKp
        caption: qsTr("Calculate KP")
        modbusItem: deviceModbus.discreteOutputCalculateKp
        confirm: true
        confirmCaption: qsTr("Calculate KP?")
        onExecuted: deviceModbus.discreteOutputKp.read()
    }
    CommandProperty {
        id: discreteOutputCalculateKi
        caption: qsTr("Calculate Ki")
        modbusItem: deviceModbus.discreteOutputCalculateKi
        confirm: true
        confirmCaption: qsTr("Calculate Ki?")
        onExecuted: deviceModbus.discreteOutputKi.read()
    }
    CommandProperty {
        id: shutdown
        caption: qsTr("Shut down the device")
        confirm: true
        confirmCaption: qsTr("Do you want to shut down the device?")
        function command() {
            powerManager.shutdown()
        }
    }
    CommandProperty {
        id: calibrateTouchScreen
        caption: qsTr("Calibrate the touch screen")
        confirm: true
        confirmCaption: qsTr("Start the touch screen calibration?")
        function command() {
            screenManager.calibrateTouchScreen()
        }
    }
    IntProperty {
        id: scheduleCommand
        caption: qsTr("Schedule start/stop")
        modbusItem: deviceModbus.scheduleCommand
        function start() {
            setValue(1, false)
            deviceModbus.scheduleState.read()
        }
        function stop() {
            setValue(0, false)
            deviceModbus.scheduleState.read()
        }
    }
    CommandProperty {
        id: resetScheduleCommand
        modbusItem: deviceModbus.resetScheduleCommand
    }
    CommandProperty {
        id: resetMeasurementHistory
        modbusItem: deviceModbus.resetMeasurementHistory
    }
    CommandProperty {
        id: siteCopier
        modbusItem: deviceModbus.siteCopier
        property int siteFrom: 0
        property int siteTo: 0
        // "from" in the high half, "to" in the low half of one 32-bit register.
        function command() {
            if (siteFrom === siteTo || siteFrom < 0 || siteTo < 0) {
                console.log("Cannot copy site - wrong sites indexes")
                return
            }
            modbusItem.value = (siteFrom * 65536 + siteTo) >>> 0
            modbusItem.write()
        }
    }
    CommandProperty {
        id: siteClear
        modbusItem: deviceModbus.siteClear
        // 0x8000 + index resets that site's settings.
        function clearSite(index) {
            modbusItem.value = (0x8000 + index) >>> 0
            modbusItem.write()
        }
    }

    // Each connection starts a fresh measurement history; the items hear of the connection
    // after the client, so the write waits for them.
    Connections {
        target: deviceModbus
        function onConnectedChanged() {
            if (deviceModbus.connected)
                Qt.callLater(deviceProps.resetHistoryOnConnection)
        }
    }
    function resetHistoryOnConnection() {
        if (deviceModbus.connected)
            resetMeasurementHistory.execute()
    }

    Timer {
        id: measuringDeferredTimer
        interval: deviceProps.measuringDeferredDelay
        onTriggered: measureStatus.measuringDeferred = measureStatus.measuring
    }

    onBatteryWarningChanged: {
        if (!batteryWarning)
            wasBatteryWarningMessage = false
        batteryWarningTimer.restart()
    }
    onWasBatteryWarningMessageChanged: batteryWarningTimer.restart()
    Connections {
        target: deviceModbus.powerStatus
        function onValueChanged() {
            if (deviceModbus.powerStatus.value === 1)
                deviceProps.wasBatteryWarningMessage = false
        }
    }
    Timer {
        id: batteryWarningTimer
        interval: deviceProps.batteryWarningDelay
        onTriggered: {
            if (!embedded || deviceProps.wasBatteryWarningMessage || !deviceProps.batteryWarning)
                return
            deviceProps.wasBatteryWarningMessage = true
            screenManager.showMessageBoxDialog(qsTr("Charge level is less than ")
                                               + deviceProps.chargeWarningLevel + "%")
        }
    }
    // ---- end of commands ----
}
