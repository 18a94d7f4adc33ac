import QtQuick
import "../popups"

// A popup centred in the layer, over the top panel, as wide as the style's dialogs.
BasePopup {
    id: dialog

    overrideTopPanel: true
    anchors.fill: undefined
    anchors.centerIn: parent
    width: styleManager.style.dialogWidth
    height: Math.max(implicitHeight, styleManager.style.dialogMinHeight)
}
