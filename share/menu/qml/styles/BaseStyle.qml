import QtQuick

// The menu's one look: every colour, font, size, duration and image name, by name. Lengths in
// millimetres follow the screen's pixel density (starter.mm), so the menu keeps its physical size
// on the instrument and on the desktop; plain numbers are pixels. Image values are paths relative
// to the menu's QML root; users prefix them with the way up from their own folder.
QtObject {
    id: style

    readonly property real mm: starter.mm
    readonly property real windowWidth: starter.windowWidth
    readonly property real windowHeight: starter.windowHeight

    // Colours and focus
    property string styleFolder: "styles/BaseStyle/"
    property color mouseOverColor: "#885F83D4"
    property color focusedColor: "#5F83D4"
    property color pressedColor: "#5F8AB8"
    property real focusedBorderWidth: 1 * mm
    property real focusedBorderRadius: 1.5 * mm
    property color halfWhiteColor: "#20FFFFFF"

    // Fonts
    property real bigMeasureFontSize: 28 * mm
    property color bigMeasureFontColor: "#000000"
    property string bigMeasureFontFamily: "DejaVu Sans"
    property real giantFontSize: 22 * mm
    property color giantFontColor: "black"
    property string giantFontFamily: "DejaVu Sans"
    property real veryBigFontSize: 12 * mm
    property color veryBigFontColor: "black"
    property string veryBigFontFamily: "DejaVu Sans"
    property real bigFontSize: 8 * mm
    property string bigFontFamily: "DejaVu Sans"
    property real mediumFontSize: 7 * mm
    property color mediumFontColor: "black"
    property string mediumFontFamily: "DejaVu Sans"
    property real smallFontSize: 5 * mm
    property string smallFontFamily: "DejaVu Sans"
    property real tinyFontSize: 3 * mm
    property real topFontSize: 5 * mm
    property color topFontColor: "#FFDDDDDD"
    property string topFontFamily: "DejaVu Sans"
    property real inputFontSize: 8.5 * mm
    property color inputFontColor: "black"
    property string inputFontFamily: "DejaVu Sans"

    // Main window
    property color windowBackColor: "#000000"
    property string baseWallpaper: styleFolder + "wallpaper.png"
    property int wallpaperFillMode: Image.PreserveAspectCrop
    property bool wallpaperShift: true

    // Top panel
    property real topPanelHeight: 32
    property color topPanelBackColor: "black"
    property Gradient topPanelGradient: Gradient {
        GradientStop { position: 0; color: "#AA333333" }
        GradientStop { position: 1; color: "#AA111111" }
    }

    // Battery indicator
    property real batteryWidth: 15 * mm
    property real batteryHeight: 20
    property color batteryBorderColor: topFontColor
    property real batteryBorderRadius: 0
    property Gradient batteryHighColorGradient: Gradient {
        GradientStop { position: 0; color: "#00000000" }
        GradientStop { position: 0.8; color: "#DDAAFFAA" }
        GradientStop { position: 1; color: style.topFontColor }
    }
    property Gradient batteryLowColorGradient: Gradient {
        GradientStop { position: 0; color: "#00000000" }
        GradientStop { position: 1; color: "#FFFF0000" }
    }

    // Clock
    property color clocksFontColor: topFontColor
    property string clocksFontFamily: topFontFamily
    property real clocksFontSize: topFontSize

    // Current site
    property color currentSiteFontColor: topFontColor
    property string currentSiteFontFamily: topFontFamily
    property real currentSiteFontSize: topFontSize

    // Centre panel
    property color centerPanelColor: "#00000000"
    property Gradient centerPanelGradient: null
    property real centerPanelScrollSpeed: 5000
    property real centerPanelFlickDeceleration: 100000

    // Main buttons
    property real mainButtonWidth: 190
    property real mainButtonHeight: 190
    property real mainButtonImageWidth: 160
    property real mainButtonImageHeight: 110
    property real mainButtonRadius: 4 * mm
    property color mainButtonBorderColor: "#113377"
    property color mainButtonBackColor: "#4F7AA8"
    property color mainButtonBackColor_pressed: Qt.darker(mainButtonBackColor, 1.2)
    property Gradient mainButtonGradient: null
    property real mainButtonBorderWidth: 1
    property color mainButtonFontColor: "#000000"
    // The instrument's screen needs a stronger outline to keep captions readable.
    property color mainButtonFontStyleColor: menuContext.embedded ? "#55FFFFFF" : "#22FFFFFF"
    property string mainButtonFontFamily: bigFontFamily
    property real mainButtonFontSize: smallFontSize
    property int mainButtonDuration_pressed: 0
    property int mainButtonDuration_unPressed: 150

    // Bottom panel
    property real bottomPanelHeight: 60
    property color bottomPanelBackColor: "#55000000"
    property Gradient bottomPanelGradient: null
    property color bottomPanelBorderColor: "white"
    property real bottomPanelBorderWidth: 0
    property real bottomPanelRadius: 0
    property string bottomPanelImage: ""
    property int bottomPanelImageFillMode: Image.Stretch
    property real bottomButtonWidth: windowWidth / 3
    property color bottomButtonBackColor: "#00000000"
    property color bottomButtonBackColor_pressed: "#20FFFFFF"
    property color bottomButtonFontColor: "white"
    property color bottomButtonFontColor_pressed: "white"
    property real bottomButtonBorderWidth: 1
    property real bottomButtonFontSize: mediumFontSize
    property string bottomButtonFontFamily: bigFontFamily
    property string bottomButtonHomeImage: styleFolder + "home.png"
    property int bottomButtonDuration_pressed: 0
    property int bottomButtonDuration_unPressed: 200

    // Buttons
    property real baseButtonWidth: 35 * mm
    property real smallButtonHeight: 15 * mm
    property real smallButtonWidth: 15 * mm
    property real baseButtonHeight: 16 * mm
    property color baseButtonBackColor: "#85A9DD"
    property color baseButtonFontColor: "black"
    property color baseButtonFontColor_pressed: "#3F63B4"
    // Muted but legible on the button's face (a lighter shade of the face itself would all but
    // vanish on it).
    property color baseButtonFontColor_disabled: Qt.darker(baseButtonBackColor, 2.0)
    property color baseButtonBorderColor: "black"
    property color baseButtonInnerBorderColor: "#60FFFFFF"
    property real baseButtonRadius: 1 * mm
    property real buttonSpacing: 10

    // Text inputs
    property real baseTextInputHeight: 10 * mm
    property color baseTextInputBackColor: "white"
    property color baseTextInputBorderColor: "black"
    property real baseTextInputBorderWidth: 1
    property real baseTextInputRadius: 1 * mm
    property color baseTextInputFontColor: inputFontColor
    property string baseTextInputFontFamily: inputFontFamily
    property real baseTextInputFontSize: inputFontSize

    // Menu items
    property real menuItemMargin: 1 * mm
    property string menuItemCaptionFontFamily: mediumFontFamily
    property real menuItemCaptionFontSize: mediumFontSize
    property color menuItemCaptionFontColor: "#000000"
    property color menuItemCaptionFontColor_pressed: "black"
    property color menuItemBackColor: "#100000FF"
    property real menuItemBorderWidth: 2
    property color menuItemBorderColor: "#44000000"
    property color menuItemBorderCheckedColor: "#77000000"
    property real menuItemRadius: 1.5 * mm

    // Menu rows
    property real menuItemRowHeight: 15 * mm
    property real menuItemRowWidth: windowWidth - 4 * mm
    property real menuItemRowValueRightMarginWithDim: 21 * mm
    property real menuItemRowValueRightMarginNoDim: 8 * mm
    property real menuItemRowDimensionLeftMargin: 2 * mm
    property real menuItemRowDimensionRightMargin: 3 * mm
    property real menuItemRowValueWidth: 40 * mm
    property string menuItemRowRightArrowImage: styleFolder + "menuItemRightArrow.png"
    property real menuItemRowArrowRightMargin: 2 * mm
    property real menuItemRowCaptionLeftMargin: 4 * mm
    property real menuItemRowCaptionRightMargin: 9 * mm

    // Row values
    property string menuItemTextValueValueFontFamily: mediumFontFamily
    property real menuItemTextValueValueFontSize: mediumFontSize
    property color menuItemTextValueValueFontColor: "#1D2B39"

    // Small rows
    property real menuItemRowSmallHeight: 8 * mm
    property real menuItemRowSmallCaptionFontSize: 5 * mm + 1

    // Small header rows
    property real menuItemRowSmallHeaderHeight: 10 * mm
    property real menuItemRowSmallHeaderFontSize: smallFontSize
    property real menuItemRowSmallHeaderLeftMargin: 16 * mm

    // Page captions
    property real pageCaptionLeftMargin: 50
    property real pageCaptionRightMargin: 0
    property real pageCaptionTopMargin: 0
    property int pageCaptionAlignment: 0
    property color pageCaptionFontColor: "white"
    property string pageCaptionFontFamily: bigFontFamily
    property real pageCaptionFontSize: bigFontSize
    property color pageCaptionBackColor: "#355E88"

    // Frames
    property real frameHeaderHeight: 10.8 * mm
    property color frameBackColor: "#00000000"
    property color frameBorderColor: "#00000000"
    property real frameBorderWidth: 0
    property real frameRadius: 0
    property real frameMargins: 0
    property string frameBackgroundImage: ""
    property int frameBackgroundFillMode: Image.Stretch

    // Scroll indicator
    property color scrollIndicatorColor: "#300000FF"
    property color scrollIndicatorBorderColor: "#44000000"

    // Frame client area
    property color frameClientRectColor: "#00000000"
    property real frameClientRectBorderWidth: 0
    property color frameClientRectBorderColor: "#00000000"
    property Gradient frameClientRectGradient: null
    property real frameClientRectRadius: 0
    property real frameClientRectLeftMargin: 2 * mm
    property real frameClientRectRightMargin: 1 * mm
    property real frameClientRectTopMargin: 1 * mm
    property real frameClientRectBottomMargin: 1 * mm

    // Editors
    property real listEditorItemHeight: 12 * mm
    property real listEditorItemWidth: 45 * mm
    property color textEditorBackground: "#2575a2"
    property real inlineTextEditorWidth: 70 * mm
    property real inlineTextEditorHeight: baseTextInputFontSize + 5
    property Component wallpaperComponent: null

    // Measurement tiles
    property real measureItemSmallHeight: 70
    property real measureItemSmallWidth: 83 * mm
    property string measureItemSmallFontFamily: bigFontFamily
    property real measureItemSmallFontSize: bigFontSize
    property color measureItemSmallFontColor: "#000000"
    // A value the instrument has not confirmed since it stopped answering.
    property string notReadValueText: "---"
    property color notReadFontColor: "#404040"
    property real measureItemSmallCaptionWidth: 12 * mm
    property real measureItemSmallDimensionWidth: 20 * mm
    property real measureItemSmallDimensionFontSize: mediumFontSize - 1 * mm

    // Dialogs
    property string dialogsBackgroundImage: styleFolder + "dialogsbackground.png"
    property real dialogMinHeight: 5
    property real dialogMargin: 5 * mm
    property real dialogCaptionItemMinHeight: 20
    property real dialogWidth: windowWidth * 0.95
    property real dialogHeight: windowHeight * 0.90

    // Progress bar
    property string progressBarBackground: styleFolder + "progressbarbackground.png"
    property string progressBarFill: styleFolder + "progressbarfill.png"

    // Popups list and icons
    property real popupsListItemHeight: 100
    property real popupsListItemWidth: 450
    property real popupsListIconWidth: 64
    property real popupsListCaptionWidth: popupsListItemWidth - popupsListIconWidth
                                          - popupsListCloseWidth
    property real popupsListCloseWidth: 64
    property int homeButtonPressDuration: 500
    property real popupsListCloseImageWidth: 16
    property string popupsListCloseImage: styleFolder + "closecross.png"
    property string minimizeIcon: styleFolder + "minimizeicon.png"
    property string closeIcon: styleFolder + "closeicon.png"
    property string appIcon: styleFolder + "appicon.png"
    property string scheduleActiveIcon: styleFolder + "scheduleactive.png"
    property string scheduleDoneIcon: styleFolder + "scheduledone.png"
    property string signalWindow: styleFolder + "signalwindowbackground.png"
    property string usbIndicator: styleFolder + "usb.png"
    property string failureIndicator: styleFolder + "failure.png"

    // Site icons
    property string siteGroupIcon: styleFolder + "sitegroup.png"
    property string siteIcon: styleFolder + "site.png"
    property string addSiteIcon: styleFolder + "addsite.png"
    property string modifySiteIcon: styleFolder + "modifysite.png"
    property string siteGroupUpIcon: styleFolder + "sitegroupup.png"
    property string siteGroupEditIcon: styleFolder + "editpencil.png"
    property string siteSubgroupIcon: styleFolder + "sitesubgroup.png"
    property string deleteSiteIcon: styleFolder + "deletesite.png"
    property string cloneSiteIcon: styleFolder + "clonesite.png"

    // On-screen keypad
    property real screenEditFieldHeight: 180
    property color screenKeypadBakground: "#8a7f5f"
    property color screenKeypadButtonColor: "#dcdc9f"
    property color screenKeypadButtonPressedColor: "#ac9c6f"
    property real screenKeypadButtonRadius: 5
    property color keypadButtonTextColor: "#505050"
    property real screenKeypadButtonFontSize: 34
    property real screenKeypadSpaceButtonFontSize: 26
    property real screenKeypadButtonInnerMargin: 4
    property string shiftScreenButton: styleFolder + "shiftscreenbutton.png"
    property string backspaceScreenButton: styleFolder + "backspacescreenbutton.png"
    property string screenCursorButton: styleFolder + "screencursorbutton.png"

    // Other icons
    property string folderMagnifierIcon: styleFolder + "foldermagnifier.png"
    property string importArrowIcon: styleFolder + "importarrow.png"
    property string saveAdcButtonIcon: styleFolder + "saveadc.png"
    property string broomIcon: styleFolder + "broom.png"
    property string checkBoxCheckedIcon: styleFolder + "checkbox_checked.png"
    property string checkBoxUncheckedIcon: styleFolder + "checkbox_unchecked.png"
    property string checkBoxGrayedIcon: styleFolder + "checkbox_grayed.png"
    property string buttonTriangleIcon: styleFolder + "button_triangle.png"
    property string treeVertLineIcon: styleFolder + "treevertline.png"
    property string exitIcon: styleFolder + "exit.png"
    property string sunIcon: styleFolder + "sun.png"
    property string moonIcon: styleFolder + "moon.png"

    // Tabs
    property real tabHeight: 10.8 * mm
    property real tabWidth: 150

    // Check box
    property string checkBoxFontFamily: mediumFontFamily
    property real checkBoxFontSize: mediumFontSize
    property real checkBoxHeight: menuItemRowHeight
    property real checkBoxMargin: menuItemRowCaptionLeftMargin

    // The frame scroller calls these around a change of frame; this style animates nothing.
    function hideFrame(frame, forward) {
    }
    function showFrame(frame, forward) {
    }
}
