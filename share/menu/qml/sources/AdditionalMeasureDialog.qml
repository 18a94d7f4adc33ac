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

    // Two columns; a text is a header, anything else a property's row.
    component RowsColumns: Item {
        id: columns

        property var rows: []
        readonly property int perColumn: Math.ceil(rows.length / 2)

        Row {
            anchors.fill: parent
            Repeater {
                model: 2
                Column {
                    id: column
                    readonly property int first: index * columns.perColumn
                    readonly property int count: Math.min(columns.perColumn,
                                                          columns.rows.length - first)
                    readonly property int headers: {
                        var n = 0
                        for (var i = 0; i < count; ++i) {
                            if (typeof columns.rows[first + i] === "string")
                                n++
                        }
                        return n
                    }
                    width: columns.width / 2
                    height: columns.height
                    Repeater {
                        model: column.count
                        Item {
                            id: cell
                            readonly property var entry: columns.rows[column.first + index]
                            readonly property bool header: typeof entry === "string"
                            readonly property real headerHeight:
                                styleManager.style.menuItemRowSmallHeaderHeight * 0.9
                            width: column.width
                            height: header ? headerHeight
                                           : (column.height - column.headers * headerHeight)
                                             / Math.max(1, column.count - column.headers)

                            Rectangle {
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

                                ModbusPropReader {
                                    prop: parent.prop
                                    active: additionalDialog.widgetShown && !!parent.prop
                                }
                                Text {
                                    id: rowCaption
                                    anchors.left: parent.left
                                    anchors.leftMargin: 3 * styleManager.style.mm
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: parent.width * 0.5
                                    elide: Text.ElideRight
                                    text: parent.prop ? parent.prop.caption : ""
                                    font.family: styleManager.style.smallFontFamily
                                    font.pixelSize: styleManager.style.smallFontSize
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
