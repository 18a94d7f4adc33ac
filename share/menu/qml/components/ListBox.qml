import QtQuick

// A list chooser in place (the list editor without the popup): the current entry is the value.
FocusScope {
    id: listBox

    property var initValue: undefined
    readonly property bool valueAsIndex: typeof initValue === "number"
    readonly property var value: valueAsIndex ? list.currentIndex
                                              : (list.currentIndex >= 0 && model
                                                 ? model[list.currentIndex] : undefined)
    property var model: []
    property string translateContext: "ListBo x"
    property real widthCoeff: 1
    property int maxListCount: 100
    property bool showSelectedRect: true
    property alias listView: list
    property alias currentIndex: list.currentIndex
    readonly property real itemHeight: styleManager.style.listEditorItemHeight
    readonly property int count: model ? model.length : 0
    readonly property bool arrowsShown: count > maxListCount || count * itemHeight > height

    signal clicked(int index)
    signal changed

    function startIndex() {
        if (initValue === undefined || initValue === null)
            return -1
        if (valueAsIndex)
            return initValue
        return model ? model.indexOf(initValue) : -1
    }

    width: styleManager.style.listEditorItemWidth * widthCoeff
    implicitHeight: Math.min(count, maxListCount) * itemHeight

    onInitValueChanged: list.currentIndex = startIndex()
    onModelChanged: list.currentIndex = startIndex()

    ArrowButton {
        id: upArrow
        anchors.top: parent.top
        width: parent.width
        height: listBox.arrowsShown ? listBox.itemHeight : 0
        visible: listBox.arrowsShown
        autoExpand: false
        onClicked: list.currentIndex = Math.max(0, list.currentIndex - 1)
    }

    ListView {
        id: list
        anchors.top: upArrow.bottom
        anchors.bottom: downArrow.top
        width: parent.width
        clip: true
        focus: true
        keyNavigationEnabled: true
        model: listBox.model
        currentIndex: listBox.startIndex()
        boundsBehavior: Flickable.StopAtBounds

        // The current entry is kept in the middle, as far as the ends allow.
        function centre() {
            if (currentIndex >= 0)
                positionViewAtIndex(currentIndex, ListView.Center)
        }
        onCurrentIndexChanged: {
            centre()
            listBox.changed()
        }
        onHeightChanged: centre()
        onCountChanged: centre()

        delegate: Rectangle {
            objectName: "listBoxEntry"
            width: list.width
            height: listBox.itemHeight
            radius: 3
            color: listBox.showSelectedRect && index === list.currentIndex
                   ? styleManager.style.focusedColor : styleManager.style.baseButtonBackColor
            border.width: 1
            border.color: styleManager.style.baseButtonBorderColor

            Rectangle {
                anchors.fill: parent
                anchors.margins: 1
                radius: 3
                color: "transparent"
                border.width: 1
                border.color: styleManager.style.baseButtonInnerBorderColor
            }
            Text {
                anchors.fill: parent
                anchors.margins: 4
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                text: qsTranslate(listBox.translateContext, modelData)
                font.family: styleManager.style.mediumFontFamily
                font.pixelSize: styleManager.style.mediumFontSize
                color: styleManager.style.mediumFontColor
            }
            MouseArea {
                anchors.fill: parent
                onClicked: {
                    list.currentIndex = index
                    listBox.clicked(index)
                }
            }
        }
    }

    ArrowButton {
        id: downArrow
        anchors.bottom: parent.bottom
        width: parent.width
        height: listBox.arrowsShown ? listBox.itemHeight : 0
        visible: listBox.arrowsShown
        autoExpand: false
        angle: 180
        onClicked: list.currentIndex = Math.min(listBox.count - 1, list.currentIndex + 1)
    }
}
