import QtQuick
import Menu 1.0

// The menu's own choices, each kept under its property name. With the default names the element
// opens the same settings store as the context object's connection keys.
VSettings {
    property int flowRateDimensionIndex: 0
    property int volumeDimensionIndex: 0
    property int weightDimensionIndex: 0
    property int massFlowRateDimensionIndex: 0
    property int heatDimensionIndex: 0
    property int thermalPowerDimensionIndex: 0
    // A file name; the style's wallpaper shows while the named file does not exist.
    property string wallpaper: ""
    property int batterySleepIntervalIndex: 2
    property int adapterSleepIntervalIndex: 3
    property date exportArchFrom: new Date()
    property date exportArchTo: new Date()
    // Site indexes; a typed list, so the last value is still readable when the element is
    // destroyed and saves itself. The store keeps it as a plain list.
    property list<int> archExportSites: []
    property date archChartsFrom: new Date()
    property date archChartsTo: new Date()
    property bool archRecordShowAccumulated: false
}
