import QtQuick
import "../frametypes"
import "../frametypes/base"
import "../widgets"
import "../components"

// The instrument's menu tree: every frame, created once and kept for the whole run. Frames link
// back through prevFrame; rows lead down, edit a property of deviceProps or menuProps, start a
// mini-application or show a value.
Item {
    id: deviceFrames

    property alias mainFrame: mainFrame
    property alias frameWithSite: sitesFrame
    property alias archiveSettingsFrame: dataLoggerFrame
    property alias powerStatusFrame: deviceStatusFrame
    property alias systemSettingsFrame: systemSettingsFrame
    property alias scheduleSettingsFrame: scheduleSettingsFrame
    property alias failuresFrame: failuresFrame
    property alias calibratingZeroFlowOffsetFrame: calibratingZeroFlowOffsetFrame
    property alias settingZeroFlowPointFrame: settingZeroFlowPointFrame
    property alias additionalDelayAdjustmentFrame: additionalDelayAdjustmentFrame

    // The editor of a guarded edit opens this long after Yes, outside the dialog's callback
    // (the dialog is still closing then); tests shorten it.
    property int guardedEditDelay: 100

    anchors.fill: parent

    // Opens a row's editor later, once the confirmation that asked for it has gone.
    Timer {
        id: deferredEdit
        property var row: null
        interval: deviceFrames.guardedEditDelay
        onTriggered: {
            if (row)
                editorsManager.editProperty(row.prop, row.valueItem, row.editorProperties)
            row = null
        }
    }

    // ---- main frame ----

    BaseFrame {
        id: mainFrame
        objectName: "mainFrame"
        headerVisible: false

        readonly property real buttonSpacing: (starter.width - 640) / 5

        Column {
            id: mainButtons
            anchors.centerIn: parent
            spacing: 0

            Row {
                spacing: mainFrame.buttonSpacing
                anchors.horizontalCenter: parent.horizontalCenter

                MainButton {
                    id: measurementButton
                    objectName: "measurementButton"
                    focus: true
                    frame: measurementParametersFrame
                    image: styleManager.style.styleFolder + "profile.png"
                    KeyNavigation.right: dataLoggerButton
                    KeyNavigation.down: applicationsButton
                    KeyNavigation.up: connectionButton.visible ? connectionButton : null
                }
                MainButton {
                    id: dataLoggerButton
                    objectName: "dataLoggerButton"
                    frame: dataLoggerFrame
                    caption: qsTranslate("MainFrameButton", "Data logger setup")
                    image: styleManager.style.styleFolder + "archives.png"
                    KeyNavigation.left: measurementButton
                    KeyNavigation.right: peripheryButton
                    KeyNavigation.down: documentationButton
                    KeyNavigation.up: connectionButton.visible ? connectionButton : null
                }
                MainButton {
                    id: peripheryButton
                    objectName: "peripheryButton"
                    frame: peripherySettingsFrame
                    image: styleManager.style.styleFolder + "periphery.png"
                    KeyNavigation.left: dataLoggerButton
                    KeyNavigation.down: systemSettingsButton
                    KeyNavigation.up: connectionButton.visible ? connectionButton : null
                }
            }
            Row {
                spacing: mainFrame.buttonSpacing
                anchors.horizontalCenter: parent.horizontalCenter

                MainButton {
                    id: applicationsButton
                    objectName: "applicationsButton"
                    frame: applicationsFrame
                    image: styleManager.style.styleFolder + "applications.png"
                    KeyNavigation.right: documentationButton
                    KeyNavigation.up: measurementButton
                    KeyNavigation.down: exitButton.visible ? exitButton : null
                }
                MainButton {
                    id: documentationButton
                    objectName: "documentationButton"
                    frame: documentationFrame
                    image: styleManager.style.styleFolder + "documents.png"
                    KeyNavigation.left: applicationsButton
                    KeyNavigation.right: systemSettingsButton
                    KeyNavigation.up: dataLoggerButton
                    KeyNavigation.down: exitButton.visible ? exitButton : null
                }
                MainButton {
                    id: systemSettingsButton
                    objectName: "systemSettingsButton"
                    frame: systemSettingsFrame
                    image: styleManager.style.styleFolder + "settings.png"
                    KeyNavigation.left: documentationButton
                    KeyNavigation.up: peripheryButton
                    KeyNavigation.down: exitButton.visible ? exitButton : null
                }
            }
        }

        FocusScope {
            id: connectionButton
            objectName: "connectionButton"
            width: 250
            height: 26
            anchors.top: parent.top
            anchors.topMargin: 3
            anchors.horizontalCenter: parent.horizontalCenter
            visible: !menuContext.embedded && !menuContext.hideConnectionSettings
            enabled: visible
            opacity: connectionMouse.containsMouse ? 1 : 0.5
            KeyNavigation.down: measurementButton

            Behavior on opacity {
                NumberAnimation {
                    duration: 200
                }
            }

            function click() {
                screenManager.showConnectionSettingsDialog(null, {
                                                               "serialNumberItem": deviceModbus.serialNumber,
                                                               "reportItem": deviceModbus.report
                                                           })
            }

            FocusRect {
                active: connectionButton.activeFocus
                filled: false
            }
            Text {
                objectName: "connectionButtonText"
                anchors.centerIn: parent
                text: qsTr("Connection: ") + (menuProps.connectionType
                                              ? menuProps.connectionType.formatValue : "")
                font.pixelSize: 20
                color: "black"
            }
            MouseArea {
                id: connectionMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: connectionButton.click()
            }
            Keys.onPressed: event => {
                                if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                        || event.key === Qt.Key_Space) {
                                    event.accepted = true
                                    connectionButton.click()
                                }
                            }
        }

        FocusScope {
            id: exitButton
            objectName: "exitButton"
            width: 70
            height: 70
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 24
            anchors.horizontalCenter: parent.horizontalCenter
            visible: !menuContext.embedded && menuContext.showExitButton && starter.height > 640
            enabled: visible
            KeyNavigation.up: documentationButton

            Image {
                anchors.fill: parent
                fillMode: Image.PreserveAspectFit
                source: Qt.resolvedUrl("../" + styleManager.style.exitIcon)
                opacity: exitButton.activeFocus || exitMouse.pressed ? 1 : 0.3
            }
            MouseArea {
                id: exitMouse
                anchors.fill: parent
                onClicked: menuContext.exitApplication()
            }
            Keys.onPressed: event => {
                                if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                        || event.key === Qt.Key_Space) {
                                    event.accepted = true
                                    menuContext.exitApplication()
                                }
                            }
        }
    }

    // ---- measurement parameters ----

    ColumnMenuFrame {
        id: measurementParametersFrame
        objectName: "measurementParametersFrame"
        caption: qsTr("Measurement parameters")
        prevFrame: mainFrame

        MenuRowItem {
            objectName: "siteRow"
            caption: qsTr("Site")
            frame: sitesFrame
            value: deviceProps.siteName ? deviceProps.siteName.value : ""
            valueItemMultiline: true
        }
        MenuRowItem {
            frame: pipeParametersFrame
        }
        MenuRowItem {
            frame: fluidParametersFrame
        }
        MenuRowItem {
            frame: measuringSystemParametersFrame
        }
        MenuRowItem {
            frame: resultsProcessingFrame
        }
        MenuRowItem {
            frame: additionalParametersFrame
        }
        MenuRowItem {
            objectName: "heatCalcParametersRow"
            frame: heatCalcParametersFrame
            hidden: !starter.isHeatSupported
        }
    }

    ColumnMenuFrame {
        id: pipeParametersFrame
        objectName: "pipeParametersFrame"
        caption: qsTr("Pipe parameters")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            prop: deviceProps.transducerMountingMethod
        }
        MenuRowItem {
            prop: deviceProps.pipeCircumference
        }
        MenuRowItem {
            prop: deviceProps.pipeOutsideDiameter
        }
        MenuRowItem {
            prop: deviceProps.transducerPlaneDiameter
        }
        MenuRowItem {
            prop: deviceProps.pipeMaterial
            showDimension: false
            editorProperties: ({
                                   "widthCoeff": 1.8
                               })
        }
        MenuRowItem {
            prop: deviceProps.pipeWallThickness
        }
        MenuRowItem {
            objectName: "pipeSoundSpeedRow"
            prop: deviceProps.pipeSoundSpeed
            clickable: !hidden && !propReadOnly && deviceProps.pipeMaterial
                       && deviceProps.pipeMaterial.custom === true
        }
        MenuRowItem {
            prop: deviceProps.pipeLinerMaterial
            showDimension: false
            editorProperties: ({
                                   "widthCoeff": 1.8
                               })
        }
        MenuRowItem {
            objectName: "pipeLinerThicknessRow"
            prop: deviceProps.pipeLinerThickness
            hidden: !deviceProps.pipeLinerMaterial || deviceProps.pipeLinerMaterial.noLiner === true
        }
        MenuRowItem {
            objectName: "pipeLinerSoundSpeedRow"
            prop: deviceProps.pipeLinerSoundSpeed
            hidden: !deviceProps.pipeLinerMaterial || deviceProps.pipeLinerMaterial.noLiner === true
            clickable: !hidden && !propReadOnly && deviceProps.pipeLinerMaterial.custom === true
        }
        MenuRowItem {
            prop: deviceProps.pipeRoughness
        }
        MenuRowItem {
            prop: deviceProps.transducerSpacing
        }
        MenuRowItem {
            prop: deviceProps.transducerSpacingRecommended
        }
    }

    ColumnMenuFrame {
        id: fluidParametersFrame
        objectName: "fluidParametersFrame"
        caption: qsTr("Fluid parameters")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            id: fluidTypeRow
            objectName: "fluidTypeRow"
            prop: deviceProps.fluidType
            showDimension: false

            // Other fluids turn heat calculation off: ask first while it is on.
            function overrideEdit() {
                if (!deviceProps.heatSupplySystem || deviceProps.heatSupplySystem.disabled === true)
                    return true
                screenManager.showConfirmDialog(
                            qsTr("Heat calculation will be disabled for fluids other than water.")
                            + "\n\n" + qsTr("Continue editing?"), function (yes) {
                                if (!yes)
                                    return
                                deferredEdit.row = fluidTypeRow
                                deferredEdit.restart()
                            }, {
                                "defaultAnswer": false
                            })
                return false
            }

            WidgetPropReader {
                prop: deviceProps.heatSupplySystem
            }
        }
        MenuRowItem {
            prop: deviceProps.fluidTemperature
        }
        MenuRowItem {
            objectName: "fluidSoundSpeedRow"
            prop: deviceProps.fluidSoundSpeed
            clickable: !hidden && !propReadOnly && deviceProps.fluidType
                       && deviceProps.fluidType.custom === true
        }
        MenuRowItem {
            objectName: "fluidViscosityRow"
            prop: deviceProps.fluidViscosity
            clickable: !hidden && !propReadOnly && deviceProps.fluidType
                       && deviceProps.fluidType.custom === true
        }
    }

    ColumnMenuFrame {
        id: measuringSystemParametersFrame
        objectName: "measuringSystemParametersFrame"
        caption: qsTr("Measuring system parameters")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            prop: deviceProps.sensorsFreqType
        }
        MenuRowItem {
            prop: deviceProps.phaseVelocity
        }
        MenuRowItem {
            prop: deviceProps.sensorTemp
        }
        MenuRowItem {
            prop: deviceProps.probeSignalFreq
        }
        MenuRowItem {
            prop: deviceProps.pulsesCount
        }
        MenuRowItem {
            prop: deviceProps.probeVoltage
        }
        MenuRowItem {
            prop: deviceProps.automaticGainControl
        }
        MenuRowItem {
            prop: deviceProps.manualGain
        }
        MenuRowItem {
            prop: deviceProps.signalDetectionThreshold
        }
        MenuRowItem {
            prop: deviceProps.tMin
        }
        MenuRowItem {
            prop: deviceProps.tMax
        }
    }

    ColumnMenuFrame {
        id: resultsProcessingFrame
        objectName: "resultsProcessingFrame"
        caption: qsTr("Results processing")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            prop: deviceProps.medianAveraging
        }
        MenuRowItem {
            prop: deviceProps.arithmeticAveraging
        }
        MenuRowItem {
            prop: deviceProps.inertiaTime
        }
        MenuRowItem {
            prop: deviceProps.maxFlowRate
        }
        MenuRowItem {
            prop: deviceProps.maxFlowAcceleration
        }
        MenuRowItem {
            prop: deviceProps.flowSign
        }
        MenuRowItem {
            prop: deviceProps.flowCutOff
        }
        MenuRowItem {
            prop: deviceProps.lowerSetPoint
        }
        MenuRowItem {
            prop: deviceProps.upperSetPoint
        }
    }

    ColumnMenuFrame {
        id: additionalParametersFrame
        objectName: "additionalParametersFrame"
        caption: qsTr("Additional parameters")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            objectName: "zeroOffsetInfoRow"
            clickable: false
            showDimension: false
            caption: {
                var dt0 = deviceProps.zeroFlowOffsetdt0
                var padd = deviceProps.additionalDelay
                if (!dt0 || !padd)
                    return ""
                return dt0.shortCaption + ": " + dt0.formatValue + " " + dt0.dimension + "    "
                        + padd.shortCaption + ": " + padd.formatValue + " " + padd.dimension
            }

            WidgetPropReader {
                prop: deviceProps.zeroFlowOffsetdt0
            }
            WidgetPropReader {
                prop: deviceProps.additionalDelay
            }
        }
        MenuRowItem {
            frame: calibratingZeroFlowOffsetFrame
        }
        MenuRowItem {
            frame: settingZeroFlowPointFrame
        }
        MenuRowItem {
            frame: additionalDelayAdjustmentFrame
        }
    }

    CalibratingZeroFlowOffsetFrame {
        id: calibratingZeroFlowOffsetFrame
        objectName: "calibratingZeroFlowOffsetFrame"
        caption: qsTr("Calibrating zero flow offset")
        prevFrame: additionalParametersFrame
    }
    SettingZeroFlowPointFrame {
        id: settingZeroFlowPointFrame
        objectName: "settingZeroFlowPointFrame"
        caption: qsTr("Setting a zero flow point")
        prevFrame: additionalParametersFrame
    }
    AdditionalDelayAdjustmentFrame {
        id: additionalDelayAdjustmentFrame
        objectName: "additionalDelayAdjustmentFrame"
        caption: qsTr("Additional delay adjustment")
        prevFrame: additionalParametersFrame
    }

    // ---- heat calculation ----

    ColumnMenuFrame {
        id: heatCalcParametersFrame
        objectName: "heatCalcParametersFrame"
        caption: qsTr("Heat calculation parameters")
        prevFrame: measurementParametersFrame

        MenuRowItem {
            id: heatSupplySystemRow
            objectName: "heatSupplySystemRow"
            prop: deviceProps.heatSupplySystem
            showDimension: false
            editorProperties: ({
                                   "widthCoeff": 2.4
                               })

            // Heat is calculated for water only: offer the fluid type instead.
            function overrideEdit() {
                if (!deviceProps.fluidType || deviceProps.fluidType.water === true)
                    return true
                screenManager.showConfirmDialog(
                            qsTr("Heat calculation is not avaliable for fluids other than water.")
                            + "\n\n" + qsTr("Go to fluid type menu?"), function (yes) {
                                if (yes)
                                    navigationManager.gotoFrame(fluidParametersFrame, true)
                            }, {
                                "defaultAnswer": true
                            })
                return false
            }

            WidgetPropReader {
                prop: deviceProps.fluidType
            }
        }
        MenuRowItem {
            prop: deviceProps.deltaT
        }
        MenuRowItem {
            frame: pressureParamsFrame
        }
        MenuRowItem {
            objectName: "temperature1Row"
            property int channelIndex: 0
            frame: temperatureParamsFrame
            caption: temperatureParamsFrame.channelNames[channelIndex]
        }
        MenuRowItem {
            objectName: "temperature2Row"
            property int channelIndex: 1
            frame: temperatureParamsFrame
            caption: temperatureParamsFrame.channelNames[channelIndex]
        }
        MenuRowItem {
            prop: deviceProps.lowerMassFlowRateSetPoint
        }
        MenuRowItem {
            prop: deviceProps.upperMassFlowRateSetPoint
        }
    }

    ColumnMenuFrame {
        id: pressureParamsFrame
        objectName: "pressureParamsFrame"
        caption: qsTr("Pressure sensor")
        prevFrame: heatCalcParametersFrame

        MenuRowItem {
            prop: deviceProps.pressureSensorControl
        }
        MenuRowItem {
            prop: deviceProps.currentConversionRange
            editorProperties: ({
                                   "model": ["0..5 " + deviceDimensions.mA, "0..20 "
                                             + deviceDimensions.mA, "4..20 " + deviceDimensions.mA]
                               })
        }
        MenuRowItem {
            prop: deviceProps.pressureConversionRange
            editorProperties: ({
                                   "model": ["1.0 ", "1.6 ", "2.5 ", "4.0 ", "20 ", "40 ", "60 ", "120 "].map(
                                                function (text) {
                                                    return text + deviceDimensions.megaPa
                                                })
                               })
        }
        MenuRowItem {
            prop: deviceProps.atmosphericPressure
            dimension: qsTranslate("MenuAtmosphericPressure", "mm Hg")
            dimensionItem.scale: 0.85
            dimensionItemAlignVCenter: true
        }
        MenuRowItem {
            prop: deviceProps.pressureDefaultValue
        }
        MenuRowItem {
            prop: deviceProps.rawCurrent
        }
        MenuRowItem {
            prop: deviceProps.pressureCurrent
            valueItem.elide: Text.ElideMiddle
        }
    }

    ColumnMenuFrame {
        id: temperatureParamsFrame
        objectName: "temperatureParamsFrame"

        property int channelIndex: 0
        readonly property var channelNames: [qsTr("RTD1 (supply pipe)"), qsTr(
                "RTD2 (return pipe)")]

        function channelProp(first, second) {
            return channelIndex === 0 ? first : second
        }

        caption: channelNames[channelIndex] !== undefined ? channelNames[channelIndex] : ""
        prevFrame: heatCalcParametersFrame

        // The channel is the one of the row it was entered from.
        onShown: {
            var row = heatCalcParametersFrame.listView.currentItem
            if (row && row.channelIndex !== undefined)
                channelIndex = row.channelIndex
        }

        MenuRowItem {
            prop: temperatureParamsFrame.channelProp(deviceProps.temperature1SensorControl,
                                                     deviceProps.temperature2SensorControl)
        }
        MenuRowItem {
            prop: temperatureParamsFrame.channelProp(deviceProps.rtdType1, deviceProps.rtdType2)
            editorProperties: temperatureParamsFrame.channelIndex === 0 ? {
                                                                              "widthCoeff": 1.8
                                                                          } : {}
        }
        MenuRowItem {
            prop: temperatureParamsFrame.channelProp(deviceProps.temperature1DefaultValue,
                                                     deviceProps.temperature2DefaultValue)
        }
        MenuRowItem {
            objectName: "rawResistanceRow"
            prop: temperatureParamsFrame.channelProp(deviceProps.rawResistance1,
                                                     deviceProps.rawResistance2)
        }
        MenuRowItem {
            objectName: "resistanceRow"
            prop: temperatureParamsFrame.channelProp(deviceProps.resistance1,
                                                     deviceProps.resistance2)
        }
    }

    // ---- data logger ----

    ColumnMenuFrame {
        id: dataLoggerFrame
        objectName: "dataLoggerFrame"
        caption: qsTr("Data logger setup")
        prevFrame: mainFrame

        MenuRowItem {
            prop: deviceProps.loggingInterval
        }
        MenuRowItem {
            prop: deviceProps.cardStatus
        }
        MenuRowItem {
            prop: deviceProps.cardFreeSpace
            dimension: qsTranslate("CardCapacity", "rec.")
            clickable: false

            WidgetPropReader {
                prop: deviceProps.cardCapacity
            }
            WidgetPropReader {
                prop: deviceProps.cardSpaceOccupied
            }
        }
        MenuRowItem {
            prop: deviceProps.eraseMemoryCard
            value: ""
        }
    }

    // ---- periphery ----

    ColumnMenuFrame {
        id: peripherySettingsFrame
        objectName: "peripherySettingsFrame"
        caption: qsTr("Periphery settings")
        prevFrame: mainFrame

        MenuRowItem {
            frame: rs485SettingsFrame
            hidden: menuContext.hideRs485Settings
        }
        MenuRowItem {
            frame: discreteOutputSettings
        }
    }

    ColumnMenuFrame {
        id: rs485SettingsFrame
        objectName: "rs485SettingsFrame"
        caption: qsTr("RS-485 settings")
        prevFrame: peripherySettingsFrame

        MenuRowItem {
            prop: deviceProps.modbusAddress
        }
        MenuRowItem {
            prop: deviceProps.baudRate
        }
        MenuRowItem {
            prop: deviceProps.byteTimeout
        }
        MenuRowItem {
            prop: deviceProps.rtsDelay
        }
        MenuRowItem {
            prop: deviceProps.modbusMode
        }
    }

    ColumnMenuFrame {
        id: discreteOutputSettings
        objectName: "discreteOutputSettings"
        caption: qsTr("Discrete output settings")
        prevFrame: peripherySettingsFrame

        MenuRowItem {
            prop: deviceProps.discreteOutputMode
            editorProperties: ({
                                   "widthCoeff": 1.2
                               })
        }
        MenuRowItem {
            objectName: "discreteOutputParametersRow"
            readonly property int mode: deviceProps.discreteOutputMode
                                        ? deviceProps.discreteOutputMode.value : 0
            caption: qsTr("Parameters")
            // By mode: 1 logical, 2 pulse, 3 frequency; 0 (off) has nothing to set.
            frame: [logicalOutSettingsFrame, logicalOutSettingsFrame, pulseOutSettingsFrame,
                frequencyOutSettingsFrame][mode] || null
            hidden: mode === 0
        }
    }

    ColumnMenuFrame {
        id: logicalOutSettingsFrame
        objectName: "logicalOutSettingsFrame"
        caption: qsTr("Logical out settings")
        prevFrame: discreteOutputSettings

        MenuRowItem {
            prop: deviceProps.discreteOutputLogicalListIndex
            editorProperties: ({
                                   "widthCoeff": 1.2
                               })
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputActiveState
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputStatus
        }
    }

    ColumnMenuFrame {
        id: pulseOutSettingsFrame
        objectName: "pulseOutSettingsFrame"
        caption: qsTr("Pulse out settings")
        prevFrame: discreteOutputSettings

        MenuRowItem {
            prop: deviceProps.discreteOutputPulseListIndex
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputKi
            dimensionItem.scale: 0.85
        }
        CalculationRow {
            objectName: "calculateKiRow"
            prop: deviceProps.discreteOutputCalculateKi
            errorText: qsTr("KI calculation error")
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputUpperLimit
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputImpulseTime
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputActiveState
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputStatus
        }
    }

    ColumnMenuFrame {
        id: frequencyOutSettingsFrame
        objectName: "frequencyOutSettingsFrame"
        caption: qsTr("Frequency out settings")
        prevFrame: discreteOutputSettings

        MenuRowItem {
            prop: deviceProps.discreteOutputFreqListIndex
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputKp
            dimensionItem.scale: 0.90
        }
        CalculationRow {
            objectName: "calculateKpRow"
            prop: deviceProps.discreteOutputCalculateKp
            errorText: qsTr("KP calculation error")
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputUpperLimit
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputLowerLimit
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputMaxFreq
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputActiveState
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputCurrentFreq
        }
        MenuRowItem {
            prop: deviceProps.discreteOutputStatus
        }
    }

    // ---- applications ----

    ColumnMenuFrame {
        id: applicationsFrame
        objectName: "applicationsFrame"
        caption: qsTr("Applications")
        prevFrame: mainFrame

        MenuRowItem {
            frame: scheduleSettingsFrame
        }
        MenuRowItem {
            frame: exportImportFrame
            hidden: menuContext.embedded
        }
        MenuRowItem {
            caption: qsTr("Calculator")
            app: "Calculator"
        }
        MenuRowItem {
            caption: qsTr("Sea battle")
            app: "SeaBattle"
        }
        MenuRowItem {
            caption: qsTr("Balls")
            app: "Balls"
        }
    }

    ScheduleSettingsFrame {
        id: scheduleSettingsFrame
        objectName: "scheduleSettingsFrame"
        caption: qsTr("Schedule")
        prevFrame: applicationsFrame
        entryFrame: intervalScheduleSettings
    }

    ColumnMenuFrame {
        id: intervalScheduleSettings
        objectName: "intervalScheduleSettings"

        property int intervalIndex: 0
        readonly property var group: deviceProps["intervalSchedule" + intervalIndex] || null

        prevFrame: scheduleSettingsFrame

        // The entry is the one of the row it was entered from.
        onShown: {
            var row = scheduleSettingsFrame.listView.currentItem
            if (row && row.intervalIndex !== undefined)
                intervalIndex = row.intervalIndex
            caption = qsTr("Interval") + " " + (intervalIndex + 1)
        }

        MenuRowItem {
            prop: intervalScheduleSettings.group ? intervalScheduleSettings.group.state : null
        }
        MenuRowItem {
            prop: intervalScheduleSettings.group ? intervalScheduleSettings.group.startTime : null
        }
        MenuRowItem {
            prop: intervalScheduleSettings.group ? intervalScheduleSettings.group.endTime : null
        }
        MenuRowItem {
            prop: intervalScheduleSettings.group ? intervalScheduleSettings.group.loggingInterval
                                                 : null
        }
    }

    ExportImportFrame {
        id: exportImportFrame
        objectName: "exportImportFrame"
        prevFrame: applicationsFrame
    }

    // ---- documentation ----

    BaseFrame {
        id: documentationFrame
        objectName: "documentationFrame"
        caption: qsTr("Documentation")
        prevFrame: mainFrame

        FilesExplorer {
            id: documentsList
            objectName: "documentsList"
            anchors.fill: documentationFrame.clientRect
            focus: true
            directory: menuContext.docsDir
            rootDir: menuContext.docsDir
            showDirs: false
            showDotDot: false
            showExtension: false
            // The guide is shipped as HTML and as PDF under one name.
            showFormat: true
            translateFileName: true
            translateContext: "Documentation"
            fileFilter: ["*.html", "*.htm", "*.pdf"]
            fontPixelSize: styleManager.style.menuItemCaptionFontSize
            onChoosed: (filePath, baseName) => {
                           if (menuContext.embedded)
                               screenManager.showViewer(filePath, {
                                                            "caption": baseName
                                                        })
                           else
                               menuContext.openUrl(filePath)
                       }
        }
    }

    // ---- system settings ----

    ColumnMenuFrame {
        id: systemSettingsFrame
        objectName: "systemSettingsFrame"
        caption: qsTr("System settings")
        prevFrame: mainFrame

        MenuRowItem {
            prop: menuProps.displayOff
            hidden: !menuContext.embedded
        }
        MenuRowItem {
            prop: deviceProps.time
        }
        MenuRowItem {
            prop: menuProps.language
            editorProperties: ({
                                   "translate": false
                               })
        }
        MenuRowItem {
            frame: dimensionsFrame
        }
        MenuRowItem {
            frame: deviceStatusFrame
        }
        MenuRowItem {
            frame: powerSavingOptionsFrame
            hidden: !menuContext.embedded
        }
        MenuRowItem {
            prop: deviceProps.calibrateTouchScreen
            hidden: !menuContext.embedded
        }
        MenuRowItem {
            caption: qsTr("Test the touch screen")
            hidden: !menuContext.embedded
            onClicked: {
                if (clickable)
                    screenManager.showPopup("sources/TouchscreenTestPopup.qml", {})
            }
        }
        MenuRowItem {
            objectName: "initializeRow"
            prop: deviceProps.initialize
            clickable: !hidden && !propReadOnly && deviceModbus.connected
        }
        MenuRowItem {
            prop: deviceProps.shutdown
            hidden: !menuContext.embedded
        }
    }

    ColumnMenuFrame {
        id: dimensionsFrame
        objectName: "dimensionsFrame"
        caption: qsTr("Units")
        prevFrame: systemSettingsFrame

        DimensionRow {
            prop: menuProps.volumeDimension
        }
        DimensionRow {
            prop: menuProps.flowRateDimension
        }
        DimensionRow {
            prop: menuProps.weightDimension
            hidden: !starter.isHeatSupported
        }
        DimensionRow {
            prop: menuProps.massFlowRateDimension
            hidden: !starter.isHeatSupported
        }
        DimensionRow {
            prop: menuProps.heatDimension
            hidden: !starter.isHeatSupported
        }
        DimensionRow {
            prop: menuProps.thermalPowerDimension
            hidden: !starter.isHeatSupported
        }
    }

    ColumnMenuFrame {
        id: deviceStatusFrame
        objectName: "deviceStatusFrame"
        caption: qsTr("Device status")
        prevFrame: systemSettingsFrame

        readonly property bool hasBattery: deviceProps.powerStatus
                                           && deviceProps.powerStatus.hasBattery === true

        MenuRowItem {
            frame: deviceModulesFrame

            // The battery estimate depends on the display state.
            WidgetPropReader {
                prop: deviceProps.sleepState
            }
        }
        MenuRowItem {
            objectName: "failuresRow"
            frame: failuresFrame
            value: "b" + deviceModbus.failures.binaryValue
            hidden: deviceModbus.failures.value === 0
        }
        MenuRowItem {
            prop: deviceProps.powerStatus
        }
        MenuRowItem {
            objectName: "chargeLevelRow"
            prop: deviceProps.chargeLevel
            value: deviceStatusFrame.hasBattery && prop ? prop.formatValue : "..."
            showDimension: deviceStatusFrame.hasBattery
        }
        MenuRowItem {
            objectName: "batteryTimeRow"
            standardHeight: 95
            clickable: false
            caption: qsTr("Battery time remains\n   display on\n   display off")
            valueItemMultiline: true
            valueItem.anchors.verticalCenter: undefined
            valueItem.anchors.bottom: bottom
            valueItem.anchors.bottomMargin: (95 - captionItem.contentHeight) / 2
            value: {
                var withDisplay = deviceProps.batteryRemainWithDisplay
                var withoutDisplay = deviceProps.batteryRemainWithoutDisplay
                if (!withDisplay || !withoutDisplay || !(withDisplay.value > 0))
                    return "-"
                return withDisplay.formatValue + "\n" + withoutDisplay.formatValue
            }

            WidgetPropReader {
                prop: deviceProps.batteryRemainWithDisplay
            }
            WidgetPropReader {
                prop: deviceProps.batteryRemainWithoutDisplay
            }
        }
        MenuRowItem {
            objectName: "softwareIdRow"
            clickable: false
            caption: qsTr("Software identificator")
            value: menuContext.zunfel ? "Zunfel Qvx" : "Dorrik Tavrin"
        }
        MenuRowItem {
            objectName: "serialNumberRow"
            prop: deviceProps.serialNumber
            value: prop && prop.modbusItem ? prop.modbusItem.formatValue : ""
        }
        // The report is read elsewhere (connection, identity): this row shows it only.
        MenuRowItem {
            objectName: "softwareVersionRow"
            clickable: false
            caption: deviceProps.getDevNameVersion ? deviceProps.getDevNameVersion.caption : ""
            value: deviceProps.getDevNameVersion && deviceProps.getDevNameVersion.version
                   !== undefined ? deviceProps.getDevNameVersion.version : ""
        }
        MenuRowItem {
            prop: deviceProps.firmwareCrc16
            standardHeight: styleManager.style.menuItemRowHeight + 20
        }
        MenuRowItem {
            prop: deviceProps.usbState
        }
    }

    ColumnMenuFrame {
        id: deviceModulesFrame
        objectName: "deviceModulesFrame"
        caption: qsTr("Modules")
        prevFrame: deviceStatusFrame

        MenuRowItem {
            prop: deviceProps.meterVersion
            clickable: false
        }
        MenuRowItem {
            objectName: "menuVersionRow"
            clickable: false
            caption: qsTr("Menu version")
            value: menuContext.menuVersion
        }
    }

    ColumnMenuFrame {
        id: failuresFrame
        objectName: "failuresFrame"
        caption: qsTr("Failures")
        prevFrame: deviceStatusFrame

        FailureRow {
            prop: deviceProps.failureGpio
        }
        FailureRow {
            prop: deviceProps.failureKeyboard
        }
        FailureRow {
            prop: deviceProps.failureGauge
        }
        FailureRow {
            prop: deviceProps.failureI2cEeprom
        }
        FailureRow {
            prop: deviceProps.failureEFiles
        }
        FailureRow {
            prop: deviceProps.failureRtc
        }
        FailureRow {
            prop: deviceProps.failureParams
        }
        FailureRow {
            prop: deviceProps.failureKeyboardTask
        }
        FailureRow {
            prop: deviceProps.failureFatTask
        }
        FailureRow {
            prop: deviceProps.failureArchTask
        }
        FailureRow {
            prop: deviceProps.failureAppTask
        }
        FailureRow {
            prop: deviceProps.failureModbusTask
        }
        FailureRow {
            prop: deviceProps.failureUsb
        }
        FailureRow {
            prop: deviceProps.failureSom
        }
        FailureRow {
            prop: deviceProps.failureAfe
        }
        FailureRow {
            prop: deviceProps.failureNorFlash
        }
    }

    ColumnMenuFrame {
        id: powerSavingOptionsFrame
        objectName: "powerSavingOptionsFrame"
        caption: qsTr("Power saving options")
        prevFrame: systemSettingsFrame

        MenuRowItem {
            prop: menuProps.batterySleepInterval
        }
        MenuRowItem {
            prop: menuProps.adapterSleepInterval
        }
        BrightnessMenuItem {
            objectName: "brightnessRow"
            minValue: powerManager.minBacklightBrightness || 0
            maxValue: powerManager.maxBacklightBrightness || 0
            value: powerManager.backlightBrightness || 0
            onValueSet: newValue => powerManager.backlightBrightness = newValue
        }
    }

    // ---- sites ----

    SitesFrame {
        id: sitesFrame
        objectName: "sitesFrame"
        prevFrame: measurementParametersFrame
        editFrame: editSiteFrame
    }
    EditSiteFrame {
        id: editSiteFrame
        objectName: "editSiteFrame"
        prevFrame: sitesFrame
    }

    // ---- row types of this tree ----

    // A unit choice: its value column is narrower than other rows'.
    component DimensionRow: MenuRowItem {
        valueItem.width: Math.min(valueItem.implicitWidth,
                                  styleManager.style.menuItemRowValueWidth - 20)
    }

    // A failure flag: the value in red while the flag is set.
    component FailureRow: MenuRowItemSmall {
        captionItemElide: false
        valueItem.color: prop && prop.value === true ? "#D00000" : "black"
    }

    // A command that calculates a coefficient: its failure is reported only when this menu
    // started the calculation by a write.
    component CalculationRow: MenuRowItem {
        id: calculationRow

        property string errorText: ""
        property bool isCalculating: false
        readonly property var commandItem: prop ? (prop.modbusItemOut ? prop.modbusItemOut
                                                                       : prop.modbusItem) : null

        Connections {
            target: calculationRow.commandItem
            ignoreUnknownSignals: true
            function onBeforeWrite() {
                calculationRow.isCalculating = true
            }
            function onAfterWrite() {
                calculationRow.isCalculating = false
            }
            function onError() {
                if (!calculationRow.isCalculating)
                    return
                calculationRow.isCalculating = false
                screenManager.showMessageBoxDialog(calculationRow.errorText)
            }
        }
    }
}
