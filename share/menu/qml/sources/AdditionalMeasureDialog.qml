import QtQuick
import "../components"
import "../components/base"

// More values of the measurement, flow rate or heat by tab, shown in place over the page.
FocusScope {
    id: additionalDialog

    property alias tabIndex: tabControl.currentIndex
    property bool tabsVisible: false
    // The rows read their registers only while the dialog shows.
    property bool widgetShown: visible
    readonly property real columnWidth: Math.min(900, width - 20)

    signal closing()

    Keys.onEscapePressed: closing()

    Rectangle {
        anchors.fill: parent
        color: "#DDEEEEFF"
        border.color: "black"
        border.width: 2
        radius: 15
    }

    TabControl {
        id: tabControl
        objectName: "additionalTabs"
        anchors.top: parent.top
        anchors.topMargin: 5
        anchors.horizontalCenter: parent.horizontalCenter
        visible: additionalDialog.tabsVisible
        enabled: visible
        model: [qsTr("Flow rate"), qsTr("Heat")]
        delegate: Tab {
            caption: modelData
        }
        Keys.onDownPressed: closeButton.forceActiveFocus()
        Keys.onLeftPressed: currentIndex = Math.max(0, currentIndex - 1)
        Keys.onRightPressed: currentIndex = Math.min(count - 1, currentIndex + 1)
    }

    Item {
        id: area
        anchors.top: tabControl.visible ? tabControl.bottom : parent.top
        anchors.topMargin: 5
        anchors.bottom: closeButton.top
        anchors.bottomMargin: 5
        anchors.horizontalCenter: parent.horizontalCenter
        width: additionalDialog.columnWidth

        TabScroller {
            anchors.fill: parent
            tabControl: tabControl
            pages: [
                RowsColumns {
                    objectName: "additionalFlowRows"
                    rows: [deviceProps.dtMeasured, deviceProps.dtCalculated, deviceProps.dt0,
                        deviceProps.hydrodynamicCoeff, deviceProps.totalAdditionalDt, deviceProps.p,
                        deviceProps.measurementsPerSecond, deviceProps.currentGain,
                        deviceProps.signalStrength, deviceProps.measuredSoundSpeed]
                },
                RowsColumns {
                    objectName: "additionalHeatRows"
                    rows: [qsTr("Pressure channel"), deviceProps.pressureStatus, deviceProps.pressure,
                        qsTranslate("IndexedChannel", "Temperature channel # 1"),
                        deviceProps.temperatureStatus1, deviceProps.temperature1,
                        qsTranslate("IndexedChannel", "Temperature channel # 2"),
                        deviceProps.temperatureStatus2, deviceProps.temperature2]
                }
            ]
        }
    }

    // Two columns, or one where a caption would not fit half the width; a text is a header,
    // anything else a property's row. A header and its rows stay in one column, so a column
    // break falls only between groups; rows are of one height in both columns, from the top.
    component RowsColumns: Item {
        id: columns

        property var rows: []
        readonly property real headerHeight: styleManager.style.menuItemRowSmallHeaderHeight * 0.9
        // The caption takes half a row less its left margin.
        readonly property real widestCaption: {
            // advanceWidth() is a call: the metrics' height is read so that a font change counts.
            if (captionMetrics.height <= 0)
                return 0
            var widest = 0
            for (var i = 0; i < rows.length; ++i) {
                if (typeof rows[i] !== "string" && rows[i])
                    widest = Math.max(widest, captionMetrics.advanceWidth(rows[i].caption))
            }
            return widest
        }
        readonly property bool twoColumns: widestCaption <= width / 4 - 3 * styleManager.style.mm
        readonly property var columnRows: twoColumns ? splitRows(rows) : [rows]
        readonly property int fullest: {
            var at = 0
            for (var i = 1; i < columnRows.length; ++i) {
                if (columnRows[i].length > columnRows[at].length)
                    at = i
            }
            return at
        }
        readonly property real rowHeight: {
            var list = columnRows[fullest] || []
            var headers = headersIn(list)
            return (height - headers * headerHeight) / Math.max(1, list.length - headers)
        }

        function headersIn(list) {
            var n = 0
            for (var i = 0; i < list.length; ++i) {
                if (typeof list[i] === "string")
                    n++
            }
            return n
        }

        // Without headers the list halves; with them, whole groups go to the first column as
        // long as that keeps the fuller column smallest.
        function splitRows(list) {
            var groups = []
            for (var i = 0; i < list.length; ++i) {
                if (groups.length === 0 || typeof list[i] === "string")
                    groups.push([])
                groups[groups.length - 1].push(list[i])
            }
            if (groups.length < 2) {
                var half = Math.ceil(list.length / 2)
                return [list.slice(0, half), list.slice(half)]
            }
            var best = 1
            var bestSize = list.length
            var first = 0
            for (var g = 1; g < groups.length; ++g) {
                first += groups[g - 1].length
                var size = Math.max(first, list.length - first)
                if (size <= bestSize) {
                    best = g
                    bestSize = size
                }
            }
            var left = [].concat.apply([], groups.slice(0, best))
            var right = [].concat.apply([], groups.slice(best))
            return [left, right]
        }

        FontMetrics {
            id: captionMetrics
            font.family: styleManager.style.smallFontFamily
            font.pixelSize: styleManager.style.smallFontSize
        }

        Row {
            anchors.fill: parent
            Repeater {
                model: columns.columnRows.length
                Column {
                    id: column
                    readonly property var entries: columns.columnRows[index] || []
                    width: columns.width / columns.columnRows.length
                    height: columns.height
                    Repeater {
                        model: column.entries.length
                        Item {
                            id: cell
                            readonly property var entry: column.entries[index]
                            readonly property bool header: typeof entry === "string"
                            width: column.width
                            height: header ? columns.headerHeight : columns.rowHeight

                            Rectangle {
                                objectName: cell.header ? "additionalHeader" : ""
                                anchors.fill: parent
                                visible: cell.header
                                color: "#80FFFFFF"
                                Text {
                                    anchors.fill: parent
                                    anchors.leftMargin: styleManager.style.menuItemRowSmallHeaderLeftMargin
                                    verticalAlignment: Text.AlignVCenter
                                    elide: Text.ElideRight
                                    text: cell.header ? cell.entry : ""
                                    font.family: styleManager.style.smallFontFamily
                                    font.pixelSize: styleManager.style.smallFontSize
                                }
                            }
                            Item {
                                objectName: "additionalRow"
                                anchors.fill: parent
                                visible: !cell.header
                                readonly property var prop: cell.header ? null : cell.entry
                                readonly property Item captionItem: rowCaption

                                ModbusPropReader {
                                    prop: parent.prop
                                    active: additionalDialog.widgetShown && !!parent.prop
                                }
                                Text {
                                    id: rowCaption
                                    anchors.left: parent.left
                                    anchors.leftMargin: 3 * styleManager.style.mm
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: parent.width * 0.5 - 3 * styleManager.style.mm
                                    elide: Text.ElideRight
                                    text: parent.prop ? parent.prop.caption : ""
                                    font.family: captionMetrics.font.family
                                    font.pixelSize: captionMetrics.font.pixelSize
                                }
                                CleverText {
                                    anchors.left: rowCaption.right
                                    anchors.leftMargin: 4
                                    anchors.right: rowUnit.left
                                    anchors.rightMargin: 4
                                    anchors.verticalCenter: parent.verticalCenter
                                    horizontalAlignment: Text.AlignRight
                                    text: parent.prop ? parent.prop.formatValue : ""
                                    font.family: styleManager.style.mediumFontFamily
                                    font.pixelSize: styleManager.style.smallFontSize
                                }
                                Text {
                                    id: rowUnit
                                    anchors.right: parent.right
                                    anchors.rightMargin: 2 * styleManager.style.mm
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: 12 * styleManager.style.mm
                                    elide: Text.ElideRight
                                    text: parent.prop && parent.prop.dimension ? parent.prop.dimension : ""
                                    font.family: styleManager.style.smallFontFamily
                                    font.pixelSize: styleManager.style.smallFontSize - 2
                                }
                                Rectangle {
                                    anchors.bottom: parent.bottom
                                    width: parent.width
                                    height: 1
                                    color: "#30000000"
                                }
                            }
                        }
                    }
                }
            }
        }
    }

    BaseButton {
        id: closeButton
        objectName: "additionalCloseButton"
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 5
        anchors.horizontalCenter: parent.horizontalCenter
        caption: qsTr("Close")
        focus: true
        onClicked: additionalDialog.closing()
        Keys.onUpPressed: {
            if (tabControl.visible)
                tabControl.forceActiveFocus()
        }
    }
}
