import QtQuick
import DorrikBus 1.0
import "core"
import "sources"

// The root of the menu: every global object, once and in this order (later ones bind to earlier
// ones), then the main window. The global keys of the program live here.
FocusScope {
    id: starter

    width: embedded ? 640 : 800
    height: embedded ? 480 : 600
    focus: true

    property alias windowWidth: starter.width
    property alias windowHeight: starter.height
    property alias tvnGeneration: deviceModbus.tvnGeneration
    property bool isHeatSupported: tvnGeneration >= 2 && deviceModbus.hasHeatChannel.has
    property alias mm: screenManager.mm
    property alias cm: screenManager.cm
    property date powerPressTime: new Date(0)
    // The longest hold of the power key that still means sleep, in ms.
    property int powerSleepHoldLimit: 4000

    onIsHeatSupportedChanged: {
        if (isHeatSupported && !exportManager.active)
            deviceModbus.readAllHeatParams()
    }

    MenuSettings {
        id: menuSettings
        objectName: "menuSettings"
    }
    LogManager {
        id: logManager
    }
    DeviceScreenManager {
        id: screenManager
        objectName: "screenManager"
        windowWidth: starter.windowWidth
        windowHeight: starter.windowHeight
    }
    ApplicationManager {
        id: applicationManager
    }
    NavigationManager {
        id: navigationManager
        objectName: "navigationManager"
    }
    StyleManager {
        id: styleManager
        objectName: "styleManager"
    }
    DeviceModbus {
        id: deviceModbus
        objectName: "modbusClient"
        singleResultProcessing: true
    }
    ExportManager {
        id: exportManager
    }
    SitesManager {
        id: sitesManager
        siteMapItem: deviceModbus.siteMap
        currentSitePathItem: deviceModbus.currentSiteItem
        currentSiteItem: deviceModbus.currentSite
        editingSiteItem: deviceModbus.editingSiteItem
        maxSitesCountItem: deviceModbus.maxSitesCountItem
    }
    MenuProps {
        id: menuProps
        opacity: 0
    }
    DeviceProps {
        id: deviceProps
        opacity: 0
    }
    DevicePowerManager {
        id: powerManager
        objectName: "powerManager"
    }
    DeviceEventer {
        id: deviceEventer
        transport: deviceModbus.transport
    }
    DeviceDimensions {
        id: deviceDimensions
        objectName: "deviceDimensions"
    }
    KeypadTavrin {
        id: deviceKeypad
        objectName: "deviceKeypad"
        eventer: deviceEventer
        // Hardware keys become key presses only on the instrument, and only while it is awake.
        retranslate: !powerManager.sleeping && embedded
        autoRepeatIgnoreKeys: [Qt.Key_Enter, Qt.Key_Return, Qt.Key_Escape, Qt.Key_Home]
    }
    EditorsManager {
        id: editorsManager
        objectName: "editorsManager"
    }
    MainWindow {
        id: mainWindow
        objectName: "mainWindow"
        anchors.fill: parent
        focus: true
    }

    Connections {
        target: deviceKeypad
        enabled: embedded
        function onKeyLogChanged(value) {
            if (value)
                navigationManager.gotoPage(navigationManager.piRight)
        }
        // The Menu key goes home whatever has the focus (a text field takes Home for its
        // cursor), held or short as Home of a keyboard; the main window drops the Home press it
        // also arrives as.
        function onKeyMenuChanged(value) {
            if (value)
                mainWindow.homePressed(false)
            else
                mainWindow.homeReleased(false)
        }
        function onKeyPowerChanged(value) {
            if (value) {
                starter.powerPressTime = new Date()
                console.log("keyPower pressed")
            } else {
                console.log("keyPower released")
                if (new Date() - starter.powerPressTime <= starter.powerSleepHoldLimit)
                    powerManager.sleep()
            }
        }
    }

    Connections {
        target: menuContext
        // The restarted menu must find the port free.
        function onBeforeRestartMenu(event) {
            // Not in the middle of a transfer, an archive export or a calibration: it waits.
            if (exportManager.holdRestart()) {
                event.cancel = true
                return
            }
            if (deviceModbus.transport)
                deviceModbus.transport.disconnectTransport()
        }
        // Whichever screen handed a file to the desktop: without a program for it nothing
        // would happen at all.
        function onOpenUrlFailed(path) {
            var name = path.replace(/[\/\\]+$/, "").split(/[\/\\]/).pop()
            screenManager.showMessageBoxDialog(qsTr("Cannot open %1").arg(name))
        }
    }

    Keys.onPressed: event => {
        if (event.key === Qt.Key_Print || event.key === Qt.Key_P) {
            if (embedded)
                return
            if (event.modifiers === Qt.ControlModifier) {
                screenshotToClipboard()
                event.accepted = true
            } else if ((event.modifiers & Qt.ControlModifier) && (event.modifiers & Qt.ShiftModifier)) {
                screenshotToFile()
                event.accepted = true
            }
        } else if (event.key === Qt.Key_C && menuContext.verbose
                   && (event.modifiers & (Qt.ControlModifier | Qt.ShiftModifier | Qt.AltModifier))
                   === (Qt.ControlModifier | Qt.ShiftModifier | Qt.AltModifier)) {
            screenManager.showLog()
            event.accepted = true
        }
    }

    Component.onCompleted: {
        console.log("DorrikBus '" + dorrikBusVersion + "'")
        console.log("Menu      '" + menuVersion + "'")
        console.log("started")
    }
}
