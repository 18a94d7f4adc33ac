import QtQuick

// A shadow telling that a list goes on past this edge.
Rectangle {
    property bool fadeFromTop: true

    height: 7 * starter.mm
    gradient: Gradient {
        GradientStop { position: 0; color: fadeFromTop ? "#AA000000" : "transparent" }
        GradientStop { position: 1; color: fadeFromTop ? "transparent" : "#99000000" }
    }
}
