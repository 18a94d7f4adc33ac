import QtQuick
import DorrikBus 1.0

// The menu's one Modbus client and every instrument register it reads or writes. Screens reach a
// register as deviceModbus.<name>: each named item is published under its id.
ModbusClient {
    id: deviceModbus

    property int tvnGeneration: 1
    property int siteIndex: currentSiteRo.value >= 0 ? currentSiteRo.value : 0
    property int sensorFreqTypeIndex: sensorsFreqType.value === 0 || sensorsFreqType.value === 1
                                      ? sensorsFreqType.value : 0
    property int sensorFreqTypeShift: sensorFreqTypeIndex * 6
    // The menu's sites revision, unsigned 32-bit; -1 until the instrument's is known.
    property real currentRevision: -1
    property int revisionLessCounter: 0
    // Commits asked for while currentRevision was unknown.
    property int pendingRevisionCommits: 0

    property alias firmwareCrc16: firmwareCrc16
    property alias hasHeatChannel: hasHeatChannel
    property alias lastArchiveTime: lastArchiveTime
    property alias realFirmwareVer: realFirmwareVer
    property alias maxSitesCountItem: maxSitesCountItem
    property alias verificationStatus: verificationStatus
    property alias verificationQsim: verificationQsim
    property alias verificationQ: verificationQ
    property alias verificationVplus: verificationVplus
    property alias verificationAccum: verificationAccum
    property alias report: report
    property alias mainReadGroup: mainReadGroup
    property alias dtMeasured: dtMeasured
    property alias p: p
    property alias currentGain: currentGain
    property alias signalStrength: signalStrength
    property alias measurementsPerSecond: measurementsPerSecond
    property alias vPlus: vPlus
    property alias vMinus: vMinus
    property alias flowRate: flowRate
    property alias flowVelocity: flowVelocity
    property alias esSecondary: esSecondary
    property alias measuredSoundSpeed: measuredSoundSpeed
    property alias hydrodynamicCoeff: hydrodynamicCoeff
    property alias totalAdditionalDt: totalAdditionalDt
    property alias flowIncreaseAcceleration: flowIncreaseAcceleration
    property alias currentAdditionalDelay: currentAdditionalDelay
    property alias transducerSpacingRecommended: transducerSpacingRecommended
    property alias currentAverageDt0: currentAverageDt0
    property alias discreteOutputCurrentFreq: discreteOutputCurrentFreq
    property alias discreteOutputIntegralValue: discreteOutputIntegralValue
    property alias discreteOutputStatus: discreteOutputStatus
    property alias powerStatus: powerStatus
    property alias chargeLevel: chargeLevel
    property alias batteryRemain: batteryRemain
    property alias timeRo: timeRo
    property alias failures: failures
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
    property alias measureStatusRo: measureStatusRo
    property alias scheduleState: scheduleState
    property alias cardStatus: cardStatus
    property alias cardCapacity: cardCapacity
    property alias cardSpaceOccupied: cardSpaceOccupied
    property alias currentSiteRo: currentSiteRo
    property alias dtCalculated: dtCalculated
    property alias dt0: dt0
    property alias usbState: usbState
    property alias sitesRevisionRo: sitesRevisionRo
    property alias sitesTotalCount: sitesTotalCount
    property alias additionalDelayCalibrationStatus: additionalDelayCalibrationStatus
    property alias calibratingZeroFlowOffsetStatus: calibratingZeroFlowOffsetStatus
    property alias settingZeroFlowPointStatus: settingZeroFlowPointStatus
    property alias massFlowRate: massFlowRate
    property alias thermalPower: thermalPower
    property alias mPlusAccumulated: mPlusAccumulated
    property alias wPlus: wPlus
    property alias heatEs: heatEs
    property alias rawCurrent: rawCurrent
    property alias pressureStatus: pressureStatus
    property alias pressureCurrent: pressureCurrent
    property alias pressure: pressure
    property alias rawResistance1: rawResistance1
    property alias temperatureStatus1: temperatureStatus1
    property alias resistance1: resistance1
    property alias temperature1: temperature1
    property alias rawResistance2: rawResistance2
    property alias temperatureStatus2: temperatureStatus2
    property alias resistance2: resistance2
    property alias temperature2: temperature2
    property alias modbusAddress: modbusAddress
    property alias baudRate: baudRate
    property alias byteTimeout: byteTimeout
    property alias rtsDelay: rtsDelay
    property alias modbusMode: modbusMode
    property alias time: time
    property alias initialize: initialize
    property alias enterProgramming: enterProgramming
    property alias eraseMemoryCard: eraseMemoryCard
    property alias shutdownRegister: shutdownRegister
    property alias sleepState: sleepState
    property alias serialNumber: serialNumber
    property alias eraseArchive: eraseArchive
    property alias somMenuVersion: somMenuVersion
    property alias resetMeasurementHistory: resetMeasurementHistory
    property alias adcReadCommand: adcReadCommand
    property alias measureStatus: measureStatus
    property alias currentSite: currentSite
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
    property alias pulsesCount: pulsesCount
    property alias probeSignalFreq: probeSignalFreq
    property alias signalDetectionThreshold: signalDetectionThreshold
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
    property alias sitesRevision: sitesRevision
    property alias siteCopier: siteCopier
    property alias siteCopyFrom: siteCopyFrom
    property alias siteCopyTo: siteCopyTo
    property alias siteClear: siteClear
    property alias siteMap: siteMap
    property alias currentSiteItem: currentSiteItem
    property alias editingSiteItem: editingSiteItem
    property alias loggingInterval: loggingInterval
    property alias discreteOutputMode: discreteOutputMode
    property alias discreteOutputActiveState: discreteOutputActiveState
    property alias discreteOutputKp: discreteOutputKp
    property alias discreteOutputKi: discreteOutputKi
    property alias discreteOutputImpulseTime: discreteOutputImpulseTime
    property alias discreteOutputMaxFreq: discreteOutputMaxFreq
    property alias discreteOutputLowerLimit: discreteOutputLowerLimit
    property alias discreteOutputUpperLimit: discreteOutputUpperLimit
    property alias discreteOutputFreqListIndex: discreteOutputFreqListIndex
    property alias discreteOutputPulseListIndex: discreteOutputPulseListIndex
    property alias discreteOutputLogicalListIndex: discreteOutputLogicalListIndex
    property alias discreteOutputCalculateKp: discreteOutputCalculateKp
    property alias discreteOutputCalculateKi: discreteOutputCalculateKi
    property alias adjustAdditionalDelay: adjustAdditionalDelay
    property alias setZeroFlowOffsetdt0: setZeroFlowOffsetdt0
    property alias onFlowZeroAdjusmentCommand: onFlowZeroAdjusmentCommand
    property alias onFlowZeroAdjusmentStage: onFlowZeroAdjusmentStage
    property alias onFlowZeroAdjustmentTime: onFlowZeroAdjustmentTime
    property alias onFlowZeroAdjusmentC1: onFlowZeroAdjusmentC1
    property alias onFlowZeroAdjusmentDt1: onFlowZeroAdjusmentDt1
    property alias onFlowZeroAdjusmentDt2: onFlowZeroAdjusmentDt2
    property alias onFlowZeroAdjustmentDt0: onFlowZeroAdjustmentDt0
    property alias adcDataForward: adcDataForward
    property alias adcDataBackward: adcDataBackward
    property alias adcDataParams: adcDataParams
    property alias adcStartForward: adcStartForward
    property alias adcStartBackward: adcStartBackward
    property alias adcWindowStartForward: adcWindowStartForward
    property alias adcWindowStartBackward: adcWindowStartBackward
    property alias scheduleCommand: scheduleCommand
    property alias scheduleMode: scheduleMode
    property alias periodicScheduleStartTime: periodicScheduleStartTime
    property alias periodicSchedulePeriod: periodicSchedulePeriod
    property alias periodicScheduleDuration: periodicScheduleDuration
    property alias periodicScheduleEndTime: periodicScheduleEndTime
    property alias periodicScheduleLoggingInterval: periodicScheduleLoggingInterval
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
    property alias resetScheduleCommand: resetScheduleCommand
    property alias flowRateHistory: flowRateHistory
    property alias heatHistory: heatHistory
    property alias pressureHistory: pressureHistory

    objectName: "modbusClient"
    singleResultProcessing: true
    intervalReadingEnabled: !exportManager.active
    retries: menuContext.connectionType === 0 ? 2 : 1

    // Reactions that write or re-read registers stay silent while a configuration is exported
    // or imported.
    function exporting() {
        return exportManager.active === true
    }

    function readAllParams() {
        var except = ["adcData", "archives", "measurementHistory", "siteMap", "sites", "sitesensors",
                      "importintervalschedulegroup", "importintervalschedulegroupturn",
                      "somMenuVersion"]
        if (!isHeatSupported)
            except.push("heatParameter")
        readAll(except)
    }

    function readAllHeatParams() {
        readGroups(["heatParameter"])
    }

    // The instrument's own revision must be known before the menu adds to it: until the live
    // block has told it, the commit waits for that read (adding to "unknown" would write a
    // revision behind the instrument's).
    function commitSitesRevision() {
        if (currentRevision < 0) {
            if (mainReadGroup.wasRead) {
                currentRevision = sitesRevisionRo.value
            } else {
                pendingRevisionCommits += 1
                sitesRevisionRo.read()
                return
            }
        }
        writeSitesRevision(nextRevision(currentRevision, 1))
    }

    function nextRevision(revision, commits) {
        return (revision + commits * (menuContext.connectionType + 1)) % 4294967296
    }

    function writeSitesRevision(revision) {
        currentRevision = revision
        sitesRevision.value = revision
        sitesRevision.write()
        sitesRevisionRo.value = revision
        sitesRevisionRo.read()
    }

    function rereadSites() {
        siteMap.read()
        currentSiteItem.read()
    }

    function sitesRevisionAfterRead() {
        var read = sitesRevisionRo.value
        if (currentRevision < 0) {
            currentRevision = read
            if (pendingRevisionCommits > 0) {
                var commits = pendingRevisionCommits
                pendingRevisionCommits = 0
                writeSitesRevision(nextRevision(read, commits))
            }
            return
        }
        if (currentRevision < read || (read === 0 && currentRevision > 0xFFFFFFF0)) {
            currentRevision = read
            rereadSites()
        }
        if (currentRevision > read)
            revisionLessCounter += 1
        else
            revisionLessCounter = 0
        if (revisionLessCounter >= 4) {
            currentRevision = read
            revisionLessCounter = 0
            rereadSites()
        }
    }

    function detectGeneration() {
        var text = Math.floor(realFirmwareVer.value / 40).toString()
        realFirmwareVer.version = text.substr(0, 2) + "." + text.substr(2, 2) + "."
                + text.substr(4, 2) + "." + text.substr(6, 2)
        var generation = 1
        if (menuContext.compareVersions(realFirmwareVer.version, "23.06.00.27") >= 0)
            generation = 3
        else if (menuContext.compareVersions(realFirmwareVer.version, "23.06.00.18") > 0)
            generation = 2
        console.log("TvnGeneration:", generation)
        tvnGeneration = generation
        realFirmwareVer.generationDetermined = true
    }

    function readOnConnection() {
        if (!connected)
            return
        readAllParams()
        // The table's size comes with the first read of the slot count; until then there is
        // nothing to read (the read starts when the length is set).
        siteMap.intervalReading = siteMap.length > 0
    }

    // The items hear of the connection after this handler: read once they are connected.
    onConnectedChanged: {
        if (connected)
            Qt.callLater(readOnConnection)
    }
    onError: (message) => console.log(message)

    // Input registers outside the live block.
    ModbusUInt16 { id: firmwareCrc16; address: 300001 }
    ModbusUInt8 {
        id: hasHeatChannel
        property bool has: value !== 0
        address: 300009
    }
    ModbusDateTime { id: lastArchiveTime; address: 300036 }
    ModbusUInt32 {
        id: realFirmwareVer
        property string version: ""
        property bool generationDetermined: false
        address: 300044
        onAfterRead: deviceModbus.detectGeneration()
    }
    ModbusUInt16 { id: maxSitesCountItem; address: 300767; readOnConnect: true }
    ModbusUInt8 { id: verificationStatus; address: 300401 }
    ModbusFloat { id: verificationQsim; address: 300402 }
    ModbusFloat { id: verificationQ; address: 300404 }
    ModbusFloat { id: verificationVplus; address: 300406 }
    ModbusUInt32 { id: verificationAccum; address: 300408 }
    ModbusReport { id: report }

    // The live block, read at the items' interval from connection on; the heat channel's part
    // only where there is one.
    ModbusCustomBytes {
        id: mainReadGroup
        address: 300701
        intervalReading: true
        itemSize: (isHeatSupported ? 104 : 70) * 2

        ModbusFloat { id: dtMeasured }
        ModbusFloat { id: p }
        ModbusUInt16 {}
        ModbusUInt16 { id: currentGain }
        ModbusUInt32 {}
        ModbusUInt32 { id: signalStrength }
        ModbusUInt16 { id: measurementsPerSecond }
        ModbusDoubleStruct { id: vPlus }
        ModbusDoubleStruct { id: vMinus }
        ModbusFloat { id: flowRate }
        ModbusFloat { id: flowVelocity }
        ModbusUInt16 { id: esSecondary; binaryBaseLength: 6 }
        ModbusFloat { id: measuredSoundSpeed }
        ModbusFloat { id: hydrodynamicCoeff }
        ModbusFloat { id: totalAdditionalDt }
        ModbusFloat { id: flowIncreaseAcceleration }
        ModbusFloat {}
        ModbusFloat { id: currentAdditionalDelay }
        ModbusFloat { id: transducerSpacingRecommended }
        ModbusFloat { id: currentAverageDt0 }
        ModbusFloat { id: discreteOutputCurrentFreq }
        ModbusFloat { id: discreteOutputIntegralValue }
        ModbusUInt8 { id: discreteOutputStatus }
        ModbusUInt16 { id: powerStatus }
        ModbusUInt16 { id: chargeLevel }
        ModbusInt16 { id: batteryRemain }
        ModbusDateTime { id: timeRo }
        ModbusUInt16 {
            id: failures
            binaryBaseLength: 16

            ModbusBit { id: failureGpio; sourceByteIndex: 1; sourceBitIndex: 0 }
            ModbusBit { id: failureKeyboard; sourceByteIndex: 1; sourceBitIndex: 1 }
            ModbusBit { id: failureGauge; sourceByteIndex: 1; sourceBitIndex: 2 }
            ModbusBit { id: failureI2cEeprom; sourceByteIndex: 1; sourceBitIndex: 3 }
            ModbusBit { id: failureEFiles; sourceByteIndex: 1; sourceBitIndex: 4 }
            ModbusBit { id: failureRtc; sourceByteIndex: 1; sourceBitIndex: 5 }
            ModbusBit { id: failureParams; sourceByteIndex: 1; sourceBitIndex: 6 }
            ModbusBit { id: failureKeyboardTask; sourceByteIndex: 1; sourceBitIndex: 7 }
            ModbusBit { id: failureFatTask; sourceByteIndex: 0; sourceBitIndex: 0 }
            ModbusBit { id: failureArchTask; sourceByteIndex: 0; sourceBitIndex: 1 }
            ModbusBit { id: failureAppTask; sourceByteIndex: 0; sourceBitIndex: 2 }
            ModbusBit { id: failureModbusTask; sourceByteIndex: 0; sourceBitIndex: 3 }
            ModbusBit { id: failureUsb; sourceByteIndex: 0; sourceBitIndex: 4 }
            ModbusBit { id: failureSom; sourceByteIndex: 0; sourceBitIndex: 5 }
            ModbusBit { id: failureAfe; sourceByteIndex: 0; sourceBitIndex: 6 }
            ModbusBit { id: failureNorFlash; sourceByteIndex: 0; sourceBitIndex: 7 }
        }
        ModbusUInt8 { id: measureStatusRo }
        ModbusByte { id: scheduleState }
        ModbusUInt16 { id: cardStatus }
        ModbusUInt32 { id: cardCapacity }
        ModbusUInt32 { id: cardSpaceOccupied }
        ModbusUInt8 { id: currentSiteRo }
        ModbusFloat { id: dtCalculated }
        ModbusFloat { id: dt0 }
        ModbusUInt8 { id: usbState }
        ModbusUInt32 {
            id: sitesRevisionRo
            onBytesWasRead: deviceModbus.sitesRevisionAfterRead()
        }
        ModbusUInt16 { id: sitesTotalCount }
        ModbusUInt8 { id: additionalDelayCalibrationStatus }
        ModbusUInt8 { id: calibratingZeroFlowOffsetStatus }
        ModbusUInt8 { id: settingZeroFlowPointStatus }
        ModbusFloat { id: massFlowRate }
        ModbusFloat { id: thermalPower }
        ModbusDoubleStruct { id: mPlusAccumulated }
        ModbusDoubleStruct { id: wPlus }
        ModbusUInt16 { id: heatEs; binaryBaseLength: 9 }
        ModbusFloat { id: rawCurrent }
        ModbusUInt8 { id: pressureStatus }
        ModbusFloat { id: pressureCurrent }
        ModbusFloat { id: pressure }
        ModbusFloat { id: rawResistance1 }
        ModbusUInt8 { id: temperatureStatus1 }
        ModbusFloat { id: resistance1 }
        ModbusFloat { id: temperature1 }
        ModbusFloat { id: rawResistance2 }
        ModbusUInt8 { id: temperatureStatus2 }
        ModbusFloat { id: resistance2 }
        ModbusFloat { id: temperature2 }
    }

    // Holding registers: device and connection.
    ModbusUInt8 {
        id: modbusAddress
        address: 400001
        onAfterWrite: {
            if (!deviceModbus.exporting())
                menuContext.deviceAddress = value
        }
    }
    ModbusUInt8 {
        id: baudRate
        address: 400002
        // The answer comes at the new rate: nothing else may be on the line meanwhile.
        onBeforeWrite: {
            if (!deviceModbus.exporting())
                deviceModbus.abortExecutingAll()
        }
        onAfterWrite: {
            if (!deviceModbus.exporting())
                menuContext.deviceBaudRateIndex = value
        }
    }
    ModbusUInt8 { id: byteTimeout; address: 400003 }
    ModbusUInt8 { id: rtsDelay; address: 400004 }
    ModbusUInt8 { id: modbusMode; address: 400005 }
    ModbusDateTime { id: time; address: 400006; group: "time" }
    ModbusUInt8 { id: initialize; address: 400008; group: "command" }
    ModbusUInt8 { id: enterProgramming; address: 400009 }
    ModbusUInt16 { id: eraseMemoryCard; address: 400010; group: "command" }
    ModbusUInt8 { id: shutdownRegister; address: 400012 }
    ModbusUInt8 { id: sleepState; address: 400013 }
    ModbusUInt32 { id: serialNumber; address: 400015; group: "serialnumber" }
    ModbusUInt32 { id: eraseArchive; address: 400023; group: "command" }
    ModbusUInt32 {
        id: somMenuVersion
        address: 400041
        group: "somMenuVersion"
        onConnectedChanged: {
            if (connected && embedded)
                writeValue(menuVersionUInt)
        }
    }

    // Once per connection type, at base + type.
    ModbusUInt8 {
        id: resetMeasurementHistory
        address: 400121 + menuContext.connectionType
        group: "command"
    }
    ModbusUInt16 {
        id: adcReadCommand
        address: 400124 + menuContext.connectionType
        group: "adcData"
        interval: embedded ? 2000 : 1000
        // 0: the last capture is done. Its data is fetched only after a capture the menu asked
        // for itself.
        onAfterRead: {
            if (value !== 0)
                return
            if (wasWrite) {
                adcDataForward.read()
                adcDataBackward.read()
                adcDataParams.read()
            }
            writeValue(1)
        }
    }
    ModbusUInt8 { id: measureStatus; address: 400127; group: "measurestatus" }
    ModbusUInt8 {
        id: currentSite
        address: 400128
        group: "currentsite"
        onAfterWrite: {
            if (deviceModbus.exporting())
                return
            deviceModbus.readGroups(["siteoptions", "siteoptions2", "siteoptions3"])
            currentSiteItem.read()
        }
    }

    // Settings of the current site.
    ModbusUInt16 { id: probeVoltage; address: 400129; group: "siteoptions" }
    ModbusUInt16 { id: automaticGainControl; address: 400130; group: "siteoptions" }
    ModbusUInt16 { id: manualGain; address: 400131; group: "siteoptions" }
    ModbusFloat { id: tMin; address: 400132; precision: 3; group: "siteoptions3" }
    ModbusFloat { id: tMax; address: 400134; precision: 3; group: "siteoptions3" }
    ModbusUInt16 { id: medianAveraging; address: 400136; group: "siteoptions" }
    ModbusUInt16 { id: arithmeticAveraging; address: 400137; group: "siteoptions" }
    ModbusUInt8 {
        id: sensorsFreqType
        address: 400140
        group: "siteoptions"
        // The sensor parameters below follow the frequency type: read them at their new place.
        onWasReadChanged: {
            if (deviceModbus.exporting())
                return
            phaseVelocity.read()
            sensorTemp.read()
            pulsesCount.read()
            probeSignalFreq.read()
        }
    }
    ModbusFloat { id: phaseVelocity; address: 400141 + sensorFreqTypeShift; group: "siteoptions3" }
    ModbusFloat { id: sensorTemp; address: 400143 + sensorFreqTypeShift; group: "siteoptions3" }
    ModbusUInt8 { id: pulsesCount; address: 400145 + sensorFreqTypeShift; group: "siteoptions3" }
    ModbusUInt8 { id: probeSignalFreq; address: 400146 + sensorFreqTypeShift; group: "siteoptions3" }
    ModbusUInt16 { id: signalDetectionThreshold; address: 400153; group: "siteoptions" }
    ModbusUInt8 { id: sensorsType; address: 400162; group: "siteoptions" }
    ModbusUInt8 { id: transducerMountingMethod; address: 400163; group: "siteoptions" }
    ModbusUInt8 {
        id: pipeMaterial
        address: 400164
        group: "siteoptions"
        onAfterWrite: {
            if (!deviceModbus.exporting())
                pipeSoundSpeed.read()
        }
    }
    ModbusUInt8 {
        id: pipeLinerMaterial
        address: 400165
        group: "siteoptions"
        onAfterWrite: {
            if (!deviceModbus.exporting())
                pipeLinerSoundSpeed.read()
        }
    }
    ModbusUInt8 { id: flowSign; address: 400166; group: "siteoptions" }
    ModbusUInt16 { id: inertiaTime; address: 400167; group: "siteoptions" }
    ModbusFloat { id: pipeSoundSpeed; address: 400168; group: "siteoptions2" }
    ModbusFloat { id: pipeWallThickness; address: 400170; group: "siteoptions" }
    ModbusFloat { id: pipeLinerSoundSpeed; address: 400172; group: "siteoptions2" }
    ModbusFloat { id: pipeLinerThickness; address: 400174; group: "siteoptions" }
    ModbusFloat {
        id: pipeCircumference
        address: 400176
        group: "siteoptions"
        onAfterWrite: {
            if (!deviceModbus.exporting())
                transducerPlaneDiameter.read()
        }
    }
    ModbusFloat { id: pipeOutsideDiameter; address: 400178; group: "siteoptions" }
    ModbusFloat { id: transducerPlaneDiameter; address: 400180; group: "siteoptions" }
    ModbusFloat { id: transducerSpacing; address: 400186; group: "siteoptions" }
    ModbusFloat { id: pipeRoughness; address: 400188; group: "siteoptions" }
    ModbusFloat { id: fluidViscosity; address: 400190; group: "siteoptions" }
    ModbusFloat { id: maxFlowAcceleration; address: 400196; group: "siteoptions" }
    ModbusFloat { id: maxFlowRate; address: 400198; group: "siteoptions" }
    ModbusFloat { id: flowCutOff; address: 400200; group: "siteoptions" }
    ModbusFloat { id: zeroFlowOffsetdt0; address: 400202; precision: 6; group: "siteoptions" }
    ModbusFloat { id: additionalDelay; address: 400204; group: "siteoptions" }
    ModbusFloat { id: fluidSoundSpeed; address: 400206; group: "siteoptions2" }
    ModbusFloat { id: k1; address: 400208; group: "siteoptions" }
    ModbusFloat { id: k2; address: 400210; group: "siteoptions" }
    ModbusFloat { id: k3; address: 400212; group: "siteoptions" }
    ModbusFloat { id: lowerSetPoint; address: 400220; group: "siteoptions" }
    ModbusFloat { id: upperSetPoint; address: 400222; group: "siteoptions" }
    ModbusUInt8 { id: fluidType; address: 400224; group: "siteoptions" }
    ModbusFloat { id: fluidTemperature; address: 400225; group: "siteoptions" }

    // Both sensor parameter sets, for the configuration file.
    ModbusFloat { address: 400141; group: "sitesensors" }
    ModbusFloat { address: 400143; group: "sitesensors" }
    ModbusUInt8 { address: 400145; group: "sitesensors" }
    ModbusUInt8 { address: 400146; group: "sitesensors" }
    ModbusFloat { address: 400147; group: "sitesensors" }
    ModbusFloat { address: 400149; group: "sitesensors" }
    ModbusUInt8 { address: 400151; group: "sitesensors" }
    ModbusUInt8 { address: 400152; group: "sitesensors" }

    // Heat, pressure and temperature channels.
    ModbusUInt8 { id: heatSupplySystem; address: 401025; group: "heatParameter" }
    ModbusFloat { id: upperMassFlowRateSetPoint; address: 401026; group: "heatParameter" }
    ModbusFloat { id: lowerMassFlowRateSetPoint; address: 401028; group: "heatParameter" }
    ModbusFloat { id: deltaT; address: 401030; group: "heatParameter" }
    ModbusUInt8 { id: pressureSensorControl; address: 401040; group: "heatParameter" }
    ModbusUInt8 { id: currentConversionRange; address: 401041; group: "heatParameter"; value: 1 }
    ModbusUInt8 { id: pressureConversionRange; address: 401042; group: "heatParameter"; value: 1 }
    ModbusFloat { id: pressureDefaultValue; address: 401049; group: "heatParameter" }
    ModbusUInt8 { id: temperature1SensorControl; address: 401051; group: "heatParameter" }
    ModbusUInt8 { id: rtdType1; address: 401052; group: "heatParameter" }
    ModbusFloat { id: lowerNominalTemperature1; address: 401059; group: "heatParameter" }
    ModbusFloat { id: upperNominalTemperature1; address: 401061; group: "heatParameter" }
    ModbusFloat { id: temperature1DefaultValue; address: 401063; group: "heatParameter" }
    ModbusUInt8 { id: temperature2SensorControl; address: 401065; group: "heatParameter" }
    ModbusUInt8 { id: rtdType2; address: 401066; group: "heatParameter" }
    ModbusFloat { id: lowerNominalTemperature2; address: 401073; group: "heatParameter" }
    ModbusFloat { id: upperNominalTemperature2; address: 401075; group: "heatParameter" }
    ModbusFloat { id: temperature2DefaultValue; address: 401077; group: "heatParameter" }
    ModbusFloat { id: atmosphericPressure; address: 401079 }

    // Sites.
    ModbusUInt32 { id: sitesRevision; address: 402999; group: "sitesrevision" }
    ModbusUInt32 {
        id: siteCopier
        address: 403255
        group: "sitecopier"

        ModbusUInt16 { id: siteCopyFrom }
        ModbusUInt16 { id: siteCopyTo }
    }
    ModbusUInt16 { id: siteClear; address: 403260; group: "command" }
    ModbusFile {
        id: siteMap
        file: 0x80
        group: "siteMap"
        length: sitesManager.siteRecordSize * sitesManager.maxSitesCount
        modbusBlockSize: sitesManager.siteRecordSize * 2 / 2
        interval: 1000
        onBeforeRead: maxSitesCountItem.read()
        // One good read ends the polling that the connection started; a failed one re-arms it.
        onAfterRead: intervalReading = false
        onError: intervalReading = true
        onBeforeWrite: {
            if (!deviceModbus.exporting())
                deviceModbus.commitSitesRevision()
        }
        onAfterWrite: {
            if (!deviceModbus.exporting())
                currentSiteItem.read()
        }
        // Read through the polling that the first good read ends, so that a refused read is
        // tried again a second later rather than never.
        onLengthChanged: (newLength) => {
            if (newLength > 0)
                intervalReading = true
        }
    }
    TavSiteItem {
        id: currentSiteItem
        property bool exists: siteName !== ""
        group: "currentsitepath"
        file: siteMap.file
        length: sitesManager.siteRecordSize
        offset: siteMap.offset + siteIndex * sitesManager.siteRecordSize / 2
        nameSize: sitesManager.siteNameSize
        reservedBytesCount: sitesManager.reservedBytesCount
        onOffsetChanged: read()
    }
    TavSiteItem {
        id: editingSiteItem
        group: "sites"
        file: siteMap.file
        length: sitesManager.siteRecordSize
        // A site not yet placed (-1) has no record: the offset stays on the first one, and a
        // write is refused, so that it cannot overwrite the first site.
        offset: siteMap.offset + Math.max(0, sitesManager.editingSiteIndex) * sitesManager.siteRecordSize / 2
        nameSize: sitesManager.siteNameSize
        reservedBytesCount: sitesManager.reservedBytesCount
        onBeforeWrite: {
            if (sitesManager.editingSiteIndex < 0) {
                console.log("Cannot write site - no site index")
                cancelRequest()
            }
        }
        onAfterWrite: {
            deviceModbus.commitSitesRevision()
            if (sitesManager.editingSiteIndex === siteIndex)
                currentSiteItem.read()
        }
    }

    // Archive settings.
    ModbusUInt16 { id: loggingInterval; address: 403001 }

    // Discrete output.
    ModbusUInt8 { id: discreteOutputMode; address: 403101 }
    ModbusUInt8 { id: discreteOutputActiveState; address: 403102 }
    ModbusFloat { id: discreteOutputKp; address: 403103 }
    ModbusFloat { id: discreteOutputKi; address: 403105 }
    ModbusUInt16 { id: discreteOutputImpulseTime; address: 403107 }
    ModbusFloat { id: discreteOutputMaxFreq; address: 403108 }
    ModbusFloat { id: discreteOutputLowerLimit; address: 403110 }
    ModbusFloat { id: discreteOutputUpperLimit; address: 403112 }
    ModbusUInt8 { id: discreteOutputFreqListIndex; address: 403114 }
    ModbusUInt8 { id: discreteOutputPulseListIndex; address: 403115 }
    ModbusUInt8 { id: discreteOutputLogicalListIndex; address: 403116 }
    ModbusUInt8 { id: discreteOutputCalculateKp; address: 403253 }
    ModbusUInt8 { id: discreteOutputCalculateKi; address: 403254 }

    // Calibrations.
    ModbusUInt8 { id: adjustAdditionalDelay; address: 403251 }
    ModbusUInt8 { id: setZeroFlowOffsetdt0; address: 403252 }
    ModbusUInt8 { id: onFlowZeroAdjusmentCommand; address: 403257; group: "calibration" }
    ModbusUInt8 { id: onFlowZeroAdjusmentStage; address: 403258; group: "calibration" }
    ModbusUInt16 { id: onFlowZeroAdjustmentTime; address: 306124; interval: 500; group: "calibration" }
    ModbusFloat { id: onFlowZeroAdjusmentC1; address: 306125; group: "calibration" }
    ModbusFloat { id: onFlowZeroAdjusmentDt1; address: 306127; group: "calibration" }
    ModbusFloat { id: onFlowZeroAdjusmentDt2; address: 306129; group: "calibration" }
    ModbusFloat { id: onFlowZeroAdjustmentDt0; address: 306131; group: "calibration" }

    // Signal capture.
    ModbusInt16 { id: adcDataForward; address: 302001; count: 2048; group: "adcData" }
    ModbusInt16 { id: adcDataBackward; address: 304049; count: 2048; group: "adcData" }
    ModbusCustomBytes {
        id: adcDataParams
        address: 301988
        itemSize: 16
        group: "adcData"

        ModbusUInt32 { id: adcStartForward }
        ModbusUInt32 { id: adcStartBackward }
        ModbusUInt32 { id: adcWindowStartForward }
        ModbusUInt32 { id: adcWindowStartBackward }
    }

    // Scheduling.
    ModbusUInt8 { id: scheduleCommand; address: 403560; group: "command" }
    ModbusByte { id: scheduleMode; address: 403561 }
    ModbusCustomBytes {
        address: 403562
        itemSize: 18

        ModbusDateTime { id: periodicScheduleStartTime }
        ModbusDateTime { id: periodicSchedulePeriod }
        ModbusDateTime { id: periodicScheduleDuration }
        ModbusDateTime { id: periodicScheduleEndTime }
        ModbusUInt8 { id: periodicScheduleLoggingInterval }
    }
    IntervalScheduleModbusGroup { id: intervalSchedule0; address: 403571; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule1; address: 403577; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule2; address: 403583; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule3; address: 403589; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule4; address: 403595; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule5; address: 403601; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule6; address: 403607; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule7; address: 403613; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule8; address: 403619; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule9; address: 403625; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule10; address: 403631; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule11; address: 403637; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule12; address: 403643; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule13; address: 403649; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule14; address: 403655; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule15; address: 403661; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule16; address: 403667; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule17; address: 403673; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule18; address: 403679; group: "intervalschedulegroup" }
    IntervalScheduleModbusGroup { id: intervalSchedule19; address: 403685; group: "intervalschedulegroup" }
    ModbusUInt8 { id: resetScheduleCommand; address: 403691; group: "command" }

    // The same entries as single items, for the configuration import only.
    ModbusUInt8 { address: 403571; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403572; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403574; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403576; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403577; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403578; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403580; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403582; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403583; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403584; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403586; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403588; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403589; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403590; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403592; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403594; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403595; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403596; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403598; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403600; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403601; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403602; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403604; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403606; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403607; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403608; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403610; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403612; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403613; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403614; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403616; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403618; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403619; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403620; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403622; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403624; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403625; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403626; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403628; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403630; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403631; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403632; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403634; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403636; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403637; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403638; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403640; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403642; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403643; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403644; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403646; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403648; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403649; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403650; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403652; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403654; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403655; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403656; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403658; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403660; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403661; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403662; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403664; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403666; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403667; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403668; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403670; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403672; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403673; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403674; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403676; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403678; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403679; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403680; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403682; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403684; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403685; group: "importintervalschedulegroupturn" }
    ModbusDateTime { address: 403686; group: "importintervalschedulegroup" }
    ModbusDateTime { address: 403688; group: "importintervalschedulegroup" }
    ModbusUInt8 { address: 403690; group: "importintervalschedulegroup" }

    // Measurement history.
    TavrinFlowRateHistoryItem {
        id: flowRateHistory
        group: "measurementHistory"
        currentTime: timeRo.value
        flowRateRatio: deviceDimensions.flowRateDimension.ratio
    }
    TavrinHeatHistoryItem {
        id: heatHistory
        group: "measurementHistory"
        currentTime: timeRo.value
    }
    TavrinPressureHistoryItem {
        id: pressureHistory
        group: "measurementHistory"
        currentTime: timeRo.value
    }
}
