import QtQuick
import "../properties"

// The instrument's parameters as the user sees them: one property object per setting or reading,
// published under its id, so that screens reach deviceProps.<name> and never format a register.
Item {
    id: deviceProps

    visible: false

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

    // Measuring, 2 s late when it starts (the first results need that long), at once when it
    // stops.
    property bool measuringDeferred: false
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
    readonly property bool batteryAsleep: !embedded && deviceModbus.sleepState.value !== 0

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

    // 0xAA550000 + index empties the archive of that site; unsigned, beyond QML's int.
    function eraseSpecifiedArchive(index) {
        deviceModbus.eraseArchive.value = (0xAA550000 + index) >>> 0
        deviceModbus.eraseArchive.write()
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
            deviceProps.eraseSpecifiedArchive(deviceModbus.siteIndex)
        }
    }
    // No card, or one being erased.
    function cardUnusable() {
        var status = deviceModbus.cardStatus.value
        return status === 0 || status === 5
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

    readonly property bool measuringNow: deviceProps.measuring === true
    onMeasuringNowChanged: {
        if (!measuringNow) {
            measuringDeferredTimer.stop()
            measuringDeferred = false
        } else {
            measuringDeferredTimer.restart()
        }
    }
    Timer {
        id: measuringDeferredTimer
        interval: deviceProps.measuringDeferredDelay
        onTriggered: deviceProps.measuringDeferred = deviceProps.measuringNow
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
