import QtQuick
import "../widgets/base"
import "../components"

// The bar of a calibration wizard's wait: it fades in while the wizard waits and out after.
MenuItemBase {
    id: row

    property var wizard: null
    property alias progressBar: bar

    clickable: false
    width: styleManager.style.menuItemRowWidth
    height: styleManager.style.menuItemRowHeight

    ProgressBar {
        id: bar
        anchors.centerIn: parent
        width: row.width - 20 * starter.mm
        height: 8 * starter.mm
        // The wait's own animation moves the value smoothly already.
        animated: false
        value: row.wizard ? row.wizard.progress : 0
        // Kept while a stop is sent again: the run is not over yet.
        opacity: row.wizard && (row.wizard.state === "waiting" || row.wizard.state === "stopping")
                 ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation {
                duration: 300
            }
        }
    }
}
