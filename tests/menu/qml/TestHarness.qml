import QtQuick
import DorrikBus 1.0
import "../../../share/menu/qml/core"
import "../../../share/menu/qml/sources"

// The root a menu unit is tested in: the global ids of Starter, with the real managers, the
// shell's stand-ins, a device double and recording doubles of the popup layer and the keypad.
// A component under test reaches these ids only when it is created here, in this file's context:
// use create(). The ids are also published as properties of the same names for the tests.
FocusScope {
    id: starter

    width: 800
    height: 600
    focus: true

    property alias windowWidth: starter.width
    property alias windowHeight: starter.height
    property int tvnGeneration: 1
    property bool isHeatSupported: false
    property alias mm: screenManager.mm
    property alias cm: screenManager.cm
    property date powerPressTime: new Date(0)

    property alias menuSettings: menuSettings
    property alias screenManager: screenManager
    property alias applicationManager: applicationManager
    property alias navigationManager: navigationManager
    property alias styleManager: styleManager
    property alias deviceModbus: deviceModbus
    property alias powerManager: powerManager
    property alias deviceKeypad: deviceKeypad
    property alias editorsManager: editorsManager
    property alias popupScroller: popupScroller
    property alias keypadScroller: keypadScroller
    property alias mainFrame: mainFrame
    property alias subFrame: subFrame
    property alias sitesManager: sitesManager
    // Every frame change the frame scroller was asked for, as "<frame> forward|back".
    property var frameChanges: []

    // The component of `file` (under share/menu/qml) made in this context, with the doubles
    // registered again: a component holding its own layer or frame scroller registers those.
    function create(file, properties, parentItem) {
        var component = Qt.createComponent(Qt.resolvedUrl("../../../share/menu/qml/" + file))
        if (component.status !== Component.Ready) {
            console.warn(component.errorString())
            return null
        }
        var object = component.createObject(parentItem ? parentItem : starter,
                                            properties ? properties : {})
        reset()
        return object
    }

    // Back to the start: main page, main frame, no popups, keypad hidden, nothing recorded.
    function reset() {
        popupScroller.register()
        keypadScroller.register()
        popupScroller.reset()
        keypadScroller.reset()
        editorsManager.activeEditor = null
        navigationManager.mainFrame = mainFrame
        navigationManager.currentFrame = mainFrame
        navigationManager.changePage(navigationManager.piMain)
        frameChanges = []
        deviceModbus.connected = true
    }

    MenuSettings {
        id: menuSettings
    }
    LogManager {
        id: logManager
    }
    DeviceScreenManager {
        id: screenManager
        windowWidth: starter.windowWidth
        windowHeight: starter.windowHeight
    }
    ApplicationManager {
        id: applicationManager
    }
    NavigationManager {
        id: navigationManager
    }
    StyleManager {
        id: styleManager
    }
    QtObject {
        id: deviceModbus
        objectName: "modbusClient"
        property int tvnGeneration: 1
        property bool connected: true
        property var transport: null
        property QtObject hasHeatChannel: QtObject {
            property bool has: false
        }
        property QtObject mainReadGroup: QtObject {
            property bool wasRead: false
        }
        property QtObject flowRate: QtObject {
            property real value: 0
            property bool readOnly: true
        }
        // The instrument's clock, fixed.
        property QtObject timeRo: QtObject {
            property date value: new Date(2024, 5, 15, 10, 20, 30)
            property bool readOnly: true
        }
        // What the device properties and the menu tree read of the live block: on the adapter,
        // no failure.
        property QtObject powerStatus: QtObject {
            property int value: 4
            property bool readOnly: true
        }
        property QtObject chargeLevel: QtObject {
            property int value: 100
            property bool readOnly: true
        }
        property QtObject batteryRemain: QtObject {
            property int value: 0
            property bool readOnly: true
        }
        property QtObject failures: QtObject {
            property int value: 0
            property string binaryValue: "0"
            property bool readOnly: true
        }
        // The two coefficient calculations of the discrete output, never started here.
        property QtObject discreteOutputCalculateKp: QtObject {
            property int value: 0
            property bool readOnly: false
        }
        property QtObject discreteOutputCalculateKi: QtObject {
            property int value: 0
            property bool readOnly: false
        }
        signal goodTasksCountChanged
        signal taskPartialExecuted
    }
    ExportManager {
        id: exportManager
    }
    SitesManager {
        id: sitesManager
    }
    MenuProps {
        id: menuProps
    }
    DeviceProps {
        id: deviceProps
    }
    DevicePowerManager {
        id: powerManager
        // How often the user's brightness was stored.
        property int brightnessStores: 0
        function storeBackligtBrightness() {
            brightnessStores++
        }
    }
    DeviceDimensions {
        id: deviceDimensions
        objectName: "deviceDimensions"
    }
    KeypadTavrin {
        id: deviceKeypad
        retranslate: false
    }
    EditorsManager {
        id: editorsManager
    }
    RecordingPopupScroller {
        id: popupScroller
        manager: screenManager
    }
    RecordingKeypadScroller {
        id: keypadScroller
        manager: screenManager
    }

    // The frame scroller's part: frames change only through gotoFrameInternal. They have the
    // frames' signals, so that the main window's frame scroller may show them too.
    QtObject {
        id: mainFrame
        objectName: "mainFrame"
        property var prevFrame: null
        property int prevPage: -1
        signal shown(bool forward)
        signal hidden(bool forward)
    }
    QtObject {
        id: subFrame
        objectName: "subFrame"
        property var prevFrame: mainFrame
        property int prevPage: -1
        signal shown(bool forward)
        signal hidden(bool forward)
    }
    // The page list view's part, for tests without the centre panel: it follows at once.
    Connections {
        target: navigationManager
        function onDoPageIndexChange(toIndex) {
            navigationManager.internalPageIndex = toIndex
        }
    }
    Connections {
        target: navigationManager
        function onGotoFrameInternal(newFrame, forward) {
            starter.frameChanges.push((newFrame ? newFrame.objectName : "null")
                                      + (forward ? " forward" : " back"))
            starter.frameChanges = starter.frameChanges
            navigationManager.currentFrame = newFrame
        }
    }

    Component.onCompleted: reset()
}
