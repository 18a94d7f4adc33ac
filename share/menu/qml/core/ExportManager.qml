import QtQuick
import DorrikBus 1.0

// Saves the instrument's whole configuration (the device-wide settings and every site's) into an
// XML file of the configurations folder and loads such a file back. One save or load at a time;
// while it runs, interval reading and the register map's reactions stay off (they read `active`).
// The instrument is switched from site to site, so measuring is off meanwhile and the current
// site and measuring come back at the end, whatever the end is.
Item {
    id: exportManager

    objectName: "exportManager"

    property int exportManagerVersion: 1
    readonly property bool exportActive: state === "exportingbase" || state === "exportingsites"
    readonly property bool importActive: state === "importingbase"
                                         || state === "importingchangesite"
                                         || state === "importingsite1"
                                         || state === "importingsite2"
    // Not read-only: tests of the screens that only read it force it.
    property bool active: exportActive || importActive
    property int total: 0
    property int processed: 0
    property string configName: ""
    // The file being saved or loaded.
    property string configFile: ""
    property int sitePreDelay: 1000
    property int sitePostDelay: 1000
    property int completionDelay: 1000
    property bool enableMeasureAfterCompleted: false
    property int oldSiteIndex: 0
    property int currentSiteIndex: 0
    property var baseItems: []
    property var siteItems: []
    property var importingSites: []
    // Set by the first error of a run: the run ends once the exporter or importer has returned,
    // never inside its own signal.
    property bool failing: false
    // A site's group is being written: its errors name the site.
    property bool siteGroupOpen: false
    property string failMessage: ""

    signal exportStarted()
    signal importStarted()
    signal exportCompleted()
    signal importCompleted()
    signal error(string message)

    readonly property int sitesCount: sitesManager ? sitesManager.maxSitesCount : 0

    function isHeat() {
        return typeof starter !== "undefined" && starter && starter.isHeatSupported === true
    }

    // Items without an address first, then by ascending address; equal keys keep their order.
    function sortedByAddress(items) {
        var keyed = []
        for (var i = 0; i < items.length; ++i) {
            var address = items[i].address
            keyed.push({ "item": items[i], "index": i,
                         "key": address === undefined || address === null ? -1 : Number(address) })
        }
        keyed.sort(function (a, b) {
            return a.key !== b.key ? a.key - b.key : a.index - b.index
        })
        var result = []
        for (var j = 0; j < keyed.length; ++j)
            result.push(keyed[j].item)
        return result
    }

    // The signal search zone is a site's setting too; its group repeats the sensor registers, so
    // only these two of it go into the file.
    function siteGroupItems(groups) {
        var items = deviceModbus.getVariantItems(groups)
        items.push(deviceModbus.tMin)
        items.push(deviceModbus.tMax)
        return items
    }

    function baseGroups(forImport) {
        var groups = ["", "siteMap", "currentsite", "importintervalschedulegroup"]
        if (forImport)
            groups.push("importintervalschedulegroupturn")
        else
            groups.push("somMenuVersion")
        if (isHeat())
            groups.push("heatParameter")
        return groups
    }

    function writeCurrentSite(index) {
        deviceModbus.currentSite.value = index
        deviceModbus.currentSite.write()
    }

    // Through the register itself: the switch's own setter reads the live block back.
    function suspendMeasuring() {
        enableMeasureAfterCompleted = deviceProps.measureStatus.measuring === true
        if (enableMeasureAfterCompleted) {
            deviceModbus.measureStatus.value = 0
            deviceModbus.measureStatus.write()
        }
    }

    function exportConfig(time) {
        if (active)
            return
        if (time === undefined || time === null || !(time instanceof Date) || isNaN(time.getTime())) {
            console.log("export config:", "please, specify export time")
            return
        }
        failing = false
        configFile = menuContext.modbusConfigsDir + Qt.formatDateTime(time, "yyyy-MM-dd_hh-mm-ss")
                + "_" + deviceProps.serialNumber.formatValue + ".xml"
        configName = menuContext.getFileBaseName(configFile)
        var base = sortedByAddress(exporter.filterVariantItems(
                                       deviceModbus.getVariantItems(baseGroups(false))))
        var turn = exporter.filterVariantItems(
                    deviceModbus.getVariantItems(["importintervalschedulegroupturn"]))
        baseItems = base.concat(turn)
        siteItems = sortedByAddress(exporter.filterVariantItems(
                                        siteGroupItems(["siteoptions", "siteoptions2", "sitesensors"])))
        total = baseItems.length + siteItems.length * sitesCount
        processed = 0
        oldSiteIndex = deviceModbus.siteIndex
        currentSiteIndex = 0
        suspendMeasuring()

        exporter.clear()
        exporter.fileName = configFile
        exportStarted()
        exporter.exportProperty("ExportManagerVersion", String(exportManagerVersion))
        exporter.exportProperty("DevTime", Qt.formatDateTime(deviceProps.time.value,
                                                             "yyyy-MM-dd_hh-mm-ss.zzz"))
        exporter.exportProperty("DevName", deviceProps.getDevNameVersion.formatValue)
        exporter.exportProperty("TVNGeneration", String(deviceModbus.tvnGeneration))
        state = "exportingbase"
        exporter.exportItems(baseItems)
    }

    function importConfig(fileName) {
        if (active)
            return
        if (fileName === undefined || fileName === null || String(fileName) === "") {
            console.log("import config:", "please, specify import filename")
            return
        }
        failing = false
        configFile = String(fileName)
        configName = menuContext.getFileBaseName(configFile)
        importer.clear()
        importer.writeOnImport = true
        importer.fileName = configFile
        oldSiteIndex = deviceModbus.siteIndex
        baseItems = importer.filterVariantItems(deviceModbus.getVariantItems(baseGroups(true)))
        siteItems = importer.filterVariantItems(siteGroupItems(["siteoptions", "sitesensors"]))
        var groups = importer.getGroups()
        var sites = []
        for (var n = 0; n < sitesCount; ++n) {
            if (groups.indexOf("site" + n) >= 0)
                sites.push(n)
        }
        importingSites = sites
        total = baseItems.length + (siteItems.length + 3) * sites.length
        processed = 0
        suspendMeasuring()
        importStarted()
        importer.clear()
        state = "importingbase"

        var generation = importer.importProperty("TVNGeneration")
        if (failing)
            return
        if (generation === "" || Number(generation) !== deviceModbus.tvnGeneration) {
            console.log("wrong tvnGeneration")
            finish("error", qsTr("Incompatible Tavrin version"))
            return
        }
        if (!importer.importItems(baseItems) && !failing)
            fail(qsTr("Error loading configuration"))
    }

    function stop() {
        if (state === "default")
            return
        var wasImporting = importActive
        finish("stop", "")
        if (wasImporting)
            deviceModbus.commitSitesRevision()
    }

    function deleteConfig(fileName) {
        return menuContext.deleteConfig(fileName)
    }

    function fail(message) {
        if (failing || !active)
            return
        failing = true
        failMessage = message
        // A value the importer refused ends the batch unwritten: nothing more of it reaches
        // the instrument after the error.
        importer.writeOnImport = false
        failTimer.start()
    }

    // Back to idle, the current site and measuring as they were; the signal last, so that its
    // listeners find the manager idle.
    function finish(kind, message) {
        preTimer.stop()
        postTimer.stop()
        completionTimer.stop()
        failTimer.stop()
        var wasExporting = exportActive
        state = "default"
        failing = false
        siteGroupOpen = false
        exporter.clearInternal()
        importer.clearInternal()
        writeCurrentSite(oldSiteIndex)
        if (enableMeasureAfterCompleted) {
            enableMeasureAfterCompleted = false
            deviceProps.measureStatus.setValue(1)
        }
        if (kind === "stop")
            return
        deviceModbus.commitSitesRevision()
        if (kind === "error") {
            error(message)
        } else if (wasExporting) {
            exportCompleted()
            if (menuContext.embedded)
                menuContext.deleteOldModbusConfigs()
        } else {
            importCompleted()
        }
    }

    function exportNextSite() {
        siteGroupOpen = true
        exporter.beginGroup("site" + currentSiteIndex)
        exporter.exportItems(siteItems)
    }

    function exportSiteFinished() {
        siteGroupOpen = false
        exporter.endGroup()
        if (currentSiteIndex < sitesCount - 1) {
            currentSiteIndex += 1
            writeCurrentSite(currentSiteIndex)
            postTimer.start()
            return
        }
        processed = total
        var saved = exporter.save()
        exporter.clear()
        if (failing)
            return
        if (!saved) {
            fail(qsTr("Error saving configuration"))
            return
        }
        completionTimer.start()
    }

    function importNextSiteOrEnd() {
        if (importingSites.length === 0) {
            importer.clear()
            processed = total
            completionTimer.start()
            return
        }
        currentSiteIndex = importingSites[0]
        state = "importingchangesite"
        preTimer.start()
    }

    function importSiteItems() {
        if (!importer.beginGroup("site" + currentSiteIndex)) {
            fail(qsTr("Error loading configuration"))
            return
        }
        if (!importer.importItems(siteItems) && !failing)
            fail(qsTr("Error loading configuration"))
    }

    // A sound speed in the file holds only for a material given by hand.
    function importSoundSpeeds() {
        var items = []
        if (deviceProps.pipeMaterial.custom)
            items.push(deviceModbus.pipeSoundSpeed)
        if (deviceProps.pipeLinerMaterial.custom)
            items.push(deviceModbus.pipeLinerSoundSpeed)
        if (deviceProps.fluidType.custom)
            items.push(deviceModbus.fluidSoundSpeed)
        if (!importer.importItems(items) && !failing)
            fail(qsTr("Error loading configuration"))
    }

    function batchFinished() {
        if (failing)
            return
        switch (state) {
        case "exportingbase":
            oldSiteIndex = deviceModbus.currentSite.value
            currentSiteIndex = 0
            writeCurrentSite(0)
            state = "exportingsites"
            postTimer.start()
            break
        case "exportingsites":
            exportSiteFinished()
            break
        case "importingbase":
            // The file's own current site is the one to end on.
            oldSiteIndex = deviceModbus.currentSite.value
            importNextSiteOrEnd()
            break
        case "importingsite1":
            state = "importingsite2"
            importSoundSpeeds()
            break
        case "importingsite2":
            importer.endGroup()
            var rest = importingSites.slice(1)
            importingSites = rest
            importNextSiteOrEnd()
            break
        default:
            break
        }
    }

    Component.onCompleted: {
        if (menuContext.embedded)
            menuContext.deleteOldModbusConfigs()
    }

    states: [
        State { name: "exportingbase" },
        State { name: "exportingsites" },
        State { name: "importingbase" },
        State { name: "importingchangesite" },
        State { name: "importingsite1" },
        State { name: "importingsite2" }
    ]

    ModbusXmlExporter {
        id: exporter
        onFinished: exportManager.batchFinished()
        onProcessedChanged: (count) => {
            if (exportManager.exportActive && !exportManager.failing)
                exportManager.processed = count
        }
        onError: (message) => {
            if (!exportManager.exportActive || exportManager.failing)
                return
            if (exportManager.siteGroupOpen)
                console.log("error while exporting site" + exportManager.currentSiteIndex + ": "
                            + message)
            else
                console.log("error while exporting:", message)
            exportManager.fail(qsTr("Error saving configuration"))
        }
    }

    ModbusXmlImporter {
        id: importer
        onFinished: exportManager.batchFinished()
        onProcessedChanged: (count) => {
            if (exportManager.importActive && !exportManager.failing)
                exportManager.processed = count
        }
        onError: (message) => {
            if (!exportManager.importActive || exportManager.failing)
                return
            console.log("error while importing:", message)
            exportManager.fail(qsTr("Error loading configuration"))
        }
    }

    // Loading: the wait before the next site is made the current one.
    Timer {
        id: preTimer
        interval: exportManager.sitePreDelay
        onTriggered: {
            if (exportManager.state !== "importingchangesite")
                return
            exportManager.writeCurrentSite(exportManager.currentSiteIndex)
            exportManager.state = "importingsite1"
            postTimer.start()
        }
    }

    // The wait after a site was made the current one, for the instrument to have switched.
    Timer {
        id: postTimer
        interval: exportManager.sitePostDelay
        onTriggered: {
            if (exportManager.state === "exportingsites")
                exportManager.exportNextSite()
            else if (exportManager.state === "importingsite1")
                exportManager.importSiteItems()
        }
    }

    Timer {
        id: completionTimer
        interval: exportManager.completionDelay
        onTriggered: exportManager.finish("completed", "")
    }

    Timer {
        id: failTimer
        interval: 0
        onTriggered: exportManager.finish("error", exportManager.failMessage)
    }
}
