import QtQuick
import DorrikBus 1.0
import VPlots 1.0
import "../components"
import "../components/base"
import "../dialogs"

// One value large with its trend, and the tile's neighbours below; the trend can fill the dialog.
BaseFrameDialog {
    id: bigMeasureDialog

    property var prop: null
    property int trendSize: 60
    property bool showTrend: false
    property string trendRole: "value"
    property real minYHeight: 0
    property var trendModel: null
    property bool usePropModel: false
    property var otherProps: []
    property var trendModbusItem: null
    // ±20 % of the average in the maximised trend; peak to peak otherwise.
    property bool averagePercents: false
    readonly property bool maximized: state === "trendMaximized"
    // The small trend is always peak to peak, whatever the maximised one was left in.
    readonly property bool percentScale: maximized && averagePercents
    readonly property int precision: prop && prop.precision !== undefined ? prop.precision : -1
    readonly property alias trendPlot: trendPlot

    caption: prop ? prop.caption + (prop.dimension ? ", " + prop.dimension : "") : ""
    captionTextItem.font.family: styleManager.style.veryBigFontFamily
    captionTextItem.font.pixelSize: styleManager.style.veryBigFontSize

    function toggleMaximized() {
        if (maximized) {
            state = ""
        } else {
            averagePercents = false
            state = "trendMaximized"
        }
    }

    // The history item is polled only while the dialog shows.
    ModbusItemReader {
        id: historyReader
        item: bigMeasureDialog.trendModbusItem instanceof ModbusItemBase
              ? bigMeasureDialog.trendModbusItem : null
        active: bigMeasureDialog.topActive && !bigMeasureDialog.minimized
    }

    Item {
        id: centre
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: bigMeasureDialog.captionItem.height
        anchors.bottom: othersGrid.visible ? othersGrid.top : closeButton.top
        anchors.bottomMargin: 5

        CleverText {
            id: valueText
            objectName: "bigValue"
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 350
            visible: !bigMeasureDialog.maximized && !modelColumn.visible
            horizontalAlignment: Text.AlignRight
            text: bigMeasureDialog.prop ? bigMeasureDialog.prop.formatValue : ""
            color: styleManager.style.bigMeasureFontColor
            font.family: styleManager.style.bigMeasureFontFamily
            font.pixelSize: Math.min(styleManager.style.bigMeasureFontSize, centre.height * 0.8)
        }
        Column {
            id: modelColumn
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 350
            visible: !bigMeasureDialog.maximized && bigMeasureDialog.usePropModel
                     && !!bigMeasureDialog.prop && !!bigMeasureDialog.prop.model
                     && bigMeasureDialog.prop.model.length > 0
            Repeater {
                model: modelColumn.visible ? bigMeasureDialog.prop.model : []
                Text {
                    width: modelColumn.width
                    horizontalAlignment: Text.AlignRight
                    wrapMode: Text.Wrap
                    text: modelData
                    font.family: styleManager.style.bigFontFamily
                    font.pixelSize: styleManager.style.bigFontSize
                }
            }
        }

        PropPlot {
            id: trendPlot
            objectName: "bigTrend"
            anchors.left: valueText.right
            anchors.leftMargin: 10
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.top: parent.top
            anchors.topMargin: 5
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 5
            visible: bigMeasureDialog.showTrend
            prop: bigMeasureDialog.prop
            model: bigMeasureDialog.showTrend ? bigMeasureDialog.trendModel : null
            viewCount: 120
            xRole: "time"
            yRole: bigMeasureDialog.trendRole
            alignH: VPlot.AlignHRight
            scaleV: bigMeasureDialog.percentScale ? VPlot.ScaleVScopeAveragePercents
                                                  : VPlot.ScaleVScopePeakToPeak
            scaleVPercents: bigMeasureDialog.percentScale ? 20 : 100
            showYAverage: false
            showXMin: false
            showXMax: false
            minYHeight: bigMeasureDialog.percentScale && bigMeasureDialog.minYHeight > 0
                        ? bigMeasureDialog.minYHeight
                        : bigMeasureDialog.precision >= 0
                          ? 2 * Math.pow(10, -bigMeasureDialog.precision) : 0
            zeroTime: deviceModbus.timeRo.value
            plotItem.gridH: VPlot.FixedWidgetStep
            plotItem.gridStepH: plotItem.height / 4
            plotItem.gridV: VPlot.FixedWidgetStep
            plotItem.gridStepV: plotItem.secondWeight * 60
            plotItem.drawGridH: true
            plotItem.drawGridV: true
            plotItem.gridColorH: "#10000000"
            plotItem.gridColorV: "#10000000"

            FocusRect {
                filled: false
                active: trendPlot.activeFocus
            }
            MouseArea {
                anchors.fill: parent
                onClicked: bigMeasureDialog.toggleMaximized()
            }
            Keys.onPressed: (event) => {
                if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                        || event.key === Qt.Key_Space) {
                    event.accepted = true
                    bigMeasureDialog.toggleMaximized()
                }
            }
            KeyNavigation.down: bigMeasureDialog.maximized ? averageButton : closeButton
        }
    }

    Grid {
        id: othersGrid
        objectName: "othersGrid"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 10
        anchors.bottom: closeButton.top
        anchors.bottomMargin: 5
        visible: !bigMeasureDialog.maximized && bigMeasureDialog.otherProps.length > 0
        columns: 2
        flow: Grid.TopToBottom
        rows: 3

        Repeater {
            model: bigMeasureDialog.otherProps.length
            Rectangle {
                id: cell
                readonly property var entry: bigMeasureDialog.otherProps[index]
                readonly property var cellProp: entry ? entry.prop : null
                width: othersGrid.width / 2
                height: 28
                color: "#80FFFFFF"
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 11 * styleManager.style.mm
                    anchors.verticalCenter: parent.verticalCenter
                    width: 10 * styleManager.style.mm
                    elide: Text.ElideRight
                    text: cell.cellProp ? cell.cellProp.shortCaption : ""
                    font.pixelSize: 18
                }
                Text {
                    id: cellValue
                    objectName: "otherValue" + index
                    anchors.right: parent.right
                    anchors.rightMargin: 22 * styleManager.style.mm
                    anchors.verticalCenter: parent.verticalCenter
                    horizontalAlignment: Text.AlignRight
                    text: cell.cellProp && cell.entry.field ? String(cell.cellProp[cell.entry.field]) : ""
                    font.pixelSize: 18
                }
                Text {
                    anchors.left: cellValue.right
                    anchors.leftMargin: 3 * styleManager.style.mm
                    anchors.verticalCenter: parent.verticalCenter
                    text: cell.cellProp && cell.cellProp.dimension ? cell.cellProp.dimension : ""
                    font.pixelSize: 17
                }
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 1
                    color: "#40000000"
                    visible: index % 3 !== 2
                }
            }
        }
    }

    Row {
        id: scaleButtons
        anchors.left: parent.left
        anchors.leftMargin: 10
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        spacing: 10
        visible: bigMeasureDialog.maximized
        BaseButton {
            id: averageButton
            objectName: "averagePercentsButton"
            caption: "±20%"
            checkable: true
            checked: bigMeasureDialog.averagePercents
            enabled: parent.visible
            // A click toggles `checked` itself: the mode decides it again.
            onClicked: {
                bigMeasureDialog.averagePercents = true
                checked = Qt.binding(function () { return bigMeasureDialog.averagePercents })
            }
            KeyNavigation.right: peakButton
            KeyNavigation.up: trendPlot
        }
        BaseButton {
            id: peakButton
            objectName: "peakButton"
            caption: qsTr("Peak")
            checkable: true
            checked: !bigMeasureDialog.averagePercents
            enabled: parent.visible
            onClicked: {
                bigMeasureDialog.averagePercents = false
                checked = Qt.binding(function () { return !bigMeasureDialog.averagePercents })
            }
            KeyNavigation.left: averageButton
            KeyNavigation.right: closeButton
            KeyNavigation.up: trendPlot
        }
    }

    BaseButton {
        id: closeButton
        objectName: "bigCloseButton"
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        caption: qsTr("Close")
        focus: true
        onClicked: bigMeasureDialog.close()
        KeyNavigation.up: bigMeasureDialog.showTrend ? trendPlot : null
        KeyNavigation.left: bigMeasureDialog.maximized ? peakButton : null
    }

    states: State {
        name: "trendMaximized"
        AnchorChanges {
            target: trendPlot
            anchors.left: centre.left
        }
        PropertyChanges {
            target: trendPlot
            anchors.leftMargin: 90
            viewCount: bigMeasureDialog.trendSize
            showYAverage: true
            showXMin: true
            showXMax: true
        }
        AnchorChanges {
            target: centre
            anchors.bottom: scaleButtons.top
        }
    }
}
