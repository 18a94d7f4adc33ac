// Stand-in until the controls land: a dialog's title text in the medium font and colour.
import QtQuick

Text {
    font.family: styleManager.style.mediumFontFamily
    font.pixelSize: styleManager.style.mediumFontSize
    color: styleManager.style.mediumFontColor
}
