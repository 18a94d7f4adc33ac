import QtQuick
import "../components"

// One quantity of the archival charts. A switchable one has two roles, [total, interval], and a
// press while it is checked switches the dialog between them.
Button {
    id: curveButton

    property var roles: []
    property var prop: null
    property string curveCaption: ""
    property var containerItem: null
    property bool showAccumulated: containerItem ? containerItem.showAccumulated : true
    readonly property bool switchable: roles.length > 1
    property var plotCurveItem: null
    readonly property string yRole: switchable ? (showAccumulated ? roles[0] : roles[1])
                                               : (roles.length > 0 ? roles[0] : "")

    checked: plotCurveItem !== null && plotCurveItem.yRole === yRole
    autoExpand: false
    caption: curveCaption

    onClicked: {
        if (!containerItem)
            return
        if (checked && switchable)
            containerItem.showAccumulated = !containerItem.showAccumulated
        else
            containerItem.checkedButton = curveButton
    }

    // A triangle mark and the counters chosen, on a checked switchable button.
    Image {
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 3
        width: 14
        height: 14
        visible: curveButton.switchable && curveButton.checked
        source: Qt.resolvedUrl("../" + styleManager.style.styleFolder + "button_triangle.png")
        fillMode: Image.PreserveAspectFit
    }
    Text {
        objectName: "curveModeText"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 2
        visible: curveButton.switchable && curveButton.checked
        text: curveButton.showAccumulated ? qsTr("Total") : qsTr("For interval")
        font.pixelSize: 14
        font.bold: true
        color: "#EEEEEE"
        style: Text.Outline
        styleColor: "#444444"
    }
}
