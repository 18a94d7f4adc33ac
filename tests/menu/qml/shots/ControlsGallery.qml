import QtQuick
import QtQml.Models
import "../../../../share/menu/qml/components"

// The controls side by side, for a reviewer's pictures: page 0 the buttons, inputs and lists,
// page 1 the date-time fields, the brightness row, tabs and texts, page 2 the progress displays.
Rectangle {
    id: gallery

    property int page: 0
    property string explorerDir: ""
    readonly property real unit: Math.min(width / 800, height / 600)

    color: "#4F7AA8"

    Flow {
        visible: gallery.page === 0
        anchors.fill: parent
        anchors.margins: 8
        spacing: 8

        Button {
            caption: "Ok"
        }
        Button {
            caption: "Checked"
            checkable: true
            checked: true
        }
        Button {
            caption: "Unchecked"
            checkable: true
        }
        Button {
            caption: "Disabled"
            enabled: false
        }
        ArrowButton {
            autoExpand: false
            width: smallButton.width
        }
        ArrowButton {
            autoExpand: false
            width: smallButton.width
            angle: 180
        }
        SmallButton {
            id: smallButton
            caption: "S"
        }
        CloseButton {
        }
        MinimizeButton {
        }
        CheckBox {
            text: "Heat channel"
            checked: true
        }
        CheckBox {
            text: "Second site"
        }
        TextInputDefault {
            text: "Boiler room 2"
        }
        UpDownIntEdit {
            minValue: 0
            maxValue: 59
            value: 42
            height: 150 * gallery.unit
            width: 60
        }
        UpDownIntEdit {
            list: ["january", "february", "march"]
            value: 1
            height: 150 * gallery.unit
            width: 150
        }
        ListBox {
            height: implicitHeight
            model: ["m³/h", "l/s", "l/min", "l/h"]
            initValue: 1
        }
        Loader {
            // Only on the page that has a folder to show.
            active: gallery.explorerDir !== ""
            width: 200 * gallery.unit
            height: 150 * gallery.unit
            sourceComponent: FilesExplorer {
                fontPixelSize: 5 * starter.mm
                rootDir: gallery.explorerDir
                directory: gallery.explorerDir + "/components"
                canNavigate: true
                showDotDot: true
                Rectangle {
                    anchors.fill: parent
                    color: "#22FFFFFF"
                    z: -1
                }
            }
        }
    }

    Column {
        visible: gallery.page === 1
        anchors.fill: parent
        anchors.margins: 8
        spacing: 8

        DateTimeEdit {
            id: dateTime
            Component.onCompleted: setValue(new Date(2024, 2, 31, 14, 5, 9))
        }
        BrightnessMenuItem {
            width: parent.width
            value: 0.6
        }
        Row {
            spacing: 8
            width: parent.width

            Column {
                width: parent.width - mainButton.width - parent.spacing
                spacing: 8

                TabControl {
                    id: tabs
                    model: ObjectModel {
                        Tab {
                            caption: "Flow"
                        }
                        Tab {
                            caption: "Heat"
                        }
                        Tab {
                            caption: "Pressure"
                        }
                    }
                    Component.onCompleted: currentIndex = 1
                }
                TabScroller {
                    id: pages
                    width: tabs.width
                    height: 30
                    tabControl: tabs
                    pages: [
                        Text {
                            text: "Flow page"
                        },
                        Text {
                            text: "Heat page"
                            font.pixelSize: 20
                            color: "white"
                        },
                        Text {
                            text: "Pressure page"
                        }
                    ]
                }
                TextPair {
                    width: parent.width
                    height: 40
                    name: "Serial number"
                    value: "DT-0001234, rev. 2"
                }
                Item {
                    width: parent.width
                    height: 40
                    RunningText {
                        anchors.fill: parent
                        text: "No connection with the device"
                        color: "red"
                    }
                }
            }
            MainButton {
                id: mainButton
                caption: "Archives"
                image: "styles/BaseStyle/archives.png"
            }
        }
    }
    Column {
        visible: gallery.page === 2
        anchors.fill: parent
        anchors.margins: 8
        spacing: 12

        Repeater {
            model: [-20, 0, 35, 100, 180]
            Row {
                spacing: 12
                ProgressBar {
                    value: modelData
                    duration: 0
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "value " + modelData + " of 0..100"
                    color: "white"
                    font.pixelSize: 18
                }
            }
        }
        Row {
            spacing: 12
            WhiteRectProgresser {
                active: true
                Rectangle {
                    anchors.fill: parent
                    color: "#33000000"
                    z: -1
                }
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "busy sweep"
                color: "white"
                font.pixelSize: 18
            }
        }
    }
}
