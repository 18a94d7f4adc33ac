import QtQuick

// A shot cell: the splash centred at 0.6 of the cell.
Item {
    id: shot

    Image {
        anchors.centerIn: parent
        width: shot.width * 0.6
        height: shot.height * 0.6
        source: "shot.png"
        smooth: true
        mipmap: true
    }
}
