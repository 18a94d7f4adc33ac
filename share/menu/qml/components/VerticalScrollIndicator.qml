import QtQuick

// A knob that runs down its track as `percents` goes from 0 to 100.
Item {
    id: indicator

    property real percents: 0

    Rectangle {
        width: indicator.width
        height: 10 * starter.mm
        radius: width / 2
        y: (indicator.height - height) / 100 * Math.max(0, Math.min(100, indicator.percents))
        color: styleManager.style.scrollIndicatorColor
        border.width: 1
        border.color: styleManager.style.scrollIndicatorBorderColor
    }
}
