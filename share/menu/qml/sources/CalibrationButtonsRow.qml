import QtQuick
import "../widgets"
import "../widgets/base"
import "../components"

// A calibration wizard's "Start"/"Stop" and "Set" in one menu row. The start button keeps the
// command register polled while it is shown.
MenuItemBase {
    id: row

    property var wizard: null
    property alias startButton: startButton
    property alias setButton: setButton

    width: styleManager.style.menuItemRowWidth
    height: styleManager.style.menuItemRowHeight + 4 * starter.mm

    Row {
        anchors.centerIn: parent
        spacing: 6 * starter.mm

        WidgetButton {
            id: startButton
            focus: true
            prop: row.wizard ? row.wizard.command : null
            toggleOnClick: false
            caption: row.wizard && row.wizard.calibrating ? qsTr("Stop") : qsTr("Start")
            KeyNavigation.right: setButton
            onClicked: row.wizard.startStop()
        }
        Button {
            id: setButton
            caption: qsTr("Set")
            enabled: row.wizard !== null && row.wizard.state === "finished"
            KeyNavigation.left: startButton
            onClicked: row.wizard.set()
            // The focus must not stay on a button that cannot be pressed.
            onEnabledChanged: {
                if (!enabled && focus)
                    startButton.focus = true
            }
        }
    }
}
