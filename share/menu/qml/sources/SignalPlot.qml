import QtQuick
import VPlots 1.0
import "../components"

// One direction's captured signal with its detection window; shows the whole capture or the
// window alone.
FocusScope {
    id: signalPlot

    property real adcStart: 0
    property real adcWindowStart: 0
    property int adcWindowWidth: 500
    property int adcLength: 2048
    property var model: null
    property bool windowScaled: false
    readonly property real windowOffset: adcWindowStart - adcStart
    readonly property alias plotItem: plot
    readonly property alias curve: curve
    readonly property string unit: deviceProps.adcStartForward.dimension

    function toggleWindowScaled() {
        windowScaled = !windowScaled
    }
    function sampleTime(sample) {
        return ((sample + adcStart) * deviceProps.adcRatio).toFixed(0) + " " + unit
    }

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                || event.key === Qt.Key_Space) {
            event.accepted = true
            toggleWindowScaled()
        }
    }

    VPlot {
        id: plot
        objectName: "signalChart"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: labels.top
        xMin: signalPlot.windowScaled ? signalPlot.windowOffset : 0
        xMax: signalPlot.windowScaled ? signalPlot.windowOffset + signalPlot.adcWindowWidth
                                      : signalPlot.adcLength
        yMin: -2050
        yMax: 2050
        interactive: false
        // The axes are fixed: the chart must not align them to the data.
        alignH: VPlot.AlignHNone
        alignV: VPlot.AlignVNone
        gridV: VPlot.FixedStep
        gridStepV: 200
        drawGridV: true
        gridColorV: "#222222FF"
        curves: [
            VCurve {
                id: curve
                model: signalPlot.model
                xAutoCalc: true
                yRole: "value"
                color: "#333366"
            }
        ]
    }
    Image {
        id: windowImage
        objectName: "signalWindow"
        readonly property real pixelsPerSample: plot.width / Math.max(1, plot.xMax - plot.xMin)
        x: (signalPlot.windowOffset - plot.xMin) * pixelsPerSample
        y: 10
        width: signalPlot.adcWindowWidth * pixelsPerSample
        height: plot.height - 20
        source: "../" + styleManager.style.signalWindow
        fillMode: Image.Stretch
        opacity: 0.5

        Rectangle {
            width: 1
            height: parent.height
            color: "#55000000"
        }
        Rectangle {
            x: parent.width - 1
            width: 1
            height: parent.height
            color: "#55000000"
        }
    }
    FocusRect {
        filled: false
        active: signalPlot.activeFocus
    }
    Item {
        id: labels
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 20
        Text {
            objectName: "signalFirstTime"
            anchors.left: parent.left
            text: signalPlot.sampleTime(plot.xMin)
            font.pixelSize: styleManager.style.tinyFontSize + 4
        }
        Text {
            objectName: "signalLastTime"
            anchors.right: parent.right
            text: signalPlot.sampleTime(plot.xMax)
            font.pixelSize: styleManager.style.tinyFontSize + 4
        }
    }
    MouseArea {
        anchors.fill: parent
        onClicked: signalPlot.toggleWindowScaled()
    }
}
