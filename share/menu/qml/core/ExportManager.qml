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
    readonly property bool importActive: state === "importingfile"
                                         || state === "importingbase"
                                         || state === "importingchangesite"
                                         || state === "importingsite1"
                                         || state === "importingsite2"
    // The current site, measuring and the revision are being put back.
    readonly property bool ending: state === "ending"
    // Not read-only: tests of the screens that only read it force it. Bound to the state alone:
    // through the three above it would flicker to false between a run and its ending, letting
    // interval reading and a waiting restart in.
    property bool active: state !== "" && state !== "default"
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
    // What the operator is told beside the error: the refused item, the file's fault, what
    // was left out, or an instrument that did not answer the ending.
    property string errorDetail: ""
    // Items a load wrote (its last count); -1 before the first load ends.
    property int itemsTaken: -1
    // The site the instrument was last seen to hold as current.
    property int confirmedSite: -1
    // Attempts of one write (a site switch, measuring, the revision) before it counts as lost,
    // and rounds of the ending, a pause apart, before the operator is told it did not happen.
    property int writeAttempts: 3
    property int endingRounds: 10
    property int endingRetryDelay: 1000
    // A restart asked for while a transfer, an archive export or a calibration runs waits for
    // its end; restartDelay leaves the outcome on the screen for a moment first.
    property bool archiveExportBusy: false
    readonly property bool restartBlocked: active || archiveExportBusy
                                           || (typeof deviceProps !== "undefined" && deviceProps
                                               && deviceProps.calibrationStarted === true)
    property bool restartPending: false
    property int restartDelay: 2000
    // The progress dialog was shown for the run: it comes back when swept away.
    property bool progressShown: false
    property bool progressSaving: true
    // Link settings and one-shot commands of a file are not loaded: the link would be lost in
    // the middle of the load, and a command would be run.
    readonly property var notLoadedAddresses: [400001, 400002, 400003, 400004, 400005, 400009,
                                               400012, 400013, 403251, 403252]

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

    // Switches the instrument's current site and waits until it is read back as the current
    // one; done(ok).
    function switchSite(index, done) {
        step.run(deviceModbus.currentSite, index, true, function (ok) {
            if (ok)
                confirmedSite = index
            done(ok)
        })
    }

    // Through the register itself, its answer awaited; done(ok).
    function suspendMeasuring(done) {
        enableMeasureAfterCompleted = deviceProps.measureStatus.measuring === true
        if (!enableMeasureAfterCompleted) {
            done(true)
            return
        }
        step.run(deviceModbus.measureStatus, 0, false, done)
    }

    function loadable(items) {
        var result = []
        for (var i = 0; i < items.length; ++i) {
            var address = items[i].address
            if (address === undefined || notLoadedAddresses.indexOf(Number(address)) < 0)
                result.push(items[i])
        }
        return result
    }

    function soundSpeedItems() {
        return [deviceModbus.pipeSoundSpeed, deviceModbus.pipeLinerSoundSpeed,
                deviceModbus.fluidSoundSpeed]
    }

    function refusedText(site, result) {
        var item = result.refused
        var address = item && item.address !== undefined ? item.address : ""
        return site < 0 ? qsTr("register %1: wrong value \"%2\"").arg(address).arg(result.value)
                        : qsTr("site %1, register %2: wrong value \"%3\"").arg(site + 1)
                          .arg(address).arg(result.value)
    }

    // Every part of the file is read and converted before anything is written: a file that
    // cannot be loaded whole writes nothing. The operator's detail when it cannot, else "".
    function checkFile(groups) {
        var outside = []
        for (var g = 0; g < groups.length; ++g) {
            var match = /^site(\d+)$/.exec(groups[g])
            if (match && Number(match[1]) >= sitesCount)
                outside.push(qsTr("site %1").arg(Number(match[1]) + 1))
        }
        if (outside.length > 0)
            return qsTr("the instrument has no slot for %1").arg(outside.join(", "))
        var result = importer.checkItems(baseItems)
        if (!result.loaded)
            return importer.errorString
        if (result.refused)
            return refusedText(-1, result)
        var paired = result.paired
        for (var i = 0; i < importingSites.length; ++i) {
            var site = importingSites[i]
            if (!importer.beginGroup("site" + site))
                return qsTr("site %1 cannot be read").arg(site + 1)
            var items = siteItems.concat(soundSpeedItems())
            result = importer.checkItems(items)
            importer.endGroup()
            if (result.refused)
                return refusedText(site, result)
            paired += result.paired
        }
        if (paired === 0)
            return qsTr("the file holds no setting of this instrument")
        return ""
    }

    function exportConfig(time) {
        if (active)
            return
        if (time === undefined || time === null || !(time instanceof Date) || isNaN(time.getTime())) {
            console.log("export config:", "please, specify export time")
            return
        }
        failing = false
        errorDetail = ""
        confirmedSite = deviceModbus.siteIndex
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

        exporter.clear()
        exporter.fileName = configFile
        exportStarted()
        state = "exportingbase"
        suspendMeasuring(function (ok) {
            if (!ok) {
                console.log("error while exporting:", "measuring not switched off")
                fail(qsTr("Error saving configuration"))
                return
            }
            exportBase()
        })
    }

    function exportBase() {
        if (state !== "exportingbase" || failing)
            return
        exporter.exportProperty("ExportManagerVersion", String(exportManagerVersion))
        exporter.exportProperty("DevTime", Qt.formatDateTime(deviceProps.time.value,
                                                             "yyyy-MM-dd_hh-mm-ss.zzz"))
        exporter.exportProperty("DevName", deviceProps.getDevNameVersion.formatValue)
        exporter.exportProperty("TVNGeneration", String(deviceModbus.tvnGeneration))
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
        errorDetail = ""
        enableMeasureAfterCompleted = false
        confirmedSite = deviceModbus.siteIndex
        configFile = String(fileName)
        configName = menuContext.getFileBaseName(configFile)
        importer.clear()
        importer.writeOnImport = true
        importer.fileName = configFile
        oldSiteIndex = deviceModbus.siteIndex
        baseItems = loadable(importer.filterVariantItems(
                                 deviceModbus.getVariantItems(baseGroups(true))))
        siteItems = importer.filterVariantItems(siteGroupItems(["siteoptions", "sitesensors"]))
        importingSites = []
        total = 0
        processed = 0
        importStarted()
        // The file is read in a worker thread; the run goes on in importer's onLoaded.
        state = "importingfile"
        importer.load()
    }

    function fileLoaded(ok) {
        if (state !== "importingfile")
            return
        if (!ok) {
            console.log("error while importing:", importer.errorString)
            refuse(importer.errorString)
            return
        }
        var groups = importer.getGroups()
        var sites = []
        for (var n = 0; n < sitesCount; ++n) {
            if (groups.indexOf("site" + n) >= 0)
                sites.push(n)
        }
        importingSites = sites
        total = baseItems.length + (siteItems.length + 3) * sites.length

        var generation = importer.importProperty("TVNGeneration")
        if (generation === "" || Number(generation) !== deviceModbus.tvnGeneration) {
            console.log("wrong tvnGeneration")
            refuse("", qsTr("Incompatible Tavrin version"))
            return
        }
        var refused = checkFile(groups)
        if (refused !== "") {
            console.log("error while importing:", refused)
            refuse(refused)
            return
        }
        state = "importingbase"
        suspendMeasuring(function (ok) {
            if (!ok) {
                console.log("error while importing:", "measuring not switched off")
                fail(qsTr("Error loading configuration"))
                return
            }
            if (!importer.importItems(baseItems) && !failing)
                fail(qsTr("Error loading configuration"))
        })
    }

    // A file that cannot be loaded whole: nothing was written, so there is nothing to restore.
    function refuse(detail, message) {
        errorDetail = detail
        state = "default"
        importer.clear()
        error(message !== undefined ? message : qsTr("Error loading configuration"))
    }

    function stop() {
        if (state === "default" || ending)
            return
        if (state === "importingfile") {
            state = "default"
            importer.clear()
            return
        }
        finish("stop", "")
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
        step.cancel()
        failTimer.start()
    }

    // The ending: the current site and measuring as they were and, unless stopped, the
    // revision committed, each write's answer awaited and retried a while; then idle and the
    // outcome, last, so that its listeners find the manager idle.
    property string endKind: ""
    property string endMessage: ""
    property bool endWasExporting: false
    property bool endCommit: false
    property int endStage: 0
    property int endRound: 0

    function finish(kind, message) {
        preTimer.stop()
        postTimer.stop()
        completionTimer.stop()
        failTimer.stop()
        step.cancel()
        endWasExporting = exportActive
        endCommit = kind !== "stop" || importActive
        endKind = kind
        endMessage = message
        failing = false
        siteGroupOpen = false
        if (importActive && state !== "importingfile" && kind !== "completed")
            itemsTaken = importer.processed
        exporter.clearInternal()
        importer.cancelInternal()
        state = "ending"
        endStage = 0
        endRound = 0
        endingStep()
    }

    function endingStep() {
        if (!ending)
            return
        var next = function (ok) {
            if (!ending)
                return
            if (ok) {
                endStage += 1
                endRound = 0
                endingStep()
            } else if (++endRound < endingRounds) {
                endingTimer.start()
            } else {
                endingLost()
            }
        }
        switch (endStage) {
        case 0:
            switchSite(oldSiteIndex, next)
            break
        case 1:
            if (enableMeasureAfterCompleted)
                step.run(deviceModbus.measureStatus, 1, false, next)
            else
                next(true)
            break
        case 2:
            if (endCommit)
                step.commitRevision(next)
            else
                next(true)
            break
        default:
            enableMeasureAfterCompleted = false
            ended()
            break
        }
    }

    // The instrument does not answer the ending: the operator learns what it was left in.
    function endingLost() {
        var site = confirmedSite >= 0 ? confirmedSite : oldSiteIndex
        console.log("configuration ending not answered; current site", site)
        var told = qsTr("The instrument does not answer: site %1 is current, measuring is off")
                   .arg(site + 1)
        errorDetail = errorDetail !== "" ? errorDetail + "\n" + told : told
        if (endKind !== "error") {
            endKind = "error"
            endMessage = endWasExporting ? qsTr("Error saving configuration")
                                         : qsTr("Error loading configuration")
        }
        enableMeasureAfterCompleted = false
        ended()
    }

    function ended() {
        state = "default"
        // The site's settings shown are read again, as after any switch of the site.
        if (deviceModbus.connected) {
            deviceModbus.readGroups(["siteoptions", "siteoptions2", "siteoptions3"])
            if (deviceModbus.currentSiteItem)
                deviceModbus.currentSiteItem.read()
        }
        if (endKind === "stop") {
            progressShown = false
            return
        }
        if (endKind === "error") {
            error(endMessage)
        } else if (endWasExporting) {
            exportCompleted()
            if (menuContext.embedded)
                menuContext.deleteOldModbusConfigs()
        } else {
            importCompleted()
        }
    }

    // The progress dialog of a run: Home or a page change may sweep it away, but while the run
    // goes on it comes back, so that its outcome is seen.
    function showProgress(saving) {
        progressShown = true
        progressSaving = saving
        screenManager.showPopup("sources/ExportImportDialog.qml", { "saving": saving })
    }

    function progressGone() {
        if (progressShown && active && endKind !== "stop")
            Qt.callLater(function () {
                if (progressShown && active && endKind !== "stop"
                        && !(screenManager.activePopup
                             && screenManager.activePopup.objectName === "exportImportDialog"))
                    screenManager.showPopup("sources/ExportImportDialog.qml",
                                            { "saving": progressSaving, "progress": processed })
            })
        else if (!active)
            progressShown = false
    }

    // Called before a restart: true when it must wait (the caller cancels it).
    function holdRestart() {
        if (!restartBlocked)
            return false
        console.log("restart deferred until the running work ends")
        restartPending = true
        return true
    }

    onRestartBlockedChanged: {
        if (!restartBlocked && restartPending)
            restartTimer.start()
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
            switchToSite()
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

    // Nothing of a site is read or written before the instrument holds it as current.
    function switchToSite() {
        var runState = state
        switchSite(currentSiteIndex, function (ok) {
            if (state !== runState || failing)
                return
            if (!ok) {
                console.log((exportActive ? "error while exporting:" : "error while importing:"),
                            "can't switch to site" + currentSiteIndex)
                fail(exportActive ? qsTr("Error saving configuration")
                                  : qsTr("Error loading configuration"))
                return
            }
            postTimer.start()
        })
    }

    function importNextSiteOrEnd() {
        if (importingSites.length === 0) {
            itemsTaken = importer.processed
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
            state = "exportingsites"
            switchToSite()
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
        State { name: "ending" },
        State { name: "importingfile" },
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
        onLoaded: (ok) => exportManager.fileLoaded(ok)
        onProcessedChanged: (count) => {
            if (exportManager.importActive && !exportManager.failing)
                exportManager.processed = count
        }
        onError: (message) => {
            // A file that does not load is told by onLoaded.
            if (!exportManager.importActive || exportManager.failing
                    || exportManager.state === "importingfile")
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
            exportManager.state = "importingsite1"
            exportManager.switchToSite()
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

    Timer {
        id: endingTimer
        interval: exportManager.endingRetryDelay
        onTriggered: exportManager.endingStep()
    }

    Timer {
        id: restartTimer
        interval: exportManager.restartDelay
        onTriggered: {
            if (exportManager.restartBlocked || !exportManager.restartPending)
                return
            exportManager.restartPending = false
            screenManager.showFullscreenMessage()
            menuContext.beginRestartMenu()
        }
    }

    // One write whose answer is awaited, sent again when refused or lost; with readBack the
    // register is read afterwards and must hold the value (a site the instrument did not
    // switch to counts as refused).
    QtObject {
        id: step

        property var item: null
        property var target: 0
        property bool readBack: false
        property bool reading: false
        property int attempts: 0
        property var done: null
        // A commit of the sites revision: its first attempt computes the next revision.
        property bool committing: false

        function run(anItem, value, confirm, callback) {
            cancel()
            item = anItem
            target = value
            readBack = confirm
            committing = false
            attempts = 0
            done = callback
            send()
        }

        function commitRevision(callback) {
            cancel()
            item = deviceModbus.sitesRevision
            readBack = false
            committing = true
            attempts = 1
            done = callback
            deviceModbus.commitSitesRevision()
        }

        function send() {
            if (!item)
                return
            attempts += 1
            reading = false
            if (!committing)
                item.value = target
            if (!item.write())
                Qt.callLater(failed)
        }

        function failed() {
            if (!item)
                return
            if (attempts < exportManager.writeAttempts)
                send()
            else
                end(false)
        }

        function end(ok) {
            var callback = done
            cancel()
            if (callback)
                callback(ok)
        }

        function cancel() {
            item = null
            done = null
            reading = false
        }
    }

    Connections {
        target: step.item
        ignoreUnknownSignals: true
        function onAfterWrite() {
            if (!step.item || step.reading)
                return
            if (!step.readBack) {
                step.end(true)
                return
            }
            step.reading = true
            if (!step.item.read())
                Qt.callLater(step.failed)
        }
        function onAfterRead() {
            if (!step.item || !step.reading)
                return
            if (Number(step.item.value) === Number(step.target))
                step.end(true)
            else
                step.failed()
        }
        function onError(message) {
            if (!step.item)
                return
            console.log("configuration step:", message)
            step.failed()
        }
    }
}
