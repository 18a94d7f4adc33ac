import QtQuick
import "../../../../share/menu/qml/frametypes"
import "../../../../share/menu/qml/widgets"
import "../../../../share/menu/qml/properties"

// A small menu tree: a main frame with rows of every kind, a frame that goes back to the left
// page, and a menu longer than its frame.
Item {
    id: tree

    property alias mainFrame: mainFrame
    property alias pageFrame: pageFrame
    property alias longFrame: longFrame
    property alias digitFrame: digitFrame
    property var events: []
    property int clicks: 0
    property string lastClicked: ""

    anchors.fill: parent

    function log(event) {
        events.push(event)
        events = events
    }
    function clickedRow(name) {
        clicks++
        lastClicked = name
    }

    StandInItem {
        id: roItem
        readOnly: true
        value: 3
    }
    IntProperty {
        id: roProp
        caption: "read-only"
        modbusItem: roItem
    }

    ColumnMenuFrame {
        id: mainFrame
        objectName: "mainFrame"
        caption: "Main"
        onShown: forward => tree.log("mainFrame shown " + forward)
        onHidden: forward => tree.log("mainFrame hidden " + forward)

        MenuRowItem {
            objectName: "first"
            caption: "first"
            onClicked: tree.clickedRow("first")
        }
        MenuRowItem {
            objectName: "readOnly"
            prop: roProp
        }
        MenuRowItem {
            objectName: "toPageFrame"
            frame: pageFrame
        }
    }

    ColumnMenuFrame {
        id: pageFrame
        objectName: "pageFrame"
        caption: "Back to a page"
        prevFrame: mainFrame
        prevPage: 0
        onShown: forward => tree.log("pageFrame shown " + forward)
        onHidden: forward => tree.log("pageFrame hidden " + forward)

        MenuRowItem {
            caption: "only row"
        }
    }

    ColumnMenuFrame {
        id: digitFrame
        objectName: "digitFrame"
        caption: "Digits"
        prevFrame: mainFrame

        MenuRowItem {
            objectName: "row1"
            caption: "one"
            onClicked: tree.clickedRow("row1")
        }
        MenuRowItem {
            objectName: "row2"
            caption: "two"
            hidden: true
            onClicked: tree.clickedRow("row2")
        }
        MenuRowItem {
            objectName: "row3"
            caption: "three"
            onClicked: tree.clickedRow("row3")
        }
        MenuRowItem {
            objectName: "row4"
            caption: "four"
            onClicked: tree.clickedRow("row4")
        }
    }

    ColumnMenuFrame {
        id: longFrame
        objectName: "longFrame"
        caption: "Long"
        prevFrame: mainFrame

        MenuRowItemSmallHeader {
            caption: "header"
        }
        MenuRowItem { caption: "row 1" }
        MenuRowItem { caption: "row 2" }
        MenuRowItem { caption: "row 3" }
        MenuRowItem { caption: "row 4" }
        MenuRowItem { caption: "row 5" }
        MenuRowItem { caption: "row 6" }
        MenuRowItem { caption: "row 7" }
        MenuRowItem { caption: "row 8" }
        MenuRowItem { caption: "row 9" }
        MenuRowItem { caption: "row 10" }
        MenuRowItem { caption: "row 11" }
        MenuRowItem { caption: "row 12" }
        MenuRowItem { caption: "row 13" }
        MenuRowItem { caption: "row 14" }
        MenuRowItem { caption: "row 15" }
        MenuRowItem { caption: "row 16" }
        MenuRowItem { caption: "row 17" }
        MenuRowItem { caption: "row 18" }
        MenuRowItem { caption: "row 19" }
        MenuRowItem { caption: "row 20" }
    }
}
