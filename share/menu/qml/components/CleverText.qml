import QtQuick

// A text that shrinks its font until it fits.
Text {
    id: cleverText

    property real initFontSize: 0
    property bool fontAutoSize: true
    property bool calcHeight: false
    property bool completed: false

    function fit() {
        if (!completed || !fontAutoSize)
            return
        var size = calcHeight
                ? menuContext.getMaxFontSize(font, text, width, height, initFontSize)
                : menuContext.getMaxFontSizeByWidth(font, text, width, paintedWidth, initFontSize)
        if (size > 0 && size !== font.pixelSize)
            font.pixelSize = size
    }

    onPaintedWidthChanged: fit()
    onWidthChanged: fit()
    onTextChanged: fit()
    Component.onCompleted: {
        if (initFontSize <= 0)
            initFontSize = font.pixelSize
        completed = true
        fit()
    }
}
