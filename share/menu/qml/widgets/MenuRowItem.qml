import QtQuick
import "base"
import "../components"

// The ordinary menu row: caption at the left, the property's value and unit at the right, or an
// arrow when it leads on.
MenuItemBase {
    id: menuRowItem

    property real standardHeight: styleManager.style.menuItemRowHeight
    property string value: prop && prop.formatValue !== undefined ? prop.formatValue : ""
    property bool showDimension: true
    // No unit beside a blank value (a list value out of range shows " ").
    property string dimension: showDimension && prop && prop.dimension && value.trim() !== ""
                               ? prop.dimension : ""
    property bool showArrow: frame !== null || pageIndex >= 0
    property var editorProperties: ({})
    property bool valueItemMultiline: false
    // An instrument's value shows as not read while the instrument does not answer (outside the
    // menu's own window, in a frame of its own, there is no such state).
    readonly property bool notRead: !!prop && !!prop.modbusItem && typeof mainWindow !== "undefined"
                                    && !!mainWindow && mainWindow.connectionLost === true
    property bool captionItemElide: false
    property bool dimensionItemAlignVCenter: false
    property alias captionItem: captionText
    property alias valueItem: valueText
    property alias dimensionItem: dimensionText
    property alias arrowItem: arrow
    property alias backgroundItem: background

    height: hidden ? 0 : standardHeight
    width: styleManager.style.menuItemRowWidth
    clip: true

    onEdit: {
        if (typeof menuRowItem.overrideEdit === "function" && !menuRowItem.overrideEdit())
            return
        editorsManager.editProperty(prop, valueText, editorProperties)
    }

    MenuItemsBackground {
        id: background
        visible: menuRowItem.showBackground
        color: menuRowItem.pressed ? styleManager.style.pressedColor
                                   : styleManager.style.menuItemBackColor
    }
    FocusRect {
        anchors.fill: background
        active: menuRowItem.activeFocus && menuRowItem.clickable
    }
    MouseOverRect {
        anchors.fill: background
        visible: menuRowItem.mouseArea.containsMouse
    }

    Text {
        id: captionText
        anchors.left: parent.left
        anchors.leftMargin: styleManager.style.menuItemRowCaptionLeftMargin
        anchors.right: valueText.text.length > 0 ? valueText.left : parent.right
        anchors.rightMargin: valueText.text.length > 0 ? styleManager.style.menuItemMargin
                                                       : styleManager.style.menuItemRowCaptionRightMargin
        anchors.verticalCenter: parent.verticalCenter
        text: menuRowItem.caption
        elide: menuRowItem.captionItemElide ? Text.ElideRight : Text.ElideNone
        font.family: styleManager.style.menuItemCaptionFontFamily
        font.pixelSize: styleManager.style.menuItemCaptionFontSize
        color: menuRowItem.pressed ? styleManager.style.menuItemCaptionFontColor_pressed
                                   : styleManager.style.menuItemCaptionFontColor
    }

    Text {
        id: valueText
        anchors.right: parent.right
        // The unit sits in the margin: a unit longer than the style's margin leaves ("mm Hg")
        // pushes the value left rather than reaching the row's border.
        anchors.rightMargin: menuRowItem.dimension.length > 0
                             ? Math.max(styleManager.style.menuItemRowValueRightMarginWithDim,
                                        dimensionText.implicitWidth
                                        + styleManager.style.menuItemRowDimensionLeftMargin
                                        + styleManager.style.menuItemRowDimensionRightMargin)
                             : styleManager.style.menuItemRowValueRightMarginNoDim
        anchors.verticalCenter: parent.verticalCenter
        // At least the style's value width, more when the caption leaves room.
        width: Math.min(implicitWidth,
                        Math.max(styleManager.style.menuItemRowValueWidth,
                                 menuRowItem.width - anchors.rightMargin
                                 - styleManager.style.menuItemRowCaptionLeftMargin
                                 - captionText.implicitWidth - styleManager.style.menuItemMargin))
        horizontalAlignment: Text.AlignRight
        text: menuRowItem.notRead && menuRowItem.value !== "" ? styleManager.style.notReadValueText
                                                               : menuRowItem.value
        maximumLineCount: 2
        wrapMode: menuRowItem.valueItemMultiline ? Text.WordWrap : Text.NoWrap
        elide: Text.ElideRight
        font.family: styleManager.style.menuItemTextValueValueFontFamily
        font.pixelSize: styleManager.style.menuItemTextValueValueFontSize
                        - (menuRowItem.valueItemMultiline && text.length > 15 ? 3 : 0)
        color: menuRowItem.notRead ? styleManager.style.notReadFontColor
                                   : styleManager.style.menuItemTextValueValueFontColor
    }

    Text {
        id: dimensionText
        anchors.left: valueText.right
        anchors.leftMargin: styleManager.style.menuItemRowDimensionLeftMargin
        anchors.baseline: menuRowItem.dimensionItemAlignVCenter ? undefined : valueText.baseline
        anchors.verticalCenter: menuRowItem.dimensionItemAlignVCenter ? parent.verticalCenter
                                                                      : undefined
        text: menuRowItem.dimension
        visible: text.length > 0
        font.family: styleManager.style.smallFontFamily
        font.pixelSize: styleManager.style.smallFontSize
        color: styleManager.style.menuItemCaptionFontColor
    }

    MenuItemArrow {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 2 * starter.mm
        anchors.verticalCenter: parent.verticalCenter
        height: menuRowItem.height / 3
        visible: menuRowItem.showArrow
    }
}
