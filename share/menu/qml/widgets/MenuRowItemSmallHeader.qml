import QtQuick
import "base"

// The heading of a group of rows.
MenuRowItem {
    clickable: false
    standardHeight: styleManager.style.menuItemRowSmallHeaderHeight
    captionItem.font.pixelSize: styleManager.style.smallFontSize
    captionItem.anchors.leftMargin: styleManager.style.menuItemRowSmallHeaderLeftMargin
}
