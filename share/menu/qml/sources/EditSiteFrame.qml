import QtQuick
import "../frametypes"
import "../widgets"

// A new or existing site's group, subgroup and name, and a site to copy settings from. Every
// value is edited on the record item only; the record reaches the instrument with "Ok".
ColumnMenuFrame {
    id: editSiteFrame

    readonly property var sitesModel: sitesManager.model
    readonly property var record: deviceModbus.editingSiteItem
    readonly property bool isNew: sitesManager.editingSiteIndex < 0
    readonly property string groupValue: record ? record.groupName : ""
    readonly property string subGroupValue: record ? record.subGroupName : ""
    readonly property string nameValue: record ? record.siteName : ""
    // Entries of the copy source list: the site indexes, an empty first entry for none.
    property var copySources: []
    readonly property alias groupRow: groupRow
    readonly property alias subGroupRow: subGroupRow
    readonly property alias nameRow: nameRow
    readonly property alias copyRow: copyRow
    readonly property alias okRow: okRow

    caption: isNew ? qsTr("Site creating") : qsTr("Site editing")

    onShown: listView.currentIndex = listView.firstAvailable()
    onHidden: sitesManager.cloningSiteIndex = -1

    function editText(prop, sourceItem) {
        editorsManager.editProperty(prop, sourceItem, {dontWriteToModbus: true})
    }

    // With names to offer: "Create" (or "Modify" for a value), the names, "Clear".
    function editName(prop, names, sourceItem) {
        if (names.length === 0) {
            editText(prop, sourceItem)
            return
        }
        var value = prop.value
        var entries = [value === "" ? qsTranslate("Group", "Create")
                                    : qsTranslate("Group", "Modify")]
        entries = entries.concat(names)
        entries.push(qsTranslate("Group", "Clear"))
        editorsManager.callEditor(sourceItem, "list", function (index) {
            if (index === 0)
                editSiteFrame.editText(prop, sourceItem)
            else if (index === entries.length - 1)
                prop.setValue("", true)
            else
                prop.setValue(names[index - 1], true)
        }, {model: entries, initValue: Math.max(0, names.indexOf(value) + 1),
            customSetFunciton: true, translate: false})
    }

    function sourceIndexes() {
        var all = sitesModel.getSitesIndexes()
        var own = sitesManager.editingSiteIndex
        var result = []
        for (var i = 0; i < all.length; ++i) {
            if (all[i] !== own)
                result.push(all[i])
        }
        return result
    }

    function editCopySource(sourceItem) {
        var indexes = sourceIndexes()
        var entries = [""]
        for (var i = 0; i < indexes.length; ++i)
            entries.push(sitesModel.getSiteName(indexes[i]))
        copySources = [-1].concat(indexes)
        var current = copySources.indexOf(sitesManager.cloningSiteIndex)
        editorsManager.callEditor(sourceItem, "list", function (index) {
            if (index >= 0 && index < editSiteFrame.copySources.length)
                sitesManager.cloningSiteIndex = editSiteFrame.copySources[index]
        }, {model: entries, initValue: Math.max(0, current), customSetFunciton: true,
            translate: false})
    }

    // The site goes to its own slot, a new one to the current site's slot when that was read
    // and found empty, else to the lowest free slot (a slot still being written is not free);
    // with no slot nothing is written.
    function ok() {
        if (!okRow.clickable)
            return
        var index = sitesManager.editingSiteIndex
        if (isNew) {
            var current = deviceModbus.siteIndex
            var empty = sitesManager.isSiteRecordEmpty(current)
                    && sitesModel.getSiteName(current) === "" && !sitesManager.isPending(current)
            index = empty ? current : sitesManager.newSiteIndex()
        }
        if (index >= 0)
            sitesManager.writeEditedSite(index, isNew, sitesManager.cloningSiteIndex)
        navigationManager.gotoFrameBackward()
    }

    MenuRowItem {
        id: groupRow
        objectName: "editSiteGroupRow"
        caption: deviceProps.editingSiteGroup.caption
        value: editSiteFrame.groupValue
        onClicked: editSiteFrame.editName(deviceProps.editingSiteGroup,
                                          editSiteFrame.sitesModel.getGroups(), valueItem)
    }
    MenuRowItem {
        id: subGroupRow
        objectName: "editSiteSubGroupRow"
        caption: deviceProps.editingSiteSubGroup.caption
        value: editSiteFrame.subGroupValue
        hidden: editSiteFrame.groupValue === ""
        onClicked: editSiteFrame.editName(
                       deviceProps.editingSiteSubGroup,
                       editSiteFrame.sitesModel.getSubGroups(editSiteFrame.groupValue), valueItem)
    }
    MenuRowItem {
        id: nameRow
        objectName: "editSiteNameRow"
        caption: deviceProps.editingSiteName.caption
        value: editSiteFrame.nameValue
        onClicked: editSiteFrame.editText(deviceProps.editingSiteName, valueItem)
    }
    MenuRowItem {
        id: copyRow
        objectName: "editSiteCopyRow"
        readonly property int source: sitesManager.cloningSiteIndex
        caption: source >= 0
                 ? qsTr("Copy from:") + " " + editSiteFrame.sitesModel.getSiteName(source)
                 : qsTr("Copy settings from other site")
        hidden: editSiteFrame.sitesModel.sitesCount === 0
                || (!editSiteFrame.isNew && editSiteFrame.sitesModel.sitesCount === 1)
        onClicked: editSiteFrame.editCopySource(valueItem)
    }
    MenuRowItem {
        id: okRow
        objectName: "editSiteOkRow"
        caption: qsTr("Ok")
        clickable: !editSiteFrame.isNew || sitesManager.canAddSite
        showBackground: true
        captionItem.color: clickable ? styleManager.style.menuItemCaptionFontColor : "#808080"
        onClicked: editSiteFrame.ok()
    }
}
