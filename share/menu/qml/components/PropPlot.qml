import QtQuick
import VPlots 1.0

// A property's recent values as a small chart, with the first and last time below it and the
// value range at its left edge.
Item {
    id: propPlot

    property var prop: null
    property var model: null
    property int viewCount: 60
    property bool showYAverage: true
    property bool showXMin: true
    property bool showXMax: true
    property string xRole: "time"
    property string yRole: "value"
    property date zeroTime: new Date()
    property alias scaleV: plot.scaleV
    property alias scaleVPercents: plot.scaleVPercents
    property alias alignH: plot.alignH
    property real minYHeight: 0
    property bool showYLabels: true
    readonly property alias plotItem: plot
    readonly property alias curve: curve
    readonly property bool hasData: curve.count > 0
    readonly property int precision: prop && prop.precision !== undefined ? prop.precision : -1

    // Only for labels that show: a property without a number format (a status word's tile)
    // has none to give, and its base would complain at every start.
    function formatted(value) {
        var text = prop && typeof prop.getFormatted === "function" ? prop.getFormatted(value)
                                                                   : value
        return text === undefined || text === null ? "" : String(text)
    }

    VPlot {
        id: plot
        objectName: "propPlotChart"
        anchors.fill: parent
        // The time labels lie below the chart, inside the item.
        anchors.bottomMargin: propPlot.showXMin || propPlot.showXMax
                              ? styleManager.style.tinyFontSize + 4 + 8 : 0
        zeroTime: propPlot.zeroTime
        secondWeight: width > 0 ? width / (propPlot.viewCount + 1) : 1
        xMin: 0
        xMax: (propPlot.viewCount - 1) * secondWeight
        ignoreOutdatedData: true
        interactive: false
        minYHeight: propPlot.minYHeight > 0
                    ? propPlot.minYHeight
                    : propPlot.precision >= 0 ? 2 * Math.pow(10, -propPlot.precision) : 0
        curves: [
            VCurve {
                id: curve
                model: propPlot.model
                xRole: propPlot.xRole
                yRole: propPlot.yRole
                color: "#0000AA"
            }
        ]
    }

    Text {
        objectName: "plotXMin"
        anchors.top: plot.bottom
        anchors.topMargin: 5
        anchors.left: plot.left
        anchors.leftMargin: 20
        visible: propPlot.showXMin && propPlot.hasData
        text: Qt.formatTime(plot.xMinTime, "hh:mm:ss")
        font.pixelSize: styleManager.style.tinyFontSize + 4
    }
    Text {
        objectName: "plotXMax"
        anchors.top: plot.bottom
        anchors.topMargin: 5
        anchors.right: plot.right
        anchors.rightMargin: 20
        visible: propPlot.showXMax && propPlot.hasData
        text: Qt.formatTime(plot.xMaxTime, "hh:mm:ss")
        font.pixelSize: styleManager.style.tinyFontSize + 4
    }
    Text {
        objectName: "plotYMax"
        anchors.left: plot.left
        anchors.top: plot.top
        visible: propPlot.showYLabels && propPlot.hasData
        text: visible ? propPlot.formatted(plot.yMax) : ""
        font.pixelSize: styleManager.style.tinyFontSize + 4
    }
    Text {
        objectName: "plotYAverage"
        anchors.left: plot.left
        anchors.verticalCenter: plot.verticalCenter
        visible: propPlot.showYLabels && propPlot.showYAverage && propPlot.hasData
        text: visible ? propPlot.formatted((plot.yMin + plot.yMax) / 2) : ""
        font.pixelSize: styleManager.style.tinyFontSize + 4
    }
    Text {
        objectName: "plotYMin"
        anchors.left: plot.left
        anchors.bottom: plot.bottom
        visible: propPlot.showYLabels && propPlot.hasData
        text: visible ? propPlot.formatted(plot.yMin) : ""
        font.pixelSize: styleManager.style.tinyFontSize + 4
    }
}
