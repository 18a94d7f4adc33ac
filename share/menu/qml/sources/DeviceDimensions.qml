import QtQuick
import "../dimensions"

// The unit texts of the menu and the units the user may switch. A switchable unit keeps its
// choice in menuSettings; the KP and Ki units follow the volume unit and keep nothing.
// The superscripts are appended untranslated, so translators see only the letters.
QtObject {
    id: deviceDimensions

    property string m3h: qsTr("m") + "³/" + qsTr("h")
    property string m3s: qsTr("m") + "³/" + qsTr("s")
    property string lmin: qsTr("l/min")
    property string lh: qsTr("l/h")
    property string h: qsTr("h")
    property string m3: qsTr("m") + "³"
    property string l: qsTr("l")
    property string us: qsTr("µs")
    property string m_s: qsTr("m/s")
    property string mm: qsTr("mm")
    property string ms: qsTr("ms")
    property string kms: qsTr("km/s")
    property string tempC: "°C"
    property string acceleration: qsTr("m/s") + "²"
    property string min: qsTr("min")
    property string kp: qsTr("imp/m") + "³"
    property string kp_l: qsTr("imp/l")
    property string ki: qsTr("m") + "³/" + qsTr("imp")
    property string ki_l: qsTr("l/imp")
    property string hz: qsTr("Hz")
    property string kHz: qsTr("kHz")
    property string baud: qsTr("baud")
    property string s: qsTr("s")
    property string cSt: qsTr("cSt")
    property string th: qsTr("t/h")
    property string gCalh: qsTr("Gcal/h")
    property string t: qsTr("t")
    property string gCal: qsTr("Gcal")
    property string mA: qsTr("mA")
    property string megaPa: qsTr("MPa")
    property string ohms: qsTr("ohms")
    property string mmHg: qsTr("mm Hg")
    property string kg: qsTr("kg")
    property string kgh: qsTr("kg/h")
    property string kgmin: qsTr("kg/min")
    property string ts: qsTr("t/s")
    property string gJ: qsTr("GJ")
    property string mWh: qsTr("MW*h")
    property string gJh: qsTr("GJ/h")
    property string mW: qsTr("MW")

    property BaseDimension flowRateDimension: BaseDimension {
        model: [deviceDimensions.m3h, deviceDimensions.lh, deviceDimensions.lmin,
            deviceDimensions.m3s]
        ratios: [1, 1000, 1000 / 60, 1 / 3600]
        sourceItem: menuSettings
        sourceName: "flowRateDimensionIndex"
    }
    property BaseDimension volumeDimension: BaseDimension {
        property bool usingMeters: index === 0

        model: [deviceDimensions.m3, deviceDimensions.l]
        ratios: [1, 1000]
        sourceItem: menuSettings
        sourceName: "volumeDimensionIndex"
    }
    property BaseDimension weightDimension: BaseDimension {
        model: [deviceDimensions.t, deviceDimensions.kg]
        ratios: [1, 1000]
        sourceItem: menuSettings
        sourceName: "weightDimensionIndex"
    }
    property BaseDimension massFlowRateDimension: BaseDimension {
        model: [deviceDimensions.th, deviceDimensions.kgh, deviceDimensions.kgmin,
            deviceDimensions.ts]
        ratios: [1, 1000, 1000 / 60, 1 / 3600]
        sourceItem: menuSettings
        sourceName: "massFlowRateDimensionIndex"
    }
    property BaseDimension heatDimension: BaseDimension {
        model: [deviceDimensions.gCal, deviceDimensions.gJ, deviceDimensions.mWh]
        ratios: [1, 4.1868, 1.163]
        sourceItem: menuSettings
        sourceName: "heatDimensionIndex"
    }
    property BaseDimension thermalPowerDimension: BaseDimension {
        model: [deviceDimensions.gCalh, deviceDimensions.gJh, deviceDimensions.mW]
        ratios: [1, 4.1868, 1.163]
        sourceItem: menuSettings
        sourceName: "thermalPowerDimensionIndex"
    }
    property BaseDimension kpDimension: BaseDimension {
        model: [deviceDimensions.kp, deviceDimensions.kp_l]
        ratios: [1, 1 / 1000]
        index: deviceDimensions.volumeDimension.usingMeters ? 0 : 1
    }
    property BaseDimension kiDimension: BaseDimension {
        model: [deviceDimensions.ki, deviceDimensions.ki_l]
        ratios: [1, 1000]
        index: deviceDimensions.volumeDimension.usingMeters ? 0 : 1
    }
}
