import QtQuick

// A dialog's title.
Text {
    font.family: styleManager.style.mediumFontFamily
    font.pixelSize: styleManager.style.mediumFontSize
    color: styleManager.style.mediumFontColor
}
