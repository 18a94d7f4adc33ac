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
    property bool canAddSite: model.sitesCount < maxSitesCount

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
        if (!isSiteRecordEmpty(index) || !editingSiteItem)
            return false
        editingSiteIndex = index
        editingSiteItem.sitePath = ["", "", model.getUniqueSiteName("Site 1")]
        editingSiteItem.write()
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
        var index = model.getNewSiteIndex()
        if (index < 0)
            return -1
        editingSiteIndex = index
        editingSiteItem.sitePath = sitePathOf(groupPath, siteName)
        if (!dontWriteToModbus)
            editingSiteItem.write()
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

    // The edited record's write is asynchronous: a new site's archive is erased, and settings
    // are copied into the slot, only once the instrument took the record. A refused write
    // leaves both alone.
    property int pendingEraseIndex: -1
    property int pendingCopyFrom: -1
    // The slot written, kept apart: editingSiteIndex may move on before the answer comes.
    property int pendingCopyTo: -1

    // Writes the edited record to `index` (names as the edit frame set them on editingSiteItem);
    // for a new site its archive is emptied afterwards, and with copyFrom >= 0 that site's
    // settings are copied into it. False when nothing was written.
    function writeEditedSite(index, isNew, copyFrom) {
        if (index < 0 || index >= maxSitesCount || !editingSiteItem)
            return false
        var path = sitePathOf([editingSiteItem.groupName, editingSiteItem.subGroupName],
                              editingSiteItem.siteName)
        editingSiteIndex = index
        editingSiteItem.sitePath = path
        pendingEraseIndex = isNew ? index : -1
        pendingCopyFrom = copyFrom >= 0 ? copyFrom : -1
        pendingCopyTo = index
        if (!editingSiteItem.write()) {
            pendingEraseIndex = -1
            pendingCopyFrom = -1
            return false
        }
        return true
    }

    function finishEditedSite() {
        var erase = pendingEraseIndex
        var from = pendingCopyFrom
        var to = pendingCopyTo
        pendingEraseIndex = -1
        pendingCopyFrom = -1
        pendingCopyTo = -1
        if (erase >= 0)
            deviceProps.eraseSpecifiedArchive(erase)
        if (from >= 0) {
            deviceProps.siteCopier.siteFrom = from
            deviceProps.siteCopier.siteTo = to
            deviceProps.siteCopier.command()
        }
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

    // The record written is the table's too: the model takes it without writing the table.
    property Connections editingRecordWatch: Connections {
        target: sitesManager.editingSiteItem
        function onAfterWrite() {
            var item = sitesManager.editingSiteItem
            if (sitesManager.editingSiteIndex < 0)
                return
            sitesManager.model.setSite(sitesManager.editingSiteIndex, item.sitePath, false)
            // A removed record has no group to show: the list stays where it is.
            if (item.siteName !== "")
                sitesManager.model.groupPath = [item.groupName, item.subGroupName]
            sitesManager.finishEditedSite()
        }
        function onError(text) {
            sitesManager.pendingEraseIndex = -1
            sitesManager.pendingCopyFrom = -1
        }
    }
}
