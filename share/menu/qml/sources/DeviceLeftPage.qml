import QtQuick
import "../components"
import "../components/base"

// The page "Measurements": six live tiles of flow rate or heat, the tabs between them, and the
// buttons to start or stop measuring, to show more values and to see the signals.
FocusScope {
    id: deviceLeftPage

    readonly property bool tabsVisible: isHeatSupported && !deviceProps.heatSupplySystem.disabled
    readonly property int tabIndex: tabsVisible ? tabControl.currentIndex : 0
    readonly property Item currentGrid: tabIndex === 1 ? heatGrid : flowGrid
    readonly property real tileWidth: Math.min(styleManager.style.measureItemSmallWidth,
                                               (width - 20) / 2)
    readonly property real flowRateMinHeight: 0.00283 * 0.020
                                              * Math.pow(deviceProps.transducerPlaneDiameter.value, 2)
                                              * deviceDimensions.flowRateDimension.ratio
    readonly property var flowTiles: [
        {"prop": deviceProps.flowRate, "role": "flowRate", "minY": flowRateMinHeight},
        {"prop": deviceProps.flowVelocity, "role": "flowVelocity", "minY": 0.02},
        {"prop": deviceProps.esSecondary, "status": true},
        {"prop": deviceProps.vPlus, "role": "vPlus", "focus": true},
        {"prop": deviceProps.vMinus, "role": "vMinus"},
        {"prop": deviceProps.vSummary, "role": "vSummary"}
    ]
    readonly property var heatTiles: [
        {"prop": deviceProps.massFlowRate, "role": "massFlowRate"},
        {"prop": deviceProps.thermalPower, "role": "thermalPower"},
        {"prop": deviceProps.heatEs, "status": true},
        {"prop": deviceProps.mPlusAccumulated, "role": "mPlus", "focus": true},
        {"prop": deviceProps.wPlus, "role": "wPlus"},
        {"prop": deviceProps.pressure, "role": "pressure", "pressure": true}
    ]
    readonly property alias additionalDialog: additionalDialog
    readonly property alias startButton: startButton

    function otherProps(tiles) {
        var list = []
        for (var i = 0; i < tiles.length; ++i)
            list.push({"prop": tiles[i].prop,
                       "field": tiles[i].status ? "binaryFormatValue" : "formatValue"})
        return list
    }

    function focusGrid() {
        currentGrid.focusInitial()
    }

    function showAdditional() {
        additionalDialog.tabIndex = tabIndex
        additionalDialog.visible = true
        additionalDialog.forceActiveFocus()
    }

    function hideAdditional() {
        additionalDialog.visible = false
        if (tabsVisible)
            tabControl.currentIndex = additionalDialog.tabIndex
        additionalButton.forceActiveFocus()
    }

    onTabsVisibleChanged: {
        if (deviceModbus.realFirmwareVer && deviceModbus.realFirmwareVer.generationDetermined
                && (!isHeatSupported || !tabsVisible))
            tabControl.currentIndex = 0
    }

    Connections {
        target: deviceLeftPage.parent
        ignoreUnknownSignals: true
        function onActiveChanged() {
            if (deviceLeftPage.parent.active && !additionalDialog.visible)
                deviceLeftPage.focusGrid()
        }
    }

    TabControl {
        id: tabControl
        objectName: "measureTabs"
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.bottom: parent.top
        visible: deviceLeftPage.tabsVisible
        enabled: visible
        opacity: additionalDialog.visible ? 0.001 : 1
        model: [qsTr("Flow rate"), qsTr("Heat")]
        delegate: Tab {
            caption: modelData
        }
        Keys.onDownPressed: deviceLeftPage.focusGrid()
        Keys.onLeftPressed: currentIndex = Math.max(0, currentIndex - 1)
        Keys.onRightPressed: currentIndex = Math.min(count - 1, currentIndex + 1)
    }

    Item {
        id: gridArea
        anchors.top: parent.top
        anchors.topMargin: 5
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: buttons.top
        visible: !additionalDialog.visible

        TabScroller {
            anchors.fill: parent
            tabControl: tabControl
            pages: [
                MeasureGrid {
                    id: flowGrid
                    objectName: "flowGrid"
                    tiles: deviceLeftPage.flowTiles
                    historyItem: deviceModbus.flowRateHistory
                    active: deviceLeftPage.tabIndex === 0
                    focus: deviceLeftPage.tabIndex === 0
                },
                MeasureGrid {
                    id: heatGrid
                    objectName: "heatGrid"
                    tiles: deviceLeftPage.heatTiles
                    historyItem: deviceModbus.heatHistory
                    active: deviceLeftPage.tabIndex === 1
                    focus: deviceLeftPage.tabIndex === 1
                }
            ]
        }
    }

    component MeasureGrid: FocusScope {
        id: grid

        property var tiles: []
        property var historyItem: null
        property bool active: false
        readonly property var others: deviceLeftPage.otherProps(tiles)

        function focusInitial() {
            for (var i = 0; i < repeater.count; ++i) {
                if (grid.tiles[i].focus)
                    repeater.itemAt(i).forceActiveFocus()
            }
        }
        function tile(index) {
            return repeater.itemAt(index)
        }

        Grid {
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.verticalCenter: parent.verticalCenter
            flow: Grid.TopToBottom
            rows: 3
            spacing: 0

            Repeater {
                id: repeater
                model: grid.tiles.length
                MeasureItemSmall {
                    id: tile
                    readonly property var config: grid.tiles[index]
                    readonly property bool statusTile: config.status === true
                    readonly property bool flagged: statusTile && config.prop.hasFlags === true
                    readonly property var trendItem: config.pressure ? deviceModbus.pressureHistory
                                                                     : grid.historyItem
                    objectName: (grid.objectName === "heatGrid" ? "heat" : "flow") + "Tile" + index
                    width: deviceLeftPage.tileWidth
                    prop: config.prop
                    focus: config.focus === true
                    useTrend: !statusTile && !!trendItem
                    trendModel: !statusTile && trendItem ? trendItem.model : null
                    trendRole: config.role ? config.role : "value"
                    trendModbusItem: statusTile ? null : trendItem
                    minYHeight: config.minY ? config.minY : 0
                    otherProps: grid.others
                    notRead: mainWindow.connectionLost
                    valueText: statusTile ? config.prop.binaryFormatValue
                                          : (config.prop ? config.prop.formatValue : "")
                    valueColor: flagged ? "#D00000" : styleManager.style.measureItemSmallFontColor
                    captionWidth: statusTile ? 60 : styleManager.style.measureItemSmallCaptionWidth
                    dimensionWidth: statusTile ? (flagged ? 16 : 2) * styleManager.style.mm
                                               : styleManager.style.measureItemSmallDimensionWidth

                    Keys.onUpPressed: {
                        if (index % 3 > 0)
                            grid.tile(index - 1).forceActiveFocus()
                        else if (deviceLeftPage.tabsVisible)
                            tabControl.forceActiveFocus()
                    }
                    Keys.onDownPressed: {
                        if (index % 3 < 2)
                            grid.tile(index + 1).forceActiveFocus()
                        else
                            startButton.forceActiveFocus()
                    }
                    Keys.onLeftPressed: (event) => {
                        if (index >= 3)
                            grid.tile(index - 3).forceActiveFocus()
                        else
                            event.accepted = false
                    }
                    Keys.onRightPressed: (event) => {
                        if (index < 3)
                            grid.tile(index + 3).forceActiveFocus()
                        else
                            event.accepted = false
                    }
                }
            }
        }
    }

    Row {
        id: buttons
        objectName: "measureButtons"
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 5
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(800, parent.width - 10)
        height: 107
        visible: !additionalDialog.visible

        BaseButton {
            id: startButton
            objectName: "startButton"
            width: buttons.width / 3
            height: buttons.height
            autoExpand: false
            // The caption keeps to the room right of the picture, smaller where a translation
            // would run into it.
            captionItem.anchors.centerIn: undefined
            captionItem.anchors.left: imageItem.right
            captionItem.anchors.right: captionItem.parent.right
            captionItem.anchors.margins: 4
            captionItem.anchors.verticalCenter: captionItem.parent.verticalCenter
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.fontSizeMode: Text.HorizontalFit
            captionItem.minimumPixelSize: styleManager.style.smallFontSize
            caption: deviceProps.measureStatus.value === 0 ? qsTr("Start") : qsTr("Stop")
            image: deviceProps.measureStatus.measuring
                   ? Qt.resolvedUrl("../images/buttons/stopmeasure.png")
                   : Qt.resolvedUrl("../images/buttons/startmeasure.png")
            checked: deviceProps.measureStatus.measuring
            enabled: !deviceProps.calibrationStarted
            onClicked: deviceProps.measureStatus.toggle()
            KeyNavigation.right: additionalButton
            Keys.onUpPressed: deviceLeftPage.focusGrid()
        }
        BaseButton {
            id: additionalButton
            objectName: "additionalButton"
            width: buttons.width / 3
            height: buttons.height
            autoExpand: false
            // The caption keeps to the room right of the picture, smaller where a translation
            // would run into it.
            captionItem.anchors.centerIn: undefined
            captionItem.anchors.left: imageItem.right
            captionItem.anchors.right: captionItem.parent.right
            captionItem.anchors.margins: 4
            captionItem.anchors.verticalCenter: captionItem.parent.verticalCenter
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.fontSizeMode: Text.HorizontalFit
            captionItem.minimumPixelSize: styleManager.style.smallFontSize
            caption: qsTr("Additional")
            image: Qt.resolvedUrl("../images/buttons/list.png")
            onClicked: deviceLeftPage.showAdditional()
            KeyNavigation.left: startButton
            KeyNavigation.right: signalsButton
            Keys.onUpPressed: deviceLeftPage.focusGrid()
        }
        BaseButton {
            id: signalsButton
            objectName: "signalsButton"
            width: buttons.width / 3
            height: buttons.height
            autoExpand: false
            // The caption keeps to the room right of the picture, smaller where a translation
            // would run into it.
            captionItem.anchors.centerIn: undefined
            captionItem.anchors.left: imageItem.right
            captionItem.anchors.right: captionItem.parent.right
            captionItem.anchors.margins: 4
            captionItem.anchors.verticalCenter: captionItem.parent.verticalCenter
            captionItem.horizontalAlignment: Text.AlignHCenter
            captionItem.fontSizeMode: Text.HorizontalFit
            captionItem.minimumPixelSize: styleManager.style.smallFontSize
            caption: qsTr("Signals")
            image: Qt.resolvedUrl("../images/buttons/signal.png")
            onClicked: screenManager.showPopup("sources/SignalsDialog.qml")
            KeyNavigation.left: additionalButton
            Keys.onUpPressed: deviceLeftPage.focusGrid()
        }
    }

    AdditionalMeasureDialog {
        id: additionalDialog
        objectName: "additionalMeasureDialog"
        anchors.fill: parent
        anchors.margins: 5
        visible: false
        tabsVisible: deviceLeftPage.tabsVisible
        onClosing: deviceLeftPage.hideAdditional()
    }
}
