import QtQuick

Rectangle {
    width: 640
    height: 480
    color: "white"
}
