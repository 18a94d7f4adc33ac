import QtQuick
import DorrikBus 1.0
import "../frametypes/base"
import "../components"
import "../widgets/base"

// The sites of the current group: a site is chosen as the instrument's current one, or, in
// modifying mode, edited, copied or deleted; groups are entered like folders.
BaseFrame {
    id: sitesFrame

    property var editFrame: null
    property bool modifying: false
    // The cursor within a row: 0 the caption, 1 copy, 2 delete.
    property int column: 0
    readonly property var model: sitesManager.model
    readonly property var siteMap: sitesManager.siteMapItem
    readonly property bool updating: siteMap !== null && (siteMap.executing || !siteMap.wasRead)
    readonly property bool insideGroup: model.groupPath.length > 0
    readonly property alias siteList: siteList
    readonly property alias upButton: upButton
    readonly property alias addButton: addButton
    readonly property alias modifyButton: modifyButton
    readonly property alias groupNameButton: groupNameButton
    readonly property alias updatingCover: updatingCover
    // The current site's group and subgroup, for the bold rows.
    readonly property var currentSitePath: {
        var path = sitesManager.currentSitePathItem ? sitesManager.currentSitePathItem.sitePath
                                                    : []
        return path ? path : []
    }

    caption: modifying && widgetShown ? qsTr("Sites editing") : qsTr("Site selection")

    onShown: (forward) => {
        modifying = !forward
        column = 0
        if (siteList.currentIndex < 0 && siteList.count > 0)
            siteList.currentIndex = 0
        siteList.forceActiveFocus()
    }
    onModifyingChanged: {
        if (!modifying)
            column = 0
    }

    function rowData(row) {
        if (row < 0 || row >= siteList.count)
            return null
        var item = siteList.itemAtIndex(row)
        return item ? item.rowInfo : null
    }

    // Columns a row offers: sites have copy and delete, groups only delete, and both only
    // while modifying.
    function columnAvailable(info, c) {
        if (c === 0)
            return true
        if (!modifying || !info)
            return false
        return c === 2 || info.type === 1
    }

    function moveColumn(step) {
        var info = rowData(siteList.currentIndex)
        for (var c = column + step; c >= 0 && c <= 2; c += step) {
            if (columnAvailable(info, c)) {
                column = c
                return true
            }
        }
        return false
    }

    function act(row, c) {
        var info = rowData(row)
        if (!info || updating)
            return
        siteList.currentIndex = row
        if (c === 1 && columnAvailable(info, 1))
            copySite(info)
        else if (c === 2 && columnAvailable(info, 2))
            deleteRow(info)
        else if (c === 0)
            clickRow(info)
    }

    function clickRow(info) {
        if (info.type === 0) {
            column = 0
            model.cd(info.name)
            siteList.currentIndex = 0
        } else if (!modifying) {
            sitesManager.chooseSite(info.site)
            navigationManager.gotoFrameBackward()
        } else {
            sitesManager.chooseEditSite(info.site)
            navigationManager.gotoFrame(editFrame, true)
        }
    }

    // A tool button that disables itself while it has the focus (the up button at the top level,
    // every button while the table is read) would leave the keys with nothing to act on: the
    // rows take the focus.
    function handOverFocus(button) {
        if (button.enabled || !button.focus)
            return
        if (siteList.currentIndex < 0 && siteList.count > 0)
            siteList.currentIndex = 0
        if (sitesFrame.activeFocus)
            siteList.forceActiveFocus()
        else
            siteList.focus = true
    }

    function goUp() {
        if (!insideGroup || updating)
            return
        column = 0
        model.cdUp()
        siteList.currentIndex = 0
    }

    function copySite(info) {
        var path = model.getSitePath(info.site)
        sitesManager.cloningSiteIndex = info.site
        sitesManager.editingSiteIndex = -1
        deviceModbus.editingSiteItem.sitePath = [path[0], path[1],
                                                 model.getUniqueSiteName(path[2])]
        navigationManager.gotoFrame(editFrame, true)
    }

    function addSite() {
        if (!sitesManager.canAddSite || updating)
            return
        sitesManager.cloningSiteIndex = -1
        sitesManager.editingSiteIndex = -1
        deviceModbus.editingSiteItem.sitePath = sitesManager.sitePathOf(
                    model.groupPath, model.getUniqueSiteName("Site 1"))
        navigationManager.gotoFrame(editFrame, true)
    }

    // Text of the refusal when `sites` hold the current site and it cannot go now; "" when
    // deleting is allowed.
    function deleteRefusal(sites) {
        var current = deviceModbus.siteIndex
        if (sites.indexOf(current) < 0)
            return ""
        var name = "\"" + model.getSiteName(current) + "\""
        if (deviceProps.measuring)
            return qsTr("To delete site ") + name + qsTr(" you should stop measuring before")
        if (deviceProps.scheduleState.value === 1)
            return qsTr("To delete site ") + name + qsTr(" you should stop scheduler before")
        return ""
    }

    // The names each slot of `sites` holds now, to hold the question's answer against.
    function pathsOf(sites) {
        return sites.map(function (site) { return model.getSitePath(site).join("\n") })
    }

    // Whether the table still holds what the question showed: the same slots under the group,
    // each with the same names, and no read of it half done.
    function unchangedSince(sites, paths, groupPath) {
        if (updating)
            return false
        var now = groupPath ? model.getSitesIndexes(groupPath).map(Number) : sites
        if (now.length !== sites.length)
            return false
        for (var i = 0; i < now.length; ++i) {
            if (sites.indexOf(now[i]) < 0)
                return false
        }
        return pathsOf(sites).join("\n\n") === paths.join("\n\n")
    }

    function deleteConfirmed(sites, paths, groupPath, name) {
        if (!unchangedSince(sites, paths, groupPath)) {
            screenManager.showMessageBoxDialog(
                        qsTr("The sites list changed while the question was open: nothing was deleted"))
            return
        }
        sitesManager.deleteSites(sites, groupPath, function (ok) {
            if (!ok)
                screenManager.showMessageBoxDialog(
                            qsTr("The device did not take the deletion of %1: no settings were reset and no archive was erased").arg(name))
        })
    }

    function deleteRow(info) {
        var sites = info.type === 1 ? [info.site]
                                    : model.getSitesIndexes(info.visiblePath).map(Number)
        var refusal = deleteRefusal(sites)
        if (refusal !== "") {
            screenManager.showMessageBoxDialog(refusal)
            return
        }
        var name = "\"" + info.name + "\""
        var paths = pathsOf(sites)
        if (info.type === 1) {
            screenManager.showConfirmDialog(
                        qsTr("Are you sure want to delete site ") + name + qsTr(" ?"),
                        function (yes) {
                            if (yes)
                                sitesFrame.deleteConfirmed(sites, paths, null, name)
                        })
            return
        }
        var path = info.visiblePath
        screenManager.showConfirmDialog(
                    qsTr("Are you sure want to delete group ") + name + qsTr("?\n\n(")
                    + qsTr("sites will be deleted: ") + sites.length + ")",
                    function (yes) {
                        if (yes)
                            sitesFrame.deleteConfirmed(sites, paths, path, name)
                    })
    }

    function editGroupName() {
        if (!insideGroup || updating)
            return
        var path = model.groupPath.slice()
        var oldName = model.groupName
        var editor = editorsManager.editProperty(deviceProps.editingSiteGroup, groupNameButton,
                                                 {customSetFunciton: true})
        if (!editor)
            return
        editor.initialText = oldName
        editor.field.text = oldName
        editor.input.selectAll()
        editor.setFunction.connect(function (result) {
            sitesFrame.renameGroup(path, oldName, String(result))
        })
    }

    function renameGroup(path, oldName, newName) {
        if (newName === oldName)
            return
        if (newName !== "") {
            model.renameGroup(path, newName)
            var moved = path.slice()
            moved[moved.length - 1] = newName
            model.groupPath = moved
            return
        }
        var count = model.getSitesIndexes(path).length
        screenManager.showConfirmDialog(
                    qsTr("Are you sure want to delete group ") + "\"" + oldName + "\""
                    + qsTr("?\n\n(") + count + qsTr(" sites will be deleted)"),
                    function (yes) {
                        if (yes)
                            sitesFrame.model.removeGroup(path)
                    })
    }

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Insert) {
            event.accepted = true
            if (addButton.visible && addButton.enabled)
                addSite()
        }
    }

    // Another client's change shows as a new revision: the table is read again at once.
    ModbusItemReader {
        item: deviceModbus.sitesRevisionRo ? deviceModbus.sitesRevisionRo : null
        active: sitesFrame.widgetShown
    }

    Item {
        id: toolRow
        anchors.left: sitesFrame.clientRect.left
        anchors.right: sitesFrame.clientRect.right
        anchors.top: sitesFrame.clientRect.top
        height: Math.max(styleManager.style.smallButtonHeight, pathColumn.height)
                + 2 * styleManager.style.menuItemMargin

        Keys.onDownPressed: siteList.forceActiveFocus()

        SmallButton {
            id: upButton
            objectName: "sitesUpButton"
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            image: Qt.resolvedUrl("../" + styleManager.style.siteGroupUpIcon)
            imageItem.height: height - 12
            imageItem.fillMode: Image.PreserveAspectFit
            enabled: sitesFrame.insideGroup && !sitesFrame.updating
            onClicked: sitesFrame.goUp()
            onEnabledChanged: sitesFrame.handOverFocus(this)
            Keys.onUpPressed: sitesFrame.goUp()
            KeyNavigation.right: groupNameButton.visible ? groupNameButton
                                                         : addButton.visible ? addButton
                                                                             : modifyButton
        }
        Column {
            id: pathColumn
            visible: !groupNameButton.visible
            anchors.left: upButton.right
            anchors.leftMargin: 3 * starter.mm
            anchors.right: addButton.visible ? addButton.left : modifyButton.left
            anchors.verticalCenter: parent.verticalCenter
            Repeater {
                model: sitesFrame.model.groupPath
                Item {
                    width: pathColumn.width
                    height: pathText.height
                    Image {
                        id: pathIcon
                        x: index * 10
                        anchors.verticalCenter: parent.verticalCenter
                        height: pathText.height
                        width: height
                        fillMode: Image.PreserveAspectFit
                        source: Qt.resolvedUrl("../" + (index === 0
                                                        ? styleManager.style.siteGroupIcon
                                                        : styleManager.style.siteSubgroupIcon))
                    }
                    Text {
                        id: pathText
                        anchors.left: pathIcon.right
                        anchors.leftMargin: 1 * starter.mm
                        anchors.right: parent.right
                        elide: Text.ElideRight
                        text: modelData
                        font.family: styleManager.style.smallFontFamily
                        font.pixelSize: styleManager.style.smallFontSize
                        color: styleManager.style.mediumFontColor
                    }
                }
            }
        }
        Button {
            id: groupNameButton
            objectName: "sitesGroupNameButton"
            visible: sitesFrame.modifying && sitesFrame.insideGroup
            anchors.left: upButton.right
            anchors.leftMargin: 3 * starter.mm
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidthWanted, (addButton.visible ? addButton.x : modifyButton.x)
                            - x - 3 * starter.mm)
            height: styleManager.style.smallButtonHeight
            autoExpand: false
            // The caption is centred: room for the pencil on both sides keeps them apart.
            readonly property real implicitWidthWanted: captionItem.implicitWidth
                                                        + 2 * (imageItem.width + 4 * starter.mm)
            image: Qt.resolvedUrl("../" + styleManager.style.siteGroupEditIcon)
            imageItem.height: height * 0.6
            imageItem.width: imageItem.height
            imageItem.fillMode: Image.PreserveAspectFit
            caption: sitesFrame.model.groupName
            enabled: !sitesFrame.updating
            onClicked: sitesFrame.editGroupName()
            onEnabledChanged: sitesFrame.handOverFocus(this)
            KeyNavigation.left: upButton
            KeyNavigation.right: addButton.visible ? addButton : modifyButton
        }
        SmallButton {
            id: addButton
            objectName: "sitesAddButton"
            visible: sitesFrame.modifying || siteList.count === 0
            anchors.right: modifyButton.left
            anchors.rightMargin: 3 * starter.mm
            anchors.verticalCenter: parent.verticalCenter
            image: Qt.resolvedUrl("../" + styleManager.style.addSiteIcon)
            imageItem.height: height - 12
            imageItem.fillMode: Image.PreserveAspectFit
            enabled: sitesManager.canAddSite && !sitesFrame.updating
            onClicked: sitesFrame.addSite()
            onEnabledChanged: sitesFrame.handOverFocus(this)
            KeyNavigation.left: groupNameButton.visible ? groupNameButton : upButton
            KeyNavigation.right: modifyButton
        }
        SmallButton {
            id: modifyButton
            objectName: "sitesModifyButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            image: Qt.resolvedUrl("../" + styleManager.style.modifySiteIcon)
            imageItem.height: height - 12
            imageItem.fillMode: Image.PreserveAspectFit
            checked: sitesFrame.modifying
            enabled: !sitesFrame.updating
            onClicked: sitesFrame.modifying = !sitesFrame.modifying
            onEnabledChanged: sitesFrame.handOverFocus(this)
            KeyNavigation.left: addButton.visible ? addButton
                                                  : groupNameButton.visible ? groupNameButton
                                                                            : upButton
        }
    }

    ListViewAdvanced {
        id: siteList
        objectName: "sitesList"
        anchors.left: sitesFrame.clientRect.left
        anchors.right: sitesFrame.clientRect.right
        anchors.top: toolRow.bottom
        anchors.bottom: sitesFrame.clientRect.bottom
        clip: true
        focus: true
        model: sitesFrame.model
        handleKey_Home: !menuContext.embedded
        numberKeyNavigation: false
        highlightMoveDuration: 1
        highlightMoveVelocity: -1
        interactive: contentHeight > height
        cacheBuffer: 10000
        opacity: sitesFrame.updating ? 0 : 1
        Behavior on opacity {
            NumberAnimation { duration: 200 }
        }

        delegate: Item {
            id: row

            // What the frame's actions take of a row.
            readonly property var rowInfo: ({
                name: model.name, type: model.type, site: model.site,
                visiblePath: model.visiblePath, level: model.level
            })
            readonly property bool current: ListView.isCurrentItem
            readonly property alias captionItem: rowCaption
            readonly property alias copyButton: copyButton
            readonly property alias deleteButton: deleteButton
            readonly property bool bold: {
                var path = sitesFrame.currentSitePath
                if (model.type === 1)
                    return model.site === deviceModbus.siteIndex
                var visible = model.visiblePath
                if (!path || path.length < 3 || visible.length > 2)
                    return false
                for (var i = 0; i < visible.length; ++i) {
                    if (path[i] !== visible[i])
                        return false
                }
                return visible.length > 0
            }

            width: siteList.width
            height: styleManager.style.menuItemRowHeight

            MenuItemsBackground {
                anchors.fill: parent
                anchors.margins: styleManager.style.menuItemMargin
                color: captionArea.pressed ? styleManager.style.pressedColor
                                           : styleManager.style.menuItemBackColor
            }
            FocusRect {
                anchors.fill: undefined
                x: sitesFrame.column === 0 ? 0 : sitesFrame.column === 1 ? copyButton.x
                                                                         : deleteButton.x
                width: sitesFrame.column === 0 ? (copyButton.visible ? copyButton.x
                                                  : deleteButton.visible ? deleteButton.x
                                                                         : row.width)
                                               : copyButton.width
                height: row.height
                active: row.current && siteList.activeFocus
            }
            Image {
                id: rowIcon
                x: styleManager.style.menuItemRowCaptionLeftMargin
                anchors.verticalCenter: parent.verticalCenter
                height: parent.height * 0.6
                width: height
                fillMode: Image.PreserveAspectFit
                source: Qt.resolvedUrl("../" + (model.type === 1 ? styleManager.style.siteIcon
                                                : model.level <= 1
                                                  ? styleManager.style.siteGroupIcon
                                                  : styleManager.style.siteSubgroupIcon))
            }
            Text {
                id: rowCaption
                anchors.left: rowIcon.right
                anchors.leftMargin: 2 * starter.mm
                anchors.right: copyButton.visible ? copyButton.left
                                                  : deleteButton.visible ? deleteButton.left
                                                                         : parent.right
                anchors.rightMargin: 2 * starter.mm
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideRight
                text: model.name
                font.family: styleManager.style.menuItemCaptionFontFamily
                font.pixelSize: styleManager.style.menuItemCaptionFontSize
                                - (model.type === 1 ? 2 : 1)
                font.bold: row.bold
                color: styleManager.style.menuItemCaptionFontColor
            }
            MouseArea {
                id: captionArea
                anchors.left: parent.left
                anchors.right: rowCaption.right
                height: parent.height
                onClicked: sitesFrame.act(index, 0)
            }
            SmallButton {
                id: copyButton
                objectName: "sitesCopyButton"
                visible: sitesFrame.modifying && model.type === 1
                anchors.right: deleteButton.left
                anchors.rightMargin: 2 * starter.mm
                anchors.verticalCenter: parent.verticalCenter
                height: row.height - 4 * styleManager.style.menuItemMargin
                width: height
                image: Qt.resolvedUrl("../" + styleManager.style.cloneSiteIcon)
                imageItem.height: height * 0.75
                imageItem.fillMode: Image.PreserveAspectFit
                activeFocusOnTab: false
                onClicked: sitesFrame.act(index, 1)
            }
            SmallButton {
                id: deleteButton
                objectName: "sitesDeleteButton"
                visible: sitesFrame.modifying
                anchors.right: parent.right
                anchors.rightMargin: 2 * starter.mm + styleManager.style.menuItemMargin
                anchors.verticalCenter: parent.verticalCenter
                height: row.height - 4 * styleManager.style.menuItemMargin
                width: height
                image: Qt.resolvedUrl("../" + styleManager.style.deleteSiteIcon)
                imageItem.height: height * 0.75
                imageItem.fillMode: Image.PreserveAspectFit
                activeFocusOnTab: false
                onClicked: sitesFrame.act(index, 2)
            }
        }

        // A list that was empty, or reset by a new table, starts again at its first row.
        onCountChanged: {
            if (count > 0 && (currentIndex < 0 || currentIndex >= count))
                currentIndex = 0
        }
        onCurrentIndexChanged: {
            if (!sitesFrame.columnAvailable(sitesFrame.rowData(currentIndex), sitesFrame.column))
                sitesFrame.column = 0
        }

        // After the list's own keys (Up, Down, Home, End).
        Keys.onPressed: (event) => {
            if (event.accepted)
                return
            var inside = sitesFrame.insideGroup
            switch (event.key) {
            case Qt.Key_Return:
            case Qt.Key_Enter:
            case Qt.Key_Space:
                event.accepted = true
                sitesFrame.act(currentIndex, sitesFrame.column)
                break
            case Qt.Key_Right:
                event.accepted = true
                if (!sitesFrame.modifying)
                    sitesFrame.act(currentIndex, 0)
                else
                    sitesFrame.moveColumn(1)
                break
            case Qt.Key_Left:
                if (sitesFrame.column > 0) {
                    event.accepted = true
                    sitesFrame.moveColumn(-1)
                } else if (inside) {
                    event.accepted = true
                    sitesFrame.goUp()
                }
                break
            case Qt.Key_Backspace:
                if (inside) {
                    event.accepted = true
                    sitesFrame.goUp()
                }
                break
            case Qt.Key_Delete:
                event.accepted = true
                sitesFrame.act(currentIndex, 2)
                break
            case Qt.Key_Up:
                // Above the first row lie the tool buttons.
                event.accepted = true
                if (sitesFrame.updating)
                    break
                if (upButton.enabled)
                    upButton.forceActiveFocus()
                else if (groupNameButton.visible)
                    groupNameButton.forceActiveFocus()
                else if (addButton.visible && addButton.enabled)
                    addButton.forceActiveFocus()
                else
                    modifyButton.forceActiveFocus()
                break
            }
        }
    }

    // While the table is read, it is not shown, and nothing can be picked.
    Rectangle {
        id: updatingCover
        objectName: "sitesUpdatingCover"
        anchors.fill: sitesFrame.clientRect
        visible: sitesFrame.updating
        color: "#80FFFFFF"
        Text {
            anchors.centerIn: parent
            width: parent.width - 4 * starter.mm
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: qsTr("Updating sites list...")
            font.family: styleManager.style.mediumFontFamily
            font.pixelSize: styleManager.style.mediumFontSize
            color: styleManager.style.mediumFontColor
        }
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }
    }
}
