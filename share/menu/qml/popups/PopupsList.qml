import QtQuick
import "../components"

// The list of minimized popups: a row brings its popup back, the cross at its end destroys it.
// The list closes itself once nothing is minimized any more.
BasePopup {
    id: popupsList

    property var popups: []
    readonly property alias listView: list

    overrideTopPanel: true
    overrideBottomPanel: true
    closeOnFaderClick: true

    function refresh() {
        var result = []
        var minimized = screenManager.minimizedPopups
        for (var i = 0; minimized && i < minimized.length; ++i) {
            if (minimized[i])
                result.push(minimized[i])
        }
        popups = result
    }

    function choose(index) {
        var chosen = popups[index]
        if (!chosen)
            return
        close()
        screenManager.expandPopup(chosen)
    }

    function closeEntry(index) {
        if (popups[index])
            screenManager.closePopup(popups[index])
    }

    Component.onCompleted: refresh()

    Connections {
        target: screenManager
        function onPopupsChanged() {
            popupsList.refresh()
            if (popupsList.popups.length === 0 && !popupsList.destroying)
                popupsList.close()
        }
    }

    Rectangle {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: -styleManager.style.bottomPanelHeight / 2
        width: styleManager.style.popupsListItemWidth
        height: list.height
        color: "#AA000000"

        ListView {
            id: list
            objectName: "popupsListView"
            width: parent.width
            height: Math.min(count * styleManager.style.popupsListItemHeight,
                             popupsList.height - styleManager.style.bottomPanelHeight)
            clip: true
            focus: true
            keyNavigationEnabled: true
            model: popupsList.popups
            highlightMoveDuration: 0
            highlight: Item {
                width: styleManager.style.popupsListCaptionWidth + styleManager.style.popupsListIconWidth
                height: styleManager.style.popupsListItemHeight
                // The rows are dark: a dark frame would hardly show on them.
                FocusRect {
                    objectName: "popupsListFocusFrame"
                    anchors.fill: parent
                    filled: false
                    borderColor: "#EEFFFFFF"
                }
            }

            delegate: Item {
                id: row
                width: list.width
                height: styleManager.style.popupsListItemHeight

                Rectangle {
                    anchors.fill: parent
                    color: styleManager.style.pressedColor
                    opacity: rowArea.pressed ? 1 : rowArea.containsMouse ? 0.2 : 0
                }
                Rectangle {
                    width: parent.width
                    height: 1
                    color: "#44FFFFFF"
                }
                Text {
                    x: 0
                    width: styleManager.style.popupsListCaptionWidth
                    height: parent.height
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    wrapMode: Text.WordWrap
                    text: qsTr(modelData.caption)
                    color: "white"
                    font.pixelSize: 25
                }
                Image {
                    objectName: "popupsListIcon"
                    x: styleManager.style.popupsListCaptionWidth + 5
                    y: 5
                    width: styleManager.style.popupsListIconWidth - 10
                    height: parent.height - 10
                    fillMode: Image.PreserveAspectFit
                    source: modelData.icon
                }
                MouseArea {
                    id: rowArea
                    objectName: "popupsListRow"
                    width: styleManager.style.popupsListCaptionWidth + styleManager.style.popupsListIconWidth
                    height: parent.height
                    hoverEnabled: !menuContext.embedded
                    onClicked: popupsList.choose(index)
                }
                MouseArea {
                    objectName: "popupsListCloseArea"
                    anchors.right: parent.right
                    width: styleManager.style.popupsListCloseWidth
                    height: parent.height
                    onClicked: popupsList.closeEntry(index)
                    Image {
                        anchors.centerIn: parent
                        width: styleManager.style.popupsListCloseImageWidth
                        fillMode: Image.PreserveAspectFit
                        source: "../" + styleManager.style.popupsListCloseImage
                    }
                }
            }

            Keys.onPressed: (event) => {
                if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                    popupsList.choose(list.currentIndex)
                    event.accepted = true
                } else if (event.key === Qt.Key_Delete || event.key === Qt.Key_Backspace) {
                    popupsList.closeEntry(list.currentIndex)
                    event.accepted = true
                }
            }
        }
    }
}
