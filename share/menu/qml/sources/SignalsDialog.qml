import QtQuick
import DorrikBus 1.0
import "../components"
import "../components/base"
import "../dialogs"

// The captured ultrasonic signals of both directions, fetched anew after each capture while the
// dialog shows; in verbose mode each capture can be appended to a file.
BaseFrameDialog {
    id: signalsDialog

    readonly property bool polling: topActive && !minimized
    readonly property bool measuring: deviceProps.measureStatus.measuring
    property bool forwardRead: false
    property bool backwardRead: false
    property string signalFile: ""
    readonly property alias forwardPlot: forwardPlot
    readonly property alias backwardPlot: backwardPlot

    caption: qsTr("Signals")

    function abortArrays() {
        deviceModbus.adcReadCommand.abortExecuting()
        deviceModbus.adcDataForward.abortExecuting()
        deviceModbus.adcDataBackward.abortExecuting()
        deviceModbus.adcDataParams.abortExecuting()
    }

    function toggleSaving() {
        if (signalFile !== "") {
            signalFile = ""
            return
        }
        var path = menuContext.executeSaveFileDialog(qsTr("Saving signal data"), "",
                                                     "Text files (*.txt);;All files (*.*)", "txt")
        if (!path)
            return
        menuContext.removeFile(path)
        signalFile = path
    }

    function samplesText(item) {
        var text = ""
        var count = item.arraySize
        for (var i = 0; i < count; ++i)
            text += item.getModelValue(i, "value") + " "
        return text
    }

    function appendSignalLine() {
        if (signalFile === "" || !menuContext.verbose)
            return
        var line = deviceProps.time.formatValue + "\t" + deviceProps.dtMeasured.formatValue + "\t"
                + deviceProps.p.formatValue + "\t" + deviceModbus.adcStartForward.value + "\t"
                + deviceModbus.adcWindowStartForward.value + "\t"
                + deviceModbus.adcStartBackward.value + "\t"
                + deviceModbus.adcWindowStartBackward.value + "\t"
                + samplesText(deviceModbus.adcDataForward)
                + samplesText(deviceModbus.adcDataBackward) + "\n"
        // A full disk or a folder gone: said once, and saving stops rather than losing lines
        // unseen.
        if (!menuContext.saveToFile(signalFile, line, true)) {
            var file = signalFile
            signalFile = ""
            // Over the dialog: a message of its own would close it.
            screenManager.showPopup("dialogs/MessageBoxDialog.qml", {
                caption: qsTr("Cannot write the signal data to %1").arg(file)
            }, true)
        }
    }

    onPollingChanged: {
        if (!polling)
            abortArrays()
    }
    Component.onDestruction: abortArrays()

    ModbusItemReader {
        item: deviceModbus.adcReadCommand
        active: signalsDialog.polling
    }
    ModbusPropReader {
        prop: deviceProps.dtMeasured
        active: signalsDialog.polling
    }
    ModbusPropReader {
        prop: deviceProps.p
        active: signalsDialog.polling
    }
    Connections {
        target: deviceModbus.adcDataForward
        enabled: signalsDialog.polling
        function onAfterRead() {
            if (signalsDialog.measuring)
                signalsDialog.forwardRead = true
        }
    }
    Connections {
        target: deviceModbus.adcDataBackward
        enabled: signalsDialog.polling
        function onAfterRead() {
            if (signalsDialog.measuring)
                signalsDialog.backwardRead = true
        }
    }
    Connections {
        target: deviceModbus.adcDataParams
        enabled: signalsDialog.polling
        // The offsets are read after both arrays of the same capture.
        function onAfterRead() {
            signalsDialog.appendSignalLine()
        }
    }

    BaseButton {
        id: saveButton
        objectName: "saveSignalButton"
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: 12
        width: 32
        height: 32
        autoExpand: false
        flat: !checked
        visible: menuContext.verbose
        enabled: visible
        checked: signalsDialog.signalFile !== ""
        image: Qt.resolvedUrl("../" + styleManager.style.saveAdcButtonIcon)
        imageItem.width: 28
        imageItem.height: 28
        imageItem.fillMode: Image.PreserveAspectFit
        opacity: hover.containsMouse ? 1 : 0.4
        onClicked: signalsDialog.toggleSaving()
        MouseArea {
            id: hover
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }
    }

    Item {
        id: plots
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: signalsDialog.captionItem.height
        anchors.bottom: bottomRow.top
        anchors.margins: 12

        Text {
            objectName: "measurementsOff"
            anchors.centerIn: parent
            visible: !signalsDialog.measuring
            text: qsTr("Measurements turned off")
            font.family: styleManager.style.bigFontFamily
            font.pixelSize: styleManager.style.bigFontSize
        }

        Column {
            anchors.fill: parent
            visible: signalsDialog.measuring
            Repeater {
                model: 2
                Item {
                    width: plots.width
                    height: plots.height / 2
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        x: -width / 2 + height / 2
                        rotation: -90
                        text: index === 0 ? qsTranslate("Signal", "Forward")
                                          : qsTranslate("Signal", "Backward")
                        font.pixelSize: styleManager.style.smallFontSize
                    }
                }
            }
        }
        SignalPlot {
            id: forwardPlot
            objectName: "forwardPlot"
            x: 30
            width: parent.width - 30
            height: parent.height / 2 - 4
            visible: signalsDialog.measuring && signalsDialog.forwardRead
            model: visible ? deviceModbus.adcDataForward.model : null
            adcStart: deviceModbus.adcStartForward.value
            adcWindowStart: deviceModbus.adcWindowStartForward.value
            KeyNavigation.down: backwardPlot
        }
        SignalPlot {
            id: backwardPlot
            objectName: "backwardPlot"
            x: 30
            y: parent.height / 2 + 4
            width: parent.width - 30
            height: parent.height / 2 - 4
            visible: signalsDialog.measuring && signalsDialog.backwardRead
            model: visible ? deviceModbus.adcDataBackward.model : null
            adcStart: deviceModbus.adcStartBackward.value
            adcWindowStart: deviceModbus.adcWindowStartBackward.value
            KeyNavigation.up: forwardPlot
            KeyNavigation.down: closeButton
        }
    }

    Item {
        id: bottomRow
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12
        height: closeButton.height

        BaseButton {
            id: closeButton
            objectName: "signalsCloseButton"
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            caption: qsTr("Close")
            focus: true
            onClicked: signalsDialog.close()
            KeyNavigation.up: backwardPlot.visible ? backwardPlot : forwardPlot.visible ? forwardPlot : null
        }
        Column {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            Repeater {
                model: [deviceProps.dtMeasured, deviceProps.p]
                Row {
                    spacing: 8
                    Text {
                        objectName: "signalsCaption"
                        // A longer translation takes more room than the 200 pixels.
                        width: Math.max(200, implicitWidth)
                        horizontalAlignment: Text.AlignRight
                        elide: Text.ElideLeft
                        text: modelData.caption
                        font.pixelSize: styleManager.style.smallFontSize
                    }
                    Text {
                        objectName: index === 0 ? "signalsDt" : "signalsP"
                        text: modelData.formatValue
                        font.pixelSize: styleManager.style.smallFontSize
                    }
                    Text {
                        text: modelData.dimension
                        font.pixelSize: styleManager.style.smallFontSize
                    }
                }
            }
        }
    }
}
