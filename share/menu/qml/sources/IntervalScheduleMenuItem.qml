import QtQuick
import "../widgets/base"
import "../widgets"
import "../components"

// One entry of the interval schedule as a row of columns: number, start, end, logging interval
// and whether it is enabled; it leads to the entry's own frame. The first row carries the column
// headers above itself, in the gap its frame leaves for them.
MenuItemBase {
    id: row

    property int intervalIndex: 0
    readonly property var group: deviceProps["intervalSchedule" + intervalIndex] || null
    property bool showHeaders: false
    readonly property bool entryEnabled: group !== null && group.state.value === 1
    readonly property real numberWidth: 10 * starter.mm
    readonly property real loggingWidth: 40 * starter.mm
    readonly property real enabledWidth: 20 * starter.mm
    readonly property real timeWidth: (width - numberWidth - loggingWidth - enabledWidth
                                       - arrow.width - 4 * starter.mm) / 2
    readonly property alias numberText: numberText
    readonly property alias startText: startText
    readonly property alias endText: endText
    readonly property alias loggingText: loggingText
    readonly property alias enabledText: enabledText

    // "dd.MM.yyyy  hh:mm:ss" of the property, the time under the date.
    function twoLines(prop) {
        return prop ? prop.formatValue.replace("  ", "\n") : ""
    }

    width: styleManager.style.menuItemRowWidth
    height: hidden ? 0 : styleManager.style.menuItemRowHeight

    // The entry's registers are read while the row is shown (not in the periodic mode).
    WidgetPropReader {
        prop: row.hidden ? null : row.group
    }

    MenuItemsBackground {
        id: background
        color: row.pressed ? styleManager.style.pressedColor : styleManager.style.menuItemBackColor
    }
    FocusRect {
        anchors.fill: background
        active: row.activeFocus
    }
    MouseOverRect {
        anchors.fill: background
        visible: row.mouseArea.containsMouse
    }

    Row {
        id: columns
        anchors.left: parent.left
        anchors.leftMargin: 2 * starter.mm
        anchors.verticalCenter: parent.verticalCenter

        Cell {
            id: numberText
            width: row.numberWidth
            text: String(row.intervalIndex + 1)
            header: "#"
        }
        Cell {
            id: startText
            width: row.timeWidth
            text: row.twoLines(row.group ? row.group.startTime : null)
            header: qsTranslate("Schedule", "Start time")
            small: true
        }
        Cell {
            id: endText
            width: row.timeWidth
            text: row.twoLines(row.group ? row.group.endTime : null)
            header: qsTranslate("Schedule", "End time")
            small: true
        }
        Cell {
            id: loggingText
            width: row.loggingWidth
            text: row.group ? row.group.loggingInterval.formatValue : ""
            header: qsTr("Logging interval")
        }
        Cell {
            id: enabledText
            width: row.enabledWidth
            text: row.group ? row.group.state.formatValue : ""
            header: qsTranslate("Schedule", "Enabled")
            font.bold: row.entryEnabled
        }
    }

    MenuItemArrow {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 2 * starter.mm
        anchors.verticalCenter: parent.verticalCenter
        height: row.height / 3
    }

    // A column's text, and its header above the row when the row carries the headers.
    component Cell: Text {
        id: cell
        property string header: ""
        property bool small: false
        height: row.height
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        font.family: styleManager.style.mediumFontFamily
        font.pixelSize: small ? styleManager.style.smallFontSize : styleManager.style.mediumFontSize
        color: styleManager.style.menuItemCaptionFontColor

        Text {
            anchors.bottom: parent.top
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width
            visible: row.showHeaders
            text: cell.header
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: styleManager.style.smallFontSize * 0.6
            font.family: styleManager.style.smallFontFamily
            font.pixelSize: styleManager.style.smallFontSize
            color: styleManager.style.menuItemCaptionFontColor
        }
    }
}
