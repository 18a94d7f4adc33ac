import QtQuick
import "../components"
import "../dialogs"
import "SitesTreeCore.js" as TreeCore

// Picks a set of sites from the tree of groups, subgroups and sites. Answers once, with
// callback(true, sites in tree order), and closes.
BaseFrameDialog {
    id: dialog

    // Site indexes checked when the dialog opens.
    property var selectedSites: []
    readonly property var allSites: sitesManager.model.getSitesIndexes()
    // The checked sites, in tree order.
    property var choosedSites: []
    readonly property alias treeList: treeList
    readonly property alias rowsModel: rowsModel
    readonly property alias chooseButton: chooseButton
    readonly property alias checkAllButton: checkAllButton
    readonly property alias uncheckAllButton: uncheckAllButton

    signal callback(bool result, var choosedSites)

    caption: qsTr("Choose sites")

    function node(treeIndex) {
        return TreeCore.nodes[treeIndex]
    }

    function rebuild() {
        var current = treeList.currentIndex
        var rows = TreeCore.visibleRows()
        rowsModel.clear()
        for (var i = 0; i < rows.length; ++i)
            rowsModel.append(rowOf(rows[i]))
        choosedSites = TreeCore.selectedSites
        treeList.currentIndex = Math.max(0, Math.min(current, rowsModel.count - 1))
    }

    function rowOf(treeIndex) {
        var n = TreeCore.nodes[treeIndex]
        return {treeIndex: treeIndex, checkState: n.checkState, expanded: n.expanded}
    }

    // A toggle keeps the current row; Space and Insert step on to the next one.
    function toggleRow(row, stepDown) {
        if (row < 0 || row >= rowsModel.count)
            return
        TreeCore.toggle(rowsModel.get(row).treeIndex)
        treeList.currentIndex = row
        rebuild()
        if (stepDown && row < rowsModel.count - 1)
            treeList.currentIndex = row + 1
    }

    function expandRow(row) {
        if (row < 0 || row >= rowsModel.count)
            return
        var treeIndex = rowsModel.get(row).treeIndex
        var n = TreeCore.nodes[treeIndex]
        if (!n.isGroup)
            return
        n.expanded = !n.expanded
        rowsModel.setProperty(row, "expanded", n.expanded)
        if (n.expanded) {
            var below = TreeCore.rowsBelow(treeIndex)
            for (var i = 0; i < below.length; ++i)
                rowsModel.insert(row + 1 + i, rowOf(below[i]))
        } else {
            while (row + 1 < rowsModel.count
                   && TreeCore.nodes[rowsModel.get(row + 1).treeIndex].level > n.level)
                rowsModel.remove(row + 1)
        }
        treeList.currentIndex = row
    }

    // Enter on a group opens or closes it; on a site it toggles the site.
    function activateRow(row) {
        if (row < 0 || row >= rowsModel.count)
            return
        if (TreeCore.nodes[rowsModel.get(row).treeIndex].isGroup)
            expandRow(row)
        else
            toggleRow(row, false)
    }

    function setAll(state) {
        TreeCore.setAll(state)
        rebuild()
    }

    function choose() {
        if (choosedSites.length === 0)
            return
        callback(true, choosedSites.slice())
        close()
    }

    Component.onCompleted: {
        TreeCore.build(sitesManager.model.getTree(), selectedSites)
        rebuild()
        treeList.currentIndex = 0
    }

    ListModel {
        id: rowsModel
    }

    ListViewAdvanced {
        id: treeList
        objectName: "sitesTreeList"
        parent: dialog.frameItem
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: bottomRow.top
        anchors.margins: 7
        anchors.topMargin: dialog.captionItem.height
        clip: true
        focus: true
        model: rowsModel
        highlightMoveDuration: 0
        numberKeyNavigation: false

        delegate: Item {
            id: rowItem

            readonly property var treeNode: TreeCore.nodes[model.treeIndex]
            readonly property int level: treeNode ? treeNode.level : 0
            readonly property bool isGroup: treeNode ? treeNode.isGroup : false
            readonly property real step: 10 * starter.mm

            width: treeList.width
            height: styleManager.style.menuItemRowHeight

            FocusRect {
                active: rowItem.ListView.isCurrentItem && treeList.activeFocus
            }
            Image {
                id: checkIcon
                x: 2 * starter.mm
                anchors.verticalCenter: parent.verticalCenter
                height: parent.height * 0.6
                width: height
                fillMode: Image.PreserveAspectFit
                source: Qt.resolvedUrl("../" + (model.checkState === 1
                                                ? styleManager.style.checkBoxCheckedIcon
                                                : model.checkState === 2
                                                  ? styleManager.style.checkBoxGrayedIcon
                                                  : styleManager.style.checkBoxUncheckedIcon))
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -1 * starter.mm
                    onClicked: dialog.toggleRow(index, false)
                }
            }
            Item {
                id: linesItem
                anchors.left: checkIcon.right
                anchors.leftMargin: 2 * starter.mm
                width: rowItem.level * rowItem.step
                height: parent.height

                Repeater {
                    model: rowItem.level
                    Rectangle {
                        x: index * rowItem.step + rowItem.step / 2
                        width: 1
                        height: linesItem.height
                        color: "#808080"
                    }
                }
            }
            Image {
                id: typeIcon
                anchors.left: linesItem.right
                anchors.verticalCenter: parent.verticalCenter
                height: parent.height * 0.7
                width: height
                fillMode: Image.PreserveAspectFit
                source: Qt.resolvedUrl("../" + (!rowItem.isGroup ? styleManager.style.siteIcon
                                                : rowItem.level === 0
                                                  ? styleManager.style.siteGroupIcon
                                                  : styleManager.style.siteSubgroupIcon))
                // Under an open group its rows hang from a line out of its icon.
                Rectangle {
                    visible: model.expanded
                    x: rowItem.step / 2
                    y: parent.height
                    width: 1
                    height: (rowItem.height - parent.height) / 2
                    color: "#808080"
                }
            }
            Text {
                anchors.left: typeIcon.right
                anchors.leftMargin: 2 * starter.mm
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideRight
                text: rowItem.treeNode ? rowItem.treeNode.caption : ""
                font.family: styleManager.style.menuItemCaptionFontFamily
                font.pixelSize: styleManager.style.menuItemCaptionFontSize
                        - (rowItem.isGroup ? 1 : 2)
                color: styleManager.style.menuItemCaptionFontColor
            }
            MouseArea {
                anchors.left: linesItem.left
                anchors.right: parent.right
                height: parent.height
                onClicked: dialog.activateRow(index)
            }
        }

        // After the list's own keys: Down on the last row leaves for the buttons.
        Keys.onPressed: (event) => {
            if (event.accepted)
                return
            if (event.key === Qt.Key_Space || event.key === Qt.Key_Insert) {
                dialog.toggleRow(currentIndex, true)
                event.accepted = true
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                dialog.activateRow(currentIndex)
                event.accepted = true
            } else if (event.key === Qt.Key_Down && currentIndex >= count - 1) {
                chooseButton.forceActiveFocus()
                event.accepted = true
            }
        }
    }

    Row {
        id: bottomRow
        parent: dialog.frameItem
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: styleManager.style.dialogMargin / 2
        spacing: 3 * starter.mm

        Keys.onUpPressed: treeList.forceActiveFocus()

        CloseButton {
            id: closeTreeButton
            objectName: "sitesTreeCloseButton"
            KeyNavigation.right: chooseButton
        }
        Button {
            id: chooseButton
            objectName: "sitesTreeChooseButton"
            caption: qsTr("Choosed") + " " + dialog.choosedSites.length + " "
                     + qsTranslate("SitesToExport", "from") + " " + dialog.allSites.length
            enabled: dialog.choosedSites.length > 0
            onClicked: dialog.choose()
            KeyNavigation.left: closeTreeButton
            KeyNavigation.right: checkAllButton
        }
        SmallButton {
            id: checkAllButton
            objectName: "sitesTreeCheckAllButton"
            image: Qt.resolvedUrl("../" + styleManager.style.checkBoxCheckedIcon)
            imageItem.height: height - 20
            imageItem.fillMode: Image.PreserveAspectFit
            onClicked: dialog.setAll(1)
            KeyNavigation.left: chooseButton
            KeyNavigation.right: uncheckAllButton
        }
        SmallButton {
            id: uncheckAllButton
            objectName: "sitesTreeUncheckAllButton"
            image: Qt.resolvedUrl("../" + styleManager.style.checkBoxUncheckedIcon)
            imageItem.height: height - 20
            imageItem.fillMode: Image.PreserveAspectFit
            onClicked: dialog.setAll(0)
            KeyNavigation.left: checkAllButton
        }
    }
}
