import QtQuick
import "components"

// The navigation strip: left page, home, right page.
Rectangle {
    id: bottomPanel

    color: styleManager.style.bottomPanelBackColor
    gradient: styleManager.style.bottomPanelGradient
    border.color: styleManager.style.bottomPanelBorderColor
    border.width: styleManager.style.bottomPanelBorderWidth
    radius: styleManager.style.bottomPanelRadius

    Image {
        anchors.fill: parent
        source: styleManager.style.bottomPanelImage === "" ? ""
                                                            : "../" + styleManager.style.bottomPanelImage
        fillMode: styleManager.style.bottomPanelImageFillMode
        visible: source != ""
    }

    Row {
        anchors.centerIn: parent
        height: parent.height

        BottomButton {
            id: leftButton
            objectName: "leftPageButton"
            height: parent.height
            width: styleManager.style.bottomButtonWidth + 20
            text: qsTr("< Measurements")
            enabled: navigationManager.currentPageIndex !== navigationManager.piLeft
            font.bold: !enabled
            opacity: enabled ? 1 : 0.1
            onClicked: navigationManager.gotoPage(navigationManager.piLeft)
        }

        HomeButton {
            objectName: "homeButton"
            height: parent.height
            width: styleManager.style.bottomButtonWidth - 40
            image: styleManager.style.bottomButtonHomeImage
            onClicked: navigationManager.goHome()
        }

        BottomButton {
            id: rightButton
            objectName: "rightPageButton"
            height: parent.height
            width: styleManager.style.bottomButtonWidth + 20
            text: qsTr("Data logger >")
            enabled: navigationManager.currentPageIndex !== navigationManager.piRight
            font.bold: !enabled
            opacity: enabled ? 1 : 0.1
            onClicked: navigationManager.gotoPage(navigationManager.piRight)
        }
    }
}
