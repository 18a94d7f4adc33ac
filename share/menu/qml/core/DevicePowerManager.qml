// Stand-in for the power manager: what the shell reads and calls. sleep() announces itself as
// the real one does, through beforeSleep, and sleeps no further.
import QtQuick

QtObject {
    property bool sleeping: false

    signal beforeSleep(var event)
    signal afterSleep

    function sleep() {
        beforeSleep(null)
    }
    function resetSleepTimer() {}
}
