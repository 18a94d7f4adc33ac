import QtQuick
import "base"

// A low row that only informs.
MenuRowItem {
    clickable: false
    standardHeight: styleManager.style.menuItemRowSmallHeight
    captionItem.font.pixelSize: styleManager.style.menuItemRowSmallCaptionFontSize
}
