import QtQuick
import DorrikBus 1.0
import "../components"
import "../dialogs"

// The archive records of a time range, for the sites chosen, into one CSV file: a count of the
// records first, then the read of every site's archive and the file written from it.
BaseFrameDialog {
    id: dialog

    objectName: "archExportDialog"

    readonly property int preCountMax: 30
    readonly property var sitesToExport: computeSites(menuSettings.archExportSites,
                                                      sitesManager.model.sitesCount,
                                                      deviceProps.currentSite.value)
    readonly property bool reading: reader.running
    readonly property bool exporting: exporter.running
    readonly property bool busy: reading || exporting
    // A restart waits for the export (the configuration manager holds it).
    onBusyChanged: exportManager.archiveExportBusy = busy
    // The archives still to count, and the records counted so far.
    property var sitesToCount: []
    property int preCount: 0
    property string status: ""
    property bool showsCount: true
    property bool canOpen: false
    readonly property alias reader: reader
    readonly property alias exporter: exporter
    readonly property alias counter: counter
    readonly property alias startButton: startButton
    readonly property alias openButton: openButton
    readonly property alias sitesRow: sitesRow

    function archIndexOf(site) {
        return site + (starter.tvnGeneration >= 3 ? 0x100 : 0)
    }

    function siteOfArchIndex(index) {
        return index >= 0x100 ? index - 0x100 : index
    }

    // Path elements compare as texts, an empty one after any other.
    function comparePaths(a, b) {
        for (var i = 0; i < Math.max(a.length, b.length); ++i) {
            var x = i < a.length ? a[i] : ""
            var y = i < b.length ? b[i] : ""
            if (x === y)
                continue
            if (x === "")
                return 1
            if (y === "")
                return -1
            return x < y ? -1 : 1
        }
        return 0
    }

    function computeSites(stored, sitesCount, currentSite) {
        var list = []
        if (!stored || stored.length === 0) {
            if (deviceModbus.currentSiteItem.exists)
                list.push(Number(currentSite))
        } else {
            for (var i = 0; i < stored.length; ++i)
                list.push(Number(stored[i]))
        }
        var existing = sitesManager.model.getSitesIndexes().map(function (s) { return Number(s) })
        var result = []
        for (var j = 0; j < list.length; ++j) {
            if (existing.indexOf(list[j]) >= 0 && result.indexOf(list[j]) < 0)
                result.push(list[j])
        }
        result.sort(function (a, b) {
            return comparePaths(sitesManager.model.getSitePath(a), sitesManager.model.getSitePath(b))
        })
        return result
    }

    function sitesText() {
        if (sitesToExport.length === 1) {
            var path = sitesManager.model.getSitePath(sitesToExport[0])
            return path.length > 2 ? path[2] : ""
        }
        return sitesToExport.length + " " + qsTranslate("SitesToExport", "from") + " "
                + sitesManager.model.sitesCount
    }

    function countText() {
        return preCount > preCountMax ? qsTr("records: > ") + preCountMax
                                      : qsTr("records: ") + preCount
    }

    function preCountSites() {
        if (busy)
            return
        counter.abortExecuting()
        sitesToCount = sitesToExport.map(archIndexOf)
        preCount = 0
        showsCount = true
        canOpen = false
        countNext()
    }

    function countNext() {
        if (sitesToCount.length === 0 || preCount > preCountMax)
            return
        counter.abortExecuting()
        counter.archIndex = sitesToCount[0]
        counter.label = menuProps.exportArchFrom.value
        counter.endLabel = menuProps.exportArchTo.value
        counter.read()
    }

    function start() {
        if (busy) {
            // Both go: the file under its own name is never written by a stopped export.
            reader.stop()
            exporter.stop()
            status = ""
            return
        }
        // No site chosen (or none left): nothing is read and no file is written.
        if (sitesToExport.length === 0) {
            showsCount = false
            status = qsTr("No sites to export")
            return
        }
        var file = menuContext.executeSaveFileDialog(qsTr("Export archival records"), "",
                                                     qsTr("CSV files (*.csv);;All files (*.*)"),
                                                     "csv")
        if (!file)
            return
        counter.abortExecuting()
        canOpen = false
        showsCount = false
        exporter.fileName = file
        reader.archIndexes = sitesToExport.map(archIndexOf)
        reader.start()
    }

    function chooseSites() {
        if (busy || sitesManager.model.sitesCount === 0)
            return
        screenManager.showPopup("sources/SitesTreeDialog.qml", {"selectedSites": sitesToExport},
                                true, function (accepted, chosen) {
                                    if (accepted)
                                        menuSettings.archExportSites = chosen
                                })
    }

    function abortAll() {
        counter.abortExecuting()
        reader.stop()
        exporter.stop()
    }

    caption: minimized ? qsTr("Export archival records") + "\n" + statusText.text
                       : qsTr("Export archival records")
    icon: Qt.resolvedUrl("../images/archiveexporticon.png")
    allowMinimize: true
    showMinimizeButton: false
    showCloseButton: false

    onSitesToExportChanged: preCountSites()
    onClosing: abortAll()
    Component.onDestruction: {
        abortAll()
        if (typeof exportManager !== "undefined" && exportManager)
            exportManager.archiveExportBusy = false
    }
    Component.onCompleted: {
        preCountSites()
        firstRange.archIndex = archIndexOf(sitesToExport.length > 0 ? sitesToExport[0]
                                                                    : deviceProps.currentSite.value)
        firstRange.start()
    }

    ArchFirstRange {
        id: firstRange
        fromName: "exportArchFrom"
        toName: "exportArchTo"
    }

    Connections {
        target: menuProps.exportArchFrom
        function onValueChanged() {
            dialog.preCountSites()
        }
    }
    Connections {
        target: menuProps.exportArchTo
        function onValueChanged() {
            dialog.preCountSites()
        }
    }

    ModbusArchLabel {
        id: counter
        client: deviceModbus
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        count: dialog.preCountMax + 1
        onAfterRead: {
            if (dialog.busy)
                return
            var at = dialog.sitesToCount.indexOf(archIndex)
            if (at < 0)
                return
            var left = dialog.sitesToCount.slice()
            left.splice(at, 1)
            dialog.sitesToCount = left
            dialog.preCount += arraySize
            dialog.countNext()
        }
    }
    ModbusArchRecordTavrin {
        id: record
        client: deviceModbus
        group: "archives"
        func: DorrikBus.Func67
        tvnGeneration: starter.tvnGeneration
        containsHeat: deviceModbus.hasHeatChannel.has
    }
    ModbusArchReader {
        id: reader
        record: record
        from: menuProps.exportArchFrom.value
        to: menuProps.exportArchTo.value
        maxRequestLabels: 10
        recordsPerRequestOptimization: false
        liveResult: false
        onStarted: dialog.status = ""
        onProgressChanged: dialog.status = String(reader.progress)
        onError: text => {
            console.warn("Error while arch reading: " + text)
            dialog.status = qsTr("Error while reading records")
            dialog.readFailed = true
        }
        onCompleted: {
            if (exporter.fileName !== "" && !dialog.readFailed)
                exporter.start()
        }
        onRunningChanged: {
            if (reader.running)
                dialog.readFailed = false
        }
    }
    property bool readFailed: false
    ModbusItemCSVExporter {
        id: exporter
        item: record
        // Long exports are written a slice at a time, so that the menu keeps answering.
        sliceDuration: 20
        readonly property bool russianOnWindows: menuContext.isWindows
            && menuContext.languageNameToSuffix(menuContext.getLanguageName()) === "ru"
        encoding: russianOnWindows ? "Windows-1251" : "UTF-8"
        useBom: !russianOnWindows
        customFields: [{"name": qsTr("Group"), "index": 1}, {"name": qsTr("Subgroup"), "index": 2},
            {"name": qsTr("Site"), "index": 3}]
        onStarted: dialog.status = qsTr("Exporting ...")
        onError: dialog.status = qsTr("Error while exporting")
        onCompleted: {
            dialog.status = qsTranslate("ArchiveExport", "Successfully completed")
            dialog.canOpen = menuContext.fileExists(fileName)
        }
        onRunningChanged: {
            // Stopped: no file and no success.
            if (!exporter.running && dialog.status === qsTr("Exporting ..."))
                dialog.status = ""
        }
        onCustomField: event => {
            var site = dialog.siteOfArchIndex(reader.getArchIndexOf(event.rowIndex))
            if (site < 0)
                return
            var path = sitesManager.model.getSitePath(site)
            if (event.index >= 0 && event.index < path.length)
                event.value = path[event.index]
        }
    }

    Item {
        id: body
        parent: dialog.frameItem
        anchors.fill: parent
        anchors.margins: 12
        anchors.topMargin: dialog.captionItem.height

    Column {
        id: rows
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        spacing: 6
        enabled: !dialog.busy

        Row {
            width: parent.width
            spacing: 6
            Button {
                id: sitesRow
                objectName: "exportSitesRow"
                width: parent.width - siteButton.width - parent.spacing
                height: Math.max(styleManager.style.baseButtonHeight, sitesValue.implicitHeight + 10)
                autoExpand: false
                focus: true
                onClicked: dialog.chooseSites()
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Sites")
                    font.family: styleManager.style.mediumFontFamily
                    font.pixelSize: styleManager.style.smallFontSize
                }
                Text {
                    id: sitesValue
                    objectName: "exportSitesValue"
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width * 0.6
                    horizontalAlignment: Text.AlignRight
                    wrapMode: Text.WordWrap
                    text: dialog.sitesText()
                    font.family: styleManager.style.mediumFontFamily
                    font.pixelSize: styleManager.style.smallFontSize
                    font.bold: true
                }
            }
            Button {
                id: siteButton
                objectName: "exportCurrentSiteButton"
                width: height
                height: sitesRow.height
                autoExpand: false
                image: Qt.resolvedUrl("../" + styleManager.style.siteIcon)
                imageItem.height: height - 16
                imageItem.fillMode: Image.PreserveAspectFit
                onClicked: menuSettings.archExportSites = [deviceModbus.currentSite.value]
            }
        }
        Repeater {
            id: rangeRows
            model: [menuProps.exportArchFrom, menuProps.exportArchTo]
            delegate: Button {
                id: rangeRow
                objectName: index === 0 ? "exportFromRow" : "exportToRow"
                width: rows.width
                height: styleManager.style.baseButtonHeight
                autoExpand: false
                onClicked: modelData.edit(rangeRow)
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.caption
                    font.family: styleManager.style.mediumFontFamily
                    font.pixelSize: styleManager.style.smallFontSize
                }
                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.formatValue
                    font.family: styleManager.style.mediumFontFamily
                    font.pixelSize: styleManager.style.smallFontSize
                    font.bold: true
                }
            }
        }
    }

    Item {
        id: progressArea
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: rows.bottom
        anchors.bottom: bottomRow.top
        anchors.topMargin: 8
        anchors.bottomMargin: 8

        WhiteRectProgresser {
            anchors.fill: parent
            active: dialog.busy
        }
        Text {
            id: statusText
            objectName: "exportStatusText"
            anchors.centerIn: parent
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: dialog.showsCount && !dialog.busy ? dialog.countText() : dialog.status
            font.family: styleManager.style.mediumFontFamily
            font.pixelSize: styleManager.style.mediumFontSize
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
            height: parent.height
            width: height
        }
        MinimizeButton {
            height: parent.height
            width: height
            onClicked: dialog.minimize()
        }
        Button {
            id: startButton
            objectName: "exportStartButton"
            height: parent.height
            caption: dialog.busy ? qsTr("Stop") : qsTr("Export")
            enabled: dialog.busy || dialog.sitesToExport.length > 0
            onClicked: dialog.start()
        }
        Button {
            id: openButton
            objectName: "exportOpenButton"
            height: parent.height
            visible: !menuContext.embedded
            enabled: dialog.canOpen && !dialog.busy
            caption: qsTr("Open")
            onClicked: menuContext.openUrl(exporter.fileName)
        }
    }
    }

    // Up and down walk the rows and the buttons; the focused one takes Return.
    Keys.onPressed: event => {
        if (event.key !== Qt.Key_Up && event.key !== Qt.Key_Down && event.key !== Qt.Key_Left
                && event.key !== Qt.Key_Right)
            return
        var chain = [sitesRow, siteButton, rangeRows.itemAt(0), rangeRows.itemAt(1), startButton,
                     openButton]
        chain = chain.filter(function (item) { return item && item.visible && item.enabled })
        var at = -1
        for (var i = 0; i < chain.length; ++i) {
            if (chain[i].activeFocus)
                at = i
        }
        var step = event.key === Qt.Key_Down || event.key === Qt.Key_Right ? 1 : -1
        if (chain.length > 0)
            chain[(at + step + chain.length) % chain.length].forceActiveFocus()
        event.accepted = true
    }
}
