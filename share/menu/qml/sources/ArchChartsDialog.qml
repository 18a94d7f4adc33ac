import QtQuick
import DorrikBus 1.0
import VPlots 1.0
import "../components"
import "../dialogs"

// One quantity of the current site's archive over a time range, drawn as a chart: a count of the
// range's records first, then the records read on Start.
BaseFrameDialog {
    id: dialog

    objectName: "archChartsDialog"

    property var buttonsModel: []
    property bool showAccumulated: true
    property var checkedButton: null
    // The record item holds no read range before the first Start: its one empty record is no
    // chart.
    property bool hasRead: false
    readonly property bool chartShown: hasRead && curve.count > 0
    readonly property bool reading: reader.running
    readonly property bool counting: counter.counting
    readonly property int archIndex: deviceProps.currentSite.value
                                     + (starter.tvnGeneration >= 3 ? 0x100 : 0)
    readonly property string countText: counting ? "..."
                                                 : counter.found > 30 ? "> " + (counter.count - 1)
                                                                      : String(counter.found)
    readonly property string progressText: reader.progress + " " + qsTr("records")
    readonly property string curveCaption: checkedButton ? checkedButton.curveCaption : ""
    readonly property var valueProp: checkedButton ? checkedButton.prop : null
    readonly property int verticalLines: Math.floor(width / 180)
    readonly property int horizontalLines: Math.floor(height / 70)
    readonly property alias plot: plot
    readonly property alias curve: curve
    readonly property alias startButton: startButton
    readonly property alias readerItem: reader
    readonly property alias counterItem: counter

    function count() {
        if (reading)
            return
        counter.abortExecuting()
        counter.found = 0
        counter.counting = true
        // Set here, not only bound: on a change of site this runs before the binding would.
        counter.archIndex = archIndex
        counter.label = menuProps.archChartsFrom.value
        counter.endLabel = menuProps.archChartsTo.value
        if (!counter.read())
            counter.counting = false
    }

    function start() {
        if (reading) {
            reader.stop()
            return
        }
        reader.archIndexes = [archIndex]
        reader.start()
    }

    // Nothing of the dialog asks the instrument once it goes.
    function abortAll() {
        counter.abortExecuting()
        counter.counting = false
        reader.stop()
        record.abortExecuting()
    }

    caption: reading ? qsTr("Archival charts") + "\n" + progressText
                     : qsTr("Archival charts") + " (" + curveCaption + ")"
    allowMinimize: true
    // Its own close and minimise buttons lie at the bottom left.
    showMinimizeButton: false
    showCloseButton: false

    onClosing: abortAll()
    Component.onDestruction: abortAll()
    Component.onCompleted: {
        count()
        firstRange.start()
    }
    // The count is the current site's: another site chosen meanwhile is counted again.
    onArchIndexChanged: count()

    Connections {
        target: menuProps.archChartsFrom
        function onValueChanged() {
            dialog.count()
        }
    }
    Connections {
        target: menuProps.archChartsTo
        function onValueChanged() {
            dialog.count()
        }
    }

    ArchFirstRange {
        id: firstRange
        archIndex: dialog.archIndex
        fromName: "archChartsFrom"
        toName: "archChartsTo"
    }
    ModbusArchLabel {
        id: counter
        property bool counting: false
        property int found: 0
        client: deviceModbus
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        count: 31
        onAfterRead: {
            found = arraySize
            counting = false
        }
        onError: counting = false
    }
    ModbusArchRecordTavrin {
        id: record
        client: deviceModbus
        group: "archives"
        func: DorrikBus.Func67
        archIndex: dialog.archIndex
        tvnGeneration: starter.tvnGeneration
        containsHeat: deviceModbus.hasHeatChannel.has
    }
    ModbusArchReader {
        id: reader
        record: record
        from: menuProps.archChartsFrom.value
        to: menuProps.archChartsTo.value
        maxRequestLabels: 10
        recordsPerRequestOptimization: false
        // The instrument's memory is small; the desktop draws while it reads.
        maxRecords: menuContext.embedded ? 100000 : 0
        liveResult: !menuContext.embedded
        onStarted: dialog.hasRead = true
    }
    // A long read on the instrument must not end in its sleep.
    Timer {
        interval: 1000
        repeat: true
        running: dialog.reading && menuContext.embedded
        onTriggered: powerManager.resetSleepTimer()
    }

    Item {
        id: body
        parent: dialog.frameItem
        anchors.fill: parent
        anchors.margins: 10
        anchors.topMargin: dialog.captionItem.height

        Row {
            id: topRow
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            height: styleManager.style.baseButtonHeight
            spacing: 8

            Button {
                id: fromButton
                objectName: "chartsFromButton"
                width: (topRow.width - startButton.width - 2 * topRow.spacing) / 2
                height: parent.height
                autoExpand: false
                enabled: !dialog.reading
                caption: qsTr("From: ") + "\n" + menuProps.archChartsFrom.formatValue
                captionItem.font.pixelSize: styleManager.style.smallFontSize
                captionItem.horizontalAlignment: Text.AlignHCenter
                onClicked: menuProps.archChartsFrom.edit(fromButton)
            }
            Button {
                id: toButton
                objectName: "chartsToButton"
                width: fromButton.width
                height: parent.height
                autoExpand: false
                enabled: !dialog.reading
                caption: qsTr("To: ") + "\n" + menuProps.archChartsTo.formatValue
                captionItem.font.pixelSize: styleManager.style.smallFontSize
                captionItem.horizontalAlignment: Text.AlignHCenter
                onClicked: menuProps.archChartsTo.edit(toButton)
            }
            Button {
                id: startButton
                objectName: "chartsStartButton"
                width: 145
                height: parent.height
                autoExpand: false
                focus: true
                caption: dialog.reading ? qsTr("Stop")
                                        : qsTranslate("DrawPlot", "Plot") + " \n" + dialog.countText
                                          + " " + qsTr("records")
                captionItem.font.pixelSize: styleManager.style.smallFontSize
                captionItem.horizontalAlignment: Text.AlignHCenter
                onClicked: dialog.start()
            }
        }

        Item {
            id: plotArea
            anchors.top: topRow.bottom
            anchors.topMargin: 6
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: bottomRow.top
            anchors.bottomMargin: 6

            Rectangle {
                anchors.fill: plot
                color: "white"
                border.color: "#888888"
            }
            VPlot {
                id: plot
                objectName: "archChartsPlot"
                anchors.fill: parent
                anchors.leftMargin: 70
                anchors.bottomMargin: 20
                interactive: false
                scaleH: VPlot.ScaleHPeakToPeak
                scaleV: VPlot.ScaleVPeakToPeak
                gridH: VPlot.FixedWidgetStep
                gridV: VPlot.FixedWidgetStep
                gridStepV: width / (dialog.verticalLines + 1)
                gridStepH: height / (dialog.horizontalLines + 1)
                gridColorH: "#10000000"
                gridColorV: "#10000000"
                curves: [
                    VCurve {
                        id: curve
                        model: record.model
                        xRole: "recordLabel"
                        yRole: dialog.checkedButton ? dialog.checkedButton.yRole : "vPlus"
                        color: "#3F63B4"
                    }
                ]
            }
            // Time under the vertical lines and at both ends; the last line's label stays hidden.
            Repeater {
                id: timeLabels
                model: plot.gridPointsV
                delegate: Text {
                    x: plot.x + model.offset - width / 2
                    y: plot.y + plot.height + 2
                    visible: index < timeLabels.count - 1 && dialog.chartShown
                    text: visible ? dialog.timeAt(model.offset) : ""
                    font.pixelSize: 12
                }
            }
            Text {
                objectName: "chartsFirstTime"
                x: plot.x
                y: plot.y + plot.height + 2
                visible: dialog.chartShown
                text: visible ? dialog.formatTime(plot.xMinTime) : ""
                font.pixelSize: 12
            }
            Text {
                objectName: "chartsLastTime"
                x: plot.x + plot.width - width
                y: plot.y + plot.height + 2
                visible: dialog.chartShown
                text: visible ? dialog.formatTime(plot.xMaxTime) : ""
                font.pixelSize: 12
            }
            // Values left of the horizontal lines and at the top and bottom.
            Repeater {
                id: valueLabels
                model: plot.gridPointsH
                delegate: Text {
                    x: plot.x - width - 4
                    y: plot.y + model.offset - height / 2
                    visible: index < valueLabels.count - 1 && dialog.chartShown
                    text: visible ? dialog.formatValue(model.value) : ""
                    font.pixelSize: 12
                }
            }
            Text {
                x: plot.x - width - 4
                y: plot.y
                visible: dialog.chartShown
                text: dialog.formatValue(plot.yMax)
                font.pixelSize: 12
            }
            Text {
                x: plot.x - width - 4
                y: plot.y + plot.height - height
                visible: dialog.chartShown
                text: dialog.formatValue(plot.yMin)
                font.pixelSize: 12
            }
            Text {
                objectName: "chartsProgressText"
                anchors.centerIn: plot
                text: dialog.progressText
                opacity: dialog.reading ? 0.8 : 0
                visible: opacity > 0
                font.pointSize: 42
                font.weight: Font.Light
                font.bold: true
                color: "#3F63B4"
                Behavior on opacity { NumberAnimation { duration: 500 } }
            }
        }

        Row {
            id: bottomRow
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: styleManager.style.baseButtonHeight
            spacing: 6

            CloseButton {
                id: closeButton
                height: parent.height
                width: height
            }
            MinimizeButton {
                id: minimizeButton
                height: parent.height
                width: height
                onClicked: dialog.minimize()
            }
            Repeater {
                id: curveButtons
                model: dialog.buttonsModel
                delegate: ArchChartCurveButton {
                    objectName: "curveButton_" + modelData.caption
                    width: (bottomRow.width - 2 * bottomRow.height
                            - (curveButtons.count + 1) * bottomRow.spacing)
                           / Math.max(1, curveButtons.count)
                    height: bottomRow.height
                    roles: modelData.roles
                    prop: modelData.prop
                    curveCaption: modelData.caption
                    containerItem: dialog
                    plotCurveItem: curve
                    Component.onCompleted: {
                        if (!dialog.checkedButton)
                            dialog.checkedButton = this
                    }
                }
            }
        }
    }

    // The time under a pixel column of the plot, from the plot's own ends.
    function timeAt(offset) {
        var from = new Date(plot.xMinTime).getTime()
        var to = new Date(plot.xMaxTime).getTime()
        if (isNaN(from) || isNaN(to) || plot.width <= 0)
            return ""
        return formatTime(new Date(from + offset / plot.width * (to - from)))
    }

    // A chart over more than one day says the day of each time.
    readonly property bool spansDays: {
        var from = new Date(plot.xMinTime)
        var to = new Date(plot.xMaxTime)
        return !isNaN(from.getTime()) && !isNaN(to.getTime())
                && Qt.formatDate(from, "yyyyMMdd") !== Qt.formatDate(to, "yyyyMMdd")
    }

    function formatTime(time) {
        if (time === undefined || time === null)
            return ""
        var date = new Date(time)
        return isNaN(date.getTime()) ? "" : Qt.formatDateTime(date, spansDays ? "dd.MM hh:mm"
                                                                                : "hh:mm:ss")
    }

    function formatValue(value) {
        return valueProp && valueProp.getDimensionedFormatted
                ? valueProp.getDimensionedFormatted(value) : String(value)
    }

    // Left and right walk the controls; the focused one takes Return.
    Keys.onPressed: event => {
        if (event.key !== Qt.Key_Left && event.key !== Qt.Key_Right)
            return
        var chain = [fromButton, toButton, startButton, closeButton, minimizeButton]
        for (var i = 0; i < curveButtons.count; ++i)
            chain.push(curveButtons.itemAt(i))
        chain = chain.filter(function (item) { return item.enabled && item.visible })
        var at = -1
        for (var j = 0; j < chain.length; ++j) {
            if (chain[j].activeFocus)
                at = j
        }
        var step = event.key === Qt.Key_Right ? 1 : -1
        chain[(at + step + chain.length) % chain.length].forceActiveFocus()
        event.accepted = true
    }
}
