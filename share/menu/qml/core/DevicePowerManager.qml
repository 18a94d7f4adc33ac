import QtQuick
import Menu 1.0
import "../components"

// The menu's power manager: it sleeps after the display-off interval of the present supply, and
// tells the instrument before sleeping, after waking and before shutting down through its sleep
// and shutdown registers. A refused write keeps the device awake (or running). A wake the
// instrument did not take is written again once it answers: it would otherwise count itself asleep
// for good.
PowerManager {
    id: powerManager

    // The link locked for the sleep, unlocked after it even if the client has another by then.
    property var lockedTransport: null
    // The instrument has not taken the wake yet.
    property bool wakePending: false

    property RegisterWriter wakeWriter: RegisterWriter {
        item: deviceModbus.sleepState
    }

    function writeWake() {
        wakeWriter.write(0, function (taken) {
            if (taken && powerManager.wakePending) {
                powerManager.wakePending = false
                console.log("'0' written to sleep register.")
            }
        })
    }

    // Any good read says the instrument answers again.
    property Connections wakeRetry: Connections {
        target: powerManager.wakePending ? deviceModbus.mainReadGroup || null : null
        function onAfterRead() {
            if (powerManager.wakePending && !powerManager.wakeWriter.waiting.length)
                powerManager.writeWake()
        }
    }

    sleepEnabled: embedded && menuProps !== null && menuProps.sleepEnabled
                  && !(exportManager && exportManager.active)
    sleepInterval: menuProps ? menuProps.sleepInterval : 60000

    // Only the instrument's own link (the C55 link) can be locked over a sleep.
    function lockable(transport) {
        return transport !== null && transport !== undefined
                && typeof transport.lockTransport === "function"
                && typeof transport.unlockTransport === "function"
    }

    onBeforeSleep: event => {
        wakePending = false
        if (deviceModbus.connected) {
            deviceModbus.sleepState.value = 1
            console.log("writing sleep register...")
            if (!deviceModbus.sleepState.writeSync()) {
                console.log("can't write '1' to sleep register. Sleeping cancelled.")
                if (event)
                    event.cancel = true
                return
            }
        }
        if (embedded) {
            var transport = deviceModbus.transport
            if (lockable(transport)) {
                console.log("locking transport...")
                transport.lockTransport()
                lockedTransport = transport
                console.log("transport has been locked")
            }
            console.log("fade out backlight brightness")
            fadeOutBacklightBrightness()
        }
        console.log("going to sleep...")
    }

    onAfterSleep: {
        console.log("waked up")
        if (embedded) {
            console.log("fade in backlight brightness")
            fadeInBacklightBrightness()
            if (lockedTransport) {
                console.log("unlocking transport...")
                lockedTransport.unlockTransport()
                lockedTransport = null
                console.log("transport has been unlocked")
            }
        }
        // Written whether or not the client reports a connection: the link may have just
        // reopened.
        deviceModbus.sleepState.value = 0
        if (!deviceModbus.sleepState.writeSync()) {
            console.log("can't write '0' to sleep register.")
            wakePending = true
        }
    }

    onBeforeShutdown: event => {
        console.log("writing shutdown register...")
        deviceModbus.shutdownRegister.value = 1
        if (!deviceModbus.shutdownRegister.writeSync()) {
            console.log("can't write '1' to shutdown register, shutting down cancelled")
            if (event)
                event.cancel = true
            screenManager.showMessageBoxDialog(qsTr("The device did not take the shutdown command. It stays on."))
            return
        }
        console.log("shutdown register has been successfully written")
        screenManager.showFullscreenMessage(qsTr("Shutting down..."))
        if (deviceModbus.transport)
            deviceModbus.transport.disconnectTransport()
        console.log("transports disconnected")
    }
}
