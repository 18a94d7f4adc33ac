import QtQuick

// The current site's name in the status strip, smaller when it is long.
Item {
    id: objectIndicator

    property bool active: false
    property string text: typeof deviceProps !== "undefined" && deviceProps
                          ? deviceProps.siteName.formatValue : ""
    readonly property alias textItem: textItem

    signal clicked()

    implicitWidth: textItem.implicitWidth

    Text {
        id: textItem
        objectName: "siteNameText"
        anchors.fill: parent
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
        elide: Text.ElideRight
        text: objectIndicator.text
        color: styleManager.style.currentSiteFontColor
        font.family: styleManager.style.currentSiteFontFamily
        font.pixelSize: objectIndicator.text.length > 10
                        ? Math.max(1, objectIndicator.height / 2 - 3)
                        : styleManager.style.currentSiteFontSize
    }
    TopBackgroundHighlighter {
        visible: mouseArea.pressed
    }
    MouseArea {
        id: mouseArea
        anchors.fill: parent
        enabled: objectIndicator.active && objectIndicator.text !== ""
        onClicked: objectIndicator.clicked()
    }
}
