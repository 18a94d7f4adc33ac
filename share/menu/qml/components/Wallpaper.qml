// Stand-in for the wallpaper: a plain gradient that moves a little with the pages.
import QtQuick

Item {
    id: wallpaper

    // 0 at the left page, 1 at the right page.
    property real shift: 0

    clip: true

    Rectangle {
        width: parent.width * 1.2
        height: parent.height
        x: -wallpaper.shift * parent.width * 0.2
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop {
                position: 0
                color: "#7E9FC8"
            }
            GradientStop {
                position: 1
                color: "#B4CBE6"
            }
        }
    }
}
