import QtQuick
import DorrikBus 1.0

// The instrument's key and system events: any key keeps the display awake; the held shutdown
// key and a low battery shut the instrument down (the latter after asking). On the desktop the
// system events are only logged.
Eventer {
    id: deviceEventer

    // System event codes.
    readonly property int shutdownEvent: 2
    readonly property int batteryLowEvent: 3

    onKeypadEvent: code => powerManager.resetSleepTimer()

    onSystemEvent: code => {
        if (code === shutdownEvent) {
            console.log("Shutdown event received")
            if (embedded) {
                console.log("going to shut down")
                powerManager.shutdown()
            }
        } else if (code === batteryLowEvent) {
            console.log("BatteryLow event received")
            if (embedded)
                screenManager.showConfirmDialog(qsTr("Battery is low, shutdown the device?"),
                                                function (yes) {
                                                    if (yes)
                                                        powerManager.shutdown()
                                                })
        }
    }
}
