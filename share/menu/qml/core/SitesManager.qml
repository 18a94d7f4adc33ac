import QtQuick
import DorrikBus 1.0

// The instrument's sites: the whole table as a model over the sites file, and the record of the
// current site and of the site being edited, one record each.
QtObject {
    id: sitesManager

    property var siteMapItem: null
    property var currentSitePathItem: null
    property var currentSiteItem: null
    property var editingSiteItem: null
    property var maxSitesCountItem: null

    property int maxSitesCount: maxSitesCountItem ? maxSitesCountItem.value : 0
    // Bytes of each name field (group, subgroup, site) in a record.
    property int siteNameSize: 40
    property int reservedBytesCount: 0
    // Three names and a 2-byte check value.
    property int siteRecordSize: siteNameSize * 3 + reservedBytesCount + 2
    // The site editingSiteItem addresses; -1 for a site not yet placed.
    property int editingSiteIndex: -1
    // The site whose settings a new or edited site copies; -1 for none.
    property int cloningSiteIndex: -1
    property bool canAddSite: model.sitesCount + pendingNewSites < maxSitesCount

    // The site index whose current-site record the last read brought in well; -1 while none
    // did (not yet read, the read failed, or the current site changed since). Only such a read
    // tells an empty slot from a record that is merely not known yet.
    property int readSiteIndex: -1

    property TavSitesModel model: TavSitesModel {
        item: sitesManager.siteMapItem
        maxSitesCount: sitesManager.maxSitesCount
        reservedBytesCount: sitesManager.reservedBytesCount
    }

    // Whether the last read of the current site's record was of `index` and found no site.
    function isSiteRecordEmpty(index) {
        return currentSitePathItem !== null && index >= 0 && readSiteIndex === index
                && !currentSitePathItem.exists
    }

    // Writes a new site ("Site 1" or the next free name, no group) at `index` when the current
    // site's record was read there and found empty; true when it wrote one. A record that was
    // not read, or not read well, may hold a site: it is never overwritten.
    function createSiteIfDontExists(index) {
        if (!isSiteRecordEmpty(index) || isPending(index))
            return false
        if (!writeRecord(index, ["", "", model.getUniqueSiteName("Site 1")]))
            return false
        // The slot holds a site now, whatever the next read says.
        readSiteIndex = -1
        return true
    }

    // Adds a site named `siteName` in `groupPath` (group and subgroup; shorter paths lie
    // higher) at the lowest free slot and writes it unless told not to. Returns the slot, -1
    // when nothing was added (no name, or no free slot).
    function addNewSite(groupPath, siteName, dontWriteToModbus) {
        if (!siteName || String(siteName) === "" || !editingSiteItem)
            return -1
        var index = newSiteIndex()
        if (index < 0)
            return -1
        editingSiteIndex = index
        editingSiteItem.sitePath = sitePathOf(groupPath, siteName)
        if (!dontWriteToModbus)
            writeRecord(index, editingSiteItem.sitePath)
        return index
    }

    // The three names of a record: the group path filled up with empty names to two, then the
    // site's name. Padding at the back keeps a lone group a group, not a subgroup.
    function sitePathOf(groupPath, siteName) {
        var path = []
        var source = groupPath ? groupPath : []
        for (var i = 0; i < 2; ++i)
            path.push(i < source.length && source[i] ? String(source[i]) : "")
        if (path[0] === "")
            path[1] = ""
        path.push(String(siteName))
        return path
    }

    function chooseEditSite(siteIndex) {
        if (!editingSiteItem)
            return
        editingSiteIndex = siteIndex
        editingSiteItem.sitePath = model.getSitePath(siteIndex)
        editingSiteItem.read()
    }

    function chooseSite(siteIndex) {
        if (siteIndex >= 0 && siteIndex < maxSitesCount && currentSiteItem) {
            currentSiteItem.value = siteIndex
            currentSiteItem.write()
        } else {
            console.log("trying to choose wrong siteIndex", siteIndex)
        }
    }

    // Slots whose record write is on its way: no new site goes there meanwhile.
    property var pendingSlots: []
    readonly property int pendingNewSites: {
        var count = 0
        for (var i = 0; i < pendingSlots.length; ++i) {
            if (model.getSiteName(pendingSlots[i]) === "")
                ++count
        }
        return count
    }

    function isPending(index) {
        return pendingSlots.indexOf(index) >= 0
    }

    function setPending(index, on) {
        var list = pendingSlots.filter(function (slot) { return slot !== index })
        if (on)
            list.push(index)
        pendingSlots = list
    }

    // The lowest slot that holds no site and is not being written; -1 when there is none.
    function newSiteIndex() {
        for (var i = 0; i < maxSitesCount; ++i) {
            if (model.getSiteName(i) === "" && !isPending(i))
                return i
        }
        return -1
    }

    // Each write goes out on an item of its own, so that its answer is its own: the shared
    // record items are read meanwhile and move to other slots.
    property Component recordWriter: Component {
        TavSiteItem {
            group: "sites"
        }
    }
    property Component tableWriter: Component {
        ModbusFile {
            group: "siteMap"
        }
    }

    // The writers under way: held here, or the script engine's collector takes them before
    // their answer.
    property var writers: []

    function runWrite(writer, finished) {
        var over = false
        writers = writers.concat([writer])
        function end(ok) {
            if (over)
                return
            over = true
            sitesManager.writers = sitesManager.writers.filter(function (w) { return w !== writer })
            writer.destroy()
            finished(ok)
        }
        writer.afterWrite.connect(function () { end(true) })
        writer.error.connect(function (text) {
            console.warn("Sites write failed:", text)
            end(false)
        })
        if (!writer.write())
            end(false)
    }

    // Writes `path` into the record of slot `index`. Once the instrument took it the table
    // model holds it (without writing the table again) and `done(true)` runs; a refused or
    // lost write leaves the model as it was and runs `done(false)`. False when nothing went.
    function writeRecord(index, path, done) {
        if (index < 0 || index >= maxSitesCount || !siteMapItem || !siteMapItem.client)
            return false
        var writer = recordWriter.createObject(sitesManager, {
            client: siteMapItem.client, file: siteMapItem.file,
            offset: siteMapItem.offset + index * siteRecordSize / 2, length: siteRecordSize,
            nameSize: siteNameSize, reservedBytesCount: reservedBytesCount
        })
        writer.sitePath = path
        setPending(index, true)
        runWrite(writer, function (ok) {
            sitesManager.setPending(index, false)
            if (ok) {
                sitesManager.model.setSite(index, path, false)
                deviceModbus.commitSitesRevision()
                if (index === deviceModbus.siteIndex && sitesManager.currentSitePathItem)
                    sitesManager.currentSitePathItem.read()
            }
            if (done)
                done(ok)
        })
        return true
    }

    // Writes the model's table as it stands (changed without writing); then reads it back,
    // which also brings back what a refused write did not change.
    function writeTable(done) {
        if (!siteMapItem || !siteMapItem.client)
            return false
        var writer = tableWriter.createObject(sitesManager, {
            client: siteMapItem.client, file: siteMapItem.file, offset: siteMapItem.offset,
            length: siteMapItem.length, modbusBlockSize: siteMapItem.modbusBlockSize
        })
        writer.value = siteMapItem.value
        runWrite(writer, function (ok) {
            if (ok)
                deviceModbus.commitSitesRevision()
            sitesManager.model.readAll()
            if (done)
                done(ok)
        })
        return true
    }

    // Deletes the sites `sites` (one, or the group `groupPath`): the record, or the table
    // without the group, first; each site's settings and archive are reset only once the
    // instrument took it. `done(ok)` tells which.
    function deleteSites(sites, groupPath, done) {
        function reset(ok) {
            if (ok) {
                for (var i = 0; i < sites.length; ++i) {
                    deviceProps.siteClear.clearSite(sites[i])
                    deviceProps.eraseSpecifiedArchive(sites[i])
                }
            }
            done(ok)
        }
        if (sites.length === 1)
            return writeRecord(sites[0], ["", "", ""], reset)
        // The list shows the group again at once when the write is refused, even before the
        // table is read back (or when that read fails too).
        var before = siteMapItem ? siteMapItem.value : ""
        model.removeGroup(groupPath, false)
        return writeTable(function (ok) {
            if (!ok && sitesManager.siteMapItem)
                sitesManager.siteMapItem.value = before
            reset(ok)
        })
    }

    // Writes the edited record to `index` (names as the edit frame set them on editingSiteItem);
    // once the instrument took it, a new site's archive is emptied and, with copyFrom >= 0, that
    // site's settings are copied into it. A refused write does neither. False when nothing was
    // written.
    function writeEditedSite(index, isNew, copyFrom) {
        if (index < 0 || index >= maxSitesCount || !editingSiteItem)
            return false
        var path = sitePathOf([editingSiteItem.groupName, editingSiteItem.subGroupName],
                              editingSiteItem.siteName)
        editingSiteIndex = index
        editingSiteItem.sitePath = path
        return writeRecord(index, path, function (ok) {
            if (!ok)
                return
            sitesManager.model.groupPath = [path[0], path[1]]
            if (isNew)
                deviceProps.eraseSpecifiedArchive(index)
            if (copyFrom >= 0) {
                deviceProps.siteCopier.siteFrom = copyFrom
                deviceProps.siteCopier.siteTo = index
                deviceProps.siteCopier.command()
            }
        })
    }

    function recordIndex(item) {
        var first = siteMapItem ? siteMapItem.offset : 0
        return Math.round((item.offset - first) / (siteRecordSize / 2))
    }

    property Connections currentRecordWatch: Connections {
        target: sitesManager.currentSitePathItem
        // A read made for another record before a change never completes on the item.
        function onAfterRead() {
            sitesManager.readSiteIndex = sitesManager.recordIndex(sitesManager.currentSitePathItem)
        }
        function onOffsetChanged() {
            sitesManager.readSiteIndex = -1
        }
        function onError(text) {
            sitesManager.readSiteIndex = -1
        }
    }
}
