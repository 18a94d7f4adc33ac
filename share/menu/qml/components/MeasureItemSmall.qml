import QtQuick
import DorrikBus 1.0
import VPlots 1.0

// A measurement tile: a property's short caption, value and unit, with its recent trend behind
// them; a click opens the value large.
FocusScope {
    id: measureItem

    property var prop: null
    property bool useTrend: false
    property string trendRole: "value"
    property int trendSize: 300
    property var trendModel: ownTrend
    readonly property bool usePropModel: trendModel === ownTrend
    property real minYHeight: 0
    property var otherProps: []
    property var trendModbusItem: null
    property bool focusOnClick: false
    property bool popupOnClick: true
    // The value is not current: it shows as not read until the next good answer.
    property bool notRead: false
    // What shows as the value, and the unit column's width: the status tiles change them.
    property string valueText: prop && prop.formatValue !== undefined ? prop.formatValue : ""
    property color valueColor: styleManager.style.measureItemSmallFontColor
    property real captionWidth: styleManager.style.measureItemSmallCaptionWidth
    property real dimensionWidth: styleManager.style.measureItemSmallDimensionWidth
    readonly property alias ownTrendModel: ownTrend
    readonly property alias captionItem: captionText
    readonly property alias valueItem: valueText
    readonly property alias dimensionItem: dimensionText
    readonly property alias plot: plot
    readonly property bool pressed: mouseArea.pressed

    signal clicked(var prop)

    width: styleManager.style.measureItemSmallWidth
    height: styleManager.style.measureItemSmallHeight

    function activate() {
        if (focusOnClick)
            forceActiveFocus()
        clicked(prop)
    }

    function showBigDialog() {
        screenManager.showPopup("sources/BigMeasureDialog.qml", {
                                    "prop": prop,
                                    "trendSize": trendSize,
                                    "showTrend": useTrend,
                                    "trendRole": trendRole,
                                    "minYHeight": minYHeight,
                                    "trendModel": trendModel,
                                    "otherProps": otherProps,
                                    "trendModbusItem": trendModbusItem
                                })
    }

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                || event.key === Qt.Key_Space) {
            event.accepted = true
            navigationManager.wasKeyNavigation()
            measureItem.activate()
            if (measureItem.popupOnClick)
                measureItem.showBigDialog()
        }
    }

    ModbusTrendModel {
        id: ownTrend
        readonly property bool collecting: measureItem.usePropModel && measureItem.useTrend
                                           && deviceModbus.connected
                                           && deviceProps.measureStatus.measuringDeferred === true
        maxCount: measureItem.trendSize
        enabled: collecting
        running: collecting
        interval: 1000
        currentTime: deviceProps.time.value
        sourceValue: measureItem.prop && measureItem.prop.valueFromDevice !== undefined
                     ? Number(measureItem.prop.valueFromDevice) : 0
        ratio: measureItem.prop && measureItem.prop.ratio !== undefined ? measureItem.prop.ratio : 1
    }

    MenuItemsBackground {
        color: measureItem.pressed ? styleManager.style.pressedColor
                                   : styleManager.style.menuItemBackColor
    }
    FocusRect {
        active: measureItem.activeFocus
        filled: false
    }

    PropPlot {
        id: plot
        objectName: "tilePlot"
        anchors.fill: parent
        anchors.margins: 4
        visible: measureItem.useTrend
        opacity: 0.35
        prop: measureItem.prop
        model: measureItem.useTrend ? measureItem.trendModel : null
        yRole: measureItem.usePropModel ? "value" : measureItem.trendRole
        showXMin: false
        showXMax: false
        showYAverage: false
        // The tile's own texts say the value; the chart behind them only its course.
        showYLabels: false
        alignH: VPlot.AlignHRight
        scaleV: VPlot.ScaleVScopePeakToPeak
        scaleVPercents: 100
        minYHeight: measureItem.minYHeight
        zeroTime: deviceModbus.timeRo ? deviceModbus.timeRo.value : new Date()
    }

    CleverText {
        id: captionText
        objectName: "tileCaption"
        anchors.left: parent.left
        anchors.leftMargin: 3 * styleManager.style.mm
        anchors.verticalCenter: parent.verticalCenter
        width: measureItem.captionWidth
        text: measureItem.prop ? measureItem.prop.shortCaption : ""
        font.family: styleManager.style.measureItemSmallFontFamily
        font.pixelSize: styleManager.style.measureItemSmallFontSize
        color: styleManager.style.measureItemSmallFontColor
    }
    CleverText {
        id: valueText
        objectName: "tileValue"
        anchors.left: captionText.right
        anchors.right: dimensionText.left
        anchors.rightMargin: styleManager.style.mm
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignRight
        text: measureItem.notRead ? styleManager.style.notReadValueText : measureItem.valueText
        color: measureItem.notRead ? styleManager.style.notReadFontColor : measureItem.valueColor
        font.family: styleManager.style.measureItemSmallFontFamily
        font.pixelSize: styleManager.style.mediumFontSize
    }
    Text {
        id: dimensionText
        objectName: "tileDimension"
        anchors.right: parent.right
        anchors.rightMargin: 2 * styleManager.style.mm
        anchors.verticalCenter: parent.verticalCenter
        width: measureItem.dimensionWidth
        elide: Text.ElideRight
        text: measureItem.prop && measureItem.prop.dimension ? measureItem.prop.dimension : ""
        font.family: styleManager.style.measureItemSmallFontFamily
        font.pixelSize: styleManager.style.measureItemSmallDimensionFontSize
        color: styleManager.style.measureItemSmallFontColor
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: {
            measureItem.activate()
            if (measureItem.popupOnClick)
                measureItem.showBigDialog()
        }
    }
}
