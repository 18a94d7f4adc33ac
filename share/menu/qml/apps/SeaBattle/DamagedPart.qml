import QtQuick

// A hit cell of a ship that is still afloat.
ShipPart {
    color: "#888888"
}
