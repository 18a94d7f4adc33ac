// Stand-in for the device's status strip: the flow rate of the live block, once read.
import QtQuick

Item {
    Text {
        objectName: "flowRateText"
        anchors.verticalCenter: parent.verticalCenter
        anchors.right: parent.right
        anchors.rightMargin: 10
        visible: deviceModbus.mainReadGroup.wasRead
        text: "Q " + Number(deviceModbus.flowRate.value).toFixed(3) + " m³/h"
        color: styleManager.style.topFontColor
        font.family: styleManager.style.topFontFamily
        font.pixelSize: Math.min(styleManager.style.topFontSize, parent.height * 0.7)
    }
}
