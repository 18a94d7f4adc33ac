import QtQuick

// One cell of a ship.
Rectangle {
    color: "#6688FF"
    border.width: 4
    border.color: "black"
}
