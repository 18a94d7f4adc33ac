import QtQuick
import DorrikBus 1.0
import "../components"

// The archive page: the labels of the current site's archive as a list that ends at the newest
// record, the record of the current row, and the charts, the export and the erase of the archive.
FocusScope {
    id: page

    objectName: "archivePage"

    readonly property bool active: parent && parent.active === true
    // The menu's client; null where a test's stand-in takes its place.
    readonly property var modbusClient: deviceModbus instanceof ModbusClient ? deviceModbus : null
    readonly property int siteIndex: deviceProps.currentSite.value
    // From generation 3 a site's archive lies 0x100 above its index.
    readonly property int archIndex: siteIndex + (starter.tvnGeneration >= 3 ? 0x100 : 0)
    readonly property int rowHeight: 37
    readonly property int rowsCount: Math.max(1, Math.floor(labelsList.height / rowHeight))
    readonly property bool cardExists: deviceProps.cardStatus.exists
    readonly property bool cardReadable: deviceProps.cardStatus.readable
    // Without heat the box is hidden: a stored choice must not hide the interval fields.
    readonly property bool showAccumulated: starter.isHeatSupported
                                            && menuSettings.archRecordShowAccumulated
    readonly property bool tabsVisible: starter.isHeatSupported && archRecord.containsHeat
    readonly property bool heatTab: tabsVisible && tabs.currentIndex === 1
    readonly property bool recordShown: labelsList.visible && labelsList.currentIndex >= 0
                                        && archRecord.isValidValue
    readonly property bool holding: upButton.realPressed || downButton.realPressed
    readonly property alias labelsItem: archLabels
    readonly property alias recordItem: archRecord
    readonly property alias listView: labelsList

    // Caption and text of each field of the shown record, for the tab and the counters chosen.
    readonly property var recordFields: recordShown ? fieldsOf(archRecord, heatTab, showAccumulated)
                                                    : []

    // Set once the instrument's time gave the view its first label.
    property bool viewLabelSet: false
    // "first" or "last" while a jump waits for the labels it moves to; jumpLabelSet once the
    // view label is the jump's, so that a read made before it does not take the jump.
    property string pendingJump: ""
    property bool jumpLabelSet: false
    // The first read that found labels puts the newest record in place.
    property bool opened: false

    function withUnit(caption, unit) {
        return unit !== "" ? caption + ", " + unit : caption
    }

    function esText(flags, binary) {
        return flags === 0 ? qsTr("no") : "b" + binary
    }

    function fieldsOf(r, heat, total) {
        var seconds = qsTr("s")
        var list = [{"caption": qsTr("Archiving time:"),
                        "value": Qt.formatDateTime(r.recordLabel, "dd.MM.yyyy") + "\n"
                                 + Qt.formatDateTime(r.recordLabel, "hh:mm:ss")},
                    {"caption": qsTr("Work time") + ", " + seconds,
                        "value": String(total ? r.workTime : r.dWorkTime)}]
        var lessTime = qsTranslate("Short", "Time without meas.") + ", " + seconds
        function add(prop, caption, value) {
            list.push({"caption": withUnit(caption, prop.dimension),
                          "value": prop.getDimensionedFormatted(value)})
        }
        if (!heat) {
            list.push({"caption": lessTime, "value": String(total ? r.flowRateSensorLessTime
                                                                    : r.dFlowRateSensorLessTime)})
            add(deviceProps.vPlus, deviceProps.vPlus.shortCaption, total ? r.vPlus : r.dVPlus)
            add(deviceProps.vMinus, deviceProps.vMinus.shortCaption, total ? r.vMinus : r.dVMinus)
            if (!total) {
                list.push({"caption": qsTr("ES"),
                              "value": esText(r.flowRateEsFlags, r.flowRateEsFlagsBinary)})
                add(deviceProps.flowRate, qsTr("Qmin"), r.dMinVolumeFlowRate)
                add(deviceProps.flowRate, qsTr("Qmax"), r.dMaxVolumeFlowRate)
            }
            return list
        }
        list.push({"caption": lessTime, "value": String(total ? r.heatSensorLessTime
                                                                : r.dHeatSensorLessTime)})
        add(deviceProps.mPlusAccumulated, deviceProps.mPlusAccumulated.shortCaption,
            total ? r.mPlus : r.dMPlus)
        add(deviceProps.wPlus, deviceProps.wPlus.shortCaption, total ? r.w : r.dW)
        if (!total) {
            list.push({"caption": qsTr("ES"), "value": esText(r.heatEsFlags, r.heatEsFlagsBinary)})
            add(deviceProps.massFlowRate, qsTr("Gmin"), r.dMinWeightFlowRate)
            add(deviceProps.massFlowRate, qsTr("Gmax"), r.dMaxWeightFlowRate)
            add(deviceProps.temperature1, qsTr("t1avg"), r.averageTemperature1)
            add(deviceProps.temperature2, qsTr("t2avg"), r.averageTemperature2)
            add(deviceProps.pressure, qsTr("Pavg"), r.averagePressure)
        }
        return list
    }

    // The labels are set here, not only bound: a binding and a handler of the same change run
    // in no fixed order, and a read must not go out with the label before the change.
    function readLabels() {
        if (!viewLabelSet)
            return
        archLabels.label = menuProps.archViewTimeLabel.value
        archLabels.read()
    }

    function readFromView(item) {
        item.label = menuProps.archViewTimeLabel.value
        item.read()
    }

    function rowLabel(row) {
        return row >= 0 && row < labelsList.count ? archLabels.getModelValue(row) : undefined
    }

    function readRecord() {
        archRecord.isValidValue = false
        var label = rowLabel(labelsList.currentIndex)
        if (label === undefined || exportManager.active)
            return
        archRecord.label = label
        archRecord.read()
    }

    function next() {
        if (labelsList.count === 0)
            return
        if (labelsList.currentIndex < labelsList.count - 1) {
            labelsList.currentIndex++
            return
        }
        if (archLabels.nextLabelExists && archLabels.count <= labelsList.count)
            menuProps.archViewTimeLabel.value = archLabels.nextLabel
    }

    function previous() {
        if (labelsList.currentIndex > 0)
            labelsList.currentIndex--
        else
            readFromView(prevLabelItem)
    }

    function first() {
        pendingJump = "first"
        jumpLabelSet = false
        readFromView(firstLabelItem)
    }

    function last() {
        pendingJump = "last"
        jumpLabelSet = false
        readFromView(lastLabelItem)
    }

    function afterLabelsRead() {
        var rows = labelsList.count
        var jump = jumpLabelSet ? pendingJump : ""
        if (jump === "first") {
            labelsList.currentIndex = rows > 0 ? 0 : -1
        } else if (jump === "last" || (!opened && rows > 0)) {
            labelsList.currentIndex = rows - 1
        } else if (labelsList.currentIndex >= rows) {
            labelsList.currentIndex = rows - 1
        } else if (rows > 0 && labelsList.currentIndex < 0) {
            labelsList.currentIndex = rows - 1
        }
        if (jump !== "")
            pendingJump = ""
        if (rows > 0)
            opened = true
        if (!holding)
            readRecord()
    }

    // The question names the site it erases: the current site may change while it is open
    // (the instrument's keys, another client), and the answer is for the one shown.
    function eraseArchive() {
        var site = page.siteIndex
        var name = sitesManager.model.getSiteName(site)
        var question = qsTr("Do you want to erase current site archives?\n\nGlobal counters will be reset.")
        if (name !== "")
            question += "\n\n" + qsTr("Site") + ": \"" + name + "\""
        screenManager.showConfirmDialog(question,
                    function (yes) {
                        if (!yes)
                            return
                        if (sitesManager.model.getSiteName(site) !== name) {
                            screenManager.showMessageBoxDialog(
                                        qsTr("The site changed while the question was open: nothing was erased"))
                            return
                        }
                        sitesManager.createSiteIfDontExists(site)
                        deviceProps.eraseArchive.eraseSpecifiedArchive(site)
                    })
    }

    function readEnd() {
        endArchLabel.read()
    }

    // After an erase the list starts again from the instrument's time.
    function reopenView() {
        if (!viewLabelSet)
            return
        opened = false
        labelsList.currentIndex = -1
        endArchLabel.label = deviceModbus.timeRo.value
        endArchLabel.read()
    }

    function showCharts() {
        var list = []
        if (heatTab) {
            list.push({"roles": ["mPlus", "dMPlus"], "prop": deviceProps.mPlusAccumulated,
                          "caption": deviceProps.mPlusAccumulated.shortCaption})
            list.push({"roles": ["w", "dW"], "prop": deviceProps.wPlus,
                          "caption": deviceProps.wPlus.shortCaption})
            list.push({"roles": ["dMinWeightFlowRate"], "prop": deviceProps.massFlowRate,
                          "caption": qsTr("Gmin")})
            list.push({"roles": ["dMaxWeightFlowRate"], "prop": deviceProps.massFlowRate,
                          "caption": qsTr("Gmax")})
            if (starter.tvnGeneration >= 3)
                list.push({"roles": ["averagePressure"], "prop": deviceProps.pressure,
                              "caption": deviceProps.pressure.shortCaption})
        } else {
            list.push({"roles": ["vPlus", "dVPlus"], "prop": deviceProps.vPlus, "caption": qsTr("V+")})
            list.push({"roles": ["vMinus", "dVMinus"], "prop": deviceProps.vMinus,
                          "caption": qsTr("V-")})
            list.push({"roles": ["dMinVolumeFlowRate"], "prop": deviceProps.flowRate,
                          "caption": qsTr("Qmin")})
            list.push({"roles": ["dMaxVolumeFlowRate"], "prop": deviceProps.flowRate,
                          "caption": qsTr("Qmax")})
        }
        screenManager.showPopup("sources/ArchChartsDialog.qml", {"buttonsModel": list})
    }

    // Focus order of the left and right keys: the list, then the bottom controls shown.
    function focusChain() {
        var chain = [labelsList]
        var controls = [tabs, accumulatedBox, exportButton, chartsButton, eraseButton]
        for (var i = 0; i < controls.length; ++i) {
            if (controls[i].visible && controls[i].enabled)
                chain.push(controls[i])
        }
        return chain
    }

    function moveFocus(step) {
        var chain = focusChain()
        var at = 0
        for (var i = 0; i < chain.length; ++i) {
            if (chain[i].activeFocus)
                at = i
        }
        chain[(at + step + chain.length) % chain.length].forceActiveFocus()
    }

    Keys.onPressed: event => {
        if (event.key === Qt.Key_Left || event.key === Qt.Key_Right) {
            moveFocus(event.key === Qt.Key_Right ? 1 : -1)
            event.accepted = true
        } else if (tabs.activeFocus && (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                        || event.key === Qt.Key_Space)) {
            tabs.currentIndex = (tabs.currentIndex + 1) % tabs.count
            event.accepted = true
        }
    }

    ModbusArchLabel {
        id: archLabels
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        archIndex: page.archIndex
        label: menuProps.archViewTimeLabel.value
        useNext: true
        count: page.rowsCount
        onAfterRead: page.afterLabelsRead()
    }
    ModbusArchLabel {
        id: endArchLabel
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        archIndex: page.archIndex
        direction: DorrikBus.Backward
        count: page.rowsCount
        // Read when its label is set, not live: its own label at the start is the computer's
        // time, and the archive's number is not known yet.
        liveRead: false
        onAfterRead: {
            // The earliest label before the end, so that the list ends at the newest record.
            var earliest = undefined
            for (var i = 0; i < arraySize; ++i) {
                var value = getModelValue(i)
                if (earliest === undefined || value < earliest)
                    earliest = value
            }
            menuProps.archViewTimeLabel.value = earliest !== undefined ? earliest : label
            page.jumpLabelSet = true
            page.readLabels()
        }
    }
    ModbusArchLabel {
        id: prevLabelItem
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        archIndex: page.archIndex
        usePrev: true
        count: 1
        onAfterRead: {
            if (prevLabelExists)
                menuProps.archViewTimeLabel.value = prevLabel
        }
    }
    ModbusArchLabel {
        id: firstLabelItem
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        archIndex: page.archIndex
        useFirst: true
        count: 1
        onAfterRead: {
            menuProps.archViewTimeLabel.value = firstLabel
            page.jumpLabelSet = true
            page.readLabels()
        }
    }
    ModbusArchLabel {
        id: lastLabelItem
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        maxRequestLabels: 10
        archIndex: page.archIndex
        useLast: true
        count: 1
        onAfterRead: {
            endArchLabel.label = lastLabel
            endArchLabel.read()
        }
    }
    ModbusArchRecordTavrin {
        id: archRecord
        // False before each read and after a failed one.
        property bool isValidValue: false
        client: page.modbusClient
        group: "archives"
        func: DorrikBus.Func67
        archIndex: page.archIndex
        tvnGeneration: starter.tvnGeneration
        containsHeat: deviceModbus.hasHeatChannel.has
        onAfterRead: isValidValue = exists
        onError: isValidValue = false
    }

    // The view starts at the instrument's time once the generation, and so the archive's
    // number, is known.
    function startView() {
        if (!deviceModbus.mainReadGroup.wasRead || !deviceModbus.realFirmwareVer
                || !deviceModbus.realFirmwareVer.generationDetermined)
            return
        viewLabelSet = true
        endArchLabel.label = deviceModbus.timeRo.value
        endArchLabel.read()
    }
    Connections {
        target: deviceModbus.mainReadGroup || null
        // Later, so that the values of the same read (the current site) are in place.
        function onWasReadChanged() {
            Qt.callLater(page.startView)
        }
    }
    Connections {
        target: deviceModbus.realFirmwareVer || null
        function onGenerationDeterminedChanged() {
            Qt.callLater(page.startView)
        }
    }
    Connections {
        target: menuProps.archViewTimeLabel || null
        function onValueChanged() {
            page.readLabels()
        }
    }
    Connections {
        target: deviceProps.cardStatus || null
        function onValueChanged() {
            if (page.cardReadable && page.viewLabelSet)
                endArchLabel.read()
            page.readLabels()
        }
    }
    Connections {
        target: starter
        function onIsHeatSupportedChanged() {
            if (starter.isHeatSupported)
                return
            menuSettings.archRecordShowAccumulated = false
            // A click has replaced the box's binding with its own state.
            accumulatedBox.checked = false
        }
    }
    Connections {
        target: deviceModbus.eraseArchive || null
        function onAfterWrite() {
            page.reopenView()
        }
    }
    onRowsCountChanged: readLabels()
    onArchIndexChanged: {
        opened = false
        // Later: the items take the new archive number by their bindings, in no fixed order
        // with this handler.
        if (viewLabelSet)
            Qt.callLater(page.readEnd)
    }

    // New records show at the end while the list is not full.
    Timer {
        id: liveTimer
        interval: 1000
        repeat: true
        triggeredOnStart: true
        running: page.active && deviceModbus.connected && page.viewLabelSet && page.pendingJump === ""
                 && archLabels.wasRead && labelsList.count < archLabels.count
        onTriggered: archLabels.read()
    }

    Text {
        anchors.centerIn: parent
        visible: !page.cardExists
        text: qsTr("No memory card")
        font.family: styleManager.style.bigFontFamily
        font.pixelSize: styleManager.style.bigFontSize
        color: styleManager.style.mediumFontColor
    }

    Item {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: bottomRow.top
        anchors.margins: 6
        visible: page.cardExists

        Column {
            id: arrows
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: Math.min(14 * starter.mm, 56)
            spacing: 4
            readonly property real buttonHeight: (height - 4 * spacing) / 5

            Button {
                objectName: "archFirstButton"
                width: parent.width
                height: arrows.buttonHeight
                autoExpand: false
                caption: "\u2912"
                onClicked: page.first()
            }
            ArrowButton {
                id: upButton
                objectName: "archUpButton"
                width: parent.width
                height: arrows.buttonHeight
                autoExpand: false
                continuousPressPause: 100
                continuousPressInterval: 100
                onClicked: page.previous()
                onRealPressedChanged: {
                    if (!realPressed)
                        page.readRecord()
                }
            }
            Button {
                objectName: "archCalendarButton"
                width: parent.width
                height: arrows.buttonHeight
                autoExpand: false
                caption: "\u25A6"
                onClicked: menuProps.archViewTimeLabel.edit(this)
            }
            ArrowButton {
                id: downButton
                objectName: "archDownButton"
                width: parent.width
                height: arrows.buttonHeight
                autoExpand: false
                angle: 180
                continuousPressPause: 100
                continuousPressInterval: 100
                onClicked: page.next()
                onRealPressedChanged: {
                    if (!realPressed)
                        page.readRecord()
                }
            }
            Button {
                objectName: "archLastButton"
                width: parent.width
                height: arrows.buttonHeight
                autoExpand: false
                caption: "\u2913"
                onClicked: page.last()
            }
        }

        Rectangle {
            id: listFrame
            anchors.left: arrows.right
            anchors.leftMargin: 6
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: Math.min(250, parent.width * 0.42)
            color: "#F0F0F8"
            border.color: labelsList.activeFocus ? styleManager.style.focusedColor : "#444444"
            border.width: labelsList.activeFocus ? 3 : 1
            radius: 4

            ListView {
                id: labelsList
                objectName: "archLabelsList"
                anchors.fill: parent
                anchors.margins: 2
                clip: true
                interactive: false
                keyNavigationEnabled: false
                highlightMoveDuration: 0
                focus: true
                visible: archLabels.wasRead
                currentIndex: -1
                model: archLabels.model

                onCurrentIndexChanged: {
                    if (!page.holding)
                        page.readRecord()
                }

                Keys.onPressed: event => {
                    if (event.key === Qt.Key_Down) {
                        page.next()
                        event.accepted = true
                    } else if (event.key === Qt.Key_Up) {
                        page.previous()
                        event.accepted = true
                    }
                }

                delegate: Rectangle {
                    width: labelsList.width
                    height: page.rowHeight
                    color: ListView.isCurrentItem ? styleManager.style.focusedColor : "transparent"
                    Text {
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        verticalAlignment: Text.AlignVCenter
                        font.family: styleManager.style.mediumFontFamily
                        font.pixelSize: 18
                        elide: Text.ElideRight
                        text: Qt.formatDateTime(model.value, "dd.MM.yyyy  hh:mm:ss")
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: labelsList.currentIndex = index
                    }
                }
            }
            // Marks the end of the archive when exactly one row stays free.
            Rectangle {
                objectName: "archEndMark"
                x: 2
                width: labelsList.width
                y: 2 + (page.rowsCount - 1) * page.rowHeight + page.rowHeight / 2 - 1
                height: 3
                color: "#444444"
                visible: labelsList.visible && labelsList.count === page.rowsCount - 1
            }
        }

        Item {
            id: recordArea
            anchors.left: listFrame.right
            anchors.leftMargin: 8
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom

            TabControl {
                id: tabs
                objectName: "archTabs"
                anchors.top: parent.top
                anchors.right: parent.right
                visible: page.tabsVisible
                // Left and right walk the page's controls; Return switches the tab (the page's
                // keys).
                keyInteractive: false
                model: page.tabsVisible ? 2 : 0
                delegate: Tab {
                    caption: index === 0 ? qsTr("Flow rate") : qsTr("Heat")
                }
            }

            Column {
                id: fields
                objectName: "archRecordFields"
                anchors.top: tabs.visible ? tabs.bottom : parent.top
                anchors.topMargin: 4
                anchors.left: parent.left
                anchors.right: parent.right
                visible: page.recordShown
                spacing: 2
                // Every field fits above the buttons, the time taking two lines.
                readonly property real rowHeight: (recordArea.height - y - 4)
                                                  / (page.recordFields.length + 1) - spacing
                readonly property int fontSize: Math.max(9, Math.min(16, Math.floor(rowHeight * 0.8)))

                Repeater {
                    model: page.recordFields
                    delegate: Item {
                        width: fields.width
                        height: Math.max(captionText.implicitHeight, valueText.implicitHeight)
                        Text {
                            id: captionText
                            anchors.left: parent.left
                            width: parent.width * 0.55
                            text: modelData.caption
                            font.family: styleManager.style.smallFontFamily
                            font.pixelSize: fields.fontSize
                            color: styleManager.style.mediumFontColor
                            elide: Text.ElideRight
                        }
                        Text {
                            id: valueText
                            objectName: "archField_" + modelData.caption
                            anchors.right: parent.right
                            width: parent.width * 0.45
                            horizontalAlignment: Text.AlignRight
                            text: modelData.value
                            font.family: styleManager.style.smallFontFamily
                            font.pixelSize: fields.fontSize
                            font.bold: true
                            color: styleManager.style.menuItemTextValueValueFontColor
                        }
                    }
                }
            }
        }
    }

    Row {
        id: bottomRow
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 6
        height: styleManager.style.baseButtonHeight
        spacing: 6

        CheckBox {
            id: accumulatedBox
            objectName: "archAccumulatedBox"
            height: parent.height
            visible: starter.isHeatSupported
            checked: menuSettings.archRecordShowAccumulated
            text: qsTranslate("ArchRecordShowType", "Cumul.\ntotal")
            onClicked: menuSettings.archRecordShowAccumulated = checked
        }
        Button {
            id: exportButton
            objectName: "archExportButton"
            height: parent.height
            visible: !menuContext.embedded
            caption: qsTr("Export")
            onClicked: screenManager.showPopup("sources/ArchExportDialog.qml", {})
        }
        Button {
            id: chartsButton
            objectName: "archChartsButton"
            height: parent.height
            caption: qsTr("Charts")
            enabled: page.cardExists
            onClicked: page.showCharts()
        }
        Button {
            id: eraseButton
            objectName: "archEraseButton"
            height: parent.height
            width: height * 1.3
            autoExpand: false
            image: Qt.resolvedUrl("../" + styleManager.style.broomIcon)
            imageItem.height: height - 16
            imageItem.fillMode: Image.PreserveAspectFit
            enabled: page.cardReadable && deviceModbus.connected && page.recordShown
            onClicked: page.eraseArchive()
        }
    }
}
