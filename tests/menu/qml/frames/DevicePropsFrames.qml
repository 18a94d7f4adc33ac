import QtQuick
import "qrc:/share/menu/qml/frametypes"
import "qrc:/share/menu/qml/widgets"

// A menu tree over the real device properties: the main frame's first row leads to a frame of
// the settings whose writes the material rules and the flow unit concern.
Item {
    property alias mainFrame: mainFrame

    anchors.fill: parent

    ColumnMenuFrame {
        id: mainFrame
        objectName: "mainFrame"
        caption: "Menu"

        MenuRowItem {
            caption: "Pipe"
            frame: pipeFrame
        }
    }
    ColumnMenuFrame {
        id: pipeFrame
        objectName: "pipeFrame"
        caption: "Pipe"
        prevFrame: mainFrame

        MenuRowItem {
            objectName: "flowCutOffRow"
            prop: deviceProps.flowCutOff
        }
        MenuRowItem {
            objectName: "pipeSoundSpeedRow"
            prop: deviceProps.pipeSoundSpeed
        }
        MenuRowItem {
            objectName: "pipeLinerSoundSpeedRow"
            prop: deviceProps.pipeLinerSoundSpeed
        }
        MenuRowItem {
            objectName: "pipeLinerThicknessRow"
            prop: deviceProps.pipeLinerThickness
        }
    }
}
