// Stand-in for the style: only the values the shell reads, with the style's own values.
import QtQuick

QtObject {
    property real mm: starter.mm

    property string styleFolder: "styles/BaseStyle/"
    property color focusedColor: "#5F83D4"
    property color pressedColor: "#5F8AB8"

    property real bigFontSize: 8 * mm
    property string bigFontFamily: "DejaVu Sans"
    property real mediumFontSize: 7 * mm
    property real smallFontSize: 5 * mm
    property real topFontSize: 5 * mm
    property color topFontColor: "#FFDDDDDD"
    property string topFontFamily: "DejaVu Sans"

    property color windowBackColor: "#000000"
    property string baseWallpaper: styleFolder + "wallpaper.png"
    property var wallpaperComponent: null

    property int topPanelHeight: 32
    property color topPanelBackColor: "black"
    property Gradient topPanelGradient: Gradient {
        GradientStop {
            position: 0
            color: "#AA333333"
        }
        GradientStop {
            position: 1
            color: "#AA111111"
        }
    }

    property color centerPanelColor: "#00000000"
    property var centerPanelGradient: null
    property real centerPanelScrollSpeed: 5000
    property real centerPanelFlickDeceleration: 100000

    property int bottomPanelHeight: 60
    property color bottomPanelBackColor: "#55000000"
    property var bottomPanelGradient: null
    property color bottomPanelBorderColor: "white"
    property int bottomPanelBorderWidth: 0
    property real bottomPanelRadius: 0
    property string bottomPanelImage: ""
    property int bottomPanelImageFillMode: Image.Stretch
    property real bottomButtonWidth: starter.windowWidth / 3
    property color bottomButtonBackColor: "#00000000"
    property color bottomButtonBackColor_pressed: "#20FFFFFF"
    property color bottomButtonFontColor: "white"
    property color bottomButtonFontColor_pressed: "white"
    property int bottomButtonBorderWidth: 1
    property real bottomButtonFontSize: mediumFontSize
    property string bottomButtonFontFamily: bigFontFamily
    property string bottomButtonHomeImage: styleFolder + "home.png"

    property real pageCaptionLeftMargin: 50
    property real pageCaptionTopMargin: 0
    property color pageCaptionFontColor: "white"
    property string pageCaptionFontFamily: bigFontFamily
    property real pageCaptionFontSize: bigFontSize
    property color pageCaptionBackColor: "#355E88"

    property int homeButtonPressDuration: 500
    property int screenEditFieldHeight: 180

    function hideFrame(frame, forward) {}
    function showFrame(frame, forward) {}
}
